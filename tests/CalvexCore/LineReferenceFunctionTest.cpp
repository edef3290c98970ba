// Line references evaluated as calls of the built-in reference functions, reading the
// answers of other lines of a collection.
#include <gtest/gtest.h>

#include "NCBuiltins.h"
#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "UnitsFileTestSupport.h"

namespace {

class LineReferenceFunctionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        evaluator =
            std::make_shared<NCEvaluator>(realUnitManager(NCUnitsPreferences::defaultPreferences()),
                                          NCVariableList::listWithStandardVariables(),
                                          NCWordOperatorList::listWithStandardWordOperators());
        environment = std::make_shared<NCEnvironment>();
        environment->setUnitManager(evaluator->unitManager());
        environment->setVariables(evaluator->variableList());
        environment->setWordOperators(evaluator->wordOperators());
        environment->setFunctions(
            std::make_shared<NCFunctionList>(NCEvaluator::builtInFunctions()));
        lines.setEnvironment(environment);
        // Line 0: 5 metres, line 1: 25%, line 2: empty, line 3: an error, line 4: 12.
        for (const char16_t* text : {u"5 metres", u"25%", u"", u"1/0", u"12"}) {
            auto line = NCLine::lineWithExpressionString(std::u16string(text));
            line->setResult(evaluate(text, nullptr));
            lines.addLine(line);
        }
    }

    std::shared_ptr<NCResult> evaluate(const std::u16string& text, NCEvaluationContext* context) {
        auto expression = NCExpression::expressionWithString(text);
        auto tokenized = expression->tokenizedExpression();
        tokenized->setVariableList(environment->variables());
        tokenized->setUnitManager(environment->unitManager());
        tokenized->setWordOperators(environment->wordOperators());
        tokenized->setFunctions(environment->functions());
        return evaluator->evaluateTokenizedExpression(tokenized.get(), *environment, context);
    }

    // Evaluated as the line at `index`.
    std::shared_ptr<NCResult> evaluateAt(const std::u16string& text, int64_t index,
                                         NCEvaluationContext* context = nullptr) {
        NCEvaluationContext local(std::make_shared<NCIndexPath>(), &lines, index);
        return evaluate(text, context ? context : &local);
    }

    std::shared_ptr<NCEvaluator> evaluator;
    std::shared_ptr<NCEnvironment> environment;
    NCLineCollection lines;
};

TEST_F(LineReferenceFunctionTest, ReferencesReadTheirTargetsAnswers) {
    const std::u16string relative = NCExpression::relativeLineReferenceFunctionName();
    const std::u16string absolute = NCExpression::absoluteLineReferenceFunctionName();
    const std::u16string byNumber = NCExpression::absoluteLineReferenceByLineNumberFunctionName();
    const std::u16string fixed = NCExpression::fixedRelativeLineReferenceFunctionName();
    struct Row {
        std::u16string text;
        int64_t index;
        const char* value;  // "nan" for not-a-number
        bool percentage;
        const char* unit;
    } rows[] = {
        {relative + u"(-5) * 2", 5, "10", false, "metres"},
        {absolute + u"(0) + 1 metre", 6, "6", false, "metres"},
        {byNumber + u"(1) in cm", 6, "500", false, "cm"},
        {fixed + u"(-3)", 4, "25", true, ""},
        {absolute + u"(1)", 6, "25", true, ""},
        {absolute + u"(4) * 2", 6, "24", false, ""},
        {absolute + u"(2)", 6, "nan", false, ""},   // empty line
        {absolute + u"(3)", 6, "nan", false, ""},   // error
        {absolute + u"(70)", 6, "nan", false, ""},  // no such line
        {byNumber + u"(0)", 6, "nan", false, ""},   // index -1
        {relative + u"(-99999999999)", 6, "nan", false, ""},
        {absolute + u"(99999999999)", 6, "nan", false, ""},
        {absolute + u"(4294967296)", 6, "nan", false, ""},  // would wrap to line 0
        {absolute + u"(1.5)", 6, "nan", false, ""},
        {NCExpression::nullLineReferenceFunctionName() + u"(0)", 6, "nan", false, ""},
    };
    for (const Row& row : rows) {
        auto result = evaluateAt(row.text, row.index);
        const std::string text = utf8(row.text);
        if (std::string(row.value) == "nan") {
            EXPECT_NE(result->resultType(), NCResultTypeValue) << text;
            continue;
        }
        ASSERT_EQ(result->resultType(), NCResultTypeValue) << text;
        std::string value = utf8(result->decimalValue(10));
        if (row.percentage) value.pop_back();  // the percent sign
        EXPECT_EQ(value, row.value) << text;
        EXPECT_EQ((result->flags() & NCResultFlagPercentage) != 0, row.percentage) << text;
        EXPECT_EQ(result->unit() ? utf8(result->unitString()) : std::string(), row.unit) << text;
    }
}

TEST_F(LineReferenceFunctionTest, AReferenceToItsOwnLineSetsTheError) {
    NCEvaluationContext context(std::make_shared<NCIndexPath>(), &lines, 4);
    auto result =
        evaluateAt(NCExpression::relativeLineReferenceFunctionName() + u"(0)", 4, &context);
    EXPECT_NE(result->resultType(), NCResultTypeValue);
    EXPECT_EQ(context.evaluatorError(), NCLineReferenceSelfReferenceError);
    NCEvaluationContext other(std::make_shared<NCIndexPath>(), &lines, 4);
    evaluateAt(NCExpression::absoluteLineReferenceFunctionName() + u"(0)", 4, &other);
    EXPECT_EQ(other.evaluatorError(), 0);
}

TEST_F(LineReferenceFunctionTest, OutsideALineThereIsNoValue) {
    auto result = evaluate(NCExpression::absoluteLineReferenceFunctionName() + u"(0)", nullptr);
    EXPECT_NE(result->resultType(), NCResultTypeValue);
}

}  // namespace
