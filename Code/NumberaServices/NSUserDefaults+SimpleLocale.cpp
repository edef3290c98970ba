#include <unicode/unum.h>

#include "NSUserDefaults+SimpleLocale.h"

namespace {
std::u16string localeSymbol(const std::string& identifier, UNumberFormatSymbol symbol) {
    UErrorCode status = U_ZERO_ERROR;
    UNumberFormat* format =
        unum_open(UNUM_DECIMAL, nullptr, 0, identifier.empty() ? nullptr : identifier.c_str(),
                  nullptr, &status);
    if (U_FAILURE(status) || !format) return u"";
    UChar buffer[16] = {};
    int32_t length = unum_getSymbol(format, symbol, buffer, 16, &status);
    unum_close(format);
    if (U_FAILURE(status) || length <= 0 || length > 16) return u"";
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<size_t>(length));
}

char16_t firstOr(const std::u16string& text, char16_t fallback) {
    return text.empty() ? fallback : text[0];
}
}  // namespace

NCSimpleLocale simpleLocale(const std::optional<std::u16string>& decimalPointSign,
                            const std::optional<std::u16string>& thousandsSeparatorSign,
                            const std::string& localeIdentifier) {
    std::u16string decimal = decimalPointSign
                                 ? *decimalPointSign
                                 : localeSymbol(localeIdentifier, UNUM_DECIMAL_SEPARATOR_SYMBOL);
    std::u16string grouping = thousandsSeparatorSign
                                  ? *thousandsSeparatorSign
                                  : localeSymbol(localeIdentifier, UNUM_GROUPING_SEPARATOR_SYMBOL);
    // A hand-edited digit or letter would become part of every number.
    return NCSimpleLocale::soundOrDefault(firstOr(decimal, u'.'), firstOr(grouping, u','));
}

NCSimpleLocale simpleLocale(const Settings& settings, const std::string& localeIdentifier) {
    return simpleLocale(settings.stringForKey("NBDecimalPointSign"),
                        settings.stringForKey("NBThousandsSeperatorSign"), localeIdentifier);
}

NCSimpleLocale simpleLocale() { return simpleLocale(*Settings::standard()); }
