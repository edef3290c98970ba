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

NBFEvaluationContextRef NBFEvaluationContextRetain(NBFEvaluationContextRef context) {
    if (context) context->refCount.fetch_add(1, std::memory_order_relaxed);
    return context;
}

void NBFEvaluationContextRelease(NBFEvaluationContextRef context) {
    if (!context || context->refCount.fetch_sub(1, std::memory_order_acq_rel) > 1) return;
    NBFEvalMetadataRelease(context->unitAccumulator);
    delete context->scratch;
    delete context;
}

void NBFEvaluationContextSetUnitAccumulator(NBFEvaluationContextRef context,
                                            NBFEvalMetadataRef metadata) {
    if (!context || context->unitAccumulator == metadata) return;
    NBFEvalMetadataRetain(metadata);
    NBFEvalMetadataRelease(context->unitAccumulator);
    context->unitAccumulator = metadata;
}
