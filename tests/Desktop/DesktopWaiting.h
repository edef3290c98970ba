// Waiting for what the user would see, instead of sleeping for a guessed time; and the pictures
// a test saves of the states it checks.
#ifndef NUMBERA_TESTS_DESKTOP_WAITING_H
#define NUMBERA_TESTS_DESKTOP_WAITING_H

#include <QImage>
#include <functional>
#include <string>

namespace Desktop {

// What runs between two looks at a condition: a short sleep by default; a test whose own
// event loop must go on meanwhile (windows of its own process) sets one that runs it.
void setEventPump(std::function<void()> pump);
// Runs the pump once (the event loop of a program with windows of its own).
void runEventPump();
// Checks the condition until it holds; false when it still does not after `seconds`.
bool waitUntil(const std::function<bool()>& condition, double seconds = 10);
// Lets the pump run for a while (for what must not happen).
void waitFor(double seconds);

// Where screenshots go: NUMBERA_SCREENSHOT_DIR, else <build>/screenshots.
std::string screenshotFolder();
// Saves the picture as <folder>/<name>.png and answers the path (empty when it failed).
std::string saveScreenshot(const QImage& image, const std::string& name);

}  // namespace Desktop

#endif
