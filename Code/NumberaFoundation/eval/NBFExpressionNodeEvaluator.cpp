// The walk over an expression tree: each node's value and unit metadata are computed in post
// order and kept on a stack of this evaluation, from which each parent takes its children's.
#include "NBFExpressionNodeEvaluator.h"

#include <map>
#include <vector>

#include "NBFCompiledWordOperator.h"
#include "NBFErrorLog.h"
#include "NBFExpressionNodeEvaluatorInternal.h"
#include "NBFFunction.h"
#include "NBFMathLibrary.h"
#include "NBFUnitFractionBuilder.h"
#include "NBFUnitFractionFactorizer.h"
#include "NBFUnitFractionSimplifier.h"
#include "NBFUnitTypeFactorings.h"

using namespace NBF::evaluator;

namespace {

constexpr uint16_t kDefaultPrecision = 100;

// One node's outcome, owned while it is on the stack. A list leaves a marker above its items,
// which stay where they are for the function that owns the list.
struct Slot {
    NBFValueRef value = nullptr;
    NBFEvalMetadataRef metadata = nullptr;
    int32_t listCount = -1;  // a list marker when >= 0

    void release() {
        NBFValueRelease(value);
        NBFEvalMetadataRelease(metadata);
        value = nullptr;
        metadata = nullptr;
    }
};

class SlotStack {
  public:
    SlotStack() { m_slots.reserve(16); }
    ~SlotStack() {
        for (Slot& slot : m_slots) slot.release();
    }
    SlotStack(const SlotStack&) = delete;
    SlotStack& operator=(const SlotStack&) = delete;

    // Takes over the references.
    void push(NBFValueRef value, NBFEvalMetadataRef metadata) {
        m_slots.push_back(Slot{value, metadata, -1});
    }
    void pushListMarker(int32_t count) { m_slots.push_back(Slot{nullptr, nullptr, count}); }

    // The topmost entry as one operand; a list, with its items, is an operand without value.
    Slot pop() {
        if (m_slots.empty()) return Slot{};
        Slot slot = m_slots.back();
        m_slots.pop_back();
        if (slot.listCount >= 0) {
            for (int32_t i = 0; i < slot.listCount; ++i) pop().release();
            slot.listCount = -1;
        }
        return slot;
    }

    // The items of the list whose marker is on top, in order.
    std::vector<Slot> popListItems() {
        std::vector<Slot> items;
        if (m_slots.empty() || m_slots.back().listCount < 0) return items;
        int32_t count = m_slots.back().listCount;
        m_slots.pop_back();
        items.resize(static_cast<size_t>(count));
        for (int32_t i = count - 1; i >= 0; --i) items[static_cast<size_t>(i)] = pop();
        return items;
    }

    size_t size() const { return m_slots.size(); }

  private:
    std::vector<Slot> m_slots;
};

// The children's metadata merged for the parent: the left child's, then the right child's for
// an operation of the given type. Null when neither has any.
NBFEvalMetadataRef mergedMetadata(NBFEvalMetadataRef left, NBFEvalMetadataRef right,
                                  NBFOperatorType operatorType) {
    if (!left && !right) return nullptr;
    NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
    NBFEvalMetadataAppendAccumulator(metadata, left);
    NBFEvalMetadataAppendAccumulatorForOperation(metadata, right, operatorType);
    return metadata;
}

// A node's own unit: a value with a unit and no metadata yet gets metadata of that unit, and
// the units of the node's unit container are recorded with the name format it was written in.
void applyNodeUnitRule(NBFExpressionNodeRef node, NBFValueRef value, NBFEvalMetadataRef* metadata) {
    if (!value) return;
    if (!*metadata && NBFValueGetUnitFraction(value)) {
        *metadata = NBFEvalMetadataCreate();
        NBFEvalMetadataAppendUnitFraction(*metadata, NBFValueGetUnitFraction(value));
    }
    NBFUnitContainerRef container = NBFExpressionNodeGetUnitContainer(node);
    NBFUnitFractionRef fraction = NBFUnitContainerGetUnitFraction(container);
    if (!fraction) return;
    if (!*metadata) *metadata = NBFEvalMetadataCreate();
    NBFUnitFormatType format = NBFExpressionNodeGetUnitNameFormat(node);
    for (NBFUnit* unit : NBFUnitFractionGetUnits(fraction)) {
        NBFEvalMetadataAppendUnitNameFormatMapping(*metadata, unit, format);
    }
}

bool isUnaryOperator(NBFOperatorType operatorType) {
    return operatorType == NBFOperatorTypeUnaryMinus || operatorType == NBFOperatorTypeUnaryPlus ||
           operatorType == NBFOperatorTypeFactorial || operatorType == NBFOperatorTypePercent;
}

bool isBinaryOperator(NBFOperatorType operatorType) {
    switch (operatorType) {
        case NBFOperatorTypeAdd:
        case NBFOperatorTypeSubtract:
        case NBFOperatorTypeMultiply:
        case NBFOperatorTypeDivide:
        case NBFOperatorTypePower:
        case NBFOperatorTypeE10:
        case NBFOperatorTypeUnitConversion:
        case NBFOperatorTypeModulo:
            return true;
        default:
            return false;
    }
}

// Operators take one or two children; only the first two take part.
int32_t operandCount(NBFExpressionNodeRef node) {
    int32_t count = NBFExpressionNodeGetCountOfChildren(node);
    return count > 2 ? 2 : count;
}

// Pops the node's operands: left, then right (null when absent).
void popOperands(SlotStack& stack, NBFExpressionNodeRef node, Slot* left, Slot* right) {
    int32_t count = operandCount(node);
    *left = Slot{};
    *right = Slot{};
    if (count == 2) *right = stack.pop();
    if (count >= 1) *left = stack.pop();
}

void evaluateOperator(NBFExpressionNodeEvaluatorRef evaluator, NBFExpressionNodeRef node,
                      NBFEvaluationContextRef context, SlotStack& stack) {
    Slot left, right;
    popOperands(stack, node, &left, &right);
    NBFOperatorType operatorType = NBFExpressionNodeGetOperatorType(node);
    NBFValueRef value = nullptr;
    NBFEvaluationError error = NBFEvaluationErrorNone;
    int values = (left.value != nullptr) + (right.value != nullptr);
    if (isBinaryOperator(operatorType)) {
        if (values < 2) {
            error = NBFEvaluationErrorMissingOperand;
        } else {
            value = NBFExpressionNodeEvaluatorApplyOperator(evaluator, operatorType, left.value,
                                                            right.value, &error);
        }
    } else if (!isUnaryOperator(operatorType)) {
        // Logged, without an error of the evaluation.
        value = NBFExpressionNodeEvaluatorApplyOperator(evaluator, operatorType, left.value,
                                                        right.value, &error);
    } else if (values == 2) {
        error = NBFEvaluationErrorExtraOperand;
    } else if (values == 0) {
        error = NBFEvaluationErrorMissingOperand;
    } else {
        NBFValueRef operand = left.value ? left.value : right.value;
        value = NBFExpressionNodeEvaluatorApplyOperator(evaluator, operatorType, operand, nullptr,
                                                        &error);
    }
    if (error != NBFEvaluationErrorNone) context->evaluationError = error;
    NBFEvalMetadataRef metadata = mergedMetadata(left.metadata, right.metadata, operatorType);
    left.release();
    right.release();
    stack.push(value, metadata);
}

// An argument without a value (a placeholder, a failed word operator) reads as not-a-number,
// which every function accepts.
NBFValueRef argumentValue(NBFValueRef value) {
    if (value) return value;
    return NBFValueCreate_TransferOwnership(NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN));
}

void evaluateFunction(NBFExpressionNodeEvaluatorRef evaluator, NBFExpressionNodeRef node,
                      NBFEvaluationContextRef context, SlotStack& stack) {
    std::vector<Slot> items;
    if (NBFExpressionNodeGetFunctionArguments(node)) items = stack.popListItems();
    std::vector<NBFValueRef> arguments;
    arguments.reserve(items.size());
    for (Slot& item : items) {
        item.value = argumentValue(item.value);
        arguments.push_back(item.value);
    }
    NBFEvalMetadataRef metadata = nullptr;
    NBFValueRef value = NBFFunctionExecute(NBFExpressionNodeGetFunction(node), arguments.data(),
                                           static_cast<int32_t>(arguments.size()),
                                           evaluator->mapmContext, context, &metadata);
    if (!metadata) {
        for (Slot& item : items) {
            if (!item.metadata) continue;
            if (!metadata) metadata = NBFEvalMetadataCreate();
            NBFEvalMetadataAppendAccumulator(metadata, item.metadata);
        }
    }
    if (!metadata) applyNodeUnitRule(node, value, &metadata);
    for (Slot& item : items) item.release();
    stack.push(value, metadata);
}

// The word operator's template evaluated with the children's values as its operands.
void evaluateWordOperator(NBFExpressionNodeEvaluatorRef evaluator, NBFExpressionNodeRef node,
                          NBFEvaluationContextRef context, SlotStack& stack) {
    Slot first, second;
    popOperands(stack, node, &first, &second);
    NBFCompiledWordOperatorRef compiled =
        NBFWordOperatorGetCompiled(NBFExpressionNodeGetWordOperator(node));
    NBFValueRef value =
        NBFCompiledWordOperatorExecute(compiled, evaluator, context, first.value, second.value);
    NBFEvalMetadataRef metadata =
        mergedMetadata(first.metadata, second.metadata, NBFOperatorTypeNone);
    first.release();
    second.release();
    stack.push(value, metadata);
}

void evaluateVariable(NBFExpressionNodeRef node, NBFEvaluationContextRef context,
                      SlotStack& stack) {
    NBFScopedVariableRef variable = NBFExpressionNodeGetVariable(node);
    // A variable whose own evaluation failed is that failure wherever it is read: reading it as
    // no number would let the arithmetic around it answer as if it were not there.
    if (NBFEvaluationError error = NBFScopedVariableGetEvaluationError(variable)) {
        context->evaluationError = error;
        stack.push(nullptr, nullptr);
        return;
    }
    // The scoped variable caches the value it hands out; the node's slot keeps its own reference.
    NBFValueRef value = NBFValueRetain(NBFScopedVariableGetValue(variable));
    NBFEvalMetadataRef metadata = nullptr;
    applyNodeUnitRule(node, value, &metadata);
    stack.push(value, metadata);
}

// The child's value with the node's unit multiplied in ("5 m" is 5 × 1 m).
void evaluateOperatorUnit(NBFExpressionNodeEvaluatorRef evaluator, NBFExpressionNodeRef node,
                          NBFEvaluationContextRef context, SlotStack& stack) {
    Slot child = stack.pop();
    for (int32_t extra = operandCount(node) - 1; extra > 0; --extra) stack.pop().release();
    NBFValueRef value = nullptr;
    NBFUnitFractionRef unit =
        NBFUnitContainerGetUnitFraction(NBFExpressionNodeGetUnitContainer(node));
    if (!child.value) {
        context->evaluationError = NBFEvaluationErrorMissingOperand;
    } else if (!unit || NBF::evaluator::isSpecial(child.value)) {
        value = NBFValueRetain(child.value);
    } else {
        auto builder = NBF::Ref<NBF::UnitFractionBuilder>::adopt(
            NBFUnitFractionBuilderCreate(evaluator->accumulator));
        NBFUnitFractionRef childUnit = NBFValueGetUnitFraction(child.value);
        if (childUnit) builder->addUnit(childUnit, 1);
        builder->addUnit(unit, 1);
        M_APM childExtra = NBFUnitFractionGetExtraMultiplier(childUnit);
        M_APM unitExtra = NBFUnitFractionGetExtraMultiplier(unit);
        if (childExtra || unitExtra) {
            M_APM extra = m_apm_init_mt();
            m_apm_multiply_mt(extra, childExtra ? childExtra : MM_One,
                              unitExtra ? unitExtra : MM_One);
            builder->setExtraMultiplier(extra);
            m_apm_free_mt(extra);
        }
        if (NBFUnitFractionRef combined = builder->getUnitFraction()) {
            value = NBFValueCreate(NBFValueGetNumber(child.value), combined);
        } else {
            context->evaluationError = NBFEvaluationErrorExponentTooLarge;
        }
    }
    NBFEvalMetadataRef metadata = nullptr;
    applyNodeUnitRule(node, value, &metadata);
    if (metadata && child.metadata) NBFEvalMetadataAppendAccumulator(metadata, child.metadata);
    if (!metadata) metadata = NBFEvalMetadataRetain(child.metadata);
    child.release();
    stack.push(value, metadata);
}

void evaluateOperand(NBFExpressionNodeRef node, NBFEvaluationContextRef context, SlotStack& stack) {
    NBFNumberRef number = NBFExpressionNodeGetNumber(node);
    NBFValueRef value = nullptr;
    if (number) {
        M_APM decimal = NBFNumberGetMAPMReference(number);
        m_apm_enter();
        bool tooLarge = decimal && NBF_mapm_exceeds_magnitude_limit(decimal);
        m_apm_leave();
        if (tooLarge) {
            context->evaluationError = NBFEvaluationErrorExponentTooLarge;
        } else {
            value = NBFValueCreate(
                number, NBFUnitContainerGetUnitFraction(NBFExpressionNodeGetUnitContainer(node)));
        }
    }
    NBFEvalMetadataRef metadata = nullptr;
    applyNodeUnitRule(node, value, &metadata);
    stack.push(value, metadata);
}

void evaluateNode(NBFExpressionNodeEvaluatorRef evaluator, NBFExpressionNodeRef node,
                  NBFEvaluationContextRef context, SlotStack& stack) {
    switch (NBFExpressionNodeGetType(node)) {
        case kNBFExpressionNodeTypeOperand:
            evaluateOperand(node, context, stack);
            break;
        case kNBFExpressionNodeTypeOperator:
            evaluateOperator(evaluator, node, context, stack);
            break;
        case kNBFExpressionNodeTypeList:
            stack.pushListMarker(NBFExpressionNodeGetCountOfChildren(node));
            break;
        case kNBFExpressionNodeTypeFunction:
            evaluateFunction(evaluator, node, context, stack);
            break;
        case kNBFExpressionNodeTypeVariable:
            evaluateVariable(node, context, stack);
            break;
        case kNBFExpressionNodeTypeWordOperator:
            evaluateWordOperator(evaluator, node, context, stack);
            break;
        case kNBFExpressionNodeTypeOperatorUnit:
            evaluateOperatorUnit(evaluator, node, context, stack);
            break;
        case kNBFExpressionNodeTypeEmptyOperand:
            // What the parser put where an operand is missing, such as a name nothing defines:
            // the line has no value, as any failure of the user's text, and nothing went wrong.
            stack.push(nullptr, nullptr);
            break;
        default:
            NBF_LOG_ERROR("%s",
                          "NBFValueRef NBFExpressionNodeEvaluatorEvaluateIterative("
                          "NBFExpressionNodeEvaluatorRef, NBFExpressionTreeRef, "
                          "NBFEvaluationContextRef)");
            stack.push(nullptr, nullptr);
            break;
    }
}

bool isSameUnit(NBFUnit* a, NBFUnit* b) {
    NBF::UniqueObj before;
    return !before(a, b) && !before(b, a);
}

// A single unit of a base type has no other shape to take: the factorizer could only exchange
// it for the unit the expression required, or else preferred, for its type. When that is the
// unit itself the answer is presented as it stands, without the search.
bool keepsItsShape(NBFUnitFractionRef fraction, NBFEvalMetadataRef metadata) {
    if (!NBFUnitFractionHasOnlyOneUnityDegreeNumeratorUnit(fraction) ||
        NBFUnitFractionGetDenominatorTotalDegree(fraction) != 0 ||
        NBFUnitFractionHasExtraMultiplier(fraction)) {
        return false;
    }
    NBFUnit* unit = NBFUnitFractionGetOnlyNumeratorUnit(fraction);
    NBFUnitType type = NBFUnitGetType(unit);
    if (!NBF::UnitTypeFactorings::instance()->isBaseUnitType(type)) return false;
    NBFUnit* required = NBFEvalMetadataGetRequiredUnitOfType(metadata, type);
    if (required) return isSameUnit(required, unit);
    NBFUnit* preferred = NBFEvalMetadataGetPreferredUnitOfType(metadata, type);
    return !preferred || isSameUnit(preferred, unit);
}

// Whether units of an amount of money cancel one another in base types (EUR · kW · h / J).
// Shown in that shape, the amount would keep units that come to no quantity (1.8 EUR kW h/J)
// instead of the money they make.
bool moneyUnitsCancel(NBFExpressionNodeEvaluatorRef evaluator, NBFUnitFractionRef fraction) {
    if (!evaluator->simplifier || NBFUnitFractionGetUnitDegree(fraction, NBFUnitTypeMoney) < 1)
        return false;
    std::map<NBFUnitType, int32_t> signs;
    const NBF::UnitTypeFraction types(fraction);
    for (const auto& [type, degree] : types.components()) {
        if (degree == 0) continue;
        NBF::UnitTypeFraction expanded =
            evaluator->simplifier->simplify(NBF::UnitTypeFraction(type, degree));
        for (const auto& [baseType, baseDegree] : expanded.components()) {
            if (baseDegree == 0) continue;
            const int32_t sign = baseDegree > 0 ? 1 : -1;
            auto [entry, added] = signs.emplace(baseType, sign);
            if (!added && entry->second != sign) return true;
        }
    }
    return false;
}

// The root's value presented in its final unit: simplified, factorised into the units the
// expression named, and with any extra multiplier folded into the number.
NBFValueRef presentedRootValue(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef value,
                               NBFEvalMetadataRef metadata, NBFEvaluationContextRef context) {
    NBFUnitFractionRef fraction = NBFValueGetUnitFraction(value);
    NBFNumberRef number = NBFValueGetNumber(value);
    M_APM decimal = NBFNumberGetMAPMReference(number);
    if (!decimal) return NBFValueRetain(value);
    if (!fraction) {
        // Whatever produced it, no answer runs to megabytes of digits.
        m_apm_enter();
        bool tooLarge = NBF_mapm_exceeds_magnitude_limit(decimal);
        m_apm_leave();
        if (!tooLarge) return NBFValueRetain(value);
        context->evaluationError = NBFEvaluationErrorExponentTooLarge;
        return nullptr;
    }
    FractionRef presented = simplifiedFraction(evaluator, fraction);
    if (evaluator->factorizer && !keepsItsShape(presented.get(), metadata)) {
        NBFUnitFractionRef undecomposed = NBFUnitFractionFactorizerCreateElectricalUnitFraction(
            evaluator->factorizer, fraction, metadata);
        if (!undecomposed) {
            // The shapes offered besides the simplified ones: the expression's own, unless
            // they are an amount of money whose units cancel.
            NBFUnitFractionRef shapes =
                moneyUnitsCancel(evaluator, fraction) ? presented.get() : fraction;
            undecomposed = NBFUnitFractionFactorizerUndecompose(
                evaluator->factorizer, presented.get(),
                NBFEvalMetadataGetPreferredUnitsMap(metadata),
                NBFEvalMetadataGetRequiredUnitsMap(metadata), shapes);
        }
        if (undecomposed) presented = FractionRef::adopt(undecomposed);
    }
    NBFEvaluationError error = NBFEvaluationErrorNone;
    NBFValueRef result = valueInUnitsOf(evaluator, decimal, NBFNumberGetType(number), fraction,
                                        presented.get(), &error);
    if (error != NBFEvaluationErrorNone) context->evaluationError = error;
    return result;
}

}  // namespace

NBFExpressionNodeEvaluatorRef NBFExpressionNodeEvaluatorCreate(
    NBFUnitCollectionRef unitCollection) {
    return NBFExpressionNodeEvaluatorCreate(unitCollection, kDefaultPrecision);
}

NBFExpressionNodeEvaluator::~NBFExpressionNodeEvaluator() {
    NBFMAPMContextRelease(mapmContext);
    NBFMAPMAccumulatorRelease(accumulator);
    NBFUnitFractionSimplifierRelease(simplifier);
    NBFUnitFractionFactorizerRelease(factorizer);
}

NBFExpressionNodeEvaluatorRef NBFExpressionNodeEvaluatorCreate(NBFUnitCollectionRef unitCollection,
                                                               uint16_t precision) {
    auto* evaluator = new NBFExpressionNodeEvaluator();
    evaluator->mapmContext = NBFMAPMContextCreate(precision);
    evaluator->accumulator = NBFMAPMAccumulatorCreate(precision);
    if (unitCollection) {
        evaluator->simplifier = NBFUnitFractionSimplifierCreate(unitCollection);
        evaluator->factorizer = NBFUnitFractionFactorizerCreate(unitCollection);
    }
    return evaluator;
}

NBFExpressionNodeEvaluatorRef NBFExpressionNodeEvaluatorRetain(
    NBFExpressionNodeEvaluatorRef evaluator) {
    return NBF::retain(evaluator);
}

void NBFExpressionNodeEvaluatorRelease(NBFExpressionNodeEvaluatorRef evaluator) {
    NBF::release(evaluator);
}

NBFValueRef NBFExpressionNodeEvaluatorEvaluate(NBFExpressionNodeEvaluatorRef evaluator,
                                               NBFExpressionTreeRef tree,
                                               NBFEvaluationContextRef evaluationContext) {
    if (!evaluator || !tree || !evaluationContext) return nullptr;
    SlotStack stack;
    for (NBFExpressionNodeRef node : tree->nodesPostOrderDFS()) {
        if (evaluationContext->evaluationError != NBFEvaluationErrorNone) return nullptr;
        evaluateNode(evaluator, node, evaluationContext, stack);
    }
    // A tree whose root is a list leaves no single value.
    if (stack.size() != 1) return nullptr;
    Slot root = stack.pop();
    NBFValueRef value = nullptr;
    if (root.value)
        value = presentedRootValue(evaluator, root.value, root.metadata, evaluationContext);
    NBFEvaluationContextSetUnitAccumulator(evaluationContext, root.metadata);
    root.release();
    return value;
}
