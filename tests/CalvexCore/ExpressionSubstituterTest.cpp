#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NCExpressionSubstituter.h"

namespace {

struct Mapped {
    NSRange stored;
    NSRange evaluation;
    friend bool operator==(const Mapped&, const Mapped&) = default;
};

std::vector<Mapped> mappingsOf(const NCExpressionMappings& mappings) {
    std::vector<Mapped> out;
    mappings.enumerateMappings([&](NSRange stored, NSRange evaluation) {
        out.push_back({stored, evaluation});
    });
    return out;
}

struct Case {
    std::u16string stored;
    std::u16string evaluation;
    std::vector<Mapped> mappings;
};

class DefaultSubstitutions : public ::testing::TestWithParam<Case> {};

TEST_P(DefaultSubstitutions, RewriteAndMap) {
    const Case& c = GetParam();
    std::u16string text = c.stored;
    NCExpressionMappings mappings =
        NCExpressionSubstituter::defaultSubstituter().applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, c.evaluation);
    EXPECT_EQ(mappingsOf(mappings), c.mappings);
}

const std::u16string kOff = u"\x16_percent_off\x17";

INSTANTIATE_TEST_SUITE_P(
    Cases, DefaultSubstitutions,
    ::testing::Values(
        Case{u"5 \u00D7 3", u"5 * 3", {}}, Case{u"10 \u2212 4 \u00F7 2", u"10 - 4 / 2", {}},
        Case{u"20% off 50", u"20" + kOff + u" 50", {{{2, 5}, {2, 14}}}},
        Case{u"20 as a % of 50", u"20 _as_percent_of 50", {{{3, 9}, {3, 14}}}},
        Case{u"5 ft in cm", u"5 ft __uc cm", {{{5, 2}, {5, 4}}}},
        Case{u"5 ft in", u"5 ft __uc", {{{5, 2}, {5, 4}}}},
        Case{u"(5 ft)in cm", u"(5 ft)__uc cm", {{{6, 2}, {6, 4}}}},
        Case{u"within 3", u"within 3", {}},
        Case{u"Line12 + 1", u"(___abs_line_numbered(12)) + 1", {{{0, 6}, {0, 26}}}},
        Case{u"line 12", u"line 12", {}}, Case{u"1 m/s\u00B2", u"1 m/s^2", {{{5, 1}, {5, 2}}}},
        Case{u"s\u207B\u00B9\u00B2", u"s^-12", {{{1, 3}, {1, 4}}}},
        Case{u"a\u207B b", u"a\u207B b", {}}, Case{u"\u00A0", u" ", {{{0, 1}, {0, 1}}}},
        Case{u"\u221A16",
             u"\x16sqrt\x17"
             u"16",
             {{{0, 1}, {0, 6}}}},
        // Two rewrites: the second is mapped back through the first's change of length.
        Case{u"20% off 50 in eur",
             u"20" + kOff + u" 50 __uc eur",
             {{{2, 5}, {2, 14}}, {{11, 2}, {20, 4}}}},
        Case{u"x in in y", u"x __uc __uc y", {{{2, 2}, {2, 4}}, {{5, 2}, {7, 4}}}},
        // Every word of a rule's alternatives, the line word in any case, the conversion
        // words in their own case only; a word inside a group after the rule's start.
        Case{u"2 m to ft", u"2 m __uc ft", {{{4, 2}, {4, 4}}}},
        Case{u"2 m as ft", u"2 m __uc ft", {{{4, 2}, {4, 4}}}},
        Case{u"5 ft IN cm", u"5 ft IN cm", {}},
        Case{u"LINE7", u"(___abs_line_numbered(7))", {{{0, 5}, {0, 25}}}},
        Case{u"1 as a percentage of 4", u"1 _as_percent_of 4", {{{2, 18}, {2, 14}}}},
        Case{u"\uFF4Cine3", u"\uFF4Cine3", {}},
        // "in" after a number and before another conversion word is the inch.
        Case{u"5 ft + 11 in in cm",
             u"5 ft + 11 inch __uc cm",
             {{{10, 2}, {10, 4}}, {{13, 2}, {15, 4}}}},
        Case{u"5 in to cm", u"5 inch __uc cm", {{{2, 2}, {2, 4}}, {{5, 2}, {7, 4}}}},
        Case{u"2.5  in as mm", u"2.5  inch __uc mm", {{{5, 2}, {5, 4}}, {{8, 2}, {10, 4}}}},
        Case{u"5 in in", u"5 inch __uc", {{{2, 2}, {2, 4}}, {{5, 2}, {7, 4}}}},
        Case{u"5 in cm", u"5 __uc cm", {{{2, 2}, {2, 4}}}},
        Case{u"5 in", u"5 __uc", {{{2, 2}, {2, 4}}}},
        Case{u"5 in IN cm", u"5 __uc IN cm", {{{2, 2}, {2, 4}}}},
        Case{u"5 in inch", u"5 __uc inch", {{{2, 2}, {2, 4}}}},
        Case{u"x2 in in y", u"x2 __uc __uc y", {{{3, 2}, {3, 4}}, {{6, 2}, {8, 4}}}},
        Case{u"line1 in in cm",
             u"(___abs_line_numbered(1)) __uc __uc cm",
             {{{0, 5}, {0, 25}}, {{6, 2}, {26, 4}}, {{9, 2}, {31, 4}}}}));

TEST(ExpressionSubstituter, UnknownOperatorTypesAddNothing) {
    NCExpressionSubstituter substituter;
    testing::internal::CaptureStderr();
    substituter.addOperatorRegex(u"x", 0);
    substituter.addOperatorRegex(u"x", 19);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Unknown operator type 19"), std::string::npos);
    std::u16string text = u"x";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"x");
}

TEST(ExpressionSubstituter, SelfMatchingAndEmptyRulesEnd) {
    NCExpressionSubstituter substituter;
    substituter.addMappingFromRegex(u"a", u"aa");
    substituter.addMappingFromRegex(u"z*", u"-");
    std::u16string text = u"aba";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"aabaa");
}

TEST(ExpressionSubstituter, TheInchFollowsTheConversionWords) {
    // Another language's words: the inch is read only while "in" is one of them, and any of
    // them after it makes it the inch.
    NCExpressionSubstituter substituter;
    substituter.setUnitConversionOperators({u"nach", u"in"});
    std::u16string text = u"5 in nach cm";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"5 inch __uc cm");
    substituter.setUnitConversionOperators({u"nach", u"zu"});
    text = u"5 in nach cm";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"5 in __uc cm");
}

TEST(ExpressionSubstituter, ReplacingAPhraseType) {
    NCExpressionSubstituter substituter;
    substituter.addOperatorRegex(u"%\\s*off", 4);
    substituter.removeOperatorRegexesForOperatorType(4);
    substituter.addOperatorRegex(u"%\\s*rabatt", 4);
    std::u16string text = u"20% rabatt 50";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"20\x16_percent_off\x17 50");
    EXPECT_EQ(substituter.lineReferenceWordString(), std::nullopt);
    substituter.setLineReferenceWordString(u"Zeile");
    EXPECT_EQ(substituter.lineReferenceWordString(), u"zeile");
}

}  // namespace
