// Analysis trees made from a line: one leaf per token of the tokenized line, with kinds set
// by hand where the analyser would have found units, variables or special words.
#ifndef NUMBERA_TESTS_ANALYSIS_TREE_TEST_SUPPORT_H
#define NUMBERA_TESTS_ANALYSIS_TREE_TEST_SUPPORT_H

#include <map>
#include <string>
#include <utility>

#include "NBFEPExpressionTree.h"
#include "NBFExpressionScanner.h"
#include "NBFExpressionTokenizer.h"

// Token index -> (type, subtype).
typedef std::map<int, std::pair<token_type, NBFTokenSubType>> KindOverrides;

// Fills the node with one leaf per token of the text.
inline void addLeaves(NBFEPExpressionTreeNodeRef node, const std::string& text,
                      const KindOverrides& overrides = {}) {
    NBFExpressionScannerInit();
    auto expression = NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(text));
    auto tokenizer = NBF::Ref<NBF::ExpressionTokenizer>::adopt(
        NBF::ExpressionTokenizer::create(kNBFLocaleDefault));
    tokenizer->setEnableComments(false);
    auto tokenized =
        NBF::Ref<NBF::TokenizedExpression>::adopt(tokenizer->tokenize(expression.get()));
    int index = 0;
    for (NBFExpressionTokenRef token : tokenized->tokens()) {
        NBFEPExpressionTreeNodeRef leaf = NBFEPExpressionTreeNodeCreate();
        NBFExpressionTreeNodeSetExpressionToken(leaf, token);
        if (auto found = overrides.find(index); found != overrides.end()) {
            NBFExpressionTreeNodeSetTokenType(leaf, found->second.first);
            NBFExpressionTreeNodeSetTokenSubType(leaf, found->second.second);
        }
        NBFExpressionTreeNodeAddChild(node, leaf);
        NBFEPExpressionTreeNodeRelease(leaf);
        ++index;
    }
}

inline NBFEPExpressionTreeRef makeAnalysisTree(const std::string& text,
                                               const KindOverrides& overrides = {}) {
    NBFEPExpressionTreeRef tree = NBFEPExpressionTreeCreate();
    addLeaves(NBFEPExpressionTreeGetRootNode(tree), text, overrides);
    return tree;
}

// The subtypes of the children, in order.
inline std::vector<NBFTokenSubType> childSubTypes(NBFEPExpressionTreeNodeRef node) {
    std::vector<NBFTokenSubType> subTypes;
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(node))
        subTypes.push_back(NBFExpressionTreeNodeGetTokenSubType(child));
    return subTypes;
}

#endif
