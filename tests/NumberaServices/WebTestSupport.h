// Pieces of the web tests: service addresses pointed at a local server (and taken away again),
// and a main queue pumped until a condition holds, bounded by a real-time limit that only the
// server round trips use up.
#ifndef NUMBERA_TESTS_WEB_TEST_SUPPORT_H
#define NUMBERA_TESTS_WEB_TEST_SUPPORT_H

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "NKTextHelpers.h"
#include "NKWebServices.h"
#include "ServicesTestSupport.h"
#include "Settings.h"

// The time-out of cases that hold a reply that never comes: short, so that the stalled reply
// ends quickly, yet long enough that a sanitizer build on a loaded machine answers the others.
inline constexpr double kStalledCaseTimeOut = 1.5;

// Installs a fresh in-memory settings store with the given service origins; none leaves a
// service unconfigured.
class ServiceAddresses {
  public:
    ServiceAddresses(std::optional<std::string> quotes, std::optional<std::string> data,
                     std::optional<std::string> bitcoin, std::optional<double> timeout = 2.0) {
        auto settings = std::make_shared<InMemorySettings>();
        using C = NKWebServiceConfiguration;
        if (quotes) settings->setObject(C::kQuotesAddressKey, NKUTF16(*quotes));
        if (data) settings->setObject(C::kDataAddressKey, NKUTF16(*data));
        if (bitcoin) settings->setObject(C::kBitcoinAddressKey, NKUTF16(*bitcoin));
        if (timeout) settings->setObject(C::kTimeoutKey, *timeout);
        Settings::setStandard(settings);
    }
    ~ServiceAddresses() { Settings::setStandard(nullptr); }
};

// Runs the queue's due tasks until the condition holds; false after the real-time limit.
inline bool pumpUntil(ManualMainQueue& queue, const std::function<bool()>& condition,
                      double limitSeconds = 10.0) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<int>(limitSeconds * 1000));
    for (;;) {
        queue.runPending();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

#endif
