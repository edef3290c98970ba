// The parser by the trees it builds, printed with every operation in brackets: "(2+(3*4))".
#include <gtest/gtest.h>

#include "AnalyzerTestSupport.h"
#include "NBFErrorLog.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFParseLimits.h"
#include "NBFParser.h"

namespace {

using analyzer_test::Environment;
using analyzer_test::releaseTokens;
using analyzer_test::tokenizeLine;

struct Parsed {
    std::string tree;  // "" without a tree
    NBFParseError error;
};

std::string print(NBFExpressionTreeRef tree) {
    if (!tree) return "";
    NBFExpressionNodeTreePrinterRef printer = NBFExpressionNodeTreePrinterCreate(tree);
    std::string text = NBFExpressionNodeTreePrinterCreateString(printer);
    NBFExpressionNodeTreePrinterRelease(printer);
    return text;
}

Parsed parseTokens(const NBFExpressionTokenVector& tokens) {
    NBFParserRef parser = NBFParserCreate();
    NBFExpressionTreeRef tree =
        NBFParserCreateExpressionTreeByParsingExpressionTokens(parser, &tokens);
    Parsed parsed{print(tree), NBFParserGetError(parser)};
    NBF::release(tree);
    NBFParserRelease(parser);
    return parsed;
}

Parsed parse(Environment& environment, const std::string& text) {
    auto tokenized = tokenizeLine(text);
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(environment.analyzer, tokenized.get(), 0);
    Parsed parsed = parseTokens(tokens);
    releaseTokens(tokens);
    return parsed;
}

struct ParseRow {
    std::string text;
    std::string tree;
    NBFParseError error = 0;
};

std::ostream& operator<<(std::ostream& out, const ParseRow& row) { return out << row.text; }

class ParsedLines : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParsedLines, BuildTheseTrees) {
    Environment environment;
    Parsed parsed = parse(environment, GetParam().text);
    EXPECT_EQ(parsed.tree, GetParam().tree);
    EXPECT_EQ(parsed.error, GetParam().error);
}

// `u-` and `u+` are the signs, `fact` the factorial, `e10` times ten to the power; functions
// print their argument list in square brackets.
INSTANTIATE_TEST_SUITE_P(
    Precedence, ParsedLines,
    ::testing::Values(ParseRow{"2 + 3 * 4", "(2+(3*4))"}, ParseRow{"2 * 3 + 4", "((2*3)+4)"},
                      ParseRow{"2^3^2", "(2^(3^2))"}, ParseRow{"10-4-3", "((10-4)-3)"},
                      ParseRow{"8 / 4 / 2", "((8/4)/2)"}, ParseRow{"2 * 3 / 4", "((2*3)/4)"},
                      // Unary minus and power share a strength; the sign waits for the power.
                      ParseRow{"-2^2", "(`u-`(2^2))"}, ParseRow{"(-2^2)", "(`u-`(2^2))"},
                      ParseRow{"2^-2", "(2^(`u-`2))"}, ParseRow{"--2", "(`u-`(`u-`2))"},
                      ParseRow{"2 - -3", "(2-(`u-`3))"}, ParseRow{"+5", "(`u+`5)"},
                      ParseRow{"5! + 1", "((`fact`5)+1)"}, ParseRow{"2^3!", "(2^(`fact`3))"},
                      ParseRow{"1 + 50%", "(1+(%50))"}, ParseRow{"2e3", "(2`e10`3)"},
                      ParseRow{"2e-3", "(2`e10`(`u-`3))"},
                      // The times-ten power is reduced before a power.
                      ParseRow{"2e3^2", "((2`e10`3)^2)"}, ParseRow{"(1 + 2) * 3", "((1+2)*3)"},
                      ParseRow{"((((7))))", "7"}));

INSTANTIATE_TEST_SUITE_P(ImplicitOperators, ParsedLines,
                         ::testing::Values(ParseRow{"2y", "(2*{variable:y})"},
                                           ParseRow{"2(3)", "(2*3)"}, ParseRow{"(1)(2)", "(1*2)"},
                                           ParseRow{"(2)y", "(2*{variable:y})"},
                                           // A number before a variable binds tighter than division
                                           // and power binds tighter still.
                                           ParseRow{"1/2y", "(1/(2*{variable:y}))"},
                                           ParseRow{"2y^2", "(2*({variable:y}^2))"},
                                           ParseRow{"2 sqrt 4", "(2*sqrt([4]))"}));

INSTANTIATE_TEST_SUITE_P(
    FunctionsAndLists, ParsedLines,
    ::testing::Values(ParseRow{"(1;2)", "[1;2]"}, ParseRow{"(1; 2; 3) + 0", "([1;2;3]+0)"},
                      ParseRow{"max(1;2)", "max([1;2])"}, ParseRow{"sqrt(16)", "sqrt([16])"},
                      // Without brackets a function takes the operand after it.
                      ParseRow{"sin 30 + 1", "(sin([30])+1)"},
                      ParseRow{"sqrt sqrt 16", "sqrt([sqrt([16])])"},
                      ParseRow{"sin 2y", "sin([(2*{variable:y})])"},
                      ParseRow{"sin(30)^2", "(sin([30])^2)"},
                      // Too few arguments: the call is a missing operand.
                      ParseRow{"max(1)", ""}, ParseRow{"sqrt", ""}));

INSTANTIATE_TEST_SUITE_P(WordOperators, ParsedLines,
                         ::testing::Values(ParseRow{"3 of 4", "(3`of`4)"},
                                           ParseRow{"2 + 3 of 4", "(2+(3`of`4))"},
                                           ParseRow{"6 per 3 per 2", "((6`per`3)`per`2)"},
                                           ParseRow{"7 mod 3", "(7`mod`3)"},
                                           ParseRow{"7 _as_percent", "(`_as_percent`7)"},
                                           ParseRow{"twice 4", "(`twice`4)"}));

INSTANTIATE_TEST_SUITE_P(
    Recovery, ParsedLines,
    ::testing::Values(ParseRow{"5 +", "5"}, ParseRow{"/ 4", "4"}, ParseRow{"2) + 3", "2"},
                      ParseRow{"(3 + 4", "(3+4)"}, ParseRow{"2 * (3", "(2*3)"},
                      ParseRow{"(1; )", "[1;{empty_operand}]"}, ParseRow{"3 apples 4", "4"},
                      ParseRow{"apples * 3", "({empty_operand}*3)"},
                      ParseRow{"5 / / 2", "", NBFParseErrorGeneral},
                      ParseRow{"2 + * 3", "", NBFParseErrorGeneral}, ParseRow{"", ""},
                      ParseRow{"apples", ""}, ParseRow{"()", ""}));

TEST(Parser, ModuloBindsAsMultiplicationDoes) {
    struct Row {
        const char* text;
        std::vector<NBFOperatorType> preOrder;  // operators and (as 0) operands, root first
    };
    const std::vector<Row> rows = {
        {"7 __mod 3", {NBFOperatorTypeModulo, 0, 0}},
        {"1 + 7 __mod 3", {NBFOperatorTypeAdd, 0, NBFOperatorTypeModulo, 0, 0}},
        {"2 * 7 __mod 3", {NBFOperatorTypeModulo, NBFOperatorTypeMultiply, 0, 0, 0}},
        {"7 __mod 3 ^ 2", {NBFOperatorTypeModulo, 0, NBFOperatorTypePower, 0, 0}},
    };
    Environment environment;
    for (const Row& row : rows) {
        auto tokenized = tokenizeLine(row.text);
        NBFExpressionTokenVector tokens = NBFContextualAnalyzerAnalyzeTokenizedExpression(
            environment.analyzer, tokenized.get(), 0);
        NBFParseError error = 99;
        NBFExpressionTreeRef tree = NBFParserImplParse(tokens, &error);
        ASSERT_TRUE(tree) << row.text;
        EXPECT_EQ(error, 0u);
        std::vector<NBFOperatorType> preOrder;
        std::vector<NBFExpressionNodeRef> pending{tree->root()};
        while (!pending.empty()) {
            NBFExpressionNodeRef node = pending.back();
            pending.pop_back();
            preOrder.push_back(NBFExpressionNodeGetOperatorType(node));
            const NBFExpressionNodeVector& children = NBFExpressionNodeGetChildren(node);
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
        EXPECT_EQ(preOrder, row.preOrder) << row.text;
        NBF::release(tree);
        releaseTokens(tokens);
    }
}

TEST(Parser, NodesRecordTheirTokens) {
    Environment environment;
    auto tokenized = tokenizeLine("-2 + y");
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(environment.analyzer, tokenized.get(), 0);
    ASSERT_EQ(tokens.size(), 6u);  // -, 2, space, +, space, y
    NBFExpressionTreeRef tree = NBFParserImplParse(tokens, nullptr);
    ASSERT_TRUE(tree);
    NBFExpressionNodeRef sum = tree->root();
    NBFExpressionNodeRef negation = NBFExpressionNodeGetChildren(sum)[0];
    EXPECT_EQ(NBFExpressionNodeGetExpressionToken(sum), tokens[3]);
    EXPECT_EQ(NBFExpressionNodeGetExpressionToken(negation), tokens[0]);
    EXPECT_EQ(NBFExpressionNodeGetOperatorType(negation), NBFOperatorTypeUnaryMinus);
    EXPECT_EQ(NBFExpressionNodeGetExpressionToken(NBFExpressionNodeGetChildren(negation)[0]),
              tokens[1]);
    EXPECT_EQ(NBFExpressionNodeGetExpressionToken(NBFExpressionNodeGetChildren(sum)[1]), tokens[5]);
    NBF::release(tree);
    releaseTokens(tokens);
}

TEST(Parser, NullArgumentsAndErrorsOfTheLastParse) {
    NBFParserRef parser = NBFParserCreate();
    EXPECT_EQ(NBFParserGetError(parser), 0u);
    EXPECT_EQ(NBFParserCreateExpressionTreeByParsingExpressionTokens(parser, nullptr), nullptr);
    NBFExpressionTokenVector none;
    EXPECT_EQ(NBFParserCreateExpressionTreeByParsingExpressionTokens(nullptr, &none), nullptr);
    EXPECT_EQ(NBFParserGetError(nullptr), 0u);
    EXPECT_EQ(NBFParserRetain(parser), parser);
    NBFParserRelease(parser);
    NBFParserRelease(parser);
    EXPECT_NE(NBFParseErrorNone, 0u);
    EXPECT_NE(NBFParseErrorNoRecovery, NBFParseErrorGeneral);
}

TEST(Parser, RefusesNestingBeyondItsBounds) {
    Environment environment;
    struct Row {
        std::string text;
        NBFParseError error;
    };
    auto repeat = [](const std::string& part, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += part;
        return text;
    };
    const int depth = NBFMaxBracketDepth;
    const int height = NBFMaxExpressionTreeHeight;
    const std::vector<Row> rows = {
        {repeat("(", depth) + "1" + repeat(")", depth), 0},
        {repeat("(", depth + 1) + "1" + repeat(")", depth + 1), NBFParseErrorNoRecovery},
        {repeat("(", 100000) + "1", NBFParseErrorNoRecovery},
        // A sum of n terms is a tree of height n.
        {"1" + repeat("+1", height - 1), 0},
        {"1" + repeat("+1", height), NBFParseErrorNoRecovery},
        {repeat("-", 5000) + "1", NBFParseErrorNoRecovery},
        {"2" + repeat("^2", 5000), NBFParseErrorNoRecovery},
    };
    for (const Row& row : rows) {
        Parsed parsed = parse(environment, row.text);
        EXPECT_EQ(parsed.error, row.error) << row.text.substr(0, 40);
        EXPECT_EQ(parsed.tree.empty(), row.error != 0) << row.text.substr(0, 40);
    }
}

}  // namespace
