// Operators of expression nodes. The values are shared with the parser's token subtypes
// through conversion tables, and the unit metadata merges its maps differently for a unit
// conversion.
#ifndef NUMBERA_FOUNDATION_NBF_OPERATOR_TYPE_H
#define NUMBERA_FOUNDATION_NBF_OPERATOR_TYPE_H

#include <cstdint>

typedef int32_t NBFOperatorType;
enum : NBFOperatorType {
    NBFOperatorTypeNone = 0,
    NBFOperatorTypeAdd = 1,
    NBFOperatorTypeSubtract = 2,
    NBFOperatorTypeMultiply = 3,
    NBFOperatorTypeDivide = 4,
    NBFOperatorTypePower = 5,
    NBFOperatorTypeUnaryMinus = 6,
    NBFOperatorTypeUnaryPlus = 7,
    NBFOperatorTypeFactorial = 8,
    NBFOperatorTypeE10 = 9,  // times ten to the power
    NBFOperatorTypePercent = 11,
    NBFOperatorTypeUnitAfterNumber = 17,
    NBFOperatorTypeUnitBeforeNumber = 18,
    NBFOperatorTypeUnitConversion = 19,
    NBFOperatorTypeModulo = 20,
};

#endif
