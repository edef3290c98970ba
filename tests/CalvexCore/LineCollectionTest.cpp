// A document's change pass: answers across lines and their variables, exactly the dependent
// lines evaluated after an edit, line references announced for shifting on insertion, batches,
// and removed lines that keep no link to their collection.
#include <gtest/gtest.h>

#include <set>

#include "NCEvaluator.h"
#include "NCExpressionParser.h"
#include "NCLineCollection.h"
#include "NCLineCollectionVariable.h"
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
    bool respondsToLineReferenceShift() const override { return true; }
    void didNoticeThatLineReferenceOnLines(
        NCLineCollection*, const std::vector<std::shared_ptr<NCLine>>& lines,
        const std::vector<std::map<std::u16string, int64_t>>& shifts) override {
        for (size_t i = 0; i < lines.size(); ++i)
            for (const auto& [key, shift] : shifts[i])
                shifted.push_back({lines[i]->index(), NBFUTF16ToUTF8(key), shift});
    }
    struct Shift {
        uint64_t line;
        std::string key;
        int64_t shift;
        bool operator==(const Shift&) const = default;
    };
    std::vector<std::vector<uint64_t>> updated, automatic;
    std::vector<Shift> shifted;
};

std::shared_ptr<NCEnvironment> documentParent() { return sharedRealEnvironment(); }

class LineCollectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        lines = std::make_shared<NCLineCollection>(documentParent());
        lines->setDelegate(&delegate);
        NCLineCollection::setPreEvaluationBlock(
            [this](NCLine& line) { evaluatedLines.push_back(line.index()); });
    }
    void TearDown() override { NCLineCollection::setPreEvaluationBlock(nullptr); }

    void load(const std::vector<std::u16string>& texts) {
        lines->beginBatchUpdate();
        for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
        lines->endBatchUpdate();
        forget();
    }
    void forget() {
        evaluatedLines.clear();
        delegate.updated.clear();
        delegate.automatic.clear();
        delegate.shifted.clear();
    }
    std::string answer(uint64_t index) {
        auto line = lines->lineAtIndex(index);
        auto result = line ? line->result() : nullptr;
        if (!result) return "(none)";
        if (result->resultType() != NCResultTypeValue) return "-";
        return utf8(result->decimalValue(10));
    }
    std::vector<std::string> answers() {
        std::vector<std::string> all;
        for (uint64_t i = 0; i < lines->countOfLines(); ++i) all.push_back(answer(i));
        return all;
    }

    RecordingDelegate delegate;
    std::shared_ptr<NCLineCollection> lines;
    std::vector<uint64_t> evaluatedLines;
};

const std::u16string abs2 = NCExpression::absoluteLineReferenceTokenWithIndex(2);
const std::u16string abs0 = NCExpression::absoluteLineReferenceTokenWithIndex(0);
const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);

TEST_F(LineCollectionTest, VariablesAcrossLinesWithRedefinitions) {
    // Each declaration governs from its own line to the next one of the same name.
    struct Row {
        std::vector<std::u16string> texts;
        std::vector<std::string> expected;
    } rows[] = {
        {{u"price = 5", u"price * 2", u"price = 7", u"price * 2", u"total = price + 1", u"total"},
         {"5", "10", "7", "14", "8", "8"}},
        {{u"a = 2", u"b = a * 3", u"c = b + a", u"a = 10", u"a * b + c"},
         {"2", "6", "8", "10", "68"}},
        {{u"x = 1 m", u"x in cm", u"x = 3 m", u"x + 50 cm"}, {"1", "100", "3", "350"}},
    };
    for (const Row& row : rows) {
        lines->removeAllLines();
        load(row.texts);
        EXPECT_EQ(answers(), row.expected) << utf8(row.texts.front());
    }
    // Editing the first declaration changes only what it governs.
    lines->removeAllLines();
    load(rows[0].texts);
    lines->lineAtIndex(0)->setExpressionString(u"price = 6");
    EXPECT_EQ(answers(), (std::vector<std::string>{"6", "12", "7", "14", "8", "8"}));
    // A line typed one at a time sees the declarations above it.
    lines->addLine(NCLine::lineWithExpressionString(u"price + total"));
    EXPECT_EQ(answer(6), "15");
    // Removing the redefinition hands its lines back to the first declaration.
    lines->removeLineAtIndex(2);
    EXPECT_EQ(answers(), (std::vector<std::string>{"6", "12", "12", "7", "7", "13"}));
}

TEST_F(LineCollectionTest, AnEditEvaluatesExactlyTheLineAndItsDependents) {
    // 0: 1, 1: 2, 2: line 0 + 1, 3: 3, 4: the line above × 2, 5: line 2 + line 4, 6: 9.
    const std::vector<std::u16string> texts = {
        u"1",
        u"2",
        abs0 + u" + 1",
        u"3",
        above + u" * 2",
        abs2 + u" + " + NCExpression::absoluteLineReferenceTokenWithIndex(4),
        u"9"};
    struct Row {
        uint64_t line;
        std::u16string text;
        std::set<uint64_t> evaluated;
        std::vector<std::string> answers;
    } rows[] = {
        {0, u"10", {0, 2, 5}, {"10", "2", "11", "3", "6", "17", "9"}},
        {1, u"20", {1}, {"1", "20", "2", "3", "6", "8", "9"}},
        {3, u"4", {3, 4, 5}, {"1", "2", "2", "4", "8", "10", "9"}},
        {6, u"6 * 7", {6}, {"1", "2", "2", "3", "6", "8", "42"}},
        {5, u"5", {5}, {"1", "2", "2", "3", "6", "5", "9"}},
    };
    for (const Row& row : rows) {
        lines->removeAllLines();
        load(texts);
        lines->lineAtIndex(row.line)->setExpressionString(row.text);
        // Each line once, and only these.
        EXPECT_EQ(evaluatedLines.size(), row.evaluated.size()) << row.line;
        EXPECT_EQ(std::set<uint64_t>(evaluatedLines.begin(), evaluatedLines.end()), row.evaluated);
        ASSERT_EQ(delegate.updated.size(), 1u);
        EXPECT_EQ(std::set<uint64_t>(delegate.updated[0].begin(), delegate.updated[0].end()),
                  row.evaluated);
        std::set<uint64_t> automatic = row.evaluated;
        automatic.erase(row.line);
        if (automatic.empty()) {
            EXPECT_TRUE(delegate.automatic.empty());
        } else {
            ASSERT_EQ(delegate.automatic.size(), 1u);
            EXPECT_EQ(
                std::set<uint64_t>(delegate.automatic[0].begin(), delegate.automatic[0].end()),
                automatic);
        }
        EXPECT_EQ(answers(), row.answers) << row.line;
    }
}

TEST_F(LineCollectionTest, InsertionAnnouncesTheShiftOfAbsoluteReferences) {
    // Line 3 refers to the third line by index and line 4 to the line above it.
    load({u"5", u"6", u"7", abs2 + u" * 2", above + u" + 1"});
    EXPECT_EQ(answers(), (std::vector<std::string>{"5", "6", "7", "14", "15"}));
    struct Row {
        uint64_t at;
        std::vector<RecordingDelegate::Shift> shifts;
    } rows[] = {
        // Above the target: the absolute reference (type 2, number 2) must move to 3. The
        // relative one moved with its target and owner: no shift.
        {0, {{4, "2+2", 1}}},
        {2, {{4, "2+2", 1}}},
        // Below the target, between the relative reference and its target: only that one.
        {4, {{5, "1-1", -1}}},
        // After both: nothing.
        {5, {}},
    };
    for (const Row& row : rows) {
        lines->removeAllLines();
        load({u"5", u"6", u"7", abs2 + u" * 2", above + u" + 1"});
        lines->insertLine(NCLine::lineWithExpressionString(u"100"), row.at);
        EXPECT_EQ(delegate.shifted, row.shifts) << row.at;
        EXPECT_EQ(lines->lineAtIndex(row.at)->index(), row.at);
    }
}

TEST_F(LineCollectionTest, DirectEditsAnnounceTheShiftOfEveryKindOfReference) {
    // Line 4 refers to the third line by index, line 5 to the second and third by number,
    // line 6 to the line above it.
    const std::vector<std::u16string> texts{
        u"5", u"6", u"7", abs2 + u" * 2", u"line2 + Line3", above + u" + 1"};
    struct Row {
        const char* what;
        bool insert;
        uint64_t at;
        std::vector<RecordingDelegate::Shift> shifts;
    } rows[] = {
        {"inserted at the top", true, 0, {{5, "4+2", 1}, {5, "4+3", 1}, {4, "2+2", 1}}},
        {"removed at the top", false, 0, {{3, "4+2", -1}, {3, "4+3", -1}, {2, "2+2", -1}}},
        // The references to the removed line are left alone; the others did not move.
        {"a target removed", false, 2, {}},
        {"inserted after every target", true, 3, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        lines->removeAllLines();
        load(texts);
        if (row.insert)
            lines->insertLine(NCLine::lineWithExpressionString(u"100"), row.at);
        else
            lines->removeLineAtIndex(row.at);
        EXPECT_EQ(delegate.shifted, row.shifts);
    }
}

TEST_F(LineCollectionTest, BatchesAndNoOps) {
    load({u"1", u"2"});
    // An empty batch runs an empty pass and tells nobody.
    lines->beginBatchUpdate();
    lines->endBatchUpdate();
    EXPECT_TRUE(delegate.updated.empty());
    // A batch of two additions treats every line as changed.
    lines->beginBatchUpdate();
    lines->addLine(NCLine::lineWithExpressionString(u"3"));
    lines->addLine(NCLine::lineWithExpressionString(above + u" + 1"));
    EXPECT_TRUE(evaluatedLines.empty());
    lines->endBatchUpdate();
    EXPECT_EQ(delegate.updated, (std::vector<std::vector<uint64_t>>{{0, 1, 2, 3}}));
    EXPECT_EQ(answers(), (std::vector<std::string>{"1", "2", "3", "4"}));
    forget();
    lines->moveLineAtIndex(1, 1);
    lines->moveLineAtIndex(1, 9);
    lines->insertLine(NCLine::lineWithExpressionString(u"7"), 9);
    lines->insertLine(nullptr, 0);
    lines->addLine(nullptr);
    lines->removeLineAtIndex(9);
    EXPECT_TRUE(delegate.updated.empty());
    EXPECT_EQ(lines->countOfLines(), 4u);
    // With change processing off nothing is recorded or evaluated.
    lines->setEnableChangeProcessing(false);
    lines->lineAtIndex(0)->setExpressionString(u"50");
    lines->setEnableChangeProcessing(true);
    EXPECT_TRUE(evaluatedLines.empty());
    // A move: the moved line and the relative reference over it are evaluated anew.
    lines->moveLineAtIndex(3, 0);
    EXPECT_EQ(lines->lineAtIndex(0)->index(), 0u);
    EXPECT_EQ(answer(1), "50");
}

TEST_F(LineCollectionTest, RemovedLinesKeepNoLinkAndRegisterNothing) {
    enum class Removal { One, All, Death };
    for (Removal removal : {Removal::One, Removal::All, Removal::Death}) {
        lines = std::make_shared<NCLineCollection>(documentParent());
        lines->setDelegate(&delegate);
        load({u"1", u"2", abs0 + u" + 1"});
        std::shared_ptr<NCLine> held = lines->lineAtIndex(0);
        const std::u16string identifier = held->uniqueIdentifier();
        if (removal == Removal::One) lines->removeLineAtIndex(0);
        if (removal == Removal::All) lines->removeAllLines();
        if (removal == Removal::Death) lines.reset();
        EXPECT_EQ(held->lineCollection(), nullptr);
        forget();
        // The held line evaluates on its own; the old collection hears nothing.
        held->setExpressionString(u"40 + 2");
        EXPECT_EQ(utf8(held->result()->decimalValue(10)), "42");
        EXPECT_TRUE(delegate.updated.empty());
        EXPECT_EQ(evaluatedLines.size(), 0u);
        if (lines) {
            EXPECT_EQ(lines->lineWithIdentifier(identifier), nullptr);
            EXPECT_FALSE(lines->containsLine(*held));
        }
        // A line added again belongs to the collection again.
        if (removal == Removal::One) {
            lines->addLine(held);
            EXPECT_EQ(held->lineCollection(), lines.get());
            EXPECT_TRUE(lines->containsLine(*held));
            EXPECT_EQ(lines->lineWithIdentifier(identifier), held);
        }
    }
}

// A line's shown tokens come of the same analysis as its evaluation; they still follow the text
// and the document's variables as a fresh analysis would.
TEST_F(LineCollectionTest, ShownTokensFollowTextAndVariablesAfterEvaluation) {
    auto kinds = [](NCParsedExpression& parsed) {
        std::vector<std::tuple<int32_t, uint64_t, uint64_t>> found;
        for (const auto& token : parsed.tokens())
            found.emplace_back(token->type(), token->range().location, token->range().length);
        return found;
    };
    auto fresh = [&](NCLine& line) {
        return kinds(*NCExpressionParser(lines->environment()).parseExpression(line.expression()));
    };
    auto hasVariable = [&](NCLine& line) {
        for (const auto& [type, location, length] : kinds(*line.parsedExpression()))
            if (type == NCExpressionTokenTypeVariable) return true;
        return false;
    };
    load({u"width * 2", u"3 km in m", abs0 + u" + 1", u"sqrt(16) // note"});
    EXPECT_EQ(answer(1), "3000");
    for (uint64_t i = 0; i < lines->countOfLines(); ++i) {
        std::shared_ptr<NCLine> line = lines->lineAtIndex(i);
        EXPECT_EQ(kinds(*line->parsedExpression()), fresh(*line)) << i;
    }
    EXPECT_FALSE(hasVariable(*lines->lineAtIndex(0)));
    // A declaration below makes the word a variable of the document.
    lines->addLine(NCLine::lineWithExpressionString(u"width = 4"));
    lines->addLine(NCLine::lineWithExpressionString(u"width + 1"));
    EXPECT_EQ(answer(5), "5");
    EXPECT_TRUE(hasVariable(*lines->lineAtIndex(0)));
    EXPECT_EQ(kinds(*lines->lineAtIndex(0)->parsedExpression()), fresh(*lines->lineAtIndex(0)));
    // New text, new tokens.
    lines->lineAtIndex(1)->setExpressionString(u"2 ^ 10");
    EXPECT_EQ(answer(1), "1024");
    EXPECT_EQ(kinds(*lines->lineAtIndex(1)->parsedExpression()), fresh(*lines->lineAtIndex(1)));
}

}  // namespace
