// The analyser as a whole: lines in, expression tokens out.
#include <gtest/gtest.h>

#include "AnalyzerTestSupport.h"

namespace {

using analyzer_test::Environment;
using analyzer_test::releaseTokens;
using analyzer_test::tokenizeLine;

struct LineRow {
    std::string text;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const LineRow& row) { return out << row.text; }

class AnalyzedLines : public ::testing::TestWithParam<LineRow> {};

TEST_P(AnalyzedLines, BecomeTheseTokens) {
    Environment environment;
    EXPECT_EQ(environment.analyse(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AnalyzedLines,
    ::testing::Values(
        LineRow{"3 apples 4", "3:word apples:word 4:num8"},
        LineRow{"5! + 1", "5:num8 !:op16 +:op10 1:num8"}, LineRow{"hello!", "hello!:word"},
        LineRow{"(3 + 4", "(:br1 3:num8 +:op10 4:num8"}, LineRow{"3) + 4", "3:num8 ):br2"},
        LineRow{"1 000 + 5", "1 000:num8 +:op10 5:num8"}, LineRow{"2e5", "2:num8 e:op15 5:num8"},
        // Once "e" is a word, nothing joins 2 and 5: the 2 is lonely.
        LineRow{"2 e 5", "2:word e:word 5:num8"}, LineRow{"y = 5", "y:word =:eq 5:num8"},
        LineRow{"2y + y2", "2:num8 y:var +:op10 y2:var"},
        LineRow{"mp3 x-ray", "mp3:word x-ray:word"},
        LineRow{"sqrt(4)", "sqrt:fn (:br1 4:num8 ):br2"},
        LineRow{"3 per 4", "3:num8 per:op21/13 4:num8"},
        LineRow{"7 mod 3", "7:num8 mod:op21 3:num8"},
        LineRow{"2^-3", "2:num8 ^:op14 -:op11 3:num8"},
        LineRow{"rent: 5 // monthly", "rent::com4 5:num8 // monthly:com7"}, LineRow{"", ""}));

TEST(ContextualAnalyzer, TokensCarryRangesNumbersAndWhatTheyName) {
    Environment environment;
    auto tokenized = tokenizeLine("1 000 000 per y");
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(environment.analyzer, tokenized.get(), 7);
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(NBFExpressionTokenGetRange(tokens[0]).location, 0);
    EXPECT_EQ(NBFExpressionTokenGetRange(tokens[0]).length, 9);
    EXPECT_EQ(NBFStringGetCppString(NBFExpressionTokenGetDecimalStringReference(tokens[0])),
              "1000000");
    EXPECT_EQ(NBFExpressionTokenGetWordOperator(tokens[2]), environment.get("per"));
    EXPECT_EQ(NBFExpressionTokenGetSubType(tokens[2]), kNBFTokenSubTypeDivide);
    EXPECT_EQ(NBFExpressionTokenGetActualSubType(tokens[2]), kNBFTokenSubTypeWordOperator);
    NBFScopedVariableRef variable = NBFExpressionTokenGetVariable(tokens[4]);
    EXPECT_EQ(
        NBFStringGetCppString(NBFVariableGetNameReference(NBFScopedVariableGetVariable(variable))),
        "y");
    // Lines may not redefine variables by default: the variable is seen in every scope.
    EXPECT_EQ(NBFScopedVariableGetScopeIndex(variable), static_cast<uint32_t>(INT32_MAX));
    for (NBFExpressionTokenRef token : tokens) EXPECT_EQ(token->retainCount(), 1);
    releaseTokens(tokens);
}

TEST(ContextualAnalyzer, VariablesTakeTheLinesScopeWhenLinesMayRedefineThem) {
    Environment environment;
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFSettingsSetBool(settings, NBFSettingAllowsVariableRedefinitions, true);
    NBFContextualAnalyzerSetSettings(environment.analyzer, settings);
    NBFSettingsRelease(settings);
    auto tokenized = tokenizeLine("y");
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(environment.analyzer, tokenized.get(), 7);
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(NBFScopedVariableGetScopeIndex(NBFExpressionTokenGetVariable(tokens[0])), 7u);
    releaseTokens(tokens);
}

TEST(ContextualAnalyzer, TheOlderConfigurationMakesSignsUnary) {
    Environment environment;
    EXPECT_EQ(environment.analyse("3 * -2"), "3:num8 *:op12 -:op11 2:num8");
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFSettingsSetBool(settings, NBFSettingUsesNewEvaluatorImpl, false);
    NBFContextualAnalyzerSetSettings(environment.analyzer, settings);
    NBFSettingsRelease(settings);
    EXPECT_EQ(environment.analyse("3 * -2"), "3:num8 *:op12 -:op18 2:num8");
    EXPECT_EQ(environment.analyse("-2 + 1"), "-:op18 2:num8 +:op10 1:num8");
}

TEST(ContextualAnalyzer, NullArgumentsAndNoNamespace) {
    auto tokenized = tokenizeLine("rate + 1");
    EXPECT_TRUE(
        NBFContextualAnalyzerAnalyzeTokenizedExpression(nullptr, tokenized.get(), 0).empty());
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();
    EXPECT_TRUE(NBFContextualAnalyzerAnalyzeTokenizedExpression(analyzer, nullptr, 0).empty());
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(analyzer, tokenized.get(), 0);
    EXPECT_EQ(analyzer_test::describeTokens(tokens), "rate:word +:op10 1:num8");
    releaseTokens(tokens);
    EXPECT_EQ(NBFContextualAnalyzerRetain(analyzer), analyzer);
    NBFContextualAnalyzerRelease(analyzer);
    NBFContextualAnalyzerRelease(analyzer);
}

}  // namespace
