#include <gtest/gtest.h>

#include "AnalysisTreeTestSupport.h"

namespace {

std::string text(NBFStringRef string) { return string ? NBFStringGetCppString(string) : "(null)"; }

TEST(NBFEPExpressionTree, GroupsReplaceChildrenAndKeepTheirText) {
    NBFEPExpressionTreeRef tree = makeAnalysisTree("1 000 + 5");
    NBFEPExpressionTreeNodeRef root = NBFEPExpressionTreeGetRootNode(tree);
    EXPECT_EQ(NBFExpressionTreeNodeGetTokenType(root), kNBFTokenTypeGroup);
    ASSERT_EQ(NBFExpressionTreeNodeGetCountOfChildNodes(root), 7);
    EXPECT_EQ(text(NBFExpressionTreeNodeGetStringReference(root)), "1 000 + 5");

    // The number run 1 000 becomes one group node typed like its first number.
    const NBFEPExpressionTreeNodeVector children = NBFExpressionTreeNodeGetChildren(root);
    NBFEPExpressionTreeNodeRef run = NBFEPExpressionTreeNodeCreate();
    for (int i = 0; i < 3; ++i)
        NBFExpressionTreeNodeAddChild(run, children[static_cast<size_t>(i)]);
    NBFExpressionTreeNodeSetTokenTypesBasedOnNode(run, children[0]);
    NBFExpressionTreeNodeReplaceChildNodes(root, {0, 3}, run);
    EXPECT_EQ(NBFExpressionTreeNodeGetCountOfChildNodes(root), 5);
    EXPECT_EQ(NBFExpressionTreeNodeGetChildren(root)[0], run);
    EXPECT_EQ(NBFExpressionTreeNodeGetParent(run), root);
    EXPECT_EQ(NBFExpressionTreeNodeGetParent(children[0]), run);
    EXPECT_EQ(NBFExpressionTreeNodeGetTokenType(run), kNBFTokenTypeNumber);
    EXPECT_EQ(NBFExpressionTreeNodeGetTokenSubType(run), kNBFTokenSubTypeDecimalNumber);
    EXPECT_FALSE(NBFExpressionTreeNodeIsLeaf(run));
    EXPECT_EQ(text(NBFExpressionTreeNodeGetStringReference(run)), "1 000");
    NBFRange range = NBFExpressionTreeNodeGetRange(run);
    EXPECT_EQ(range.location, 0);
    EXPECT_EQ(range.length, 5);
    EXPECT_EQ(NBFExpressionTreeNodeGetBasicTokens(run).size(), 3u);
    EXPECT_EQ(NBFExpressionTreeNodeGetFirstCharacter(run), u'1');
    EXPECT_EQ(
        NBFExpressionTreeNodeGetIndexOfChildNode(root, NBFExpressionTreeNodeGetChildren(root)[2]),
        2);
    EXPECT_EQ(NBFExpressionTreeNodeGetIndexOfChildNode(root, children[1]), 0);  // not a child
    NBFEPExpressionTreeNodeRelease(run);

    // Only a node that is not a leaf takes another node's kind.
    NBFEPExpressionTreeNodeRef plus = NBFExpressionTreeNodeGetChildren(root)[2];
    NBFExpressionTreeNodeSetTokenTypesBasedOnNode(plus, run);
    EXPECT_EQ(NBFExpressionTreeNodeGetTokenType(plus), kNBFTokenTypeOperator);

    // Removing without a replacement closes the gap; the text follows.
    NBFExpressionTreeNodeReplaceChildNodes(root, {1, NBFRangeLengthMax}, nullptr);
    EXPECT_EQ(NBFExpressionTreeNodeGetCountOfChildNodes(root), 1);
    EXPECT_EQ(text(NBFExpressionTreeNodeGetStringReference(root)), "1 000");
    NBFEPExpressionTreeRelease(tree);
}

TEST(NBFEPExpressionTree, KindsOptionsAndOwnership) {
    NBFEPExpressionTreeNodeRef node = NBFEPExpressionTreeNodeCreate();
    EXPECT_TRUE(NBFExpressionTreeNodeIsMutable(node));
    NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeWordOperator);
    EXPECT_EQ(NBFExpressionTreeNodeGetRepresentedTokenSubType(node), kNBFTokenSubTypeWordOperator);
    NBFExpressionTreeNodeSetRepresentedTokenSubType(node, kNBFTokenSubTypePlus);
    EXPECT_EQ(NBFExpressionTreeNodeGetRepresentedTokenSubType(node), kNBFTokenSubTypePlus);

    struct Row {
        NBFOperatorOptions options;
        bool has;
    };
    const Row rows[] = {{NBFOperatorOptionsNone, false}, {{13, 9, 0, 0, 0, 31, 3}, true},
                        {{0, 0, 5, 0, 0, 0, 0}, false},  {{0, 0, 0, 2816, 0, 0, 0}, true},
                        {{0, 0, 0, 0, 1, 0, 3}, false},  {{0, 0, 0, 0, 0, 10, 0}, true}};
    for (const Row& row : rows) {
        NBFExpressionTreeNodeSetOperatorOptions(node, row.options);
        EXPECT_EQ(NBFExpressionTreeNodeHasOperatorOptions(node), row.has);
        EXPECT_EQ(NBFExpressionTreeNodeGetOperatorOptions(node), row.options);
    }

    NBFFunctionRef function = NBFFunctionCreate("sqrt", {});
    NBFExpressionTreeNodeSetFunction(node, function);
    NBFExpressionTreeNodeSetFunction(node, function);
    EXPECT_EQ(function->retainCount(), 2);
    NBFEPExpressionTreeNodeRef parent = NBFEPExpressionTreeNodeCreate();
    NBFExpressionTreeNodeAddChild(parent, node);
    NBFEPExpressionTreeNodeRelease(node);
    NBFEPExpressionTreeNodeRelease(parent);  // releases the child and what it holds
    EXPECT_EQ(function->retainCount(), 1);
    NBFFunctionRelease(function);
    EXPECT_TRUE(NBFExpressionTreeNodeGetChildren(nullptr).empty());
    EXPECT_EQ(NBFExpressionTreeNodeGetStringReference(nullptr), nullptr);
}

}  // namespace
