// The catalogue of units that one environment knows: the units in the order they were added,
// indexed by type, the base unit of each type, links between a unit and its SI-prefixed (or
// otherwise scaled) relatives, and a word index of all unit names and aliases.
//
// A readers-writer lock guards the catalogue, so lookups may run on any thread while units are
// added or removed. Units and links are identified by unit identifier. Units handed out by Get
// functions are borrowed: valid while the unit stays in the collection. Search results and
// Copy answers hold their own references.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_COLLECTION_H
#define NUMBERA_FOUNDATION_NBF_UNIT_COLLECTION_H

#include <cstdint>
#include <vector>

#include "NBFObject.h"
#include "NBFString.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFractionFromTypeFraction.h"
#include "NBFUnitType.h"
#include "mapm/m_apm.h"

// One unit whose name matched, and the format type of the name that matched.
struct NBFUnitCollectionSearchResult {
    NBF::Ref<NBF::UnitContainer> unit;
    NBFUnitFormatType formatType = NBFUnitFormatTypeNone;
};
typedef std::vector<NBFUnitCollectionSearchResult> NBFUnitCollectionSearchResults;

NBFUnitCollectionRef NBFUnitCollectionCreate();
NBFUnitCollectionRef NBFUnitCollectionRetain(NBFUnitCollectionRef collection);
// The last release releases every unit the collection holds.
void NBFUnitCollectionRelease(NBFUnitCollectionRef collection);

// Retains each unit and appends it; a unit of multiplier 1 becomes the base unit of its type
// when the type has none yet. Null units are skipped; a count below 1 adds nothing.
void NBFUnitCollectionAddUnits(NBFUnitCollectionRef collection, NBFUnitContainerRef const* units,
                               int32_t count);
void NBFUnitCollectionAddUnit(NBFUnitCollectionRef collection, NBFUnitContainerRef unit);
// Removes the first held unit with the unit's identifier and releases that one. Its type's
// base-unit entry goes only when it is the registered base unit (no other unit takes its
// place), and every link from or to it goes. A unit the collection does not hold changes
// nothing.
void NBFUnitCollectionRemoveUnit(NBFUnitCollectionRef collection, NBFUnitContainerRef unit);

int32_t NBFUnitCollectionGetCountOfUnits(NBFUnitCollectionRef collection);
int32_t NBFUnitCollectionGetCountOfUnitsWithType(NBFUnitCollectionRef collection, NBFUnitType type);
// Replaces the entry (retaining the unit); a null unit clears it.
void NBFUnitCollectionSetBaseUnit(NBFUnitCollectionRef collection, NBFUnitType type,
                                  NBFUnitContainerRef unit);
// Borrowed; null when the type has none.
NBFUnitContainerRef NBFUnitCollectionGetBaseUnit(NBFUnitCollectionRef collection, NBFUnitType type);
// The same with a reference the caller releases, for callers that may race a removal.
NBFUnitContainerRef NBFUnitCollectionCopyBaseUnit(NBFUnitCollectionRef collection,
                                                  NBFUnitType type);

// Links. Both kinds make linkedUnit point back at unit (and unit at itself, if it points
// nowhere yet) and add both to unit's scale-ordered relatives, where a unit whose multiplier
// equals one already present is not added. The SI kind also records linkedUnit as unit's
// relative with that power of ten. Null units, or units without a unit fraction, add nothing.
void NBFUnitCollectionAddSIExponentLink(NBFUnitCollectionRef collection, NBFUnitContainerRef unit,
                                        NBFUnitContainerRef linkedUnit, int8_t exponent);
void NBFUnitCollectionAddNonSILink(NBFUnitCollectionRef collection, NBFUnitContainerRef unit,
                                   NBFUnitContainerRef linkedUnit);
// The unit a unit was linked from (itself for the unit others were linked from); borrowed.
NBFUnitContainerRef NBFUnitCollectionGetUnityLinkedUnit(NBFUnitCollectionRef collection,
                                                        NBFUnitContainerRef unit);
// Exponent 0: the unit itself. Otherwise the relative linked with that power of ten, or null.
NBFUnitContainerRef NBFUnitCollectionGetSIExponentUnit(NBFUnitCollectionRef collection,
                                                       NBFUnitContainerRef unit, int8_t exponent);
// Of the unit's scale-ordered relatives, the one with the greatest multiplier not above the
// value; null when every one is above it, or when the unit has no relatives.
NBFUnitContainerRef NBFUnitCollectionFindFirstLinkedUnitWithScalarLessThanOrEqualToMAPM(
    NBFUnitCollectionRef collection, NBFUnitContainerRef unit, M_APM value);

// The units one of whose names is exactly the words. Names matching in exact letter case win:
// when there is any, only they are answered and exactCase is set; otherwise every name that
// matches without case and is not marked case-sensitive, with exactCase cleared.
// hasLongerMatches tells whether longer names start with the words. Out pointers may be null.
NBFUnitCollectionSearchResults NBFUnitCollectionFindUnitsMatchingWords(
    NBFUnitCollectionRef collection, const std::vector<NBFStringRef>& words, bool* hasLongerMatches,
    bool* exactCase);
// The first of those units, or null; formatType (when given) receives its name's format type,
// or 0 when there is none.
NBF::Ref<NBF::UnitContainer> NBFUnitCollectionFindTopUnitMatchingWords(
    NBFUnitCollectionRef collection, const std::vector<NBFStringRef>& words, bool* hasLongerMatches,
    bool* exactCase, NBFUnitFormatType* formatType);
// The units of the results, in order, borrowed from the results.
std::vector<NBFUnitContainerRef> NBFUnitCollectionUnitsFromSearchResults(
    const NBFUnitCollectionSearchResults& results);

#endif
