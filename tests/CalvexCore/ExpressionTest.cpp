#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "NCExpression.h"
#include "NCExpressionFormattingOptions.h"
#include "NCTokenizedExpression.h"
#include "NCUtilityFunctions.h"

namespace {

std::string rangeText(NSRange range) {
    return "(" + std::to_string(range.location) + "," + std::to_string(range.length) + ")";
}

// "type/subtype stored evaluation display", one token per line.
std::string describe(const std::vector<std::shared_ptr<NCExpressionToken>>& tokens) {
    std::string text;
    for (const auto& token : tokens) {
        text += std::to_string(token->type()) + "/" + std::to_string(token->subType()) + " " +
                rangeText(token->range()) + " " + rangeText(token->lowLevelRange()) + " " +
                rangeText(token->highLevelRange());
        if (token->lineReferenceType())
            text += " ref " + std::to_string(token->lineReferenceType()) + ":" +
                    std::to_string(token->lineReferenceNumber());
        text += "\n";
    }
    return text;
}

class Expressions : public testing::Test {
  protected:
    void SetUp() override { functions = lineReferenceFunctions(); }

    std::shared_ptr<NCTokenizedExpression> tokenized(
        const std::shared_ptr<NCExpression>& expression) {
        auto tokenizedExpression = expression->tokenizedExpression();
        tokenizedExpression->setFunctions(functions);
        return tokenizedExpression;
    }

    std::shared_ptr<NCFunctionList> functions;
};

struct TokenRow {
    const char* name;
    const char16_t* text;
    const char16_t* evaluation;
    // Worked out by hand from the three texts: a line reference is one display character and
    // a substituted stretch keeps its stored length on display.
    const char* tokens;
};

class TokenTable : public Expressions, public testing::WithParamInterface<TokenRow> {};

TEST_P(TokenTable, TokensKnowTheirPlaceInAllThreeTexts) {
    const TokenRow& row = GetParam();
    auto expression = NCExpression::create(std::u16string(row.text));
    EXPECT_EQ(utf8(expression->stringForEvaluation()), utf8(std::u16string(row.evaluation)));
    EXPECT_EQ(describe(tokenized(expression)->tokens()), row.tokens);
}

const TokenRow kTokenRows[] = {
    {"RelativeReference", u"(___rel_line(-2))", u"(___rel_line(-2))",
     "10/9 (0,17) (0,17) (0,1) ref 1:-2\n"},
    {"TwoReferences", u"(___rel_line(-1)) + (___abs_line(2))",
     u"(___rel_line(-1)) + (___abs_line(2))",
     "10/9 (0,17) (0,17) (0,1) ref 1:-1\n"
     "3/0 (17,1) (17,1) (1,1)\n"
     "2/12 (18,1) (18,1) (2,1)\n"
     "3/0 (19,1) (19,1) (3,1)\n"
     "10/9 (20,16) (20,16) (4,1) ref 2:2\n"},
    {"FixedAndNullReferences", u"(___rel_line_fixed(1))*(___dead_line(0))",
     u"(___rel_line_fixed(1))*(___dead_line(0))",
     "10/9 (0,22) (0,22) (0,1) ref 8:1\n"
     "2/16 (22,1) (22,1) (1,1)\n"
     "10/9 (23,17) (23,17) (2,1) ref 16:0\n"},
    {"WordReference", u"line3 + 1", u"(___abs_line_numbered(3)) + 1",
     "10/8 (0,5) (0,25) (0,5) ref 4:3\n"
     "3/0 (5,1) (25,1) (5,1)\n"
     "2/12 (6,1) (26,1) (6,1)\n"
     "3/0 (7,1) (27,1) (7,1)\n"
     "1/10 (8,1) (28,1) (8,1)\n"},
    {"ReferenceAfterWordReference", u"line1+(___rel_line(-1))",
     u"(___abs_line_numbered(1))+(___rel_line(-1))",
     "10/8 (0,5) (0,25) (0,5) ref 4:1\n"
     "2/12 (5,1) (25,1) (5,1)\n"
     "10/9 (6,17) (26,17) (6,1) ref 1:-1\n"},
    {"SquareRoot", u"\u221A4",
     u"\x16sqrt\x17"
     u"4",
     "6/0 (0,1) (0,6) (0,1)\n"
     "1/10 (1,1) (6,1) (1,1)\n"},
    {"TimesSign", u"5 \u00D7 3", u"5 * 3",
     "1/10 (0,1) (0,1) (0,1)\n"
     "3/0 (1,1) (1,1) (1,1)\n"
     "2/16 (2,1) (2,1) (2,1)\n"
     "3/0 (3,1) (3,1) (3,1)\n"
     "1/10 (4,1) (4,1) (4,1)\n"},
    {"CommentWithWordReference", u"1 // see line2", u"1 // see (___abs_line_numbered(2))",
     "1/10 (0,1) (0,1) (0,1)\n"
     "3/0 (1,1) (1,1) (1,1)\n"
     "12/7 (2,12) (2,32) (2,12)\n"},
    {"Declaration", u"a = 3", u"a = 3",
     "4/0 (0,1) (0,1) (0,1)\n"
     "3/0 (1,1) (1,1) (1,1)\n"
     "8/0 (2,1) (2,1) (2,1)\n"
     "3/0 (3,1) (3,1) (3,1)\n"
     "1/10 (4,1) (4,1) (4,1)\n"},
};

INSTANTIATE_TEST_SUITE_P(Lines, TokenTable, testing::ValuesIn(kTokenRows),
                         [](const testing::TestParamInfo<TokenRow>& info) {
                             return info.param.name;
                         });

TEST_F(Expressions, ReferenceNamesAreRecognisedEvenWhenNoFunctionHasThem) {
    auto expression = NCExpression::create(std::u16string(u"(___rel_line(-3))"));
    EXPECT_EQ(describe(expression->tokenizedExpression()->tokens()),
              "10/9 (0,17) (0,17) (0,1) ref 1:-3\n");
}

TEST_F(Expressions, PercentagePhrasesBecomeTheirWordOperators) {
    NBFWordOperatorListRef list = NBFWordOperatorListCreate();
    NBFWordOperatorListAddASCII(list, "_percent_off", 3, "(${2}*(1 - (${1})%))", 8, 1);
    NBFWordOperatorListAddASCII(list, "_as_percent_of", 3, "(${1}/${2}*100)%", 8, 1);
    auto words = std::make_shared<NCWordOperatorList>(list);
    NBFWordOperatorListRelease(list);

    auto off = NCExpression::create(std::u16string(u"20% off 50"));
    auto offTokens = tokenized(off);
    offTokens->setWordOperators(words);
    EXPECT_EQ(describe(offTokens->tokens()),
              "1/10 (0,2) (0,2) (0,2)\n"
              "2/25 (2,5) (2,14) (2,5)\n"
              "3/0 (7,1) (16,1) (7,1)\n"
              "1/10 (8,2) (17,2) (8,2)\n");
    auto of = NCExpression::create(std::u16string(u"20 as a % of 50"));
    auto ofTokens = tokenized(of);
    ofTokens->setWordOperators(words);
    EXPECT_EQ(describe(ofTokens->tokens()),
              "1/10 (0,2) (0,2) (0,2)\n"
              "3/0 (2,1) (2,1) (2,1)\n"
              "2/25 (3,9) (3,14) (3,9)\n"
              "3/0 (12,1) (17,1) (12,1)\n"
              "1/10 (13,2) (18,2) (13,2)\n");
    EXPECT_EQ(utf8(ofTokens->tokens()[2]->string()), "as a % of");
}

TEST_F(Expressions, EmptyLinesHaveNoTokens) {
    for (auto expression :
         {NCExpression::create(std::u16string()), NCExpression::create(std::nullopt)}) {
        EXPECT_TRUE(expression->isEmpty());
        EXPECT_TRUE(expression->tokenizedExpression()->tokens().empty());
        EXPECT_TRUE(expression->tokenizedExpression()->nbfExpressionTokens().empty());
    }
}

TEST_F(Expressions, VariablesAndUnitsFromTheNamespace) {
    auto variables = std::make_shared<NCVariableList>();
    NBFVariableRef total = NBFVariableCreate();
    NBFVariableSetName(total, NCNBFStringFromNSStringReference(u"total").get());
    NBFVariableSetValue(total, NCNBFStringFromNSStringReference(u"12").get(), 0, nullptr);
    NBFVariableListAddVariable(variables->nbfVariableList(), total);
    NBFVariableRelease(total);

    auto expression = NCExpression::create(std::u16string(u"total * 2"));
    auto tokens = tokenized(expression);
    EXPECT_EQ(describe(tokens->tokens()).substr(0, 5), "4/0 (");  // unknown without the list
    tokens->setVariableList(variables);
    EXPECT_FALSE(tokens->isTokenized());
    EXPECT_EQ(describe(tokens->tokens()),
              "7/26 (0,5) (0,5) (0,5)\n"
              "3/0 (5,1) (5,1) (5,1)\n"
              "2/16 (6,1) (6,1) (6,1)\n"
              "3/0 (7,1) (7,1) (7,1)\n"
              "1/10 (8,1) (8,1) (8,1)\n");
    EXPECT_TRUE(tokens->isTokenized());
    EXPECT_EQ(utf8(tokens->tokens()[0]->string()), "total");
    EXPECT_EQ(tokens->nbfExpressionTokens().size(), 5u);

    // A structural change of the list makes the tokens stale.
    variables->registerStateChange();
    EXPECT_FALSE(tokens->isTokenized());
    EXPECT_EQ(tokens->tokens().size(), 5u);
    EXPECT_TRUE(tokens->isTokenized());
    tokens->setNeedsRefresh();
    EXPECT_FALSE(tokens->isTokenized());
}

TEST_F(Expressions, ATokenReadsItsStoredText) {
    auto expression = NCExpression::create(std::u16string(u"line3 + (___rel_line(-1))"));
    const auto& tokens = tokenized(expression)->tokens();
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(utf8(tokens.front()->string()), "line3");
    EXPECT_EQ(utf8(tokens.back()->string()), "(___rel_line(-1))");

    NCExpressionToken outside({0, 3}, {24, 5}, {24, 5}, 1, 10);
    EXPECT_FALSE(outside.string());  // no expression
    outside._setExpression(expression);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(outside.string());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("incorrect range in expression"),
              std::string::npos);

    // Tokens do not keep their expression alive, but keep their text.
    auto shortLived = NCExpression::create(std::u16string(u"(___rel_line(-1))"));
    std::weak_ptr<NCExpression> watch = shortLived;
    auto token = tokenized(shortLived)->tokens().front();
    shortLived.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(utf8(token->string()), "(___rel_line(-1))");
}

TEST(NCExpression, StoredTextIdentityAndSimpleStrings) {
    initFoundationConstants();
    auto a = NCExpression::expressionWithString(u"5 \u00D7 3");
    auto b = NCExpression::create(std::u16string(u"5 \u00D7 3"));
    EXPECT_TRUE(a->isEqual(b.get()));
    EXPECT_EQ(a->hash(), b->hash());
    EXPECT_EQ(utf8(a->description()), "5 \xC3\x97 3");
    EXPECT_FALSE(a->isEqual(NCExpression::create(std::u16string(u"5")).get()));
    EXPECT_EQ(a->expressionMappings(), nullptr);
    EXPECT_EQ(utf8(a->stringForEvaluation()), "5 * 3");
    ASSERT_NE(a->expressionMappings(), nullptr);
    EXPECT_EQ(a->expressionMappings()->count(), 0u);

    auto simple = NCExpression::withSimpleString(u"5 \u00D7 3 line2");
    EXPECT_EQ(utf8(simple->stringForEvaluation()), "5 \xC3\x97 3 line2");
    EXPECT_EQ(simple->expressionMappings(), nullptr);
    auto given = NCExpression::create(std::u16string(u"x"), kNCSimpleLocalDefault, u"y");
    EXPECT_EQ(utf8(given->stringForEvaluation()), "y");
    EXPECT_EQ(NBFExpressionGetStringReference(given->nbfExpression())->units(), u"y");

    NBFExpressionRef foundation = NBFExpressionCreate("7 + 8");
    EXPECT_EQ(utf8(NCExpression::withContentsOfNBFExpression(foundation)->originalString()),
              "7 + 8");
    NBFExpressionRelease(foundation);
}

TEST(NCExpression, LocalesRewriteAndDropTheDerivedForms) {
    initFoundationConstants();
    auto expression = NCExpression::create(std::u16string(u"1,234.5 + 2"));
    EXPECT_EQ(utf8(expression->delocalizedString()), "1,234.5 + 2");
    auto before = expression->tokenizedExpression();
    expression->convertToLocaleWithDecimalPoint(u',', u'.');
    EXPECT_EQ(utf8(expression->originalString()), "1.234,5 + 2");
    EXPECT_EQ(expression->locale(), (NCSimpleLocale{u',', u'.'}));
    EXPECT_EQ(utf8(expression->delocalizedString()), "1,234.5 + 2");
    // The derived forms are made again, in the new locale.
    auto after = expression->tokenizedExpression();
    EXPECT_NE(before, after);
    ASSERT_FALSE(after->tokens().empty());
    EXPECT_EQ(utf8(after->tokens()[0]->string()), "1.234,5");
    EXPECT_EQ(after->tokens()[0]->type(), NCExpressionTokenTypeNumber);
    EXPECT_EQ(NBFStringGetCppString(
                  NBFExpressionTokenGetDecimalStringReference(after->nbfExpressionTokens()[0])),
              "1234.5");

    // Setting the same locale keeps everything.
    expression->setLocaleWithDecimalPoint(u',', u'.');
    EXPECT_EQ(expression->tokenizedExpression(), after);
    // Setting another one keeps the text and drops the rest.
    expression->setLocaleWithDecimalPoint(u'.', u',');
    EXPECT_EQ(utf8(expression->originalString()), "1.234,5 + 2");
    EXPECT_NE(expression->tokenizedExpression(), after);
    EXPECT_FALSE(NCExpression::create(std::nullopt)->delocalizedString());
}

TEST(NCExpression, LineReferenceStoredForms) {
    EXPECT_EQ(utf8(NCExpression::relativeLineReferenceTokenWithOffset(-1)), "(___rel_line(-1))");
    EXPECT_EQ(utf8(NCExpression::relativeLineReferenceTokenWithOffset(3)), "(___rel_line(3))");
    EXPECT_EQ(utf8(NCExpression::absoluteLineReferenceTokenWithIndex(2)), "(___abs_line(2))");
    EXPECT_EQ(utf8(NCExpression::absoluteLineReferenceFunctionWithLineNumber(3)),
              "(___abs_line_numbered(3))");
    EXPECT_EQ(utf8(NCExpression::fixedRelativeLineReferenceTokenWithOffset(-4)),
              "(___rel_line_fixed(-4))");
    EXPECT_EQ(utf8(NCExpression::nullLineReferenceToken()), "(___dead_line(0))");
    EXPECT_EQ(NCExpression::lineReferenceTypeForFunctionName(u"___rel_line_fixed"), 8);
    EXPECT_EQ(NCExpression::lineReferenceTypeForFunctionName(u"sqrt"), 0);
}

TEST(NCExpressionFormattingOptions, AnnouncesOnlyRealChanges) {
    NCExpressionFormattingOptions options;
    std::vector<std::string> heard;
    uint64_t token = options.addObserver([&](const std::string& key) { heard.push_back(key); });
    options.setTextAlignment(0);
    options.setTextAlignment(2);
    options.setTextAlignment(2);
    EXPECT_EQ(options.textAlignment(), 2);
    EXPECT_EQ(heard, std::vector<std::string>{"textAlignment"});
    options.removeObserver(token);
    options.setTextAlignment(1);
    EXPECT_EQ(heard.size(), 1u);
}

}  // namespace
