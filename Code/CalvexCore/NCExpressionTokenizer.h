// Tokenises a line's text as the foundation scans it after substitution, keeping a map from the
// substituted text back to the line's own text so every token can be placed on what the user
// wrote.
#ifndef NUMBERA_CORE_NC_EXPRESSION_TOKENIZER_H
#define NUMBERA_CORE_NC_EXPRESSION_TOKENIZER_H

#include <memory>

#include "NCExpression.h"
#include "NCExpressionSubstituter.h"
#include "NCSimpleLocale.h"
#include "NCSimpleTokenizedExpression.h"

class NCExpressionTokenizer {
  public:
    // The default locale and no substitution.
    NCExpressionTokenizer() : NCExpressionTokenizer(kNCSimpleLocalDefault, nullptr) {}
    // The substituter is not owned and must outlive the tokenizer.
    NCExpressionTokenizer(NCSimpleLocale locale, NCExpressionSubstituter* substituter)
        : m_locale(locale), m_substituter(substituter) {}

    // None for no expression; an empty token list for an expression without text.
    std::shared_ptr<NCSimpleTokenizedExpression> tokenizeExpression(
        const std::shared_ptr<NCExpression>& expression) const;

    NCSimpleLocale locale() const { return m_locale; }
    NCExpressionSubstituter* substituter() const { return m_substituter; }

  private:
    NCSimpleLocale m_locale;
    NCExpressionSubstituter* m_substituter;
};

#endif
