// The expression tokens of one expression, in text order.
#ifndef NUMBERA_FOUNDATION_NBF_TOKENIZED_EXPRESSION_H
#define NUMBERA_FOUNDATION_NBF_TOKENIZED_EXPRESSION_H

#include "NBFExpressionToken.h"

namespace NBF {

class TokenizedExpression : public Object<TokenizedExpression> {
  public:
    // Retains each token.
    static TokenizedExpression* create(const NBFExpressionTokenVector& tokens);
    const NBFExpressionTokenVector& tokens() const { return m_tokens; }  // borrowed

  private:
    explicit TokenizedExpression(const NBFExpressionTokenVector& tokens);
    ~TokenizedExpression() override;
    const NBFExpressionTokenVector m_tokens;
};

}  // namespace NBF

typedef NBF::TokenizedExpression* NBFTokenizedExpressionRef;

NBFTokenizedExpressionRef NBFTokenizedExpressionCreate(const NBFExpressionTokenVector& tokens);
NBFTokenizedExpressionRef NBFTokenizedExpressionRetain(NBFTokenizedExpressionRef expression);
void NBFTokenizedExpressionRelease(NBFTokenizedExpressionRef expression);

#endif
