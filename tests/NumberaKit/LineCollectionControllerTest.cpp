// The line collection controller applying text actions, rewriting references, reporting.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NKLineCollectionController.h"
#include "NKTextSyncHelper.h"

namespace {
// The document: reads lines from the rig's text and records what it is told.
struct Document : NKLineCollectionControllerDelegate {
    explicit Document(EditingRig* rig = nullptr) : rig(rig) {}
    EditingRig* rig;
    int loads = 0;
    std::vector<NSIndexSet> reevaluated;

    std::u16string expressionForLineAtIndex(uint64_t index) override {
        return rig ? rig->metrics->stringForLineAtIndex(index, false).value_or(u"") : u"";
    }
    NKLocale defaultLocale() override { return standardLocale(); }
    NCTrigonometryMode defaultTrigonometryMode() override { return NCTrigonometryModeRadians; }
    int32_t defaultTextAlignment() override { return 2; }
    std::shared_ptr<NCResultFormattingOptions> defaultFormattingOptions() override {
        auto options = std::make_shared<NCResultFormattingOptions>();
        options->setDecimalPlaces(4);
        return options;
    }
    bool respondsToDidLoadLineCollection() const override { return true; }
    void lineCollectionControllerDidLoadLineCollection(NKLineCollectionController*,
                                                       NCLineCollection*) override {
        ++loads;
    }
    bool respondsToDidReevaluateLines() const override { return true; }
    void lineCollectionControllerLineCollectionDidReevaluateLines(
        NKLineCollectionController*, NCLineCollection*, const NSIndexSet& lines) override {
        reevaluated.push_back(lines);
    }
};

std::shared_ptr<NCLineCollection> collectionOf(const std::vector<std::u16string>& lines) {
    auto collection = std::make_shared<NCLineCollection>();
    for (const std::u16string& line : lines)
        collection->addLine(NCLine::lineWithExpressionString(line));
    return collection;
}

std::vector<std::u16string> linesOf(const NCLineCollection& collection) {
    std::vector<std::u16string> lines;
    for (uint64_t i = 0; i < collection.countOfLines(); ++i)
        lines.push_back(collection.lineAtIndex(i)->expressionString().value_or(u""));
    return lines;
}

std::u16string rel(int64_t offset) {
    return NCExpression::relativeLineReferenceTokenWithOffset(offset);
}
const std::u16string dead = u"(___dead_line(0))";

class LineCollectionController : public testing::Test {
  protected:
    void SetUp() override {
        startFoundation();
        controller.setDelegate(&document);
    }
    void load(const std::vector<std::u16string>& lines) {
        controller.setLineCollection(collectionOf(lines));
    }

    EditingRig rig;
    Document document{&rig};
    NKLineCollectionController controller;
};
}  // namespace

TEST_F(LineCollectionController, RemovedTargetBecomesANullReference) {
    load({u"1", u"2", u"3", u"4", u"5", u"(___rel_line(-2))*2"});
    NKTextAction action;
    action.setTextActionType(NKTextActionDeletedLineSomewhere);
    action.setIndexesToRemove(NSIndexSet{3});
    controller.updateLineCollectionFromTextAction(action);
    EXPECT_EQ(linesOf(*controller.lineCollection()),
              (std::vector<std::u16string>{u"1", u"2", u"3", u"5", dead + u"*2"}));
    EXPECT_EQ(controller.linesWhoseExpressionsHaveChanged(), NSIndexSet{4});
}

TEST_F(LineCollectionController, SeveralRemovedTargetsOnOneLineAllBecomeNull) {
    // Offsets of two digits make tokens one character longer than the null reference: a
    // replacement must not move the other's range.
    std::vector<std::u16string> lines;
    for (int i = 0; i < 13; ++i) lines.push_back(std::u16string(1, u'a' + i));
    lines.push_back(rel(-10) + u"+" + rel(-12) + u"+" + rel(-1));
    load(lines);
    NKTextAction action;
    action.setIndexesToRemove(NSIndexSet{1, 3});
    controller.updateLineCollectionFromTextAction(action);
    ASSERT_EQ(controller.countOfLines(), 12u);
    EXPECT_EQ(controller.lineCollection()->lineAtIndex(11)->expressionString(),
              dead + u"+" + dead + u"+" + rel(-1));
    EXPECT_EQ(controller.linesWhoseExpressionsHaveChanged(), NSIndexSet{11});
}

TEST_F(LineCollectionController, AdjustingTokens) {
    struct Row {
        const char* what;
        uint64_t line;
        std::u16string text;
        NSRange range;
        int64_t change;
        std::u16string expected;
        const char* log;
    };
    const std::u16string twoRefs = rel(-1) + u"+" + rel(-2);
    const Row rows[] = {
        {"onto its own line", 6, rel(-1), {0, 100}, 1, dead, nullptr},
        {"above line 0",
         1,
         rel(-1),
         {0, 100},
         -1,
         dead,
         "Warning: Smarty Token being rerouted to a line reference < 0"},
        {"moved by two", 5, rel(-1), {0, 100}, -2, rel(-3), nullptr},
        {"only inside the range",
         5,
         twoRefs,
         {rel(-1).size() + 1, 100},
         -1,
         rel(-1) + u"+" + rel(-3),
         nullptr},
        {"no tokens",
         3,
         u"12",
         {0, 2},
         1,
         u"12",
         "Failure in the text action system: there are no tokens to adjust on line 3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::u16string> lines(8, u"1");
        lines[row.line] = row.text;
        load(lines);
        LogCapture log;
        controller.adjustTokensOnLine(row.line, row.range, row.change);
        EXPECT_EQ(controller.lineCollection()->lineAtIndex(row.line)->expressionString(),
                  row.expected);
        if (row.log) {
            EXPECT_TRUE(log.contains(row.log));
        }
        bool changed = row.expected != row.text;
        EXPECT_EQ(controller.linesWhoseExpressionsHaveChanged().has_value(), changed);
        controller.resetLinesWhoseExpressionsChangedCache();
    }
}

TEST_F(LineCollectionController, ExactAdjustmentFollowsTheOldTarget) {
    // The tokens stood on line 4 before lines 1 and 2 were removed; they now stand on line 1.
    std::vector<std::u16string> lines{u"a", u"x" + rel(-4) + rel(-3) + rel(-1) + rel(2), u"d", u"e",
                                      u"f"};
    load(lines);
    controller.adjustTokensOnLine(1, {1, 1000}, 4, NSIndexSet{1, 2}, NSIndexSet{});
    // Old targets 0, 1 (removed), 3 (now 1: this line), 6 (now 4).
    EXPECT_EQ(controller.lineCollection()->lineAtIndex(1)->expressionString(),
              u"x" + rel(-1) + dead + dead + rel(3));
}

TEST_F(LineCollectionController, NoIndexesChangeNothing) {
    load({u"1", u"2"});
    NKTextAction none;
    none.resetAllIndexSets();
    controller.updateLineCollectionFromTextAction(none);
    EXPECT_EQ(linesOf(*controller.lineCollection()), (std::vector<std::u16string>{u"1", u"2"}));
    EXPECT_FALSE(controller.linesWhoseExpressionsHaveChanged().has_value());
    EXPECT_FALSE(controller.linesToRedraw().has_value());
}

TEST_F(LineCollectionController, MissingCollectionLogsAndReturns) {
    NKLineCollectionController bare;
    NKTextAction action;
    action.setIndexesToRemove(NSIndexSet{0});
    action.setIndexesToReevaluate(NSIndexSet{0});
    LogCapture log;
    bare.updateLineCollectionFromTextAction(action);
    EXPECT_TRUE(log.contains("Warning: Line Collection Controller has no line collection"));
    EXPECT_EQ(bare.countOfLines(), 0u);
}

TEST_F(LineCollectionController, EmptyCollectionGetsOneDefaultLine) {
    controller.setLineCollection(std::make_shared<NCLineCollection>());
    ASSERT_EQ(controller.countOfLines(), 1u);
    EXPECT_EQ(document.loads, 1);
    std::shared_ptr<NCLine> line = controller.lineCollection()->lineAtIndex(0);
    EXPECT_EQ(line->expressionString(), u"");
    EXPECT_EQ(line->expressionFormattingOptions()->textAlignment(), 2);
    EXPECT_EQ(line->trigonometryMode(), NCTrigonometryModeRadians);
    EXPECT_EQ(line->customFormattingOptions()->decimalPlaces(), 4u);
    EXPECT_EQ(controller.lineCollection()->trigonometryMode(), NCTrigonometryModeRadians);
    EXPECT_TRUE(NKLocalesEqual(controller.locale(), standardLocale()));
}

TEST_F(LineCollectionController, AddedAndInsertedLinesTakeFormatting) {
    auto empty = std::make_shared<NCLineCollection>();
    NKLineCollectionController bare;  // no delegate, no collection set up
    bare.setLineCollection(empty);
    LogCapture log;
    bare.addLinesAtIndexes(NSIndexSet{0}, true);
    // Nothing to copy from, no defaults asked: the line keeps its own.
    EXPECT_FALSE(log.contains("Warning! Trying to format a line from the default settings"));
    ASSERT_EQ(empty->countOfLines(), 2u);

    load({u"1", u"2"});
    controller.lineCollection()->lineAtIndex(1)->customFormattingOptions()->setDecimalPlaces(7);
    controller.addLinesAtIndexes(NSIndexSet{5, 9}, true);  // two lines, values unused
    ASSERT_EQ(controller.countOfLines(), 4u);
    EXPECT_EQ(
        controller.lineCollection()->lineAtIndex(3)->customFormattingOptions()->decimalPlaces(),
        7u);
    controller.insertLinesAtIndexes(NSIndexSet{0, 2}, true);
    EXPECT_EQ(linesOf(*controller.lineCollection()),
              (std::vector<std::u16string>{u"", u"1", u"", u"2", u"", u""}));
    EXPECT_EQ(
        controller.lineCollection()->lineAtIndex(0)->customFormattingOptions()->decimalPlaces(),
        4u);                                               // line 0 from the defaults
    controller.insertLinesAtIndexes(NSIndexSet{6}, true);  // beyond the end: appended
    EXPECT_EQ(controller.countOfLines(), 7u);
    LogCapture removal;
    controller.removeLinesAtIndexes(NSIndexSet{1, 40});
    EXPECT_TRUE(removal.contains("Warning: Trying to remove line 40, but it doesn't exist!"));
    EXPECT_EQ(controller.countOfLines(), 6u);
}

TEST_F(LineCollectionController, NotifyModes) {
    load({u"1"});
    NCLineCollection* collection = controller.lineCollection().get();
    struct Row {
        NKNotifyMode mode;
        bool all, automatic;
    };
    for (Row row : {Row{0, false, true}, Row{1, true, false}, Row{2, false, false}}) {
        controller.resetLinesToRedrawCache();
        document.reevaluated.clear();
        controller.setNotifyMode(row.mode);
        controller.lineCollectionDidUpdateLinesAtIndexes(collection, NSIndexSet{0, 1});
        EXPECT_EQ(controller.linesToRedraw().has_value(), row.all) << row.mode;
        controller.resetLinesToRedrawCache();
        controller.lineCollectionDidAutomaticallyUpdateLinesAtIndexes(collection, NSIndexSet{1});
        EXPECT_EQ(controller.linesToRedraw().has_value(), row.automatic) << row.mode;
        EXPECT_EQ(document.reevaluated.size(), (row.all ? 1u : 0u) + (row.automatic ? 1u : 0u));
    }
}

TEST_F(LineCollectionController, TheCollectionsPassesReachTheDocument) {
    load({u"1", rel(-1) + u" * 2", u"7"});
    std::shared_ptr<NCLineCollection> collection = controller.lineCollection();
    document.reevaluated.clear();
    // The dependent line is redrawn with its new answer; the independent one is not.
    collection->lineAtIndex(0)->setExpressionString(u"5");
    ASSERT_EQ(document.reevaluated.size(), 1u);
    EXPECT_EQ(document.reevaluated[0], NSIndexSet{1});
    EXPECT_EQ(controller.linesToRedraw(), NSIndexSet{1});
    EXPECT_EQ(collection->lineAtIndex(1)->formattedResult(), u"10");

    // A collection handed over no longer reports to this controller.
    controller.setLineCollection(collectionOf({u"2"}));
    EXPECT_EQ(collection->delegate(), nullptr);
    document.reevaluated.clear();
    collection->lineAtIndex(0)->setExpressionString(u"6");
    EXPECT_TRUE(document.reevaluated.empty());
}

TEST_F(LineCollectionController, ShiftedReferencesAreRewritten) {
    load({u"1", u"2", u"x", u"line2*" + rel(-2), rel(-1)});
    std::vector<std::shared_ptr<NCLine>> lines{controller.lineCollection()->lineAtIndex(3),
                                               controller.lineCollection()->lineAtIndex(4)};
    std::vector<std::map<std::u16string, int64_t>> shifts{
        {{u"4+2", 1}, {u"1-2", -1}},  // line number 2 -> 3, offset -2 -> -3
        {{u"1+5", 1}},                // names no token of the line
    };
    controller.lineCollectionDidNoticeThatLineReferenceOnLinesShouldShiftBy(
        controller.lineCollection().get(), lines, shifts);
    EXPECT_EQ(controller.lineCollection()->lineAtIndex(3)->expressionString(), u"line3*" + rel(-3));
    EXPECT_EQ(controller.lineCollection()->lineAtIndex(4)->expressionString(), rel(-1));
    EXPECT_EQ(controller.linesWhoseExpressionsHaveChanged(), (NSIndexSet{3, 4}));
}

// A collection edited directly, its announcements of moved references handed to the
// controller: every kind is rewritten to its target's new place, the word as the user wrote
// it, and the answers stay.
TEST_F(LineCollectionController, AnnouncedShiftsKeepTheUsersSpellingAndTheAnswers) {
    struct Forwarder : NCLineCollectionDelegate {
        explicit Forwarder(NKLineCollectionController& controller) : controller(controller) {}
        bool respondsToLineReferenceShift() const override { return true; }
        void didNoticeThatLineReferenceOnLines(
            NCLineCollection* collection, const std::vector<std::shared_ptr<NCLine>>& lines,
            const std::vector<std::map<std::u16string, int64_t>>& shifts) override {
            controller.lineCollectionDidNoticeThatLineReferenceOnLinesShouldShiftBy(collection,
                                                                                    lines, shifts);
        }
        NKLineCollectionController& controller;
    } forwarder(controller);
    auto collection = collectionOf(
        {u"10", u"20", u"(___abs_line(1)) + 1", u"Line2 + 1", u"LINE02 * 2", rel(-4) + u" + 2"});
    collection->setDelegate(&forwarder);
    auto answers = [&] {
        std::vector<std::u16string> all;
        for (uint64_t i = 0; i < collection->countOfLines(); ++i)
            all.push_back(collection->lineAtIndex(i)->formattedResult().value_or(u""));
        return all;
    };
    EXPECT_EQ(answers(), (std::vector<std::u16string>{u"10", u"20", u"21", u"21", u"40", u"22"}));

    collection->insertLine(NCLine::lineWithExpressionString(u"5"), 0);
    EXPECT_EQ(linesOf(*collection),
              (std::vector<std::u16string>{u"5", u"10", u"20", u"(___abs_line(2)) + 1",
                                           u"Line3 + 1", u"LINE3 * 2", rel(-4) + u" + 2"}));
    EXPECT_EQ(answers(),
              (std::vector<std::u16string>{u"5", u"10", u"20", u"21", u"21", u"40", u"22"}));

    collection->removeLineAtIndex(0);
    collection->removeLineAtIndex(0);
    EXPECT_EQ(linesOf(*collection),
              (std::vector<std::u16string>{u"20", u"(___abs_line(0)) + 1", u"Line1 + 1",
                                           u"LINE1 * 2", rel(-4) + u" + 2"}));
    EXPECT_EQ(answers()[1], u"21");
    EXPECT_EQ(answers()[3], u"40");
    collection->setDelegate(nullptr);
}

TEST_F(LineCollectionController, TranscriptOfTheLines) {
    load({u"1", u"a+b"});
    controller.printLineCollectionStateIntoUnitTest();
    EXPECT_EQ(controller.unitTestFromTextAction(),
              u"\nLINE COLLECTION UNIT TEST\n\n[lines removeAllLines]"
              u"\n[lines addLine:[NCLine lineWithExpressionString:@\"1\"]];"
              u"\n[lines addLine:[NCLine lineWithExpressionString:@\"a+b\"]];");
}

TEST_F(LineCollectionController, ForcedSynchronisation) {
    rig.setText(u"1\n2", {0, 0});
    load({u"1", u"2"});
    struct Row {
        const char* what;
        NKTextActionType type;
        std::optional<NSIndexSet> redraw;
        std::u16string text;
        bool force;
        const char* log;
    };
    const Row rows[] = {
        {"screwy", NKTextActionScrewy, std::nullopt, u"1\n2", true,
         "Warning: NBTextActionType Screwy"},
        {"redraw beyond the end", 0, NSIndexSet{2}, u"1\n2", true,
         "Warning: Trying to redraw an out of range index 2"},
        {"empty redraw set", 0, NSIndexSet{}, u"1\n2", true, "Trying to redraw an out of range"},
        {"in step", 0, NSIndexSet{1}, u"1\n2", false, nullptr},
        {"absent redraw set", 0, std::nullopt, u"1\n2", false, nullptr},
        {"counts differ", 0, NSIndexSet{0}, u"1\n2\n3", true, "Forced Synchronisation Required"},
        {"counts differ, text empty", 0, NSIndexSet{0}, u"", true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        rig.setText(row.text, {0, 0});
        if (row.text.empty()) controller.addLinesAtIndexes(NSIndexSet{0}, true);
        NKTextAction action;
        action.setTextActionType(row.type);
        action.setIndexesToRedraw(row.redraw);
        LogCapture log;
        EXPECT_EQ(NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
                      action, controller, *rig.metrics, &rig.text),
                  row.force);
        if (row.log) {
            EXPECT_TRUE(log.contains(row.log));
        } else {
            EXPECT_TRUE(log.lines.empty());
        }
    }
}
