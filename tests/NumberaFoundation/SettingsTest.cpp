#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "NBFBaseConverter.h"
#include "NBFSettings.h"

namespace {

std::string take(char* text) {
    std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    return text ? std::string(text) : std::string("<null>");
}

std::string decimal(NBFStringRef converted) {
    if (!converted) return "<null>";
    std::string text = NBFStringGetCppString(converted);
    NBFStringRelease(converted);
    return text;
}

std::string fromPrefixed(const char* text) {
    auto string = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(text));
    return decimal(NBFBaseConverter2CharPrefixToDecimal(string.get()));
}

TEST(NBFSettings, DefaultsAndChanges) {
    NBFSettingsRef settings = NBFSettingsCreate();
    EXPECT_FALSE(settings->get(NBFSettingAllowsVariableRedefinitions));
    EXPECT_TRUE(settings->get(NBFSettingUsesNewEvaluatorImpl));
    EXPECT_FALSE(settings->get(NBFSettingEnableExperimentalUnits));

    testing::internal::CaptureStdout();
    NBFSettingsSetBool(settings, NBFSettingUsesNewEvaluatorImpl, false);
    NBFSettingsSetBool(settings, NBFSettingUsesNewEvaluatorImpl, false);  // no change, no line
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "NBFSettings: NBFSettingUsesNewEvaluatorImpl -> off\n");
    EXPECT_FALSE(settings->get(NBFSettingUsesNewEvaluatorImpl));
    NBFSettingsRelease(settings);
}

TEST(NBFSettingsDeathTest, SettingCurrentSettingsTwiceStopsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            NBFSettingsRef settings = NBFSettingsCreate();
            NBFSettingsSet(settings);
            NBFSettingsSet(settings);
        },
        "VerifyTrue failed: \\(s_current == __null\\).*\nCan only set settings once per process");
}

TEST(NBFSettingsDeathTest, CurrentSettingsAnswerTheirValues) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // In a child process, so the process-wide settings of this one stay unset.
    EXPECT_EXIT(
        {
            bool unset = !NBFSettingsGetBool(NBFSettingUsesNewEvaluatorImpl) &&
                         NBFSettingsGetBoolOrDefault(NBFSettingUsesNewEvaluatorImpl) &&
                         !NBFSettingsGetBoolOrDefault(NBFSettingAllowsVariableRedefinitions);
            NBFSettingsRef settings = NBFSettingsCreate();
            NBFSettingsSetBool(settings, NBFSettingAllowsVariableRedefinitions, true);
            NBFSettingsSet(settings);
            NBFSettingsRelease(settings);
            bool ok = unset && NBFSettingsGetBool(NBFSettingAllowsVariableRedefinitions) &&
                      NBFSettingsGetBoolOrDefault(NBFSettingAllowsVariableRedefinitions) &&
                      NBFSettingsGetBool(NBFSettingUsesNewEvaluatorImpl) &&
                      !NBFSettingsGetBool(NBFSettingEnableExperimentalUnits) &&
                      !NBFSettingsGetBool("unknown");
            std::exit(ok ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

TEST(NBFBaseConverter, PrefixedNumbersToDecimal) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"0xff", "255"},
        {"0xFF", "255"},
        {"0xFf", "255"},
        {"0b101", "5"},
        {"0x0", "0"},
        {"0b0", "0"},
        {"0xffffffffffffffffffff", "1208925819614629174706175"},
        // Digits outside the base, or any other character, fail rather than shorten.
        {"0b12", "<null>"},
        {"0b1f", "<null>"},
        {"0x1.8", "<null>"},
        {"0xff.", "<null>"},
        {"0xg", "<null>"},
        {"0o17", "<null>"},
    };
    for (const Case& c : cases) EXPECT_EQ(fromPrefixed(c.text), c.expected) << c.text;

    auto binary = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8("12"));
    EXPECT_EQ(decimal(NBFBaseConverterBinaryToDecimal(binary.get())), "<null>");
    auto hex = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8("7fffffff"));
    EXPECT_EQ(decimal(NBFBaseConverterHexadecimalToDecimal(hex.get())), "2147483647");
    auto empty = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(""));
    EXPECT_EQ(decimal(NBFBaseConverterHexadecimalToDecimal(empty.get())), "0");
}

TEST(NBFBaseConverter, RecognisesPrefixes) {
    EXPECT_TRUE(NBFBaseConverterIs2CharPrefixedString("0x1"));
    EXPECT_TRUE(NBFBaseConverterIs2CharPrefixedString("0b"));
    EXPECT_FALSE(NBFBaseConverterIs2CharPrefixedString("0"));
    EXPECT_FALSE(NBFBaseConverterIs2CharPrefixedString("1x1"));
    EXPECT_FALSE(NBFBaseConverterIs2CharPrefixedString(nullptr));
}

TEST(NBFBaseConverterDeathTest, PrefixedTextMustStartWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(fromPrefixed("1x5"), "c1 == '0'");
}

TEST(NBFBaseConverter, DecimalToBase) {
    struct Case {
        const char* decimal;
        unsigned base;
        bool prefix;
        const char* expected;
    };
    const Case cases[] = {
        {"255", 16, true, "0xFF"},
        {"255", 16, false, "FF"},
        {"-10", 2, true, "-0b1010"},
        {"0", 2, true, "0b0"},
        {"0", 16, false, "0"},
        {"12.75", 16, true, "0xC"},  // the integer part of a fixed-point value
        {"-0.5", 2, false, "0"},     // a zero magnitude has no sign
        {"-255.9", 16, false, "-FF"},
        {"18446744073709551616", 16, true, "0x10000000000000000"},
        {"abc", 16, false, "<null>"},
        {"", 16, false, "<null>"},
        {"1e5", 16, false, "<null>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(take(NBFBaseConverterConvertFromDecimal(c.decimal, c.base, c.prefix)), c.expected)
            << c.decimal;

    EXPECT_EQ(NBFBaseConverterConvertFromDecimal(std::string(501, '1').c_str(), 16, false),
              nullptr);
    EXPECT_NE(take(NBFBaseConverterConvertFromDecimal(std::string(500, '1').c_str(), 16, false)),
              "<null>");

    testing::internal::CaptureStderr();
    EXPECT_EQ(NBFBaseConverterConvertFromDecimal("8", 8, false), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "error: can't convert to base 8. only bases 2, 16 are supported.\n");
}

}  // namespace
