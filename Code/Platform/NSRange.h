// Ranges of characters or lines, counted in UTF-16 code units or line indexes.
#ifndef NUMBERA_PLATFORM_NSRANGE_H
#define NUMBERA_PLATFORM_NSRANGE_H

#include <algorithm>
#include <cstdint>

// "Not found" and "no limit" are distinct sentinels.
constexpr uint64_t NSNotFound = INT64_MAX;
constexpr uint64_t NSUIntegerMax = UINT64_MAX;

struct NSRange {
    uint64_t location = 0;
    uint64_t length = 0;
    friend bool operator==(const NSRange&, const NSRange&) = default;
};

inline NSRange NSMakeRange(uint64_t location, uint64_t length) { return {location, length}; }

// The end of the range, saturating instead of wrapping.
inline uint64_t NSMaxRange(NSRange range) {
    return range.length > NSUIntegerMax - range.location ? NSUIntegerMax
                                                         : range.location + range.length;
}

inline bool NSLocationInRange(uint64_t location, NSRange range) {
    return location >= range.location && location < NSMaxRange(range);
}

inline bool NSEqualRanges(NSRange a, NSRange b) { return a == b; }

inline NSRange NSIntersectionRange(NSRange a, NSRange b) {
    uint64_t start = std::max(a.location, b.location);
    uint64_t end = std::min(NSMaxRange(a), NSMaxRange(b));
    return end > start ? NSRange{start, end - start} : NSRange{0, 0};
}

inline NSRange NSUnionRange(NSRange a, NSRange b) {
    uint64_t start = std::min(a.location, b.location);
    return {start, std::max(NSMaxRange(a), NSMaxRange(b)) - start};
}

#endif
