#include "DesktopWaiting.h"

#include <QDir>
#include <chrono>
#include <cstdlib>
#include <thread>

#ifndef NUMBERA_SCREENSHOT_DIR_DEFAULT
#define NUMBERA_SCREENSHOT_DIR_DEFAULT "screenshots"
#endif

namespace Desktop {

namespace {

std::function<void()>& pump() {
    static std::function<void()> current;
    return current;
}

void runPump() {
    if (pump())
        pump()();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace

void runEventPump() {
    if (pump()) pump()();
}

void setEventPump(std::function<void()> function) { pump() = std::move(function); }

bool waitUntil(const std::function<bool()>& condition, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        runPump();
    }
}

void waitFor(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) runPump();
}

std::string screenshotFolder() {
    const char* folder = std::getenv("NUMBERA_SCREENSHOT_DIR");
    return folder && *folder ? folder : NUMBERA_SCREENSHOT_DIR_DEFAULT;
}

std::string saveScreenshot(const QImage& image, const std::string& name) {
    const QString folder = QString::fromStdString(screenshotFolder());
    QDir().mkpath(folder);
    const QString path = folder + "/" + QString::fromStdString(name) + ".png";
    if (image.isNull() || !image.save(path, "PNG")) return {};
    return path.toStdString();
}

}  // namespace Desktop
