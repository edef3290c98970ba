#include "NBEnvironmentController.h"

#include "NBLocalizationHelper.h"
#include "NBPaths.h"
#include "NBUserDefaultsController.h"
#include "NCSettings.h"
#include "NKCurrenciesManager.h"
#include "NKDataManagers.h"
#include "NKFunctions.h"
#include "NKStock.h"
#include "NKStocksManager.h"
#include "NSUserDefaults+SimpleLocale.h"
#include "Settings.h"

NBEnvironmentController::NBEnvironmentController(std::string resourcesFolder,
                                                 std::optional<std::string> dataFolder)
    : m_resourcesFolder(std::move(resourcesFolder)), m_dataFolder(std::move(dataFolder)) {
    m_notificationCenterObservers.push_back(NotificationCenter::defaultCenter().addObserver(
        NBSimpleLocaleChanged, nullptr, MainQueue::shared(),
        [this](const NSNotification&) { simpleLocaleChanged(); }));
}

NBEnvironmentController::~NBEnvironmentController() {
    for (const auto& token : m_notificationCenterObservers)
        NotificationCenter::defaultCenter().removeObserver(token);
    if (auto environment = this->environment()) {
        environment->setDelegate(nullptr);
        // A load still running must not call back into a controller that is gone.
        environment->completeLoading();
        if (auto currencies = environment->currenciesManager()) currencies->stopUpdating();
        if (auto stocks = environment->stocksManager()) stocks->stopUpdating();
    }
}

std::shared_ptr<NCSettings> NBEnvironmentController::loadSettings() {
    if (NCSettings::isSet()) return NCSettings::current();
    auto settings = std::make_shared<NCSettings>();
    const auto standard = Settings::standard();
    if (standard->objectForKey("NBSettingEnableExperimentalUnits"))
        settings->setEnableExperimentalUnitsMode(
            standard->boolForKey("NBSettingEnableExperimentalUnits"));
    settings->set();
    return settings;
}

void NBEnvironmentController::loadEnvironment() {
    loadSettings();
    // Without the real managers there are no currencies or stocks to load, save or update.
    NKEnvironment::setDefaultModuleFactory(NKDataManagersFactory());
    auto builder = NKEnvironmentBuilder::builder();
    builder.setDataSourceDirectoryPath(m_dataFolder);
    builder.setPersistanceInfoDictionary(NKApplicationInfoDictionary());
    auto environment = builder.build();
    setEnvironment(environment);
    environment->setLocale(simpleLocale());
    environment->setDelegate(this);
    if (m_delegate) m_delegate->environmentControllerWillLoadEnvironment(*this, *environment);
    environment->loadFromBundleAtPath(m_resourcesFolder,
                                      NBLocalizationHelper::languageCodeForContentLanguage(
                                          NBUserDefaultsController::contentLanguage()));
    environment->set();
}

void NBEnvironmentController::completeLoading() {
    if (m_isLoaded) return;
    auto environment = this->environment();
    if (!environment) return;
    // Set first: the delegate's work may reach this again through the load callback.
    m_isLoaded = true;
    environment->completeLoading();
    if (m_delegate) m_delegate->environmentControllerDidLoadEnvironment(*this, *environment);
    if (NBUserDefaultsController::isFirstLaunch()) {
        if (auto currencies = environment->currenciesManager()) currencies->updateRatesFromWeb();
        if (auto stocks = environment->fullStocksManager()) stocks->downloadLatestStockPrices();
    }
}

void NBEnvironmentController::saveEnvironment() {
    auto environment = this->environment();
    if (!environment) return;
    environment->completeLoading();
    if (const auto& folder = environment->dataSourceDirectoryPath()) {
        environment->saveToDirectory(*folder);
        environment->saveToDirectory(NBPaths::quicklookDataFolderInFolder(*folder));
    }
}

std::shared_ptr<NKEnvironment> NBEnvironmentController::environment() const {
    std::lock_guard lock(m_environmentMutex);
    return m_environment;
}

void NBEnvironmentController::setEnvironment(std::shared_ptr<NKEnvironment> environment) {
    std::lock_guard lock(m_environmentMutex);
    m_environment = std::move(environment);
}

void NBEnvironmentController::refreshApp() {
    if (m_refreshHandler) m_refreshHandler();
}

void NBEnvironmentController::simpleLocaleChanged() {
    const NCSimpleLocale locale = simpleLocale();
    if (auto environment = this->environment()) environment->setLocale(locale);
    refreshApp();
}

void NBEnvironmentController::environmentDidLoadBundle(const ResourceBundle&) {
    if (!m_isLoaded) completeLoading();
    if (m_toldOfPartlyReadFiles || !m_partlyReadFilesHandler) return;
    const auto environment = this->environment();
    const std::vector<std::string> files =
        environment ? environment->partlyReadDataFiles() : std::vector<std::string>();
    if (files.empty()) return;
    m_toldOfPartlyReadFiles = true;
    m_partlyReadFilesHandler(files);
}

void NBEnvironmentController::environmentVariablesWereModified(
    const std::vector<std::shared_ptr<NCVariable>>& variables) {
    if (m_variablesHandler) m_variablesHandler(variables);
}

void NBEnvironmentController::environmentStocksWereModified(const std::any& object) {
    std::vector<std::shared_ptr<NCVariable>> variables;
    if (const auto* stocks = std::any_cast<std::vector<std::shared_ptr<NKStock>>>(&object)) {
        for (const auto& stock : *stocks)
            if (stock && stock->ncVariable()) variables.push_back(stock->ncVariable());
    }
    if (m_variablesHandler) m_variablesHandler(variables);
}

void NBEnvironmentController::environmentDidUpdateStockValues() { refreshApp(); }

void NBEnvironmentController::environmentDidUpdateCurrencyValues() { refreshApp(); }

void NBEnvironmentController::environmentCurrenciesWereModified(const std::any&) { refreshApp(); }
