#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "NCBasicUnit.h"
#include "NCResultFormatter.h"

namespace {

using Options = NCResultFormattingOptions;
using Names = NCBasicUnit::Names;

struct FormatRow {
    const char* name;
    const char16_t* value;
    std::function<void(Options&)> configure;
    std::optional<std::u16string> expected;
    NCResultFlags flags = 0;
};

class ResultFormatterTable : public testing::TestWithParam<FormatRow> {
  protected:
    void SetUp() override { initFoundationConstants(); }
};

TEST_P(ResultFormatterTable, FormatsUnderTheOptions) {
    const FormatRow& row = GetParam();
    NCResult result(row.value, nullptr, row.flags);
    Options options;
    if (row.configure) row.configure(options);
    NCResultFormatter formatter("en_US");
    EXPECT_EQ(utf8(formatter.stringValueForResult(&result, &options)), utf8(row.expected));
}

// Expected texts are written out by hand from the value and the option.
const FormatRow kRows[] = {
    {"Default", u"1234.5", nullptr, u"1,234.5"},
    {"NoSeparator", u"1234.5", [](Options& o) { o.thousandsSeparator = false; }, u"1234.5"},
    {"TrailingZeros", u"1234.5",
     [](Options& o) {
         o.trailingZeros = true;
         o.setDecimalPlaces(2);
     },
     u"1,234.50"},
    {"CommaDecimal", u"1234.5",
     [](Options& o) {
         o.decimalPlaceCharacter = u',';
         o.thousandsSeparatorCharacter = u'.';
     },
     u"1.234,5"},
    {"CommaDecimalLongNumber", u"-9876543.21",
     [](Options& o) {
         o.decimalPlaceCharacter = u',';
         o.thousandsSeparatorCharacter = u'.';
     },
     u"-9.876.543,21"},
    {"ApostropheSeparator", u"1234567", [](Options& o) { o.thousandsSeparatorCharacter = u'\''; },
     u"1'234'567"},
    {"GroupsOfTwo", u"1234567", [](Options& o) { o.thousandsGroupSize = 2; }, u"1,23,45,67"},
    {"TwoPlaces", u"3.14159265", [](Options& o) { o.setDecimalPlaces(2); }, u"3.14"},
    {"ZeroPlacesRoundsUp", u"2.6", [](Options& o) { o.setDecimalPlaces(0); }, u"3"},
    {"SignificantDigits", u"1234.5", [](Options& o) { o.setSignificantDigits(3); }, u"1,230"},
    {"SmallZeroHasNoSign", u"-0.0001", [](Options& o) { o.setDecimalPlaces(2); }, u"0"},
    {"GroupsOfFour", u"12345678",
     [](Options& o) { o.setDisplayFormat(NCDisplayFormatSpacedGroupsOfFour); }, u"1234 5678"},
    {"ThresholdReached", u"12345678901", nullptr, u"1.2345678901e10"},
    {"BelowThreshold", u"123456", nullptr, u"123,456"},
    {"SmallThreshold", u"0.00000000001234", nullptr, u"1.234e-11"},
    {"OwnThresholds", u"123456", [](Options& o) { o.setScientificNotationSignificandThreshold(5); },
     u"1.23456e5"},
    {"SIPrefix", u"12345678901", [](Options& o) { o.scientificNotationStyle = 0; },
     u"12.345678901G"},
    {"SIPrefixKilo", u"4500",
     [](Options& o) {
         o.scientificNotationStyle = 0;
         o.scientificNotationMode = 1;
     },
     u"4.5k"},
    {"SIFallsBackForNegativeExponents", u"0.000001234",
     [](Options& o) {
         o.scientificNotationStyle = 0;
         o.scientificNotationMode = 1;
     },
     u"1.234e-6"},
    {"AlwaysScientific", u"123456", [](Options& o) { o.scientificNotationMode = 1; }, u"1.23456e5"},
    {"AlwaysScientificSmallNumber", u"5", [](Options& o) { o.scientificNotationMode = 1; }, u"5"},
    {"NeverScientific", u"100000000000000000000",
     [](Options& o) { o.setScientificNotation(false); }, u"100,000,000,000,000,000,000"},
    {"GranularityThree", u"12345678901",
     [](Options& o) { o.scientificNotationExponentGranularity = 3; }, u"12.345678901e9"},
    {"GranularityZeroCountsAsOne", u"12345678901",
     [](Options& o) { o.scientificNotationExponentGranularity = 0; }, u"1.2345678901e10"},
    {"BaseStringAndSuffix", u"0.00123",
     [](Options& o) {
         o.scientificNotationMode = 1;
         o.scientificNotationBaseString = u"\u00D710^";
         o.scientificNotationExponentSuffixString = u")";
     },
     u"1.23\u00D710^-3)"},
    {"Superscript", u"0.00123",
     [](Options& o) {
         o.scientificNotationMode = 1;
         o.scientificNotationConvertsExponentCharactersIntoSuperscript = true;
     },
     u"1.23e\u207B\u00B3"},
    {"Hexadecimal", u"255", [](Options& o) { o.displayBase = 16; }, u"0xFF"},
    {"HexadecimalWithoutPrefix", u"255",
     [](Options& o) {
         o.displayBase = 16;
         o.showBasePrefix = false;
     },
     u"FF"},
    {"HexadecimalOfAFraction", u"-255.75", [](Options& o) { o.displayBase = 16; }, u"-0xFF"},
    {"HexadecimalOfASmallNegative", u"-0.25", [](Options& o) { o.displayBase = 16; }, u"0x0"},
    {"HexadecimalNeverScientific", u"1099511627776",
     [](Options& o) {
         o.displayBase = 16;
         o.thousandsSeparator = false;
     },
     u"0x10000000000"},
    {"Binary", u"5", [](Options& o) { o.displayBase = 2; }, u"0b101"},
    {"UnknownBaseIsDecimal", u"255", [](Options& o) { o.displayBase = 7; }, u"255"},
    {"ZeroBaseIsDecimal", u"255", [](Options& o) { o.displayBase = 0; }, u"255"},
    {"Percentage", u"50", nullptr, u"50%", NCResultFlagPercentage},
    {"PercentageWithoutSign", u"50", [](Options& o) { o.showPercentSign = false; }, u"50",
     NCResultFlagPercentage},
    {"ScientificPercentage", u"5000", [](Options& o) { o.scientificNotationMode = 1; }, u"5e3 %",
     NCResultFlagPercentage},
    {"DegreesMinutesSeconds", u"30.5",
     [](Options& o) {
         o.setDisplayFormat(NCDisplayFormatDegreesMinutesSeconds);
         o.setDecimalPlaces(0);
     },
     u"30\u00B0 30' 0\""},
    {"DegreesMinutesSecondsFraction", u"10.2575",
     [](Options& o) {
         o.setDisplayFormat(NCDisplayFormatDegreesMinutesSeconds);
         o.setDecimalPlaces(1);
     },
     u"10\u00B0 15' 27\""},
    {"DegreesMinutesSecondsOwnMarks", u"1.5",
     [](Options& o) {
         o.setDisplayFormat(NCDisplayFormatDegreesMinutesSeconds);
         o.degreesCharacter = u"d";
         o.minutesCharacter = u"m";
         o.secondsCharacter = u"s";
     },
     u"1d 30m 0s"},
    {"FractionHalf", u"0.5", [](Options& o) { o.setDisplayFormat(NCDisplayFormatFraction); },
     u"1/2"},
    {"FractionThreeQuarters", u"0.75",
     [](Options& o) { o.setDisplayFormat(NCDisplayFormatFraction); }, u"3/4"},
    {"FractionMixed", u"2.25", [](Options& o) { o.setDisplayFormat(NCDisplayFormatFraction); },
     u"2 1/4"},
    {"FractionImproper", u"2.25",
     [](Options& o) {
         o.setDisplayFormat(NCDisplayFormatFraction);
         o.fractionStyle = 1;
     },
     u"9/4"},
    {"FractionOfAnInteger", u"2", [](Options& o) { o.setDisplayFormat(NCDisplayFormatFraction); },
     std::nullopt},
    {"FractionFallsBack", u"2",
     [](Options& o) {
         o.setDisplayFormat(NCDisplayFormatFraction);
         o.fallbackToDefaultDisplayFormat = true;
     },
     u"2"},
    {"NotRendered", u"2", [](Options& o) { o.setDisplayFormat(NCDisplayFormatNotRendered); },
     std::nullopt},
    {"NotRenderedFallsBack", u"1234",
     [](Options& o) {
         o.setDisplayFormat(NCDisplayFormatNotRendered);
         o.fallbackToDefaultDisplayFormat = true;
     },
     u"1,234"},
    {"Empty", u"", nullptr, u""},
    // A rounding that carries into the next power of ten shows that power's number.
    {"RoundsUpToTheNextExponent", u"9999999999999999", nullptr, u"1e16"},
    {"RoundsUpAtTheThreshold", u"99999999999.99999", nullptr, u"1e11"},
    {"RoundsUpNegative", u"-9999999999999999", nullptr, u"-1e16"},
    {"RoundsUpIntoTheThreshold", u"9999999999.99999", [](Options& o) { o.setDecimalPlaces(2); },
     u"1e10"},
    {"RoundsUpWithSIPrefix", u"999999999.9999999999999",
     [](Options& o) {
         o.scientificNotationStyle = 0;
         o.scientificNotationMode = 1;
     },
     u"1G"},
    {"RoundsUpSuperscript", u"9999999999999999",
     [](Options& o) {
         o.scientificNotationBaseString = u"\u00D710";
         o.scientificNotationConvertsExponentCharactersIntoSuperscript = true;
     },
     u"1\u00D710\u00B9\u2076"},
    {"RoundsUpSmall", u"0.000000000009999999999999", [](Options& o) { o.setDecimalPlaces(2); },
     u"1e-11"},
    {"RoundsUpWithoutExponent", u"999.999", [](Options& o) { o.setDecimalPlaces(2); }, u"1,000"},
};

INSTANTIATE_TEST_SUITE_P(Options, ResultFormatterTable, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<FormatRow>& info) {
                             return info.param.name;
                         });

class ResultFormatter : public testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        metre = NCBasicUnit::create(u"metre", NCUnitTypeLength, u"1",
                                    Names{u"metre", u"metres", {}, u"m"}, {});
        dollar = NCBasicUnit::create(u"USD", NCUnitTypeCurrency, u"1",
                                     Names{u"US dollar", u"US dollars", u"USD", u"$"}, {});
        euro = NCBasicUnit::create(u"EUR", NCUnitTypeCurrency, u"1",
                                   Names{u"euro", u"euros", u"EUR", u"\u20AC"}, {});
    }
    std::shared_ptr<NCBasicUnit> metre, dollar, euro;
};

TEST_F(ResultFormatter, UnitsInTheirFormat) {
    NCResultFormatter formatter("en_US");
    Options options;
    NCResult five(u"5", metre), one(u"1", metre);
    EXPECT_EQ(utf8(formatter.stringValueForResult(&five, &options)), "5 metres");
    EXPECT_EQ(utf8(formatter.stringValueForResult(&one, &options)), "1 metre");
    options.unitNameFormat = NCUnitNameFormatSymbol;
    EXPECT_EQ(utf8(formatter.stringValueForResult(&five, &options)), "5 m");
    options.showUnit = false;
    EXPECT_EQ(utf8(formatter.stringValueForResult(&five, &options)), "5");

    Options names;
    NCResult dollars(u"12.5", dollar);
    EXPECT_EQ(utf8(formatter.stringValueForResult(&dollars, &names)), "12.5 US dollars");
    names.unitNameFormat = NCUnitNameFormatVeryShortName;
    EXPECT_EQ(utf8(formatter.stringValueForResult(&dollars, &names)), "12.5 USD");
    EXPECT_EQ(NCResultFormatter::currencyUnitNameFormatForResult(&dollars, &names), 2);
    EXPECT_EQ(NCResultFormatter::currencyUnitNameFormatForResult(&five, &names), 0);
}

TEST_F(ResultFormatter, CurrencySymbolsFollowTheLocale) {
    Options options;
    options.unitNameFormat = NCUnitNameFormatSymbol;
    NCResult negative(u"-5", dollar), euros(u"1234.5", euro);

    NCResultFormatter american("en_US");
    EXPECT_EQ(utf8(american.stringValueForResult(&negative, &options)), "-$5");
    EXPECT_EQ(utf8(american.stringValueForResult(&euros, &options)),
              "\xE2\x82\xAC"
              "1,234.5");

    // In German the euro follows the amount after a no-break space, and the amount uses a
    // decimal comma from the options.
    NCResultFormatter german("de_DE");
    options.decimalPlaceCharacter = u',';
    options.thousandsSeparatorCharacter = u'.';
    EXPECT_EQ(utf8(german.stringValueForResult(&euros, &options)), "1.234,5\xC2\xA0\xE2\x82\xAC");
    EXPECT_EQ(utf8(german.stringValueForResult(&negative, &options)), "-5\xC2\xA0$");
    german.setLocale("en_US");
    EXPECT_EQ(utf8(german.stringValueForResult(&negative, &options)), "-$5");
}

TEST_F(ResultFormatter, RangesOfMantissaBaseAndExponent) {
    NCResultFormatter formatter("en_US");
    Options options;
    options.scientificNotationMode = 1;
    options.scientificNotationBaseString = u"\u00D710";
    options.scientificNotationConvertsExponentCharactersIntoSuperscript = true;
    NCResult small(u"0.00123");
    NSRange ranges[3];
    uint64_t count = 99;
    auto text = formatter.normalFormattedResult(&small, &options, ranges, &count);
    EXPECT_EQ(utf8(text),
              "1.23\xC3\x97"
              "10\xE2\x81\xBB\xC2\xB3");
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(ranges[0], (NSRange{0, 4}));
    EXPECT_EQ(ranges[1], (NSRange{4, 3}));
    EXPECT_EQ(ranges[2], (NSRange{7, 2}));

    // A currency symbol in front moves every range right by its length.
    options.unitNameFormat = NCUnitNameFormatSymbol;
    NCResult dollars(u"-12345", dollar);
    text = formatter.normalFormattedResult(&dollars, &options, ranges, &count);
    EXPECT_EQ(utf8(text),
              "-$1.2345\xC3\x97"
              "10\xE2\x81\xB4");
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(ranges[0], (NSRange{1, 7}));
    EXPECT_EQ(ranges[1], (NSRange{8, 3}));
    EXPECT_EQ(ranges[2], (NSRange{11, 1}));

    NCResult plain(u"4.25");
    text = formatter.normalFormattedResult(&plain, &options, ranges, &count);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(ranges[0], (NSRange{0, 4}));

    // SI style reports no ranges.
    options.scientificNotationStyle = 0;
    NCResult kilo(u"4500");
    EXPECT_EQ(utf8(formatter.normalFormattedResult(&kilo, &options, ranges, &count)), "4.5k");
    EXPECT_EQ(count, 0u);

    // An empty result leaves the ranges alone.
    ranges[0] = {5, 5};
    count = 7;
    NCResult empty(u"");
    EXPECT_EQ(utf8(formatter.normalFormattedResult(&empty, &options, ranges, &count)), "");
    EXPECT_EQ(ranges[0], (NSRange{5, 5}));
    EXPECT_EQ(count, 7u);
    EXPECT_FALSE(formatter.normalFormattedResult(nullptr, &options, nullptr, nullptr));
}

TEST_F(ResultFormatter, ErrorsHaveNoText) {
    NBFResultRef failed = NBFResultCreate();
    NBFResultSetEvaluationError(failed, NBFEvaluationErrorDivisionByZero);
    NCResult result(failed);
    NBFResultRelease(failed);
    Options options;
    EXPECT_FALSE(NCResultFormatter("en_US").stringValueForResult(&result, &options));
}

TEST(ResultFormatterHelpers, SIExponents) {
    const std::pair<const char16_t*, std::optional<std::u16string>> rows[] = {
        {u"0", u""},          {u"3", u"k"},          {u"6", u"M"},          {u"9", u"G"},
        {u"12", u"T"},        {u"15", u"P"},         {u"18", std::nullopt}, {u"-3", std::nullopt},
        {u"4", std::nullopt}, {u"-6", std::nullopt},
    };
    for (const auto& [exponent, expected] : rows) {
        SCOPED_TRACE(utf8(std::u16string(exponent)));
        EXPECT_EQ(exponentSIString(exponent), expected);
    }
}

TEST(ResultFormatterHelpers, DecimalPointAndSeparatorReplacement) {
    struct Row {
        const char16_t *text, *expected;
        char16_t oldDecimal, oldSeparator, newDecimal, newSeparator;
    };
    const Row rows[] = {
        {u"1,234.5", u"1.234,5", u'.', u',', u',', u'.'},
        {u"1.234,5", u"1,234.5", u',', u'.', u'.', u','},
        {u"12.", u"12,", u'.', u',', u',', u'.'},
        {u"12. m", u"12, m", u'.', u',', u',', u'.'},
        {u".5 + 1,5", u",5 + 1.5", u'.', u',', u',', u'.'},
        {u"end.", u"end.", u'.', u',', u',', u'.'},
        {u"a, b", u"a, b", u'.', u',', u',', u'.'},
        {u"1,2,3,4", u"1 2 3 4", u'.', u',', u'.', u' '},
        {u"1,234,567.89", u"1234567.89", u'.', u',', u'.', 0},
        {u"1,234.5", u"1,234.5", u'.', u',', 0, u'.'},
        {u"1.5", u"1$5", u'.', u',', u'$', u','},
        {u"1d5", u"1,5", u'd', u',', u',', u'.'},
        {u"1,234.5", u"1'234.5", u'.', u',', u'.', u'\''},
    };
    for (const Row& row : rows) {
        std::u16string text = row.text;
        SCOPED_TRACE(utf8(text));
        NCResultFormatterReplaceDecimalPointAndThousandsSeparator(
            text, row.oldDecimal, row.oldSeparator, row.newDecimal, row.newSeparator);
        EXPECT_EQ(utf8(text), utf8(std::u16string(row.expected)));
    }
    std::u16string localized = u"-1,000.25";
    localizeDecimalPointAndThousandsSeparator(localized, u',', u'\u00A0');
    EXPECT_EQ(localized, u"-1\u00A0000,25");
}

TEST(ResultFormatterHelpers, CurrencySymbolsOfAllLocales) {
    const auto& symbols = NCResultFormatter::currencySymbols();
    for (const char16_t* symbol : {u"$", u"\u20AC", u"\u00A3", u"\u00A5"})
        EXPECT_EQ(symbols.count(symbol), 1u) << utf8(std::u16string(symbol));
    EXPECT_EQ(&symbols, &NCResultFormatter::currencySymbols());
}

}  // namespace
