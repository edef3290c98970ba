// Index-set and string conveniences.
#include <gtest/gtest.h>

#include "NSIndexSet+Additions.h"
#include "NSString+Additions.h"

using namespace NSIndexSetAdditions;

TEST(IndexSetAdditions, RangeDescriptions) {
    struct Row {
        NSIndexSet set;
        int64_t offset;
        std::u16string text;
    };
    const Row rows[] = {
        {{}, 1, u""},
        {{3}, 1, u"4"},
        {{2, 3}, 0, u"2-3"},
        {{1, 5}, 0, u"1, 5"},
        {{0, 1, 2, 4, 6, 7}, 1, u"1-3, 5, 7-8"},
        {{4, 5, 6, 7}, 0, u"4-7"},
        {{0, 2, 3}, -1, u"-1, 1-2"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(rangeDescriptionWithOffset(row.set, row.offset), row.text);
}

TEST(IndexSetAdditions, FirstSecondAndLastIndexRemoval) {
    NSIndexSet set{2, 5, 9, 11};
    EXPECT_EQ(secondIndex(set), 5u);
    EXPECT_EQ(setExclusingFirstIndex(set), (NSIndexSet{5, 9, 11}));
    removeSecondIndex(set);
    EXPECT_EQ(set, (NSIndexSet{2, 9, 11}));
    removeLastIndex(set);
    EXPECT_EQ(set, (NSIndexSet{2, 9}));
    removeFirstIndex(set);
    EXPECT_EQ(set, (NSIndexSet{9}));
    removeSecondIndex(set);  // fewer than two: nothing
    EXPECT_EQ(set, (NSIndexSet{9}));
    removeFirstIndex(set);
    removeFirstIndex(set);
    removeLastIndex(set);
    EXPECT_TRUE(set.empty());
}

TEST(IndexSetAdditions, UnionRangeAndArray) {
    EXPECT_EQ(setByIntegratingSet({1, 2}, {2, 7}), (NSIndexSet{1, 2, 7}));
    EXPECT_EQ(range(NSIndexSet{3, 4, 9}), (NSRange{3, 7}));
    EXPECT_EQ(range(NSIndexSet{}).location, NSNotFound);
    EXPECT_EQ(arrayRepresentation({9, 1, 4}), (std::vector<uint64_t>{1, 4, 9}));
}

TEST(IndexSetAdditions, TotalsTest) {
    struct Row {
        NSIndexSet a, b;
        uint64_t maximum;
        bool differ;
    };
    const Row rows[] = {
        {{1}, {4}, 10, false},     {{0, 1, 2}, {1}, 3, false}, {{1}, {0, 1, 2}, 3, false},
        {{0, 1}, {1, 2}, 3, true}, {{0, 1, 2}, {1}, 4, true},  {{}, {}, 3, true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(totalWouldDifferFromIndexSet(row.a, row.b, row.maximum), row.differ);
}

TEST(StringAdditions, Predicates) {
    using namespace NSStringAdditions;
    EXPECT_TRUE(isNewLineCharacter(u"\n"));
    EXPECT_FALSE(isNewLineCharacter(u"\n\n"));
    EXPECT_TRUE(hasNewLine(u"a\nb"));
    EXPECT_FALSE(hasNewLine(u"ab"));
    EXPECT_TRUE(isNumber(u"7"));
    EXPECT_FALSE(isNumber(u"77"));
    EXPECT_FALSE(isNumber(u"x"));
    EXPECT_FALSE(containsString(u"", u""));
    EXPECT_FALSE(containsString(u"abc", std::nullopt));
    EXPECT_TRUE(containsString(u"abc", u"bc"));
    EXPECT_TRUE(orderedSame(u"a", u"a"));
    EXPECT_EQ(firstCharacter(u"abc"), u"a");
    EXPECT_EQ(lastCharacter(u"abc"), u"c");
    EXPECT_EQ(lastCharacter(u"a\U0001F600"), u"\U0001F600");
    EXPECT_EQ(uncapitalizedString(u"Hello World"), u"hello World");
    EXPECT_EQ(uncapitalizedString(u"\u00C4b"), u"\u00E4b");
}

TEST(StringAdditions, NumericComparisonAndReplacement) {
    using namespace NSStringAdditions;
    EXPECT_EQ(compareNumerically(u"a9", u"a10"), -1);
    EXPECT_EQ(compareNumerically(u"a10", u"a9"), 1);
    EXPECT_EQ(compareNumerically(u"a010", u"a10"), 0);
    EXPECT_EQ(compareNumerically(u"b1", u"a2"), 1);
    std::u16string text = u"one two one";
    replaceString(text, u"one", u"three");
    EXPECT_EQ(text, u"three two three");
    replaceString(text, u"", u"x");
    EXPECT_EQ(text, u"three two three");
}
