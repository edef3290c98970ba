#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "DerivedUnitCatalogue.h"
#include "NBFUnitFractionFactorizer.h"
#include "NBFUnitFractionSimplifier.h"
#include "NBFUnitTypeFactorings.h"
#include "TestRandom.h"

namespace {

using NBF::UnitTypeFactorings;
using NBF::UnitTypeFraction;

const NBFUnitType L = NBFUnitTypeLength, T = NBFUnitTypeTime;

std::set<std::string> keysOf(const std::vector<UnitTypeFraction>& fractions) {
    std::set<std::string> keys;
    for (const UnitTypeFraction& fraction : fractions) keys.insert(fraction.stringRepresentation());
    return keys;
}

// The dimension in SI base quantities, from the physical definitions of the types, so that
// fractions the tables relate in different ways (volt against ampere · ohm) compare equal.
std::string siDimension(const UnitTypeFraction& fraction) {
    const NBFUnitType M = NBFUnitTypeMass, I = NBFUnitTypeCurrent;
    const std::map<NBFUnitType, UnitTypeFraction> definitions = {
        {NBFUnitTypeArea, UnitTypeFraction(L, 2)},
        {NBFUnitTypeVolume, UnitTypeFraction(L, 3)},
        {NBFUnitTypeVelocity, UnitTypeFraction(L, 1, T, -1)},
        {NBFUnitTypeAcceleration, UnitTypeFraction(L, 1, T, -2)},
        {NBFUnitTypeFrequency, UnitTypeFraction(T, -1)},
        {NBFUnitTypeForce, UnitTypeFraction(M, 1, L, 1, T, -2)},
        {NBFUnitTypePressure, UnitTypeFraction(M, 1, L, -1, T, -2)},
        {NBFUnitTypeEnergy, UnitTypeFraction(M, 1, L, 2, T, -2)},
        {NBFUnitTypePower, UnitTypeFraction(M, 1, L, 2, T, -3)},
        {NBFUnitTypeVoltage, UnitTypeFraction(M, 1, L, 2, T, -3, I, -1)},
        {NBFUnitTypeResistance, UnitTypeFraction(M, 1, L, 2, T, -3, I, -2)},
    };
    UnitTypeFraction result;
    for (const auto& [type, degree] : fraction.components()) {
        auto found = definitions.find(type);
        if (found == definitions.end()) {
            result.degreeOffset(type, degree);
            continue;
        }
        for (const auto& [baseType, baseDegree] : found->second.components()) {
            result.degreeOffset(baseType, baseDegree * degree);
        }
    }
    return result.stringRepresentation();
}

class UnitFractionFactorizerTest : public ::testing::Test {
  protected:
    UnitFractionFactorizerTest()
        : standard(NBFUnitFractionFactorizerCreate(catalogue.collection(),
                                                   UnitTypeFactorings::standardInstance())),
          experimental(NBFUnitFractionFactorizerCreate(catalogue.collection(),
                                                       UnitTypeFactorings::experimentalInstance())),
          standardSimplifier(NBF::UnitFractionSimplifier::create(
              catalogue.collection(), UnitTypeFactorings::standardInstance())),
          experimentalSimplifier(NBF::UnitFractionSimplifier::create(
              catalogue.collection(), UnitTypeFactorings::experimentalInstance())) {}
    ~UnitFractionFactorizerTest() override {
        NBFUnitFractionFactorizerRelease(standard);
        NBFUnitFractionFactorizerRelease(experimental);
        NBFUnitFractionSimplifierRelease(standardSimplifier);
        NBFUnitFractionSimplifierRelease(experimentalSimplifier);
    }

    // type -> unit, from basic unit identifiers.
    NBFEvalUnitsMap units(const std::vector<std::pair<NBFUnitType, std::string>>& entries) const {
        NBFEvalUnitsMap map;
        for (const auto& [type, identifier] : entries) map[type] = catalogue.basic(identifier);
        return map;
    }

    // The evaluator's last step: simplify the answer's unit, then present it.
    UnitFractionHolder present(bool useExperimental, const UnitPowers& evaluated,
                               const NBFEvalUnitsMap& preferred,
                               const NBFEvalUnitsMap& required) const {
        UnitFractionHolder answer = catalogue.fraction(evaluated);
        NBFUnitFractionSimplifierRef simplifier =
            useExperimental ? experimentalSimplifier : standardSimplifier;
        UnitFractionHolder simplified(simplifier->createSimplifiedUnitFraction(answer.get()));
        if (!simplified) return nullptr;
        return UnitFractionHolder(NBFUnitFractionFactorizerUndecompose(
            useExperimental ? experimental : standard, simplified.get(), preferred, required,
            answer.get()));
    }

    DerivedUnitCatalogue catalogue;
    NBFUnitFractionFactorizerRef standard;
    NBFUnitFractionFactorizerRef experimental;
    NBFUnitFractionSimplifierRef standardSimplifier;
    NBFUnitFractionSimplifierRef experimentalSimplifier;
};

TEST_F(UnitFractionFactorizerTest, FindAllFactorizationsReachesEveryShapeButTheStart) {
    const struct {
        bool experimental;
        UnitTypeFraction start;
        std::set<std::string> keys;
    } rows[] = {
        // Velocity by relation 4, time · acc by the derived relation, frequency from time⁻¹,
        // and acc / freq from time · acc.
        {false,
         UnitTypeFraction(L, 1, T, -1),
         {"[velocity:1]", "[time:1][acc:1]", "[length:1][freq:1]", "[freq:-1][acc:1]"}},
        {false, UnitTypeFraction(L, 2), {"[area:1]", "[length:-1][volume:1]"}},
        {false, UnitTypeFraction(L, 3), {"[volume:1]", "[length:1][area:1]"}},
        {false, UnitTypeFraction(NBFUnitTypeVoltage, 1), {}},
        {false, UnitTypeFraction(NBFUnitTypeVoltage, 1, NBFUnitTypeCurrent, 1), {"[power:1]"}},
        {false, UnitTypeFraction(), {}},
        {true, UnitTypeFraction(NBFUnitTypeVoltage, 1), {}},
    };
    for (const auto& row : rows) {
        std::set<std::string> keys = keysOf(NBFUnitFractionFactorizerFindAllFactorizations(
            row.experimental ? experimental : standard, row.start));
        EXPECT_EQ(keys, row.keys) << row.start.stringRepresentation();
    }
    // Mass · length · time⁻² reaches many shapes; force, mass · acc and two frequencies among
    // them.
    std::set<std::string> keys = keysOf(NBFUnitFractionFactorizerFindAllFactorizations(
        experimental, UnitTypeFraction(NBFUnitTypeMass, 1, L, 1, T, -2)));
    for (const char* key : {"[force:1]", "[mass:1][acc:1]", "[length:1][mass:1][freq:2]"}) {
        EXPECT_EQ(keys.count(key), 1u) << key;
    }
    EXPECT_EQ(keys.count("[length:1][mass:1][time:-2]"), 0u);
    EXPECT_TRUE(
        NBFUnitFractionFactorizerFindAllFactorizations(nullptr, UnitTypeFraction(L, 1)).empty());
}

TEST_F(UnitFractionFactorizerTest, SearchesFromHighPowersStopAfterABoundedNumberOfShapes) {
    // (m/s)^60 reaches far more shapes than any answer needs; the nearest ones are kept.
    const UnitTypeFraction start(L, 60, T, -60);
    std::vector<UnitTypeFraction> found =
        NBFUnitFractionFactorizerFindAllFactorizations(standard, start);
    EXPECT_LE(found.size(), 4096u);
    std::set<std::string> keys = keysOf(found);
    for (const char* key : {"[length:59][time:-59][velocity:1]", "[length:58][time:-60][area:1]",
                            "[length:60][time:-59][freq:1]"}) {
        EXPECT_EQ(keys.count(key), 1u) << key;
    }
    // Powers of 6 are searched completely: (m/s)^6 itself is among the shapes.
    keys = keysOf(
        NBFUnitFractionFactorizerFindAllFactorizations(standard, UnitTypeFraction(L, 6, T, -6)));
    EXPECT_EQ(keys.count("[velocity:6]"), 1u);
}

TEST_F(UnitFractionFactorizerTest, WeightsFollowTheScoringRules) {
    const NBFEvalUnitsMap lengthAndTime =
        units({{NBFUnitTypeLength, "metre"}, {NBFUnitTypeTime, "second"}});
    const NBFEvalUnitsMap none;
    const NBFEvalUnitsMap volume = units({{NBFUnitTypeVolume, "litre"}});
    const NBFEvalUnitsMap velocity = units({{NBFUnitTypeVelocity, "metre-per-second"}});
    const NBFEvalUnitsMap frequency = units({{NBFUnitTypeFrequency, "hertz"}});
    const NBFEvalUnitsMap timeOnly = units({{NBFUnitTypeTime, "second"}});
    const struct {
        UnitTypeFraction fraction;
        const NBFEvalUnitsMap* preferred;
        const NBFEvalUnitsMap* required;
        int32_t weight;
    } rows[] = {
        // 8 + 8, 6 for all matched, 6 for the trivial relation 4, 8 / 2.
        {UnitTypeFraction(L, 1, T, -1), &lengthAndTime, &none, 32},
        {UnitTypeFraction(NBFUnitTypeVelocity, 1), &lengthAndTime, &none, 8},
        // Relation 3 holds the decomposed key of length², and it is not trivial.
        {UnitTypeFraction(L, 2), &lengthAndTime, &none, 16},
        {UnitTypeFraction(NBFUnitTypeArea, 1), &lengthAndTime, &none, 8},
        {UnitTypeFraction(NBFUnitTypeVolume, 1, L, -1), &lengthAndTime, &none, 15},
        {UnitTypeFraction(L, 3), &lengthAndTime, &none, 20},
        {UnitTypeFraction(NBFUnitTypeVolume, 1), &lengthAndTime, &none, 8},
        {UnitTypeFraction(NBFUnitTypeVolume, 1), &lengthAndTime, &volume, 522},
        // A required type counts 500 whatever else the fraction holds.
        {UnitTypeFraction(NBFUnitTypeVelocity, 1), &lengthAndTime, &velocity, 522},
        // A negative degree sum lowers the weight: 8 + 6 + 8 − 1.
        {UnitTypeFraction(T, -1), &timeOnly, &none, 21},
        // Frequency: 3 for the non-trivial relation 6; required it counts like any type.
        {UnitTypeFraction(NBFUnitTypeFrequency, 1), &timeOnly, &none, 11},
        {UnitTypeFraction(NBFUnitTypeFrequency, 1), &timeOnly, &frequency, 525},
        // Frequency in a denominator costs 10000; velocity beside other types costs 50.
        {UnitTypeFraction(NBFUnitTypeFrequency, -1, NBFUnitTypeAcceleration, 1), &none, &none,
         -9996},
        {UnitTypeFraction(NBFUnitTypeVelocity, 1, NBFUnitTypeMass, 1), &none, &none, -46},
        {UnitTypeFraction(), &lengthAndTime, &none, std::numeric_limits<int32_t>::min()},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(NBFUnitFractionFactorizerScoreFactorization(standard, row.fraction,
                                                              *row.preferred, *row.required),
                  row.weight)
            << row.fraction.stringRepresentation();
    }
}

TEST_F(UnitFractionFactorizerTest, AnswersArePresentedInTheUnitsTheExpressionAskedFor) {
    const auto none = NBFEvalUnitsMap();
    const struct {
        const char* label;
        bool experimental;
        UnitPowers evaluated;
        NBFEvalUnitsMap preferred;
        NBFEvalUnitsMap required;
        const char* units;
        const char* extra;  // null: no extra multiplier
    } rows[] = {
        {"m * m", false, {{"metre", 2}}, units({{L, "metre"}}), none, "metre^2", nullptr},
        {"hectare",
         false,
         {{"hectare", 1}},
         units({{NBFUnitTypeArea, "hectare"}}),
         none,
         "hectare",
         nullptr},
        {"hectare in m²",
         false,
         {{"hectare", 1}},
         units({{NBFUnitTypeArea, "hectare"}}),
         units({{NBFUnitTypeArea, "square-metre"}}),
         "square-metre",
         "10000"},
        {"litre",
         false,
         {{"litre", 1}},
         units({{NBFUnitTypeVolume, "litre"}}),
         none,
         "litre",
         nullptr},
        {"litre in m³",
         false,
         {{"litre", 1}},
         units({{NBFUnitTypeVolume, "litre"}}),
         units({{NBFUnitTypeVolume, "cubic-metre"}}),
         "cubic-metre",
         "0.001"},
        {"km/h",
         false,
         {{"kilometre", 1}, {"hour", -1}},
         units({{L, "kilometre"}, {T, "hour"}}),
         none,
         "hour^-1 kilometre",
         nullptr},
        {"m/s in km/h",
         false,
         {{"metre-per-second", 1}},
         units({{NBFUnitTypeVelocity, "metre-per-second"}, {L, "kilometre"}, {T, "hour"}}),
         units({{L, "kilometre"}, {T, "hour"}}),
         "hour^-1 kilometre",
         "3.6"},
        {"litres per km",
         false,
         {{"litre", 1}, {"kilometre", -1}},
         units({{NBFUnitTypeVolume, "litre"}, {L, "kilometre"}}),
         none,
         "kilometre^-1 litre",
         nullptr},
        {"cm³ as volume",
         false,
         {{"centimetre", 3}},
         units({{L, "centimetre"}}),
         units({{NBFUnitTypeVolume, "litre"}}),
         "litre",
         "0.001"},
        {"V * A", false, {{"volt", 1}, {"ampere", 1}}, none, none, "watt", nullptr},
        {"W / V", false, {{"watt", 1}, {"volt", -1}}, none, none, "ampere", nullptr},
        // The named power outweighs the bare current.
        {"kW / V",
         false,
         {{"kilowatt", 1}, {"volt", -1}},
         units({{NBFUnitTypePower, "kilowatt"}}),
         none,
         "kilowatt volt^-1",
         nullptr},
        {"1 / s", false, {{"second", -1}}, units({{T, "second"}}), none, "second^-1", nullptr},
        {"1 / s in Hz",
         false,
         {{"second", -1}},
         units({{T, "second"}}),
         units({{NBFUnitTypeFrequency, "hertz"}}),
         "hertz",
         nullptr},
        {"s", false, {{"second", 1}}, units({{T, "second"}}), none, "second", nullptr},
        {"kWh",
         false,
         {{"kilowatt", 1}, {"hour", 1}},
         units({{NBFUnitTypePower, "kilowatt"}, {T, "hour"}}),
         none,
         "hour kilowatt",
         nullptr},
        {"J / s",
         true,
         {{"joule", 1}, {"second", -1}},
         units({{NBFUnitTypeEnergy, "joule"}, {T, "second"}}),
         none,
         "joule second^-1",
         nullptr},
        {"J / s in W",
         true,
         {{"joule", 1}, {"second", -1}},
         units({{NBFUnitTypeEnergy, "joule"}, {T, "second"}}),
         units({{NBFUnitTypePower, "watt"}}),
         "watt",
         nullptr},
        {"N * m",
         true,
         {{"newton", 1}, {"metre", 1}},
         units({{NBFUnitTypeForce, "newton"}, {L, "metre"}}),
         none,
         "metre newton",
         nullptr},
        {"N * m in kJ",
         true,
         {{"newton", 1}, {"metre", 1}},
         units({{NBFUnitTypeForce, "newton"}, {L, "metre"}}),
         units({{NBFUnitTypeEnergy, "kilojoule"}}),
         "kilojoule",
         "0.001"},
        {"V * A experimental", true, {{"volt", 1}, {"ampere", 1}}, none, none, "watt", nullptr},
        // Units that cancel leave a plain number with their ratio as extra multiplier.
        {"km / m",
         false,
         {{"kilometre", 1}, {"metre", -1}},
         units({{L, "metre"}}),
         none,
         "",
         "1000"},
        {"celsius",
         false,
         {{"celsius", 1}},
         units({{NBFUnitTypeTemperature, "celsius"}}),
         none,
         "celsius",
         nullptr},
    };
    for (const auto& row : rows) {
        UnitFractionHolder result =
            present(row.experimental, row.evaluated, row.preferred, row.required);
        ASSERT_TRUE(result) << row.label;
        EXPECT_EQ(describeUnits(result.get()), row.units) << row.label;
        EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetExtraMultiplier(result.get()), row.extra))
            << row.label << ": " << decimalText(NBFUnitFractionGetExtraMultiplier(result.get()));
        UnitFractionHolder evaluated = catalogue.fraction(row.evaluated);
        EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetMultiplier(result.get()),
                                        NBFUnitFractionGetMultiplier(evaluated.get())))
            << row.label;
    }
}

TEST_F(UnitFractionFactorizerTest, WithoutEvaluatedFractionTheFractionStandsForItself) {
    UnitFractionHolder speed = catalogue.fraction({{"metre", 1}, {"second", -1}});
    UnitFractionHolder result(
        NBFUnitFractionFactorizerUndecompose(standard, speed.get(), NBFEvalUnitsMap(),
                                             units({{NBFUnitTypeVelocity, "foot-per-second"}})));
    ASSERT_TRUE(result);
    EXPECT_EQ(describeUnits(result.get()), "foot-per-second");
    EXPECT_TRUE(decimalNearlyEquals(NBFUnitFractionGetMultiplier(result.get()), "1"));
}

TEST_F(UnitFractionFactorizerTest, MissingPiecesGiveNullOrFallBack) {
    UnitFractionHolder speed = catalogue.fraction({{"metre", 1}, {"second", -1}});
    const NBFEvalUnitsMap none;
    EXPECT_EQ(NBFUnitFractionFactorizerUndecompose(nullptr, speed.get(), none, none), nullptr);
    EXPECT_EQ(NBFUnitFractionFactorizerUndecompose(standard, nullptr, none, none), nullptr);
    UnitFractionHolder itself(
        NBFUnitFractionFactorizerUndecompose(standard, speed.get(), none, none, nullptr));
    EXPECT_EQ(describeUnits(itself.get()), "metre second^-1");
    EXPECT_EQ(
        NBFUnitFractionFactorizerScoreFactorization(nullptr, UnitTypeFraction(L, 1), none, none),
        std::numeric_limits<int32_t>::min());
}

TEST_F(UnitFractionFactorizerTest, CandidatesThatNoUnitCanExpressAreSkipped) {
    // Per second weighs less than a frequency, which the catalogue's hertz can express.
    // Without a collection only the answer's own second is at hand, so it keeps its shape.
    UnitFractionHolder perSecond = catalogue.fraction({{"second", -1}});
    const NBFEvalUnitsMap none;
    EXPECT_GT(
        NBFUnitFractionFactorizerScoreFactorization(
            standard, UnitTypeFraction(NBFUnitTypeFrequency, 1), none, none),
        NBFUnitFractionFactorizerScoreFactorization(standard, UnitTypeFraction(T, -1), none, none) +
            1);
    UnitFractionHolder withCatalogue(
        NBFUnitFractionFactorizerUndecompose(standard, perSecond.get(), none, none));
    EXPECT_EQ(describeUnits(withCatalogue.get()), "hertz");
    NBFUnitFractionFactorizerRef bare =
        NBFUnitFractionFactorizerCreate(nullptr, UnitTypeFactorings::standardInstance());
    UnitFractionHolder withoutCatalogue(
        NBFUnitFractionFactorizerUndecompose(bare, perSecond.get(), none, none));
    EXPECT_EQ(describeUnits(withoutCatalogue.get()), "second^-1");
    NBFUnitFractionFactorizerRelease(bare);
}

TEST_F(UnitFractionFactorizerTest, RandomSearchesEndAndKeepTheDimension) {
    const uint32_t seed = test_random::seed(99u);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    const NBFUnitType baseTypes[] = {
        L, NBFUnitTypeMass, T, NBFUnitTypeCurrent, NBFUnitTypeVoltage, NBFUnitTypeResistance};
    for (int sample = 0, samples = test_random::rounds(300); sample < samples; ++sample) {
        UnitTypeFraction start;
        for (NBFUnitType type : baseTypes) {
            if (random() % 2) start.degreeOffset(type, static_cast<int32_t>(random() % 9) - 4);
        }
        for (bool useExperimental : {false, true}) {
            NBFUnitFractionFactorizerRef factorizer = useExperimental ? experimental : standard;
            const std::string dimension = siDimension(start);
            std::vector<UnitTypeFraction> found =
                NBFUnitFractionFactorizerFindAllFactorizations(factorizer, start);
            EXPECT_EQ(keysOf(found).size(), found.size()) << start.stringRepresentation();
            for (const UnitTypeFraction& fraction : found) {
                EXPECT_EQ(siDimension(fraction), dimension)
                    << start.stringRepresentation() << " -> " << fraction.stringRepresentation();
            }
        }
    }
}

}  // namespace
