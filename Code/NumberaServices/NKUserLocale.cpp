#include "NKUserLocale.h"

#include <unicode/locid.h>
#include <unicode/ucurr.h>

#include <mutex>

namespace {

std::mutex s_mutex;
std::optional<NKUserLocale> s_current;

}  // namespace

NKUserLocale NKUserLocale::withIdentifier(const std::string& identifier) {
    NKUserLocale locale;
    locale.identifier = identifier;
    UErrorCode status = U_ZERO_ERROR;
    UChar code[4] = {};
    const int32_t length = ucurr_forLocale(identifier.c_str(), code, 4, &status);
    if (U_FAILURE(status) || length != 3) return locale;
    locale.currencyCode.assign(reinterpret_cast<const char16_t*>(code), 3);
    status = U_ZERO_ERROR;
    UBool isChoiceFormat = false;
    int32_t symbolLength = 0;
    const UChar* symbol = ucurr_getName(code, identifier.c_str(), UCURR_SYMBOL_NAME,
                                        &isChoiceFormat, &symbolLength, &status);
    if (U_SUCCESS(status) && symbol && symbolLength > 0)
        locale.currencySymbol.assign(reinterpret_cast<const char16_t*>(symbol),
                                     static_cast<size_t>(symbolLength));
    return locale;
}

NKUserLocale NKUserLocale::current() {
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (s_current) return *s_current;
    }
    return withIdentifier(icu::Locale::getDefault().getName());
}

void NKUserLocale::setCurrent(std::optional<NKUserLocale> locale) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_current = std::move(locale);
}
