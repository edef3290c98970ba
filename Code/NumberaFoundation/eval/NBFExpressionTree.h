// An expression tree: its root node and, made on first request, the list of its nodes in
// post order (every child before its parent, a left subtree before its right), the order in
// which the evaluator visits them.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_TREE_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_TREE_H

#include <list>
#include <mutex>

#include "NBFExpressionNode.h"

namespace NBF {

class ExpressionTree : public Object<ExpressionTree> {
  public:
    // Retains the root.
    static ExpressionTree* create(ExpressionNode* root);
    ExpressionNode* root() const { return m_root; }
    // Borrowed nodes; the list is kept once made, so the tree must not change afterwards.
    const std::list<NBFExpressionNodeRef>& nodesPostOrderDFS() const;
    const std::list<NBFExpressionNodeRef>& nodes() const { return nodesPostOrderDFS(); }

  private:
    explicit ExpressionTree(ExpressionNode* root) : m_root(NBF::retain(root)) {}
    ~ExpressionTree() override;

    ExpressionNode* const m_root;
    mutable std::once_flag m_nodesOnce;
    mutable std::list<NBFExpressionNodeRef> m_nodes;
};

}  // namespace NBF

typedef NBF::ExpressionTree* NBFExpressionTreeRef;

#endif
