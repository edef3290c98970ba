// The signed power of each unit type, without the units: the shape on which simplification
// and factorisation work. Entries of degree 0 may exist and count as absent. Degrees are held
// wider than a unit fraction's, so offsetting them never wraps; a fraction is made from them
// only when every degree fits.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_TYPE_FRACTION_H
#define NUMBERA_FOUNDATION_NBF_UNIT_TYPE_FRACTION_H

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "NBFUnitType.h"

struct NBFUnitFraction;

namespace NBF {

class UnitTypeFraction {
  public:
    typedef std::map<NBFUnitType, int32_t> Components;

    UnitTypeFraction() = default;
    explicit UnitTypeFraction(Components components) : m_components(std::move(components)) {}
    // A later pair for the same type replaces the earlier one.
    explicit UnitTypeFraction(const std::vector<std::pair<NBFUnitType, int32_t>>& pairs);
    UnitTypeFraction(std::initializer_list<std::pair<NBFUnitType, int32_t>> pairs);
    UnitTypeFraction(NBFUnitType type, int32_t degree);
    UnitTypeFraction(NBFUnitType type1, int32_t degree1, NBFUnitType type2, int32_t degree2);
    UnitTypeFraction(NBFUnitType type1, int32_t degree1, NBFUnitType type2, int32_t degree2,
                     NBFUnitType type3, int32_t degree3);
    UnitTypeFraction(NBFUnitType type1, int32_t degree1, NBFUnitType type2, int32_t degree2,
                     NBFUnitType type3, int32_t degree3, NBFUnitType type4, int32_t degree4);
    // The type degrees of a unit fraction (empty for null).
    explicit UnitTypeFraction(NBFUnitFraction* fraction);

    UnitTypeFraction& degreeIncrement(NBFUnitType type) { return degreeOffset(type, 1); }
    UnitTypeFraction& degreeDecrement(NBFUnitType type) { return degreeOffset(type, -1); }
    UnitTypeFraction& degreeOffset(NBFUnitType type, int32_t delta);
    int32_t degree(NBFUnitType type) const;
    const Components& components() const { return m_components; }

    // Entries whose degree is not 0.
    int32_t countOfComponents() const;
    UnitTypeFraction inverse() const;
    // Every entry (t, d) of this is covered by other: other's degree is at least d for d >= 0
    // and at most d for d < 0. The empty fraction is a subset of anything.
    bool isSubsetOf(const UnitTypeFraction& other) const;
    // "[type:degree]" for each non-zero entry in type order: the key of factorings.
    std::string stringRepresentation() const;
    // Every entry of this has the same degree in other (entries only other has are ignored).
    bool operator==(const UnitTypeFraction& other) const;

  private:
    Components m_components;
};

}  // namespace NBF

#endif
