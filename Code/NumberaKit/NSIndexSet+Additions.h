// Conveniences over the ordered index set: the second index, removal of the first, second
// and last index, unions, a readable "1-3, 5" description and the statistics totals test.
#ifndef NUMBERA_KIT_NSINDEXSET_ADDITIONS_H
#define NUMBERA_KIT_NSINDEXSET_ADDITIONS_H

#include <cstdint>
#include <string>
#include <vector>

#include "NSIndexSet.h"

namespace NSIndexSetAdditions {

// NSNotFound for a set of fewer than two indexes.
uint64_t secondIndex(const NSIndexSet& set);
NSIndexSet setExclusingFirstIndex(const NSIndexSet& set);
NSIndexSet setByIntegratingSet(const NSIndexSet& set, const NSIndexSet& other);
// Each index plus the offset as a 32-bit number; runs of consecutive indexes as "a-b",
// separated by ", ": {0, 1, 2, 4, 6, 7} with offset 1 is "1-3, 5, 7-8".
std::u16string rangeDescriptionWithOffset(const NSIndexSet& set, int64_t offset);
std::vector<uint64_t> arrayRepresentation(const NSIndexSet& set);
// False when a total over one set cannot differ from one over the other: both hold a single
// index, or one holds a single index and the other all `maximum` of them.
bool totalWouldDifferFromIndexSet(const NSIndexSet& set, const NSIndexSet& other,
                                  uint64_t maximum);
// From the smallest to the largest index; {NSNotFound, 0} for an empty set.
NSRange range(const NSIndexSet& set);

// Each does nothing to an empty set (removeSecondIndex: to a set of fewer than two).
void removeFirstIndex(NSMutableIndexSet& set);
void removeLastIndex(NSMutableIndexSet& set);
void removeSecondIndex(NSMutableIndexSet& set);

}  // namespace NSIndexSetAdditions

#endif
