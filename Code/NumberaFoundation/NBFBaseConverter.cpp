#include "NBFBaseConverter.h"

#include <gmp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Diagnostics.h"
#include "NBFErrorLog.h"

namespace {

int digitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Every character must be a digit of the base: a number is never silently shortened.
NBFStringRef toDecimal(const std::u16string& digits, int base) {
    std::string ascii;
    ascii.reserve(digits.size());
    for (char16_t c : digits) {
        int value = digitValue(c);
        if (value < 0 || value >= base) return nullptr;
        ascii += static_cast<char>(c);
    }
    if (ascii.empty()) return NBFStringCreateWithUTF8("0");
    mpz_t number;
    mpz_init_set_str(number, ascii.c_str(), base);
    char* decimal = mpz_get_str(nullptr, 10, number);
    NBFStringRef result = NBFStringCreateWithUTF8(decimal);
    void (*gmpFree)(void*, size_t);
    mp_get_memory_functions(nullptr, nullptr, &gmpFree);
    gmpFree(decimal, std::strlen(decimal) + 1);
    mpz_clear(number);
    return result;
}

}  // namespace

NBFStringRef NBFBaseConverterHexadecimalToDecimal(NBFStringRef digits) {
    return digits ? toDecimal(digits->units(), 16) : nullptr;
}

NBFStringRef NBFBaseConverterBinaryToDecimal(NBFStringRef digits) {
    return digits ? toDecimal(digits->units(), 2) : nullptr;
}

NBFStringRef NBFBaseConverter2CharPrefixToDecimal(NBFStringRef text) {
    if (!text) return nullptr;
    char16_t c1 = NBFStringGetCharAtIndex(text, 0);
    if (c1 != u'0') {
        OX_logErr(true, "VerifyTrue", "c1 == '0'", __func__, __FILE__, __LINE__, "%s", "");
        abort();
    }
    std::u16string digits = text->units().size() > 2 ? text->units().substr(2) : u"";
    switch (NBFStringGetCharAtIndex(text, 1)) {
        case u'b':
            return toDecimal(digits, 2);
        case u'x':
            return toDecimal(digits, 16);
        default:
            return nullptr;
    }
}

bool NBFBaseConverterIs2CharPrefixedString(const char* text) {
    return text && text[0] == '0' && (text[1] == 'b' || text[1] == 'x');
}

char* NBFBaseConverterConvertFromDecimal(const char* decimal, unsigned base, bool withPrefix) {
    if (base != 2 && base != 16) {
        Diagnostics::errorf("error: can't convert to base %u. only bases 2, 16 are supported.",
                            base);
        return nullptr;
    }
    if (!decimal || std::strlen(decimal) >= 501) return nullptr;

    const char* p = decimal;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    std::string integerDigits;
    while (*p >= '0' && *p <= '9') integerDigits += *p++;
    bool hasFraction = false;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9') {
            ++p;
            hasFraction = true;
        }
    }
    if (*p != '\0' || (integerDigits.empty() && !hasFraction)) return nullptr;
    if (integerDigits.empty()) integerDigits = "0";

    mpz_t number;
    mpz_init_set_str(number, integerDigits.c_str(), 10);
    bool zero = mpz_sgn(number) == 0;
    std::string digits(mpz_sizeinbase(number, static_cast<int>(base)) + 2, '\0');
    mpz_get_str(digits.data(), static_cast<int>(base), number);
    mpz_clear(number);
    digits.resize(std::strlen(digits.c_str()));
    for (char& c : digits)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');

    std::string out;
    if (negative && !zero) out += '-';
    if (withPrefix) out += base == 16 ? "0x" : "0b";
    out += digits;
    return strdup(out.c_str());
}
