// Syntax trees: tries of node tests that the older analysis crawls over the nodes of a
// group. A path from the root is a sequence of tests of (token type, subtype) and a predicate;
// a terminal link at its end names the syntax found and the nodes to rewrite. A test whose
// subtype is 0 accepts any subtype of its type. Whitespace may stand between the nodes of a
// match.
#ifndef NUMBERA_FOUNDATION_NBF_SYNTAX_TREE_H
#define NUMBERA_FOUNDATION_NBF_SYNTAX_TREE_H

#include <cstdint>
#include <map>
#include <utility>

#include "NBFArray.h"
#include "NBFEPExpressionTree.h"
#include "NBFObject.h"

// Syntax numbers a terminal link reports, and the node a match becomes.
enum : int32_t {
    kNBFSyntaxTreeSyntaxQuotedText = 0,    // comment, quoted text
    kNBFSyntaxTreeSyntaxLabel = 1,         // comment, label
    kNBFSyntaxTreeSyntaxAtComment = 2,     // comment, "@"
    kNBFSyntaxTreeSyntaxExponent = 3,      // exponent operator
    kNBFSyntaxTreeSyntaxUnarySign = 4,     // a plus or minus becomes unary
    kNBFSyntaxTreeSyntaxPower = 5,         // power operator
    kNBFSyntaxTreeSyntaxVariable = 6,      // variable
    kNBFSyntaxTreeSyntaxHighPriority = 7,  // an operator becomes its high-priority form
};

// Link option: the link ends a pattern.
constexpr uint32_t kNBFSyntaxTreeLinkTerminal = 4;

typedef bool (*NBFSyntaxTreePredicateFunction)(NBFEPExpressionTreeNodeRef node,
                                               NBFEPExpressionTreeNodeRef parent);

struct NBFSyntaxTreeNode;
typedef NBFSyntaxTreeNode* NBFSyntaxTreeNodeRef;

struct NBFSyntaxTreeNode : NBF::Object<NBFSyntaxTreeNode> {
    ~NBFSyntaxTreeNode() override;
    uint16_t tokenType = 0;     // the syntax number for a terminal link
    uint16_t tokenSubType = 0;  // 0 accepts any subtype
    NBFSyntaxTreePredicateFunction predicate = nullptr;
    uint32_t linkOptions = 0;
    uint16_t length = 0;    // the nodes to rewrite, counted in matched nodes from the match's
    uint16_t location = 0;  // first one
    std::map<std::pair<uint16_t, uint16_t>, NBFSyntaxTreeNodeRef> children;  // first per key
    uint8_t hasOption2Link = 0;
    uint8_t hasTerminalUnderSingleKey = 0;
    NBFArrayRef siblings = nullptr;  // further nodes of the same key, tried in order
};

struct NBFSyntaxTree : NBF::Object<NBFSyntaxTree> {
    ~NBFSyntaxTree() override;
    NBFSyntaxTreeNodeRef root = nullptr;
};
typedef NBFSyntaxTree* NBFSyntaxTreeRef;

// A match: its syntax and the children to rewrite.
struct NBFSyntaxTreeMatch {
    int32_t syntax;
    NBFRange range;
};

// A tree with an empty root.
NBFSyntaxTreeRef NBFSyntaxTreeCreate();
NBFSyntaxTreeRef NBFSyntaxTreeRetain(NBFSyntaxTreeRef tree);
// The last release releases every node, depth first.
void NBFSyntaxTreeRelease(NBFSyntaxTreeRef tree);
NBFSyntaxTreeNodeRef NBFSyntaxTreeGetRootNode(NBFSyntaxTreeRef tree);
// Creates a node and links it under the parent (the root for null); the node is borrowed.
NBFSyntaxTreeNodeRef NBFSyntaxTreeAddLink(NBFSyntaxTreeRef tree, NBFSyntaxTreeNodeRef parent,
                                          uint16_t tokenType, uint16_t tokenSubType,
                                          NBFSyntaxTreePredicateFunction predicate,
                                          uint32_t linkOptions, uint16_t length, uint16_t location);
// Links the node (retained) under the parent's key for it, or as a sibling of the node
// already there.
void NBFSyntaxTreeAddLinkToNode(NBFSyntaxTreeRef tree, NBFSyntaxTreeNodeRef parent,
                                NBFSyntaxTreeNodeRef node);

NBFSyntaxTreeNodeRef NBFSyntaxTreeNodeCreate();
NBFSyntaxTreeNodeRef NBFSyntaxTreeNodeRetain(NBFSyntaxTreeNodeRef node);
void NBFSyntaxTreeNodeRelease(NBFSyntaxTreeNodeRef node);
// Releases the node's children and siblings and frees it, whatever its count.
void NBFSyntaxTreeNodeFree(NBFSyntaxTreeNodeRef node);
void NBFSyntaxTreeNodeSetType(NBFSyntaxTreeNodeRef node, uint16_t tokenType);
void NBFSyntaxTreeNodeSetSubType(NBFSyntaxTreeNodeRef node, uint16_t tokenSubType);
void NBFSyntaxTreeNodeSetPredicateFunction(NBFSyntaxTreeNodeRef node,
                                           NBFSyntaxTreePredicateFunction predicate);
void NBFSyntaxTreeNodeSetLinkOptions(NBFSyntaxTreeNodeRef node, uint32_t linkOptions);
void NBFSyntaxTreeNodeAddSibling(NBFSyntaxTreeNodeRef node, NBFSyntaxTreeNodeRef sibling);
bool NBFSyntaxTreeNodeIsLeaf(NBFSyntaxTreeNodeRef node);
// Children depth first, then siblings, then the node itself.
void NBFSyntaxTreeNodeExploreDFS(NBFSyntaxTreeNodeRef node, void (*function)(NBFSyntaxTreeNodeRef));
// The node's predicate on an analysis node and its parent; true without a predicate.
bool NBFSyntaxTreeNodeTestPredicate(NBFSyntaxTreeNodeRef node,
                                    NBFEPExpressionTreeNodeRef analysisNode,
                                    NBFEPExpressionTreeNodeRef parent);
bool NBFSyntaxTreePredicateTrue(NBFEPExpressionTreeNodeRef node, NBFEPExpressionTreeNodeRef parent);
// Tests the tree against the parent's children from the index on.
bool NBFSyntaxTreeTestSyntax(NBFSyntaxTreeRef tree, NBFEPExpressionTreeNodeRef parent,
                             int32_t index, NBFSyntaxTreeMatch* match);

// Rewrites every match in the node's children, recursively into groups: the matched nodes
// become one new node as the syntax asks, and the crawl tries the same index again. Gives up
// after 1000 rewrites in one group.
void syntax_tree_crawl_expression_node(NBFSyntaxTreeRef tree, NBFEPExpressionTreeNodeRef node);

// The standard trees, built once at start-up: the unary-operators tree (signs that become
// unary, and unit operators that become high priority) and an empty special-operators tree.
void NBFStandardSyntaxTreesInit();
NBFSyntaxTreeRef NBFStandardSyntaxTreesGetSpecialOperatorsTreeReference();
NBFSyntaxTreeRef NBFStandardSyntaxTreesGetUnaryOperatorsTreeReference();

#endif
