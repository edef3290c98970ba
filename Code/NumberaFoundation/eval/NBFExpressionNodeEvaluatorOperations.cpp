// The operators of expression nodes: arithmetic with percentages, powers, times-ten powers,
// modulo and the unary operators.
//
// A body leaves its number in register 0 of the evaluator's MAPM context and answers the
// number type of the result (0 for a failure, with the reason in the error, or the special
// type for not-a-number). Sums and products are exact; quotients, roots and non-integer
// powers are rounded to the context's precision.
#include <charconv>
#include <cmath>
#include <cstring>

#include "NBFErrorLog.h"
#include "NBFExpressionNodeEvaluatorInternal.h"
#include "NBFMathInternal.h"

using NBF::math::Lock;
using namespace NBF::evaluator;

namespace {

constexpr NBFNumberType kFailed = 0;
// The factorial operator computes what the factorial function does: below 100 000. The layer
// would compute factorials far larger, and slowly.
constexpr int kLargestFactorialExponent = 4;

int digitsOf(NBFExpressionNodeEvaluatorRef evaluator) {
    return NBF::math::digitsOf(evaluator->mapmContext);
}

M_APM reg(NBFExpressionNodeEvaluatorRef evaluator, int index) {
    return evaluator->mapmContext->registers[index];
}

bool isPercentage(NBFNumberRef number) {
    return NBFNumberGetType(number) == NBFNumberTypePercentage;
}

bool isPlain(NBFNumberRef number) { return NBFNumberGetType(number) == NBFNumberTypeNumber; }

bool isOrdinary(NBFNumberRef number) { return isPlain(number) || isPercentage(number); }

NBFNumberType unexpectedType(NBFNumberRef left, NBFNumberRef right) {
    NBFNumberRef odd = isOrdinary(left) ? right : left;
    NBF_LOG_ERROR("Unexpected type %d", static_cast<int>(NBFNumberGetType(odd)));
    return kFailed;
}

// r0 = n × (1 ± p ÷ 100). Needs the lock.
void scaleByPercent(NBFExpressionNodeEvaluatorRef evaluator, M_APM n, M_APM p, bool adding) {
    m_apm_multiply(reg(evaluator, 1), p, NBF_MAPM_0_01);
    if (adding) {
        m_apm_add(reg(evaluator, 2), MM_One, reg(evaluator, 1));
    } else {
        m_apm_subtract(reg(evaluator, 2), MM_One, reg(evaluator, 1));
    }
    m_apm_multiply(reg(evaluator, 0), n, reg(evaluator, 2));
}

// Add and subtract. A percentage added to a number scales it (10 + 5 % is 10.5); a number
// after a percentage reads the percentage as its fraction (5 % + 10 is 10.05).
NBFNumberType sumBody(NBFExpressionNodeEvaluatorRef evaluator, bool adding, NBFNumberRef left,
                      NBFNumberRef right) {
    if (!isOrdinary(left) || !isOrdinary(right)) return unexpectedType(left, right);
    M_APM l = NBFNumberGetMAPMReference(left);
    M_APM r = NBFNumberGetMAPMReference(right);
    M_APM r0 = reg(evaluator, 0);
    auto apply = [adding](M_APM result, M_APM a, M_APM b) {
        adding ? m_apm_add(result, a, b) : m_apm_subtract(result, a, b);
    };
    if (isPercentage(left) && isPercentage(right)) {
        apply(r0, l, r);
        return NBFNumberTypePercentage;
    }
    if (isPercentage(left)) {
        m_apm_multiply(reg(evaluator, 1), l, NBF_MAPM_0_01);
        apply(r0, reg(evaluator, 1), r);
    } else if (isPercentage(right)) {
        scaleByPercent(evaluator, l, r, adding);
    } else {
        apply(r0, l, r);
    }
    return NBFNumberTypeNumber;
}

NBFNumberType productBody(NBFExpressionNodeEvaluatorRef evaluator, NBFNumberRef left,
                          NBFNumberRef right) {
    if (!isOrdinary(left) || !isOrdinary(right)) return unexpectedType(left, right);
    M_APM r0 = reg(evaluator, 0);
    m_apm_multiply(r0, NBFNumberGetMAPMReference(left), NBFNumberGetMAPMReference(right));
    int percentages = isPercentage(left) + isPercentage(right);
    if (percentages > 0) m_apm_multiply(r0, r0, NBF_MAPM_0_01);
    return percentages == 2 ? NBFNumberTypePercentage : NBFNumberTypeNumber;
}

NBFNumberType quotientBody(NBFExpressionNodeEvaluatorRef evaluator, NBFNumberRef left,
                           NBFNumberRef right, NBFEvaluationError* error) {
    if (!isOrdinary(left) || !isOrdinary(right)) return unexpectedType(left, right);
    M_APM r = NBFNumberGetMAPMReference(right);
    if (m_apm_sign(r) == 0) {
        *error = NBFEvaluationErrorDivisionByZero;
        return kFailed;
    }
    M_APM r0 = reg(evaluator, 0);
    m_apm_divide(r0, digitsOf(evaluator), NBFNumberGetMAPMReference(left), r);
    if (isPercentage(left) && !isPercentage(right)) return NBFNumberTypePercentage;  // 50 % ÷ 2
    if (!isPercentage(left) && isPercentage(right)) m_apm_multiply(r0, r0, NBF_MAPM_100);
    return NBFNumberTypeNumber;
}

// Loads both operands as fractions into registers 1 and 2. Needs the lock.
bool loadFractions(NBFExpressionNodeEvaluatorRef evaluator, NBFNumberRef left, NBFNumberRef right) {
    if (!isOrdinary(left) || !isOrdinary(right)) {
        unexpectedType(left, right);
        return false;
    }
    NBF::math::loadAsFraction(reg(evaluator, 1), left);
    NBF::math::loadAsFraction(reg(evaluator, 2), right);
    return true;
}

bool exponentTooLarge(NBFExpressionNodeEvaluatorRef evaluator, M_APM exponent) {
    return m_apm_sign(exponent) != 0 && m_apm_exponent(exponent) >= evaluator->exponentLimit;
}

// A negative base takes only whole exponents: (-8)^(1/3) has no real value here, whichever
// way the exponent was written.
NBFNumberType powerBody(NBFExpressionNodeEvaluatorRef evaluator, NBFNumberRef left,
                        NBFNumberRef right, NBFEvaluationError* error) {
    if (!loadFractions(evaluator, left, right)) return kFailed;
    M_APM base = reg(evaluator, 1);
    M_APM exponent = reg(evaluator, 2);
    M_APM r0 = reg(evaluator, 0);
    if (exponentTooLarge(evaluator, exponent)) {
        *error = NBFEvaluationErrorExponentTooLarge;
        return kFailed;
    }
    int baseSign = m_apm_sign(base);
    int exponentSign = m_apm_sign(exponent);
    if (baseSign == 0) {
        if (exponentSign < 0) {
            *error = NBFEvaluationErrorDivisionByZero;
            return kFailed;
        }
        m_apm_copy(r0, exponentSign == 0 ? MM_One : MM_Zero);
        return NBFNumberTypeNumber;
    }
    bool whole = m_apm_is_integer(exponent);
    if (baseSign < 0 && !whole) return NBFNumberTypeSpecial;
    // Refuse a power beyond the magnitude bound before computing it. The layer would compute
    // it, and the check of the flattened result comes only after a unit's multiplier has been
    // folded in, which could bring it back within the bound.
    double size = NBF::math::approximateDouble(exponent) * NBF::math::log10Magnitude(base);
    if (std::fabs(size) > NBFEvaluationMagnitudeLimit + 2) {
        *error = NBFEvaluationErrorExponentTooLarge;
        return kFailed;
    }
    if (whole) {
        char text[32];
        m_apm_to_integer_string(text, exponent);
        int n = 0;  // below 10^6 in size, checked above
        std::from_chars(text, text + std::strlen(text), n);
        m_apm_integer_pow(r0, digitsOf(evaluator), base, n);
    } else {
        m_apm_pow(r0, digitsOf(evaluator), base, exponent);
    }
    return NBFNumberTypeNumber;
}

NBFNumberType e10Body(NBFExpressionNodeEvaluatorRef evaluator, NBFNumberRef left,
                      NBFNumberRef right, NBFEvaluationError* error) {
    if (!loadFractions(evaluator, left, right)) return kFailed;
    M_APM x = reg(evaluator, 1);
    M_APM e = reg(evaluator, 2);
    M_APM r0 = reg(evaluator, 0);
    if (exponentTooLarge(evaluator, e)) {
        *error = NBFEvaluationErrorExponentTooLarge;
        return kFailed;
    }
    // 0 × 10^e is 0 for every e: nothing is divided by zero here. Within the exponent limit
    // checked above, e's digits fit the text below.
    if (m_apm_is_integer(e)) {
        char text[40] = "1E";
        m_apm_to_integer_string(text + 2, e);
        m_apm_set_string(r0, text);  // exact
    } else {
        m_apm_pow(r0, digitsOf(evaluator), MM_Ten, e);
    }
    m_apm_multiply(r0, x, r0);
    return NBFNumberTypeNumber;
}

// a - trunc(a / b) * b on the operands as they are (5.5 mod 2 is 1.5), with the left's sign.
NBFNumberType moduloBody(NBFExpressionNodeEvaluatorRef evaluator, NBFNumberRef left,
                         NBFNumberRef right, NBFEvaluationError* error) {
    if (!isOrdinary(left) || !isOrdinary(right)) return unexpectedType(left, right);
    if (m_apm_significant_digits(NBFNumberGetMAPMReference(left)) >= digitsOf(evaluator)) {
        *error = NBFEvaluationErrorModuloPrecision;
        return kFailed;
    }
    loadFractions(evaluator, left, right);
    M_APM divisor = reg(evaluator, 2);
    if (m_apm_sign(divisor) == 0) {
        *error = NBFEvaluationErrorDivisionByZero;
        return kFailed;
    }
    m_apm_integer_div_rem(reg(evaluator, 3), reg(evaluator, 0), reg(evaluator, 1), divisor);
    return NBFNumberTypeNumber;
}

NBFNumberType binaryBody(NBFExpressionNodeEvaluatorRef evaluator, NBFOperatorType operatorType,
                         NBFNumberRef left, NBFNumberRef right, NBFEvaluationError* error) {
    switch (operatorType) {
        case NBFOperatorTypeAdd:
            return sumBody(evaluator, true, left, right);
        case NBFOperatorTypeSubtract:
            return sumBody(evaluator, false, left, right);
        case NBFOperatorTypeMultiply:
            return productBody(evaluator, left, right);
        case NBFOperatorTypeDivide:
            return quotientBody(evaluator, left, right, error);
        case NBFOperatorTypePower:
            return powerBody(evaluator, left, right, error);
        case NBFOperatorTypeE10:
            return e10Body(evaluator, left, right, error);
        case NBFOperatorTypeModulo:
            return moduloBody(evaluator, left, right, error);
        default:
            return kFailed;
    }
}

NBFValueRef binaryOperation(NBFExpressionNodeEvaluatorRef evaluator, NBFOperatorType operatorType,
                            NBFValueRef left, NBFValueRef right, NBFEvaluationError* error) {
    NBFEvaluationError ignored;
    if (!error) error = &ignored;
    *error = NBFEvaluationErrorNone;
    if (!evaluator || !left || !right) return nullptr;
    bool failed = false;
    NBFValueRef special = specialNumberResult(evaluator, left, right, operatorType, error, &failed);
    if (special || failed) return special;
    CoercedOperands operands;
    if (!coerceOperands(evaluator, operatorType, left, right, operands, error)) return nullptr;
    Lock lock;
    NBFNumberType type =
        binaryBody(evaluator, operatorType, operands.left.get(), operands.right.get(), error);
    if (type == kFailed) return nullptr;
    if (type == NBFNumberTypeSpecial) {
        return NBFValueCreate_TransferOwnership(NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN));
    }
    return flattenedValue(reg(evaluator, 0), type, operands.unit.get(), error);
}

// The checks shared by the unary operators: the special rules, then an ordinary number.
// Returns true when *result is the answer already.
bool unaryPrelude(NBFExpressionNodeEvaluatorRef evaluator, NBFOperatorType operatorType,
                  NBFValueRef operand, NBFEvaluationError* error, NBFValueRef* result) {
    *error = NBFEvaluationErrorNone;
    *result = nullptr;
    if (!evaluator || !operand) return true;
    bool failed = false;
    *result = specialNumberResult(evaluator, operand, nullptr, operatorType, error, &failed);
    if (*result || failed) return true;
    NBFNumberRef number = NBFValueGetNumber(operand);
    if (!isOrdinary(number)) {
        unexpectedType(number, number);
        return true;
    }
    return false;
}

// The operand's number replaced by register 0, its type and unit kept. Needs the lock.
NBFValueRef withRegisterZero(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef operand,
                             NBFNumberType type) {
    return NBFValueCreate_TransferOwnership(
        NBFNumberCreateWithMAPM(reg(evaluator, 0), type),
        NBFUnitFractionRetain(NBFValueGetUnitFraction(operand)));
}

}  // namespace

NBFValueRef NBFExpressionNodeEvaluatorAdd(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                          NBFValueRef right, NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypeAdd, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorSubtract(NBFExpressionNodeEvaluatorRef evaluator,
                                               NBFValueRef left, NBFValueRef right,
                                               NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypeSubtract, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorMultiply(NBFExpressionNodeEvaluatorRef evaluator,
                                               NBFValueRef left, NBFValueRef right,
                                               NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypeMultiply, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorDivide(NBFExpressionNodeEvaluatorRef evaluator,
                                             NBFValueRef left, NBFValueRef right,
                                             NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypeDivide, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorPower(NBFExpressionNodeEvaluatorRef evaluator,
                                            NBFValueRef left, NBFValueRef right,
                                            NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypePower, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorE10(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                          NBFValueRef right, NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypeE10, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorMod(NBFExpressionNodeEvaluatorRef evaluator, NBFValueRef left,
                                          NBFValueRef right, NBFEvaluationError* error) {
    return binaryOperation(evaluator, NBFOperatorTypeModulo, left, right, error);
}

NBFValueRef NBFExpressionNodeEvaluatorUnaryMinus(NBFExpressionNodeEvaluatorRef evaluator,
                                                 NBFValueRef operand, NBFEvaluationError* error) {
    NBFEvaluationError ignored;
    if (!error) error = &ignored;
    NBFValueRef result;
    if (unaryPrelude(evaluator, NBFOperatorTypeUnaryMinus, operand, error, &result)) return result;
    NBFNumberRef number = NBFValueGetNumber(operand);
    Lock lock;
    m_apm_negate(reg(evaluator, 0), NBFNumberGetMAPMReference(number));
    return withRegisterZero(evaluator, operand, NBFNumberGetType(number));
}

NBFValueRef NBFExpressionNodeEvaluatorUnaryPlus(NBFExpressionNodeEvaluatorRef evaluator,
                                                NBFValueRef operand, NBFEvaluationError* error) {
    NBFEvaluationError ignored;
    if (!error) error = &ignored;
    NBFValueRef result;
    if (unaryPrelude(evaluator, NBFOperatorTypeUnaryPlus, operand, error, &result)) return result;
    return NBFValueRetain(operand);
}

NBFValueRef NBFExpressionNodeEvaluatorFactorial(NBFExpressionNodeEvaluatorRef evaluator,
                                                NBFValueRef operand, NBFEvaluationError* error) {
    NBFEvaluationError ignored;
    if (!error) error = &ignored;
    NBFValueRef result;
    if (unaryPrelude(evaluator, NBFOperatorTypeFactorial, operand, error, &result)) return result;
    NBFNumberRef number = NBFValueGetNumber(operand);
    M_APM x = NBFNumberGetMAPMReference(number);
    Lock lock;
    // A negative fraction is reported as negative.
    if (m_apm_sign(x) < 0) {
        *error = NBFEvaluationErrorFactorialOfNegative;
        return nullptr;
    }
    if (!m_apm_is_integer(x)) {
        *error = NBFEvaluationErrorFactorialOfNonInteger;
        return nullptr;
    }
    if (m_apm_exponent(x) > kLargestFactorialExponent) {
        *error = NBFEvaluationErrorExponentTooLarge;
        return nullptr;
    }
    m_apm_factorial(reg(evaluator, 0), x);
    return withRegisterZero(evaluator, operand, NBFNumberGetType(number));
}

NBFValueRef NBFExpressionNodeEvaluatorPercent(NBFExpressionNodeEvaluatorRef evaluator,
                                              NBFValueRef operand, NBFEvaluationError* error) {
    NBFEvaluationError ignored;
    if (!error) error = &ignored;
    NBFValueRef result;
    if (unaryPrelude(evaluator, NBFOperatorTypePercent, operand, error, &result)) return result;
    Lock lock;
    m_apm_copy(reg(evaluator, 0), NBFNumberGetMAPMReference(NBFValueGetNumber(operand)));
    return withRegisterZero(evaluator, operand, NBFNumberTypePercentage);
}

NBFValueRef NBFExpressionNodeEvaluatorApplyOperator(NBFExpressionNodeEvaluatorRef evaluator,
                                                    NBFOperatorType operatorType, NBFValueRef left,
                                                    NBFValueRef right, NBFEvaluationError* error) {
    switch (operatorType) {
        case NBFOperatorTypeAdd:
        case NBFOperatorTypeSubtract:
        case NBFOperatorTypeMultiply:
        case NBFOperatorTypeDivide:
        case NBFOperatorTypePower:
        case NBFOperatorTypeE10:
        case NBFOperatorTypeModulo:
            return binaryOperation(evaluator, operatorType, left, right, error);
        case NBFOperatorTypeUnitConversion:
            return NBFExpressionNodeEvaluatorUnitConvert(evaluator, left, right, error);
        case NBFOperatorTypeUnaryMinus:
            return NBFExpressionNodeEvaluatorUnaryMinus(evaluator, left, error);
        case NBFOperatorTypeUnaryPlus:
            return NBFExpressionNodeEvaluatorUnaryPlus(evaluator, left, error);
        case NBFOperatorTypeFactorial:
            return NBFExpressionNodeEvaluatorFactorial(evaluator, left, error);
        case NBFOperatorTypePercent:
            return NBFExpressionNodeEvaluatorPercent(evaluator, left, error);
        default:
            if (error) *error = NBFEvaluationErrorNone;
            NBF_LOG_ERROR("%s",
                          "NBFValueRef NBFExpressionNodeEvaluatorApplyOperator("
                          "NBFExpressionNodeEvaluatorRef, NBFOperatorType, const NBFValueRef, "
                          "const NBFValueRef, NBFEvaluationError *)");
            return nullptr;
    }
}
