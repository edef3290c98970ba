#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "EnvironmentTestSupport.h"
#include "NCEnvironment.h"
#include "NCEvaluator.h"
#include "NKConversionWordSource.h"
#include "NKNotifications.h"

namespace {

std::optional<std::u16string> evaluateShared(const std::u16string& text) {
    auto evaluator = NCEvaluator::sharedEvaluator();
    return evaluator ? evaluator->evaluateString(text) : std::nullopt;
}

TEST(Environment, BuiltEnvironmentStartsEmpty) {
    EnvironmentFixture f;
    auto environment = f.make();
    EXPECT_FALSE(environment->bundleLoaded());
    EXPECT_TRUE(environment->unitsEnabled() && environment->variablesEnabled() &&
                environment->currenciesEnabled() && environment->stocksEnabled() &&
                environment->updatesValuesFromWeb());
    EXPECT_EQ(environment->locale(), kNCSimpleLocalDefault);
    EXPECT_EQ(environment->loadingFuture(), nullptr);
    environment->completeLoading();  // nothing to wait for
    EXPECT_EQ(environment->variablesDataSourcePath(), f.data.file("Variables.plist"));
    EXPECT_EQ(environment->stocksDataSourcePathInDir(std::string("/x")), "/x/Stocks.plist");
    EXPECT_EQ(environment->currenciesDataSourcePath(), f.data.file("Currencies.plist"));
    EXPECT_EQ(f.make(false)->variablesDataSourcePath(), std::nullopt);
    environment->set();
    EXPECT_EQ(NKEnvironment::sharedEnvironment(), environment);
}

// Typing a unit after a value puts the shared environment's conversion word between them.
TEST(Environment, SharedEnvironmentIsTheKitsConversionWordSource) {
    EnvironmentFixture f;
    auto first = f.make();
    first->set();
    EXPECT_EQ(NKConversionWordSource::shared(), first);
    EXPECT_EQ(NKConversionWord(),
              first->localizationManager()->localizedConversionOperatorString());
    auto second = f.make();
    second->set();
    EXPECT_EQ(NKConversionWordSource::shared(), second);
}

TEST(Environment, LoadBuildsTheSharedEvaluatorInOrder) {
    EnvironmentFixture f;
    f.data.write("Stocks.plist", "<plist><dict/></plist>");
    auto environment = f.make();
    environment->loadFromBundleAtPath(EnvironmentFixture::resources());
    environment->completeLoading();
    EXPECT_TRUE(environment->bundleLoaded());
    EXPECT_TRUE(environment->loadingFuture()->resolved());
    EXPECT_TRUE(f.delegate.messages.empty()) << "told on the main queue only";
    f.time.queue->runPending();
    EXPECT_EQ(f.delegate.messages, (std::vector<std::string>{"didLoadBundle"}));
    EXPECT_EQ(environment->observerCount(), 11u);

    // Variables come before stocks: the stock loader sees the global variables.
    ASSERT_EQ(f.stocks.size(), 1u);
    EXPECT_EQ(f.stocks[0]->variablesAtLoad, 3u);
    EXPECT_EQ(f.stocks[0]->calls, (std::vector<std::string>{"load", "autoDownload:on"}));
    ASSERT_EQ(f.currencies.size(), 1u);
    EXPECT_EQ(f.currencies[0]->calls,
              (std::vector<std::string>{"registerDefaults", "completeLoading", "autoUpdate:on",
                                        "ratesToUnits:all"}));

    struct Row {
        std::u16string text, expected;
    };
    const Row rows[] = {
        {u"3 plus 4", u"7"},  // word operators of the bundle
        {u"2 * k", u"2000"},  // global variables
        {u"M / k", u"1000"},
        {u"20% of 50", u"10"},  // percentage phrases
    };
    for (const auto& row : rows)
        EXPECT_EQ(evaluateShared(row.text), row.expected) << NKUTF8(row.text);
    auto metres = evaluateShared(u"1.5 km in m");
    ASSERT_TRUE(metres);
    EXPECT_EQ(metres->substr(0, 4), u"1500");
    EXPECT_EQ(NCEnvironment::current()->variables(),
              environment->variablesManager()->variableList());
}

TEST(Environment, DisabledModulesAreNotLoadedButObserversAreAllRegistered) {
    EnvironmentFixture f;
    auto environment = f.make();
    environment->setCurrenciesEnabled(false);
    environment->setStocksEnabled(false);
    f.load(*environment, EnvironmentFixture::resources());
    EXPECT_TRUE(f.currencies.empty());
    EXPECT_TRUE(f.stocks.empty());
    EXPECT_EQ(environment->observerCount(), 11u);
    EXPECT_EQ(environment->variablesManager()->variables().size(), 3u);
}

TEST(Environment, SecondLoadWaitsForTheFirstAndStopsTheOldManagers) {
    EnvironmentFixture f;
    auto environment = f.make();
    environment->loadFromBundleAtPath(EnvironmentFixture::resources());
    // No completeLoading: the second load must wait for the first itself.
    environment->loadFromBundleAtPath(EnvironmentFixture::resources());
    environment->completeLoading();
    f.time.queue->runPending();
    ASSERT_EQ(f.currencies.size(), 2u);
    ASSERT_EQ(f.stocks.size(), 2u);
    EXPECT_TRUE(f.currencies[0]->stopped);
    EXPECT_TRUE(f.stocks[0]->stopped);
    EXPECT_FALSE(f.currencies[1]->stopped);
    EXPECT_FALSE(f.stocks[1]->stopped);
    // The first load finished its work before the reset: it never ran half-way over new
    // managers.
    EXPECT_EQ(f.currencies[0]->count("ratesToUnits:all"), 1u);
    EXPECT_EQ(environment->observerCount(), 11u);
    EXPECT_EQ(environment->variablesManager()->variables().size(), 3u);
    EXPECT_EQ(f.delegate.count("didLoadBundle"), 1u)
        << "the first load's announcement went with it";
}

TEST(Environment, LocalisedResourceLookup) {
    TemporaryFolder bundle;
    bundle.write("en.lproj/UnitLocalization.plist", "en");
    bundle.write("fr.lproj/UnitLocalization.plist", "fr");
    bundle.write("Units.plist", "u");
    ResourceBundle resources(bundle.path());
    struct Row {
        std::vector<std::string> preferred;
        std::optional<std::string> localization;
        std::string name;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {{"fr"}, "de", "UnitLocalization", "fr.lproj/UnitLocalization.plist"},
        {{"it"}, "de", "UnitLocalization", "en.lproj/UnitLocalization.plist"},
        {{"fr"}, "en", "UnitLocalization", "en.lproj/UnitLocalization.plist"},
        {{"fr"}, std::nullopt, "Units", "Units.plist"},
        {{"fr"}, "de", "Missing", std::nullopt},
    };
    for (const auto& row : rows) {
        ResourceBundle::setPreferredLanguages(row.preferred);
        const auto found =
            NKEnvironment::pathForResource(row.name, "plist", row.localization, resources);
        EXPECT_EQ(found, row.expected ? std::optional<std::string>(bundle.file(*row.expected))
                                      : std::nullopt)
            << row.name << " " << row.localization.value_or("(none)");
    }
    ResourceBundle::setPreferredLanguages({});
}

// Units switched back on come back in the language of the load, not the default one.
TEST(Environment, UnitsEnabledAgainKeepTheLoadsLanguage) {
    EnvironmentFixture f;
    TemporaryFolder bundle;
    namespace fs = std::filesystem;
    const std::string source = EnvironmentFixture::resources();
    fs::copy_file(source + "/Units.plist", bundle.file("Units.plist"));
    fs::create_directories(bundle.file("en.lproj"));
    fs::copy_file(source + "/en.lproj/UnitLocalization.plist",
                  bundle.file("en.lproj/UnitLocalization.plist"),
                  fs::copy_options::overwrite_existing);
    std::string german = bundle.read("en.lproj/UnitLocalization.plist");
    for (size_t at = german.find("<string>metre</string>"); at != std::string::npos;
         at = german.find("<string>metre</string>", at))
        german.replace(at, 22, "<string>Metrum</string>");
    bundle.write("de.lproj/UnitLocalization.plist", german);
    ResourceBundle::setPreferredLanguages({"en"});

    auto environment = f.make();
    environment->setCurrenciesEnabled(false);
    environment->setStocksEnabled(false);
    f.load(*environment, bundle.path(), std::string("de"));
    auto units = [&] { return environment->unitsManager()->ncUnitManager(); };
    ASSERT_NE(units()->unitWithName(u"Metrum"), nullptr);
    environment->setUnitsEnabled(false);
    EXPECT_EQ(units()->unitWithName(u"Metrum"), nullptr);
    environment->setUnitsEnabled(true);
    EXPECT_NE(units()->unitWithName(u"Metrum"), nullptr);
    ResourceBundle::setPreferredLanguages({});
}

TEST(Environment, SettersPassTheirValuesOn) {
    EnvironmentFixture f;
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    auto& currencies = *f.currencies.at(0);
    auto& stocks = *f.stocks.at(0);
    environment->setLocale(kNCSimpleLocalDefault);  // unchanged: nothing
    EXPECT_EQ(currencies.count("setLocale"), 0u);
    environment->setLocale(NCSimpleLocale{u',', u'.'});
    EXPECT_EQ(currencies.count("setLocale"), 1u);
    EXPECT_EQ(stocks.count("setLocale"), 1u);
    EXPECT_EQ(environment->variablesManager()->locale(), (NCSimpleLocale{u',', u'.'}));
    environment->setUpdatesValuesFromWeb(false);
    environment->setUpdatesValuesFromWeb(false);
    EXPECT_EQ(currencies.count("autoUpdate:off"), 1u);
    EXPECT_EQ(stocks.count("autoDownload:off"), 1u);
}

TEST(Environment, VariableValueIsEvaluatedBySharedEvaluator) {
    EnvironmentFixture f;
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    auto variables = environment->variablesManager();
    auto k = variables->variableNamed(u"k");
    struct Row {
        std::u16string value;
        bool ok;
        std::u16string stored;
    };
    const Row rows[] = {{u"2 * 3", true, u"6"}, {u"1 plus 1", true, u"2"}, {u"2 +* ", false, u"2"}};
    for (const auto& row : rows) {
        NSError error;
        EXPECT_EQ(variables->setValueOfVariable(k, row.value, &error), row.ok) << NKUTF8(row.value);
        EXPECT_EQ(k->delocalizedValue(), row.stored);
        if (!row.ok) {
            EXPECT_EQ(error.code, 2048);
        }
    }
}

// Other implementations of the managers are reached only through what the environment
// itself asks of them.
TEST(Environment, FullManagersAreNoneForOtherImplementations) {
    EnvironmentFixture f;
    auto environment = f.make();
    f.load(*environment, EnvironmentFixture::resources());
    EXPECT_EQ(environment->currenciesManager(), f.currencies.at(0));
    EXPECT_EQ(environment->stocksManager(), f.stocks.at(0));
    EXPECT_EQ(environment->fullCurrenciesManager(), nullptr);
    EXPECT_EQ(environment->fullStocksManager(), nullptr);
}

}  // namespace
