#include "NSIndexSet.h"

namespace {

template <typename Int>
uint64_t copyIndexes(const NSIndexSet& set, Int* buffer, uint64_t maxCount) {
    if (!buffer) return 0;
    uint64_t written = 0;
    set.enumerateIndexes([&](uint64_t index, bool& stop) {
        if (written == maxCount) {
            stop = true;
            return;
        }
        buffer[written++] = static_cast<Int>(index);
    });
    return written;
}

}  // namespace

uint64_t NSIndexSet::getIndexesInt32(int32_t* buffer, uint64_t maxCount) const {
    return copyIndexes(*this, buffer, maxCount);
}

uint64_t NSIndexSet::getIndexesUInt32(uint32_t* buffer, uint64_t maxCount) const {
    return copyIndexes(*this, buffer, maxCount);
}
