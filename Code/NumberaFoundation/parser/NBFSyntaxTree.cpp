#include "NBFSyntaxTree.h"

#include <cstdio>
#include <vector>

#include "Diagnostics.h"

namespace {

using Key = std::pair<uint16_t, uint16_t>;

constexpr int kMaximumRewrites = 1000;

bool isTerminal(NBFSyntaxTreeNodeRef node) {
    return (node->linkOptions & kNBFSyntaxTreeLinkTerminal) != 0;
}

// The node and its siblings, in order.
std::vector<NBFSyntaxTreeNodeRef> alternatives(NBFSyntaxTreeNodeRef node) {
    std::vector<NBFSyntaxTreeNodeRef> nodes{node};
    for (void* sibling : node->siblings ? node->siblings->items : std::vector<void*>())
        nodes.push_back(static_cast<NBFSyntaxTreeNodeRef>(sibling));
    return nodes;
}

// Tests under the trie node that accept the analysis node's key: exact subtype first, then
// the tests of any subtype.
std::vector<NBFSyntaxTreeNodeRef> candidates(NBFSyntaxTreeNodeRef trieNode,
                                             NBFEPExpressionTreeNodeRef node) {
    std::vector<NBFSyntaxTreeNodeRef> found;
    auto type = static_cast<uint16_t>(NBFExpressionTreeNodeGetTokenType(node));
    auto subType = static_cast<uint16_t>(NBFExpressionTreeNodeGetTokenSubType(node));
    std::vector<Key> keys{{type, subType}};
    if (subType != 0) keys.push_back({type, 0});
    for (const Key& key : keys) {
        auto entry = trieNode->children.find(key);
        if (entry == trieNode->children.end()) continue;
        for (NBFSyntaxTreeNodeRef candidate : alternatives(entry->second))
            if (!isTerminal(candidate)) found.push_back(candidate);
    }
    return found;
}

NBFSyntaxTreeNodeRef terminalUnder(NBFSyntaxTreeNodeRef trieNode) {
    for (auto& entry : trieNode->children)
        for (NBFSyntaxTreeNodeRef candidate : alternatives(entry.second))
            if (isTerminal(candidate)) return candidate;
    return nullptr;
}

// Matches on from a trie node whose test accepted the last of the matched children.
bool matchOn(NBFSyntaxTreeNodeRef trieNode, NBFEPExpressionTreeNodeRef parent, size_t next,
             std::vector<size_t>& matched, NBFSyntaxTreeMatch* match) {
    if (NBFSyntaxTreeNodeRef terminal = terminalUnder(trieNode)) {
        size_t first = terminal->location, count = terminal->length;
        if (count == 0 || first + count > matched.size()) return false;
        size_t last = matched[first + count - 1];
        match->syntax = terminal->tokenType;
        match->range = {static_cast<int32_t>(matched[first]),
                        static_cast<int32_t>(last - matched[first] + 1)};
        return true;
    }
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(parent);
    while (next < children.size() &&
           NBFExpressionTreeNodeGetTokenType(children[next]) == kNBFTokenTypeWhitespace)
        ++next;
    if (next >= children.size()) return false;
    for (NBFSyntaxTreeNodeRef candidate : candidates(trieNode, children[next])) {
        if (!NBFSyntaxTreeNodeTestPredicate(candidate, children[next], parent)) continue;
        matched.push_back(next);
        if (matchOn(candidate, parent, next + 1, matched, match)) return true;
        matched.pop_back();
    }
    return false;
}

// The one new node a rewrite puts in place of a single leaf: the same tokens and meaning.
NBFEPExpressionTreeNodeRef copyOfLeaf(NBFEPExpressionTreeNodeRef node) {
    NBFEPExpressionTreeNodeRef copy = NBFEPExpressionTreeNodeCreate();
    NBFBasicTokenVector tokens = NBFExpressionTreeNodeGetBasicTokens(node);
    NBF::Ref<NBF::ExpressionToken> token =
        NBF::Ref<NBF::ExpressionToken>::adopt(NBF::ExpressionToken::create(tokens));
    NBFExpressionTreeNodeSetExpressionToken(copy, token.get());
    NBFExpressionTreeNodeSetTokenType(copy, NBFExpressionTreeNodeGetTokenType(node));
    NBFExpressionTreeNodeSetTokenSubType(copy, NBFExpressionTreeNodeGetTokenSubType(node));
    NBFExpressionTreeNodeSetRepresentedTokenSubType(copy, kNBFTokenSubTypeNone);
    NBFExpressionTreeNodeSetOperatorOptions(copy, NBFExpressionTreeNodeGetOperatorOptions(node));
    NBFExpressionTreeNodeSetIsMutable(copy, NBFExpressionTreeNodeIsMutable(node));
    return copy;
}

// The node a match becomes; null when the syntax asks for nothing the nodes allow.
NBFEPExpressionTreeNodeRef rewriteNode(NBFEPExpressionTreeNodeRef parent, NBFRange range,
                                       int32_t syntax) {
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(parent);
    NBFEPExpressionTreeNodeRef only =
        range.length == 1 ? children[static_cast<size_t>(range.location)] : nullptr;
    token_type type = kNBFTokenTypeNone;
    NBFTokenSubType subType = kNBFTokenSubTypeNone;
    switch (syntax) {
        case kNBFSyntaxTreeSyntaxQuotedText:
            type = kNBFTokenTypeComment;
            subType = kNBFTokenSubTypeQuotedText;
            break;
        case kNBFSyntaxTreeSyntaxLabel:
            type = kNBFTokenTypeComment;
            subType = kNBFTokenSubTypeLabel;
            break;
        case kNBFSyntaxTreeSyntaxAtComment:
            type = kNBFTokenTypeComment;
            subType = kNBFTokenSubTypeAtComment;
            break;
        case kNBFSyntaxTreeSyntaxExponent:
            type = kNBFTokenTypeOperator;
            subType = kNBFTokenSubTypeExponent;
            break;
        case kNBFSyntaxTreeSyntaxPower:
            type = kNBFTokenTypeOperator;
            subType = kNBFTokenSubTypePower;
            break;
        case kNBFSyntaxTreeSyntaxVariable:
            type = kNBFTokenTypeVariable;
            break;
        case kNBFSyntaxTreeSyntaxUnarySign:
        case kNBFSyntaxTreeSyntaxHighPriority: {
            if (!only || !NBFExpressionTreeNodeIsLeaf(only)) return nullptr;
            NBFTokenSubType from = NBFExpressionTreeNodeGetTokenSubType(only);
            type = kNBFTokenTypeOperator;
            if (syntax == kNBFSyntaxTreeSyntaxUnarySign) {
                subType = from == kNBFTokenSubTypePlus    ? kNBFTokenSubTypeUnaryPlus
                          : from == kNBFTokenSubTypeMinus ? kNBFTokenSubTypeUnaryMinus
                                                          : kNBFTokenSubTypeNone;
            } else {
                subType = from == kNBFTokenSubTypeMultiply ? kNBFTokenSubTypeHighPriorityMultiply
                          : from == kNBFTokenSubTypeUnitConversion
                              ? kNBFTokenSubTypeHighPriorityUnitConversion
                          : from == kNBFTokenSubTypeDivide ? kNBFTokenSubTypeHighPriorityDivide
                                                           : kNBFTokenSubTypeNone;
            }
            if (subType == kNBFTokenSubTypeNone) return nullptr;
            break;
        }
        default:
            return nullptr;
    }
    NBFEPExpressionTreeNodeRef replacement;
    if (only && NBFExpressionTreeNodeIsLeaf(only)) {
        replacement = copyOfLeaf(only);
    } else {
        replacement = NBFEPExpressionTreeNodeCreate();
        for (int32_t i = 0; i < range.length; ++i)
            NBFExpressionTreeNodeAddChild(replacement,
                                          children[static_cast<size_t>(range.location + i)]);
    }
    NBFExpressionTreeNodeSetTokenType(replacement, type);
    NBFExpressionTreeNodeSetTokenSubType(replacement, subType);
    NBFExpressionTreeNodeSetRepresentedTokenSubType(replacement, kNBFTokenSubTypeNone);
    return replacement;
}

}  // namespace

NBFSyntaxTreeRef NBFSyntaxTreeCreate() {
    auto* tree = new NBFSyntaxTree();
    tree->root = NBFSyntaxTreeNodeCreate();
    return tree;
}

NBFSyntaxTree::~NBFSyntaxTree() { NBFSyntaxTreeNodeRelease(root); }

NBFSyntaxTreeRef NBFSyntaxTreeRetain(NBFSyntaxTreeRef tree) { return NBF::retain(tree); }

void NBFSyntaxTreeRelease(NBFSyntaxTreeRef tree) { NBF::release(tree); }

NBFSyntaxTreeNodeRef NBFSyntaxTreeGetRootNode(NBFSyntaxTreeRef tree) {
    return tree ? tree->root : nullptr;
}

NBFSyntaxTreeNodeRef NBFSyntaxTreeAddLink(NBFSyntaxTreeRef tree, NBFSyntaxTreeNodeRef parent,
                                          uint16_t tokenType, uint16_t tokenSubType,
                                          NBFSyntaxTreePredicateFunction predicate,
                                          uint32_t linkOptions, uint16_t length,
                                          uint16_t location) {
    if (!tree) return nullptr;
    NBFSyntaxTreeNodeRef node = NBFSyntaxTreeNodeCreate();
    node->tokenType = tokenType;
    node->tokenSubType = tokenSubType;
    node->predicate = predicate;
    node->linkOptions = linkOptions;
    node->length = length;
    node->location = location;
    NBFSyntaxTreeAddLinkToNode(tree, parent, node);
    NBFSyntaxTreeNodeRelease(node);
    return node;
}

void NBFSyntaxTreeAddLinkToNode(NBFSyntaxTreeRef tree, NBFSyntaxTreeNodeRef parent,
                                NBFSyntaxTreeNodeRef node) {
    if (!tree || !node) return;
    if (!parent) parent = tree->root;
    if (node->linkOptions & 2) parent->hasOption2Link = 1;
    if (isTerminal(node) && parent->children.size() == 1) parent->hasTerminalUnderSingleKey = 1;
    Key key{node->tokenType, node->tokenSubType};
    auto entry = parent->children.find(key);
    if (entry == parent->children.end()) {
        parent->children[key] = NBFSyntaxTreeNodeRetain(node);
    } else {
        NBFSyntaxTreeNodeAddSibling(entry->second, node);
    }
}

NBFSyntaxTreeNodeRef NBFSyntaxTreeNodeCreate() { return new NBFSyntaxTreeNode(); }

NBFSyntaxTreeNode::~NBFSyntaxTreeNode() {
    for (auto& entry : children) NBFSyntaxTreeNodeRelease(entry.second);
    NBFArrayApplyItemFunction(siblings, [](void* sibling) {
        NBFSyntaxTreeNodeRelease(static_cast<NBFSyntaxTreeNodeRef>(sibling));
    });
    NBFArrayRelease(siblings);
}

NBFSyntaxTreeNodeRef NBFSyntaxTreeNodeRetain(NBFSyntaxTreeNodeRef node) {
    return NBF::retain(node);
}

void NBFSyntaxTreeNodeRelease(NBFSyntaxTreeNodeRef node) { NBF::release(node); }

void NBFSyntaxTreeNodeFree(NBFSyntaxTreeNodeRef node) { delete node; }

void NBFSyntaxTreeNodeSetType(NBFSyntaxTreeNodeRef node, uint16_t tokenType) {
    if (node) node->tokenType = tokenType;
}

void NBFSyntaxTreeNodeSetSubType(NBFSyntaxTreeNodeRef node, uint16_t tokenSubType) {
    if (node) node->tokenSubType = tokenSubType;
}

void NBFSyntaxTreeNodeSetPredicateFunction(NBFSyntaxTreeNodeRef node,
                                           NBFSyntaxTreePredicateFunction predicate) {
    if (node) node->predicate = predicate;
}

void NBFSyntaxTreeNodeSetLinkOptions(NBFSyntaxTreeNodeRef node, uint32_t linkOptions) {
    if (node) node->linkOptions = linkOptions;
}

void NBFSyntaxTreeNodeAddSibling(NBFSyntaxTreeNodeRef node, NBFSyntaxTreeNodeRef sibling) {
    if (!node || !sibling) return;
    if (!node->siblings) node->siblings = NBFArrayCreate();
    NBFArrayAddItem(node->siblings, NBFSyntaxTreeNodeRetain(sibling));
}

bool NBFSyntaxTreeNodeIsLeaf(NBFSyntaxTreeNodeRef node) { return node && node->children.empty(); }

void NBFSyntaxTreeNodeExploreDFS(NBFSyntaxTreeNodeRef node,
                                 void (*function)(NBFSyntaxTreeNodeRef)) {
    if (!node || !function) return;
    for (auto& entry : node->children) NBFSyntaxTreeNodeExploreDFS(entry.second, function);
    for (int32_t i = 0; i < NBFArrayCount(node->siblings); ++i)
        NBFSyntaxTreeNodeExploreDFS(
            static_cast<NBFSyntaxTreeNodeRef>(NBFArrayGetItemAtIndex(node->siblings, i)), function);
    function(node);
}

bool NBFSyntaxTreeNodeTestPredicate(NBFSyntaxTreeNodeRef node,
                                    NBFEPExpressionTreeNodeRef analysisNode,
                                    NBFEPExpressionTreeNodeRef parent) {
    return !node || !node->predicate || node->predicate(analysisNode, parent);
}

bool NBFSyntaxTreePredicateTrue(NBFEPExpressionTreeNodeRef, NBFEPExpressionTreeNodeRef) {
    return true;
}

bool NBFSyntaxTreeTestSyntax(NBFSyntaxTreeRef tree, NBFEPExpressionTreeNodeRef parent,
                             int32_t index, NBFSyntaxTreeMatch* match) {
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(parent);
    if (!tree || !match || index < 0 || static_cast<size_t>(index) >= children.size()) return false;
    // The first node of a match stands exactly at the index; whitespace is passed over only
    // between the nodes of a match.
    NBFEPExpressionTreeNodeRef first = children[static_cast<size_t>(index)];
    for (NBFSyntaxTreeNodeRef candidate : candidates(tree->root, first)) {
        if (!NBFSyntaxTreeNodeTestPredicate(candidate, first, parent)) continue;
        std::vector<size_t> matched{static_cast<size_t>(index)};
        if (matchOn(candidate, parent, static_cast<size_t>(index) + 1, matched, match)) return true;
    }
    return false;
}

void syntax_tree_crawl_expression_node(NBFSyntaxTreeRef tree, NBFEPExpressionTreeNodeRef node) {
    if (!tree || !node) return;
    int rewrites = 0;
    int32_t index = 0;
    while (index < NBFExpressionTreeNodeGetCountOfChildNodes(node)) {
        NBFSyntaxTreeMatch match{};
        NBFEPExpressionTreeNodeRef replacement = NBFSyntaxTreeTestSyntax(tree, node, index, &match)
                                                     ? rewriteNode(node, match.range, match.syntax)
                                                     : nullptr;
        if (!replacement) {
            ++index;
            continue;
        }
        NBFExpressionTreeNodeReplaceChildNodes(node, match.range, replacement);
        NBFEPExpressionTreeNodeRelease(replacement);
        if (++rewrites >= kMaximumRewrites) {
            Diagnostics::write(Diagnostics::Stream::output,
                               "Error: infinite loop in syntax tree crawl");
            break;
        }
    }
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(node)) {
        if (NBFExpressionTreeNodeGetTokenType(child) == kNBFTokenTypeGroup)
            syntax_tree_crawl_expression_node(tree, child);
    }
}
