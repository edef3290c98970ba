// Turns an expression into expression tokens: scans it, gives every basic token its
// expression kind and, with comments enabled, folds quoted text, labels, comments and
// commented-out lines into single comment tokens, leaving only the calculable part of the
// line to the analyser.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_TOKENIZER_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_TOKENIZER_H

#include "NBFExpression.h"
#include "NBFTokenizedExpression.h"

namespace NBF {

class ExpressionTokenizer : public Object<ExpressionTokenizer> {
  public:
    // Comments enabled.
    static ExpressionTokenizer* create(NBFLocale locale);
    void setEnableComments(bool enabled) { m_commentsEnabled = enabled; }
    // A new tokenized expression the caller releases; empty for a null expression.
    TokenizedExpression* tokenize(Expression* expression) const;

  private:
    explicit ExpressionTokenizer(NBFLocale locale) : m_locale(locale) {}
    const NBFLocale m_locale;
    bool m_commentsEnabled = true;
};

}  // namespace NBF

typedef NBF::ExpressionTokenizer* NBFExpressionTokenizerRef;

NBFExpressionTokenizerRef NBFExpressionTokenizerCreate(NBFLocale locale);
NBFExpressionTokenizerRef NBFExpressionTokenizerRetain(NBFExpressionTokenizerRef tokenizer);
void NBFExpressionTokenizerRelease(NBFExpressionTokenizerRef tokenizer);
void NBFExpressionTokenizerSetEnableComments(NBFExpressionTokenizerRef tokenizer, bool enabled);
// Null for a null tokenizer.
NBFTokenizedExpressionRef NBFExpressionTokenizerTokenize(NBFExpressionTokenizerRef tokenizer,
                                                         NBFExpressionRef expression);

#endif
