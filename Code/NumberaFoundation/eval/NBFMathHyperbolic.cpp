// Hyperbolic functions and their inverses, in the legacy shape at a fixed precision.
#include "NBFMathInternal.h"

using namespace NBF::math;

namespace {

typedef void (*MAPMFunction)(M_APM result, int places, M_APM x);

void raise(uint32_t* flags, uint32_t flag) {
    if (flags) *flags |= flag;
}

// The one argument; null (not-a-number) when there is none.
M_APM onlyArgument(M_APM* reversed, uint8_t count, uint32_t* flags) {
    if (!reversed || count < 1 || !reversed[count - 1]) {
        raise(flags, NBFMathFlagNotANumber);
        return nullptr;
    }
    return reversed[count - 1];
}

// sinh and cosh grow like e^|x|: a result past the magnitude bound is either computed and
// then seen to be, or refused by the layer.
M_APM growing(MAPMFunction function, M_APM* reversed, uint8_t count, uint32_t* flags) {
    M_APM x = onlyArgument(reversed, count, flags);
    if (!x) return nullptr;
    Lock lock;
    M_APM result = m_apm_init();
    m_apm_clear_refusal();
    function(result, kLegacyDigits, x);
    if (m_apm_refused() || NBF_mapm_exceeds_magnitude_limit(result)) {
        m_apm_free(result);
        raise(flags, NBFMathFlagExponentTooLarge);
        return nullptr;
    }
    return result;
}

M_APM plain(MAPMFunction function, M_APM* reversed, uint8_t count, uint32_t* flags) {
    M_APM x = onlyArgument(reversed, count, flags);
    if (!x) return nullptr;
    Lock lock;
    M_APM copy = m_apm_init();
    m_apm_copy(copy, x);
    M_APM result = m_apm_init();
    function(result, kLegacyDigits, copy);
    m_apm_free(copy);
    return result;
}

}  // namespace

M_APM NBFMAPM_sinh(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return growing(m_apm_sinh, reversed, count, flags);
}

M_APM NBFMAPM_cosh(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return growing(m_apm_cosh, reversed, count, flags);
}

M_APM NBFMAPM_tanh(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return plain(m_apm_tanh, reversed, count, flags);
}

M_APM NBFMAPM_asinh(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return plain(m_apm_arcsinh, reversed, count, flags);
}

M_APM NBFMAPM_acosh(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM x = onlyArgument(reversed, count, flags);
    if (!x) return nullptr;
    if (m_apm_compare_mt(x, MM_One) < 0) {
        raise(flags, NBFMathFlagNotANumber);
        return nullptr;
    }
    return plain(m_apm_arccosh, reversed, count, flags);
}

M_APM NBFMAPM_atanh(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    M_APM x = onlyArgument(reversed, count, flags);
    if (!x) return nullptr;
    int againstOne;
    int sign;
    {
        Lock lock;
        M_APM magnitude = m_apm_init();
        m_apm_absolute_value(magnitude, x);
        againstOne = m_apm_compare(magnitude, MM_One);
        sign = m_apm_sign(x);
        m_apm_free(magnitude);
    }
    if (againstOne > 0) {
        raise(flags, NBFMathFlagNotANumber);
        return nullptr;
    }
    if (againstOne == 0) {
        raise(flags, sign > 0 ? NBFMathFlagInfinity : NBFMathFlagNegativeInfinity);
        return nullptr;
    }
    return plain(m_apm_arctanh, reversed, count, flags);
}
