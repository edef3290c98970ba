#include "NBFExpressionTree.h"

#include <vector>

#include "NBFErrorLog.h"

namespace {

void getPostOrderDFSNodes(NBFExpressionNodeRef root, std::list<NBFExpressionNodeRef>& nodes) {
    if (!root) return;
    std::vector<NBFExpressionNodeRef> stack{root};
    while (!stack.empty()) {
        NBFExpressionNodeRef node = stack.back();
        stack.pop_back();
        nodes.push_front(node);
        switch (node->type()) {
            case kNBFExpressionNodeTypeOperator:
            case kNBFExpressionNodeTypeWordOperator:
            case kNBFExpressionNodeTypeOperatorUnit: {
                // Only the first two children take part in an operation.
                const NBFExpressionNodeVector& children = NBFExpressionNodeGetChildren(node);
                for (size_t i = 0; i < children.size() && i < 2; ++i) stack.push_back(children[i]);
                break;
            }
            case kNBFExpressionNodeTypeList:
                for (NBFExpressionNodeRef child : NBFExpressionNodeGetChildren(node))
                    stack.push_back(child);
                break;
            case kNBFExpressionNodeTypeFunction:
                if (NBFExpressionNodeRef arguments = NBFExpressionNodeGetFunctionArguments(node))
                    stack.push_back(arguments);
                break;
            case kNBFExpressionNodeTypeOperand:
            case kNBFExpressionNodeTypeVariable:
            case kNBFExpressionNodeTypeEmptyOperand:
                break;
            default:
                NBF_LOG_ERROR("%s",
                              "void getPostOrderDFSNodes(NBFExpressionNodeRef, "
                              "std::list<NBFExpressionNodeRef> &)");
                break;
        }
    }
}

}  // namespace

namespace NBF {

ExpressionTree* ExpressionTree::create(ExpressionNode* root) { return new ExpressionTree(root); }

ExpressionTree::~ExpressionTree() { NBF::release(m_root); }

const std::list<NBFExpressionNodeRef>& ExpressionTree::nodesPostOrderDFS() const {
    std::call_once(m_nodesOnce, [this] { getPostOrderDFSNodes(m_root, m_nodes); });
    return m_nodes;
}

}  // namespace NBF
