#include "NCUnitCollection.h"

#include <unicode/uchar.h>

#include "NCEnvironment.h"
#include "NCUtilityFunctions.h"

std::shared_ptr<NCUnitCollection> NCUnitCollection::sharedManager() {
    std::shared_ptr<NCEnvironment> environment = NCEnvironment::current();
    return environment ? environment->unitManager() : nullptr;
}

std::shared_ptr<NCUnitCollection> NCUnitCollection::create() {
    return std::make_shared<NCNewUnitManager>();
}

void NCUnitCollection::removeUnitWithIdentifier(const std::u16string& identifier) {
    if (auto unit = unitWithIdentifier(identifier)) removeUnit(unit);
}

NCNewUnitManager::NCNewUnitManager() : unitCollection(NBFUnitCollectionCreate()) {}

NCNewUnitManager::~NCNewUnitManager() { NBFUnitCollectionRelease(unitCollection); }

std::shared_ptr<NCNewUnitManager> NCNewUnitManager::sharedManager() {
    static const std::shared_ptr<NCNewUnitManager> shared = std::make_shared<NCNewUnitManager>();
    return shared;
}

uint64_t NCNewUnitManager::countOfUnits() const {
    return static_cast<uint64_t>(NBFUnitCollectionGetCountOfUnits(unitCollection));
}

std::vector<std::shared_ptr<NCUnit>> NCNewUnitManager::allUnits() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::shared_ptr<NCUnit>> units;
    units.reserve(unitsByIdentifier.size());
    for (const auto& entry : unitsByIdentifier) units.push_back(entry.second);
    return units;
}

void NCNewUnitManager::addUnits(const std::vector<std::shared_ptr<NCUnit>>& units) {
    if (units.empty()) return;
    std::vector<NBFUnitContainerRef> containers;
    containers.reserve(units.size());
    for (const auto& unit : units)
        if (unit) containers.push_back(unit->nbfUnitContainer());
    NBFUnitCollectionAddUnits(unitCollection, containers.data(),
                              static_cast<int32_t>(containers.size()));
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& unit : units)
        if (unit && unit->identifier()) unitsByIdentifier[*unit->identifier()] = unit;
}

void NCNewUnitManager::removeUnit(const std::shared_ptr<NCUnit>& unit) {
    if (!unit) return;
    NBFUnitCollectionRemoveUnit(unitCollection, unit->nbfUnitContainer());
    std::lock_guard<std::mutex> lock(mutex);
    if (unit->identifier()) unitsByIdentifier.erase(*unit->identifier());
}

uint64_t NCNewUnitManager::countUnitsOfType(NCUnitType type) const {
    if (!NCUnitTypeHasNBFUnitType(type)) return 0;
    return static_cast<uint64_t>(
        NBFUnitCollectionGetCountOfUnitsWithType(unitCollection, NCUnitTypeToNBFUnitType(type)));
}

std::vector<std::shared_ptr<NCUnit>> NCNewUnitManager::unitsOfType(NCUnitType type) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::shared_ptr<NCUnit>> units;
    for (const auto& entry : unitsByIdentifier)
        if (entry.second->type() == type) units.push_back(entry.second);
    return units;
}

std::shared_ptr<NCUnit> NCNewUnitManager::unitWithName(
    const std::optional<std::u16string>& name) const {
    if (!name || name->empty()) return nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto clash = nameClashIdentifiersByName.find(*name);
        if (clash != nameClashIdentifiersByName.end()) {
            auto found = unitsByIdentifier.find(clash->second);
            if (found != unitsByIdentifier.end()) return found->second;
        }
    }
    std::vector<NBF::Ref<NBF::String>> words;
    size_t start = 0;
    while (start < name->size()) {
        size_t end = start;
        while (end < name->size() && !u_isblank((*name)[end])) ++end;
        if (end > start)
            words.push_back(NCNBFStringFromNSStringReference(name->substr(start, end - start)));
        start = end + 1;
    }
    if (words.empty()) return nullptr;
    std::vector<NBFStringRef> wordRefs;
    for (const auto& word : words) wordRefs.push_back(word.get());
    NBF::Ref<NBF::UnitContainer> top = NBFUnitCollectionFindTopUnitMatchingWords(
        unitCollection, wordRefs, nullptr, nullptr, nullptr);
    if (!top) return nullptr;
    return unitWithIdentifier(NBFUTF8ToUTF16(NBFUnitContainerGetIdentifier_cpp(top.get())));
}

std::shared_ptr<NCUnit> NCNewUnitManager::unitWithIdentifier(
    const std::u16string& identifier) const {
    std::lock_guard<std::mutex> lock(mutex);
    auto found = unitsByIdentifier.find(identifier);
    return found == unitsByIdentifier.end() ? nullptr : found->second;
}

void NCNewUnitManager::setDefaultUnitForClashingName(const std::shared_ptr<NCUnit>& unit,
                                                     const std::u16string& name) {
    if (!unit || !unit->identifier()) return;
    std::shared_ptr<NCUnit> previous;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto clash = nameClashIdentifiersByName.find(name);
        if (clash != nameClashIdentifiersByName.end()) {
            auto found = unitsByIdentifier.find(clash->second);
            if (found != unitsByIdentifier.end()) previous = found->second;
        }
        nameClashIdentifiersByName[name] = *unit->identifier();
    }
    if (previous) previous->setInternalAmbiguousTieBreakFactor(0);
    unit->setInternalAmbiguousTieBreakFactor(1);
}

void NCNewUnitManager::setDefaultUnitForType(const std::shared_ptr<NCUnit>& unit, NCUnitType type) {
    if (!NCUnitTypeHasNBFUnitType(type)) return;
    NBFUnitCollectionSetBaseUnit(unitCollection, NCUnitTypeToNBFUnitType(type),
                                 unit ? unit->nbfUnitContainer() : nullptr);
}
