// A line's text classified: a normal expression (evaluated whole), a variable declaration
// (only its value is evaluated) or plain text (not evaluated).
#ifndef NUMBERA_CORE_NC_LINE_EXPRESSION_H
#define NUMBERA_CORE_NC_LINE_EXPRESSION_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "NCExpression.h"
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
    int64_t equalsTokenIndex() const { return _equalsTokenIndex; }
    NSRange nameRange() const { return _nameRange; }
    const std::optional<std::u16string>& name() const { return _name; }
    const std::shared_ptr<NCExpression>& valueExpression() const { return _valueExpression; }

  private:
    int64_t _equalsTokenIndex;
    NSRange _nameRange;
    std::optional<std::u16string> _name;
    std::shared_ptr<NCExpression> _valueExpression;
};

class NCAbstractLineExpression {
  public:
    NCAbstractLineExpression(NCLineExpressionType type, std::shared_ptr<NCExpression> expression)
        : _expressionType(type), _expression(std::move(expression)) {}
    virtual ~NCAbstractLineExpression() = default;

    NCLineExpressionType expressionType() const { return _expressionType; }
    const std::shared_ptr<NCExpression>& expression() const { return _expression; }
    // The part that is evaluated; none for plain text.
    virtual std::shared_ptr<NCExpression> evaluableExpression() const { return nullptr; }
    virtual std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const { return nullptr; }

  private:
    NCLineExpressionType _expressionType;
    std::shared_ptr<NCExpression> _expression;
};

class NCNormalLineExpression : public NCAbstractLineExpression {
  public:
    explicit NCNormalLineExpression(std::shared_ptr<NCExpression> expression)
        : NCAbstractLineExpression(NCLineExpressionTypeNormal, std::move(expression)) {}
    std::shared_ptr<NCExpression> evaluableExpression() const override { return expression(); }
};

class NCVarDeclLineExpression : public NCAbstractLineExpression {
  public:
    NCVarDeclLineExpression(std::shared_ptr<NCExpression> expression,
                            std::shared_ptr<NCLineVariableDeclaration> declaration)
        : NCAbstractLineExpression(NCLineExpressionTypeVariableDeclaration, std::move(expression)),
          _variableDeclaration(std::move(declaration)) {}
    std::shared_ptr<NCExpression> evaluableExpression() const override {
        return _variableDeclaration ? _variableDeclaration->valueExpression() : nullptr;
    }
    std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const override {
        return _variableDeclaration;
    }

  private:
    std::shared_ptr<NCLineVariableDeclaration> _variableDeclaration;
};

class NCPlainTextLineExpression : public NCAbstractLineExpression {
  public:
    explicit NCPlainTextLineExpression(std::shared_ptr<NCExpression> expression)
        : NCAbstractLineExpression(NCLineExpressionTypePlainText, std::move(expression)) {}
};

#endif
