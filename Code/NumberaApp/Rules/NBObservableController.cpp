#include "NBObservableController.h"

#include <algorithm>

#include "Diagnostics.h"

void NBObservableController::addObserver(NBObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end())
        Diagnostics::error("Warning: Adding an observer multiple times");
    m_observers.push_back(observer);
}

void NBObservableController::removeObserver(NBObserver* observer) {
    if (std::erase(m_observers, observer) == 0)
        Diagnostics::error("Warning: Removing an unlisted observer");
}
