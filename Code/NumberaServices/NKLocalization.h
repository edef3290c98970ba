// The language the interface is shown in.
#ifndef NUMBERA_SERVICES_NK_LOCALIZATION_H
#define NUMBERA_SERVICES_NK_LOCALIZATION_H

#include <optional>
#include <string>
#include <vector>

class NKLocalization {
  public:
    // The first of the preferred localisations, "en" when there is none.
    static std::u16string currentLanguageCode(
        const std::vector<std::u16string>& preferredLocalizations);
    // From the process's language settings (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    static std::u16string currentLanguageCode();
};

// True for no code or "en".
bool NKLocalizationIsEnglish(const std::optional<std::u16string>& code);

#endif
