#include <gtest/gtest.h>

#include "NBFErrorLog.h"
#include "NBFUnitType.h"

namespace {

TEST(UnitType, ArrayIndexesFollowTheTable) {
    struct Row {
        NBFUnitType type;
        int32_t index;
        const char* identifier;
    } rows[] = {
        {0, 20, nullptr},       {1, 19, nullptr},       {2, 0, "length"},
        {3, 1, "mass"},         {4, 2, "money"},        {5, 3, "time"},
        {6, 4, "temp"},         {7, 5, "comp storage"}, {8, 6, "force"},
        {9, 7, "energy"},       {10, 8, "power"},       {11, 9, "pressure"},
        {12, 10, "freq"},       {13, 11, "voltage"},    {14, 12, "current"},
        {15, 13, "resistance"}, {16, 14, "velocity"},   {17, 15, "acc"},
        {18, 16, "area"},       {19, 17, "volume"},     {20, 18, "comp throughput"},
    };
    NBFErrorLogSetEnabled(false);
    for (const Row& row : rows) {
        EXPECT_EQ(NBFUnitTypeToArrayIndex(row.type), row.index) << row.type;
        EXPECT_EQ(NBFUnitTypeFromArrayIndex(row.index), row.type) << row.index;
        const char* identifier = NBFUnitTypeIdentifier(row.type);
        if (row.identifier) {
            EXPECT_STREQ(identifier, row.identifier);
        } else {
            EXPECT_EQ(identifier, nullptr);
        }
    }
    EXPECT_EQ(NBFUnitTypeFromArrayIndex(21), NBFUnitTypeNone);
    EXPECT_EQ(NBFUnitTypeFromArrayIndex(-1), NBFUnitTypeNone);
    NBFErrorLogSetEnabled(true);
}

TEST(UnitType, AnUnknownTypeStopsTheProcess) {
    EXPECT_DEATH(NBFUnitTypeToArrayIndex(21), "Unexpected unit type");
}

TEST(UnitType, FormatTypeOfNameType) {
    const NBFUnitFormatType expected[] = {0, 1, 1, 2, 3};
    for (NBFUnitNameType nameType = 0; nameType < 5; ++nameType) {
        EXPECT_EQ(NBFUnitFormatTypeFromNBFUnitNameType(nameType), expected[nameType]);
    }
    NBFErrorLogSetEnabled(false);
    EXPECT_EQ(NBFUnitFormatTypeFromNBFUnitNameType(5), 0);
    NBFErrorLogSetEnabled(true);
}

TEST(UnitType, TheTypeListLeavesOutElectricalTypes) {
    const std::vector<NBFUnitType> expected = {2,  3,  4,  5,  6,  7,  8,  9,
                                               10, 11, 12, 16, 17, 18, 19, 20};
    EXPECT_EQ(NBFUnitTypes(), expected);
}

TEST(UnitType, Bitmaps) {
    NBFUnitTypeBitmap empty = NBFUnitTypeBitmapZero;
    EXPECT_FALSE(NBFUnitTypeBitmapHasSingleUnitOnly(&empty));
    NBFUnitTypeBitmap length = NBFUnitTypeBitmapMake(NBFUnitTypeLength);
    EXPECT_EQ(length, 1u);
    EXPECT_EQ(NBFUnitTypeBitmapMake(NBFUnitTypeNone), uint64_t{1} << 20);
    EXPECT_TRUE(NBFUnitTypeBitmapHasSingleUnitOnly(&length));
    NBFUnitTypeBitmap both = NBFUnitTypeBitmapAdd(length, NBFUnitTypeBitmapMake(NBFUnitTypeTime));
    EXPECT_EQ(both, 0b1001u);
    EXPECT_FALSE(NBFUnitTypeBitmapHasSingleUnitOnly(&both));
    EXPECT_TRUE(NBFUnitTypeBitmapHasUnitType(&both, NBFUnitTypeTime));
    EXPECT_FALSE(NBFUnitTypeBitmapHasUnitType(&both, NBFUnitTypeMass));
    NBFUnitTypeBitmapAppend(&empty, both);
    EXPECT_EQ(empty, both);
}

}  // namespace
