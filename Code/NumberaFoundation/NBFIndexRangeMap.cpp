#include "NBFIndexRangeMap.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "Diagnostics.h"
#include "NBFObject.h"

struct NBFIndexRangeMap : NBF::Object<NBFIndexRangeMap> {
    std::vector<int32_t> boundaries{0};  // strictly ascending, first is 0
    std::vector<void*> values{nullptr};  // value i holds from boundary i to boundary i+1
    std::set<void*> distinct;
    std::map<void*, uint32_t> instances;
    // Where each value's segments start: finding a value's ranges must not walk every
    // boundary, since a variable redefined on every line asks it once per line.
    std::map<void*, std::set<int32_t>> startsByValue;
    NBFIndexRangeMapDeallocator deallocator = nullptr;

    ~NBFIndexRangeMap() override {
        if (deallocator)
            for (void* value : std::vector<void*>(distinct.begin(), distinct.end()))
                deallocator(value);
    }

    void addInstance(void* value) {
        if (!value) return;
        if (instances[value]++ == 0) distinct.insert(value);
    }

    void removeInstance(void* value) {
        if (!value) return;
        auto found = instances.find(value);
        if (found == instances.end()) return;
        if (--found->second > 0) return;
        instances.erase(found);
        distinct.erase(value);
        if (deallocator) deallocator(value);
    }

    void addStart(void* value, int32_t start) {
        if (value) startsByValue[value].insert(start);
    }

    void removeStart(void* value, int32_t start) {
        if (!value) return;
        auto found = startsByValue.find(value);
        if (found == startsByValue.end()) return;
        found->second.erase(start);
        if (found->second.empty()) startsByValue.erase(found);
    }

    void setValueAt(size_t i, void* value) {
        addInstance(value);
        addStart(value, boundaries[i]);
        removeStart(values[i], boundaries[i]);
        removeInstance(std::exchange(values[i], value));
    }

    void insertBoundary(size_t i, int32_t start, void* value) {
        addInstance(value);
        addStart(value, start);
        boundaries.insert(boundaries.begin() + static_cast<ptrdiff_t>(i), start);
        values.insert(values.begin() + static_cast<ptrdiff_t>(i), value);
    }

    // Removes boundaries [first, last).
    void removeBoundaries(size_t first, size_t last) {
        std::vector<void*> removed(values.begin() + static_cast<ptrdiff_t>(first),
                                   values.begin() + static_cast<ptrdiff_t>(last));
        for (size_t i = first; i < last; ++i) removeStart(values[i], boundaries[i]);
        boundaries.erase(boundaries.begin() + static_cast<ptrdiff_t>(first),
                         boundaries.begin() + static_cast<ptrdiff_t>(last));
        values.erase(values.begin() + static_cast<ptrdiff_t>(first),
                     values.begin() + static_cast<ptrdiff_t>(last));
        for (void* value : removed) removeInstance(value);
    }

    // Index of the last boundary at or below the index.
    size_t segmentOf(int64_t index) const {
        auto after = std::upper_bound(boundaries.begin(), boundaries.end(), index);
        return static_cast<size_t>(after - boundaries.begin()) - 1;
    }
};

namespace {

void setRange(NBFIndexRangeMap& m, void* value, NBFRange range) {
    int64_t location = range.location;
    int64_t end = NBFRangeEnd(range);
    bool bounded = range.length != NBFRangeLengthMax && end <= NBFRangeLocationMax;
    size_t s = m.segmentOf(location);
    auto endBoundary = std::lower_bound(m.boundaries.begin(), m.boundaries.end(), end);
    bool hasEnd = bounded && endBoundary != m.boundaries.end();

    if (hasEnd) {
        size_t e = static_cast<size_t>(endBoundary - m.boundaries.begin());
        void* restore = m.values[e - 1];
        m.addInstance(restore);
        m.removeBoundaries(s + 1, e);
        size_t next;
        if (m.boundaries[s] == location) {
            m.setValueAt(s, value);
            next = s + 1;
        } else {
            m.insertBoundary(s + 1, static_cast<int32_t>(location), value);
            next = s + 2;
        }
        if (next < m.boundaries.size() && m.boundaries[next] > end)
            m.insertBoundary(next, static_cast<int32_t>(end), restore);
        m.removeInstance(restore);
        return;
    }

    void* restore = m.values.back();
    m.addInstance(restore);
    m.removeBoundaries(s + 1, m.boundaries.size());
    if (m.boundaries[s] == location) {
        m.setValueAt(s, value);
    } else {
        m.insertBoundary(m.boundaries.size(), static_cast<int32_t>(location), value);
    }
    if (bounded) m.insertBoundary(m.boundaries.size(), static_cast<int32_t>(end), restore);
    m.removeInstance(restore);
}

}  // namespace

NBFIndexRangeMapRef NBFIndexRangeMapCreate() { return new NBFIndexRangeMap(); }

NBFIndexRangeMapRef NBFIndexRangeMapRetain(NBFIndexRangeMapRef map) { return NBF::retain(map); }

void NBFIndexRangeMapRelease(NBFIndexRangeMapRef map) { NBF::release(map); }

void NBFIndexRangeMapSetDeallocator(NBFIndexRangeMapRef map, NBFIndexRangeMapDeallocator function) {
    if (map) map->deallocator = function;
}

void NBFIndexRangeMapSetValueForRange(NBFIndexRangeMapRef map, void* value, NBFRange range) {
    if (!map || range.length <= 0 || range.location < 0) return;
    setRange(*map, value, range);
}

void* NBFIndexRangeMapGetValueForIndex(NBFIndexRangeMapRef map, int32_t index) {
    if (!map || index < 0) return nullptr;
    return map->values[map->segmentOf(index)];
}

int32_t NBFIndexRangeMapGetCountOfUniqueValues(NBFIndexRangeMapRef map) {
    return map ? static_cast<int32_t>(map->distinct.size()) : 0;
}

const std::set<void*>* NBFIndexRangeMapGetUniqueValuesSetReference(NBFIndexRangeMapRef map) {
    return map ? &map->distinct : nullptr;
}

int32_t NBFIndexRangeMapFindRangesForValue(NBFIndexRangeMapRef map, void* value, NBFRange* ranges,
                                           int32_t maximum) {
    if (!map || !value || !ranges) return 0;
    int32_t written = 0;
    auto starts = map->startsByValue.find(value);
    if (starts == map->startsByValue.end()) return 0;
    for (int32_t start : starts->second) {
        if (written >= maximum) break;
        const size_t i = map->segmentOf(start);
        bool last = i + 1 == map->boundaries.size();
        int32_t length = last ? NBFRangeLengthMax : map->boundaries[i + 1] - map->boundaries[i];
        ranges[written++] = {map->boundaries[i], length};
    }
    return written;
}

void NBFIndexRangeMapApplyItemFunction(NBFIndexRangeMapRef map,
                                       NBFIndexRangeMapItemFunction function) {
    if (!map || !function) return;
    for (void* value : std::vector<void*>(map->distinct.begin(), map->distinct.end()))
        function(value);
}

void NBFIndexRangeMapClear(NBFIndexRangeMapRef map) {
    NBFIndexRangeMapSetValueForRange(map, nullptr, {0, NBFRangeLengthMax});
}

void NBFIndexRangeMapShiftIndexes(NBFIndexRangeMapRef map, int32_t index, int32_t delta) {
    if (!map || index < 0 || (delta != 1 && delta != -1)) return;
    NBFIndexRangeMap& m = *map;
    // The boundaries that move: those at or after an inserted index, except the first, which
    // stays at 0 (an index inserted at the top joins its segment); those after a removed one.
    const auto moved = delta > 0
                           ? std::lower_bound(m.boundaries.begin() + 1, m.boundaries.end(), index)
                           : std::upper_bound(m.boundaries.begin(), m.boundaries.end(), index);
    const size_t first = static_cast<size_t>(moved - m.boundaries.begin());
    if (first >= m.boundaries.size()) return;
    // Each start is moved in place, the farthest first along the shift, so a value's moved
    // start never meets one of its own not yet moved.
    const size_t count = m.boundaries.size();
    for (size_t k = 0; k < count - first; ++k) {
        const size_t i = delta > 0 ? count - 1 - k : first + k;
        if (void* value = m.values[i]) {
            std::set<int32_t>& starts = m.startsByValue[value];
            auto start = starts.extract(m.boundaries[i]);
            if (start) {
                start.value() += delta;
                starts.insert(std::move(start));
            } else {
                starts.insert(m.boundaries[i] + delta);
            }
        }
        m.boundaries[i] += delta;
    }
    // A removed index that was a whole segment leaves two boundaries on one index: the later
    // one holds the lines that remain.
    if (delta < 0 && m.boundaries[first] == m.boundaries[first - 1]) {
        m.removeBoundaries(first - 1, first);
        m.addStart(m.values[first - 1], m.boundaries[first - 1]);
    }
}

void NBFIndexRangeMapAddValueInstance(NBFIndexRangeMapRef map, void* value) {
    if (map) map->addInstance(value);
}

void NBFIndexRangeMapRemoveValueInstance(NBFIndexRangeMapRef map, void* value) {
    if (map) map->removeInstance(value);
}

void NBFIndexRangeMapDeallocateValue(NBFIndexRangeMapRef map, void* value) {
    if (map && map->deallocator && value) map->deallocator(value);
}

void NBFIndexRangeMapPrint(NBFIndexRangeMapRef map) {
    if (!map) return;
    char part[96];
    std::snprintf(part, sizeof part, "<NBFIndexRangeMap : %p { ", static_cast<void*>(map));
    std::string text = part;
    for (size_t i = 0; i < map->boundaries.size(); ++i) {
        auto first = static_cast<unsigned>(map->boundaries[i]);
        if (i + 1 == map->boundaries.size()) {
            std::snprintf(part, sizeof part, "%u+ => %p", first, map->values[i]);
        } else {
            auto last = static_cast<unsigned>(map->boundaries[i + 1] - 1);
            if (first == last) {
                std::snprintf(part, sizeof part, "%u => %p, ", first, map->values[i]);
            } else {
                std::snprintf(part, sizeof part, "%u-%u => %p, ", first, last, map->values[i]);
            }
        }
        text += part;
    }
    Diagnostics::write(Diagnostics::Stream::output, text + " }>");
}
