// Reads the unit catalogue from the units data file (a property list) with a localisation file
// and a fallback localisation file that give the names, and the currency units from a
// localisation file. References between units resolve on demand, so entries may come in any
// order. The files are untrusted: a value of the wrong type counts as absent and is logged, an
// entry that cannot become a unit is logged and skipped, and a composition that contains
// itself is refused.
#ifndef NUMBERA_CORE_NC_UNITS_FILE_PARSER_H
#define NUMBERA_CORE_NC_UNITS_FILE_PARSER_H

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "NBFEvaluator.h"
#include "NCBasicUnit.h"
#include "NCIndex.h"
#include "NCPropertyListValue.h"
#include "NCUnitsFile.h"

class NCUnitsFileParser {
  public:
    typedef std::shared_ptr<const NCPropertyListValue> Value;
    typedef NCPropertyListValue::Dictionary Entries;

    static std::shared_ptr<NCUnitsFile> readUnitsFile(const std::string& path,
                                                      const std::string& localizationFile,
                                                      const std::string& fallbackLocalizationFile,
                                                      const NCUnitsPreferenceChoices& preferences);
    static std::vector<std::shared_ptr<NCMutableBasicUnit>> loadCurrencyUnitsFromLocalizationFile(
        const std::string& path);

    NCUnitsFileParser(std::string unitsFile, NCUnitsPreferenceChoices preferences);
    ~NCUnitsFileParser();
    NCUnitsFileParser(const NCUnitsFileParser&) = delete;
    NCUnitsFileParser& operator=(const NCUnitsFileParser&) = delete;

    std::shared_ptr<NCUnitsFile> loadUnitsWithLocalizationFile(
        const std::string& localizationFile, const std::string& fallbackLocalizationFile);

    // One line to the diagnostics sink.
    static void log(const std::string& line);

    const std::string& unitsFile() const { return m_unitsFile; }
    const std::map<int64_t, Value>& SIPrefixes() const { return m_SIPrefixes; }
    const Value& unitsDataSource() const { return m_unitsDataSource; }
    const Value& localization() const { return m_localization; }
    const Value& fallbackLocalization() const { return m_fallbackLocalization; }
    const Entries& dataSourceUnitsById() const { return m_dataSourceUnitsById; }
    const NCUnitsPreferenceChoices& preferences() const { return m_preferences; }

    // Lookups: localisation, then fallback, then data file.
    Value optionalLocalizedValueForKey(const std::u16string& key) const;
    Value optionalLocalizedValueForKey(const std::u16string& key,
                                       const std::u16string& unitIdentifier) const;
    Value localizedUnitNamesForIdentifier(const std::u16string& identifier) const;

    void loadSIPrefixes();
    void loadUnitDictionaries();
    std::map<std::u16string, std::shared_ptr<NCUnitsPreference>>
    loadUnitsFromPreferencesWithEntries(const Entries& entries);
    std::map<std::u16string, std::shared_ptr<NCUnitsPreference>> loadPreferencesWithEntries(
        const Entries& entries);
    void loadRegularUnitsWithEntries(const Entries& entries);
    std::map<NCUnitType, std::u16string> loadBaseUnitsDict() const;
    std::shared_ptr<NCUnit> getOrLoadUnitWithIdentifier(const std::u16string& identifier,
                                                        const Entries& entries);
    std::vector<std::shared_ptr<NCUnit>> getOrLoadUnitsWithIdentifiers(const Value& identifiers,
                                                                       const Entries& entries);
    std::set<int64_t> allowedSIPrefixExponentsForKey(const std::u16string& key,
                                                     const NCBasicUnit& unit) const;
    void loadSIPrefixedUnitsForUnit(const std::shared_ptr<NCBasicUnit>& unit,
                                    const std::set<int64_t>& allowedExponents);
    std::shared_ptr<NCBasicUnit> SIPrefixedUnitForUnit(const NCBasicUnit& unit, int64_t exponent);

    static NCUnitType unitTypeForCategory(const std::u16string& category);
    static const std::set<int64_t>& allExponents();
    // "si+3-metre" from 3 and "metre".
    static std::u16string prefixedIdentifier(int64_t exponent, const std::u16string& identifier);

  private:
    std::shared_ptr<NCUnit> loadUnitWithEntry(const std::u16string& identifier,
                                              const NCPropertyListValue& entry,
                                              const Entries& entries);

    NBFEvaluatorRef m_evaluator;  // multiplies prefix factors
    std::map<std::u16string, std::shared_ptr<NCUnit>> loadedUnitsByIdentifier;
    std::string m_unitsFile;
    std::map<int64_t, Value> m_SIPrefixes;
    Value m_unitsDataSource;
    Value m_localization;
    Value m_fallbackLocalization;
    Entries m_dataSourceUnitsById;
    NCUnitsPreferenceChoices m_preferences;
    // Identifiers being loaded: a composition met again while its own parts load contains itself.
    std::set<std::u16string> loadingIdentifiers;
};

#endif
