// The process-wide environment of the calculation engine: it owns the units, currencies,
// stocks, global variables and localisation managers, loads them in the background from a
// resource bundle and a data-source folder, builds the core's shared environment and
// evaluator, saves the data files when the managers announce changes, and tells one delegate.
#ifndef NUMBERA_SERVICES_NK_ENVIRONMENT_H
#define NUMBERA_SERVICES_NK_ENVIRONMENT_H

#include <any>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "MainQueue.h"
#include "NCSimpleLocale.h"
#include "NCVariable.h"
#include "NKConversionWordSource.h"
#include "NKEnvironmentModules.h"
#include "NKLocalizationManager.h"
#include "NKPersistence.h"
#include "NKTimingHelpers.h"
#include "NKUnitsManager.h"
#include "NKVariablesManager.h"
#include "NYDispatchFuture.h"
#include "NotificationCenter.h"
#include "ResourceBundle.h"

class NKCurrenciesManager;
class NKEnvironment;
class NKStocksManager;

// Each message is sent on the main queue.
struct NKEnvironmentDelegate {
    virtual ~NKEnvironmentDelegate() = default;
    virtual void environmentDidLoadBundle(const ResourceBundle& bundle) {}
    virtual void environmentVariablesWereModified(
        const std::vector<std::shared_ptr<NCVariable>>& variables) {}
    virtual void environmentStocksWereModified(const std::any& object) {}
    virtual void environmentDidUpdateStockValues() {}
    virtual void environmentDidUpdateCurrencyValues() {}
    virtual void environmentCurrenciesWereModified(const std::any& object) {}
};

class NKEnvironment : public NKActionTarget,
                      public NKConversionWordSource,
                      public std::enable_shared_from_this<NKEnvironment> {
  public:
    // Use NKEnvironmentBuilder or create(): the environment must be held by a shared pointer.
    NKEnvironment(std::optional<std::string> dataSourceDirectoryPath,
                  std::optional<NKVersionInfo> persistanceInfoDictionary);
    ~NKEnvironment() override;
    static std::shared_ptr<NKEnvironment> create(
        std::optional<std::string> dataSourceDirectoryPath = std::nullopt,
        std::optional<NKVersionInfo> persistanceInfoDictionary = std::nullopt);

    static std::shared_ptr<NKEnvironment> sharedEnvironment();
    // Also makes this environment the kit's conversion word source.
    void set();

    // Returns at once; the work runs on the global queue. A load on a loaded (or loading)
    // environment waits for the earlier load, then starts afresh.
    void loadFromBundleAtPath(const std::string& path,
                              const std::optional<std::string>& localization = std::nullopt);
    // Blocks until the running load's work has finished; at once when there is none.
    void completeLoading();
    // Currencies, stocks and variables, each when enabled. Without version information nothing
    // is written.
    void saveToDirectory(const std::string& directory);
    // The data files of the data-source folder that the load could not read entirely: each
    // is moved aside before it is first written over, and then no longer listed.
    std::vector<std::string> partlyReadDataFiles() const;

    std::shared_ptr<NKUnitsManager> unitsManager();
    // What loading, saving and updating need; whatever the module factory made.
    std::shared_ptr<NKCurrenciesManaging> currenciesManager();
    std::shared_ptr<NKStocksManaging> stocksManager();
    // The same managers in full, for the panels (favourites, rates, stock lists, downloads);
    // none when the factory made other implementations or none.
    std::shared_ptr<NKCurrenciesManager> fullCurrenciesManager();
    std::shared_ptr<NKStocksManager> fullStocksManager();
    std::shared_ptr<NKVariablesManager> variablesManager();
    std::shared_ptr<NKLocalizationManager> localizationManager();
    // The localisation manager's word.
    std::u16string localizedConversionOperatorString() override;

    const std::optional<std::string>& dataSourceDirectoryPath() const {
        return m_dataSourceDirectoryPath;
    }
    const std::optional<NKVersionInfo>& persistanceInfoDictionary() const {
        return m_persistanceInfoDictionary;
    }
    const std::optional<std::string>& localization() const { return m_language; }
    bool bundleLoaded() const { return m_bundleLoaded; }
    std::shared_ptr<NYDispatchFuture> loadingFuture() const;
    void setLoadingFuture(std::shared_ptr<NYDispatchFuture> future);
    // Not retained.
    NKEnvironmentDelegate* delegate() const { return m_delegate; }
    void setDelegate(NKEnvironmentDelegate* delegate) { m_delegate = delegate; }

    NCSimpleLocale locale() const { return m_locale; }
    void setLocale(NCSimpleLocale locale);
    bool unitsEnabled() const { return m_unitsEnabled; }
    void setUnitsEnabled(bool enabled);
    bool variablesEnabled() const { return m_variablesEnabled; }
    void setVariablesEnabled(bool enabled) { m_variablesEnabled = enabled; }
    bool currenciesEnabled() const { return m_currenciesEnabled; }
    void setCurrenciesEnabled(bool enabled) { m_currenciesEnabled = enabled; }
    bool stocksEnabled() const { return m_stocksEnabled; }
    void setStocksEnabled(bool enabled) { m_stocksEnabled = enabled; }
    bool updatesValuesFromWeb() const { return m_updatesValuesFromWeb; }
    void setUpdatesValuesFromWeb(bool updates);

    // None without a data-source folder.
    std::optional<std::string> variablesDataSourcePath() const;
    std::optional<std::string> stocksDataSourcePath() const;
    std::optional<std::string> currenciesDataSourcePath() const;
    std::optional<std::string> variablesDataSourcePathInDir(
        const std::optional<std::string>& dir) const;
    std::optional<std::string> stocksDataSourcePathInDir(
        const std::optional<std::string>& dir) const;
    std::optional<std::string> currenciesDataSourcePathInDir(
        const std::optional<std::string>& dir) const;
    std::optional<std::string> dataSourcePathForModulePlist(
        const std::string& fileName, const std::optional<std::string>& dir) const;

    // The localisation's file, else the user's preferred languages' in turn, else English.
    static std::optional<std::string> pathForResource(
        const std::string& name, const std::string& type,
        const std::optional<std::string>& localization, const ResourceBundle& bundle);

    // Makes the currencies and stocks managers of environments created afterwards (none: no
    // such managers, and those modules are skipped).
    static void setDefaultModuleFactory(NKEnvironmentModuleFactory factory);
    void setModuleFactory(NKEnvironmentModuleFactory factory) {
        m_moduleFactory = std::move(factory);
    }
    // The queue that observers and the end of a load are delivered on; the shared main queue
    // at creation.
    const std::shared_ptr<MainQueue>& mainQueue() const { return m_mainQueue; }
    void setMainQueue(std::shared_ptr<MainQueue> queue) { m_mainQueue = std::move(queue); }
    size_t observerCount() const { return m_notificationCenterObservers.size(); }
    NKDelayedPerformer& delayedSaver() { return *m_delayedSaver; }

    // Delayed saving of currencies arrives here.
    bool performAction(const std::string& action, const std::shared_ptr<void>& argument) override;
    std::string targetDescription() const override { return "environment"; }

  private:
    void reset();
    void loadAllFromBundle(const ResourceBundle& bundle,
                           const std::optional<std::string>& language);
    void loadUnits(const ResourceBundle& bundle, const std::optional<std::string>& language);
    void loadCurrencies(const ResourceBundle& bundle, const std::optional<std::string>& language);
    void loadVariables();
    void loadStocks(const ResourceBundle& bundle, const std::optional<std::string>& language);
    void loadLocalizedData(const ResourceBundle& bundle,
                           const std::optional<std::string>& language);
    void setUpSharedInstances();
    void registerObservers();
    void refreshCurrencyLocale();

    void saveCurrencies(const std::optional<std::string>& dir);
    void saveStocks(const std::optional<std::string>& dir);
    void saveVariables(const std::optional<std::string>& dir);
    bool canSave(const std::optional<std::string>& path, const std::string& fileName) const;

    bool m_stocksEnabled = true;
    bool m_variablesEnabled = true;
    bool m_unitsEnabled = true;
    bool m_currenciesEnabled = true;
    bool m_updatesValuesFromWeb = true;
    std::optional<std::string> m_dataSourceDirectoryPath;
    std::optional<NKVersionInfo> m_persistanceInfoDictionary;
    std::unique_ptr<NKDelayedPerformer> m_delayedSaver;
    std::atomic<bool> m_bundleLoaded{false};
    // Moves on with every load, so that a superseded load does not announce itself.
    std::atomic<uint64_t> m_loadGeneration{0};
    NCSimpleLocale m_locale = kNCSimpleLocalDefault;
    std::optional<std::string> m_bundlePath;
    std::optional<std::string> m_language;
    std::shared_ptr<ResourceBundle> m_bundle;
    std::shared_ptr<NKUnitsManager> m_unitsManager;
    std::shared_ptr<NKLocalizationManager> m_localizationManager;
    std::shared_ptr<NKStocksManaging> m_stocksManager;
    std::shared_ptr<NKVariablesManager> m_variablesManager;
    std::shared_ptr<NKCurrenciesManaging> m_currenciesManager;
    std::vector<NotificationObserver> m_notificationCenterObservers;
    NKEnvironmentDelegate* m_delegate = nullptr;
    mutable std::mutex m_futureMutex;
    std::shared_ptr<NYDispatchFuture> m_loadingFuture;
    NKEnvironmentModuleFactory m_moduleFactory;
    std::shared_ptr<MainQueue> m_mainQueue;
};

class NKEnvironmentBuilder {
  public:
    static NKEnvironmentBuilder builder() { return {}; }
    const std::optional<std::string>& dataSourceDirectoryPath() const {
        return m_dataSourceDirectoryPath;
    }
    void setDataSourceDirectoryPath(std::optional<std::string> path) {
        m_dataSourceDirectoryPath = std::move(path);
    }
    const std::optional<NKVersionInfo>& persistanceInfoDictionary() const {
        return m_persistanceInfoDictionary;
    }
    void setPersistanceInfoDictionary(std::optional<NKVersionInfo> info) {
        m_persistanceInfoDictionary = std::move(info);
    }
    // A new environment; nothing is loaded.
    std::shared_ptr<NKEnvironment> build() const {
        return NKEnvironment::create(m_dataSourceDirectoryPath, m_persistanceInfoDictionary);
    }

  private:
    std::optional<std::string> m_dataSourceDirectoryPath;
    std::optional<NKVersionInfo> m_persistanceInfoDictionary;
};

#endif
