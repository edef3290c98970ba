// Starts and ends the life of the colour scheme: defaults from the application's resources,
// the user's colours over them, every syntax colour guaranteed, the user's colours saved at
// the end. Turns the syntax colours into an export style for the previewer.
#ifndef NUMBERA_KIT_NB_COLOR_CONTROLLER_H
#define NUMBERA_KIT_NB_COLOR_CONTROLLER_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NBColorManager.h"
#include "NKLineCollectionExporterHTMLStyle.h"

class NBColorController {
  public:
    NBColorController() = default;
    explicit NBColorController(NBColorManager* manager) : m_manager(manager) {}

    const std::optional<std::string>& dataSourcePath() const { return m_dataSourcePath; }
    void setDataSourcePath(std::optional<std::string> path) { m_dataSourcePath = std::move(path); }

    // The resource "Colors.plist" of the main bundle, then "Colors.plist" in the application's
    // data folder.
    void beginLife();
    // The same with the two files given; either may be none.
    void beginLife(const std::optional<std::string>& defaultsPath,
                   const std::optional<std::string>& dataSourcePath);
    // Saves the user's colours with the application's identity.
    void endLife();

    static const std::vector<std::u16string>& syntaxColoringColorIdentifiers();
    static std::shared_ptr<NKLineCollectionExporterHTMLStyle> htmlStyle();
    static std::shared_ptr<NKLineCollectionExporterHTMLStyle> htmlStyleForColorManager(
        const NBColorManager& manager);

  private:
    NBColorManager& manager() const {
        return m_manager ? *m_manager : NBColorManager::sharedInstance();
    }

    NBColorManager* m_manager = nullptr;  // the shared manager when null
    std::optional<std::string> m_dataSourcePath;
};

#endif
