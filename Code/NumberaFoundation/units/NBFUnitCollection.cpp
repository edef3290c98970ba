#include "NBFUnitCollection.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>

#include "NBFNumber.h"
#include "NBFUnitSearchIndex.h"

namespace {

using UnitRef = NBF::Ref<NBF::UnitContainer>;

// A relative in a scale-ordered link set. The scalar is a snapshot taken when the link is
// made, so the set's order cannot change under it when a unit's fraction is later replaced.
struct OrderedUnitItem {
    UnitRef unit;
    NBF::Ref<NBF::Number> scalar;
};

// Ascending scalar; items of equal scalar are one item. Also compares against a bare value.
struct OrderedUnitItem_lt {
    using is_transparent = void;
    bool operator()(const OrderedUnitItem& a, const OrderedUnitItem& b) const {
        return m_apm_compare_mt(a.scalar->mapmRef(), b.scalar->mapmRef()) < 0;
    }
    bool operator()(const OrderedUnitItem& a, M_APM value) const {
        return m_apm_compare_mt(a.scalar->mapmRef(), value) < 0;
    }
    bool operator()(M_APM value, const OrderedUnitItem& b) const {
        return m_apm_compare_mt(value, b.scalar->mapmRef()) < 0;
    }
};

typedef std::set<OrderedUnitItem, OrderedUnitItem_lt> OrderedUnitSet;

const std::string& identifierOf(NBFUnitContainerRef unit) {
    return NBFUnitContainerGetIdentifier_cpp(unit);
}

}  // namespace

struct NBFUnitCollection : NBF::Object<NBFUnitCollection> {
    mutable std::shared_mutex lock;
    std::vector<UnitRef> units;
    std::multimap<NBFUnitType, NBFUnitContainerRef> unitsByType;  // borrowed from units
    std::map<NBFUnitType, UnitRef> baseUnits;
    std::map<std::string, std::map<int8_t, UnitRef>> siExponentLinks;
    std::map<std::string, OrderedUnitSet> orderedLinks;
    std::map<std::string, UnitRef> unityLinks;
    NBFUnitSearchIndexRef const searchIndex = NBFUnitSearchIndexCreate();

    ~NBFUnitCollection() override { NBFUnitSearchIndexRelease(searchIndex); }

    bool holdsIdentifier(const std::string& identifier) const {
        return std::any_of(units.begin(), units.end(), [&](const UnitRef& held) {
            return identifierOf(held.get()) == identifier;
        });
    }

    void addLinks(NBFUnitContainerRef unit, NBFUnitContainerRef linkedUnit) {
        unityLinks[identifierOf(linkedUnit)] = UnitRef::retainOf(unit);
        unityLinks.try_emplace(identifierOf(unit), UnitRef::retainOf(unit));
        OrderedUnitSet& ordered = orderedLinks[identifierOf(unit)];
        for (NBFUnitContainerRef member : {linkedUnit, unit}) {
            ordered.insert({UnitRef::retainOf(member),
                            NBF::Ref<NBF::Number>::adopt(NBFNumberCreateWithMAPM(
                                NBFUnitContainerGetScalarMAPM(member), NBFNumberTypeNumber))});
        }
    }

    // Links hold their units, so a removed unit must not stay reachable through them. Links
    // kept under its identifier go only when no other held unit has that identifier.
    void dropLinks(NBFUnitContainerRef removed) {
        const std::string& identifier = identifierOf(removed);
        if (!holdsIdentifier(identifier)) {
            siExponentLinks.erase(identifier);
            orderedLinks.erase(identifier);
            unityLinks.erase(identifier);
        }
        for (auto& [key, byExponent] : siExponentLinks)
            std::erase_if(byExponent,
                          [&](const auto& entry) { return entry.second.get() == removed; });
        for (auto& [key, ordered] : orderedLinks)
            std::erase_if(ordered,
                          [&](const OrderedUnitItem& item) { return item.unit.get() == removed; });
        std::erase_if(unityLinks, [&](const auto& entry) { return entry.second.get() == removed; });
    }
};

NBFUnitCollectionRef NBFUnitCollectionCreate() { return new NBFUnitCollection(); }

NBFUnitCollectionRef NBFUnitCollectionRetain(NBFUnitCollectionRef collection) {
    return NBF::retain(collection);
}

void NBFUnitCollectionRelease(NBFUnitCollectionRef collection) { NBF::release(collection); }

void NBFUnitCollectionAddUnits(NBFUnitCollectionRef collection, NBFUnitContainerRef const* units,
                               int32_t count) {
    if (!collection || !units || count < 1) return;
    // The index is updated under the collection's lock too (always taken first), so a removal
    // racing this addition finds the unit either nowhere or both in the list and the index.
    std::unique_lock guard(collection->lock);
    for (int32_t i = 0; i < count; ++i) {
        NBFUnitContainerRef unit = units[i];
        if (!unit) continue;
        collection->units.push_back(UnitRef::retainOf(unit));
        NBFUnitType type = NBFUnitContainerGetUnitType(unit);
        collection->unitsByType.emplace(type, unit);
        if (!collection->baseUnits.count(type) && NBFUnitContainerIsBaseUnit(unit))
            collection->baseUnits.emplace(type, UnitRef::retainOf(unit));
    }
    NBFUnitSearchIndexAddUnits(collection->searchIndex, units, count);
}

void NBFUnitCollectionAddUnit(NBFUnitCollectionRef collection, NBFUnitContainerRef unit) {
    NBFUnitCollectionAddUnits(collection, &unit, 1);
}

void NBFUnitCollectionRemoveUnit(NBFUnitCollectionRef collection, NBFUnitContainerRef unit) {
    if (!collection || !unit) return;
    UnitRef removed;
    {
        std::unique_lock guard(collection->lock);
        auto& units = collection->units;
        auto held = std::find_if(units.begin(), units.end(), [&](const UnitRef& candidate) {
            return identifierOf(candidate.get()) == identifierOf(unit);
        });
        if (held == units.end()) return;
        removed = std::move(*held);
        units.erase(held);
        // Found by object: the entry's type is that of the fraction the unit had when added.
        auto& byType = collection->unitsByType;
        auto entry = std::find_if(byType.begin(), byType.end(),
                                  [&](const auto& item) { return item.second == removed.get(); });
        if (entry != byType.end()) byType.erase(entry);
        // A unit added twice stays the base unit and keeps its links while it is still held.
        bool stillHeld = std::any_of(units.begin(), units.end(), [&](const UnitRef& other) {
            return other.get() == removed.get();
        });
        if (!stillHeld) {
            std::erase_if(collection->baseUnits,
                          [&](const auto& item) { return item.second.get() == removed.get(); });
            collection->dropLinks(removed.get());
        }

        NBFUnitSearchIndexRef index = collection->searchIndex;
        NBFUnitSearchIndexRemoveUnit(index, removed.get());
        // The index tells units apart by identifier: another held unit with this identifier
        // lost its names with the removed one's and gets them back.
        for (const UnitRef& other : units)
            if (identifierOf(other.get()) == identifierOf(removed.get()))
                NBFUnitSearchIndexAddUnit(index, other.get());
    }
}

int32_t NBFUnitCollectionGetCountOfUnits(NBFUnitCollectionRef collection) {
    if (!collection) return 0;
    std::shared_lock guard(collection->lock);
    return static_cast<int32_t>(collection->units.size());
}

int32_t NBFUnitCollectionGetCountOfUnitsWithType(NBFUnitCollectionRef collection,
                                                 NBFUnitType type) {
    if (!collection) return 0;
    std::shared_lock guard(collection->lock);
    return static_cast<int32_t>(collection->unitsByType.count(type));
}

void NBFUnitCollectionSetBaseUnit(NBFUnitCollectionRef collection, NBFUnitType type,
                                  NBFUnitContainerRef unit) {
    if (!collection) return;
    std::unique_lock guard(collection->lock);
    if (unit)
        collection->baseUnits[type] = UnitRef::retainOf(unit);
    else
        collection->baseUnits.erase(type);
}

NBFUnitContainerRef NBFUnitCollectionGetBaseUnit(NBFUnitCollectionRef collection,
                                                 NBFUnitType type) {
    if (!collection) return nullptr;
    std::shared_lock guard(collection->lock);
    auto found = collection->baseUnits.find(type);
    return found == collection->baseUnits.end() ? nullptr : found->second.get();
}

NBFUnitContainerRef NBFUnitCollectionCopyBaseUnit(NBFUnitCollectionRef collection,
                                                  NBFUnitType type) {
    if (!collection) return nullptr;
    std::shared_lock guard(collection->lock);
    auto found = collection->baseUnits.find(type);
    return found == collection->baseUnits.end() ? nullptr : NBF::retain(found->second.get());
}

void NBFUnitCollectionAddSIExponentLink(NBFUnitCollectionRef collection, NBFUnitContainerRef unit,
                                        NBFUnitContainerRef linkedUnit, int8_t exponent) {
    if (!collection || !unit || !linkedUnit) return;
    if (!NBFUnitContainerGetScalarMAPM(unit) || !NBFUnitContainerGetScalarMAPM(linkedUnit)) return;
    std::unique_lock guard(collection->lock);
    collection->siExponentLinks[identifierOf(unit)][exponent] = UnitRef::retainOf(linkedUnit);
    collection->addLinks(unit, linkedUnit);
}

void NBFUnitCollectionAddNonSILink(NBFUnitCollectionRef collection, NBFUnitContainerRef unit,
                                   NBFUnitContainerRef linkedUnit) {
    if (!collection || !unit || !linkedUnit) return;
    if (!NBFUnitContainerGetScalarMAPM(unit) || !NBFUnitContainerGetScalarMAPM(linkedUnit)) return;
    std::unique_lock guard(collection->lock);
    collection->addLinks(unit, linkedUnit);
}

NBFUnitContainerRef NBFUnitCollectionGetUnityLinkedUnit(NBFUnitCollectionRef collection,
                                                        NBFUnitContainerRef unit) {
    if (!collection || !unit) return nullptr;
    std::shared_lock guard(collection->lock);
    auto found = collection->unityLinks.find(identifierOf(unit));
    return found == collection->unityLinks.end() ? nullptr : found->second.get();
}

NBFUnitContainerRef NBFUnitCollectionGetSIExponentUnit(NBFUnitCollectionRef collection,
                                                       NBFUnitContainerRef unit, int8_t exponent) {
    if (exponent == 0) return unit;
    if (!collection || !unit) return nullptr;
    std::shared_lock guard(collection->lock);
    auto links = collection->siExponentLinks.find(identifierOf(unit));
    if (links == collection->siExponentLinks.end()) return nullptr;
    auto found = links->second.find(exponent);
    return found == links->second.end() ? nullptr : found->second.get();
}

NBFUnitContainerRef NBFUnitCollectionFindFirstLinkedUnitWithScalarLessThanOrEqualToMAPM(
    NBFUnitCollectionRef collection, NBFUnitContainerRef unit, M_APM value) {
    if (!collection || !unit || !value) return nullptr;
    std::shared_lock guard(collection->lock);
    auto links = collection->orderedLinks.find(identifierOf(unit));
    if (links == collection->orderedLinks.end()) return nullptr;
    auto above = links->second.upper_bound(value);
    if (above == links->second.begin()) return nullptr;
    return std::prev(above)->unit.get();
}

NBFUnitCollectionSearchResults NBFUnitCollectionFindUnitsMatchingWords(
    NBFUnitCollectionRef collection, const std::vector<NBFStringRef>& words, bool* hasLongerMatches,
    bool* exactCase) {
    bool longer = false;
    NBFUnitCollectionSearchResults exact;
    NBFUnitCollectionSearchResults candidates;
    if (collection) {
        NBFUnitSearchIndexResults entries =
            NBFUnitSearchIndexFindUnits(collection->searchIndex, words, &longer);
        for (const NBFUnitSearchIndexResult& entry : entries) {
            bool exactMatch = entry.words.size() == words.size();
            for (size_t i = 0; exactMatch && i < words.size(); ++i)
                exactMatch = NBFStringCompare(entry.words[i].get(), words[i]) == 0;
            if (exactMatch) exact.push_back({entry.unit, entry.formatType});
            if (exactMatch || !NBFUnitContainerIsNameCaseSensitive(
                                  entry.unit.get(), NBFStringGetCppString(entry.name.get())))
                candidates.push_back({entry.unit, entry.formatType});
        }
    }
    if (hasLongerMatches) *hasLongerMatches = longer;
    if (exactCase) *exactCase = !exact.empty();
    return exact.empty() ? candidates : exact;
}

NBF::Ref<NBF::UnitContainer> NBFUnitCollectionFindTopUnitMatchingWords(
    NBFUnitCollectionRef collection, const std::vector<NBFStringRef>& words, bool* hasLongerMatches,
    bool* exactCase, NBFUnitFormatType* formatType) {
    NBFUnitCollectionSearchResults results =
        NBFUnitCollectionFindUnitsMatchingWords(collection, words, hasLongerMatches, exactCase);
    if (formatType) *formatType = results.empty() ? NBFUnitFormatTypeNone : results[0].formatType;
    return results.empty() ? NBF::Ref<NBF::UnitContainer>() : results[0].unit;
}

std::vector<NBFUnitContainerRef> NBFUnitCollectionUnitsFromSearchResults(
    const NBFUnitCollectionSearchResults& results) {
    std::vector<NBFUnitContainerRef> units;
    units.reserve(results.size());
    for (const NBFUnitCollectionSearchResult& result : results) units.push_back(result.unit.get());
    return units;
}

NBFUnitFractionRef NBFUnitFractionCreateFromTypeFraction(
    NBFUnitCollectionRef unitCollection, NBFMAPMAccumulatorRef accumulator,
    NBFUnitFractionRef referenceFraction, const NBFEvalUnitsMap& preferredUnits,
    const NBF::UnitTypeFraction& typeFraction) {
    // The base units found stay held until the builder has taken their units.
    std::vector<UnitRef> held;
    return NBFUnitFractionCreateFromTypeFraction(
        [&](NBFUnitType type) {
            held.push_back(UnitRef::adopt(NBFUnitCollectionCopyBaseUnit(unitCollection, type)));
            return held.back().get();
        },
        accumulator, referenceFraction, preferredUnits, typeFraction);
}
