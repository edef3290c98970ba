#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "NBFSettings.h"
#include "NBFUnitTypeFactorings.h"

namespace {

using NBF::UnitTypeFactoring;
using NBF::UnitTypeFactorings;
using NBF::UnitTypeFraction;

const NBFUnitType L = NBFUnitTypeLength, M = NBFUnitTypeMass, T = NBFUnitTypeTime,
                  I = NBFUnitTypeCurrent;

std::vector<std::string> keysOf(const std::vector<UnitTypeFactoring*>& factorings) {
    std::vector<std::string> keys;
    for (const UnitTypeFactoring* factoring : factorings) keys.push_back(factoring->key());
    return keys;
}

std::vector<std::string> keysOf(const UnitTypeFactorings::FactoringList& factorings) {
    std::vector<std::string> keys;
    for (const auto& factoring : factorings) keys.push_back(factoring->key());
    return keys;
}

std::string keyOrNull(const UnitTypeFactoring* factoring) {
    return factoring ? factoring->key() : "(null)";
}

TEST(UnitTypeFactoring, InverseInvertsBothSidesAndKeepsTheTrivialFlag) {
    auto plain = NBF::Ref<UnitTypeFactoring>::adopt(
        UnitTypeFactoring::create(UnitTypeFraction(L, 2), UnitTypeFraction(NBFUnitTypeArea, 1)));
    EXPECT_FALSE(plain->isTrivial());
    auto trivial = NBF::Ref<UnitTypeFactoring>::adopt(UnitTypeFactoring::create(
        UnitTypeFraction(L, 1, T, -1), UnitTypeFraction(NBFUnitTypeVelocity, 1), true));
    auto inverse = NBF::Ref<UnitTypeFactoring>::adopt(trivial->createInverse());
    EXPECT_TRUE(inverse->isTrivial());
    EXPECT_EQ(inverse->key(), "[length:-1][time:1]->[velocity:-1]");
    auto twice = NBF::Ref<UnitTypeFactoring>::adopt(inverse->createInverse());
    EXPECT_TRUE(*twice == *trivial);
    EXPECT_FALSE(*inverse == *trivial);
    EXPECT_FALSE(*plain == *trivial);
}

TEST(UnitTypeFactorings, StandardTableHoldsTheRelationsTheirInversesAndTwoDerivedPairs) {
    const std::set<std::string> expected = {
        "[length:3]->[volume:1]",
        "[length:-3]->[volume:-1]",
        "[length:2]->[area:1]",
        "[length:-2]->[area:-1]",
        "[length:2]->[length:-1][volume:1]",
        "[length:-2]->[length:1][volume:-1]",
        "[length:1][time:-1]->[velocity:1]",
        "[length:-1][time:1]->[velocity:-1]",
        "[length:1][time:-2]->[acc:1]",
        "[length:-1][time:2]->[acc:-1]",
        "[length:1][time:-1]->[time:1][acc:1]",
        "[length:-1][time:1]->[time:-1][acc:-1]",
        "[time:-1]->[freq:1]",
        "[time:1]->[freq:-1]",
        "[current:1][resistance:1]->[voltage:1]",
        "[current:-1][resistance:-1]->[voltage:-1]",
        "[voltage:1][resistance:-1]->[current:1]",
        "[voltage:-1][resistance:1]->[current:-1]",
        "[voltage:1][current:-1]->[resistance:1]",
        "[voltage:-1][current:1]->[resistance:-1]",
        "[voltage:1][current:1]->[power:1]",
        "[voltage:-1][current:-1]->[power:-1]",
        // Energy, force and pressure over power, time and length.
        "[time:1][power:1]->[energy:1]",
        "[time:-1][power:-1]->[energy:-1]",
        "[length:-1][energy:1]->[force:1]",
        "[length:1][energy:-1]->[force:-1]",
        "[length:-2][force:1]->[pressure:1]",
        "[length:2][force:-1]->[pressure:-1]",
        // Pressure with one length moved towards 0 keeps two types on each side.
        "[length:-1][force:1]->[length:1][pressure:1]",
        "[length:1][force:-1]->[length:-1][pressure:-1]",
    };
    std::vector<std::string> keys = keysOf(UnitTypeFactorings::standardInstance()->factorings());
    EXPECT_EQ(keys.size(), 30u);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), expected);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_FALSE(UnitTypeFactorings::standardInstance()->isExperimental());
}

TEST(UnitTypeFactorings, ExperimentalTableDerivesOneRelationPerTypeOfTheMechanicalRows) {
    UnitTypeFactorings* table = UnitTypeFactorings::experimentalInstance();
    std::vector<std::string> keys = keysOf(table->factorings());
    // 12 relations and their inverses, the derived pair of the length and time rows, and one
    // derived relation with its inverse for each of the 20 types of the 6 mechanical and
    // electrical rows.
    EXPECT_EQ(keys.size(), 66u);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_TRUE(table->isExperimental());
    // Energy = mass · length² · time⁻² with each type moved a step towards 0, and inverses.
    const char* present[] = {
        "[length:2][mass:1][time:-2]->[energy:1]",
        "[length:2][time:-2]->[mass:-1][energy:1]",
        "[length:1][mass:1][time:-2]->[length:-1][energy:1]",
        "[length:2][mass:1][time:-1]->[time:1][energy:1]",
        "[length:-2][time:2]->[mass:1][energy:-1]",
        "[length:2][mass:1][time:-3][current:-1]->[voltage:1]",
        "[length:2][time:-3][current:-2]->[mass:-1][resistance:1]",
        "[mass:1][time:-2]->[length:-1][force:1]",
        "[length:-1][mass:1][time:-2]->[pressure:1]",
        "[mass:1][time:-2]->[length:1][pressure:1]",
        "[length:1][time:-1]->[time:1][acc:1]",
    };
    for (const char* key : present) {
        EXPECT_NE(std::find(keys.begin(), keys.end(), key), keys.end()) << key;
    }
    // The electrical relations of the standard table are not part of it.
    EXPECT_EQ(std::find(keys.begin(), keys.end(), "[voltage:1][current:1]->[power:1]"), keys.end());
}

TEST(UnitTypeFactorings, BaseUnitTypesDifferInTheElectricalTypes) {
    const std::set<NBFUnitType> alwaysBase = {
        L, M, NBFUnitTypeMoney, T, NBFUnitTypeTemperature, NBFUnitTypeComputerStorage, I};
    const std::set<NBFUnitType> standardOnly = {NBFUnitTypeVoltage, NBFUnitTypeResistance};
    UnitTypeFactorings* standard = UnitTypeFactorings::standardInstance();
    UnitTypeFactorings* experimental = UnitTypeFactorings::experimentalInstance();
    for (NBFUnitType type = 0; type < NBFUnitTypeCount; ++type) {
        bool base = alwaysBase.count(type) != 0;
        EXPECT_EQ(standard->isBaseUnitType(type), base || standardOnly.count(type)) << type;
        EXPECT_EQ(experimental->isBaseUnitType(type), base) << type;
    }
}

TEST(UnitTypeFactorings, DecompositionsComeInKeyOrderWithTheInverseFirst) {
    UnitTypeFactorings* standard = UnitTypeFactorings::standardInstance();
    const struct {
        NBFUnitType type;
        std::vector<std::string> keys;
    } rows[] = {
        {NBFUnitTypeArea, {"[length:-2]->[area:-1]", "[length:2]->[area:1]"}},
        {NBFUnitTypeVolume,
         {"[length:-2]->[length:1][volume:-1]", "[length:-3]->[volume:-1]",
          "[length:2]->[length:-1][volume:1]", "[length:3]->[volume:1]"}},
        {NBFUnitTypeAcceleration,
         {"[length:-1][time:1]->[time:-1][acc:-1]", "[length:-1][time:2]->[acc:-1]",
          "[length:1][time:-1]->[time:1][acc:1]", "[length:1][time:-2]->[acc:1]"}},
        {NBFUnitTypeFrequency, {"[time:-1]->[freq:1]", "[time:1]->[freq:-1]"}},
        {NBFUnitTypeEnergy, {"[time:-1][power:-1]->[energy:-1]", "[time:1][power:1]->[energy:1]"}},
        {NBFUnitTypePressure,
         {"[length:-1][force:1]->[length:1][pressure:1]", "[length:-2][force:1]->[pressure:1]",
          "[length:1][force:-1]->[length:-1][pressure:-1]", "[length:2][force:-1]->[pressure:-1]"}},
        {NBFUnitTypeMass, {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(keysOf(standard->decompositions(row.type)), row.keys) << row.type;
    }
}

TEST(UnitTypeFactorings, FactorizationsAreTheFactoringsWhoseDecomposedSideFits) {
    const struct {
        bool experimental;
        UnitTypeFraction fraction;
        std::vector<std::string> keys;
    } rows[] = {
        {false,
         UnitTypeFraction(L, 1, T, -1),
         {"[length:1][time:-1]->[time:1][acc:1]", "[length:1][time:-1]->[velocity:1]",
          "[time:-1]->[freq:1]"}},
        {false,
         UnitTypeFraction(L, 2),
         {"[length:2]->[area:1]", "[length:2]->[length:-1][volume:1]"}},
        {false, UnitTypeFraction(NBFUnitTypeVelocity, 1), {}},
        {false, UnitTypeFraction(), {}},
        {false,
         UnitTypeFraction(NBFUnitTypeVoltage, 1, I, 1),
         {"[voltage:1][current:1]->[power:1]"}},
        {false,
         UnitTypeFraction(NBFUnitTypePower, 1, T, 1),
         {"[time:1][power:1]->[energy:1]", "[time:1]->[freq:-1]"}},
        // The derived energy relation keeps mass at degree 0: it needs mass not below 0.
        {true,
         UnitTypeFraction(L, 2, T, -2),
         {"[length:2]->[area:1]", "[length:2]->[length:-1][volume:1]",
          "[length:1][time:-1]->[velocity:1]", "[length:1][time:-1]->[time:1][acc:1]",
          "[length:1][time:-2]->[acc:1]", "[time:-1]->[freq:1]",
          "[length:2][time:-2]->[mass:-1][energy:1]", "[length:1][time:-2]->[mass:-1][force:1]"}},
        {true,
         UnitTypeFraction(L, 2, T, -2, M, -1),
         {"[length:2]->[area:1]", "[length:2]->[length:-1][volume:1]",
          "[length:1][time:-1]->[velocity:1]", "[length:1][time:-1]->[time:1][acc:1]",
          "[length:1][time:-2]->[acc:1]", "[time:-1]->[freq:1]"}},
    };
    for (const auto& row : rows) {
        UnitTypeFactorings* table = row.experimental ? UnitTypeFactorings::experimentalInstance()
                                                     : UnitTypeFactorings::standardInstance();
        std::vector<std::string> keys = keysOf(table->factorizations(row.fraction));
        std::vector<std::string> sorted = row.keys;
        std::sort(keys.begin(), keys.end());
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(keys, sorted) << row.fraction.stringRepresentation();
    }
}

TEST(UnitTypeFactorings, KeyMapsKeepTheLastFactoringOfEachKey) {
    UnitTypeFactorings* standard = UnitTypeFactorings::standardInstance();
    const struct {
        UnitTypeFraction fraction;
        const char* byDecomposed;
        const char* byFactorized;
    } rows[] = {
        // Velocity sorts after time · acc, so the trivial relation wins the decomposed key.
        {UnitTypeFraction(L, 1, T, -1), "[length:1][time:-1]->[velocity:1]", "(null)"},
        {UnitTypeFraction(L, 2), "[length:2]->[length:-1][volume:1]", "(null)"},
        {UnitTypeFraction(NBFUnitTypeArea, 1), "(null)", "[length:2]->[area:1]"},
        {UnitTypeFraction(NBFUnitTypeVolume, 1, L, -1), "(null)",
         "[length:2]->[length:-1][volume:1]"},
        {UnitTypeFraction(NBFUnitTypeFrequency, -1), "(null)", "[time:1]->[freq:-1]"},
    };
    for (const auto& row : rows) {
        std::string key = row.fraction.stringRepresentation();
        EXPECT_EQ(keyOrNull(standard->factoringForDecomposedUnitTypeFraction(row.fraction)),
                  row.byDecomposed)
            << key;
        EXPECT_EQ(keyOrNull(standard->factoringForFactorizedUnitTypeFraction(row.fraction)),
                  row.byFactorized)
            << key;
        EXPECT_EQ(standard->hasFactorizationForUnitTypeFraction(row.fraction),
                  std::string(row.byFactorized) != "(null)")
            << key;
    }
}

TEST(UnitTypeFactorings, ALaterRelationWithTheSameKeyReplacesTheEarlier) {
    UnitTypeFactorings::FactoringList relations = {
        NBF::Ref<UnitTypeFactoring>::adopt(UnitTypeFactoring::create(
            UnitTypeFraction(L, 2), UnitTypeFraction(NBFUnitTypeArea, 1), false)),
        NBF::Ref<UnitTypeFactoring>::adopt(UnitTypeFactoring::create(
            UnitTypeFraction(L, 2), UnitTypeFraction(NBFUnitTypeArea, 1), true)),
    };
    auto table = NBF::Ref<UnitTypeFactorings>::adopt(UnitTypeFactorings::create(relations, false));
    ASSERT_EQ(table->factorings().size(), 2u);
    for (const auto& factoring : table->factorings()) EXPECT_TRUE(factoring->isTrivial());
}

TEST(UnitTypeFactoringsDeathTest, InstanceFollowsTheExperimentalSetting) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EQ(UnitTypeFactorings::instance(), UnitTypeFactorings::standardInstance());
    // In a child process, so this one's settings stay unset.
    EXPECT_EXIT(
        {
            NBFSettingsRef settings = NBFSettingsCreate();
            NBFSettingsSetBool(settings, NBFSettingEnableExperimentalUnits, true);
            NBFSettingsSet(settings);
            NBFSettingsRelease(settings);
            UnitTypeFactorings::initialize();
            bool ok = UnitTypeFactorings::instance() == UnitTypeFactorings::experimentalInstance();
            std::exit(ok ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

}  // namespace
