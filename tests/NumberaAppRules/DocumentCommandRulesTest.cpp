// Commenting and uncommenting selected lines, and the titles that follow the selection.
#include <gtest/gtest.h>

#include "NBDocumentCommandRules.h"

namespace {

using Lines = std::vector<std::pair<uint64_t, std::u16string>>;

struct CommentCase {
    const char* name;
    Lines lines;
    std::vector<NBCommentEdit> edits;
};

class CommentEdits : public ::testing::TestWithParam<CommentCase> {};

TEST_P(CommentEdits, FollowTheKindsOfLinesInTheSelection) {
    EXPECT_EQ(commentEditsForLines(GetParam().lines), GetParam().edits) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CommentEdits,
    ::testing::Values(
        CommentCase{
            "plain lines are commented", {{0, u"1+1\n"}, {1, u"b"}}, {{0, false}, {1, false}}},
        CommentCase{
            "comments only are uncommented", {{2, u"// a\n"}, {3, u"//b"}}, {{2, true}, {3, true}}},
        CommentCase{
            "a mixed selection only adds markers", {{0, u"// a\n"}, {1, u"b"}}, {{1, false}}},
        // "/" alone, with or without its line end, is no comment.
        CommentCase{"one slash is no comment", {{0, u"/"}}, {{0, false}}},
        CommentCase{"a marker and its line end is a comment", {{0, u"//\n"}}, {{0, true}}},
        CommentCase{"an empty line is commented", {{4, u""}}, {{4, false}}},
        CommentCase{"no lines, no edits", {}, {}}));

TEST(CommentLine, IsDecidedOnTheTextWithItsLineEnd) {
    EXPECT_TRUE(isCommentLineText(u"//"));
    EXPECT_TRUE(isCommentLineText(u"// total\n"));
    EXPECT_FALSE(isCommentLineText(u"/\n"));
    EXPECT_FALSE(isCommentLineText(u" // indented"));
    EXPECT_FALSE(isCommentLineText(u"\uFFFC//"));
}

TEST(CommandTitles, ThePluralNeedsTwoLinesAndATagBelowOne) {
    EXPECT_TRUE(isSeveralLines(2, -1));
    EXPECT_TRUE(isSeveralLines(3, 0));
    EXPECT_FALSE(isSeveralLines(1, -1));
    EXPECT_FALSE(isSeveralLines(5, 1));
    EXPECT_EQ(commentLineTitle(true, true), u"Uncomment Lines");
    EXPECT_EQ(commentLineTitle(true, false), u"Uncomment Line");
    EXPECT_EQ(commentLineTitle(false, true), u"Comment Lines");
    EXPECT_EQ(commentLineTitle(false, false), u"Comment Line");
    EXPECT_EQ(copyCommandTitle("copyResult:", true), u"Copy Results");
    EXPECT_EQ(copyCommandTitle("copyUnformattedResult:", false), u"Copy Raw Result");
    EXPECT_EQ(copyCommandTitle("copyExpressionAndResult:", true), u"Copy Expressions & Results");
    EXPECT_EQ(copyCommandTitle("speakAnswer:", true), u"");
}

}  // namespace
