// Correct rounding of division and roots, checked by definition with exact arithmetic: q is
// the value rounded to p significant digits, halves away from zero, exactly when the true value
// lies in [|q| - u/2, |q| + u/2), u being one unit in q's last place.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "TestRandom.h"
#include "mapm_test_support.h"

namespace {

// Half a unit in the last of `places` + 1 significant digits of q.
Dec half_unit(M_APM q, int places) {
    return Dec(("5e" + std::to_string(m_apm_exponent(q) - places - 1)).c_str());
}

// |q| - u/2 <= t < |q| + u/2, where bound_at_most_true(x) tells whether x <= t.
template <class AtMost>
bool in_rounding_interval(M_APM q, int places, AtMost bound_at_most_true) {
    Dec u = half_unit(q, places), magnitude, low, high;
    m_apm_absolute_value(magnitude, q);
    m_apm_subtract(low, magnitude, u);
    m_apm_add(high, magnitude, u);
    return bound_at_most_true(low.get()) && !bound_at_most_true(high.get());
}

std::string random_digits(std::mt19937_64& rng, int n) {
    std::string d(1, char('1' + rng() % 9));
    while (int(d.size()) < n) d += char('0' + rng() % 10);
    return d;
}

std::string random_value(std::mt19937_64& rng, int max_digits, bool allow_negative) {
    const int n = 1 + int(rng() % uint64_t(max_digits));
    std::string s = (allow_negative && rng() % 2) ? "-" : "";
    return s + random_digits(rng, n) + "e" + std::to_string(int(rng() % 61) - 30);
}

TEST(MapmRoundingProperty, DivisionRoundsHalvesAwayFromZero) {
    const uint32_t seed = test_random::seed(20240601);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937_64 rng(seed);
    for (int i = 0, count = test_random::rounds(3000); i < count; ++i) {
        Dec a(random_value(rng, 45, true).c_str());
        Dec b(random_value(rng, 45, true).c_str());
        if (i % 5 == 0) b = Dec(i % 10 == 0 ? "8" : "-16");  // quotients that end in a 5
        const int places = int(rng() % 50);
        Dec q;
        m_apm_divide(q, places, a, b);
        ASSERT_EQ(m_apm_sign(q), m_apm_sign(a) * m_apm_sign(b));
        Dec abs_a, abs_b;
        m_apm_absolute_value(abs_a, a);
        m_apm_absolute_value(abs_b, b);
        // bound <= |a / b|  <=>  bound * |b| <= |a|
        const bool ok = in_rounding_interval(q, places, [&](M_APM bound) {
            Dec product;
            m_apm_multiply(product, bound, abs_b);
            return m_apm_compare(product, abs_a) <= 0;
        });
        EXPECT_TRUE(ok) << a.sci() << " / " << b.sci() << " places " << places << " gave "
                        << q.sci();
    }
}

TEST(MapmRoundingProperty, ExactQuotientsKeepTheirDigitsOrRoundThem) {
    // a = b * c: the quotient is c itself when its digits fit, else c correctly rounded. Long
    // operands and many places take the general path; ties come from c ending in a 5.
    const uint32_t seed = test_random::seed(4242);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937_64 rng(seed);
    for (int i = 0, count = test_random::rounds(3000); i < count; ++i) {
        Dec b(random_value(rng, i % 2 ? 60 : 20, true).c_str());
        std::string c_text = random_value(rng, 70, true);
        if (i % 4 == 0) c_text.insert(c_text.find('e'), "5");
        Dec c(c_text.c_str()), a;
        m_apm_multiply(a, b, c);
        const int places = int(rng() % 120);
        Dec q;
        m_apm_divide(q, places, a, b);
        Dec abs_c;
        m_apm_absolute_value(abs_c, c);
        if (m_apm_significant_digits(c) <= places + 1) {
            EXPECT_EQ(m_apm_compare(q, c), 0) << a.sci() << " / " << b.sci() << " gave " << q.sci();
            continue;
        }
        ASSERT_EQ(m_apm_sign(q), m_apm_sign(c));
        const bool ok = in_rounding_interval(
            q, places, [&](M_APM bound) { return m_apm_compare(bound, abs_c) <= 0; });
        EXPECT_TRUE(ok) << a.sci() << " / " << b.sci() << " places " << places << " gave "
                        << q.sci();
    }
}

TEST(MapmRoundingProperty, RootsRoundHalvesAwayFromZero) {
    const uint32_t seed = test_random::seed(77);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937_64 rng(seed);
    for (int i = 0, count = test_random::rounds(3000); i < count; ++i) {
        Dec a(random_value(rng, 45, false).c_str());
        int places = int(rng() % 50);
        if (i % 4 == 0) {
            // An exact tie: a = (d.ddd5)^2 rounded to the digits before the 5.
            const std::string half = random_digits(rng, 1 + int(rng() % 36)) + "5";
            Dec h((half + "e" + std::to_string(int(rng() % 21) - 10)).c_str());
            m_apm_multiply(a, h, h);
            places = int(half.size()) - 2;
        }
        const bool cube = i % 3 == 2;
        Dec q;
        if (cube)
            m_apm_cbrt(q, places, a);
        else
            m_apm_sqrt(q, places, a);
        // bound <= root(a)  <=>  bound^n <= a (bound >= 0)
        const bool ok = in_rounding_interval(q, places, [&](M_APM bound) {
            if (m_apm_sign(bound) <= 0) return true;
            Dec power;
            m_apm_integer_pow_nr(power, bound, cube ? 3 : 2);
            return m_apm_compare(power, a) <= 0;
        });
        EXPECT_TRUE(ok) << (cube ? "cbrt " : "sqrt ") << a.sci() << " places " << places << " gave "
                        << q.sci();
    }
}

TEST(MapmRoundingProperty, NegativeIntegerPowersRoundLikeDivision) {
    const uint32_t seed = test_random::seed(5);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937_64 rng(seed);
    for (int i = 0, count = test_random::rounds(500); i < count; ++i) {
        Dec x(random_value(rng, 20, true).c_str());
        const int n = 1 + int(rng() % 6);
        const int places = int(rng() % 40);
        Dec q, power, abs_power;
        m_apm_integer_pow(q, places, x, -n);
        m_apm_integer_pow_nr(power, x, n);
        m_apm_absolute_value(abs_power, power);
        // bound <= 1 / |x^n|  <=>  bound * |x^n| <= 1
        const bool ok = in_rounding_interval(q, places, [&](M_APM bound) {
            Dec product;
            m_apm_multiply(product, bound, abs_power);
            return m_apm_compare(product, MM_One) <= 0;
        });
        EXPECT_TRUE(ok) << x.sci() << "^-" << n << " places " << places << " gave " << q.sci();
    }
}

}  // namespace
