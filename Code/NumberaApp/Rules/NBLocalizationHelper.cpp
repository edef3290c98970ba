#include "NBLocalizationHelper.h"

#include "ResourceBundle.h"

// Unfinished: answers placeholders until the tables are in.
std::optional<std::string> NBLocalizationHelper::languageCodeForContentLanguage(int64_t) {
    return std::nullopt;
}
int64_t NBLocalizationHelper::contentLanguageForLanguageCode(const std::string&) {
    return kUnknownContentLanguage;
}
std::u16string NBLocalizationHelper::nativeLocalizationNameForLanguage(const std::string&) {
    return {};
}
int NBLocalizationHelper::compareByLanguageCode(const std::string&, const std::string&) {
    return 0;
}
std::vector<ContentLanguageMenuItem> NBLocalizationHelper::menuOfAvailableContentLanguages(
    const std::vector<std::string>&) {
    return {};
}
std::vector<ContentLanguageMenuItem> NBLocalizationHelper::menuOfAvailableContentLanguages() {
    return {};
}
std::optional<std::u16string> NBLocalizationHelper::localizedInterfaceString(
    const std::u16string& text) {
    if (text.empty()) return std::nullopt;
    return text;
}
std::optional<std::u16string> NBLocalizationHelper::localizedStringForString(
    const std::u16string& text, const ResourceBundle&, const std::string&) {
    if (text.empty()) return std::nullopt;
    return text;
}
void NBLocalizationHelper::installLocalizedStringHook() {}
std::shared_ptr<ResourceBundle> NBLocalizationHelper::contentBundle() {
    return ResourceBundle::main();
}
void NBLocalizationHelper::setContentBundle(std::shared_ptr<ResourceBundle>) {}
