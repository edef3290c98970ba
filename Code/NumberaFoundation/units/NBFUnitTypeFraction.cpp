#include "NBFUnitTypeFraction.h"

#include "NBFUnitFraction.h"

namespace NBF {

UnitTypeFraction::UnitTypeFraction(const std::vector<std::pair<NBFUnitType, int32_t>>& pairs) {
    for (const auto& [type, degree] : pairs) m_components[type] = degree;
}

UnitTypeFraction::UnitTypeFraction(std::initializer_list<std::pair<NBFUnitType, int32_t>> pairs) {
    for (const auto& [type, degree] : pairs) m_components[type] = degree;
}

UnitTypeFraction::UnitTypeFraction(NBFUnitType type, int32_t degree) {
    m_components[type] = degree;
}

UnitTypeFraction::UnitTypeFraction(NBFUnitType type1, int32_t degree1, NBFUnitType type2,
                                   int32_t degree2)
    : UnitTypeFraction({{type1, degree1}, {type2, degree2}}) {}

UnitTypeFraction::UnitTypeFraction(NBFUnitType type1, int32_t degree1, NBFUnitType type2,
                                   int32_t degree2, NBFUnitType type3, int32_t degree3)
    : UnitTypeFraction({{type1, degree1}, {type2, degree2}, {type3, degree3}}) {}

UnitTypeFraction::UnitTypeFraction(NBFUnitType type1, int32_t degree1, NBFUnitType type2,
                                   int32_t degree2, NBFUnitType type3, int32_t degree3,
                                   NBFUnitType type4, int32_t degree4)
    : UnitTypeFraction({{type1, degree1}, {type2, degree2}, {type3, degree3}, {type4, degree4}}) {}

UnitTypeFraction::UnitTypeFraction(NBFUnitFraction* fraction) {
    for (const auto& [type, degree] : NBFUnitFractionGetDegrees(fraction)) {
        m_components[type] = degree;
    }
}

UnitTypeFraction& UnitTypeFraction::degreeOffset(NBFUnitType type, int32_t delta) {
    m_components[type] += delta;
    return *this;
}

int32_t UnitTypeFraction::degree(NBFUnitType type) const {
    auto found = m_components.find(type);
    return found == m_components.end() ? 0 : found->second;
}

int32_t UnitTypeFraction::countOfComponents() const {
    int32_t count = 0;
    for (const auto& entry : m_components) count += entry.second != 0;
    return count;
}

UnitTypeFraction UnitTypeFraction::inverse() const {
    Components inverted;
    for (const auto& [type, degree] : m_components) inverted[type] = -degree;
    return UnitTypeFraction(std::move(inverted));
}

bool UnitTypeFraction::isSubsetOf(const UnitTypeFraction& other) const {
    for (const auto& [type, degree] : m_components) {
        int32_t theirs = other.degree(type);
        if (degree >= 0 ? theirs < degree : theirs > degree) return false;
    }
    return true;
}

std::string UnitTypeFraction::stringRepresentation() const {
    std::string text;
    for (const auto& [type, degree] : m_components) {
        if (degree == 0) continue;
        const char* identifier = NBFUnitTypeIdentifier(type);
        text += '[';
        text += identifier ? identifier : "";
        text += ':';
        text += std::to_string(degree);
        text += ']';
    }
    return text;
}

bool UnitTypeFraction::operator==(const UnitTypeFraction& other) const {
    for (const auto& [type, degree] : m_components) {
        if (other.degree(type) != degree) return false;
    }
    return true;
}

}  // namespace NBF
