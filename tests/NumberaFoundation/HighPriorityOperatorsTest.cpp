#include <gtest/gtest.h>

#include "AnalysisTreeTestSupport.h"
#include "NBFRagelMatcher.h"

namespace {

constexpr token_type U = kNBFTokenTypeUnit;
constexpr NBFTokenSubType standalone = kNBFTokenSubTypeStandaloneUnit;  // 28
constexpr NBFTokenSubType afterValue = kNBFTokenSubTypeUnitAfterValue;  // 27
const std::pair<token_type, NBFTokenSubType> uc = {kNBFTokenTypeOperator,
                                                   kNBFTokenSubTypeUnitConversion};

struct MatchRow {
    std::string text;
    KindOverrides kinds;
    std::vector<NBFTokenSubType> expected;  // every child's subtype after the crawl
};

class HighPriorityOperators : public ::testing::TestWithParam<MatchRow> {};

// Subtypes: 8 number, 29 whitespace, 12/13 multiply/divide, 19 "__uc", 23/24/25 their
// high-priority forms.
TEST_P(HighPriorityOperators, MarksTheOperatorOfEachMatch) {
    NBFEPExpressionTreeRef tree = makeAnalysisTree(GetParam().text, GetParam().kinds);
    NBFRagelMatcherRef matcher = NBFStandardRagelMatchersCreateHighPriorityOperators();
    ragel_matcher_crawl(matcher, NBFEPExpressionTreeGetRootNode(tree));
    EXPECT_EQ(childSubTypes(NBFEPExpressionTreeGetRootNode(tree)), GetParam().expected);
    NBFRagelMatcherRelease(matcher);
    NBFEPExpressionTreeRelease(tree);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HighPriorityOperators,
    ::testing::Values(
        MatchRow{"60 km/h", {{2, {U, afterValue}}, {4, {U, standalone}}}, {8, 29, 27, 23, 28}},
        MatchRow{"6 m * 2 s",
                 {{2, {U, afterValue}}, {8, {U, afterValue}}},
                 {8, 29, 27, 29, 12, 29, 8, 29, 27}},
        MatchRow{
            "5 kg / m", {{2, {U, afterValue}}, {6, {U, standalone}}}, {8, 29, 27, 29, 23, 29, 28}},
        MatchRow{"5 kg / 2", {{2, {U, afterValue}}}, {8, 29, 27, 29, 13, 29, 8}},
        MatchRow{
            "2 m * s", {{2, {U, afterValue}}, {6, {U, standalone}}}, {8, 29, 27, 29, 24, 29, 28}},
        MatchRow{"__uc 3 / 2", {{0, uc}}, {25, 29, 8, 29, 13, 29, 8}},
        MatchRow{"__uc m * 2", {{0, uc}, {2, {U, standalone}}}, {25, 29, 28, 29, 12, 29, 8}},
        MatchRow{
            "__uc 3 m / 2", {{0, uc}, {4, {U, afterValue}}}, {19, 29, 8, 29, 27, 29, 13, 29, 8}},
        // Only the first "/": the search resumes after the first s.
        MatchRow{"1 m/s/s",
                 {{2, {U, afterValue}}, {4, {U, standalone}}, {6, {U, standalone}}},
                 {8, 29, 27, 23, 28, 13, 28}},
        MatchRow{"60 km - h",
                 {{2, {U, afterValue}}, {6, {U, standalone}}},
                 {8, 29, 27, 29, 11, 29, 28}}));

// A fraction of two numbers written as one word before a unit after the value: its "/"
// binds first. Subtypes as above, 14 the power operator.
class FractionsOfAUnit : public ::testing::TestWithParam<MatchRow> {};

TEST_P(FractionsOfAUnit, MarkOnlyTheDivideOfAWrittenFraction) {
    NBFEPExpressionTreeRef tree = makeAnalysisTree(GetParam().text, GetParam().kinds);
    NBFRagelMatcherRef matcher = NBFStandardRagelMatchersCreateHighPriorityOperators();
    ragel_matcher_crawl(matcher, NBFEPExpressionTreeGetRootNode(tree));
    EXPECT_EQ(childSubTypes(NBFEPExpressionTreeGetRootNode(tree)), GetParam().expected)
        << GetParam().text;
    NBFRagelMatcherRelease(matcher);
    NBFEPExpressionTreeRelease(tree);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FractionsOfAUnit,
    ::testing::Values(
        MatchRow{"3/4 cup", {{4, {U, afterValue}}}, {8, 23, 8, 29, 27}},
        MatchRow{"3/4cup", {{3, {U, afterValue}}}, {8, 23, 8, 27}},
        MatchRow{"1 + 1/2 cup", {{8, {U, afterValue}}}, {8, 29, 10, 29, 8, 23, 8, 29, 27}},
        // Spaced, before a plain number, or a numerator another operator holds: unmarked.
        MatchRow{"6 / 2 h", {{6, {U, afterValue}}}, {8, 29, 13, 29, 8, 29, 27}},
        MatchRow{"6 /2 h", {{5, {U, afterValue}}}, {8, 29, 13, 8, 29, 27}},
        MatchRow{"3/4", {}, {8, 13, 8}},
        MatchRow{"2^3/4 kg",
                 {{1, {kNBFTokenTypeOperator, kNBFTokenSubTypePower}}, {6, {U, afterValue}}},
                 {8, 14, 8, 13, 8, 29, 27}},
        MatchRow{"8/2/4 kg", {{6, {U, afterValue}}}, {8, 13, 8, 13, 8, 29, 27}}));

TEST(HighPriorityOperators, CrawlsIntoGroups) {
    NBFEPExpressionTreeRef tree = NBFEPExpressionTreeCreate();
    NBFEPExpressionTreeNodeRef group = NBFEPExpressionTreeNodeCreate();
    NBFExpressionTreeNodeSetTokenType(group, kNBFTokenTypeGroup);
    NBFExpressionTreeNodeSetTokenSubType(group, kNBFTokenSubTypeBracketGroup);
    addLeaves(group, "(60 km/h)", {{3, {U, afterValue}}, {5, {U, standalone}}});
    NBFExpressionTreeNodeAddChild(NBFEPExpressionTreeGetRootNode(tree), group);
    NBFRagelMatcherRef matcher = NBFStandardRagelMatchersCreateHighPriorityOperators();
    ragel_matcher_crawl(matcher, NBFEPExpressionTreeGetRootNode(tree));
    EXPECT_EQ(childSubTypes(group), (std::vector<NBFTokenSubType>{1, 8, 29, 27, 23, 28, 2}));
    NBFRagelMatcherRelease(matcher);
    NBFEPExpressionTreeNodeRelease(group);
    NBFEPExpressionTreeRelease(tree);
}

TEST(HighPriorityOperators, MatchPositionsAndSymbols) {
    NBFEPExpressionTreeRef tree =
        makeAnalysisTree("x 5 kg / m", {{4, {U, afterValue}}, {8, {U, standalone}}});
    const NBFEPExpressionTreeNodeVector& nodes =
        NBFExpressionTreeNodeGetChildren(NBFEPExpressionTreeGetRootNode(tree));
    NBFRagelMatcherRef matcher = NBFStandardRagelMatchersCreateHighPriorityOperators();
    int32_t start = -1, end = -1;
    NBFSyntax syntax = kNBFSyntaxNone;
    NBFEPExpressionTreeNodeRef marked = nullptr;
    ASSERT_TRUE(NBFRagelMatcherFindNextMatch(matcher, nodes.data(), nodes.data() + nodes.size(),
                                             &start, &end, &syntax, &marked));
    EXPECT_EQ(syntax, kNBFSyntaxHighPriorityUnitOperator);
    EXPECT_EQ(start, 8);
    EXPECT_EQ(end, 8);
    EXPECT_EQ(marked, nodes[6]);
    // Searching from after the match finds nothing more.
    EXPECT_FALSE(NBFRagelMatcherFindNextMatch(
        matcher, nodes.data() + 9, nodes.data() + nodes.size(), &start, &end, &syntax, &marked));
    const NBFRagelMatcherImplementation& symbols = *matcher->implementation;
    EXPECT_EQ(symbols.ragelToken(kNBFTokenTypeGroup, 35), 4);
    EXPECT_EQ(symbols.ragelToken(kNBFTokenTypeOperator, kNBFTokenSubTypePercent), '5');
    EXPECT_EQ(symbols.ragelToken(kNBFTokenTypeWhitespace, 29), 100);
    EXPECT_EQ(symbols.ragelToken(kNBFTokenTypeWord, 0), 0);
    NBFRagelMatcherRelease(matcher);
    NBFEPExpressionTreeRelease(tree);
}

}  // namespace
