// A small catalogue of basic units for the unit tests, and decimal text helpers.
#ifndef NUMBERA_TESTS_FOUNDATION_UNIT_TEST_CATALOG_H
#define NUMBERA_TESTS_FOUNDATION_UNIT_TEST_CATALOG_H

#include <cstdlib>
#include <map>
#include <string>

#include "NBFMAPMContext.h"
#include "NBFNumber.h"
#include "NBFString.h"
#include "NBFUnit.h"
#include "NBFUnitContainer.h"
#include "NBFUnitFractionBuilder.h"
#include "NBFoundation.h"

// Every significant digit in fixed point; "(null)" for a missing value.
inline std::string decimalText(M_APM value) {
    if (!value) return "(null)";
    char* text = m_apm_to_fixpt_stringexp_mt(-1, value, '.', 0, 0);
    std::string result(text);
    std::free(text);
    return result;
}

// Starts the foundation as a program does, once per process, with default settings (which
// answer as unset settings do).
inline void initFoundationConstants() {
    if (NBFoundationIsStarted()) return;
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFoundationInit(settings);
    NBFSettingsRelease(settings);
}

// Basic units by identifier, with their factors to the base unit of their type.
class UnitTestCatalog {
  public:
    UnitTestCatalog() {
        add("m", NBFUnitTypeLength, "1");
        add("km", NBFUnitTypeLength, "1000");
        add("cm", NBFUnitTypeLength, "0.01");
        add("ft", NBFUnitTypeLength, "0.3048");
        add("mi", NBFUnitTypeLength, "1609.344");
        add("s", NBFUnitTypeTime, "1");
        add("min", NBFUnitTypeTime, "60");
        add("h", NBFUnitTypeTime, "3600");
        add("kg", NBFUnitTypeMass, "1");
        add("g", NBFUnitTypeMass, "0.001");
        add("B", NBFUnitTypeComputerStorage, "1");
        add("V", NBFUnitTypeVoltage, "1");
        add("K", NBFUnitTypeTemperature, "1");
        NBFUnitRef celsius = add("degC", NBFUnitTypeTemperature, "1");
        NBFStringRef offset = NBFStringCreateWithUTF8("273.15");
        NBFUnitSetOffset(celsius, offset);
        NBFStringRelease(offset);
    }
    ~UnitTestCatalog() {
        for (auto& entry : m_units) NBFUnitRelease(entry.second);
    }
    UnitTestCatalog(const UnitTestCatalog&) = delete;
    UnitTestCatalog& operator=(const UnitTestCatalog&) = delete;

    NBFUnitRef operator[](const std::string& identifier) const { return m_units.at(identifier); }

    // A new fraction (caller releases) from "unit:power" pairs, e.g. {{"km", 1}, {"h", -1}}.
    NBFUnitFractionRef fraction(std::initializer_list<std::pair<const char*, int>> parts) const {
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        for (const auto& [identifier, power] : parts) {
            builder->addUnit((*this)[identifier], static_cast<int8_t>(power));
        }
        NBFUnitFractionRef result = NBFUnitFractionBuilderCreateUnitFraction(builder);
        NBFUnitFractionBuilderRelease(builder);
        return result;
    }

    // A new container (caller releases) standing for the fraction.
    NBFUnitContainerRef container(const std::string& identifier,
                                  std::initializer_list<std::pair<const char*, int>> parts) const {
        NBFUnitContainerRef unit = NBFUnitContainerCreate(identifier, {}, {});
        NBFUnitFractionRef unitFraction = fraction(parts);
        NBFUnitContainerSetUnitFraction(unit, unitFraction);
        NBFUnitFractionRelease(unitFraction);
        return unit;
    }

  private:
    NBFUnitRef add(const char* identifier, NBFUnitType type, const char* factor) {
        NBFUnitRef unit = NBFUnitCreate(type, factor, identifier);
        m_units[identifier] = unit;
        return unit;
    }
    std::map<std::string, NBFUnitRef> m_units;
};

#endif
