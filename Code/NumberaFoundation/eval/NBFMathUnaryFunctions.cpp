// Rounding, exponential, logarithms, roots, num and the special constants.
#include "NBFMathInternal.h"
#include "NBFUnitFractionPower.h"

using namespace NBF::math;

namespace {

// Rounding bodies: register 0 from x, with register 1 as scratch. Needs the lock.
typedef void (*RoundingBody)(M_APM* registers, M_APM x, int digits);

// The rounding family keeps the number type (a percentage stays one) and the unit.
NBFValueRef rounding(RoundingBody body, const NBFValueRef* arguments, int32_t count,
                     NBFMAPMContextRef mapm) {
    NBFNumberRef number = firstNumber(arguments, count);
    if (!number || !mapm) return nullptr;
    if (NBFNumberGetType(number) == NBFNumberTypeSpecial) {
        return specialValue(NBFNumberSpecialTypeNaN);
    }
    if (!ordinaryNumber(arguments, count)) return nullptr;
    Lock lock;
    body(mapm->registers, NBFNumberGetMAPMReference(number), digitsOf(mapm));
    return numberValue(mapm->registers[0], NBFNumberGetType(number),
                       NBFValueGetUnitFraction(arguments[0]));
}

void absBody(M_APM* r, M_APM x, int) { m_apm_absolute_value(r[0], x); }

// Rounding to the precision first keeps 2.99…9 (as many nines as digits) from flooring to 2.
void floorBody(M_APM* r, M_APM x, int digits) {
    m_apm_round(r[1], digits, x);
    m_apm_floor(r[0], r[1]);
}

void ceilBody(M_APM* r, M_APM x, int digits) {
    m_apm_round(r[1], digits, x);
    m_apm_ceil(r[0], r[1]);
}

void truncBody(M_APM* r, M_APM x, int digits) {
    m_apm_round(r[1], digits, x);
    if (m_apm_sign(x) < 0) {
        m_apm_ceil(r[0], r[1]);
    } else {
        m_apm_floor(r[0], r[1]);
    }
}

void roundBody(M_APM* r, M_APM x, int) { NBF_mapm_round(r[0], 0, x); }

enum class Logarithm { Natural, Decimal, Binary };

NBFValueRef logarithm(Logarithm kind, const NBFValueRef* arguments, int32_t count,
                      NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    NBFNumberRef number = firstNumber(arguments, count);
    if (!number || !mapm) return nullptr;
    if (NBFNumberGetType(number) == NBFNumberTypeSpecial) {
        return specialValue(NBFNumberSpecialTypeNaN);
    }
    if (!ordinaryNumber(arguments, count)) return nullptr;
    int digits = digitsOf(mapm);
    int places = digits + kGuardDigits;
    Lock lock;
    M_APM* r = mapm->registers;
    loadAsFraction(r[3], number);
    int sign = m_apm_sign(r[3]);
    if (sign == 0) return specialValue(NBFNumberSpecialTypeNegativeInfinity);
    if (sign < 0) {
        setError(context, NBFEvaluationErrorLogarithmOfNegative);
        return specialValue(NBFNumberSpecialTypeNaN);
    }
    switch (kind) {
        case Logarithm::Natural:
            m_apm_log(r[0], places, r[3]);
            break;
        case Logarithm::Decimal:
            m_apm_log10(r[0], places, r[3]);
            break;
        case Logarithm::Binary:
            m_apm_log(r[1], places, r[3]);
            m_apm_log(r[2], places, MM_Two);
            m_apm_divide(r[0], places, r[1], r[2]);
            break;
    }
    m_apm_round(r[0], digits, r[0]);
    NBF_mapm_truncate_tiny_number(r[0], digits, true);
    return numberValue(r[0], NBFNumberTypeNumber, nullptr);
}

NBFValueRef root(int32_t degree, const NBFValueRef* arguments, int32_t count,
                 NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    NBFNumberRef number = firstNumber(arguments, count);
    if (!number || !mapm) return nullptr;
    if (NBFNumberGetType(number) == NBFNumberTypeSpecial) {
        return specialValue(NBFNumberSpecialTypeNaN);
    }
    if (!ordinaryNumber(arguments, count)) return nullptr;
    M_APM* r = mapm->registers;
    {
        Lock lock;
        loadAsFraction(r[1], number);
        if (degree == 2 && m_apm_sign(r[1]) < 0) return specialValue(NBFNumberSpecialTypeNaN);
    }
    NBFUnitFractionRef rooted = nullptr;
    if (NBFUnitFractionRef fraction = NBFValueGetUnitFraction(arguments[0])) {
        NBFEvaluationError error = NBFEvaluationErrorNone;
        rooted = NBFUnitFractionCreateWithRoot(fraction, degree, &error);
        if (!rooted) {
            setError(context,
                     error != NBFEvaluationErrorNone ? error : NBFEvaluationErrorRootOfUnit);
            return nullptr;
        }
    }
    Lock lock;
    if (degree == 2) {
        m_apm_sqrt(r[0], digitsOf(mapm), r[1]);
    } else {
        m_apm_cbrt(r[0], digitsOf(mapm), r[1]);  // negative for a negative argument
    }
    bool keepsUnit = !NBFUnitFractionIsScalar(rooted) || NBFUnitFractionHasExtraMultiplier(rooted);
    NBFValueRef value = numberValue(r[0], NBFNumberTypeNumber, keepsUnit ? rooted : nullptr);
    NBFUnitFractionRelease(rooted);
    return value;
}

}  // namespace

NBFValueRef NBFMAPM_abs(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                        NBFEvaluationContextRef) {
    return rounding(absBody, arguments, count, mapm);
}

NBFValueRef NBFMAPM_floor(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                          NBFEvaluationContextRef) {
    return rounding(floorBody, arguments, count, mapm);
}

NBFValueRef NBFMAPM_ceil(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                         NBFEvaluationContextRef) {
    return rounding(ceilBody, arguments, count, mapm);
}

NBFValueRef NBFMAPM_round(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                          NBFEvaluationContextRef) {
    return rounding(roundBody, arguments, count, mapm);
}

NBFValueRef NBFMAPM_trunc(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                          NBFEvaluationContextRef) {
    return rounding(truncBody, arguments, count, mapm);
}

NBFValueRef NBFMAPM_exp(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                        NBFEvaluationContextRef context) {
    NBFNumberRef number = firstNumber(arguments, count);
    if (!number || !mapm) return nullptr;
    if (NBFNumberGetType(number) == NBFNumberTypeSpecial) {
        switch (NBFNumberGetSpecialType(number)) {
            case NBFNumberSpecialTypeInfinity:
                return specialValue(NBFNumberSpecialTypeInfinity);
            case NBFNumberSpecialTypeNegativeInfinity:
                return NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(0, 1));
            default:
                return specialValue(NBFNumberSpecialTypeNaN);
        }
    }
    if (!ordinaryNumber(arguments, count)) return nullptr;
    Lock lock;
    M_APM* r = mapm->registers;
    loadAsFraction(r[1], number);
    // From x = -10^6 down the answer is 0, although the layer would give e^x itself (within
    // the magnitude bound as far as about -2.3 × 10^6).
    if (m_apm_sign(r[1]) < 0 && m_apm_exponent(r[1]) >= 6) {
        return NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(0, 1));
    }
    // Past the bound e^x is either computed and then seen to be, or refused by the layer.
    m_apm_clear_refusal();
    m_apm_exp(r[0], digitsOf(mapm), r[1]);
    if (m_apm_refused() || NBF_mapm_exceeds_magnitude_limit(r[0])) {
        setError(context, NBFEvaluationErrorExponentTooLarge);
        return nullptr;
    }
    return numberValue(r[0], NBFNumberTypeNumber, nullptr);
}

NBFValueRef NBFMAPM_ln(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                       NBFEvaluationContextRef context) {
    return logarithm(Logarithm::Natural, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_log(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                        NBFEvaluationContextRef context) {
    return logarithm(Logarithm::Decimal, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_log2(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                         NBFEvaluationContextRef context) {
    return logarithm(Logarithm::Binary, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_sqrt(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                         NBFEvaluationContextRef context) {
    return root(2, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_cbrt(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                         NBFEvaluationContextRef context) {
    return root(3, arguments, count, mapm, context);
}

void NBFMAPM_num(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                 NBFEvaluationContextRef context) {
    if (!mapm) return;
    NBFNumberRef number = ordinaryNumber(arguments, count);
    Lock lock;
    if (!number) {
        m_apm_copy(mapm->registers[0], MM_Zero);
        setSpecialResult(context, NBFNumberSpecialTypeNaN);
        return;
    }
    m_apm_copy(mapm->registers[0], NBFNumberGetMAPMReference(number));
}

NBFValueRef NBFMAPM_infinity(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                             NBFEvaluationContextRef) {
    return specialValue(NBFNumberSpecialTypeInfinity);
}

NBFValueRef NBFMAPM_negative_infinity(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                                      NBFEvaluationContextRef) {
    return specialValue(NBFNumberSpecialTypeNegativeInfinity);
}

NBFValueRef NBFMAPM_nan(const NBFValueRef*, int32_t, NBFMAPMContextRef, NBFEvaluationContextRef) {
    return specialValue(NBFNumberSpecialTypeNaN);
}
