// The record of one evaluation: trigonometry mode, the evaluator's context information, the
// evaluation error and the unit accumulator. Written by one evaluation at a time; the
// evaluator and the functions read and write its fields directly.
#ifndef NUMBERA_FOUNDATION_NBF_EVALUATION_CONTEXT_H
#define NUMBERA_FOUNDATION_NBF_EVALUATION_CONTEXT_H

#include <cstdint>

#include "NBFEvalMetadata.h"
#include "NBFEvaluationError.h"
#include "NBFNumber.h"
#include "NBFObject.h"
#include "NBFValue.h"

typedef int32_t NBFTrigonometryMode;
enum : NBFTrigonometryMode {
    NBFTrigonometryModeDegrees = 1,
    NBFTrigonometryModeRadians = 2,  // any value other than 1 means radians
};

// Scratch words of one function call. A function whose result shape is a bare register
// answers a special number (infinity, not-a-number) through specialResult; the caller reads
// and clears it.
struct NBFEvaluationScratch {
    NBFNumberSpecialType specialResult;
    int32_t reserved;
};

struct NBFEvaluationContext : NBF::Object<NBFEvaluationContext> {
    ~NBFEvaluationContext() override;
    NBFTrigonometryMode trigonometryMode = 0;
    void* contextInfo = nullptr;
    NBFEvaluationError evaluationError = NBFEvaluationErrorNone;
    NBFEvalMetadataRef unitAccumulator = nullptr;  // owned
    NBFEvaluationScratch* scratch = nullptr;       // owned, zero at creation
    // While a word operator's template is evaluated: its two operands (either may be null),
    // borrowed from the caller for that evaluation. Null otherwise; copies do not inherit it.
    const NBFValueRef* wordOperatorOperands = nullptr;
};
typedef NBFEvaluationContext* NBFEvaluationContextRef;

NBFEvaluationContextRef NBFEvaluationContextCreate(NBFTrigonometryMode trigonometryMode);
// Same mode, context information and error; a unit accumulator of its own that starts as a
// copy of the original's (none when the original has none). Null gives null.
NBFEvaluationContextRef NBFEvaluationContextCreateCopy(NBFEvaluationContextRef context);
NBFEvaluationContextRef NBFEvaluationContextRetain(NBFEvaluationContextRef context);
void NBFEvaluationContextRelease(NBFEvaluationContextRef context);
// Retains the new accumulator and releases the old one.
void NBFEvaluationContextSetUnitAccumulator(NBFEvaluationContextRef context,
                                            NBFEvalMetadataRef metadata);

#endif
