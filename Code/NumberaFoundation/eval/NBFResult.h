// The outcome of one evaluation as the foundation hands it upward: the value as plain decimal
// text (with a cached arbitrary-precision copy), its unit, error code and evaluation error,
// flags, and the name format chosen for each unit of the answer. Also the helpers that split
// a result into degrees-minutes-seconds or a fraction, and result comparison.
//
// Ownership: Create hands out one reference; getters named Reference borrow; heap strings
// written to out-parameters are malloc'ed and freed by the caller. Every function accepts a
// null result and then answers the neutral value.
#ifndef NUMBERA_FOUNDATION_NBF_RESULT_H
#define NUMBERA_FOUNDATION_NBF_RESULT_H

#include <cstdint>
#include <map>
#include <string>

#include "NBFEvaluationError.h"
#include "NBFEvaluatorErrorCode.h"
#include "NBFResultConstants.h"
#include "NBFString.h"
#include "NBFUnit.h"
#include "NBFUnitFraction.h"
#include "NBFUnitType.h"
#include "mapm/m_apm.h"

struct NBFResult;
typedef NBFResult* NBFResultRef;

// Bit 0 of the flags: the evaluated number was a percentage.
constexpr uint32_t NBFResultFlagPercentage = 1;

// Keyed by unit identifier.
typedef std::map<std::string, NBFUnitFormatType> NBFUnitNameFormatMap;

NBFResultRef NBFResultCreate();
NBFResultRef NBFResultCreate(NBFStringRef string);
NBFResultRef NBFResultCreate(NBFStringRef string, M_APM value);
NBFResultRef NBFResultCreate(const std::string& string);
NBFResultRef NBFResultCreate(const std::string& string, M_APM value);
NBFResultRef NBFResultRetain(NBFResultRef result);
void NBFResultRelease(NBFResultRef result);

void NBFResultSetString(NBFResultRef result, NBFStringRef string);
void NBFResultSetMAPM(NBFResultRef result, M_APM value);  // copies
NBFStringRef NBFResultGetStringReference(NBFResultRef result);
// The cached value, parsed from the string on first use; null without a string.
M_APM NBFResultGetMAPM(NBFResultRef result);
int NBFResultGetExponent(NBFResultRef result);
// The string without trailing decimal zeros, made once.
NBFStringRef NBFResultGetCompleteStringReference(NBFResultRef result);
NBFStringRef NBFResultCopyStringWithPrecision(NBFResultRef result, int digits);
void NBFResultSetPrecision(NBFResultRef result, int32_t precision);
int32_t NBFResultGetPrecision(NBFResultRef result);  // NBFResultPrecisionNotDefined for null
void NBFResultSetErrorCode(NBFResultRef result, NBFEvaluatorErrorCode code);
NBFEvaluatorErrorCode NBFResultGetErrorCode(NBFResultRef result);
void NBFResultSetEvaluationError(NBFResultRef result, NBFEvaluationError error);
NBFEvaluationError NBFResultGetEvaluationError(NBFResultRef result);
// Stores a copy of the fraction (its multiplier recomputed from its units).
void NBFResultSetUnitFraction(NBFResultRef result, NBFUnitFractionRef fraction);
NBFUnitFractionRef NBFResultGetUnitFraction(NBFResultRef result);  // borrowed
void NBFResultSetUnitNameFormats(NBFResultRef result, const NBFUnitNameFormatMap& formats);
NBFUnitFormatType NBFResultGetUnitComponentNameFormat(NBFResultRef result, NBFUnitRef unit);
void NBFResultSetFlags(NBFResultRef result, uint32_t flags);
uint32_t NBFResultGetFlags(NBFResultRef result);

// Splits the value into degrees, minutes and seconds (seconds rounded to decimalPlaces, a
// rounding up to 60 carried into the minutes and degrees). All three stay null on failure:
// no string, a string over 1024 characters, or a whole part of 10^10 or more. A negative
// value carries its sign on the degrees ("-0" when the whole part is 0).
void NBFResultGetDegreesMinutesSeconds(NBFResultRef result, char** degrees, char** minutes,
                                       char** seconds, uint32_t decimalPlaces, bool trailingZeros,
                                       bool thousandsSeparator, uint8_t groupSize);
// A fraction close to the value (within 10^-23) by continued fractions, or nothing: an
// integer, a string over 256 characters, or no fraction within 30 terms. With `mixed` the
// whole part goes apart (1 3/4). The sign goes on the whole part, else on the numerator.
void NBFResultGetFraction(NBFResultRef result, char** whole, char** numerator, char** denominator,
                          void* unused1, void* unused2, bool mixed);
bool NBFResultEqualToResult(NBFResultRef a, NBFResultRef b);
void NBFResultPrint(NBFResultRef result);

namespace NBF {
// Cuts decimal zeros at the end of fixed-point text ("12.50" -> "12.5", "12.000" -> "12").
std::string removeTrailingZeros(std::string text);
// Inserts "," every groupSize digits of the whole part, after a protected prefix of
// `protectedLength` characters (a sign, a base prefix).
std::string groupDigits(std::string text, size_t protectedLength, int groupSize);
}  // namespace NBF

#endif
