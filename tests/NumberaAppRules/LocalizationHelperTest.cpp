#include "AppRulesTestSupport.h"
#include "NBLocalizationHelper.h"
#include "NBStringsTable.h"
#include "NSLocalizedString.h"
#include "PlatformTestSupport.h"
#include "ResourceBundle.h"

namespace {

using Helper = NBLocalizationHelper;

std::string stringsTable(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string text = "<plist version=\"1.0\"><dict>";
    for (const auto& [key, value] : entries)
        text += "<key>" + key + "</key><string>" + value + "</string>";
    return text + "</dict></plist>";
}

// Bundles and preferred languages of one test, put back afterwards.
class Localization : public ::testing::Test {
  protected:
    void SetUp() override { NBStringsTable::clearCache(); }
    void TearDown() override {
        ResourceBundle::setMain(nullptr);
        ResourceBundle::setPreferredLanguages({});
        Helper::setContentBundle(nullptr);
        NSSetLocalizedStringHook(nullptr);
        NBStringsTable::clearCache();
    }
    TemporaryFolder m_bundle;
};

TEST(ContentLanguages, NumbersAndCodesMapBothWays) {
    const std::vector<std::string> codes = {"en", "nl", "de", "da", "no",      "se", "fr",
                                            "it", "es", "pt", "ru", "zh-Hans", "ja"};
    for (size_t i = 0; i < codes.size(); ++i) {
        const auto number = static_cast<int64_t>(i + 1);
        EXPECT_EQ(Helper::languageCodeForContentLanguage(number), codes[i]);
        EXPECT_EQ(Helper::contentLanguageForLanguageCode(codes[i]), number);
    }
    for (int64_t number : {int64_t{14}, int64_t{15}, int64_t{-1}, INT64_MAX})
        EXPECT_EQ(Helper::languageCodeForContentLanguage(number), std::nullopt) << number;
    for (const char* code : {"xx", "", "EN", "zh", "sv", "nb"})
        EXPECT_EQ(Helper::contentLanguageForLanguageCode(code), kUnknownContentLanguage) << code;
}

TEST_F(Localization, AutomaticIsTheContentBundlesPreferredLocalization) {
    m_bundle.write("en.lproj/WordOperators.plist", "");
    m_bundle.write("de.lproj/WordOperators.plist", "");
    Helper::setContentBundle(std::make_shared<ResourceBundle>(m_bundle.path()));
    ResourceBundle::setPreferredLanguages({"fr", "de"});
    EXPECT_EQ(Helper::languageCodeForContentLanguage(0), "de");
    ResourceBundle::setPreferredLanguages({"fr"});
    EXPECT_EQ(Helper::languageCodeForContentLanguage(0), "en");
}

TEST_F(Localization, AutomaticWithoutAnyBundleHasNoCode) {
    EXPECT_EQ(Helper::languageCodeForContentLanguage(0), std::nullopt);
}

TEST(ContentLanguages, MenuOrderPutsUnlistedCodesWithEnglish) {
    EXPECT_EQ(Helper::compareByLanguageCode("en", "nl"), -1);
    EXPECT_EQ(Helper::compareByLanguageCode("ru", "ja"), 1);
    EXPECT_EQ(Helper::compareByLanguageCode("se", "no"), -1);
    EXPECT_EQ(Helper::compareByLanguageCode("zh-Hans", "ja"), -1);
    EXPECT_EQ(Helper::compareByLanguageCode("de", "de"), 0);
    EXPECT_EQ(Helper::compareByLanguageCode("da", "en"), 0);
    EXPECT_EQ(Helper::compareByLanguageCode("xx", "en"), 0);
    for (const char* code :
         {"nl", "de", "se", "no", "fr", "it", "es", "pt", "zh-Hans", "ja", "ru"}) {
        EXPECT_EQ(Helper::compareByLanguageCode("da", code), -1) << code;
        EXPECT_EQ(Helper::compareByLanguageCode(code, "da"), 1) << code;
    }
}

TEST(ContentLanguages, NativeNamesComeFromTheLocaleData) {
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage("de"), u"Deutsch");
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage("fr"), u"Fran\u00E7ais");
    // Our codes for Swedish and Norwegian: not Northern Sami, and Bokmål.
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage("se"), u"Svenska");
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage("no"), u"Norsk bokm\u00E5l");
    // Capitalised, also outside Latin script.
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage("ru"),
              u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439");
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage("ja"), u"\u65E5\u672C\u8A9E");
    EXPECT_FALSE(Helper::nativeLocalizationNameForLanguage("zh-Hans").empty());
    EXPECT_EQ(Helper::nativeLocalizationNameForLanguage(""), u"");
}

TEST_F(Localization, MenuListsAutomaticThenTheLanguagesInMenuOrder) {
    ResourceBundle::setPreferredLanguages({"de"});
    const auto items = Helper::menuOfAvailableContentLanguages({"ru", "da", "pt", "de", "en"});
    ASSERT_EQ(items.size(), 7u);
    // No content bundle at all: automatic has no language to name.
    EXPECT_EQ(items[0].title, u"Automatic ()");
    EXPECT_EQ(items[0].tag, 0);
    EXPECT_FALSE(items[0].isSeparator);
    EXPECT_TRUE(items[1].isSeparator);
    std::vector<std::string> codes;
    std::vector<int64_t> tags;
    for (size_t i = 2; i < items.size(); ++i) {
        codes.push_back(items[i].flagImageName);
        tags.push_back(items[i].tag);
        EXPECT_FALSE(items[i].isSeparator);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"en", "da", "de", "pt", "ru"}));
    EXPECT_EQ(tags, (std::vector<int64_t>{1, 4, 3, 10, 11}));
    EXPECT_EQ(items[2].title, u"English");
    EXPECT_EQ(items[3].title, u"Dansk");
    EXPECT_EQ(items[5].title, u"Portugu\u00EAs (Brazil)");
}

TEST_F(Localization, AutomaticItemIsTranslatedAndNamesTheAutomaticLanguage) {
    m_bundle.write("de.lproj/Localizable.strings",
                   stringsTable({{"Automatic (%@)", "Automatisch (%@)"}}));
    m_bundle.write("en.lproj/Localizable.strings", stringsTable({}));
    auto bundle = std::make_shared<ResourceBundle>(m_bundle.path());
    ResourceBundle::setMain(bundle);
    ResourceBundle::setPreferredLanguages({"de"});
    Helper::installLocalizedStringHook();
    const auto items = Helper::menuOfAvailableContentLanguages();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].title, u"Automatisch (Deutsch)");
    EXPECT_EQ(items[2].flagImageName, "en");
    EXPECT_EQ(items[3].flagImageName, "de");
    EXPECT_EQ(items[3].tag, 3);
}

TEST_F(Localization, LookupAnswersTheTranslationOrTheTextItself) {
    m_bundle.write("de.lproj/Localizable.strings",
                   stringsTable({{"Quick Reference", "Kurzreferenz"},
                                 {"Sentinel", "I AM THE DEFAULT VALUE"},
                                 {"Empty", ""}}));
    ResourceBundle bundle(m_bundle.path());
    ResourceBundle::setPreferredLanguages({"de"});
    EXPECT_EQ(Helper::localizedStringForString(u"Quick Reference", bundle, "Localizable"),
              u"Kurzreferenz");
    EXPECT_EQ(Helper::localizedStringForString(u"Missing", bundle, "Localizable"), u"Missing");
    // An entry that reads as the sentinel counts as missing.
    EXPECT_EQ(Helper::localizedStringForString(u"Sentinel", bundle, "Localizable"), u"Sentinel");
    EXPECT_EQ(Helper::localizedStringForString(u"Empty", bundle, "Localizable"), u"");
    EXPECT_EQ(Helper::localizedStringForString(u"", bundle, "Localizable"), std::nullopt);
    EXPECT_EQ(Helper::localizedStringForString(u"Quick Reference", bundle, "Other"),
              u"Quick Reference");
}

TEST_F(Localization, WithoutATableOrMainBundleTextsStayAsTheyAre) {
    EXPECT_EQ(Helper::localizedInterfaceString(u"Quick Reference"), u"Quick Reference");
    EXPECT_EQ(Helper::localizedInterfaceString(u""), std::nullopt);
    m_bundle.write("en.lproj/Localizable.strings", "not a property list");
    ResourceBundle::setMain(std::make_shared<ResourceBundle>(m_bundle.path()));
    CapturedDiagnostics diagnostics;
    EXPECT_EQ(Helper::localizedInterfaceString(u"Quick Reference"), u"Quick Reference");
    EXPECT_EQ(Helper::localizedInterfaceString(u"Line"), u"Line");
    // Reported once, not at every lookup.
    size_t reports = 0;
    for (const auto& message : diagnostics.messages())
        reports += message.find("could not be read") != std::string::npos;
    EXPECT_EQ(reports, 1u);
}

// The English table the application ships.
TEST_F(Localization, TheShippedEnglishTableHoldsTheApplicationsTexts) {
    const auto table =
        NBStringsTable::fromFile(resourcesDirectory() + "/en.lproj/Localizable.strings");
    ASSERT_TRUE(table);
    for (const char16_t* text :
         {u"Quick Reference", u"Automatic (%@)", u" We'd also like to thank %@ for using Numbera.",
          u"Line", u"Error: Divide by Zero"})
        EXPECT_EQ(table->lookup(text), std::u16string(text));
    EXPECT_EQ(table->lookup(u"Language Example String"), std::nullopt);
    ResourceBundle::setMain(std::make_shared<ResourceBundle>(resourcesDirectory()));
    ResourceBundle::setPreferredLanguages({"en"});
    Helper::installLocalizedStringHook();
    EXPECT_EQ(NSLocalizedString(u"Default Variable Name"), u"variable");
    EXPECT_EQ(NSLocalizedString(u"Not in any table"), u"Not in any table");
}

}  // namespace
