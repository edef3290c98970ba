#include <gtest/gtest.h>

#include <string>

#include "CoreTestSupport.h"
#include "NBFParser.h"
#include "NBFUnitFractionBuilder.h"
#include "NCBasicUnit.h"
#include "NCResult.h"
#include "NCValueUnit.h"

namespace {

using Names = NCBasicUnit::Names;

class ResultTest : public testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        metre = NCBasicUnit::create(u"metre", NCUnitTypeLength, u"1",
                                    Names{u"metre", u"metres", {}, u"m"}, {});
    }

    // A foundation result as an evaluation would hand it over.
    static NBFResultRef evaluated(const char* text) {
        NBFStringRef string = text ? NBFStringCreateWithUTF8(text) : nullptr;
        NBFResultRef result = NBFResultCreate(string);
        NBFStringRelease(string);
        return result;
    }

    std::shared_ptr<NCBasicUnit> metre;
};

TEST_F(ResultTest, RawTextIsTrimmedAndDecidesTheType) {
    struct Row {
        std::optional<std::u16string> text;
        std::string raw;
        NCResultType type;
    };
    const Row rows[] = {
        {u"   ", "", NCResultTypeEmpty},
        {u" 42 \n", "42", NCResultTypeValue},
        {u"\t-3.5\u2028", "-3.5", NCResultTypeValue},
        {std::nullopt, "(none)", NCResultTypeEmpty},
    };
    for (const Row& row : rows) {
        NCResult result(row.text);
        EXPECT_EQ(utf8(result.rawResult()), row.raw);
        EXPECT_EQ(result.resultType(), row.type);
        EXPECT_EQ(result.errorType(), NCResultErrorTypeNone);
    }
    EXPECT_EQ(NCResult().resultType(), NCResultTypeNotSet);
    auto empty = NCResult::emptyResult();
    EXPECT_EQ(empty, NCResult::emptyResult());
    EXPECT_EQ(empty->resultType(), NCResultTypeEmpty);
}

TEST_F(ResultTest, WholeNumberLengthAndUnity) {
    EXPECT_EQ(NCResult(u"123.45").wholeNumberLength(), 3);
    EXPECT_EQ(NCResult(u"12").wholeNumberLength(), 2);
    EXPECT_EQ(NCResult(u".5").wholeNumberLength(), 1);
    EXPECT_TRUE(NCResult(u"1.000").isUnity());
    EXPECT_FALSE(NCResult(u"1.0001").isUnity());
    EXPECT_EQ(utf8(NCResult(u"2.500").completeStringValue()), "2.5");
    EXPECT_EQ(utf8(NCResult(u"3.14159").stringValueWithPrecision(3)), "3.14");
}

TEST_F(ResultTest, RawPrecisionReachesTheFoundationResult) {
    NCResult result(u"7");
    EXPECT_EQ(NBFResultGetPrecision(result.nbfResult()), NBFResultPrecisionNotDefined);
    result.setRawResultPrecision(12);
    EXPECT_EQ(NBFResultGetPrecision(result.nbfResult()), 12);
}

TEST_F(ResultTest, ErrorsOfAnEvaluation) {
    struct Row {
        NBFEvaluationError error;
        NBFEvaluatorErrorCode code;
        NCResultErrorType errorType;
        NCResultType type;
    };
    const Row rows[] = {
        {9, NBFEvaluatorErrorCodeNonRecoverableParseError, 2, 3},
        {3, NBFEvaluatorErrorCodeNonRecoverableParseError, 1, 3},
        {5, NBFEvaluatorErrorCodeNonRecoverableParseError, 3, 3},
        {1, NBFEvaluatorErrorCodeNonRecoverableParseError, 4, 3},
        {11, 0, 4, 3},
        {0, 0, 0, 2},
        {0, NBFEvaluatorErrorCodeDivideByZero, 2, 3},
        {0, NBFEvaluatorErrorCodeExponentTooLarge, 1, 3},
        {0, NBFEvaluatorErrorCodeUnitTypeMismatch, 3, 3},
        {0, NBFParseErrorGeneral, 4, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.error << " " << row.code);
        NBFResultRef failed = evaluated(nullptr);
        NBFResultSetEvaluationError(failed, row.error);
        NBFResultSetErrorCode(failed, row.code);
        NCResult result(failed);
        NBFResultRelease(failed);
        EXPECT_EQ(result.errorType(), row.errorType);
        EXPECT_EQ(result.resultType(), row.type);
    }
    NBFResultRef unknown = evaluated(nullptr);
    NBFResultSetEvaluationError(unknown, 12);
    testing::internal::CaptureStderr();
    NCResult result(unknown);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unexpected error type 12"),
              std::string::npos);
    NBFResultRelease(unknown);
    EXPECT_EQ(result.errorType(), NCResultErrorTypeGeneral);
}

TEST_F(ResultTest, ValuesOfAnEvaluationKeepUnitFormatsAndPercentage) {
    NBFResultRef value = evaluated("2.5");
    NBFUnitFractionBuilderRef builder =
        NBFUnitFractionBuilderCreateWithContentsOfUnit(metre->nbfUnitContainer());
    NBFResultSetUnitFraction(value, NBFUnitFractionBuilderGetUnitFraction(builder));
    NBFUnitFractionBuilderRelease(builder);
    NBFResultSetUnitNameFormats(value, {{"metre", NBFUnitFormatTypeSymbol}});
    NBFResultSetFlags(value, 3);
    NBFResultSetErrorCode(value, NBFEvaluatorErrorCodeDivideByZero);  // not carried over

    NCResult result(value);
    NBFResultRelease(value);
    EXPECT_EQ(utf8(result.rawResult()), "2.5");
    EXPECT_EQ(result.resultType(), NCResultTypeValue);
    EXPECT_EQ(result.errorType(), NCResultErrorTypeNone);
    EXPECT_EQ(result.flags(), NCResultFlagPercentage);
    ASSERT_TRUE(result.unit());
    EXPECT_EQ(result.unit()->type(), NCUnitTypeLength);
    EXPECT_EQ(result.unitNameFormatForComponentUnitType(NCUnitTypeLength), NCUnitNameFormatSymbol);
    EXPECT_EQ(result.unitNameFormatForComponentUnitType(NCUnitTypeMass), NCUnitNameFormatDefault);
    EXPECT_EQ(NBFResultGetErrorCode(result.nbfResult()), 0u);
    EXPECT_EQ(NBFResultGetUnitFraction(result.nbfResult()), nullptr);
    // The stored symbol format governs the unit text.
    EXPECT_EQ(utf8(result.unitString()), "m");
}

TEST_F(ResultTest, UnitsAreFilteredAndNamedByNumber) {
    NCResult one(u"1", metre);
    EXPECT_EQ(one.unfilteredUnit(), metre);
    EXPECT_EQ(one.unit(), metre);
    EXPECT_EQ(utf8(one.unitString()), "metre");
    EXPECT_EQ(utf8(NCResult(u"2", metre).unitString()), "metres");
    EXPECT_FALSE(NCResult(u"2").unitString());
    EXPECT_EQ(utf8(NCResult(u"3", metre).stringValue()), "3 metres");
}

TEST_F(ResultTest, EqualityByValueAndUnit) {
    NCResult a(u"2.50"), b(u"2.5"), withUnit(u"2.5", metre), other(u"2.6");
    EXPECT_TRUE(a.isEqual(&b));
    EXPECT_TRUE(a.isEqual(&a));
    EXPECT_FALSE(a.isEqual(&other));
    EXPECT_FALSE(withUnit.isEqual(&b));
    EXPECT_FALSE(b.isEqual(&withUnit));
    EXPECT_TRUE(withUnit.isEqual(NCResult::resultWithRawResultString(u"2.5", metre).get()));
    EXPECT_FALSE(a.isEqual(nullptr));
    EXPECT_EQ(b.hash(), NCResult(u"2.5").hash());
}

TEST_F(ResultTest, StringValueUsesTenPlacesAndTheResultsOwnFlags) {
    NCResult result(u"1234.567890123456");
    EXPECT_EQ(utf8(result.stringValue()), "1234.5678901235");
    result.setThousandsSeparator(true);
    EXPECT_EQ(utf8(result.stringValue()), "1,234.5678901235");
    NCResult plain(u"2.5");
    EXPECT_EQ(utf8(plain.decimalValue(3)), "2.5");
    plain.setTrailingZeros(true);
    EXPECT_EQ(utf8(plain.decimalValue(3)), "2.500");
    // Never scientific, whatever the kept options say.
    NCResult big(u"123456789012345678901234");
    EXPECT_EQ(utf8(big.decimalValue(0)), "123456789012345678901234");
}

TEST_F(ResultTest, DescriptionNamesRawTextAndUnit) {
    std::string text = NBFUTF16ToUTF8(NCResult(u"42", metre).description());
    EXPECT_NE(text.find("raw: '42', unit: 'metre'>"), std::string::npos);
    EXPECT_EQ(NBFUTF16ToUTF8(NCResult(u"42").description()).find("unit"), std::string::npos);
}

}  // namespace
