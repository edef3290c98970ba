#include <gtest/gtest.h>

#include "NBFUnitFractionBuilder.h"
#include "UnitTestCatalog.h"

namespace {

std::string degreesOf(NBFUnitFractionRef fraction) {
    return NBFUnitFractionGetStringRepresentation(fraction);
}

TEST(UnitFractionBuilder, InvertAndCache) {
    UnitTestCatalog units;
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(units["m"]);
    NBFUnitFractionBuilderAddUnit(builder, units["s"], -1);
    NBFUnitFractionRef speed = NBFUnitFractionBuilderGetUnitFraction(builder);
    EXPECT_EQ(NBFUnitFractionBuilderGetUnitFraction(builder), speed);  // cached
    NBFUnitFractionBuilderInvert(builder);
    NBFUnitFractionRef pace = NBFUnitFractionBuilderCreateUnitFraction(builder);
    EXPECT_EQ(degreesOf(pace), "[length:-1][time:1]");
    EXPECT_EQ(NBFUnitFractionBuilderGetUnitFraction(builder), pace);
    NBFUnitFractionBuilderAddUnit(builder, units["kg"], 0);  // no unit, but a rebuild
    NBFUnitFractionRef rebuilt = NBFUnitFractionBuilderGetUnitFraction(builder);
    EXPECT_NE(rebuilt, pace);
    EXPECT_EQ(degreesOf(rebuilt), "[length:-1][time:1]");
    NBFUnitFractionRelease(pace);
    NBFUnitFractionBuilderRelease(builder);
}

TEST(UnitFractionBuilder, AddingFractionsWithPowers) {
    UnitTestCatalog units;
    NBFUnitFractionRef speed = units.fraction({{"m", 1}, {"s", -1}});
    struct Row {
        int8_t power;
        const char* degrees;
    } rows[] = {
        {1, "[length:1][time:-1]"},  {2, "[length:2][time:-2]"},  {0, ""},
        {-1, "[length:-1][time:1]"}, {-2, "[length:-2][time:2]"},
    };
    for (const Row& row : rows) {
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        NBFUnitFractionBuilderAddUnit(builder, speed, row.power);
        EXPECT_EQ(degreesOf(NBFUnitFractionBuilderGetUnitFraction(builder)), row.degrees);
        NBFUnitFractionBuilderRelease(builder);
    }
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    NBFUnitFractionBuilderAddUnit(builder, speed, -2);
    NBFUnitFractionRef squared = NBFUnitFractionBuilderGetUnitFraction(builder);
    EXPECT_EQ(NBFUnitFractionGetNumeratorUnits(squared),
              (std::vector<NBFUnit*>{units["s"], units["s"]}));
    EXPECT_EQ(NBFUnitFractionGetDenominatorUnits(squared),
              (std::vector<NBFUnit*>{units["m"], units["m"]}));
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitFractionRelease(speed);
}

TEST(UnitFractionBuilder, ContainersAndTheirFractions) {
    UnitTestCatalog units;
    NBFUnitContainerRef kph = units.container("kph", {{"km", 1}, {"h", -1}});
    NBFUnitContainerRef bare = NBFUnitContainerCreate();
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithContentsOfUnit(kph);
    NBFUnitFractionBuilderAddDenominatorUnit(builder, bare);  // no fraction: nothing
    NBFUnitFractionBuilderAddDenominatorUnitFraction(builder, nullptr);
    EXPECT_EQ(degreesOf(NBFUnitFractionBuilderGetUnitFraction(builder)), "[length:1][time:-1]");
    NBFUnitFractionBuilderAddDenominatorUnit(builder, kph);
    NBFUnitFractionRef none = NBFUnitFractionBuilderGetUnitFraction(builder);
    EXPECT_TRUE(NBFUnitFractionIsScalar(none));
    EXPECT_EQ(decimalText(NBFUnitFractionBuilderGetMultiplier(builder)), "1");
    NBFUnitFractionBuilderAddNumeratorUnitFraction(builder, NBFUnitContainerGetUnitFraction(kph));
    NBFUnitFractionBuilderAddNumeratorUnit(builder, kph);
    EXPECT_EQ(degreesOf(NBFUnitFractionBuilderGetUnitFraction(builder)), "[length:2][time:-2]");
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitContainerRelease(kph);
    NBFUnitContainerRelease(bare);
}

TEST(UnitFractionBuilder, RatioFactorsGiveExactMultipliers) {
    // Nine degrees of a 5/9 unit per second are exactly five base units per second.
    NBFUnitRef rankine = NBFUnitCreate(NBFUnitTypeTemperature, "5/9", "rankine");
    NBFUnitRef second = NBFUnitCreate(NBFUnitTypeTime, "1", "second");
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(rankine);
    NBFUnitFractionBuilderAddUnit(builder, second, -1);
    NBFUnitFractionBuilderSetExtraMultiplierString(builder, "9");
    NBFUnitFractionRef rate = NBFUnitFractionBuilderGetUnitFraction(builder);
    EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(rate)), "5");
    EXPECT_EQ(decimalText(NBFUnitFractionGetExtraMultiplier(rate)), "9");
    // Over its own kind the ratio cancels to nothing.
    NBFUnitFractionBuilderSetExtraMultiplierMAPM(builder, nullptr);
    NBFUnitFractionBuilderAddUnit(builder, rankine, -1);
    NBFUnitFractionBuilderAddUnit(builder, second, 1);
    EXPECT_EQ(decimalText(NBFUnitFractionBuilderGetMultiplier(builder)), "1");
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitRelease(rankine);
    NBFUnitRelease(second);
}

TEST(UnitFractionBuilder, ExtraMultiplier) {
    UnitTestCatalog units;
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    EXPECT_EQ(decimalText(NBFUnitFractionBuilderGetMultiplier(builder)), "1");
    EXPECT_TRUE(NBFUnitFractionIsScalar(NBFUnitFractionBuilderGetUnitFraction(builder)));
    NBFUnitFractionBuilderSetExtraMultiplierString(builder, "12");
    NBFUnitFractionBuilderAddUnit(builder, units["ft"], 1);
    NBFUnitFractionRef foot12 = NBFUnitFractionBuilderGetUnitFraction(builder);
    EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(foot12)), "3.6576");
    EXPECT_EQ(decimalText(NBFUnitFractionGetUnitMultiplier(foot12)), "0.3048");
    EXPECT_EQ(decimalText(NBFUnitFractionGetExtraMultiplier(foot12)), "12");
    NBFUnitFractionBuilderSetExtraMultiplierMAPM(builder, nullptr);
    EXPECT_FALSE(NBFUnitFractionHasExtraMultiplier(NBFUnitFractionBuilderGetUnitFraction(builder)));
    NBFUnitFractionBuilderRelease(builder);
}

TEST(UnitFractionBuilder, DegreesNeverWrap) {
    UnitTestCatalog units;
    struct Row {
        std::vector<int> powers;  // of the metre, added in turn
        bool overflow;
        const char* degrees;
    } rows[] = {
        {{127}, false, "[length:127]"},
        {{-127}, false, "[length:-127]"},
        {{-128}, true, ""},
        {{100, 100}, true, ""},
        {{100, 100, -100}, false, "[length:100]"},
        {{127, 1}, true, ""},
    };
    for (const Row& row : rows) {
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        for (int power : row.powers) builder->addUnit(units["m"], static_cast<int8_t>(power));
        NBFUnitFractionRef fraction = builder->getUnitFraction();
        EXPECT_EQ(NBFUnitFractionBuilderHasDegreeOverflow(builder), row.overflow);
        EXPECT_EQ(fraction == nullptr, row.overflow);
        if (fraction) {
            EXPECT_EQ(degreesOf(fraction), row.degrees);
        }
        NBFUnitFractionBuilderRelease(builder);
    }
    // A fraction already at the limit raised again is refused as well.
    NBFUnitFractionRef big = units.fraction({{"m", 100}});
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithContentsOfUnitFraction(big);
    builder->addUnit(big, 1);
    EXPECT_EQ(builder->getUnitFraction(), nullptr);
    EXPECT_EQ(NBFUnitFractionBuilderGetMultiplier(builder), nullptr);
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitFractionRelease(big);
}

TEST(UnitFractionBuilder, NullBuildersAreTolerated) {
    NBFUnitFractionBuilderAddUnit(nullptr, static_cast<NBFUnit*>(nullptr), 1);
    NBFUnitFractionBuilderInvert(nullptr);
    EXPECT_EQ(NBFUnitFractionBuilderGetUnitFraction(nullptr), nullptr);
    EXPECT_EQ(NBFUnitFractionBuilderCreateUnitFraction(nullptr), nullptr);
    EXPECT_EQ(NBFUnitFractionBuilderGetMultiplier(nullptr), nullptr);
    NBFUnitFractionBuilderRelease(nullptr);
}

}  // namespace
