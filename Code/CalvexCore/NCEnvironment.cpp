#include "NCEnvironment.h"

namespace {

std::mutex s_currentMutex;
std::shared_ptr<NCEnvironment> s_current;

}  // namespace

std::shared_ptr<NCEnvironment> NCEnvironment::current() {
    std::lock_guard<std::mutex> lock(s_currentMutex);
    return s_current;
}

void NCEnvironment::set() {
    // Only an environment held in a shared pointer can be the current one.
    std::shared_ptr<NCEnvironment> self = weak_from_this().lock();
    if (!self) return;
    std::lock_guard<std::mutex> lock(s_currentMutex);
    s_current = std::move(self);
}

bool NCEnvironment::isSet() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_isSet;
}

void NCEnvironment::setIsSet(bool isSet) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_isSet = isSet;
}

std::shared_ptr<NCUnitCollection> NCEnvironment::unitManager() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unitManager;
}

void NCEnvironment::setUnitManager(std::shared_ptr<NCUnitCollection> unitManager) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_isSet) m_unitManager = std::move(unitManager);
}

std::shared_ptr<NCVariableList> NCEnvironment::variables() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_variables;
}

void NCEnvironment::setVariables(std::shared_ptr<NCVariableList> variables) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_isSet) m_variables = std::move(variables);
}

std::shared_ptr<NCWordOperatorList> NCEnvironment::wordOperators() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wordOperators;
}

void NCEnvironment::setWordOperators(std::shared_ptr<NCWordOperatorList> wordOperators) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_isSet) m_wordOperators = std::move(wordOperators);
}

std::shared_ptr<NCFunctionList> NCEnvironment::functions() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_functions;
}

void NCEnvironment::setFunctions(std::shared_ptr<NCFunctionList> functions) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_isSet) m_functions = std::move(functions);
}

NCSimpleLocale NCEnvironment::locale() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_locale;
}

void NCEnvironment::setLocale(NCSimpleLocale locale) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_isSet) m_locale = locale;
}
