// A document's line variables kept in step with its declaration lines: redefinitions across
// lines, a changed first declaration, renamed and removed declarations, and a global variable
// of the same name hidden while a line declares it.
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NCLineCollectionVariable.h"
#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "UnitsFileTestSupport.h"

namespace {

class LineCollectionVariablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
        global = NCVariableList::listWithStandardVariables();
        document = std::make_shared<NCVariableList>();
        document->setParentList(global);
        environment = realEnvironment(units, document);
        lines.setEnvironment(environment);
        // The passes below are run by hand, step by step.
        lines.setEnableChangeProcessing(false);
    }

    // The variable part of a change pass, then every changed line and its dependents evaluated
    // in dependency order, declarations handing their answers to their variables.
    bool pass(const NSIndexSet& changed) {
        const bool listChanged = lines.updateInternalVariableListWithChangesAtLineIndexes(changed);
        NCLineExpressionParser parser(environment);
        for (uint64_t i = 0; i < lines.countOfLines(); ++i) {
            std::shared_ptr<NCLine> line = lines.lineAtIndex(i);
            if (listChanged) line->unparse();
            if (!line->isParsed() && line->lineExpression())
                parser.parseLineExpression(*line->lineExpression());
        }
        NSIndexSet toEvaluate = changed;
        toEvaluate.addIndexes(lines.indexesOfLinesDependingOnLinesAtIndexes(changed));
        lines.rebuildDependencyGraphForLinesOnAndAfterIndex(changed.firstIndex());
        for (uint32_t index : lines.dependentEvaluationOrderForLinesAtIndexes(toEvaluate)) {
            std::shared_ptr<NCLine> line = lines.lineAtIndex(index);
            if (!line) continue;
            NCLineEvaluator::evaluateLine(*line);
            auto declaration = line->variableDeclaration();
            if (line->lineType() != NCLineExpressionTypeVariableDeclaration || !declaration ||
                !declaration->name())
                continue;
            auto variable = lines.lineCollectionVariableWithName(*declaration->name(), true);
            if (variable && line->result())
                variable->setValueResult(*line->result(), NCLineEvaluator::evaluationPrecision(),
                                         line);
        }
        return listChanged;
    }

    std::vector<std::string> answers() {
        std::vector<std::string> values;
        for (uint64_t i = 0; i < lines.countOfLines(); ++i) {
            auto result = lines.lineAtIndex(i)->result();
            values.push_back(result && result->resultType() == NCResultTypeValue
                                 ? utf8(result->decimalValue(10))
                                 : "-");
        }
        return values;
    }

    std::shared_ptr<NCVariableList> global;
    std::shared_ptr<NCVariableList> document;
    std::shared_ptr<NCEnvironment> environment;
    NCLineCollection lines;
};

TEST_F(LineCollectionVariablesTest, RedefinitionsRenamesAndRemovalsAcrossLines) {
    global->setValue(u"100", u"price");
    for (const char16_t* text :
         {u"price * 1", u"price = 5", u"price + 1", u"price = 7", u"price + 1"})
        lines.addLine(NCLine::lineWithExpressionString(text));
    ASSERT_TRUE(pass(NSIndexSet(NSRange{0, 5})));
    // A line before the first declaration sees the first declaration's value.
    EXPECT_EQ(answers(), (std::vector<std::string>{"5", "5", "6", "7", "8"}));

    struct Step {
        uint64_t line;
        const char16_t* text;
        bool listChanged;
        std::vector<std::string> answers;
        size_t documentVariables;
    } steps[] = {
        // The first declaration takes the second's value: the line between them follows.
        {1, u"price = 7", false, {"7", "7", "8", "7", "8"}, 1},
        {3, u"price = 10", false, {"7", "7", "8", "10", "11"}, 1},
        // A renamed declaration: "price" is declared on line 1 only, "cost" appears.
        {3, u"cost = 10", true, {"7", "7", "8", "10", "8"}, 2},
        // No line declares "price": the global variable of that name shows again.
        {1, u"12", true, {"100", "12", "101", "10", "101"}, 1},
        {1, u"price = 3", true, {"3", "3", "4", "10", "4"}, 2},
        {3, u"cost", true, {"3", "3", "4", "-", "4"}, 1},
    };
    for (const Step& step : steps) {
        lines.lineAtIndex(step.line)->setExpressionString(step.text);
        EXPECT_EQ(pass(NSIndexSet(step.line)), step.listChanged) << utf8(step.text);
        EXPECT_EQ(answers(), step.answers) << utf8(step.text);
        EXPECT_EQ(document->variables().size(), step.documentVariables) << utf8(step.text);
    }
    EXPECT_EQ(lines.lineCollectionVariableWithName(u"cost", true), nullptr);
    ASSERT_NE(lines.lineCollectionVariableWithName(u"PRICE", false), nullptr);
    EXPECT_EQ(lines.lineCollectionVariableWithName(u"PRICE", true), nullptr);
}

TEST_F(LineCollectionVariablesTest, EachDeclarationGovernsUpToTheNext) {
    // The same name declared on line 2 and line 6; every other line reads it.
    for (int i = 0; i < 9; ++i)
        lines.addLine(NCLine::lineWithExpressionString(i == 2   ? u"rate = 2"
                                                       : i == 6 ? u"rate = 3"
                                                                : u"rate * 10"));
    pass(NSIndexSet(NSRange{0, 9}));
    EXPECT_EQ(answers(),
              (std::vector<std::string>{"20", "20", "2", "20", "20", "20", "3", "30", "30"}));
    auto variable = lines.lineCollectionVariableWithName(u"rate", true);
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->countOfOwnerLines(), 2u);
    const NBFRange first = variable->indexRangeForOwnerLine(lines.lineAtIndex(2).get());
    EXPECT_EQ(first.location, 0);
    EXPECT_EQ(first.length, 6);
    EXPECT_EQ(lines.linesDeclaringVariableWithName(u"rate").size(), 2u);
    EXPECT_TRUE(lines.linesDeclaringVariableWithName(u"Rate").empty());

    // Line 6's declaration goes: every line sees the first.
    lines.lineAtIndex(6)->setExpressionString(u"rate * 10");
    EXPECT_FALSE(pass(NSIndexSet(6)));
    EXPECT_EQ(answers(),
              (std::vector<std::string>{"20", "20", "2", "20", "20", "20", "20", "20", "20"}));
    EXPECT_EQ(variable->countOfOwnerLines(), 1u);

    // A removed only declaration takes its variable with it.
    lines.removeLineAtIndex(2);
    EXPECT_TRUE(pass(NSIndexSet(2)));
    EXPECT_EQ(lines.lineCollectionVariableWithName(u"rate", true), nullptr);
    EXPECT_TRUE(document->variables().empty());
}

}  // namespace
