// A word operator's template compiled into an expression tree, and its execution with two
// operand values.
//
// The tree is only read while it is evaluated (each evaluation keeps the node values in storage
// of its own), so one compiled operator serves evaluators on any number of threads at once.
#ifndef NUMBERA_FOUNDATION_NBF_COMPILED_WORD_OPERATOR_H
#define NUMBERA_FOUNDATION_NBF_COMPILED_WORD_OPERATOR_H

#include <cstdint>

#include "NBFEvaluationContext.h"
#include "NBFExpressionToken.h"
#include "NBFExpressionTree.h"
#include "NBFObject.h"
#include "NBFValue.h"
#include "NBFWordOperator.h"

struct NBFExpressionNodeEvaluator;

struct NBFCompiledWordOperator : NBF::Object<NBFCompiledWordOperator> {
    ~NBFCompiledWordOperator() override;
    NBFExpressionTreeRef tree = nullptr;  // retained
    // The tokens the tree's nodes were made from, kept (retained) as long as the tree.
    NBFExpressionTokenVector tokens;
};
typedef NBFCompiledWordOperator* NBFCompiledWordOperatorRef;

// A tree over the root (retained); null for a null root.
NBFCompiledWordOperatorRef NBFCompiledWordOperatorCreate(NBFExpressionNodeRef root);
NBFCompiledWordOperatorRef NBFCompiledWordOperatorRetain(NBFCompiledWordOperatorRef compiled);
void NBFCompiledWordOperatorRelease(NBFCompiledWordOperatorRef compiled);
NBFExpressionNodeRef NBFCompiledWordOperatorGetRootNode(NBFCompiledWordOperatorRef compiled);

// Evaluates the template with "${1}" and "${2}" standing for the operands (either may be null)
// in a copy of the evaluation context. An error of that evaluation ("5 per 0") becomes the
// caller's error. A new value, or null.
NBFValueRef NBFCompiledWordOperatorExecute(NBFCompiledWordOperatorRef compiled,
                                           NBFExpressionNodeEvaluator* evaluator,
                                           NBFEvaluationContextRef evaluationContext,
                                           NBFValueRef firstOperand, NBFValueRef secondOperand);

// The operator's template compiled on the first request, once even when threads ask together;
// later requests answer the same object (borrowed). Null when the template does not compile.
NBFCompiledWordOperatorRef NBFWordOperatorGetCompiled(NBFWordOperatorRef wordOperator);

#endif
