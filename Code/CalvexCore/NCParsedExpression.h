// A line's text with its tokens, for questions about what lies where: backed by a tokenized
// expression, by a list of tokens made elsewhere (a variable declaration's line), or by a line.
#ifndef NUMBERA_CORE_NC_PARSED_EXPRESSION_H
#define NUMBERA_CORE_NC_PARSED_EXPRESSION_H

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "NCExpression.h"
#include "NCParsedExpressionHelpers.h"
#include "NCTokenizedExpression.h"

class NCLine;

class NCParsedExpression {
  public:
    explicit NCParsedExpression(std::shared_ptr<NCExpression> expression = nullptr)
        : m_expression(std::move(expression)) {}
    virtual ~NCParsedExpression() = default;

    virtual std::shared_ptr<NCExpression> expression() const { return m_expression; }
    // None here; the kinds below have tokens.
    virtual const NCExpressionTokenArray& tokens();
    uint64_t countOfTokens() { return tokens().size(); }

    // Location type 0 searches stored ranges, 1 displayed ranges; another type is logged and
    // searched as 0. None when no token contains the location.
    std::shared_ptr<NCExpressionToken> tokenAtLocation(uint64_t location, int locationType = 0);
    NCExpressionTokenArray tokensOfType(NCExpressionTokenType type);
    std::optional<NCExpressionTokenArray> lineReferenceTokensOfType(NCLineReferenceType mask);
    bool hasReferenceToVariableWithName(const std::u16string& name);
    std::set<std::u16string> variableReferences();
    // Direction 0: the token at the end of this one; 1: the token before it. No token counts
    // as the start of the text.
    std::shared_ptr<NCExpressionToken> tokenAfter(const std::shared_ptr<NCExpressionToken>& token,
                                                  int direction);
    // Until there is no next token or the callback sets stop.
    void enumerateTokensAfterToken(
        const std::shared_ptr<NCExpressionToken>& token, int direction,
        const std::function<void(const std::shared_ptr<NCExpressionToken>&, bool* stop)>& block);
    void enumerateTokensWithBlock(
        const std::function<void(const std::shared_ptr<NCExpressionToken>&, bool* stop)>& block) {
        enumerateTokensAfterToken(nullptr, 0, block);
    }

  private:
    std::shared_ptr<NCExpression> m_expression;
};

class NCTokenizedExpressionBackedParsedExpression : public NCParsedExpression {
  public:
    // Keeps the tokenized expression's expression alive: the tokenized expression does not.
    explicit NCTokenizedExpressionBackedParsedExpression(
        std::shared_ptr<NCTokenizedExpression> tokenizedExpression)
        : NCParsedExpression(tokenizedExpression ? tokenizedExpression->expression() : nullptr),
          m_tokenizedExpression(std::move(tokenizedExpression)) {}

    const NCExpressionTokenArray& tokens() override;
    const std::shared_ptr<NCTokenizedExpression>& tokenizedExpression() const {
        return m_tokenizedExpression;
    }

  private:
    std::shared_ptr<NCTokenizedExpression> m_tokenizedExpression;
};

class NCTokenListParsedExpression : public NCParsedExpression {
  public:
    NCTokenListParsedExpression(std::shared_ptr<NCExpression> expression,
                                NCExpressionTokenArray tokens)
        : NCParsedExpression(std::move(expression)), m_tokens(std::move(tokens)) {}

    const NCExpressionTokenArray& tokens() override { return m_tokens; }

  private:
    NCExpressionTokenArray m_tokens;
};

// A list of tokens made on first request by the given function.
class NCDeferredTokenListParsedExpression : public NCParsedExpression {
  public:
    NCDeferredTokenListParsedExpression(std::shared_ptr<NCExpression> expression,
                                        std::function<NCExpressionTokenArray()> make)
        : NCParsedExpression(std::move(expression)), m_make(std::move(make)) {}

    const NCExpressionTokenArray& tokens() override {
        if (m_make) {
            m_tokens = m_make();
            m_make = nullptr;
        }
        return m_tokens;
    }

  private:
    std::function<NCExpressionTokenArray()> m_make;
    NCExpressionTokenArray m_tokens;
};

// The tokens of a line's own tokenisation, read when asked for; the line is not retained.
class NCLineBackedParsedExpression : public NCParsedExpression {
  public:
    explicit NCLineBackedParsedExpression(NCLine* line) : m_line(line) {}

    std::shared_ptr<NCExpression> expression() const override;
    const NCExpressionTokenArray& tokens() override;
    NCLine* line() const { return m_line; }

  private:
    NCLine* m_line;
    // Keeps the tokens handed out alive until the next request.
    std::shared_ptr<NCTokenizedExpression> m_tokenizedExpression;
};

#endif
