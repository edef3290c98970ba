#include <gtest/gtest.h>

#include <string>

#include "DerivedUnitCatalogue.h"
#include "NBFErrorLog.h"
#include "NBFUnitStringFormatter.h"

namespace {

std::string textOf(NBFStringRef string) {
    if (!string) return "(null)";
    std::string text = NBFStringGetCppString(string);
    NBFStringRelease(string);
    return text;
}

class UnitStringFormatterTest : public ::testing::Test {
  protected:
    UnitStringFormatterTest() {
        composites = {
            {"speed", catalogue.composite("", {{"metre", 1}, {"second", -1}})},
            {"per-second", catalogue.composite("", {{"second", -1}})},
            {"kg/(m s2)",
             catalogue.composite("", {{"kilogram", 1}, {"metre", -1}, {"second", -2}})},
            {"kg m/s2", catalogue.composite("", {{"kilogram", 1}, {"metre", 1}, {"second", -2}})},
            {"m2", catalogue.composite("", {{"metre", 2}})},
            {"ha/h", catalogue.composite("", {{"hectare", 1}, {"hour", -1}})},
            {"named-speed", catalogue.composite("speed", {{"kilometre", 1}, {"hour", -1}})},
        };
    }
    ~UnitStringFormatterTest() override {
        for (auto& entry : composites) NBFUnitContainerRelease(entry.second);
    }

    NBFUnitContainerRef unit(const std::string& name) const {
        auto found = composites.find(name);
        return found != composites.end() ? found->second : catalogue[name];
    }

    std::string format(NBFUnitStringFormatterRef formatter, const std::string& name,
                       NBFUnitFormatType formatType, NBFUnitStringForm form) const {
        return textOf(
            NBFUnitStringFormatterCreateFormattedString(formatter, unit(name), formatType, form));
    }

    DerivedUnitCatalogue catalogue;
    std::map<std::string, NBFUnitContainerRef> composites;
};

TEST_F(UnitStringFormatterTest, NamesPowersAndConnectives) {
    const NBFUnitStringForm one = NBFUnitStringFormSingular, many = NBFUnitStringFormPlural;
    const struct {
        NBFUnitStringConnectiveType connective;
        const char* unit;
        NBFUnitFormatType format;
        NBFUnitStringForm form;
        const char* expected;
    } rows[] = {
        // A unit's own name of the kind asked for.
        {2, "metre", 1, one, "metre"},
        {2, "metre", 1, many, "metres"},
        {2, "metre", 3, many, "m"},
        {2, "metre", 4, many, "metre"},
        {2, "kilogram", 2, many, "kilo"},
        {2, "celsius", 3, one, "°C"},
        {2, "named-speed", 4, many, "speed"},
        // No very short name: the unit is written from its fraction, the singular standing in.
        {2, "metre", 2, many, "metre"},
        // Composite units.
        {2, "speed", 1, many, "metres per second"},
        {2, "speed", 1, one, "metre per second"},
        {2, "speed", 3, many, "m/s"},
        {1, "speed", 3, many, "m per s"},
        {0, "speed", 1, many, "metres/second"},
        {2, "speed", 4, many, "metre/second"},
        {2, "per-second", 1, many, "per second"},
        {2, "per-second", 3, many, "per s"},
        {0, "per-second", 3, many, "/s"},
        {2, "kg/(m s2)", 1, many, "kilograms per metre second^2"},
        {2, "kg/(m s2)", 3, many, "kg/m s^2"},
        {2, "kg m/s2", 1, many, "metre kilograms per second^2"},
        {2, "kg m/s2", 1, one, "metre kilogram per second^2"},
        {2, "m2", 1, many, "metres^2"},
        {2, "m2", 3, one, "m^2"},
        {2, "ha/h", 1, many, "hectares per hour"},
        // The very short name was asked for, so "/" follows even where the singular stands in.
        {2, "ha/h", 2, many, "hectare/hr"},
    };
    for (const auto& row : rows) {
        NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate(row.connective);
        EXPECT_EQ(format(formatter, row.unit, row.format, row.form), row.expected)
            << row.unit << " format " << row.format << " form " << row.form << " connective "
            << row.connective;
        NBFUnitStringFormatterRelease(formatter);
    }
}

TEST_F(UnitStringFormatterTest, TheDefaultConnectiveFollowsTheNumeratorsNames) {
    NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate();
    EXPECT_EQ(format(formatter, "speed", 3, 2), "m/s");
    EXPECT_EQ(format(formatter, "speed", 1, 2), "metres per second");
    NBFUnitStringFormatterSetConnectiveType(formatter, NBFUnitStringConnectiveTypePer);
    EXPECT_EQ(format(formatter, "speed", 3, 2), "m per s");
    NBFUnitStringFormatterSetConnectiveType(formatter, NBFUnitStringConnectiveTypeSlash);
    EXPECT_EQ(format(formatter, "speed", 1, 2), "metres/second");
    NBFUnitStringFormatterRelease(formatter);
}

TEST_F(UnitStringFormatterTest, FormatOverridesApplyToTheirUnitType) {
    NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate();
    NBFUnitStringFormatterSetNameFormatForUnitType(formatter, NBFUnitFormatTypeSymbol,
                                                   NBFUnitTypeLength);
    // The symbol in the numerator makes the connective "/"; mass is still the last, plural.
    EXPECT_EQ(format(formatter, "kg m/s2", 1, 2), "m kilograms/second^2");
    // A short name in the denominator does not change the connective.
    EXPECT_EQ(format(formatter, "kg/(m s2)", 1, 2), "kilograms per m second^2");
    // The unit's own name is used as it is.
    EXPECT_EQ(format(formatter, "metre", 1, 2), "metres");
    NBFUnitStringFormatterSetNameFormatForUnitType(formatter, NBFUnitFormatTypeNone,
                                                   NBFUnitTypeLength);
    EXPECT_EQ(format(formatter, "kg m/s2", 1, 2), "metre kilograms per second^2");
    NBFUnitStringFormatterSetNameFormatForUnitType(formatter, NBFUnitFormatTypeName,
                                                   NBFUnitTypeTime);
    EXPECT_EQ(format(formatter, "speed", 3, 2), "m/second");
    NBFUnitStringFormatterRelease(formatter);
}

TEST_F(UnitStringFormatterTest, AnUnknownFormatLogsAndFallsBackToTheSingular) {
    NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate();
    testing::internal::CaptureStderr();
    std::string text = format(formatter, "speed", 0, 2);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(text, "metre per second");
    EXPECT_NE(log.find("Error!"), std::string::npos);
    EXPECT_NE(log.find("Unexpected type 0"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_EQ(NBFUnitStringFormatterNameTypeForFormat(9, 1), NBFUnitNameTypeNone);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unexpected type 9"), std::string::npos);
    NBFUnitStringFormatterRelease(formatter);
}

TEST_F(UnitStringFormatterTest, NameTypesForFormatsAndForms) {
    const struct {
        NBFUnitFormatType format;
        NBFUnitStringForm form;
        NBFUnitNameType nameType;
    } rows[] = {{1, 1, 1}, {1, 2, 2}, {1, 0, 2}, {2, 1, 3}, {2, 2, 3}, {3, 2, 4}, {4, 1, 5}};
    for (const auto& row : rows) {
        EXPECT_EQ(NBFUnitStringFormatterNameTypeForFormat(row.format, row.form), row.nameType)
            << row.format << " " << row.form;
    }
}

TEST_F(UnitStringFormatterTest, MissingPiecesGiveNull) {
    NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate();
    EXPECT_EQ(NBFUnitStringFormatterCreateFormattedString(formatter, nullptr, 1, 1), nullptr);
    // A name of the kind asked for needs no formatter; a composite does.
    EXPECT_EQ(textOf(NBFUnitStringFormatterCreateFormattedString(nullptr, unit("metre"), 3, 1)),
              "m");
    EXPECT_EQ(NBFUnitStringFormatterCreateFormattedString(nullptr, unit("speed"), 3, 1), nullptr);
    NBFUnitContainerRef empty = NBFUnitContainerCreate("", {}, {});
    EXPECT_EQ(NBFUnitStringFormatterCreateFormattedString(formatter, empty, 1, 1), nullptr);
    NBFUnitContainerRelease(empty);
    // Setters accept a null formatter.
    NBFUnitStringFormatterSetConnectiveType(nullptr, 1);
    NBFUnitStringFormatterSetNameFormatForUnitType(nullptr, 1, NBFUnitTypeLength);
    EXPECT_EQ(NBFUnitStringFormatterRetain(nullptr), nullptr);
    NBFUnitStringFormatterRelease(nullptr);
    NBFUnitStringFormatterRelease(formatter);
}

TEST_F(UnitStringFormatterTest, TextThatDoesNotFitTheBufferGivesNull) {
    NBFUnitRef longUnit = NBFUnitCreate(NBFUnitTypeLength, "1", "long");
    NBFStringRef longName = NBFStringCreateWithCppString(std::string(1500, 'x'));
    NBFUnitSetName(longUnit, longName, NBFUnitNameTypeSingular);
    NBFStringRelease(longName);
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddUnit(builder, longUnit, 1);
    NBFUnitFractionBuilderAddUnit(builder, catalogue.basic("second"), -1);
    NBFUnitContainerRef container = NBFUnitContainerCreate("", {}, {});
    NBFUnitContainerSetUnitFraction(container, NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitStringFormatterRef formatter = NBFUnitStringFormatterCreate();
    std::string fits =
        textOf(NBFUnitStringFormatterCreateFormattedString(formatter, container, 1, 1));
    EXPECT_EQ(fits, std::string(1500, 'x') + " per second");
    NBFUnitFractionBuilderAddUnit(builder, longUnit, 1);
    NBFUnitContainerSetUnitFraction(container, NBFUnitFractionBuilderGetUnitFraction(builder));
    // "x…x^2 per second" fits too: powers of one unit share one name.
    EXPECT_EQ(textOf(NBFUnitStringFormatterCreateFormattedString(formatter, container, 1, 1)),
              std::string(1500, 'x') + "^2 per second");
    NBFUnitRef otherLong = NBFUnitCreate(NBFUnitTypeMass, "1", "heavy");
    NBFStringRef otherName = NBFStringCreateWithCppString(std::string(1500, 'y'));
    NBFUnitSetName(otherLong, otherName, NBFUnitNameTypeSingular);
    NBFStringRelease(otherName);
    NBFUnitFractionBuilderAddUnit(builder, otherLong, 1);
    NBFUnitContainerSetUnitFraction(container, NBFUnitFractionBuilderGetUnitFraction(builder));
    EXPECT_EQ(NBFUnitStringFormatterCreateFormattedString(formatter, container, 1, 1), nullptr);
    NBFUnitStringFormatterRelease(formatter);
    NBFUnitContainerRelease(container);
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitRelease(otherLong);
    NBFUnitRelease(longUnit);
}

}  // namespace
