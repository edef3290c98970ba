// Operators on infinities and not-a-number.
//
// Infinities follow the arithmetic of the extended reals: a finite number added to or taken
// from an infinity leaves that infinity, ∞ − ∞, ∞ × 0 and ∞ ÷ ∞ have no value, a finite number
// divided by an infinity is 0, and a product's sign comes from both operands. Not-a-number is
// treated as a missing operand in sums and differences (so a line that refers to an empty line
// still adds up) and poisons everything else.
#include "NBFExpressionNodeEvaluatorInternal.h"

namespace NBF::evaluator {

namespace {

NBFValueRef special(NBFNumberSpecialType type) {
    return NBFValueCreate_TransferOwnership(NBFNumberCreateSpecial(type));
}

NBFValueRef infinityOfSign(int sign) {
    return special(sign < 0 ? NBFNumberSpecialTypeNegativeInfinity : NBFNumberSpecialTypeInfinity);
}

NBFNumberSpecialType specialTypeOf(NBFValueRef value) {
    NBFNumberRef number = NBFValueGetNumber(value);
    if (!number) return NBFNumberSpecialTypeNone;
    if (NBFNumberGetType(number) != NBFNumberTypeSpecial) return NBFNumberSpecialTypeNone;
    NBFNumberSpecialType type = NBFNumberGetSpecialType(number);
    // A special number of no known kind has no value either.
    return type == NBFNumberSpecialTypeNone ? NBFNumberSpecialTypeNaN : type;
}

bool isInfinity(NBFNumberSpecialType type) {
    return type == NBFNumberSpecialTypeInfinity || type == NBFNumberSpecialTypeNegativeInfinity;
}

// -1, 0 or 1: the sign of an infinity or of an ordinary number.
int signOf(NBFValueRef value) {
    switch (specialTypeOf(value)) {
        case NBFNumberSpecialTypeInfinity:
            return 1;
        case NBFNumberSpecialTypeNegativeInfinity:
            return -1;
        case NBFNumberSpecialTypeNone: {
            M_APM number = NBFNumberGetMAPMReference(NBFValueGetNumber(value));
            return number ? m_apm_sign_mt(number) : 0;
        }
        default:
            return 0;
    }
}

NBFValueRef infinityResult(NBFValueRef left, NBFValueRef right, NBFOperatorType operatorType,
                           NBFEvaluationError* error, bool* failed) {
    bool leftInfinite = isInfinity(specialTypeOf(left));
    bool rightInfinite = right && isInfinity(specialTypeOf(right));
    int leftSign = signOf(left);
    int rightSign = right ? signOf(right) : 0;
    switch (operatorType) {
        case NBFOperatorTypeAdd:
        case NBFOperatorTypeSubtract: {
            if (operatorType == NBFOperatorTypeSubtract) rightSign = -rightSign;
            if (leftInfinite && rightInfinite) {
                return leftSign == rightSign ? infinityOfSign(leftSign)
                                             : special(NBFNumberSpecialTypeNaN);
            }
            return infinityOfSign(leftInfinite ? leftSign : rightSign);
        }
        case NBFOperatorTypeMultiply:
            if (leftSign == 0 || rightSign == 0) return special(NBFNumberSpecialTypeNaN);
            return infinityOfSign(leftSign * rightSign);
        case NBFOperatorTypeDivide:
            if (leftInfinite && rightInfinite) return special(NBFNumberSpecialTypeNaN);
            if (rightInfinite)
                return NBFValueCreate_TransferOwnership(
                    NBFNumberCreateWithInt32(0, NBFNumberTypeNumber));
            if (rightSign == 0) {
                *error = NBFEvaluationErrorDivisionByZero;
                *failed = true;
                return nullptr;
            }
            return infinityOfSign(leftSign * rightSign);
        case NBFOperatorTypeUnaryMinus:
            return infinityOfSign(-leftSign);
        case NBFOperatorTypeUnaryPlus:
        case NBFOperatorTypePercent:
            return infinityOfSign(leftSign);
        default:
            // Powers, conversions, modulo and factorial of an infinity have no value.
            return special(NBFNumberSpecialTypeNaN);
    }
}

}  // namespace

bool isSpecial(NBFValueRef value) { return specialTypeOf(value) != NBFNumberSpecialTypeNone; }

NBFValueRef specialNumberResult(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                NBFValueRef right, NBFOperatorType operatorType,
                                NBFEvaluationError* error, bool* failed) {
    *failed = false;
    NBFNumberSpecialType leftType = specialTypeOf(left);
    NBFNumberSpecialType rightType = right ? specialTypeOf(right) : NBFNumberSpecialTypeNone;
    if (leftType == NBFNumberSpecialTypeNone && rightType == NBFNumberSpecialTypeNone) {
        return nullptr;
    }
    if (leftType != NBFNumberSpecialTypeNaN && rightType != NBFNumberSpecialTypeNaN) {
        return infinityResult(left, right, operatorType, error, failed);
    }
    bool rightOrdinary = right && rightType == NBFNumberSpecialTypeNone;
    if (leftType == NBFNumberSpecialTypeNaN && rightOrdinary) {
        if (operatorType == NBFOperatorTypeSubtract) {
            NBFValueRef negated = NBFExpressionNodeEvaluatorUnaryMinus(evaluator, right, error);
            *failed = !negated;
            return negated;
        }
        if (operatorType == NBFOperatorTypeAdd) return NBFValueRetain(right);
    }
    if (leftType == NBFNumberSpecialTypeNone && rightType == NBFNumberSpecialTypeNaN &&
        (operatorType == NBFOperatorTypeAdd || operatorType == NBFOperatorTypeSubtract)) {
        return NBFValueRetain(left);
    }
    return special(NBFNumberSpecialTypeNaN);
}

}  // namespace NBF::evaluator
