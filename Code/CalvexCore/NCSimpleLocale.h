// The number locale of a text: its decimal point and thousands separator, one UTF-16 code
// unit each. As one 32-bit value the decimal point is the low half.
#ifndef NUMBERA_CORE_NC_SIMPLE_LOCALE_H
#define NUMBERA_CORE_NC_SIMPLE_LOCALE_H

#include <cstdint>

struct NCSimpleLocale {
    char16_t decimalPointChar = u'.';
    char16_t groupingChar = u',';

    static constexpr NCSimpleLocale fromValue(uint32_t value) {
        return {static_cast<char16_t>(value & 0xFFFF), static_cast<char16_t>(value >> 16)};
    }
    constexpr uint32_t value() const {
        return static_cast<uint32_t>(decimalPointChar) | (static_cast<uint32_t>(groupingChar) << 16);
    }
    friend bool operator==(const NCSimpleLocale&, const NCSimpleLocale&) = default;
};

constexpr NCSimpleLocale kNCSimpleLocalDefault{u'.', u','};

#endif
