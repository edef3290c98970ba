// Classifies a line's text and evaluates it in its environment, in the scope of the line's
// index, so that each line sees the variable values declared for it.
#ifndef NUMBERA_CORE_NC_LINE_EVALUATOR_H
#define NUMBERA_CORE_NC_LINE_EVALUATOR_H

#include <memory>

#include "NCEnvironment.h"
#include "NCLineExpression.h"
#include "NCResult.h"
#include "NCTrigonometryMode.h"

class NCLineCollection;

class NCLineEvaluator {
  public:
    // The precision at which line variables take their values from results.
    static constexpr int32_t evaluationPrecision() { return 102; }

    // Normal expression, well-formed declaration (name trimmed, value after the "="), or
    // plain text for no text and for a malformed declaration.
    static std::shared_ptr<NCAbstractLineExpression> lineExpressionForExpression(
        const std::shared_ptr<NCExpression>& expression,
        const std::shared_ptr<NCEnvironment>& environment);

    // Plain text and lines without an evaluable part: the empty result; an empty evaluable
    // part: a raw result without text; otherwise the evaluation as line `lineIndex`.
    static std::shared_ptr<NCResult> evaluateLineExpression(
        const NCAbstractLineExpression& lineExpression, int64_t lineIndex,
        NCLineCollection* lineCollection, const std::shared_ptr<NCEnvironment>& environment,
        NCTrigonometryMode trigonometryMode);
};

#endif
