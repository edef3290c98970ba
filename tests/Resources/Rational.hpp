// Exact rational arithmetic over GMP, so that factor chains are compared without rounding.
#pragma once

#include <gmp.h>

#include <optional>
#include <string>
#include <string_view>

namespace resources_test {

class Rational {
  public:
    Rational() { mpq_init(m_value); }
    explicit Rational(long n, unsigned long d = 1) {
        mpq_init(m_value);
        mpq_set_si(m_value, n, d);
        mpq_canonicalize(m_value);
    }
    Rational(const Rational& other) {
        mpq_init(m_value);
        mpq_set(m_value, other.m_value);
    }
    Rational& operator=(const Rational& other) {
        mpq_set(m_value, other.m_value);
        return *this;
    }
    ~Rational() { mpq_clear(m_value); }

    // A plain decimal: optional minus, digits, optional point and digits. No exponent, no sign
    // "+", no grouping; anything else gives no value.
    static std::optional<Rational> fromDecimal(std::string_view text);
    // A unit factor: a plain decimal, or "N/D" with plain decimals N and D, D not zero.
    static std::optional<Rational> fromFactor(std::string_view text);
    static bool isRatio(std::string_view text) { return text.find('/') != text.npos; }
    static Rational powerOfTen(int exponent);

    Rational operator+(const Rational& o) const { return apply(mpq_add, o); }
    Rational operator-(const Rational& o) const { return apply(mpq_sub, o); }
    Rational operator*(const Rational& o) const { return apply(mpq_mul, o); }
    Rational operator/(const Rational& o) const { return apply(mpq_div, o); }
    bool operator==(const Rational& o) const { return mpq_equal(m_value, o.m_value) != 0; }
    bool operator<(const Rational& o) const { return mpq_cmp(m_value, o.m_value) < 0; }
    bool operator<=(const Rational& o) const { return mpq_cmp(m_value, o.m_value) <= 0; }
    bool isZero() const { return mpq_sgn(m_value) == 0; }
    int sign() const { return mpq_sgn(m_value); }
    Rational abs() const;
    // True when the value has a finite decimal expansion (its reduced denominator is 2^a 5^b).
    bool isTerminatingDecimal() const;

    // Decimal text rounded to the given number of significant digits, for messages.
    std::string toString(int digits = 25) const;

  private:
    using Op = void (*)(mpq_ptr, mpq_srcptr, mpq_srcptr);
    Rational apply(Op op, const Rational& o) const {
        Rational r;
        op(r.m_value, m_value, o.m_value);
        return r;
    }
    mpq_t m_value;
};

}  // namespace resources_test
