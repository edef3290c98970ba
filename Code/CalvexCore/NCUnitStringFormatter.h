// Writes the name of a unit, with a name format chosen per unit type for compound units.
#ifndef NUMBERA_CORE_NC_UNIT_STRING_FORMATTER_H
#define NUMBERA_CORE_NC_UNIT_STRING_FORMATTER_H

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "NCUnit.h"

class NCUnitStringFormatter {
  public:
    void setUnitNameFormat(NCUnitNameFormat format, NCUnitType unitType) {
        unitNameFormatsByUnitType[unitType] = format;
    }
    // Format 1 (names).
    std::optional<std::u16string> stringForUnit(const NCUnit* unit, NCUnitNameForm form) const;
    // None for no unit.
    std::optional<std::u16string> stringForUnit(const NCUnit* unit, NCUnitNameFormat format,
                                                NCUnitNameForm form) const;

  private:
    std::map<NCUnitType, NCUnitNameFormat> unitNameFormatsByUnitType;
};

#endif
