#include "NCLineEvaluator.h"

#include <unordered_set>
#include <vector>

#include "NBFEvaluationError.h"
#include "NBFResult.h"
#include "NCBuiltins.h"
#include "NCEvaluator.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCLineExpressionParser.h"

std::shared_ptr<NCEnvironment> NCLineEvaluator::environmentForLine(const NCLine& line) {
    NCLineCollection* collection = line._lineCollection();
    if (collection)
        if (std::shared_ptr<NCEnvironment> environment = collection->environment())
            return environment;
    return NCEnvironment::current();
}

namespace {

// A reference to the line itself or around a cycle: whatever arithmetic made of the missing
// value, the line's answer is an error.
bool isReferenceError(int64_t error) {
    return error == NCLineReferenceSelfReferenceError || error == NCLineReferenceCycleError ||
           error == NCLineReferenceTooDeepError;
}

std::shared_ptr<NCResult> generalErrorResult() {
    NBFResultRef failure = NBFResultCreate();
    NBFResultSetEvaluationError(failure, NBFEvaluationErrorMissingOperand);
    auto result = std::make_shared<NCResult>(failure);
    NBFResultRelease(failure);
    return result;
}

// The lines of the collection this line refers to that have no answer yet.
std::vector<std::shared_ptr<NCLine>> unevaluatedTargets(NCLine& line) {
    std::vector<std::shared_ptr<NCLine>> targets;
    NCLineCollection* collection = line._lineCollection();
    if (!collection) return targets;
    std::optional<NCIndexSet> indexes = line.directLineReferenceIndexes();
    if (!indexes) return targets;
    for (const auto& index : *indexes) {
        if (index->integerValue() < 0) continue;
        std::shared_ptr<NCLine> target =
            collection->lineAtIndex(static_cast<uint64_t>(index->integerValue()));
        if (target && target.get() != &line && !target->isEvaluated()) targets.push_back(target);
    }
    return targets;
}

// Evaluates what the line refers to, transitively, targets before the lines that use them, so
// that no chain of references is evaluated nested inside one another. Iterative: a chain may
// be as long as the document.
void evaluateTargetsFirst(NCLine& line) {
    struct Entry {
        std::shared_ptr<NCLine> line;
        bool expanded;
    };
    std::vector<Entry> stack;
    std::unordered_set<const NCLine*> seen{&line};
    for (auto& target : unevaluatedTargets(line))
        if (seen.insert(target.get()).second) stack.push_back({target, false});
    while (!stack.empty()) {
        if (!stack.back().expanded) {
            stack.back().expanded = true;
            std::shared_ptr<NCLine> current = stack.back().line;
            for (auto& target : unevaluatedTargets(*current))
                if (seen.insert(target.get()).second) stack.push_back({target, false});
            continue;
        }
        std::shared_ptr<NCLine> done = std::move(stack.back().line);
        stack.pop_back();
        if (done->isEvaluated()) continue;  // reached on demand through a cycle
        NCIndexPath path;
        NCLineEvaluator::evaluateLine(*done, &path, nullptr);
    }
}

}  // namespace

void NCLineEvaluator::evaluateLines(const std::vector<std::shared_ptr<NCLine>>& lines) {
    for (const auto& line : lines)
        if (line) line->invalidateResult();
    for (const auto& line : lines)
        if (line && !line->isEvaluated()) evaluateLine(*line);
}

void NCLineEvaluator::evaluateLine(NCLine& line) {
    evaluateTargetsFirst(line);
    NCIndexPath path;
    int64_t error = 0;
    evaluateLine(line, &path, &error);
}

void NCLineEvaluator::evaluateLine(NCLine& line, NCIndexPath* path, int64_t* error) {
    // Classified as text without being read: its answer says it was not evaluated.
    if (line.expression() && isOverlongText(line.expression()->originalString())) {
        line.setEvaluationError(0);
        line.setResult(generalErrorResult());
        return;
    }
    std::shared_ptr<NCExpression> evaluable = line.evaluableExpression();
    if (!evaluable || line.lineType() == NCLineExpressionTypePlainText) {
        line.setEvaluationError(0);
        line.setResult(NCResult::emptyResult());
        return;
    }
    if (evaluable->isEmpty()) {
        line.setEvaluationError(0);
        line.setResult(NCResult::resultWithRawResultString(std::nullopt));
        return;
    }
    std::shared_ptr<NCEnvironment> environment = environmentForLine(line);
    if (!line.isParsed() && line.lineExpression())
        NCLineExpressionParser(environment).parseLineExpression(*line.lineExpression());
    std::shared_ptr<NCEvaluator> evaluator = NCEvaluator::sharedEvaluator();
    if (!evaluator)
        evaluator =
            std::make_shared<NCEvaluator>(environment ? environment->unitManager() : nullptr,
                                          environment ? environment->variables() : nullptr,
                                          environment ? environment->wordOperators() : nullptr);
    // The line's mode goes with the line, not into the shared evaluator: documents evaluated
    // on other threads share that evaluator.
    // A reference back to this line while it is evaluated must not read its old answer: the
    // line is on the path and the reference is a cycle.
    line.invalidateResult();
    int64_t evaluationError = 0;
    std::shared_ptr<NCResult> result = evaluator->evaluateLine(line, path, &evaluationError);
    line.setEvaluationError(evaluationError);
    if (error) *error = evaluationError;
    if (isReferenceError(evaluationError)) result = generalErrorResult();
    line.setResult(result ? result : NCResult::emptyResult());
}
