// Puts the language-dependent vocabulary of calculations into the core: the line-reference
// word, localised word operators, percentage phrases, unit conversion words, and which
// currency a clashing symbol ("$", "kr") means. Reads them from the resource bundle's property
// lists.
#ifndef NUMBERA_SERVICES_NK_LOCALIZATION_MANAGER_H
#define NUMBERA_SERVICES_NK_LOCALIZATION_MANAGER_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCWordOperatorList.h"
#include "ResourceBundle.h"

class NKUnitsManager;

class NKLocalizationManager {
  public:
    struct ClashingSymbol {
        std::u16string symbol, singular, plural, defaultCode;
    };

    NKLocalizationManager(std::shared_ptr<NKUnitsManager> unitsManager,
                          std::shared_ptr<NCWordOperatorList> wordOperators);
    NKLocalizationManager() : NKLocalizationManager(nullptr, nullptr) {}

    // Each refreshes its part when the value changes and is present.
    void setWordOperatorsPlistFile(const std::optional<std::string>& path);
    void setPercentageOperatorsPlistFiles(const std::vector<std::string>& paths);
    void setUnitLocalizationPlistFile(const std::optional<std::string>& path);
    // The file for the localisation (default: the bundle's first preferred one), then, for any
    // other language than English, the English one. No bundle means the main bundle.
    void setPercentageOperatorsPlistFileName(const std::string& name,
                                             std::shared_ptr<const ResourceBundle> bundle,
                                             const std::optional<std::string>& localization);

    void refreshLocalization();
    void refreshWordOperators();
    void refreshPercentageOperators();
    void refreshUnitLocalization();
    void refreshCurrencyLocaleForCode(const std::u16string& code);

    // The user's currency when a unit has its code, else "USD".
    std::u16string bestCurrencyCodeForCurrentLocale() const;
    std::u16string localizedConversionOperatorString();

    const std::shared_ptr<NKUnitsManager>& unitsManager() const { return m_unitsManager; }
    void setUnitsManager(std::shared_ptr<NKUnitsManager> manager) {
        m_unitsManager = std::move(manager);
    }
    const std::shared_ptr<NCWordOperatorList>& wordOperatorList() const {
        return m_wordOperatorList;
    }
    void setWordOperatorList(std::shared_ptr<NCWordOperatorList> list) {
        m_wordOperatorList = std::move(list);
    }
    const std::vector<std::string>& percentageOperatorsFilePaths() const {
        return m_percentageOperatorsFilePaths;
    }

    static const std::vector<ClashingSymbol>& clashingSymbols();
    // 0 for an unknown name.
    static int64_t percentageOperatorTypeForName(const std::u16string& name);
    static int32_t wordOperatorTypeForName(const std::u16string& name);

  private:
    std::optional<std::string> m_wordOperatorsFilePath;
    std::vector<std::string> m_percentageOperatorsFilePaths;
    std::optional<std::string> m_unitLocalizationFilePath;
    std::optional<std::u16string> m_localizedConversionOperatorString;
    std::shared_ptr<NKUnitsManager> m_unitsManager;
    std::shared_ptr<NCWordOperatorList> m_wordOperatorList;
};

#endif
