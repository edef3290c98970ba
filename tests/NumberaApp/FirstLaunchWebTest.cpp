// The first launch alone fetches rates and prices, once, right after the environment loaded;
// a later launch leaves that to the currencies' own update schedule.
#include <map>

#include "AppTestFixture.h"
#include "LocalWebServer.h"
#include "NBAppController.h"
#include "NBAppResources.h"
#include "NBEnvironmentController.h"
#include "NKCurrenciesManager.h"
#include "NKEnvironment.h"
#include "NKWebServices.h"
#include "QtSettings.h"

namespace {

class FirstLaunchWeb : public AppTest {
  protected:
    void configureServices() {
        using C = NKWebServiceConfiguration;
        const std::u16string origin =
            NBAppResources::toU16(QString::fromStdString(m_server.origin()));
        settings().setObject(C::kQuotesAddressKey, origin);
        settings().setObject(C::kDataAddressKey, origin);
        settings().setObject(C::kBitcoinAddressKey, origin);
        settings().setObject(C::kTimeoutKey, 2.0);
        m_server.route("/d/quotes.csv", LocalWebServer::fixture("service-error.html", 500));
        m_server.route("/numbera/data/currencies.php",
                       LocalWebServer::fixture("currencies-data.json"));
        m_server.route("/ticker/global/USD/", LocalWebServer::fixture("service-error.html", 500));
    }
    std::map<std::string, int> requestsByPath() const {
        std::map<std::string, int> counts;
        for (const std::string& target : m_server.targets())
            ++counts[target.substr(0, target.find('?'))];
        return counts;
    }
    bool currenciesIdle() {
        auto currencies = app()->environmentController()->environment()->fullCurrenciesManager();
        return currencies && !currencies->isUpdating();
    }

    LocalWebServer m_server;
};

TEST_F(FirstLaunchWeb, TheFirstLaunchAsksForRatesOnceAndTheSecondNotAtAll) {
    configureServices();
    launch();
    ASSERT_TRUE(pumpEventsUntil([&] { return !m_server.targets().empty() && currenciesIdle(); }));
    pumpEventsFor(300);
    const auto first = requestsByPath();
    EXPECT_EQ(first.count("/numbera/data/currencies.php"), 1u);
    for (const auto& [path, count] : first) EXPECT_EQ(count, 1) << path;
    auto currencies = app()->environmentController()->environment()->fullCurrenciesManager();
    ASSERT_NE(currencies, nullptr);
    EXPECT_EQ(currencies->currencyWithCode(u"EUR")->rate(), u"0.9200");
    quit();

    m_server.clearTargets();
    launch();
    pumpEventsFor(1000);
    EXPECT_TRUE(m_server.targets().empty());
    // The rates fetched by the first launch came back from the data folder.
    currencies = app()->environmentController()->environment()->fullCurrenciesManager();
    EXPECT_EQ(currencies->currencyWithCode(u"EUR")->rate(), u"0.9200");
}

TEST_F(FirstLaunchWeb, WithoutServiceAddressesNothingIsAsked) {
    m_server.route("/numbera/data/currencies.php", LocalWebServer::fixture("currencies-data.json"));
    launch();
    pumpEventsFor(500);
    EXPECT_TRUE(m_server.targets().empty());
}

}  // namespace
