#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "NCBuiltins.h"
#include "NCEvaluator.h"
#include "NCExpressionSubstituter.h"
#include "NCUnitType.h"
#include "NCVariableList.h"
#include "NKLocalizationManager.h"
#include "NKUnitsManager.h"
#include "NKUserLocale.h"
#include "ServicesTestSupport.h"

namespace {

std::string resources() { return sourceDirectory() + "/Resources"; }

// Units and currency units from the authored resources, currencies switched on.
std::shared_ptr<NKUnitsManager> loadedUnits() {
    auto units = std::make_shared<NKUnitsManager>();
    units->loadUnitsFromFile(resources() + "/Units.plist",
                             resources() + "/en.lproj/UnitLocalization.plist", std::nullopt);
    units->loadCurrenciesFromLocalizationFile(resources() + "/en.lproj/CurrencyLocalization.plist");
    for (const auto& unit : units->allUnits())
        if (unit->type() == NCUnitTypeCurrency) units->setUnitEnabled(unit, true);
    return units;
}

std::optional<std::u16string> evaluate(const std::shared_ptr<NKUnitsManager>& units,
                                       const std::shared_ptr<NCWordOperatorList>& words,
                                       const std::u16string& text) {
    NCEvaluator evaluator(units ? units->ncUnitManager() : NCUnitCollection::create(),
                          NCBuiltins::variables(), words);
    return evaluator.evaluateString(text);
}

// A property list of entries, each the value under `key` (a word or a regex) and a type name.
std::string entriesPlist(const std::vector<std::pair<std::string, std::string>>& pairs,
                         const std::string& key) {
    std::string text = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>";
    for (const auto& [value, type] : pairs)
        text += "<dict><key>" + key + "</key><string>" + value +
                "</string><key>operatorType</key><string>" + type + "</string></dict>";
    return text + "</array></plist>";
}

size_t parseErrors(const CapturedLog& log) {
    size_t errors = 0;
    for (const auto& line : log.lines())
        if (line.rfind("Encountered an error parsing ", 0) == 0) ++errors;
    return errors;
}

// A German translation names every kind of percentage phrase; each of its phrases then means
// what the English one of that kind means, and the English phrases still work beside them.
TEST(LocalizationManager, PercentagePhrasesOfAnotherLanguage) {
    CapturedLog log;
    TemporaryFolder bundleFolder;
    std::ifstream english(resources() + "/en.lproj/PercentageOperators.plist");
    bundleFolder.write("en.lproj/PercentageOperators.plist",
                       std::string(std::istreambuf_iterator<char>(english), {}));
    bundleFolder.write("de.lproj/PercentageOperators.plist",
                       entriesPlist({{"%\\s*ab\\s*was\\s*ist", "PercentOffWhatIs"},
                                     {"%\\s*auf\\s*was\\s*ist", "PercentOnWhatIs"},
                                     {"%\\s*von\\s*was\\s*ist", "PercentOfWhatIs"},
                                     {"als\\s*%\\s*minderung\\s*von", "AsPercentDecreaseOf"},
                                     {"als\\s*%\\s*zuwachs\\s*von", "AsPercentIncreaseOf"},
                                     {"als\\s*%\\s*ab", "AsPercentOff"},
                                     {"als\\s*%\\s*von", "AsPercentOf"},
                                     {"als\\s*%\\s*auf", "AsPercentOn"},
                                     {"%\\s*ab", "PercentOff"},
                                     {"%\\s*von", "PercentOf"},
                                     {"%\\s*auf", "PercentOn"},
                                     {"als\\s*%", "AsPercent"},
                                     {"steigt\\s*bis", "ReverseAsPercentOn"},
                                     {"sinkt\\s*bis", "ReverseAsPercentOff"},
                                     {"nach\\s*aufschlag\\s*von", "ReversePercentOnWhatIs"},
                                     {"anteil\\s*an", "ReversePercentOfWhatIs"},
                                     {"nach\\s*abschlag\\s*von", "ReversePercentOffWhatIs"},
                                     // Names of no kind: another case, none, a word operator's.
                                     {"%\\s*vom", "percentOn"},
                                     {"%\\s*bei", ""},
                                     {"%\\s*samt", "Add"}},
                                    "regex"));
    auto bundle = std::make_shared<ResourceBundle>(bundleFolder.path());
    auto words = NCBuiltins::wordOperators();
    NKLocalizationManager manager(nullptr, words);
    manager.setPercentageOperatorsPlistFileName("PercentageOperators", bundle, "de");
    EXPECT_EQ(parseErrors(log), 3u);
    // A kind that answers a percentage is added to 50, so that the answer shows it is one.
    struct Row {
        std::u16string text, expected;
    };
    const Row rows[] = {
        {u"50 + (0.25 als %)", u"62.5"},
        {u"10% auf 200", u"220"},
        {u"20% von 50", u"10"},
        {u"10% ab 200", u"180"},
        {u"50 + (220 als % auf 200)", u"55"},
        {u"50 + (10 als % von 50)", u"60"},
        {u"50 + (180 als % ab 200)", u"55"},
        {u"50 + (40 als % minderung von 50)", u"60"},
        {u"50 + (60 als % zuwachs von 50)", u"60"},
        {u"10% auf was ist 220", u"200"},
        {u"20% von was ist 10", u"50"},
        {u"10% ab was ist 180", u"200"},
        {u"50 + (200 steigt bis 220)", u"55"},
        {u"50 + (200 sinkt bis 180)", u"55"},
        {u"220 nach aufschlag von 10", u"200"},
        {u"50 + (10 anteil an 50)", u"70"},
        {u"180 nach abschlag von 10", u"200"},
        // The English phrases, read after the German ones.
        {u"20% of 50", u"10"},
        {u"10% off 200", u"180"},
        {u"50 + (60 as a % increase of 50)", u"60"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(evaluate(nullptr, words, row.text), row.expected) << NKUTF8(row.text);
    for (const char16_t* skipped : {u"10% vom 200", u"10% bei 200", u"10% samt 200"})
        EXPECT_NE(evaluate(nullptr, words, skipped), u"220") << NKUTF8(skipped);
    // English alone again, as the other tests expect.
    manager.setPercentageOperatorsPlistFileName("PercentageOperators", bundle, "en");
    EXPECT_NE(evaluate(nullptr, words, u"10% auf 200"), u"220");
}

// Each kind of word operator a translation names works as its name says; a name of no kind is
// logged and its word stays no operator.
TEST(LocalizationManager, WordOperatorsOfAnotherLanguage) {
    CapturedLog log;
    TemporaryFolder folder;
    folder.write("WordOperators.plist", entriesPlist({{"und", "Add"},
                                                      {"weniger", "Subtract"},
                                                      {"mal", "Multiply"},
                                                      {"durch", "Divide"},
                                                      {"von", "ReverseSubtract"},
                                                      {"teilt", "ReverseDivide"},
                                                      {"rest", "Modulo"},
                                                      {"prozent", "PercentOf"}},
                                                     "word"));
    auto words = NCBuiltins::wordOperators();
    NKLocalizationManager manager(nullptr, words);
    manager.setWordOperatorsPlistFile(folder.file("WordOperators.plist"));
    EXPECT_EQ(parseErrors(log), 2u);
    struct Row {
        std::u16string text, expected;
    };
    const Row rows[] = {
        {u"3 und 12", u"15"},     {u"3 weniger 12", u"-9"}, {u"3 mal 12", u"36"},
        {u"3 durch 12", u"0.25"}, {u"3 von 12", u"9"},      {u"3 teilt 12", u"4"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(evaluate(nullptr, words, row.text), row.expected) << NKUTF8(row.text);
    EXPECT_NE(evaluate(nullptr, words, u"12 rest 5"), u"2");
    EXPECT_NE(evaluate(nullptr, words, u"50 prozent 20"), u"10");
}

TEST(LocalizationManager, PercentageFilesMostSpecificFirst) {
    TemporaryFolder bundleFolder;
    bundleFolder.write("en.lproj/PercentageOperators.plist", "<plist><array/></plist>");
    bundleFolder.write("de.lproj/PercentageOperators.plist", "<plist><array/></plist>");
    auto bundle = std::make_shared<ResourceBundle>(bundleFolder.path());
    ResourceBundle::setPreferredLanguages({"en"});
    struct Row {
        std::optional<std::string> localization;
        std::vector<std::string> expected;
    };
    const Row rows[] = {
        {"de", {"de.lproj/PercentageOperators.plist", "en.lproj/PercentageOperators.plist"}},
        {"en", {"en.lproj/PercentageOperators.plist"}},
        {std::nullopt, {"en.lproj/PercentageOperators.plist"}},
        {"fr", {"en.lproj/PercentageOperators.plist"}},  // no French file: English once
    };
    for (const auto& row : rows) {
        NKLocalizationManager manager;
        manager.setPercentageOperatorsPlistFileName("PercentageOperators", bundle,
                                                    row.localization);
        std::vector<std::string> expected;
        for (const auto& name : row.expected) expected.push_back(bundleFolder.file(name));
        EXPECT_EQ(manager.percentageOperatorsFilePaths(), expected)
            << row.localization.value_or("(none)");
    }
    ResourceBundle::setPreferredLanguages({});
}

TEST(LocalizationManager, WordOperatorsFromTheAuthoredFile) {
    auto words = NCBuiltins::wordOperators();
    NKLocalizationManager manager(nullptr, words);
    manager.setWordOperatorsPlistFile(resources() + "/en.lproj/WordOperators.plist");
    struct Row {
        std::u16string text, expected;
    };
    const Row rows[] = {
        {u"3 plus 4", u"7"},   {u"3 and 4", u"7"},  {u"10 minus 4", u"6"}, {u"10 less 4", u"6"},
        {u"5 times 3", u"15"}, {u"12 div 4", u"3"}, {u"2 with 2", u"4"},   {u"9 without 2", u"7"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(evaluate(nullptr, words, row.text), row.expected) << NKUTF8(row.text);
}

TEST(LocalizationManager, BadWordOperatorEntriesAreLoggedAndSkipped) {
    CapturedLog log;
    TemporaryFolder folder;
    folder.write("WordOperators.plist",
                 "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                 "<dict><key>word</key><string>plus</string><key>operatorType</key><string>Add</"
                 "string></dict>"
                 "<dict><key>word</key><string>modulo</string><key>operatorType</"
                 "key><string>Modulo</string></dict>"
                 "<dict><key>operatorType</key><string>Add</string></dict>"
                 "<dict><key>word</key><integer>3</integer><key>operatorType</key><string>Add</"
                 "string></dict>"
                 "<string>not a dictionary</string>"
                 "</array></plist>");
    auto words = NCBuiltins::wordOperators();
    NKLocalizationManager manager(nullptr, words);
    manager.setWordOperatorsPlistFile(folder.file("WordOperators.plist"));
    size_t errors = 0;
    for (const auto& line : log.lines())
        if (line.rfind("Encountered an error parsing ", 0) == 0) ++errors;
    EXPECT_EQ(errors, 4u);
    EXPECT_EQ(evaluate(nullptr, words, u"1 plus 1"), u"2");
    // A missing file changes nothing.
    manager.setWordOperatorsPlistFile(folder.file("absent.plist"));
    EXPECT_EQ(evaluate(nullptr, words, u"1 plus 1"), u"2");
}

TEST(LocalizationManager, PercentagePhrasesFromFiles) {
    CapturedLog log;
    TemporaryFolder folder;
    folder.write("PercentageOperators.plist",
                 "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                 "<dict><key>regex</key><string>pct\\s*of</string><key>operatorType</"
                 "key><string>PercentOf</string></dict>"
                 "<dict><key>regex</key><string>(unclosed</string><key>operatorType</"
                 "key><string>PercentOf</string></dict>"
                 "<dict><key>regex</key><string>x</string><key>operatorType</key><string>Nothing</"
                 "string></dict>"
                 "</array></plist>");
    auto words = NCBuiltins::wordOperators();
    {
        NKLocalizationManager manager(nullptr, words);
        manager.setPercentageOperatorsPlistFiles({folder.file("PercentageOperators.plist")});
        EXPECT_EQ(evaluate(nullptr, words, u"20 pct of 50"), u"10");
        size_t errors = 0;
        for (const auto& line : log.lines())
            if (line.rfind("Encountered an error parsing ", 0) == 0) ++errors;
        EXPECT_EQ(errors, 2u);
    }
    // The authored English phrases bring the usual ones back.
    NKLocalizationManager english(nullptr, words);
    english.setPercentageOperatorsPlistFiles({resources() + "/en.lproj/PercentageOperators.plist"});
    struct Row {
        std::u16string text, expected;
    };
    const Row rows[] = {
        {u"20% of 50", u"10"},         {u"10% on 200", u"220"}, {u"10% off 200", u"180"},
        {u"20% of what is 10", u"50"}, {u"pct of", u""},
    };
    for (const auto& row : rows) {
        auto answer = evaluate(nullptr, words, row.text);
        if (row.expected.empty())
            EXPECT_FALSE(answer && !answer->empty()) << NKUTF8(row.text);
        else
            EXPECT_EQ(answer, row.expected) << NKUTF8(row.text);
    }
}

TEST(LocalizationManager, ConversionWordsFromUnitLocalization) {
    NKLocalizationManager manager;
    manager.setUnitLocalizationPlistFile(resources() + "/en.lproj/UnitLocalization.plist");
    EXPECT_EQ(manager.localizedConversionOperatorString(), u"in");
    NKLocalizationManager lazy;
    EXPECT_EQ(lazy.localizedConversionOperatorString(), u"in");  // the localised key's English
    auto units = loadedUnits();
    auto answer = evaluate(units, NCBuiltins::wordOperators(), u"1 km to m");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->substr(0, 4), u"1000");
}

TEST(LocalizationManager, ClashingCurrencySymbols) {
    ASSERT_EQ(NKLocalizationManager::clashingSymbols().size(), 2u);
    EXPECT_EQ(NKLocalizationManager::clashingSymbols()[1].defaultCode, u"NOK");
    auto units = loadedUnits();
    struct Row {
        NKUserLocale locale;
        std::u16string askedCode;
        std::u16string expectedKr, expectedDollar;
    };
    const Row rows[] = {
        {{"sv_SE", u"SEK", u"kr"}, u"USD", u"SEK", u"USD"},
        {{"sv_SE", u"SEK", u"kr"}, u"DKK", u"DKK", u"USD"},  // the asked code wins
        {{"en_US", u"USD", u"$"}, u"USD", u"NOK", u"USD"},
        {{"en_AU", u"AUD", u"$"}, u"AUD", u"NOK", u"AUD"},
        {{"en_AU", u"AUD", u"$"}, u"NOK", u"NOK", u"AUD"},
    };
    for (const auto& row : rows) {
        NKUserLocale::setCurrent(row.locale);
        NKLocalizationManager manager(units, NCBuiltins::wordOperators());
        manager.refreshCurrencyLocaleForCode(row.askedCode);
        auto kr = units->ncUnitManager()->unitWithName(u"kr");
        auto dollar = units->ncUnitManager()->unitWithName(u"$");
        ASSERT_TRUE(kr && dollar);
        EXPECT_EQ(kr->identifier(), row.expectedKr)
            << row.locale.identifier << " " << NKUTF8(row.askedCode);
        EXPECT_EQ(dollar->identifier(), row.expectedDollar) << row.locale.identifier;
    }
    NKUserLocale::setCurrent(std::nullopt);
}

TEST(LocalizationManager, BestCurrencyIsTheUsersWhenKnown) {
    auto units = loadedUnits();
    struct Row {
        NKUserLocale locale;
        std::u16string expected;
    };
    const Row rows[] = {
        {{"fr_FR", u"EUR", u"\u20AC"}, u"EUR"},
        {{"ja_JP", u"JPY", u"\uFFE5"}, u"JPY"},
        {{"xx_XX", u"XXZ", u"?"}, u"USD"},
        {{"root", u"", u""}, u"USD"},
    };
    for (const auto& row : rows) {
        NKUserLocale::setCurrent(row.locale);
        NKLocalizationManager manager(units, NCBuiltins::wordOperators());
        EXPECT_EQ(manager.bestCurrencyCodeForCurrentLocale(), row.expected)
            << row.locale.identifier;
    }
    NKUserLocale::setCurrent(std::nullopt);
    // Read from ICU: a Swedish locale pays in kronor.
    const NKUserLocale swedish = NKUserLocale::withIdentifier("sv_SE");
    EXPECT_EQ(swedish.currencyCode, u"SEK");
    EXPECT_EQ(swedish.currencySymbol, u"kr");
}

}  // namespace
