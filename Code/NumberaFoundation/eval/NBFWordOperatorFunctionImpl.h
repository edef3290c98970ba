// The functions "_op1" and "_op2" through which a word operator's compiled template reads its
// two operands from the evaluation context.
#ifndef NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_FUNCTION_IMPL_H
#define NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_FUNCTION_IMPL_H

#include "NBFFunction.h"
#include "NBFFunctionList.h"

class NBFWordOperatorFunctionImpl : public NBFFunctionImplementation {
  public:
    // 0 reads the first operand, 1 the second.
    explicit NBFWordOperatorFunctionImpl(int32_t operandIndex) : m_operandIndex(operandIndex) {}
    // The operand, retained; null outside a word operator's evaluation or for a missing
    // operand. An index other than 0 or 1 is logged.
    NBFValueRef execute(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
                        NBFEvaluationContextRef evaluationContext,
                        NBFEvalMetadataRef* metadataOut) override;
    NBFFunctionImplementationType type() const override {
        return kNBFFunctionImplementationTypeWordOperator;
    }

  private:
    const int32_t m_operandIndex;
};

// A new list holding "_op1" and "_op2", with the given parent (retained; may be null).
NBFFunctionListRef NBFWordOperatorOperandFunctionListCreate(NBFFunctionListRef parent);

#endif
