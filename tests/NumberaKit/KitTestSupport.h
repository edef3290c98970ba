// A text source with metrics and a generator over it, as the document window wires them; a
// manual clock and main queue installed as the shared ones, a target that records the actions
// sent to it, captured log lines and temporary folders.
#ifndef NUMBERA_TESTS_KIT_TEST_SUPPORT_H
#define NUMBERA_TESTS_KIT_TEST_SUPPORT_H

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "MainQueue.h"
#include "NBFoundation.h"
#include "NKLog.h"
#include "NKTextActionGenerator.h"
#include "NKTextHelpers.h"
#include "NKTextViewMetrics.h"
#include "NKTimingHelpers.h"
#include "PlatformTestSupport.h"

// Starts the foundation once per process with default settings.
inline void startFoundation() {
    if (NBFoundationIsStarted()) return;
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFoundationInit(settings);
    NBFSettingsRelease(settings);
}

// Collects the kit's log lines while alive.
struct LogCapture {
    std::vector<std::string> lines;
    LogCapture() {
        NKSetLogHook([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { NKSetLogHook(nullptr); }
    bool contains(const std::string& text) const {
        for (const std::string& line : lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
};

struct EditingRig {
    NKPlainTextSource text;
    std::shared_ptr<NKTextViewLineMetrics> lineMetrics =
        std::make_shared<NKTextViewLineMetrics>(&text);
    std::shared_ptr<NKTextViewMetrics> metrics =
        std::make_shared<NKTextViewMetrics>(&text, lineMetrics, nullptr);
    NKTextActionGenerator generator{metrics};

    void setText(const std::u16string& string, NSRange selection) {
        text.setString(string);
        text.setSelectedRange(selection);
        metrics->resetAllCaches();
    }
};

inline std::u16string joinLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? u"\n" : u"") + lines[i];
    return text;
}

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
    CapturedLog() {
        NKSetLogHook([this](const std::string& line) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_lines.push_back(line);
        });
    }
    ~CapturedLog() { NKSetLogHook(nullptr); }
    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    bool contains(const std::string& text) const {
        for (const auto& line : lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lines.clear();
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
};

// The source tree, for the authored resources.
inline std::string sourceDirectory() {
    if (const char* dir = std::getenv("NUMBERA_SOURCE_DIR")) return dir;
    return NUMBERA_SOURCE_DIR_DEFAULT;
}

#endif
