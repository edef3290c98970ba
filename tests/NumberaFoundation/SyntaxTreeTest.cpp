#include <gtest/gtest.h>

#include "AnalysisTreeTestSupport.h"
#include "NBFSyntaxTree.h"

namespace {

constexpr token_type U = kNBFTokenTypeUnit;
const std::pair<token_type, NBFTokenSubType> unit = {U, kNBFTokenSubTypeStandaloneUnit};
const std::pair<token_type, NBFTokenSubType> percent = {kNBFTokenTypeOperator,
                                                        kNBFTokenSubTypePercent};
const std::pair<token_type, NBFTokenSubType> variable = {kNBFTokenTypeVariable, 0};

struct SignRow {
    std::string text;
    KindOverrides kinds;
    std::vector<NBFTokenSubType> expected;
};

class UnaryOperatorsTree : public ::testing::TestWithParam<SignRow> {};

// Subtypes: 8 number, 29 whitespace, 10/11 plus/minus, 17/18 unary plus/minus, 12/13
// multiply/divide, 23 high-priority divide.
TEST_P(UnaryOperatorsTree, SignsBecomeUnaryAndUnitOperatorsBindTighter) {
    NBFStandardSyntaxTreesInit();
    NBFEPExpressionTreeRef tree = makeAnalysisTree(GetParam().text, GetParam().kinds);
    NBFEPExpressionTreeNodeRef root = NBFEPExpressionTreeGetRootNode(tree);
    syntax_tree_crawl_expression_node(NBFStandardSyntaxTreesGetUnaryOperatorsTreeReference(), root);
    EXPECT_EQ(childSubTypes(root), GetParam().expected);
    // A rewritten node keeps its text.
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(root))
        EXPECT_EQ(NBFExpressionTreeNodeGetBasicTokens(child).size(), 1u);
    NBFEPExpressionTreeRelease(tree);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, UnaryOperatorsTree,
    ::testing::Values(SignRow{"3 * -2", {}, {8, 29, 12, 29, 18, 8}},
                      SignRow{"-2 + 1", {}, {18, 8, 29, 10, 29, 8}},
                      SignRow{" -2", {}, {29, 18, 8}}, SignRow{"3 - 2", {}, {8, 29, 11, 29, 8}},
                      SignRow{"3 * - 2", {}, {8, 29, 12, 29, 18, 29, 8}},
                      SignRow{"2 - -3", {}, {8, 29, 11, 29, 18, 8}},
                      SignRow{"3 * +x", {{5, variable}}, {8, 29, 12, 29, 17, 0}},
                      SignRow{"5% - 2", {{1, percent}}, {8, 22, 29, 11, 29, 8}},
                      SignRow{"km / h", {{0, unit}, {4, unit}}, {28, 29, 23, 29, 28}},
                      SignRow{"3 -", {}, {8, 29, 11}}));

TEST(UnaryOperatorsTree, SignOpeningABracketGroup) {
    NBFStandardSyntaxTreesInit();
    NBFEPExpressionTreeRef tree = makeAnalysisTree("2 *");
    NBFEPExpressionTreeNodeRef group = NBFEPExpressionTreeNodeCreate();
    NBFExpressionTreeNodeSetTokenType(group, kNBFTokenTypeGroup);
    NBFExpressionTreeNodeSetTokenSubType(group, kNBFTokenSubTypeBracketGroup);
    addLeaves(group, "( -4)");
    NBFExpressionTreeNodeAddChild(NBFEPExpressionTreeGetRootNode(tree), group);
    syntax_tree_crawl_expression_node(NBFStandardSyntaxTreesGetUnaryOperatorsTreeReference(),
                                      NBFEPExpressionTreeGetRootNode(tree));
    EXPECT_EQ(childSubTypes(group), (std::vector<NBFTokenSubType>{1, 29, 18, 8, 2}));
    NBFEPExpressionTreeNodeRelease(group);
    NBFEPExpressionTreeRelease(tree);
    EXPECT_EQ(NBFSyntaxTreeGetRootNode(NBFStandardSyntaxTreesGetSpecialOperatorsTreeReference())
                  ->children.size(),
              0u);
}

// A rewrite that matches its own result again is stopped.
TEST(SyntaxTree, GivesUpOnARewriteThatNeverEnds) {
    NBFSyntaxTreeRef tree = NBFSyntaxTreeCreate();
    NBFSyntaxTreeNodeRef number =
        NBFSyntaxTreeAddLink(tree, nullptr, kNBFTokenTypeNumber, 0, nullptr, 0, 0, 0);
    NBFSyntaxTreeNodeRef variableTest =
        NBFSyntaxTreeAddLink(tree, nullptr, kNBFTokenTypeVariable, 0, nullptr, 0, 0, 0);
    for (NBFSyntaxTreeNodeRef parent : {number, variableTest})
        NBFSyntaxTreeAddLink(tree, parent, kNBFSyntaxTreeSyntaxVariable, 0, nullptr,
                             kNBFSyntaxTreeLinkTerminal, 1, 0);
    NBFEPExpressionTreeRef analysis = makeAnalysisTree("7 + 1");
    NBFEPExpressionTreeNodeRef root = NBFEPExpressionTreeGetRootNode(analysis);
    testing::internal::CaptureStdout();
    syntax_tree_crawl_expression_node(tree, root);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error: infinite loop in syntax tree crawl\n");
    EXPECT_EQ(NBFExpressionTreeNodeGetTokenType(NBFExpressionTreeNodeGetChildren(root)[0]),
              kNBFTokenTypeVariable);
    NBFEPExpressionTreeRelease(analysis);
    NBFSyntaxTreeRelease(tree);
}

TEST(SyntaxTree, LinksSiblingsAndExploresDepthFirst) {
    NBFSyntaxTreeRef tree = NBFSyntaxTreeCreate();
    NBFSyntaxTreeNodeRef a = NBFSyntaxTreeAddLink(tree, nullptr, 1, 0, nullptr, 0, 0, 1);
    NBFSyntaxTreeNodeRef b = NBFSyntaxTreeAddLink(tree, nullptr, 1, 0, nullptr, 0, 0, 2);
    NBFSyntaxTreeNodeRef c = NBFSyntaxTreeAddLink(tree, a, 3, 0, nullptr, 0, 0, 3);
    ASSERT_EQ(NBFSyntaxTreeGetRootNode(tree)->children.size(), 1u);
    EXPECT_EQ(NBFArrayGetItemAtIndex(a->siblings, 0), b);  // same key: a sibling
    EXPECT_TRUE(NBFSyntaxTreeNodeIsLeaf(b));
    EXPECT_FALSE(NBFSyntaxTreeNodeIsLeaf(a));
    static std::vector<uint16_t> order;
    order.clear();
    NBFSyntaxTreeNodeExploreDFS(NBFSyntaxTreeGetRootNode(tree),
                                [](NBFSyntaxTreeNodeRef node) { order.push_back(node->location); });
    // Children first, then siblings, then the node: c, b, a, root.
    EXPECT_EQ(order, (std::vector<uint16_t>{3, 2, 1, 0}));
    EXPECT_EQ(c->retainCount(), 1);
    NBFSyntaxTreeRelease(tree);
}

}  // namespace
