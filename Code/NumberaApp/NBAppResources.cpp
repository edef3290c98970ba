#include "NBAppResources.h"

#include <filesystem>
#include <vector>

#include "ResourceBundle.h"

#ifndef NUMBERA_SOURCE_RESOURCES
#define NUMBERA_SOURCE_RESOURCES ""
#endif
#ifndef NUMBERA_SOURCE_DATA
#define NUMBERA_SOURCE_DATA ""
#endif

namespace fs = std::filesystem;

namespace NBAppResources {

std::optional<std::string> shippedResourcesFolder() {
    return ResourceBundle::shippedFolder(NUMBERA_SOURCE_RESOURCES);
}

std::optional<QString> pathForResource(const std::string& name, const std::string& type,
                                       const std::optional<std::string>& localization,
                                       const std::string& folder) {
    const auto bundle = ResourceBundle::main();
    if (!bundle) return std::nullopt;
    const auto safe = [](const std::string& component) {
        return !component.empty() && component != "." && component != ".." &&
               component.find('/') == std::string::npos;
    };
    if (!safe(name) || !safe(type) || (!folder.empty() && !safe(folder)) ||
        (localization && !safe(*localization)))
        return std::nullopt;
    const fs::path base(bundle->bundlePath());
    const std::string fileName = name + "." + type;
    std::vector<fs::path> candidates;
    if (localization) {
        const std::string lproj = *localization + ".lproj";
        if (!folder.empty()) candidates.push_back(base / folder / lproj / fileName);
        candidates.push_back(base / lproj / folder / fileName);
    }
    candidates.push_back(base / folder / fileName);
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error))
            return QString::fromStdString(candidate.string());
    }
    return std::nullopt;
}

QIcon applicationIcon() {
    std::vector<fs::path> candidates;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        candidates.push_back(program.parent_path().parent_path() /
                             "share/icons/hicolor/scalable/apps/numbera.svg");
    candidates.push_back(fs::path(NUMBERA_SOURCE_DATA) / "numbera.svg");
    QIcon fallback;
    for (const fs::path& candidate : candidates) {
        if (fs::is_regular_file(candidate, error)) {
            fallback = QIcon(QString::fromStdString(candidate.string()));
            break;
        }
    }
    return QIcon::fromTheme(QStringLiteral("numbera"), fallback);
}

QString toQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string toU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

}  // namespace NBAppResources
