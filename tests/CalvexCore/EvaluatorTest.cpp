// The evaluator facade: the standard word operators, percentages, trigonometry modes and the
// word operators made by type.
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCWordOperator.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCEvaluator> plainEvaluator() {
    initFoundationConstants();
    return std::make_shared<NCEvaluator>(nullptr, NCVariableList::listWithStandardVariables(),
                                         NCWordOperatorList::listWithStandardWordOperators());
}

struct Row {
    const char16_t* line;
    const char* value;  // to 10 decimal places
    bool percentage = false;
    NCTrigonometryMode mode = NCTrigonometryModeRadians;
};

TEST(EvaluatorTest, StandardWordOperatorsPercentagesAndTrigonometry) {
    const Row rows[] = {
        {u"5 × 3", "15"},
        {u"20% off 50", "40"},
        {u"20% on 50", "60"},
        {u"20% of 50", "10"},
        {u"20 as a % of 50", "40%", true},
        {u"3 per 4", "0.75"},
        {u"4 into 12", "3"},
        {u"3 from 10", "7"},
        {u"7 x 6", "42"},
        {u"17 mod 5", "2"},
        {u"1 lsl 4", "16"},
        {u"12 xor 10", "6"},
        {u"sin(30)", "0.5", false, NCTrigonometryModeDegrees},
        {u"cos(60)", "0.5", false, NCTrigonometryModeDegrees},
        {u"sin(pi/6)", "0.5"},
        {u"cos(pi)", "-1"},
        {u"tan(45)", "1", false, NCTrigonometryModeDegrees},
    };
    auto evaluator = plainEvaluator();
    for (const Row& row : rows) {
        evaluator->setTrigMode(row.mode);
        auto result = evaluator->evaluateExpression(NCExpression::expressionWithString(row.line));
        const std::string line = utf8(std::u16string(row.line));
        ASSERT_EQ(result->resultType(), NCResultTypeValue) << line;
        EXPECT_EQ(utf8(result->decimalValue(10)), row.value) << line;
        EXPECT_EQ((result->flags() & NCResultFlagPercentage) != 0, row.percentage) << line;
    }
}

TEST(EvaluatorTest, EvaluateStringAnswersTheCompleteValue) {
    auto evaluator = plainEvaluator();
    EXPECT_EQ(utf8(evaluator->evaluateString(u"0.3048*1000")), "304.8");
    EXPECT_EQ(utf8(evaluator->evaluateString(u"1/8")), "0.125");
    EXPECT_EQ(evaluator->evaluateString(u""), std::nullopt);
    EXPECT_EQ(evaluator->evaluateExpression(nullptr), NCResult::emptyResult());
}

TEST(EvaluatorTest, WordOperatorsOfEachType) {
    // Operands 12 and 4 around the word: a+b, a-b, a*b, a/b, b-a, b/a.
    const std::pair<NCWordOperatorType, const char*> rows[] = {
        {NCWordOperatorTypeAdd, "16"},
        {NCWordOperatorTypeSubtract, "8"},
        {NCWordOperatorTypeMultiply, "48"},
        {NCWordOperatorTypeDivide, "3"},
        {NCWordOperatorTypeReverseSubtract, "-8"},
        {NCWordOperatorTypeReverseDivide, "0.3333333333"},
    };
    for (const auto& [type, value] : rows) {
        auto evaluator = plainEvaluator();
        auto wordOperator = NCWordOperator::wordOperatorOfType(type, u"blend");
        ASSERT_NE(wordOperator, nullptr);
        evaluator->wordOperators()->addWordOperator(*wordOperator);
        auto result =
            evaluator->evaluateExpression(NCExpression::expressionWithString(u"12 blend 4"));
        EXPECT_EQ(utf8(result->decimalValue(10)), value) << type;
    }
    EXPECT_NE(NCWordOperator::wordOperatorOfType(9, u"odd"), nullptr);
}

TEST(EvaluatorTest, UnitsOfTheRealCatalogue) {
    initFoundationConstants();
    NCEvaluator evaluator(realUnitManager(NCUnitsPreferences::defaultPreferences()),
                          NCVariableList::listWithStandardVariables(),
                          NCWordOperatorList::listWithStandardWordOperators());
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"5 ft in cm", "152.4 cm"},
        {u"2 metres / 4 seconds", "0.5 metres per second"},
        {u"1 KB in bytes", "1000 bytes"},
        {u"100 °C in °F", "212 °F"},
    };
    for (const auto& [line, expected] : rows) {
        auto result = evaluator.evaluateExpression(NCExpression::expressionWithString(line));
        EXPECT_EQ(utf8(result->decimalValue(10)) + " " + utf8(result->unitString()), expected)
            << utf8(std::u16string(line));
    }
}

}  // namespace
