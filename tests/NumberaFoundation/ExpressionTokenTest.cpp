#include <gtest/gtest.h>

#include "NBFExpressionScanner.h"
#include "NBFExpressionToken.h"
#include "TokenTestSupport.h"

namespace {

using TokenRef = NBF::Ref<NBF::ExpressionToken>;

// One expression token over all basic tokens of the text, as the analyser makes number runs.
TokenRef tokenOver(const std::string& text, NBFLocale locale) {
    NBFExpressionScannerInit();
    auto expression = makeExpression(text);
    auto scanner = NBF::Ref<NBF::ExpressionScanner>::adopt(NBF::ExpressionScanner::create(locale));
    NBFBasicTokenVector basicTokens = scanner->scan(expression.get());
    TokenRef token = TokenRef::adopt(NBFExpressionTokenCreateWithBasicTokenVector(basicTokens));
    for (NBFBasicTokenRef basicToken : basicTokens) basicToken->release();
    return token;
}

std::string text(NBFStringRef string) { return string ? NBFStringGetCppString(string) : "(null)"; }

TEST(NBFExpressionToken, DecimalTextOfNumbers) {
    const NBFLocale european = NBFLocaleMake(u',', u'.');
    struct Row {
        std::string text;
        NBFLocale locale;
        std::string expected;
    };
    const Row rows[] = {
        {"1,234.5", kNBFLocaleDefault, "1234.5"},
        {"1.234,5", european, "1234.5"},
        {"1 000", kNBFLocaleDefault, "1000"},
        // Every filler a number run may hold goes, not only spaces.
        {"1\t000", kNBFLocaleDefault, "1000"},
        {"1\x16 000\x17", kNBFLocaleDefault, "1000"},
        {"0x1F", kNBFLocaleDefault, "31"},
        {"0b101", kNBFLocaleDefault, "5"},
        {"0b102", kNBFLocaleDefault, "(null)"},  // no binary value
        {".5", kNBFLocaleDefault, ".5"},
        {"kg", kNBFLocaleDefault, "1"},  // not a number
    };
    for (const Row& row : rows) {
        TokenRef token = tokenOver(row.text, row.locale);
        ASSERT_TRUE(token) << row.text;
        EXPECT_EQ(text(NBFExpressionTokenGetStringReference(token.get())), row.text);
        EXPECT_EQ(text(NBFExpressionTokenGetDecimalStringReference(token.get())), row.expected)
            << row.text;
    }
}

TEST(NBFExpressionToken, TokensMadeFromStrings) {
    TokenRef number = TokenRef::adopt(NBFExpressionTokenCreateWithString("12", 3, 8));
    EXPECT_EQ(text(NBFExpressionTokenGetDecimalStringReference(number.get())), "12");
    EXPECT_EQ(NBFExpressionTokenGetRange(number.get()).length, 0);
    EXPECT_EQ(NBFExpressionTokenGetFirstCharacter(number.get()), 0);
    EXPECT_EQ(number->locale(), kNBFLocaleDefault);
    // A prefixed number that is no scanned prefix has no decimal value, and does not stop us.
    TokenRef odd = TokenRef::adopt(NBFExpressionTokenCreateWithString("ff", 3, 9));
    EXPECT_EQ(NBFExpressionTokenGetDecimalStringReference(odd.get()), nullptr);
    EXPECT_EQ(NBFExpressionTokenCreateWithBasicTokenVector({}), nullptr);
}

TEST(NBFExpressionToken, KindsRangesAndSubtypes) {
    NBFExpressionScannerInit();
    auto expression = makeExpression("a + b");
    auto scanner = NBF::Ref<NBF::ExpressionScanner>::adopt(NBF::ExpressionScanner::create());
    NBFBasicTokenVector basicTokens = scanner->scan(expression.get());
    ASSERT_EQ(basicTokens.size(), 5u);
    TokenRef plus = TokenRef::adopt(NBFExpressionTokenCreateWithBasicToken(basicTokens[2]));
    EXPECT_EQ(NBFExpressionTokenGetType(plus.get()), kNBFTokenTypeOperator);
    EXPECT_EQ(NBFExpressionTokenGetActualSubType(plus.get()), kNBFTokenSubTypePlus);
    NBFExpressionTokenSetActualSubType(plus.get(), kNBFTokenSubTypeWordOperator);
    EXPECT_EQ(NBFExpressionTokenGetActualSubType(plus.get()), kNBFTokenSubTypeWordOperator);
    EXPECT_EQ(NBFExpressionTokenGetSubType(plus.get()), kNBFTokenSubTypePlus);
    EXPECT_EQ(NBFExpressionTokenGetFirstCharacter(plus.get()), u'+');
    // The single basic token's text is shared, not copied.
    EXPECT_EQ(plus->string(), basicTokens[2]->string());

    TokenRef tail = TokenRef::adopt(NBFExpressionTokenCreateWithBasicTokenVector(
        NBFBasicTokenVector(basicTokens.begin() + 2, basicTokens.end())));
    EXPECT_EQ(NBFExpressionTokenGetRange(tail.get()).location, 2);
    EXPECT_EQ(NBFExpressionTokenGetRange(tail.get()).length, 3);
    EXPECT_EQ(text(NBFExpressionTokenGetStringReference(tail.get())), "+ b");
    EXPECT_EQ(NBFExpressionTokenGetBasicTokenCount(tail.get()), 3);
    EXPECT_EQ(basicTokens[2]->retainCount(), 3);  // scanner's, plus's, tail's
    for (NBFBasicTokenRef basicToken : basicTokens) basicToken->release();

    EXPECT_TRUE(NBFExpressionTokenGetBasicTokens(nullptr).empty());
    EXPECT_EQ(NBFExpressionTokenGetType(nullptr), 0);
    EXPECT_EQ(NBFExpressionTokenGetStringReference(nullptr), nullptr);
}

TEST(NBFExpressionToken, BasicKindsBecomeExpressionKinds) {
    struct Row {
        int32_t basicType, basicSubType, type, subType;
    };
    const Row rows[] = {
        {1, 1, 3, 8},    {1, 2, 3, 9},    {2, 13, 8, -1}, {2, 15, 8, 34}, {2, 16, 8, -1},
        {3, 3, 1, 10},   {3, 4, 1, 11},   {3, 5, 1, 12},  {3, 6, 1, 13},  {4, 9, 10, 29},
        {5, 11, 18, 31}, {5, 12, 18, 32}, {6, 7, 14, 1},  {6, 8, 14, 2},  {7, 18, 13, 0},
        {7, 17, 19, 33}, {0, 1, -1, -1},  {8, 1, -1, -1},
    };
    for (const Row& row : rows) {
        token_type type = -1;
        NBFTokenSubType subType = -1;
        NBFBasicTokenTypesToTokenTypes(row.basicType, row.basicSubType, &type, &subType);
        EXPECT_EQ(type, row.type) << row.basicType << "/" << row.basicSubType;
        EXPECT_EQ(subType, row.subType) << row.basicType << "/" << row.basicSubType;
    }
    token_type type = -1;
    NBFBasicTokenTypesToTokenTypes(1, 1, &type, nullptr);
    EXPECT_EQ(type, -1);
    EXPECT_TRUE(NBFTokenTypeIsNumeric(kNBFTokenTypeGroup));
    EXPECT_TRUE(NBFTokenTypeIsNumeric(kNBFTokenTypeVariable));
    EXPECT_FALSE(NBFTokenTypeIsNumeric(kNBFTokenTypeUnit));
}

TEST(NBFExpressionToken, SettersRetainAndReleaseWhatTheTokenNames) {
    TokenRef token = TokenRef::adopt(NBFExpressionTokenCreateWithString("sqrt", 6, 0));
    NBFFunctionRef first = NBFFunctionCreate("sqrt", {});
    NBFFunctionRef second = NBFFunctionCreate("cbrt", {});
    NBFExpressionTokenSetFunction(token.get(), first);
    NBFExpressionTokenSetFunction(token.get(), first);
    EXPECT_EQ(first->retainCount(), 2);
    NBFExpressionTokenSetFunction(token.get(), second);
    EXPECT_EQ(first->retainCount(), 1);
    EXPECT_EQ(NBFExpressionTokenGetFunction(token.get()), second);

    NBFVariableRef variable = NBFVariableCreate();
    NBFScopedVariableRef scoped = NBFScopedVariableCreate(variable, 4);
    NBFExpressionTokenSetVariable(token.get(), scoped);
    NBFScopedVariableRelease(scoped);
    NBFVariableRelease(variable);
    EXPECT_EQ(NBFScopedVariableGetScopeIndex(NBFExpressionTokenGetVariable(token.get())), 4u);

    NBFUnitContainerRef unit = NBFUnitContainerCreate();
    NBFAmbiguousUnitRef ambiguous = NBFAmbiguousUnitCreate({unit, unit});
    NBFExpressionTokenSetUnitContainer(token.get(), unit);
    NBFExpressionTokenSetAmbiguousUnit(token.get(), ambiguous);
    EXPECT_EQ(unit->retainCount(), 4);
    NBFExpressionTokenSetUnitFormatType(token.get(), NBFUnitFormatTypeSymbol);
    EXPECT_EQ(NBFExpressionTokenGetUnitFormatType(token.get()), NBFUnitFormatTypeSymbol);
    NBFAmbiguousUnitRelease(ambiguous);

    token = TokenRef();  // the last release lets everything go
    EXPECT_EQ(second->retainCount(), 1);
    EXPECT_EQ(unit->retainCount(), 1);
    NBFUnitContainerRelease(unit);
    NBFFunctionRelease(first);
    NBFFunctionRelease(second);
}

}  // namespace
