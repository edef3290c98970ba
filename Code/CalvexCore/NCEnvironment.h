// What an evaluation or a tokenisation needs: units, variables, word operators, functions and
// the number locale. One environment is the process's current one; documents have their own
// over it. Once set, an environment no longer changes.
#ifndef NUMBERA_CORE_NC_ENVIRONMENT_H
#define NUMBERA_CORE_NC_ENVIRONMENT_H

#include <memory>
#include <mutex>

#include "NCFunctionList.h"
#include "NCSimpleLocale.h"
#include "NCUnitCollection.h"
#include "NCVariableList.h"
#include "NCWordOperatorList.h"

class NCEvaluator;

class NCEnvironment : public std::enable_shared_from_this<NCEnvironment> {
  public:
    // The current environment; none until one calls set.
    static std::shared_ptr<NCEnvironment> current();
    // Makes this the current environment (one held in a shared pointer).
    void set();

    bool isSet() const;
    void setIsSet(bool isSet);

    // Setters change nothing while the environment is set.
    std::shared_ptr<NCEvaluator> sharedEvaluator() const;
    void setSharedEvaluator(std::shared_ptr<NCEvaluator> evaluator);
    std::shared_ptr<NCUnitCollection> unitManager() const;
    void setUnitManager(std::shared_ptr<NCUnitCollection> unitManager);
    std::shared_ptr<NCVariableList> variables() const;
    void setVariables(std::shared_ptr<NCVariableList> variables);
    std::shared_ptr<NCWordOperatorList> wordOperators() const;
    void setWordOperators(std::shared_ptr<NCWordOperatorList> wordOperators);
    std::shared_ptr<NCFunctionList> functions() const;
    void setFunctions(std::shared_ptr<NCFunctionList> functions);
    NCSimpleLocale locale() const;
    void setLocale(NCSimpleLocale locale);

  private:
    mutable std::mutex m_mutex;
    bool m_isSet = false;
    std::shared_ptr<NCEvaluator> m_sharedEvaluator;
    std::shared_ptr<NCUnitCollection> m_unitManager;
    std::shared_ptr<NCVariableList> m_variables;
    std::shared_ptr<NCWordOperatorList> m_wordOperators;
    std::shared_ptr<NCFunctionList> m_functions;
    NCSimpleLocale m_locale = kNCSimpleLocalDefault;
};

#endif
