// Exact decimal arithmetic, queries, integer operations, rounding and the integer-only paths
// of division and roots.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "mapm_test_support.h"

namespace {

struct BinaryRow {
    char op;
    const char* a;
    const char* b;
    const char* expected;  // every digit, fixed point
};

TEST(MapmExact, ArithmeticIsExactInDecimal) {
    const BinaryRow rows[] = {
        {'+', "0.1", "0.2", "0.3"},
        {'*', "0.3048", "5", "1.524"},
        {'-', "1", "0.9", "0.1"},
        {'-', "0.3", "0.1", "0.2"},
        {'+', "9.99", "0.01", "10"},
        {'+', "123.456", "-123.456", "0"},
        {'*', "-2.5", "4", "-10"},
        {'*', "1.1", "1.1", "1.21"},
        {'*', "0.001", "0.001", "0.000001"},
        {'+', "1e30", "1", "1000000000000000000000000000001"},
        {'-', "1", "1e-20", "0.99999999999999999999"},
        {'*', "123456789012345678901234567890", "0.1", "12345678901234567890123456789"},
        {'+', "-0.5", "-0.25", "-0.75"},
        {'-', "-7", "-7", "0"},
    };
    for (const BinaryRow& row : rows) {
        Dec a(row.a), b(row.b), r;
        switch (row.op) {
            case '+':
                m_apm_add(r, a, b);
                break;
            case '-':
                m_apm_subtract(r, a, b);
                break;
            default:
                m_apm_multiply(r, a, b);
                break;
        }
        EXPECT_EQ(r.fix(), row.expected) << row.a << ' ' << row.op << ' ' << row.b;
    }
}

TEST(MapmExact, ResultMayBeAnOperand) {
    Dec a("1.5"), b("2.25");
    m_apm_add(a, a, b);
    EXPECT_EQ(a.fix(), "3.75");
    m_apm_multiply(b, a, b);
    EXPECT_EQ(b.fix(), "8.4375");
    m_apm_subtract(a, b, a);
    EXPECT_EQ(a.fix(), "4.6875");
    m_apm_add(a, a, a);
    EXPECT_EQ(a.fix(), "9.375");
}

TEST(MapmExact, FarApartExponentsAddExactly) {
    Dec big("1e100"), tiny("1e-100"), r;
    m_apm_add(r, big, tiny);
    EXPECT_EQ(r.sci(), "1." + std::string(199, '0') + "1E+100");
    EXPECT_EQ(m_apm_significant_digits(r), 201);
}

TEST(MapmExact, NegateAndAbsolute) {
    Dec a("-3.25"), r;
    m_apm_negate(r, a);
    EXPECT_EQ(r.fix(), "3.25");
    m_apm_absolute_value(r, a);
    EXPECT_EQ(r.fix(), "3.25");
    m_apm_negate(r, Dec("0"));
    EXPECT_EQ(m_apm_sign(r), 0);
}

TEST(MapmQueries, CompareAndSign) {
    struct Row {
        const char* a;
        const char* b;
        int expected;
    } rows[] = {
        {"1.50", "1.5", 0},    {"-3", "2", -1},         {"1e5", "99999.9999", 1},
        {"0.001", "0.01", -1}, {"-0.001", "-0.01", 1},  {"0", "-0", 0},
        {"12.34", "12.3", 1},  {"-12.34", "-12.3", -1}, {"1e-5000", "0", 1},
        {"100", "1e2", 0},     {"99", "100", -1},       {"1000000000000000000001", "1e21", 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(m_apm_compare(Dec(row.a), Dec(row.b)), row.expected) << row.a << " vs " << row.b;
        EXPECT_EQ(m_apm_compare(Dec(row.b), Dec(row.a)), -row.expected) << row.b << " vs " << row.a;
    }
    EXPECT_EQ(m_apm_sign(Dec("-0.1")), -1);
    EXPECT_EQ(m_apm_sign(Dec("0.000")), 0);
    EXPECT_EQ(m_apm_sign(Dec("7e-9")), 1);
}

TEST(MapmQueries, ExponentAndSignificantDigits) {
    struct Row {
        const char* value;
        int exponent;
        int digits;
    } rows[] = {
        {"1000", 3, 1}, {"0.05", -2, 1},       {"123.45", 2, 5}, {"0", 0, 1},
        {"-9.9", 0, 2}, {"1e-5000", -5000, 1}, {"1.0100", 0, 3}, {"-100200", 5, 4},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(m_apm_exponent(Dec(row.value)), row.exponent) << row.value;
        EXPECT_EQ(m_apm_significant_digits(Dec(row.value)), row.digits) << row.value;
    }
}

TEST(MapmQueries, IntegerOddEven) {
    struct Row {
        const char* value;
        int integer, odd, even;
    } rows[] = {
        {"0", 1, 0, 1},    {"-3", 1, 1, 0}, {"2.5", 0, 0, 0},
        {"1e30", 1, 0, 1}, {"7", 1, 1, 0},  {"-4", 1, 0, 1},
        {"0.5", 0, 0, 0},  {"10", 1, 0, 1}, {"123456789012345678901", 1, 1, 0},
    };
    for (const Row& row : rows) {
        Dec v(row.value);
        EXPECT_EQ(m_apm_is_integer(v), row.integer) << row.value;
        EXPECT_EQ(m_apm_is_odd(v), row.odd) << row.value;
        EXPECT_EQ(m_apm_is_even(v), row.even) << row.value;
    }
}

TEST(MapmRounding, FloorCeilRound) {
    struct Row {
        const char* value;
        const char* floor;
        const char* ceil;
    } rows[] = {
        {"2.5", "2", "3"},
        {"-2.5", "-3", "-2"},
        {"0.001", "0", "1"},
        {"-0.001", "-1", "0"},
        {"7", "7", "7"},
        {"1e-5000", "0", "1"},
        {"-1e30", "-1000000000000000000000000000000", "-1000000000000000000000000000000"},
        {"19.99", "19", "20"},
        {"-19.99", "-20", "-19"},
        {"0", "0", "0"},
    };
    for (const Row& row : rows) {
        Dec v(row.value), r;
        m_apm_floor(r, v);
        EXPECT_EQ(r.fix(), row.floor) << "floor " << row.value;
        m_apm_ceil(r, v);
        EXPECT_EQ(r.fix(), row.ceil) << "ceil " << row.value;
    }
}

TEST(MapmRounding, RoundKeepsPlacesPlusOneSignificantDigits) {
    struct Row {
        const char* value;
        int places;
        const char* expected;
    } rows[] = {
        {"1234.5678", 2, "1230"},
        {"2.5", 0, "3"},
        {"-2.5", 0, "-3"},
        {"9.995", 2, "10"},
        {"0.000123456", 3, "0.0001235"},
        {"-999.5", 2, "-1000"},
        {"1.2345", 10, "1.2345"},
        {"0.0449", 0, "0.04"},
        {"123456789", 4, "123460000"},
        {"0", 5, "0"},
        {"-1.05", 1, "-1.1"},
        {"8.5", -3, "9"},
    };
    for (const Row& row : rows) {
        Dec v(row.value), r;
        m_apm_round(r, row.places, v);
        EXPECT_EQ(r.fix(), row.expected) << row.value << " places " << row.places;
    }
}

TEST(MapmInteger, DivRemTruncatesTowardZero) {
    const std::string fifty9s(50, '9');
    struct Row {
        std::string a;
        std::string b;
        std::string q;
        std::string r;
    } rows[] = {
        {"-7", "2", "-3", "-1"},
        {"7", "-2", "-3", "1"},
        {"7", "2", "3", "1"},
        {"-7", "-2", "3", "-1"},
        {"1e20", "7", "14285714285714285714", "2"},
        {"5", "0", "0", "0"},
        {"123456789123456789", "1000", "123456789123456", "789"},
        // The operands as they are, not their integer parts: q = trunc(a / b), r = a - q * b.
        {"7.9", "2.1", "3", "1.6"},
        {"0.5", "3", "0", "0.5"},
        {"5.5", "2", "2", "1.5"},
        {"7.5", "2.5", "3", "0"},
        {"1.75", "0.5", "3", "0.25"},
        {"10", "0.3", "33", "0.1"},
        {"-10", "0.3", "-33", "-0.1"},
        {"10", "-0.3", "-33", "0.1"},
        {"-5.5", "-2", "2", "-1.5"},
        {"0", "0.3", "0", "0"},
        {"1e-30", "1e-31", "10", "0"},
        {"2.5e25", "0.7", "35714285714285714285714285", "0.5"},
        // Quotients just below a whole number, where a rounded division would reach it.
        {"0." + fifty9s, "0.1", "9", "0.0" + std::string(49, '9')},
        {fifty9s + "." + fifty9s, "1", fifty9s, "0." + fifty9s},
        {"3" + std::string(50, '0'), "3." + std::string(59, '0') + "1", fifty9s,
         "2.9999999999" + std::string(49, '0') + "1"},
    };
    for (const Row& row : rows) {
        Dec a(row.a.c_str()), b(row.b.c_str()), q, r, q2;
        m_apm_integer_div_rem(q, r, a, b);
        EXPECT_EQ(q.fix(), row.q) << row.a << " / " << row.b;
        EXPECT_EQ(r.fix(), row.r) << row.a << " % " << row.b;
        m_apm_integer_divide(q2, a, b);
        EXPECT_EQ(q2.fix(), row.q) << row.a << " / " << row.b;
    }
}

TEST(MapmInteger, DivRemIntoItsOwnOperands) {
    // The quotient and remainder may be written over the operands they come from.
    Dec a("5.5"), b("2");
    m_apm_integer_div_rem(a, b, a, b);
    EXPECT_EQ(a.fix(), "2");
    EXPECT_EQ(b.fix(), "1.5");
    Dec c("-7.25"), d("0.5");
    m_apm_integer_div_rem(d, c, c, d);
    EXPECT_EQ(d.fix(), "-14");
    EXPECT_EQ(c.fix(), "-0.25");
    Dec e("10"), f("0.3");
    m_apm_integer_divide(e, e, f);
    EXPECT_EQ(e.fix(), "33");
}

TEST(MapmInteger, Factorial) {
    struct Row {
        const char* n;
        const char* expected;
    } rows[] = {
        {"20", "2432902008176640000"},
        {"0", "1"},
        {"1", "1"},
        {"-5", "1"},
        {"5.9", "120"},
        {"25", "15511210043330985984000000"},
        {"10", "3628800"},
    };
    for (const Row& row : rows) {
        Dec r;
        m_apm_factorial(r, Dec(row.n));
        EXPECT_EQ(r.fix(), row.expected) << row.n << "!";
    }
}

TEST(MapmInteger, ExactPowers) {
    struct Row {
        const char* x;
        int n;
        const char* expected;
    } rows[] = {
        {"2", 100, "1267650600228229401496703205376"},
        {"0.5", 3, "0.125"},
        {"-1.5", 3, "-3.375"},
        {"10", 0, "1"},
        {"0", 0, "1"},
        {"0", 5, "0"},
        {"-0.1", 4, "0.0001"},
    };
    for (const Row& row : rows) {
        Dec r;
        m_apm_integer_pow_nr(r, Dec(row.x), row.n);
        EXPECT_EQ(r.fix(), row.expected) << row.x << "^" << row.n;
    }
    Dec r;
    m_apm_integer_pow_nr(r, Dec("1e-300"), 40);
    EXPECT_EQ(r.fix(), "0." + std::string(11999, '0') + "1");
    m_apm_integer_pow_nr(r, Dec("3"), -1);
    EXPECT_EQ(m_apm_sign(r), 0);
}

TEST(MapmDivision, RoundsToPlacesPlusOneDigits) {
    struct Row {
        const char* a;
        const char* b;
        int places;
        const char* expected;  // exponent form
    } rows[] = {
        {"2", "3", 10, "6.6666666667E-1"},
        {"1", "3", 0, "3E-1"},
        {"2", "3", 0, "7E-1"},
        {"1", "8", 1, "1.3E-1"},
        {"-1", "8", 1, "-1.3E-1"},
        {"10", "4", 0, "3E+0"},
        {"-10", "-4", 0, "3E+0"},
        {"1", "7", 20, "1.42857142857142857143E-1"},
        {"355", "113", 30, "3.141592920353982300884955752212E+0"},
        {"1e-5000", "3e5000", 4, "3.3333E-10001"},
        {"6", "0.002", 5, "3.00000E+3"},
        {"1", "-1024", -1, "-1E-3"},
    };
    for (const Row& row : rows) {
        Dec r;
        m_apm_divide(r, row.places, Dec(row.a), Dec(row.b));
        EXPECT_EQ(r.sci(row.places < 0 ? 0 : row.places), row.expected)
            << row.a << " / " << row.b << " places " << row.places;
    }
}

TEST(MapmDivision, HundredTwoDigitsOfOneSeventh) {
    // 1/7 = 0.(142857); digit 103 is a 1 (the repetend's first digit), so it rounds down.
    std::string repeated;
    while (repeated.size() < 103) repeated += "142857";
    const std::string expected = "1." + repeated.substr(1, 101) + "E-1";
    Dec r;
    m_apm_divide(r, 101, Dec("1"), Dec("7"));
    EXPECT_EQ(r.sci(101), expected);
    m_apm_reciprocal(r, 5, Dec("3"));
    EXPECT_EQ(r.fix(), "0.333333");
}

TEST(MapmRoots, IntegerRootsAreCorrectlyRounded) {
    struct Row {
        char kind;  // 's' square root, 'c' cube root
        const char* value;
        int places;
        const char* expected;
    } rows[] = {
        {'s', "6.25", 1, "2.5E+0"},
        {'s', "6.25", 0, "3E+0"},
        {'s', "2.25", 0, "2E+0"},
        {'s', "1e-100", 5, "1.00000E-50"},
        {'s', "0", 5, "0.00000E+0"},
        {'s', "1e101", 30, "3.162277660168379331998893544433E+50"},
        {'c', "-8", 4, "-2.0000E+0"},
        {'c', "27", 5, "3.00000E+0"},
        {'c', "1e-9", 2, "1.00E-3"},
        {'c', "-0.001", 0, "-1E-1"},
        {'s', "2", 60, "1.414213562373095048801688724209698078569671875376948073176680E+0"},
        {'c', "2", 60, "1.259921049894873164767210607278228350570251464701507980081975E+0"},
    };
    for (const Row& row : rows) {
        Dec r;
        if (row.kind == 's')
            m_apm_sqrt(r, row.places, Dec(row.value));
        else
            m_apm_cbrt(r, row.places, Dec(row.value));
        EXPECT_EQ(r.sci(row.places), row.expected) << row.kind << ' ' << row.value;
    }
}

TEST(MapmPowers, IntegerPowerRounds) {
    struct Row {
        const char* x;
        int n;
        int places;
        const char* expected;
    } rows[] = {
        {"1.5", 3, 2, "3.38E+0"},
        {"2", -2, 5, "2.50000E-1"},
        {"-2", 3, 5, "-8.00000E+0"},
        {"3", -1, 3, "3.333E-1"},
        {"7", 0, 2, "1.00E+0"},
        {"0", 3, 2, "0.00E+0"},
        {"1.000001", 1000000, 30, "2.718280469319376883819799708454E+0"},
    };
    for (const Row& row : rows) {
        Dec r;
        m_apm_integer_pow(r, row.places, Dec(row.x), row.n);
        EXPECT_EQ(r.sci(row.places), row.expected) << row.x << "^" << row.n;
    }
}

TEST(MapmRange, HugeAndTinyExponents) {
    Dec tiny("1e-5000"), r;
    m_apm_multiply(r, tiny, tiny);
    EXPECT_EQ(r.sci(), "1.0E-10000");
    EXPECT_EQ(m_apm_exponent(r), -10000);

    Dec top("9e9223372036854775807");
    EXPECT_EQ(top.sci(), "9.0E+9223372036854775807");
    EXPECT_EQ(m_apm_exponent(top), INT_MAX);
    Dec bottom("1e-9223372036854775808");
    EXPECT_EQ(m_apm_exponent(bottom), INT_MIN);
    EXPECT_EQ(bottom.sci(), "1.0E-9223372036854775808");
}

TEST(MapmRange, ExponentOverflowIsRefused) {
    Dec top("9e9223372036854775807"), bottom("1e-9223372036854775808"), r("5");
    m_apm_multiply(r, top, Dec("10"));
    EXPECT_EQ(m_apm_sign(r), 0);
    m_apm_set_long(r, 5);
    m_apm_add(r, top, top);  // 1.8e(max + 1)
    EXPECT_EQ(m_apm_sign(r), 0);
    m_apm_set_long(r, 5);
    m_apm_multiply(r, bottom, Dec("0.1"));
    EXPECT_EQ(m_apm_sign(r), 0);
    m_apm_set_long(r, 5);
    m_apm_divide(r, 10, top, Dec("0.01"));
    EXPECT_EQ(m_apm_sign(r), 0);
    m_apm_set_long(r, 5);
    m_apm_integer_pow_nr(r, Dec("1e5000000000000000000"), 2);
    EXPECT_EQ(m_apm_sign(r), 0);
    // Just inside the range still works.
    m_apm_multiply(r, Dec("1e9223372036854775806"), Dec("10"));
    EXPECT_EQ(r.sci(), "1.0E+9223372036854775807");
}

}  // namespace
