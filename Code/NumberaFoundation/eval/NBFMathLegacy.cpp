// Bodies of the legacy shape: modulo, binomial coefficient, powers, factorial, shifts and the
// test sums. Bitwise operations are in NBFMathBitwise.cpp.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "NBFMathInternal.h"

using namespace NBF::math;

namespace {

// 2^n passes the magnitude bound beyond this n (n · log10 2 > 10^6). Larger shifts are refused
// before 2^n is made, since the layer would make it exactly however long (and 0 shifted by
// them would pass the bound).
constexpr long kLargestShift = 3321928;
// Terms of a binomial coefficient's product computed at most; beyond, the result is refused.
constexpr long kLargestChooseTerms = 100000;
constexpr int kChooseDigits = 100;

void raise(uint32_t* flags, uint32_t flag) {
    if (flags) *flags |= flag;
}

// The arguments in call order; false (not-a-number) when fewer than `needed` were given.
bool inCallOrder(M_APM* reversed, uint8_t count, int needed, M_APM* out, uint32_t* flags) {
    if (!reversed || count < needed) {
        raise(flags, NBFMathFlagNotANumber);
        return false;
    }
    for (int i = 0; i < needed; ++i) {
        out[i] = reversed[count - 1 - i];
        if (!out[i]) {
            raise(flags, NBFMathFlagNotANumber);
            return false;
        }
    }
    return true;
}

// The integer part of x as a long; x must be small enough. Needs the lock.
long toLong(M_APM x) {
    char text[64];
    m_apm_to_integer_string(text, x);
    long value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

// Keeps a result within the magnitude bound; needs the lock.
M_APM bounded(M_APM result, uint32_t* flags) {
    if (!NBF_mapm_exceeds_magnitude_limit(result)) return result;
    m_apm_free(result);
    raise(flags, NBFMathFlagExponentTooLarge);
    return nullptr;
}

bool tooLarge(M_APM x, uint32_t* flags) {
    if (!NBF_mapm_exceeds_magnitude_limit(x)) return false;
    raise(flags, NBFMathFlagExponentTooLarge);
    return true;
}

// 2^n for |n| within the shift bound: exact for whole n >= 0, else to 100 digits.
// Needs the lock; false when n is beyond the bound.
bool powerOfTwo(M_APM result, M_APM n, uint32_t* flags) {
    M_APM limit = m_apm_init();
    M_APM magnitude = m_apm_init();
    m_apm_set_long(limit, kLargestShift);
    m_apm_absolute_value(magnitude, n);
    bool fits = m_apm_compare(magnitude, limit) <= 0;
    m_apm_free(limit);
    m_apm_free(magnitude);
    if (!fits) {
        raise(flags, NBFMathFlagExponentTooLarge);
        return false;
    }
    if (m_apm_is_integer(n) && m_apm_sign(n) >= 0) {
        m_apm_integer_pow_nr(result, MM_Two, static_cast<int>(toLong(n)));
    } else {
        m_apm_pow(result, 100, MM_Two, n);
    }
    return true;
}

// An upper estimate of log10 C(n, k) for k <= n - k, from the gamma function.
double chooseMagnitude(double n, double k) {
    if (n < 1e12) {
        return (std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1)) / std::log(10.0);
    }
    // Large n: C(n, k) <= n^k / k!, which avoids subtracting huge, nearly equal terms.
    return k * std::log10(n) - std::lgamma(k + 1) / std::log(10.0);
}

}  // namespace

M_APM NBFMAPM_mod(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    // Operands past the bound are refused even where the remainder would be within it; the
    // layer would divide them.
    if (tooLarge(a[0], flags) || tooLarge(a[1], flags)) return nullptr;
    if (m_apm_sign(a[1]) == 0) {
        raise(flags, NBFMathFlagDivideByZero);
        return nullptr;
    }
    M_APM quotient = m_apm_init();
    M_APM remainder = m_apm_init();
    m_apm_integer_div_rem(quotient, remainder, a[0], a[1]);
    m_apm_free(quotient);
    return remainder;
}

M_APM NBFMAPM_choose(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    M_APM n = a[0];
    M_APM k = a[1];
    if (!m_apm_is_integer(n) || !m_apm_is_integer(k)) {
        raise(flags, NBFMathFlagNotANumber);
        return nullptr;
    }
    M_APM result = m_apm_init();
    if (m_apm_sign(k) < 0 || m_apm_compare(k, n) > 0) return result;  // 0
    if (tooLarge(n, flags)) {
        m_apm_free(result);
        return nullptr;
    }
    // C(n, k) = C(n, n - k): take the shorter product.
    M_APM smaller = m_apm_init();
    m_apm_subtract(smaller, n, k);
    if (m_apm_compare(k, smaller) < 0) m_apm_copy(smaller, k);
    // Both refusals come before the terms are multiplied out, which the layer would do.
    bool manyTerms = m_apm_exponent(smaller) >= 9 || toLong(smaller) > kLargestChooseTerms;
    if (manyTerms || chooseMagnitude(approximateDouble(n), approximateDouble(smaller)) >
                         NBFEvaluationMagnitudeLimit + 10) {
        m_apm_free(smaller);
        m_apm_free(result);
        raise(flags, NBFMathFlagExponentTooLarge);
        return nullptr;
    }
    // Each partial product C(n - k + i, i) is whole, so the steps are exact while it fits the
    // working precision; the result is then given to 100 places.
    long terms = toLong(smaller);
    int places = kChooseDigits + 15;
    M_APM factor = m_apm_init();
    M_APM index = m_apm_init();
    M_APM base = m_apm_init();
    m_apm_copy(result, MM_One);
    m_apm_subtract(base, n, smaller);
    for (long i = 1; i <= terms; ++i) {
        m_apm_set_long(index, i);
        m_apm_add(factor, base, index);
        m_apm_multiply(result, result, factor);
        m_apm_divide(result, places, result, index);
    }
    m_apm_round(result, kChooseDigits, result);
    m_apm_free(factor);
    m_apm_free(index);
    m_apm_free(base);
    m_apm_free(smaller);
    return bounded(result, flags);
}

M_APM NBFMAPM_pow(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    M_APM base = a[0];
    M_APM exponent = a[1];
    // An exponent of 10^6 or more is refused whatever the base (1 and 0.5 too), as in the
    // evaluator's power; below it the exponent fits an int.
    if (m_apm_sign(exponent) != 0 && m_apm_exponent(exponent) >= 6) {
        raise(flags, NBFMathFlagExponentTooLarge);
        return nullptr;
    }
    int baseSign = m_apm_sign(base);
    if (baseSign == 0) {
        if (m_apm_sign(exponent) < 0) {
            raise(flags, NBFMathFlagDivideByZero);
            return nullptr;
        }
        M_APM result = m_apm_init();
        m_apm_copy(result, m_apm_sign(exponent) == 0 ? MM_One : MM_Zero);
        return result;
    }
    bool whole = m_apm_is_integer(exponent);
    if (baseSign < 0 && !whole) {
        raise(flags, NBFMathFlagNotANumber);
        return nullptr;
    }
    // A power past the bound is either computed and then seen to be, or refused by the layer.
    M_APM result = m_apm_init();
    m_apm_clear_refusal();
    if (whole) {
        m_apm_integer_pow(result, kLegacyDigits, base, static_cast<int>(toLong(exponent)));
    } else {
        m_apm_pow(result, kLegacyDigits, base, exponent);
    }
    if (m_apm_refused()) {
        m_apm_free(result);
        raise(flags, NBFMathFlagExponentTooLarge);
        return nullptr;
    }
    return bounded(result, flags);
}

M_APM NBFMAPM_fact(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[1];
    if (!inCallOrder(reversed, count, 1, a, flags)) return nullptr;
    Lock lock;
    M_APM x = a[0];
    uint32_t refusal = 0;
    if (!m_apm_is_integer(x)) refusal = NBFMathFlagFactorialOfNonInteger;
    if (m_apm_sign(x) < 0) refusal = NBFMathFlagFactorialOfNegative;
    // From 100000 on, although the result stays within the bound up to about 205000: the
    // layer would compute factorials far larger, and slowly.
    if (!refusal && m_apm_exponent(x) > 4) refusal = NBFMathFlagExponentTooLarge;
    if (refusal) {
        raise(flags, refusal);
        return nullptr;
    }
    M_APM result = m_apm_init();
    m_apm_factorial(result, x);
    return bounded(result, flags);
}

M_APM NBFMAPM_e10(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    M_APM x = a[0];
    M_APM e = a[1];
    // The evaluator's exponent limit: 0 × 10^(10^6) is refused too, where the layer would make
    // 10^e for any e in its range.
    if (m_apm_sign(e) != 0 && m_apm_exponent(e) >= 6) {
        raise(flags, NBFMathFlagExponentTooLarge);
        return nullptr;
    }
    M_APM power = m_apm_init();
    if (m_apm_is_integer(e)) {
        std::string text = "1E" + std::to_string(toLong(e));  // exact
        m_apm_set_string(power, text.c_str());
    } else {
        m_apm_pow(power, kLegacyDigits, MM_Ten, e);
    }
    M_APM result = m_apm_init();
    m_apm_multiply(result, x, power);
    m_apm_free(power);
    return bounded(result, flags);
}

M_APM NBFMAPM_lsl(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    M_APM power = m_apm_init();
    if (!powerOfTwo(power, a[1], flags)) {
        m_apm_free(power);
        return nullptr;
    }
    M_APM result = m_apm_init();
    m_apm_multiply(result, a[0], power);
    m_apm_free(power);
    return bounded(result, flags);
}

M_APM NBFMAPM_lsr(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    if (tooLarge(a[0], flags)) return nullptr;
    M_APM power = m_apm_init();
    if (!powerOfTwo(power, a[1], flags)) {
        m_apm_free(power);
        return nullptr;
    }
    M_APM result = m_apm_init();
    if (m_apm_is_integer(power)) {
        m_apm_integer_divide(result, a[0], power);
    } else {
        // A fractional power of two: divide, then keep the integer part.
        m_apm_divide(result, 100, a[0], power);
        if (m_apm_sign(result) < 0) {
            m_apm_ceil(result, result);
        } else {
            m_apm_floor(result, result);
        }
    }
    m_apm_free(power);
    return bounded(result, flags);
}

M_APM NBFMAPM_test_add1(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[1];
    if (!inCallOrder(reversed, count, 1, a, flags)) return nullptr;
    Lock lock;
    M_APM result = m_apm_init();
    m_apm_copy(result, a[0]);
    return result;
}

M_APM NBFMAPM_test_add2(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[2];
    if (!inCallOrder(reversed, count, 2, a, flags)) return nullptr;
    Lock lock;
    M_APM result = m_apm_init();
    m_apm_add(result, a[0], a[1]);
    return bounded(result, flags);
}

M_APM NBFMAPM_test_add3(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM a[3];
    if (!inCallOrder(reversed, count, 3, a, flags)) return nullptr;
    Lock lock;
    M_APM result = m_apm_init();
    m_apm_add(result, a[0], a[1]);
    m_apm_add(result, result, a[2]);
    return bounded(result, flags);
}
