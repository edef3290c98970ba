// The environment with its real currencies and stocks managers, updating from a local server:
// what arrives reaches the units and the variables and is written to the data folder.
#include <gtest/gtest.h>

#include "EnvironmentTestSupport.h"
#include "LocalWebServer.h"
#include "NKCurrenciesManager.h"
#include "NKDataManagers.h"
#include "NKNotifications.h"
#include "NKStocksManager.h"
#include "WebTestSupport.h"

namespace {

struct WebEnvironment {
    EnvironmentFixture fixture;
    LocalWebServer server;
    ServiceAddresses services{server.origin(), server.origin(), server.origin(), 2.0};
    std::shared_ptr<NKEnvironment> environment;

    WebEnvironment() {
        environment = fixture.make();
        environment->setModuleFactory(NKDataManagersFactory());
    }
    ~WebEnvironment() {
        if (auto currencies = environment->currenciesManager()) currencies->stopUpdating();
        if (auto stocks = environment->stocksManager()) stocks->stopUpdating();
    }
    std::shared_ptr<NKCurrenciesManager> currencies() {
        return environment->fullCurrenciesManager();
    }
    std::shared_ptr<NKStocksManager> stocks() { return environment->fullStocksManager(); }
    std::optional<std::u16string> factor(const char16_t* code) {
        auto currency = currencies()->currencyWithCode(code);
        return currency && currency->mutableUnit() ? currency->mutableUnit()->factor()
                                                   : std::nullopt;
    }
};

// The panels reach the very managers the environment loads, saves and updates.
TEST(EnvironmentWeb, TheRealManagersAreOfferedInFull) {
    WebEnvironment w;
    w.server.route("/d/quotes.csv", LocalWebServer::fixture("service-error.html", 500));
    w.server.route("/numbera/data/currencies.php",
                   LocalWebServer::fixture("service-error.html", 500));
    w.server.route("/ticker/global/USD/", LocalWebServer::fixture("service-error.html", 500));
    w.fixture.load(*w.environment, EnvironmentFixture::resources());
    auto currencies = w.environment->fullCurrenciesManager();
    auto stocks = w.environment->fullStocksManager();
    ASSERT_NE(currencies, nullptr);
    ASSERT_NE(stocks, nullptr);
    EXPECT_EQ(currencies.get(), w.environment->currenciesManager().get());
    EXPECT_EQ(stocks.get(), w.environment->stocksManager().get());
    EXPECT_EQ(currencies->allCurrencies().size(), 154u);
    EXPECT_TRUE(stocks->allStocks().empty());
}

TEST(EnvironmentWeb, APartialCurrencyUpdateReachesTheUnitsAndTheDataFile) {
    WebEnvironment w;
    w.server.route("/d/quotes.csv", LocalWebServer::fixture("service-error.html", 500));
    w.server.route("/numbera/data/currencies.php", LocalWebServer::fixture("currencies-data.json"));
    w.server.route("/ticker/global/USD/", LocalWebServer::fixture("service-error.html", 500));
    w.fixture.load(*w.environment, EnvironmentFixture::resources());
    auto currencies = w.currencies();
    ASSERT_NE(currencies, nullptr);
    EXPECT_EQ(currencies->allCurrencies().size(), 154u);
    // The bundled default rates are in the units after the load.
    EXPECT_EQ(w.factor(u"EUR"), std::optional<std::u16string>(u"1.1049723756906078"));
    EXPECT_FALSE(w.fixture.data.exists("Currencies.plist"));

    currencies->updateRatesFromWeb();
    ASSERT_TRUE(pumpUntil(*w.fixture.time.queue, [&] { return !currencies->isUpdating(); }));
    w.fixture.time.queue->runPending();

    EXPECT_EQ(currencies->currencyWithCode(u"EUR")->rate(), u"0.9200");
    EXPECT_EQ(w.factor(u"EUR"), std::optional<std::u16string>(u"1.0869565217391304"));
    EXPECT_EQ(w.fixture.delegate.count("didUpdateCurrencyValues"), 1u);
    ASSERT_TRUE(w.fixture.data.exists("Currencies.plist"));
    EXPECT_NE(w.fixture.data.read("Currencies.plist").find("<string>0.9200</string>"),
              std::string::npos);
    EXPECT_EQ(currencies->lastCurrencyUpdateDate(), w.fixture.time.now());
}

TEST(EnvironmentWeb, DownloadedStockPricesReachTheVariablesAndTheDataFile) {
    WebEnvironment w;
    w.server.route("/d/quotes.csv", LocalWebServer::fixture("stocks-quotes.csv"));
    w.fixture.data.write(
        "Stocks.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
        "<key>NKStocks</key><array><dict><key>name</key><string>apple</string>"
        "<key>ticker</key><string>AAPL</string><key>value</key><string>100</string>"
        "<key>currencyCode</key><string>USD</string></dict></array></dict></plist>");
    w.fixture.load(*w.environment, EnvironmentFixture::resources());
    auto stocks = w.stocks();
    ASSERT_NE(stocks, nullptr);
    ASSERT_EQ(stocks->stocks().size(), 1u);
    auto list = w.environment->variablesManager()->variableList();
    ASSERT_NE(list->variableWithName(u"apple"), nullptr);
    EXPECT_EQ(list->variableWithName(u"apple")->delocalizedValue(),
              std::optional<std::u16string>(u"100"));

    stocks->downloadLatestStockPrices();
    ASSERT_TRUE(pumpUntil(*w.fixture.time.queue, [&] { return !stocks->stockUpdateInProgress(); }));
    w.fixture.time.queue->runPending();

    EXPECT_EQ(list->variableWithName(u"apple")->delocalizedValue(),
              std::optional<std::u16string>(u"189.95"));
    EXPECT_EQ(w.fixture.delegate.count("didUpdateStockValues"), 1u);
    EXPECT_NE(w.fixture.data.read("Stocks.plist").find("<string>189.95</string>"),
              std::string::npos);
    // The user's variables file is not touched by a price download.
    EXPECT_FALSE(w.fixture.data.exists("Variables.plist"));
}

}  // namespace
