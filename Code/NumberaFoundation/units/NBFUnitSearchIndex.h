// A word trie over every name and alias of a set of units: for the words a user typed it
// answers which units have exactly that name (compared without case) and whether longer names
// start with those words, so that a reader of the text knows to look at the next word too.
//
// The index is guarded by its own readers-writer lock; any thread may query it while another
// adds or removes units. Query answers are copies that hold their own references, so they stay
// valid when the units are removed from the index afterwards.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_SEARCH_INDEX_H
#define NUMBERA_FOUNDATION_NBF_UNIT_SEARCH_INDEX_H

#include <cstdint>
#include <vector>

#include "NBFObject.h"
#include "NBFString.h"
#include "NBFUnitContainer.h"
#include "NBFUnitType.h"

struct NBFUnitSearchIndex;
typedef NBFUnitSearchIndex* NBFUnitSearchIndexRef;

// One name of one unit.
struct NBFUnitSearchIndexResult {
    NBF::Ref<NBF::UnitContainer> unit;
    // The name's words in the letter case in which the unit gave them.
    std::vector<NBF::Ref<NBF::String>> words;
    // The whole name or alias.
    NBF::Ref<NBF::String> name;
    NBFUnitFormatType formatType = NBFUnitFormatTypeNone;
};
typedef std::vector<NBFUnitSearchIndexResult> NBFUnitSearchIndexResults;

NBFUnitSearchIndexRef NBFUnitSearchIndexCreate();
NBFUnitSearchIndexRef NBFUnitSearchIndexRetain(NBFUnitSearchIndexRef index);
void NBFUnitSearchIndexRelease(NBFUnitSearchIndexRef index);

// Indexes every name and then every alias of each unit under its words (split at spaces). A
// name the index already holds for a unit of the same identifier and format type is not added
// twice. Null units in the list are skipped.
void NBFUnitSearchIndexAddUnits(NBFUnitSearchIndexRef index, NBFUnitContainerRef const* units,
                                int32_t count);
void NBFUnitSearchIndexAddUnit(NBFUnitSearchIndexRef index, NBFUnitContainerRef unit);
// Drops, under each of the unit's names, every entry of a unit with the same identifier.
// Emptied trie nodes stay, so the answer about longer names stays that of the other units.
void NBFUnitSearchIndexRemoveUnit(NBFUnitSearchIndexRef index, NBFUnitContainerRef unit);
// The number of names that have at least one word.
int32_t NBFUnitSearchIndexGetSize(NBFUnitSearchIndexRef index);

// The names that are exactly these words, in the order they were added; hasLongerMatches (when
// given) tells whether longer names continue the words. When no name starts with the words,
// or there are no words, the answer is empty and hasLongerMatches is left as it was.
NBFUnitSearchIndexResults NBFUnitSearchIndexFindUnits(NBFUnitSearchIndexRef index,
                                                      const std::vector<NBFStringRef>& words,
                                                      bool* hasLongerMatches);
// The same for words already in lower case.
NBFUnitSearchIndexResults NBFUnitSearchIndexFindUnitsWithLowercaseQuery(
    NBFUnitSearchIndexRef index, const std::vector<NBFStringRef>& lowercaseWords,
    bool* hasLongerMatches);

#endif
