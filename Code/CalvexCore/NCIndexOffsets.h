// Step functions from a location to an offset, translating locations across text or a
// sequence that has been edited: NCContiguousIndexOffsets for the substituter's rewritten
// text, NCChangedIndexSequenceMapping for a sequence of elements with insertions and
// removals.
#ifndef NUMBERA_CORE_NC_INDEX_OFFSETS_H
#define NUMBERA_CORE_NC_INDEX_OFFSETS_H

#include <cstdint>
#include <map>

class NCContiguousIndexOffsets {
  public:
    // The offset at the greatest boundary not after the location; 0 when there is none.
    int64_t offsetForLocation(uint64_t location) const;
    void offsetBy(int64_t offset, uint64_t fromLocation);
    const std::map<uint64_t, int64_t>& boundaries() const { return m_offsets; }

  protected:
    // Sets boundary L from the boundary at or before it, then moves every later boundary.
    void shiftFrom(uint64_t location, int64_t offset);
    std::map<uint64_t, int64_t> m_offsets;  // boundary -> offset
};

class NCChangedIndexSequenceMapping : public NCContiguousIndexOffsets {
  public:
    void offsetBy(int64_t offset, uint64_t fromLocation);
    void insertElements(uint64_t count, uint64_t atCurrentLocation) {
        offsetBy(-static_cast<int64_t>(count), atCurrentLocation);
    }
    void removeElements(uint64_t count, uint64_t atCurrentLocation) {
        offsetBy(static_cast<int64_t>(count), atCurrentLocation);
    }
    // max(current + offset, boundary) for the greatest boundary not after the current
    // location; 0 when nothing is recorded.
    uint64_t originalLocationForCurrentLocation(uint64_t location) const;
};

#endif
