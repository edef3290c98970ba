#include "NBPaths.h"

#include <filesystem>

#include "NKFunctions.h"
#include "NKLog.h"

std::optional<std::string> NBPaths::quicklookDataFolder(std::string* errorMessage) {
    std::string reason;
    std::optional<std::string> base = NKApplicationSupportDirectory(&reason);
    if (!base) {
        NKLog("Unable to determine base directory for quicklook data: %s", reason.c_str());
        if (errorMessage) *errorMessage = reason;
        return std::nullopt;
    }
    return quicklookDataFolderInFolder(*base);
}

std::string NBPaths::quicklookDataFolderInFolder(const std::string& dataFolder) {
    const std::string path = dataFolder + "/quicklook-data";
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) NKLog("Error creating directory '%s': %s", path.c_str(), error.message().c_str());
    return path;
}
