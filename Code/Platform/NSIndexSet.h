// An ordered set of non-negative indexes (line numbers, character positions), stored as
// disjoint ranges so that large contiguous sets stay small. One class serves both the
// immutable and the mutable uses.
#ifndef NUMBERA_PLATFORM_NSINDEXSET_H
#define NUMBERA_PLATFORM_NSINDEXSET_H

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "NSRange.h"

class NSIndexSet {
  public:
    NSIndexSet() = default;
    explicit NSIndexSet(uint64_t index) { addIndex(index); }
    explicit NSIndexSet(NSRange range) { addIndexesInRange(range); }
    NSIndexSet(std::initializer_list<uint64_t> indexes);

    uint64_t count() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // NSNotFound when there is none.
    uint64_t firstIndex() const;
    uint64_t lastIndex() const;
    uint64_t indexGreaterThanIndex(uint64_t index) const;
    uint64_t indexGreaterThanOrEqualToIndex(uint64_t index) const;
    uint64_t indexLessThanIndex(uint64_t index) const;
    uint64_t indexLessThanOrEqualToIndex(uint64_t index) const;

    bool containsIndex(uint64_t index) const;
    bool containsIndexesInRange(NSRange range) const;  // every index of the range
    bool containsIndexes(const NSIndexSet& other) const;
    bool intersectsIndexesInRange(NSRange range) const;
    uint64_t countOfIndexesInRange(NSRange range) const;

    void addIndex(uint64_t index) { addIndexesInRange({index, 1}); }
    void addIndexesInRange(NSRange range);
    void addIndexes(const NSIndexSet& other);
    void removeIndex(uint64_t index) { removeIndexesInRange({index, 1}); }
    void removeIndexesInRange(NSRange range);
    void removeIndexes(const NSIndexSet& other);
    void removeAllIndexes();
    // Moves every index at or after `index` by delta. A negative delta first removes the
    // indexes that the move would run over (index + delta up to index).
    void shiftIndexesStartingAtIndex(uint64_t index, int64_t delta);

    // The ranges in ascending order.
    std::vector<NSRange> ranges() const;
    std::vector<uint64_t> indexes() const;
    void enumerateIndexes(const std::function<void(uint64_t index, bool& stop)>& block) const;
    void enumerateIndexesReverse(
        const std::function<void(uint64_t index, bool& stop)>& block) const;

    // Copies the indexes in ascending order into the buffer, at most maxCount of them;
    // answers how many were written.
    uint64_t getIndexesInt32(int32_t* buffer, uint64_t maxCount) const;
    uint64_t getIndexesUInt32(uint32_t* buffer, uint64_t maxCount) const;

    friend bool operator==(const NSIndexSet& a, const NSIndexSet& b) {
        return a.m_ranges == b.m_ranges;
    }

  private:
    std::map<uint64_t, uint64_t> m_ranges;  // start -> end (exclusive), disjoint, not adjacent
    uint64_t m_count = 0;
};

using NSMutableIndexSet = NSIndexSet;

#endif
