// A location and a length in 16-bit code units (or line indexes).
#ifndef NUMBERA_FOUNDATION_NBF_RANGE_H
#define NUMBERA_FOUNDATION_NBF_RANGE_H

#include <cstdint>

struct NBFRange {
    int32_t location;
    int32_t length;
};

constexpr int32_t NBFRangeLocationMax = 2147483647;
constexpr int32_t NBFRangeLengthMax = 2147483647;
constexpr int32_t NBFRangeLocationInvalid = 2147483647;
constexpr NBFRange NBFRangeZero = {0, 0};

inline NBFRange NBFRangeMake(int32_t location, int32_t length) { return {location, length}; }

// End of a range computed in 64 bits, so an open-ended range never overflows.
inline int64_t NBFRangeEnd(NBFRange range) {
    return static_cast<int64_t>(range.location) + static_cast<int64_t>(range.length);
}

#endif
