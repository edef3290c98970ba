#include "NCUnitFilter.h"

#include "NBFUnitFractionBuilder.h"
#include "NCValueUnit.h"

std::shared_ptr<NCUnit> NCUnitFilter::filteredUnit(const std::shared_ptr<NCUnit>& unit) {
    if (!unit) return nullptr;
    NBFUnitFractionRef fraction = unit->nbfUnitFraction();
    if (NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeMoney) < 1) return unit;

    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    for (const auto& [type, typeUnit] : NBFUnitFractionGetUnitsByType(fraction)) {
        int8_t degree = NBFUnitFractionGetUnitDegree(fraction, type);
        if (type == NBFUnitTypeMoney || degree < 0)
            NBFUnitFractionBuilderAddUnit(builder, typeUnit, degree);
    }
    NBFUnitFractionBuilderSetExtraMultiplierMAPM(builder,
                                                 NBFUnitFractionGetExtraMultiplier(fraction));
    auto filtered = std::make_shared<NCValueUnit>(NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    return filtered;
}
