// Why an evaluation failed: a small code kept in the evaluation context. Failures are values,
// never exceptions; the first node that sets a code stops the evaluation.
#ifndef NUMBERA_FOUNDATION_NBF_EVALUATION_ERROR_H
#define NUMBERA_FOUNDATION_NBF_EVALUATION_ERROR_H

#include <cstdint>

typedef int32_t NBFEvaluationError;
enum : NBFEvaluationError {
    NBFEvaluationErrorNone = 0,
    NBFEvaluationErrorMissingOperand = 1,
    NBFEvaluationErrorExtraOperand = 2,  // a unary operator with two operands
    // Power or times-ten power too large, a result beyond the magnitude bound, or a unit
    // degree beyond -127..127.
    NBFEvaluationErrorExponentTooLarge = 3,
    NBFEvaluationErrorUnitMismatch = 5,  // the units cannot be converted into each other
    NBFEvaluationErrorFactorialOfNonInteger = 6,
    NBFEvaluationErrorFactorialOfNegative = 7,
    NBFEvaluationErrorLogarithmOfNegative = 8,
    // Division by zero, zero to a negative power, a reciprocal of zero.
    NBFEvaluationErrorDivisionByZero = 9,
    NBFEvaluationErrorConversionWithoutTarget = 10,
    // A root of a value with a unit, or a power that leaves a unit degree fractional.
    NBFEvaluationErrorRootOfUnit = 11,
    NBFEvaluationErrorModuloPrecision = 12,  // modulo of a number with too many digits
};

// A result's decimal exponent may not exceed this in size: no evaluation builds a number
// whose text would run to megabytes.
constexpr int32_t NBFEvaluationMagnitudeLimit = 1000000;

#endif
