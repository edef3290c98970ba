// Composes a named unit from numerator and denominator units.
#ifndef NUMBERA_CORE_NC_UNIT_COMPOSER_H
#define NUMBERA_CORE_NC_UNIT_COMPOSER_H

#include <vector>

#include "NCCompositeUnit.h"

class NCUnitComposer {
  public:
    static std::shared_ptr<NCCompositeUnit> composeUnitWithIdentifier(
        const std::optional<std::u16string>& identifier, NCUnitType type,
        const NCBasicUnit::Names& names, const NCUnitAliases& aliases,
        const std::set<std::u16string>& caseSensitiveNames,
        const std::vector<std::shared_ptr<NCUnit>>& numeratorUnits,
        const std::vector<std::shared_ptr<NCUnit>>& denominatorUnits);
};

#endif
