#include "NBFEPExpressionTree.h"

#include <algorithm>

#include "NBFObject.h"

struct NBFEPExpressionTreeNode : NBF::Object<NBFEPExpressionTreeNode> {
    ~NBFEPExpressionTreeNode() override;
    NBFBasicTokenVector basicTokens;  // retained; a leaf holds some
    token_type tokenType = kNBFTokenTypeNone;
    NBFTokenSubType tokenSubType = kNBFTokenSubTypeNone;
    NBFTokenSubType representedTokenSubType = kNBFTokenSubTypeNone;
    bool isMutable = true;
    NBFOperatorOptions operatorOptions = NBFOperatorOptionsNone;
    NBFUnitFormatType unitFormatType = NBFUnitFormatTypeNone;
    NBFUnitFractionRef unitFraction = nullptr;
    NBFUnitContainerRef unitContainer = nullptr;
    NBFAmbiguousUnitRef ambiguousUnit = nullptr;
    NBFWordOperatorRef wordOperator = nullptr;
    NBFFunctionRef function = nullptr;
    NBFScopedVariableRef scopedVariable = nullptr;
    NBFStringRef string = nullptr;  // cached text, dropped when the tokens below change
    NBFEPExpressionTreeNodeVector children;
    NBFEPExpressionTreeNodeRef parent = nullptr;
};

struct NBFEPExpressionTree : NBF::Object<NBFEPExpressionTree> {
    ~NBFEPExpressionTree() override;
    NBFEPExpressionTreeNodeRef root = nullptr;
};

namespace {

// The text of this node and of every node above it no longer holds.
void textChanged(NBFEPExpressionTreeNodeRef node) {
    for (; node; node = node->parent) {
        NBFStringRelease(node->string);
        node->string = nullptr;
    }
}

void adopt(NBFEPExpressionTreeNodeRef node, NBFEPExpressionTreeNodeRef child) {
    NBFEPExpressionTreeNodeRetain(child);
    child->parent = node;
}

// Removed children lose the node as parent before the kept and new ones are adopted, so a
// child that is put back keeps it; then the removed ones are released. Linear in the children:
// passes rebuild whole child lists of long lines.
void detach(NBFEPExpressionTreeNodeRef node, const NBFEPExpressionTreeNodeVector& removed) {
    for (NBFEPExpressionTreeNodeRef child : removed)
        if (child->parent == node) child->parent = nullptr;
}

void collectBasicTokens(NBFEPExpressionTreeNodeRef node, NBFBasicTokenVector& tokens) {
    if (!node->basicTokens.empty()) {
        tokens.insert(tokens.end(), node->basicTokens.begin(), node->basicTokens.end());
        return;
    }
    for (NBFEPExpressionTreeNodeRef child : node->children) collectBasicTokens(child, tokens);
}

void setBasicTokens(NBFEPExpressionTreeNodeRef node, const NBFBasicTokenVector& tokens) {
    for (NBFBasicTokenRef token : tokens) NBFBasicTokenRetain(token);
    for (NBFBasicTokenRef token : node->basicTokens) NBFBasicTokenRelease(token);
    node->basicTokens = tokens;
    textChanged(node);
}

template <typename T>
void replaceRetained(T*& slot, T* object, T* (*retain)(T*), void (*release)(T*)) {
    if (slot == object) return;
    retain(object);
    release(slot);
    slot = object;
}

}  // namespace

NBFEPExpressionTreeRef NBFEPExpressionTreeCreate() {
    auto* tree = new NBFEPExpressionTree();
    tree->root = NBFEPExpressionTreeNodeCreate();
    tree->root->tokenType = kNBFTokenTypeGroup;
    return tree;
}

NBFEPExpressionTree::~NBFEPExpressionTree() { NBFEPExpressionTreeNodeRelease(root); }

NBFEPExpressionTreeRef NBFEPExpressionTreeRetain(NBFEPExpressionTreeRef tree) {
    return NBF::retain(tree);
}

void NBFEPExpressionTreeRelease(NBFEPExpressionTreeRef tree) { NBF::release(tree); }

NBFEPExpressionTreeNodeRef NBFEPExpressionTreeGetRootNode(NBFEPExpressionTreeRef tree) {
    return tree ? tree->root : nullptr;
}

NBFEPExpressionTreeNodeRef NBFEPExpressionTreeNodeCreate() { return new NBFEPExpressionTreeNode(); }

NBFEPExpressionTreeNode::~NBFEPExpressionTreeNode() {
    for (NBFBasicTokenRef token : basicTokens) NBFBasicTokenRelease(token);
    NBFUnitFractionRelease(unitFraction);
    NBFUnitContainerRelease(unitContainer);
    NBFAmbiguousUnitRelease(ambiguousUnit);
    NBFScopedVariableRelease(scopedVariable);
    NBFWordOperatorRelease(wordOperator);
    NBFFunctionRelease(function);
    NBFStringRelease(string);
    for (NBFEPExpressionTreeNodeRef child : children) {
        if (child->parent == this) child->parent = nullptr;
        NBFEPExpressionTreeNodeRelease(child);
    }
}

NBFEPExpressionTreeNodeRef NBFEPExpressionTreeNodeRetain(NBFEPExpressionTreeNodeRef node) {
    return NBF::retain(node);
}

void NBFEPExpressionTreeNodeRelease(NBFEPExpressionTreeNodeRef node) { NBF::release(node); }

void NBFExpressionTreeNodeSetTokenType(NBFEPExpressionTreeNodeRef node, token_type type) {
    if (node) node->tokenType = type;
}

token_type NBFExpressionTreeNodeGetTokenType(NBFEPExpressionTreeNodeRef node) {
    return node ? node->tokenType : kNBFTokenTypeNone;
}

void NBFExpressionTreeNodeSetTokenSubType(NBFEPExpressionTreeNodeRef node,
                                          NBFTokenSubType subType) {
    if (node) node->tokenSubType = subType;
}

NBFTokenSubType NBFExpressionTreeNodeGetTokenSubType(NBFEPExpressionTreeNodeRef node) {
    return node ? node->tokenSubType : kNBFTokenSubTypeNone;
}

void NBFExpressionTreeNodeSetRepresentedTokenSubType(NBFEPExpressionTreeNodeRef node,
                                                     NBFTokenSubType subType) {
    if (node) node->representedTokenSubType = subType;
}

NBFTokenSubType NBFExpressionTreeNodeGetRepresentedTokenSubType(NBFEPExpressionTreeNodeRef node) {
    if (!node) return kNBFTokenSubTypeNone;
    return node->representedTokenSubType ? node->representedTokenSubType : node->tokenSubType;
}

void NBFExpressionTreeNodeSetTokenTypesBasedOnNode(NBFEPExpressionTreeNodeRef node,
                                                   NBFEPExpressionTreeNodeRef other) {
    if (!node || !other || NBFExpressionTreeNodeIsLeaf(node)) return;
    node->tokenType = other->tokenType;
    node->tokenSubType = other->tokenSubType;
    node->representedTokenSubType = other->representedTokenSubType;
}

bool NBFExpressionTreeNodeIsLeaf(NBFEPExpressionTreeNodeRef node) {
    return node && !node->basicTokens.empty();
}

void NBFExpressionTreeNodeSetIsMutable(NBFEPExpressionTreeNodeRef node, bool isMutable) {
    if (node) node->isMutable = isMutable;
}

bool NBFExpressionTreeNodeIsMutable(NBFEPExpressionTreeNodeRef node) {
    return node && node->isMutable;
}

void NBFExpressionTreeNodeSetUnitFraction(NBFEPExpressionTreeNodeRef node,
                                          NBFUnitFractionRef fraction) {
    if (node)
        replaceRetained(node->unitFraction, fraction, NBFUnitFractionRetain,
                        NBFUnitFractionRelease);
}

NBFUnitFractionRef NBFExpressionTreeNodeGetUnitFraction(NBFEPExpressionTreeNodeRef node) {
    return node ? node->unitFraction : nullptr;
}

void NBFExpressionTreeNodeSetUnitContainer(NBFEPExpressionTreeNodeRef node,
                                           NBFUnitContainerRef container) {
    if (node)
        replaceRetained(node->unitContainer, container, NBFUnitContainerRetain,
                        NBFUnitContainerRelease);
}

NBFUnitContainerRef NBFExpressionTreeNodeGetUnitContainer(NBFEPExpressionTreeNodeRef node) {
    return node ? node->unitContainer : nullptr;
}

void NBFExpressionTreeNodeSetAmbiguousUnit(NBFEPExpressionTreeNodeRef node,
                                           NBFAmbiguousUnitRef ambiguousUnit) {
    if (node)
        replaceRetained(node->ambiguousUnit, ambiguousUnit, NBFAmbiguousUnitRetain,
                        NBFAmbiguousUnitRelease);
}

NBFAmbiguousUnitRef NBFExpressionTreeNodeGetAmbiguousUnit(NBFEPExpressionTreeNodeRef node) {
    return node ? node->ambiguousUnit : nullptr;
}

void NBFExpressionTreeNodeSetWordOperator(NBFEPExpressionTreeNodeRef node,
                                          NBFWordOperatorRef wordOperator) {
    if (node)
        replaceRetained(node->wordOperator, wordOperator, NBFWordOperatorRetain,
                        NBFWordOperatorRelease);
}

NBFWordOperatorRef NBFExpressionTreeNodeGetWordOperator(NBFEPExpressionTreeNodeRef node) {
    return node ? node->wordOperator : nullptr;
}

void NBFExpressionTreeNodeSetFunction(NBFEPExpressionTreeNodeRef node, NBFFunctionRef function) {
    if (node) replaceRetained(node->function, function, NBFFunctionRetain, NBFFunctionRelease);
}

NBFFunctionRef NBFExpressionTreeNodeGetFunction(NBFEPExpressionTreeNodeRef node) {
    return node ? node->function : nullptr;
}

void NBFExpressionTreeNodeSetScopedVariable(NBFEPExpressionTreeNodeRef node,
                                            NBFScopedVariableRef variable) {
    if (node)
        replaceRetained(node->scopedVariable, variable, NBFScopedVariableRetain,
                        NBFScopedVariableRelease);
}

NBFScopedVariableRef NBFExpressionTreeNodeGetScopedVariable(NBFEPExpressionTreeNodeRef node) {
    return node ? node->scopedVariable : nullptr;
}

void NBFExpressionTreeNodeSetUnitFormatType(NBFEPExpressionTreeNodeRef node,
                                            NBFUnitFormatType formatType) {
    if (node) node->unitFormatType = formatType;
}

NBFUnitFormatType NBFExpressionTreeNodeGetUnitFormatType(NBFEPExpressionTreeNodeRef node) {
    return node ? node->unitFormatType : NBFUnitFormatTypeNone;
}

void NBFExpressionTreeNodeSetOperatorOptions(NBFEPExpressionTreeNodeRef node,
                                             const NBFOperatorOptions& options) {
    if (node) node->operatorOptions = options;
}

NBFOperatorOptions NBFExpressionTreeNodeGetOperatorOptions(NBFEPExpressionTreeNodeRef node) {
    return node ? node->operatorOptions : NBFOperatorOptionsNone;
}

bool NBFExpressionTreeNodeHasOperatorOptions(NBFEPExpressionTreeNodeRef node) {
    if (!node) return false;
    const NBFOperatorOptions& o = node->operatorOptions;
    return o.options || o.second || o.fourth || o.argumentConditions;
}

void NBFExpressionTreeNodeSetBasicToken(NBFEPExpressionTreeNodeRef node, NBFBasicTokenRef token) {
    if (!node || !token) return;
    setBasicTokens(node, {token});
    NBFBasicTokenTypesToTokenTypes(token->type(), token->subType(), &node->tokenType,
                                   &node->tokenSubType);
}

void NBFExpressionTreeNodeSetExpressionToken(NBFEPExpressionTreeNodeRef node,
                                             NBFExpressionTokenRef token) {
    if (!node || !token) return;
    setBasicTokens(node, token->basicTokens());
    node->tokenType = token->type();
    node->tokenSubType = token->actualSubType();
    node->representedTokenSubType =
        token->subType() == token->actualSubType() ? kNBFTokenSubTypeNone : token->subType();
}

NBFBasicTokenVector NBFExpressionTreeNodeGetBasicTokens(NBFEPExpressionTreeNodeRef node) {
    NBFBasicTokenVector tokens;
    if (node) collectBasicTokens(node, tokens);
    return tokens;
}

NBFRange NBFExpressionTreeNodeGetRange(NBFEPExpressionTreeNodeRef node) {
    NBFBasicTokenVector tokens = NBFExpressionTreeNodeGetBasicTokens(node);
    if (tokens.empty()) return NBFRangeZero;
    int32_t location = tokens.front()->range().location;
    return {location, static_cast<int32_t>(NBFRangeEnd(tokens.back()->range()) - location)};
}

NBFStringRef NBFExpressionTreeNodeGetStringReference(NBFEPExpressionTreeNodeRef node) {
    if (!node) return nullptr;
    if (!node->string) {
        NBFRange range = NBFExpressionTreeNodeGetRange(node);
        NBFStringRef text =
            NBFExpressionGetStringReference(NBFExpressionTreeNodeGetExpressionReference(node));
        node->string = text ? NBFStringSubString(text, range.location, range.length)
                            : NBFStringCreateWithUTF16(u"");
    }
    return node->string;
}

NBFChar NBFExpressionTreeNodeGetFirstCharacter(NBFEPExpressionTreeNodeRef node) {
    NBFBasicTokenVector tokens = NBFExpressionTreeNodeGetBasicTokens(node);
    return tokens.empty() ? 0 : NBFBasicTokenGetFirstCharacter(tokens.front());
}

NBFExpressionRef NBFExpressionTreeNodeGetExpressionReference(NBFEPExpressionTreeNodeRef node) {
    NBFBasicTokenVector tokens = NBFExpressionTreeNodeGetBasicTokens(node);
    return tokens.empty() ? nullptr : tokens.front()->expression();
}

void NBFExpressionTreeNodeAddChild(NBFEPExpressionTreeNodeRef node,
                                   NBFEPExpressionTreeNodeRef child) {
    if (!node || !child) return;
    adopt(node, child);
    node->children.push_back(child);
    textChanged(node);
}

int32_t NBFExpressionTreeNodeGetCountOfChildNodes(NBFEPExpressionTreeNodeRef node) {
    return node ? static_cast<int32_t>(node->children.size()) : 0;
}

int32_t NBFExpressionTreeNodeGetIndexOfChildNode(NBFEPExpressionTreeNodeRef node,
                                                 NBFEPExpressionTreeNodeRef child) {
    if (!node) return 0;
    auto found = std::find(node->children.begin(), node->children.end(), child);
    return found == node->children.end() ? 0 : static_cast<int32_t>(found - node->children.begin());
}

const NBFEPExpressionTreeNodeVector& NBFExpressionTreeNodeGetChildren(
    NBFEPExpressionTreeNodeRef node) {
    static const NBFEPExpressionTreeNodeVector s_none;
    return node ? node->children : s_none;
}

NBFEPExpressionTreeNodeRef NBFExpressionTreeNodeGetParent(NBFEPExpressionTreeNodeRef node) {
    return node ? node->parent : nullptr;
}

void NBFExpressionTreeNodeReplaceChildren(NBFEPExpressionTreeNodeRef node,
                                          const NBFEPExpressionTreeNodeVector& children) {
    // Passes hand back the same children when they found nothing to group: the text is
    // unchanged and there is nothing to adopt or release.
    if (!node || children == node->children) return;
    NBFEPExpressionTreeNodeVector old = std::move(node->children);
    node->children.clear();
    node->children.reserve(children.size());
    detach(node, old);
    for (NBFEPExpressionTreeNodeRef child : children) {
        if (!child) continue;
        adopt(node, child);
        node->children.push_back(child);
    }
    for (NBFEPExpressionTreeNodeRef child : old) NBFEPExpressionTreeNodeRelease(child);
    textChanged(node);
}

void NBFExpressionTreeNodeReplaceChildNodes(NBFEPExpressionTreeNodeRef node, NBFRange range,
                                            NBFEPExpressionTreeNodeRef replacement) {
    if (!node) return;
    int64_t count = static_cast<int64_t>(node->children.size());
    int64_t first = std::clamp<int64_t>(range.location, 0, count);
    int64_t last = std::clamp<int64_t>(NBFRangeEnd(range), first, count);
    NBFEPExpressionTreeNodeVector removed(node->children.begin() + first,
                                          node->children.begin() + last);
    node->children.erase(node->children.begin() + first, node->children.begin() + last);
    detach(node, removed);
    // The replacement may be one of the removed children: it is held before they are released.
    if (replacement) {
        adopt(node, replacement);
        node->children.insert(node->children.begin() + first, replacement);
    }
    for (NBFEPExpressionTreeNodeRef child : removed) NBFEPExpressionTreeNodeRelease(child);
    textChanged(node);
}
