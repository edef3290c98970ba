// Bitwise operations on the binary digits of whole numbers.
#include "NBFMathInternal.h"

using namespace NBF::math;

namespace {

// Operands of this decimal exponent or more (about 3300 bits) are refused: each bit costs a
// division of the whole number.
constexpr int kLargestOperandExponent = 1000;

enum class Operation { Or, And, Xor, Not };

bool bitOf(Operation operation, bool x, bool y) {
    switch (operation) {
        case Operation::Or:
            return x || y;
        case Operation::And:
            return x && y;
        case Operation::Xor:
            return x != y;
        case Operation::Not:
            return !x;
    }
    return false;
}

// Walks the bits of floor(a) and floor(b) from the lowest up to the highest set bit of
// either (at least one position, so not(0) is 1). Negative operands have no such bits and
// give not-a-number.
M_APM bitwise(M_APM* reversed, uint8_t count, int operands, Operation operation, uint32_t* flags) {
    if (!reversed || count < operands) {
        if (flags) *flags |= NBFMathFlagNotANumber;
        return nullptr;
    }
    Lock lock;
    M_APM x = m_apm_init();
    M_APM y = m_apm_init();
    m_apm_floor(x, reversed[count - 1]);
    if (operands == 2) m_apm_floor(y, reversed[count - 2]);
    uint32_t refusal = 0;
    if (m_apm_sign(x) < 0 || m_apm_sign(y) < 0) refusal = NBFMathFlagNotANumber;
    if (m_apm_exponent(x) >= kLargestOperandExponent ||
        m_apm_exponent(y) >= kLargestOperandExponent) {
        refusal = NBFMathFlagExponentTooLarge;
    }
    if (refusal) {
        m_apm_free(x);
        m_apm_free(y);
        if (flags) *flags |= refusal;
        return nullptr;
    }
    M_APM result = m_apm_init();
    M_APM bit = m_apm_init();
    M_APM xBit = m_apm_init();
    M_APM yBit = m_apm_init();
    m_apm_copy(bit, MM_One);
    do {
        m_apm_integer_div_rem(x, xBit, x, MM_Two);
        m_apm_integer_div_rem(y, yBit, y, MM_Two);
        if (bitOf(operation, m_apm_sign(xBit) != 0, m_apm_sign(yBit) != 0)) {
            m_apm_add(result, result, bit);
        }
        m_apm_multiply(bit, bit, MM_Two);
    } while (m_apm_sign(x) != 0 || m_apm_sign(y) != 0);
    m_apm_free(x);
    m_apm_free(y);
    m_apm_free(bit);
    m_apm_free(xBit);
    m_apm_free(yBit);
    return result;
}

}  // namespace

M_APM NBFMAPM_bitwise_or(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return bitwise(reversed, count, 2, Operation::Or, flags);
}

M_APM NBFMAPM_bitwise_and(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return bitwise(reversed, count, 2, Operation::And, flags);
}

M_APM NBFMAPM_bitwise_xor(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return bitwise(reversed, count, 2, Operation::Xor, flags);
}

M_APM NBFMAPM_bitwise_not(M_APM* reversed, uint8_t count, void*, int32_t, uint32_t* flags) {
    return bitwise(reversed, count, 1, Operation::Not, flags);
}
