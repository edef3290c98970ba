#include "NBFUnitFraction.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "NBFErrorLog.h"
#include "NBFObject.h"
#include "NBFUnitFractionBuilder.h"
#include "NBFUnitTypeFraction.h"

namespace {

struct Components {
    NBFUnitTypeDegreeMap typeDegrees;
    NBFUnitDegreeMap unitDegrees;
    NBFUnitsByTypeMap unitsByType;
    std::set<NBFUnit*, NBF::UniqueObj> unitSet;
    std::vector<NBFUnit*> units;
    uint8_t numeratorTypeCount = 0;
    uint8_t denominatorTypeCount = 0;
    M_APM extraMultiplier = nullptr;
    M_APM unitMultiplier = nullptr;
};

M_APM copyOrNull(M_APM value) {
    if (!value) return nullptr;
    M_APM copy = m_apm_init();
    m_apm_copy(copy, value);
    return copy;
}

}  // namespace

// Fractions live in the shared unit catalogue and are retained by evaluations on any thread.
struct NBFUnitFraction : NBF::Object<NBFUnitFraction> {
    ~NBFUnitFraction() override;
    Components components;
    NBFUnit* numeratorUnitByType[NBFUnitTypeArraySize] = {};
    NBFUnit* denominatorUnitByType[NBFUnitTypeArraySize] = {};
    uint8_t numeratorDegreeByType[NBFUnitTypeArraySize] = {};
    uint8_t denominatorDegreeByType[NBFUnitTypeArraySize] = {};
    std::vector<NBFUnit*> numeratorUnits;
    std::vector<NBFUnit*> denominatorUnits;
    M_APM multiplier = nullptr;
    // Every unit referenced anywhere above, retained once each.
    std::vector<NBFUnit*> retainedUnits;
    // The last recomputed copy (retained; under s_copyMutex), and for a recomputed copy the
    // factor generation it was computed at (0 for any other fraction).
    NBFUnitFraction* recomputedCopy = nullptr;
    uint64_t recomputedAtGeneration = 0;
};

namespace {
std::mutex s_copyMutex;
}  // namespace

NBFUnitFractionRef NBFUnitFractionCreateWithComponents(const NBFUnitDegreeMap& unitDegrees,
                                                       const NBFUnitsByTypeMap& unitsByType,
                                                       M_APM unitMultiplier, M_APM extraMultiplier,
                                                       M_APM multiplier) {
    auto* fraction = new NBFUnitFraction();
    Components& c = fraction->components;
    m_apm_enter();
    fraction->multiplier = m_apm_init();
    m_apm_copy(fraction->multiplier, multiplier ? multiplier : MM_One);
    c.unitMultiplier = copyOrNull(unitMultiplier);
    c.extraMultiplier = copyOrNull(extraMultiplier);
    m_apm_leave();

    std::map<NBFUnitType, int32_t> typeSums;
    for (const auto& [unit, degree] : unitDegrees) {
        typeSums[NBFUnitGetType(unit)] += degree;
        c.unitDegrees[unit] += degree;
        c.unitSet.insert(unit);
        c.units.push_back(unit);
    }
    for (const auto& [type, sum] : typeSums) {
        if (sum < -127 || sum > 127)
            NBF_LOG_ERROR("Unit degree %d of type %d out of range", sum, type);
        c.typeDegrees[type] = static_cast<int8_t>(std::clamp(sum, -127, 127));
    }
    c.unitsByType = unitsByType;

    for (NBFUnit* unit : c.units) {
        int degree = c.unitDegrees[unit];
        auto& list = degree > 0 ? fraction->numeratorUnits : fraction->denominatorUnits;
        for (int i = 0; i < std::abs(degree); ++i) list.push_back(unit);
    }
    for (const auto& [type, unit] : c.unitsByType) {
        auto found = c.typeDegrees.find(type);
        int degree = found == c.typeDegrees.end() ? 0 : found->second;
        if (degree == 0) continue;
        int index = NBFUnitTypeToArrayIndex(type);
        if (degree > 0) {
            fraction->numeratorUnitByType[index] = unit;
            fraction->numeratorDegreeByType[index] = static_cast<uint8_t>(degree);
            ++c.numeratorTypeCount;
        } else {
            fraction->denominatorUnitByType[index] = unit;
            fraction->denominatorDegreeByType[index] = static_cast<uint8_t>(-degree);
            ++c.denominatorTypeCount;
        }
    }

    std::set<NBFUnit*> distinct(c.units.begin(), c.units.end());
    for (const auto& entry : c.unitsByType) distinct.insert(entry.second);
    distinct.erase(nullptr);
    for (NBFUnit* unit : distinct) fraction->retainedUnits.push_back(NBFUnitRetain(unit));
    return fraction;
}

NBFUnitFraction::~NBFUnitFraction() {
    m_apm_enter();
    m_apm_free(multiplier);
    if (components.unitMultiplier) m_apm_free(components.unitMultiplier);
    if (components.extraMultiplier) m_apm_free(components.extraMultiplier);
    m_apm_leave();
    for (NBFUnit* unit : retainedUnits) NBFUnitRelease(unit);
    NBFUnitFractionRelease(recomputedCopy);
}

NBFUnitFractionRef NBFUnitFractionRetain(NBFUnitFractionRef fraction) {
    return NBF::retain(fraction);
}

void NBFUnitFractionRelease(NBFUnitFractionRef fraction) { NBF::release(fraction); }

NBFUnitFractionRef NBFUnitFractionCopyWithRecomputedMultiplier(NBFUnitFractionRef fraction) {
    if (!fraction) return nullptr;
    // Read before building: a factor changed meanwhile leaves the copy older than the count.
    const uint64_t generation = NBFUnitGetFactorGeneration();
    // A copy holds its surviving units only, with no extra multiplier: copied again from the
    // same factors it comes out the same.
    if (fraction->recomputedAtGeneration == generation) return NBFUnitFractionRetain(fraction);
    {
        std::lock_guard<std::mutex> lock(s_copyMutex);
        NBFUnitFraction* kept = fraction->recomputedCopy;
        if (kept && kept->recomputedAtGeneration == generation) return NBFUnitFractionRetain(kept);
    }
    NBF::Ref<NBF::UnitFractionBuilder> builder =
        NBF::Ref<NBF::UnitFractionBuilder>::adopt(NBF::UnitFractionBuilder::create());
    for (NBFUnit* unit : fraction->numeratorUnits) builder->addUnit(unit, 1);
    for (NBFUnit* unit : fraction->denominatorUnits) builder->addUnit(unit, -1);
    NBFUnitFraction* copy = builder->getUnitFraction();
    if (!copy) return nullptr;
    copy->recomputedAtGeneration = generation;
    NBFUnitFraction* replaced = nullptr;
    {
        std::lock_guard<std::mutex> lock(s_copyMutex);
        replaced = fraction->recomputedCopy;
        fraction->recomputedCopy = NBFUnitFractionRetain(copy);
    }
    NBFUnitFractionRelease(replaced);
    return NBFUnitFractionRetain(copy);
}

NBFUnitFractionRef NBFUnitFractionCopy(NBFUnitFractionRef fraction) {
    return NBFUnitFractionCopyWithRecomputedMultiplier(fraction);
}

NBFUnitFractionRef NBFUnitFractionCopyWithoutExtraMultiplier(NBFUnitFractionRef fraction) {
    return NBFUnitFractionCopyWithRecomputedMultiplier(fraction);
}

int8_t NBFUnitFractionGetUnitDegree(NBFUnitFractionRef fraction, NBFUnitType type) {
    if (!fraction) return 0;
    auto found = fraction->components.typeDegrees.find(type);
    return found == fraction->components.typeDegrees.end() ? 0 : found->second;
}

NBFUnit* NBFUnitFractionGetOnlyNumeratorUnitOfType(NBFUnitFractionRef fraction, NBFUnitType type) {
    return fraction ? fraction->numeratorUnitByType[NBFUnitTypeToArrayIndex(type)] : nullptr;
}

NBFUnit* NBFUnitFractionGetOnlyDenominatorUnitOfType(NBFUnitFractionRef fraction,
                                                     NBFUnitType type) {
    return fraction ? fraction->denominatorUnitByType[NBFUnitTypeToArrayIndex(type)] : nullptr;
}

std::vector<NBFUnit*> NBFUnitFractionGetNumeratorUnits(NBFUnitFractionRef fraction) {
    return fraction ? fraction->numeratorUnits : std::vector<NBFUnit*>();
}

std::vector<NBFUnit*> NBFUnitFractionGetDenominatorUnits(NBFUnitFractionRef fraction) {
    return fraction ? fraction->denominatorUnits : std::vector<NBFUnit*>();
}

namespace {

std::vector<NBFUnit*> unitsOfType(const std::vector<NBFUnit*>& units, NBFUnitType type) {
    std::vector<NBFUnit*> result;
    for (NBFUnit* unit : units) {
        if (NBFUnitGetType(unit) == type) result.push_back(unit);
    }
    return result;
}

}  // namespace

std::vector<NBFUnit*> NBFUnitFractionGetNumeratorUnitsOfType(NBFUnitFractionRef fraction,
                                                             NBFUnitType type) {
    return fraction ? unitsOfType(fraction->numeratorUnits, type) : std::vector<NBFUnit*>();
}

std::vector<NBFUnit*> NBFUnitFractionGetDenominatorUnitsOfType(NBFUnitFractionRef fraction,
                                                               NBFUnitType type) {
    return fraction ? unitsOfType(fraction->denominatorUnits, type) : std::vector<NBFUnit*>();
}

NBFUnitsByTypeMap NBFUnitFractionGetUnitsByType(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.unitsByType : NBFUnitsByTypeMap();
}

const std::vector<NBFUnit*>& NBFUnitFractionGetUnits(NBFUnitFractionRef fraction) {
    static const std::vector<NBFUnit*> none;
    return fraction ? fraction->components.units : none;
}

NBFUnitTypeDegreeMap NBFUnitFractionGetDegrees(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.typeDegrees : NBFUnitTypeDegreeMap();
}

NBFUnitDegreeMap NBFUnitFractionGetUnitDegrees(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.unitDegrees : NBFUnitDegreeMap();
}

M_APM NBFUnitFractionGetMultiplier(NBFUnitFractionRef fraction) {
    return fraction ? fraction->multiplier : nullptr;
}

M_APM NBFUnitFractionGetExtraMultiplier(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.extraMultiplier : nullptr;
}

bool NBFUnitFractionHasExtraMultiplier(NBFUnitFractionRef fraction) {
    return NBFUnitFractionGetExtraMultiplier(fraction) != nullptr;
}

M_APM NBFUnitFractionGetUnitMultiplier(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.unitMultiplier : nullptr;
}

namespace {

NBFUnit* onlyOffsetNumeratorUnit(NBFUnitFractionRef fraction) {
    if (!fraction) return nullptr;
    NBFUnit* found = nullptr;
    for (NBFUnit* unit : fraction->numeratorUnitByType) {
        if (!unit || !NBFUnitGetOffset(unit)) continue;
        if (found) return nullptr;
        found = unit;
    }
    return found;
}

}  // namespace

bool NBFUnitFractionHasOnlyOneOffsetNumeratorUnit(NBFUnitFractionRef fraction) {
    return onlyOffsetNumeratorUnit(fraction) != nullptr;
}

M_APM NBFUnitFractionGetOffsetMAPMReference(NBFUnitFractionRef fraction) {
    return NBFUnitGetOffsetMAPMReference(onlyOffsetNumeratorUnit(fraction));
}

int32_t NBFUnitFractionGetNumeratorTotalDegree(NBFUnitFractionRef fraction) {
    if (!fraction) return 0;
    int32_t total = 0;
    for (uint8_t degree : fraction->numeratorDegreeByType) total += degree;
    return total;
}

int32_t NBFUnitFractionGetDenominatorTotalDegree(NBFUnitFractionRef fraction) {
    if (!fraction) return 0;
    int32_t total = 0;
    for (uint8_t degree : fraction->denominatorDegreeByType) total += degree;
    return total;
}

int32_t NBFUnitFractionCountNumeratorUnits(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.numeratorTypeCount : 0;
}

int32_t NBFUnitFractionCountDenominatorUnits(NBFUnitFractionRef fraction) {
    return fraction ? fraction->components.denominatorTypeCount : 0;
}

bool NBFUnitFractionHasOnlyOneUnityDegreeNumeratorUnit(NBFUnitFractionRef fraction) {
    return fraction && NBFUnitFractionGetNumeratorTotalDegree(fraction) == 1 &&
           NBFUnitFractionGetDenominatorTotalDegree(fraction) == 0;
}

NBFUnit* NBFUnitFractionGetOnlyNumeratorUnit(NBFUnitFractionRef fraction) {
    if (!fraction) return nullptr;
    for (int i = 0; i < NBFUnitTypeArraySize; ++i) {
        if (fraction->numeratorDegreeByType[i] == 1) return fraction->numeratorUnitByType[i];
    }
    return nullptr;
}

bool NBFUnitFractionIsScalar(NBFUnitFractionRef fraction) {
    return NBFUnitFractionGetNumeratorTotalDegree(fraction) == 0 &&
           NBFUnitFractionGetDenominatorTotalDegree(fraction) == 0;
}

NBFUnitType NBFUnitFractionGetUnitType(NBFUnitFractionRef fraction) {
    if (!fraction) return NBFUnitTypeNone;
    auto numerator = [fraction](NBFUnitType type) {
        return fraction->numeratorDegreeByType[NBFUnitTypeToArrayIndex(type)];
    };
    auto denominator = [fraction](NBFUnitType type) {
        return fraction->denominatorDegreeByType[NBFUnitTypeToArrayIndex(type)];
    };
    if (numerator(NBFUnitTypeLength) == 1 && denominator(NBFUnitTypeTime) == 1) {
        return NBFUnitTypeVelocity;
    }
    if (numerator(NBFUnitTypeComputerStorage) == 1 && denominator(NBFUnitTypeTime) == 1) {
        return NBFUnitTypeComputerThroughput;
    }
    int32_t numeratorTotal = NBFUnitFractionGetNumeratorTotalDegree(fraction);
    int32_t denominatorTotal = NBFUnitFractionGetDenominatorTotalDegree(fraction);
    if (numeratorTotal == 0 && denominatorTotal == 1 &&
        NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeTime) == -1) {
        return NBFUnitTypeFrequency;
    }
    if (denominatorTotal == 0 && numeratorTotal == 1) {
        for (int i = 0; i < NBFUnitTypeArraySize; ++i) {
            if (fraction->numeratorDegreeByType[i] == 1) return NBFUnitTypeFromArrayIndex(i);
        }
    }
    return numeratorTotal + denominatorTotal > 0 ? NBFUnitTypeMixed : NBFUnitTypeNone;
}

bool NBFUnitFractionTypesCompare(NBFUnitFractionRef a, NBFUnitFractionRef b, bool* inverse) {
    if (inverse) *inverse = false;
    if (!a || !b) return false;
    if (NBFUnitFractionIsScalar(a) && NBFUnitFractionIsScalar(b)) return true;
    bool same = true;
    bool inverted = true;
    for (int i = 0; i < NBFUnitTypeArraySize && (same || inverted); ++i) {
        same = same && a->numeratorDegreeByType[i] == b->numeratorDegreeByType[i] &&
               a->denominatorDegreeByType[i] == b->denominatorDegreeByType[i];
        inverted = inverted && a->numeratorDegreeByType[i] == b->denominatorDegreeByType[i] &&
                   a->denominatorDegreeByType[i] == b->numeratorDegreeByType[i];
    }
    if (inverse) *inverse = inverted;
    return same || inverted;
}

bool NBFUnitFractionIsEqualToUnitFraction(NBFUnitFractionRef a, NBFUnitFractionRef b) {
    if (!a || !b) return !a && !b;
    bool inverse = false;
    if (!NBFUnitFractionTypesCompare(a, b, &inverse) || inverse) return false;
    return m_apm_compare_mt(a->multiplier, b->multiplier) == 0;
}

std::string NBFUnitFractionGetStringRepresentation(NBFUnitFractionRef fraction) {
    if (!fraction) return std::string();
    return NBF::UnitTypeFraction(fraction).stringRepresentation();
}

NBFUnitTypeBitmap NBFUnitTypeBitmapMakeWithUnitFraction(const NBFUnitFraction* fraction) {
    if (!fraction) return NBFUnitTypeBitmapZero;
    NBFUnitTypeBitmap bitmap = NBFUnitTypeBitmapZero;
    for (NBFUnit* unit : fraction->numeratorUnits)
        bitmap |= NBFUnitTypeBitmapMake(NBFUnitGetType(unit));
    for (NBFUnit* unit : fraction->denominatorUnits) {
        bitmap |= NBFUnitTypeBitmapMake(NBFUnitGetType(unit));
    }
    return bitmap;
}
