#include <gtest/gtest.h>

#include <random>

#include "NBFExpressionScanner.h"
#include "TestRandom.h"
#include "TokenTestSupport.h"

namespace {

using namespace std::string_literals;

std::vector<TokenSpec> scan(const std::string& text, NBFLocale locale = kNBFLocaleDefault) {
    NBFExpressionScannerInit();
    auto expression = makeExpression(text);
    NBFExpressionScannerRef scanner = NBFExpressionScannerCreate(locale);
    std::vector<TokenSpec> specs;
    for (NBFBasicTokenRef token : NBFExpressionScannerScanExpression(scanner, expression.get())) {
        NBFRange range = NBFBasicTokenGetRange(token);
        specs.push_back({range.location, range.length, NBFBasicTokenGetType(token),
                         NBFBasicTokenGetSubType(token)});
        NBFBasicTokenRelease(token);
    }
    NBFExpressionScannerRelease(scanner);
    return specs;
}

struct ScanRow {
    std::string text;
    std::vector<TokenSpec> tokens;
};

class ScannerTable : public ::testing::TestWithParam<ScanRow> {};

TEST_P(ScannerTable, TokensWithRangeTypeAndSubtype) {
    EXPECT_EQ(scan(GetParam().text), GetParam().tokens);
}

// Types: 1 number, 2 word, 3 operator, 4 whitespace, 5 marker, 6 bracket, 7 equals/comment.
INSTANTIATE_TEST_SUITE_P(
    Texts, ScannerTable,
    ::testing::Values(
        ScanRow{"12.5 kg", {{0, 4, 1, 1}, {4, 1, 4, 9}, {5, 2, 2, 13}}},
        ScanRow{"1,000.25", {{0, 8, 1, 1}}},
        ScanRow{"1.2.3", {{0, 5, 2, 13}}},  // two decimal separators: a word
        ScanRow{".", {{0, 1, 2, 13}}},      // a lone separator: a word
        ScanRow{"5.", {{0, 2, 1, 1}}}, ScanRow{".5", {{0, 2, 1, 1}}},
        ScanRow{"0xFF", {{0, 4, 1, 2}}}, ScanRow{"0x", {{0, 2, 2, 13}}},
        ScanRow{"0xg", {{0, 2, 2, 13}, {2, 1, 2, 13}}},
        ScanRow{"0b102", {{0, 5, 1, 2}}},  // binary digits are not checked here
        ScanRow{"3%", {{0, 1, 1, 1}, {1, 1, 2, 15}}},
        ScanRow{"a:b", {{0, 1, 2, 13}, {1, 1, 2, 15}, {2, 1, 2, 13}}},
        ScanRow{"// note", {{0, 2, 7, 17}, {2, 1, 4, 9}, {3, 4, 2, 13}}},
        ScanRow{"2e5", {{0, 1, 1, 1}, {1, 1, 2, 16}, {2, 1, 1, 1}}},
        ScanRow{"euro", {{0, 4, 2, 16}}}, ScanRow{"km2", {{0, 2, 2, 13}, {2, 1, 1, 1}}},
        ScanRow{"x=(y)", {{0, 1, 2, 13}, {1, 1, 7, 18}, {2, 1, 6, 7}, {3, 1, 2, 13}, {4, 1, 6, 8}}},
        ScanRow{"-5", {{0, 1, 3, 4}, {1, 1, 1, 1}}}, ScanRow{"", {}},
        ScanRow{"3*4/2+1",
                {{0, 1, 1, 1},
                 {1, 1, 3, 5},
                 {2, 1, 1, 1},
                 {3, 1, 3, 6},
                 {4, 1, 1, 1},
                 {5, 1, 3, 3},
                 {6, 1, 1, 1}}},
        ScanRow{"8/ /", {{0, 1, 1, 1}, {1, 1, 3, 6}, {2, 1, 4, 9}, {3, 1, 3, 6}}},
        ScanRow{"e.g. a.5", {{0, 4, 2, 16}, {4, 1, 4, 9}, {5, 1, 2, 13}, {6, 2, 1, 1}}},
        ScanRow{"a..b", {{0, 1, 2, 13}, {1, 2, 2, 13}, {3, 1, 2, 13}}},
        ScanRow{"x.)", {{0, 2, 2, 13}, {2, 1, 6, 8}}},
        ScanRow{"abc!=", {{0, 3, 2, 13}, {3, 1, 2, 15}, {4, 1, 7, 18}}},
        ScanRow{"5 000", {{0, 1, 1, 1}, {1, 1, 4, 9}, {2, 3, 1, 1}}},
        ScanRow{" \t\r\n1", {{0, 4, 4, 9}, {4, 1, 1, 1}}},
        ScanRow{"1\x16\x17", {{0, 1, 1, 1}, {1, 1, 5, 11}, {2, 1, 5, 12}}},
        ScanRow{"\"a b\"",
                {{0, 1, 2, 15}, {1, 1, 2, 13}, {2, 1, 4, 9}, {3, 1, 2, 13}, {4, 1, 2, 15}}},
        ScanRow{"€5", {{0, 1, 2, 13}, {1, 1, 1, 1}}},
        ScanRow{"😀5", {{0, 2, 2, 13}, {2, 1, 1, 1}}},  // one word over the surrogate pair
        // An embedded NUL is a word character: the tokens still cover the whole text.
        ScanRow{"a\0b"s, {{0, 3, 2, 13}}}, ScanRow{"\0\0"s, {{0, 2, 2, 13}}},
        ScanRow{"5\0"s, {{0, 1, 1, 1}, {1, 1, 2, 13}}},
        ScanRow{"(\0"s, {{0, 1, 6, 7}, {1, 1, 2, 13}}}));

TEST(NBFExpressionScanner, LocaleDecidesTheSeparators) {
    const NBFLocale european = NBFLocaleMake(u',', u'.');
    EXPECT_EQ(scan("1.234,5", european), (std::vector<TokenSpec>{{0, 7, 1, 1}}));
    // "." is an ordinary word character here.
    EXPECT_EQ(scan("e.g. 2,5", european),
              (std::vector<TokenSpec>{{0, 4, 2, 16}, {4, 1, 4, 9}, {5, 3, 1, 1}}));
    // A thousands separator that is whitespace still ends a number.
    EXPECT_EQ(scan("1 000", NBFLocaleMake(u'.', u' ')),
              (std::vector<TokenSpec>{{0, 1, 1, 1}, {1, 1, 4, 9}, {2, 3, 1, 1}}));
    EXPECT_EQ(kNBFLocaleDefault, 2883630u);
}

// Whatever the text, the tokens follow each other without gaps to its end.
TEST(NBFExpressionScanner, TokensAlwaysCoverTheWholeText) {
    const std::u16string alphabet = u"0159.,xbeE aZ+-*/=()!%:;@\"^\t\n\x16\x17\0€"s;
    const uint32_t seed = test_random::seed(7);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    for (int round = 0, count = test_random::rounds(2000); round < count; ++round) {
        std::u16string text;
        size_t length = random() % 12;
        for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        NBFExpressionScannerInit();
        auto string = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF16(text));
        auto expression = NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(string.get()));
        NBF::Ref<NBF::ExpressionScanner> scanner =
            NBF::Ref<NBF::ExpressionScanner>::adopt(NBF::ExpressionScanner::create());
        int32_t expected = 0;
        for (NBFBasicTokenRef token : scanner->scan(expression.get())) {
            EXPECT_EQ(token->range().location, expected);
            EXPECT_GT(token->range().length, 0);
            expected += token->range().length;
            token->release();
        }
        EXPECT_EQ(expected, static_cast<int32_t>(text.size()));
    }
}

TEST(NBFExpressionScanner, StepsOneTokenAtATime) {
    NBFExpressionScannerInit();
    auto expression = makeExpression("ab 1");
    auto* scanner = static_cast<NBF::ExpressionScannerImpl*>(NBF::ExpressionScanner::create());
    NBF::BasicToken* token = nullptr;
    int32_t position = 3;
    ASSERT_TRUE(scanner->getNextBasicToken(expression.get(), &token, &position));
    EXPECT_EQ(position, 4);
    EXPECT_EQ(NBFBasicTokenGetFirstCharacter(token), u'1');
    EXPECT_TRUE(NBFBasicTokenIsLastToken(token));
    EXPECT_FALSE(NBFBasicTokenIsFirstToken(token));
    EXPECT_EQ(NBFStringGetCppString(NBFBasicTokenGetStringReference(token)), "1");
    token->release();
    EXPECT_FALSE(scanner->getNextBasicToken(expression.get(), &token, &position));
    position = -1;
    EXPECT_FALSE(scanner->getNextBasicToken(expression.get(), &token, &position));
    EXPECT_FALSE(scanner->getNextBasicToken(nullptr, &token, &position));
    EXPECT_TRUE(scanner->isBasicWordChar(u','));
    EXPECT_FALSE(scanner->isBasicWordChar(u'.'));
    EXPECT_TRUE(scanner->isHexNumberChar(u'F'));
    EXPECT_FALSE(scanner->isHexNumberChar(u'g'));
    EXPECT_EQ(scanner->wordBreakers().size(), 10u);
    scanner->release();

    NBFExpressionScannerRef procedural = NBFExpressionScannerCreate();
    NBFArrayRef tokens =
        NBFExpressionScannerGetBasicTokensForExpression(procedural, expression.get());
    EXPECT_EQ(NBFArrayCount(tokens), 3);
    NBFArrayApplyItemFunction(
        tokens, [](void* t) { NBFBasicTokenRelease(static_cast<NBFBasicTokenRef>(t)); });
    NBFArrayRelease(tokens);
    EXPECT_TRUE(NBFExpressionScannerScanExpression(procedural, nullptr).empty());
    NBFExpressionScannerRelease(procedural);
}

}  // namespace
