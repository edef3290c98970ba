#include "NBFUnitFractionFromTypeFraction.h"

#include "NBFUnitFractionBuilder.h"

NBFUnitFractionRef NBFUnitFractionCreateFromTypeFraction(
    const NBFBaseUnitLookup& baseUnitOfType, NBFMAPMAccumulatorRef accumulator,
    NBFUnitFractionRef referenceFraction, const NBFEvalUnitsMap& preferredUnits,
    const NBF::UnitTypeFraction& typeFraction) {
    auto builder =
        NBF::Ref<NBF::UnitFractionBuilder>::adopt(NBF::UnitFractionBuilder::create(accumulator));
    NBFUnitsByTypeMap referenceUnits = NBFUnitFractionGetUnitsByType(referenceFraction);
    for (const auto& [type, degree] : typeFraction.components()) {
        if (degree == 0) continue;
        if (degree < -127 || degree > 127) return nullptr;
        auto power = static_cast<int8_t>(degree);
        if (auto preferred = preferredUnits.find(type);
            preferred != preferredUnits.end() && preferred->second) {
            builder->addUnit(preferred->second, power);
        } else if (auto reference = referenceUnits.find(type);
                   reference != referenceUnits.end() && reference->second) {
            builder->addUnit(reference->second, power);
        } else if (NBF::UnitContainer* base = baseUnitOfType ? baseUnitOfType(type) : nullptr;
                   base && base->unitFraction()) {
            builder->addUnit(base, power);
        } else {
            return nullptr;
        }
    }
    M_APM builtMultiplier = builder->multiplier();
    if (!builtMultiplier) return nullptr;
    // The extra multiplier makes the new fraction denote the reference quantity.
    NBFMAPMAccumulatorRef scratch =
        accumulator ? NBFMAPMAccumulatorRetain(accumulator) : NBFMAPMAccumulatorCreate(100);
    M_APM reference = NBFUnitFractionGetMultiplier(referenceFraction);
    NBFMAPMAccumulatorInitialize(scratch, reference ? reference : MM_One);
    NBFMAPMAccumulatorDivideBy(scratch, builtMultiplier);
    builder->setExtraMultiplier(NBFMAPMAccumulatorGetResult(scratch));
    NBFMAPMAccumulatorRelease(scratch);
    return NBFUnitFractionRetain(builder->getUnitFraction());
}
