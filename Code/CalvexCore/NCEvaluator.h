// Where the core's objects meet the foundation's evaluator: a tokenized expression is
// evaluated with an environment's functions, variables, word operators and units, in the scope
// of the evaluating line, into an NCResult.
#ifndef NUMBERA_CORE_NC_EVALUATOR_H
#define NUMBERA_CORE_NC_EVALUATOR_H

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NBFFunctionList.h"
#include "NCEnvironment.h"
#include "NCEvaluationContext.h"
#include "NCExpression.h"
#include "NCIndex.h"
#include "NCResult.h"
#include "NCSimpleTokenizedExpression.h"
#include "NCTokenizedExpression.h"
#include "NCTrigonometryMode.h"

class NCLine;

class NCEvaluator {
  public:
    NCEvaluator() = default;
    NCEvaluator(std::shared_ptr<NCUnitCollection> units, std::shared_ptr<NCVariableList> variables,
                std::shared_ptr<NCWordOperatorList> wordOperators = nullptr);
    NCEvaluator(const NCEvaluator&) = delete;
    NCEvaluator& operator=(const NCEvaluator&) = delete;

    // The current environment's shared evaluator.
    static std::shared_ptr<NCEvaluator> sharedEvaluator();
    // The built-in functions (standard functions and line references), made once.
    static NBFFunctionListRef builtInFunctions();

    // The complete text of the value; none without a value.
    std::optional<std::u16string> evaluateString(const std::u16string& text);
    // Evaluated with this evaluator's units, variables and word operators, outside any line.
    std::shared_ptr<NCResult> evaluateExpression(const std::shared_ptr<NCExpression>& expression);
    // Without tokens: the empty result. Evaluated in the scope of the context's line (every
    // line without a context).
    std::shared_ptr<NCResult> evaluateTokenizedExpression(NCTokenizedExpression* tokenized,
                                                          const NCEnvironment& environment,
                                                          NCEvaluationContext* context);
    // Plain tokens, analysed and parsed here in the environment's namespace as seen from the
    // context's line. The error slot (may be null) receives the context's evaluator error.
    std::shared_ptr<NCResult> evaluateTokenizedExpression(
        const NCSimpleTokenizedExpression* tokenized, const NCEnvironment& environment,
        NCEvaluationContext* context, int64_t* error);
    // The line's evaluable tokens in its collection's environment (the current environment for
    // a line outside any collection), as the line at its index, in the line's trigonometry mode
    // (this evaluator's when the line has none). The index is on the path while
    // the line is evaluated, so that line references along it can tell a cycle. None without a
    // path.
    std::shared_ptr<NCResult> evaluateLine(NCLine& line, NCIndexPath* path, int64_t* error);

    const std::shared_ptr<NCUnitCollection>& unitManager() const { return m_unitManager; }
    void setUnitManager(std::shared_ptr<NCUnitCollection> units) {
        m_unitManager = std::move(units);
    }
    const std::shared_ptr<NCVariableList>& variableList() const { return m_variableList; }
    void setVariableList(std::shared_ptr<NCVariableList> list) { m_variableList = std::move(list); }
    const std::shared_ptr<NCWordOperatorList>& wordOperators() const { return m_wordOperators; }
    void setWordOperators(std::shared_ptr<NCWordOperatorList> list) {
        m_wordOperators = std::move(list);
    }
    NCTrigonometryMode trigMode() const { return m_trigMode.load(); }
    void setTrigMode(NCTrigonometryMode mode) { m_trigMode.store(mode); }

  private:
    std::shared_ptr<NCResult> evaluateInMode(const NCSimpleTokenizedExpression* tokenized,
                                             const NCEnvironment& environment,
                                             NCEvaluationContext* context, int64_t* error,
                                             NCTrigonometryMode mode,
                                             NCTokenizedExpression* analysisTarget = nullptr);

    std::shared_ptr<NCVariableList> m_variableList;
    std::shared_ptr<NCUnitCollection> m_unitManager;
    std::shared_ptr<NCWordOperatorList> m_wordOperators;
    // Atomic: a shared evaluator may be read on several threads.
    std::atomic<NCTrigonometryMode> m_trigMode{NCTrigonometryModeRadians};
    std::mutex mutex;
};

#endif
