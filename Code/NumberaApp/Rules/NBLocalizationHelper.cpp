#include "NBLocalizationHelper.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <array>
#include <mutex>

#include "NBStringsTable.h"
#include "NSLocalizedString.h"
#include "ResourceBundle.h"

namespace {

// Index = content-language number; 0 (automatic) has no fixed code.
constexpr std::array<const char*, 14> kContentLanguageCodes = {
    nullptr, "en", "nl", "de", "da", "no", "se", "fr", "it", "es", "pt", "ru", "zh-Hans", "ja"};

constexpr std::array<const char*, 12> kMenuOrder = {"en", "nl", "de", "se",      "no", "fr",
                                                    "it", "es", "pt", "zh-Hans", "ja", "ru"};

std::mutex s_contentBundleMutex;
std::shared_ptr<ResourceBundle> s_contentBundle;

size_t menuPosition(const std::string& code) {
    for (size_t i = 0; i < kMenuOrder.size(); ++i)
        if (code == kMenuOrder[i]) return i;
    return 0;
}

// Our codes for Swedish and Norwegian are not the standard ones ("se" is Northern Sami).
std::string localeCodeForLanguage(const std::string& code) {
    if (code == "se") return "sv";
    if (code == "no") return "nb";
    return code;
}

std::u16string replacePlaceholder(std::u16string format, const std::u16string& value) {
    const size_t at = format.find(u"%@");
    if (at != std::u16string::npos) format.replace(at, 2, value);
    return format;
}

}  // namespace

std::optional<std::string> NBLocalizationHelper::languageCodeForContentLanguage(int64_t language) {
    if (language == 0) {
        const auto bundle = contentBundle();
        if (!bundle) return std::nullopt;
        const auto preferred = bundle->preferredLocalizations();
        if (preferred.empty()) return std::nullopt;
        return preferred.front();
    }
    if (language < 1 || language >= static_cast<int64_t>(kContentLanguageCodes.size()))
        return std::nullopt;
    return std::string(kContentLanguageCodes[static_cast<size_t>(language)]);
}

int64_t NBLocalizationHelper::contentLanguageForLanguageCode(const std::string& code) {
    for (size_t number = 1; number < kContentLanguageCodes.size(); ++number)
        if (code == kContentLanguageCodes[number]) return static_cast<int64_t>(number);
    return kUnknownContentLanguage;
}

std::u16string NBLocalizationHelper::nativeLocalizationNameForLanguage(const std::string& code) {
    if (code.empty()) return {};
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale = icu::Locale::forLanguageTag(localeCodeForLanguage(code), status);
    if (U_FAILURE(status) || locale.isBogus()) return {};
    icu::UnicodeString name;
    locale.getDisplayName(locale, name);
    if (name.isEmpty()) return {};
    // Capitalise the first letter only: "norsk bokmål" becomes "Norsk bokmål".
    const UChar32 first = name.char32At(0);
    icu::UnicodeString capital(u_totitle(first));
    name.replace(0, U16_LENGTH(first), capital);
    return std::u16string(reinterpret_cast<const char16_t*>(name.getBuffer()),
                          static_cast<size_t>(name.length()));
}

int NBLocalizationHelper::compareByLanguageCode(const std::string& a, const std::string& b) {
    const size_t positionA = menuPosition(a);
    const size_t positionB = menuPosition(b);
    if (positionA < positionB) return -1;
    if (positionA > positionB) return 1;
    return 0;
}

std::vector<ContentLanguageMenuItem> NBLocalizationHelper::menuOfAvailableContentLanguages(
    const std::vector<std::string>& contentLocalizations) {
    std::vector<ContentLanguageMenuItem> items;
    const auto automaticCode = languageCodeForContentLanguage(0);
    const std::u16string automaticName =
        automaticCode ? nativeLocalizationNameForLanguage(*automaticCode) : std::u16string();
    items.push_back(
        {replacePlaceholder(NSLocalizedString(u"Automatic (%@)"), automaticName), 0, "", false});
    items.push_back({u"", 0, "", true});

    std::vector<std::string> codes = contentLocalizations;
    // Codes outside the menu order share English's position; English still leads them, and
    // the others keep the bundle's order.
    std::stable_sort(codes.begin(), codes.end(), [](const std::string& a, const std::string& b) {
        const int order = compareByLanguageCode(a, b);
        return order != 0 ? order < 0 : (a == "en" && b != "en");
    });
    for (const std::string& code : codes) {
        const std::u16string title =
            code == "pt" ? u"Portugu\u00EAs (Brazil)" : nativeLocalizationNameForLanguage(code);
        items.push_back({title, contentLanguageForLanguageCode(code), code, false});
    }
    return items;
}

std::vector<ContentLanguageMenuItem> NBLocalizationHelper::menuOfAvailableContentLanguages() {
    const auto bundle = contentBundle();
    return menuOfAvailableContentLanguages(bundle ? bundle->localizations()
                                                  : std::vector<std::string>());
}

std::optional<std::u16string> NBLocalizationHelper::localizedStringForString(
    const std::u16string& text, const ResourceBundle& bundle, const std::string& table) {
    if (text.empty()) return std::nullopt;
    const std::u16string translation =
        NBStringsTable::localizedStringForKey(bundle, text, kLocalizationSentinel, table);
    return translation == kLocalizationSentinel ? text : translation;
}

std::optional<std::u16string> NBLocalizationHelper::localizedInterfaceString(
    const std::u16string& text) {
    if (text.empty()) return std::nullopt;
    const auto bundle = ResourceBundle::main();
    if (!bundle) return text;
    return localizedStringForString(text, *bundle, "Localizable");
}

void NBLocalizationHelper::installLocalizedStringHook() {
    NSSetLocalizedStringHook(
        [](const std::u16string& key) { return localizedInterfaceString(key).value_or(key); });
}

std::shared_ptr<ResourceBundle> NBLocalizationHelper::contentBundle() {
    {
        std::lock_guard<std::mutex> lock(s_contentBundleMutex);
        if (s_contentBundle) return s_contentBundle;
    }
    return ResourceBundle::main();
}

void NBLocalizationHelper::setContentBundle(std::shared_ptr<ResourceBundle> bundle) {
    std::lock_guard<std::mutex> lock(s_contentBundleMutex);
    s_contentBundle = std::move(bundle);
}
