// A line's text classified: a normal expression (evaluated whole), a variable declaration (only
// its value is evaluated) or plain text (not evaluated). Each keeps the plain tokens of the whole
// line and, once a line expression parser has processed it, the parsed forms of the whole line
// and of the part that is evaluated.
#ifndef NUMBERA_CORE_NC_LINE_EXPRESSION_H
#define NUMBERA_CORE_NC_LINE_EXPRESSION_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "NCExpression.h"
#include "NCParsedExpression.h"
#include "NCSimpleTokenizedExpression.h"
#include "NSRange.h"

typedef int32_t NCLineExpressionType;
enum : NCLineExpressionType {
    NCLineExpressionTypeNormal = 1,
    NCLineExpressionTypeVariableDeclaration = 2,
    NCLineExpressionTypePlainText = 3,
};

class NCLineVariableDeclaration {
  public:
    NCLineVariableDeclaration(int64_t equalsTokenIndex, NSRange nameRange,
                              std::optional<std::u16string> name,
                              std::shared_ptr<NCExpression> valueExpression)
        : m_equalsTokenIndex(equalsTokenIndex),
          m_nameRange(nameRange),
          m_name(std::move(name)),
          m_valueExpression(std::move(valueExpression)) {}
    // Among the line's plain tokens.
    int64_t equalsTokenIndex() const { return m_equalsTokenIndex; }
    // In the line's text, from the name's first word up to the "=".
    NSRange nameRange() const { return m_nameRange; }
    // Trimmed; none for an empty name range.
    const std::optional<std::u16string>& name() const { return m_name; }
    // None when nothing follows the "=".
    const std::shared_ptr<NCExpression>& valueExpression() const { return m_valueExpression; }

  private:
    int64_t m_equalsTokenIndex;
    NSRange m_nameRange;
    std::optional<std::u16string> m_name;
    std::shared_ptr<NCExpression> m_valueExpression;
};

class NCNormalLineExpression;
class NCVarDeclLineExpression;
class NCPlainTextLineExpression;

// Handles each kind of line expression (a line expression parser does).
struct NCLineExpressionProcessor {
    virtual ~NCLineExpressionProcessor() = default;
    virtual void processNormalLineExpression(NCNormalLineExpression& lineExpression) = 0;
    virtual void processVarDeclLineExpression(NCVarDeclLineExpression& lineExpression) = 0;
    virtual void processPlainTextLineExpression(NCPlainTextLineExpression& lineExpression) = 0;
};

class NCLineExpression {
  public:
    virtual ~NCLineExpression() = default;
    virtual NCLineExpressionType expressionType() const = 0;
    virtual const std::shared_ptr<NCExpression>& expression() const = 0;
    // The plain tokens of the whole line; may be none.
    virtual const std::shared_ptr<NCSimpleTokenizedExpression>& tokenizedExpression() const = 0;
    virtual const std::shared_ptr<NCSimpleTokenizedExpression>& tokenizedEvaluableExpression()
        const = 0;
    virtual const std::shared_ptr<NCParsedExpression>& evaluableParsedExpression() const = 0;
    virtual const std::shared_ptr<NCParsedExpression>& parsedExpression() const = 0;
    // The part that is evaluated; none for plain text.
    virtual const std::shared_ptr<NCExpression>& evaluableExpression() const = 0;
    virtual std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const = 0;
    // Drops both parsed forms.
    virtual void reset() = 0;
    // Calls the processor's operation for this kind.
    virtual void process(NCLineExpressionProcessor& processor) = 0;
};

class NCAbstractLineExpression : public NCLineExpression {
  public:
    NCAbstractLineExpression(NCLineExpressionType type, std::shared_ptr<NCExpression> expression,
                             std::shared_ptr<NCSimpleTokenizedExpression> tokenizedExpression)
        : m_expressionType(type),
          m_expression(std::move(expression)),
          m_tokenizedExpression(std::move(tokenizedExpression)) {}

    NCLineExpressionType expressionType() const override { return m_expressionType; }
    const std::shared_ptr<NCExpression>& expression() const override { return m_expression; }
    const std::shared_ptr<NCSimpleTokenizedExpression>& tokenizedExpression() const override {
        return m_tokenizedExpression;
    }
    const std::shared_ptr<NCSimpleTokenizedExpression>& tokenizedEvaluableExpression()
        const override {
        return m_tokenizedEvaluableExpression;
    }
    void setTokenizedEvaluableExpression(std::shared_ptr<NCSimpleTokenizedExpression> tokens) {
        m_tokenizedEvaluableExpression = std::move(tokens);
    }
    const std::shared_ptr<NCParsedExpression>& evaluableParsedExpression() const override {
        return m_evaluableParsedExpression;
    }
    void setEvaluableParsedExpression(std::shared_ptr<NCParsedExpression> parsed) {
        m_evaluableParsedExpression = std::move(parsed);
    }
    const std::shared_ptr<NCParsedExpression>& parsedExpression() const override {
        return m_parsedExpression;
    }
    void setParsedExpression(std::shared_ptr<NCParsedExpression> parsed) {
        m_parsedExpression = std::move(parsed);
    }
    const std::shared_ptr<NCExpression>& evaluableExpression() const override {
        return m_evaluableExpression;
    }
    std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const override {
        return nullptr;
    }
    void reset() override {
        m_evaluableParsedExpression.reset();
        m_parsedExpression.reset();
    }

  protected:
    void setEvaluableExpression(std::shared_ptr<NCExpression> expression) {
        m_evaluableExpression = std::move(expression);
    }

  private:
    NCLineExpressionType m_expressionType;
    std::shared_ptr<NCExpression> m_expression;
    std::shared_ptr<NCSimpleTokenizedExpression> m_tokenizedExpression;
    std::shared_ptr<NCSimpleTokenizedExpression> m_tokenizedEvaluableExpression;
    std::shared_ptr<NCParsedExpression> m_evaluableParsedExpression;
    std::shared_ptr<NCParsedExpression> m_parsedExpression;
    std::shared_ptr<NCExpression> m_evaluableExpression;
};

class NCNormalLineExpression : public NCAbstractLineExpression {
  public:
    NCNormalLineExpression(std::shared_ptr<NCExpression> expression,
                           std::shared_ptr<NCSimpleTokenizedExpression> tokenizedExpression)
        : NCAbstractLineExpression(NCLineExpressionTypeNormal, std::move(expression),
                                   std::move(tokenizedExpression)) {
        setEvaluableExpression(this->expression());
    }
    void process(NCLineExpressionProcessor& processor) override {
        processor.processNormalLineExpression(*this);
    }
};

class NCVarDeclLineExpression : public NCAbstractLineExpression {
  public:
    NCVarDeclLineExpression(std::shared_ptr<NCExpression> expression,
                            std::shared_ptr<NCSimpleTokenizedExpression> tokenizedExpression,
                            std::shared_ptr<NCLineVariableDeclaration> variableDeclaration)
        : NCAbstractLineExpression(NCLineExpressionTypeVariableDeclaration, std::move(expression),
                                   std::move(tokenizedExpression)),
          m_variableDeclaration(std::move(variableDeclaration)) {
        if (m_variableDeclaration) setEvaluableExpression(m_variableDeclaration->valueExpression());
    }
    std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const override {
        return m_variableDeclaration;
    }
    void process(NCLineExpressionProcessor& processor) override {
        processor.processVarDeclLineExpression(*this);
    }

  private:
    std::shared_ptr<NCLineVariableDeclaration> m_variableDeclaration;
};

class NCPlainTextLineExpression : public NCAbstractLineExpression {
  public:
    NCPlainTextLineExpression(std::shared_ptr<NCExpression> expression,
                              std::shared_ptr<NCSimpleTokenizedExpression> tokenizedExpression)
        : NCAbstractLineExpression(NCLineExpressionTypePlainText, std::move(expression),
                                   std::move(tokenizedExpression)) {}
    void process(NCLineExpressionProcessor& processor) override {
        processor.processPlainTextLineExpression(*this);
    }
};

#endif
