#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "NBFResult.h"
#include "NBFResultFormatter.h"

namespace {

struct ResultHandle {
    explicit ResultHandle(const std::string& text) : result(NBFResultCreate(text)) {}
    ~ResultHandle() { NBFResultRelease(result); }
    NBFResultRef result;
};

std::string take(char* text) {
    std::unique_ptr<char, decltype(&std::free)> owned(text, &std::free);
    return text ? std::string(text) : std::string("<null>");
}

struct DMS {
    std::string degrees, minutes, seconds;
    friend bool operator==(const DMS&, const DMS&) = default;
    friend void PrintTo(const DMS& d, std::ostream* os) {
        *os << d.degrees << "° " << d.minutes << "' " << d.seconds << "\"";
    }
};

DMS dms(const std::string& value, uint32_t places, bool trailingZeros = false,
        bool separator = false) {
    ResultHandle r(value);
    char *d, *m, *s;
    NBFResultGetDegreesMinutesSeconds(r.result, &d, &m, &s, places, trailingZeros, separator, 3);
    return {take(d), take(m), take(s)};
}

TEST(NBFResult, DegreesMinutesSeconds) {
    EXPECT_EQ(dms("12.5", 0), (DMS{"12", "30", "0"}));
    EXPECT_EQ(dms("1234.25", 0, false, true), (DMS{"1,234", "15", "0"}));
    EXPECT_EQ(dms("10.2625", 2, true), (DMS{"10", "15", "45.00"}));
    EXPECT_EQ(dms("9999999999.5", 0), (DMS{"9999999999", "30", "0"}));
    EXPECT_EQ(dms("10000000000.5", 0), (DMS{"<null>", "<null>", "<null>"}));
    EXPECT_EQ(dms(std::string(1025, '1'), 0), (DMS{"<null>", "<null>", "<null>"}));
    // Rounding the seconds up to 60 carries, never 59' 60".
    EXPECT_EQ(dms("1.99999999", 0), (DMS{"2", "0", "0"}));
    EXPECT_EQ(dms("-1.99999999", 0), (DMS{"-2", "0", "0"}));
    EXPECT_EQ(dms("0.5083333333", 0), (DMS{"0", "30", "30"}));
    // A negative value below one degree keeps its sign.
    EXPECT_EQ(dms("-0.5", 0), (DMS{"-0", "30", "0"}));
}

struct Fraction {
    std::string whole, numerator, denominator;
    friend bool operator==(const Fraction&, const Fraction&) = default;
    friend void PrintTo(const Fraction& f, std::ostream* os) {
        *os << f.whole << " " << f.numerator << "/" << f.denominator;
    }
};

Fraction fraction(const std::string& value, bool mixed) {
    ResultHandle r(value);
    char *w, *n, *d;
    NBFResultGetFraction(r.result, &w, &n, &d, nullptr, nullptr, mixed);
    return {take(w), take(n), take(d)};
}

TEST(NBFResult, Fractions) {
    EXPECT_EQ(fraction("0.75", false), (Fraction{"<null>", "3", "4"}));
    EXPECT_EQ(fraction("1.75", true), (Fraction{"1", "3", "4"}));
    EXPECT_EQ(fraction("1.75", false), (Fraction{"<null>", "7", "4"}));
    EXPECT_EQ(fraction("2", true), (Fraction{"<null>", "<null>", "<null>"}));
    EXPECT_EQ(fraction("0.3333333333333333333333333333333333333333", false),
              (Fraction{"<null>", "1", "3"}));
    EXPECT_EQ(fraction("-0.25", false), (Fraction{"<null>", "-1", "4"}));
    EXPECT_EQ(fraction("-2.3333333333333333333333333333333333333333", true),
              (Fraction{"-2", "1", "3"}));
}

TEST(NBFResult, EqualityRendersAtTheLargerPrecision) {
    ResultHandle a("1.50"), b("1.5"), c("1.5004");
    EXPECT_TRUE(NBFResultEqualToResult(a.result, b.result));
    EXPECT_FALSE(NBFResultEqualToResult(a.result, c.result));
    NBFResultSetPrecision(a.result, 1);
    NBFResultSetPrecision(c.result, 3);
    EXPECT_TRUE(NBFResultEqualToResult(a.result, c.result));  // 1.500 and 1.500
    NBFResultSetPrecision(c.result, 4);
    EXPECT_FALSE(NBFResultEqualToResult(a.result, c.result));  // 1.5000 and 1.5004
    EXPECT_FALSE(NBFResultEqualToResult(a.result, nullptr));
    EXPECT_TRUE(NBFResultEqualToResult(nullptr, nullptr));
}

TEST(NBFResult, StringsValuesAndDefaults) {
    ResultHandle r("12.500");
    EXPECT_EQ(NBFStringGetCppString(NBFResultGetCompleteStringReference(r.result)), "12.5");
    EXPECT_EQ(NBFResultGetExponent(r.result), 1);
    EXPECT_EQ(NBFResultGetPrecision(r.result), NBFResultPrecisionNotDefined);
    EXPECT_EQ(NBFResultGetErrorCode(nullptr), NBFEvaluatorErrorCodeNone);
    EXPECT_EQ(NBFResultGetErrorCode(r.result), 0u);
    EXPECT_EQ(NBFResultGetMAPM(nullptr), nullptr);
    NBFResultRef empty = NBFResultCreate();
    EXPECT_EQ(NBFResultGetMAPM(empty), nullptr);
    NBFResultRelease(empty);
    EXPECT_EQ(NBF::removeTrailingZeros("12.000"), "12");
    EXPECT_EQ(NBF::removeTrailingZeros("100"), "100");
    EXPECT_EQ(NBF::removeTrailingZeros(".500"), ".500");
}

struct FormatterOptions {
    bool separator = false;
    bool trailingZeros = false;
    bool scientific = false;
    int16_t small = NBFScientificNotationThresholdNotDefined;
    int16_t big = NBFScientificNotationThresholdNotDefined;
    int16_t granularity = 1;
};

std::vector<std::string> components(const std::string& value, const FormatterOptions& o,
                                    NBFResultBase base, uint32_t places, uint32_t significant = 0) {
    NBFResultFormatterRef formatter = NBFResultFormatterCreate();
    NBFResultFormatterSetIncludeThousandsSeparator(formatter, o.separator);
    NBFResultFormatterSetIncludeTrailingZeros(formatter, o.trailingZeros);
    NBFResultFormatterSetEnableScientificNotation(formatter, o.scientific);
    NBFResultFormatterSetScientificNotationThresholds(formatter, o.small, o.big);
    NBFResultFormatterSetScientificNotationGranularity(formatter, o.granularity);
    ResultHandle r(value);
    char* parts[3] = {};
    uint8_t count = 9;
    if (significant)
        NBFResultFormatterGetResultComponentsWithSignificantDigits(formatter, r.result, parts,
                                                                   &count, base, significant);
    else
        NBFResultFormatterGetResultComponentsWithDecimalPlaces(formatter, r.result, parts, &count,
                                                               base, places);
    std::vector<std::string> out;
    for (uint8_t i = 0; i < count; ++i) out.push_back(take(parts[i]));
    NBFResultFormatterRelease(formatter);
    return out;
}

using Parts = std::vector<std::string>;

TEST(NBFResultFormatter, GroupingAndTrailingZeros) {
    FormatterOptions grouped{.separator = true, .trailingZeros = true};
    EXPECT_EQ(components("1234567.5", grouped, 10, 2), Parts{"1,234,567.50"});
    grouped.trailingZeros = false;
    EXPECT_EQ(components("1234567.5", grouped, 10, 2), Parts{"1,234,567.5"});
    EXPECT_EQ(components("1200", grouped, 10, 1), Parts{"1,200"});
    EXPECT_EQ(components("-123456", grouped, 10, 0), Parts{"-123,456"});
    EXPECT_EQ(components("2.5", FormatterOptions{}, 10, 0), Parts{"3"});
}

TEST(NBFResultFormatter, ScientificNotationAndGranularity) {
    FormatterOptions sn{.scientific = true, .small = 5, .big = 5, .granularity = 1};
    EXPECT_EQ(components("123456", sn, 10, 10), (Parts{"1.23456", "10", "5"}));
    sn.granularity = 3;
    EXPECT_EQ(components("123456", sn, 10, 10), (Parts{"123.456", "10", "3"}));
    EXPECT_EQ(components("0.0000123", sn, 10, 10), (Parts{"0.0123", "10", "-3"}));
    sn.granularity = 0;  // from an old file: counts as 1
    EXPECT_EQ(components("123456", sn, 10, 10), (Parts{"1.23456", "10", "5"}));
    // A fresh formatter never writes an exponent.
    EXPECT_EQ(components("1e40", FormatterOptions{.scientific = true}, 10, 0),
              Parts{"10000000000000000000000000000000000000000"});
}

TEST(NBFResultFormatter, SignificantDigits) {
    EXPECT_EQ(components("1234.5678", FormatterOptions{}, 10, 0, 3), Parts{"1230"});
    EXPECT_EQ(components("0.012345", FormatterOptions{}, 10, 0, 3), Parts{"0.0123"});
}

// A rounding that carries into the next power of ten shows that power's number: the mantissa
// never reaches ten (or 10^granularity), and the thresholds judge the rounded number.
TEST(NBFResultFormatter, RoundingUpToTheNextPowerOfTen) {
    struct Row {
        std::string value;
        FormatterOptions options;
        uint32_t places;
        uint32_t significant;
        Parts expected;
    };
    const FormatterOptions tens{.scientific = true, .small = 10, .big = 10, .granularity = 1};
    const FormatterOptions threes{.scientific = true, .small = 10, .big = 10, .granularity = 3};
    const FormatterOptions fives{.scientific = true, .small = 5, .big = 5, .granularity = 1};
    const FormatterOptions grouped{.separator = true, .trailingZeros = true};
    const Row rows[] = {
        {"9999999999999999", tens, 10, 0, {"1", "10", "16"}},
        {"99999999999.99999", tens, 10, 0, {"1", "10", "11"}},
        {"-9999999999999999", tens, 10, 0, {"-1", "10", "16"}},
        {std::string(341, '9'), tens, 10, 0, {"1", "10", "341"}},
        {"9999999999999999",
         FormatterOptions{.scientific = true, .small = 0, .big = 0},
         10,
         0,
         {"1", "10", "16"}},
        // Within one step of the granularity the mantissa just gains a digit.
        {"99999999999.99999", threes, 10, 0, {"100", "10", "9"}},
        {"999999999999.99999", threes, 10, 0, {"1", "10", "12"}},
        // The rounded number reaches the threshold the unrounded one is below.
        {"99999.999", fives, 2, 0, {"1", "10", "5"}},
        // Small numbers: the next power may fall inside the threshold, or stay beyond it.
        {"0.000099999999999999", fives, 10, 0, {"0.0001"}},
        {"0.0000099999999999999", fives, 10, 0, {"1", "10", "-5"}},
        {"0.0000012", fives, 0, 0, {"1", "10", "-6"}},
        // Answers that round to zero, or carry without an exponent, are unchanged.
        {"0.004", tens, 2, 0, {"0"}},
        {"0.006", tens, 2, 0, {"0.01"}},
        {"999999.999", grouped, 2, 0, {"1,000,000.00"}},
        {"9.999", FormatterOptions{}, 2, 0, {"10"}},
        {"9999999999999999", tens, 0, 3, {"1", "10", "16"}},
        {"99950", fives, 0, 3, {"1", "10", "5"}},
        {"12345678901", tens, 10, 0, {"1.2345678901", "10", "10"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(components(row.value, row.options, 10, row.places, row.significant), row.expected)
            << row.value << " with " << row.places << " places, " << row.significant << " digits";
}

TEST(NBFResultFormatter, OtherBases) {
    FormatterOptions grouped{.separator = true};
    EXPECT_EQ(components("255", FormatterOptions{}, 16, 0), Parts{"0xFF"});
    EXPECT_EQ(components("-10", FormatterOptions{}, 2, 0), Parts{"-0b1010"});
    EXPECT_EQ(components("1048575", grouped, 16, 0), Parts{"0xFF,FFF"});
    EXPECT_EQ(components("4095", grouped, 16, 0), Parts{"0xFFF"});  // never "0x,FFF"
    EXPECT_EQ(components("-4095", grouped, 16, 0), Parts{"-0xFFF"});
    EXPECT_EQ(components("12.75", FormatterOptions{}, 16, 2), Parts{"0xC"});
    EXPECT_EQ(components("255", FormatterOptions{}, 8, 0), Parts{"255"});  // unknown base: decimal
}

}  // namespace
