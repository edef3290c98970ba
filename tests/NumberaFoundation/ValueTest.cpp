#include <gtest/gtest.h>

#include "NBFEvaluationContext.h"
#include "NBFPolyString.h"
#include "NBFStringBuffer.h"
#include "NBFUnitFractionFromTypeFraction.h"
#include "NBFValue.h"
#include "UnitTestCatalog.h"

namespace {

TEST(Value, HoldsNumberAndFraction) {
    UnitTestCatalog units;
    NBFNumberRef number = NBFNumberCreateWithCString("2.5", NBFNumberTypePercentage);
    NBFUnitFractionRef fraction = units.fraction({{"km", 1}});
    NBFValueRef value = NBFValueCreate(number, fraction);
    EXPECT_EQ(number->retainCount(), 2);
    EXPECT_EQ(NBFValueGetNumber(value), number);
    EXPECT_EQ(NBFValueGetUnitFraction(value), fraction);
    NBFValueRef plain = NBFValueCreate_TransferOwnership(NBFNumberRetain(number));
    EXPECT_EQ(number->retainCount(), 3);
    EXPECT_EQ(NBFValueGetUnitFraction(plain), nullptr);
    NBFValueRelease(plain);
    NBFValueRelease(value);
    EXPECT_EQ(number->retainCount(), 1);
    NBFValueRef owning = NBFValueCreate_TransferOwnership(number, fraction);  // takes both over
    NBFValueRelease(owning);
    NBFValueRelease(nullptr);
    EXPECT_EQ(NBFValueGetNumber(nullptr), nullptr);
}

TEST(Value, EvaluatedValueKeepsMetadata) {
    NBFValueRef value = NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(3, 1));
    NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
    NBFEvaluatedValueRef evaluated = NBFEvaluatedValueCreate(value, metadata);
    EXPECT_EQ(evaluated->value(), value);
    EXPECT_EQ(evaluated->metadata(), metadata);
    EXPECT_EQ(value->retainCount(), 2);
    NBFEvaluatedValueRelease(evaluated);
    EXPECT_EQ(value->retainCount(), 1);
    NBFValueRelease(value);
    NBFEvalMetadataRelease(metadata);
}

TEST(EvaluationContext, CopyKeepsModeErrorAndOwnsItsAccumulator) {
    UnitTestCatalog units;
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(NBFTrigonometryModeDegrees);
    EXPECT_EQ(context->evaluationError, NBFEvaluationErrorNone);
    EXPECT_EQ(context->scratch->specialResult, 0);
    int info = 0;
    context->contextInfo = &info;
    context->evaluationError = NBFEvaluationErrorDivisionByZero;
    NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
    NBFUnitFractionRef fraction = units.fraction({{"km", 1}, {"h", -1}});
    NBFEvalMetadataAppendUnitFraction(metadata, fraction);
    NBFEvaluationContextSetUnitAccumulator(context, metadata);
    NBFEvalMetadataRelease(metadata);

    NBFEvaluationContextRef copy = NBFEvaluationContextCreateCopy(context);
    EXPECT_EQ(copy->trigonometryMode, NBFTrigonometryModeDegrees);
    EXPECT_EQ(copy->contextInfo, &info);
    EXPECT_EQ(copy->evaluationError, NBFEvaluationErrorDivisionByZero);
    ASSERT_NE(copy->unitAccumulator, nullptr);
    EXPECT_NE(copy->unitAccumulator, context->unitAccumulator);
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(copy->unitAccumulator, NBFUnitTypeTime),
              units["h"]);
    NBFEvaluationContextRelease(copy);

    NBFEvaluationContextRef radians = NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
    NBFEvaluationContextRef bare = NBFEvaluationContextCreateCopy(radians);
    EXPECT_EQ(bare->unitAccumulator, nullptr);
    EXPECT_EQ(bare->trigonometryMode, NBFTrigonometryModeRadians);
    EXPECT_EQ(NBFEvaluationContextCreateCopy(nullptr), nullptr);
    NBFEvaluationContextRelease(bare);
    NBFEvaluationContextRelease(radians);
    NBFEvaluationContextRelease(context);
    NBFUnitFractionRelease(fraction);
}

TEST(StringBuffer, KeepsRoomForTheTerminator) {
    auto buffer = NBF::Ref<NBF::StringBuffer>::adopt(NBF::StringBuffer::create(4));
    buffer->append('a')->append('b');
    NBFStringRef two = buffer->createString();
    EXPECT_EQ(NBFStringGetCppString(two), "ab");
    NBFStringRelease(two);
    buffer->append('c')->append('d');
    EXPECT_EQ(buffer->cppString(), "abc");
    EXPECT_EQ(buffer->createString(), nullptr);  // full: the text may have been cut
    buffer->reset();
    buffer->append("wxyz");
    EXPECT_EQ(buffer->cppString(), "wxy");
    buffer->reset();
    buffer->appendFormat("%d-%s", 42, "long");
    EXPECT_EQ(buffer->cppString(), "42-");
    EXPECT_EQ(buffer->length(), 3);
    buffer->reset();
    buffer->appendFormat("%d", 7)->append(nullptr)->appendFormat("%c", 'x');
    EXPECT_EQ(buffer->cppString(), "7x");
}

TEST(PolyString, BothFormsOfOneText) {
    auto fromText = NBF::Ref<NBF::PolyString>::adopt(NBF::PolyString::create("5 km ÷ h"));
    EXPECT_EQ(fromText->cppString(), "5 km ÷ h");
    EXPECT_STREQ(fromText->cString(), "5 km ÷ h");
    NBFStringRef made = fromText->nbfString();
    EXPECT_EQ(NBFStringLength(made), 8);
    EXPECT_EQ(fromText->nbfString(), made);  // made once

    NBFStringRef string = NBFStringCreateWithUTF8("√2");
    auto fromString = NBF::Ref<NBF::PolyString>::adopt(NBF::PolyString::create(string));
    EXPECT_EQ(fromString->nbfString(), string);
    EXPECT_EQ(fromString->cppString(), "√2");
    NBFStringRelease(string);

    auto empty = NBF::Ref<NBF::PolyString>::adopt(
        NBF::PolyString::create(static_cast<const char*>(nullptr)));
    EXPECT_EQ(empty->cppString(), "");
    EXPECT_EQ(NBFStringLength(empty->nbfString()), 0);
}

TEST(UnitFractionFromTypeFraction, PreferredReferenceAndBaseUnits) {
    UnitTestCatalog units;
    NBFUnitContainerRef gram = units.container("g", {{"g", 1}});
    NBFBaseUnitLookup baseUnits = [gram](NBFUnitType type) {
        return type == NBFUnitTypeMass ? gram : nullptr;
    };
    NBFUnitFractionRef kph = units.fraction({{"km", 1}, {"h", -1}});
    NBFEvalUnitsMap preferred = {{NBFUnitTypeLength, units["mi"]}};
    NBF::UnitTypeFraction speed(NBFUnitTypeLength, 1, NBFUnitTypeTime, -1);
    NBFUnitFractionRef miles =
        NBFUnitFractionCreateFromTypeFraction(baseUnits, nullptr, kph, preferred, speed);
    ASSERT_NE(miles, nullptr);
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnitOfType(miles, NBFUnitTypeLength), units["mi"]);
    EXPECT_EQ(NBFUnitFractionGetOnlyDenominatorUnitOfType(miles, NBFUnitTypeTime), units["h"]);
    // Denotes 1 km/h: 1000 / 1609.344 miles per hour.
    EXPECT_TRUE(NBFUnitFractionIsEqualToUnitFraction(miles, kph));
    EXPECT_EQ(decimalText(NBFUnitFractionGetExtraMultiplier(miles)).substr(0, 24),
              "0.6213711922373339696174");
    NBFUnitFractionRelease(miles);

    NBF::UnitTypeFraction massPerTime(NBFUnitTypeMass, 1, NBFUnitTypeTime, -1);
    NBFUnitFractionRef grams =
        NBFUnitFractionCreateFromTypeFraction(baseUnits, nullptr, kph, {}, massPerTime);
    ASSERT_NE(grams, nullptr);
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnitOfType(grams, NBFUnitTypeMass), units["g"]);
    NBFUnitFractionRelease(grams);

    NBF::UnitTypeFraction money(NBFUnitTypeMoney, 1);
    EXPECT_EQ(NBFUnitFractionCreateFromTypeFraction(baseUnits, nullptr, kph, {}, money), nullptr);
    NBF::UnitTypeFraction huge(NBFUnitTypeLength, 200);
    EXPECT_EQ(NBFUnitFractionCreateFromTypeFraction(baseUnits, nullptr, kph, {}, huge), nullptr);
    NBFUnitFractionRelease(kph);
    NBFUnitContainerRelease(gram);
}

}  // namespace
