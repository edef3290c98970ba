#include "NBFExpressionNode.h"

#include <algorithm>

#include "NBFErrorLog.h"

namespace NBF {

ExpressionNode::~ExpressionNode() {
    // A result nobody took is still owned here.
    NBFValueRelease(evaluatedValue);
    NBFEvalMetadataRelease(evaluatedMetadata);
}

void BaseOperatorNode::addChild_TransferOwnership(ExpressionNode* child) {
    if (!child) return;
    child->parent = this;
    m_children.push_back(child);
}

void BaseOperatorNode::replaceChildren_TransferOwnership(std::vector<ExpressionNode*> children) {
    std::vector<ExpressionNode*> old = std::move(m_children);
    m_children.clear();
    for (ExpressionNode* child : children) addChild_TransferOwnership(child);
    for (ExpressionNode* child : old) {
        if (std::find(m_children.begin(), m_children.end(), child) == m_children.end())
            child->parent = nullptr;
        child->release();
    }
}

BaseOperatorNode::~BaseOperatorNode() {
    for (ExpressionNode* child : m_children) {
        child->parent = nullptr;
        child->release();
    }
}

}  // namespace NBF

NBFOperandExpressionNode::~NBFOperandExpressionNode() {
    NBFNumberRelease(number);
    NBFUnitContainerRelease(unitContainer);
    NBFAmbiguousUnitRelease(ambiguousUnit);
}

NBFFunctionExpressionNode::~NBFFunctionExpressionNode() {
    NBFFunctionRelease(function);
    if (arguments) {
        arguments->parent = nullptr;
        arguments->release();
    }
}

NBFVariableExpressionNode::~NBFVariableExpressionNode() { NBFScopedVariableRelease(variable); }

NBFWordOperatorExpressionNode::~NBFWordOperatorExpressionNode() {
    NBFWordOperatorRelease(wordOperator);
}

NBFOperatorUnitExpressionNode::~NBFOperatorUnitExpressionNode() {
    NBFUnitContainerRelease(unitContainer);
    NBFAmbiguousUnitRelease(ambiguousUnit);
}

namespace {

template <typename T>
T* as(NBFExpressionNodeRef node, NBFExpressionNodeType type) {
    return node && node->type() == type ? static_cast<T*>(node) : nullptr;
}

// Operators, lists, word operators and operator units hold children.
NBF::BaseOperatorNode* asBaseOperator(NBFExpressionNodeRef node) {
    if (!node) return nullptr;
    switch (node->type()) {
        case kNBFExpressionNodeTypeOperator:
        case kNBFExpressionNodeTypeList:
        case kNBFExpressionNodeTypeWordOperator:
        case kNBFExpressionNodeTypeOperatorUnit:
            return static_cast<NBF::BaseOperatorNode*>(node);
        default:
            return nullptr;
    }
}

bool takesOperands(NBFExpressionNodeRef node) {
    NBFExpressionNodeType type = node ? node->type() : kNBFExpressionNodeTypeNone;
    return type == kNBFExpressionNodeTypeOperator || type == kNBFExpressionNodeTypeWordOperator ||
           type == kNBFExpressionNodeTypeOperatorUnit;
}

void setArguments(NBFFunctionExpressionNode* function, NBFExpressionNodeRef arguments) {
    if (function->arguments == arguments) {
        NBFExpressionNodeRelease(arguments);
        return;
    }
    if (function->arguments) {
        function->arguments->parent = nullptr;
        function->arguments->release();
    }
    function->arguments = arguments;
    if (arguments) arguments->parent = function;
}

const NBFExpressionNodeVector s_noChildren;

}  // namespace

NBFExpressionNodeRef NBFExpressionNodeCreateOperand(NBFNumberRef number,
                                                    NBFUnitContainerRef unitContainer) {
    return NBFExpressionNodeCreateOperand_TransferOwnership(NBFNumberRetain(number),
                                                            NBFUnitContainerRetain(unitContainer));
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperand_TransferOwnership(
    NBFNumberRef number, NBFUnitContainerRef unitContainer) {
    auto* node = new NBFOperandExpressionNode();
    node->number = number;
    node->unitContainer = unitContainer;
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperandWithAmbiguousUnit(
    NBFNumberRef number, NBFAmbiguousUnitRef ambiguousUnit) {
    auto* node = new NBFOperandExpressionNode();
    node->number = NBFNumberRetain(number);
    node->ambiguousUnit = NBFAmbiguousUnitRetain(ambiguousUnit);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperator(NBFOperatorType operatorType,
                                                     NBFExpressionNodeRef left,
                                                     NBFExpressionNodeRef right) {
    return NBFExpressionNodeCreateOperator_TransferOwnership(
        operatorType, NBFExpressionNodeRetain(left), NBFExpressionNodeRetain(right));
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperator_TransferOwnership(NBFOperatorType operatorType,
                                                                       NBFExpressionNodeRef left,
                                                                       NBFExpressionNodeRef right) {
    auto* node = new NBFOperatorExpressionNode(operatorType);
    node->addChild_TransferOwnership(left);
    node->addChild_TransferOwnership(right);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperator(NBFOperatorType operatorType) {
    return new NBFOperatorExpressionNode(operatorType);
}

NBFExpressionNodeRef NBFExpressionNodeCreateList(const NBFExpressionNodeVector& nodes) {
    for (NBFExpressionNodeRef node : nodes) NBFExpressionNodeRetain(node);
    return NBFExpressionNodeCreateList_TransferOwnership(nodes);
}

NBFExpressionNodeRef NBFExpressionNodeCreateList_TransferOwnership(
    const NBFExpressionNodeVector& nodes) {
    auto* list = new NBFListExpressionNode();
    for (NBFExpressionNodeRef node : nodes) list->addChild_TransferOwnership(node);
    return list;
}

NBFExpressionNodeRef NBFExpressionNodeCreateFunction(NBFFunctionRef function,
                                                     NBFExpressionNodeRef arguments) {
    NBFExpressionNodeRef node = NBFExpressionNodeCreateFunction(function);
    NBFExpressionNodeSetFunctionArguments(node, arguments);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateFunction(NBFFunctionRef function) {
    auto* node = new NBFFunctionExpressionNode();
    node->function = NBFFunctionRetain(function);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateVariable(NBFScopedVariableRef scopedVariable) {
    auto* node = new NBFVariableExpressionNode();
    node->variable = NBFScopedVariableRetain(scopedVariable);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateWordOperator(NBFWordOperatorRef wordOperator) {
    auto* node = new NBFWordOperatorExpressionNode();
    node->wordOperator = NBFWordOperatorRetain(wordOperator);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperatorUnit(NBFUnitContainerRef unitContainer,
                                                         NBFOperatorType operatorType) {
    auto* node = new NBFOperatorUnitExpressionNode(operatorType);
    node->unitContainer = NBFUnitContainerRetain(unitContainer);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperatorUnit(NBFUnitContainerRef unitContainer,
                                                         NBFOperatorType operatorType,
                                                         NBFExpressionNodeRef operand) {
    NBFExpressionNodeRef node = NBFExpressionNodeCreateOperatorUnit(unitContainer, operatorType);
    static_cast<NBF::BaseOperatorNode*>(node)->addChild_TransferOwnership(
        NBFExpressionNodeRetain(operand));
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateOperatorUnit(NBFAmbiguousUnitRef ambiguousUnit,
                                                         NBFOperatorType operatorType) {
    auto* node = new NBFOperatorUnitExpressionNode(operatorType);
    node->ambiguousUnit = NBFAmbiguousUnitRetain(ambiguousUnit);
    return node;
}

NBFExpressionNodeRef NBFExpressionNodeCreateEmptyOperand() {
    return new NBFEmptyOperandExpressionNode();
}

NBFExpressionNodeRef NBFExpressionNodeRetain(NBFExpressionNodeRef node) {
    return NBF::retain(node);
}
void NBFExpressionNodeRelease(NBFExpressionNodeRef node) { NBF::release(node); }

NBFExpressionNodeType NBFExpressionNodeGetType(NBFExpressionNodeRef node) {
    return node ? node->type() : kNBFExpressionNodeTypeNone;
}

NBFNumberRef NBFExpressionNodeGetNumber(NBFExpressionNodeRef node) {
    auto* operand = as<NBFOperandExpressionNode>(node, kNBFExpressionNodeTypeOperand);
    return operand ? operand->number : nullptr;
}

NBFUnitContainerRef NBFExpressionNodeGetUnitContainer(NBFExpressionNodeRef node) {
    if (auto* operand = as<NBFOperandExpressionNode>(node, kNBFExpressionNodeTypeOperand))
        return operand->unitContainer;
    if (auto* unit = as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit))
        return unit->unitContainer;
    return nullptr;
}

bool NBFExpressionNodeHasUnitContainer(NBFExpressionNodeRef node) {
    return NBFExpressionNodeGetUnitContainer(node) != nullptr;
}

NBFAmbiguousUnitRef NBFExpressionNodeGetAmbiguosUnit(NBFExpressionNodeRef node) {
    if (auto* operand = as<NBFOperandExpressionNode>(node, kNBFExpressionNodeTypeOperand))
        return operand->ambiguousUnit;
    if (auto* unit = as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit))
        return unit->ambiguousUnit;
    return nullptr;
}

NBFUnitFormatType NBFExpressionNodeGetUnitNameFormat(NBFExpressionNodeRef node) {
    if (auto* operand = as<NBFOperandExpressionNode>(node, kNBFExpressionNodeTypeOperand))
        return operand->unitNameFormat;
    if (auto* unit = as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit))
        return unit->unitNameFormat;
    return NBFUnitFormatTypeNone;
}

void NBFExpressionNodeSetUnitNameFormat(NBFExpressionNodeRef node, NBFUnitFormatType format) {
    if (auto* operand = as<NBFOperandExpressionNode>(node, kNBFExpressionNodeTypeOperand))
        operand->unitNameFormat = format;
    if (auto* unit = as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit))
        unit->unitNameFormat = format;
}

void NBFExpressionNodeResolveUnitAmbiguity(NBFExpressionNodeRef node,
                                           NBFUnitContainerRef unitContainer) {
    NBFUnitContainerRef* slot = nullptr;
    if (auto* operand = as<NBFOperandExpressionNode>(node, kNBFExpressionNodeTypeOperand))
        slot = &operand->unitContainer;
    if (auto* unit = as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit))
        slot = &unit->unitContainer;
    if (!slot || *slot == unitContainer) return;
    NBFUnitContainerRetain(unitContainer);
    NBFUnitContainerRelease(*slot);
    *slot = unitContainer;
}

NBFOperatorType NBFExpressionNodeGetOperatorType(NBFExpressionNodeRef node) {
    if (auto* op = as<NBFOperatorExpressionNode>(node, kNBFExpressionNodeTypeOperator))
        return op->operatorType;
    if (auto* unit = as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit))
        return unit->operatorType;
    return NBFOperatorTypeNone;
}

void NBFExpressionNodeSetOperatorType(NBFExpressionNodeRef node, NBFOperatorType operatorType) {
    if (auto* op = as<NBFOperatorExpressionNode>(node, kNBFExpressionNodeTypeOperator)) {
        op->operatorType = operatorType;
    } else if (auto* unit =
                   as<NBFOperatorUnitExpressionNode>(node, kNBFExpressionNodeTypeOperatorUnit)) {
        unit->operatorType = operatorType;
    } else if (node) {
        NBF_LOG_ERROR("Unexpected node type %d", node->type());
    }
}

void NBFExpressionNodeSetOperands(NBFExpressionNodeRef node, NBFExpressionNodeRef left,
                                  NBFExpressionNodeRef right) {
    if (!takesOperands(node)) {
        if (node) NBF_LOG_ERROR("Unexpected node type %d", node->type());
        return;
    }
    NBFExpressionNodeSetOperands_TransferOwnership(node, NBFExpressionNodeRetain(left),
                                                   NBFExpressionNodeRetain(right));
}

void NBFExpressionNodeSetOperands_TransferOwnership(NBFExpressionNodeRef node,
                                                    NBFExpressionNodeRef left,
                                                    NBFExpressionNodeRef right) {
    if (!takesOperands(node)) {
        if (node) NBF_LOG_ERROR("Unexpected node type %d", node->type());
        NBFExpressionNodeRelease(left);
        NBFExpressionNodeRelease(right);
        return;
    }
    std::vector<NBFExpressionNodeRef> operands;
    if (left) operands.push_back(left);
    if (right) operands.push_back(right);
    static_cast<NBF::BaseOperatorNode*>(node)->replaceChildren_TransferOwnership(
        std::move(operands));
}

NBFWordOperatorRef NBFExpressionNodeGetWordOperator(NBFExpressionNodeRef node) {
    auto* word = as<NBFWordOperatorExpressionNode>(node, kNBFExpressionNodeTypeWordOperator);
    return word ? word->wordOperator : nullptr;
}

NBFFunctionRef NBFExpressionNodeGetFunction(NBFExpressionNodeRef node) {
    auto* function = as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction);
    return function ? function->function : nullptr;
}

NBFExpressionNodeRef NBFExpressionNodeGetFunctionArguments(NBFExpressionNodeRef node) {
    auto* function = as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction);
    return function ? function->arguments : nullptr;
}

void NBFExpressionNodeSetFunctionArguments(NBFExpressionNodeRef node,
                                           NBFExpressionNodeRef arguments) {
    if (!as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction) ||
        NBFExpressionNodeGetType(arguments) != kNBFExpressionNodeTypeList)
        return;
    NBFExpressionNodeSetFunctionArguments_TransferOwnership(node,
                                                            NBFExpressionNodeRetain(arguments));
}

void NBFExpressionNodeSetFunctionArguments_TransferOwnership(NBFExpressionNodeRef node,
                                                             NBFExpressionNodeRef arguments) {
    auto* function = as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction);
    if (!function || NBFExpressionNodeGetType(arguments) != kNBFExpressionNodeTypeList) {
        NBFExpressionNodeRelease(arguments);
        return;
    }
    setArguments(function, arguments);
}

NBFScopedVariableRef NBFExpressionNodeGetVariable(NBFExpressionNodeRef node) {
    auto* variable = as<NBFVariableExpressionNode>(node, kNBFExpressionNodeTypeVariable);
    return variable ? variable->variable : nullptr;
}

int32_t NBFExpressionNodeGetCountOfChildren(NBFExpressionNodeRef node) {
    if (!node) return 0;
    if (auto* base = asBaseOperator(node)) return static_cast<int32_t>(base->children().size());
    if (auto* function = as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction))
        return function->arguments ? 1 : 0;
    NBF_LOG_ERROR("Unexpected node type %d", node->type());
    return 0;
}

bool NBFExpressionNodeHasChildren(NBFExpressionNodeRef node) {
    if (!node) return false;
    switch (node->type()) {
        case kNBFExpressionNodeTypeOperand:
        case kNBFExpressionNodeTypeVariable:
            return false;
        case kNBFExpressionNodeTypeFunction:
            return NBFExpressionNodeGetFunctionArguments(node);
        default:
            if (auto* base = asBaseOperator(node)) return !base->children().empty();
            NBF_LOG_ERROR("Unexpected node type %d", node->type());
            return false;
    }
}

int32_t NBFExpressionNodeGetChildren(NBFExpressionNodeRef node, NBFExpressionNodeRef* buffer,
                                     int32_t capacity) {
    if (!buffer || capacity <= 0) return 0;
    if (NBFExpressionNodeRef arguments = NBFExpressionNodeGetFunctionArguments(node)) {
        buffer[0] = arguments;
        return 1;
    }
    auto* base = asBaseOperator(node);
    if (!base) return 0;
    int32_t count = std::min(capacity, static_cast<int32_t>(base->children().size()));
    std::copy_n(base->children().begin(), count, buffer);
    return count;
}

const NBFExpressionNodeVector& NBFExpressionNodeGetChildren(NBFExpressionNodeRef node) {
    if (auto* function = as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction))
        node = function->arguments;
    auto* base = asBaseOperator(node);
    return base ? base->children() : s_noChildren;
}

NBFExpressionNodeRef NBFExpressionNodeGetOnlyChild(NBFExpressionNodeRef node) {
    if (auto* function = as<NBFFunctionExpressionNode>(node, kNBFExpressionNodeTypeFunction))
        return function->arguments;
    auto* base = asBaseOperator(node);
    return base && !base->children().empty() ? base->children().front() : nullptr;
}

NBFExpressionNodeRef NBFExpressionNodeGetParent(NBFExpressionNodeRef node) {
    return node ? node->parent : nullptr;
}

void NBFExpressionNodeSetEvaluatedNode(NBFExpressionNodeRef node, NBFValueRef value,
                                       NBFEvalMetadataRef metadata) {
    if (!node) return;
    // Whatever was left in the slot is still ours to let go.
    if (node->evaluatedValue != value) NBFValueRelease(node->evaluatedValue);
    if (node->evaluatedMetadata != metadata) NBFEvalMetadataRelease(node->evaluatedMetadata);
    node->evaluatedValue = value;
    node->evaluatedMetadata = metadata;
}

std::pair<NBFValueRef, NBFEvalMetadataRef> NBFExpressionNodeRetrieveEvaluatedNode(
    NBFExpressionNodeRef node) {
    if (!node) return {nullptr, nullptr};
    std::pair<NBFValueRef, NBFEvalMetadataRef> pair{node->evaluatedValue, node->evaluatedMetadata};
    node->evaluatedValue = nullptr;
    node->evaluatedMetadata = nullptr;
    return pair;
}

void NBFExpressionNodeSetExpressionToken(NBFExpressionNodeRef node, NBFExpressionTokenRef token) {
    if (node) node->expressionToken = token;
}

NBFExpressionTokenRef NBFExpressionNodeGetExpressionToken(NBFExpressionNodeRef node) {
    return node ? node->expressionToken : nullptr;
}

void NBFExpressionNodeSetUnitTypeBitmap(NBFExpressionNodeRef node, NBFUnitTypeBitmap bitmap) {
    if (node) node->unitTypeBitmap = bitmap;
}

NBFUnitTypeBitmap NBFExpressionNodeGetUnitTypeBitmap(NBFExpressionNodeRef node) {
    return node ? node->unitTypeBitmap : NBFUnitTypeBitmapZero;
}

void NBFExpressionNodeSetSubtreeHasAmbiguousUnit(NBFExpressionNodeRef node, bool flag) {
    if (node) node->subtreeHasAmbiguousUnit = flag;
}

bool NBFExpressionNodeSubtreeHasAmbiguousUnit(NBFExpressionNodeRef node) {
    return node && node->subtreeHasAmbiguousUnit;
}

NBFOperatorType NBFOperatorTypeForNBFTokenSubType(NBFTokenSubType subType) {
    switch (subType) {
        case 10:
            return 1;
        case 11:
            return 2;
        case 12:
            return 3;
        case 13:
            return 4;
        case 14:
            return 5;
        case 15:
            return 9;
        case 16:
            return 8;
        case 17:
            return 7;
        case 18:
            return 6;
        case 19:
            return 19;
        case 20:
            return 20;
        case 22:
            return 11;
        case 23:
            return 24;
        case 24:
            return 22;
        case 25:
            return 25;
        case 26:
            return 18;
        case 27:
            return 17;
        default:
            NBF_LOG_ERROR("Unexpected token subtype %d", subType);
            return 0;
    }
}

NBFTokenSubType NBFTokenSubTypeForNBFOperatorType(NBFOperatorType operatorType) {
    switch (operatorType) {
        case 1:
            return 10;
        case 2:
            return 11;
        case 3:
            return 12;
        case 4:
            return 13;
        case 5:
            return 14;
        case 6:
            return 18;
        case 7:
            return 17;
        case 8:
            return 16;
        case 9:
            return 15;
        case 11:
            return 22;
        case 17:
            return 27;
        case 18:
            return 26;
        case 19:
            return 19;
        case 20:
            return 20;
        case 22:
            return 24;
        case 24:
            return 23;
        case 25:
            return 25;
        default:
            NBF_LOG_ERROR("Unexpected operator type %d", operatorType);
            return 0;
    }
}
