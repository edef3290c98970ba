// What the environment asks of its currencies and stocks managers, so that it can load, save
// and update them without knowing how they reach the web. The real managers and test doubles
// implement these; a factory makes them for each environment.
#ifndef NUMBERA_SERVICES_NK_ENVIRONMENT_MODULES_H
#define NUMBERA_SERVICES_NK_ENVIRONMENT_MODULES_H

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "NCPropertyListValue.h"
#include "NCSimpleLocale.h"
#include "NKPersistence.h"
#include "NotificationCenter.h"

class NKUnitsManager;
class NKVariablesManager;

class NKCurrenciesManaging {
  public:
    virtual ~NKCurrenciesManaging() = default;
    // The bundle's default list ("NKCurrencies" of the Currencies resource).
    virtual void registerDefaultCurrencies(const NCPropertyListValue& currencies) = 0;
    virtual bool loadCurrenciesFromPath(const std::string& path) = 0;
    virtual void completeLoading() = 0;
    virtual bool saveCurrenciesToPath(const std::string& path,
                                      const NKVersionInfo& versionInfo) = 0;
    // The loaded file when some of it could not be read; none once it was set aside.
    virtual std::optional<std::string> partlyReadFile() const { return std::nullopt; }
    virtual void setLocale(NCSimpleLocale locale) = 0;
    virtual void setAutomaticallyUpdatesValuesFromWeb(bool automatically) = 0;
    virtual void updateRatesFromWeb() = 0;
    // Push the rates of every currency, or of the enabled ones, into the currency units.
    virtual void updateUnitRatesFromAllCurrencies() = 0;
    virtual void updateUnitRatesFromActiveCurrencies() = 0;
    // Whether a currency named by an enabled-state notification is now enabled.
    virtual bool anyCurrencyEnabledIn(const NSNotification& notification) const = 0;
    // Stops the update timer and any request in flight: the manager is being dropped.
    virtual void stopUpdating() = 0;
};

class NKStocksManaging {
  public:
    virtual ~NKStocksManaging() = default;
    virtual bool loadFromPath(const std::string& path) = 0;
    virtual bool saveToPath(const std::string& path, const NKVersionInfo& versionInfo) = 0;
    virtual std::optional<std::string> partlyReadFile() const { return std::nullopt; }
    virtual void setLocale(NCSimpleLocale locale) = 0;
    virtual void setAutomaticallyDownloadsStockPrices(bool automatically) = 0;
    virtual bool stockUpdateInProgress() const = 0;
    virtual void stopUpdating() = 0;
};

struct NKEnvironmentModuleFactory {
    std::function<std::shared_ptr<NKCurrenciesManaging>(std::shared_ptr<NKUnitsManager>)>
        makeCurrenciesManager;
    std::function<std::shared_ptr<NKStocksManaging>(std::shared_ptr<NKUnitsManager>,
                                                    std::shared_ptr<NKVariablesManager>)>
        makeStocksManager;
};

#endif
