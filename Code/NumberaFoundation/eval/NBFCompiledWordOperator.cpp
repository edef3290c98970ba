#include "NBFCompiledWordOperator.h"

#include "NBFExpressionNodeEvaluator.h"

NBFCompiledWordOperatorRef NBFCompiledWordOperatorCreate(NBFExpressionNodeRef root) {
    if (!root) return nullptr;
    auto* compiled = new NBFCompiledWordOperator();
    compiled->tree = NBF::ExpressionTree::create(root);
    return compiled;
}

NBFCompiledWordOperator::~NBFCompiledWordOperator() {
    NBF::release(tree);
    for (NBFExpressionTokenRef token : tokens) NBFExpressionTokenRelease(token);
}

NBFCompiledWordOperatorRef NBFCompiledWordOperatorRetain(NBFCompiledWordOperatorRef compiled) {
    return NBF::retain(compiled);
}

void NBFCompiledWordOperatorRelease(NBFCompiledWordOperatorRef compiled) { NBF::release(compiled); }

NBFExpressionNodeRef NBFCompiledWordOperatorGetRootNode(NBFCompiledWordOperatorRef compiled) {
    return compiled ? compiled->tree->root() : nullptr;
}

NBFValueRef NBFCompiledWordOperatorExecute(NBFCompiledWordOperatorRef compiled,
                                           NBFExpressionNodeEvaluator* evaluator,
                                           NBFEvaluationContextRef evaluationContext,
                                           NBFValueRef firstOperand, NBFValueRef secondOperand) {
    if (!compiled || !evaluator) return nullptr;
    auto copy = NBF::Ref<NBFEvaluationContext>::adopt(
        evaluationContext ? NBFEvaluationContextCreateCopy(evaluationContext)
                          : NBFEvaluationContextCreate(NBFTrigonometryModeRadians));
    const NBFValueRef operands[2] = {firstOperand, secondOperand};
    copy->wordOperatorOperands = operands;
    NBFValueRef value = NBFExpressionNodeEvaluatorEvaluate(evaluator, compiled->tree, copy.get());
    if (evaluationContext && copy->evaluationError != NBFEvaluationErrorNone) {
        evaluationContext->evaluationError = copy->evaluationError;
    }
    return value;
}
