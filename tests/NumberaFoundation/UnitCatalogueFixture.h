// A small catalogue of named units for the unit collection, search index and disambiguation
// tests: lengths, masses, times, temperatures with an offset, a two-word name, two names that
// differ only in letter case (one of them case-sensitive) and the name "m" shared by metre and
// minute, the metre winning ties.
#ifndef NUMBERA_TESTS_FOUNDATION_UNIT_CATALOGUE_FIXTURE_H
#define NUMBERA_TESTS_FOUNDATION_UNIT_CATALOGUE_FIXTURE_H

#include <map>
#include <set>
#include <string>
#include <vector>

#include "NBFString.h"
#include "NBFUnit.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NBFUnitFractionBuilder.h"
#include "UnitTestCatalog.h"

struct UnitCatalogueEntry {
    const char* identifier;
    NBFUnitType type;
    const char* factor;
    const char* offset;  // null for none
    NBF::UnitContainer::NameMap names;
    NBF::UnitContainer::AliasMap aliases;
    std::set<std::string> caseSensitiveNames;
    int32_t tieBreak;
};

inline const std::vector<UnitCatalogueEntry>& unitCatalogueEntries() {
    using N = NBF::UnitContainer::NameMap;
    using A = NBF::UnitContainer::AliasMap;
    // One unit per row, kept as a table.
    // clang-format off
    static const std::vector<UnitCatalogueEntry> entries = {
        {"metre", NBFUnitTypeLength, "1", nullptr,
         N{{1, "metre"}, {2, "metres"}, {4, "m"}}, A{{1, "meter"}, {2, "meters"}}, {}, 10},
        {"kilometre", NBFUnitTypeLength, "1000", nullptr,
         N{{1, "kilometre"}, {2, "kilometres"}, {4, "km"}}, A{}, {}, 0},
        {"centimetre", NBFUnitTypeLength, "0.01", nullptr,
         N{{1, "centimetre"}, {4, "cm"}}, A{}, {}, 0},
        {"millimetre", NBFUnitTypeLength, "0.001", nullptr,
         N{{1, "millimetre"}, {4, "mm"}}, A{}, {}, 0},
        {"megametre", NBFUnitTypeLength, "1000000", nullptr,
         N{{1, "megametre"}, {4, "Mm"}}, A{}, {"Mm"}, 0},
        {"foot", NBFUnitTypeLength, "0.3048", nullptr,
         N{{1, "foot"}, {2, "feet"}, {4, "ft"}}, A{}, {}, 0},
        {"nautical-mile", NBFUnitTypeLength, "1852", nullptr,
         N{{1, "nautical mile"}, {2, "nautical miles"}, {4, "nmi"}}, A{}, {}, 0},
        {"kilogram", NBFUnitTypeMass, "1", nullptr,
         N{{1, "kilogram"}, {2, "kilograms"}, {4, "kg"}}, A{}, {}, 0},
        {"gram", NBFUnitTypeMass, "0.001", nullptr,
         N{{1, "gram"}, {2, "grams"}, {4, "g"}}, A{}, {}, 0},
        {"second", NBFUnitTypeTime, "1", nullptr,
         N{{1, "second"}, {2, "seconds"}, {4, "s"}}, A{{3, "sec"}}, {}, 0},
        {"minute", NBFUnitTypeTime, "60", nullptr,
         N{{1, "minute"}, {2, "minutes"}, {4, "min"}}, A{{3, "m"}}, {}, 5},
        {"hour", NBFUnitTypeTime, "3600", nullptr,
         N{{1, "hour"}, {2, "hours"}, {4, "h"}}, A{}, {}, 0},
        {"kelvin", NBFUnitTypeTemperature, "1", nullptr,
         N{{1, "kelvin"}, {4, "K"}}, A{}, {"K"}, 0},
        {"celsius", NBFUnitTypeTemperature, "1", "273.15",
         N{{1, "degree Celsius"}, {2, "degrees Celsius"}, {4, "°C"}}, A{{1, "celsius"}}, {}, 0},
    };
    // clang-format on
    return entries;
}

// Basic units and their containers for every entry, owned by the catalogue.
class UnitCatalogueFixture {
  public:
    UnitCatalogueFixture() {
        initFoundationConstants();
        for (const UnitCatalogueEntry& entry : unitCatalogueEntries()) {
            NBFUnitRef basic = NBFUnitCreate(entry.type, entry.factor, entry.identifier);
            if (entry.offset) {
                NBFStringRef offset = NBFStringCreateWithUTF8(entry.offset);
                NBFUnitSetOffset(basic, offset);
                NBFStringRelease(offset);
            }
            NBFUnitContainerRef unit = NBFUnitContainerCreate(
                entry.identifier, entry.names, entry.aliases, entry.caseSensitiveNames);
            NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(basic);
            NBFUnitContainerSetUnitFraction(unit, NBFUnitFractionBuilderGetUnitFraction(builder));
            NBFUnitFractionBuilderRelease(builder);
            NBFUnitContainerSetAmbiguousTieBreakFactor(unit, entry.tieBreak);
            m_basic[entry.identifier] = basic;
            m_units[entry.identifier] = unit;
            m_order.push_back(unit);
        }
    }
    ~UnitCatalogueFixture() {
        for (auto& entry : m_units) NBFUnitContainerRelease(entry.second);
        for (auto& entry : m_basic) NBFUnitRelease(entry.second);
    }
    UnitCatalogueFixture(const UnitCatalogueFixture&) = delete;
    UnitCatalogueFixture& operator=(const UnitCatalogueFixture&) = delete;

    NBFUnitContainerRef operator[](const std::string& identifier) const {
        return m_units.at(identifier);
    }
    NBFUnitRef basic(const std::string& identifier) const { return m_basic.at(identifier); }
    // Every container in catalogue order.
    const std::vector<NBFUnitContainerRef>& all() const { return m_order; }

  private:
    std::map<std::string, NBFUnitRef> m_basic;
    std::map<std::string, NBFUnitContainerRef> m_units;
    std::vector<NBFUnitContainerRef> m_order;
};

// Words as strings the caller releases through the holder.
class Words {
  public:
    Words(std::initializer_list<const char*> words) {
        for (const char* word : words) m_words.push_back(NBFStringCreateWithUTF8(word));
    }
    ~Words() {
        for (NBFStringRef word : m_words) NBFStringRelease(word);
    }
    Words(const Words&) = delete;
    Words& operator=(const Words&) = delete;
    const std::vector<NBFStringRef>& get() const { return m_words; }

  private:
    std::vector<NBFStringRef> m_words;
};

inline std::string identifiersOf(const std::vector<NBFUnitContainerRef>& units) {
    std::string text;
    for (NBFUnitContainerRef unit : units)
        text += (text.empty() ? "" : ",") + NBFUnitContainerGetIdentifier_cpp(unit);
    return text;
}

#endif
