#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "NCExpressionParser.h"
#include "NCUtilityFunctions.h"

namespace {

std::string textsOf(const NCExpressionTokenArray& tokens) {
    std::string text;
    for (const auto& token : tokens) text += "[" + utf8(token->string()) + "]";
    return text;
}

class ExpressionParser : public testing::Test {
  protected:
    void SetUp() override {
        environment = std::make_shared<NCEnvironment>();
        environment->setFunctions(lineReferenceFunctions());
        variables = std::make_shared<NCVariableList>();
        environment->setVariables(variables);
        parser = std::make_unique<NCExpressionParser>(environment);
    }

    void declare(const std::u16string& name) {
        NBFVariableRef variable = NBFVariableCreate();
        NBFVariableSetName(variable, NCNBFStringFromNSStringReference(name).get());
        NBFVariableSetValue(variable, NCNBFStringFromNSStringReference(u"1").get(), 0, nullptr);
        NBFVariableListAddVariable(variables->nbfVariableList(), variable);
        NBFVariableRelease(variable);
        variables->registerStateChange();
    }

    std::shared_ptr<NCEnvironment> environment;
    std::shared_ptr<NCVariableList> variables;
    std::unique_ptr<NCExpressionParser> parser;
};

// Stored:  "(___rel_line(-1)) + line2 * (___abs_line(0))", 44 characters.
// Display: each functional reference is one character, "line2" stays: 13 characters.
const char16_t* const kThreeForms = u"(___rel_line(-1)) + line2 * (___abs_line(0))";

TEST_F(ExpressionParser, TheThreeTextForms) {
    auto expression = NCExpression::create(std::u16string(kThreeForms));
    EXPECT_EQ(utf8(expression->stringForEvaluation()),
              "(___rel_line(-1)) + (___abs_line_numbered(2)) * (___abs_line(0))");
    auto parsed = parser->parseExpression(expression);
    const auto& tokens = parsed->tokens();
    ASSERT_EQ(tokens.size(), 9u);
    // Stored, evaluation and display ranges of the three references.
    EXPECT_EQ(tokens[0]->range(), (NSRange{0, 17}));
    EXPECT_EQ(tokens[0]->lowLevelRange(), (NSRange{0, 17}));
    EXPECT_EQ(tokens[0]->highLevelRange(), (NSRange{0, 1}));
    EXPECT_EQ(tokens[4]->range(), (NSRange{20, 5}));
    EXPECT_EQ(tokens[4]->lowLevelRange(), (NSRange{20, 25}));
    EXPECT_EQ(tokens[4]->highLevelRange(), (NSRange{4, 5}));
    EXPECT_EQ(tokens[8]->range(), (NSRange{28, 16}));
    EXPECT_EQ(tokens[8]->lowLevelRange(), (NSRange{48, 16}));
    EXPECT_EQ(tokens[8]->highLevelRange(), (NSRange{12, 1}));
    EXPECT_EQ(tokens[6]->highLevelRange(), (NSRange{10, 1}));  // "*"
    EXPECT_EQ(tokens[6]->lowLevelRange(), (NSRange{46, 1}));
}

TEST_F(ExpressionParser, RangesConvertBetweenDisplayedAndStoredText) {
    auto expression = NCExpression::create(std::u16string(kThreeForms));
    struct Row {
        NSRange display, stored;
    };
    const Row displayToStored[] = {
        {{0, 1}, {0, 17}},                       // the first reference
        {{2, 1}, {18, 1}},                       // "+"
        {{4, 5}, {20, 5}},                       // "line2"
        {{0, 13}, {0, 44}},                      // everything
        {{12, 1}, {28, 16}}, {{6, 2}, {22, 3}},  // inside "line2": to its end
        {{13, 0}, {44, 0}},                      // the end of the text
    };
    for (const Row& row : displayToStored) {
        SCOPED_TRACE(row.display.location);
        EXPECT_EQ(parser->convertHighLevelRange(row.display, expression), row.stored);
    }
    const Row storedToDisplay[] = {
        {{0, 1}, {0, 17}}, {{0, 1}, {5, 3}},  // inside a reference: the whole reference
        {{2, 1}, {18, 1}}, {{4, 5}, {20, 5}}, {{10, 3}, {26, 18}}, {{13, 0}, {44, 0}},
    };
    for (const Row& row : storedToDisplay) {
        SCOPED_TRACE(row.stored.location);
        EXPECT_EQ(parser->convertLowLevelRange(row.stored, expression), row.display);
    }
    // Without references the two texts are the same.
    auto plain = NCExpression::create(std::u16string(u"12 + 3"));
    EXPECT_EQ(parser->convertHighLevelRange({3, 2}, plain), (NSRange{3, 2}));
    EXPECT_EQ(parser->convertLowLevelRange({0, 6}, plain), (NSRange{0, 6}));
    EXPECT_EQ(parser->convertLowLevelRange({2, 1}, nullptr), (NSRange{2, 1}));
}

TEST_F(ExpressionParser, TokensAtAndAroundALocation) {
    auto expression = NCExpression::create(std::u16string(kThreeForms));
    auto stored = parser->tokenInExpression(expression, 22, false);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type(), NCExpressionTokenTypeLineReference);
    EXPECT_EQ(stored->subType(), NCExpressionTokenSubTypeLineReferenceByLineNumber);
    auto displayed = parser->tokenInExpression(expression, 12, true);
    ASSERT_TRUE(displayed);
    EXPECT_EQ(displayed->lineReferenceType(), NCLineReferenceTypeAbsolute);
    parser->useHighLevelLocations = true;
    EXPECT_EQ(parser->tokenInExpression(expression, 2)->type(), NCExpressionTokenTypeOperator);
    parser->useHighLevelLocations = false;
    EXPECT_EQ(parser->tokenInExpression(expression, 44), nullptr);  // past the end
    EXPECT_EQ(parser->tokenInExpression(nullptr, 0), nullptr);
    EXPECT_EQ(utf8(parser->tokenInString(u"5 + 3", 2)->string()), "+");

    // "1", " ", "+", " ", "2", " ", "*", " ", "3"
    const std::u16string sum = u"1 + 2 * 3";
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 3, 1, 3, true)), "[+][ ][1]");
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 3, 1, 3, false)), "[ ][+][ ]");
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 0, 0, 2, false)), "[1][ ]");
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 9, 1, 3, true)), "[3][ ][*]");
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 9, 1, 3, false)), "");
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 7, 0, 10, false)), "[ ][3]");
    EXPECT_EQ(textsOf(parser->findTokensInString(sum, 2, 2, 3, false)), "");
}

TEST_F(ExpressionParser, VariableDeclarations) {
    declare(u"known");
    struct Row {
        const char16_t* text;
        NCExpressionType type;
        int64_t equalsIndex;
        NSRange name, value;
    };
    const Row rows[] = {
        {u"a = 3", 2, 2, {0, 2}, {3, 2}},
        {u"my total = 5", 2, 4, {3, 6}, {10, 2}},
        {u"a = 3 // note", 2, 2, {0, 2}, {3, 10}},
        {u"price=", 2, 1, {0, 5}, {6, 0}},
        {u"= 3", 3, 0, {}, {}},
        {u"a = b = 3", 3, 0, {}, {}},
        // Words before "=" are never resolved, so a known name may be declared again...
        {u"sqrt = 3", 2, 2, {0, 5}, {6, 2}},
        {u"known = 3", 2, 2, {0, 6}, {7, 2}},
        // ...but a call before it is no name.
        {u"sqrt(2) = 3", 3, 0, {}, {}},
        {u"2 a = 3", 2, 4, {2, 2}, {5, 2}},
        {u"a + b = 3", 3, 0, {}, {}},
        {u"3 + 4", 1, 0, {}, {}},
        {u"5 // a = 3", 1, 0, {}, {}},
        {u"", 1, 0, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(std::u16string(row.text)));
        auto parsed = parser->parseExpression(NCExpression::create(std::u16string(row.text)));
        NCVarDecl declaration;
        EXPECT_EQ(NCExpressionParser::expressionTypeOfTokenizedExpression(*parsed, &declaration),
                  row.type);
        if (row.type != NCExpressionTypeVariableDeclaration) continue;
        EXPECT_EQ(declaration.equalsTokenIndex, row.equalsIndex);
        EXPECT_EQ(declaration.nameRange, row.name);
        EXPECT_EQ(declaration.valueRange, row.value);
    }
    bool bad = true;
    auto plain = parser->parseExpression(NCExpression::create(std::u16string(u"3 + 4")));
    EXPECT_FALSE(
        NCExpressionParser::findVariableDeclarationInTokenizedExpression(*plain, nullptr, &bad));
    EXPECT_FALSE(bad);
}

TEST_F(ExpressionParser, TheEnvironmentNamesVariablesAndCommentsCanBeOff) {
    declare(u"total");
    auto expression = NCExpression::create(std::u16string(u"total * 2 // sum"));
    auto parsed = parser->parseExpression(expression);
    EXPECT_EQ(parsed->tokens().front()->type(), NCExpressionTokenTypeVariable);
    EXPECT_TRUE(parsed->hasReferenceToVariableWithName(u"total"));
    EXPECT_FALSE(parsed->hasReferenceToVariableWithName(u"Total"));
    EXPECT_EQ(parsed->variableReferences(), std::set<std::u16string>{u"total"});
    EXPECT_EQ(parsed->tokensOfType(NCExpressionTokenTypeComment).size(), 1u);
    parser->enableComments = false;
    EXPECT_TRUE(
        parser->parseExpression(expression)->tokensOfType(NCExpressionTokenTypeComment).empty());
}

TEST_F(ExpressionParser, ParsedExpressionQueries) {
    auto expression = NCExpression::create(std::u16string(kThreeForms));
    auto parsed = parser->parseExpression(expression);
    EXPECT_EQ(parsed->expression(), expression);
    EXPECT_EQ(parsed->countOfTokens(), 9u);
    EXPECT_EQ(parsed->lineReferenceTokensOfType(NCLineReferenceTypeRelative)->size(), 1u);
    EXPECT_EQ(parsed->lineReferenceTokensOfType(NCLineReferenceTypeAll)->size(), 3u);
    EXPECT_FALSE(parsed->lineReferenceTokensOfType(NCLineReferenceTypeNull).has_value());
    EXPECT_EQ(parsed->tokensOfType(NCExpressionTokenTypeLineReference).size(), 3u);

    EXPECT_EQ(parsed->tokenAtLocation(12, 1), parsed->tokens()[8]);
    testing::internal::CaptureStderr();
    EXPECT_EQ(parsed->tokenAtLocation(18, 2), parsed->tokens()[2]);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unexpected type 2"), std::string::npos);

    auto plus = parsed->tokens()[2];
    EXPECT_EQ(parsed->tokenAfter(plus, 0), parsed->tokens()[3]);
    EXPECT_EQ(parsed->tokenAfter(plus, 1), parsed->tokens()[1]);
    EXPECT_EQ(parsed->tokenAfter(plus, 2), nullptr);
    EXPECT_EQ(parsed->tokenAfter(parsed->tokens()[0], 1), nullptr);
    EXPECT_EQ(NCParsedExpressionHelpers::indexOfToken(*parsed->tokens()[6], *parsed), 6u);

    std::vector<uint64_t> seen;
    parsed->enumerateTokensWithBlock(
        [&](const std::shared_ptr<NCExpressionToken>& token, bool* stop) {
            seen.push_back(token->range().location);
            *stop = seen.size() == 3;
        });
    EXPECT_EQ(seen, (std::vector<uint64_t>{0, 17, 18}));
    seen.clear();
    parsed->enumerateTokensAfterToken(plus, 1,
                                      [&](const std::shared_ptr<NCExpressionToken>& token, bool*) {
                                          seen.push_back(token->range().location);
                                      });
    EXPECT_EQ(seen, (std::vector<uint64_t>{17, 0}));

    NCTokenListParsedExpression list(expression, {parsed->tokens()[0], parsed->tokens()[1]});
    EXPECT_EQ(list.countOfTokens(), 2u);
    EXPECT_EQ(list.tokenAtLocation(17), parsed->tokens()[1]);
    EXPECT_EQ(list.tokenAtLocation(18), nullptr);
    NCParsedExpression bare(expression);
    EXPECT_EQ(bare.countOfTokens(), 0u);
    EXPECT_EQ(bare.tokenAtLocation(0), nullptr);
}

TEST(NCExpressionParser, TakesTheCurrentEnvironment) {
    auto environment = std::make_shared<NCEnvironment>();
    environment->set();
    EXPECT_EQ(NCExpressionParser().environment(), environment);
    NCEnvironment unshared;
    unshared.set();  // not held in a shared pointer: nothing happens
    EXPECT_EQ(NCEnvironment::current(), environment);
    environment->setIsSet(true);
    environment->setLocale({u',', u'.'});
    EXPECT_EQ(environment->locale(), kNCSimpleLocalDefault);
    environment->setFunctions(std::make_shared<NCFunctionList>());
    EXPECT_EQ(environment->functions(), nullptr);
}

}  // namespace
