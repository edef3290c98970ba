#include "NBFUnitTypeFactorings.h"

#include <mutex>
#include <set>

#include "NBFSettings.h"

namespace NBF {

UnitTypeFactoring* UnitTypeFactoring::create(const UnitTypeFraction& decomposed,
                                             const UnitTypeFraction& factorized) {
    return new UnitTypeFactoring(decomposed, factorized, false);
}

UnitTypeFactoring* UnitTypeFactoring::create(const UnitTypeFraction& decomposed,
                                             const UnitTypeFraction& factorized, bool trivial) {
    return new UnitTypeFactoring(decomposed, factorized, trivial);
}

UnitTypeFactoring* UnitTypeFactoring::createInverse() const {
    return new UnitTypeFactoring(m_decomposed.inverse(), m_factorized.inverse(), m_trivial);
}

std::string UnitTypeFactoring::key() const {
    return m_decomposed.stringRepresentation() + "->" + m_factorized.stringRepresentation();
}

bool UnitTypeFactoring::operator==(const UnitTypeFactoring& other) const {
    return m_decomposed == other.m_decomposed && m_factorized == other.m_factorized;
}

namespace {

typedef UnitTypeFactorings::FactoringList FactoringList;

Ref<UnitTypeFactoring> relation(const UnitTypeFraction& decomposed,
                                const UnitTypeFraction& factorized, bool trivial = false) {
    return Ref<UnitTypeFactoring>::adopt(
        UnitTypeFactoring::create(decomposed, factorized, trivial));
}

// Rows shared by both tables: powers and quotients of length and time, and frequency.
FactoringList lengthAndTimeRelations() {
    return {
        relation({{NBFUnitTypeLength, 3}}, {{NBFUnitTypeVolume, 1}}, true),
        relation({{NBFUnitTypeLength, 2}}, {{NBFUnitTypeArea, 1}}, true),
        relation({{NBFUnitTypeLength, 2}}, {{NBFUnitTypeVolume, 1}, {NBFUnitTypeLength, -1}}),
        relation({{NBFUnitTypeLength, 1}, {NBFUnitTypeTime, -1}}, {{NBFUnitTypeVelocity, 1}}, true),
        relation({{NBFUnitTypeLength, 1}, {NBFUnitTypeTime, -2}}, {{NBFUnitTypeAcceleration, 1}},
                 true),
        relation({{NBFUnitTypeTime, -1}}, {{NBFUnitTypeFrequency, 1}}),
    };
}

// Only relations that keep at least as many types on the decomposed side as on the factorized
// side are worth deriving: the others merely restate a relation with more types.
bool isWorthKeeping(const UnitTypeFactoring& factoring) {
    return factoring.decomposed().countOfComponents() >= factoring.factorized().countOfComponents();
}

struct Tables {
    UnitTypeFactorings* standard = nullptr;
    UnitTypeFactorings* experimental = nullptr;
};

std::once_flag tablesBuilt;
Tables tables;  // kept for the life of the process

void buildTables() {
    tables.standard =
        UnitTypeFactorings::create(UnitTypeFactorings::standardBaseRelations(), false);
    tables.experimental =
        UnitTypeFactorings::create(UnitTypeFactorings::experimentalBaseRelations(), true);
}

}  // namespace

FactoringList UnitTypeFactorings::standardBaseRelations() {
    FactoringList relations = lengthAndTimeRelations();
    relations.push_back(
        relation({{NBFUnitTypeCurrent, 1}, {NBFUnitTypeResistance, 1}}, {{NBFUnitTypeVoltage, 1}}));
    relations.push_back(relation({{NBFUnitTypeVoltage, 1}, {NBFUnitTypeResistance, -1}},
                                 {{NBFUnitTypeCurrent, 1}}));
    relations.push_back(relation({{NBFUnitTypeVoltage, 1}, {NBFUnitTypeCurrent, -1}},
                                 {{NBFUnitTypeResistance, 1}}));
    relations.push_back(
        relation({{NBFUnitTypeVoltage, 1}, {NBFUnitTypeCurrent, 1}}, {{NBFUnitTypePower, 1}}));
    // Energy, force and pressure over power, time and length, so that kilowatt hours meet
    // kilowatts times hours, joules watt seconds and newton metres, and pascals newtons per
    // square metre. Mass stays apart: voltage and resistance are base types here, and only the
    // experimental table takes them down to mass, length, time and current.
    relations.push_back(
        relation({{NBFUnitTypePower, 1}, {NBFUnitTypeTime, 1}}, {{NBFUnitTypeEnergy, 1}}));
    relations.push_back(
        relation({{NBFUnitTypeEnergy, 1}, {NBFUnitTypeLength, -1}}, {{NBFUnitTypeForce, 1}}));
    relations.push_back(
        relation({{NBFUnitTypeForce, 1}, {NBFUnitTypeLength, -2}}, {{NBFUnitTypePressure, 1}}));
    return relations;
}

FactoringList UnitTypeFactorings::experimentalBaseRelations() {
    FactoringList relations = lengthAndTimeRelations();
    auto add = [&relations](std::initializer_list<std::pair<NBFUnitType, int32_t>> decomposed,
                            NBFUnitType factorized) {
        relations.push_back(relation(UnitTypeFraction(decomposed), {{factorized, 1}}));
    };
    const NBFUnitType mass = NBFUnitTypeMass, length = NBFUnitTypeLength;
    const NBFUnitType time = NBFUnitTypeTime, current = NBFUnitTypeCurrent;
    add({{mass, 1}, {length, 2}, {time, -2}}, NBFUnitTypeEnergy);
    add({{mass, 1}, {length, 2}, {time, -3}}, NBFUnitTypePower);
    add({{mass, 1}, {length, 2}, {current, -1}, {time, -3}}, NBFUnitTypeVoltage);
    add({{mass, 1}, {length, 2}, {current, -2}, {time, -3}}, NBFUnitTypeResistance);
    add({{mass, 1}, {length, 1}, {time, -2}}, NBFUnitTypeForce);
    // Force per area: without it a pressure written in newtons per square metre could not
    // meet the pascal.
    add({{mass, 1}, {length, -1}, {time, -2}}, NBFUnitTypePressure);
    return relations;
}

UnitTypeFactorings* UnitTypeFactorings::create(const FactoringList& baseRelations,
                                               bool experimental) {
    std::map<std::string, Ref<UnitTypeFactoring>> byKey;
    auto put = [&byKey](Ref<UnitTypeFactoring> factoring) {
        std::string key = factoring->key();
        byKey[key] = std::move(factoring);
    };
    for (const Ref<UnitTypeFactoring>& base : baseRelations) {
        if (!base) continue;
        put(base);
        put(Ref<UnitTypeFactoring>::adopt(base->createInverse()));
        for (const auto& [type, degree] : base->decomposed().components()) {
            if (degree == 0) continue;
            // The type stays recorded at degree 0, so the derived relation applies only where
            // the fraction does not hold the type with the opposite sign.
            int32_t step = degree > 0 ? -1 : 1;
            UnitTypeFraction decomposed = base->decomposed();
            UnitTypeFraction factorized = base->factorized();
            decomposed.degreeOffset(type, step);
            factorized.degreeOffset(type, step);
            auto derived = relation(decomposed, factorized);
            auto inverse = Ref<UnitTypeFactoring>::adopt(derived->createInverse());
            if (!isWorthKeeping(*derived) || !isWorthKeeping(*inverse)) continue;
            put(std::move(derived));
            put(std::move(inverse));
        }
    }

    auto* table = new UnitTypeFactorings();
    table->m_experimental = experimental;
    for (auto& entry : byKey) {
        UnitTypeFactoring* factoring = entry.second.get();
        table->m_factorings.push_back(entry.second);
        for (const auto& component : factoring->decomposed().components()) {
            table->m_byDecomposedType.emplace(component.first, factoring);
        }
        for (const auto& component : factoring->factorized().components()) {
            table->m_byFactorizedType.emplace(component.first, factoring);
        }
        table->m_byFactorizedKey[factoring->factorized().stringRepresentation()] = factoring;
        table->m_byDecomposedKey[factoring->decomposed().stringRepresentation()] = factoring;
    }
    return table;
}

void UnitTypeFactorings::initialize() { std::call_once(tablesBuilt, buildTables); }

UnitTypeFactorings* UnitTypeFactorings::instance() {
    return NBFSettingsGetBool(NBFSettingEnableExperimentalUnits) ? experimentalInstance()
                                                                 : standardInstance();
}

UnitTypeFactorings* UnitTypeFactorings::standardInstance() {
    initialize();
    return tables.standard;
}

UnitTypeFactorings* UnitTypeFactorings::experimentalInstance() {
    initialize();
    return tables.experimental;
}

std::vector<UnitTypeFactoring*> UnitTypeFactorings::factorizations(
    const UnitTypeFraction& typeFraction) const {
    std::set<const UnitTypeFactoring*> found;
    for (const auto& [type, degree] : typeFraction.components()) {
        if (degree == 0) continue;
        auto range = m_byDecomposedType.equal_range(type);
        for (auto entry = range.first; entry != range.second; ++entry) {
            if (entry->second->decomposed().isSubsetOf(typeFraction)) found.insert(entry->second);
        }
    }
    std::vector<UnitTypeFactoring*> result;
    if (found.empty()) return result;
    for (const Ref<UnitTypeFactoring>& factoring : m_factorings) {
        if (found.count(factoring.get())) result.push_back(factoring.get());
    }
    return result;
}

std::vector<UnitTypeFactoring*> UnitTypeFactorings::decompositions(NBFUnitType type) const {
    std::vector<UnitTypeFactoring*> result;
    auto range = m_byFactorizedType.equal_range(type);
    for (auto entry = range.first; entry != range.second; ++entry) {
        if (entry->second->factorized().degree(type) != 0) result.push_back(entry->second);
    }
    return result;
}

bool UnitTypeFactorings::hasFactorizationForUnitTypeFraction(
    const UnitTypeFraction& typeFraction) const {
    return m_byFactorizedKey.count(typeFraction.stringRepresentation()) != 0;
}

UnitTypeFactoring* UnitTypeFactorings::factoringForFactorizedUnitTypeFraction(
    const UnitTypeFraction& typeFraction) const {
    auto found = m_byFactorizedKey.find(typeFraction.stringRepresentation());
    return found == m_byFactorizedKey.end() ? nullptr : found->second;
}

UnitTypeFactoring* UnitTypeFactorings::factoringForDecomposedUnitTypeFraction(
    const UnitTypeFraction& typeFraction) const {
    auto found = m_byDecomposedKey.find(typeFraction.stringRepresentation());
    return found == m_byDecomposedKey.end() ? nullptr : found->second;
}

bool UnitTypeFactorings::isBaseUnitType(NBFUnitType type) const {
    switch (type) {
        case NBFUnitTypeLength:
        case NBFUnitTypeMass:
        case NBFUnitTypeMoney:
        case NBFUnitTypeTime:
        case NBFUnitTypeTemperature:
        case NBFUnitTypeComputerStorage:
        case NBFUnitTypeCurrent:
            return true;
        case NBFUnitTypeVoltage:
        case NBFUnitTypeResistance:
            return !m_experimental;
        default:
            return false;
    }
}

}  // namespace NBF
