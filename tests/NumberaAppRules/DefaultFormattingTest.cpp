#include "AppRulesTestSupport.h"
#include "NBUserDefaultsController.h"
#include "NCResultFormattingOptions.h"
#include "NKUnitsManager.h"

namespace {

using Controller = NBUserDefaultsController;

class DefaultFormatting : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        Controller::registerDefaults({{NBDefaultPrecision, int64_t{2}},
                                      {NBNotationThreshold, int64_t{10}},
                                      {NBThousandsSeparatorOn, true},
                                      {NBDecimalPointSign, std::u16string(u".")},
                                      {NBThousandsSeperatorSign, std::u16string(u",")},
                                      {NBNotationStyle, int64_t{1}}});
    }
    void store(const char* key, SettingsValue value) {
        Settings::standard()->setObject(key, std::move(value));
    }
};

TEST_F(DefaultFormatting, OptionsComeFromTheSettings) {
    store(NBDefaultPrecision, int64_t{3});
    store(NBThousandsSeparatorOn, false);
    store(NBNotationStyle, int64_t{0});
    const auto options = Controller::defaultResultFormattingOptions();
    EXPECT_EQ(options->decimalPlaces(), 3u);
    EXPECT_TRUE(options->isDecimalPlacesSet());
    EXPECT_EQ(options->scientificNotationBigThreshold, 9u);
    EXPECT_EQ(options->scientificNotationSmallThreshold, 10u);
    EXPECT_FALSE(options->thousandsSeparator);
    EXPECT_EQ(options->decimalPlaceCharacter, u'.');
    EXPECT_EQ(options->thousandsSeparatorCharacter, u',');
    EXPECT_EQ(options->scientificNotationMode, 2);
    EXPECT_EQ(options->scientificNotationStyle, 0);
    EXPECT_EQ(options->scientificNotationBaseString, u"\u00D710");
    EXPECT_DOUBLE_EQ(options->scientificNotationBaseStringFontSizeScale, 0.8);
    EXPECT_DOUBLE_EQ(options->scientificNotationExponentStringFontSizeScale, 0.7);
}

TEST_F(DefaultFormatting, EachCallMakesNewOptions) {
    EXPECT_NE(Controller::defaultResultFormattingOptions(),
              Controller::defaultResultFormattingOptions());
}

struct SignRow {
    const char* name;
    std::u16string decimal;
    std::u16string thousands;
    char16_t decimalCharacter;
    char16_t thousandsCharacter;
};

class DefaultFormattingSigns : public DefaultFormatting,
                               public ::testing::WithParamInterface<SignRow> {};

TEST_P(DefaultFormattingSigns, SignsAreNeverEmptyOrEqual) {
    store(NBDecimalPointSign, GetParam().decimal);
    store(NBThousandsSeperatorSign, GetParam().thousands);
    const auto options = Controller::defaultResultFormattingOptions();
    EXPECT_EQ(options->decimalPlaceCharacter, GetParam().decimalCharacter);
    EXPECT_EQ(options->thousandsSeparatorCharacter, GetParam().thousandsCharacter);
}

INSTANTIATE_TEST_SUITE_P(Rows, DefaultFormattingSigns,
                         ::testing::Values(SignRow{"NoDecimal", u"", u",", u'.', u','},
                                           SignRow{"NoSigns", u"", u"", u'.', u','},
                                           SignRow{"BothPoint", u".", u".", u'.', u','},
                                           SignRow{"BothComma", u",", u",", u',', u'.'},
                                           SignRow{"CommaOnly", u",", u"", u',', u'.'},
                                           SignRow{"PointAsThousands", u"", u".", u'.', u','},
                                           SignRow{"Apostrophe", u",", u"'", u',', u'\''},
                                           SignRow{"Arabic", u"\u066B", u"\u066C", u'\u066B',
                                                   u'\u066C'}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DefaultFormatting, NonsenseThresholdsDoNotWrapAround) {
    store(NBNotationThreshold, int64_t{0});
    store(NBDefaultPrecision, int64_t{-4});
    const auto options = Controller::defaultResultFormattingOptions();
    EXPECT_EQ(options->scientificNotationBigThreshold, 0u);
    EXPECT_EQ(options->scientificNotationSmallThreshold, 0u);
    EXPECT_EQ(options->decimalPlaces(), 0u);
}

struct UnitRow {
    const char* name;
    int64_t measurementSystem;
    int64_t prefixType;
    std::optional<std::u16string> systemOption;
    std::u16string prefixOption;
};

class UnitPreferences : public SettingsTest, public ::testing::WithParamInterface<UnitRow> {};

TEST_P(UnitPreferences, AreSentToTheUnitsManager) {
    const UnitRow& row = GetParam();
    Controller::registerDefaults(
        {{NBUnitMeasurementSystem, int64_t{0}}, {NBDataStorageUnitPrefixType, int64_t{0}}});
    Settings::standard()->setObject(NBUnitMeasurementSystem, row.measurementSystem);
    Settings::standard()->setObject(NBDataStorageUnitPrefixType, row.prefixType);
    NKUnitsManager manager;
    // A preference left from before must not survive a value without an option.
    manager.setUnitsPreference(u"NCUnitsPreferenceImperialUSOrMetric",
                               u"NCUnitsMeasurementSystemImperial");
    Controller::setUnitPreferencesOnUnitManager(manager);
    EXPECT_EQ(
        manager.unitsPreferenceOptionForPreferenceName(u"NCUnitsPreferenceImperialUSOrMetric"),
        row.systemOption);
    EXPECT_EQ(manager.unitsPreferenceOptionForPreferenceName(u"NCUnitsPreferenceBytePrefix"),
              row.prefixOption);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UnitPreferences,
    ::testing::Values(
        UnitRow{"Metric", 0, 0, u"NCUnitsMeasurementSystemMetric",
                u"NCUnitsPreferenceBytePrefixOptionSI"},
        UnitRow{"ImperialBinary", 1, 1, u"NCUnitsMeasurementSystemImperial",
                u"NCUnitsPreferenceBytePrefixOptionBinary"},
        UnitRow{"USCustomary", 2, 2, u"NCUnitsMeasurementSystemUSCustomary",
                u"NCUnitsPreferenceBytePrefixOptionSI"},
        UnitRow{"Unknown", 3, -1, std::nullopt, u"NCUnitsPreferenceBytePrefixOptionSI"},
        UnitRow{"Negative", -1, 1, std::nullopt, u"NCUnitsPreferenceBytePrefixOptionBinary"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
