// Turns a unit-type fraction back into a unit fraction that denotes the same quantity as a
// reference fraction: for each type, the preferred unit, else the reference fraction's unit
// of that type, else the catalogue's base unit; the difference in factors becomes the extra
// multiplier.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_FROM_TYPE_FRACTION_H
#define NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_FROM_TYPE_FRACTION_H

#include <functional>

#include "NBFEvalMetadata.h"
#include "NBFMAPMContext.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NBFUnitTypeFraction.h"

struct NBFUnitCollection;
typedef NBFUnitCollection* NBFUnitCollectionRef;

// The base unit of a type, or null.
typedef std::function<NBF::UnitContainer*(NBFUnitType)> NBFBaseUnitLookup;

// A new fraction (count 1), or null when a type has no unit or a degree leaves -127..127.
NBFUnitFractionRef NBFUnitFractionCreateFromTypeFraction(const NBFBaseUnitLookup& baseUnitOfType,
                                                         NBFMAPMAccumulatorRef accumulator,
                                                         NBFUnitFractionRef referenceFraction,
                                                         const NBFEvalUnitsMap& preferredUnits,
                                                         const NBF::UnitTypeFraction& typeFraction);
// The same with the collection's base units; defined beside the unit collection.
NBFUnitFractionRef NBFUnitFractionCreateFromTypeFraction(NBFUnitCollectionRef unitCollection,
                                                         NBFMAPMAccumulatorRef accumulator,
                                                         NBFUnitFractionRef referenceFraction,
                                                         const NBFEvalUnitsMap& preferredUnits,
                                                         const NBF::UnitTypeFraction& typeFraction);

#endif
