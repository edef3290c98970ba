// A piecewise-constant map from non-negative indexes (line indexes, say) to untyped values.
// Each boundary holds one instance of its value; when a value's last instance goes, the value
// is handed to the deallocator. The reference count is plain (one owner).
#ifndef NUMBERA_FOUNDATION_NBF_INDEX_RANGE_MAP_H
#define NUMBERA_FOUNDATION_NBF_INDEX_RANGE_MAP_H

#include <cstdint>
#include <set>

#include "NBFRange.h"

struct NBFIndexRangeMap;
typedef NBFIndexRangeMap* NBFIndexRangeMapRef;
typedef void (*NBFIndexRangeMapDeallocator)(void* value);
typedef void (*NBFIndexRangeMapItemFunction)(void* value);

NBFIndexRangeMapRef NBFIndexRangeMapCreate();
NBFIndexRangeMapRef NBFIndexRangeMapRetain(NBFIndexRangeMapRef map);
// The last release hands every distinct value to the deallocator, then frees the map.
void NBFIndexRangeMapRelease(NBFIndexRangeMapRef map);
void NBFIndexRangeMapSetDeallocator(NBFIndexRangeMapRef map, NBFIndexRangeMapDeallocator function);
// A length of NBFRangeLengthMax reaches to the end of the index space.
void NBFIndexRangeMapSetValueForRange(NBFIndexRangeMapRef map, void* value, NBFRange range);
void* NBFIndexRangeMapGetValueForIndex(NBFIndexRangeMapRef map, int32_t index);
int32_t NBFIndexRangeMapGetCountOfUniqueValues(NBFIndexRangeMapRef map);
// Borrowed; valid until the map changes.
const std::set<void*>* NBFIndexRangeMapGetUniqueValuesSetReference(NBFIndexRangeMapRef map);
int32_t NBFIndexRangeMapFindRangesForValue(NBFIndexRangeMapRef map, void* value, NBFRange* ranges,
                                           int32_t maximum);
void NBFIndexRangeMapApplyItemFunction(NBFIndexRangeMapRef map,
                                       NBFIndexRangeMapItemFunction function);
void NBFIndexRangeMapClear(NBFIndexRangeMapRef map);
// An index inserted (delta 1) or removed (delta -1) at the index: the segments after it move
// with their indexes. An inserted index joins the segment above it; a segment whose only index
// is removed goes. Other deltas change nothing.
void NBFIndexRangeMapShiftIndexes(NBFIndexRangeMapRef map, int32_t index, int32_t delta);
void NBFIndexRangeMapAddValueInstance(NBFIndexRangeMapRef map, void* value);
void NBFIndexRangeMapRemoveValueInstance(NBFIndexRangeMapRef map, void* value);
void NBFIndexRangeMapDeallocateValue(NBFIndexRangeMapRef map, void* value);
void NBFIndexRangeMapPrint(NBFIndexRangeMapRef map);

#endif
