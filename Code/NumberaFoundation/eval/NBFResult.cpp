#include "NBFResult.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "Diagnostics.h"
#include "NBFMathLibrary.h"
#include "NBFObject.h"

struct NBFResult : NBF::Object<NBFResult> {
    NBFStringRef string = nullptr;
    NBFStringRef completeString = nullptr;
    int32_t precision = NBFResultPrecisionNotDefined;
    NBFEvaluatorErrorCode errorCode = 0;
    NBFEvaluationError evaluationError = NBFEvaluationErrorNone;
    NBFUnitFractionRef unitFraction = nullptr;
    std::optional<NBFUnitNameFormatMap> unitNameFormats;
    M_APM value = nullptr;
    uint32_t flags = 0;
    std::mutex cacheMutex;  // the complete string and the value are filled on first request

    ~NBFResult() override {
        NBFStringRelease(string);
        NBFStringRelease(completeString);
        NBFUnitFractionRelease(unitFraction);
        if (value) m_apm_free_mt(value);
    }
};

namespace {

// An arbitrary-precision scratch value, freed under the lock.
struct Decimal {
    Decimal() : value(m_apm_init_mt()) {}
    ~Decimal() { m_apm_free_mt(value); }
    Decimal(const Decimal&) = delete;
    Decimal& operator=(const Decimal&) = delete;
    operator M_APM() const { return value; }
    M_APM value;
};

// Fixed point with `places` decimals (-1: every digit). Call with the lock held.
std::string fixed(M_APM value, int places) {
    char* text = m_apm_to_fixpt_stringexp(places, value, '.', 0, 0);
    std::string out = text ? text : "";
    std::free(text);
    return out;
}

char* heapCopy(const std::string& text) { return strdup(text.c_str()); }

// Round half away from zero to an integer, for the fraction search; negative products are
// rounded like positive ones so negative values find their fractions too.
void roundToInteger(M_APM result, M_APM x) {
    Decimal quotient, remainder, magnitude;
    m_apm_integer_divide(quotient, x, MM_One);  // the integer part, toward zero
    m_apm_subtract(remainder, x, quotient);
    m_apm_absolute_value(magnitude, remainder);
    Decimal half;
    m_apm_set_string(half, "0.5");
    if (m_apm_compare(magnitude, half) > 0) {
        Decimal step;
        m_apm_set_long(step, m_apm_sign(x));
        m_apm_add(result, quotient, step);
    } else {
        m_apm_copy(result, quotient);
    }
}

}  // namespace

namespace NBF {

std::string removeTrailingZeros(std::string text) {
    size_t point = text.find('.');
    if (point == std::string::npos || point == 0) return text;
    size_t end = text.size();
    while (end > point + 1 && text[end - 1] == '0') --end;
    if (end == point + 1) end = point;
    text.resize(end);
    return text;
}

std::string groupDigits(std::string text, size_t protectedLength, int groupSize) {
    if (groupSize <= 0 || text.empty()) return text;
    size_t wholeEnd = std::min(text.find('.'), text.size());
    std::string out;
    int count = 0;
    for (size_t i = text.size(); i-- > 0;) {
        out += text[i];
        if (i < wholeEnd && i > protectedLength) {
            if (++count == groupSize) {
                out += ',';
                count = 0;
            }
        }
    }
    std::reverse(out.begin(), out.end());
    return out;
}

}  // namespace NBF

NBFResultRef NBFResultCreate() { return new NBFResult(); }

NBFResultRef NBFResultCreate(NBFStringRef string) {
    NBFResultRef result = NBFResultCreate();
    NBFResultSetString(result, string);
    return result;
}

NBFResultRef NBFResultCreate(NBFStringRef string, M_APM value) {
    NBFResultRef result = NBFResultCreate(string);
    NBFResultSetMAPM(result, value);
    return result;
}

NBFResultRef NBFResultCreate(const std::string& string) {
    auto text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithCppString(string));
    return NBFResultCreate(text.get());
}

NBFResultRef NBFResultCreate(const std::string& string, M_APM value) {
    auto text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithCppString(string));
    return NBFResultCreate(text.get(), value);
}

NBFResultRef NBFResultRetain(NBFResultRef result) { return NBF::retain(result); }

void NBFResultRelease(NBFResultRef result) { NBF::release(result); }

void NBFResultSetString(NBFResultRef result, NBFStringRef string) {
    if (!result || result->string == string) return;
    NBFStringRef old = result->string;
    result->string = NBFStringRetain(string);
    NBFStringRelease(old);
}

void NBFResultSetMAPM(NBFResultRef result, M_APM value) {
    if (!result || !value) return;
    std::lock_guard<std::mutex> lock(result->cacheMutex);
    m_apm_enter();
    if (!result->value) result->value = m_apm_init();
    m_apm_copy(result->value, value);
    m_apm_leave();
}

NBFStringRef NBFResultGetStringReference(NBFResultRef result) {
    return result ? result->string : nullptr;
}

M_APM NBFResultGetMAPM(NBFResultRef result) {
    if (!result) return nullptr;
    std::lock_guard<std::mutex> lock(result->cacheMutex);
    if (!result->value && NBFStringLength(result->string) > 0) {
        std::string text = NBFStringGetCppString(result->string);
        m_apm_enter();
        result->value = m_apm_init();
        m_apm_set_string(result->value, text.c_str());
        m_apm_leave();
    }
    return result->value;
}

int NBFResultGetExponent(NBFResultRef result) {
    M_APM value = NBFResultGetMAPM(result);
    return value ? m_apm_exponent_mt(value) : 0;
}

NBFStringRef NBFResultGetCompleteStringReference(NBFResultRef result) {
    if (!result) return nullptr;
    std::lock_guard<std::mutex> lock(result->cacheMutex);
    if (!result->completeString && result->string) {
        std::string complete = NBF::removeTrailingZeros(NBFStringGetCppString(result->string));
        result->completeString = NBFStringCreateWithCppString(complete);
    }
    return result->completeString;
}

NBFStringRef NBFResultCopyStringWithPrecision(NBFResultRef result, int digits) {
    M_APM value = NBFResultGetMAPM(result);
    if (!value) return nullptr;
    char* text = NBF_mapm_to_fitted_string(value, digits);
    NBFStringRef string = NBFStringCreateWithUTF8(text ? text : "");
    std::free(text);
    return string;
}

void NBFResultSetPrecision(NBFResultRef result, int32_t precision) {
    if (result) result->precision = precision;
}

int32_t NBFResultGetPrecision(NBFResultRef result) {
    return result ? result->precision : NBFResultPrecisionNotDefined;
}

void NBFResultSetErrorCode(NBFResultRef result, NBFEvaluatorErrorCode code) {
    if (result) result->errorCode = code;
}

NBFEvaluatorErrorCode NBFResultGetErrorCode(NBFResultRef result) {
    return result ? result->errorCode : NBFEvaluatorErrorCodeNone;
}

void NBFResultSetEvaluationError(NBFResultRef result, NBFEvaluationError error) {
    if (result) result->evaluationError = error;
}

NBFEvaluationError NBFResultGetEvaluationError(NBFResultRef result) {
    return result ? result->evaluationError : NBFEvaluationErrorNone;
}

void NBFResultSetUnitFraction(NBFResultRef result, NBFUnitFractionRef fraction) {
    if (!result || !fraction) return;
    NBFUnitFractionRef old = result->unitFraction;
    result->unitFraction = NBFUnitFractionCopy(fraction);
    NBFUnitFractionRelease(old);
}

NBFUnitFractionRef NBFResultGetUnitFraction(NBFResultRef result) {
    return result ? result->unitFraction : nullptr;
}

void NBFResultSetUnitNameFormats(NBFResultRef result, const NBFUnitNameFormatMap& formats) {
    if (result) result->unitNameFormats = formats;
}

NBFUnitFormatType NBFResultGetUnitComponentNameFormat(NBFResultRef result, NBFUnitRef unit) {
    if (!result || !result->unitNameFormats || !unit) return 0;
    const char* identifier = NBFUnitGetIdentifier(unit);
    if (!identifier) return 0;
    auto found = result->unitNameFormats->find(identifier);
    return found == result->unitNameFormats->end() ? 0 : found->second;
}

void NBFResultSetFlags(NBFResultRef result, uint32_t flags) {
    if (result) result->flags = flags;
}

uint32_t NBFResultGetFlags(NBFResultRef result) { return result ? result->flags : 0; }

void NBFResultGetDegreesMinutesSeconds(NBFResultRef result, char** degreesOut, char** minutesOut,
                                       char** secondsOut, uint32_t decimalPlaces,
                                       bool trailingZeros, bool thousandsSeparator,
                                       uint8_t groupSize) {
    if (degreesOut) *degreesOut = nullptr;
    if (minutesOut) *minutesOut = nullptr;
    if (secondsOut) *secondsOut = nullptr;
    int32_t length = NBFStringLength(NBFResultGetStringReference(result));
    if (length == 0 || length > 1024) return;
    std::string text = NBFStringGetCppString(result->string);
    int places = static_cast<int>(std::min<uint32_t>(decimalPlaces, 0xFFFF));

    std::string degrees, minutes, seconds;
    m_apm_enter();
    {
        Decimal value, whole, remainder, sixty, minutesValue, wholeMinutes, minuteRemainder,
            secondsValue, rounded;
        m_apm_set_string(value, text.c_str());
        m_apm_set_long(sixty, 60);
        m_apm_integer_divide(whole, value, MM_One);  // the integer part, toward zero
        m_apm_subtract(remainder, value, whole);
        if (m_apm_sign(whole) != 0 && m_apm_exponent(whole) >= 10) {
            m_apm_leave();
            return;
        }
        m_apm_absolute_value(remainder, remainder);
        m_apm_multiply(minutesValue, remainder, sixty);
        m_apm_integer_divide(wholeMinutes, minutesValue, MM_One);
        m_apm_subtract(minuteRemainder, minutesValue, wholeMinutes);
        m_apm_multiply(secondsValue, minuteRemainder, sixty);

        // Seconds that round up to 60 carry into the minutes, and 60 minutes into the degrees.
        std::string secondsText = fixed(secondsValue, places);
        m_apm_set_string(rounded, secondsText.c_str());
        if (m_apm_compare(rounded, sixty) >= 0) {
            m_apm_set_long(secondsValue, 0);
            m_apm_add(wholeMinutes, wholeMinutes, MM_One);
            if (m_apm_compare(wholeMinutes, sixty) >= 0) {
                m_apm_set_long(wholeMinutes, 0);
                Decimal step;
                m_apm_set_long(step, m_apm_sign(value) < 0 ? -1 : 1);
                m_apm_add(whole, whole, step);
            }
        }
        degrees = fixed(whole, 0);
        if (m_apm_sign(value) < 0 && m_apm_sign(whole) == 0) degrees = "-" + degrees;
        minutes = fixed(wholeMinutes, 0);
        seconds = fixed(secondsValue, places);
    }
    m_apm_leave();

    if (thousandsSeparator)
        degrees = NBF::groupDigits(degrees, degrees[0] == '-' ? 1 : 0, groupSize);
    if (!trailingZeros) seconds = NBF::removeTrailingZeros(seconds);
    if (degreesOut) *degreesOut = heapCopy(degrees);
    if (minutesOut) *minutesOut = heapCopy(minutes);
    if (secondsOut) *secondsOut = heapCopy(seconds);
}

void NBFResultGetFraction(NBFResultRef result, char** wholeOut, char** numeratorOut,
                          char** denominatorOut, void*, void*, bool mixed) {
    if (wholeOut) *wholeOut = nullptr;
    if (numeratorOut) *numeratorOut = nullptr;
    if (denominatorOut) *denominatorOut = nullptr;
    int32_t length = NBFStringLength(NBFResultGetStringReference(result));
    if (length == 0 || length > 256) return;
    std::string text = NBFStringGetCppString(result->string);

    constexpr int kTerms = 33;
    constexpr int kDigits = 100;
    std::string whole, numerator, denominator;
    bool found = false;
    m_apm_enter();
    {
        Decimal value, epsilon;
        m_apm_set_string(value, text.c_str());
        if (m_apm_is_integer(value)) {
            m_apm_leave();
            return;
        }
        m_apm_set_string(epsilon, "0.00000000000000000000001");
        std::vector<std::unique_ptr<Decimal>> x, q, p;
        for (int i = 0; i < kTerms; ++i) {
            x.push_back(std::make_unique<Decimal>());
            q.push_back(std::make_unique<Decimal>());
            p.push_back(std::make_unique<Decimal>());
        }
        m_apm_copy(*x[1], value);
        m_apm_set_long(*q[1], 1);
        Decimal previous, a, f, magnitude, approximation, difference, product;
        for (int i = 1; i <= 30 && !found; ++i) {
            m_apm_floor(a, *x[i]);
            m_apm_subtract(f, *x[i], a);
            m_apm_absolute_value(magnitude, f);
            if (m_apm_compare(magnitude, epsilon) > 0) {
                m_apm_reciprocal(*x[i + 1], kDigits, f);
                m_apm_floor(a, *x[i + 1]);
                m_apm_multiply(product, a, *q[i]);
                m_apm_add(*q[i + 1], product, previous);
                m_apm_multiply(product, value, *q[i + 1]);
                roundToInteger(*p[i + 1], product);
            }
            if (m_apm_sign(*q[i]) != 0) {
                m_apm_divide(approximation, kDigits, *p[i], *q[i]);
                m_apm_copy(previous, *q[i]);
                m_apm_subtract(difference, approximation, value);
                m_apm_absolute_value(difference, difference);
                if (m_apm_compare(difference, epsilon) < 0) {
                    found = true;
                    Decimal n, d;
                    m_apm_copy(n, *p[i]);
                    m_apm_absolute_value(d, *q[i]);
                    if (m_apm_sign(*q[i]) < 0) m_apm_negate(n, n);
                    if (mixed) {
                        Decimal w, wd;
                        m_apm_integer_divide(w, n, d);
                        if (m_apm_sign(w) != 0) {
                            m_apm_multiply(wd, w, d);
                            m_apm_subtract(n, n, wd);
                            m_apm_absolute_value(n, n);
                            whole = fixed(w, 0);
                        }
                    }
                    numerator = fixed(n, 0);
                    denominator = fixed(d, 0);
                }
            }
        }
    }
    m_apm_leave();
    if (!found) return;
    if (wholeOut && !whole.empty()) *wholeOut = heapCopy(whole);
    if (numeratorOut) *numeratorOut = heapCopy(numerator);
    if (denominatorOut) *denominatorOut = heapCopy(denominator);
}

bool NBFResultEqualToResult(NBFResultRef a, NBFResultRef b) {
    if (a == b) return true;
    if (!a || !b) return false;
    if (!a->string != !b->string) return false;
    if (!a->string) return true;
    int places = std::max(a->precision, b->precision);
    std::string textA = NBFStringGetCppString(a->string);
    std::string textB = NBFStringGetCppString(b->string);
    m_apm_enter();
    Decimal valueA, valueB;
    m_apm_set_string(valueA, textA.c_str());
    m_apm_set_string(valueB, textB.c_str());
    bool equal = fixed(valueA, places) == fixed(valueB, places);
    m_apm_leave();
    return equal;
}

void NBFResultPrint(NBFResultRef result) {
    Diagnostics::writef(Diagnostics::Stream::output, "(NBFResult %p)", static_cast<void*>(result));
}
