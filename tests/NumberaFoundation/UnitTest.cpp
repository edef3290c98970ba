#include <gtest/gtest.h>

#include "NBFUnit.h"
#include "NBFUnitContainer.h"
#include "UnitTestCatalog.h"

namespace {

struct StringOwner {
    explicit StringOwner(const char* text) : string(NBFStringCreateWithUTF8(text)) {}
    ~StringOwner() { NBFStringRelease(string); }
    NBFStringRef string;
};

std::string text(NBFStringRef string) { return string ? NBFStringGetCppString(string) : "(null)"; }

TEST(Unit, SIExponentOfTheBaseFactor) {
    struct Row {
        const char* factor;
        int8_t exponent;
    } rows[] = {
        {"1", 0},        {"10", 1},     {"100", 2},     {"1000", 3},   {"1000000", 6},
        {"1e24", 24},    {"1e27", 117}, {"10000", 117}, {"1024", 117}, {"0.001", 117},
        {"0.3048", 117}, {"0", 117},    {"-1000", 117}, {"2000", 117}, {"1e21", 21},
    };
    for (const Row& row : rows) {
        NBFUnitRef unit = NBFUnitCreate(NBFUnitTypeLength, row.factor);
        EXPECT_EQ(NBFUnitGetSIExponent(unit), row.exponent) << row.factor;
        EXPECT_EQ(NBFUnitIsSIBaseUnit(unit), row.exponent != 117) << row.factor;
        NBFUnitRelease(unit);
    }
}

TEST(Unit, NamePreferringType) {
    StringOwner singular("metre"), veryShort("mtr"), symbol("m");
    NBFUnitRef unit = NBFUnitCreate(NBFUnitTypeLength, "1", "meter-id");
    EXPECT_EQ(text(NBFUnitGetNamePreferringType(unit, NBFUnitNameTypeSymbol)), "meter-id");
    NBFUnitSetName(unit, veryShort.string, NBFUnitNameTypeVeryShort);
    EXPECT_EQ(text(NBFUnitGetNamePreferringType(unit, NBFUnitNameTypeSymbol)), "mtr");
    EXPECT_EQ(text(NBFUnitGetNamePreferringType(unit, NBFUnitNameTypePlural)), "meter-id");
    NBFUnitSetName(unit, singular.string, NBFUnitNameTypeSingular);
    EXPECT_EQ(text(NBFUnitGetNamePreferringType(unit, NBFUnitNameTypePlural)), "metre");
    NBFUnitSetName(unit, symbol.string, NBFUnitNameTypeSymbol);
    EXPECT_EQ(text(NBFUnitGetNamePreferringType(unit, NBFUnitNameTypeSymbol)), "m");
    EXPECT_EQ(text(NBFUnitGetNamePreferringType(unit, NBFUnitNameTypeIdentifier)), "meter-id");
    NBFUnitSetName(unit, nullptr, NBFUnitNameTypeSymbol);  // changes nothing
    EXPECT_EQ(text(NBFUnitGetName(unit, NBFUnitNameTypeSymbol)), "m");
    EXPECT_STREQ(NBFUnitGetIdentifier(unit), "meter-id");
    NBFUnitRelease(unit);
}

TEST(Unit, AnUnknownNameTypeStopsTheProcess) {
    NBFUnitRef unit = NBFUnitCreate(NBFUnitTypeLength, "1");
    EXPECT_DEATH(NBFUnitGetName(unit, 5), "Unexpected unit name type");
    NBFUnitRelease(unit);
}

TEST(Unit, AliasesFactorAndOffset) {
    StringOwner alias("metres"), offset("273.15"), sameOffset("273.15");
    NBFUnitRef unit = NBFUnitCreate(NBFUnitTypeTemperature, "1.8");
    NBFUnitAddAlias(unit, alias.string, NBFUnitNameTypePlural);
    NBFArrayRef aliases = NBFUnitGetAliasesArrayReference(unit, NBFUnitNameTypePlural);
    ASSERT_EQ(NBFArrayCount(aliases), 1);
    EXPECT_EQ(NBFArrayGetItemAtIndex(aliases, 0), alias.string);
    EXPECT_EQ(NBFArrayCount(NBFUnitGetAliasesArrayReference(unit, NBFUnitNameTypeSymbol)), 0);

    EXPECT_EQ(NBFUnitGetOffsetMAPMReference(unit), nullptr);
    NBFUnitSetOffset(unit, offset.string);
    EXPECT_EQ(decimalText(NBFUnitGetOffsetMAPMReference(unit)), "273.15");
    NBFUnitSetOffset(unit, sameOffset.string);  // equal text: the first stays
    EXPECT_EQ(NBFUnitGetOffset(unit), offset.string);

    EXPECT_EQ(decimalText(NBFUnitGetBaseFactorMAPMReference(unit)), "1.8");
    NBFUnitSetBaseFactor(unit, "2.54");
    EXPECT_STREQ(NBFUnitGetBaseFactor(unit), "2.54");
    EXPECT_EQ(decimalText(NBFUnitGetBaseFactorMAPMReference(unit)), "2.54");
    NBFUnitRelease(unit);
}

TEST(Unit, RatioFactorsMultiplyExactly) {
    struct Row {
        const char* factor;
        const char* value;      // the decimal value's first digits
        const char* timesNine;  // 9 × factor, as an exact ratio divided out
    } rows[] = {
        {"5/9", "0.5555555555", "5"},
        {"0.0254/72", "0.0003527777", "0.003175"},
        {"2.54", "2.54", "22.86"},
        {"5/0", "0", "0"},  // no such ratio: like an unparseable factor
        {"x/9", "0", "0"},
    };
    for (const Row& row : rows) {
        NBFUnitRef unit = NBFUnitCreate(NBFUnitTypeTemperature, row.factor);
        EXPECT_EQ(decimalText(NBFUnitGetBaseFactorMAPMReference(unit)).rfind(row.value, 0), 0u)
            << row.factor;
        M_APM up = m_apm_init_mt();
        M_APM down = m_apm_init_mt();
        M_APM quotient = m_apm_init_mt();
        m_apm_enter();
        m_apm_set_string(up, "9");
        m_apm_set_string(down, "1");
        NBFUnitMultiplyExactBaseFactor(unit, up, down);
        m_apm_divide(quotient, 50, up, down);
        m_apm_leave();
        EXPECT_EQ(decimalText(quotient), row.timesNine) << row.factor;
        m_apm_free_mt(up);
        m_apm_free_mt(down);
        m_apm_free_mt(quotient);
        NBFUnitRelease(unit);
    }
    // The decimal value of a ratio keeps 100 significant digits.
    NBFUnitRef ninth = NBFUnitCreate(NBFUnitTypeLength, "1/9");
    EXPECT_EQ(decimalText(NBFUnitGetBaseFactorMAPMReference(ninth)), "0." + std::string(100, '1'));
    NBFUnitRelease(ninth);
}

TEST(Unit, EqualityComparesTypeAndFactorValue) {
    NBFUnitRef a = NBFUnitCreate(NBFUnitTypeLength, "1000", "km");
    NBFUnitRef b = NBFUnitCreate(NBFUnitTypeLength, "1e3", "kilometre");
    NBFUnitRef c = NBFUnitCreate(NBFUnitTypeMass, "1000", "t");
    EXPECT_TRUE(NBFUnitIsEqualToUnit(a, b));
    EXPECT_FALSE(NBFUnitIsEqualToUnit(a, c));
    EXPECT_FALSE(NBFUnitIsEqualToUnit(a, nullptr));
    EXPECT_TRUE(NBFUnitIsEqualToUnit(nullptr, nullptr));
    NBF::UniqueObj order;
    EXPECT_TRUE(order(b, a));  // "kilometre" < "km"
    EXPECT_FALSE(order(a, a));
    NBFUnitRelease(a);
    NBFUnitRelease(b);
    NBFUnitRelease(c);
}

TEST(Unit, NullUnitsAreTolerated) {
    EXPECT_EQ(NBFUnitRetain(nullptr), nullptr);
    NBFUnitRelease(nullptr);
    EXPECT_EQ(NBFUnitGetType(nullptr), NBFUnitTypeNone);
    EXPECT_EQ(NBFUnitGetBaseFactorMAPMReference(nullptr), nullptr);
    EXPECT_EQ(NBFUnitGetNamePreferringType(nullptr, 1), nullptr);
    EXPECT_FALSE(NBFUnitIsSIBaseUnit(nullptr));
}

TEST(UnitContainer, NamesAliasesAndCaseSensitivity) {
    NBFUnitContainerRef container = NBFUnitContainerCreate(
        "metre", {{NBFUnitNameTypeSingular, "metre"}, {NBFUnitNameTypeSymbol, "m"}},
        {{NBFUnitNameTypePlural, "metres"}, {NBFUnitNameTypePlural, "m"}}, {"m"});
    EXPECT_EQ(NBFUnitContainerGetNameForType(container, NBFUnitNameTypeSingular), "metre");
    EXPECT_EQ(NBFUnitContainerGetNameForType(container, NBFUnitNameTypeIdentifier), "metre");
    EXPECT_EQ(NBFUnitContainerGetNameForType(container, NBFUnitNameTypeVeryShort), "");
    EXPECT_FALSE(NBFUnitContainerHasNameForType(container, NBFUnitNameTypeVeryShort));
    EXPECT_EQ(NBFUnitContainerGetNameTypeForName(container, "metres"), NBFUnitNameTypePlural);
    // Listed as a name and as an alias: the alias's type wins.
    EXPECT_EQ(NBFUnitContainerGetNameTypeForName(container, "m"), NBFUnitNameTypePlural);
    EXPECT_EQ(NBFUnitContainerGetNameTypeForName(container, "yard"), NBFUnitNameTypeNone);
    EXPECT_TRUE(NBFUnitContainerIsNameCaseSensitive(container, "m"));
    EXPECT_FALSE(NBFUnitContainerIsNameCaseSensitive(container, "metre"));
    EXPECT_EQ(NBFUnitContainerGetNames(container).size(), 2u);
    EXPECT_EQ(text(NBFUnitContainerGetNames(container).at(NBFUnitNameTypeSymbol)), "m");
    EXPECT_EQ(NBFUnitContainerGetAliases(container).count(NBFUnitNameTypePlural), 2u);
    EXPECT_STREQ(NBFUnitContainerGetIdentifier(container), "metre");
    EXPECT_EQ(NBFUnitContainerGetScalarMAPM(container), nullptr);
    EXPECT_FALSE(NBFUnitContainerIsBaseUnit(container));
    EXPECT_EQ(NBFUnitContainerGetUnitType(container), NBFUnitTypeNone);
    NBFUnitContainerRelease(container);
    EXPECT_EQ(NBFUnitContainerGetNameForType(nullptr, 1), "");
}

TEST(UnitContainer, ScalarAndTypeComeFromTheFraction) {
    UnitTestCatalog units;
    NBFUnitContainerRef km = units.container("km", {{"km", 1}});
    NBFUnitContainerRef metre = units.container("m", {{"m", 1}});
    NBFUnitContainerRef speed = units.container("kph", {{"km", 1}, {"h", -1}});
    EXPECT_EQ(decimalText(NBFUnitContainerGetScalarMAPM(km)), "1000");
    EXPECT_FALSE(NBFUnitContainerIsBaseUnit(km));
    EXPECT_TRUE(NBFUnitContainerIsBaseUnit(metre));
    EXPECT_EQ(NBFUnitContainerGetUnitType(km), NBFUnitTypeLength);
    EXPECT_EQ(NBFUnitContainerGetUnitType(speed), NBFUnitTypeVelocity);
    EXPECT_EQ(NBFUnitTypeBitmapMakeWithUnitContainer(speed),
              NBFUnitTypeBitmapMake(NBFUnitTypeLength) | NBFUnitTypeBitmapMake(NBFUnitTypeTime));
    NBFUnitContainerSetCanBePrefixUnit(km, true);
    NBFUnitContainerSetAmbiguousTieBreakFactor(km, 7);
    EXPECT_TRUE(NBFUnitContainerCanBePrefixUnit(km));
    EXPECT_EQ(NBFUnitContainerGetAmbiguousTieBreakFactor(km), 7);
    NBFUnitContainerRelease(km);
    NBFUnitContainerRelease(metre);
    NBFUnitContainerRelease(speed);
}

}  // namespace
