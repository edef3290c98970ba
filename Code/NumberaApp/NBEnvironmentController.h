// The application's owner of the calculation environment: builds it over the data folder with
// the application's identity, loads it in the background from the resources, completes the
// load once (the first launch then fetches rates and prices), and saves its data files into
// the data folder and into the previewer's "quicklook-data" folder.
#ifndef NUMBERA_APP_NB_ENVIRONMENT_CONTROLLER_H
#define NUMBERA_APP_NB_ENVIRONMENT_CONTROLLER_H

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "NKEnvironment.h"
#include "NotificationCenter.h"

class NBEnvironmentController;
class NCSettings;

// Both messages are optional; sent on the main thread.
struct NBEnvironmentControllerDelegate {
    virtual ~NBEnvironmentControllerDelegate() = default;
    virtual void environmentControllerWillLoadEnvironment(NBEnvironmentController&,
                                                          NKEnvironment&) {}
    virtual void environmentControllerDidLoadEnvironment(NBEnvironmentController&, NKEnvironment&) {
    }
};

// Posted by the preferences when the number signs change; the environment and the documents
// take the new number locale.
inline constexpr const char* NBSimpleLocaleChanged = "NBSimpleLocaleChanged";

class NBEnvironmentController final : public NKEnvironmentDelegate {
  public:
    // The resources folder the environment loads from; the data folder its files live in.
    NBEnvironmentController(std::string resourcesFolder, std::optional<std::string> dataFolder);
    ~NBEnvironmentController() override;
    NBEnvironmentController(const NBEnvironmentController&) = delete;
    NBEnvironmentController& operator=(const NBEnvironmentController&) = delete;

    void loadEnvironment();
    // Blocks until the background load is done, the first time only.
    void completeLoading();
    void saveEnvironment();
    // The calculation settings from the user's settings; set as the current ones once per
    // process (the foundation takes them only once).
    static std::shared_ptr<NCSettings> loadSettings();

    std::shared_ptr<NKEnvironment> environment() const;
    void setEnvironment(std::shared_ptr<NKEnvironment> environment);
    // Not owned.
    NBEnvironmentControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(NBEnvironmentControllerDelegate* delegate) { m_delegate = delegate; }
    bool isLoaded() const { return m_isLoaded; }

    // What an environment change asks of the open documents: refresh all, or re-evaluate
    // those that use the variables. Set by whoever keeps the documents.
    void setRefreshHandler(std::function<void()> handler) { m_refreshHandler = std::move(handler); }
    void setVariablesHandler(
        std::function<void(const std::vector<std::shared_ptr<NCVariable>>&)> handler) {
        m_variablesHandler = std::move(handler);
    }

    // Told once, after the first load, of the data files that could not be read entirely
    // (each is kept aside before it is written over).
    void setPartlyReadFilesHandler(std::function<void(const std::vector<std::string>&)> handler) {
        m_partlyReadFilesHandler = std::move(handler);
    }

    // NKEnvironmentDelegate
    void environmentDidLoadBundle(const ResourceBundle& bundle) override;
    void environmentVariablesWereModified(
        const std::vector<std::shared_ptr<NCVariable>>& variables) override;
    void environmentStocksWereModified(const std::any& object) override;
    void environmentDidUpdateStockValues() override;
    void environmentDidUpdateCurrencyValues() override;
    void environmentCurrenciesWereModified(const std::any& object) override;

  private:
    void refreshApp();
    void simpleLocaleChanged();

    std::string m_resourcesFolder;
    std::optional<std::string> m_dataFolder;
    bool m_isLoaded = false;
    std::vector<NotificationObserver> m_notificationCenterObservers;
    mutable std::mutex m_environmentMutex;
    std::shared_ptr<NKEnvironment> m_environment;
    NBEnvironmentControllerDelegate* m_delegate = nullptr;
    std::function<void()> m_refreshHandler;
    std::function<void(const std::vector<std::shared_ptr<NCVariable>>&)> m_variablesHandler;
    std::function<void(const std::vector<std::string>&)> m_partlyReadFilesHandler;
    bool m_toldOfPartlyReadFiles = false;
};

#endif
