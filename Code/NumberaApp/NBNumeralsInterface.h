// Small pieces the numerals panels share: localised texts as Qt strings and the "Last Updated"
// status of an update.
#ifndef NUMBERA_APP_NB_NUMERALS_INTERFACE_H
#define NUMBERA_APP_NB_NUMERALS_INTERFACE_H

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

#include "Clock.h"
#include "NBAppResources.h"
#include "NSLocalizedString.h"

namespace NBNumeralsInterface {

inline QString localized(const char16_t* key) {
    return NBAppResources::toQString(NSLocalizedString(key));
}

inline QDateTime dateOf(NSTimeInterval sinceReferenceDate) {
    return QDateTime::fromMSecsSinceEpoch(
        static_cast<qint64>((sinceReferenceDate + NSTimeIntervalSince1970) * 1000.0));
}

// Short date and short time.
inline QString shortDateTime(NSTimeInterval sinceReferenceDate) {
    const QDateTime date = dateOf(sinceReferenceDate).toLocalTime();
    const QLocale locale;
    return locale.toString(date.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(date.time(), QLocale::ShortFormat);
}

// "Last Updated: <date>", or "Never Updated".
inline QString lastUpdatedText(std::optional<NSTimeInterval> lastUpdate) {
    if (!lastUpdate) return localized(u"Never Updated");
    return QStringLiteral("%1 %2").arg(localized(u"Last Updated:"), shortDateTime(*lastUpdate));
}

}  // namespace NBNumeralsInterface

#endif
