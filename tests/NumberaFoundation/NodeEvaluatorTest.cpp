#include <gtest/gtest.h>

#include <string>

#include "EvaluatorTestSupport.h"
#include "NBFErrorLog.h"

namespace {

typedef std::function<NBFExpressionNodeRef(const TreeBuilder&)> TreeMaker;

struct EvaluationRow {
    const char* name;  // the expression as a user would type it
    TreeMaker tree;
    const char* expected;
};

class NodeEvaluatorTest : public ::testing::TestWithParam<EvaluationRow> {
  protected:
    static void SetUpTestSuite() { NBFStandardFunctionsInit(); }
    void SetUp() override {
        m_evaluator = NBFExpressionNodeEvaluatorCreate(nullptr);
        NBFErrorLogSetEnabled(false);
    }
    void TearDown() override {
        NBFErrorLogSetEnabled(true);
        NBFExpressionNodeEvaluatorRelease(m_evaluator);
    }
    std::string evaluate(const TreeMaker& maker,
                         NBFTrigonometryMode mode = NBFTrigonometryModeRadians) {
        return evaluateTree(m_evaluator, maker(TreeBuilder(m_units)), mode);
    }

    UnitCatalogueFixture m_units;
    NBFExpressionNodeEvaluatorRef m_evaluator = nullptr;
};

using T = const TreeBuilder&;
constexpr NBFOperatorType kMinus = NBFOperatorTypeUnaryMinus;

const EvaluationRow kRows[] = {
    // Percentages: added to a number they scale it; a number after a percentage reads it as a
    // fraction.
    {"10 + 5 %", [](T t) { return t.add(t.num("10"), t.num("5%")); }, "10.5"},
    {"5 % + 10", [](T t) { return t.add(t.num("5%"), t.num("10")); }, "10.05"},
    {"10 - 5 %", [](T t) { return t.sub(t.num("10"), t.num("5%")); }, "9.5"},
    {"5 % + 3 %", [](T t) { return t.add(t.num("5%"), t.num("3%")); }, "8%"},
    {"50 % / 2", [](T t) { return t.div(t.num("50%"), t.num("2")); }, "25%"},
    {"10 / 5 %", [](T t) { return t.div(t.num("10"), t.num("5%")); }, "200"},
    {"20 % * 50 %", [](T t) { return t.mul(t.num("20%"), t.num("50%")); }, "10%"},
    {"200 * 15 %", [](T t) { return t.mul(t.num("200"), t.num("15%")); }, "30"},
    {"30 % / 60 %", [](T t) { return t.div(t.num("30%"), t.num("60%")); }, "0.5"},
    {"5 % (operator)", [](T t) { return t.op(NBFOperatorTypePercent, t.num("5")); }, "5%"},
    // Arithmetic, exact where nothing needs rounding.
    {"0.1 + 0.2", [](T t) { return t.add(t.num("0.1"), t.num("0.2")); }, "0.3"},
    {"1 / 8", [](T t) { return t.div(t.num("1"), t.num("8")); }, "0.125"},
    {"1 / 0", [](T t) { return t.div(t.num("1"), t.num("0")); }, "error 9"},
    {"1 / 0 %", [](T t) { return t.div(t.num("1"), t.num("0%")); }, "error 9"},
    {"-(2.5)", [](T t) { return t.op(kMinus, t.num("2.5")); }, "-2.5"},
    {"+(2.5)", [](T t) { return t.op(NBFOperatorTypeUnaryPlus, t.num("2.5")); }, "2.5"},
    // Powers.
    {"2 ^ 40", [](T t) { return t.pow(t.num("2"), t.num("40")); }, "1099511627776"},
    {"2 ^ -3", [](T t) { return t.pow(t.num("2"), t.num("-3")); }, "0.125"},
    {"9 ^ 0.5", [](T t) { return t.pow(t.num("9"), t.num("0.5")); }, "3"},
    {"(-8) ^ 3", [](T t) { return t.pow(t.num("-8"), t.num("3")); }, "-512"},
    {"(-8) ^ -1", [](T t) { return t.pow(t.num("-8"), t.num("-1")); }, "-0.125"},
    {"(-8) ^ 0.5", [](T t) { return t.pow(t.num("-8"), t.num("0.5")); }, "nan"},
    {"(-8) ^ 1.5", [](T t) { return t.pow(t.num("-8"), t.num("1.5")); }, "nan"},
    {"0 ^ -1", [](T t) { return t.pow(t.num("0"), t.num("-1")); }, "error 9"},
    {"0 ^ 0", [](T t) { return t.pow(t.num("0"), t.num("0")); }, "1"},
    {"0 ^ 2", [](T t) { return t.pow(t.num("0"), t.num("2")); }, "0"},
    {"2 ^ 1000000", [](T t) { return t.pow(t.num("2"), t.num("1000000")); }, "error 3"},
    {"10 ^ 20", [](T t) { return t.pow(t.num("10"), t.num("20")); }, "100000000000000000000"},
    {"11 ^ 999999 (result beyond the bound)",
     [](T t) { return t.pow(t.num("11"), t.num("999999")); }, "error 3"},
    {"4 ^ 50 %", [](T t) { return t.pow(t.num("4"), t.num("50%")); }, "2"},
    // Times-ten powers.
    {"3 e10 4", [](T t) { return t.op(NBFOperatorTypeE10, t.num("3"), t.num("4")); }, "30000"},
    {"2.5 e10 -2", [](T t) { return t.op(NBFOperatorTypeE10, t.num("2.5"), t.num("-2")); },
     "0.025"},
    {"0 e10 -5", [](T t) { return t.op(NBFOperatorTypeE10, t.num("0"), t.num("-5")); }, "0"},
    {"1 e10 1000000", [](T t) { return t.op(NBFOperatorTypeE10, t.num("1"), t.num("1000000")); },
     "error 3"},
    // Magnitude: a product beyond 10^1000000 is refused.
    {"1e600000 * 1e600000", [](T t) { return t.mul(t.num("1e600000"), t.num("1e600000")); },
     "error 3"},
    {"1e-600000 / 1e600000", [](T t) { return t.div(t.num("1e-600000"), t.num("1e600000")); },
     "error 3"},
    // Modulo keeps the left operand's sign.
    {"7 mod 3", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("7"), t.num("3")); }, "1"},
    {"-7 mod 3", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("-7"), t.num("3")); }, "-1"},
    {"7 mod 0", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("7"), t.num("0")); }, "error 9"},
    // The operands as they are: a - trunc(a / b) * b; a percentage divisor is its fraction.
    {"5.5 mod 2", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("5.5"), t.num("2")); }, "1.5"},
    {"7.5 mod 2.5", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("7.5"), t.num("2.5")); },
     "0"},
    {"1.75 mod 0.5", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("1.75"), t.num("0.5")); },
     "0.25"},
    {"10 mod 0.3", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("10"), t.num("0.3")); },
     "0.1"},
    {"10 mod 30 %", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("10"), t.num("30%")); },
     "0.1"},
    {"-5.5 mod 2", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("-5.5"), t.num("2")); },
     "-1.5"},
    {"0.5 mod 0", [](T t) { return t.op(NBFOperatorTypeModulo, t.num("0.5"), t.num("0")); },
     "error 9"},
    {"(100 digits) mod 7",
     [](T t) { return t.op(NBFOperatorTypeModulo, t.num(std::string(100, '1')), t.num("7")); },
     "error 12"},
    // Factorial.
    {"5!", [](T t) { return t.op(NBFOperatorTypeFactorial, t.num("5")); }, "120"},
    {"2.5!", [](T t) { return t.op(NBFOperatorTypeFactorial, t.num("2.5")); }, "error 6"},
    {"(-3)!", [](T t) { return t.op(NBFOperatorTypeFactorial, t.num("-3")); }, "error 7"},
    {"(-2.5)!", [](T t) { return t.op(NBFOperatorTypeFactorial, t.num("-2.5")); }, "error 7"},
    {"100000!", [](T t) { return t.op(NBFOperatorTypeFactorial, t.num("100000")); }, "error 3"},
    // Infinities.
    {"inf + 1", [](T t) { return t.add(t.num("inf"), t.num("1")); }, "inf"},
    {"1 + -inf", [](T t) { return t.add(t.num("1"), t.num("-inf")); }, "-inf"},
    {"1 - inf", [](T t) { return t.sub(t.num("1"), t.num("inf")); }, "-inf"},
    {"inf - 1", [](T t) { return t.sub(t.num("inf"), t.num("1")); }, "inf"},
    {"inf - inf", [](T t) { return t.sub(t.num("inf"), t.num("inf")); }, "nan"},
    {"inf + -inf", [](T t) { return t.add(t.num("inf"), t.num("-inf")); }, "nan"},
    {"inf - -inf", [](T t) { return t.sub(t.num("inf"), t.num("-inf")); }, "inf"},
    {"inf * 0", [](T t) { return t.mul(t.num("inf"), t.num("0")); }, "nan"},
    {"inf * -2", [](T t) { return t.mul(t.num("inf"), t.num("-2")); }, "-inf"},
    {"-inf * -inf", [](T t) { return t.mul(t.num("-inf"), t.num("-inf")); }, "inf"},
    {"inf / inf", [](T t) { return t.div(t.num("inf"), t.num("inf")); }, "nan"},
    {"5 / -inf", [](T t) { return t.div(t.num("5"), t.num("-inf")); }, "0"},
    {"-inf / 4", [](T t) { return t.div(t.num("-inf"), t.num("4")); }, "-inf"},
    {"inf / 0", [](T t) { return t.div(t.num("inf"), t.num("0")); }, "error 9"},
    {"-(inf)", [](T t) { return t.op(kMinus, t.num("inf")); }, "-inf"},
    {"-(-inf)", [](T t) { return t.op(kMinus, t.num("-inf")); }, "inf"},
    {"2 ^ inf", [](T t) { return t.pow(t.num("2"), t.num("inf")); }, "nan"},
    // Not-a-number is a missing term of a sum and poisons everything else.
    {"nan + 4", [](T t) { return t.add(t.num("nan"), t.num("4")); }, "4"},
    {"nan - 4", [](T t) { return t.sub(t.num("nan"), t.num("4")); }, "-4"},
    {"4 - nan", [](T t) { return t.sub(t.num("4"), t.num("nan")); }, "4"},
    {"4 * nan", [](T t) { return t.mul(t.num("4"), t.num("nan")); }, "nan"},
    {"nan + inf", [](T t) { return t.add(t.num("nan"), t.num("inf")); }, "nan"},
    // Operand counts.
    {"unary minus of two operands", [](T t) { return t.op(kMinus, t.num("1"), t.num("2")); },
     "error 2"},
    {"an addition with one operand", [](T t) { return t.op(NBFOperatorTypeAdd, t.num("1")); },
     "error 1"},
    {"an operator of no known type", [](T t) { return t.op(10, t.num("1"), t.num("2")); }, ""},
    // The first error stops the evaluation.
    {"(1 / 0) + 2 ^ 1000000",
     [](T t) { return t.add(t.div(t.num("1"), t.num("0")), t.pow(t.num("2"), t.num("1000000"))); },
     "error 9"},
    // Functions.
    {"sqrt(16)", [](T t) { return t.call("sqrt", {t.num("16")}); }, "4"},
    {"sqrt(16) + 1", [](T t) { return t.add(t.call("sqrt", {t.num("16")}), t.num("1")); }, "5"},
    {"test_add3(3; 8; 5)",
     [](T t) {
         return t.call("test_add3", {t.num("3"), t.num("8"), t.num("5")});
     },
     "16"},
    {"a list has no value of its own",
     [](T t) {
         return NBFExpressionNodeCreateList_TransferOwnership({t.num("1"), t.num("2")});
     },
     ""},
};

TEST_P(NodeEvaluatorTest, EvaluatesExpression) {
    EXPECT_EQ(evaluate(GetParam().tree), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Rows, NodeEvaluatorTest, ::testing::ValuesIn(kRows));

const EvaluationRow kUnitRows[] = {
    {"5 m + 20 cm", [](T t) { return t.add(t.qty("5", "metre"), t.qty("20", "centimetre")); },
     "520 centimetre"},
    {"20 cm + 5 m", [](T t) { return t.add(t.qty("20", "centimetre"), t.qty("5", "metre")); },
     "5.2 metre"},
    {"1 km - 300 m", [](T t) { return t.sub(t.qty("1", "kilometre"), t.qty("300", "metre")); },
     "700 metre"},
    {"5 m + 2 (a plain number takes the unit)",
     [](T t) { return t.add(t.qty("5", "metre"), t.num("2")); }, "7 metre"},
    {"3 m * 2 m", [](T t) { return t.mul(t.qty("3", "metre"), t.qty("2", "metre")); },
     "6 metre·metre"},
    {"6 m^2 / 2 m",
     [](T t) {
         return t.div(t.mul(t.num("6"), t.pow(t.unit("metre"), t.num("2"))), t.qty("2", "metre"));
     },
     "3 metre"},
    {"12 / 4 s", [](T t) { return t.div(t.num("12"), t.qty("4", "second")); }, "3 /second"},
    {"36 km/h in m/s",
     [](T t) {
         return t.in(t.div(t.qty("36", "kilometre"), t.unit("hour")),
                     t.div(t.unit("metre"), t.unit("second")));
     },
     "10 metre/second"},
    {"90 min in h", [](T t) { return t.in(t.qty("90", "minute"), t.unit("hour")); }, "1.5 hour"},
    {"20 °C in K", [](T t) { return t.in(t.qty("20", "celsius"), t.unit("kelvin")); },
     "293.15 kelvin"},
    {"300 K in °C", [](T t) { return t.in(t.qty("300", "kelvin"), t.unit("celsius")); },
     "26.85 celsius"},
    {"10 °C + 5 K", [](T t) { return t.add(t.qty("10", "celsius"), t.qty("5", "kelvin")); },
     "288.15 kelvin"},
    {"5 in m (a plain number takes the target)",
     [](T t) { return t.in(t.num("5"), t.unit("metre")); }, "5 metre"},
    {"5 m in 3 (no target unit)", [](T t) { return t.in(t.qty("5", "metre"), t.num("3")); },
     "error 10"},
    {"5 m + 2 kg", [](T t) { return t.add(t.qty("5", "metre"), t.qty("2", "kilogram")); },
     "error 5"},
    {"5 m in s", [](T t) { return t.in(t.qty("5", "metre"), t.unit("second")); }, "error 5"},
    {"(4 m^2) ^ 0.5",
     [](T t) { return t.pow(t.mul(t.num("4"), t.pow(t.unit("metre"), t.num("2"))), t.num("0.5")); },
     "2 metre"},
    {"m ^ 0.5", [](T t) { return t.pow(t.unit("metre"), t.num("0.5")); }, "error 11"},
    {"m ^ 200", [](T t) { return t.pow(t.unit("metre"), t.num("200")); }, "error 3"},
    {"m^100 * m^100",
     [](T t) {
         return t.mul(t.pow(t.unit("metre"), t.num("100")), t.pow(t.unit("metre"), t.num("100")));
     },
     "error 3"},
    {"-(5 m)", [](T t) { return t.op(kMinus, t.qty("5", "metre")); }, "-5 metre"},
    {"5 m + inf (a special result has no unit)",
     [](T t) { return t.add(t.qty("5", "metre"), t.num("inf")); }, "inf"},
    {"sqrt(9 m^2)",
     [](T t) { return t.call("sqrt", {t.mul(t.num("9"), t.pow(t.unit("metre"), t.num("2")))}); },
     "3 metre"},
};

class NodeEvaluatorUnitTest : public NodeEvaluatorTest {};

TEST_P(NodeEvaluatorUnitTest, EvaluatesExpressionWithUnits) {
    EXPECT_EQ(evaluate(GetParam().tree), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Rows, NodeEvaluatorUnitTest, ::testing::ValuesIn(kUnitRows));

TEST_F(NodeEvaluatorTest, DegreeModeReachesTheFunctions) {
    TreeMaker sinPlusOne = [](T t) { return t.add(t.call("sin", {t.num("30")}), t.num("1")); };
    EXPECT_EQ(evaluate(sinPlusOne, NBFTrigonometryModeDegrees), "1.5");
}

TEST_F(NodeEvaluatorTest, QuotientsRoundToTheEvaluatorsPrecision) {
    NBFExpressionNodeEvaluatorRef evaluator = NBFExpressionNodeEvaluatorCreate(nullptr, 20);
    TreeBuilder t(m_units);
    // MAPM's precision counts the places after the first digit: one more significant digit.
    EXPECT_EQ(evaluateTree(evaluator, t.div(t.num("1"), t.num("3"))), "0." + std::string(21, '3'));
    EXPECT_EQ(evaluateTree(evaluator, t.div(t.num("2"), t.num("3"))),
              "0." + std::string(20, '6') + "7");
    NBFExpressionNodeEvaluatorRelease(evaluator);
    EXPECT_EQ(evaluate([](T t) { return t.div(t.num("1"), t.num("3")); }),
              "0." + std::string(101, '3'));
}

TEST_F(NodeEvaluatorTest, UnitMetadataOfTheRootReachesTheContext) {
    TreeBuilder t(m_units);
    NBFExpressionNodeRef root = t.add(t.qty("5", "metre"), t.qty("20", "centimetre"));
    NBFExpressionNodeRef centimetres =
        NBFExpressionNodeGetChildren(NBFExpressionNodeGetChildren(root)[1])[1];
    NBFExpressionNodeSetUnitNameFormat(centimetres, NBFUnitFormatTypeSymbol);
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(root));
    NBFExpressionNodeRelease(root);
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
    NBFValueRef value = NBFExpressionNodeEvaluatorEvaluate(m_evaluator, tree.get(), context);
    ASSERT_NE(context->unitAccumulator, nullptr);
    // The unit named last in an ordinary operation is the preferred one of its type.
    EXPECT_EQ(NBFEvalMetadataGetPreferredUnitOfType(context->unitAccumulator, NBFUnitTypeLength),
              m_units.basic("centimetre"));
    EXPECT_TRUE(NBFEvalMetadataGetRequiredUnitsMap(context->unitAccumulator).empty());
    // Each unit keeps the name format it was written in.
    const NBFUnitNameFormatMap& formats =
        NBFEvalMetadataGetUnitNameFormatMap(context->unitAccumulator);
    ASSERT_EQ(formats.count("centimetre"), 1u);
    EXPECT_EQ(formats.at("centimetre"), NBFUnitFormatTypeSymbol);
    EXPECT_EQ(formats.at("metre"), NBFUnitFormatTypeNone);
    NBFValueRelease(value);
    NBFEvaluationContextRelease(context);
}

TEST_F(NodeEvaluatorTest, ConversionTargetsBecomeRequiredUnits) {
    TreeBuilder t(m_units);
    NBFExpressionNodeRef root = t.in(t.qty("3", "kilometre"), t.unit("foot"));
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(root));
    NBFExpressionNodeRelease(root);
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
    NBFValueRef value = NBFExpressionNodeEvaluatorEvaluate(m_evaluator, tree.get(), context);
    // 3000 / 0.3048 to 100 significant digits.
    EXPECT_EQ(MathCaller::describe(value).substr(0, 20), "9842.519685039370078");
    EXPECT_EQ(NBFEvalMetadataGetRequiredUnitOfType(context->unitAccumulator, NBFUnitTypeLength),
              m_units.basic("foot"));
    NBFValueRelease(value);
    NBFEvaluationContextRelease(context);
}

TEST_F(NodeEvaluatorTest, OperatorsRefuseNullOperandsAndClearTheError) {
    NBFEvaluationError error = NBFEvaluationErrorDivisionByZero;
    EXPECT_EQ(NBFExpressionNodeEvaluatorAdd(m_evaluator, nullptr, nullptr, &error), nullptr);
    EXPECT_EQ(error, NBFEvaluationErrorNone);
    NBFValueRef two = NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(2, 1));
    EXPECT_EQ(NBFExpressionNodeEvaluatorMultiply(nullptr, two, two, &error), nullptr);
    NBFValueRef four = NBFExpressionNodeEvaluatorMultiply(m_evaluator, two, two, nullptr);
    EXPECT_EQ(NBFNumberGetInt32Value(NBFValueGetNumber(four)), 4);
    NBFValueRelease(four);
    NBFValueRelease(two);
}

}  // namespace
