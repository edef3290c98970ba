// Languages of the application. The interface language picks the strings tables; the content
// language (the calculation vocabulary: word operators, unit names) is chosen on its own in the
// preferences and stored as a number (NBContentLanguage).
#ifndef NUMBERA_APP_RULES_NB_LOCALIZATION_HELPER_H
#define NUMBERA_APP_RULES_NB_LOCALIZATION_HELPER_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ResourceBundle;

// Content-language number for a code outside the table (there is no 14).
inline constexpr int64_t kUnknownContentLanguage = 15;
// What the strings lookup answers when a table has no entry.
inline constexpr char16_t kLocalizationSentinel[] = u"I AM THE DEFAULT VALUE";

struct ContentLanguageMenuItem {
    std::u16string title;
    int64_t tag = 0;
    std::string flagImageName;  // the language code; empty for the separator
    bool isSeparator = false;
};

class NBLocalizationHelper {
  public:
    // 1 "en" ... 13 "ja"; 0 is the first preferred localisation of the content bundle; any
    // other number (and 0 without a content bundle) has no code.
    static std::optional<std::string> languageCodeForContentLanguage(int64_t language);
    // The first number from 1 to 13 whose code equals the given one, else 15.
    static int64_t contentLanguageForLanguageCode(const std::string& code);
    // The language's name in its own language, first letter capitalised ("Deutsch"). "se" and
    // "no" are our codes for Swedish and Norwegian Bokmål: ICU is asked for "sv" and "nb".
    static std::u16string nativeLocalizationNameForLanguage(const std::string& code);
    // The menu order: "en", "nl", "de", "se", "no", "fr", "it", "es", "pt", "zh-Hans", "ja",
    // "ru"; any other code sorts at the position of "en". -1, 0 or 1.
    static int compareByLanguageCode(const std::string& a, const std::string& b);
    // "Automatic (<native name of the automatic language>)" tagged 0, a separator, then one item
    // per content localisation in menu order ("pt" is "Português (Brazil)"), tagged with its
    // content-language number. Among codes of English's position English comes first.
    static std::vector<ContentLanguageMenuItem> menuOfAvailableContentLanguages(
        const std::vector<std::string>& contentLocalizations);
    // The same for the content bundle's localisations.
    static std::vector<ContentLanguageMenuItem> menuOfAvailableContentLanguages();

    // The interface text for an English text through the main bundle's "Localizable" table:
    // none for an empty text; the text itself when the table has no entry (or its entry is the
    // sentinel).
    static std::optional<std::u16string> localizedInterfaceString(const std::u16string& text);
    // The same against a given bundle and table.
    static std::optional<std::u16string> localizedStringForString(const std::u16string& text,
                                                                  const ResourceBundle& bundle,
                                                                  const std::string& table);
    // Makes NSLocalizedString answer from the main bundle's "Localizable" table.
    static void installLocalizedStringHook();

    // The bundle whose localisations are the content languages: the main bundle until set.
    static std::shared_ptr<ResourceBundle> contentBundle();
    static void setContentBundle(std::shared_ptr<ResourceBundle> bundle);
};

#endif
