#include "NBFFunctionImplementations.h"

NBFValueRef NBFFunctionImplementationLegacyMAPM::execute(const NBFValueRef* arguments,
                                                         int32_t count, NBFMAPMContextRef,
                                                         NBFEvaluationContextRef evaluationContext,
                                                         NBFEvalMetadataRef*) {
    return NBFMathExecuteLegacyMAPM(m_body, arguments, count, evaluationContext);
}

NBFValueRef NBFFunctionImplementationMAPM::execute(const NBFValueRef* arguments, int32_t count,
                                                   NBFMAPMContextRef mapmContext,
                                                   NBFEvaluationContextRef evaluationContext,
                                                   NBFEvalMetadataRef*) {
    return NBFMathExecuteNumberToMAPM(m_body, arguments, count, mapmContext, evaluationContext);
}

NBFValueRef NBFFunctionImplementationNBFValue::execute(const NBFValueRef* arguments, int32_t count,
                                                       NBFMAPMContextRef mapmContext,
                                                       NBFEvaluationContextRef evaluationContext,
                                                       NBFEvalMetadataRef*) {
    return m_body ? m_body(arguments, count, mapmContext, evaluationContext) : nullptr;
}

NBFValueRef NBFFunctionImplementationNBFEvaluatedValue::execute(
    const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
    NBFEvaluationContextRef evaluationContext, NBFEvalMetadataRef* metadataOut) {
    auto evaluated = NBF::Ref<NBF::EvaluatedValue>::adopt(
        m_body ? m_body(arguments, count, mapmContext, evaluationContext) : nullptr);
    if (!evaluated) return nullptr;
    if (metadataOut) *metadataOut = NBFEvalMetadataRetain(evaluated->metadata());
    return NBFValueRetain(evaluated->value());
}

void NBFFunctionSetMAPMImplementation(NBFFunctionRef function, NBFLegacyMAPMFunction body) {
    NBFFunctionSetFunctionImplementation(function, new NBFFunctionImplementationLegacyMAPM(body));
}

void NBFFunctionSetNBFNumberToMAPMImplementation(NBFFunctionRef function,
                                                 NBFNumberToMAPMFunction body) {
    NBFFunctionSetFunctionImplementation(function, new NBFFunctionImplementationMAPM(body));
}

void NBFFunctionSetNBFValueToNBFValueImplementation(NBFFunctionRef function,
                                                    NBFValueToValueFunction body) {
    NBFFunctionSetFunctionImplementation(function, new NBFFunctionImplementationNBFValue(body));
}

void NBFFunctionSetNBFValueToNBFEvaluatedValueImplementation(
    NBFFunctionRef function, NBFValueToEvaluatedValueFunction body) {
    NBFFunctionSetFunctionImplementation(function,
                                         new NBFFunctionImplementationNBFEvaluatedValue(body));
}
