// The built-in word operators, functions and variables an environment is made from. The
// functions are the standard ones and the five functions that line references are written as.
#ifndef NUMBERA_CORE_NC_BUILTINS_H
#define NUMBERA_CORE_NC_BUILTINS_H

#include <memory>

#include "NBFEvaluationContext.h"
#include "NBFMAPMContext.h"
#include "NBFValue.h"
#include "NCFunctionList.h"
#include "NCVariableList.h"
#include "NCWordOperatorList.h"

class NCBuiltins {
  public:
    static std::shared_ptr<NCWordOperatorList> wordOperators();
    static std::shared_ptr<NCFunctionList> functions();
    // A new list over the standard variables (pi, e).
    static std::shared_ptr<NCVariableList> variables();
};

// Set on the evaluation context when a line refers to itself.
constexpr int64_t NCLineReferenceSelfReferenceError = 0x1000001;
// Set when a reference leads back to a line being evaluated.
constexpr int64_t NCLineReferenceCycleError = 0x1000002;
// Set when references nest deeper than lines are evaluated on demand.
constexpr int64_t NCLineReferenceTooDeepError = 0x1000003;

// The referenced line's answer with its unit and name formats; not-a-number for a missing,
// empty, erroneous or self-referring target, a target on a reference cycle, or an argument
// that is not a 32-bit integer. A target without an answer yet is evaluated along the path.
// No value outside a line's evaluation.
NBFEvaluatedValueRef NCLineReferenceFunction_relative(const NBFValueRef* arguments, int32_t count,
                                                      NBFMAPMContextRef mapmContext,
                                                      NBFEvaluationContextRef evaluationContext);
NBFEvaluatedValueRef NCLineReferenceFunction_absolute(const NBFValueRef* arguments, int32_t count,
                                                      NBFMAPMContextRef mapmContext,
                                                      NBFEvaluationContextRef evaluationContext);
NBFEvaluatedValueRef NCLineReferenceFunction_absolute_line_number(
    const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
    NBFEvaluationContextRef evaluationContext);
NBFEvaluatedValueRef NCLineReferenceFunction_null(const NBFValueRef* arguments, int32_t count,
                                                  NBFMAPMContextRef mapmContext,
                                                  NBFEvaluationContextRef evaluationContext);

#endif
