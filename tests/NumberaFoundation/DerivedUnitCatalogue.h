// A catalogue of units of base and derived types for the simplifier, factorizer and unit
// string formatter tests: lengths, masses and times, square metres and hectares, cubic metres
// and litres, velocities, accelerations, frequencies, newton, joule and watt, the electrical
// units and temperatures with an offset. The first unit of factor 1 of each type is the base
// unit of its type in the collection.
#ifndef NUMBERA_TESTS_FOUNDATION_DERIVED_UNIT_CATALOGUE_H
#define NUMBERA_TESTS_FOUNDATION_DERIVED_UNIT_CATALOGUE_H

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "NBFString.h"
#include "NBFUnit.h"
#include "NBFUnitCollection.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFraction.h"
#include "NBFUnitFractionBuilder.h"
#include "NBFUnitTypeFraction.h"
#include "UnitTestCatalog.h"

struct DerivedUnitEntry {
    const char* identifier;
    NBFUnitType type;
    const char* factor;
    const char* offset;  // null for none
    const char* singular;
    const char* plural;     // null for none
    const char* veryShort;  // null for none
    const char* symbol;     // null for none
};

inline const std::vector<DerivedUnitEntry>& derivedUnitEntries() {
    static const std::vector<DerivedUnitEntry> entries = {
        {"metre", NBFUnitTypeLength, "1", nullptr, "metre", "metres", nullptr, "m"},
        {"kilometre", NBFUnitTypeLength, "1000", nullptr, "kilometre", "kilometres", nullptr, "km"},
        {"centimetre", NBFUnitTypeLength, "0.01", nullptr, "centimetre", "centimetres", nullptr,
         "cm"},
        {"kilogram", NBFUnitTypeMass, "1", nullptr, "kilogram", "kilograms", "kilo", "kg"},
        {"gram", NBFUnitTypeMass, "0.001", nullptr, "gram", "grams", nullptr, "g"},
        {"second", NBFUnitTypeTime, "1", nullptr, "second", "seconds", "sec", "s"},
        {"hour", NBFUnitTypeTime, "3600", nullptr, "hour", "hours", "hr", "h"},
        {"square-metre", NBFUnitTypeArea, "1", nullptr, "square metre", "square metres", nullptr,
         "m²"},
        {"hectare", NBFUnitTypeArea, "10000", nullptr, "hectare", "hectares", nullptr, "ha"},
        {"cubic-metre", NBFUnitTypeVolume, "1", nullptr, "cubic metre", "cubic metres", nullptr,
         "m³"},
        {"litre", NBFUnitTypeVolume, "0.001", nullptr, "litre", "litres", nullptr, "L"},
        {"metre-per-second", NBFUnitTypeVelocity, "1", nullptr, "metre per second",
         "metres per second", nullptr, "m/s"},
        {"foot-per-second", NBFUnitTypeVelocity, "0.3048", nullptr, "foot per second",
         "feet per second", nullptr, "ft/s"},
        {"metre-per-second-squared", NBFUnitTypeAcceleration, "1", nullptr,
         "metre per second squared", nullptr, nullptr, "m/s²"},
        {"standard-gravity", NBFUnitTypeAcceleration, "9.80665", nullptr, "standard gravity",
         nullptr, nullptr, "g0"},
        {"hertz", NBFUnitTypeFrequency, "1", nullptr, "hertz", "hertz", nullptr, "Hz"},
        {"kilohertz", NBFUnitTypeFrequency, "1000", nullptr, "kilohertz", "kilohertz", nullptr,
         "kHz"},
        {"newton", NBFUnitTypeForce, "1", nullptr, "newton", "newtons", nullptr, "N"},
        {"joule", NBFUnitTypeEnergy, "1", nullptr, "joule", "joules", nullptr, "J"},
        {"kilojoule", NBFUnitTypeEnergy, "1000", nullptr, "kilojoule", "kilojoules", nullptr, "kJ"},
        {"watt", NBFUnitTypePower, "1", nullptr, "watt", "watts", nullptr, "W"},
        {"kilowatt", NBFUnitTypePower, "1000", nullptr, "kilowatt", "kilowatts", nullptr, "kW"},
        {"volt", NBFUnitTypeVoltage, "1", nullptr, "volt", "volts", nullptr, "V"},
        {"ampere", NBFUnitTypeCurrent, "1", nullptr, "ampere", "amperes", "amp", "A"},
        {"ohm", NBFUnitTypeResistance, "1", nullptr, "ohm", "ohms", nullptr, "Ω"},
        {"kelvin", NBFUnitTypeTemperature, "1", nullptr, "kelvin", "kelvins", nullptr, "K"},
        {"celsius", NBFUnitTypeTemperature, "1", "273.15", "degree Celsius", "degrees Celsius",
         nullptr, "°C"},
        {"byte", NBFUnitTypeComputerStorage, "1", nullptr, "byte", "bytes", nullptr, "B"},
        {"dollar", NBFUnitTypeMoney, "1", nullptr, "dollar", "dollars", nullptr, "$"},
    };
    return entries;
}

struct UnitFractionReleaser {
    void operator()(NBFUnitFractionRef fraction) const { NBFUnitFractionRelease(fraction); }
};
typedef std::unique_ptr<NBFUnitFraction, UnitFractionReleaser> UnitFractionHolder;

typedef std::vector<std::pair<std::string, int>> UnitPowers;

// Basic units and their containers, named in every name type the entry gives, and a unit
// collection holding the containers.
class DerivedUnitCatalogue {
  public:
    DerivedUnitCatalogue() : m_collection(NBFUnitCollectionCreate()) {
        initFoundationConstants();
        for (const DerivedUnitEntry& entry : derivedUnitEntries()) add(entry);
    }
    ~DerivedUnitCatalogue() {
        NBFUnitCollectionRelease(m_collection);
        for (auto& entry : m_units) NBFUnitContainerRelease(entry.second);
        for (auto& entry : m_basic) NBFUnitRelease(entry.second);
    }
    DerivedUnitCatalogue(const DerivedUnitCatalogue&) = delete;
    DerivedUnitCatalogue& operator=(const DerivedUnitCatalogue&) = delete;

    NBFUnitContainerRef operator[](const std::string& identifier) const {
        return m_units.at(identifier);
    }
    NBFUnitRef basic(const std::string& identifier) const { return m_basic.at(identifier); }
    NBFUnitCollectionRef collection() const { return m_collection; }
    const std::map<std::string, NBFUnitRef>& basicUnits() const { return m_basic; }

    // A new fraction from basic units with powers, e.g. {{"kilometre", 1}, {"hour", -1}}.
    UnitFractionHolder fraction(const UnitPowers& parts) const {
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        for (const auto& [identifier, power] : parts) {
            builder->addUnit(basic(identifier), static_cast<int8_t>(power));
        }
        UnitFractionHolder result(NBFUnitFractionBuilderCreateUnitFraction(builder));
        NBFUnitFractionBuilderRelease(builder);
        return result;
    }

    // A new container without names (the caller releases it) standing for the fraction.
    NBFUnitContainerRef composite(const std::string& identifier, const UnitPowers& parts,
                                  const NBF::UnitContainer::NameMap& names = {}) const {
        NBFUnitContainerRef unit = NBFUnitContainerCreate(identifier, names, {});
        UnitFractionHolder unitFraction = fraction(parts);
        NBFUnitContainerSetUnitFraction(unit, unitFraction.get());
        return unit;
    }

  private:
    void add(const DerivedUnitEntry& entry) {
        NBFUnitRef unit = NBFUnitCreate(entry.type, entry.factor, entry.identifier);
        if (entry.offset) {
            NBFStringRef offset = NBFStringCreateWithUTF8(entry.offset);
            NBFUnitSetOffset(unit, offset);
            NBFStringRelease(offset);
        }
        NBF::UnitContainer::NameMap names;
        const std::pair<NBFUnitNameType, const char*> named[] = {
            {NBFUnitNameTypeSingular, entry.singular},
            {NBFUnitNameTypePlural, entry.plural},
            {NBFUnitNameTypeVeryShort, entry.veryShort},
            {NBFUnitNameTypeSymbol, entry.symbol}};
        for (const auto& [nameType, text] : named) {
            if (!text) continue;
            NBFStringRef name = NBFStringCreateWithUTF8(text);
            NBFUnitSetName(unit, name, nameType);
            NBFStringRelease(name);
            names[nameType] = text;
        }
        NBFUnitContainerRef container = NBFUnitContainerCreate(entry.identifier, names, {});
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(unit);
        NBFUnitContainerSetUnitFraction(container, NBFUnitFractionBuilderGetUnitFraction(builder));
        NBFUnitFractionBuilderRelease(builder);
        NBFUnitCollectionAddUnit(m_collection, container);
        m_basic[entry.identifier] = unit;
        m_units[entry.identifier] = container;
    }

    NBFUnitCollectionRef m_collection;
    std::map<std::string, NBFUnitRef> m_basic;
    std::map<std::string, NBFUnitContainerRef> m_units;
};

// "hour^-1 kilometre": each distinct unit by identifier with its power when not 1.
inline std::string describeUnits(NBFUnitFractionRef fraction) {
    if (!fraction) return "(null)";
    std::string text;
    for (const auto& [unit, degree] : NBFUnitFractionGetUnitDegrees(fraction)) {
        if (degree == 0) continue;
        if (!text.empty()) text += ' ';
        text += NBFUnitGetIdentifier(unit);
        if (degree != 1) text += "^" + std::to_string(degree);
    }
    return text;
}

// Equal to within one part in 10^90, or both absent.
inline bool decimalNearlyEquals(M_APM value, M_APM expected) {
    if (!value || !expected) return !value && !expected;
    M_APM difference = m_apm_init();
    M_APM bound = m_apm_init();
    M_APM tolerance = m_apm_init();
    m_apm_set_string(tolerance, "1e-90");
    m_apm_subtract(difference, value, expected);
    m_apm_absolute_value(difference, difference);
    m_apm_absolute_value(bound, expected);
    m_apm_multiply(bound, bound, tolerance);
    bool equal = m_apm_compare(difference, bound) <= 0;
    m_apm_free(difference);
    m_apm_free(bound);
    m_apm_free(tolerance);
    return equal;
}

// Null text stands for an absent value.
inline bool decimalNearlyEquals(M_APM value, const char* expected) {
    if (!value || !expected) return !value && !expected;
    M_APM wanted = m_apm_init();
    m_apm_set_string(wanted, expected);
    bool equal = decimalNearlyEquals(value, wanted);
    m_apm_free(wanted);
    return equal;
}

#endif
