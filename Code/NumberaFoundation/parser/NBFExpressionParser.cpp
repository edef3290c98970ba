#include "NBFExpressionParser.h"

#include <unordered_map>

#include "NBFContextualAnalyzer.h"
#include "NBFExpressionTokenizer.h"
#include "NBFParser.h"

namespace {

// What a token turned out to be: the operator its node became, the token's own kind for any
// other node, and a word for text that took no part (whitespace and brackets stay).
NBF::Token* createDisplayToken(NBFExpressionTokenRef token, NBFExpressionNodeRef node) {
    token_type type = token->type();
    NBFTokenSubType subType = token->subType();
    if (node && NBFExpressionNodeGetType(node) == kNBFExpressionNodeTypeOperator) {
        type = kNBFTokenTypeOperator;
        subType = NBFTokenSubTypeForNBFOperatorType(NBFExpressionNodeGetOperatorType(node));
    } else if (!node && type != kNBFTokenTypeWhitespace && type != kNBFTokenTypeBracket) {
        type = kNBFTokenTypeWord;
        subType = kNBFTokenSubTypeNone;
    }
    return NBF::Token::createOver(token->range(), type, subType, token);
}

}  // namespace

namespace NBF {

ExpressionParser* ExpressionParser::create(NBFFunctionListRef functionList,
                                           NBFVariableListRef variableList,
                                           NBFWordOperatorListRef wordOperatorList,
                                           NBFUnitCollectionRef unitCollection) {
    auto* parser = new ExpressionParser();
    parser->m_functionList = NBFFunctionListRetain(functionList);
    parser->m_variableList = NBFVariableListRetain(variableList);
    parser->m_wordOperatorList = NBFWordOperatorListRetain(wordOperatorList);
    parser->m_unitCollection = NBFUnitCollectionRetain(unitCollection);
    return parser;
}

ExpressionParser::~ExpressionParser() {
    NBFFunctionListRelease(m_functionList);
    NBFVariableListRelease(m_variableList);
    NBFWordOperatorListRelease(m_wordOperatorList);
    NBFUnitCollectionRelease(m_unitCollection);
}

ParsedExpression* ExpressionParser::parse(TokenizedExpression* tokenizedExpression,
                                          uint32_t lineIndex) const {
    if (!tokenizedExpression) return nullptr;
    NBFNamespaceRef ns = NBFNamespaceCreate();
    NBFNamespaceSetFunctionList(ns, m_functionList);
    NBFNamespaceSetVariableList(ns, m_variableList);
    NBFNamespaceSetUnitCollection(ns, m_unitCollection);
    NBFNamespaceSetWordOperatorList(ns, m_wordOperatorList);
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();
    NBFContextualAnalyzerSetNamespace(analyzer, ns);
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(analyzer, tokenizedExpression, lineIndex);
    NBFContextualAnalyzerRelease(analyzer);
    NBFNamespaceRelease(ns);
    ParsedExpression* parsed = parseAnalysedTokens(tokens);
    for (NBFExpressionTokenRef token : tokens) token->release();
    return parsed;
}

ParsedExpression* ExpressionParser::parseAnalysedTokens(
    const NBFExpressionTokenVector& tokens) const {
    auto parser = Ref<NBFParser>::adopt(NBFParserCreate());
    auto tree = Ref<ExpressionTree>::adopt(
        NBFParserCreateExpressionTreeByParsingExpressionTokens(parser.get(), &tokens));

    TokenVector displayTokens;
    if (!m_makesDisplayTokens) {
        ParsedExpression* parsed =
            ParsedExpression::create(displayTokens, tree ? tree->root() : nullptr);
        parsed->keepExpressionTokens(tokens);
        return parsed;
    }
    std::unordered_map<NBFExpressionTokenRef, NBFExpressionNodeRef> nodeOfToken;
    if (tree) {
        for (NBFExpressionNodeRef node : tree->nodes())
            if (NBFExpressionTokenRef token = NBFExpressionNodeGetExpressionToken(node))
                nodeOfToken.emplace(token, node);
    }
    displayTokens.reserve(tokens.size());
    for (NBFExpressionTokenRef token : tokens) {
        auto found = nodeOfToken.find(token);
        displayTokens.push_back(
            createDisplayToken(token, found == nodeOfToken.end() ? nullptr : found->second));
    }
    ParsedExpression* parsed =
        ParsedExpression::create(displayTokens, tree ? tree->root() : nullptr);
    parsed->keepExpressionTokens(tokens);
    for (Token* token : displayTokens) token->release();
    return parsed;
}

}  // namespace NBF

NBFExpressionParserRef NBFExpressionParserCreate(NBFFunctionListRef functionList,
                                                 NBFVariableListRef variableList,
                                                 NBFWordOperatorListRef wordOperatorList,
                                                 NBFUnitCollectionRef unitCollection) {
    return NBF::ExpressionParser::create(functionList, variableList, wordOperatorList,
                                         unitCollection);
}

NBFExpressionParserRef NBFExpressionParserRetain(NBFExpressionParserRef parser) {
    return NBF::retain(parser);
}

void NBFExpressionParserRelease(NBFExpressionParserRef parser) { NBF::release(parser); }

void NBFExpressionParserSetEnableContextualAnalysis(NBFExpressionParserRef, bool) {}

void NBFExpressionParserSetMakesDisplayTokens(NBFExpressionParserRef parser, bool makes) {
    if (parser) parser->setMakesDisplayTokens(makes);
}

NBFParsedExpressionRef NBFExpressionParserParseExpression(NBFExpressionParserRef parser,
                                                          NBFExpressionRef expression) {
    if (!parser || !expression) return nullptr;
    auto tokenizer = NBF::Ref<NBF::ExpressionTokenizer>::adopt(
        NBF::ExpressionTokenizer::create(kNBFLocaleDefault));
    auto tokenized = NBF::Ref<NBF::TokenizedExpression>::adopt(tokenizer->tokenize(expression));
    return parser->parse(tokenized.get(), NBFExpressionParserNoLineIndex);
}

NBFParsedExpressionRef NBFExpressionParserParseTokenizedExpression(
    NBFExpressionParserRef parser, NBFTokenizedExpressionRef tokenizedExpression) {
    return NBFExpressionParserParseTokenizedExpressionInScope(parser, tokenizedExpression,
                                                              NBFExpressionParserNoLineIndex);
}

NBFParsedExpressionRef NBFExpressionParserParseAnalysedTokens(
    NBFExpressionParserRef parser, const NBFExpressionTokenVector& tokens) {
    return parser ? parser->parseAnalysedTokens(tokens) : nullptr;
}

NBFParsedExpressionRef NBFExpressionParserParseTokenizedExpressionInScope(
    NBFExpressionParserRef parser, NBFTokenizedExpressionRef tokenizedExpression,
    uint32_t lineIndex) {
    return parser ? parser->parse(tokenizedExpression, lineIndex) : nullptr;
}
