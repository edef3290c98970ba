#include "NBFAmbiguousUnit.h"

#include "NBFObject.h"
#include "NBFUnitFraction.h"

struct NBFAmbiguousUnit : NBF::Object<NBFAmbiguousUnit> {
    ~NBFAmbiguousUnit() override {
        for (NBFUnitContainerRef unit : units) NBFUnitContainerRelease(unit);
    }
    std::vector<NBFUnitContainerRef> units;
};

namespace {

bool hasName(NBFUnitContainerRef unit, NBFStringRef name) {
    for (const auto& entry : NBFUnitContainerGetNames(unit))
        if (NBFStringCompare(entry.second, name) == 0) return true;
    for (const auto& entry : NBFUnitContainerGetAliases(unit))
        if (NBFStringCompare(entry.second, name) == 0) return true;
    return false;
}

int64_t score(NBFUnitContainerRef unit, NBFUnitTypeBitmap typeBitmap, NBFStringRef name) {
    NBFUnitFractionRef fraction = NBFUnitContainerGetUnitFraction(unit);
    int64_t matches = 0;
    for (NBFUnitType type : NBFUnitTypes()) {
        if (NBFUnitTypeBitmapHasUnitType(&typeBitmap, type) &&
            NBFUnitFractionGetUnitDegree(fraction, type) != 0)
            ++matches;
    }
    int64_t nameBonus = name && hasName(unit, name) ? 5 : 0;
    return (matches + nameBonus) * 100 + NBFUnitContainerGetAmbiguousTieBreakFactor(unit);
}

}  // namespace

NBFAmbiguousUnitRef NBFAmbiguousUnitCreate(const std::vector<NBFUnitContainerRef>& units) {
    auto* ambiguousUnit = new NBFAmbiguousUnit();
    ambiguousUnit->units.reserve(units.size());
    for (NBFUnitContainerRef unit : units)
        if (unit) ambiguousUnit->units.push_back(NBFUnitContainerRetain(unit));
    return ambiguousUnit;
}

NBFAmbiguousUnitRef NBFAmbiguousUnitRetain(NBFAmbiguousUnitRef ambiguousUnit) {
    return NBF::retain(ambiguousUnit);
}

void NBFAmbiguousUnitRelease(NBFAmbiguousUnitRef ambiguousUnit) { NBF::release(ambiguousUnit); }

const std::vector<NBFUnitContainerRef>& NBFAmbiguousUnitGetUnits(
    NBFAmbiguousUnitRef ambiguousUnit) {
    static const std::vector<NBFUnitContainerRef> s_none;
    return ambiguousUnit ? ambiguousUnit->units : s_none;
}

NBFUnitTypeBitmap NBFAmbiguousUnitGetUnitTypeBitmap(NBFAmbiguousUnitRef ambiguousUnit) {
    NBFUnitTypeBitmap bitmap = NBFUnitTypeBitmapZero;
    for (NBFUnitContainerRef unit : NBFAmbiguousUnitGetUnits(ambiguousUnit))
        NBFUnitTypeBitmapAppend(&bitmap, NBFUnitTypeBitmapMakeWithUnitContainer(unit));
    return bitmap;
}

NBFUnitContainerRef NBFAmbiguousUnitGetUnambiguousUnit(NBFAmbiguousUnitRef ambiguousUnit,
                                                       NBFUnitTypeBitmap typeBitmap,
                                                       NBFStringRef name) {
    const std::vector<NBFUnitContainerRef>& units = NBFAmbiguousUnitGetUnits(ambiguousUnit);
    if (units.empty()) return nullptr;
    if (units.size() == 1) return units.front();
    NBFUnitContainerRef best = nullptr;
    int64_t bestScore = 0;
    for (NBFUnitContainerRef unit : units) {
        int64_t unitScore = score(unit, typeBitmap, name);
        if (!best || unitScore > bestScore) {
            best = unit;
            bestScore = unitScore;
        }
    }
    return best;
}
