#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "NBFMathInternal.h"

namespace NBF::math {

NBFNumberRef firstNumber(const NBFValueRef* arguments, int32_t count) {
    return arguments && count > 0 ? NBFValueGetNumber(arguments[0]) : nullptr;
}

NBFNumberRef ordinaryNumber(const NBFValueRef* arguments, int32_t count) {
    NBFNumberRef number = firstNumber(arguments, count);
    NBFNumberType type = NBFNumberGetType(number);
    bool ordinary = (type == NBFNumberTypeNumber || type == NBFNumberTypePercentage) &&
                    NBFNumberGetMAPMReference(number);
    return ordinary ? number : nullptr;
}

void loadAsFraction(M_APM dest, NBFNumberRef number) {
    M_APM value = NBFNumberGetMAPMReference(number);
    if (NBFNumberGetType(number) == NBFNumberTypePercentage) {
        M_APM hundredth = m_apm_init();
        m_apm_set_string(hundredth, "0.01");
        m_apm_multiply(dest, value, hundredth);  // exact
        m_apm_free(hundredth);
    } else {
        m_apm_copy(dest, value);
    }
}

int digitsOf(NBFMAPMContextRef context) { return context ? context->significantDigits : 100; }

bool isDegreeMode(NBFEvaluationContextRef context) {
    return context && context->trigonometryMode == NBFTrigonometryModeDegrees;
}

void setError(NBFEvaluationContextRef context, NBFEvaluationError error) {
    if (context) context->evaluationError = error;
}

void setSpecialResult(NBFEvaluationContextRef context, NBFNumberSpecialType special) {
    if (context && context->scratch) context->scratch->specialResult = special;
}

NBFValueRef specialValue(NBFNumberSpecialType special) {
    NBFNumberRef shared = special == NBFNumberSpecialTypeInfinity ? NBFNumber_CONST_INFINITY
                          : special == NBFNumberSpecialTypeNegativeInfinity
                              ? NBFNumber_CONST_NEGATIVE_INFINITY
                              : NBFNumber_CONST_NAN;
    NBFNumberRef number = shared ? NBFNumberRetain(shared) : NBFNumberCreateSpecial(special);
    return NBFValueCreate_TransferOwnership(number);
}

NBFValueRef numberValue(M_APM value, NBFNumberType type, NBFUnitFractionRef fraction) {
    return NBFValueCreate_TransferOwnership(NBFNumberCreateWithMAPM(value, type),
                                            NBFUnitFractionRetain(fraction));
}

double log10Magnitude(M_APM x) {
    if (m_apm_sign(x) == 0) return 0.0;
    char text[64];
    m_apm_to_string(text, 14, x);  // "-d.ddddddddddddddE+n"
    const char* start = text[0] == '-' ? text + 1 : text;
    const char* exponentMark = std::strchr(start, 'E');
    if (!exponentMark) return 0.0;
    double mantissa = 1.0;
    std::from_chars(start, exponentMark, mantissa);
    long exponent = 0;
    const char* digits = exponentMark + 1;
    if (*digits == '+') ++digits;
    std::from_chars(digits, text + std::strlen(text), exponent);
    return static_cast<double>(exponent) + std::log10(mantissa);
}

double approximateDouble(M_APM x) {
    char text[64];
    m_apm_to_string(text, 14, x);
    double value = 0.0;
    auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
    if (error == std::errc::result_out_of_range) {
        bool tiny = std::strstr(text, "E-") != nullptr;
        double magnitude = tiny ? 0.0 : HUGE_VAL;
        return m_apm_sign(x) < 0 ? -magnitude : magnitude;
    }
    return value;
}

}  // namespace NBF::math

void NBF_mapm_round(M_APM result, int places, M_APM x) {
    (void)places;  // always 0: rounds to an integer
    M_APM half = m_apm_init();
    M_APM t = m_apm_init();
    m_apm_set_string(half, "0.5");
    if (m_apm_sign(x) >= 0) {
        m_apm_subtract(t, x, half);
        if (m_apm_is_integer(t)) {
            m_apm_add(result, t, MM_One);
        } else {
            m_apm_ceil(result, t);
        }
    } else {
        m_apm_add(t, x, half);
        if (m_apm_is_integer(t)) {
            m_apm_subtract(result, t, MM_One);
        } else {
            m_apm_floor(result, t);
        }
    }
    m_apm_free(half);
    m_apm_free(t);
}

void NBF_mapm_round_mt(M_APM result, int places, M_APM x) {
    NBF::math::Lock lock;
    NBF_mapm_round(result, places, x);
}

int64_t NBF_mapm_buffer_size(M_APM x) {
    if (!x) return 0;
    NBF::math::Lock lock;
    return static_cast<int64_t>(m_apm_significant_digits(x)) +
           std::llabs(static_cast<long long>(m_apm_exponent(x))) + 105;
}

char* NBF_mapm_to_fitted_string(M_APM x, int places) {
    if (!x) return nullptr;
    if (places < 0) places = 0;
    auto size = static_cast<size_t>(NBF_mapm_buffer_size(x) + places);
    char* text = static_cast<char*>(std::malloc(size));
    m_apm_to_fixpt_string_mt(text, places, x);
    size_t length = std::strlen(text);
    // From the last character back to the second: zeros are passed over, a point ends the
    // text before it, any other character ends it just after itself — unless it is the very
    // last character (the rounded last decimal), which is passed over too.
    for (size_t i = length; i-- > 1;) {
        char c = text[i];
        if (c == '0') continue;
        if (c == '.') {
            text[i] = '\0';
            break;
        }
        if (i == length - 1) continue;
        text[i + 1] = '\0';
        break;
    }
    return text;
}

void NBF_mapm_truncate_tiny_number(M_APM x, int digits, bool mutexHeld) {
    if (!x) return;
    if (!mutexHeld) m_apm_enter();
    if (m_apm_sign(x) != 0 && m_apm_exponent(x) < -digits) m_apm_copy(x, MM_Zero);
    if (!mutexHeld) m_apm_leave();
}

bool NBF_mapm_exceeds_magnitude_limit(M_APM x) {
    if (!x || m_apm_sign(x) == 0) return false;
    int exponent = m_apm_exponent(x);
    return exponent > NBFEvaluationMagnitudeLimit || exponent < -NBFEvaluationMagnitudeLimit;
}
