// A unit name that matched several units ("m" as metre or minute), kept with all its
// candidates until the units around it decide which one is meant.
#ifndef NUMBERA_FOUNDATION_NBF_AMBIGUOUS_UNIT_H
#define NUMBERA_FOUNDATION_NBF_AMBIGUOUS_UNIT_H

#include <vector>

#include "NBFString.h"
#include "NBFUnitContainer.h"
#include "NBFUnitType.h"

struct NBFAmbiguousUnit;
typedef NBFAmbiguousUnit* NBFAmbiguousUnitRef;

// Retains each candidate; the order is kept.
NBFAmbiguousUnitRef NBFAmbiguousUnitCreate(const std::vector<NBFUnitContainerRef>& units);
NBFAmbiguousUnitRef NBFAmbiguousUnitRetain(NBFAmbiguousUnitRef ambiguousUnit);
void NBFAmbiguousUnitRelease(NBFAmbiguousUnitRef ambiguousUnit);
// Borrowed candidates; empty for null.
const std::vector<NBFUnitContainerRef>& NBFAmbiguousUnitGetUnits(NBFAmbiguousUnitRef ambiguousUnit);
// The types of every candidate's units.
NBFUnitTypeBitmap NBFAmbiguousUnitGetUnitTypeBitmap(NBFAmbiguousUnitRef ambiguousUnit);
// The candidate that best fits the types around it: one point per listed unit type present
// both in the bitmap and in the candidate, five more when the name is exactly one of its
// names or aliases, the tie-break factor deciding between equal points. Equal scores keep
// candidate order. Borrowed; null without candidates.
NBFUnitContainerRef NBFAmbiguousUnitGetUnambiguousUnit(NBFAmbiguousUnitRef ambiguousUnit,
                                                       NBFUnitTypeBitmap typeBitmap,
                                                       NBFStringRef name);

#endif
