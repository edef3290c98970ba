// The environment's holder of the unit catalogue: the unit collection that the evaluator uses,
// every loaded unit by identifier (so that units can be switched on and off), and the unit
// preferences the units file is read with.
#ifndef NUMBERA_SERVICES_NK_UNITS_MANAGER_H
#define NUMBERA_SERVICES_NK_UNITS_MANAGER_H

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCUnit.h"
#include "NCUnitCollection.h"
#include "NCUnitsFile.h"

class NKUnitsManager {
  public:
    NKUnitsManager();

    // Reads the units file with its localisation and fallback (either may be absent) and adds
    // every unit to the collection.
    void loadUnitsFromFile(const std::string& unitsFile,
                           const std::optional<std::string>& localizationFile,
                           const std::optional<std::string>& fallbackLocalizationFile);
    // Nothing when the collection already holds a currency unit.
    void loadCurrenciesFromLocalizationFile(const std::string& path);

    std::shared_ptr<NCUnit> unitWithIdentifier(const std::u16string& identifier) const;
    std::shared_ptr<NCUnit> mutableUnitWithIdentifier(const std::u16string& identifier) const {
        return unitWithIdentifier(identifier);
    }
    std::vector<std::shared_ptr<NCUnit>> allUnits() const;

    void setUnitEnabled(const std::shared_ptr<NCUnit>& unit, bool enabled);
    // Every unit but the currencies.
    void setUnitsEnabled(bool enabled);

    void setUnitsPreference(const std::u16string& name, const std::u16string& option) {
        m_preferences[name] = option;
    }
    // The preference then takes the units file's default.
    void removeUnitsPreference(const std::u16string& name) { m_preferences.erase(name); }
    std::optional<std::u16string> unitsPreferenceOptionForPreferenceName(
        const std::u16string& name) const;

    const std::shared_ptr<NCUnitCollection>& ncUnitManager() const { return m_ncUnitManager; }

  private:
    std::map<std::u16string, std::shared_ptr<NCUnit>> m_unitsByIdentifier;
    std::shared_ptr<NCUnitCollection> m_ncUnitManager;
    NCUnitsPreferenceChoices m_preferences;
};

#endif
