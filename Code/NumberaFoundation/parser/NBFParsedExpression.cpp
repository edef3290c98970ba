#include "NBFParsedExpression.h"

namespace NBF {

Token* Token::create(NBFRange range, token_type type, NBFTokenSubType subType,
                     NBFStringRef string) {
    return new Token(range, type, subType, string, nullptr);
}

Token* Token::createOver(NBFRange range, token_type type, NBFTokenSubType subType,
                         ExpressionToken* source) {
    return new Token(range, type, subType, nullptr, source);
}

Token::Token(NBFRange range, token_type type, NBFTokenSubType subType, NBFStringRef string,
             ExpressionToken* source)
    : m_range(range),
      m_type(type),
      m_subType(subType),
      m_string(NBFStringRetain(string)),
      m_source(NBF::retain(source)) {}

Token::~Token() {
    NBFStringRelease(m_string);
    NBF::release(m_source);
}

NBFStringRef Token::string() const {
    return m_source ? NBFExpressionTokenGetStringReference(m_source) : m_string;
}

ParsedExpression* ParsedExpression::create(const TokenVector& tokens, ExpressionNode* root) {
    return new ParsedExpression(tokens, root);
}

ParsedExpression::ParsedExpression(const TokenVector& tokens, ExpressionNode* root)
    : m_tokens(tokens), m_tree(root ? ExpressionTree::create(root) : nullptr) {
    for (Token* token : m_tokens) NBF::retain(token);
}

ParsedExpression::~ParsedExpression() {
    for (Token* token : m_tokens) NBF::release(token);
    NBF::release(m_tree);
    for (ExpressionToken* token : m_expressionTokens) NBF::release(token);
}

void ParsedExpression::keepExpressionTokens(const NBFExpressionTokenVector& tokens) {
    for (ExpressionToken* token : tokens) m_expressionTokens.push_back(NBF::retain(token));
}

}  // namespace NBF

NBFTokenRef NBFTokenCreate(NBFRange range, token_type type, NBFTokenSubType subType,
                           NBFStringRef string) {
    return NBF::Token::create(range, type, subType, string);
}

NBFTokenRef NBFTokenRetain(NBFTokenRef token) { return NBF::retain(token); }

void NBFTokenRelease(NBFTokenRef token) { NBF::release(token); }

token_type NBFTokenGetType(NBFTokenRef token) { return token ? token->type() : kNBFTokenTypeNone; }

NBFTokenSubType NBFTokenGetSubType(NBFTokenRef token) {
    return token ? token->subType() : kNBFTokenSubTypeNone;
}

NBFParsedExpressionRef NBFParsedExpressionCreate(const NBF::TokenVector& tokens,
                                                 NBFExpressionNodeRef rootNode) {
    return NBF::ParsedExpression::create(tokens, rootNode);
}

NBFParsedExpressionRef NBFParsedExpressionRetain(NBFParsedExpressionRef parsedExpression) {
    return NBF::retain(parsedExpression);
}

void NBFParsedExpressionRelease(NBFParsedExpressionRef parsedExpression) {
    NBF::release(parsedExpression);
}

const NBF::TokenVector& NBFParsedExpressionGetTokens(NBFParsedExpressionRef parsedExpression) {
    static const NBF::TokenVector s_none;
    return parsedExpression ? parsedExpression->tokens() : s_none;
}

const NBFExpressionTokenVector& NBFParsedExpressionGetExpressionTokens(
    NBFParsedExpressionRef parsedExpression) {
    static const NBFExpressionTokenVector s_none;
    return parsedExpression ? parsedExpression->expressionTokens() : s_none;
}

NBFExpressionTreeRef NBFParsedExpressionGetExpressionTree(NBFParsedExpressionRef parsedExpression) {
    return parsedExpression ? parsedExpression->tree() : nullptr;
}
