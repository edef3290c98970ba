// Edits classified into text actions: the examples worked out from the rules, one row each.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NCExpression.h"
#include "NCLineCollection.h"

namespace {
using Set = std::optional<NSIndexSet>;
const Set none = std::nullopt;

NSIndexSet run(uint64_t first, uint64_t last) { return NSIndexSet(NSRange{first, last - first + 1}); }

struct Row {
    const char* what;
    std::u16string text;
    NSRange selection;
    NSRange range;
    std::u16string replacement;
    NKTextActionType type;
    Set add, insert, remove, reevaluate, redraw;
};

std::string utf8Of(const std::u16string& text) { return std::string(text.begin(), text.end()); }
}  // namespace

TEST(TextActionGenerator, ClassifiesEdits) {
    const std::u16string ten = joinLines({u"a", u"b", u"c", u"", u"e", u"f", u"g", u"h", u"i", u"j"});
    const std::u16string tenFull =
        joinLines({u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"j"});
    const std::u16string seven = joinLines({u"l0", u"l1", u"l2", u"l3", u"l4", u"l5", u"l6"});
    const Row rows[] = {
        {"new line at the end", u"1\n2\n3", {5, 0}, {5, 0}, u"\n", 2, NSIndexSet{3}, none, none,
         none, none},
        {"new line on an empty last line", u"1\n2\n", {4, 0}, {4, 0}, u"\n", 2, NSIndexSet{3},
         none, none, none, none},
        {"new line inside a line", u"1\n2\n3", {1, 0}, {1, 0}, u"\n", 5, none, NSIndexSet{1},
         none, NSIndexSet{0, 1}, run(0, 3)},
        {"new line at the start of a line", u"1\n2\n3", {2, 0}, {2, 0}, u"\n", 3, none,
         NSIndexSet{1}, none, none, run(1, 3)},
        {"three lines pasted", u"1\n2\n3", {1, 0}, {1, 0}, u"a\nb\nc", 8, none, NSIndexSet{1, 2},
         none, run(0, 4), run(0, 4)},
        {"two lines pasted at the end", u"1\n2\n3", {5, 0}, {5, 0}, u"a\nb", 7, NSIndexSet{3},
         none, none, run(2, 3), run(2, 3)},
        {"one character typed", u"1\n2\n3", {2, 0}, {2, 0}, u"x", 0, none, none, none,
         NSIndexSet{1}, NSIndexSet{1}},
        {"characters typed", u"ab", {1, 0}, {1, 0}, u"xy", 1, none, none, none, NSIndexSet{0},
         NSIndexSet{0}},
        {"backspace below an empty line", ten, {7, 0}, {6, 1}, u"", 13, none, none,
         NSIndexSet{3}, none, run(3, 8)},
        {"backspace below a full line", tenFull, {8, 0}, {7, 1}, u"", 13, none, none,
         NSIndexSet{4}, run(3, 8), run(3, 8)},
        {"forward delete of a line break", u"12\n34\n56", {2, 0}, {2, 1}, u"", 12, none, none,
         NSIndexSet{1}, NSIndexSet{0}, NSIndexSet{0}},
        {"backspace on the last line", u"12\n34", {3, 0}, {2, 1}, u"", 12, none, none,
         NSIndexSet{1}, NSIndexSet{0}, NSIndexSet{0}},
        {"backspace on the last line below an empty one", u"12\n\n34", {4, 0}, {3, 1}, u"", 12,
         none, none, NSIndexSet{1}, none, NSIndexSet{1}},
        {"selection into the last line deleted", u"ab\ncd\nef", {1, 6}, {1, 6}, u"", 14, none,
         none, NSIndexSet{1, 2}, NSIndexSet{0}, NSIndexSet{0}},
        {"lines deleted in the middle", u"ab\ncd\nef\ngh", {1, 5}, {1, 5}, u"", 15, none, none,
         NSIndexSet{1, 2}, NSIndexSet{0}, NSIndexSet{0}},
        {"whole lines deleted", u"ab\ncd\nef\ngh", {3, 6}, {3, 6}, u"", 15, none, none,
         NSIndexSet{1, 2}, NSIndexSet{1}, NSIndexSet{1}},
        {"end of a line and its break deleted", u"abc\nde", {2, 2}, {2, 2}, u"", 13, none, none,
         NSIndexSet{1}, NSIndexSet{0}, NSIndexSet{0}},
        {"a whole line and its break deleted", u"abc\nde\nf", {0, 4}, {0, 4}, u"", 13, none,
         none, NSIndexSet{0}, NSIndexSet{0}, NSIndexSet{0}},
        {"three lines pasted over part of a line", u"l0\nl1\nl2\nl3", {1, 1}, {1, 1},
         u"x\ny\nz", 9, none, NSIndexSet{1, 2}, none, run(0, 2), run(0, 2)},
        {"three lines pasted over part of the last line", u"l0\nl1", {4, 1}, {4, 1}, u"x\ny\nz",
         9, NSIndexSet{2, 3}, none, none, run(1, 3), run(1, 3)},
        {"two lines pasted over lines 2 to 5", seven, {7, 9}, {7, 9}, u"x\ny", 9, none, none,
         NSIndexSet{4, 5}, NSIndexSet{2, 3}, NSIndexSet{2, 3}},
        // Within one line the midway rule comes first, selection or not.
        {"line break typed over part of a line", u"abcd\nef", {1, 2}, {1, 2}, u"\n", 5, none,
         NSIndexSet{1}, none, NSIndexSet{0, 1}, run(0, 2)},
        {"line break typed over the end of a line", u"abcd\nef", {2, 3}, {2, 3}, u"\n", 6,
         none, none, NSIndexSet{}, NSIndexSet{0, 1}, NSIndexSet{0, 1}},
        {"line break typed over the end of the last line", u"ab\ncd", {4, 1}, {4, 1}, u"\n", 6,
         none, NSIndexSet{2}, none, NSIndexSet{1, 2}, NSIndexSet{1, 2}},
        {"line break typed over two lines", u"ab\ncd\nef", {1, 4}, {1, 4}, u"\n", 6, none, none,
         NSIndexSet{}, NSIndexSet{0, 1}, NSIndexSet{0, 1}},
        {"character typed over two lines", u"ab\ncd", {1, 3}, {1, 3}, u"x", 16, none, none,
         NSIndexSet{1}, NSIndexSet{0}, NSIndexSet{0}},
        {"characters typed over two lines", u"ab\ncd", {1, 3}, {1, 3}, u"xy", 17, none, none,
         NSIndexSet{1}, NSIndexSet{0}, NSIndexSet{0}},
        {"character typed over part of a line", u"abc", {1, 1}, {1, 1}, u"x", 0, none, none,
         none, NSIndexSet{0}, NSIndexSet{0}},
        {"one character deleted", u"ab", {1, 1}, {1, 1}, u"", 10, none, none, none,
         NSIndexSet{0}, NSIndexSet{0}},
        {"characters deleted", u"abc\nd", {0, 2}, {0, 2}, u"", 11, none, none, none,
         NSIndexSet{0}, NSIndexSet{0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EditingRig rig;
        rig.setText(row.text, row.selection);
        std::optional<NKTextAction> action =
            rig.generator.textActionForRange(row.range, row.replacement);
        ASSERT_TRUE(action.has_value());
        NKTextAction expected;
        expected.setTextActionType(row.type);
        expected.setIndexesToAdd(row.add);
        expected.setIndexesToInsert(row.insert);
        expected.setIndexesToRemove(row.remove);
        expected.setIndexesToReevaluate(row.reevaluate);
        expected.setIndexesToRedraw(row.redraw);
        EXPECT_TRUE(action->isEqual(expected))
            << utf8Of(action->description()) << "expected" << utf8Of(expected.description());
        EXPECT_EQ(action->affectedRange(), row.range);
        EXPECT_EQ(action->stringOfTextAction(), row.replacement);
    }
}

TEST(TextActionGenerator, UnclassifiedEditsAndDisabledGenerator) {
    EditingRig rig;
    rig.setText(u"ab", {1, 0});
    {
        LogCapture log;
        std::optional<NKTextAction> action = rig.generator.textActionForRange({1, 0}, u"");
        ASSERT_TRUE(action);
        EXPECT_EQ(action->textActionType(), NKTextActionNone);
        EXPECT_FALSE(action->hasIndexes());
        EXPECT_TRUE(log.contains("Warning: NKTextActionNone"));
    }
    rig.generator.setEnabled(false);
    EXPECT_FALSE(rig.generator.textActionForRange({1, 0}, u"x").has_value());
    LogCapture log;
    std::vector<NKTextAction> actions =
        rig.generator.textActionsForRanges({{0, 0}, {1, 0}}, {u"x", u"y"});
    ASSERT_EQ(actions.size(), 2u);
    for (const NKTextAction& action : actions) {
        EXPECT_EQ(action.textActionType(), NKTextActionScrewy);
        EXPECT_FALSE(action.hasIndexes());
        EXPECT_EQ(action.stringOfTextAction(), u"");
    }
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_TRUE(log.contains("Error no text action"));
    EXPECT_EQ(rig.generator.lastTextActions().size(), 2u);
    EXPECT_EQ(rig.generator.lastTextAction()->textActionType(), NKTextActionScrewy);
}

TEST(TextActionGenerator, LineSetRequests) {
    EditingRig rig;
    // Five lines, caret on line 2, selection from inside line 1 to inside line 3.
    rig.setText(u"aa\nbb\ncc\ndd\nee", {6, 0});
    NKTextAction action;
    action.setAffectedRange({4, 6});
    action.setStringOfTextAction(u"x\ny\nz");  // K = 3
    struct Request {
        uint32_t mask;
        NSIndexSet set;
    };
    const Request requests[] = {
        {1, {2}},           {2, {1}},         {4, {3}},           {5, {2, 3}},
        {27, {1, 2, 3}},    {41, run(2, 5)},  {72, run(3, 6)},    {73, run(2, 6)},
        {256, {3, 4}},      {512, {1, 2, 3}}, {1536, {2, 3}},     {2560, {1, 2}},
        {5632, {3}},        {8192, {1}},      {32768, {2}},       {33280, {1, 2, 3}},
        {40960, {1, 2}},    {65536, {1}},     {0x4000, {3}},
    };
    for (const Request& request : requests)
        EXPECT_EQ(rig.generator.setForRequest(request.mask, action), request.set) << request.mask;
}

TEST(TextActionGenerator, TranscriptNamesTextEditAndAction) {
    EditingRig rig;
    rig.setText(u"1\n2", {1, 0});
    std::optional<NKTextAction> action = rig.generator.textActionForRange({1, 0}, u"\n");
    ASSERT_TRUE(action);
    std::u16string transcript = rig.generator.unitTestFromTextAction(*action);
    for (const char16_t* part : {u"1\\n2", u"\\n", u"NKTextActionInsertedNewLineMidway",
                                 u"Text Action was:", u"Line references to adjust are:"})
        EXPECT_NE(transcript.find(part), std::u16string::npos) << utf8Of(part);
}

class TextActionGeneratorReferences : public testing::Test {
  protected:
    void SetUp() override { startFoundation(); }

    // The rig's text and a collection holding the same lines.
    void load(const std::vector<std::u16string>& lines, NSRange selection) {
        rig.setText(joinLines(lines), selection);
        collection = std::make_shared<NCLineCollection>();
        for (const std::u16string& line : lines)
            collection->addLine(NCLine::lineWithExpressionString(line));
        rig.generator.setLineCollection(collection);
    }

    EditingRig rig;
    std::shared_ptr<NCLineCollection> collection;
};

TEST_F(TextActionGeneratorReferences, JoiningALineMovesItsReferences) {
    const std::u16string referring = NCExpression::relativeLineReferenceTokenWithOffset(-1) + u"+1";
    load({u"10", u"20", referring}, {6, 0});
    std::optional<NKTextAction> action = rig.generator.textActionForRange({5, 1}, u"");
    ASSERT_TRUE(action);
    EXPECT_EQ(action->textActionType(), NKTextActionDeletedLineFromEnd);
    ASSERT_TRUE(action->lineReferencesToAdjust());
    EXPECT_EQ(action->lineReferencesToAdjust()->lineIndex, 1);
    EXPECT_EQ(action->lineReferencesToAdjust()->range, (NSRange{2, referring.size()}));
    EXPECT_EQ(action->lineReferencesToAdjust()->offsetChange, 1);
}

TEST_F(TextActionGeneratorReferences, NoAdjustmentWhenTheLineAboveGoes) {
    const std::u16string referring = NCExpression::relativeLineReferenceTokenWithOffset(-2);
    load({u"10", u"", referring}, {4, 0});
    std::optional<NKTextAction> action = rig.generator.textActionForRange({3, 1}, u"");
    ASSERT_TRUE(action);
    EXPECT_EQ(action->indexesToRemove(), NSIndexSet{1});
    EXPECT_FALSE(action->lineReferencesToAdjust().has_value());
}

TEST_F(TextActionGeneratorReferences, SplittingALineMovesTheTail) {
    const std::u16string referring = u"2*" + NCExpression::relativeLineReferenceTokenWithOffset(-1);
    load({u"5", referring}, {4, 0});
    std::optional<NKTextAction> split = rig.generator.textActionForRange({4, 0}, u"\n");
    ASSERT_TRUE(split);
    EXPECT_EQ(split->textActionType(), NKTextActionInsertedNewLineMidway);
    ASSERT_TRUE(split->lineReferencesToAdjust());
    EXPECT_EQ(split->lineReferencesToAdjust()->lineIndex, 2);
    EXPECT_EQ(split->lineReferencesToAdjust()->range, (NSRange{0, referring.size() - 2}));
    EXPECT_EQ(split->lineReferencesToAdjust()->offsetChange, -1);

    // Pasted lines: the tail follows the last pasted piece, not the line's start.
    std::optional<NKTextAction> paste = rig.generator.textActionForRange({4, 0}, u"a\nbb");
    ASSERT_TRUE(paste);
    EXPECT_EQ(paste->textActionType(), NKTextActionManyLinesInsertedSomewhere);
    ASSERT_TRUE(paste->lineReferencesToAdjust());
    EXPECT_EQ(paste->lineReferencesToAdjust()->lineIndex, 2);
    EXPECT_EQ(paste->lineReferencesToAdjust()->range, (NSRange{2, referring.size() - 2}));
    EXPECT_EQ(paste->lineReferencesToAdjust()->offsetChange, -1);
}

TEST_F(TextActionGeneratorReferences, TypingWithinALineAdjustsNothing) {
    const std::u16string referring = NCExpression::relativeLineReferenceTokenWithOffset(-1);
    load({u"5", referring}, {2, 0});
    std::optional<NKTextAction> action = rig.generator.textActionForRange({2, 0}, u"3*");
    ASSERT_TRUE(action);
    EXPECT_FALSE(action->lineReferencesToAdjust().has_value());
}
