// The whole road of a line: text to tokens, analysis, parsing, evaluation and the result.
// Lines are written as the document core hands them over, after its substitutions: "in"
// has become "__uc", "mod" "__mod", "²" "^2".
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "EvaluatorTestSupport.h"
#include "NBFEvaluator.h"
#include "NBFExpressionParser.h"
#include "NBFExpressionTokenizer.h"
#include "NBFSettings.h"
#include "NBFUnitCollection.h"
#include "NBFoundation.h"

namespace {

// The result's text, "%" when flagged as a percentage, its units, then "code 0x…" and
// "error N" when set; "empty" for a result without text or code; "none" for no result.
std::string describeResult(NBFResultRef result) {
    if (!result) return "none";
    std::string text = NBFStringGetCppString(NBFResultGetStringReference(result));
    if (NBFResultGetFlags(result) & NBFResultFlagPercentage) text += "%";
    std::string unit = unitText(NBFResultGetUnitFraction(result));
    if (!unit.empty()) text += " " + unit;
    if (NBFEvaluatorErrorCode code = NBFResultGetErrorCode(result)) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "code 0x%x", code);
        text += (text.empty() ? "" : " ") + std::string(hex);
    }
    if (NBFEvaluationError error = NBFResultGetEvaluationError(result)) {
        text += " error " + std::to_string(error);
    }
    return text.empty() ? "empty" : text;
}

// pi to 110 decimals, from the published digits.
const std::string kPi =
    "3.14159265358979323846264338327950288419716939937510582097494459230781640628620899862803482534"
    "2117067982148086513";

struct LineRow {
    const char* line;
    std::string expected;
};

class EvaluatorTest : public ::testing::TestWithParam<LineRow> {
  protected:
    static void SetUpTestSuite() { initFoundationConstants(); }
    void SetUp() override {
        NBFUnitCollectionAddUnits(m_collection, m_units.all().data(),
                                  static_cast<int32_t>(m_units.all().size()));
        // Units of derived types, which meet the base types only through simplification.
        addUnit("litre", NBFUnitTypeVolume, "0.001", {{1, "litre"}, {2, "litres"}, {4, "L"}});
        addUnit("mile-per-hour", NBFUnitTypeVelocity, "0.44704",
                {{1, "mile per hour"}, {4, "mph"}});
        m_evaluator = NBFEvaluatorCreate(m_collection);
        NBFEvaluatorSetFunctionList(m_evaluator, NBFStandardFunctionsGetSharedListReference());
        NBFVariableListSetParentList(m_variables, NBFStandardVariablesGetSharedListReference());
        m_x = NBFVariableCreate();
        setText(m_x, "x", "7");
        NBFVariableListAddVariable(m_variables, m_x);
        NBFEvaluatorSetVariableList(m_evaluator, m_variables);
        NBFWordOperatorListAddASCII(m_wordOperators, "per", kNBFWordOperatorArgumentTypeInfix,
                                    "${1} / ${2}", 5, 0);
        NBFEvaluatorSetWordOperatorList(m_evaluator, m_wordOperators);
    }
    void TearDown() override {
        for (NBFUnitContainerRef unit : m_extraUnits) NBFUnitContainerRelease(unit);
        NBFEvaluatorFree(m_evaluator);
        NBFUnitCollectionRelease(m_collection);
        NBFVariableRelease(m_x);
        NBFVariableListRelease(m_variables);
        NBFWordOperatorListRelease(m_wordOperators);
    }
    void addUnit(const char* identifier, NBFUnitType type, const char* factor,
                 const NBF::UnitContainer::NameMap& names) {
        NBFUnitRef basic = NBFUnitCreate(type, factor, identifier);
        NBFUnitContainerRef unit = NBFUnitContainerCreate(identifier, names, {});
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreateWithBasicUnit(basic);
        NBFUnitContainerSetUnitFraction(unit, NBFUnitFractionBuilderGetUnitFraction(builder));
        NBFUnitFractionBuilderRelease(builder);
        NBFUnitRelease(basic);
        NBFUnitCollectionAddUnit(m_collection, unit);
        m_extraUnits.push_back(unit);
    }
    static void setText(NBFVariableRef variable, const char* name, const char* value) {
        NBFStringRef nameText = NBFStringCreateWithUTF8(name);
        NBFStringRef valueText = NBFStringCreateWithUTF8(value);
        NBFVariableSetName(variable, nameText);
        NBFVariableSetValue(variable, valueText, 0, nullptr);
        NBFStringRelease(nameText);
        NBFStringRelease(valueText);
    }
    std::string evaluate(const char* line) {
        NBFResultRef result = NBFEvaluatorEvaluateString(m_evaluator, std::string(line));
        std::string text = describeResult(result);
        NBFResultRelease(result);
        return text;
    }

    UnitCatalogueFixture m_units;
    NBFUnitCollectionRef m_collection = NBFUnitCollectionCreate();
    NBFVariableListRef m_variables = NBFVariableListCreate();
    NBFVariableRef m_x = nullptr;
    NBFWordOperatorListRef m_wordOperators = NBFWordOperatorListCreate();
    NBFEvaluatorRef m_evaluator = nullptr;
    std::vector<NBFUnitContainerRef> m_extraUnits;
};

const LineRow kLines[] = {
    // Percentages.
    {"10 + 5 %", "10.5"},
    {"5 % + 10", "10.05"},
    {"50 % / 2", "25%"},
    {"10 / 5 %", "200"},
    {"20 % * 50 %", "10%"},
    {"5 %", "5%"},
    // Arithmetic and its errors.
    {"1/0", "code 0x200 error 9"},
    {"0 ^ -1", "code 0x200 error 9"},
    {"2^1000000", "code 0x200 error 3"},
    {"(-8)^0.5", "empty"},
    {"2^40", "1099511627776"},
    {"0.1 + 0.2", "0.3"},
    // 100 places, the last of them dropped.
    {"1/3", "0." + std::string(99, '3')},
    {"2/3", "0." + std::string(99, '6')},
    {"pi", kPi.substr(0, 100) + "8"},  // ...1170679|82 rounds to ...11706|80, then cut
    {"0xff + 0b101", "260"},
    {"3e4", "30000"},
    {"7 __mod 3", "1"},
    {"5!", "120"},
    {"2.5!", "code 0x200 error 6"},
    {"(-3)!", "code 0x200 error 7"},
    {"-3!", "-6"},
    // Special numbers.
    {"__inf()", "code 0x8000"},
    {"__inf() + 1", "code 0x8000"},
    {"__inf() - __inf()", "empty"},
    {"__nan()", "empty"},
    {"__nan() + 4", "4"},
    // Words take no part; no tree, no result.
    {"hello 3 + 4", "7"},
    {"", "none"},
    {"(3;4)", "none"},
    // Variables and word operators.
    {"x * 2", "14"},
    {"10 per 4", "2.5"},
    {"5 per 0", "code 0x200 error 9"},
    // Units.
    {"5 m + 20 cm", "520 centimetre"},
    {"1 km - 300 m", "700 metre"},
    {"3 m * 2 m", "6 metre·metre"},
    {"6 m^2 / 2 m", "3 metre"},
    {"12 / (4 s)", "3 /second"},
    {"100 km / 2 h", "50 kilometre/hour"},
    {"36 km/h __uc m/s", "10 metre/second"},
    {"5 ft __uc cm", "152.4 centimetre"},
    {"90 min __uc h", "1.5 hour"},
    {"1 nautical mile __uc m", "1852 metre"},
    {"3 m^2 __uc cm^2", "30000 centimetre·centimetre"},
    {"sqrt(9 m^2)", "3 metre"},
    {"20 °C __uc K", "293.15 kelvin"},
    {"300 K __uc °C", "26.85 celsius"},
    {"10 °C + 5 K", "288.15 kelvin"},
    {"5 m + 2 kg", "code 0x200 error 5"},
    {"5 km __uc 3", "code 0x200 error 10"},
    {"m^200", "code 0x200 error 3"},
    // Derived types meet base types through simplification.
    {"2 L __uc cm^3", "2000 centimetre·centimetre·centimetre"},
    // The factorizer presents the sum in the volume unit the line named.
    {"1 L + 500 cm^3", "1.5 litre"},
    {"60 mph __uc km/h", "96.56064 kilometre/hour"},
    // 3 · 0.44704 m/s · 7200 s, the hours cancelled into a length.
    {"3 mph * 2 h", "9656.064 metre"},
};

TEST_P(EvaluatorTest, EvaluatesLine) {
    EXPECT_EQ(evaluate(GetParam().line), GetParam().expected) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, EvaluatorTest, ::testing::ValuesIn(kLines));

TEST_F(EvaluatorTest, TrigonometryModeReachesTheFunctions) {
    NBFEvaluatorSetTrigonometryMode(m_evaluator, NBFTrigonometryModeDegrees);
    EXPECT_EQ(evaluate("sin 30 + 1"), "1.5");
    EXPECT_EQ(evaluate("sin 90"), "1");
    NBFEvaluatorSetTrigonometryMode(m_evaluator, NBFTrigonometryModeRadians);
    EXPECT_EQ(evaluate("sin 0"), "0");
    EXPECT_NE(evaluate("sin 90"), "1");
}

TEST_F(EvaluatorTest, WithoutRedefinitionsEveryScopeSeesTheValueAfterAllLines) {
    NBFStringRef three = NBFStringCreateWithUTF8("3");
    NBFVariableSetValueForScopeRange(m_x, three, 0, nullptr, NBFRangeMake(10, 5));
    NBFStringRelease(three);
    NBFStringRef line = NBFStringCreateWithUTF8("x * 2");
    NBFResultRef result = NBFEvaluatorEvaluateStringInScope(m_evaluator, line, 12);
    EXPECT_EQ(describeResult(result), "14");
    NBFResultRelease(result);
    NBFStringRelease(line);
}

// The foundation starts with redefinitions allowed, as a document's engine starts it: in a
// child process, since a process starts the foundation once and the other tests start it with
// default settings.
TEST(EvaluatorDeathTest, ScopeSelectsTheVariablesValueWhenVariablesMayBeRedefined) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NBFSettingsRef settings = NBFSettingsCreate();
            NBFSettingsSetBool(settings, NBFSettingAllowsVariableRedefinitions, true);
            NBFoundationInit(settings);
            NBFSettingsRelease(settings);
            NBFVariableRef x = NBFVariableCreate();
            NBFStringRef name = NBFStringCreateWithUTF8("x");
            NBFStringRef seven = NBFStringCreateWithUTF8("7");
            NBFStringRef three = NBFStringCreateWithUTF8("3");
            NBFVariableSetName(x, name);
            NBFVariableSetValue(x, seven, 0, nullptr);
            NBFVariableSetValueForScopeRange(x, three, 0, nullptr, NBFRangeMake(10, 5));
            NBFVariableListRef variables = NBFVariableListCreate();
            NBFVariableListAddVariable(variables, x);
            NBFUnitCollectionRef units = NBFUnitCollectionCreate();
            NBFEvaluatorRef evaluator = NBFEvaluatorCreate(units);
            NBFEvaluatorSetFunctionList(evaluator, NBFStandardFunctionsGetSharedListReference());
            NBFEvaluatorSetVariableList(evaluator, variables);
            auto twiceX = [evaluator](int32_t scope) {
                NBFStringRef line = NBFStringCreateWithUTF8("x * 2");
                NBFResultRef result = NBFEvaluatorEvaluateStringInScope(evaluator, line, scope);
                std::string text = describeResult(result);
                NBFResultRelease(result);
                NBFStringRelease(line);
                return text;
            };
            std::exit(twiceX(12) == "6" && twiceX(2) == "14" ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

TEST_F(EvaluatorTest, AVariableThatIsAFailureFailsWhatReadsIt) {
    NBFVariableSetEvaluationErrorForScopeRange(m_x, NBFEvaluationErrorDivisionByZero,
                                               NBFRangeMake(0, NBFRangeLengthMax));
    // Not a missing number that the arithmetic around it would pass over.
    for (const char* line : {"x * 2", "x * 0", "100 + x", "sqrt(x)", "10 per x", "x km __uc m"})
        EXPECT_EQ(evaluate(line), "code 0x200 error 9") << line;
    EXPECT_EQ(evaluate("100 + 1"), "101");
    setText(m_x, "x", "7");
    EXPECT_EQ(evaluate("x * 2"), "14");
}

TEST_F(EvaluatorTest, AFractionWrittenStraightBeforeAUnitIsThatFractionOfIt) {
    const LineRow rows[] = {
        {"3/4 m __uc cm", "75 centimetre"},
        {"3/4m __uc cm", "75 centimetre"},
        {"1/2 h + 15 min", "45 minute"},
        {"2 * 3/4 h __uc min", "90 minute"},
        // Spaced, or not of two plain numbers: the divisor is the quantity.
        {"6 / 2 h", "3 /hour"},
        {"6 /2 h", "3 /hour"},
        {"x/2 m", "3.5 /metre"},
        {"2^3/4 m", "2 /metre"},
        {"8/2/4 m", "1 /metre"},
        {"3/4", "0.75"},
    };
    for (const LineRow& row : rows) EXPECT_EQ(evaluate(row.line), row.expected) << row.line;
}

TEST_F(EvaluatorTest, AConversionNeverTurnsAUnitIntoItsReciprocal) {
    const LineRow rows[] = {
        {"1 / (4 m) __uc cm", "code 0x200 error 5"},
        {"2 s __uc 1/s", "code 0x200 error 5"},
        {"1 / (2 h) + 30 min", "code 0x200 error 5"},
        // A ratio turns into its reciprocal ratio.
        {"2 km/h __uc h/km", "0.5 hour/kilometre"},
    };
    for (const LineRow& row : rows) EXPECT_EQ(evaluate(row.line), row.expected) << row.line;
}

TEST_F(EvaluatorTest, ResultsCarryValueUnitNameFormatsAndPrecisionOfTheirText) {
    NBFResultRef result = NBFEvaluatorEvaluateString(m_evaluator, std::string("2 km + 500 metres"));
    EXPECT_EQ(describeResult(result), "2500 metre");
    EXPECT_EQ(NBFResultGetUnitComponentNameFormat(result, m_units.basic("metre")),
              NBFUnitFormatTypeName);
    EXPECT_EQ(NBFResultGetUnitComponentNameFormat(result, m_units.basic("kilometre")),
              NBFUnitFormatTypeSymbol);
    EXPECT_EQ(decimalText(NBFResultGetMAPM(result)), "2500");
    NBFResultRelease(result);
    // The value keeps its digits; only values below 10^-100 become 0.
    NBFResultRef tiny = NBFEvaluatorEvaluateString(m_evaluator, std::string("1e-150 + 0"));
    EXPECT_EQ(describeResult(tiny), "0");
    EXPECT_EQ(decimalText(NBFResultGetMAPM(tiny)), "0");
    NBFResultRelease(tiny);
}

TEST_F(EvaluatorTest, DebuggingRecordsTheParsedTree) {
    NBFEvaluatorSetDebug(m_evaluator, true);
    NBFResultRelease(NBFEvaluatorEvaluateString(m_evaluator, std::string("1 + 2 * 3")));
    const NBFEvaluatorDebugInfo* info = NBFEvaluatorGetDebugInfo(m_evaluator);
    EXPECT_EQ(info->printedTree, "(1+(2*3))");
    EXPECT_EQ(NBFExpressionNodeGetOperatorType(info->rootNode), NBFOperatorTypeAdd);
    NBFEvaluatorSetDebug(m_evaluator, false);
    EXPECT_EQ(info->rootNode, nullptr);
}

TEST_F(EvaluatorTest, ParsedExpressionsAndTokenArraysEvaluateAlike) {
    NBFExpressionParserRef parser = NBFExpressionParserCreate(
        NBFStandardFunctionsGetSharedListReference(), nullptr, nullptr, nullptr);
    NBFExpressionRef expression = NBFExpressionCreate("2 ^ 10 - 24");
    NBFParsedExpressionRef parsed = NBFExpressionParserParseExpression(parser, expression);
    NBFResultRef fromParsed = NBFEvaluatorEvaluateParsedExpressionInScope(m_evaluator, parsed, 0);
    EXPECT_EQ(describeResult(fromParsed), "1000");
    NBFResultRelease(fromParsed);
    NBFParsedExpressionRelease(parsed);
    NBFExpressionRelease(expression);
    NBFExpressionParserRelease(parser);

    // Tokens as the analyser leaves them, handed over in an array.
    NBFExpressionTokenRef six =
        NBFExpressionTokenCreateWithString("6", kNBFTokenTypeNumber, kNBFTokenSubTypeDecimalNumber);
    NBFExpressionTokenRef times =
        NBFExpressionTokenCreateWithString("*", kNBFTokenTypeOperator, kNBFTokenSubTypeMultiply);
    NBFExpressionTokenRef seven =
        NBFExpressionTokenCreateWithString("7", kNBFTokenTypeNumber, kNBFTokenSubTypeDecimalNumber);
    NBFArrayRef tokens = NBFArrayCreate();
    for (NBFExpressionTokenRef token : {six, times, seven}) NBFArrayAddItem(tokens, token);
    NBFResultRef fromTokens = NBFEvaluatorEvaluateExpressionTokensInScope(m_evaluator, tokens, 0);
    EXPECT_EQ(describeResult(fromTokens), "42");
    NBFResultRelease(fromTokens);
    NBFArrayRelease(tokens);
    for (NBFExpressionTokenRef token : {six, times, seven}) NBFExpressionTokenRelease(token);
}

TEST_F(EvaluatorTest, NullArgumentsGiveNoResult) {
    EXPECT_EQ(NBFEvaluatorEvaluateString(nullptr, std::string("1")), nullptr);
    EXPECT_EQ(NBFEvaluatorEvaluateParsedExpressionInScope(m_evaluator, nullptr, 0), nullptr);
    NBFEvaluatorSetTrigonometryMode(nullptr, NBFTrigonometryModeDegrees);
    EXPECT_FALSE(NBFEvaluatorGetIgnoresUndefinedTokens(nullptr));
    EXPECT_TRUE(NBFEvaluatorGetIgnoresUndefinedTokens(m_evaluator));
    NBFEvaluatorFree(nullptr);
}

TEST_F(EvaluatorTest, EvaluatorsRunInParallel) {
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([this, t, &wrong] {
            NBFEvaluatorRef evaluator = NBFEvaluatorCreate(m_collection);
            NBFEvaluatorSetFunctionList(evaluator, NBFStandardFunctionsGetSharedListReference());
            // A list of its own, holding the same word operator: its compiled form is shared.
            NBFWordOperatorListRef words = NBFWordOperatorListCreate();
            NBFStringRef per = NBFStringCreateWithUTF8("per");
            NBFWordOperatorListAddWordOperator(words, NBFWordOperatorListGet(m_wordOperators, per));
            NBFStringRelease(per);
            NBFEvaluatorSetWordOperatorList(evaluator, words);
            for (int i = 1; i <= 30; ++i) {
                // 100 (t + 1) i per (t + 1) is 100 i; i m is 100 i cm.
                std::string line =
                    i % 2 ? std::to_string(100 * (t + 1) * i) + " per " + std::to_string(t + 1)
                          : std::to_string(i) + " m __uc cm";
                NBFResultRef result = NBFEvaluatorEvaluateString(evaluator, line);
                std::string expected = std::to_string(100 * i) + (i % 2 ? "" : " centimetre");
                if (describeResult(result) != expected) ++wrong;
                NBFResultRelease(result);
            }
            NBFEvaluatorFree(evaluator);
            NBFWordOperatorListRelease(words);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

struct MaskRow {
    uint32_t error, code, mask;
    bool contains;
};

TEST(NBFErrorContainsErrorMask, ComparesTheBitsUnderTheMask) {
    const MaskRow rows[] = {
        {0x200, 0x200, 0xff00, true},    // equal under the mask
        {0x8000, 0x200, 0xff00, false},  // different bits
        {0x1, 0x0, 0xff, false},         // the code has nothing under the mask
        {0x3, 0x1, 0x3, true},           // they differ but share exactly the value 1
        {0x2, 0x3, 0x3, false},
        {0x10200, 0x200, 0x200, true},  // bits outside the mask do not count
    };
    for (const MaskRow& row : rows) {
        EXPECT_EQ(NBFErrorContainsErrorMask(row.error, row.code, row.mask), row.contains)
            << std::hex << row.error << " " << row.code << " " << row.mask;
    }
}

}  // namespace
