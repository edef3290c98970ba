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
        return static_cast<uint32_t>(decimalPointChar) |
               (static_cast<uint32_t>(groupingChar) << 16);
    }
    friend bool operator==(const NCSimpleLocale&, const NCSimpleLocale&) = default;

    // Whether numbers can be written and read back with these characters: a decimal point and
    // a different grouping character, each one of the few that locales write numbers with.
    constexpr bool isSound() const {
        return isDecimalPointChar(decimalPointChar) && isGroupingChar(groupingChar) &&
               decimalPointChar != groupingChar;
    }
    // The pair when it is sound, else the default: characters from outside (a document file)
    // never make "+", a letter or a digit part of a number.
    static constexpr NCSimpleLocale soundOrDefault(char16_t decimalPoint, char16_t grouping);

  private:
    static constexpr bool isDecimalPointChar(char16_t c) {
        return c == u'.' || c == u',' || c == u'\u066B';
    }
    static constexpr bool isGroupingChar(char16_t c) {
        return c == u',' || c == u'.' || c == u' ' || c == u'\u00A0' || c == u'\u202F' ||
               c == u'\'' || c == u'\u2019' || c == u'\u066C';
    }
};

constexpr NCSimpleLocale kNCSimpleLocalDefault{u'.', u','};

constexpr NCSimpleLocale NCSimpleLocale::soundOrDefault(char16_t decimalPoint, char16_t grouping) {
    const NCSimpleLocale locale{decimalPoint, grouping};
    return locale.isSound() ? locale : kNCSimpleLocalDefault;
}

#endif
