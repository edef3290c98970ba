// What kind of answer a result is, why it failed, and its flags.
#ifndef NUMBERA_CORE_NC_RESULT_TYPES_H
#define NUMBERA_CORE_NC_RESULT_TYPES_H

#include <cstdint>

typedef int32_t NCResultType;
enum : NCResultType {
    NCResultTypeNotSet = 0,
    NCResultTypeValue = 1,
    NCResultTypeEmpty = 2,
    NCResultTypeError = 3,
};

typedef int32_t NCResultErrorType;
enum : NCResultErrorType {
    NCResultErrorTypeNone = 0,
    NCResultErrorTypeExponentTooLarge = 1,
    NCResultErrorTypeDivideByZero = 2,
    NCResultErrorTypeIncompatibleUnits = 3,
    NCResultErrorTypeGeneral = 4,
};

typedef uint32_t NCResultFlags;
constexpr NCResultFlags NCResultFlagPercentage = 1;

#endif
