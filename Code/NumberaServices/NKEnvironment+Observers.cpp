// The environment's answers to the managers' notifications, and saving the data files.
#include "NKEnvironment.h"
#include "NKNotifications.h"
#include "NKTextHelpers.h"

namespace {

constexpr const char* kSaveCurrenciesAction = "saveCurrencies";
constexpr NSTimeInterval kFavouriteSaveDelay = 5.0;
// Variables of this type belong to a stock and change with every price download.
constexpr int32_t kStockVariableType = 1;

}  // namespace

void NKEnvironment::registerObservers() {
    std::weak_ptr<NKEnvironment> weak = weak_from_this();
    auto& center = NotificationCenter::defaultCenter();
    auto observe = [&](const char* name,
                       std::function<void(NKEnvironment&, const NSNotification&)> body) {
        m_notificationCenterObservers.push_back(center.addObserver(
            name, nullptr, m_mainQueue, [weak, body = std::move(body)](const NSNotification& n) {
                if (auto environment = weak.lock()) body(*environment, n);
            }));
    };
    auto variablesChanged = [](NKEnvironment& environment, const NSNotification& n) {
        if (!environment.m_delegate) return;
        auto variable = n.objectAs<std::shared_ptr<NCVariable>>();
        std::vector<std::shared_ptr<NCVariable>> variables;
        if (variable) variables.push_back(variable);
        environment.m_delegate->environmentVariablesWereModified(variables);
    };

    observe(NKVariableWasModified,
            [variablesChanged](NKEnvironment& environment, const NSNotification& n) {
                // A price download rewrites every stock variable; those writes wait for the
                // download's own notification. A user's edit of any other variable is saved at
                // once.
                auto variable = n.objectAs<std::shared_ptr<NCVariable>>();
                auto stocks = environment.m_stocksManager;
                if (stocks && stocks->stockUpdateInProgress() &&
                    (!variable || variable->type() == kStockVariableType))
                    return;
                environment.saveVariables(environment.m_dataSourceDirectoryPath);
                variablesChanged(environment, n);
            });
    observe(NKVariableWasMoved, [](NKEnvironment& environment, const NSNotification&) {
        environment.saveVariables(environment.m_dataSourceDirectoryPath);
    });
    observe(NKVariableWasRemoved,
            [variablesChanged](NKEnvironment& environment, const NSNotification& n) {
                environment.saveVariables(environment.m_dataSourceDirectoryPath);
                variablesChanged(environment, n);
            });
    observe(NKVariableWasAdded,
            [variablesChanged](NKEnvironment& environment, const NSNotification& n) {
                environment.saveVariables(environment.m_dataSourceDirectoryPath);
                variablesChanged(environment, n);
            });
    observe(NKStocksWereAdded, [](NKEnvironment& environment, const NSNotification& n) {
        environment.saveStocks(environment.m_dataSourceDirectoryPath);
        if (environment.m_delegate) environment.m_delegate->environmentStocksWereModified(n.object);
    });
    observe(NKStocksWereRemoved, [](NKEnvironment& environment, const NSNotification& n) {
        environment.saveStocks(environment.m_dataSourceDirectoryPath);
        if (environment.m_delegate) environment.m_delegate->environmentStocksWereModified(n.object);
    });
    observe(NKStocksSuccessfulyUpdated, [](NKEnvironment& environment, const NSNotification&) {
        environment.saveStocks(environment.m_dataSourceDirectoryPath);
        if (environment.m_delegate) environment.m_delegate->environmentDidUpdateStockValues();
    });
    auto currenciesUpdated = [](NKEnvironment& environment, const NSNotification&) {
        environment.m_delayedSaver->cancelAllActions();
        if (auto currencies = environment.m_currenciesManager)
            currencies->updateUnitRatesFromActiveCurrencies();
        environment.saveCurrencies(environment.m_dataSourceDirectoryPath);
        if (environment.m_delegate) environment.m_delegate->environmentDidUpdateCurrencyValues();
    };
    observe(NKCurrenciesSuccessfullyUpdated, currenciesUpdated);
    // Rates that did arrive are used and kept although another source failed.
    observe(NKCurrenciesUpdatePartiallyFailed, currenciesUpdated);
    observe(NKCurrenciesEnabledStateChanged, [](NKEnvironment& environment,
                                                const NSNotification& n) {
        environment.saveCurrencies(environment.m_dataSourceDirectoryPath);
        auto currencies = environment.m_currenciesManager;
        // The web is asked only when the user lets the environment update from it.
        if (currencies && environment.m_updatesValuesFromWeb && currencies->anyCurrencyEnabledIn(n))
            currencies->updateRatesFromWeb();
        environment.refreshCurrencyLocale();
        if (environment.m_delegate)
            environment.m_delegate->environmentCurrenciesWereModified(n.object);
    });
    observe(NKCurrenciesFavouriteStateChanged,
            [](NKEnvironment& environment, const NSNotification& n) {
                environment.m_delayedSaver->cancelAllActions();
                environment.m_delayedSaver->performAction(kSaveCurrenciesAction, nullptr,
                                                          kFavouriteSaveDelay);
                if (environment.m_delegate)
                    environment.m_delegate->environmentCurrenciesWereModified(n.object);
            });
}

bool NKEnvironment::performAction(const std::string& action, const std::shared_ptr<void>&) {
    if (action != kSaveCurrenciesAction) return false;
    saveCurrencies(m_dataSourceDirectoryPath);
    return true;
}

bool NKEnvironment::canSave(const std::optional<std::string>& path,
                            const std::string& fileName) const {
    if (!path) {
        NKLogLine("Warning: Nil directory path for " + fileName + "; not saved");
        return false;
    }
    if (!m_persistanceInfoDictionary) {
        NKLogLine("Warning: No version information for " + fileName + "; not saved");
        return false;
    }
    return true;
}

void NKEnvironment::saveCurrencies(const std::optional<std::string>& dir) {
    if (!m_currenciesEnabled || !m_currenciesManager) return;
    const auto path = currenciesDataSourcePathInDir(dir);
    if (canSave(path, "Currencies.plist"))
        m_currenciesManager->saveCurrenciesToPath(*path, *m_persistanceInfoDictionary);
}

void NKEnvironment::saveStocks(const std::optional<std::string>& dir) {
    if (!m_stocksEnabled || !m_stocksManager) return;
    const auto path = stocksDataSourcePathInDir(dir);
    if (canSave(path, "Stocks.plist"))
        m_stocksManager->saveToPath(*path, *m_persistanceInfoDictionary);
}

void NKEnvironment::saveVariables(const std::optional<std::string>& dir) {
    if (!m_variablesEnabled || !m_variablesManager) return;
    const auto path = variablesDataSourcePathInDir(dir);
    if (canSave(path, "Variables.plist"))
        m_variablesManager->saveToPath(*path, *m_persistanceInfoDictionary);
}

void NKEnvironment::saveToDirectory(const std::string& directory) {
    saveCurrencies(directory);
    saveStocks(directory);
    saveVariables(directory);
}

std::vector<std::string> NKEnvironment::partlyReadDataFiles() const {
    std::vector<std::string> files;
    const auto add = [&](const std::optional<std::string>& partly,
                         const std::optional<std::string>& stored) {
        if (partly && stored && *partly == *stored) files.push_back(*partly);
    };
    if (m_variablesManager) add(m_variablesManager->partlyReadFile(), variablesDataSourcePath());
    if (m_currenciesManager) add(m_currenciesManager->partlyReadFile(), currenciesDataSourcePath());
    if (m_stocksManager) add(m_stocksManager->partlyReadFile(), stocksDataSourcePath());
    return files;
}
