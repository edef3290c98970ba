// Sentinels shared by results, their formatter and the formatting options above them.
#ifndef NUMBERA_FOUNDATION_NBF_RESULT_CONSTANTS_H
#define NUMBERA_FOUNDATION_NBF_RESULT_CONSTANTS_H

#include <cstdint>

constexpr uint16_t NBFDecimalPlacesNotDefined = 0xFFFF;
constexpr int16_t NBFScientificNotationThresholdNotDefined = 0x7FFF;
constexpr int32_t NBFResultPrecisionNotDefined = -1;

#endif
