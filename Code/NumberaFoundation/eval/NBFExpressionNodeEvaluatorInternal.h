// Pieces of the node evaluator shared by its source files; not part of the foundation's
// interface.
#ifndef NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_EVALUATOR_INTERNAL_H
#define NUMBERA_FOUNDATION_NBF_EXPRESSION_NODE_EVALUATOR_INTERNAL_H

#include <utility>

#include "NBFExpressionNodeEvaluator.h"
#include "NBFUnitFraction.h"

namespace NBF::evaluator {

// A unit fraction reference owned for a scope.
class FractionRef {
  public:
    FractionRef() = default;
    static FractionRef adopt(NBFUnitFractionRef fraction) { return FractionRef(fraction); }
    static FractionRef retainOf(NBFUnitFractionRef fraction) {
        return FractionRef(NBFUnitFractionRetain(fraction));
    }
    FractionRef(FractionRef&& other) noexcept
        : m_fraction(std::exchange(other.m_fraction, nullptr)) {}
    FractionRef& operator=(FractionRef&& other) noexcept {
        std::swap(m_fraction, other.m_fraction);
        return *this;
    }
    FractionRef(const FractionRef&) = delete;
    FractionRef& operator=(const FractionRef&) = delete;
    ~FractionRef() { NBFUnitFractionRelease(m_fraction); }

    NBFUnitFractionRef get() const { return m_fraction; }
    explicit operator bool() const { return m_fraction != nullptr; }
    NBFUnitFractionRef leak() { return std::exchange(m_fraction, nullptr); }

  private:
    explicit FractionRef(NBFUnitFractionRef fraction) : m_fraction(fraction) {}
    NBFUnitFractionRef m_fraction = nullptr;
};

typedef NBF::Ref<NBF::Number> NumberRef;

// The numbers an operator body works on and the unit of its result.
struct CoercedOperands {
    NumberRef left;
    NumberRef right;
    FractionRef unit;
};

// Brings two operands to one unit for the operator. False when they cannot be combined: *error
// says why, or stays 0 (logged) for a pair of units the operator does not take.
bool coerceOperands(NBFExpressionNodeEvaluatorRef evaluator, NBFOperatorType operatorType,
                    NBFValueRef left, NBFValueRef right, CoercedOperands& out,
                    NBFEvaluationError* error);

// result = x expressed in `to` instead of `from` (offsets included; a ratio of units into its
// reciprocal ratio inverted, as miles per gallon into litres per kilometre). False with *error
// NBFEvaluationErrorUnitMismatch when the types differ or a unit would become its reciprocal,
// or NBFEvaluationErrorDivisionByZero when an inverse meets 0. Takes the MAPM lock itself.
bool convertUnit(NBFExpressionNodeEvaluatorRef evaluator, M_APM x, NBFUnitFractionRef from,
                 NBFUnitFractionRef to, M_APM result, NBFEvaluationError* error);

// result = x in the target's unit: directly when the types agree, else through both units'
// simplified types. target (may be null) receives the fraction the result is expressed in.
bool convertToUnitOf(NBFExpressionNodeEvaluatorRef evaluator, M_APM x, NBFUnitFractionRef from,
                     NBFUnitFractionRef to, M_APM result, FractionRef* target,
                     NBFEvaluationError* error);

// The simplified fraction; the fraction itself without a simplifier.
FractionRef simplifiedFraction(NBFExpressionNodeEvaluatorRef evaluator,
                               NBFUnitFractionRef fraction);

// A value of the number with the unit: an extra multiplier is multiplied into the number and a
// scalar fraction dropped. Null with NBFEvaluationErrorExponentTooLarge when the number leaves
// the magnitude bound. Takes the MAPM lock itself.
NBFValueRef flattenedValue(M_APM number, NBFNumberType type, NBFUnitFractionRef unit,
                           NBFEvaluationError* error);

// The quantity number·from as a value in to's visible units (its extra multiplier left aside):
// the factor between the two fractions is taken from their units' exact factors, so presenting
// km/h again as km/h changes no digit. Takes the MAPM lock itself.
NBFValueRef valueInUnitsOf(NBFExpressionNodeEvaluatorRef evaluator, M_APM number,
                           NBFNumberType type, NBFUnitFractionRef from, NBFUnitFractionRef to,
                           NBFEvaluationError* error);

// The outcome of the rules for infinities and not-a-number, or null when neither operand is
// special (right is null for unary operators). Can fail with an error (infinity ÷ 0).
NBFValueRef specialNumberResult(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                NBFValueRef right, NBFOperatorType operatorType,
                                NBFEvaluationError* error, bool* failed);

bool isSpecial(NBFValueRef value);

}  // namespace NBF::evaluator

#endif
