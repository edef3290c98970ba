#include <gtest/gtest.h>

#include "NBPreferencesRules.h"

namespace {

using namespace NBPreferencesRules;

struct SignCase {
    std::u16string sign;
    bool asDecimal;
    bool asThousands;
};

void PrintTo(const SignCase& c, std::ostream* out) {
    *out << "U+";
    for (char16_t unit : c.sign) *out << std::hex << static_cast<int>(unit) << ' ';
}

class SeparatorSigns : public ::testing::TestWithParam<SignCase> {};

TEST_P(SeparatorSigns, OnlyOneMarkThatNumbersCanBeWrittenWith) {
    EXPECT_EQ(isValidSeparatorSign(GetParam().sign, true), GetParam().asDecimal);
    EXPECT_EQ(isValidSeparatorSign(GetParam().sign, false), GetParam().asThousands);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SeparatorSigns,
    ::testing::Values(SignCase{u",", true, true}, SignCase{u".", true, true},
                      SignCase{u"\u066B", true, false}, SignCase{u" ", false, true},
                      SignCase{u"'", false, true}, SignCase{u"\u00A0", false, true},
                      SignCase{u"\u066C", false, true}, SignCase{u"", false, false},
                      SignCase{u"5", false, false}, SignCase{u"0", false, false},
                      SignCase{u"\u0663", false, false},  // an Arabic-Indic digit
                      SignCase{u"a", false, false}, SignCase{u"\u00E9", false, false},
                      SignCase{u",,", false, false}, SignCase{u"+", false, false},
                      SignCase{u"\t", false, false}, SignCase{u"\n", false, false},
                      SignCase{std::u16string(1, char16_t(0xD83D)), false, false}));

TEST(PartnerSign, IsTheFirstOfCommaStopAndSpaceThatDiffers) {
    EXPECT_EQ(partnerSignFor(u","), u".");
    EXPECT_EQ(partnerSignFor(u"."), u",");
    EXPECT_EQ(partnerSignFor(u" "), u",");
    EXPECT_EQ(partnerSignFor(u"'"), u",");
}

struct PrecisionCase {
    std::u16string text;
    PrecisionEntry::Kind kind;
    int64_t value;
};

void PrintTo(const PrecisionCase& c, std::ostream* out) {
    *out << '"' << std::string(c.text.begin(), c.text.end()) << '"';
}

class PrecisionEntries : public ::testing::TestWithParam<PrecisionCase> {};

TEST_P(PrecisionEntries, AreTakenCorrectedOrRefused) {
    const PrecisionEntry entry = precisionForEntry(GetParam().text);
    EXPECT_EQ(entry.kind, GetParam().kind);
    if (entry.kind != PrecisionEntry::Refused) {
        EXPECT_EQ(entry.value, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PrecisionEntries,
                         ::testing::Values(PrecisionCase{u"", PrecisionEntry::Accepted, -1},
                                           PrecisionCase{u"0", PrecisionEntry::Accepted, 0},
                                           PrecisionCase{u"50", PrecisionEntry::Accepted, 50},
                                           PrecisionCase{u"51", PrecisionEntry::TooLarge, 50},
                                           PrecisionCase{u"60", PrecisionEntry::TooLarge, 50},
                                           PrecisionCase{u"99999999999999999999",
                                                         PrecisionEntry::TooLarge, 50},
                                           PrecisionCase{u"-3", PrecisionEntry::Refused, 0},
                                           PrecisionCase{u"2.5", PrecisionEntry::Refused, 0},
                                           PrecisionCase{u"ten", PrecisionEntry::Refused, 0}));

TEST(NotationThreshold, IsAWholeNumberOfDigitsFromOneToAHundred) {
    EXPECT_EQ(notationThresholdForEntry(u"12"), 12);
    EXPECT_EQ(notationThresholdForEntry(u"1"), 1);
    EXPECT_EQ(notationThresholdForEntry(u"100"), 100);
    EXPECT_EQ(notationThresholdForEntry(u"0"), std::nullopt);
    EXPECT_EQ(notationThresholdForEntry(u"101"), std::nullopt);
    EXPECT_EQ(notationThresholdForEntry(u""), std::nullopt);
    EXPECT_EQ(notationThresholdForEntry(u"1e3"), std::nullopt);
}

TEST(UnitRestart, IsNeededWhenTheLoadedOptionsDifferFromThePreferences) {
    const std::u16string metric = u"NCUnitsMeasurementSystemMetric";
    const std::u16string si = u"NCUnitsPreferenceBytePrefixOptionSI";
    const std::u16string binary = u"NCUnitsPreferenceBytePrefixOptionBinary";
    EXPECT_FALSE(unitRelatedRestartRequired(metric, si, 0, 0));
    EXPECT_TRUE(unitRelatedRestartRequired(metric, si, 1, 0));
    EXPECT_TRUE(unitRelatedRestartRequired(metric, si, 0, 1));
    EXPECT_FALSE(unitRelatedRestartRequired(u"NCUnitsMeasurementSystemUSCustomary", binary, 2, 1));
    EXPECT_TRUE(unitRelatedRestartRequired(std::nullopt, si, 0, 0));
}

}  // namespace
