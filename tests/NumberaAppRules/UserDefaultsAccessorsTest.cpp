#include "AppRulesTestSupport.h"
#include "NBLocalizationHelper.h"
#include "NBStringsTable.h"
#include "NBUserDefaultsController.h"
#include "PlatformTestSupport.h"
#include "ResourceBundle.h"

namespace {

using Controller = NBUserDefaultsController;

struct CoercionRow {
    const char* name;
    SettingsValue registered;
    std::optional<SettingsValue> stored;
    SettingsValue expected;
};

class Coercion : public SettingsTest, public ::testing::WithParamInterface<CoercionRow> {};

TEST_P(Coercion, StoredValuesAreReadAsTheRegisteredType) {
    const CoercionRow& row = GetParam();
    Controller::registerDefaults({{"Key", row.registered}});
    if (row.stored) Settings::standard()->setObject("Key", *row.stored);
    EXPECT_EQ(Controller::valueForKey("Key"), row.expected);
}

const std::u16string kText = u"text";

INSTANTIATE_TEST_SUITE_P(
    Rows, Coercion,
    ::testing::Values(
        CoercionRow{"NothingStored", true, std::nullopt, true},
        CoercionRow{"BoolFromFalseText", true, std::u16string(u"false"), false},
        CoercionRow{"BoolFromYesText", false, std::u16string(u"YES"), true},
        CoercionRow{"BoolFromNumberText", false, std::u16string(u"1"), true},
        CoercionRow{"BoolFromZero", true, int64_t{0}, false},
        CoercionRow{"BoolFromGarbage", true, std::u16string(u"banana"), true},
        CoercionRow{"BoolFromList", false, std::vector<std::u16string>{u"a"}, false},
        CoercionRow{"IntegerFromText", int64_t{10}, std::u16string(u"12"), int64_t{12}},
        CoercionRow{"IntegerFromPaddedText", int64_t{10}, std::u16string(u" 7 "), int64_t{7}},
        CoercionRow{"IntegerFromDecimalText", int64_t{10}, std::u16string(u"12.7"), int64_t{12}},
        CoercionRow{"IntegerFromBool", int64_t{10}, true, int64_t{1}},
        CoercionRow{"IntegerFromGarbage", int64_t{10}, std::u16string(u"ten"), int64_t{10}},
        CoercionRow{"IntegerFromHugeReal", int64_t{10}, 1e300, int64_t{10}},
        CoercionRow{"IntegerFromEmptyText", int64_t{10}, std::u16string(u""), int64_t{10}},
        CoercionRow{"RealFromText", 0.5, std::u16string(u"0.25"), 0.25},
        CoercionRow{"RealFromGarbage", 0.5, std::u16string(u"x"), 0.5},
        CoercionRow{"TextFromText", std::u16string(u"."), std::u16string(u","),
                    std::u16string(u",")},
        CoercionRow{"TextFromInteger", std::u16string(u"."), int64_t{5}, std::u16string(u"5")},
        CoercionRow{"TextFromBool", std::u16string(u"."), true, std::u16string(u".")},
        CoercionRow{"ListFromText", std::vector<std::u16string>{u"a"}, std::u16string(u"b"),
                    std::vector<std::u16string>{u"a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, UnregisteredKeysAnswerWhatIsStored) {
    EXPECT_EQ(Controller::valueForKey("Unknown"), std::nullopt);
    Settings::standard()->setObject("Unknown", std::u16string(u"12"));
    EXPECT_EQ(Controller::valueForKey("Unknown"), SettingsValue(std::u16string(u"12")));
    EXPECT_EQ(Controller::integerForKey("Unknown"), 12);
    EXPECT_EQ(Controller::stringForKey("Missing"), std::nullopt);
}

// Each accessor reads and writes its own key, through a store that keeps only text.
struct BoolAccessor {
    const char* key;
    bool (*get)();
    void (*set)(bool);
};

class BoolAccessors : public SettingsTest, public ::testing::WithParamInterface<BoolAccessor> {};

TEST_P(BoolAccessors, ReadAndWriteTheirKey) {
    const BoolAccessor& accessor = GetParam();
    install(std::make_shared<TextSettings>());
    Controller::registerDefaults({{accessor.key, false}});
    EXPECT_FALSE(accessor.get());
    Settings::standard()->setObject(accessor.key, std::u16string(u"true"));
    EXPECT_TRUE(accessor.get());
    if (accessor.set) {
        accessor.set(false);
        EXPECT_FALSE(accessor.get());
        EXPECT_EQ(Settings::standard()->objectForKey(accessor.key),
                  SettingsValue(std::u16string(u"false")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BoolAccessors,
    ::testing::Values(
        BoolAccessor{NBShowWelcomeWindowOnLaunch, &Controller::showsWelcomeWindowOnLaunch, nullptr},
        BoolAccessor{NBWantsNewDocumentOnLaunch, &Controller::wantsNewDocumentOnLaunch, nullptr},
        BoolAccessor{NBTutorialHasRun, &Controller::tutorialHasRun, &Controller::setTutorialHasRun},
        BoolAccessor{NBSuppressSaveAlert, &Controller::suppressesSaveDocumentAlert,
                     &Controller::setSuppressesSaveDocumentAlert},
        BoolAccessor{NBNumberLineVisible, &Controller::lineNumbersVisible,
                     &Controller::setLineNumbersVisible},
        BoolAccessor{NBStatisticsBarVisible, &Controller::statisticsBarVisible,
                     &Controller::setStatiticsBarVisible},
        BoolAccessor{NBFormattingBarVisible, &Controller::formattingBarVisible,
                     &Controller::setFormattingBarVisible},
        BoolAccessor{NBSyntaxColoringEnabled, &Controller::syntaxColouringEnabled, nullptr},
        BoolAccessor{NBDeveloperMode, &Controller::isInDeveloperMode, nullptr},
        BoolAccessor{NBDownloadsPreReleaseBuilds, &Controller::downloadsPreReleaseBuilds, nullptr}),
    [](const auto& info) { return std::string(info.param.key); });

struct IntegerAccessor {
    const char* key;
    int64_t (*get)();
    void (*set)(int64_t);
};

class IntegerAccessors : public SettingsTest,
                         public ::testing::WithParamInterface<IntegerAccessor> {};

TEST_P(IntegerAccessors, ReadAndWriteTheirKey) {
    const IntegerAccessor& accessor = GetParam();
    install(std::make_shared<TextSettings>());
    Controller::registerDefaults({{accessor.key, int64_t{0}}});
    Settings::standard()->setObject(accessor.key, std::u16string(u"2"));
    EXPECT_EQ(accessor.get(), 2);
    Settings::standard()->setObject(accessor.key, std::u16string(u"two"));
    EXPECT_EQ(accessor.get(), 0);
    if (accessor.set) {
        accessor.set(7);
        EXPECT_EQ(accessor.get(), 7);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, IntegerAccessors,
    ::testing::Values(
        IntegerAccessor{NBNumberOfLaunches, &Controller::numberOfLaunches, nullptr},
        IntegerAccessor{NBContentLanguage, &Controller::contentLanguage,
                        &Controller::setContentLanguage},
        IntegerAccessor{NBDefaultTrigMode, &Controller::defaultTrionometryMode, nullptr},
        IntegerAccessor{NBNotationStyle, &Controller::notationStyle, nullptr},
        IntegerAccessor{NBUnitMeasurementSystem, &Controller::unitMeasurementSystem, nullptr},
        IntegerAccessor{NBDataStorageUnitPrefixType, &Controller::dataStorageUnitPrefixType,
                        nullptr}),
    [](const auto& info) { return std::string(info.param.key); });

TEST_F(SettingsTest, TextAccessorsReadTheirKeys) {
    Controller::registerDefaults({{NBBaseCurrency, std::u16string()},
                                  {NBDecimalPointSign, std::u16string(u".")},
                                  {NBThousandsSeperatorSign, std::u16string(u",")}});
    EXPECT_EQ(Controller::baseCurrencyCode(), u"");
    Controller::setBaseCurrencyCode(u"EUR");
    EXPECT_EQ(Controller::baseCurrencyCode(), u"EUR");
    EXPECT_EQ(Settings::standard()->objectForKey(NBBaseCurrency),
              SettingsValue(std::u16string(u"EUR")));
    Settings::standard()->setObject(NBDecimalPointSign, std::u16string(u","));
    Settings::standard()->setObject(NBThousandsSeperatorSign, std::u16string(u"'"));
    EXPECT_EQ(Controller::decimalIndicator(), u",");
    EXPECT_EQ(Controller::thousandsSeparator(), u"'");
}

TEST_F(SettingsTest, FirstLaunchIsTheLaunchCountedOnce) {
    Controller::registerDefaults({{NBNumberOfLaunches, int64_t{0}}});
    EXPECT_FALSE(Controller::isFirstLaunch());
    Settings::standard()->setObject(NBNumberOfLaunches, int64_t{1});
    EXPECT_TRUE(Controller::isFirstLaunch());
    Settings::standard()->setObject(NBNumberOfLaunches, int64_t{2});
    EXPECT_FALSE(Controller::isFirstLaunch());
}

// The one test of the process-wide instance: it registers the resource's defaults, the
// locale's separators and the font the interface language needs, and counts launches.
TEST_F(SettingsTest, SharedInstanceRegistersTheResourceAndTheInterfaceFont) {
    TemporaryFolder bundle;
    bundle.write("Defaults.plist",
                 "<plist version=\"1.0\"><dict><key>NBNotationThreshold</key><integer>12</integer>"
                 "<key>NBNumberOfLaunches</key><integer>0</integer></dict></plist>");
    bundle.write("ja.lproj/Localizable.strings",
                 "<plist version=\"1.0\"><dict><key>Language Example String</key>"
                 "<string>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</string></dict></plist>");
    ResourceBundle::setMain(std::make_shared<ResourceBundle>(bundle.path()));
    ResourceBundle::setPreferredLanguages({"ja"});
    NBStringsTable::clearCache();
    Controller::setResourcesFolder(bundle.path());
    std::u16string askedFor;
    Controller::setDefaultFontProvider([&askedFor](const std::u16string& example) {
        askedFor = example;
        return std::optional<std::u16string>(u"Noto Sans CJK JP,16");
    });

    CapturedDiagnostics diagnostics;
    Controller& controller = Controller::sharedInstance();
    EXPECT_EQ(&controller, &Controller::sharedInstance());
    EXPECT_EQ(askedFor, u"\u65E5\u672C\u8A9E");
    EXPECT_EQ(Controller::stringForKey(NBDefaultFont), u"Noto Sans CJK JP,16");
    EXPECT_TRUE(diagnostics.contains("Default font set to Noto Sans CJK JP,16"));
    EXPECT_EQ(Controller::integerForKey(NBNotationThreshold), 12);
    EXPECT_TRUE(Controller::valueForKey(NBDecimalPointSign).has_value());

    controller.beginLife();
    EXPECT_TRUE(Controller::isFirstLaunch());
    controller.endLife();
    controller.beginLife();
    EXPECT_EQ(Controller::numberOfLaunches(), 2);
    EXPECT_FALSE(Controller::isFirstLaunch());

    Controller::setDefaultFontProvider(nullptr);
    ResourceBundle::setMain(nullptr);
    ResourceBundle::setPreferredLanguages({});
    NBStringsTable::clearCache();
}

}  // namespace
