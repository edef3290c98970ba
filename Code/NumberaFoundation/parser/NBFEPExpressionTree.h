// The analysis tree: a mutable tree over the basic tokens of one line, in which the analyser
// groups numbers, brackets and words and decides what each node means before the nodes are
// flattened back into expression tokens.
//
// Nodes count references plainly: a tree belongs to one analysis on one thread.
#ifndef NUMBERA_FOUNDATION_NBF_EP_EXPRESSION_TREE_H
#define NUMBERA_FOUNDATION_NBF_EP_EXPRESSION_TREE_H

#include <cstdint>
#include <vector>

#include "NBFExpressionToken.h"
#include "NBFOperatorOptions.h"

struct NBFEPExpressionTree;
struct NBFEPExpressionTreeNode;
typedef NBFEPExpressionTree* NBFEPExpressionTreeRef;
typedef NBFEPExpressionTreeNode* NBFEPExpressionTreeNodeRef;
typedef std::vector<NBFEPExpressionTreeNodeRef> NBFEPExpressionTreeNodeVector;

// A tree whose root is a group (type 17, subtype 0).
NBFEPExpressionTreeRef NBFEPExpressionTreeCreate();
NBFEPExpressionTreeRef NBFEPExpressionTreeRetain(NBFEPExpressionTreeRef tree);
void NBFEPExpressionTreeRelease(NBFEPExpressionTreeRef tree);
NBFEPExpressionTreeNodeRef NBFEPExpressionTreeGetRootNode(NBFEPExpressionTreeRef tree);

// A mutable node without basic tokens or children, of type 0.
NBFEPExpressionTreeNodeRef NBFEPExpressionTreeNodeCreate();
NBFEPExpressionTreeNodeRef NBFEPExpressionTreeNodeRetain(NBFEPExpressionTreeNodeRef node);
// The last release releases everything the node holds, its children included.
void NBFEPExpressionTreeNodeRelease(NBFEPExpressionTreeNodeRef node);

// Every operation accepts null and then does nothing or answers 0, null or false.
void NBFExpressionTreeNodeSetTokenType(NBFEPExpressionTreeNodeRef node, token_type type);
token_type NBFExpressionTreeNodeGetTokenType(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetTokenSubType(NBFEPExpressionTreeNodeRef node, NBFTokenSubType subType);
NBFTokenSubType NBFExpressionTreeNodeGetTokenSubType(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetRepresentedTokenSubType(NBFEPExpressionTreeNodeRef node,
                                                     NBFTokenSubType subType);
// The represented subtype when set, else the subtype.
NBFTokenSubType NBFExpressionTreeNodeGetRepresentedTokenSubType(NBFEPExpressionTreeNodeRef node);
// Copies type, subtype and represented subtype, but only into a node that is not a leaf.
void NBFExpressionTreeNodeSetTokenTypesBasedOnNode(NBFEPExpressionTreeNodeRef node,
                                                   NBFEPExpressionTreeNodeRef other);
// A leaf holds basic tokens.
bool NBFExpressionTreeNodeIsLeaf(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetIsMutable(NBFEPExpressionTreeNodeRef node, bool isMutable);
bool NBFExpressionTreeNodeIsMutable(NBFEPExpressionTreeNodeRef node);

// Setters retain the new object and release the old; getters borrow.
void NBFExpressionTreeNodeSetUnitFraction(NBFEPExpressionTreeNodeRef node,
                                          NBFUnitFractionRef fraction);
NBFUnitFractionRef NBFExpressionTreeNodeGetUnitFraction(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetUnitContainer(NBFEPExpressionTreeNodeRef node,
                                           NBFUnitContainerRef container);
NBFUnitContainerRef NBFExpressionTreeNodeGetUnitContainer(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetAmbiguousUnit(NBFEPExpressionTreeNodeRef node,
                                           NBFAmbiguousUnitRef ambiguousUnit);
NBFAmbiguousUnitRef NBFExpressionTreeNodeGetAmbiguousUnit(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetWordOperator(NBFEPExpressionTreeNodeRef node,
                                          NBFWordOperatorRef wordOperator);
NBFWordOperatorRef NBFExpressionTreeNodeGetWordOperator(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetFunction(NBFEPExpressionTreeNodeRef node, NBFFunctionRef function);
NBFFunctionRef NBFExpressionTreeNodeGetFunction(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetScopedVariable(NBFEPExpressionTreeNodeRef node,
                                            NBFScopedVariableRef variable);
NBFScopedVariableRef NBFExpressionTreeNodeGetScopedVariable(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetUnitFormatType(NBFEPExpressionTreeNodeRef node,
                                            NBFUnitFormatType formatType);
NBFUnitFormatType NBFExpressionTreeNodeGetUnitFormatType(NBFEPExpressionTreeNodeRef node);
void NBFExpressionTreeNodeSetOperatorOptions(NBFEPExpressionTreeNodeRef node,
                                             const NBFOperatorOptions& options);
NBFOperatorOptions NBFExpressionTreeNodeGetOperatorOptions(NBFEPExpressionTreeNodeRef node);
// The first, second, fourth or sixth word is set.
bool NBFExpressionTreeNodeHasOperatorOptions(NBFEPExpressionTreeNodeRef node);

// Makes the node a leaf of this one basic token (retained), of the basic token's kind.
void NBFExpressionTreeNodeSetBasicToken(NBFEPExpressionTreeNodeRef node, NBFBasicTokenRef token);
// Makes the node a leaf of the token's basic tokens, of the token's type, its actual subtype
// as subtype and its subtype as represented subtype.
void NBFExpressionTreeNodeSetExpressionToken(NBFEPExpressionTreeNodeRef node,
                                             NBFExpressionTokenRef token);
// The basic tokens of every leaf under the node (the node's own when it is a leaf), in order;
// borrowed.
NBFBasicTokenVector NBFExpressionTreeNodeGetBasicTokens(NBFEPExpressionTreeNodeRef node);
// From the first basic token's start to the last one's end; the zero range without any.
NBFRange NBFExpressionTreeNodeGetRange(NBFEPExpressionTreeNodeRef node);
// The expression text over the range; borrowed, valid until the node's tokens change.
NBFStringRef NBFExpressionTreeNodeGetStringReference(NBFEPExpressionTreeNodeRef node);
NBFChar NBFExpressionTreeNodeGetFirstCharacter(NBFEPExpressionTreeNodeRef node);
NBFExpressionRef NBFExpressionTreeNodeGetExpressionReference(NBFEPExpressionTreeNodeRef node);

// Children are held with one reference each; adding retains, removing releases.
void NBFExpressionTreeNodeAddChild(NBFEPExpressionTreeNodeRef node,
                                   NBFEPExpressionTreeNodeRef child);
int32_t NBFExpressionTreeNodeGetCountOfChildNodes(NBFEPExpressionTreeNodeRef node);
// 0 also when the child is not the node's.
int32_t NBFExpressionTreeNodeGetIndexOfChildNode(NBFEPExpressionTreeNodeRef node,
                                                 NBFEPExpressionTreeNodeRef child);
// Borrowed; an empty vector for null.
const NBFEPExpressionTreeNodeVector& NBFExpressionTreeNodeGetChildren(
    NBFEPExpressionTreeNodeRef node);
NBFEPExpressionTreeNodeRef NBFExpressionTreeNodeGetParent(NBFEPExpressionTreeNodeRef node);
// Replaces all children by the given ones (retained).
void NBFExpressionTreeNodeReplaceChildren(NBFEPExpressionTreeNodeRef node,
                                          const NBFEPExpressionTreeNodeVector& children);
// Releases the children in the range (clamped to the children), closes the gap and inserts the
// replacement (retained; none when null) at the range's location.
void NBFExpressionTreeNodeReplaceChildNodes(NBFEPExpressionTreeNodeRef node, NBFRange range,
                                            NBFEPExpressionTreeNodeRef replacement);

#endif
