// The expression parser: a line in, its tree and display tokens out.
#include <gtest/gtest.h>

#include "AnalyzerTestSupport.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFExpressionParser.h"

namespace {

using analyzer_test::Environment;
using analyzer_test::kindText;

std::string describeDisplayTokens(NBFParsedExpressionRef parsed) {
    std::string out;
    for (NBFTokenRef token : NBFParsedExpressionGetTokens(parsed)) {
        if (NBFTokenGetType(token) == kNBFTokenTypeWhitespace) continue;
        if (!out.empty()) out += " ";
        out +=
            NBFStringGetCppString(token->string()) + ":" +
            kindText(NBFTokenGetType(token), NBFTokenGetSubType(token), NBFTokenGetSubType(token));
    }
    return out;
}

std::string print(NBFExpressionTreeRef tree) {
    if (!tree) return "";
    NBFExpressionNodeTreePrinterRef printer = NBFExpressionNodeTreePrinterCreate(tree);
    std::string text = NBFExpressionNodeTreePrinterCreateString(printer);
    NBFExpressionNodeTreePrinterRelease(printer);
    return text;
}

class ExpressionParserTest : public ::testing::Test {
  protected:
    ExpressionParserTest() {
        NBFExpressionScannerInit();
        parser = NBFExpressionParserCreate(environment.functions, environment.variables,
                                           environment.wordOperators, nullptr);
    }
    ~ExpressionParserTest() override { NBFExpressionParserRelease(parser); }

    NBFParsedExpressionRef parse(const std::string& text) {
        auto expression = NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(text));
        return NBFExpressionParserParseExpression(parser, expression.get());
    }

    Environment environment;
    NBFExpressionParserRef parser;
};

TEST_F(ExpressionParserTest, DisplayTokensShowWhatEachTokenBecame) {
    struct Row {
        std::string text;
        std::string tree;
        std::string display;
    };
    const std::vector<Row> rows = {
        // A minus that became a sign shows as one.
        {"-2 + 3", "((`u-`2)+3)", "-:op18 2:num8 +:op10 3:num8"},
        // A trailing operator that vanished shows as a word.
        {"5 +", "5", "5:num8 +:word"},
        {"(1) 2y", "(1*(2*{variable:y}))", "(:br1 1:num8 ):br2 2:num8 y:var"},
        // A word operator shows as the operator it stands for.
        {"3 per 4", "(3`per`4)", "3:num8 per:op13 4:num8"},
        {"sqrt 4", "sqrt([4])", "sqrt:fn 4:num8"},
        {"rent: 5 apples", "5", "rent::word 5:num8 apples:word"},
        // Without a tree no token took part.
        {"5 / / 2", "", "5:word /:word /:word 2:word"},
        {"", "", ""},
    };
    for (const Row& row : rows) {
        NBFParsedExpressionRef parsed = parse(row.text);
        ASSERT_TRUE(parsed) << row.text;
        EXPECT_EQ(print(NBFParsedExpressionGetExpressionTree(parsed)), row.tree) << row.text;
        EXPECT_EQ(describeDisplayTokens(parsed), row.display) << row.text;
        NBFParsedExpressionRelease(parsed);
    }
}

TEST_F(ExpressionParserTest, TheTreeKeepsTheTokensItsNodesName) {
    NBFParsedExpressionRef parsed = parse("12 + 30");
    NBFExpressionNodeRef sum = NBFParsedExpressionGetExpressionTree(parsed)->root();
    NBFExpressionTokenRef token = NBFExpressionNodeGetExpressionToken(sum);
    EXPECT_EQ(NBFStringGetCppString(NBFExpressionTokenGetStringReference(token)), "+");
    NBFRange range =
        NBFTokenGetType(NBFParsedExpressionGetTokens(parsed)[2]) == kNBFTokenTypeOperator
            ? NBFParsedExpressionGetTokens(parsed)[2]->range()
            : NBFRange{-1, -1};
    EXPECT_EQ(range.location, 3);
    EXPECT_EQ(range.length, 1);
    NBFParsedExpressionRelease(parsed);
}

TEST_F(ExpressionParserTest, NullArgumentsAndTokenizedInput) {
    EXPECT_EQ(NBFExpressionParserParseExpression(nullptr, nullptr), nullptr);
    EXPECT_EQ(NBFExpressionParserParseExpression(parser, nullptr), nullptr);
    EXPECT_EQ(NBFExpressionParserParseTokenizedExpression(parser, nullptr), nullptr);
    EXPECT_TRUE(NBFParsedExpressionGetTokens(nullptr).empty());
    EXPECT_EQ(NBFParsedExpressionGetExpressionTree(nullptr), nullptr);
    NBFExpressionParserSetEnableContextualAnalysis(parser, false);  // analysis still runs
    auto tokenized = analyzer_test::tokenizeLine("2y");
    NBFParsedExpressionRef parsed =
        NBFExpressionParserParseTokenizedExpression(parser, tokenized.get());
    EXPECT_EQ(print(NBFParsedExpressionGetExpressionTree(parsed)), "(2*{variable:y})");
    NBFParsedExpressionRelease(parsed);
}

TEST(ParsedExpression, HoldsItsTokensAndWrapsTheRoot) {
    auto text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8("7"));
    NBFTokenRef token =
        NBFTokenCreate({0, 1}, kNBFTokenTypeNumber, kNBFTokenSubTypeDecimalNumber, text.get());
    NBFExpressionNodeRef root = NBFExpressionNodeCreateOperand_TransferOwnership(
        NBFNumberCreateWithInt32(7, NBFNumberTypeNumber), nullptr);
    NBFParsedExpressionRef parsed = NBFParsedExpressionCreate({token}, root);
    EXPECT_EQ(token->retainCount(), 2);
    EXPECT_EQ(NBFParsedExpressionGetExpressionTree(parsed)->root(), root);
    EXPECT_EQ(NBFTokenGetSubType(NBFParsedExpressionGetTokens(parsed)[0]),
              kNBFTokenSubTypeDecimalNumber);
    NBFParsedExpressionRef empty = NBFParsedExpressionCreate({}, nullptr);
    EXPECT_EQ(NBFParsedExpressionGetExpressionTree(empty), nullptr);
    NBFParsedExpressionRelease(empty);
    NBFParsedExpressionRelease(parsed);
    NBFExpressionNodeRelease(root);
    EXPECT_EQ(token->retainCount(), 1);
    NBFTokenRelease(token);
}

}  // namespace
