#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NCUtilityFunctions.h"

namespace {

TEST(NCUtilityFunctions, StringsRoundTripThroughUTF8AndFoundationStrings) {
    const std::u16string text = u"5 \u00D7 3 \u20AC \U0001F600";
    const std::string utf8 = "5 \xC3\x97 3 \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(NCNSStringToCStringUTF8(text), utf8);
    EXPECT_EQ(NCNSStringFromCStringUTF8(utf8.c_str()), text);
    EXPECT_FALSE(NCNSStringFromCStringUTF8(nullptr).has_value());

    NBFStringRef foundation = NCNBFStringCreateFromNSString(text);
    EXPECT_EQ(NBFStringLength(foundation), 10);  // the emoji takes two code units
    ASSERT_NE(NCNSStringFromNBFStringReference(foundation), nullptr);
    EXPECT_EQ(NCNSStringFromNBFStringReference(foundation), &foundation->units());
    EXPECT_EQ(NCNSStringCreateFromNBFString(foundation), text);
    NBFStringRelease(foundation);
    EXPECT_EQ(NCNSStringFromNBFStringReference(nullptr), nullptr);
    EXPECT_FALSE(NCNSStringCreateFromNBFString(nullptr).has_value());
    EXPECT_EQ(NCNBFStringFromNSStringReference(u"abc")->units(), u"abc");
    EXPECT_EQ(NCNBFCharToUniChar(NCNBFCharFromUniChar(u'\u2212')), u'\u2212');
}

TEST(NCUtilityFunctions, RangesKeepTheirOpenEnd) {
    NBFRange open = NCNSRangeToNBFRange({4, NSNotFound});
    EXPECT_EQ(open.location, 4);
    EXPECT_EQ(open.length, 0x7fffffff);
    EXPECT_EQ(NCNSRangeFromNBFRange(open), (NSRange{4, NSNotFound}));
    EXPECT_EQ(NCNSRangeToNBFRange({4, NSUIntegerMax}).length, 0x7fffffff);

    EXPECT_EQ(NCNSRangeFromNBFRange({3, 7}), (NSRange{3, 7}));
    NBFRange plain = NCNSRangeToNBFRange({3, 7});
    EXPECT_EQ(plain.location, 3);
    EXPECT_EQ(plain.length, 7);
    EXPECT_EQ(NCNSRangeFromNBFRange({NBFRangeLocationInvalid, 0}).location, NSNotFound);
    EXPECT_EQ(NCNSRangeToNBFRange({NSNotFound, 0}).location, NBFRangeLocationInvalid);
}

TEST(NCUtilityFunctions, TrigonometryModes) {
    struct Row {
        int32_t core, foundation, back;
    };
    // Unknown core modes give the foundation's 0; everything but radians reads back as degrees.
    const Row rows[] = {{1, 1, 1}, {2, 2, 2}, {3, 0, 1}, {0, 0, 1}, {-1, 0, 1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.core);
        EXPECT_EQ(NCTrigonometryModeToNBFTrigonometryMode(row.core), row.foundation);
        EXPECT_EQ(NCTrigonometryModeFromNBFTrigonometryMode(row.foundation), row.back);
    }
}

TEST(NCUtilityFunctions, EveryFoundationUnitTypeIsItsOwnNumber) {
    testing::internal::CaptureStderr();
    for (int32_t type = 0; type <= 20; ++type) {
        EXPECT_EQ(NCUnitTypeToNBFUnitType(static_cast<NCUnitType>(type)), type);
        EXPECT_EQ(NCUnitTypeFromNBFUnitType(type), static_cast<NCUnitType>(type));
        EXPECT_TRUE(NCUnitTypeHasNBFUnitType(static_cast<NCUnitType>(type)));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(NCUnitTypeHasNBFUnitType(NCUnitTypeFuelConsumption));
    EXPECT_EQ(NCUnitTypeToNBFUnitType(NCUnitTypeFuelConsumption), 0);
    EXPECT_EQ(NCUnitTypeFromNBFUnitType(21), 0u);
    EXPECT_EQ(NCUnitTypeFromNBFUnitType(-3), 0u);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Error!"), std::string::npos);
    EXPECT_NE(log.find("NCUtilityFunctions"), std::string::npos);
}

TEST(NCUtilityFunctions, UnitNameFormatsAndNameTypes) {
    testing::internal::CaptureStderr();
    for (int32_t value = 0; value < 4; ++value) {
        EXPECT_EQ(NCUnitNameFormatFromNBFUnitFormatType(value), value);
        EXPECT_EQ(NCUnitNameFormatToNBFUnitFormatType(value), value);
    }
    EXPECT_EQ(NCUnitNameFormatToNBFUnitFormatType(4), 4);
    for (int32_t value = 1; value <= 4; ++value) {
        EXPECT_EQ(NCUnitNameTypeToNBFUnitNameType(value), value);
        EXPECT_EQ(NBFUnitNameTypeToNCUnitNameType(value), value);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    testing::internal::CaptureStderr();
    EXPECT_EQ(NCUnitNameFormatFromNBFUnitFormatType(4), 1);  // the identifier has no core format
    EXPECT_EQ(NCUnitNameFormatToNBFUnitFormatType(5), 0);
    EXPECT_EQ(NCUnitNameTypeToNBFUnitNameType(5), 0);
    EXPECT_EQ(NBFUnitNameTypeToNCUnitNameType(0), 0);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Unexpected type '4'"), std::string::npos);
    EXPECT_NE(log.find("Unexpected name type 5"), std::string::npos);
}

TEST(NCUtilityFunctions, TokenTypesFromTheFoundation) {
    // Foundation type -> core type, for the whole foundation range and both sides of it.
    const std::vector<std::pair<int32_t, int32_t>> rows = {
        {0, 9},  {1, 2},  {2, 7},   {3, 1},   {4, 9},   {5, 9},   {6, 6},   {7, 9},  {8, 4},
        {9, 9},  {10, 3}, {11, 5},  {12, 15}, {13, 8},  {14, 11}, {15, 12}, {16, 9}, {17, 9},
        {18, 9}, {19, 4}, {20, 18}, {21, 9},  {22, 16}, {23, 17}, {24, 9},  {-1, 9},
    };
    for (auto [foundation, core] : rows) {
        SCOPED_TRACE(foundation);
        EXPECT_EQ(NCExpressionTokenTypeFromNBFTokenType(foundation), core);
    }
}

TEST(NCUtilityFunctions, TokenTypesToTheFoundation) {
    const std::vector<std::pair<int32_t, int32_t>> rows = {
        {0, 0},  {1, 3},   {2, 1},   {3, 10},  {4, 0},   {5, 11},  {6, 6},
        {7, 2},  {8, 0},   {9, 0},   {10, 0},  {11, 14}, {12, 15}, {13, 0},
        {14, 0}, {15, 12}, {16, 22}, {17, 23}, {18, 20}, {19, 0},
    };
    for (auto [core, foundation] : rows) {
        SCOPED_TRACE(core);
        EXPECT_EQ(NCExpressionTokenTypeToNBFTokenType(core), foundation);
    }
    // Every type with a foundation row comes back to itself.
    for (int32_t core : {1, 2, 3, 5, 6, 7, 11, 12, 15, 16, 17, 18})
        EXPECT_EQ(NCExpressionTokenTypeFromNBFTokenType(NCExpressionTokenTypeToNBFTokenType(core)),
                  core);
}

TEST(NCUtilityFunctions, TokenSubTypesFromTheFoundation) {
    const std::vector<std::pair<int32_t, int32_t>> rows = {
        {0, 0},   {1, 1},   {2, 2},   {3, 3},   {4, 4},   {5, 5},   {6, 6},   {7, 7},
        {8, 10},  {9, 11},  {10, 12}, {11, 13}, {12, 16}, {13, 17}, {14, 21}, {15, 22},
        {16, 23}, {17, 14}, {18, 15}, {19, 24}, {20, 0},  {21, 25}, {22, 20}, {23, 17},
        {24, 16}, {25, 0},  {26, 28}, {27, 29}, {28, 30}, {29, 0},  {35, 0},  {-2, 0},
    };
    for (auto [foundation, core] : rows) {
        SCOPED_TRACE(foundation);
        EXPECT_EQ(NCExpressionTokenSubTypeFromNBFTokenSubType(foundation), core);
    }
}

TEST(NCUtilityFunctions, ResultFlagsKeepOnlyThePercentageBit) {
    EXPECT_EQ(NCResultFlagsToNBFResultFlags(0xFFu), 1u);
    EXPECT_EQ(NCResultFlagsFromNBFResultFlags(0xFEu), 0u);
    EXPECT_EQ(NCResultFlagsFromNBFResultFlags(3u), 1u);
}

TEST(NCUtilityFunctions, LineReferenceIdentifiersAndIndexes) {
    EXPECT_EQ(NCLineReferenceIdentifier(4, -1), u"4-1");
    EXPECT_EQ(NCLineReferenceIdentifier(0, 0), u"0+0");
    EXPECT_EQ(NCLineReferenceIdentifier(-3, 12), u"-3+12");

    struct Row {
        NCLineReferenceType kind;
        int64_t number, lineIndex, expected;
    };
    const Row rows[] = {
        {NCLineReferenceTypeByLineNumber, 7, 0, 6},
        {NCLineReferenceTypeRelative, -2, 7, 5},
        {NCLineReferenceTypeRelative, -2, 5, 3},
        {NCLineReferenceTypeFixedRelative, 1, 5, 6},
        {NCLineReferenceTypeAbsolute, 0, 5, 0},
        {NCLineReferenceTypeByLineNumber, 1, 5, 0},
        {NCLineReferenceTypeNull, 0, 5, 0},
        {NCLineReferenceTypeNull, 9, 5, 0},
        {3, 9, 5, 9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        EXPECT_EQ(NCLineReferenceIndex(row.kind, row.number, row.lineIndex), row.expected);
    }
}

TEST(NCUtilityFunctions, LocaleAndSystemVersion) {
    NCSimpleLocale german{u',', u'.'};
    EXPECT_EQ(NCNBFLocaleFromNCSimpleLocale(german), NBFLocaleMake(u',', u'.'));
    EXPECT_EQ(NCNBFLocaleFromNCSimpleLocale(kNCSimpleLocalDefault), kNBFLocaleDefault);
    EXPECT_GE(NCCurrentMacOSVersion(), 0x1080u);
}

}  // namespace
