// The bodies of the standard functions and the number helpers used across the foundation.
//
// A body has one of four calling shapes, fixed by how the function table registers it:
// - number-to-MAPM: leaves its result in register 0 of the MAPM context; a special answer
//   (infinity, not-a-number) goes to the evaluation context's scratch specialResult instead;
// - value-to-value: returns a new value, or null when the evaluation failed (the evaluation
//   context's error says why);
// - legacy MAPM: receives plain MAPM values, last argument first, and returns a new MAPM value
//   the caller frees, or null; why it gave none is in its error flags;
// - value-to-evaluated-value: a value with its unit metadata.
// NBFMathExecuteNumberToMAPM and NBFMathExecuteLegacyMAPM run the first and third shapes and
// turn their answers into values and evaluation errors.
//
// Precision: "digits" is the MAPM context's significantDigits, handed to MAPM as places.
// Results whose decimal exponent exceeds NBFEvaluationMagnitudeLimit in size are refused with
// NBFEvaluationErrorExponentTooLarge. Every body takes the MAPM lock around its MAPM calls.
#ifndef NUMBERA_FOUNDATION_NBF_MATH_LIBRARY_H
#define NUMBERA_FOUNDATION_NBF_MATH_LIBRARY_H

#include <cstdint>

#include "NBFEvaluationContext.h"
#include "NBFEvaluatorErrorCode.h"
#include "NBFMAPMContext.h"
#include "NBFValue.h"
#include "mapm/m_apm.h"

typedef void (*NBFNumberToMAPMFunction)(const NBFValueRef* arguments, int32_t count,
                                        NBFMAPMContextRef mapmContext,
                                        NBFEvaluationContextRef evaluationContext);
typedef NBFValueRef (*NBFValueToValueFunction)(const NBFValueRef* arguments, int32_t count,
                                               NBFMAPMContextRef mapmContext,
                                               NBFEvaluationContextRef evaluationContext);
typedef M_APM (*NBFLegacyMAPMFunction)(M_APM* reversedArguments, uint8_t count, void* context,
                                       int32_t zero, uint32_t* errorFlags);
typedef NBFEvaluatedValueRef (*NBFValueToEvaluatedValueFunction)(
    const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
    NBFEvaluationContextRef evaluationContext);

// Error flags of the legacy shape: the two evaluator masks, and our own bits above them.
constexpr uint32_t NBFMathFlagExponentTooLarge = NBFEvaluatorErrorCodeExponentTooLarge;
constexpr uint32_t NBFMathFlagDivideByZero = NBFEvaluatorErrorCodeDivideByZero;
constexpr uint32_t NBFMathFlagFactorialOfNonInteger = 0x01000000;
constexpr uint32_t NBFMathFlagFactorialOfNegative = 0x02000000;
// The answer is a special number rather than a MAPM value.
constexpr uint32_t NBFMathFlagNotANumber = 0x10000000;
constexpr uint32_t NBFMathFlagInfinity = 0x20000000;
constexpr uint32_t NBFMathFlagNegativeInfinity = 0x40000000;

// Runs a number-to-MAPM body: a plain number from register 0 or the special answer; null when
// the body set an evaluation error. A special or unusable first argument gives not-a-number
// without calling the body.
NBFValueRef NBFMathExecuteNumberToMAPM(NBFNumberToMAPMFunction body, const NBFValueRef* arguments,
                                       int32_t count, NBFMAPMContextRef mapmContext,
                                       NBFEvaluationContextRef evaluationContext);
// Runs a legacy body on the arguments' values (percentages as fractions, units dropped), last
// argument first. Flags become evaluation errors (exponent too large 3, division by zero 9,
// factorial of a non-integer 6 or of a negative number 7) and null; special flags become
// special numbers. An infinite or non-numeric argument gives not-a-number without a call.
NBFValueRef NBFMathExecuteLegacyMAPM(NBFLegacyMAPMFunction body, const NBFValueRef* arguments,
                                     int32_t count, NBFEvaluationContextRef evaluationContext);

// Trigonometry (degree mode: trigonometryMode 1). sin, cos, asin, acos, atan: number-to-MAPM;
// tan, cosec, sec, cotan: value-to-value. Arguments with units lose them; percentages count as
// fractions. asin and acos outside -1..1 give not-a-number; tan at an odd multiple of a right
// angle gives infinity; a reciprocal of zero is NBFEvaluationErrorDivisionByZero.
void NBFMAPM_sin(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
void NBFMAPM_cos(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_tan(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
void NBFMAPM_asin(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
void NBFMAPM_acos(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
void NBFMAPM_atan(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_cosec(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_sec(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_cotan(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);

// Hyperbolic functions (legacy, one argument, 102 digits). acosh below 1 and atanh beyond
// -1..1 give not-a-number; atanh(±1) is ±infinity.
M_APM NBFMAPM_sinh(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_cosh(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_tanh(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_asinh(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_acosh(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_atanh(M_APM*, uint8_t, void*, int32_t, uint32_t*);

// Rounding family (value-to-value): the result keeps the argument's number type and unit.
NBFValueRef NBFMAPM_abs(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_floor(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_ceil(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_round(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_trunc(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
// exp and logarithms (value-to-value): a plain number without unit; percentages as fractions.
// ln/log/log2 of 0 is negative infinity; of a negative number not-a-number with
// NBFEvaluationErrorLogarithmOfNegative.
NBFValueRef NBFMAPM_exp(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_ln(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_log(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_log2(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
// Roots (value-to-value): sqrt of a negative number is not-a-number; cbrt(-8) is -2. A unit
// is rooted when every degree divides (sqrt of 4 m² is 2 m); otherwise
// NBFEvaluationErrorRootOfUnit.
NBFValueRef NBFMAPM_sqrt(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
NBFValueRef NBFMAPM_cbrt(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);
// The argument's value as a plain number (strips percentage type and unit).
void NBFMAPM_num(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);

// Legacy bodies; arguments named in call order.
M_APM NBFMAPM_mod(M_APM*, uint8_t, void*, int32_t, uint32_t*);     // a, b: remainder, a's sign
M_APM NBFMAPM_choose(M_APM*, uint8_t, void*, int32_t, uint32_t*);  // n, k
M_APM NBFMAPM_pow(M_APM*, uint8_t, void*, int32_t, uint32_t*);     // a, b
M_APM NBFMAPM_fact(M_APM*, uint8_t, void*, int32_t, uint32_t*);    // x < 100000
M_APM NBFMAPM_e10(M_APM*, uint8_t, void*, int32_t, uint32_t*);     // x, e: x × 10^e
M_APM NBFMAPM_lsl(M_APM*, uint8_t, void*, int32_t, uint32_t*);     // a, n: a × 2^n
M_APM NBFMAPM_lsr(M_APM*, uint8_t, void*, int32_t, uint32_t*);     // a, n: integer a ÷ 2^n
// Bitwise operations on the floors of their operands, up to the highest set bit; negative
// operands give not-a-number, operands of 10^1000 or more are refused as too large.
M_APM NBFMAPM_bitwise_or(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_bitwise_and(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_bitwise_xor(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_bitwise_not(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_test_add1(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_test_add2(M_APM*, uint8_t, void*, int32_t, uint32_t*);
M_APM NBFMAPM_test_add3(M_APM*, uint8_t, void*, int32_t, uint32_t*);

// Constants (value-to-value, no arguments).
NBFValueRef NBFMAPM_infinity(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                             NBFEvaluationContextRef);
NBFValueRef NBFMAPM_negative_infinity(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                                      NBFEvaluationContextRef);
NBFValueRef NBFMAPM_nan(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef);

// x rounded to an integer, halves away from zero (every caller passes 0 places). The plain
// form needs the caller to hold the MAPM lock.
void NBF_mapm_round(M_APM result, int places, M_APM x);
void NBF_mapm_round_mt(M_APM result, int places, M_APM x);
// Fixed point with `places` decimals, then trailing zeros and a bare point trimmed; with 100
// places the hundredth decimal is dropped first (12.5 -> "12.5", 3 -> "3"). A new buffer the
// caller frees with free(); null for a null value.
char* NBF_mapm_to_fitted_string(M_APM x, int places);
// Significant digits + |exponent| + 105: room for x in fixed point besides the decimals.
int64_t NBF_mapm_buffer_size(M_APM x);
// x becomes 0 when its exponent is below -digits. Takes the lock unless the caller holds it.
void NBF_mapm_truncate_tiny_number(M_APM x, int digits, bool mutexHeld);
// x's decimal exponent exceeds NBFEvaluationMagnitudeLimit in size (0 never does). Needs the
// lock.
bool NBF_mapm_exceeds_magnitude_limit(M_APM x);

#endif
