// Text actions: their defaults, queries, descriptions and comparison.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NKTextAction.h"

TEST(TextAction, FreshActionHasNothing) {
    NKTextAction action;
    EXPECT_TRUE(action.isValid());
    EXPECT_FALSE(action.hasIndexes());
    EXPECT_FALSE(action.willCauseLineCountToChange());
    EXPECT_TRUE(action.indexesSets().empty());
    EXPECT_EQ(action.textActionType(), 0);
    EXPECT_EQ(action.textActionDescription(), u"NKTextActionAddedSingleCharacter");
    EXPECT_EQ(action.affectedRange(), (NSRange{0, 0}));
}

TEST(TextAction, EmptyRedrawSetCountsAsIndexes) {
    NKTextAction action;
    action.setIndexesToRedraw(NSIndexSet{});
    EXPECT_TRUE(action.hasIndexes());
    EXPECT_FALSE(action.willCauseLineCountToChange());
    action.setIndexesToRemove(NSIndexSet{});
    EXPECT_FALSE(action.willCauseLineCountToChange());
    action.setIndexesToInsert(NSIndexSet{4});
    EXPECT_TRUE(action.willCauseLineCountToChange());
}

TEST(TextAction, SetsInTheirOrder) {
    NKTextAction action;
    action.setIndexesToReevaluate(NSIndexSet{5});
    action.setIndexesToRedraw(NSIndexSet{3});
    action.setIndexesToAdd(NSIndexSet{1});
    std::vector<NSIndexSet> sets = action.indexesSets();
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0], NSIndexSet{1});  // add
    EXPECT_EQ(sets[1], NSIndexSet{3});  // redraw
    EXPECT_EQ(sets[2], NSIndexSet{5});  // re-evaluate
}

TEST(TextAction, TypeDescriptions) {
    const std::pair<int32_t, std::u16string> rows[] = {
        {2, u"NKTextActionAddedNewLineToEnd"},
        {9, u"NKTextActionPastedManyLinesOverSelection"},
        {15, u"NKTextActionManyLinesDeletedFromSomewhere"},
        {16, u"NKTextActionAddedCharacterReplacingMultipleLines"},
        {17, u"NKTextActionAddedCharacterReplacingMultipleLines"},
        {18, u"NKTextActionNone"},
        {19, u"NKTextActionScrewy"},
        {42, u"Undefined Text Action"},
        {-1, u"Undefined Text Action"},
    };
    for (const auto& [type, text] : rows) {
        NKTextAction action;
        action.setTextActionType(type);
        EXPECT_EQ(action.textActionDescription(), text) << type;
    }
}

TEST(TextAction, InvalidateThenReset) {
    NKTextAction action;
    action.setIndexesToAdd(NSIndexSet{1});
    action.setStringOfTextAction(u"x");
    action.setLineReferencesToAdjust(NKLineReferenceAdjustment{1, {0, 2}, 1, std::nullopt});
    action.invalidate();
    EXPECT_FALSE(action.isValid());
    EXPECT_TRUE(action.hasIndexes());
    action.resetAllIndexSets();
    EXPECT_TRUE(action.isValid());
    EXPECT_EQ(action.textActionType(), NKTextActionNone);
    EXPECT_FALSE(action.hasIndexes());
    EXPECT_FALSE(action.stringOfTextAction().has_value());
    EXPECT_FALSE(action.lineReferencesToAdjust().has_value());
}

TEST(TextAction, DescriptionListsTheSets) {
    NKTextAction action;
    action.setTextActionType(4);
    action.setIndexesToInsert(NSIndexSet{2});
    std::u16string text = action.description();
    EXPECT_EQ(text.rfind(u"\nType: NKTextActionInsertedNewLineBelow\n IndexesToAdd: (null)\n"
                         u" indexesToInsert: ", 0), 0u);
    EXPECT_NE(text.find(u"indexes: (2)"), std::u16string::npos);
}

TEST(TextAction, EqualityLogsTheFirstDifference) {
    struct Row {
        const char* what;
        void (*change)(NKTextAction&);
        bool equal;
        const char* message;
    };
    const Row rows[] = {
        {"same", [](NKTextAction&) {}, true, nullptr},
        {"type", [](NKTextAction& a) { a.setTextActionType(3); }, false,
         "Action Types Are Different"},
        {"add absent", [](NKTextAction& a) { a.setIndexesToAdd(std::nullopt); }, false,
         "Indexes to Add Are Different"},
        {"insert", [](NKTextAction& a) { a.setIndexesToInsert(NSIndexSet{}); }, false,
         "Indexes to Insert Are Different"},
        {"remove", [](NKTextAction& a) { a.setIndexesToRemove(NSIndexSet{8}); }, false,
         "Indexes to Remove Are Different"},
        {"reevaluate", [](NKTextAction& a) { a.setIndexesToReevaluate(NSIndexSet{1, 2}); }, false,
         "Indexes to Reevaluate Are Different"},
        {"redraw", [](NKTextAction& a) { a.setIndexesToRedraw(NSIndexSet{0}); }, false,
         "Indexes to Redraw Are Different"},
        {"one adjustment only",
         [](NKTextAction& a) { a.setLineReferencesToAdjust(NKLineReferenceAdjustment{}); }, true,
         nullptr},
        {"string ignored", [](NKTextAction& a) { a.setStringOfTextAction(u"zzz"); }, true,
         nullptr},
    };
    for (const Row& row : rows) {
        NKTextAction expected;
        expected.setTextActionType(2);
        expected.setIndexesToAdd(NSIndexSet{3});
        expected.setIndexesToRemove(NSIndexSet{7});
        NKTextAction produced = expected;
        row.change(produced);
        LogCapture log;
        EXPECT_EQ(produced.isEqual(expected), row.equal) << row.what;
        if (row.message) {
            ASSERT_EQ(log.lines.size(), 1u) << row.what;
            EXPECT_EQ(log.lines[0], row.message);
        } else {
            EXPECT_TRUE(log.lines.empty()) << row.what;
        }
    }
}

TEST(TextAction, EqualityComparesAdjustmentsWithoutLogging) {
    NKTextAction a, b;
    a.setLineReferencesToAdjust(NKLineReferenceAdjustment{4, {1, 3}, -1, std::nullopt});
    b.setLineReferencesToAdjust(NKLineReferenceAdjustment{4, {1, 3}, -1, std::nullopt});
    EXPECT_TRUE(a.isEqual(b));
    const NKLineReferenceAdjustment different[] = {
        {5, {1, 3}, -1, std::nullopt},
        {4, {0, 3}, -1, std::nullopt},
        {4, {1, 4}, -1, std::nullopt},
        {4, {1, 3}, 1, std::nullopt}};
    LogCapture log;
    for (const NKLineReferenceAdjustment& adjustment : different) {
        b.setLineReferencesToAdjust(adjustment);
        EXPECT_FALSE(a.isEqual(b));
    }
    EXPECT_TRUE(log.lines.empty());
}
