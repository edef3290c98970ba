// Lines classified and evaluated in order, as a document does: declarations give line
// variables whose values hold from their line on (the first from the top).
#include <gtest/gtest.h>

#include <map>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NCLineEvaluator.h"
#include "NCVariable.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCEnvironment> documentEnvironment() {
    initFoundationConstants();
    static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
    auto environment = std::make_shared<NCEnvironment>();
    auto variables = std::make_shared<NCVariableList>();
    variables->setParentList(NCVariableList::listWithStandardVariables());
    environment->setUnitManager(units);
    environment->setVariables(variables);
    environment->setWordOperators(NCWordOperatorList::listWithStandardWordOperators());
    environment->setFunctions(std::make_shared<NCFunctionList>(NCEvaluator::builtInFunctions()));
    return environment;
}

// Answers as "value unit", "" for an empty result, "(text)" for plain text.
std::vector<std::string> evaluateDocument(const std::vector<std::u16string>& texts,
                                          NCTrigonometryMode mode = NCTrigonometryModeRadians) {
    auto environment = documentEnvironment();
    std::map<std::u16string, std::shared_ptr<NCVariable>> variables;
    NCLineCollection lines;
    std::vector<std::string> answers;
    for (size_t index = 0; index < texts.size(); ++index) {
        auto line = NCLine::lineWithExpressionString(texts[index]);
        lines.addLine(line);
        auto lineExpression =
            NCLineEvaluator::lineExpressionForExpression(line->expression(), environment);
        auto result = NCLineEvaluator::evaluateLineExpression(
            *lineExpression, static_cast<int64_t>(index), &lines, environment, mode);
        line->setResult(result);
        if (auto declaration = lineExpression->variableDeclaration(); declaration && declaration->name()) {
            auto& variable = variables[*declaration->name()];
            const bool first = !variable;
            if (first) {
                variable = NCVariable::variableWithName(*declaration->name());
                NBFVariableListAddVariable(environment->variables()->nbfVariableList(),
                                           variable->nbfVariable());
                environment->variables()->registerStateChange();
            }
            if (result->resultType() == NCResultTypeValue)
                variable->setDelocalizedValue(
                    result->stringValueWithPrecision(NCLineEvaluator::evaluationPrecision()),
                    result->flags(), result->unit(),
                    NBFRangeMake(first ? 0 : static_cast<int32_t>(index), NBFRangeLengthMax));
        }
        if (lineExpression->expressionType() == NCLineExpressionTypePlainText) {
            answers.push_back("(text)");
            continue;
        }
        std::string answer = utf8(result->decimalValue(10));
        if (result->resultType() != NCResultTypeValue) answer = "";
        if (result->resultType() == NCResultTypeValue && result->unit())
            answer += " " + utf8(result->unitString());
        answers.push_back(answer);
    }
    return answers;
}

TEST(LineEvaluatorTest, LinesOverTheRealCatalogue) {
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"5 ft in cm", "152.4 cm"},
        {u"100 °C in °F", "212 °F"},
        {u"1 KB in bytes", "1000 bytes"},
        {u"2 metres / 4 seconds", "0.5 metres per second"},
        {u"1 hectare in m²", "10000 m^2"},
        {u"10 litres per hundred kilometres", "10 litres per hundred kilometres"},
        {u"3 kilograms per hundred kilometres", "3 kilograms per hundred kilometres"},
        {u"1 gee in m/s²", "9.80665 m/s^2"},
        {u"0.1 litres per kilometre in litres per hundred kilometres",
         "10 litres per hundred kilometres"},
        {u"5 × 3", "15"},
        {u"20% off 50", "40"},
        {u"20 as a % of 50", "40%"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(evaluateDocument({text}).front(), expected) << utf8(std::u16string(text));
}

TEST(LineEvaluatorTest, DeclarationsAndTheirUses) {
    EXPECT_EQ(evaluateDocument({u"my total = 5", u"total * 2"}),
              (std::vector<std::string>{"5", "10"}));
    EXPECT_EQ(evaluateDocument({u"a = 5", u"a + 1", u"a = 7", u"a + 1"}),
              (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(evaluateDocument({u"speed = 90 km/h", u"speed in m/s"}),
              (std::vector<std::string>{"90 km/h", "25 m/s"}));
    // Not a declaration: plain text, never evaluated, and no variable comes of it.
    EXPECT_EQ(evaluateDocument({u"a = b = 3", u"a"}), (std::vector<std::string>{"(text)", ""}));
    EXPECT_EQ(evaluateDocument({u"just some words here"}).front(), "");
}

TEST(LineEvaluatorTest, TrigonometryByTheLinesMode) {
    EXPECT_EQ(evaluateDocument({u"sin(30)", u"cos(60)", u"atan(1)"}, NCTrigonometryModeDegrees),
              (std::vector<std::string>{"0.5", "0.5", "45"}));
    EXPECT_EQ(evaluateDocument({u"sin(pi/2)", u"cos(pi)", u"atan(1)*4"}),
              (std::vector<std::string>{"1", "-1", "3.1415926536"}));
}

TEST(LineEvaluatorTest, EmptyAndAbsentEvaluableParts) {
    auto environment = documentEnvironment();
    NCPlainTextLineExpression plain(NCExpression::expressionWithString(u"notes"));
    EXPECT_EQ(NCLineEvaluator::evaluateLineExpression(plain, 0, nullptr, environment, 2),
              NCResult::emptyResult());
    NCNormalLineExpression empty(NCExpression::expressionWithString(u""));
    auto raw = NCLineEvaluator::evaluateLineExpression(empty, 0, nullptr, environment, 2);
    EXPECT_NE(raw, NCResult::emptyResult());
    EXPECT_EQ(raw->rawResult(), std::nullopt);
    EXPECT_EQ(NCLineEvaluator::lineExpressionForExpression(nullptr, environment)->expressionType(),
              NCLineExpressionTypePlainText);
}

}  // namespace

namespace {

TEST(LineEvaluatorTest, LineReferencesInTheirStoredForm) {
    const std::u16string byNumber = NCExpression::absoluteLineReferenceByLineNumberFunctionName();
    const std::u16string relative = NCExpression::relativeLineReferenceFunctionName();
    EXPECT_EQ(evaluateDocument({u"4 m", byNumber + u"(1) * 3", relative + u"(-1) in cm"}),
              (std::vector<std::string>{"4 m", "12 m", "1200 cm"}));
    EXPECT_EQ(evaluateDocument({u"4", byNumber + u"(99999999999)", relative + u"(-99999999999)",
                                relative + u"(0)"}),
              (std::vector<std::string>{"4", "", "", ""}));
}

}  // namespace
