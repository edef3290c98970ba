// Reading decimal text and the four output forms.
#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "mapm_test_support.h"

namespace {

TEST(MapmSetString, AcceptsTheNumberSyntax) {
    struct Row {
        const char* text;
        const char* expected;  // fixed point, every digit
    } rows[] = {
        {"-1.5e3", "-1500"},
        {"+.5", "0.5"},
        {"5.", "5"},
        {" 12 ", "12"},
        {"\t7\n", "7"},
        {"1E+2", "100"},
        {"1e-2", "0.01"},
        {"000123.4500", "123.45"},
        {"-0", "0"},
        {"0.000", "0"},
        {".25e1", "2.5"},
        {"-0.0e99999999999999999999", "0"},
        {"12345678901234567890123456789", "12345678901234567890123456789"},
        {"1.5E-3", "0.0015"},
    };
    for (const Row& row : rows) {
        Dec v("42");
        m_apm_set_string(v, row.text);
        EXPECT_EQ(v.fix(), row.expected) << '"' << row.text << '"';
    }
}

TEST(MapmSetString, RejectsAnythingElseAsZero) {
    const char* rows[] = {
        "abc", "1e",  "--1",  "1.2.3", "",    "e5",    ".",     "+",
        "1 2", "1e+", "0x10", "1,5",   "- 1", "1e5.5", "5e--3", "1e99999999999999999999",
        "  ",  "١",   "inf",  "nan",   "1d5"};
    for (const char* text : rows) {
        Dec v("42");
        m_apm_set_string(v, text);
        EXPECT_EQ(m_apm_sign(v), 0) << '"' << text << '"';
    }
    Dec v("42");
    m_apm_set_string(v, nullptr);
    EXPECT_EQ(m_apm_sign(v), 0);
}

TEST(MapmSetNumbers, DoublesTakeTheirShortestDecimal) {
    struct Row {
        double value;
        const char* expected;  // exponent form, every digit
    } rows[] = {
        {0.1, "1.0E-1"},
        {1e30, "1.0E+30"},
        {-2.5, "-2.5E+0"},
        {5e-324, "5.0E-324"},
        {1.7976931348623157e308, "1.7976931348623157E+308"},
        {0.0, "0.0E+0"},
        {-0.0, "0.0E+0"},
        {123456.789, "1.23456789E+5"},
        {std::numeric_limits<double>::quiet_NaN(), "0.0E+0"},
        {std::numeric_limits<double>::infinity(), "0.0E+0"},
    };
    for (const Row& row : rows) {
        Dec v;
        m_apm_set_double(v, row.value);
        EXPECT_EQ(v.sci(), row.expected) << row.value;
    }
    Dec v;
    m_apm_set_long(v, LONG_MIN);
    EXPECT_EQ(v.fix(), "-9223372036854775808");
    m_apm_set_long(v, 1200);
    EXPECT_EQ(v.sci(), "1.2E+3");
}

TEST(MapmSetNumbers, IgnoreTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const char* comma_locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
    bool switched = false;
    for (const char* name : comma_locales) switched = switched || std::setlocale(LC_NUMERIC, name);
    Dec v;
    m_apm_set_double(v, 1234.5);
    std::string text = v.fix(1);
    m_apm_set_string(v, "2.75");
    std::string parsed = v.fix();
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "1234.5");
    EXPECT_EQ(parsed, "2.75");
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
}

TEST(MapmOutput, ExponentForm) {
    struct Row {
        const char* value;
        int places;
        const char* expected;
    } rows[] = {
        {"1234.5678", 2, "1.23E+3"},
        {"2.5", 4, "2.5000E+0"},
        {"-0.00123", 1, "-1.2E-3"},
        {"9.99", 1, "1.0E+1"},
        {"0", 3, "0.000E+0"},
        {"0", -1, "0.0E+0"},
        {"0", 0, "0E+0"},
        {"1000", -1, "1.0E+3"},
        {"123.456", -1, "1.23456E+2"},
        {"-5e-10", 0, "-5E-10"},
        {"2.5", 0, "3E+0"},
        {"-2.5", 0, "-3E+0"},
        {"0.66666666666666", 10, "6.6666666667E-1"},
        {"999.96", 3, "1.000E+3"},
        {"1e9223372036854775807", 2, "1.00E+9223372036854775807"},
        {"-12345", -5, "-1.2345E+4"},
    };
    for (const Row& row : rows) {
        char buf[128];
        m_apm_to_string(buf, row.places, Dec(row.value));
        EXPECT_STREQ(buf, row.expected) << row.value << " places " << row.places;
    }
}

TEST(MapmOutput, FixedPoint) {
    struct Row {
        const char* value;
        int places;
        const char* expected;
    } rows[] = {
        {"2.5", 0, "3"},
        {"-2.5", 0, "-3"},
        {"0.125", 2, "0.13"},
        {"-0.001", 2, "0.00"},
        {"1234.5678", -1, "1234.5678"},
        {"1e5", -1, "100000"},
        {"1e-5", -1, "0.00001"},
        {"12.5", 3, "12.500"},
        {"-0.5", 0, "-1"},
        {"0.049", 1, "0.0"},
        {"99.96", 1, "100.0"},
        {"0", 2, "0.00"},
        {"0", -1, "0"},
        {"1.5e3", 2, "1500.00"},
        {"-0.0049", 2, "0.00"},
        {"-0.005", 2, "-0.01"},
        {"1e-5", 7, "0.0000100"},
        {"0.45", 0, "0"},
    };
    for (const Row& row : rows) {
        char buf[128];
        m_apm_to_fixpt_string(buf, row.places, Dec(row.value));
        EXPECT_STREQ(buf, row.expected) << row.value << " places " << row.places;
    }
}

TEST(MapmOutput, FixedPointWithSeparators) {
    struct Row {
        const char* value;
        int places;
        char radix, separator;
        int count;
        const char* expected;
    } rows[] = {
        {"1234567.5", 2, '.', ',', 3, "1,234,567.50"},
        {"1234567.5", 2, ',', '.', 3, "1.234.567,50"},
        {"-1234", 0, '.', ',', 3, "-1,234"},
        {"123", 0, '.', ',', 3, "123"},
        {"1000", 0, '.', ',', 3, "1,000"},
        {"100000", 0, '.', ',', 2, "10,00,00"},
        {"1234567.5", 2, '.', ',', 0, "1234567.50"},
        {"0.5", 1, ',', ' ', 3, "0,5"},
        {"-999999.999", 2, '.', '\'', 3, "-1'000'000.00"},
        {"1e7", -1, '.', ',', 4, "1000,0000"},
    };
    for (const Row& row : rows) {
        char buf[128];
        Dec v(row.value);
        m_apm_to_fixpt_stringex(buf, row.places, v, row.radix, row.separator, row.count);
        EXPECT_STREQ(buf, row.expected) << row.value;
        char* allocated =
            m_apm_to_fixpt_stringexp(row.places, v, row.radix, row.separator, row.count);
        ASSERT_NE(allocated, nullptr);
        EXPECT_STREQ(allocated, row.expected) << row.value;
        std::free(allocated);
    }
}

TEST(MapmOutput, AllocatedFixedPointFitsLongValues) {
    // 10^200 + 0.25 with grouping: a 1 followed by 200 zeros in groups of three.
    Dec v("1e200"), r;
    m_apm_add(r, v, Dec("0.25"));
    std::string digits = "1" + std::string(200, '0');
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    char* s = m_apm_to_fixpt_stringexp(100, r, '.', ',', 3);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(s), grouped + ".25" + std::string(98, '0'));
    std::free(s);
    s = m_apm_to_fixpt_stringexp(-1, Dec("-1e-150"), '.', '\0', 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(std::string(s), "-0." + std::string(149, '0') + "1");
    std::free(s);
}

TEST(MapmOutput, IntegerStringTruncatesTowardZero) {
    struct Row {
        const char* value;
        const char* expected;
    } rows[] = {
        {"-2.7", "-2"}, {"2.7", "2"},   {"-0.5", "0"},    {"123.999", "123"},
        {"0", "0"},     {"-12", "-12"}, {"9.99e-7", "0"}, {"1.5e3", "1500"},
    };
    for (const Row& row : rows) {
        char buf[64];
        m_apm_to_integer_string(buf, Dec(row.value));
        EXPECT_STREQ(buf, row.expected) << row.value;
    }
    char buf[64];
    m_apm_to_integer_string(buf, Dec("1e30"));
    EXPECT_EQ(std::string(buf), "1" + std::string(30, '0'));
}

}  // namespace
