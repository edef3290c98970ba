// A line's plain tokens placed back on its own text through the map of what substitution
// rewrote, and line expressions parsed into the token lists they are shown and evaluated with.
#include <gtest/gtest.h>

#include "NBFRangeMap.h"
#include "NCEvaluationContext.h"
#include "NCExpressionScanner.h"
#include "NCExpressionTokenizer.h"
#include "NCLine.h"
#include "NCLineExpressionParser.h"
#include "NCTokenizedExpression.h"
#include "UnitsFileTestSupport.h"

namespace {

std::vector<NSRange> recordRanges(const NCSimpleTokenizedExpression& tokens) {
    std::vector<NSRange> ranges;
    tokens.enumerateTokensWithBlock(
        [&](const NCSimpleToken& token, bool*) { ranges.push_back(token.range); });
    return ranges;
}

std::shared_ptr<NCSimpleTokenizedExpression> substitutedTokens(const std::u16string& text) {
    initFoundationConstants();
    return NCExpressionTokenizer(kNCSimpleLocalDefault,
                                 &NCExpressionSubstituter::defaultSubstituter())
        .tokenizeExpression(NCExpression::expressionWithString(text));
}

TEST(RangeMap, NodesHoldUpToTheNextBoundary) {
    auto map = NBF::Ref<NBF::RangeMap<NSRange>>::adopt(NBF::RangeMap<NSRange>::create());
    const NSRange a{100, 1}, b{200, 2}, c{300, 3};
    map->put(2, 5, a);
    map->put(10, 12, b);
    // Overlaps the end of a and the start of b: b holds again from 11.
    map->put(4, 11, c);
    map->put(7, 7, a);  // empty: nothing
    const std::pair<int32_t, std::optional<NSRange>> gets[] = {
        {1, std::nullopt},   {2, a}, {3, a}, {4, c}, {7, c}, {10, c}, {11, b}, {12, std::nullopt},
        {100, std::nullopt},
    };
    for (const auto& [position, expected] : gets)
        EXPECT_EQ(map->get(position), expected) << position;
    struct Find {
        int32_t low, high;
        std::optional<int32_t> expected;
    } finds[] = {
        {0, 2, std::nullopt}, {0, 3, 2}, {0, 100, 11}, {11, 20, 11}, {12, 20, std::nullopt},
        {5, 5, std::nullopt}, {3, 9, 8},
    };
    for (const Find& find : finds)
        EXPECT_EQ(map->findMaxKeyInRange(find.low, find.high), find.expected)
            << find.low << ".." << find.high;
}

TEST(ExpressionTokenizer, RecordsLieOnTheLinesOwnText) {
    struct Row {
        const char16_t* text;
        std::vector<NSRange> ranges;
    } rows[] = {
        // One operator character for another: nothing moves.
        {u"5 × 3", {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        // The root sign becomes a delimited function name: the first piece covers the sign,
        // the others are empty, and "16" follows the sign directly.
        {u"2 + √16", {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 0}, {5, 0}, {5, 2}}},
        // "in" becomes the longer conversion operator; what follows shifts back onto the text.
        {u"5 in cm", {{0, 1}, {1, 1}, {2, 2}, {4, 1}, {5, 2}}},
    };
    for (const Row& row : rows) {
        auto tokens = substitutedTokens(row.text);
        EXPECT_EQ(recordRanges(*tokens), row.ranges) << utf8(std::u16string(row.text));
        EXPECT_EQ(tokens->length(), static_cast<int64_t>(std::u16string(row.text).size()));
    }
}

TEST(ExpressionTokenizer, RecordsCoverTheTextEndToEnd) {
    const char16_t* texts[] = {u"20% off 50",      u"my total = 5 in cm", u"2 + √16 × 3",
                               u"10 as a % of 50", u"a = b = 3",          u"x // note"};
    for (const char16_t* text : texts) {
        const std::u16string line(text);
        auto tokens = substitutedTokens(line);
        uint64_t end = 0;
        tokens->enumerateTokensWithBlock([&](const NCSimpleToken& token, bool*) {
            EXPECT_EQ(token.range.location, end) << utf8(line);
            end = NSMaxRange(token.range);
        });
        EXPECT_EQ(end, line.size()) << utf8(line);
    }
}

TEST(ExpressionTokenizer, WithoutSubstitutionRangesAreTheScannedOnes) {
    initFoundationConstants();
    NCExpressionTokenizer plain;
    auto tokens = plain.tokenizeExpression(NCExpression::expressionWithString(u"1 + 20 in cm"));
    ASSERT_TRUE(tokens);
    size_t count = 0;
    tokens->enumerateTokensWithBlock([&](const NCSimpleToken& token, bool*) {
        EXPECT_EQ(token.range, token.lowLevelRange);
        ++count;
    });
    EXPECT_EQ(count, tokens->countOfTokens());
    EXPECT_EQ(tokens->substitutedLength(), 12);
    // Past the end: a record of zeros.
    EXPECT_EQ(tokens->tokenAtIndex(count), NCSimpleToken{});
    EXPECT_EQ(tokens->tokenAtIndex(2).type, NCExpressionTokenTypeOperator);
    EXPECT_EQ(plain.tokenizeExpression(nullptr), nullptr);
    auto empty = plain.tokenizeExpression(NCExpression::expressionWithString(u""));
    EXPECT_EQ(empty->countOfTokens(), 0u);
    EXPECT_EQ(empty->substitutedLength(), 0);
    NCSimpleTokenizedExpression none;
    EXPECT_EQ(none.countOfTokens(), 0u);
    EXPECT_EQ(none.nbfTokenizedExpression(), nullptr);
}

struct ExpectedToken {
    NCExpressionTokenType type;
    NCExpressionTokenSubType subType;
    NSRange range;
    const char* text;
};

void expectTokens(const NCExpressionTokenArray& tokens, const std::vector<ExpectedToken>& expected,
                  const std::string& trace) {
    ASSERT_EQ(tokens.size(), expected.size()) << trace;
    for (size_t i = 0; i < tokens.size(); ++i) {
        SCOPED_TRACE(trace + " token " + std::to_string(i));
        EXPECT_EQ(tokens[i]->type(), expected[i].type);
        EXPECT_EQ(tokens[i]->subType(), expected[i].subType);
        EXPECT_EQ(tokens[i]->range(), expected[i].range);
        EXPECT_EQ(tokens[i]->highLevelRange(), expected[i].range);
        EXPECT_EQ(utf8(tokens[i]->string()), expected[i].text);
    }
}

TEST(LineExpressionParser, ADeclarationsTokensCoverTheWholeLine) {
    initFoundationConstants();
    struct Row {
        const char16_t* text;
        std::vector<ExpectedToken> line;
        std::vector<ExpectedToken> value;
    } rows[] = {
        {u"a = 5",
         {{7, 27, {0, 2}, "a "}, {8, 0, {2, 1}, "="}, {3, 0, {3, 1}, " "}, {1, 10, {4, 1}, "5"}},
         {{3, 0, {0, 1}, " "}, {1, 10, {1, 1}, "5"}}},
        // Words before the name stay text; a number there becomes text too.
        {u"my total = 5",
         {{4, 0, {0, 2}, "my"},
          {3, 0, {2, 1}, " "},
          {7, 27, {3, 6}, "total "},
          {8, 0, {9, 1}, "="},
          {3, 0, {10, 1}, " "},
          {1, 10, {11, 1}, "5"}},
         {{3, 0, {0, 1}, " "}, {1, 10, {1, 1}, "5"}}},
        // Quoted text before the name stays an inline comment.
        {u"\"net\" total = 1",
         {{12, 5, {0, 5}, "\"net\""},
          {3, 0, {5, 1}, " "},
          {7, 27, {6, 6}, "total "},
          {8, 0, {12, 1}, "="},
          {3, 0, {13, 1}, " "},
          {1, 10, {14, 1}, "1"}},
         {{3, 0, {0, 1}, " "}, {1, 10, {1, 1}, "1"}}},
        {u"2 a =",
         {{4, 0, {0, 1}, "2"}, {3, 0, {1, 1}, " "}, {7, 27, {2, 2}, "a "}, {8, 0, {4, 1}, "="}},
         {}},
    };
    NCLineExpressionParser parser;
    for (const Row& row : rows) {
        const std::string trace = utf8(std::u16string(row.text));
        auto line = NCLine::lineWithExpressionString(std::u16string(row.text));
        ASSERT_EQ(line->lineType(), NCLineExpressionTypeVariableDeclaration) << trace;
        EXPECT_FALSE(line->isParsed());
        parser.parseLineExpression(*line->lineExpression());
        ASSERT_TRUE(line->isParsed());
        expectTokens(line->parsedExpression()->tokens(), row.line, trace);
        EXPECT_EQ(line->parsedExpression()->expression(), line->expression());
        if (row.value.empty()) {
            EXPECT_EQ(line->evaluableParsedExpression(), nullptr) << trace;
            EXPECT_EQ(line->tokenizedEvaluableExpression(), nullptr) << trace;
            continue;
        }
        expectTokens(line->evaluableParsedExpression()->tokens(), row.value, trace + " value");
        EXPECT_NE(line->tokenizedEvaluableExpression(), line->simpleTokenizedExpression());
        EXPECT_EQ(line->tokenizedEvaluableExpression()->length(),
                  static_cast<int64_t>(utf8(line->evaluableExpression()->originalString()).size()));
    }
}

TEST(LineExpressionParser, ANameIsAReferenceOnlyInTheValue) {
    initFoundationConstants();
    auto line = NCLine::lineWithExpressionString(u"total = price * 2");
    NCLineExpressionParser().parseLineExpression(*line->lineExpression());
    // The declared name is a variable token of the whole line, never of the evaluated value.
    auto names = line->parsedExpression()->tokensOfType(NCExpressionTokenTypeVariable);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names.front()->subType(), NCExpressionTokenSubTypeDeclaredVariable);
    EXPECT_TRUE(line->evaluableParsedExpression()->variableReferences().empty());
    EXPECT_TRUE(
        line->evaluableParsedExpression()->tokensOfType(NCExpressionTokenTypeVariable).empty());
}

TEST(LineExpressionParser, NormalAndPlainTextLines) {
    initFoundationConstants();
    NCLineExpressionParser parser;
    auto normal = NCLine::lineWithExpressionString(u"1 + 2");
    parser.parseLineExpression(*normal->lineExpression());
    EXPECT_EQ(normal->parsedExpression(), normal->evaluableParsedExpression());
    EXPECT_EQ(normal->tokenizedEvaluableExpression(), normal->simpleTokenizedExpression());
    EXPECT_EQ(normal->parsedExpression()->countOfTokens(), 5u);
    normal->unparse();
    EXPECT_FALSE(normal->isParsed());
    EXPECT_EQ(normal->evaluableParsedExpression(), nullptr);

    auto plain = NCLine::lineWithExpressionString(u"a = b = 3");
    ASSERT_EQ(plain->lineType(), NCLineExpressionTypePlainText);
    parser.parseLineExpression(*plain->lineExpression());
    EXPECT_FALSE(plain->isParsed());
    EXPECT_EQ(plain->tokenizedEvaluableExpression(), nullptr);
    EXPECT_EQ(plain->evaluableExpression(), nullptr);
    EXPECT_NE(plain->simpleTokenizedExpression(), nullptr);
}

TEST(LineExpressionParser, ALineBackedParsedExpressionReadsTheLine) {
    initFoundationConstants();
    auto line = NCLine::lineWithExpressionString(u"3 * 4");
    NCLineBackedParsedExpression parsed(line.get());
    EXPECT_EQ(parsed.expression(), line->expression());
    EXPECT_EQ(parsed.countOfTokens(), line->tokenizedExpression()->tokens().size());
    EXPECT_EQ(parsed.tokenAtLocation(2)->type(), NCExpressionTokenTypeOperator);
    NCLineBackedParsedExpression none(nullptr);
    EXPECT_EQ(none.countOfTokens(), 0u);
    EXPECT_EQ(none.expression(), nullptr);
}

TEST(ExpressionScanner, SingleTokensOfAKind) {
    initFoundationConstants();
    struct Row {
        const char16_t* text;
        NCExpressionTokenType type;
        bool expected;
    } rows[] = {
        {u"+", NCExpressionTokenTypeOperator, true},    {u"*", NCExpressionTokenTypeOperator, true},
        {u"5", NCExpressionTokenTypeOperator, false},   {u"5", NCExpressionTokenTypeNumber, true},
        {u"5 + 3", NCExpressionTokenTypeNumber, false}, {u"", NCExpressionTokenTypeOperator, false},
        {u"+ +", NCExpressionTokenTypeOperator, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NCExpressionScanner::string(row.text, row.type), row.expected)
            << utf8(std::u16string(row.text));
    EXPECT_TRUE(NCExpressionScanner::isOperator(u"-"));
    EXPECT_FALSE(NCExpressionScanner::isOperator(u"minus sign"));
}

TEST(EvaluationContext, StartsWithoutErrorAndKeepsItsFields) {
    NCEvaluationContext bare;
    EXPECT_EQ(bare.indexPath(), nullptr);
    EXPECT_EQ(bare.lineCollection(), nullptr);
    EXPECT_EQ(bare.lineIndex(), 0);
    EXPECT_EQ(bare.evaluatorError(), 0);
    auto path = std::make_shared<NCIndexPath>();
    NCEvaluationContext context(path, nullptr, 12);
    context.setEvaluatorError(5);
    EXPECT_EQ(context.indexPath(), path);
    EXPECT_EQ(context.lineIndex(), 12);
    EXPECT_EQ(context.evaluatorError(), 5);
}

}  // namespace
