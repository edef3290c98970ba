#include "NBAttributesController.h"

NBAttributesController& NBAttributesController::sharedInstance() {
    static NBAttributesController instance;
    return instance;
}

std::any NBAttributesController::valueForKey(const std::string& key) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_dataSource.find(key);
    return found == m_dataSource.end() ? std::any() : found->second;
}

void NBAttributesController::setValue(std::any value, const std::string& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (value.has_value())
        m_dataSource[key] = std::move(value);
    else
        m_dataSource.erase(key);
}

std::map<std::string, std::any> NBAttributesController::dataSource() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dataSource;
}
