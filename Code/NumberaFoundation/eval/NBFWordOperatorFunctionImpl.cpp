#include "NBFWordOperatorFunctionImpl.h"

#include "NBFErrorLog.h"

NBFValueRef NBFWordOperatorFunctionImpl::execute(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                                                 NBFEvaluationContextRef evaluationContext,
                                                 NBFEvalMetadataRef*) {
    if (!evaluationContext || !evaluationContext->wordOperatorOperands) return nullptr;
    if (m_operandIndex != 0 && m_operandIndex != 1) {
        NBF_LOG_ERROR("%s", "Error selecting word operator operand");
        return nullptr;
    }
    return NBFValueRetain(evaluationContext->wordOperatorOperands[m_operandIndex]);
}

NBFFunctionListRef NBFWordOperatorOperandFunctionListCreate(NBFFunctionListRef parent) {
    NBFFunctionListRef list = NBFFunctionListCreate();
    const char* names[] = {"_op1", "_op2"};
    for (int32_t index = 0; index < 2; ++index) {
        auto function =
            NBF::Ref<NBFFunction>::adopt(NBFFunctionCreateWithName(std::string(names[index]), 0));
        NBFFunctionSetFunctionImplementation(function.get(),
                                             new NBFWordOperatorFunctionImpl(index));
        NBFFunctionListAddFunction(list, function.get());
    }
    NBFFunctionListSetParentList(list, parent);
    return list;
}
