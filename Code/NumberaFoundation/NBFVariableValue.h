// One value of a variable as it holds for a range of scope indexes (line indexes): the value's
// decimal text, its result flags and its unit, with the number read from the text on first
// use; or, for a value whose own evaluation failed, the error it failed with. Variables keep
// these records in an index range map, which frees a record when no range uses it any more.
#ifndef NUMBERA_FOUNDATION_NBF_VARIABLE_VALUE_H
#define NUMBERA_FOUNDATION_NBF_VARIABLE_VALUE_H

#include <atomic>
#include <cstdint>

#include "NBFEvaluationError.h"
#include "NBFString.h"
#include "NBFUnitContainer.h"
#include "mapm/m_apm.h"

// Result flag of a value that is a percentage.
constexpr uint32_t NBFVariableValueFlagPercentage = 1;

struct NBFVariableValue {
    NBFStringRef text;  // an own copy; may be null
    // Read from the text on the first numeric request (any thread) and kept.
    std::atomic<M_APM> number{nullptr};
    uint32_t resultFlags;
    NBFUnitContainerRef unitContainer;  // retained; may be null
    // Not none: the value is that failure, and so is every evaluation that reads it.
    NBFEvaluationError evaluationError = NBFEvaluationErrorNone;
};
typedef NBFVariableValue* NBFVariableValueRef;

// Copies the text and retains the unit container; both may be null.
NBFVariableValueRef NBFVariableValueCreate(NBFStringRef text, uint32_t resultFlags,
                                           NBFUnitContainerRef unitContainer);
// Releases the text, the number and the unit container and frees the record. Null does nothing.
void NBFVariableValueFree(NBFVariableValueRef value);
// The number the text reads as; null without text or when the text is not a decimal number
// (such as "inf" or "nan", the texts of special numbers).
M_APM NBFVariableValueGetMAPMReference(NBFVariableValueRef value);

#endif
