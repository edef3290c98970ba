// Rewrites the unit of a value into base unit types by applying the unit type factorings
// backwards (velocity becomes length over time, a hectare square metres), then builds a unit
// fraction for the result that denotes the same quantity. The evaluator simplifies every
// answer before the factorizer presents it, and both operands of a conversion, so that units
// of derived types (litres, hectares, km/h) meet units of base types.
//
// A simplifier holds an accumulator, so one evaluation uses it at a time.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_SIMPLIFIER_H
#define NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_SIMPLIFIER_H

#include <cstdint>

#include "NBFObject.h"
#include "NBFUnitFraction.h"
#include "NBFUnitFractionFromTypeFraction.h"
#include "NBFUnitTypeFactorings.h"
#include "NBFUnitTypeFraction.h"

namespace NBF {

class UnitFractionSimplifier : public Object<UnitFractionSimplifier> {
  public:
    // With the current factorings (UnitTypeFactorings::instance()) and 100 significant digits.
    static UnitFractionSimplifier* create(NBFUnitCollectionRef collection);
    // Null factorings mean the current ones.
    static UnitFractionSimplifier* create(NBFUnitCollectionRef collection,
                                          UnitTypeFactorings* factorings);
    static UnitFractionSimplifier* create(NBFUnitCollectionRef collection,
                                          UnitTypeFactorings* factorings, uint16_t precision);

    // The same dimension in base unit types: every type that is not a base type and has a
    // decomposition ends at degree 0. Each round moves one such degree a step towards 0, so
    // the rewriting always ends (and stops after 1000 rounds whatever the table).
    virtual UnitTypeFraction simplify(const UnitTypeFraction& typeFraction) const = 0;
    // A new fraction (the caller releases it) in the simplified types, denoting the same
    // quantity as the fraction; null for a null fraction or when a type has no unit at all.
    virtual NBFUnitFraction* createSimplifiedUnitFraction(NBFUnitFraction* fraction) = 0;
    // A new fraction in the types of the type fraction: for each type the fraction's unit of
    // that type, else the collection's base unit; the fraction's multiplier is kept.
    virtual NBFUnitFraction* createUnitFraction(NBFUnitFraction* fraction,
                                                const UnitTypeFraction& typeFraction) = 0;

  protected:
    UnitFractionSimplifier() = default;
};

}  // namespace NBF

typedef NBF::UnitFractionSimplifier* NBFUnitFractionSimplifierRef;

NBFUnitFractionSimplifierRef NBFUnitFractionSimplifierCreate(NBFUnitCollectionRef collection);
NBFUnitFractionSimplifierRef NBFUnitFractionSimplifierRetain(
    NBFUnitFractionSimplifierRef simplifier);
void NBFUnitFractionSimplifierRelease(NBFUnitFractionSimplifierRef simplifier);
// createSimplifiedUnitFraction; null for a null simplifier.
NBFUnitFractionRef NBFUnitFractionSimplifierSimplifyUnitFraction(
    NBFUnitFractionSimplifierRef simplifier, NBFUnitFractionRef fraction);

#endif
