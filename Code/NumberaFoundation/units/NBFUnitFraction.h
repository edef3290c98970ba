// A unit fraction: basic units with signed integer powers (a numerator and a denominator) and
// the multiplier that converts a quantity in these units to the base units of their types.
// Fractions are immutable and are made by the unit fraction builder; every change makes a new
// fraction.
//
// Three numbers: the multiplier is the whole factor to base units; the unit multiplier is the
// part carried by the units that remain visible; the extra multiplier is the rest (factors of
// cancelled units and the builder's extra multiplier), absent when it is 1. km/m has no units
// and an extra multiplier of 1000.
//
// Queries accept a null fraction and answer 0, false, null or empty. Units and values handed
// out are borrowed from the fraction.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_H
#define NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "NBFUnit.h"
#include "NBFUnitType.h"
#include "mapm/m_apm.h"

struct NBFUnitFraction;
typedef NBFUnitFraction* NBFUnitFractionRef;

// Unit powers keyed by unit identifier, so two unit objects with one identifier are one unit.
typedef std::map<NBFUnit*, int8_t, NBF::UniqueObj> NBFUnitDegreeMap;
typedef std::map<NBFUnitType, int8_t> NBFUnitTypeDegreeMap;
typedef std::map<NBFUnitType, NBFUnit*> NBFUnitsByTypeMap;

// The builder's way of making a fraction. unitDegrees: each distinct unit with its power (a
// degree of 0 contributes nothing); unitsByType: the unit shown for each type. Multipliers
// may be null; a null multiplier means 1. Everything is copied and the units retained.
NBFUnitFractionRef NBFUnitFractionCreateWithComponents(const NBFUnitDegreeMap& unitDegrees,
                                                       const NBFUnitsByTypeMap& unitsByType,
                                                       M_APM unitMultiplier, M_APM extraMultiplier,
                                                       M_APM multiplier);
NBFUnitFractionRef NBFUnitFractionRetain(NBFUnitFractionRef fraction);
void NBFUnitFractionRelease(NBFUnitFractionRef fraction);
// A fraction from the numerator and denominator units alone: the multiplier is recomputed
// from the units and any extra multiplier dropped. Null gives null. Fractions never change, so
// the answer is kept and handed out again until some unit's base factor changes; a copy's
// copy is the copy itself.
NBFUnitFractionRef NBFUnitFractionCopyWithRecomputedMultiplier(NBFUnitFractionRef fraction);
NBFUnitFractionRef NBFUnitFractionCopy(NBFUnitFractionRef fraction);
NBFUnitFractionRef NBFUnitFractionCopyWithoutExtraMultiplier(NBFUnitFractionRef fraction);

// The type's signed power, 0 when absent.
int8_t NBFUnitFractionGetUnitDegree(NBFUnitFractionRef fraction, NBFUnitType type);
NBFUnit* NBFUnitFractionGetOnlyNumeratorUnitOfType(NBFUnitFractionRef fraction, NBFUnitType type);
NBFUnit* NBFUnitFractionGetOnlyDenominatorUnitOfType(NBFUnitFractionRef fraction, NBFUnitType type);
// Each unit repeated as often as its power.
std::vector<NBFUnit*> NBFUnitFractionGetNumeratorUnits(NBFUnitFractionRef fraction);
std::vector<NBFUnit*> NBFUnitFractionGetDenominatorUnits(NBFUnitFractionRef fraction);
std::vector<NBFUnit*> NBFUnitFractionGetNumeratorUnitsOfType(NBFUnitFractionRef fraction,
                                                             NBFUnitType type);
std::vector<NBFUnit*> NBFUnitFractionGetDenominatorUnitsOfType(NBFUnitFractionRef fraction,
                                                               NBFUnitType type);
// One unit per type that occurred while building, cancelled types included.
NBFUnitsByTypeMap NBFUnitFractionGetUnitsByType(NBFUnitFractionRef fraction);
// The distinct units, in identifier order.
const std::vector<NBFUnit*>& NBFUnitFractionGetUnits(NBFUnitFractionRef fraction);
NBFUnitTypeDegreeMap NBFUnitFractionGetDegrees(NBFUnitFractionRef fraction);
// Power of each distinct unit.
NBFUnitDegreeMap NBFUnitFractionGetUnitDegrees(NBFUnitFractionRef fraction);

M_APM NBFUnitFractionGetMultiplier(NBFUnitFractionRef fraction);       // never null for a fraction
M_APM NBFUnitFractionGetExtraMultiplier(NBFUnitFractionRef fraction);  // null when 1
bool NBFUnitFractionHasExtraMultiplier(NBFUnitFractionRef fraction);
M_APM NBFUnitFractionGetUnitMultiplier(NBFUnitFractionRef fraction);  // null without units

// Exactly one of the numerator's per-type units has an offset (a temperature scale).
bool NBFUnitFractionHasOnlyOneOffsetNumeratorUnit(NBFUnitFractionRef fraction);
M_APM NBFUnitFractionGetOffsetMAPMReference(NBFUnitFractionRef fraction);

int32_t NBFUnitFractionGetNumeratorTotalDegree(NBFUnitFractionRef fraction);
int32_t NBFUnitFractionGetDenominatorTotalDegree(NBFUnitFractionRef fraction);
int32_t NBFUnitFractionCountNumeratorUnits(NBFUnitFractionRef fraction);    // types
int32_t NBFUnitFractionCountDenominatorUnits(NBFUnitFractionRef fraction);  // types
bool NBFUnitFractionHasOnlyOneUnityDegreeNumeratorUnit(NBFUnitFractionRef fraction);
NBFUnit* NBFUnitFractionGetOnlyNumeratorUnit(NBFUnitFractionRef fraction);
// No units at all.
bool NBFUnitFractionIsScalar(NBFUnitFractionRef fraction);

// Velocity, comp throughput and frequency are recognised from their parts; a single unit of
// power 1 gives its type; otherwise 1 with units, 0 without.
NBFUnitType NBFUnitFractionGetUnitType(NBFUnitFractionRef fraction);
// Same type, or (with *inverse set) the inverse type. False when either is null.
bool NBFUnitFractionTypesCompare(NBFUnitFractionRef a, NBFUnitFractionRef b, bool* inverse);
// Same type (not inverse) and equal multipliers; both null is true.
bool NBFUnitFractionIsEqualToUnitFraction(NBFUnitFractionRef a, NBFUnitFractionRef b);
// The type-fraction key of its degrees ("[length:1][time:-1]"); empty for null.
std::string NBFUnitFractionGetStringRepresentation(NBFUnitFractionRef fraction);

#endif
