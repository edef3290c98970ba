#include "NBFEvaluationContext.h"

NBFEvaluationContextRef NBFEvaluationContextCreate(NBFTrigonometryMode trigonometryMode) {
    auto* context = new NBFEvaluationContext();
    context->trigonometryMode = trigonometryMode;
    context->scratch = new NBFEvaluationScratch{};
    return context;
}

NBFEvaluationContextRef NBFEvaluationContextCreateCopy(NBFEvaluationContextRef context) {
    if (!context) return nullptr;
    NBFEvaluationContextRef copy = NBFEvaluationContextCreate(context->trigonometryMode);
    copy->contextInfo = context->contextInfo;
    copy->evaluationError = context->evaluationError;
    if (context->unitAccumulator) {
        copy->unitAccumulator = NBFEvalMetadataCreate();
        NBFEvalMetadataAppendAccumulator(copy->unitAccumulator, context->unitAccumulator);
    }
    return copy;
}

NBFEvaluationContext::~NBFEvaluationContext() {
    NBFEvalMetadataRelease(unitAccumulator);
    delete scratch;
}

NBFEvaluationContextRef NBFEvaluationContextRetain(NBFEvaluationContextRef context) {
    return NBF::retain(context);
}

void NBFEvaluationContextRelease(NBFEvaluationContextRef context) { NBF::release(context); }

void NBFEvaluationContextSetUnitAccumulator(NBFEvaluationContextRef context,
                                            NBFEvalMetadataRef metadata) {
    if (!context || context->unitAccumulator == metadata) return;
    NBFEvalMetadataRetain(metadata);
    NBFEvalMetadataRelease(context->unitAccumulator);
    context->unitAccumulator = metadata;
}
