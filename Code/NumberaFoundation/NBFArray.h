// An ordered, growable array of untyped item pointers. The array never retains or releases
// its items. Indexes outside the array read as null and change nothing.
#ifndef NUMBERA_FOUNDATION_NBF_ARRAY_H
#define NUMBERA_FOUNDATION_NBF_ARRAY_H

#include <cstdint>
#include <vector>

#include "NBFObject.h"
#include "NBFRange.h"

struct NBFArray : NBF::Object<NBFArray> {
    std::vector<void*> items;
};
typedef NBFArray* NBFArrayRef;
typedef void (*NBFArrayItemFunction)(void* item);

NBFArrayRef NBFArrayCreate();
NBFArrayRef NBFArrayRetain(NBFArrayRef array);
void NBFArrayRelease(NBFArrayRef array);
int32_t NBFArrayCount(NBFArrayRef array);
void NBFArrayGetItems(NBFArrayRef array, void** buffer, int32_t capacity);
void NBFArrayGetItemsInRange(NBFArrayRef array, NBFRange range, void** buffer);
void* NBFArrayGetItemAtIndex(NBFArrayRef array, int32_t index);
void NBFArraySetItemAtIndex(NBFArrayRef array, int32_t index, void* item);
void NBFArrayAddItem(NBFArrayRef array, void* item);
void NBFArrayAddItems(NBFArrayRef array, void* const* items, int32_t count);
void NBFArrayAddItemsFromArray(NBFArrayRef array, NBFArrayRef other);
void NBFArrayInsertItemAtIndex(NBFArrayRef array, int32_t index, void* item);
void NBFArrayRemoveItemAtIndex(NBFArrayRef array, int32_t index);
void NBFArrayRemoveItemsInRange(NBFArrayRef array, NBFRange range);
void NBFArrayRemoveAllItems(NBFArrayRef array);
void NBFArrayApplyItemFunction(NBFArrayRef array, NBFArrayItemFunction function);
void NBFArrayApplyItemFunctionInRange(NBFArrayRef array, NBFArrayItemFunction function,
                                      NBFRange range);

#endif
