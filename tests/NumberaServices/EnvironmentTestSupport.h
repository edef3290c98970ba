// Test doubles for the environment's currencies and stocks managers, a delegate that records
// what it is told, and a fixture that builds environments over a data folder on a manual clock.
#ifndef NUMBERA_TESTS_ENVIRONMENT_TEST_SUPPORT_H
#define NUMBERA_TESTS_ENVIRONMENT_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "NKEnvironment.h"
#include "ServicesTestSupport.h"

class FakeCurrencies : public NKCurrenciesManaging {
  public:
    void registerDefaultCurrencies(const NCPropertyListValue&) override {
        calls.push_back("registerDefaults");
    }
    bool loadCurrenciesFromPath(const std::string&) override {
        calls.push_back("load");
        return true;
    }
    void completeLoading() override { calls.push_back("completeLoading"); }
    bool saveCurrenciesToPath(const std::string& path, const NKVersionInfo&) override {
        calls.push_back("save");
        savedAt.push_back(MainQueue::shared()->now());
        lastSavePath = path;
        return true;
    }
    void setLocale(NCSimpleLocale) override { calls.push_back("setLocale"); }
    void setAutomaticallyUpdatesValuesFromWeb(bool on) override {
        calls.push_back(on ? "autoUpdate:on" : "autoUpdate:off");
    }
    void updateRatesFromWeb() override { calls.push_back("updateRatesFromWeb"); }
    void updateUnitRatesFromAllCurrencies() override { calls.push_back("ratesToUnits:all"); }
    void updateUnitRatesFromActiveCurrencies() override { calls.push_back("ratesToUnits:active"); }
    bool anyCurrencyEnabledIn(const NSNotification&) const override { return anyEnabled; }
    void stopUpdating() override { stopped = true; }

    size_t count(const std::string& call) const {
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
    }
    std::vector<std::string> calls;
    std::vector<NSTimeInterval> savedAt;
    std::string lastSavePath;
    bool anyEnabled = true;
    bool stopped = false;
};

class FakeStocks : public NKStocksManaging {
  public:
    explicit FakeStocks(std::shared_ptr<NKVariablesManager> variables)
        : variables(std::move(variables)) {}
    bool loadFromPath(const std::string& path) override {
        calls.push_back("load");
        variablesAtLoad = variables ? variables->variables().size() : 0;
        return true;
    }
    bool saveToPath(const std::string&, const NKVersionInfo&) override {
        calls.push_back("save");
        return true;
    }
    void setLocale(NCSimpleLocale) override { calls.push_back("setLocale"); }
    void setAutomaticallyDownloadsStockPrices(bool on) override {
        calls.push_back(on ? "autoDownload:on" : "autoDownload:off");
    }
    bool stockUpdateInProgress() const override { return inProgress; }
    void stopUpdating() override { stopped = true; }

    size_t count(const std::string& call) const {
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
    }
    std::shared_ptr<NKVariablesManager> variables;
    std::vector<std::string> calls;
    size_t variablesAtLoad = 0;
    bool inProgress = false;
    bool stopped = false;
};

struct RecordingDelegate : NKEnvironmentDelegate {
    std::vector<std::string> messages;
    void environmentDidLoadBundle(const ResourceBundle&) override {
        messages.push_back("didLoadBundle");
    }
    void environmentVariablesWereModified(
        const std::vector<std::shared_ptr<NCVariable>>& v) override {
        messages.push_back("variablesWereModified:" +
                           (v.empty() ? std::string() : NKUTF8(v[0]->name().value_or(u""))));
    }
    void environmentStocksWereModified(const std::any&) override {
        messages.push_back("stocksWereModified");
    }
    void environmentDidUpdateStockValues() override { messages.push_back("didUpdateStockValues"); }
    void environmentDidUpdateCurrencyValues() override {
        messages.push_back("didUpdateCurrencyValues");
    }
    void environmentCurrenciesWereModified(const std::any&) override {
        messages.push_back("currenciesWereModified");
    }
    size_t count(const std::string& message) const {
        return static_cast<size_t>(std::count(messages.begin(), messages.end(), message));
    }
};

inline const NKVersionInfo kTestVersionInfo = {
    {u"CreatorVersion", u"1.0"}, {u"CreatorID", u"test"}, {u"CreatorBuild", u"1"}};

struct EnvironmentFixture {
    ManualTime time;
    CapturedLog log;
    TemporaryFolder data;
    RecordingDelegate delegate;
    std::vector<std::shared_ptr<FakeCurrencies>> currencies;
    std::vector<std::shared_ptr<FakeStocks>> stocks;

    std::shared_ptr<NKEnvironment> make(bool withFolder = true, bool withVersionInfo = true) {
        auto builder = NKEnvironmentBuilder::builder();
        if (withFolder) builder.setDataSourceDirectoryPath(data.path());
        if (withVersionInfo) builder.setPersistanceInfoDictionary(kTestVersionInfo);
        auto environment = builder.build();
        NKEnvironmentModuleFactory factory;
        factory.makeCurrenciesManager = [this](std::shared_ptr<NKUnitsManager>) {
            currencies.push_back(std::make_shared<FakeCurrencies>());
            return currencies.back();
        };
        factory.makeStocksManager = [this](std::shared_ptr<NKUnitsManager>,
                                           std::shared_ptr<NKVariablesManager> variables) {
            stocks.push_back(std::make_shared<FakeStocks>(variables));
            return stocks.back();
        };
        environment->setModuleFactory(factory);
        environment->setDelegate(&delegate);
        return environment;
    }
    // Loads and lets the main queue deliver what the load queued.
    void load(NKEnvironment& environment, const std::string& bundle,
              std::optional<std::string> localization = std::nullopt) {
        environment.loadFromBundleAtPath(bundle, localization);
        environment.completeLoading();
        time.queue->runPending();
    }
    static std::string resources() { return sourceDirectory() + "/Resources"; }
};

#endif
