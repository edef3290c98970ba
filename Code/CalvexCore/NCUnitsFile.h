// What loading the units data file yields: the units and each category's base unit; and the
// preferences that choose what an alias name means (binary or SI byte prefixes, imperial, US
// or metric measures).
#ifndef NUMBERA_CORE_NC_UNITS_FILE_H
#define NUMBERA_CORE_NC_UNITS_FILE_H

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "NCAliasUnit.h"
#include "NCUnit.h"

extern const std::u16string NCUnitsPreferenceBytePrefix;
extern const std::u16string NCUnitsPreferenceBytePrefixOptionBinary;
extern const std::u16string NCUnitsPreferenceBytePrefixOptionSI;
extern const std::u16string NCUnitsMeasurementSystem;
extern const std::u16string NCUnitsMeasurementSystemImperial;
extern const std::u16string NCUnitsMeasurementSystemUSCustomary;
extern const std::u16string NCUnitsMeasurementSystemMetric;

// Preference constant -> chosen option constant.
typedef std::map<std::u16string, std::u16string> NCUnitsPreferenceChoices;

class NCUnitsPreferences {
  public:
    // SI byte prefixes and the metric system.
    static NCUnitsPreferenceChoices defaultPreferences();
};

class NCUnitsPreferenceOption {
  public:
    NCUnitsPreferenceOption() = default;
    explicit NCUnitsPreferenceOption(std::vector<std::shared_ptr<NCAliasUnit>> aliasUnits)
        : m_aliasUnits(std::move(aliasUnits)) {}
    std::vector<std::shared_ptr<NCAliasUnit>> aliasUnits() const;
    void setAliasUnits(std::vector<std::shared_ptr<NCAliasUnit>> aliasUnits);

  private:
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<NCAliasUnit>> m_aliasUnits;
};

class NCUnitsPreference {
  public:
    typedef std::map<std::u16string, std::shared_ptr<NCUnitsPreferenceOption>> Options;
    NCUnitsPreference() = default;
    explicit NCUnitsPreference(Options options) : m_options(std::move(options)) {}
    Options options() const;
    void setOptions(Options options);
    std::shared_ptr<NCUnitsPreferenceOption> optionNamed(const std::u16string& name) const;

  private:
    mutable std::mutex m_mutex;
    Options m_options;
};

class NCUnitsFile {
  public:
    NCUnitsFile() = default;
    NCUnitsFile(std::vector<std::shared_ptr<NCUnit>> units,
                std::map<NCUnitType, std::u16string> baseUnitIdentifiers)
        : m_units(std::move(units)), m_baseUnitIdentifiersByType(std::move(baseUnitIdentifiers)) {}
    std::vector<std::shared_ptr<NCUnit>> units() const;
    void setUnits(std::vector<std::shared_ptr<NCUnit>> units);
    std::map<NCUnitType, std::u16string> baseUnitIdentifiersByType() const;
    void setBaseUnitIdentifiersByType(std::map<NCUnitType, std::u16string> identifiers);

  private:
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<NCUnit>> m_units;
    std::map<NCUnitType, std::u16string> m_baseUnitIdentifiersByType;
};

#endif
