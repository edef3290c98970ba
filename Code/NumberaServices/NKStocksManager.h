// The user's stocks: each mirrored as a global variable worth its last price in its currency,
// kept in Stocks.plist, and refreshed on request or hourly from the CSV quote service, falling
// back to the maker's data service.
#ifndef NUMBERA_SERVICES_NK_STOCKS_MANAGER_H
#define NUMBERA_SERVICES_NK_STOCKS_MANAGER_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HttpClient.h"
#include "MainQueue.h"
#include "NKEnvironmentModules.h"
#include "NKStock.h"
#include "NKStockParsers.h"
#include "NKTimingHelpers.h"
#include "NKWebDataGatherer.h"
#include "NotificationCenter.h"

class NKUnitsManager;
class NKVariablesManager;

class NKStocksManager final : public NKStocksManaging,
                              public NKActionTarget,
                              public NKWebDataGathererDelegate,
                              public std::enable_shared_from_this<NKStocksManager> {
  public:
    static constexpr NSTimeInterval kUpdateInterval = 3600;
    static constexpr const char* kPrimarySource = "i_stocksUpdateSourcePrimary";
    static constexpr const char* kSecondarySource = "i_stocksUpdateSourceSecondary";

    // No queue, centre or client means the shared ones.
    static std::shared_ptr<NKStocksManager> create(
        std::shared_ptr<NKUnitsManager> unitsManager,
        std::shared_ptr<NKVariablesManager> variablesManager,
        std::shared_ptr<MainQueue> queue = nullptr, NotificationCenter* center = nullptr,
        std::shared_ptr<HttpClient> client = nullptr);
    ~NKStocksManager() override;

    std::vector<std::shared_ptr<NKStock>> allStocks() const { return m_stocks; }
    const std::vector<std::shared_ptr<NKStock>>& stocks() const { return m_stocks; }
    void addStock(const std::shared_ptr<NKStock>& stock) { addStocks({stock}); }
    // Stocks whose ticker is listed already are skipped; the notification is posted anyway.
    void addStocks(const std::vector<std::shared_ptr<NKStock>>& stocks);
    void removeStock(const std::shared_ptr<NKStock>& stock) { removeStocks({stock}); }
    void removeStocks(const std::vector<std::shared_ptr<NKStock>>& stocks);
    // The stock's variable in the global list, or a new one that is not added.
    std::shared_ptr<NCVariable> variableForStock(const std::shared_ptr<NKStock>& stock) const;

    // Whether the file existed. A file that exists but does not read is left alone here and
    // moved aside by the next save.
    bool loadFromPath(const std::string& path) override;
    bool saveToPath(const std::string& path, const NKVersionInfo& versionInfo) override;
    std::optional<std::string> partlyReadFile() const override { return m_partlyRead.path(); }
    void setLocale(NCSimpleLocale locale) override;
    NCSimpleLocale stockLocale() const { return m_stockLocale; }
    void setAutomaticallyDownloadsStockPrices(bool automatically) override;
    bool automaticallyDownloadsStockPrices() const { return m_automaticallyDownloadsStockPrices; }
    const NKRecurringTimer* updateTimer() const { return m_updateTimer.get(); }
    void downloadLatestStockPrices();
    std::optional<NSTimeInterval> lastUpdateDate() const { return m_lastUpdateDate; }
    bool stockUpdateInProgress() const override { return m_stockUpdateInProgress; }
    void stopUpdating() override;

    void webDataGathererDidReturnData(NKWebDataGatherer& gatherer, const std::string& data,
                                      const std::any& userInfo) override;
    void webDataGathererDidFailWithError(NKWebDataGatherer& gatherer, const NSError& error,
                                         const std::any& userInfo) override;
    void webDataGathererDidCancel(NKWebDataGatherer& gatherer) override;

    bool performAction(const std::string& action, const std::shared_ptr<void>& argument) override;
    std::string targetDescription() const override { return "stocks manager"; }

  private:
    NKStocksManager(std::shared_ptr<NKUnitsManager> unitsManager,
                    std::shared_ptr<NKVariablesManager> variablesManager,
                    std::shared_ptr<MainQueue> queue, NotificationCenter* center,
                    std::shared_ptr<HttpClient> client);
    std::shared_ptr<NCVariableList> variableList() const;
    std::shared_ptr<NCUnit> unitForCurrency(const std::optional<std::u16string>& code) const;
    std::shared_ptr<NCVariable> makeVariable(const NKStock& stock) const;
    // The variable in the global list under the name, whatever its case; none when there is none.
    std::shared_ptr<NCVariable> listedVariableNamed(const std::u16string& name) const;
    void addVariableOfStock(const std::shared_ptr<NKStock>& stock);
    void removeVariableOfStock(const std::shared_ptr<NKStock>& stock);
    void requestSource(const char* source);
    void applyPricesFromDictionary(const NKStockQuotes& quotes);
    std::vector<std::string> tickers() const;
    void post(const char* name, std::any object);

    std::vector<std::shared_ptr<NKStock>> m_stocks;
    std::optional<NSTimeInterval> m_lastUpdateDate;
    NCSimpleLocale m_stockLocale = kNCSimpleLocalDefault;
    bool m_automaticallyDownloadsStockPrices = false;
    std::unique_ptr<NKRecurringTimer> m_updateTimer;
    std::shared_ptr<NKWebDataGatherer> m_dataGatherer;
    bool m_stockUpdateInProgress = false;
    bool m_stopped = false;
    std::shared_ptr<NKUnitsManager> m_unitsManager;
    std::shared_ptr<NKVariablesManager> m_variablesManager;
    std::shared_ptr<MainQueue> m_queue;
    NotificationCenter* m_center;
    std::shared_ptr<HttpClient> m_client;
    NKPartlyReadFile m_partlyRead;
};

#endif
