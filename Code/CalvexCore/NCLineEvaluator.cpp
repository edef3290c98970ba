#include "NCLineEvaluator.h"

#include "NCEvaluator.h"
#include "NCExpressionParser.h"
#include "NCTokenizedExpression.h"

namespace {

std::u16string trimmed(const std::u16string& text) {
    const char16_t* space = u" \t\r\n\u00a0";
    size_t first = text.find_first_not_of(space);
    if (first == std::u16string::npos) return u"";
    size_t last = text.find_last_not_of(space);
    return text.substr(first, last - first + 1);
}

std::u16string substring(const std::u16string& text, NSRange range) {
    if (range.location >= text.size()) return u"";
    return text.substr(range.location, std::min<uint64_t>(range.length, text.size() - range.location));
}

void prepare(NCTokenizedExpression& tokenized, const NCEnvironment& environment) {
    tokenized.setVariableList(environment.variables());
    tokenized.setUnitManager(environment.unitManager());
    tokenized.setWordOperators(environment.wordOperators());
    tokenized.setFunctions(environment.functions());
}

}  // namespace

std::shared_ptr<NCAbstractLineExpression> NCLineEvaluator::lineExpressionForExpression(
    const std::shared_ptr<NCExpression>& expression,
    const std::shared_ptr<NCEnvironment>& environment) {
    if (!expression || !expression->originalString())
        return std::make_shared<NCPlainTextLineExpression>(expression);
    NCExpressionParser parser(environment);
    auto parsed = parser.parseExpression(expression);
    NCVarDecl declaration;
    const NCExpressionType type =
        parsed ? NCExpressionParser::expressionTypeOfTokenizedExpression(*parsed, &declaration)
               : NCExpressionTypeExpression;
    if (type == NCExpressionTypeBadVariableDeclaration)
        return std::make_shared<NCPlainTextLineExpression>(expression);
    if (type != NCExpressionTypeVariableDeclaration)
        return std::make_shared<NCNormalLineExpression>(expression);
    const std::u16string& text = *expression->originalString();
    std::optional<std::u16string> name;
    if (declaration.nameRange.length) name = trimmed(substring(text, declaration.nameRange));
    std::shared_ptr<NCExpression> value;
    if (declaration.valueRange.length)
        value = NCExpression::create(substring(text, declaration.valueRange), expression->locale());
    return std::make_shared<NCVarDeclLineExpression>(
        expression, std::make_shared<NCLineVariableDeclaration>(declaration.equalsTokenIndex,
                                                                declaration.nameRange, name, value));
}

std::shared_ptr<NCResult> NCLineEvaluator::evaluateLineExpression(
    const NCAbstractLineExpression& lineExpression, int64_t lineIndex,
    NCLineCollection* lineCollection, const std::shared_ptr<NCEnvironment>& environment,
    NCTrigonometryMode trigonometryMode) {
    auto evaluable = lineExpression.evaluableExpression();
    if (!evaluable || lineExpression.expressionType() == NCLineExpressionTypePlainText || !environment)
        return NCResult::emptyResult();
    if (evaluable->isEmpty()) return NCResult::resultWithRawResultString(std::nullopt);
    auto tokenized = evaluable->tokenizedExpression();
    if (!tokenized) return NCResult::emptyResult();
    prepare(*tokenized, *environment);
    auto path = std::make_shared<NCIndexPath>();
    path->pushIndex(lineIndex);
    NCEvaluationContext context(path, lineCollection, lineIndex);
    std::shared_ptr<NCEvaluator> evaluator = environment->sharedEvaluator();
    if (!evaluator)
        evaluator = std::make_shared<NCEvaluator>(environment->unitManager(),
                                                  environment->variables(),
                                                  environment->wordOperators());
    evaluator->setTrigMode(trigonometryMode);
    return evaluator->evaluateTokenizedExpression(tokenized.get(), *environment, &context);
}
