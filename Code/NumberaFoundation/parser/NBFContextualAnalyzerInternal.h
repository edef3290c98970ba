// Helpers shared by the analyser's passes.
#ifndef NUMBERA_FOUNDATION_NBF_CONTEXTUAL_ANALYZER_INTERNAL_H
#define NUMBERA_FOUNDATION_NBF_CONTEXTUAL_ANALYZER_INTERNAL_H

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "NBFContextualAnalyzerPasses.h"
#include "NBFObject.h"

struct NBFContextualAnalyzer : NBF::Object<NBFContextualAnalyzer> {
    ~NBFContextualAnalyzer() override;
    NBFNamespaceRef ns = nullptr;
    const std::map<std::u16string, NBFSpecialWordKind>* specialWords = nullptr;  // shared
    NBFSettingsRef settings = nullptr;  // null: the process's current settings
};

namespace NBF::analysis {

inline token_type typeOf(NBFEPExpressionTreeNodeRef node) {
    return NBFExpressionTreeNodeGetTokenType(node);
}

inline NBFTokenSubType subTypeOf(NBFEPExpressionTreeNodeRef node) {
    return NBFExpressionTreeNodeGetTokenSubType(node);
}

inline bool isWhitespaceOrMarker(NBFEPExpressionTreeNodeRef node) {
    token_type type = typeOf(node);
    return type == kNBFTokenTypeWhitespace || type == kNBFTokenTypeMarker;
}

inline bool isGroup(NBFEPExpressionTreeNodeRef node) { return typeOf(node) == kNBFTokenTypeGroup; }

// The group and every group below it, each handed to the visitor once, before the groups
// inside it; iterative, so the depth of the tree costs no stack.
void forEachGroup(NBFEPExpressionTreeNodeRef node,
                  const std::function<void(NBFEPExpressionTreeNodeRef)>& visit);

// Makes the node a plain word.
void makePlainWord(NBFEPExpressionTreeNodeRef node);

// A new node of the kind given holding the parts as children; one reference, the caller's.
NBFEPExpressionTreeNodeRef createNodeOver(const NBFEPExpressionTreeNodeVector& parts,
                                          token_type type, NBFTokenSubType subType);

// Replaces the group's children and lets go of the caller's references to new nodes.
void replaceChildren(NBFEPExpressionTreeNodeRef group, const NBFEPExpressionTreeNodeVector& kept,
                     const NBFEPExpressionTreeNodeVector& created);

}  // namespace NBF::analysis

#endif
