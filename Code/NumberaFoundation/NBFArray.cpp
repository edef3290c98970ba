#include "NBFArray.h"

#include <algorithm>

namespace {

bool validIndex(NBFArrayRef array, int32_t index) {
    return array && index >= 0 && static_cast<size_t>(index) < array->items.size();
}

// The part of the range that lies inside the array, as [first, last).
std::pair<size_t, size_t> clampedRange(NBFArrayRef array, NBFRange range) {
    int64_t size = static_cast<int64_t>(array->items.size());
    int64_t first = std::clamp<int64_t>(range.location, 0, size);
    int64_t last = std::clamp<int64_t>(NBFRangeEnd(range), first, size);
    return {static_cast<size_t>(first), static_cast<size_t>(last)};
}

}  // namespace

NBFArrayRef NBFArrayCreate() { return new NBFArray(); }
NBFArrayRef NBFArrayRetain(NBFArrayRef array) { return NBF::retain(array); }
void NBFArrayRelease(NBFArrayRef array) { NBF::release(array); }

int32_t NBFArrayCount(NBFArrayRef array) {
    return array ? static_cast<int32_t>(array->items.size()) : 0;
}

void NBFArrayGetItems(NBFArrayRef array, void** buffer, int32_t capacity) {
    if (!array || !buffer || capacity <= 0) return;
    size_t count = std::min(array->items.size(), static_cast<size_t>(capacity));
    std::copy_n(array->items.begin(), count, buffer);
}

void NBFArrayGetItemsInRange(NBFArrayRef array, NBFRange range, void** buffer) {
    if (!array || !buffer) return;
    auto [first, last] = clampedRange(array, range);
    std::copy(array->items.begin() + first, array->items.begin() + last, buffer);
}

void* NBFArrayGetItemAtIndex(NBFArrayRef array, int32_t index) {
    return validIndex(array, index) ? array->items[static_cast<size_t>(index)] : nullptr;
}

void NBFArraySetItemAtIndex(NBFArrayRef array, int32_t index, void* item) {
    if (validIndex(array, index)) array->items[static_cast<size_t>(index)] = item;
}

void NBFArrayAddItem(NBFArrayRef array, void* item) {
    if (array) array->items.push_back(item);
}

void NBFArrayAddItems(NBFArrayRef array, void* const* items, int32_t count) {
    if (!array || !items || count <= 0) return;
    array->items.insert(array->items.end(), items, items + count);
}

void NBFArrayAddItemsFromArray(NBFArrayRef array, NBFArrayRef other) {
    if (!array || !other) return;
    std::vector<void*> copy = other->items;  // other may be the same array
    array->items.insert(array->items.end(), copy.begin(), copy.end());
}

void NBFArrayInsertItemAtIndex(NBFArrayRef array, int32_t index, void* item) {
    if (!array || index < 0 || static_cast<size_t>(index) > array->items.size()) return;
    array->items.insert(array->items.begin() + index, item);
}

void NBFArrayRemoveItemAtIndex(NBFArrayRef array, int32_t index) {
    if (validIndex(array, index)) array->items.erase(array->items.begin() + index);
}

void NBFArrayRemoveItemsInRange(NBFArrayRef array, NBFRange range) {
    if (!array) return;
    auto [first, last] = clampedRange(array, range);
    array->items.erase(array->items.begin() + first, array->items.begin() + last);
}

void NBFArrayRemoveAllItems(NBFArrayRef array) {
    if (array) array->items.clear();
}

void NBFArrayApplyItemFunction(NBFArrayRef array, NBFArrayItemFunction function) {
    if (!array || !function) return;
    for (void* item : std::vector<void*>(array->items)) function(item);
}

void NBFArrayApplyItemFunctionInRange(NBFArrayRef array, NBFArrayItemFunction function,
                                      NBFRange range) {
    if (!array || !function) return;
    auto [first, last] = clampedRange(array, range);
    std::vector<void*> items(array->items.begin() + first, array->items.begin() + last);
    for (void* item : items) function(item);
}
