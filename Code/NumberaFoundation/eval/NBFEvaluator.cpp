#include "NBFEvaluator.h"

#include <cstdlib>
#include <vector>

#include "NBFContextualAnalyzer.h"
#include "NBFErrorLog.h"
#include "NBFExpression.h"
#include "NBFExpressionNodeEvaluator.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFExpressionTokenizer.h"
#include "NBFMathLibrary.h"
#include "NBFNamespace.h"

namespace {

// Places of a result's text, and the digits below which a result's value counts as 0.
constexpr int kResultPlaces = 100;

void clearDebugInfo(NBFEvaluatorRef evaluator) {
    NBFExpressionNodeRelease(evaluator->debugInfo.rootNode);
    evaluator->debugInfo = NBFEvaluatorDebugInfo{};
}

void recordDebugInfo(NBFEvaluatorRef evaluator, NBFExpressionTreeRef tree) {
    clearDebugInfo(evaluator);
    if (!tree) return;
    evaluator->debugInfo.rootNode = NBFExpressionNodeRetain(tree->root());
    auto printer =
        NBF::Ref<NBFExpressionNodeTreePrinter>::adopt(NBFExpressionNodeTreePrinterCreate(tree));
    evaluator->debugInfo.printedTree = NBFExpressionNodeTreePrinterCreateString(printer.get());
}

NBFResultRef createResult(NBFValueRef value, NBFEvaluationContextRef context) {
    if (context->evaluationError != NBFEvaluationErrorNone) {
        NBFResultRef result = NBFResultCreate();
        NBFResultSetErrorCode(result, NBFEvaluatorErrorCodeNonRecoverableParseError);
        NBFResultSetEvaluationError(result, context->evaluationError);
        return result;
    }
    if (!value) return nullptr;
    NBFNumberRef number = NBFValueGetNumber(value);
    M_APM decimal = NBFNumberGetMAPMReference(number);
    if (NBFNumberGetType(number) == NBFNumberTypeSpecial || !decimal) {
        NBFResultRef result = NBFResultCreate();
        switch (NBFNumberGetSpecialType(number)) {
            case NBFNumberSpecialTypeInfinity:
            case NBFNumberSpecialTypeNegativeInfinity:
                NBFResultSetErrorCode(result, NBFEvaluatorErrorCodeDivideByZero);
                break;
            case NBFNumberSpecialTypeNaN:
                break;
            default:
                NBF_LOG_ERROR("Unexpected type %d",
                              static_cast<int>(NBFNumberGetSpecialType(number)));
                break;
        }
        return result;
    }
    char* text = NBF_mapm_to_fitted_string(decimal, kResultPlaces);
    M_APM copy = m_apm_init_mt();
    m_apm_copy_mt(copy, decimal);
    NBF_mapm_truncate_tiny_number(copy, kResultPlaces, false);
    NBFResultRef result = NBFResultCreate(std::string(text), copy);
    std::free(text);
    m_apm_free_mt(copy);
    NBFResultSetUnitFraction(result, NBFValueGetUnitFraction(value));
    NBFResultSetFlags(
        result, NBFNumberGetType(number) == NBFNumberTypePercentage ? NBFResultFlagPercentage : 0);
    if (context->unitAccumulator) {
        NBFResultSetUnitNameFormats(result,
                                    NBFEvalMetadataGetUnitNameFormatMap(context->unitAccumulator));
    }
    return result;
}

// The common end of every road: the tree evaluated in a fresh context.
NBFResultRef evaluateTree(NBFEvaluatorRef evaluator, NBFExpressionTreeRef tree) {
    auto context = NBF::Ref<NBFEvaluationContext>::adopt(
        NBFEvaluationContextCreate(evaluator->trigonometryMode));
    context->contextInfo = evaluator->contextInfo;
    auto nodeEvaluator = NBF::Ref<NBFExpressionNodeEvaluator>::adopt(
        NBFExpressionNodeEvaluatorCreate(evaluator->unitCollection, NBFEvaluatorPrecision));
    auto value = NBF::Ref<NBF::Value>::adopt(
        NBFExpressionNodeEvaluatorEvaluate(nodeEvaluator.get(), tree, context.get()));
    return createResult(value.get(), context.get());
}

}  // namespace

NBFEvaluatorRef NBFEvaluatorCreate() { return new NBFEvaluator(); }

NBFEvaluatorRef NBFEvaluatorCreate(NBFUnitCollectionRef unitCollection) {
    NBFEvaluatorRef evaluator = new NBFEvaluator();
    evaluator->unitCollection = NBFUnitCollectionRetain(unitCollection);
    return evaluator;
}

void NBFEvaluatorFree(NBFEvaluatorRef evaluator) {
    if (!evaluator) return;
    clearDebugInfo(evaluator);
    NBFUnitCollectionRelease(evaluator->unitCollection);
    delete evaluator;
}

void NBFEvaluatorSetIgnoresUndefinedTokens(NBFEvaluatorRef evaluator, bool flag) {
    if (evaluator) evaluator->ignoresUndefinedTokens = flag;
}

bool NBFEvaluatorGetIgnoresUndefinedTokens(NBFEvaluatorRef evaluator) {
    return evaluator && evaluator->ignoresUndefinedTokens;
}

void NBFEvaluatorSetWordOperatorList(NBFEvaluatorRef evaluator, NBFWordOperatorListRef list) {
    if (!evaluator) return;
    evaluator->wordOperatorList = list;
    NBFWordOperatorListRef standard = NBFStandardWordOperatorsGetSharedListReference();
    if (list && list != standard) NBFWordOperatorListSetAuxiliaryListReference(list, standard);
}

void NBFEvaluatorSetFunctionList(NBFEvaluatorRef evaluator, NBFFunctionListRef list) {
    if (evaluator) evaluator->functionList = list;
}

void NBFEvaluatorSetUnitCollection(NBFEvaluatorRef evaluator, NBFUnitCollectionRef collection) {
    if (!evaluator || evaluator->unitCollection == collection) return;
    NBFUnitCollectionRetain(collection);
    NBFUnitCollectionRelease(evaluator->unitCollection);
    evaluator->unitCollection = collection;
}

void NBFEvaluatorSetVariableList(NBFEvaluatorRef evaluator, NBFVariableListRef list) {
    if (evaluator) evaluator->variableList = list;
}

void NBFEvaluatorSetTrigonometryMode(NBFEvaluatorRef evaluator, NBFTrigonometryMode mode) {
    if (evaluator) evaluator->trigonometryMode = mode;
}

void NBFEvaluatorSetContextInfo(NBFEvaluatorRef evaluator, void* contextInfo) {
    if (evaluator) evaluator->contextInfo = contextInfo;
}

void NBFEvaluatorSetDebug(NBFEvaluatorRef evaluator, bool flag) {
    if (!evaluator) return;
    evaluator->debug = flag;
    if (!flag) clearDebugInfo(evaluator);
}

const NBFEvaluatorDebugInfo* NBFEvaluatorGetDebugInfo(NBFEvaluatorRef evaluator) {
    return evaluator ? &evaluator->debugInfo : nullptr;
}

NBFResultRef NBFEvaluatorEvaluateString(NBFEvaluatorRef evaluator, NBFStringRef string) {
    return NBFEvaluatorEvaluateStringInScope(evaluator, string, NBFEvaluatorNoScope);
}

NBFResultRef NBFEvaluatorEvaluateString(NBFEvaluatorRef evaluator, const std::string& text) {
    auto string = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(text.c_str()));
    return NBFEvaluatorEvaluateString(evaluator, string.get());
}

NBFResultRef NBFEvaluatorEvaluateStringInScope(NBFEvaluatorRef evaluator, NBFStringRef string,
                                               int32_t scope) {
    if (!evaluator) return nullptr;
    auto expression = NBF::Ref<NBF::Expression>::adopt(NBFExpressionCreateWithString(string));
    NBFNamespaceRef ns = NBFNamespaceCreate();
    NBFNamespaceSetFunctionList(ns, evaluator->functionList);
    NBFNamespaceSetVariableList(ns, evaluator->variableList);
    NBFNamespaceSetUnitCollection(ns, evaluator->unitCollection);
    NBFNamespaceSetWordOperatorList(ns, evaluator->wordOperatorList);
    auto tokenizer =
        NBF::Ref<NBF::ExpressionTokenizer>::adopt(NBFExpressionTokenizerCreate(kNBFLocaleDefault));
    auto tokenized = NBF::Ref<NBF::TokenizedExpression>::adopt(
        NBFExpressionTokenizerTokenize(tokenizer.get(), expression.get()));
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();
    NBFContextualAnalyzerSetNamespace(analyzer, ns);
    NBFExpressionTokenVector tokens = NBFContextualAnalyzerAnalyzeTokenizedExpression(
        analyzer, tokenized.get(), static_cast<uint32_t>(scope));
    NBFResultRef result = NBFEvaluatorEvaluateExpressionTokensInScope(evaluator, tokens, scope);
    for (NBFExpressionTokenRef token : tokens) NBFExpressionTokenRelease(token);
    NBFContextualAnalyzerRelease(analyzer);
    NBFNamespaceRelease(ns);
    return result;
}

NBFResultRef NBFEvaluatorEvaluateExpressionTokensInScope(NBFEvaluatorRef evaluator,
                                                         const NBFExpressionTokenVector& tokens,
                                                         int32_t) {
    if (!evaluator) return nullptr;
    auto parser = NBF::Ref<NBFParser>::adopt(NBFParserCreate());
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(
        NBFParserCreateExpressionTreeByParsingExpressionTokens(parser.get(), &tokens));
    if (evaluator->debug) recordDebugInfo(evaluator, tree.get());
    return tree ? evaluateTree(evaluator, tree.get()) : nullptr;
}

NBFResultRef NBFEvaluatorEvaluateExpressionTokensInScope(NBFEvaluatorRef evaluator,
                                                         NBFArrayRef tokens, int32_t scope) {
    if (!evaluator) return nullptr;
    NBFExpressionTokenVector vector(static_cast<size_t>(NBFArrayCount(tokens)));
    if (!vector.empty()) {
        NBFArrayGetItems(tokens, reinterpret_cast<void**>(vector.data()),
                         static_cast<int32_t>(vector.size()));
    }
    return NBFEvaluatorEvaluateExpressionTokensInScope(evaluator, vector, scope);
}

NBFResultRef NBFEvaluatorEvaluateParsedExpressionInScope(NBFEvaluatorRef evaluator,
                                                         NBFParsedExpressionRef parsedExpression,
                                                         int32_t) {
    if (!evaluator) return nullptr;
    NBFExpressionTreeRef tree = NBFParsedExpressionGetExpressionTree(parsedExpression);
    if (evaluator->debug) recordDebugInfo(evaluator, tree);
    return tree ? evaluateTree(evaluator, tree) : nullptr;
}

bool NBFErrorContainsErrorMask(uint32_t error, uint32_t code, uint32_t mask) {
    if ((error & mask) == (code & mask)) return true;
    if ((code & mask) == 0) return false;
    return (error & mask & code) == 1;
}
