#include "NKLocalization.h"

#include <cstdlib>

std::u16string NKLocalization::currentLanguageCode(
    const std::vector<std::u16string>& preferredLocalizations) {
    for (const std::u16string& code : preferredLocalizations)
        if (!code.empty()) return code;
    return u"en";
}

std::u16string NKLocalization::currentLanguageCode() {
    std::vector<std::u16string> preferred;
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (!value || !*value) continue;
        std::string text(value);
        // "de_DE.UTF-8:fr" -> "de"
        size_t end = text.find_first_of(":_.@");
        std::string code = text.substr(0, end);
        if (code.empty() || code == "C" || code == "POSIX") continue;
        preferred.emplace_back(code.begin(), code.end());
        break;
    }
    return currentLanguageCode(preferred);
}

bool NKLocalizationIsEnglish(const std::optional<std::u16string>& code) {
    return !code || *code == u"en";
}
