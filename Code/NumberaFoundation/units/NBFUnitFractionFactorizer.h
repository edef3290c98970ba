// Decides how the unit of an answer is shown: after simplification into base types, it
// searches every type fraction the factorings reach (length³ as volume, length per time as
// velocity), weighs each against the units the expression preferred or required, and builds
// the best one that the available units can express.
//
// A factorizer holds an accumulator, so one evaluation uses it at a time. Every function
// accepts a null factorizer and then answers null, empty or the lowest weight.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_FACTORIZER_H
#define NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_FACTORIZER_H

#include <cstdint>
#include <vector>

#include "NBFEvalMetadata.h"
#include "NBFUnitFraction.h"
#include "NBFUnitFractionFromTypeFraction.h"
#include "NBFUnitTypeFactorings.h"
#include "NBFUnitTypeFraction.h"

struct NBFUnitFractionFactorizer;
typedef NBFUnitFractionFactorizer* NBFUnitFractionFactorizerRef;

// With the current factorings (NBF::UnitTypeFactorings::instance()).
NBFUnitFractionFactorizerRef NBFUnitFractionFactorizerCreate(NBFUnitCollectionRef collection);
// Retains the collection and the factorings; null factorings mean the current ones.
NBFUnitFractionFactorizerRef NBFUnitFractionFactorizerCreate(NBFUnitCollectionRef collection,
                                                             NBF::UnitTypeFactorings* factorings);
NBFUnitFractionFactorizerRef NBFUnitFractionFactorizerRetain(
    NBFUnitFractionFactorizerRef factorizer);
void NBFUnitFractionFactorizerRelease(NBFUnitFractionFactorizerRef factorizer);

// Every type fraction reachable from the start through the factorings, in breadth-first order,
// the start itself left out. The search stops after 4096 fractions, which only answers with
// powers around 10 of several types reach.
std::vector<NBF::UnitTypeFraction> NBFUnitFractionFactorizerFindAllFactorizations(
    NBFUnitFractionFactorizerRef factorizer, const NBF::UnitTypeFraction& typeFraction);

// The weight of presenting a value in the type fraction: required types count most, preferred
// ones little, frequencies in a denominator are shunned, trivial factorings are favoured. A
// scalar type fraction weighs the lowest 32-bit integer.
int32_t NBFUnitFractionFactorizerScoreFactorization(NBFUnitFractionFactorizerRef factorizer,
                                                    const NBF::UnitTypeFraction& typeFraction,
                                                    const NBFEvalUnitsMap& preferredUnits,
                                                    const NBFEvalUnitsMap& requiredUnits);

// A new fraction (the caller releases it) for the best-weighted candidate that the units can
// express: the fraction's factorizations, the fraction's own types, the evaluated fraction's
// types. Units come from the required map, else the preferred map, else the evaluated
// fraction, else the collection's base units; the result denotes the evaluated fraction's
// quantity (the difference is its extra multiplier). Null when no candidate can be built.
NBFUnitFractionRef NBFUnitFractionFactorizerUndecompose(NBFUnitFractionFactorizerRef factorizer,
                                                        NBFUnitFractionRef fraction,
                                                        const NBFEvalUnitsMap& preferredUnits,
                                                        const NBFEvalUnitsMap& requiredUnits,
                                                        NBFUnitFractionRef evaluatedFraction);
// Voltage and resistance are base types of the standard table, which shows an answer of either
// in a unit of its own. Where the factorings decompose them (the experimental table), an
// evaluated fraction that the standard table takes to one voltage or one resistance, or that
// is one of them in base types (a sum is in its second operand's simplified unit), gives a new
// fraction of that one unit (the caller releases it): the unit the metadata requires for the
// type, else the one it prefers, else the evaluated fraction's, else the base unit, denoting
// the evaluated fraction's quantity. Null for any other fraction, when the metadata requires
// units of other types, and where both are base types.
NBFUnitFractionRef NBFUnitFractionFactorizerCreateElectricalUnitFraction(
    NBFUnitFractionFactorizerRef factorizer, NBFUnitFractionRef evaluatedFraction,
    NBFEvalMetadataRef metadata);

// The fraction is its own evaluated fraction (as it is for a null evaluated fraction above).
NBFUnitFractionRef NBFUnitFractionFactorizerUndecompose(NBFUnitFractionFactorizerRef factorizer,
                                                        NBFUnitFractionRef fraction,
                                                        const NBFEvalUnitsMap& preferredUnits,
                                                        const NBFEvalUnitsMap& requiredUnits);

#endif
