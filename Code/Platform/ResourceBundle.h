// A folder of resources: shared files at its top level and translated ones in
// "<language>.lproj" subfolders. A localised file is looked for in its language's folder
// before the top level.
#ifndef NUMBERA_PLATFORM_RESOURCEBUNDLE_H
#define NUMBERA_PLATFORM_RESOURCEBUNDLE_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ResourceBundle {
  public:
    explicit ResourceBundle(std::string path);

    const std::string& bundlePath() const { return m_path; }

    // "<localization>.lproj/<name>.<type>", then "<name>.<type>"; without a localisation each
    // of preferredLocalizations() in turn, then the top level. An empty type means the name
    // holds the whole file name. Names that leave the folder are refused.
    std::optional<std::string> pathForResource(
        const std::string& name, const std::string& type,
        const std::optional<std::string>& localization) const;
    std::optional<std::string> pathForResource(const std::string& name,
                                               const std::string& type) const {
        return pathForResource(name, type, std::nullopt);
    }

    // The languages of the "*.lproj" folders, sorted.
    std::vector<std::string> localizations() const;
    // The user's preferred languages that the bundle has, in the user's order; the development
    // language "en" when it has none of them.
    std::vector<std::string> preferredLocalizations() const;

    // The user's languages, most preferred first ("de", "fr"...). Read from LANGUAGE, LC_ALL,
    // LC_MESSAGES and LANG until set; never empty.
    static std::vector<std::string> preferredLanguages();
    // An empty list returns to the environment's.
    static void setPreferredLanguages(std::vector<std::string> languages);

    // The application's own resources; none until set.
    // The program's shipped resources: "share/numbera/Resources" beside the installed
    // program, else the given folder of the source tree. A folder counts only when it holds
    // the units catalogue, without which nothing evaluates.
    static std::optional<std::string> shippedFolder(const std::string& sourceFolder);

    static std::shared_ptr<ResourceBundle> main();
    static void setMain(std::shared_ptr<ResourceBundle> bundle);

  private:
    std::string m_path;
};

#endif
