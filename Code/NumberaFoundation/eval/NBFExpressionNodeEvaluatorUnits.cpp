// Units in operators: bringing two operands to one unit, converting numbers between unit
// fractions, the explicit unit conversion, and folding a fraction's extra multiplier into the
// number.
#include "NBFErrorLog.h"
#include "NBFExpressionNodeEvaluatorInternal.h"
#include "NBFMathInternal.h"
#include "NBFUnitFractionBuilder.h"
#include "NBFUnitFractionPower.h"
#include "NBFUnitFractionSimplifier.h"

using NBF::math::Lock;

namespace NBF::evaluator {

namespace {

int digitsOf(NBFExpressionNodeEvaluatorRef evaluator) {
    return NBF::math::digitsOf(evaluator->mapmContext);
}

// A scratch MAPM value for a scope; the caller holds the lock for its whole life.
class Held {
  public:
    Held() : m_value(m_apm_init()) {}
    ~Held() { m_apm_free(m_value); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    operator M_APM() const { return m_value; }

  private:
    M_APM m_value;
};

// The fraction's full factor as the exact ratio up / down: the extra multiplier and the
// factors of its numerator units over the factors of its denominator units, each factor
// itself possibly a ratio (5/9 for the degree Fahrenheit). Needs the lock.
void exactFactor(NBFUnitFractionRef fraction, M_APM up, M_APM down) {
    M_APM extra = NBFUnitFractionGetExtraMultiplier(fraction);
    m_apm_copy(up, extra ? extra : MM_One);
    m_apm_copy(down, MM_One);
    for (NBFUnit* unit : NBFUnitFractionGetNumeratorUnits(fraction)) {
        NBFUnitMultiplyExactBaseFactor(unit, up, down);
    }
    for (NBFUnit* unit : NBFUnitFractionGetDenominatorUnits(fraction)) {
        NBFUnitMultiplyExactBaseFactor(unit, down, up);
    }
}

// An offset counts only for a fraction that is that one unit: a rate of temperature change
// (°C per hour) converts by its factor alone.
M_APM offsetOf(NBFUnitFractionRef fraction) {
    if (!NBFUnitFractionHasOnlyOneUnityDegreeNumeratorUnit(fraction)) return nullptr;
    if (NBFUnitFractionGetDenominatorTotalDegree(fraction) != 0) return nullptr;
    return NBFUnitFractionGetOffsetMAPMReference(fraction);
}

// A builder over the evaluator's accumulator, for the combined unit of two operands.
NBF::Ref<NBF::UnitFractionBuilder> builderFor(NBFExpressionNodeEvaluatorRef evaluator) {
    return NBF::Ref<NBF::UnitFractionBuilder>::adopt(
        NBFUnitFractionBuilderCreate(evaluator->accumulator));
}

// left · right^power (power ±1) with the operands' extra multipliers carried over, which the
// builder would drop. Null with NBFEvaluationErrorExponentTooLarge when a degree overflows.
FractionRef combinedFraction(NBFExpressionNodeEvaluatorRef evaluator, NBFUnitFractionRef left,
                             NBFUnitFractionRef right, int8_t power, NBFEvaluationError* error) {
    auto builder = builderFor(evaluator);
    if (left) builder->addUnit(left, 1);
    builder->addUnit(right, power);
    M_APM leftExtra = NBFUnitFractionGetExtraMultiplier(left);
    M_APM rightExtra = NBFUnitFractionGetExtraMultiplier(right);
    if (leftExtra || rightExtra) {
        Lock lock;
        Held extra;
        m_apm_copy(extra, leftExtra ? leftExtra : MM_One);
        if (rightExtra && power > 0) m_apm_multiply(extra, extra, rightExtra);
        if (rightExtra && power < 0) m_apm_divide(extra, digitsOf(evaluator), extra, rightExtra);
        builder->setExtraMultiplier(extra);
    }
    NBFUnitFractionRef fraction = builder->getUnitFraction();
    if (!fraction) {
        *error = NBFEvaluationErrorExponentTooLarge;
        return FractionRef();
    }
    return FractionRef::retainOf(fraction);
}

// The fraction rebuilt with the number as its scale ("in 2 m"); itself for the number 1.
FractionRef scaledFraction(NBFExpressionNodeEvaluatorRef evaluator, NBFUnitFractionRef fraction,
                           NBFNumberRef number) {
    M_APM scale = NBFNumberGetMAPMReference(number);
    Lock lock;
    if (!scale || m_apm_compare(scale, MM_One) == 0) return FractionRef::retainOf(fraction);
    Held extra;
    M_APM oldExtra = NBFUnitFractionGetExtraMultiplier(fraction);
    m_apm_multiply(extra, scale, oldExtra ? oldExtra : MM_One);
    auto builder = builderFor(evaluator);
    builder->addUnit(fraction, 1);
    builder->setExtraMultiplier(extra);
    return FractionRef::retainOf(builder->getUnitFraction());
}

// A quotient of units: units above the line and below it (miles per gallon, litres per km).
bool isRatio(NBFUnitFractionRef fraction) {
    return NBFUnitFractionGetNumeratorTotalDegree(fraction) > 0 &&
           NBFUnitFractionGetDenominatorTotalDegree(fraction) > 0;
}

}  // namespace

FractionRef simplifiedFraction(NBFExpressionNodeEvaluatorRef evaluator,
                               NBFUnitFractionRef fraction) {
    if (!evaluator->simplifier || !fraction) return FractionRef::retainOf(fraction);
    // A fraction already in simplest types stays as it is: rebuilding it would only bring in
    // a rounded extra multiplier (km/h through 1000/3600 and back).
    NBF::UnitTypeFraction types(fraction);
    if (evaluator->simplifier->simplify(types).stringRepresentation() ==
        types.stringRepresentation()) {
        return FractionRef::retainOf(fraction);
    }
    NBFUnitFractionRef simplified =
        NBFUnitFractionSimplifierSimplifyUnitFraction(evaluator->simplifier, fraction);
    return simplified ? FractionRef::adopt(simplified) : FractionRef::retainOf(fraction);
}

bool convertUnit(NBFExpressionNodeEvaluatorRef evaluator, M_APM x, NBFUnitFractionRef from,
                 NBFUnitFractionRef to, M_APM result, NBFEvaluationError* error) {
    bool inverse = false;
    // Only a ratio turns into its reciprocal ratio: fuel used per distance and distance per
    // fuel measure one thing. A unit never becomes its reciprocal (per cup into millilitres,
    // seconds into hertz): that would answer with a number of another quantity.
    if (!x || !NBFUnitFractionTypesCompare(from, to, &inverse) ||
        (inverse && !(isRatio(from) && isRatio(to)))) {
        *error = NBFEvaluationErrorUnitMismatch;
        return false;
    }
    Lock lock;
    // The quotient of exact products, divided once: 36 km/h is exactly 10 m/s.
    Held base, fromUp, fromDown, toUp, toDown, numerator, denominator;
    exactFactor(from, fromUp, fromDown);
    exactFactor(to, toUp, toDown);
    M_APM fromOffset = offsetOf(from);
    if (fromOffset) {
        m_apm_add(base, x, fromOffset);
    } else {
        m_apm_copy(base, x);
    }
    if (!inverse) {
        // base · fromUp · toDown / (fromDown · toUp)
        m_apm_multiply(numerator, base, fromUp);
        m_apm_multiply(numerator, numerator, toDown);
        m_apm_multiply(denominator, fromDown, toUp);
    } else {
        // 1 / (base · fromUp / fromDown) / (toUp / toDown)
        m_apm_multiply(numerator, fromDown, toDown);
        m_apm_multiply(denominator, base, fromUp);
        m_apm_multiply(denominator, denominator, toUp);
    }
    if (m_apm_sign(denominator) == 0) {
        *error = inverse ? NBFEvaluationErrorDivisionByZero : NBFEvaluationErrorUnitMismatch;
        return false;
    }
    m_apm_divide(result, digitsOf(evaluator), numerator, denominator);
    if (M_APM toOffset = offsetOf(to)) m_apm_subtract(result, result, toOffset);
    return true;
}

bool convertToUnitOf(NBFExpressionNodeEvaluatorRef evaluator, M_APM x, NBFUnitFractionRef from,
                     NBFUnitFractionRef to, M_APM result, FractionRef* target,
                     NBFEvaluationError* error) {
    // Units of the same types convert exactly as they are; others meet in their simplified
    // types (a litre and cubic metres, a knot and km/h).
    if (NBFUnitFractionTypesCompare(from, to, nullptr)) {
        if (target) *target = FractionRef::retainOf(to);
        return convertUnit(evaluator, x, from, to, result, error);
    }
    FractionRef fromSimplified = simplifiedFraction(evaluator, from);
    FractionRef toSimplified = simplifiedFraction(evaluator, to);
    bool ok = convertUnit(evaluator, x, fromSimplified.get(), toSimplified.get(), result, error);
    if (ok && target) *target = std::move(toSimplified);
    return ok;
}

NBFValueRef flattenedValue(M_APM number, NBFNumberType type, NBFUnitFractionRef unit,
                           NBFEvaluationError* error) {
    Lock lock;
    FractionRef kept;
    Held flattened;
    if (M_APM extra = NBFUnitFractionGetExtraMultiplier(unit)) {
        m_apm_multiply(flattened, number, extra);
        kept = FractionRef::adopt(NBFUnitFractionCopyWithoutExtraMultiplier(unit));
    } else {
        m_apm_copy(flattened, number);
        kept = FractionRef::retainOf(unit);
    }
    if (kept && NBFUnitFractionIsScalar(kept.get())) kept = FractionRef();
    if (NBF_mapm_exceeds_magnitude_limit(flattened)) {
        *error = NBFEvaluationErrorExponentTooLarge;
        return nullptr;
    }
    return NBFValueCreate_TransferOwnership(NBFNumberCreateWithMAPM(flattened, type), kept.leak());
}

NBFValueRef valueInUnitsOf(NBFExpressionNodeEvaluatorRef evaluator, M_APM number,
                           NBFNumberType type, NBFUnitFractionRef from, NBFUnitFractionRef to,
                           NBFEvaluationError* error) {
    if (from == to || !from || !to) return flattenedValue(number, type, to, error);
    FractionRef visible = NBFUnitFractionHasExtraMultiplier(to)
                              ? FractionRef::adopt(NBFUnitFractionCopyWithoutExtraMultiplier(to))
                              : FractionRef::retainOf(to);
    Held scaled;
    {
        Lock lock;
        // number · from's factors / the visible units' factors, divided once.
        Held fromUp, fromDown, toUp, toDown, numerator, denominator;
        exactFactor(from, fromUp, fromDown);
        exactFactor(visible.get(), toUp, toDown);
        m_apm_multiply(numerator, number, fromUp);
        m_apm_multiply(numerator, numerator, toDown);
        m_apm_multiply(denominator, fromDown, toUp);
        if (m_apm_sign(denominator) == 0) return flattenedValue(number, type, to, error);
        if (m_apm_compare(denominator, MM_One) == 0) {
            m_apm_copy(scaled, numerator);
        } else {
            m_apm_divide(scaled, digitsOf(evaluator), numerator, denominator);
        }
    }
    return flattenedValue(scaled, type, visible.get(), error);
}

bool coerceOperands(NBFExpressionNodeEvaluatorRef evaluator, NBFOperatorType operatorType,
                    NBFValueRef left, NBFValueRef right, CoercedOperands& out,
                    NBFEvaluationError* error) {
    NBFUnitFractionRef leftUnit = NBFValueGetUnitFraction(left);
    NBFUnitFractionRef rightUnit = NBFValueGetUnitFraction(right);
    out.left = NumberRef::retainOf(NBFValueGetNumber(left));
    out.right = NumberRef::retainOf(NBFValueGetNumber(right));
    bool dividing = operatorType == NBFOperatorTypeDivide || operatorType == NBFOperatorTypeE10;
    if (!leftUnit && !rightUnit) return true;
    if (leftUnit && !rightUnit) {
        if (operatorType != NBFOperatorTypePower) {
            out.unit = FractionRef::retainOf(leftUnit);
            return true;
        }
        // The unit takes the power the body computes: a percentage exponent as its fraction.
        M_APM exponent = m_apm_init_mt();
        {
            Lock lock;
            NBF::math::loadAsFraction(exponent, out.right.get());
        }
        out.unit = FractionRef::adopt(NBFUnitFractionCreateWithPower(leftUnit, exponent, error));
        m_apm_free_mt(exponent);
        return static_cast<bool>(out.unit);
    }
    if (!leftUnit) {
        if (!dividing) {
            out.unit = FractionRef::retainOf(rightUnit);
            return true;
        }
        out.unit = combinedFraction(evaluator, nullptr, rightUnit, -1, error);
        return static_cast<bool>(out.unit);
    }
    switch (operatorType) {
        case NBFOperatorTypeAdd:
        case NBFOperatorTypeSubtract: {
            FractionRef leftSimplified = simplifiedFraction(evaluator, leftUnit);
            FractionRef rightSimplified = simplifiedFraction(evaluator, rightUnit);
            M_APM converted = m_apm_init_mt();
            bool ok = convertUnit(evaluator, NBFNumberGetMAPMReference(out.left.get()),
                                  leftSimplified.get(), rightSimplified.get(), converted, error);
            if (ok) {
                out.left =
                    NumberRef::adopt(NBFNumberCreateWithMAPM(converted, NBFNumberTypeNumber));
                out.unit = std::move(rightSimplified);
            }
            m_apm_free_mt(converted);
            return ok;
        }
        case NBFOperatorTypeMultiply:
            out.unit = combinedFraction(evaluator, leftUnit, rightUnit, 1, error);
            return static_cast<bool>(out.unit);
        case NBFOperatorTypeDivide:
        case NBFOperatorTypeE10:
            out.unit = combinedFraction(evaluator, leftUnit, rightUnit, -1, error);
            return static_cast<bool>(out.unit);
        default:
            NBF_LOG_ERROR("Operator %d cannot combine two operands with units",
                          static_cast<int>(operatorType));
            return false;
    }
}

}  // namespace NBF::evaluator

using namespace NBF::evaluator;

NBFValueRef NBFExpressionNodeEvaluatorUnitConvert(NBFExpressionNodeEvaluatorRef evaluator,
                                                  NBFValueRef value, NBFValueRef target,
                                                  NBFEvaluationError* error) {
    NBFEvaluationError ignored;
    if (!error) error = &ignored;
    *error = NBFEvaluationErrorNone;
    if (!evaluator || !value || !target) return nullptr;
    bool failed = false;
    NBFValueRef special = specialNumberResult(evaluator, value, target,
                                              NBFOperatorTypeUnitConversion, error, &failed);
    if (special || failed) return special;
    NBFUnitFractionRef targetUnit = NBFValueGetUnitFraction(target);
    if (!targetUnit) {
        *error = NBFEvaluationErrorConversionWithoutTarget;
        return nullptr;
    }
    FractionRef to = scaledFraction(evaluator, targetUnit, NBFValueGetNumber(target));
    M_APM number = NBFNumberGetMAPMReference(NBFValueGetNumber(value));
    M_APM converted = m_apm_init_mt();
    bool ok = true;
    if (NBFUnitFractionRef from = NBFValueGetUnitFraction(value)) {
        ok = convertToUnitOf(evaluator, number, from, to.get(), converted, nullptr, error);
    } else {
        m_apm_copy_mt(converted, number);
    }
    NBFValueRef result =
        ok ? flattenedValue(converted, NBFNumberTypeNumber, to.get(), error) : nullptr;
    m_apm_free_mt(converted);
    return result;
}
