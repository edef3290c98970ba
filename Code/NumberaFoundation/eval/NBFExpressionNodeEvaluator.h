// Computes the value of an expression tree: visits the nodes in post order, applies operators
// with unit coercion, percentages and the rules for infinities and not-a-number, and presents
// the root's unit through the simplifier and factorizer. Failures are recorded as an evaluation
// error in the evaluation context, never thrown.
//
// Values of the nodes are kept in storage of each evaluation, not in the nodes, so one tree
// (a compiled word operator's) may be evaluated by several evaluators at once. An evaluator
// itself serves one evaluation at a time: its MAPM context holds the scratch registers.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_EVALUATOR_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_EVALUATOR_H

#include <cstdint>

#include "NBFEvaluationContext.h"
#include "NBFEvaluationError.h"
#include "NBFExpressionTree.h"
#include "NBFMAPMContext.h"
#include "NBFObject.h"
#include "NBFOperatorType.h"
#include "NBFValue.h"

struct NBFUnitCollection;
typedef NBFUnitCollection* NBFUnitCollectionRef;
namespace NBF {
class UnitFractionSimplifier;
}
struct NBFUnitFractionFactorizer;

struct NBFExpressionNodeEvaluator : NBF::Object<NBFExpressionNodeEvaluator> {
    ~NBFExpressionNodeEvaluator() override;
    NBFMAPMContextRef mapmContext = nullptr;  // owned
    // Power and times-ten power refuse a right operand whose MAPM exponent is at or above
    // this (|x| >= 10^6).
    int16_t exponentLimit = 6;
    // Both absent without a unit collection; then units are neither simplified nor factorised.
    NBF::UnitFractionSimplifier* simplifier = nullptr;
    NBFUnitFractionFactorizer* factorizer = nullptr;
    // Shared by the unit fraction builders of one evaluation.
    NBFMAPMAccumulatorRef accumulator = nullptr;
};
typedef NBFExpressionNodeEvaluator* NBFExpressionNodeEvaluatorRef;

// Precision 100 significant digits.
NBFExpressionNodeEvaluatorRef NBFExpressionNodeEvaluatorCreate(NBFUnitCollectionRef unitCollection);
NBFExpressionNodeEvaluatorRef NBFExpressionNodeEvaluatorCreate(NBFUnitCollectionRef unitCollection,
                                                               uint16_t precision);
NBFExpressionNodeEvaluatorRef NBFExpressionNodeEvaluatorRetain(
    NBFExpressionNodeEvaluatorRef evaluator);
void NBFExpressionNodeEvaluatorRelease(NBFExpressionNodeEvaluatorRef evaluator);

// The root's value (a new reference), or null when the tree has none or an error stopped the
// evaluation (the context's evaluationError says which). The context's unit accumulator
// becomes the root's unit metadata.
NBFValueRef NBFExpressionNodeEvaluatorEvaluate(NBFExpressionNodeEvaluatorRef evaluator,
                                               NBFExpressionTreeRef tree,
                                               NBFEvaluationContextRef evaluationContext);

// Operators: a new value, or null. Each sets *error to 0 first and then to the reason of a
// failure; a failure without a reason (an operand combination no operator takes) is logged.
// A null evaluator or operand gives null. Word operators' templates call these too.
NBFValueRef NBFExpressionNodeEvaluatorAdd(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                          NBFValueRef right, NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorSubtract(NBFExpressionNodeEvaluatorRef evaluator,
                                               NBFValueRef left, NBFValueRef right,
                                               NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorMultiply(NBFExpressionNodeEvaluatorRef evaluator,
                                               NBFValueRef left, NBFValueRef right,
                                               NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorDivide(NBFExpressionNodeEvaluatorRef evaluator,
                                             NBFValueRef left, NBFValueRef right,
                                             NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorPower(NBFExpressionNodeEvaluatorRef evaluator,
                                            NBFValueRef left, NBFValueRef right,
                                            NBFEvaluationError* error);
// left × 10^right.
NBFValueRef NBFExpressionNodeEvaluatorE10(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                          NBFValueRef right, NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorMod(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                          NBFValueRef right, NBFEvaluationError* error);
// The value expressed in the target's unit (the target's number scales that unit).
NBFValueRef NBFExpressionNodeEvaluatorUnitConvert(NBFExpressionNodeEvaluatorRef evaluator,
                                                  NBFValueRef value, NBFValueRef target,
                                                  NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorUnaryMinus(NBFExpressionNodeEvaluatorRef evaluator,
                                                 NBFValueRef operand, NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorUnaryPlus(NBFExpressionNodeEvaluatorRef evaluator,
                                                NBFValueRef operand, NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorFactorial(NBFExpressionNodeEvaluatorRef evaluator,
                                                NBFValueRef operand, NBFEvaluationError* error);
NBFValueRef NBFExpressionNodeEvaluatorPercent(NBFExpressionNodeEvaluatorRef evaluator,
                                              NBFValueRef operand, NBFEvaluationError* error);

// The operator of an operator node applied to its operands (right null for unary operators).
NBFValueRef NBFExpressionNodeEvaluatorApplyOperator(NBFExpressionNodeEvaluatorRef evaluator,
                                                    NBFOperatorType operatorType, NBFValueRef left,
                                                    NBFValueRef right, NBFEvaluationError* error);

#endif
