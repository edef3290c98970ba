#include "NKUnitsManager.h"

#include "NCUnitType.h"
#include "NCUnitsFileParser.h"

NKUnitsManager::NKUnitsManager()
    : m_ncUnitManager(NCUnitCollection::create()),
      m_preferences(NCUnitsPreferences::defaultPreferences()) {}

void NKUnitsManager::loadUnitsFromFile(const std::string& unitsFile,
                                       const std::optional<std::string>& localizationFile,
                                       const std::optional<std::string>& fallbackLocalizationFile) {
    auto loaded =
        NCUnitsFileParser::readUnitsFile(unitsFile, localizationFile.value_or(""),
                                         fallbackLocalizationFile.value_or(""), m_preferences);
    if (!loaded) return;
    for (const auto& unit : loaded->units())
        if (unit && unit->identifier()) m_unitsByIdentifier[*unit->identifier()] = unit;
    m_ncUnitManager->addContentsOfLoadedUnitsFile(*loaded);
}

void NKUnitsManager::loadCurrenciesFromLocalizationFile(const std::string& path) {
    if (m_ncUnitManager->countUnitsOfType(NCUnitTypeCurrency) > 0) return;
    for (const auto& unit : NCUnitsFileParser::loadCurrencyUnitsFromLocalizationFile(path))
        if (unit && unit->identifier()) m_unitsByIdentifier[*unit->identifier()] = unit;
}

std::shared_ptr<NCUnit> NKUnitsManager::unitWithIdentifier(const std::u16string& identifier) const {
    auto found = m_unitsByIdentifier.find(identifier);
    return found == m_unitsByIdentifier.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<NCUnit>> NKUnitsManager::allUnits() const {
    std::vector<std::shared_ptr<NCUnit>> units;
    units.reserve(m_unitsByIdentifier.size());
    for (const auto& [identifier, unit] : m_unitsByIdentifier) units.push_back(unit);
    return units;
}

void NKUnitsManager::setUnitEnabled(const std::shared_ptr<NCUnit>& unit, bool enabled) {
    if (!unit) return;
    if (enabled)
        m_ncUnitManager->addUnit(unit);
    else
        m_ncUnitManager->removeUnit(unit);
}

void NKUnitsManager::setUnitsEnabled(bool enabled) {
    for (const auto& unit : allUnits())
        if (unit->type() != NCUnitTypeCurrency) setUnitEnabled(unit, enabled);
}

std::optional<std::u16string> NKUnitsManager::unitsPreferenceOptionForPreferenceName(
    const std::u16string& name) const {
    auto found = m_preferences.find(name);
    if (found == m_preferences.end()) return std::nullopt;
    return found->second;
}
