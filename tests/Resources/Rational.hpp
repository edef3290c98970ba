// Exact rational arithmetic over GMP, so that factor chains are compared without rounding.
#pragma once

#include <gmp.h>

#include <optional>
#include <string>
#include <string_view>

namespace resources_test {

class Rational {
public:
    Rational() { mpq_init(value_); }
    explicit Rational(long n, unsigned long d = 1) {
        mpq_init(value_);
        mpq_set_si(value_, n, d);
        mpq_canonicalize(value_);
    }
    Rational(const Rational& other) {
        mpq_init(value_);
        mpq_set(value_, other.value_);
    }
    Rational& operator=(const Rational& other) {
        mpq_set(value_, other.value_);
        return *this;
    }
    ~Rational() { mpq_clear(value_); }

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
    bool operator==(const Rational& o) const { return mpq_equal(value_, o.value_) != 0; }
    bool operator<(const Rational& o) const { return mpq_cmp(value_, o.value_) < 0; }
    bool operator<=(const Rational& o) const { return mpq_cmp(value_, o.value_) <= 0; }
    bool isZero() const { return mpq_sgn(value_) == 0; }
    int sign() const { return mpq_sgn(value_); }
    Rational abs() const;
    // True when the value has a finite decimal expansion (its reduced denominator is 2^a 5^b).
    bool isTerminatingDecimal() const;

    // Decimal text rounded to the given number of significant digits, for messages.
    std::string toString(int digits = 25) const;

private:
    using Op = void (*)(mpq_ptr, mpq_srcptr, mpq_srcptr);
    Rational apply(Op op, const Rational& o) const {
        Rational r;
        op(r.value_, value_, o.value_);
        return r;
    }
    mpq_t value_;
};

}  // namespace resources_test
