#include "NCUnitFilter.h"

#include "NBFUnitFractionBuilder.h"
#include "NCValueUnit.h"

std::shared_ptr<NCUnit> NCUnitFilter::filteredUnit(const std::shared_ptr<NCUnit>& unit) {
    if (!unit) return nullptr;
    NBFUnitFractionRef fraction = unit->nbfUnitFraction();
    if (NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeMoney) < 1) return unit;
    // Other units of the numerator are hidden only where nothing stays below the line: with a
    // denominator the amount would read as a price it is not (2 kg times 3 EUR/kWh is not
    // 6 EUR/kWh), so it keeps all its units.
    bool hidesNumerator = false, keepsDenominator = false;
    for (const auto& entry : NBFUnitFractionGetUnitsByType(fraction)) {
        const int8_t degree = NBFUnitFractionGetUnitDegree(fraction, entry.first);
        if (degree > 0 && entry.first != NBFUnitTypeMoney) hidesNumerator = true;
        if (degree < 0) keepsDenominator = true;
    }
    if (hidesNumerator && keepsDenominator) return unit;

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
