#include "NCEvaluator.h"

#include "NBFEvaluator.h"
#include "NCBuiltins.h"
#include "NCUtilityFunctions.h"

NCEvaluator::NCEvaluator(std::shared_ptr<NCUnitCollection> units,
                         std::shared_ptr<NCVariableList> variables,
                         std::shared_ptr<NCWordOperatorList> wordOperators)
    : _variableList(std::move(variables)),
      _unitManager(std::move(units)),
      _wordOperators(std::move(wordOperators)) {
    builtInFunctions();
}

std::shared_ptr<NCEvaluator> NCEvaluator::sharedEvaluator() {
    auto environment = NCEnvironment::current();
    return environment ? environment->sharedEvaluator() : nullptr;
}

NBFFunctionListRef NCEvaluator::builtInFunctions() {
    static const std::shared_ptr<NCFunctionList> functions = NCBuiltins::functions();
    return functions->nbfFunctionList();
}

std::optional<std::u16string> NCEvaluator::evaluateString(const std::u16string& text) {
    auto result = evaluateExpression(NCExpression::expressionWithString(text));
    return result ? result->completeStringValue() : std::nullopt;
}

std::shared_ptr<NCResult> NCEvaluator::evaluateExpression(
    const std::shared_ptr<NCExpression>& expression) {
    NCEnvironment environment;
    environment.setVariables(_variableList);
    environment.setWordOperators(_wordOperators);
    environment.setUnitManager(_unitManager);
    static const std::shared_ptr<NCFunctionList> functions =
        std::make_shared<NCFunctionList>(builtInFunctions());
    environment.setFunctions(functions);
    std::shared_ptr<NCTokenizedExpression> tokenized;
    if (expression) {
        tokenized = expression->tokenizedExpression();
        if (tokenized) {
            tokenized->setVariableList(_variableList);
            tokenized->setUnitManager(_unitManager);
            tokenized->setWordOperators(_wordOperators);
            tokenized->setFunctions(functions);
        }
    }
    return evaluateTokenizedExpression(tokenized.get(), environment, nullptr);
}

std::shared_ptr<NCResult> NCEvaluator::evaluateTokenizedExpression(
    NCTokenizedExpression* tokenized, const NCEnvironment& environment,
    NCEvaluationContext* context) {
    if (!tokenized) return NCResult::emptyResult();
    const NBFExpressionTokenVector& tokens = tokenized->nbfExpressionTokens();

    auto units = environment.unitManager();
    NBFEvaluatorRef evaluator = NBFEvaluatorCreate(units ? units->nbfUnitCollection() : nullptr);
    auto functions = environment.functions();
    auto variables = environment.variables();
    auto wordOperators = environment.wordOperators();
    NBFEvaluatorSetFunctionList(evaluator,
                                functions ? functions->nbfFunctionList() : builtInFunctions());
    NBFEvaluatorSetVariableList(evaluator, variables ? variables->nbfVariableList() : nullptr);
    NBFEvaluatorSetWordOperatorList(evaluator,
                                    wordOperators ? wordOperators->nbfWordOperatorList() : nullptr);
    NBFEvaluatorSetTrigonometryMode(evaluator, NCTrigonometryModeToNBFTrigonometryMode(_trigMode));
    NBFEvaluatorSetContextInfo(evaluator, context);
    int32_t scope = NBFEvaluatorNoScope;
    if (context)
        scope = context->lineIndex() < 0 ? NBFEvaluatorNoScope
                : context->lineIndex() > INT32_MAX ? INT32_MAX
                                                   : static_cast<int32_t>(context->lineIndex());
    NBFResultRef nbfResult = NBFEvaluatorEvaluateExpressionTokensInScope(evaluator, tokens, scope);
    NBFEvaluatorFree(evaluator);
    if (!nbfResult) return NCResult::emptyResult();
    auto result = std::make_shared<NCResult>(nbfResult);
    NBFResultRelease(nbfResult);
    return result;
}
