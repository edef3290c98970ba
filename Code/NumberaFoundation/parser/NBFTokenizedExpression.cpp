#include "NBFTokenizedExpression.h"

namespace NBF {

TokenizedExpression* TokenizedExpression::create(const NBFExpressionTokenVector& tokens) {
    return new TokenizedExpression(tokens);
}

TokenizedExpression::TokenizedExpression(const NBFExpressionTokenVector& tokens)
    : m_tokens(tokens) {
    for (ExpressionToken* token : m_tokens) NBF::retain(token);
}

TokenizedExpression::~TokenizedExpression() {
    for (ExpressionToken* token : m_tokens) NBF::release(token);
}

}  // namespace NBF

NBFTokenizedExpressionRef NBFTokenizedExpressionCreate(const NBFExpressionTokenVector& tokens) {
    return NBF::TokenizedExpression::create(tokens);
}

NBFTokenizedExpressionRef NBFTokenizedExpressionRetain(NBFTokenizedExpressionRef expression) {
    return NBF::retain(expression);
}

void NBFTokenizedExpressionRelease(NBFTokenizedExpressionRef expression) {
    NBF::release(expression);
}
