#include "NSIndexSet.h"

#include <iterator>

NSIndexSet::NSIndexSet(std::initializer_list<uint64_t> indexes) {
    for (uint64_t index : indexes) addIndex(index);
}

uint64_t NSIndexSet::firstIndex() const {
    return m_ranges.empty() ? NSNotFound : m_ranges.begin()->first;
}

uint64_t NSIndexSet::lastIndex() const {
    return m_ranges.empty() ? NSNotFound : std::prev(m_ranges.end())->second - 1;
}

uint64_t NSIndexSet::indexGreaterThanOrEqualToIndex(uint64_t index) const {
    auto after = m_ranges.upper_bound(index);
    if (after != m_ranges.begin()) {
        auto range = std::prev(after);
        if (index < range->second) return index;
    }
    return after == m_ranges.end() ? NSNotFound : after->first;
}

uint64_t NSIndexSet::indexGreaterThanIndex(uint64_t index) const {
    return index == NSUIntegerMax ? NSNotFound : indexGreaterThanOrEqualToIndex(index + 1);
}

uint64_t NSIndexSet::indexLessThanOrEqualToIndex(uint64_t index) const {
    auto after = m_ranges.upper_bound(index);
    if (after == m_ranges.begin()) return NSNotFound;
    auto range = std::prev(after);
    return index < range->second ? index : range->second - 1;
}

uint64_t NSIndexSet::indexLessThanIndex(uint64_t index) const {
    return index == 0 ? NSNotFound : indexLessThanOrEqualToIndex(index - 1);
}

bool NSIndexSet::containsIndex(uint64_t index) const {
    auto after = m_ranges.upper_bound(index);
    return after != m_ranges.begin() && index < std::prev(after)->second;
}

bool NSIndexSet::containsIndexesInRange(NSRange range) const {
    if (range.length == 0) return false;
    auto after = m_ranges.upper_bound(range.location);
    return after != m_ranges.begin() && NSMaxRange(range) <= std::prev(after)->second;
}

bool NSIndexSet::containsIndexes(const NSIndexSet& other) const {
    for (auto [start, end] : other.m_ranges)
        if (!containsIndexesInRange({start, end - start})) return false;
    return true;
}

bool NSIndexSet::intersectsIndexesInRange(NSRange range) const {
    return countOfIndexesInRange(range) > 0;
}

uint64_t NSIndexSet::countOfIndexesInRange(NSRange range) const {
    uint64_t end = NSMaxRange(range);
    uint64_t total = 0;
    auto it = m_ranges.upper_bound(range.location);
    if (it != m_ranges.begin()) --it;
    for (; it != m_ranges.end() && it->first < end; ++it) {
        uint64_t start = std::max(it->first, range.location);
        uint64_t stop = std::min(it->second, end);
        if (stop > start) total += stop - start;
    }
    return total;
}

void NSIndexSet::addIndexesInRange(NSRange range) {
    if (range.length == 0) return;
    uint64_t start = range.location;
    uint64_t end = NSMaxRange(range);
    // Merge with every range that overlaps or touches [start, end).
    auto it = m_ranges.upper_bound(start);
    if (it != m_ranges.begin() && std::prev(it)->second >= start) --it;
    while (it != m_ranges.end() && it->first <= end) {
        start = std::min(start, it->first);
        end = std::max(end, it->second);
        m_count -= it->second - it->first;
        it = m_ranges.erase(it);
    }
    m_ranges[start] = end;
    m_count += end - start;
}

void NSIndexSet::addIndexes(const NSIndexSet& other) {
    for (auto [start, end] : other.m_ranges) addIndexesInRange({start, end - start});
}

void NSIndexSet::removeIndexesInRange(NSRange range) {
    if (range.length == 0) return;
    uint64_t start = range.location;
    uint64_t end = NSMaxRange(range);
    auto it = m_ranges.upper_bound(start);
    if (it != m_ranges.begin()) --it;
    std::vector<std::pair<uint64_t, uint64_t>> kept;
    while (it != m_ranges.end() && it->first < end) {
        if (it->second <= start) {
            ++it;
            continue;
        }
        if (it->first < start) kept.emplace_back(it->first, start);
        if (it->second > end) kept.emplace_back(end, it->second);
        m_count -= it->second - it->first;
        it = m_ranges.erase(it);
    }
    for (auto [keptStart, keptEnd] : kept) {
        m_ranges[keptStart] = keptEnd;
        m_count += keptEnd - keptStart;
    }
}

void NSIndexSet::removeIndexes(const NSIndexSet& other) {
    for (auto [start, end] : other.m_ranges) removeIndexesInRange({start, end - start});
}

void NSIndexSet::removeAllIndexes() {
    m_ranges.clear();
    m_count = 0;
}

void NSIndexSet::shiftIndexesStartingAtIndex(uint64_t index, int64_t delta) {
    if (delta == 0) return;
    if (delta < 0) {
        uint64_t back = static_cast<uint64_t>(-delta);
        uint64_t from = back > index ? 0 : index - back;
        removeIndexesInRange({from, index - from});
    }
    NSIndexSet moved;
    std::vector<NSRange> all = ranges();
    removeAllIndexes();
    for (NSRange range : all) {
        uint64_t end = NSMaxRange(range);
        if (end <= index) {
            addIndexesInRange(range);
            continue;
        }
        if (range.location < index) {
            addIndexesInRange({range.location, index - range.location});
            range = {index, end - index};
        }
        int64_t shifted = static_cast<int64_t>(range.location) + delta;
        if (shifted < 0) {
            uint64_t lost = static_cast<uint64_t>(-shifted);
            if (lost >= range.length) continue;
            range = {0, range.length - lost};
        } else {
            range.location = static_cast<uint64_t>(shifted);
        }
        moved.addIndexesInRange(range);
    }
    addIndexes(moved);
}

std::vector<NSRange> NSIndexSet::ranges() const {
    std::vector<NSRange> out;
    out.reserve(m_ranges.size());
    for (auto [start, end] : m_ranges) out.push_back({start, end - start});
    return out;
}

std::vector<uint64_t> NSIndexSet::indexes() const {
    std::vector<uint64_t> out;
    out.reserve(m_count);
    for (auto [start, end] : m_ranges)
        for (uint64_t i = start; i < end; ++i) out.push_back(i);
    return out;
}

void NSIndexSet::enumerateIndexes(const std::function<void(uint64_t, bool&)>& block) const {
    bool stop = false;
    for (auto [start, end] : std::map<uint64_t, uint64_t>(m_ranges))
        for (uint64_t i = start; i < end; ++i) {
            block(i, stop);
            if (stop) return;
        }
}

void NSIndexSet::enumerateIndexesReverse(const std::function<void(uint64_t, bool&)>& block) const {
    bool stop = false;
    std::map<uint64_t, uint64_t> snapshot(m_ranges);
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it)
        for (uint64_t i = it->second; i-- > it->first;) {
            block(i, stop);
            if (stop) return;
        }
}
