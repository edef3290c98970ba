#include "NBFCompiledWordOperator.h"

#include "NBFExpressionNodeEvaluator.h"

NBFCompiledWordOperatorRef NBFCompiledWordOperatorCreate(NBFExpressionNodeRef root) {
    if (!root) return nullptr;
    auto* compiled = new NBFCompiledWordOperator();
    compiled->tree = NBF::ExpressionTree::create(root);
    return compiled;
}

NBFCompiledWordOperatorRef NBFCompiledWordOperatorRetain(NBFCompiledWordOperatorRef compiled) {
    if (compiled) compiled->refCount.fetch_add(1, std::memory_order_relaxed);
    return compiled;
}

void NBFCompiledWordOperatorRelease(NBFCompiledWordOperatorRef compiled) {
    if (!compiled || compiled->refCount.fetch_sub(1, std::memory_order_acq_rel) > 1) return;
    NBF::release(compiled->tree);
    for (NBFExpressionTokenRef token : compiled->tokens) NBFExpressionTokenRelease(token);
    delete compiled;
}

NBFExpressionNodeRef NBFCompiledWordOperatorGetRootNode(NBFCompiledWordOperatorRef compiled) {
    return compiled ? compiled->tree->root() : nullptr;
}

NBFValueRef NBFCompiledWordOperatorExecute(NBFCompiledWordOperatorRef compiled,
                                           NBFExpressionNodeEvaluator* evaluator,
                                           NBFEvaluationContextRef evaluationContext,
                                           NBFValueRef firstOperand, NBFValueRef secondOperand) {
    if (!compiled || !evaluator) return nullptr;
    NBFEvaluationContextRef copy = evaluationContext
                                       ? NBFEvaluationContextCreateCopy(evaluationContext)
                                       : NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
    const NBFValueRef operands[2] = {firstOperand, secondOperand};
    copy->wordOperatorOperands = operands;
    NBFValueRef value = NBFExpressionNodeEvaluatorEvaluate(evaluator, compiled->tree, copy);
    if (evaluationContext && copy->evaluationError != NBFEvaluationErrorNone) {
        evaluationContext->evaluationError = copy->evaluationError;
    }
    NBFEvaluationContextRelease(copy);
    return value;
}
