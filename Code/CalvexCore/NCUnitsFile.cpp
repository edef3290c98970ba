#include "NCUnitsFile.h"

const std::u16string NCUnitsPreferenceBytePrefix = u"NCUnitsPreferenceBytePrefix";
const std::u16string NCUnitsPreferenceBytePrefixOptionBinary =
    u"NCUnitsPreferenceBytePrefixOptionBinary";
const std::u16string NCUnitsPreferenceBytePrefixOptionSI = u"NCUnitsPreferenceBytePrefixOptionSI";
const std::u16string NCUnitsMeasurementSystem = u"NCUnitsPreferenceImperialUSOrMetric";
const std::u16string NCUnitsMeasurementSystemImperial = u"NCUnitsMeasurementSystemImperial";
const std::u16string NCUnitsMeasurementSystemUSCustomary = u"NCUnitsMeasurementSystemUSCustomary";
const std::u16string NCUnitsMeasurementSystemMetric = u"NCUnitsMeasurementSystemMetric";

NCUnitsPreferenceChoices NCUnitsPreferences::defaultPreferences() {
    return {{NCUnitsPreferenceBytePrefix, NCUnitsPreferenceBytePrefixOptionSI},
            {NCUnitsMeasurementSystem, NCUnitsMeasurementSystemMetric}};
}

std::vector<std::shared_ptr<NCAliasUnit>> NCUnitsPreferenceOption::aliasUnits() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_aliasUnits;
}

void NCUnitsPreferenceOption::setAliasUnits(std::vector<std::shared_ptr<NCAliasUnit>> aliasUnits) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_aliasUnits = std::move(aliasUnits);
}

NCUnitsPreference::Options NCUnitsPreference::options() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_options;
}

void NCUnitsPreference::setOptions(Options options) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_options = std::move(options);
}

std::shared_ptr<NCUnitsPreferenceOption> NCUnitsPreference::optionNamed(
    const std::u16string& name) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_options.find(name);
    return found == m_options.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<NCUnit>> NCUnitsFile::units() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_units;
}

void NCUnitsFile::setUnits(std::vector<std::shared_ptr<NCUnit>> units) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_units = std::move(units);
}

std::map<NCUnitType, std::u16string> NCUnitsFile::baseUnitIdentifiersByType() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_baseUnitIdentifiersByType;
}

void NCUnitsFile::setBaseUnitIdentifiersByType(std::map<NCUnitType, std::u16string> identifiers) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_baseUnitIdentifiersByType = std::move(identifiers);
}
