// The named colours of the process: defaults from the application's colour file, the user's
// colours laid over them, saved back to the user's file. Identifiers need not be unique;
// lookups take the first match. Used from the main thread only.
#ifndef NUMBERA_KIT_NB_COLOR_MANAGER_H
#define NUMBERA_KIT_NB_COLOR_MANAGER_H

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NBColor.h"

// Posted on the default centre with the changed NBColor (a shared pointer) as object.
inline constexpr const char* NBColorDidChange = "NBColorDidChange";

class NBColorManager {
  public:
    NBColorManager() = default;
    NBColorManager(const NBColorManager&) = delete;
    NBColorManager& operator=(const NBColorManager&) = delete;

    static NBColorManager& sharedInstance();

    std::vector<std::shared_ptr<NBColor>>& dataSource() { return m_dataSource; }

    std::optional<NSColor> colorForIdentifier(const std::u16string& identifier) const;
    // The first entry of the identifier takes the colour and flag (and the change is posted);
    // without one a new entry is appended silently.
    void setColor(const NSColor& color, const std::u16string& identifier, bool persistant);

    // Appends every entry of the file; a file without "NBColors" changes nothing.
    void loadDefaultsFromPath(const std::string& path);
    // Lays every entry of the file over the held colours; false (logged) for a file without
    // "NBColors". Held colours stay whatever the file holds.
    bool loadColorsFromPath(const std::string& path);
    // The persistent colours in order, and the info under "NBVersionInfo", written atomically.
    bool saveColorsToPath(const std::string& path,
                          const std::map<std::u16string, std::u16string>& info) const;

    // The colour of the first entry with exactly these components; otherwise a new colour kept
    // (not persistent) under "Undefined".
    static NSColor colorWithRed(double red, double green, double blue, double alpha);
    NSColor colorWithRedGreenBlueAlpha(double red, double green, double blue, double alpha);

  private:
    std::vector<std::shared_ptr<NBColor>> m_dataSource;
};

#endif
