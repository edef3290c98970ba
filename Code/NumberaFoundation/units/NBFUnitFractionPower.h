// Powers and roots of unit fractions. A result is given only when every unit degree times the
// exponent is a whole number within -127..127: (m²)^0.5 is m, while m^0.5 and m^200 are refused
// rather than losing the unit or wrapping the degree.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_POWER_H
#define NUMBERA_FOUNDATION_NBF_UNIT_FRACTION_POWER_H

#include <cstdint>

#include "NBFEvaluationError.h"
#include "NBFUnitFraction.h"
#include "mapm/m_apm.h"

// A new fraction (count 1) for fraction^exponent, its multiplier the original's to the power.
// A degree product within 1e-50 of a whole number counts as whole, so an exponent of 1/3 written
// to a hundred digits still takes the cube root of m³. Null with *error set to
// NBFEvaluationErrorRootOfUnit (a fractional degree) or NBFEvaluationErrorExponentTooLarge (a
// degree beyond 127); null without error for a null fraction.
NBFUnitFractionRef NBFUnitFractionCreateWithPower(NBFUnitFractionRef fraction, M_APM exponent,
                                                  NBFEvaluationError* error);
// The root-th root (root >= 1): every degree must be divisible by root.
NBFUnitFractionRef NBFUnitFractionCreateWithRoot(NBFUnitFractionRef fraction, int32_t root,
                                                 NBFEvaluationError* error);

#endif
