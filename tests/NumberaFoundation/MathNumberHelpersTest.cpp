#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "NBFMathLibrary.h"
#include "UnitTestCatalog.h"

namespace {

struct Decimal {
    explicit Decimal(const char* text) : value(m_apm_init_mt()) {
        m_apm_set_string_mt(value, text);
    }
    ~Decimal() { m_apm_free_mt(value); }
    M_APM value;
};

TEST(MathNumberHelpers, RoundHalvesAwayFromZero) {
    struct Row {
        const char* x;
        const char* expected;
    } rows[] = {
        {"2.5", "3"},
        {"-2.5", "-3"},
        {"2.4", "2"},
        {"-2.4", "-2"},
        {"3", "3"},
        {"-3", "-3"},
        {"0", "0"},
        {"0.5", "1"},
        {"-0.49", "0"},
        {"1e30", "1000000000000000000000000000000"},
        {"7.5000000000000000000000000000000001", "8"},
    };
    for (const Row& row : rows) {
        Decimal x(row.x), result("0");
        NBF_mapm_round_mt(result.value, 0, x.value);
        EXPECT_EQ(decimalText(result.value), row.expected) << row.x;
    }
}

TEST(MathNumberHelpers, FittedString) {
    std::string third = "0." + std::string(99, '3');  // the hundredth decimal is dropped
    struct Row {
        const char* x;
        std::string expected;
    } rows[] = {
        {"12.5", "12.5"},
        {"3", "3"},
        {"-0.5", "-0.5"},
        {"0", "0"},
        {"1000", "1000"},
        {"0.1000000000000000000000000000001", "0.1000000000000000000000000000001"},
    };
    for (const Row& row : rows) {
        Decimal x(row.x);
        char* text = NBF_mapm_to_fitted_string(x.value, 100);
        EXPECT_EQ(std::string(text), row.expected) << row.x;
        std::free(text);
    }
    Decimal one("1"), three("3"), quotient("0");
    m_apm_divide_mt(quotient.value, 100, one.value, three.value);
    char* text = NBF_mapm_to_fitted_string(quotient.value, 100);
    EXPECT_EQ(std::string(text), third);
    std::free(text);
    EXPECT_EQ(NBF_mapm_to_fitted_string(nullptr, 100), nullptr);
}

TEST(MathNumberHelpers, BufferSizeTinyCutAndMagnitude) {
    Decimal thousand("1000"), small("-0.00125");
    EXPECT_EQ(NBF_mapm_buffer_size(thousand.value), 1 + 3 + 105);
    EXPECT_EQ(NBF_mapm_buffer_size(small.value), 3 + 3 + 105);
    EXPECT_EQ(NBF_mapm_buffer_size(nullptr), 0);

    Decimal tiny("1e-101"), kept("-1e-100");
    NBF_mapm_truncate_tiny_number(tiny.value, 100, false);
    NBF_mapm_truncate_tiny_number(kept.value, 100, false);
    EXPECT_EQ(decimalText(tiny.value), "0");
    EXPECT_EQ(m_apm_sign_mt(kept.value), -1);

    Decimal inside("9.9e1000000"), outside("1e1000001"), below("1e-1000001"), zero("0");
    m_apm_enter();
    EXPECT_FALSE(NBF_mapm_exceeds_magnitude_limit(inside.value));
    EXPECT_TRUE(NBF_mapm_exceeds_magnitude_limit(outside.value));
    EXPECT_TRUE(NBF_mapm_exceeds_magnitude_limit(below.value));
    EXPECT_FALSE(NBF_mapm_exceeds_magnitude_limit(zero.value));
    m_apm_leave();
}

}  // namespace
