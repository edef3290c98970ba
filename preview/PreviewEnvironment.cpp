#include "PreviewEnvironment.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

#include "Diagnostics.h"
#include "MainQueue.h"
#include "NBColorManager.h"
#include "NCSettings.h"
#include "NKDataManagers.h"
#include "NKEnvironment.h"
#include "ResourceBundle.h"

#ifndef NUMBERA_SOURCE_RESOURCES
#define NUMBERA_SOURCE_RESOURCES ""
#endif

namespace fs = std::filesystem;

namespace NumberaPreview {

namespace {

bool isFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

struct Loaded {
    std::shared_ptr<NKEnvironment> environment;
    NBColorManager colors;
    std::string failure;  // empty when loaded
};

Loaded* s_loaded = nullptr;
std::once_flag s_once;

void load(const std::optional<std::string>& requestedDataFolder) {
    // Lives as long as the process, like the environment it holds.
    s_loaded = new Loaded;
    const auto resources = shippedResourcesFolder();
    if (!resources) {
        s_loaded->failure = "cannot find the program's resources (share/numbera/Resources)";
        return;
    }
    const auto data = chooseDataFolder(requestedDataFolder, *resources, &s_loaded->failure);
    if (!data) return;

    if (!NCSettings::isSet()) std::make_shared<NCSettings>()->set();
    NKEnvironment::setDefaultModuleFactory(NKDataManagersFactory());
    // No persistence information: an environment without it never saves, so the data folder
    // is only ever read.
    auto builder = NKEnvironmentBuilder::builder();
    builder.setDataSourceDirectoryPath(*data);
    auto environment = builder.build();
    environment->setUpdatesValuesFromWeb(false);
    environment->loadFromBundleAtPath(*resources);
    s_loaded->colors.loadDefaultsFromPath((fs::path(*resources) / "Colors.plist").string());
    environment->completeLoading();
    environment->set();
    // What the load queued for the main thread (its announcement) runs here, once.
    if (auto queue = std::dynamic_pointer_cast<ManualMainQueue>(MainQueue::shared()))
        queue->runPending();
    s_loaded->environment = std::move(environment);
}

}  // namespace

std::optional<std::string> shippedResourcesFolder() {
    return ResourceBundle::shippedFolder(NUMBERA_SOURCE_RESOURCES);
}

std::optional<std::string> userPreviewDataFolder() {
    std::string base;
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && dataHome[0] == '/')
        base = dataHome;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        base = std::string(home) + "/.local/share";
    else
        return std::nullopt;
    return base + "/Numbera/quicklook-data";
}

std::optional<std::string> chooseDataFolder(const std::optional<std::string>& requested,
                                            const std::string& resourcesFolder,
                                            std::string* reason) {
    if (requested) {
        if (!isFolder(*requested)) {
            if (reason) *reason = "data folder " + *requested + ": no such folder";
            return std::nullopt;
        }
        if (::access(requested->c_str(), R_OK | X_OK) != 0) {
            if (reason) *reason = "data folder " + *requested + ": " + std::strerror(errno);
            return std::nullopt;
        }
        return requested;
    }
    if (auto user = userPreviewDataFolder();
        user && isFolder(*user) && ::access(user->c_str(), R_OK | X_OK) == 0)
        return user;
    // The shipped resources hold the same currency list as a data folder would.
    return resourcesFolder;
}

bool bootstrap(const std::optional<std::string>& requestedDataFolder, std::string* reason) {
    std::call_once(s_once, [&] { load(requestedDataFolder); });
    if (!s_loaded->failure.empty()) {
        if (reason) *reason = s_loaded->failure;
        return false;
    }
    return true;
}

void silenceDiagnostics() {
    Diagnostics::setSink([](Diagnostics::Stream, const std::string&) {});
}

const NBColorManager& previewColorManager() {
    static const NBColorManager empty;
    return s_loaded ? s_loaded->colors : empty;
}

}  // namespace NumberaPreview
