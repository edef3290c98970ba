// Circular functions and their inverses.
#include <algorithm>

#include "NBFMathInternal.h"

using namespace NBF::math;

namespace {

typedef void (*MAPMFunction)(M_APM result, int places, M_APM x);

// Loads the argument as an angle in radians at `places`. In degree mode the angle is first
// reduced exactly to 0..360 (into reducedDegrees when given), so whole turns cost no
// precision. False for an argument that is not an ordinary number or beyond the magnitude
// bound; radians too large to place in their period are left to the decimal layer, which
// refuses them. Needs the lock.
bool loadRadians(M_APM radians, M_APM reducedDegrees, const NBFValueRef* arguments, int32_t count,
                 NBFEvaluationContextRef context, int places) {
    NBFNumberRef number = ordinaryNumber(arguments, count);
    if (!number) return false;
    M_APM x = m_apm_init();
    loadAsFraction(x, number);
    // The reduction of degrees below divides at as many places as the argument has integer
    // digits, which the layer would do however many that is.
    if (NBF_mapm_exceeds_magnitude_limit(x)) {
        m_apm_free(x);
        return false;
    }
    if (isDegreeMode(context)) {
        M_APM quotient = m_apm_init();
        M_APM turn = m_apm_init();
        m_apm_set_long(turn, 360);
        m_apm_divide(quotient, std::max(m_apm_exponent(x), 0) + 30, x, turn);
        m_apm_floor(quotient, quotient);
        m_apm_multiply(quotient, quotient, turn);
        m_apm_subtract(x, x, quotient);
        if (reducedDegrees) m_apm_copy(reducedDegrees, x);
        m_apm_set_long(turn, 180);
        m_apm_divide(quotient, places, x, turn);
        m_apm_multiply(radians, quotient, MM_PI);
        m_apm_round(radians, places, radians);
        m_apm_free(quotient);
        m_apm_free(turn);
    } else {
        m_apm_copy(radians, x);
    }
    m_apm_free(x);
    return true;
}

// sin or cos into register 0, tiny values cut; false (register 0 = 0) for an unusable argument
// or one the layer cannot place in its period.
bool circular(MAPMFunction function, const NBFValueRef* arguments, int32_t count,
              NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    int digits = digitsOf(mapm);
    Lock lock;
    M_APM* r = mapm->registers;
    if (!loadRadians(r[1], nullptr, arguments, count, context, digits + kGuardDigits)) {
        m_apm_copy(r[0], MM_Zero);
        return false;
    }
    m_apm_clear_refusal();
    function(r[0], digits + kGuardDigits, r[1]);
    if (m_apm_refused()) return false;
    m_apm_round(r[0], digits, r[0]);
    NBF_mapm_truncate_tiny_number(r[0], digits, true);
    return true;
}

// tan into register 0. Answers the special result: infinity at an odd multiple of a right
// angle, not-a-number for an unusable argument or one the layer cannot place in its period,
// none otherwise.
NBFNumberSpecialType tangent(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                             NBFEvaluationContextRef context) {
    int digits = digitsOf(mapm);
    Lock lock;
    M_APM* r = mapm->registers;
    M_APM degrees = m_apm_init();
    bool usable = loadRadians(r[1], degrees, arguments, count, context, digits + kGuardDigits);
    bool pole = false;
    if (usable && isDegreeMode(context)) {
        // Exact in degrees: the reduced angle is 90 or 270.
        M_APM right = m_apm_init();
        m_apm_set_long(right, 90);
        pole = m_apm_compare(degrees, right) == 0;
        m_apm_set_long(right, 270);
        pole = pole || m_apm_compare(degrees, right) == 0;
        m_apm_free(right);
    } else if (usable) {
        // In radians: 2x/pi, rounded to one digit less than the precision, is an odd integer.
        m_apm_divide(r[2], digits, r[1], MM_PI);
        m_apm_multiply(r[3], r[2], MM_Two);
        m_apm_round(r[2], digits - 1, r[3]);
        pole = m_apm_is_integer(r[2]) && m_apm_is_odd(r[2]);
    }
    m_apm_free(degrees);
    if (!usable) return NBFNumberSpecialTypeNaN;
    if (pole) return NBFNumberSpecialTypeInfinity;
    // An argument the layer refuses is never taken for a pole above: so large, 2x/pi rounded
    // to the precision is a multiple of ten.
    m_apm_clear_refusal();
    m_apm_tan(r[0], digits + kGuardDigits, r[1]);
    if (m_apm_refused()) return NBFNumberSpecialTypeNaN;
    m_apm_round(r[0], digits, r[0]);
    NBF_mapm_truncate_tiny_number(r[0], digits, true);
    return NBFNumberSpecialTypeNone;
}

// 1 / register 0 as a plain value; a zero register is a division by zero.
NBFValueRef reciprocalOfRegister(NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    Lock lock;
    M_APM* r = mapm->registers;
    if (m_apm_sign(r[0]) == 0) {
        setError(context, NBFEvaluationErrorDivisionByZero);
        return nullptr;
    }
    m_apm_reciprocal(r[1], digitsOf(mapm), r[0]);
    return numberValue(r[1], NBFNumberTypeNumber, nullptr);
}

NBFValueRef reciprocalOfCircular(MAPMFunction function, const NBFValueRef* arguments, int32_t count,
                                 NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    if (!mapm) return nullptr;
    if (!circular(function, arguments, count, mapm, context)) {
        return specialValue(NBFNumberSpecialTypeNaN);
    }
    return reciprocalOfRegister(mapm, context);
}

void circularBody(MAPMFunction function, const NBFValueRef* arguments, int32_t count,
                  NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    if (!mapm) return;
    if (!circular(function, arguments, count, mapm, context)) {
        setSpecialResult(context, NBFNumberSpecialTypeNaN);
    }
}

// asin, acos, atan into register 0, in degrees when the mode asks for them. Outside its domain
// (|x| > 1 for asin and acos) the answer is not-a-number.
void inverse(MAPMFunction function, bool boundedDomain, const NBFValueRef* arguments, int32_t count,
             NBFMAPMContextRef mapm, NBFEvaluationContextRef context) {
    if (!mapm) return;
    int digits = digitsOf(mapm);
    int places = digits + kGuardDigits;
    Lock lock;
    M_APM* r = mapm->registers;
    m_apm_copy(r[0], MM_Zero);
    NBFNumberRef number = ordinaryNumber(arguments, count);
    if (!number) {
        setSpecialResult(context, NBFNumberSpecialTypeNaN);
        return;
    }
    loadAsFraction(r[1], number);
    m_apm_absolute_value(r[2], r[1]);
    if (boundedDomain && m_apm_compare(r[2], MM_One) > 0) {
        setSpecialResult(context, NBFNumberSpecialTypeNaN);
        return;
    }
    function(r[0], places, r[1]);
    if (isDegreeMode(context)) {
        m_apm_set_long(r[2], 180);
        m_apm_multiply(r[1], r[0], r[2]);
        m_apm_divide(r[0], places, r[1], MM_PI);
    }
    m_apm_round(r[0], digits, r[0]);
    NBF_mapm_truncate_tiny_number(r[0], digits, true);
}

}  // namespace

void NBFMAPM_sin(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                 NBFEvaluationContextRef context) {
    circularBody(m_apm_sin, arguments, count, mapm, context);
}

void NBFMAPM_cos(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                 NBFEvaluationContextRef context) {
    circularBody(m_apm_cos, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_tan(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                        NBFEvaluationContextRef context) {
    if (!mapm) return nullptr;
    NBFNumberSpecialType special = tangent(arguments, count, mapm, context);
    if (special != NBFNumberSpecialTypeNone) return specialValue(special);
    Lock lock;
    return numberValue(mapm->registers[0], NBFNumberTypeNumber, nullptr);
}

NBFValueRef NBFMAPM_cosec(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                          NBFEvaluationContextRef context) {
    return reciprocalOfCircular(m_apm_sin, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_sec(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                        NBFEvaluationContextRef context) {
    return reciprocalOfCircular(m_apm_cos, arguments, count, mapm, context);
}

NBFValueRef NBFMAPM_cotan(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                          NBFEvaluationContextRef context) {
    if (!mapm) return nullptr;
    NBFNumberSpecialType special = tangent(arguments, count, mapm, context);
    if (special == NBFNumberSpecialTypeInfinity) {
        return NBFValueCreate_TransferOwnership(NBFNumber_CONST_0
                                                    ? NBFNumberRetain(NBFNumber_CONST_0)
                                                    : NBFNumberCreateWithInt32(0, 1));
    }
    if (special != NBFNumberSpecialTypeNone) return specialValue(special);
    return reciprocalOfRegister(mapm, context);
}

void NBFMAPM_asin(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                  NBFEvaluationContextRef context) {
    inverse(m_apm_arcsin, true, arguments, count, mapm, context);
}

void NBFMAPM_acos(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                  NBFEvaluationContextRef context) {
    inverse(m_apm_arccos, true, arguments, count, mapm, context);
}

void NBFMAPM_atan(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapm,
                  NBFEvaluationContextRef context) {
    inverse(m_apm_arctan, false, arguments, count, mapm, context);
}
