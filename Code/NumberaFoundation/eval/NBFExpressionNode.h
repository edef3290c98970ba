// The nodes of an expression tree as the parser builds it and the evaluator walks it:
// operands, operators, lists, functions, variables, word operators, operators on units and
// the placeholder for a missing operand. A node owns its children and what it names.
//
// The procedural functions accept null and nodes of other types: they then answer 0 or null
// and change nothing, logging "Error!" where a caller has mixed up node types.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_H

#include <cstdint>
#include <utility>
#include <vector>

#include "NBFAmbiguousUnit.h"
#include "NBFExpressionToken.h"
#include "NBFFunction.h"
#include "NBFNumber.h"
#include "NBFOperatorType.h"
#include "NBFUnitContainer.h"
#include "NBFUnitType.h"
#include "NBFValue.h"
#include "NBFVariable.h"
#include "NBFWordOperator.h"

typedef int32_t NBFExpressionNodeType;
enum : NBFExpressionNodeType {
    kNBFExpressionNodeTypeNone = 0,
    kNBFExpressionNodeTypeOperand = 1,
    kNBFExpressionNodeTypeOperator = 2,
    kNBFExpressionNodeTypeList = 3,
    kNBFExpressionNodeTypeFunction = 4,
    kNBFExpressionNodeTypeVariable = 5,
    kNBFExpressionNodeTypeWordOperator = 6,
    kNBFExpressionNodeTypeOperatorUnit = 7,
    kNBFExpressionNodeTypeEmptyOperand = 8,
};

namespace NBF {

class ExpressionNode : public Object<ExpressionNode> {
  public:
    NBFExpressionNodeType type() const { return m_type; }

    ExpressionToken* expressionToken = nullptr;  // not owned
    // The evaluator's result for the parent to take; owned while it is here.
    NBFValueRef evaluatedValue = nullptr;
    NBFEvalMetadataRef evaluatedMetadata = nullptr;
    NBFUnitTypeBitmap unitTypeBitmap = NBFUnitTypeBitmapZero;
    bool subtreeHasAmbiguousUnit = false;
    ExpressionNode* parent = nullptr;  // not owned

  protected:
    explicit ExpressionNode(NBFExpressionNodeType type) : m_type(type) {}
    ~ExpressionNode() override;

  private:
    const NBFExpressionNodeType m_type;
};

// A node with ordered children, each owned.
class BaseOperatorNode : public ExpressionNode {
  public:
    const std::vector<ExpressionNode*>& children() const { return m_children; }
    // Takes over the reference; sets the child's parent.
    void addChild_TransferOwnership(ExpressionNode* child);
    // Clears each old child's parent and releases it; takes over the new ones.
    void replaceChildren_TransferOwnership(std::vector<ExpressionNode*> children);

  protected:
    using ExpressionNode::ExpressionNode;
    ~BaseOperatorNode() override;

  private:
    std::vector<ExpressionNode*> m_children;
};

}  // namespace NBF

typedef NBF::ExpressionNode* NBFExpressionNodeRef;
typedef std::vector<NBFExpressionNodeRef> NBFExpressionNodeVector;

class NBFOperandExpressionNode : public NBF::ExpressionNode {
  public:
    NBFOperandExpressionNode() : ExpressionNode(kNBFExpressionNodeTypeOperand) {}
    NBFNumberRef number = nullptr;                // owned
    NBFUnitContainerRef unitContainer = nullptr;  // owned
    NBFAmbiguousUnitRef ambiguousUnit = nullptr;  // owned
    NBFUnitFormatType unitNameFormat = NBFUnitFormatTypeNone;

  private:
    ~NBFOperandExpressionNode() override;
};

class NBFOperatorExpressionNode : public NBF::BaseOperatorNode {
  public:
    explicit NBFOperatorExpressionNode(NBFOperatorType op)
        : BaseOperatorNode(kNBFExpressionNodeTypeOperator), operatorType(op) {}
    NBFOperatorType operatorType;
};

class NBFListExpressionNode : public NBF::BaseOperatorNode {
  public:
    NBFListExpressionNode() : BaseOperatorNode(kNBFExpressionNodeTypeList) {}
};

class NBFFunctionExpressionNode : public NBF::ExpressionNode {
  public:
    NBFFunctionExpressionNode() : ExpressionNode(kNBFExpressionNodeTypeFunction) {}
    NBFFunctionRef function = nullptr;         // owned
    NBFExpressionNodeRef arguments = nullptr;  // a list node, owned

  private:
    ~NBFFunctionExpressionNode() override;
};

class NBFVariableExpressionNode : public NBF::ExpressionNode {
  public:
    NBFVariableExpressionNode() : ExpressionNode(kNBFExpressionNodeTypeVariable) {}
    NBFScopedVariableRef variable = nullptr;  // owned

  private:
    ~NBFVariableExpressionNode() override;
};

class NBFWordOperatorExpressionNode : public NBF::BaseOperatorNode {
  public:
    NBFWordOperatorExpressionNode() : BaseOperatorNode(kNBFExpressionNodeTypeWordOperator) {}
    NBFWordOperatorRef wordOperator = nullptr;  // owned

  private:
    ~NBFWordOperatorExpressionNode() override;
};

class NBFOperatorUnitExpressionNode : public NBF::BaseOperatorNode {
  public:
    explicit NBFOperatorUnitExpressionNode(NBFOperatorType op)
        : BaseOperatorNode(kNBFExpressionNodeTypeOperatorUnit), operatorType(op) {}
    NBFUnitContainerRef unitContainer = nullptr;  // owned
    NBFAmbiguousUnitRef ambiguousUnit = nullptr;  // owned
    NBFOperatorType operatorType;
    NBFUnitFormatType unitNameFormat = NBFUnitFormatTypeNone;

  private:
    ~NBFOperatorUnitExpressionNode() override;
};

class NBFEmptyOperandExpressionNode : public NBF::ExpressionNode {
  public:
    NBFEmptyOperandExpressionNode() : ExpressionNode(kNBFExpressionNodeTypeEmptyOperand) {}
};

// Creation: every node starts with one reference. Plain forms retain their arguments;
// _TransferOwnership forms take the caller's references over.
NBFExpressionNodeRef NBFExpressionNodeCreateOperand(NBFNumberRef number,
                                                    NBFUnitContainerRef unitContainer);
NBFExpressionNodeRef NBFExpressionNodeCreateOperand_TransferOwnership(
    NBFNumberRef number, NBFUnitContainerRef unitContainer);
NBFExpressionNodeRef NBFExpressionNodeCreateOperandWithAmbiguousUnit(
    NBFNumberRef number, NBFAmbiguousUnitRef ambiguousUnit);
NBFExpressionNodeRef NBFExpressionNodeCreateOperator(NBFOperatorType operatorType,
                                                     NBFExpressionNodeRef left,
                                                     NBFExpressionNodeRef right);
NBFExpressionNodeRef NBFExpressionNodeCreateOperator_TransferOwnership(NBFOperatorType operatorType,
                                                                       NBFExpressionNodeRef left,
                                                                       NBFExpressionNodeRef right);
NBFExpressionNodeRef NBFExpressionNodeCreateOperator(NBFOperatorType operatorType);
NBFExpressionNodeRef NBFExpressionNodeCreateList(const NBFExpressionNodeVector& nodes);
NBFExpressionNodeRef NBFExpressionNodeCreateList_TransferOwnership(
    const NBFExpressionNodeVector& nodes);
NBFExpressionNodeRef NBFExpressionNodeCreateFunction(NBFFunctionRef function,
                                                     NBFExpressionNodeRef arguments);
NBFExpressionNodeRef NBFExpressionNodeCreateFunction(NBFFunctionRef function);
NBFExpressionNodeRef NBFExpressionNodeCreateVariable(NBFScopedVariableRef scopedVariable);
NBFExpressionNodeRef NBFExpressionNodeCreateWordOperator(NBFWordOperatorRef wordOperator);
NBFExpressionNodeRef NBFExpressionNodeCreateOperatorUnit(NBFUnitContainerRef unitContainer,
                                                         NBFOperatorType operatorType);
NBFExpressionNodeRef NBFExpressionNodeCreateOperatorUnit(NBFUnitContainerRef unitContainer,
                                                         NBFOperatorType operatorType,
                                                         NBFExpressionNodeRef operand);
NBFExpressionNodeRef NBFExpressionNodeCreateOperatorUnit(NBFAmbiguousUnitRef ambiguousUnit,
                                                         NBFOperatorType operatorType);
NBFExpressionNodeRef NBFExpressionNodeCreateEmptyOperand();
NBFExpressionNodeRef NBFExpressionNodeRetain(NBFExpressionNodeRef node);
// The last release releases what the node owns and its children.
void NBFExpressionNodeRelease(NBFExpressionNodeRef node);

NBFExpressionNodeType NBFExpressionNodeGetType(NBFExpressionNodeRef node);
NBFNumberRef NBFExpressionNodeGetNumber(NBFExpressionNodeRef node);  // operands
// Operands and operator units.
NBFUnitContainerRef NBFExpressionNodeGetUnitContainer(NBFExpressionNodeRef node);
bool NBFExpressionNodeHasUnitContainer(NBFExpressionNodeRef node);
NBFAmbiguousUnitRef NBFExpressionNodeGetAmbiguosUnit(NBFExpressionNodeRef node);
NBFUnitFormatType NBFExpressionNodeGetUnitNameFormat(NBFExpressionNodeRef node);
void NBFExpressionNodeSetUnitNameFormat(NBFExpressionNodeRef node, NBFUnitFormatType format);
// Sets (retained) the unit an ambiguous unit was resolved to.
void NBFExpressionNodeResolveUnitAmbiguity(NBFExpressionNodeRef node,
                                           NBFUnitContainerRef unitContainer);
// Operators and operator units.
NBFOperatorType NBFExpressionNodeGetOperatorType(NBFExpressionNodeRef node);
void NBFExpressionNodeSetOperatorType(NBFExpressionNodeRef node, NBFOperatorType operatorType);
// Operators, word operators and operator units: the children become the given ones, in
// order, absent ones skipped.
void NBFExpressionNodeSetOperands(NBFExpressionNodeRef node, NBFExpressionNodeRef left,
                                  NBFExpressionNodeRef right);
void NBFExpressionNodeSetOperands_TransferOwnership(NBFExpressionNodeRef node,
                                                    NBFExpressionNodeRef left,
                                                    NBFExpressionNodeRef right);
NBFWordOperatorRef NBFExpressionNodeGetWordOperator(NBFExpressionNodeRef node);
NBFFunctionRef NBFExpressionNodeGetFunction(NBFExpressionNodeRef node);
NBFExpressionNodeRef NBFExpressionNodeGetFunctionArguments(NBFExpressionNodeRef node);
// Only a list node is taken as arguments; anything else leaves the function without.
void NBFExpressionNodeSetFunctionArguments(NBFExpressionNodeRef node,
                                           NBFExpressionNodeRef arguments);
void NBFExpressionNodeSetFunctionArguments_TransferOwnership(NBFExpressionNodeRef node,
                                                             NBFExpressionNodeRef arguments);
NBFScopedVariableRef NBFExpressionNodeGetVariable(NBFExpressionNodeRef node);

// Children of operators, lists, word operators and operator units; a function's only child is
// its argument list.
int32_t NBFExpressionNodeGetCountOfChildren(NBFExpressionNodeRef node);
bool NBFExpressionNodeHasChildren(NBFExpressionNodeRef node);
// Copies up to capacity children into the buffer; returns how many it copied.
int32_t NBFExpressionNodeGetChildren(NBFExpressionNodeRef node, NBFExpressionNodeRef* buffer,
                                     int32_t capacity);
// The children themselves (a function's: its argument list's); an empty vector otherwise.
const NBFExpressionNodeVector& NBFExpressionNodeGetChildren(NBFExpressionNodeRef node);
NBFExpressionNodeRef NBFExpressionNodeGetOnlyChild(NBFExpressionNodeRef node);
NBFExpressionNodeRef NBFExpressionNodeGetParent(NBFExpressionNodeRef node);

// The evaluator's slot: stores the pair without retaining (the slot owns it); retrieving
// hands it to the caller and empties the slot.
void NBFExpressionNodeSetEvaluatedNode(NBFExpressionNodeRef node, NBFValueRef value,
                                       NBFEvalMetadataRef metadata);
std::pair<NBFValueRef, NBFEvalMetadataRef> NBFExpressionNodeRetrieveEvaluatedNode(
    NBFExpressionNodeRef node);
void NBFExpressionNodeSetExpressionToken(NBFExpressionNodeRef node, NBFExpressionTokenRef token);
NBFExpressionTokenRef NBFExpressionNodeGetExpressionToken(NBFExpressionNodeRef node);
void NBFExpressionNodeSetUnitTypeBitmap(NBFExpressionNodeRef node, NBFUnitTypeBitmap bitmap);
NBFUnitTypeBitmap NBFExpressionNodeGetUnitTypeBitmap(NBFExpressionNodeRef node);
void NBFExpressionNodeSetSubtreeHasAmbiguousUnit(NBFExpressionNodeRef node, bool flag);
bool NBFExpressionNodeSubtreeHasAmbiguousUnit(NBFExpressionNodeRef node);

// Token subtypes 10 to 27 (not 21) to operator types and back; anything else logs "Error!"
// and gives 0.
NBFOperatorType NBFOperatorTypeForNBFTokenSubType(NBFTokenSubType subType);
NBFTokenSubType NBFTokenSubTypeForNBFOperatorType(NBFOperatorType operatorType);

#endif
