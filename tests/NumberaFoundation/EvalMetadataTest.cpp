#include <gtest/gtest.h>

#include "NBFEvalMetadata.h"
#include "UnitTestCatalog.h"

namespace {

class EvalMetadataTest : public ::testing::Test {
  protected:
    NBFEvalMetadataRef withFraction(std::initializer_list<std::pair<const char*, int>> parts) {
        NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
        NBFUnitFractionRef fraction = units.fraction(parts);
        NBFEvalMetadataAppendUnitFraction(metadata, fraction);
        NBFUnitFractionRelease(fraction);
        return metadata;
    }
    UnitTestCatalog units;
};

TEST_F(EvalMetadataTest, AFractionGivesPreferredUnits) {
    NBFEvalMetadataRef metadata = withFraction({{"km", 1}, {"h", -1}});
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeLength), units["km"]);
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeTime), units["h"]);
    EXPECT_EQ(NBFEvalMetadataGetRequiredUnitOfType(metadata, NBFUnitTypeTime), nullptr);
    NBFEvalUnitsMap expected = {{NBFUnitTypeLength, units["km"]}, {NBFUnitTypeTime, units["h"]}};
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitsMap(metadata), expected);
    EXPECT_TRUE(NBFEvalMetadataGetRequiredUnitsMap(metadata).empty());
    NBFEvalMetadataRelease(metadata);
}

TEST_F(EvalMetadataTest, ConversionMakesUnitsRequired) {
    NBFEvalMetadataRef metadata = withFraction({{"m", 1}});
    NBFEvalMetadataRef seconds = withFraction({{"s", -1}});
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, seconds, NBFOperatorTypeUnitConversion);
    EXPECT_EQ(NBFEvalMetadataGetRequiredUnitOfType(metadata, NBFUnitTypeTime), units["s"]);

    NBFEvalMetadataRef feet = withFraction({{"ft", 1}});
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, feet, NBFOperatorTypeUnitConversion);
    EXPECT_EQ(NBFEvalMetadataGetRequiredUnitOfType(metadata, NBFUnitTypeLength), units["ft"]);
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeLength), units["ft"]);
    EXPECT_EQ(NBFEvalMetadataGetRequiredUnitOfType(metadata, NBFUnitTypeTime), nullptr);  // dropped

    // An ordinary operation naming a length overrides the requirement of that type only.
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, seconds, NBFOperatorTypeUnitConversion);
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, feet, NBFOperatorTypeUnitConversion);
    NBFEvalMetadataRef kilometres = withFraction({{"km", 1}});
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, kilometres, NBFOperatorTypeAdd);
    EXPECT_EQ(NBFEvalMetadataGetRequiredUnitOfType(metadata, NBFUnitTypeLength), nullptr);
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeLength), units["km"]);
    NBFEvalMetadataRelease(metadata);
    NBFEvalMetadataRelease(seconds);
    NBFEvalMetadataRelease(feet);
    NBFEvalMetadataRelease(kilometres);
}

TEST_F(EvalMetadataTest, DenominatorOnlyTypesAndElectricalTypes) {
    NBFEvalMetadataRef metadata = withFraction({{"V", 1}, {"min", -1}});
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeTime), units["min"]);
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeVoltage), units["V"]);
    NBFEvalUnitsMap expected = {{NBFUnitTypeTime, units["min"]}};
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitsMap(metadata), expected);
    NBFEvalMetadataRelease(metadata);
}

TEST_F(EvalMetadataTest, NameFormatsMergeByIdentifier) {
    NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
    NBFEvalMetadataRef child = NBFEvalMetadataCreate();
    NBFEvalMetadataAppendUnitNameFormatMapping(metadata, units["km"], NBFUnitFormatTypeSymbol);
    NBFEvalMetadataAppendUnitNameFormatMapping(child, units["km"], NBFUnitFormatTypeName);
    NBFEvalMetadataAppendUnitNameFormatMapping(child, units["h"], NBFUnitFormatTypeVeryShortName);
    NBFEvalMetadataAppendAccumulator(metadata, child);
    NBFUnitNameFormatMap expected = {{"h", NBFUnitFormatTypeVeryShortName},
                                     {"km", NBFUnitFormatTypeName}};
    EXPECT_EQ(NBFEvalMetadataGetUnitNameFormatMap(metadata), expected);
    EXPECT_TRUE(NBFEvalMetadataGetUnitNameFormatMap(nullptr).empty());
    NBFEvalMetadataAppendAccumulator(metadata, nullptr);
    NBFEvalMetadataAppendAccumulator(nullptr, child);
    NBFEvalMetadataRelease(metadata);
    NBFEvalMetadataRelease(child);
}

TEST_F(EvalMetadataTest, UnitsOutliveTheFractionsThatNamedThem) {
    NBFUnitRef yard = NBFUnitCreate(NBFUnitTypeLength, "0.9144", "yd");
    NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(yard);
    NBFEvalMetadataAppendUnitFraction(metadata, NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    NBFUnitRelease(yard);
    EXPECT_STREQ(
        NBFUnitGetIdentifier(NBFEvalMetadataGetPreferredUnitOfType(metadata, NBFUnitTypeLength)),
        "yd");
    NBFEvalMetadataRelease(metadata);
}

}  // namespace
