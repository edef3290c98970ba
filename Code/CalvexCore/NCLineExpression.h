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
        : _equalsTokenIndex(equalsTokenIndex), _nameRange(nameRange), _name(std::move(name)),
          _valueExpression(std::move(valueExpression)) {}
    // Among the line's plain tokens.
    int64_t equalsTokenIndex() const { return _equalsTokenIndex; }
    // In the line's text, from the name's first word up to the "=".
    NSRange nameRange() const { return _nameRange; }
    // Trimmed; none for an empty name range.
    const std::optional<std::u16string>& name() const { return _name; }
    // None when nothing follows the "=".
    const std::shared_ptr<NCExpression>& valueExpression() const { return _valueExpression; }

  private:
    int64_t _equalsTokenIndex;
    NSRange _nameRange;
    std::optional<std::u16string> _name;
    std::shared_ptr<NCExpression> _valueExpression;
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
        : _expressionType(type), _expression(std::move(expression)),
          _tokenizedExpression(std::move(tokenizedExpression)) {}

    NCLineExpressionType expressionType() const override { return _expressionType; }
    const std::shared_ptr<NCExpression>& expression() const override { return _expression; }
    const std::shared_ptr<NCSimpleTokenizedExpression>& tokenizedExpression() const override {
        return _tokenizedExpression;
    }
    const std::shared_ptr<NCSimpleTokenizedExpression>& tokenizedEvaluableExpression()
        const override {
        return _tokenizedEvaluableExpression;
    }
    void setTokenizedEvaluableExpression(std::shared_ptr<NCSimpleTokenizedExpression> tokens) {
        _tokenizedEvaluableExpression = std::move(tokens);
    }
    const std::shared_ptr<NCParsedExpression>& evaluableParsedExpression() const override {
        return _evaluableParsedExpression;
    }
    void setEvaluableParsedExpression(std::shared_ptr<NCParsedExpression> parsed) {
        _evaluableParsedExpression = std::move(parsed);
    }
    const std::shared_ptr<NCParsedExpression>& parsedExpression() const override {
        return _parsedExpression;
    }
    void setParsedExpression(std::shared_ptr<NCParsedExpression> parsed) {
        _parsedExpression = std::move(parsed);
    }
    const std::shared_ptr<NCExpression>& evaluableExpression() const override {
        return _evaluableExpression;
    }
    std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const override {
        return nullptr;
    }
    void reset() override {
        _evaluableParsedExpression.reset();
        _parsedExpression.reset();
    }

  protected:
    void setEvaluableExpression(std::shared_ptr<NCExpression> expression) {
        _evaluableExpression = std::move(expression);
    }

  private:
    NCLineExpressionType _expressionType;
    std::shared_ptr<NCExpression> _expression;
    std::shared_ptr<NCSimpleTokenizedExpression> _tokenizedExpression;
    std::shared_ptr<NCSimpleTokenizedExpression> _tokenizedEvaluableExpression;
    std::shared_ptr<NCParsedExpression> _evaluableParsedExpression;
    std::shared_ptr<NCParsedExpression> _parsedExpression;
    std::shared_ptr<NCExpression> _evaluableExpression;
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
          _variableDeclaration(std::move(variableDeclaration)) {
        if (_variableDeclaration) setEvaluableExpression(_variableDeclaration->valueExpression());
    }
    std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const override {
        return _variableDeclaration;
    }
    void process(NCLineExpressionProcessor& processor) override {
        processor.processVarDeclLineExpression(*this);
    }

  private:
    std::shared_ptr<NCLineVariableDeclaration> _variableDeclaration;
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
