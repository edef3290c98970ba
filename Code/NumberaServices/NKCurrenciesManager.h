// The known currencies with their rates against the US dollar: registered from the bundled
// defaults, overlaid by the user's data file, attached to their currency units, kept current
// from the web on request or every six hours, and saved as Currencies.plist.
#ifndef NUMBERA_SERVICES_NK_CURRENCIES_MANAGER_H
#define NUMBERA_SERVICES_NK_CURRENCIES_MANAGER_H

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "HttpClient.h"
#include "MainQueue.h"
#include "NKCurrenciesUpdaterOperation.h"
#include "NKCurrency.h"
#include "NKEnvironmentModules.h"
#include "NKTimingHelpers.h"
#include "NotificationCenter.h"
#include "ThreadPool.h"

class NKUnitsManager;

class NKCurrenciesManager final : public NKCurrenciesManaging,
                                  public NKActionTarget,
                                  public std::enable_shared_from_this<NKCurrenciesManager> {
  public:
    static constexpr NSTimeInterval kUpdateInterval = 21600;
    // Files written by earlier builds hold the currencies as an array.
    static constexpr int64_t kKeyedFormatBuild = 2738;

    // No queue, centre or client means the shared ones.
    static std::shared_ptr<NKCurrenciesManager> create(
        std::shared_ptr<NKUnitsManager> unitsManager, std::shared_ptr<MainQueue> queue = nullptr,
        NotificationCenter* center = nullptr, std::shared_ptr<HttpClient> client = nullptr);
    ~NKCurrenciesManager() override;

    void registerDefaultCurrencies(const NCPropertyListValue& currencies) override;
    bool loadCurrenciesFromPath(const std::string& path) override;
    void completeLoading() override;
    bool saveCurrenciesToPath(const std::string& path, const NKVersionInfo& versionInfo) override;
    std::optional<std::string> partlyReadFile() const override { return m_partlyRead.path(); }
    void setLocale(NCSimpleLocale locale) override;
    NCSimpleLocale locale() const { return m_locale; }
    void setAutomaticallyUpdatesValuesFromWeb(bool automatically) override;
    bool automaticallyUpdatesValuesFromWeb() const { return m_automaticallyUpdatesValuesFromWeb; }
    const NKRecurringTimer* updateTimer() const { return m_updateTimer.get(); }
    // Refused at once, with a log line, while an update runs.
    void updateRatesFromWeb() override;
    bool isUpdating() const { return m_updating.load(); }
    void updateUnitRatesFromAllCurrencies() override;
    void updateUnitRatesFromActiveCurrencies() override;
    bool anyCurrencyEnabledIn(const NSNotification& notification) const override;
    void stopUpdating() override;

    const std::vector<std::shared_ptr<NKCurrency>>& allCurrencies() const {
        return m_allCurrencies;
    }
    std::vector<std::shared_ptr<NKCurrency>> favouriteCurrencies() const;
    std::vector<std::shared_ptr<NKCurrency>> activeCurrencies() const;
    // Enabled codes in list order, without the bitcoin.
    std::vector<std::u16string> activeRealWorldCurrencyCodes() const;
    std::shared_ptr<NKCurrency> currencyWithCode(const std::u16string& code) const;
    static std::u16string masterCurrencyCode() { return u"USD"; }
    std::optional<NSTimeInterval> lastCurrencyUpdateDate() const {
        return m_lastCurrencyUpdateDate;
    }

    // The operations run on the update queue; their rates are applied on the main queue, and
    // the end is announced after that.
    void performAsynchronousRateUpdateWithOperations(
        std::vector<std::shared_ptr<NKCurrenciesUpdaterOperation>> operations);
    // Takes the operation's rates; the codes whose rate was missing or not a positive number
    // are added to `invalid` as "CODE (text)".
    void updateRatesWithUpdater(const NKCurrenciesUpdaterOperation& operation,
                                std::vector<std::string>* invalid = nullptr);
    // The currencies of a file written before the keyed format, keyed by identifier and
    // without their rates; none when the file is not such a file. Disables every registered
    // currency first, so that only the file's enabled ones are enabled afterwards.
    std::optional<NCPropertyListValue::Dictionary> validCurrencyDictionaryFromOldDataSource(
        const NCPropertyListValue& root);

    bool performAction(const std::string& action, const std::shared_ptr<void>& argument) override;
    std::string targetDescription() const override { return "currencies manager"; }

  private:
    NKCurrenciesManager(std::shared_ptr<NKUnitsManager> unitsManager,
                        std::shared_ptr<MainQueue> queue, NotificationCenter* center,
                        std::shared_ptr<HttpClient> client);
    void finishUpdate(const std::vector<std::shared_ptr<NKCurrenciesUpdaterOperation>>& operations);
    void observeCurrency(const std::shared_ptr<NKCurrency>& currency);
    void post(const char* name, std::any object);
    static void forceMasterRate(NKCurrency& currency);

    std::vector<std::shared_ptr<NKCurrency>> m_allCurrencies;
    std::map<std::u16string, std::shared_ptr<NKCurrency>> m_currenciesByIdentifier;
    NCSimpleLocale m_locale = kNCSimpleLocalDefault;
    std::optional<NSTimeInterval> m_lastCurrencyUpdateDate;
    bool m_automaticallyUpdatesValuesFromWeb = true;
    std::unique_ptr<NKRecurringTimer> m_updateTimer;
    std::shared_ptr<ThreadPool> m_updateCurrenciesQueue;
    std::shared_ptr<NKUnitsManager> m_unitsManager;
    std::shared_ptr<MainQueue> m_queue;
    NotificationCenter* m_center;
    std::shared_ptr<HttpClient> m_client;
    // Set from the request until the end notification, so that a second request in the same
    // turn of the main loop is refused too.
    std::atomic<bool> m_updating{false};
    bool m_stopped = false;
    std::vector<std::shared_ptr<NKCurrenciesUpdaterOperation>> m_runningOperations;
    NKPartlyReadFile m_partlyRead;
};

#endif
