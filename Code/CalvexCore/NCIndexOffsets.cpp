#include "NCIndexOffsets.h"

#include <algorithm>
#include <iterator>
#include <vector>

int64_t NCContiguousIndexOffsets::offsetForLocation(uint64_t location) const {
    auto after = m_offsets.upper_bound(location);
    return after == m_offsets.begin() ? 0 : std::prev(after)->second;
}

void NCContiguousIndexOffsets::offsetBy(int64_t offset, uint64_t location) {
    if (m_offsets.empty() || m_offsets.begin()->first > location) {
        if (location != 0) m_offsets[0] = 0;
        m_offsets[location] = offset;
        return;
    }
    shiftFrom(location, offset);
}

void NCContiguousIndexOffsets::shiftFrom(uint64_t location, int64_t offset) {
    int64_t base = std::prev(m_offsets.upper_bound(location))->second;
    // Later boundaries move by -offset; each is moved once, so collect them first.
    std::vector<std::pair<uint64_t, int64_t>> later(m_offsets.upper_bound(location),
                                                    m_offsets.end());
    m_offsets.erase(m_offsets.upper_bound(location), m_offsets.end());
    m_offsets[location] = base + offset;
    for (auto [boundary, boundaryOffset] : later) {
        int64_t moved = static_cast<int64_t>(boundary) - offset;
        m_offsets[static_cast<uint64_t>(std::max<int64_t>(moved, 0))] = boundaryOffset + offset;
    }
}

void NCChangedIndexSequenceMapping::offsetBy(int64_t offset, uint64_t location) {
    if (!m_offsets.empty() && location > std::prev(m_offsets.end())->first) {
        std::prev(m_offsets.end())->second += offset;
        return;
    }
    NCContiguousIndexOffsets::offsetBy(offset, location);
}

uint64_t NCChangedIndexSequenceMapping::originalLocationForCurrentLocation(
    uint64_t location) const {
    auto after = m_offsets.upper_bound(location);
    if (after == m_offsets.begin()) return 0;
    auto [boundary, offset] = *std::prev(after);
    int64_t original = static_cast<int64_t>(location) + offset;
    return std::max<uint64_t>(static_cast<uint64_t>(std::max<int64_t>(original, 0)), boundary);
}
