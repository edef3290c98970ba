// A named unit defined as a fraction of other units (a knot, a litre per 100 kilometres).
#ifndef NUMBERA_CORE_NC_COMPOSITE_UNIT_H
#define NUMBERA_CORE_NC_COMPOSITE_UNIT_H

#include "NCBasicUnit.h"

class NCCompositeUnit : public NCUnit {
  public:
    // The container gets the names and retains the fraction.
    static std::shared_ptr<NCCompositeUnit> create(
        const std::optional<std::u16string>& identifier, NCUnitType type,
        NBFUnitFractionRef unitFraction, const NCBasicUnit::Names& names,
        const NCUnitAliases& aliases, const std::set<std::u16string>& caseSensitiveNames);

  private:
    NCCompositeUnit(const std::optional<std::u16string>& identifier, NCUnitType type,
                    NBFUnitContainerRef container)
        : NCUnit(identifier, type, container) {}
};

#endif
