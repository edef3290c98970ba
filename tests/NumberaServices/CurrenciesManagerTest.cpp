// The currency list: defaults, the data file (also the array format of old builds), units,
// enabled and favourite changes, locale and saving.
#include <gtest/gtest.h>

#include "CurrenciesTestSupport.h"
#include "NKCurrencyParsers.h"
#include "NKNotifications.h"

namespace {

TEST(Currencies, DefaultsAreSortedDatedAndKeepTheDollarAtOne) {
    CapturedLog log;
    CurrenciesFixture f;
    std::vector<std::u16string> codes;
    for (const auto& currency : f.manager->allCurrencies()) codes.push_back(currency->identifier());
    EXPECT_EQ(codes, (std::vector<std::u16string>{u"BTC", u"EUR", u"GBP", u"JPY", u"USD", u"XTS"}));
    EXPECT_EQ(f.rate(u"USD"), u"1.00");
    EXPECT_EQ(f.manager->currencyWithCode(u"USD")->rateDoubleValue(), 1.0);
    EXPECT_EQ(f.manager->lastCurrencyUpdateDate(), kDefaultsDate);
    EXPECT_EQ(f.manager->currencyWithCode(u"usd"), nullptr);

    f.manager->registerDefaultCurrencies(
        *plistValue("<dict>" + currencyEntry("CHF", "0.9", true) + "</dict>"));
    EXPECT_TRUE(log.contains("Registering Defaults but actual currencies already exist"));
    EXPECT_EQ(f.manager->currencyWithCode(u"CHF"), nullptr);
}

TEST(Currencies, ADefaultWithoutASourceDateIsDatedInTheDistantPast) {
    ManualTime time;
    auto manager = NKCurrenciesManager::create(nullptr, time.queue);
    manager->registerDefaultCurrencies(*plistValue("<dict>" +
                                                   currencyEntry("AUD", "1.5", true, "") +
                                                   currencyEntry("EUR", "0.9", true) + "</dict>"));
    EXPECT_EQ(manager->currencyWithCode(u"AUD")->sourceDate(), NKDistantPast);
    EXPECT_EQ(manager->currencyWithCode(u"EUR")->sourceDate(), kDefaultsDate);
    // The first currency by code dates the list: an undated default makes the first update due.
    EXPECT_EQ(manager->lastCurrencyUpdateDate(), NKDistantPast);
}

TEST(Currencies, ACurrencyWithoutAUnitIsDisabledAndNeverBorrowsTheDollars) {
    CapturedLog log;
    CurrenciesFixture f;
    auto xts = f.manager->currencyWithCode(u"XTS");
    EXPECT_FALSE(xts->enabled());
    EXPECT_EQ(xts->mutableUnit(), nullptr);
    EXPECT_TRUE(log.contains("Associated unit for XTS could not be found"));
    auto usd = f.manager->currencyWithCode(u"USD");
    ASSERT_NE(usd->mutableUnit(), nullptr);
    EXPECT_EQ(*usd->mutableUnit()->identifier(), u"USD");

    f.manager->updateUnitRatesFromAllCurrencies();
    EXPECT_EQ(f.factor(u"USD"), std::optional<std::u16string>(u"1.0000000000000000"));
    xts->setEnabled(true);
    EXPECT_FALSE(xts->enabled());
    EXPECT_EQ(f.recorder.count(NKCurrenciesEnabledStateChanged), 0u);
    EXPECT_TRUE(log.contains("Warning: Currency XTS has no unit and stays disabled"));
}

TEST(Currencies, EnabledCurrenciesPutTheirUnitsIntoTheCollection) {
    CurrenciesFixture f;
    const auto& collection = *f.units->ncUnitManager();
    for (const char16_t* code : {u"EUR", u"GBP", u"JPY", u"USD"})
        EXPECT_NE(collection.unitWithName(std::u16string(code)), nullptr) << NKUTF8(code);
    EXPECT_EQ(collection.unitWithName(std::u16string(u"BTC")), nullptr);

    auto bitcoin = f.manager->currencyWithCode(u"BTC");
    bitcoin->setEnabled(true);
    EXPECT_NE(collection.unitWithName(std::u16string(u"BTC")), nullptr);
    ASSERT_EQ(f.recorder.count(NKCurrenciesEnabledStateChanged), 1u);
    const auto object = f.recorder.last(NKCurrenciesEnabledStateChanged)
                            ->objectAs<std::vector<std::shared_ptr<NKCurrency>>>();
    ASSERT_EQ(object.size(), 1u);
    EXPECT_EQ(object[0], bitcoin);
    EXPECT_TRUE(f.manager->anyCurrencyEnabledIn(*f.recorder.last(NKCurrenciesEnabledStateChanged)));

    bitcoin->setEnabled(false);
    EXPECT_EQ(collection.unitWithName(std::u16string(u"BTC")), nullptr);
    EXPECT_FALSE(
        f.manager->anyCurrencyEnabledIn(*f.recorder.last(NKCurrenciesEnabledStateChanged)));

    f.manager->currencyWithCode(u"EUR")->setFavourite(true);
    EXPECT_EQ(f.recorder.count(NKCurrenciesFavouriteStateChanged), 1u);

    // A copy carries the values and the unit but changes nothing in the manager's list.
    auto copy = f.manager->currencyWithCode(u"GBP")->copy();
    EXPECT_EQ(copy->mutableUnit(), f.manager->currencyWithCode(u"GBP")->mutableUnit());
    copy->setFavourite(true);
    copy->setEnabled(false);
    EXPECT_EQ(f.recorder.count(NKCurrenciesFavouriteStateChanged), 1u);
    EXPECT_NE(collection.unitWithName(std::u16string(u"GBP")), nullptr);
    EXPECT_EQ(f.manager->favouriteCurrencies().size(), 2u);  // USD and EUR
}

TEST(Currencies, RatesBecomeUnitFactorsOfSixteenDecimals) {
    CapturedLog log;
    CurrenciesFixture f;
    struct Row {
        const char16_t* code;
        const char16_t* rate;
        std::optional<std::u16string> factor;  // none: the factor stays
    };
    const std::vector<Row> rows = {
        {u"EUR", u"0.8", u"1.2500000000000000"}, {u"GBP", u"0.5", u"2.0000000000000000"},
        {u"JPY", u"160", u"0.0062500000000000"}, {u"GBP", u"0", std::nullopt},
        {u"GBP", u"N/A", std::nullopt},
    };
    for (const auto& row : rows) {
        auto currency = f.manager->currencyWithCode(row.code);
        const auto before = f.factor(row.code);
        currency->setRate(row.rate);
        currency->setRateDoubleValue(NKCurrency::rateValueOfText(row.rate));
        NKCurrencyRatesToUnitsHelper::updateUnitRatesFromCurrencies({currency});
        EXPECT_EQ(f.factor(row.code), row.factor ? row.factor : before) << NKUTF8(row.rate);
    }
    EXPECT_TRUE(
        log.contains("Warning: Unit for currency GBP could not be updated as the rate is 0"));
    NKCurrencyRatesToUnitsHelper::updateUnitRatesFromCurrencies(
        {f.manager->currencyWithCode(u"XTS")});
    EXPECT_TRUE(log.contains("Warning: Currency XTS has no corresponding unit"));
}

TEST(Currencies, RatesAreTrimmedAndReadAsNumbers) {
    NKCurrency currency;
    CapturedLog log;
    currency.setRate(u"  0.9123\n");
    EXPECT_EQ(currency.rate(), u"0.9123");
    EXPECT_TRUE(log.contains("Warning: a newline got into the currencies rate somehow"));
    EXPECT_EQ(NKCurrency::rateValueOfText(u"0.9123"), 0.9123);
    EXPECT_EQ(NKCurrency::rateValueOfText(u"N/A"), 0.0);
    EXPECT_EQ(NKCurrency::rateValueOfText(u""), 0.0);
}

struct LocaleRow {
    NCSimpleLocale locale;
    bool changes;
};

TEST(Currencies, TheLocaleChangesOnlyWhenBothCharactersDiffer) {
    CurrenciesFixture f;
    const std::vector<LocaleRow> rows = {
        {{u'.', u' '}, false},
        {{u',', u','}, false},
        {{u',', u'.'}, true},
        {{u',', u'.'}, false},
    };
    for (const auto& row : rows) {
        const size_t before = f.recorder.count(NKCurrenciesLocaleChanged);
        const NCSimpleLocale old = f.manager->locale();
        f.manager->setLocale(row.locale);
        EXPECT_EQ(f.recorder.count(NKCurrenciesLocaleChanged), before + (row.changes ? 1 : 0));
        const NCSimpleLocale expected = row.changes ? row.locale : old;
        EXPECT_EQ(f.manager->locale(), expected);
        for (const auto& currency : f.manager->allCurrencies())
            EXPECT_EQ(currency->locale(), expected);
    }
}

class CurrencyFileTest : public ::testing::Test {
  protected:
    TemporaryFolder folder;
    CapturedLog log;
    std::string write(const std::string& body) {
        folder.write("Currencies.plist",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
                         "</plist>");
        return folder.file("Currencies.plist");
    }
};

TEST_F(CurrencyFileTest, AKeyedFileOverlaysTheDefaultsAndTheLaterDateWins) {
    CurrenciesFixture f(false, false);
    const std::string path = write(
        "<dict><key>NKCurrencies</key><dict>" + currencyEntry("EUR", "0.95", false) +
        currencyEntry("USD", "3", true) + currencyEntry("CHF", "0.9", true) +
        "</dict><key>NKDataSourceDate</key><date>2024-02-01T00:00:00Z</date>"
        "<key>NKVersionInfo</key><dict><key>CreatorBuild</key><string>3001</string></dict></dict>");
    EXPECT_TRUE(f.manager->loadCurrenciesFromPath(path));
    EXPECT_EQ(f.rate(u"EUR"), u"0.95");
    EXPECT_FALSE(f.manager->currencyWithCode(u"EUR")->enabled());
    EXPECT_EQ(f.rate(u"USD"), u"1.00");
    EXPECT_EQ(f.manager->currencyWithCode(u"CHF"), nullptr);  // not registered: skipped
    EXPECT_EQ(f.manager->lastCurrencyUpdateDate(), kDefaultsDate + 30 * 86400);
}

TEST_F(CurrencyFileTest, AnEarlierFileDateKeepsTheRegisteredDate) {
    CurrenciesFixture f(false, false);
    write("<dict><key>NKCurrencies</key><dict>" + currencyEntry("EUR", "0.95", true) +
          "</dict><key>NKDataSourceDate</key><date>2023-01-01T00:00:00Z</date></dict>");
    EXPECT_TRUE(f.manager->loadCurrenciesFromPath(folder.file("Currencies.plist")));
    EXPECT_EQ(f.manager->lastCurrencyUpdateDate(), kDefaultsDate);
}

struct LegacyRow {
    const char* what;
    std::string versionInfo;
    bool loads;
};

TEST_F(CurrencyFileTest, OldArrayFilesEnableExactlyTheirCurrenciesAndKeepTheDefaultRates) {
    const std::string list =
        "<key>NKCurrencies</key><array>"
        "<dict><key>identifier</key><string>GBP</string><key>enabled</key><true/>"
        "<key>rate</key><string>0.1</string></dict>"
        "<dict><key>identifier</key><string>BTC</string><key>enabled</key><true/></dict>"
        "<dict><key>identifier</key><string>JPY</string><key>enabled</key><false/></dict>"
        "</array><key>NKDataSourceDate</key><date>2030-01-01T00:00:00Z</date>";
    const std::vector<LegacyRow> rows = {
        {"build 2737 as text",
         "<key>NKVersionInfo</key><dict><key>CreatorBuild</key><string>2737</string></dict>", true},
        {"build 100 as a number",
         "<key>NKVersionInfo</key><dict><key>CreatorBuild</key><integer>100</integer></dict>",
         true},
        {"build 2738",
         "<key>NKVersionInfo</key><dict><key>CreatorBuild</key><string>2738</string></dict>",
         false},
        {"no version information", "", false},
    };
    for (const auto& row : rows) {
        CurrenciesFixture f(false, false);
        log.clear();
        EXPECT_EQ(
            f.manager->loadCurrenciesFromPath(write("<dict>" + list + row.versionInfo + "</dict>")),
            row.loads)
            << row.what;
        std::vector<std::u16string> enabled;
        for (const auto& currency : f.manager->activeCurrencies())
            enabled.push_back(currency->identifier());
        if (row.loads) {
            EXPECT_EQ(enabled, (std::vector<std::u16string>{u"BTC", u"GBP"})) << row.what;
            EXPECT_EQ(f.rate(u"GBP"), u"0.8") << row.what;
            // A converted file does not date the list.
            EXPECT_EQ(f.manager->lastCurrencyUpdateDate(), kDefaultsDate) << row.what;
        } else {
            EXPECT_EQ(enabled.size(), 5u) << row.what;
            EXPECT_TRUE(log.contains("Invalid currency data store error 2")) << row.what;
        }
    }
}

TEST_F(CurrencyFileTest, MissingAndUnreadableFilesKeepTheDefaults) {
    CurrenciesFixture f(false, false);
    EXPECT_FALSE(f.manager->loadCurrenciesFromPath(folder.file("none.plist")));
    EXPECT_TRUE(log.contains("could not load currencies, nothing there."));
    folder.write("bad.plist", "this is not a property list");
    EXPECT_FALSE(f.manager->loadCurrenciesFromPath(folder.file("bad.plist")));
    EXPECT_TRUE(log.contains("Invalid currency data store error 1"));
    EXPECT_EQ(f.rate(u"EUR"), u"0.9");
}

TEST_F(CurrencyFileTest, AFileWithoutRegisteredDefaultsBecomesTheDefaults) {
    ManualTime time;
    auto manager = NKCurrenciesManager::create(nullptr, time.queue);
    EXPECT_TRUE(manager->loadCurrenciesFromPath(write("<dict><key>NKCurrencies</key><dict>" +
                                                      currencyEntry("EUR", "0.95", true) +
                                                      "</dict></dict>")));
    EXPECT_TRUE(log.contains("no defaults have been registered"));
    ASSERT_NE(manager->currencyWithCode(u"EUR"), nullptr);
    EXPECT_EQ(manager->currencyWithCode(u"EUR")->rate(), u"0.95");
}

TEST_F(CurrencyFileTest, SavedFilesReadBackAndUnreadableOnesAreMovedAside) {
    CurrenciesFixture f;
    f.manager->currencyWithCode(u"EUR")->setRate(u"0.777");
    f.manager->currencyWithCode(u"GBP")->setEnabled(false);
    folder.write("Currencies.plist", "damaged");
    ASSERT_TRUE(f.manager->saveCurrenciesToPath(folder.file("Currencies.plist"),
                                                {{u"CreatorBuild", u"4000"}}));
    EXPECT_EQ(folder.read("Currencies.plist.unreadable"), "damaged");

    CurrenciesFixture g(false, false);
    ASSERT_TRUE(g.manager->loadCurrenciesFromPath(folder.file("Currencies.plist")));
    EXPECT_EQ(g.rate(u"EUR"), u"0.777");
    EXPECT_FALSE(g.manager->currencyWithCode(u"GBP")->enabled());
    EXPECT_TRUE(g.manager->currencyWithCode(u"USD")->favourite());
    EXPECT_EQ(g.manager->currencyWithCode(u"EUR")->sourceDate(), kDefaultsDate);
    EXPECT_FALSE(f.manager->saveCurrenciesToPath("", {}));
}

TEST(CurrencyResource, TheAuthoredDefaultsCoverEverySupportedCodeWithADatedRate) {
    const auto root = NCPropertyListValue::readFromFile(
        sourceDirectory() + "/Resources/Currencies.plist", nullptr);
    ASSERT_TRUE(root && root->isDictionary());
    const auto list = root->valueForKey(u"NKCurrencies");
    ASSERT_TRUE(list && list->isDictionary());
    const auto localization = NCPropertyListValue::readFromFile(
        sourceDirectory() + "/Resources/en.lproj/CurrencyLocalization.plist", nullptr);
    ASSERT_TRUE(localization && localization->valueForKey(u"Currencies"));
    const auto& units = localization->valueForKey(u"Currencies")->dictionary();

    std::vector<std::string> expected = NKYahooCurrenciesParser::supportedCurrencySymbols();
    expected.push_back("BTC");
    EXPECT_EQ(list->dictionary().size(), expected.size());
    for (const auto& code : expected) {
        const auto entry = list->valueForKey(NKUTF16(code));
        ASSERT_TRUE(entry && entry->isDictionary()) << code;
        NKCurrency currency(*entry);
        EXPECT_EQ(NKUTF8(currency.identifier()), code);
        EXPECT_GT(currency.rateDoubleValue(), 0) << code;
        EXPECT_GT(currency.sourceDate(), kDefaultsDate - 1) << code;
        EXPECT_TRUE(units.count(NKUTF16(code))) << code << " has no currency unit";
    }
    EXPECT_EQ(list->valueForKey(u"USD")->valueForKey(u"rate")->string(), u"1.00");
}

}  // namespace
