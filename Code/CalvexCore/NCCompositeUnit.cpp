#include "NCCompositeUnit.h"

std::shared_ptr<NCCompositeUnit> NCCompositeUnit::create(
    const std::optional<std::u16string>& identifier, NCUnitType type,
    NBFUnitFractionRef unitFraction, const NCBasicUnit::Names& names, const NCUnitAliases& aliases,
    const std::set<std::u16string>& caseSensitiveNames) {
    auto container = NBF::Ref<NBF::UnitContainer>::adopt(
        NBFUnitContainerCreateWithNames(identifier, names.singular, names.plural, names.veryShort,
                                        names.symbol, aliases, caseSensitiveNames));
    NBFUnitContainerSetUnitFraction(container.get(), unitFraction);
    return std::shared_ptr<NCCompositeUnit>(new NCCompositeUnit(identifier, type, container.get()));
}
