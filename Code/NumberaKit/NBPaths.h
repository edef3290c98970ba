// Folders the application shares with the previewer.
#ifndef NUMBERA_KIT_NB_PATHS_H
#define NUMBERA_KIT_NB_PATHS_H

#include <optional>
#include <string>

class NBPaths {
  public:
    // "quicklook-data" in the application's data folder, created when missing (a failure is
    // logged and the path still answered). There are no application-group containers here, so
    // no team identifier is needed. None, with the reason, when no data folder can be found.
    static std::optional<std::string> quicklookDataFolder(std::string* errorMessage = nullptr);
    // The same inside a given data folder.
    static std::string quicklookDataFolderInFolder(const std::string& dataFolder);
};

#endif
