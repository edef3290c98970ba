#include "NCEvaluator.h"

#include <cstdio>

#include "Diagnostics.h"
#include "NBFEvaluator.h"
#include "NBFExpressionParser.h"
#include "NCBuiltins.h"
#include "NCExpressionSubstituter.h"
#include "NCExpressionTokenizer.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCParsedExpression.h"
#include "NCUtilityFunctions.h"

NCEvaluator::NCEvaluator(std::shared_ptr<NCUnitCollection> units,
                         std::shared_ptr<NCVariableList> variables,
                         std::shared_ptr<NCWordOperatorList> wordOperators)
    : m_variableList(std::move(variables)),
      m_unitManager(std::move(units)),
      m_wordOperators(std::move(wordOperators)) {
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
    environment.setVariables(m_variableList);
    environment.setWordOperators(m_wordOperators);
    environment.setUnitManager(m_unitManager);
    static const std::shared_ptr<NCFunctionList> functions =
        std::make_shared<NCFunctionList>(builtInFunctions());
    environment.setFunctions(functions);
    std::shared_ptr<NCSimpleTokenizedExpression> tokenized;
    if (expression)
        tokenized = NCExpressionTokenizer(expression->locale(),
                                          &NCExpressionSubstituter::defaultSubstituter())
                        .tokenizeExpression(expression);
    return evaluateTokenizedExpression(tokenized.get(), environment, nullptr, nullptr);
}

namespace {

int32_t scopeOf(const NCEvaluationContext* context) {
    if (!context || context->variableScopeIndex() < 0) return NBFEvaluatorNoScope;
    return context->variableScopeIndex() > INT32_MAX
               ? INT32_MAX
               : static_cast<int32_t>(context->variableScopeIndex());
}

}  // namespace

std::shared_ptr<NCResult> NCEvaluator::evaluateTokenizedExpression(
    const NCSimpleTokenizedExpression* tokenized, const NCEnvironment& environment,
    NCEvaluationContext* context, int64_t* error) {
    return evaluateInMode(tokenized, environment, context, error, m_trigMode.load());
}

std::shared_ptr<NCResult> NCEvaluator::evaluateInMode(const NCSimpleTokenizedExpression* tokenized,
                                                      const NCEnvironment& environment,
                                                      NCEvaluationContext* context, int64_t* error,
                                                      NCTrigonometryMode mode,
                                                      NCTokenizedExpression* analysisTarget) {
    if (!tokenized || !tokenized->nbfTokenizedExpression()) return NCResult::emptyResult();
    auto units = environment.unitManager();
    auto functions = environment.functions();
    auto variables = environment.variables();
    auto wordOperators = environment.wordOperators();
    NBFUnitCollectionRef nbfUnits = units ? units->nbfUnitCollection() : nullptr;
    NBFFunctionListRef nbfFunctions = functions ? functions->nbfFunctionList() : builtInFunctions();
    NBFVariableListRef nbfVariables = variables ? variables->nbfVariableList() : nullptr;
    NBFWordOperatorListRef standardWords = NBFStandardWordOperatorsGetSharedListReference();
    NBFWordOperatorListRef nbfWords =
        wordOperators ? wordOperators->nbfWordOperatorList() : nullptr;
    // The foundation's own words stay known behind the environment's, as in tokenisation.
    if (nbfWords)
        NBFWordOperatorListSetAuxiliaryListReference(nbfWords, standardWords);
    else
        nbfWords = standardWords;

    const int32_t scope = scopeOf(context);
    NBFExpressionParserRef parser =
        NBFExpressionParserCreate(nbfFunctions, nbfVariables, nbfWords, nbfUnits);
    NBFExpressionParserSetMakesDisplayTokens(parser, false);
    // The line's own tokens and the evaluation's are one analysis of one text: whichever is
    // made first serves both.
    const NBFExpressionTokenVector* analysed =
        analysisTarget ? analysisTarget->analysisWithoutVariables(nbfFunctions, nbfVariables,
                                                                  nbfWords, nbfUnits)
                       : nullptr;
    NBFParsedExpressionRef parsed = nullptr;
    if (analysed) {
        parsed = NBFExpressionParserParseAnalysedTokens(parser, *analysed);
    } else {
        parsed = NBFExpressionParserParseTokenizedExpressionInScope(
            parser, tokenized->nbfTokenizedExpression(),
            scope < 0 ? NBFExpressionParserNoLineIndex : static_cast<uint32_t>(scope));
        if (analysisTarget && parsed)
            analysisTarget->adoptAnalysis(NBFParsedExpressionGetExpressionTokens(parsed),
                                          nbfFunctions, nbfVariables, nbfWords, nbfUnits);
    }
    NBFExpressionParserRelease(parser);

    NBFEvaluatorRef evaluator = NBFEvaluatorCreate(nbfUnits);
    NBFEvaluatorSetFunctionList(evaluator, nbfFunctions);
    NBFEvaluatorSetVariableList(evaluator, nbfVariables);
    NBFEvaluatorSetWordOperatorList(evaluator, nbfWords);
    NBFEvaluatorSetTrigonometryMode(evaluator, NCTrigonometryModeToNBFTrigonometryMode(mode));
    NBFEvaluatorSetContextInfo(evaluator, context);
    NBFResultRef nbfResult = NBFEvaluatorEvaluateParsedExpressionInScope(evaluator, parsed, scope);
    NBFEvaluatorFree(evaluator);
    NBFParsedExpressionRelease(parsed);
    if (error && context) *error = context->evaluatorError();
    if (!nbfResult) return NCResult::emptyResult();
    auto result = std::make_shared<NCResult>(nbfResult);
    NBFResultRelease(nbfResult);
    return result;
}

std::shared_ptr<NCResult> NCEvaluator::evaluateLine(NCLine& line, NCIndexPath* path,
                                                    int64_t* error) {
    if (!path) {
        Diagnostics::error("Error: index path can not be nil");
        return nullptr;
    }
    NCLineCollection* collection = line._lineCollection();
    std::shared_ptr<NCEnvironment> environment = collection && collection->environment()
                                                     ? collection->environment()
                                                     : NCEnvironment::current();
    const int64_t index = static_cast<int64_t>(line.index());
    // The path object is the caller's; the context shares it without owning it.
    std::shared_ptr<NCIndexPath> sharedPath(std::shared_ptr<NCIndexPath>(), path);
    path->pushIndex(index);
    NCEvaluationContext context(sharedPath, collection, index);
    context.setVariableScopeIndex(static_cast<int64_t>(line.variableScopeIndex()));
    // Without any environment the evaluator's own lists serve.
    NCEnvironment own;
    if (!environment) {
        own.setVariables(m_variableList);
        own.setWordOperators(m_wordOperators);
        own.setUnitManager(m_unitManager);
    }
    std::shared_ptr<NCSimpleTokenizedExpression> tokens = line.tokenizedEvaluableExpression();
    // The parsed form of the evaluated text, when the line has one made from that same text.
    NCTokenizedExpression* analysisTarget = nullptr;
    if (auto* parsed = dynamic_cast<NCTokenizedExpressionBackedParsedExpression*>(
            line.evaluableParsedExpression().get()))
        if (parsed->tokenizedExpression() &&
            parsed->tokenizedExpression()->expression() == line.evaluableExpression())
            analysisTarget = parsed->tokenizedExpression().get();
    const NCTrigonometryMode mode = line.trigonometryMode();
    std::shared_ptr<NCResult> result =
        evaluateInMode(tokens.get(), environment ? *environment : own, &context, error,
                       mode != 0 ? mode : m_trigMode.load(), analysisTarget);
    path->popIndex();
    return result;
}

std::shared_ptr<NCResult> NCEvaluator::evaluateTokenizedExpression(NCTokenizedExpression* tokenized,
                                                                   const NCEnvironment& environment,
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
    NBFEvaluatorSetTrigonometryMode(evaluator,
                                    NCTrigonometryModeToNBFTrigonometryMode(m_trigMode.load()));
    NBFEvaluatorSetContextInfo(evaluator, context);
    const int32_t scope = scopeOf(context);
    NBFResultRef nbfResult = NBFEvaluatorEvaluateExpressionTokensInScope(evaluator, tokens, scope);
    NBFEvaluatorFree(evaluator);
    if (!nbfResult) return NCResult::emptyResult();
    auto result = std::make_shared<NCResult>(nbfResult);
    NBFResultRelease(nbfResult);
    return result;
}
