// A document's answers after a variable outside it changed (a global variable given a new
// value, disabled, enabled or renamed): every line is read anew and evaluated, and the delegate
// hears of them all as updated by themselves.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "NCEvaluator.h"
#include "NCExpressionParser.h"
#include "NCLineCollection.h"
#include "NCVariable.h"
#include "UnitsFileTestSupport.h"

namespace {

struct RecordingDelegate : NCLineCollectionDelegate {
    void didUpdateLinesAtIndexes(NCLineCollection*, const NSIndexSet& indexes) override {
        updated.push_back(indexes.indexes());
    }
    void didAutomaticallyUpdateLinesAtIndexes(NCLineCollection*,
                                              const NSIndexSet& indexes) override {
        automatic.push_back(indexes.indexes());
    }
    std::vector<std::vector<uint64_t>> updated, automatic;
};

class OuterVariableChangesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
        global = NCVariableList::listWithStandardVariables();
        global->setValue(u"0.5", u"rate");
        rate = global->variableWithExactCaseName(u"rate");
        lines = std::make_shared<NCLineCollection>(realEnvironment(units, global));
        lines->setDelegate(&delegate);
        NCLineCollection::setPreEvaluationBlock(
            [this](NCLine& line) { evaluated.insert(line.index()); });
    }
    void TearDown() override { NCLineCollection::setPreEvaluationBlock(nullptr); }

    void load(const std::vector<std::u16string>& texts) {
        lines->beginBatchUpdate();
        for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
        lines->endBatchUpdate();
        evaluated.clear();
        delegate.updated.clear();
        delegate.automatic.clear();
    }
    std::vector<std::string> answers() {
        std::vector<std::string> all;
        for (uint64_t i = 0; i < lines->countOfLines(); ++i) {
            auto line = lines->lineAtIndex(i);
            all.push_back(line->hasResultValue() ? utf8(line->result()->decimalValue(10)) : "-");
        }
        return all;
    }

    std::shared_ptr<NCVariableList> global;
    std::shared_ptr<NCVariable> rate;
    std::shared_ptr<NCLineCollection> lines;
    RecordingDelegate delegate;
    std::set<uint64_t> evaluated;
};

TEST_F(OuterVariableChangesTest, ANewValueReachesTheLinesUsingItAndTheirDependents) {
    load({u"100 * rate", u"2 + 2", u"x = RATE * 10", u"x + 1",
          NCExpression::absoluteLineReferenceTokenWithIndex(0) + u" + 1", u"7"});
    EXPECT_EQ(answers(), (std::vector<std::string>{"50", "4", "5", "6", "51", "7"}));

    rate->setValue(u"0.2");
    // The answers are kept until the document is told.
    EXPECT_EQ(answers(), (std::vector<std::string>{"50", "4", "5", "6", "51", "7"}));
    lines->reevaluateLinesDependingOnVariable(rate);
    EXPECT_EQ(answers(), (std::vector<std::string>{"20", "4", "2", "3", "21", "7"}));
    const std::vector<uint64_t> all = {0, 1, 2, 3, 4, 5};
    EXPECT_EQ(evaluated, std::set<uint64_t>(all.begin(), all.end()));
    ASSERT_EQ(delegate.updated.size(), 1u);
    EXPECT_EQ(delegate.updated[0], all);
    // None of them was edited in the document: all were updated by themselves.
    ASSERT_EQ(delegate.automatic.size(), 1u);
    EXPECT_EQ(delegate.automatic[0], all);
}

// The lines are read anew, not only evaluated: their words name the variable exactly while it
// is known under that name.
TEST_F(OuterVariableChangesTest, DisablingEnablingAndRenamingAreReadAnew) {
    // A word that names nothing is passed over: "100 * ratio" is 100 until "ratio" is known.
    load({u"100 * rate", u"100 * ratio", u"3 * 3"});
    ASSERT_EQ(answers(), (std::vector<std::string>{"50", "100", "9"}));
    using Names = std::set<std::u16string>;
    struct Step {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> answers;
        Names namedOnLine0, namedOnLine1;
    } steps[] = {
        {"disable", [&] { rate->setEnabled(false); }, {"100", "100", "9"}, {}, {}},
        {"enable", [&] { rate->setEnabled(true); }, {"50", "100", "9"}, {u"rate"}, {}},
        {"rename", [&] { rate->changeName(u"ratio"); }, {"100", "50", "9"}, {}, {u"ratio"}},
        {"rename back", [&] { rate->changeName(u"rate"); }, {"50", "100", "9"}, {u"rate"}, {}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        evaluated.clear();
        lines->reevaluateLinesDependingOnVariable(rate);
        EXPECT_EQ(answers(), step.answers);
        EXPECT_EQ(NCExpressionParser::findVariableReferencesInLine(*lines->lineAtIndex(0)),
                  step.namedOnLine0);
        EXPECT_EQ(NCExpressionParser::findVariableReferencesInLine(*lines->lineAtIndex(1)),
                  step.namedOnLine1);
    }
}

TEST_F(OuterVariableChangesTest, ADeclarationInTheDocumentHidesTheOuterVariable) {
    load({u"100 * rate", u"rate = 3", u"5"});
    ASSERT_EQ(answers(), (std::vector<std::string>{"300", "3", "5"}));
    rate->setValue(u"0.2");
    lines->reevaluateLinesDependingOnVariable(rate);
    EXPECT_EQ(answers(), (std::vector<std::string>{"300", "3", "5"}));
}

}  // namespace
