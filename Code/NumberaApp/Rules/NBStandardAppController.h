// Base of the application delegate: the controller-life sequence, the application's data
// folder and the identity it writes into data files.
#ifndef NUMBERA_APP_RULES_NB_STANDARD_APP_CONTROLLER_H
#define NUMBERA_APP_RULES_NB_STANDARD_APP_CONTROLLER_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Clock.h"
#include "NBControllerLife.h"

class NBStandardAppController {
  public:
    // The launch time is read from the clock (the system clock when null).
    explicit NBStandardAppController(const Clock* clock = nullptr);
    virtual ~NBStandardAppController();

    // Nothing in the base: the application creates its controllers here.
    virtual void setupControllers() {}
    // The controllers taking part in the lives, in their fixed order. Borrowed; a null entry
    // (a controller not made yet) is skipped.
    virtual std::vector<NBControllerLife*> controllers() { return {}; }

    // beginLife in controllers() order; endLife in reverse order.
    void beginControllerLives();
    void endControllerLives();

    // NKApplicationSupportDirectory, computed on first use and kept for the process; none
    // when no data folder can be made (the application then runs without persistence).
    static std::optional<std::string> applicationSupportDirectory();
    // "CreatorVersion", "CreatorID", "CreatorBuild" of the application's identity; an unset
    // part is left out.
    std::map<std::u16string, std::u16string> appInfoDictionary() const;
    // Seconds since the reference date.
    NSTimeInterval launchTime() const { return m_launchTime; }

  private:
    NSTimeInterval m_launchTime = 0;
};

#endif
