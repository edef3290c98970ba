#include "NCExpressionFormattingOptions.h"

#include <vector>

void NCExpressionFormattingOptions::setTextAlignment(int32_t alignment) {
    if (alignment == m_textAlignment) return;
    m_textAlignment = alignment;
    // An observer may remove itself while being told.
    std::vector<Observer> observers;
    for (const auto& entry : m_observers) observers.push_back(entry.second);
    for (const Observer& observer : observers) observer("textAlignment");
}

uint64_t NCExpressionFormattingOptions::addObserver(Observer observer) {
    uint64_t token = m_nextToken++;
    m_observers.emplace(token, std::move(observer));
    return token;
}
