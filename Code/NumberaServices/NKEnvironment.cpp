#include "NKEnvironment.h"

#include <cstdlib>
#include <filesystem>

#include "NBFErrorLog.h"
#include "NCBuiltins.h"
#include "NCEnvironment.h"
#include "NCEvaluator.h"
#include "NCSettings.h"
#include "NKCurrenciesManager.h"
#include "NKLocalization.h"
#include "NKNotifications.h"
#include "NKStocksManager.h"
#include "NKTextHelpers.h"
#include "NKUserLocale.h"

namespace {

std::mutex s_sharedMutex;
std::shared_ptr<NKEnvironment> s_sharedEnvironment;
NKEnvironmentModuleFactory s_defaultFactory;

bool fileExists(const std::optional<std::string>& path) {
    std::error_code error;
    return path && std::filesystem::exists(*path, error);
}

}  // namespace

NKEnvironment::NKEnvironment(std::optional<std::string> dataSourceDirectoryPath,
                             std::optional<NKVersionInfo> persistanceInfoDictionary)
    : m_dataSourceDirectoryPath(std::move(dataSourceDirectoryPath)),
      m_persistanceInfoDictionary(std::move(persistanceInfoDictionary)),
      m_mainQueue(MainQueue::shared()) {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    m_moduleFactory = s_defaultFactory;
}

NKEnvironment::~NKEnvironment() {
    for (const auto& token : m_notificationCenterObservers)
        NotificationCenter::defaultCenter().removeObserver(token);
    if (m_delayedSaver) m_delayedSaver->cancelAllActions();
    if (m_currenciesManager) m_currenciesManager->stopUpdating();
    if (m_stocksManager) m_stocksManager->stopUpdating();
}

std::shared_ptr<NKEnvironment> NKEnvironment::create(
    std::optional<std::string> dataSourceDirectoryPath,
    std::optional<NKVersionInfo> persistanceInfoDictionary) {
    auto environment = std::make_shared<NKEnvironment>(std::move(dataSourceDirectoryPath),
                                                       std::move(persistanceInfoDictionary));
    environment->m_delayedSaver = std::make_unique<NKDelayedPerformer>(
        std::weak_ptr<NKActionTarget>(environment), environment->m_mainQueue);
    return environment;
}

std::shared_ptr<NKEnvironment> NKEnvironment::sharedEnvironment() {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    return s_sharedEnvironment;
}

void NKEnvironment::set() {
    auto self = shared_from_this();
    NKConversionWordSource::setShared(self);
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    s_sharedEnvironment = std::move(self);
}

void NKEnvironment::setDefaultModuleFactory(NKEnvironmentModuleFactory factory) {
    std::lock_guard<std::mutex> lock(s_sharedMutex);
    s_defaultFactory = std::move(factory);
}

std::shared_ptr<NYDispatchFuture> NKEnvironment::loadingFuture() const {
    std::lock_guard<std::mutex> lock(m_futureMutex);
    return m_loadingFuture;
}

void NKEnvironment::setLoadingFuture(std::shared_ptr<NYDispatchFuture> future) {
    std::lock_guard<std::mutex> lock(m_futureMutex);
    m_loadingFuture = std::move(future);
}

// Managers are made on first use; the load's work is their first user.
std::shared_ptr<NKUnitsManager> NKEnvironment::unitsManager() {
    if (!m_unitsManager) m_unitsManager = std::make_shared<NKUnitsManager>();
    return m_unitsManager;
}

std::shared_ptr<NKCurrenciesManaging> NKEnvironment::currenciesManager() {
    if (!m_currenciesManager && m_moduleFactory.makeCurrenciesManager)
        m_currenciesManager = m_moduleFactory.makeCurrenciesManager(unitsManager());
    return m_currenciesManager;
}

std::shared_ptr<NKVariablesManager> NKEnvironment::variablesManager() {
    if (!m_variablesManager)
        m_variablesManager = std::make_shared<NKVariablesManager>(NCBuiltins::variables(),
                                                                  unitsManager()->ncUnitManager());
    return m_variablesManager;
}

std::shared_ptr<NKStocksManaging> NKEnvironment::stocksManager() {
    if (!m_stocksManager && m_moduleFactory.makeStocksManager)
        m_stocksManager = m_moduleFactory.makeStocksManager(unitsManager(), variablesManager());
    return m_stocksManager;
}

std::shared_ptr<NKCurrenciesManager> NKEnvironment::fullCurrenciesManager() {
    return std::dynamic_pointer_cast<NKCurrenciesManager>(currenciesManager());
}

std::shared_ptr<NKStocksManager> NKEnvironment::fullStocksManager() {
    return std::dynamic_pointer_cast<NKStocksManager>(stocksManager());
}

std::shared_ptr<NKLocalizationManager> NKEnvironment::localizationManager() {
    if (!m_localizationManager)
        m_localizationManager =
            std::make_shared<NKLocalizationManager>(unitsManager(), NCBuiltins::wordOperators());
    return m_localizationManager;
}

std::u16string NKEnvironment::localizedConversionOperatorString() {
    return localizationManager()->localizedConversionOperatorString();
}

void NKEnvironment::completeLoading() {
    if (auto future = loadingFuture()) future->get();
}

void NKEnvironment::reset() {
    for (const auto& token : m_notificationCenterObservers)
        NotificationCenter::defaultCenter().removeObserver(token);
    m_notificationCenterObservers.clear();
    m_delayedSaver->cancelAllActions();
    // The old managers must not go on updating from the web into units nobody uses.
    if (m_currenciesManager) m_currenciesManager->stopUpdating();
    if (m_stocksManager) m_stocksManager->stopUpdating();
    m_unitsManager.reset();
    m_currenciesManager.reset();
    m_variablesManager.reset();
    m_stocksManager.reset();
    m_localizationManager.reset();
    m_language.reset();
    setLoadingFuture(nullptr);
    m_bundleLoaded = false;
    m_bundlePath.reset();
    m_bundle.reset();
}

void NKEnvironment::loadFromBundleAtPath(const std::string& path,
                                         const std::optional<std::string>& localization) {
    if (!NCSettings::isSet()) {
        OX_logErr(true, "VerifyTrue", "[NCSettings isSet]", __func__, __FILE__, __LINE__,
                  "NCSettings not set. These must be set before loading an environment.");
        std::abort();
    }
    // An earlier load may still be filling the managers that a reset would drop.
    completeLoading();
    if (m_bundleLoaded || loadingFuture()) reset();
    m_language = localization;
    m_bundlePath = path;
    m_bundle = std::make_shared<ResourceBundle>(path);

    // The work holds the environment only while it runs: a pool thread must never keep it
    // (and end it) after the load has been announced as complete.
    std::weak_ptr<NKEnvironment> weakSelf = weak_from_this();
    auto bundle = m_bundle;
    const uint64_t generation = ++m_loadGeneration;
    setLoadingFuture(NYDispatchFuture::futureOnQueue(
        ThreadPool::global(), [weakSelf, bundle, localization, generation]() -> std::any {
            auto self = weakSelf.lock();
            if (!self) return {};
            self->loadAllFromBundle(*bundle, localization);
            self->setUpSharedInstances();
            self->m_bundleLoaded = true;
            self->registerObservers();
            if (self->m_currenciesEnabled) {
                if (auto currencies = self->currenciesManager())
                    currencies->updateUnitRatesFromAllCurrencies();
                self->refreshCurrencyLocale();
            }
            std::weak_ptr<NKEnvironment> weak = self;
            self->m_mainQueue->post([weak, bundle, generation] {
                auto environment = weak.lock();
                if (!environment || environment->m_loadGeneration != generation) return;
                NotificationCenter::defaultCenter().post(NKEnvironmentDidLoadBundle,
                                                         environment.get(), bundle);
                if (environment->m_delegate)
                    environment->m_delegate->environmentDidLoadBundle(*bundle);
            });
            return {};
        }));
}

void NKEnvironment::loadAllFromBundle(const ResourceBundle& bundle,
                                      const std::optional<std::string>& language) {
    if (m_unitsEnabled) loadUnits(bundle, language);
    if (m_currenciesEnabled) loadCurrencies(bundle, language);
    if (m_variablesEnabled) loadVariables();
    if (m_stocksEnabled) loadStocks(bundle, language);
    loadLocalizedData(bundle, language);
}

void NKEnvironment::loadUnits(const ResourceBundle& bundle,
                              const std::optional<std::string>& language) {
    const auto units = pathForResource("Units", "plist", language, bundle);
    if (!units) {
        NKLogLine("Warning: No units file found in " + bundle.bundlePath());
        return;
    }
    const auto localization = pathForResource("UnitLocalization", "plist", language, bundle);
    std::optional<std::string> fallback;
    if (!NKLocalizationIsEnglish(NKUTF16(language)))
        fallback = pathForResource("UnitLocalization", "plist", std::string("en"), bundle);
    unitsManager()->loadUnitsFromFile(*units, localization, fallback);
}

void NKEnvironment::loadCurrencies(const ResourceBundle& bundle,
                                   const std::optional<std::string>& language) {
    const auto defaults = pathForResource("Currencies", "plist", language, bundle);
    const auto localization = pathForResource("CurrencyLocalization", "plist", language, bundle);
    if (!localization)
        NKLogLine("WARNING: No currencies localization file found for " +
                  language.value_or("(default)"));
    auto currencies = currenciesManager();
    if (currencies && defaults) {
        std::string reason;
        auto file = NCPropertyListValue::readFromFile(*defaults, &reason);
        auto list = file && file->isDictionary() ? file->valueForKey(u"NKCurrencies") : nullptr;
        if (list)
            currencies->registerDefaultCurrencies(*list);
        else
            NKLogLine("Warning: No default currencies in " + *defaults);
    }
    if (localization) unitsManager()->loadCurrenciesFromLocalizationFile(*localization);
    if (!currencies) return;
    const auto stored = currenciesDataSourcePath();
    if (fileExists(stored)) currencies->loadCurrenciesFromPath(*stored);
    currencies->completeLoading();
    if (m_updatesValuesFromWeb) currencies->setAutomaticallyUpdatesValuesFromWeb(true);
}

void NKEnvironment::loadVariables() {
    const auto stored = variablesDataSourcePath();
    if (!stored) NKLogLine("Warning: Nil directory path for Variables.plist");
    // A file that exists but cannot be read leaves the list empty rather than replacing the
    // user's variables with the defaults; it is moved aside before it is ever written over.
    if (fileExists(stored))
        variablesManager()->loadFromPath(*stored);
    else
        variablesManager()->loadDefaults();
}

void NKEnvironment::loadStocks(const ResourceBundle& bundle,
                               const std::optional<std::string>& language) {
    auto stocks = stocksManager();
    if (!stocks) return;
    const auto stored = stocksDataSourcePath();
    if (fileExists(stored)) {
        stocks->loadFromPath(*stored);
    } else if (auto bundled = pathForResource("Stocks", "plist", language, bundle)) {
        stocks->loadFromPath(*bundled);
    }
    if (m_updatesValuesFromWeb) stocks->setAutomaticallyDownloadsStockPrices(true);
}

void NKEnvironment::loadLocalizedData(const ResourceBundle& bundle,
                                      const std::optional<std::string>& language) {
    auto localization = localizationManager();
    localization->setPercentageOperatorsPlistFileName(
        "PercentageOperators", std::make_shared<ResourceBundle>(bundle.bundlePath()), language);
    localization->setWordOperatorsPlistFile(
        pathForResource("WordOperators", "plist", language, bundle));
    if (m_unitsEnabled)
        localization->setUnitLocalizationPlistFile(
            pathForResource("UnitLocalization", "plist", language, bundle));
    if (m_currenciesEnabled)
        localization->refreshCurrencyLocaleForCode(
            localization->bestCurrencyCodeForCurrentLocale());
}

void NKEnvironment::refreshCurrencyLocale() {
    auto localization = localizationManager();
    localization->refreshCurrencyLocaleForCode(localization->bestCurrencyCodeForCurrentLocale());
}

void NKEnvironment::setUpSharedInstances() {
    auto core = std::make_shared<NCEnvironment>();
    auto units = unitsManager()->ncUnitManager();
    auto variables = variablesManager()->variableList();
    auto wordOperators = localizationManager()->wordOperatorList();
    core->setUnitManager(units);
    core->setVariables(variables);
    core->setWordOperators(wordOperators);
    core->setFunctions(NCBuiltins::functions());
    core->setSharedEvaluator(std::make_shared<NCEvaluator>(units, variables, wordOperators));
    core->set();
}

std::optional<std::string> NKEnvironment::pathForResource(
    const std::string& name, const std::string& type,
    const std::optional<std::string>& localization, const ResourceBundle& bundle) {
    if (auto path = bundle.pathForResource(name, type, localization)) return path;
    for (const auto& language : ResourceBundle::preferredLanguages())
        if (auto path = bundle.pathForResource(name, type, language)) return path;
    return bundle.pathForResource(name, type, std::string("en"));
}

std::optional<std::string> NKEnvironment::dataSourcePathForModulePlist(
    const std::string& fileName, const std::optional<std::string>& dir) const {
    if (!dir || dir->empty()) return std::nullopt;
    return (std::filesystem::path(*dir) / fileName).string();
}

std::optional<std::string> NKEnvironment::variablesDataSourcePathInDir(
    const std::optional<std::string>& dir) const {
    return dataSourcePathForModulePlist("Variables.plist", dir);
}
std::optional<std::string> NKEnvironment::stocksDataSourcePathInDir(
    const std::optional<std::string>& dir) const {
    return dataSourcePathForModulePlist("Stocks.plist", dir);
}
std::optional<std::string> NKEnvironment::currenciesDataSourcePathInDir(
    const std::optional<std::string>& dir) const {
    return dataSourcePathForModulePlist("Currencies.plist", dir);
}
std::optional<std::string> NKEnvironment::variablesDataSourcePath() const {
    return variablesDataSourcePathInDir(m_dataSourceDirectoryPath);
}
std::optional<std::string> NKEnvironment::stocksDataSourcePath() const {
    return stocksDataSourcePathInDir(m_dataSourceDirectoryPath);
}
std::optional<std::string> NKEnvironment::currenciesDataSourcePath() const {
    return currenciesDataSourcePathInDir(m_dataSourceDirectoryPath);
}

void NKEnvironment::setLocale(NCSimpleLocale locale) {
    if (locale == m_locale) return;
    m_locale = locale;
    if (m_variablesEnabled) variablesManager()->setLocale(locale);
    if (m_stocksEnabled)
        if (auto stocks = stocksManager()) stocks->setLocale(locale);
    if (m_currenciesEnabled)
        if (auto currencies = currenciesManager()) currencies->setLocale(locale);
}

void NKEnvironment::setUpdatesValuesFromWeb(bool updates) {
    if (updates == m_updatesValuesFromWeb) return;
    m_updatesValuesFromWeb = updates;
    if (m_stocksEnabled)
        if (auto stocks = stocksManager()) stocks->setAutomaticallyDownloadsStockPrices(updates);
    if (m_currenciesEnabled)
        if (auto currencies = currenciesManager())
            currencies->setAutomaticallyUpdatesValuesFromWeb(updates);
}

void NKEnvironment::setUnitsEnabled(bool enabled) {
    if (enabled == m_unitsEnabled) return;
    m_unitsEnabled = enabled;
    if (!m_bundleLoaded) return;
    if (!enabled) {
        unitsManager()->setUnitsEnabled(false);
    } else if (m_bundle) {
        // Again in the language of the load, not the default one.
        loadUnits(*m_bundle, m_language);
    }
}
