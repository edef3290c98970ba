#include "NBDefaultFontChooser.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include "NBAppResources.h"
#include "NBTextAttributes.h"

namespace NBDefaultFontChooser {

namespace {

bool drawsAll(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    for (const uint codePoint : text.toUcs4())
        if (!QChar::isSpace(codePoint) && !metrics.inFontUcs4(codePoint)) return false;
    return true;
}

}  // namespace

std::optional<std::u16string> fontForExampleString(const std::u16string& example,
                                                   const QFont& defaultFont) {
    const QString text = NBAppResources::toQString(example);
    if (text.isEmpty() || drawsAll(defaultFont, text)) return std::nullopt;
    const QList<uint> codePoints = text.toUcs4();
    std::u32string first;
    for (qsizetype i = 0; i < std::min<qsizetype>(5, codePoints.size()); ++i)
        first.push_back(static_cast<char32_t>(codePoints[i]));
    const QString firstFive = QString::fromUcs4(first.data(), static_cast<qsizetype>(first.size()));
    for (const QString& family : QFontDatabase::families()) {
        QFont candidate(family, 16);
        candidate.setStyleStrategy(QFont::NoFontMerging);
        if (!drawsAll(candidate, firstFive)) continue;
        QFont font(family);
        font.setPointSize(16);
        return NBAppResources::toU16(font.toString());
    }
    return std::nullopt;
}

std::optional<std::u16string> defaultFontForExampleString(const std::u16string& example) {
    if (!QGuiApplication::instance()) return std::nullopt;
    QFont font = NBTextAttributes::defaultTextViewFont();
    font.setStyleStrategy(QFont::NoFontMerging);
    return fontForExampleString(example, font);
}

}  // namespace NBDefaultFontChooser
