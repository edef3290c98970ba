// What the services' tests share beyond the kit's support: a manual clock and main queue
// installed as the shared ones, a target that records the actions sent to it, and log lines
// captured from any thread.
#ifndef NUMBERA_TESTS_SERVICES_TEST_SUPPORT_H
#define NUMBERA_TESTS_SERVICES_TEST_SUPPORT_H

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "KitTestSupport.h"
#include "MainQueue.h"
#include "NKTimingHelpers.h"

struct ManualTime {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(700000000);
    std::shared_ptr<ManualMainQueue> queue = std::make_shared<ManualMainQueue>(clock);
    ManualTime() { MainQueue::setShared(queue); }
    ~ManualTime() { MainQueue::setShared(nullptr); }
    NSTimeInterval now() const { return clock->now(); }
    size_t advance(NSTimeInterval seconds) { return queue->advance(*clock, seconds); }
};

class RecordingTarget : public NKActionTarget {
  public:
    explicit RecordingTarget(const ManualClock* clock, std::vector<std::string> actions = {})
        : m_clock(clock), m_actions(std::move(actions)) {}
    bool performAction(const std::string& action, const std::shared_ptr<void>& argument) override {
        if (std::find(m_actions.begin(), m_actions.end(), action) == m_actions.end()) return false;
        calls.push_back({action, argument, m_clock ? m_clock->now() : 0});
        return true;
    }
    struct Call {
        std::string action;
        std::shared_ptr<void> argument;
        NSTimeInterval time;
    };
    std::vector<Call> calls;

  private:
    const ManualClock* m_clock;
    std::vector<std::string> m_actions;
};

class CapturedLog {
  public:
    CapturedLog()
        : m_sink([this](Diagnostics::Stream stream, const std::string& line) {
              if (stream != Diagnostics::Stream::error) return;
              std::lock_guard<std::mutex> lock(m_mutex);
              m_lines.push_back(line);
          }) {}
    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    bool contains(const std::string& text) const {
        for (const auto& line : lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    // The lines holding the text.
    size_t count(const std::string& text) const {
        size_t n = 0;
        for (const auto& line : lines())
            if (line.find(text) != std::string::npos) ++n;
        return n;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    Diagnostics::ScopedSink m_sink;  // last: installed once the lines exist
};

#endif
