#include <gtest/gtest.h>

#include "NBFExpressionScanner.h"
#include "NBFExpressionTokenizer.h"
#include "TokenTestSupport.h"

namespace {

std::vector<TokenSpec> tokenize(const std::string& text, bool comments = true) {
    NBFExpressionScannerInit();
    auto expression = makeExpression(text);
    NBFExpressionTokenizerRef tokenizer = NBFExpressionTokenizerCreate(kNBFLocaleDefault);
    NBFExpressionTokenizerSetEnableComments(tokenizer, comments);
    NBFTokenizedExpressionRef tokenized =
        NBFExpressionTokenizerTokenize(tokenizer, expression.get());
    std::vector<TokenSpec> specs;
    for (NBFExpressionTokenRef token : tokenized->tokens()) {
        NBFRange range = NBFExpressionTokenGetRange(token);
        specs.push_back({range.location, range.length, NBFExpressionTokenGetType(token),
                         NBFExpressionTokenGetSubType(token)});
        EXPECT_EQ(token->retainCount(), 1);  // held by the tokenized expression alone
    }
    NBFTokenizedExpressionRelease(tokenized);
    NBFExpressionTokenizerRelease(tokenizer);
    return specs;
}

struct TokenizeRow {
    std::string text;
    std::vector<TokenSpec> tokens;
};

class TokenizerTable : public ::testing::TestWithParam<TokenizeRow> {};

TEST_P(TokenizerTable, FoldsCommentsLabelsAndQuotes) {
    EXPECT_EQ(tokenize(GetParam().text), GetParam().tokens);
}

// Types: 1 operator, 3 number, 8 word, 10 whitespace, 13 equals, 14 bracket, 15 comment
// (3 "@", 4 label, 5 quoted, 6 commented out, 7 "//"), 18 marker, 19 "//".
INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizerTable,
    ::testing::Values(
        TokenizeRow{"rent: 1200 * 12",
                    {{0, 5, 15, 4},
                     {5, 1, 10, 29},
                     {6, 4, 3, 8},
                     {10, 1, 10, 29},
                     {11, 1, 1, 12},
                     {12, 1, 10, 29},
                     {13, 2, 3, 8}}},
        TokenizeRow{"3 + 4 // tip",
                    {{0, 1, 3, 8},
                     {1, 1, 10, 29},
                     {2, 1, 1, 10},
                     {3, 1, 10, 29},
                     {4, 1, 3, 8},
                     {5, 1, 10, 29},
                     {6, 6, 15, 7}}},
        TokenizeRow{"@ note 5", {{0, 8, 15, 3}}},
        TokenizeRow{"5 @ 3",
                    {{0, 1, 3, 8}, {1, 1, 10, 29}, {2, 1, 8, 34}, {3, 1, 10, 29}, {4, 1, 3, 8}}},
        TokenizeRow{"5 + 3;", {{0, 6, 15, 6}}},
        TokenizeRow{"5;3", {{0, 1, 3, 8}, {1, 1, 8, 34}, {2, 1, 3, 8}}},
        TokenizeRow{"\"total\" 5", {{0, 7, 15, 5}, {7, 1, 10, 29}, {8, 1, 3, 8}}},
        TokenizeRow{"\"open 5", {{0, 1, 8, 34}, {1, 4, 8, 0}, {5, 1, 10, 29}, {6, 1, 3, 8}}},
        TokenizeRow{"a: b: 5", {{0, 5, 15, 4}, {5, 1, 10, 29}, {6, 1, 3, 8}}},
        TokenizeRow{"\"q\" x: 5 // c",
                    {{0, 6, 15, 4}, {6, 1, 10, 29}, {7, 1, 3, 8}, {8, 1, 10, 29}, {9, 4, 15, 7}}},
        TokenizeRow{"x: 5;", {{0, 5, 15, 6}}}, TokenizeRow{"// all", {{0, 6, 15, 7}}},
        TokenizeRow{"2e5 0x1F",
                    {{0, 1, 3, 8}, {1, 1, 8, 0}, {2, 1, 3, 8}, {3, 1, 10, 29}, {4, 4, 3, 9}}},
        TokenizeRow{"x=(y)",
                    {{0, 1, 8, 0}, {1, 1, 13, 0}, {2, 1, 14, 1}, {3, 1, 8, 0}, {4, 1, 14, 2}}},
        TokenizeRow{"1\x16-\x17", {{0, 1, 3, 8}, {1, 1, 18, 31}, {2, 1, 1, 11}, {3, 1, 18, 32}}},
        TokenizeRow{"", {}}));

TEST(NBFExpressionTokenizer, WithoutCommentsEveryBasicTokenStaysOneToken) {
    EXPECT_EQ(tokenize("rent: 5 // \"x\"", false), (std::vector<TokenSpec>{{0, 4, 8, 0},
                                                                           {4, 1, 8, 34},
                                                                           {5, 1, 10, 29},
                                                                           {6, 1, 3, 8},
                                                                           {7, 1, 10, 29},
                                                                           {8, 2, 19, 33},
                                                                           {10, 1, 10, 29},
                                                                           {11, 1, 8, 34},
                                                                           {12, 1, 8, 0},
                                                                           {13, 1, 8, 34}}));
}

TEST(NBFExpressionTokenizer, CommentTokensKeepTheirBasicTokens) {
    NBFExpressionScannerInit();
    auto expression = makeExpression("rent: 12");
    NBF::Ref<NBF::ExpressionTokenizer> tokenizer = NBF::Ref<NBF::ExpressionTokenizer>::adopt(
        NBF::ExpressionTokenizer::create(kNBFLocaleDefault));
    NBF::Ref<NBF::TokenizedExpression> tokenized =
        NBF::Ref<NBF::TokenizedExpression>::adopt(tokenizer->tokenize(expression.get()));
    ASSERT_EQ(tokenized->tokens().size(), 3u);
    NBFExpressionTokenRef label = tokenized->tokens()[0];
    EXPECT_EQ(NBFExpressionTokenGetBasicTokenCount(label), 2);
    EXPECT_EQ(NBFStringGetCppString(NBFExpressionTokenGetStringReference(label)), "rent:");
    EXPECT_EQ(NBFExpressionTokenGetExpressionReference(label), expression.get());
    EXPECT_EQ(NBFExpressionTokenizerTokenize(nullptr, expression.get()), nullptr);
}

}  // namespace
