#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NBFUnitFraction.h"
#include "NBFUnitTypeFraction.h"
#include "UnitTestCatalog.h"

namespace {

std::string identifiers(const std::vector<NBFUnit*>& units) {
    std::string text;
    for (NBFUnit* unit : units) {
        text += std::string(text.empty() ? "" : " ") + NBFUnitGetIdentifier(unit);
    }
    return text;
}

const std::string kOver3600 = "0.2" + std::string(99, '7') + "8";  // 1000/3600 to 101 digits

struct FractionRow {
    std::vector<std::pair<const char*, int>> parts;
    const char* numerator;
    const char* denominator;
    const char* degrees;
    NBFUnitType unitType;
    std::string multiplier;
    std::string unitMultiplier;
    std::string extraMultiplier;
};

TEST(UnitFraction, BuiltFractions) {
    const FractionRow rows[] = {
        {{{"km", 1}, {"m", -1}}, "", "", "", 0, "1000", "(null)", "1000"},
        {{{"m", 2}, {"s", -1}}, "m m", "s", "[length:2][time:-1]", 1, "1", "1", "(null)"},
        {{{"s", -1}}, "", "s", "[time:-1]", NBFUnitTypeFrequency, "1", "1", "(null)"},
        {{{"m", 1}, {"s", -1}},
         "m",
         "s",
         "[length:1][time:-1]",
         NBFUnitTypeVelocity,
         "1",
         "1",
         "(null)"},
        {{{"B", 1}, {"s", -1}},
         "B",
         "s",
         "[time:-1][comp storage:1]",
         NBFUnitTypeComputerThroughput,
         "1",
         "1",
         "(null)"},
        {{{"m", 1}}, "m", "", "[length:1]", NBFUnitTypeLength, "1", "1", "(null)"},
        {{{"kg", 1}, {"m", 1}, {"s", -1}},
         "kg m",
         "s",
         "[length:1][mass:1][time:-1]",
         NBFUnitTypeVelocity,
         "1",
         "1",
         "(null)"},
        {{{"km", 1}, {"h", -1}},
         "km",
         "h",
         "[length:1][time:-1]",
         NBFUnitTypeVelocity,
         kOver3600,
         kOver3600,
         "(null)"},
        // The latest-added kilometre survives; the metre it stands for becomes 0.001 km.
        {{{"m", 1}, {"km", 1}, {"km", -1}},
         "km",
         "",
         "[length:1]",
         NBFUnitTypeLength,
         "1",
         "1000",
         "0.001"},
        {{{"km", 1}, {"h", 1}, {"h", -1}},
         "km",
         "",
         "[length:1]",
         NBFUnitTypeLength,
         "1000",
         "1000",
         "(null)"},
        {{{"m", 1}, {"h", 1}, {"s", -1}, {"km", -1}}, "", "", "", 0, "3.6", "(null)", "3.6"},
        {{{"km", 1}, {"s", 1}, {"h", -1}, {"m", -1}},
         "",
         "",
         "",
         0,
         kOver3600,
         "(null)",
         kOver3600},
        {{{"ft", 2}},
         "ft ft",
         "",
         "[length:2]",
         NBFUnitTypeMixed,
         "0.09290304",
         "0.09290304",
         "(null)"},
        {{{"g", 1}, {"cm", -3}},
         "g",
         "cm cm cm",
         "[length:-3][mass:1]",
         NBFUnitTypeMixed,
         "1000",
         "1000",
         "(null)"},
        {{}, "", "", "", 0, "1", "(null)", "(null)"},
    };
    UnitTestCatalog units;
    for (const FractionRow& row : rows) {
        NBFUnitFractionRef fraction =
            NBFUnitFractionCreateWithComponents({}, {}, nullptr, nullptr, nullptr);
        NBFUnitFractionRelease(fraction);
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        for (const auto& [identifier, power] : row.parts) {
            builder->addUnit(units[identifier], static_cast<int8_t>(power));
        }
        fraction = NBFUnitFractionBuilderGetUnitFraction(builder);
        SCOPED_TRACE(row.degrees);
        ASSERT_NE(fraction, nullptr);
        EXPECT_EQ(identifiers(NBFUnitFractionGetNumeratorUnits(fraction)), row.numerator);
        EXPECT_EQ(identifiers(NBFUnitFractionGetDenominatorUnits(fraction)), row.denominator);
        EXPECT_EQ(NBFUnitFractionGetStringRepresentation(fraction), row.degrees);
        EXPECT_EQ(NBFUnitFractionGetUnitType(fraction), row.unitType);
        EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(fraction)), row.multiplier);
        EXPECT_EQ(decimalText(NBFUnitFractionGetUnitMultiplier(fraction)), row.unitMultiplier);
        EXPECT_EQ(decimalText(NBFUnitFractionGetExtraMultiplier(fraction)), row.extraMultiplier);
        EXPECT_EQ(NBFUnitFractionIsScalar(fraction), std::string(row.degrees).empty());
        NBFUnitFractionBuilderRelease(builder);
    }
}

TEST(UnitFraction, PerTypeQueries) {
    UnitTestCatalog units;
    NBFUnitFractionRef fraction = units.fraction({{"m", 2}, {"s", -1}, {"kg", 1}});
    EXPECT_EQ(NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeLength), 2);
    EXPECT_EQ(NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeTime), -1);
    EXPECT_EQ(NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeMoney), 0);
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnitOfType(fraction, NBFUnitTypeLength), units["m"]);
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnitOfType(fraction, NBFUnitTypeTime), nullptr);
    EXPECT_EQ(NBFUnitFractionGetOnlyDenominatorUnitOfType(fraction, NBFUnitTypeTime), units["s"]);
    EXPECT_EQ(identifiers(NBFUnitFractionGetNumeratorUnitsOfType(fraction, NBFUnitTypeLength)),
              "m m");
    EXPECT_EQ(identifiers(NBFUnitFractionGetDenominatorUnitsOfType(fraction, NBFUnitTypeTime)),
              "s");
    EXPECT_EQ(NBFUnitFractionGetNumeratorTotalDegree(fraction), 3);
    EXPECT_EQ(NBFUnitFractionGetDenominatorTotalDegree(fraction), 1);
    EXPECT_EQ(NBFUnitFractionCountNumeratorUnits(fraction), 2);
    EXPECT_EQ(NBFUnitFractionCountDenominatorUnits(fraction), 1);
    EXPECT_EQ(identifiers(NBFUnitFractionGetUnits(fraction)), "kg m s");
    EXPECT_FALSE(NBFUnitFractionHasOnlyOneUnityDegreeNumeratorUnit(fraction));
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnit(fraction), units["kg"]);
    NBFUnitFractionRelease(fraction);

    NBFUnitFractionRef cancelled = units.fraction({{"km", 1}, {"h", -1}, {"h", 1}});
    NBFUnitsByTypeMap byType = NBFUnitFractionGetUnitsByType(cancelled);
    EXPECT_EQ(byType[NBFUnitTypeTime], units["h"]);  // kept for later conversions
    EXPECT_TRUE(NBFUnitFractionHasOnlyOneUnityDegreeNumeratorUnit(cancelled));
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnit(cancelled), units["km"]);
    NBFUnitFractionRelease(cancelled);
}

TEST(UnitFraction, OffsetUnits) {
    UnitTestCatalog units;
    NBFUnitFractionRef celsius = units.fraction({{"degC", 1}});
    NBFUnitFractionRef kelvin = units.fraction({{"K", 1}});
    NBFUnitFractionRef perCelsius = units.fraction({{"m", 1}, {"degC", -1}});
    EXPECT_TRUE(NBFUnitFractionHasOnlyOneOffsetNumeratorUnit(celsius));
    EXPECT_EQ(decimalText(NBFUnitFractionGetOffsetMAPMReference(celsius)), "273.15");
    EXPECT_FALSE(NBFUnitFractionHasOnlyOneOffsetNumeratorUnit(kelvin));
    EXPECT_EQ(NBFUnitFractionGetOffsetMAPMReference(kelvin), nullptr);
    EXPECT_FALSE(NBFUnitFractionHasOnlyOneOffsetNumeratorUnit(perCelsius));
    NBFUnitFractionRelease(celsius);
    NBFUnitFractionRelease(kelvin);
    NBFUnitFractionRelease(perCelsius);
}

TEST(UnitFraction, TypeComparisonAndEquality) {
    UnitTestCatalog units;
    struct Row {
        std::vector<std::pair<const char*, int>> a, b;
        bool compares, inverse, equal;
    } rows[] = {
        {{{"m", 1}, {"s", -1}}, {{"s", 1}, {"m", -1}}, true, true, false},
        {{{"m", 1}, {"s", -1}}, {{"km", 1}, {"h", -1}}, true, false, false},
        {{{"km", 1}}, {{"m", 1}}, true, false, false},
        {{{"km", 1}}, {{"km", 1}}, true, false, true},
        {{}, {{"km", 1}, {"m", -1}}, true, false, false},
        {{{"km", 1}, {"m", -1}},
         {{"h", 1}, {"min", -1}, {"km", 1}, {"m", -1}, {"min", 1}, {"h", -1}},
         true,
         false,
         true},
        {{{"m", 1}}, {{"kg", 1}}, false, false, false},
        {{{"m", 2}}, {{"m", 1}}, false, false, false},
    };
    for (const Row& row : rows) {
        NBFUnitFractionBuilderRef a = NBFUnitFractionBuilderCreate();
        NBFUnitFractionBuilderRef b = NBFUnitFractionBuilderCreate();
        for (const auto& [id, power] : row.a) a->addUnit(units[id], static_cast<int8_t>(power));
        for (const auto& [id, power] : row.b) b->addUnit(units[id], static_cast<int8_t>(power));
        bool inverse = !row.inverse;
        NBFUnitFractionRef fa = a->getUnitFraction();
        NBFUnitFractionRef fb = b->getUnitFraction();
        EXPECT_EQ(NBFUnitFractionTypesCompare(fa, fb, &inverse), row.compares);
        EXPECT_EQ(inverse, row.inverse);
        EXPECT_EQ(NBFUnitFractionIsEqualToUnitFraction(fa, fb), row.equal);
        NBFUnitFractionBuilderRelease(a);
        NBFUnitFractionBuilderRelease(b);
    }
    EXPECT_TRUE(NBFUnitFractionIsEqualToUnitFraction(nullptr, nullptr));
    EXPECT_FALSE(NBFUnitFractionTypesCompare(nullptr, nullptr, nullptr));
}

TEST(UnitFraction, DistinctObjectsWithOneIdentifierAreOneUnit) {
    NBFUnitRef first = NBFUnitCreate(NBFUnitTypeLength, "1000", "km");
    NBFUnitRef second = NBFUnitCreate(NBFUnitTypeLength, "1000", "km");
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    builder->addUnit(first, 1)->addUnit(second, 1);
    NBFUnitFractionRef fraction = builder->getUnitFraction();
    EXPECT_EQ(NBFUnitFractionGetUnits(fraction).size(), 1u);
    EXPECT_EQ(NBFUnitFractionGetUnitDegrees(fraction).begin()->second, 2);
    EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(fraction)), "1000000");
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitRelease(first);
    NBFUnitRelease(second);
}

TEST(UnitFraction, CopiesRecomputeTheMultiplier) {
    UnitTestCatalog units;
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    builder->addUnit(units["km"], 1)->setExtraMultiplier("2.5");
    NBFUnitFractionRef original = builder->getUnitFraction();
    EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(original)), "2500");
    EXPECT_EQ(decimalText(NBFUnitFractionGetExtraMultiplier(original)), "2.5");
    NBFUnitFractionRef copy = NBFUnitFractionCopy(original);
    EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(copy)), "1000");
    EXPECT_FALSE(NBFUnitFractionHasExtraMultiplier(copy));
    NBFUnitFractionRef plain = NBFUnitFractionCopyWithoutExtraMultiplier(original);
    EXPECT_TRUE(NBFUnitFractionIsEqualToUnitFraction(copy, plain));
    NBFUnitFractionRelease(copy);
    NBFUnitFractionRelease(plain);
    NBFUnitFractionBuilderRelease(builder);
    EXPECT_EQ(NBFUnitFractionCopy(nullptr), nullptr);
}

TEST(UnitFraction, KeptCopiesFollowAChangedBaseFactor) {
    // A copy is kept and handed out again, until a unit's base factor changes: then the next
    // copy has the new multiplier, whether copied from the original or from an older copy.
    NBFUnitRef metre = NBFUnitCreate(NBFUnitTypeLength, "1", "m");
    NBFUnitRef rate = NBFUnitCreate(NBFUnitTypeMoney, "0.9", "EUR");
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    builder->addUnit(rate, 1)->addUnit(metre, -1)->addUnit(metre, 1)->addUnit(metre, -1);
    NBFUnitFractionRef original = builder->getUnitFraction();
    NBFUnitFractionRef first = NBFUnitFractionCopy(original);
    NBFUnitFractionRef again = NBFUnitFractionCopy(original);
    NBFUnitFractionRef ofCopy = NBFUnitFractionCopy(first);
    EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(first)), "0.9");
    EXPECT_EQ(again, first);
    EXPECT_EQ(ofCopy, first);
    struct Step {
        const char* factor;
        const char* multiplier;
    } steps[] = {{"0.95", "0.95"}, {"1.25", "1.25"}, {"0.9", "0.9"}};
    for (const Step& step : steps) {
        NBFUnitSetBaseFactor(rate, step.factor);
        NBFUnitFractionRef fromOriginal = NBFUnitFractionCopy(original);
        NBFUnitFractionRef fromOldCopy = NBFUnitFractionCopy(first);
        EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(fromOriginal)), step.multiplier);
        EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(fromOldCopy)), step.multiplier);
        EXPECT_TRUE(NBFUnitFractionIsEqualToUnitFraction(fromOriginal, fromOldCopy));
        NBFUnitFractionRelease(fromOriginal);
        NBFUnitFractionRelease(fromOldCopy);
    }
    for (NBFUnitFractionRef fraction : {first, again, ofCopy}) NBFUnitFractionRelease(fraction);
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitRelease(metre);
    NBFUnitRelease(rate);
}

TEST(UnitTypeFraction, KeysSubsetsAndInverse) {
    using NBF::UnitTypeFraction;
    EXPECT_EQ(UnitTypeFraction().stringRepresentation(), "");
    UnitTypeFraction density(NBFUnitTypeVolume, 1, NBFUnitTypeLength, -1, NBFUnitTypeMass, 0);
    EXPECT_EQ(density.stringRepresentation(), "[length:-1][volume:1]");
    EXPECT_EQ(density.countOfComponents(), 2);
    EXPECT_EQ(density.inverse().stringRepresentation(), "[length:1][volume:-1]");
    UnitTypeFraction pairs(std::vector<std::pair<NBFUnitType, int32_t>>{{2, 1}, {2, 3}});
    EXPECT_EQ(pairs.degree(NBFUnitTypeLength), 3);

    struct Row {
        UnitTypeFraction a, b;
        bool subset;
    } rows[] = {
        {UnitTypeFraction(), UnitTypeFraction(2, 1), true},
        {UnitTypeFraction(2, 1), UnitTypeFraction(2, 2), true},
        {UnitTypeFraction(2, 2), UnitTypeFraction(2, 1), false},
        {UnitTypeFraction(5, -1), UnitTypeFraction(5, -2, 2, 1), true},
        {UnitTypeFraction(5, -2), UnitTypeFraction(5, -1), false},
        {UnitTypeFraction(5, -1), UnitTypeFraction(5, 1), false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.a.isSubsetOf(row.b), row.subset)
            << row.a.stringRepresentation() << " in " << row.b.stringRepresentation();
    }

    UnitTypeFraction velocity(NBFUnitTypeLength, 1, NBFUnitTypeTime, -1);
    UnitTypeFraction wider(NBFUnitTypeLength, 1, NBFUnitTypeTime, -1, NBFUnitTypeMass, 1);
    EXPECT_TRUE(velocity == wider);  // entries only the other has are not looked at
    EXPECT_FALSE(wider == velocity);
    velocity.degreeIncrement(NBFUnitTypeMass).degreeDecrement(NBFUnitTypeTime).degreeOffset(2, 4);
    EXPECT_EQ(velocity.stringRepresentation(), "[length:5][mass:1][time:-2]");
}

TEST(UnitTypeFraction, FromAUnitFraction) {
    UnitTestCatalog units;
    NBFUnitFractionRef fraction = units.fraction({{"km", 1}, {"h", -2}});
    EXPECT_EQ(NBF::UnitTypeFraction(fraction).stringRepresentation(), "[length:1][time:-2]");
    EXPECT_EQ(NBFUnitFractionGetDegrees(fraction).at(NBFUnitTypeTime), -2);
    EXPECT_TRUE(NBFUnitFractionGetDegrees(nullptr).empty());
    NBFUnitFractionRelease(fraction);
}

}  // namespace
