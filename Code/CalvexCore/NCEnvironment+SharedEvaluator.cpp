#include "NCEnvironment.h"
#include "NCEvaluator.h"

std::shared_ptr<NCEvaluator> NCEnvironment::sharedEvaluator() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sharedEvaluator;
}

void NCEnvironment::setSharedEvaluator(std::shared_ptr<NCEvaluator> evaluator) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_isSet) m_sharedEvaluator = std::move(evaluator);
}
