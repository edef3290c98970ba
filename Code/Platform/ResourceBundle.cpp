#include "ResourceBundle.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::mutex s_mutex;
std::vector<std::string> s_preferredLanguages;
std::shared_ptr<ResourceBundle> s_main;

bool isSafeComponent(const std::string& text) {
    return !text.empty() && text != "." && text != ".." && text.find('/') == std::string::npos &&
           text.find('\0') == std::string::npos;
}

bool isRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// "de_DE.UTF-8" → "de";  folders are named by language alone.
std::string languageOfLocaleName(const std::string& name) {
    std::string language = name.substr(0, name.find_first_of("_.@"));
    if (language == "C" || language == "POSIX") return {};
    return language;
}

std::vector<std::string> languagesFromEnvironment() {
    std::vector<std::string> languages;
    auto add = [&languages](const std::string& language) {
        if (!language.empty() &&
            std::find(languages.begin(), languages.end(), language) == languages.end())
            languages.push_back(language);
    };
    if (const char* list = std::getenv("LANGUAGE")) {
        std::string text = list;
        size_t start = 0;
        while (start <= text.size()) {
            const size_t end = std::min(text.find(':', start), text.size());
            add(languageOfLocaleName(text.substr(start, end - start)));
            start = end + 1;
        }
    }
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(variable); value && *value) {
            add(languageOfLocaleName(value));
            break;
        }
    }
    if (languages.empty()) languages.push_back("en");
    return languages;
}

}  // namespace

ResourceBundle::ResourceBundle(std::string path) : m_path(std::move(path)) {}

std::optional<std::string> ResourceBundle::pathForResource(
    const std::string& name, const std::string& type,
    const std::optional<std::string>& localization) const {
    if (!isSafeComponent(name) || (!type.empty() && !isSafeComponent(type))) return std::nullopt;
    const std::string fileName = type.empty() ? name : name + "." + type;
    std::vector<std::string> languages;
    if (localization) {
        if (!isSafeComponent(*localization)) return std::nullopt;
        languages.push_back(*localization);
    } else {
        languages = preferredLocalizations();
    }
    const fs::path base(m_path);
    for (const auto& language : languages) {
        const fs::path candidate = base / (language + ".lproj") / fileName;
        if (isRegularFile(candidate)) return candidate.string();
    }
    const fs::path shared = base / fileName;
    if (isRegularFile(shared)) return shared.string();
    return std::nullopt;
}

std::vector<std::string> ResourceBundle::localizations() const {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(m_path, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() == ".lproj" && it->is_directory(error))
            found.push_back(path.stem().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<std::string> ResourceBundle::preferredLocalizations() const {
    const auto available = localizations();
    std::vector<std::string> preferred;
    for (const auto& language : preferredLanguages())
        if (std::find(available.begin(), available.end(), language) != available.end())
            preferred.push_back(language);
    if (preferred.empty()) preferred.push_back("en");
    return preferred;
}

std::vector<std::string> ResourceBundle::preferredLanguages() {
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!s_preferredLanguages.empty()) return s_preferredLanguages;
    }
    return languagesFromEnvironment();
}

void ResourceBundle::setPreferredLanguages(std::vector<std::string> languages) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_preferredLanguages = std::move(languages);
}

std::optional<std::string> ResourceBundle::shippedFolder(const std::string& sourceFolder) {
    namespace fs = std::filesystem;
    const auto isResourcesFolder = [](const fs::path& path) {
        std::error_code error;
        return !path.empty() && fs::is_regular_file(path / "Units.plist", error);
    };
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed =
            program.parent_path().parent_path() / "share" / "numbera" / "Resources";
        if (isResourcesFolder(installed)) return installed.string();
    }
    if (isResourcesFolder(sourceFolder)) return sourceFolder;
    return std::nullopt;
}

std::shared_ptr<ResourceBundle> ResourceBundle::main() {
    std::lock_guard<std::mutex> lock(s_mutex);
    return s_main;
}

void ResourceBundle::setMain(std::shared_ptr<ResourceBundle> bundle) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_main = std::move(bundle);
}
