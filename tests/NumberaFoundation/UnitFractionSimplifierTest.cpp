#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "DerivedUnitCatalogue.h"
#include "NBFUnitCollection.h"
#include "NBFUnitFractionSimplifier.h"
#include "NBFUnitTypeFactorings.h"
#include "TestRandom.h"

namespace {

using NBF::UnitTypeFactorings;
using NBF::UnitTypeFraction;

const NBFUnitType L = NBFUnitTypeLength, M = NBFUnitTypeMass, T = NBFUnitTypeTime,
                  I = NBFUnitTypeCurrent, V = NBFUnitTypeVoltage;

// Each type in base types, from the physical definitions (not from the factoring tables).
// Types without an entry are their own expansion.
std::map<NBFUnitType, UnitTypeFraction> expansions(bool experimental) {
    std::map<NBFUnitType, UnitTypeFraction> table = {
        {NBFUnitTypeArea, UnitTypeFraction(L, 2)},
        {NBFUnitTypeVolume, UnitTypeFraction(L, 3)},
        {NBFUnitTypeVelocity, UnitTypeFraction(L, 1, T, -1)},
        {NBFUnitTypeAcceleration, UnitTypeFraction(L, 1, T, -2)},
        {NBFUnitTypeFrequency, UnitTypeFraction(T, -1)},
    };
    if (!experimental) {
        // Voltage and resistance are base types: energy is volt ampere seconds.
        table[NBFUnitTypePower] = UnitTypeFraction(V, 1, I, 1);
        table[NBFUnitTypeEnergy] = UnitTypeFraction(V, 1, I, 1, T, 1);
        table[NBFUnitTypeForce] = UnitTypeFraction(V, 1, I, 1, T, 1, L, -1);
        table[NBFUnitTypePressure] = UnitTypeFraction(V, 1, I, 1, T, 1, L, -3);
        return table;
    }
    table[NBFUnitTypeEnergy] = UnitTypeFraction(M, 1, L, 2, T, -2);
    table[NBFUnitTypePower] = UnitTypeFraction(M, 1, L, 2, T, -3);
    table[NBFUnitTypeForce] = UnitTypeFraction(M, 1, L, 1, T, -2);
    table[NBFUnitTypePressure] = UnitTypeFraction(M, 1, L, -1, T, -2);
    table[NBFUnitTypeVoltage] = UnitTypeFraction(M, 1, L, 2, T, -3, I, -1);
    table[NBFUnitTypeResistance] = UnitTypeFraction(M, 1, L, 2, T, -3, I, -2);
    return table;
}

UnitTypeFraction expand(const UnitTypeFraction& fraction, bool experimental) {
    const std::map<NBFUnitType, UnitTypeFraction> table = expansions(experimental);
    UnitTypeFraction result;
    for (const auto& [type, degree] : fraction.components()) {
        auto found = table.find(type);
        if (found == table.end()) {
            result.degreeOffset(type, degree);
            continue;
        }
        for (const auto& [baseType, baseDegree] : found->second.components()) {
            result.degreeOffset(baseType, baseDegree * degree);
        }
    }
    return result;
}

UnitTypeFactorings* tableFor(bool experimental) {
    return experimental ? UnitTypeFactorings::experimentalInstance()
                        : UnitTypeFactorings::standardInstance();
}

class UnitFractionSimplifierTest : public ::testing::Test {
  protected:
    UnitFractionSimplifierTest()
        : standard(NBF::UnitFractionSimplifier::create(catalogue.collection(),
                                                       UnitTypeFactorings::standardInstance())),
          experimental(NBF::UnitFractionSimplifier::create(
              catalogue.collection(), UnitTypeFactorings::experimentalInstance())) {}
    ~UnitFractionSimplifierTest() override {
        NBFUnitFractionSimplifierRelease(standard);
        NBFUnitFractionSimplifierRelease(experimental);
    }

    NBFUnitFractionSimplifierRef simplifier(bool useExperimental) const {
        return useExperimental ? experimental : standard;
    }

    DerivedUnitCatalogue catalogue;
    NBFUnitFractionSimplifierRef standard;
    NBFUnitFractionSimplifierRef experimental;
};

TEST_F(UnitFractionSimplifierTest, DerivedUnitsBecomeBaseUnitsAndKeepTheirQuantity) {
    const struct {
        bool experimental;
        UnitPowers input;
        const char* key;
        const char* units;
        const char* extra;  // null: no extra multiplier
    } rows[] = {
        {false, {{"hectare", 1}}, "[length:2]", "metre^2", "10000"},
        {false, {{"litre", 1}}, "[length:3]", "metre^3", "0.001"},
        {false, {{"cubic-metre", 1}}, "[length:3]", "metre^3", nullptr},
        {false,
         {{"kilometre", 1}, {"hour", -1}},
         "[length:1][time:-1]",
         "hour^-1 kilometre",
         nullptr},
        {false, {{"foot-per-second", 1}}, "[length:1][time:-1]", "metre second^-1", "0.3048"},
        {false, {{"standard-gravity", 1}}, "[length:1][time:-2]", "metre second^-2", "9.80665"},
        // g · s is a velocity: the derived relation length · time⁻¹ → time · acc undoes it.
        {false,
         {{"standard-gravity", 1}, {"second", 1}},
         "[length:1][time:-1]",
         "metre second^-1",
         "9.80665"},
        {false, {{"kilohertz", 1}}, "[time:-1]", "second^-1", "1000"},
        {false, {{"kilowatt", 1}}, "[voltage:1][current:1]", "ampere volt", "1000"},
        {false, {{"kilojoule", 1}}, "[time:1][voltage:1][current:1]", "ampere second volt", "1000"},
        // A newton metre is a joule, and a kilowatt hour kilowatts times hours.
        {false,
         {{"newton", 1}, {"metre", 1}},
         "[time:1][voltage:1][current:1]",
         "ampere second volt",
         nullptr},
        {false,
         {{"kilowatt", 1}, {"hour", 1}},
         "[time:1][voltage:1][current:1]",
         "ampere hour volt",
         "1000"},
        {false,
         {{"newton", 1}},
         "[length:-1][time:1][voltage:1][current:1]",
         "ampere metre^-1 second volt",
         nullptr},
        {false, {{"volt", 1}}, "[voltage:1]", "volt", nullptr},
        {false, {{"ohm", 1}}, "[resistance:1]", "ohm", nullptr},
        {false, {{"hectare", 1}, {"hour", -1}}, "[length:2][time:-1]", "hour^-1 metre^2", "10000"},
        // Litres per kilometre is an area, in the kilometres of the input: 10⁻⁶ m² = 10⁻¹² km².
        {false, {{"litre", 1}, {"kilometre", -1}}, "[length:2]", "kilometre^2", "0.000000000001"},
        {false, {{"hectare", -1}}, "[length:-2]", "metre^-2", "0.0001"},
        {false, {{"litre", 2}}, "[length:6]", "metre^6", "0.000001"},
        {false, {{"hectare", 1}, {"litre", -1}}, "[length:-1]", "metre^-1", "10000000"},
        {false, {{"metre-per-second", 1}, {"hertz", -1}}, "[length:1]", "metre", nullptr},
        {false, {{"square-metre", 1}, {"centimetre", -1}}, "[length:1]", "centimetre", "10000"},
        {false, {{"celsius", 1}}, "[temp:1]", "celsius", nullptr},
        {false, {{"gram", 1}, {"kilometre", 1}}, "[length:1][mass:1]", "gram kilometre", nullptr},
        {true, {{"watt", 1}}, "[length:2][mass:1][time:-3]", "kilogram metre^2 second^-3", nullptr},
        {true,
         {{"kilojoule", 1}},
         "[length:2][mass:1][time:-2]",
         "kilogram metre^2 second^-2",
         "1000"},
        {true, {{"newton", 1}}, "[length:1][mass:1][time:-2]", "kilogram metre second^-2", nullptr},
        {true,
         {{"newton", 1}, {"metre", 1}},
         "[length:2][mass:1][time:-2]",
         "kilogram metre^2 second^-2",
         nullptr},
        {true,
         {{"volt", 1}},
         "[length:2][mass:1][time:-3][current:-1]",
         "ampere^-1 kilogram metre^2 second^-3",
         nullptr},
        {true,
         {{"ohm", 1}},
         "[length:2][mass:1][time:-3][current:-2]",
         "ampere^-2 kilogram metre^2 second^-3",
         nullptr},
        // Time stays in the hours of the input: 1 kWh = 3.6e6 J = 3.6e6 · 3600² kg m² h⁻².
        {true,
         {{"kilowatt", 1}, {"hour", 1}},
         "[length:2][mass:1][time:-2]",
         "hour^-2 kilogram metre^2",
         "46656000000000"},
        {true, {{"hectare", 1}}, "[length:2]", "metre^2", "10000"},
    };
    for (const auto& row : rows) {
        UnitFractionHolder input = catalogue.fraction(row.input);
        ASSERT_TRUE(input);
        std::string label = describeUnits(input.get());
        UnitFractionHolder result(NBFUnitFractionSimplifierSimplifyUnitFraction(
            simplifier(row.experimental), input.get()));
        ASSERT_TRUE(result) << label;
        EXPECT_EQ(NBFUnitFractionGetStringRepresentation(result.get()), row.key) << label;
        EXPECT_EQ(describeUnits(result.get()), row.units) << label;
        EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetExtraMultiplier(result.get()), row.extra))
            << label;
        EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetMultiplier(result.get()),
                                        NBFUnitFractionGetMultiplier(input.get())))
            << label;
    }
}

TEST_F(UnitFractionSimplifierTest, ConversionsFromDerivedUnitsMeetTheirBaseUnits) {
    // Both sides simplify to one type fraction, so their multipliers give the conversion.
    const struct {
        UnitPowers from;
        UnitPowers to;
        const char* factor;  // from / to
    } rows[] = {
        {{{"hectare", 1}}, {{"metre", 2}}, "10000"},
        {{{"hectare", 1}}, {{"square-metre", 1}}, "10000"},
        {{{"litre", 1}}, {{"metre", 3}}, "0.001"},
        {{{"cubic-metre", 1}}, {{"litre", 1}}, "1000"},
        {{{"metre-per-second", 1}}, {{"kilometre", 1}, {"hour", -1}}, "3.6"},
        {{{"kilowatt", 1}}, {{"volt", 1}, {"ampere", 1}}, "1000"},
        {{{"standard-gravity", 1}}, {{"centimetre", 1}, {"second", -2}}, "980.665"},
        {{{"kilowatt", 1}, {"hour", 1}}, {{"joule", 1}}, "3600000"},
        {{{"kilojoule", 1}}, {{"newton", 1}, {"metre", 1}}, "1000"},
        {{{"joule", 1}, {"second", -1}}, {{"watt", 1}}, "1"},
        {{{"kilojoule", 1}, {"metre", -1}}, {{"newton", 1}}, "1000"},
    };
    for (const auto& row : rows) {
        UnitFractionHolder from = catalogue.fraction(row.from);
        UnitFractionHolder to = catalogue.fraction(row.to);
        UnitFractionHolder simpleFrom(standard->createSimplifiedUnitFraction(from.get()));
        UnitFractionHolder simpleTo(standard->createSimplifiedUnitFraction(to.get()));
        ASSERT_TRUE(simpleFrom && simpleTo);
        std::string label = describeUnits(from.get()) + " -> " + describeUnits(to.get());
        EXPECT_EQ(NBFUnitFractionGetStringRepresentation(simpleFrom.get()),
                  NBFUnitFractionGetStringRepresentation(simpleTo.get()))
            << label;
        M_APM quotient = m_apm_init();
        m_apm_divide(quotient, 100, NBFUnitFractionGetMultiplier(simpleFrom.get()),
                     NBFUnitFractionGetMultiplier(simpleTo.get()));
        EXPECT_TRUE(decimalNearlyEquals(quotient, row.factor)) << label;
        m_apm_free(quotient);
    }
}

TEST_F(UnitFractionSimplifierTest, SimplifyDecomposesEveryDerivedTypeItHasARelationFor) {
    const struct {
        bool experimental;
        UnitTypeFraction input;
        const char* key;
    } rows[] = {
        {false, UnitTypeFraction(NBFUnitTypeArea, 1), "[length:2]"},
        {false, UnitTypeFraction(NBFUnitTypeArea, -3), "[length:-6]"},
        {false, UnitTypeFraction(NBFUnitTypeVolume, 2, NBFUnitTypeArea, -1), "[length:4]"},
        {false, UnitTypeFraction(NBFUnitTypeVelocity, -2), "[length:-2][time:2]"},
        {false, UnitTypeFraction(NBFUnitTypeAcceleration, -1, NBFUnitTypeFrequency, 2),
         "[length:-1]"},
        {false, UnitTypeFraction(NBFUnitTypePower, -1), "[voltage:-1][current:-1]"},
        {false, UnitTypeFraction(NBFUnitTypePressure, 1, NBFUnitTypeArea, 1),
         "[length:-1][time:1][voltage:1][current:1]"},
        {false, UnitTypeFraction(NBFUnitTypeEnergy, 1, NBFUnitTypePower, -1), "[time:1]"},
        {false, UnitTypeFraction(NBFUnitTypeForce, -2),
         "[length:2][time:-2][voltage:-2][current:-2]"},
        // Mass stays apart from the electrical types.
        {false, UnitTypeFraction(NBFUnitTypeForce, 1, M, -1, NBFUnitTypeAcceleration, -1),
         "[length:-2][mass:-1][time:3][voltage:1][current:1]"},
        {false, UnitTypeFraction(), ""},
        {true, UnitTypeFraction(NBFUnitTypeEnergy, 1, NBFUnitTypeTime, -1),
         "[length:2][mass:1][time:-3]"},
        {true, UnitTypeFraction(NBFUnitTypePower, -1, NBFUnitTypeVoltage, 1), "[current:-1]"},
        {true, UnitTypeFraction(NBFUnitTypeForce, -2), "[length:-2][mass:-2][time:4]"},
    };
    for (const auto& row : rows) {
        UnitTypeFraction result = simplifier(row.experimental)->simplify(row.input);
        EXPECT_EQ(result.stringRepresentation(), row.key) << row.input.stringRepresentation();
    }
}

TEST_F(UnitFractionSimplifierTest, ACyclicTableStopsAfterTheRoundLimit) {
    // Area and volume defined by each other: every round undoes the last one.
    UnitTypeFactorings::FactoringList relations = {
        NBF::Ref<NBF::UnitTypeFactoring>::adopt(NBF::UnitTypeFactoring::create(
            UnitTypeFraction(NBFUnitTypeArea, 1), UnitTypeFraction(NBFUnitTypeVolume, 1))),
        NBF::Ref<NBF::UnitTypeFactoring>::adopt(NBF::UnitTypeFactoring::create(
            UnitTypeFraction(NBFUnitTypeVolume, 1), UnitTypeFraction(NBFUnitTypeArea, 1))),
    };
    auto table = NBF::Ref<UnitTypeFactorings>::adopt(UnitTypeFactorings::create(relations, false));
    NBF::UnitFractionSimplifier* cyclic =
        NBF::UnitFractionSimplifier::create(catalogue.collection(), table.get(), 50);
    // An even number of rounds ends where it began.
    EXPECT_EQ(cyclic->simplify(UnitTypeFraction(NBFUnitTypeVolume, 1)).stringRepresentation(),
              "[volume:1]");
    NBFUnitFractionSimplifierRelease(cyclic);
}

TEST_F(UnitFractionSimplifierTest, RandomTypeFractionsReachTheirBaseTypeExpansion) {
    const uint32_t seed = test_random::seed(20240611u);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    for (int sample = 0, samples = test_random::rounds(3000); sample < samples; ++sample) {
        UnitTypeFraction input;
        for (NBFUnitType type = NBFUnitTypeLength; type < NBFUnitTypeCount; ++type) {
            if (random() % 4 != 0) continue;
            input.degreeOffset(type, static_cast<int32_t>(random() % 9) - 4);
        }
        for (bool useExperimental : {false, true}) {
            UnitTypeFraction result = simplifier(useExperimental)->simplify(input);
            EXPECT_EQ(result.stringRepresentation(),
                      expand(input, useExperimental).stringRepresentation())
                << input.stringRepresentation() << (useExperimental ? " experimental" : "");
            UnitTypeFactorings* table = tableFor(useExperimental);
            for (const auto& [type, degree] : result.components()) {
                if (degree != 0 && !table->decompositions(type).empty()) {
                    EXPECT_TRUE(table->isBaseUnitType(type)) << input.stringRepresentation();
                }
            }
        }
    }
}

TEST_F(UnitFractionSimplifierTest, RandomUnitFractionsKeepTheirDimensionAndQuantity) {
    std::vector<std::string> identifiers;
    for (const auto& entry : catalogue.basicUnits()) identifiers.push_back(entry.first);
    const uint32_t seed = test_random::seed(7u);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    for (int sample = 0, samples = test_random::rounds(400); sample < samples; ++sample) {
        UnitPowers parts;
        const int count = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            parts.emplace_back(identifiers[random() % identifiers.size()],
                               static_cast<int>(random() % 7) - 3);
        }
        UnitFractionHolder input = catalogue.fraction(parts);
        ASSERT_TRUE(input);
        const UnitTypeFraction inputTypes(input.get());
        for (bool useExperimental : {false, true}) {
            UnitFractionHolder result(
                simplifier(useExperimental)->createSimplifiedUnitFraction(input.get()));
            std::string label =
                describeUnits(input.get()) + (useExperimental ? " experimental" : " standard");
            ASSERT_TRUE(result) << label;
            EXPECT_EQ(NBFUnitFractionGetStringRepresentation(result.get()),
                      expand(inputTypes, useExperimental).stringRepresentation())
                << label;
            EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetMultiplier(result.get()),
                                            NBFUnitFractionGetMultiplier(input.get())))
                << label;
        }
    }
}

TEST_F(UnitFractionSimplifierTest, CreateUnitFractionUsesTheInputUnitsThenTheBaseUnits) {
    UnitFractionHolder input = catalogue.fraction({{"kilometre", 1}, {"hectare", 1}});
    UnitFractionHolder result(
        standard->createUnitFraction(input.get(), UnitTypeFraction(L, 3, NBFUnitTypeTime, -1)));
    ASSERT_TRUE(result);
    EXPECT_EQ(describeUnits(result.get()), "kilometre^3 second^-1");
    // 1000 · 10000 over 1000³.
    EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetExtraMultiplier(result.get()), "0.01"));
}

TEST_F(UnitFractionSimplifierTest, TemperatureKeepsItsUnitAndOffset) {
    UnitFractionHolder input = catalogue.fraction({{"celsius", 1}});
    UnitFractionHolder result(standard->createSimplifiedUnitFraction(input.get()));
    ASSERT_TRUE(result);
    EXPECT_TRUE(NBFUnitFractionHasOnlyOneOffsetNumeratorUnit(result.get()));
    EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetOffsetMAPMReference(result.get()), "273.15"));
}

TEST_F(UnitFractionSimplifierTest, MissingPiecesGiveNull) {
    EXPECT_EQ(NBFUnitFractionSimplifierSimplifyUnitFraction(nullptr, nullptr), nullptr);
    EXPECT_EQ(standard->createSimplifiedUnitFraction(nullptr), nullptr);
    UnitFractionHolder hectare = catalogue.fraction({{"hectare", 1}});
    EXPECT_EQ(NBFUnitFractionSimplifierSimplifyUnitFraction(nullptr, hectare.get()), nullptr);

    // Without a length unit anywhere a hectare cannot become square metres.
    NBFUnitCollectionRef empty = NBFUnitCollectionCreate();
    NBFUnitFractionSimplifierRef bare = NBFUnitFractionSimplifierCreate(empty);
    EXPECT_EQ(NBFUnitFractionSimplifierSimplifyUnitFraction(bare, hectare.get()), nullptr);
    // A fraction already in base types needs only its own units.
    UnitFractionHolder speed = catalogue.fraction({{"kilometre", 1}, {"hour", -1}});
    UnitFractionHolder same(NBFUnitFractionSimplifierSimplifyUnitFraction(bare, speed.get()));
    EXPECT_EQ(describeUnits(same.get()), "hour^-1 kilometre");
    NBFUnitFractionSimplifierRelease(bare);
    NBFUnitCollectionRelease(empty);
}

TEST_F(UnitFractionSimplifierTest, DegreesBeyondAUnitFractionsRangeGiveNull) {
    // litre^50 is metre^150, which no unit fraction can hold.
    UnitFractionHolder input = catalogue.fraction({{"litre", 50}});
    ASSERT_TRUE(input);
    EXPECT_EQ(standard->createSimplifiedUnitFraction(input.get()), nullptr);
}

}  // namespace
