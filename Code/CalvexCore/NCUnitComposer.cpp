#include "NCUnitComposer.h"

#include "NBFUnitFractionBuilder.h"

std::shared_ptr<NCCompositeUnit> NCUnitComposer::composeUnitWithIdentifier(
    const std::optional<std::u16string>& identifier, NCUnitType type,
    const NCBasicUnit::Names& names, const NCUnitAliases& aliases,
    const std::set<std::u16string>& caseSensitiveNames,
    const std::vector<std::shared_ptr<NCUnit>>& numeratorUnits,
    const std::vector<std::shared_ptr<NCUnit>>& denominatorUnits) {
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    for (const auto& unit : numeratorUnits)
        if (unit) NBFUnitFractionBuilderAddNumeratorUnit(builder, unit->nbfUnitContainer());
    for (const auto& unit : denominatorUnits)
        if (unit) NBFUnitFractionBuilderAddDenominatorUnit(builder, unit->nbfUnitContainer());
    auto composed =
        NCCompositeUnit::create(identifier, type, NBFUnitFractionBuilderGetUnitFraction(builder),
                                names, aliases, caseSensitiveNames);
    NBFUnitFractionBuilderRelease(builder);
    return composed;
}
