#include "NSIndexSet+Additions.h"

#include <string>

namespace NSIndexSetAdditions {

uint64_t secondIndex(const NSIndexSet& set) {
    uint64_t first = set.firstIndex();
    return first == NSNotFound ? NSNotFound : set.indexGreaterThanIndex(first);
}

NSIndexSet setExclusingFirstIndex(const NSIndexSet& set) {
    NSIndexSet copy = set;
    removeFirstIndex(copy);
    return copy;
}

NSIndexSet setByIntegratingSet(const NSIndexSet& set, const NSIndexSet& other) {
    NSIndexSet result = set;
    result.addIndexes(other);
    return result;
}

namespace {
std::u16string number(uint64_t index, int64_t offset) {
    int32_t value = static_cast<int32_t>(static_cast<uint32_t>(index + static_cast<uint64_t>(offset)));
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}
}  // namespace

std::u16string rangeDescriptionWithOffset(const NSIndexSet& set, int64_t offset) {
    std::u16string text;
    bool first = true;
    for (NSRange run : set.ranges()) {
        if (!first) text += u", ";
        first = false;
        text += number(run.location, offset);
        if (run.length > 1) text += u"-" + number(run.location + run.length - 1, offset);
    }
    return text;
}

std::vector<uint64_t> arrayRepresentation(const NSIndexSet& set) { return set.indexes(); }

bool totalWouldDifferFromIndexSet(const NSIndexSet& set, const NSIndexSet& other,
                                  uint64_t maximum) {
    if (set.count() == 1 && other.count() == 1) return false;
    if (other.count() == 1 && set.count() == maximum) return false;
    if (other.count() == maximum && set.count() == 1) return false;
    return true;
}

NSRange range(const NSIndexSet& set) {
    if (set.empty()) return {NSNotFound, 0};
    return {set.firstIndex(), set.lastIndex() - set.firstIndex() + 1};
}

void removeFirstIndex(NSMutableIndexSet& set) {
    if (!set.empty()) set.removeIndex(set.firstIndex());
}

void removeLastIndex(NSMutableIndexSet& set) {
    if (!set.empty()) set.removeIndex(set.lastIndex());
}

void removeSecondIndex(NSMutableIndexSet& set) {
    uint64_t second = secondIndex(set);
    if (second != NSNotFound) set.removeIndex(second);
}

}  // namespace NSIndexSetAdditions
