#include "NCCurrencySymbols.h"

#include <unicode/unum.h>

#include <memory>

namespace {

struct FormatterCloser {
    void operator()(UNumberFormat* formatter) const { unum_close(formatter); }
};
using Formatter = std::unique_ptr<UNumberFormat, FormatterCloser>;

std::u16string formatZero(UNumberFormat* formatter) {
    UChar buffer[128];
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = unum_formatDouble(formatter, 0.0, buffer, 128, nullptr, &status);
    if (U_FAILURE(status)) return {};
    return std::u16string(reinterpret_cast<char16_t*>(buffer), static_cast<size_t>(length));
}

}  // namespace

NCCurrencySymbols::NCCurrencySymbols() : m_locale("en_US_POSIX") {}

void NCCurrencySymbols::setLocale(const std::string& localeIdentifier) {
    m_locale = localeIdentifier;
}

void NCCurrencySymbols::getPrefix(std::optional<std::u16string>* prefix,
                                  std::optional<std::u16string>* suffix,
                                  const std::optional<std::u16string>& currencyCode) const {
    if (prefix) prefix->reset();
    if (suffix) suffix->reset();
    if (!currencyCode || currencyCode->size() != 3) return;

    UErrorCode status = U_ZERO_ERROR;
    Formatter integer(unum_open(UNUM_DECIMAL, nullptr, 0, m_locale.c_str(), nullptr, &status));
    Formatter currency(unum_open(UNUM_CURRENCY, nullptr, 0, m_locale.c_str(), nullptr, &status));
    if (U_FAILURE(status)) return;
    unum_setAttribute(integer.get(), UNUM_MAX_FRACTION_DIGITS, 0);
    unum_setTextAttribute(currency.get(), UNUM_CURRENCY_CODE,
                          reinterpret_cast<const UChar*>(currencyCode->data()), 3, &status);
    if (U_FAILURE(status)) return;

    std::u16string zero = formatZero(integer.get());
    std::u16string text = formatZero(currency.get());
    size_t first = zero.empty() ? std::u16string::npos : text.find(zero);
    if (first == std::u16string::npos) return;
    std::u16string before = text.substr(0, first);
    if (!before.empty()) {
        if (prefix) *prefix = before;
        return;
    }
    size_t last = text.rfind(zero);
    std::u16string after = text.substr(last + zero.size());
    if (suffix && !after.empty()) *suffix = after;
}

std::optional<std::u16string> NCCurrencySymbols::symbolForCurrencyCode(
    const std::optional<std::u16string>& code, int* format) const {
    std::optional<std::u16string> prefix, suffix;
    getPrefix(&prefix, &suffix, code);
    if (prefix) {
        if (format) *format = 0;
        return prefix;
    }
    if (format) *format = 1;
    return suffix;
}
