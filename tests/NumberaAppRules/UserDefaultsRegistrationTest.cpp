#include <set>

#include "AppRulesTestSupport.h"
#include "NBUserDefaultsController.h"
#include "PlatformTestSupport.h"

namespace {

using Controller = NBUserDefaultsController;

std::optional<std::u16string> textOf(const NBDefaultsDictionary& dictionary,
                                     const std::string& key) {
    auto found = dictionary.find(key);
    if (found == dictionary.end()) return std::nullopt;
    if (auto text = std::get_if<std::u16string>(&found->second)) return *text;
    return u"(not a text)";
}

struct SeparatorRow {
    const char* name;
    const char16_t* decimal;
    const char16_t* grouping;
    std::optional<std::u16string> registeredDecimal;
    std::optional<std::u16string> registeredGrouping;
};

class RegistrationSeparators : public ::testing::TestWithParam<SeparatorRow> {};

TEST_P(RegistrationSeparators, LocaleSeparatorsOverrideTheResource) {
    const SeparatorRow& row = GetParam();
    TemporaryFolder folder;
    folder.write("Defaults.plist",
                 "<plist version=\"1.0\"><dict><key>NBDecimalPointSign</key><string>D</string>"
                 "<key>NBThousandsSeperatorSign</key><string>G</string></dict></plist>");
    const auto defaults = Controller::registrationDictionary(folder.file("Defaults.plist"),
                                                             row.decimal, row.grouping);
    EXPECT_EQ(textOf(defaults, NBDecimalPointSign), row.registeredDecimal.value_or(u"D"));
    EXPECT_EQ(textOf(defaults, NBThousandsSeperatorSign), row.registeredGrouping.value_or(u"G"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RegistrationSeparators,
    ::testing::Values(SeparatorRow{"PointAndComma", u".", u",", u".", u","},
                      SeparatorRow{"CommaAndPoint", u",", u".", u",", u"."},
                      SeparatorRow{"BothComma", u",", u",", u",", u"."},
                      SeparatorRow{"BothPoint", u".", u".", u".", u","},
                      SeparatorRow{"BothSpace", u" ", u" ", u" ", u","},
                      SeparatorRow{"CommaAndNoBreakSpace", u",", u"\u00A0", u",", u"\u00A0"},
                      // Either one missing: the resource's values stay.
                      SeparatorRow{"NoDecimal", u"", u",", std::nullopt, std::nullopt},
                      SeparatorRow{"NoGrouping", u",", u"", std::nullopt, std::nullopt},
                      SeparatorRow{"Neither", u"", u"", std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Registration, WithoutAResourceOnlyTheSeparatorsAreRegistered) {
    const auto defaults = Controller::registrationDictionary(std::nullopt, u",", u".");
    EXPECT_EQ(defaults.size(), 2u);
    EXPECT_TRUE(Controller::registrationDictionary(std::nullopt, u"", u"").empty());
}

TEST(Registration, AnUnreadableResourceIsReportedAndSkipped) {
    TemporaryFolder folder;
    folder.write("Defaults.plist", "this is not a property list");
    CapturedDiagnostics diagnostics;
    const auto defaults =
        Controller::registrationDictionary(folder.file("Defaults.plist"), u".", u",");
    EXPECT_EQ(defaults.size(), 2u);
    EXPECT_TRUE(diagnostics.contains("could not be read"));
    EXPECT_TRUE(Controller::registrationDictionary(folder.file("missing.plist"), u"", u"").empty());
}

TEST(Registration, ValuesSettingsCannotHoldAreLeftOutWithAReport) {
    TemporaryFolder folder;
    folder.write("Defaults.plist",
                 "<plist version=\"1.0\"><dict>"
                 "<key>Nested</key><dict><key>a</key><integer>1</integer></dict>"
                 "<key>Mixed</key><array><string>a</string><integer>1</integer></array>"
                 "<key>Names</key><array><string>a</string><string>b</string></array>"
                 "<key>Ratio</key><real>0.5</real>"
                 "<key>Count</key><integer>-3</integer>"
                 "</dict></plist>");
    CapturedDiagnostics diagnostics;
    const auto read = Controller::readPropertyListDictionary(folder.file("Defaults.plist"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->count("Nested"), 0u);
    EXPECT_EQ(read->count("Mixed"), 0u);
    EXPECT_EQ(read->at("Names"), SettingsValue(std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(read->at("Ratio"), SettingsValue(0.5));
    EXPECT_EQ(read->at("Count"), SettingsValue(int64_t{-3}));
    EXPECT_TRUE(diagnostics.contains("\"Nested\""));
    EXPECT_TRUE(diagnostics.contains("\"Mixed\""));
}

// The resource the application ships: every key of the vocabulary with a value of its kind.
TEST(Registration, TheShippedResourceHoldsEveryKeyWithItsKind) {
    const auto read =
        Controller::readPropertyListDictionary(resourcesDirectory() + "/Defaults.plist");
    ASSERT_TRUE(read);
    enum Kind { Bool, Integer, Text };
    const std::map<std::string, Kind> expected = {
        {NBShowWelcomeWindowOnLaunch, Bool},
        {NBWantsNewDocumentOnLaunch, Bool},
        {NBOpenSavedFileAtLaunch, Integer},
        {NBNumberOfLaunches, Integer},
        {NBTutorialHasRun, Bool},
        {NBBaseCurrency, Text},
        {NBContentLanguage, Integer},
        {NBDefaultPrecision, Integer},
        {NBNotationThreshold, Integer},
        {NBThousandsSeparatorOn, Bool},
        {NBDecimalPointSign, Text},
        {NBThousandsSeperatorSign, Text},
        {NBNotationStyle, Integer},
        {NBDefaultTrigMode, Integer},
        {NBSuppressSaveAlert, Bool},
        {NBNumberLineVisible, Bool},
        {NBStatisticsBarVisible, Bool},
        {NBFormattingBarVisible, Bool},
        {NBSyntaxColoringEnabled, Bool},
        {NBBoldHeadingsEnabled, Bool},
        {NBBoldLabelsEnabled, Bool},
        {NBAddTokenToNewLine, Bool},
        {NBAddSpacesAroundOperators, Bool},
        {NBAddClosingBracket, Bool},
        {NBAddClosingQuotationMarks, Bool},
        {NBDeleteExcessSpaces, Bool},
        {NBMathKeyEnabled, Bool},
        {NBDefaultFont, Text},
        {NBDefaultTextAlignment, Integer},
        {NBUnitMeasurementSystem, Integer},
        {NBDataStorageUnitPrefixType, Integer},
        {NBChosenStatistic, Integer},
        {NBExportShowsTitle, Bool},
        {NBExportShowsDate, Bool},
        {NBExportWantsSyntaxColoring, Bool},
        {NBDefaultExportFormat, Integer},
        {NBSelectedNumeralsPane, Text},
        {NBURLWebsite, Text},
        {NBSettingEnableExperimentalUnits, Bool},
        {NBDeveloperMode, Bool},
        {NBDownloadsPreReleaseBuilds, Bool},
        {moveToApplicationsFolderAlertSuppress, Bool},
    };
    for (const auto& [key, kind] : expected) {
        auto found = read->find(key);
        ASSERT_NE(found, read->end()) << key;
        const bool matches =
            (kind == Bool && std::holds_alternative<bool>(found->second)) ||
            (kind == Integer && std::holds_alternative<int64_t>(found->second)) ||
            (kind == Text && std::holds_alternative<std::u16string>(found->second));
        EXPECT_TRUE(matches) << key;
    }
    for (const auto& [key, value] : *read) EXPECT_EQ(expected.count(key), 1u) << "unknown " << key;
    EXPECT_EQ(read->at(NBURLWebsite), SettingsValue(std::u16string(u"https://numbera.app")));
    EXPECT_EQ(read->at(NBDeveloperMode), SettingsValue(false));
    EXPECT_EQ(read->at(NBShowWelcomeWindowOnLaunch), SettingsValue(true));
    EXPECT_EQ(read->at(NBWantsNewDocumentOnLaunch), SettingsValue(true));
    // Having no value is their first state.
    EXPECT_EQ(read->count(NBLastSavedFilePath), 0u);
    EXPECT_EQ(read->count(NBReferenceWindowSelectedSection), 0u);
}

}  // namespace
