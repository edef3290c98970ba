#include "NCLine.h"

NCLine::NCLine(std::shared_ptr<NCExpression> expression)
    : _customFormattingOptions(std::make_shared<NCResultFormattingOptions>()),
      i_expression(std::move(expression)) {
    if (i_expression) i_expression->setLine(this);
}

NCLine::~NCLine() {
    if (i_expression && i_expression->line() == this) i_expression->setLine(nullptr);
}

std::shared_ptr<NCLine> NCLine::lineWithExpressionString(
    const std::optional<std::u16string>& string) {
    return std::make_shared<NCLine>(string ? NCExpression::expressionWithString(*string) : nullptr);
}

std::optional<std::u16string> NCLine::expressionString() const {
    return i_expression ? i_expression->originalString() : std::nullopt;
}

void NCLine::setResult(std::shared_ptr<NCResult> result) {
    if (result == i_result) return;
    i_result = std::move(result);
    if (i_result) i_result->setResultFormattingOptions(_customFormattingOptions);
}
