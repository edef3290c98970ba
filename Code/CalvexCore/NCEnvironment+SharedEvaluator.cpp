#include "NCEnvironment.h"
#include "NCEvaluator.h"

std::shared_ptr<NCEvaluator> NCEnvironment::sharedEvaluator() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return _sharedEvaluator;
}

void NCEnvironment::setSharedEvaluator(std::shared_ptr<NCEvaluator> evaluator) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!_isSet) _sharedEvaluator = std::move(evaluator);
}
