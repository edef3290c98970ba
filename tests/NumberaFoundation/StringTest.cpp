#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "NBFString.h"
#include "NBFStringUtilities.h"

namespace {

using StringRef = NBF::Ref<NBF::String>;
StringRef str(const char* text) { return StringRef::adopt(NBFStringCreateWithUTF8(text)); }

std::string take(char* text) {
    std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    return text ? std::string(text) : std::string("<null>");
}

TEST(NBFString, LengthsAndIndexesCountUTF16Units) {
    auto text = str("a\xCF\x80\xF0\x9F\x98\x80");  // a, pi, an emoji outside the BMP
    EXPECT_EQ(NBFStringLength(text.get()), 4);
    EXPECT_EQ(NBFStringGetCharAtIndex(text.get(), 1), 0x03C0);
    EXPECT_EQ(NBFStringGetCharAtIndex(text.get(), 2), 0xD83D);
    EXPECT_EQ(NBFStringGetCharAtIndex(text.get(), 4), 0);
    EXPECT_EQ(NBFStringGetCharAtIndex(text.get(), -1), 0);
    EXPECT_EQ(NBFStringGetCharAtIndex(nullptr, 0), 0);
    EXPECT_EQ(NBFStringLength(nullptr), 0);
}

TEST(NBFString, CompareIsAnEqualityTest) {
    EXPECT_EQ(NBFStringCompare(str("abc").get(), str("ABC").get()), -1);
    EXPECT_EQ(NBFStringCompare(str("abc").get(), str("abc").get()), 0);
    EXPECT_EQ(NBFStringCompare(nullptr, str("abc").get()), -1);
    EXPECT_EQ(NBFStringCompare(nullptr, nullptr), -1);
}

TEST(NBFString, UTF8RoundTripAndLength) {
    int32_t length = -1;
    EXPECT_EQ(take(NBFStringGetUTF8(str("\xCF\x80").get(), &length)), "\xCF\x80");
    EXPECT_EQ(length, 3);
    EXPECT_EQ(NBFStringGetUTF8(nullptr, &length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(NBFStringGetCppString(str("5 m\xC2\xB2").get()), "5 m\xC2\xB2");
}

TEST(NBFString, UTF8ToUTF16WidensASCIIAndDecodesTheRest) {
    struct Row {
        std::string utf8;
        std::u16string utf16;
    } rows[] = {
        {"", u""},
        {"-12.5e3 km", u"-12.5e3 km"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\xCF\x80 r\xC2\xB2", u"\u03C0 r\u00B2"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"x\xFFy", u"x\uFFFDy"},  // an invalid byte is replaced
    };
    for (const Row& row : rows) EXPECT_EQ(NBFUTF8ToUTF16(row.utf8), row.utf16) << row.utf8;
}

TEST(NBFString, InvalidOrTruncatedUTF8NeverReadsPastTheEnd) {
    struct Case {
        const char* text;
        int32_t expectedLength;
    };
    const Case cases[] = {
        {"\xE2\x82", 1},  // truncated three-byte sequence
        {"a\xFF"
         "b",
         3},                  // invalid byte between letters
        {"\xF0\x9F\x98", 1},  // truncated four-byte sequence
        {"\xC0\xAF", 1},      // overlong encoding: one replacement character
    };
    for (const Case& c : cases) {
        auto text = str(c.text);
        EXPECT_EQ(NBFStringLength(text.get()), c.expectedLength) << c.text;
        for (int32_t i = 0; i < NBFStringLength(text.get()); ++i)
            EXPECT_NE(NBFStringGetCharAtIndex(text.get(), i), 0);
    }
}

TEST(NBFString, SubstringClampsToTheString) {
    auto text = str("hello");
    EXPECT_EQ(NBFStringGetCppString(StringRef::adopt(NBFStringSubString(text.get(), 1, 3)).get()),
              "ell");
    EXPECT_EQ(NBFStringGetCppString(StringRef::adopt(NBFStringSubString(text.get(), 3, 99)).get()),
              "lo");
    EXPECT_EQ(NBFStringLength(StringRef::adopt(NBFStringSubString(text.get(), 9, 2)).get()), 0);
    EXPECT_EQ(NBFStringGetCppString(StringRef::adopt(NBFStringSubString(text.get(), -2, 3)).get()),
              "hel");
    EXPECT_EQ(NBFStringGetCppString(
                  StringRef::adopt(NBFStringSubString(text.get(), 2, 2147483647)).get()),
              "llo");
}

TEST(NBFString, ConcatenateLowercaseAndCharacters) {
    auto joined = StringRef::adopt(NBFStringConcatenate(str("Kilo").get(), str("Metre").get()));
    EXPECT_EQ(NBFStringGetCppString(joined.get()), "KiloMetre");
    auto lower = StringRef::adopt(NBFStringLowercaseString(joined.get()));
    EXPECT_EQ(NBFStringGetCppString(lower.get()), "kilometre");
    auto greek =
        StringRef::adopt(NBFStringLowercaseString(str("\xCE\xA9").get()));  // capital omega
    EXPECT_EQ(NBFStringGetCppString(greek.get()), "\xCF\x89");
    EXPECT_EQ(NBFStringGetCppString(StringRef::adopt(NBFStringCreateWithInteger(-42)).get()),
              "-42");
    NBFChar units[] = {0x0035, 0x00B0};
    EXPECT_EQ(
        NBFStringGetCppString(StringRef::adopt(NBFStringCreateWithCharacters(units, 2)).get()),
        "5\xC2\xB0");
}

TEST(NBFString, ASCIIReplacesOtherCharactersAndTerminates) {
    EXPECT_EQ(take(NBFStringGetASCII(str("5 \xE2\x82\xAC and \xCF\x80").get())), "5 ? and ?");
    EXPECT_EQ(take(NBFStringGetASCII(nullptr)), "");
}

TEST(NBFChar, FromAndToUTF8) {
    EXPECT_EQ(NBFCharFromUTF8("\xCF\x80"), 0x03C0);
    EXPECT_EQ(NBFCharFromUTF8("ab"), 0);
    EXPECT_EQ(NBFCharFromUTF8("\xF0\x9F\x98\x80"), 0);
    EXPECT_EQ(NBFCharFromUTF8(""), 0);
    EXPECT_EQ(NBFCharFromUTF8("\xE2\x82"), 0);
    EXPECT_EQ(NBFCharFromUTF8(nullptr), 0);
    EXPECT_EQ(take(NBFCharGetUTF8(0x20AC)), "\xE2\x82\xAC");
    EXPECT_EQ(take(NBFCharGetUTF8(0xD83D)), "\xED\xA0\xBD");  // a lone surrogate, alone
    EXPECT_EQ(NBFCharCompare('a', 'b'), -1);
    EXPECT_EQ(NBFCharCompare('b', 'a'), 1);
    EXPECT_EQ(NBFCharCompare('a', 'a'), 0);
}

TEST(NbfStringUtilities, SplitDropsEmptyPieces) {
    EXPECT_EQ(NBF::stringSplit(",a,,b,", ','), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(NBF::stringSplit("", ',').empty());
    EXPECT_EQ(NBF::stringSplit("abc", ','), (std::vector<std::string>{"abc"}));
}

TEST(NbfStringUtilities, ReplaceAllNeverRescansTheReplacement) {
    struct Case {
        std::string text, search, replacement, expected;
    };
    const Case cases[] = {
        {"aba", "a", "aa", "aabaa"},
        {"5x3x", "x", "*", "5*3*"},
        {"none", "", "z", "none"},
        {"aaaa", "aa", "a", "aa"},
    };
    for (Case c : cases) {
        NBF::stringReplaceAll(c.text, c.search, c.replacement);
        EXPECT_EQ(c.text, c.expected);
    }
    std::string product =
        "5\xC3\x97"
        "3";  // 5 times-sign 3
    NBF::stringReplaceAll(product, NBFChar(0x00D7), '*');
    EXPECT_EQ(product, "5*3");
    std::string spaced = "1 000";
    NBF::stringReplaceAll(spaced, NBFChar(' '), std::string());
    EXPECT_EQ(spaced, "1000");
    std::string sum = "a+b";
    NBF::stringReplaceAll(sum, NBFChar('+'), std::string(" plus "));
    EXPECT_EQ(sum, "a plus b");
}

}  // namespace
