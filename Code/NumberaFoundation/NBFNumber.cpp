#include "NBFNumber.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>

namespace NBF {

namespace {

// A number over a fresh value that `set` fills under the arbitrary-precision lock.
template <typename Setter>
Number* makeNumber(NBFNumberType type, Setter set) {
    m_apm_enter();
    M_APM value = m_apm_init();
    set(value);
    m_apm_leave();
    return Number::adopt(value, type);
}

}  // namespace

Number* Number::adopt(M_APM value, NBFNumberType type) {
    return new Number(new NumberImpl{type, NBFNumberSpecialTypeNone, value});
}

Number* Number::create(M_APM value, NBFNumberType type) {
    return makeNumber(type, [&](M_APM v) { m_apm_copy(v, value); });
}

Number* Number::create(int32_t value, NBFNumberType type) {
    return makeNumber(type, [&](M_APM v) { m_apm_set_long(v, value); });
}

Number* Number::create(const char* text, NBFNumberType type) {
    return makeNumber(type, [&](M_APM v) { m_apm_set_string(v, text ? text : "0"); });
}

Number* Number::create(NBFNumberSpecialType special) {
    return new Number(new NumberImpl{NBFNumberTypeSpecial, special, nullptr});
}

Number::~Number() {
    if (m_impl->value) m_apm_free_mt(m_impl->value);
    delete m_impl;
}

std::string Number::stringValue() const {
    if (!m_impl->value) {
        switch (m_impl->specialType) {
            case NBFNumberSpecialTypeInfinity:
                return "inf";
            case NBFNumberSpecialTypeNegativeInfinity:
                return "-inf";
            default:
                return "nan";
        }
    }
    char* text = m_apm_to_fixpt_stringexp_mt(100, m_impl->value, '.', 0, 0);
    std::string result(text ? text : "");
    std::free(text);
    return result;
}

double Number::doubleValue() const {
    if (!m_impl->value) {
        switch (m_impl->specialType) {
            case NBFNumberSpecialTypeInfinity:
                return std::numeric_limits<double>::infinity();
            case NBFNumberSpecialTypeNegativeInfinity:
                return -std::numeric_limits<double>::infinity();
            default:
                return std::numeric_limits<double>::quiet_NaN();
        }
    }
    // "d.ddddddddE+n": nine significant digits and an exponent that fits any int.
    char text[64];
    m_apm_to_string_mt(text, 8, m_impl->value);
    double result = 0.0;
    const char* end = text + std::strlen(text);
    auto [ptr, error] = std::from_chars(text, end, result);
    if (error == std::errc::result_out_of_range) {
        bool negative = text[0] == '-';
        bool huge = std::strstr(text, "E-") == nullptr;
        double magnitude = huge ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return result;
}

int64_t Number::truncatedValue() const {
    double value = doubleValue();
    if (std::isnan(value)) return 0;
    // Clamp first: converting an out-of-range double to an integer is undefined.
    constexpr double limit = 9.2233720368547e18;
    if (value >= limit) return std::numeric_limits<int64_t>::max();
    if (value <= -limit) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);
}

int32_t Number::int32Value() const {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(truncatedValue())));
}

int8_t Number::int8Value() const {
    return static_cast<int8_t>(static_cast<uint8_t>(static_cast<uint64_t>(truncatedValue())));
}

}  // namespace NBF

NBFNumberRef NBFNumberCreateWithMAPM(M_APM value, NBFNumberType type) {
    return NBF::Number::create(value, type);
}

NBFNumberRef NBFNumberCreateWithInt32(int32_t value, NBFNumberType type) {
    return NBF::Number::create(value, type);
}

NBFNumberRef NBFNumberCreateWithCString(const char* text, NBFNumberType type) {
    return NBF::Number::create(text, type);
}

NBFNumberRef NBFNumberCreateSpecial(NBFNumberSpecialType special) {
    return NBF::Number::create(special);
}

NBFNumberRef NBFNumberRetain(NBFNumberRef number) { return NBF::retain(number); }
void NBFNumberRelease(NBFNumberRef number) { NBF::release(number); }

double NBFNumberGetDoubleValue(NBFNumberRef number) { return number ? number->doubleValue() : 0.0; }
int32_t NBFNumberGetInt32Value(NBFNumberRef number) { return number ? number->int32Value() : 0; }
M_APM NBFNumberGetMAPMReference(NBFNumberRef number) {
    return number ? number->mapmRef() : nullptr;
}
NBFNumberType NBFNumberGetType(NBFNumberRef number) { return number ? number->type() : 0; }

NBFNumberSpecialType NBFNumberGetSpecialType(NBFNumberRef number) {
    return number ? number->specialType() : 0;
}

NBFNumberRef NBFNumber_CONST_0 = nullptr;
NBFNumberRef NBFNumber_CONST_1 = nullptr;
NBFNumberRef NBFNumber_CONST_NAN = nullptr;
NBFNumberRef NBFNumber_CONST_INFINITY = nullptr;
NBFNumberRef NBFNumber_CONST_NEGATIVE_INFINITY = nullptr;

void NBFNumber_ConstantsInit() {
    static std::once_flag once;
    std::call_once(once, [] {
        NBFNumber_CONST_0 = NBFNumberCreateWithInt32(0, NBFNumberTypeNumber);
        NBFNumber_CONST_1 = NBFNumberCreateWithInt32(1, NBFNumberTypeNumber);
        NBFNumber_CONST_NAN = NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN);
        NBFNumber_CONST_INFINITY = NBFNumberCreateSpecial(NBFNumberSpecialTypeInfinity);
        NBFNumber_CONST_NEGATIVE_INFINITY =
            NBFNumberCreateSpecial(NBFNumberSpecialTypeNegativeInfinity);
    });
}
