// Failures handed on through a document: lines that read a variable whose declaration failed,
// a global variable given a failed answer, or a failed line by reference answer that failure,
// and answer again once it is mended; as edits reach them, through the change pass. The
// statistics leave the failed lines out.
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NCLineCollectionStatistics.h"
#include "NCResultFormatter.h"
#include "NCVariable.h"
#include "NCVariableList.h"
#include "UnitsFileTestSupport.h"

namespace {

class FailedValuesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
        global = NCVariableList::listWithStandardVariables();
        lines = std::make_shared<NCLineCollection>(realEnvironment(units, global));
    }

    void load(const std::vector<std::u16string>& texts) {
        lines->beginBatchUpdate();
        for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
        lines->endBatchUpdate();
    }

    // The shown answer, or the kind of failure.
    std::string answer(uint64_t index) {
        auto line = lines->lineAtIndex(index);
        auto result = line ? line->result() : nullptr;
        if (!result) return "(none)";
        switch (result->errorType()) {
            case NCResultErrorTypeExponentTooLarge:
                return "exponent too large";
            case NCResultErrorTypeDivideByZero:
                return "divide by zero";
            case NCResultErrorTypeIncompatibleUnits:
                return "incompatible units";
            case NCResultErrorTypeGeneral:
                return "error";
            default:
                break;
        }
        auto shown = line->formattedResult();
        return shown ? utf8(*shown) : "(empty)";
    }
    std::vector<std::string> answers() {
        std::vector<std::string> all;
        for (uint64_t i = 0; i < lines->countOfLines(); ++i) all.push_back(answer(i));
        return all;
    }
    std::string sum() {
        NCLineCollectionStatistics statistics(lines);
        auto result = statistics.getStatistic(NCStatisticTypeSum);
        if (!result || result->resultType() != NCResultTypeValue) return "(none)";
        return utf8(result->decimalValue(10));
    }

    std::shared_ptr<NCVariableList> global;
    std::shared_ptr<NCLineCollection> lines;
};

const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);

TEST_F(FailedValuesTest, ADeclarationThatFailsFailsItsUsersUntilItIsMended) {
    load({u"mass = 5 kg", u"mass * 2", u"total = mass + 1 kg", u"total in g", above + u" + 1 g",
          u"7"});
    const std::vector<std::string> healthy = {"5 kg",    "10 kilograms", "6 kg",
                                              "6,000 g", "6,001 g",      "7"};
    ASSERT_EQ(answers(), healthy);
    struct Row {
        std::u16string declaration;
        std::string failure;
    } rows[] = {
        {u"mass = 5 kg + 3 m", "incompatible units"},
        {u"mass = 1/0", "divide by zero"},
        {u"mass = 10^1000000", "exponent too large"},
        {u"mass = 2.5!", "error"},
    };
    for (const Row& row : rows) {
        lines->lineAtIndex(0)->setExpressionString(row.declaration);
        // Every line that reads it, directly, through the second variable or by reference.
        const std::vector<std::string> failed = {row.failure, row.failure, row.failure,
                                                 row.failure, row.failure, "7"};
        EXPECT_EQ(answers(), failed) << utf8(row.declaration);
        // The statistics leave the failed lines out: only the 7 counts.
        EXPECT_EQ(sum(), "7") << utf8(row.declaration);
        lines->lineAtIndex(0)->setExpressionString(u"mass = 5 kg");
        EXPECT_EQ(answers(), healthy) << utf8(row.declaration);
    }
    // Mended to another value, the users follow it.
    lines->lineAtIndex(0)->setExpressionString(u"mass = 2 kg");
    EXPECT_EQ(answers(),
              (std::vector<std::string>{"2 kg", "4 kilograms", "3 kg", "3,000 g", "3,001 g", "7"}));
}

TEST_F(FailedValuesTest, ARedefinitionFailsOnlyTheLinesItGoverns) {
    load({u"price = 4", u"price * 2", u"price = 1/0", u"price * 2", u"price = 5", u"price * 2"});
    EXPECT_EQ(answers(),
              (std::vector<std::string>{"4", "8", "divide by zero", "divide by zero", "5", "10"}));
    lines->lineAtIndex(2)->setExpressionString(u"price = 6");
    EXPECT_EQ(answers(), (std::vector<std::string>{"4", "8", "6", "12", "5", "10"}));
}

TEST_F(FailedValuesTest, AGlobalVariableGivenAFailedAnswerFailsTheLinesThatReadIt) {
    auto rate = NCVariable::variableWithName(u"rate", u"3");
    global->addVariable(rate);
    load({u"rate * 2", u"rate + 1", u"10"});
    ASSERT_EQ(answers(), (std::vector<std::string>{"6", "4", "10"}));
    auto evaluator =
        std::make_shared<NCEvaluator>(lines->environment()->unitManager(), global,
                                      NCWordOperatorList::listWithStandardWordOperators());
    auto failed = evaluator->evaluateExpression(NCExpression::create(u"5 kg + 2 m"));
    ASSERT_EQ(failed->errorType(), NCResultErrorTypeIncompatibleUnits);
    rate->setResultValue(failed);
    EXPECT_EQ(rate->errorType(), NCResultErrorTypeIncompatibleUnits);
    lines->evaluateAllLinesWithReportingMode(0);
    EXPECT_EQ(answers(),
              (std::vector<std::string>{"incompatible units", "incompatible units", "10"}));
    rate->setResultValue(evaluator->evaluateExpression(NCExpression::create(u"1.5")));
    EXPECT_EQ(rate->errorType(), NCResultErrorTypeNone);
    lines->evaluateAllLinesWithReportingMode(0);
    EXPECT_EQ(answers(), (std::vector<std::string>{"3", "2.5", "10"}));
}

TEST_F(FailedValuesTest, AReferenceToAFailedLineFailsAndOneToAnEmptyLineDoesNot) {
    load({u"12", above + u" + 1", u"", above + u" + 1", u"notes", above + u" + 1"});
    EXPECT_EQ(answers(), (std::vector<std::string>{"12", "13", "(empty)", "1", "(empty)", "1"}));
    lines->lineAtIndex(0)->setExpressionString(u"12 / 0");
    EXPECT_EQ(answers(), (std::vector<std::string>{"divide by zero", "divide by zero", "(empty)",
                                                   "1", "(empty)", "1"}));
    lines->lineAtIndex(0)->setExpressionString(u"12 / 4");
    EXPECT_EQ(answers(), (std::vector<std::string>{"3", "4", "(empty)", "1", "(empty)", "1"}));
}

}  // namespace
