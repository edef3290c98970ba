// Makes unit fractions: add basic units, unit containers or fractions with signed powers, set
// an extra multiplier, then ask for the fraction. Powers of one type cancel; the units added
// last show each type. The fraction is cached until the next change.
//
// Degrees are counted without wrapping: when a type's total power leaves -127..127 the builder
// gives no fraction and hasDegreeOverflow() answers true (m^100 · m^100 is refused rather than
// becoming m^-56).
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_BUILDER_H
#define NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_BUILDER_H

#include <cstdint>

#include "NBFMAPMContext.h"
#include "NBFObject.h"
#include "NBFUnit.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "mapm/m_apm.h"

namespace NBF {

class UnitFractionBuilder : public Object<UnitFractionBuilder> {
  public:
    // With its own accumulator at 100 significant digits.
    static UnitFractionBuilder* create();
    // Uses (retains) the accumulator; null gives a builder with its own.
    static UnitFractionBuilder* create(NBFMAPMAccumulatorRef accumulator);
    // With the unit or fraction added once.
    static UnitFractionBuilder* create(NBFUnit* unit);
    static UnitFractionBuilder* create(UnitContainer* unit);
    static UnitFractionBuilder* create(NBFUnitFraction* fraction);

    // power >= 0 appends the unit power times to the numerator; a negative power |power|
    // times to the denominator.
    virtual UnitFractionBuilder* addUnit(NBFUnit* unit, int8_t power) = 0;
    // The container's fraction with the power (nothing without a fraction).
    virtual UnitFractionBuilder* addUnit(UnitContainer* unit, int8_t power) = 0;
    // The fraction's units only, each repeated by its degree; its multipliers are not carried.
    // power <= 0 swaps numerator and denominator.
    virtual UnitFractionBuilder* addUnit(NBFUnitFraction* fraction, int8_t power) = 0;
    // Copies the value; null clears it.
    virtual UnitFractionBuilder* setExtraMultiplier(M_APM value) = 0;
    // Parses decimal text; null clears it.
    virtual UnitFractionBuilder* setExtraMultiplier(const char* text) = 0;
    // The multiplier of getUnitFraction(); null when there is no fraction.
    virtual M_APM multiplier() = 0;
    // Swaps numerator and denominator.
    virtual UnitFractionBuilder* invert() = 0;
    // The cached fraction, borrowed; built when something changed. Null on degree overflow.
    virtual NBFUnitFraction* getUnitFraction() = 0;
    // A type's total power (or a unit's) left -127..127 in the last build.
    virtual bool hasDegreeOverflow() = 0;

  protected:
    UnitFractionBuilder() = default;
};

}  // namespace NBF

typedef NBF::UnitFractionBuilder* NBFUnitFractionBuilderRef;

// A null builder does nothing and answers null or false.
NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreate();
NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreate(NBFMAPMAccumulatorRef accumulator);
NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreateWithBasicUnit(NBFUnit* unit);
NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreateWithContentsOfUnit(
    NBF::UnitContainer* container);
NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreateWithContentsOfUnitFraction(
    NBFUnitFraction* fraction);
NBFUnitFractionBuilderRef NBFUnitFractionBuilderRetain(NBFUnitFractionBuilderRef builder);
void NBFUnitFractionBuilderRelease(NBFUnitFractionBuilderRef builder);
void NBFUnitFractionBuilderAddUnit(NBFUnitFractionBuilderRef builder, NBFUnit* unit, int8_t power);
void NBFUnitFractionBuilderAddUnit(NBFUnitFractionBuilderRef builder, NBF::UnitContainer* unit,
                                   int8_t power);
void NBFUnitFractionBuilderAddUnit(NBFUnitFractionBuilderRef builder, NBFUnitFraction* fraction,
                                   int8_t power);
void NBFUnitFractionBuilderAddNumeratorUnit(NBFUnitFractionBuilderRef builder,
                                            NBF::UnitContainer* container);
void NBFUnitFractionBuilderAddDenominatorUnit(NBFUnitFractionBuilderRef builder,
                                              NBF::UnitContainer* container);
void NBFUnitFractionBuilderAddNumeratorUnitFraction(NBFUnitFractionBuilderRef builder,
                                                    NBFUnitFraction* fraction);
void NBFUnitFractionBuilderAddDenominatorUnitFraction(NBFUnitFractionBuilderRef builder,
                                                      NBFUnitFraction* fraction);
void NBFUnitFractionBuilderSetExtraMultiplierMAPM(NBFUnitFractionBuilderRef builder, M_APM value);
void NBFUnitFractionBuilderSetExtraMultiplierString(NBFUnitFractionBuilderRef builder,
                                                    const char* text);
M_APM NBFUnitFractionBuilderGetMultiplier(NBFUnitFractionBuilderRef builder);
void NBFUnitFractionBuilderInvert(NBFUnitFractionBuilderRef builder);
// Borrowed from the builder.
NBFUnitFraction* NBFUnitFractionBuilderGetUnitFraction(NBFUnitFractionBuilderRef builder);
// Retained for the caller.
NBFUnitFraction* NBFUnitFractionBuilderCreateUnitFraction(NBFUnitFractionBuilderRef builder);
bool NBFUnitFractionBuilderHasDegreeOverflow(NBFUnitFractionBuilderRef builder);

#endif
