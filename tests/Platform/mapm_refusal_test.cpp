// The refusal status: which results set it, what leaves it alone, and whose it is.
#include <gtest/gtest.h>

#include <functional>
#include <latch>
#include <thread>

#include "mapm_test_support.h"

namespace {

const char* const kTop = "9e9223372036854775807";      // the largest exponent
const char* const kBottom = "1e-9223372036854775808";  // the smallest exponent

struct Row {
    const char* what;
    std::function<void(M_APM)> compute;
};

TEST(MapmRefusal, EveryKindOfRefusalSetsTheStatusAndAnswersZero) {
    const Row rows[] = {
        // The decimal exponent leaves the 64-bit range.
        {"top * 10", [](M_APM r) { m_apm_multiply(r, Dec(kTop), Dec("10")); }},
        {"bottom * 0.1", [](M_APM r) { m_apm_multiply(r, Dec(kBottom), Dec("0.1")); }},
        {"top * 10, locked form", [](M_APM r) { m_apm_multiply_mt(r, Dec(kTop), Dec("10")); }},
        {"top + top", [](M_APM r) { m_apm_add(r, Dec(kTop), Dec(kTop)); }},
        {"top / 0.01", [](M_APM r) { m_apm_divide(r, 10, Dec(kTop), Dec("0.01")); }},
        {"round(9.9e max) carries over",
         [](M_APM r) { m_apm_round(r, 0, Dec("9.9e9223372036854775807")); }},
        {"text 1e10^19", [](M_APM r) { m_apm_set_string(r, "1e10000000000000000000"); }},
        {"(1e5e18)^2 exact",
         [](M_APM r) { m_apm_integer_pow_nr(r, Dec("1e5000000000000000000"), 2); }},
        {"(1e-9e18)^2",
         [](M_APM r) { m_apm_integer_pow(r, 20, Dec("1e-9000000000000000000"), 2); }},
        {"(1e-9e18)^-2",
         [](M_APM r) { m_apm_integer_pow(r, 20, Dec("1e-9000000000000000000"), -2); }},
        {"2^(1e30)", [](M_APM r) { m_apm_pow(r, 20, Dec("2"), Dec("1e30")); }},
        {"0.5^(1e30)", [](M_APM r) { m_apm_pow(r, 20, Dec("0.5"), Dec("1e30")); }},
        {"exp(1e20)", [](M_APM r) { m_apm_exp(r, 20, Dec("1e20")); }},
        {"exp(-1e19)", [](M_APM r) { m_apm_exp(r, 20, Dec("-1e19")); }},
        {"sinh(-1e25)", [](M_APM r) { m_apm_sinh(r, 20, Dec("-1e25")); }},
        {"cosh(1e19)", [](M_APM r) { m_apm_cosh(r, 20, Dec("1e19")); }},
        // Within the decimal range but beyond MPFR's, above and below.
        {"10^(2e18)", [](M_APM r) { m_apm_pow(r, 20, Dec("10"), Dec("2e18")); }},
        {"10^(-2e18)", [](M_APM r) { m_apm_pow(r, 20, Dec("10"), Dec("-2e18")); }},
        {"exp(4e18)", [](M_APM r) { m_apm_exp(r, 20, Dec("4e18")); }},
        {"exp(-4e18)", [](M_APM r) { m_apm_exp(r, 20, Dec("-4e18")); }},
        // Too large to place in the period.
        {"sin(1e119999)", [](M_APM r) { m_apm_sin(r, 20, Dec("1e119999")); }},
        {"cos(-1e200000)", [](M_APM r) { m_apm_cos(r, 20, Dec("-1e200000")); }},
        {"tan(1e119999)", [](M_APM r) { m_apm_tan(r, 20, Dec("1e119999")); }},
        // More digits than the bound.
        {"1e100000000 + 1", [](M_APM r) { m_apm_add(r, Dec("1e100000000"), MM_One); }},
        {"trunc(1e100000000 / 3)",
         [](M_APM r) { m_apm_integer_divide(r, Dec("1e100000000"), Dec("3")); }},
        {"1e100000000 div-rem 3, quotient",
         [](M_APM r) {
             Dec remainder;
             m_apm_integer_div_rem(r, remainder, Dec("1e100000000"), Dec("3"));
         }},
        {"1e100000000 div-rem 3, remainder",
         [](M_APM r) {
             Dec quotient;
             m_apm_integer_div_rem(quotient, r, Dec("1e100000000"), Dec("3"));
         }},
        {"1000000000!", [](M_APM r) { m_apm_factorial(r, Dec("1000000000")); }},
        {"(1e25)!", [](M_APM r) { m_apm_factorial(r, Dec("1e25")); }},
        {"1 / 3 to 80000000 places", [](M_APM r) { m_apm_divide(r, 80000000, MM_One, Dec("3")); }},
        {"sqrt(2) to 80000000 places", [](M_APM r) { m_apm_sqrt(r, 80000000, MM_Two); }},
        {"exp(1) to 80000000 places", [](M_APM r) { m_apm_exp(r, 80000000, MM_One); }},
        {"3^2 to 80000000 places", [](M_APM r) { m_apm_integer_pow(r, 80000000, Dec("3"), 2); }},
    };
    for (const Row& row : rows) {
        Dec r("42");
        m_apm_clear_refusal();
        row.compute(r);
        EXPECT_EQ(m_apm_refused(), 1) << row.what;
        EXPECT_EQ(m_apm_sign(r), 0) << row.what << " gave " << r.sci();
    }
    m_apm_clear_refusal();
}

TEST(MapmRefusal, DomainErrorsTrueZerosAndBadTextLeaveTheStatusAlone) {
    const Row rows[] = {
        {"sqrt(-1)", [](M_APM r) { m_apm_sqrt(r, 20, Dec("-1")); }},
        {"log(0)", [](M_APM r) { m_apm_log(r, 20, MM_Zero); }},
        {"arcsin(2)", [](M_APM r) { m_apm_arcsin(r, 20, MM_Two); }},
        {"arctanh(1)", [](M_APM r) { m_apm_arctanh(r, 20, MM_One); }},
        {"1 / 0", [](M_APM r) { m_apm_divide(r, 20, MM_One, MM_Zero); }},
        {"trunc(1e100000000 / 0)",
         [](M_APM r) { m_apm_integer_divide(r, Dec("1e100000000"), MM_Zero); }},
        {"1e100000000 div-rem 0",
         [](M_APM r) {
             Dec remainder;
             m_apm_integer_div_rem(r, remainder, Dec("1e100000000"), MM_Zero);
         }},
        {"0^-1", [](M_APM r) { m_apm_pow(r, 20, MM_Zero, Dec("-1")); }},
        {"(-2)^0.5", [](M_APM r) { m_apm_pow(r, 20, Dec("-2"), Dec("0.5")); }},
        {"2^-1 exact", [](M_APM r) { m_apm_integer_pow_nr(r, MM_Two, -1); }},
        {"text abc", [](M_APM r) { m_apm_set_string(r, "abc"); }},
        {"5 - 5", [](M_APM r) { m_apm_subtract(r, Dec("5"), Dec("5")); }},
        {"sin(0)", [](M_APM r) { m_apm_sin(r, 20, MM_Zero); }},
        {"0 * top", [](M_APM r) { m_apm_multiply(r, MM_Zero, Dec(kTop)); }},
        {"0 to 80000000 places", [](M_APM r) { m_apm_divide(r, 80000000, MM_Zero, MM_Two); }},
        {"1e-5000 * 1e-5000", [](M_APM r) { m_apm_multiply(r, Dec("1e-5000"), Dec("1e-5000")); }},
        {"tanh(1e20)", [](M_APM r) { m_apm_tanh(r, 20, Dec("1e20")); }},
        {"(-1)^(1e30)", [](M_APM r) { m_apm_pow(r, 20, Dec("-1"), Dec("1e30")); }},
        {"exp(-100000)", [](M_APM r) { m_apm_exp(r, 20, Dec("-100000")); }},
        {"log(1e2000000000000000000)",
         [](M_APM r) { m_apm_log(r, 20, Dec("1e2000000000000000000")); }},
    };
    for (const Row& row : rows) {
        Dec r;
        m_apm_clear_refusal();
        row.compute(r);
        EXPECT_EQ(m_apm_refused(), 0) << row.what << " gave " << r.sci();
    }
}

TEST(MapmRefusal, StatusStaysSetUntilCleared) {
    Dec r;
    m_apm_clear_refusal();
    EXPECT_EQ(m_apm_refused(), 0);
    m_apm_multiply(r, Dec(kTop), Dec("10"));
    // Later calls that succeed do not hide the refusal before them.
    m_apm_add(r, MM_One, MM_Two);
    m_apm_divide(r, 10, r, Dec("7"));
    EXPECT_EQ(m_apm_refused(), 1);
    EXPECT_EQ(r.sci(10), "4.2857142857E-1");
    m_apm_clear_refusal();
    EXPECT_EQ(m_apm_refused(), 0);
    m_apm_add(r, MM_One, MM_Two);
    EXPECT_EQ(m_apm_refused(), 0);
}

TEST(MapmRefusal, StatusBelongsToTheCallingThread) {
    m_apm_clear_refusal();
    std::latch refused(1);
    std::latch checked(1);
    int otherAtStart = -1, otherAfterRefusal = -1, quietDuring = -1, quietAfter = -1;
    std::thread refusing([&] {
        Dec r;
        otherAtStart = m_apm_refused();
        m_apm_multiply_mt(r, Dec(kTop), Dec("10"));
        otherAfterRefusal = m_apm_refused();
        refused.count_down();
        checked.wait();  // still alive while the other thread looks
    });
    std::thread quiet([&] {
        Dec r;
        refused.wait();
        m_apm_add_mt(r, MM_One, MM_Two);
        quietDuring = m_apm_refused();
        checked.count_down();
    });
    refusing.join();
    quiet.join();
    EXPECT_EQ(otherAtStart, 0);
    EXPECT_EQ(otherAfterRefusal, 1);
    EXPECT_EQ(quietDuring, 0);
    EXPECT_EQ(m_apm_refused(), 0);  // this thread's own status, untouched by the others

    // And the other way round: this thread's refusal is not a new thread's.
    Dec r;
    m_apm_multiply(r, Dec(kTop), Dec("10"));
    std::thread([&] { quietAfter = m_apm_refused(); }).join();
    EXPECT_EQ(quietAfter, 0);
    EXPECT_EQ(m_apm_refused(), 1);
    m_apm_clear_refusal();
}

}  // namespace
