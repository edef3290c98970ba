#include <gtest/gtest.h>

#include "NCResultFormattingOptions.h"

namespace {

TEST(NCResultFormattingOptions, DecimalPlacesUnsetUntilCopied) {
    NCResultFormattingOptions fresh;
    EXPECT_EQ(fresh.decimalPlaces(), 10u);
    EXPECT_FALSE(fresh.isDecimalPlacesSet());
    auto copy = fresh.copy();
    EXPECT_TRUE(copy->isDecimalPlacesSet());
    EXPECT_EQ(copy->decimalPlaces(), 10u);
}

TEST(NCResultFormattingOptions, ScientificNotationSwitchAndThresholds) {
    NCResultFormattingOptions options;
    options.setScientificNotation(false);
    EXPECT_EQ(options.scientificNotationMode, 0);
    options.setScientificNotation(true);
    EXPECT_EQ(options.scientificNotationMode, 2);
    options.setScientificNotationSignificandThreshold(6);
    EXPECT_EQ(options.scientificNotationBigThreshold, 6u);
    EXPECT_EQ(options.scientificNotationSmallThreshold, 6u);
}

TEST(NCResultFormattingOptions, LocaleFromTheSimpleLocaleValue) {
    auto options = NCResultFormattingOptions::formattingOptionsWithDisplayFormat(
        NCDisplayFormatFraction, NCSimpleLocale::fromValue(u',' | (u'.' << 16)));
    EXPECT_EQ(options->decimalPlaceCharacter, u',');
    EXPECT_EQ(options->thousandsSeparatorCharacter, u'.');
    EXPECT_EQ(options->displayFormat(), NCDisplayFormatFraction);
    EXPECT_EQ(kNCSimpleLocalDefault.value(), 2883630u);
}

TEST(NCResultFormattingOptions, ArchiveRoundTripKeepsEveryArchivedField) {
    NCResultFormattingOptions options;
    options.thousandsSeparator = false;
    options.trailingZeros = true;
    options.scientificNotationMode = 1;
    options.scientificNotationStyle = 0;
    options.setPrecisionMode(3);
    options.setDecimalPlaces(4);
    options.setSignificantDigits(7);
    options.thousandsGroupSize = 4;
    options.scientificNotationBigThreshold = 12;
    options.scientificNotationSmallThreshold = 5;
    options.scientificNotationSignicantDigits = 9;
    options.scientificNotationExponentGranularity = 3;
    options.scientificNotationBaseString = u"\u00D710^";
    options.scientificNotationExponentSuffixString = u"!";
    options.displayBase = 16;
    options.showBasePrefix = false;
    options.setDisplayFormat(NCDisplayFormatDegreesMinutesSeconds);
    options.fallbackToDefaultDisplayFormat = true;
    options.fractionStyle = 1;
    options.degreesCharacter = u"d";
    options.minutesCharacter = u"m";
    options.secondsCharacter = u"s";
    options.decimalPlaceCharacter = u',';
    options.thousandsSeparatorCharacter = u'.';
    options.showUnit = false;
    options.unitNameFormat = NCUnitNameFormatSymbol;
    options.showPercentSign = false;
    options.scientificNotationBaseStringFontSizeScale = 0.5;
    options.scientificNotationExponentStringFontSizeScale = 0.75;
    options.scientificNotationConvertsExponentCharactersIntoSuperscript = true;

    NSKeyedArchive archive;
    options.encodeWithCoder(archive);
    EXPECT_FALSE(archive.containsValueForKey("scientificNotationSignicantDigits"));
    auto decoded = NCResultFormattingOptions::initWithCoder(archive);

    // Everything but the unarchived field matches a plain copy.
    auto expected = options.copy();
    expected->scientificNotationSignicantDigits = 0;
    NSKeyedArchive a, b;
    expected->encodeWithCoder(a);
    decoded->encodeWithCoder(b);
    EXPECT_EQ(a.values(), b.values());
    EXPECT_EQ(decoded->scientificNotationSignicantDigits, 0u);
    EXPECT_EQ(decoded->scientificNotationBaseString, u"\u00D710^");
    EXPECT_EQ(decoded->decimalPlaces(), 4u);
}

TEST(NCResultFormattingOptions, MissingOrMistypedKeysKeepTheDefaults) {
    NSKeyedArchive archive;
    archive.encodeInteger(16, "displayBase");
    archive.encodeBool(true, "scientificNotationMode");        // wrong kind
    archive.encodeInteger(int64_t{1} << 40, "displayFormat");  // does not fit an int
    auto decoded = NCResultFormattingOptions::initWithCoder(archive);
    EXPECT_EQ(decoded->displayBase, 16);
    EXPECT_EQ(decoded->scientificNotationMode, 2);
    EXPECT_EQ(decoded->displayFormat(), NCDisplayFormatNormal);
    EXPECT_TRUE(decoded->thousandsSeparator);
    EXPECT_EQ(decoded->scientificNotationExponentGranularity, 1u);
    EXPECT_EQ(decoded->degreesCharacter, u"\u00B0");
    EXPECT_FALSE(decoded->isDecimalPlacesSet());
}

TEST(NCResultFormattingOptions, KeyValueAccessUsesTheArchiveKeys) {
    NCResultFormattingOptions options;
    EXPECT_TRUE(options.setValueForKey(int64_t{2}, "displayBase"));
    EXPECT_EQ(options.displayBase, 2);
    EXPECT_EQ(options.valueForKey("decimalPlaces"), NSArchiveValue(int64_t{10}));
    EXPECT_FALSE(options.setValueForKey(std::u16string(u"x"), "displayBase"));
    EXPECT_FALSE(options.setValueForKey(true, "noSuchKey"));
    EXPECT_EQ(options.valueForKey("noSuchKey"), std::nullopt);
}

}  // namespace
