#include "NCBuiltins.h"

#include "NBFEvalMetadata.h"
#include "NBFFunction.h"
#include "NBFFunctionImplementations.h"
#include "NBFFunctionList.h"
#include "NBFNumber.h"
#include "NBFStandardFunctions.h"
#include "NBFUnit.h"
#include "NBFUnitFraction.h"
#include "NCEvaluationContext.h"
#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NCResult.h"
#include "NCUtilityFunctions.h"
#include "mapm/m_apm.h"

std::shared_ptr<NCWordOperatorList> NCBuiltins::wordOperators() {
    return NCWordOperatorList::listWithStandardWordOperators();
}

std::shared_ptr<NCVariableList> NCBuiltins::variables() {
    return NCVariableList::listWithStandardVariables();
}

std::shared_ptr<NCFunctionList> NCBuiltins::functions() {
    NBFFunctionListRef list = NBFFunctionListCreate();
    NBFFunctionListSetParentList(list, NBFStandardFunctionsGetSharedListReference());
    const std::pair<const std::u16string*, NBFValueToEvaluatedValueFunction> functions[] = {
        {&NCExpression::relativeLineReferenceFunctionName(), NCLineReferenceFunction_relative},
        {&NCExpression::fixedRelativeLineReferenceFunctionName(), NCLineReferenceFunction_relative},
        {&NCExpression::absoluteLineReferenceFunctionName(), NCLineReferenceFunction_absolute},
        {&NCExpression::absoluteLineReferenceByLineNumberFunctionName(),
         NCLineReferenceFunction_absolute_line_number},
        {&NCExpression::nullLineReferenceFunctionName(), NCLineReferenceFunction_null},
    };
    for (const auto& [name, body] : functions) {
        NBFFunctionRef function = NBFFunctionCreateWithName(NCNSStringToCStringUTF8(*name), 1);
        NBFFunctionSetNBFValueToNBFEvaluatedValueImplementation(function, body);
        NBFFunctionListAddFunction(list, function);
        NBFFunctionRelease(function);
    }
    auto wrapped = std::make_shared<NCFunctionList>(list);
    NBFFunctionListRelease(list);
    return wrapped;
}

namespace {

enum ReferenceMode { kRelative = 0, kAbsolute = 1, kAbsoluteLineNumber = 2 };

NBFEvaluatedValueRef notANumber() {
    NBFValueRef value = NBFValueCreate(NBFNumber_CONST_NAN, nullptr);
    NBFEvaluatedValueRef evaluated = NBFEvaluatedValueCreate(value, nullptr);
    NBFValueRelease(value);
    return evaluated;
}

// The argument as a 32-bit integer; none for anything else, so that a reference far outside
// any document never wraps around onto a real line.
std::optional<int32_t> int32Argument(const NBFValueRef* arguments, int32_t count) {
    if (!arguments || count < 1) return std::nullopt;
    NBFNumberRef number = NBFValueGetNumber(arguments[0]);
    M_APM value = NBFNumberGetMAPMReference(number);
    if (!number || NBFNumberGetType(number) == NBFNumberTypeSpecial || !value) return std::nullopt;
    if (!m_apm_is_integer(value)) return std::nullopt;
    M_APM low = m_apm_init(), high = m_apm_init();
    m_apm_set_long(low, INT32_MIN);
    m_apm_set_long(high, INT32_MAX);
    const bool inRange = m_apm_compare(value, low) >= 0 && m_apm_compare(value, high) <= 0;
    m_apm_free(low);
    m_apm_free(high);
    if (!inRange) return std::nullopt;
    return NBFNumberGetInt32Value(number);
}

NBFEvaluatedValueRef referencedValue(const NBFValueRef* arguments, int32_t count,
                                     NBFEvaluationContextRef evaluationContext,
                                     ReferenceMode mode) {
    auto* context = evaluationContext
                        ? static_cast<NCEvaluationContext*>(evaluationContext->contextInfo)
                        : nullptr;
    if (!context) return nullptr;
    std::optional<int32_t> argument = int32Argument(arguments, count);
    if (!argument) return notANumber();
    const int64_t n = *argument;
    const int64_t target = mode == kRelative   ? context->lineIndex() + n
                           : mode == kAbsolute ? n
                                               : n - 1;
    if (target == context->lineIndex()) {
        context->setEvaluatorError(NCLineReferenceSelfReferenceError);
        return notANumber();
    }
    std::shared_ptr<NCResult> result;
    if (target >= 0) {
        if (NCLineCollection* lines = context->lineCollection()) {
            if (auto line = lines->lineAtIndex(static_cast<uint64_t>(target))) {
                int64_t error = 0;
                result = line->_resultAlongPath(context->indexPath().get(), &error);
                if (error) context->setEvaluatorError(error);
            }
        }
    }
    // A line that failed hands its failure on: read as no number, the arithmetic around the
    // reference would answer as if the line were not there.
    if (result && result->resultType() == NCResultTypeError) {
        evaluationContext->evaluationError =
            NCResultErrorTypeToNBFEvaluationError(result->errorType());
        return nullptr;
    }
    if (!result || result->resultType() != NCResultTypeValue) return notANumber();
    NBFResultRef nbfResult = result->nbfResult();
    if (!nbfResult) return nullptr;
    M_APM value = NBFResultGetMAPM(nbfResult);
    if (!value) return notANumber();

    auto unit = result->unit();
    NBFUnitFractionRef fraction =
        unit && unit->nbfUnitFraction()
            ? NBFUnitFractionCopyWithRecomputedMultiplier(unit->nbfUnitFraction())
            : nullptr;
    NBFEvalMetadataRef metadata = nullptr;
    if (fraction) {
        metadata = NBFEvalMetadataCreate();
        NBFEvalMetadataAppendUnitFraction(metadata, fraction);
        for (NBFUnit* component : NBFUnitFractionGetUnits(fraction)) {
            NCUnitNameFormat format = result->unitNameFormatForComponentUnitType(
                NCUnitTypeFromNBFUnitType(NBFUnitGetType(component)));
            NBFEvalMetadataAppendUnitNameFormatMapping(metadata, component,
                                                       NCUnitNameFormatToNBFUnitFormatType(format));
        }
    }
    const bool percentage = (result->flags() & NCResultFlagPercentage) != 0;
    NBFNumberRef number =
        NBFNumberCreateWithMAPM(value, percentage ? NBFNumberTypePercentage : NBFNumberTypeNumber);
    NBFValueRef answer = NBFValueCreate(number, fraction);
    NBFEvaluatedValueRef evaluated = NBFEvaluatedValueCreate(answer, metadata);
    NBFValueRelease(answer);
    NBFNumberRelease(number);
    NBFUnitFractionRelease(fraction);
    NBFEvalMetadataRelease(metadata);
    return evaluated;
}

}  // namespace

NBFEvaluatedValueRef NCLineReferenceFunction_relative(const NBFValueRef* arguments, int32_t count,
                                                      NBFMAPMContextRef,
                                                      NBFEvaluationContextRef evaluationContext) {
    return referencedValue(arguments, count, evaluationContext, kRelative);
}

NBFEvaluatedValueRef NCLineReferenceFunction_absolute(const NBFValueRef* arguments, int32_t count,
                                                      NBFMAPMContextRef,
                                                      NBFEvaluationContextRef evaluationContext) {
    return referencedValue(arguments, count, evaluationContext, kAbsolute);
}

NBFEvaluatedValueRef NCLineReferenceFunction_absolute_line_number(
    const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef,
    NBFEvaluationContextRef evaluationContext) {
    return referencedValue(arguments, count, evaluationContext, kAbsoluteLineNumber);
}

NBFEvaluatedValueRef NCLineReferenceFunction_null(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                                                  NBFEvaluationContextRef) {
    return notANumber();
}
