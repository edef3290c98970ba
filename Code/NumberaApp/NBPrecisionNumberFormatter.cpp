#include "NBPrecisionNumberFormatter.h"

#include <cmath>

QString NBPrecisionNumberFormatter::stringForObjectValue(const QVariant& value) const {
    switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Double:
        case QMetaType::Float:
            break;
        default:
            return {};
    }
    if (value.metaType().id() == QMetaType::ULongLong || value.metaType().id() == QMetaType::ULong)
        return stringForNumber(static_cast<double>(value.toULongLong()));
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) < 0) return {};
    return stringForNumber(number);
}

QString NBPrecisionNumberFormatter::stringForNumber(double number) const {
    QLocale locale = m_locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    // The default rounding direction of the floating-point environment rounds halves to even.
    const double whole = std::nearbyint(number);
    if (std::fabs(whole) < 9.0e15) return locale.toString(static_cast<qlonglong>(whole));
    return locale.toString(whole, 'f', 0);
}
