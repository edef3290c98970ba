#include "NBStandardAppController.h"

#include "NKFunctions.h"

NBStandardAppController::NBStandardAppController(const Clock* clock) {
    if (clock) {
        m_launchTime = clock->now();
    } else {
        m_launchTime = SystemClock().now();
    }
}

NBStandardAppController::~NBStandardAppController() = default;

void NBStandardAppController::beginControllerLives() {
    for (NBControllerLife* controller : controllers())
        if (controller) controller->beginLife();
}

void NBStandardAppController::endControllerLives() {
    const std::vector<NBControllerLife*> lives = controllers();
    for (auto controller = lives.rbegin(); controller != lives.rend(); ++controller)
        if (*controller) (*controller)->endLife();
}

std::optional<std::string> NBStandardAppController::applicationSupportDirectory() {
    static const std::optional<std::string> directory = NKApplicationSupportDirectory();
    return directory;
}

std::map<std::u16string, std::u16string> NBStandardAppController::appInfoDictionary() const {
    return NKApplicationInfoDictionary();
}
