#include "NBFEvalMetadata.h"

#include "NBFObject.h"

namespace {

// Type -> unit, retaining its units.
class UnitsMap {
  public:
    UnitsMap() = default;
    UnitsMap(const UnitsMap&) = delete;
    UnitsMap& operator=(const UnitsMap&) = delete;
    ~UnitsMap() { clear(); }

    void set(NBFUnitType type, NBFUnit* unit) {
        NBFUnitRetain(unit);
        auto [entry, inserted] = m_units.emplace(type, unit);
        if (!inserted) {
            NBFUnitRelease(entry->second);
            entry->second = unit;
        }
    }
    void erase(NBFUnitType type) {
        auto found = m_units.find(type);
        if (found == m_units.end()) return;
        NBFUnitRelease(found->second);
        m_units.erase(found);
    }
    void clear() {
        for (const auto& entry : m_units) NBFUnitRelease(entry.second);
        m_units.clear();
    }
    void setAll(const UnitsMap& other) {
        for (const auto& [type, unit] : other.m_units) set(type, unit);
    }
    NBFUnit* get(NBFUnitType type) const {
        auto found = m_units.find(type);
        return found == m_units.end() ? nullptr : found->second;
    }
    const std::map<NBFUnitType, NBFUnit*>& entries() const { return m_units; }

  private:
    std::map<NBFUnitType, NBFUnit*> m_units;
};

}  // namespace

struct NBFEvalMetadata : NBF::Object<NBFEvalMetadata> {
    UnitsMap preferredNumerator;
    UnitsMap preferredDenominator;
    UnitsMap requiredNumerator;
    UnitsMap requiredDenominator;
    NBFUnitNameFormatMap nameFormats;
};

NBFEvalMetadataRef NBFEvalMetadataCreate() { return new NBFEvalMetadata(); }

NBFEvalMetadataRef NBFEvalMetadataRetain(NBFEvalMetadataRef metadata) {
    return NBF::retain(metadata);
}

void NBFEvalMetadataRelease(NBFEvalMetadataRef metadata) { NBF::release(metadata); }

void NBFEvalMetadataAppendUnitFraction(NBFEvalMetadataRef metadata, NBFUnitFractionRef fraction) {
    if (!metadata || !fraction) return;
    for (NBFUnit* unit : NBFUnitFractionGetNumeratorUnits(fraction)) {
        metadata->preferredNumerator.set(NBFUnitGetType(unit), unit);
    }
    for (NBFUnit* unit : NBFUnitFractionGetDenominatorUnits(fraction)) {
        metadata->preferredDenominator.set(NBFUnitGetType(unit), unit);
    }
}

void NBFEvalMetadataAppendUnitNameFormatMapping(NBFEvalMetadataRef metadata, NBFUnit* unit,
                                                NBFUnitFormatType formatType) {
    if (!metadata || !unit) return;
    const char* identifier = NBFUnitGetIdentifier(unit);
    metadata->nameFormats[identifier ? identifier : ""] = formatType;
}

void NBFEvalMetadataAppendAccumulator(NBFEvalMetadataRef metadata, NBFEvalMetadataRef other) {
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, other, NBFOperatorTypeNone);
}

void NBFEvalMetadataAppendAccumulatorForOperation(NBFEvalMetadataRef metadata,
                                                  NBFEvalMetadataRef other,
                                                  NBFOperatorType operatorType) {
    if (!metadata || !other || metadata == other) return;
    if (operatorType == NBFOperatorTypeUnitConversion) {
        metadata->requiredNumerator.clear();
        metadata->requiredDenominator.clear();
        metadata->requiredNumerator.setAll(other->preferredNumerator);
        metadata->requiredNumerator.setAll(other->requiredNumerator);
        metadata->requiredDenominator.setAll(other->preferredDenominator);
        metadata->requiredDenominator.setAll(other->requiredDenominator);
        metadata->preferredNumerator.setAll(metadata->requiredNumerator);
        metadata->preferredDenominator.setAll(metadata->requiredDenominator);
    } else {
        metadata->preferredNumerator.setAll(other->preferredNumerator);
        metadata->preferredDenominator.setAll(other->preferredDenominator);
        for (const auto& entry : other->preferredNumerator.entries()) {
            metadata->requiredNumerator.erase(entry.first);
        }
        for (const auto& entry : other->preferredDenominator.entries()) {
            metadata->requiredDenominator.erase(entry.first);
        }
        metadata->requiredNumerator.setAll(other->requiredNumerator);
        metadata->requiredDenominator.setAll(other->requiredDenominator);
    }
    for (const auto& [identifier, format] : other->nameFormats) {
        metadata->nameFormats[identifier] = format;
    }
}

namespace {

NBFUnit* unitOfType(const UnitsMap& numerator, const UnitsMap& denominator, NBFUnitType type) {
    if (NBFUnit* unit = numerator.get(type)) return unit;
    return denominator.get(type);
}

NBFEvalUnitsMap unitsOfListedTypes(const UnitsMap& numerator, const UnitsMap& denominator) {
    NBFEvalUnitsMap units;
    for (NBFUnitType type : NBFUnitTypes()) {
        if (NBFUnit* unit = unitOfType(numerator, denominator, type)) units[type] = unit;
    }
    return units;
}

}  // namespace

NBFUnit* NBFEvalMetadataGetPreferredUnitOfType(NBFEvalMetadataRef metadata, NBFUnitType type) {
    if (!metadata) return nullptr;
    return unitOfType(metadata->preferredNumerator, metadata->preferredDenominator, type);
}

NBFUnit* NBFEvalMetadataGetRequiredUnitOfType(NBFEvalMetadataRef metadata, NBFUnitType type) {
    if (!metadata) return nullptr;
    return unitOfType(metadata->requiredNumerator, metadata->requiredDenominator, type);
}

NBFEvalUnitsMap NBFEvalMetadataGetPreferredUnitsMap(NBFEvalMetadataRef metadata) {
    if (!metadata) return NBFEvalUnitsMap();
    return unitsOfListedTypes(metadata->preferredNumerator, metadata->preferredDenominator);
}

NBFEvalUnitsMap NBFEvalMetadataGetRequiredUnitsMap(NBFEvalMetadataRef metadata) {
    if (!metadata) return NBFEvalUnitsMap();
    return unitsOfListedTypes(metadata->requiredNumerator, metadata->requiredDenominator);
}

const NBFUnitNameFormatMap& NBFEvalMetadataGetUnitNameFormatMap(NBFEvalMetadataRef metadata) {
    static const NBFUnitNameFormatMap none;
    return metadata ? metadata->nameFormats : none;
}
