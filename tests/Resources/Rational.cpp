#include "Rational.hpp"

#include <cstdio>
#include <vector>

namespace resources_test {

std::optional<Rational> Rational::fromDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    std::string digits;
    int decimals = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            seenDigit = true;
            if (seenPoint) ++decimals;
        } else if (c == '.' && !seenPoint && seenDigit && i + 1 < text.size()) {
            seenPoint = true;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) return std::nullopt;
    Rational r;
    mpz_t numerator;
    mpz_init_set_str(numerator, digits.c_str(), 10);
    if (negative) mpz_neg(numerator, numerator);
    mpq_set_z(r.m_value, numerator);
    mpz_clear(numerator);
    return r / powerOfTen(decimals);
}

std::optional<Rational> Rational::fromFactor(std::string_view text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos) return fromDecimal(text);
    const auto numerator = fromDecimal(text.substr(0, slash));
    const auto denominator = fromDecimal(text.substr(slash + 1));
    if (!numerator || !denominator || denominator->isZero()) return std::nullopt;
    return *numerator / *denominator;
}

Rational Rational::powerOfTen(int exponent) {
    Rational r;
    mpz_t p;
    mpz_init(p);
    mpz_ui_pow_ui(p, 10, static_cast<unsigned long>(exponent < 0 ? -exponent : exponent));
    if (exponent >= 0) {
        mpq_set_z(r.m_value, p);
    } else {
        mpq_set_ui(r.m_value, 1, 1);
        mpz_set(mpq_denref(r.m_value), p);
    }
    mpz_clear(p);
    return r;
}

Rational Rational::abs() const {
    Rational r;
    mpq_abs(r.m_value, m_value);
    return r;
}

bool Rational::isTerminatingDecimal() const {
    mpz_t rest;
    mpz_init_set(rest, mpq_denref(m_value));
    mpz_t factor;
    mpz_init_set_ui(factor, 2);
    mpz_remove(rest, rest, factor);
    mpz_set_ui(factor, 5);
    mpz_remove(rest, rest, factor);
    const bool terminating = mpz_cmp_ui(rest, 1) == 0;
    mpz_clear(factor);
    mpz_clear(rest);
    return terminating;
}

std::string Rational::toString(int digits) const {
    mpf_t f;
    mpf_init2(f, 256);
    mpf_set_q(f, m_value);
    std::vector<char> buffer(static_cast<std::size_t>(digits) + 64);
    gmp_snprintf(buffer.data(), buffer.size(), "%.*Fg", digits, f);
    mpf_clear(f);
    return buffer.data();
}

}  // namespace resources_test
