// A bounded session of random real input into a document of the sanitizer-built program: keys
// with their modifiers, typing, clicks and drags in the text and the line numbers, both
// clipboards, undo and redo. The session fails on any sanitizer report in the program's output,
// on a crash, and on an event loop that answers no ping within 2 seconds; its failure names the
// seed, the event and the events before it. NUMBERA_RANDOM_SEED, NUMBERA_RANDOM_EVENTS and
// NUMBERA_RANDOM_SECONDS change the seed, the number of events and the time allowed: the same
// seed sends the same events, and the time only cuts the session short.
#include <chrono>
#include <cstdlib>
#include <deque>
#include <sstream>

#include "DesktopTestSupport.h"
#include "RandomInput.h"

namespace {

using namespace Desktop;

uint64_t fromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoull(text, nullptr, 10);
}

// A sanitizer's report in the output, if there is one: its first lines, where the fault lies.
std::optional<std::string> sanitizerReport(const std::string& log) {
    for (const char* mark : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                             "WARNING: ThreadSanitizer", "ERROR: UndefinedBehavior"}) {
        const size_t at = log.find(mark);
        if (at == std::string::npos) continue;
        const size_t start = log.rfind('\n', at);
        std::istringstream lines(log.substr(start == std::string::npos ? 0 : start + 1));
        std::string report;
        int count = 0;
        for (std::string line; count < 40 && std::getline(lines, line); ++count)
            report += line.substr(0, 220) + "\n";
        return report;
    }
    return std::nullopt;
}

constexpr uint64_t kEventsPerText = 250;

class RandomSession : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    std::string history(uint64_t seed, uint64_t index) const {
        std::ostringstream text;
        text << "seed " << seed << ", event " << index << "; the last events:\n";
        uint64_t number = index - m_recent.size() + 1;
        for (const std::string& event : m_recent) text << "  #" << number++ << " " << event << "\n";
        return text.str();
    }

    void remember(std::string event) {
        m_recent.push_back(std::move(event));
        if (m_recent.size() > 30) m_recent.pop_front();
    }

    std::deque<std::string> m_recent;
};

TEST_F(RandomSession, RandomInputNeverCrashesStallsOrTripsASanitizer) {
    const uint64_t seed = fromEnvironment("NUMBERA_RANDOM_SEED", 40);
    const uint64_t events = fromEnvironment("NUMBERA_RANDOM_EVENTS", 1500);
    const auto allowed = std::chrono::seconds(fromEnvironment("NUMBERA_RANDOM_SECONDS", 110));
    const std::vector<std::string> lines = {"1",
                                            "2",
                                            "line1 + line2",
                                            "3 km to m",
                                            "x = 5",
                                            "x * 2",
                                            "sum",
                                            "12 USD in EUR",
                                            "sqrt(16)",
                                            "9999999999999999",
                                            "",
                                            "today + 1 day",
                                            "line3 * line4"};
    const std::string document = home().writeDocument("random.numbera", lines);
    auto app = launch({{document}});
    const WindowInfo window = activeWindowTitled(*app, "random.numbera");
    ASSERT_NE(window.id, 0u);
    // The text lies right of the line numbers, left of the answer column, below the bars.
    DocumentArea area;
    const Rect client = window.client;
    area.lineNumbers = {client.x + 2, client.y + 24, 22, client.height - 60};
    area.text = {client.x + 32, client.y + 24, client.width - 200, client.height - 60};
    // The session pastes lines the program copied itself as well as other programs' text
    // (NUMBERA_RANDOM_OWN_PASTES=0 pastes other programs' text only).
    EventLimits limits;
    limits.pastesOwnLines = fromEnvironment("NUMBERA_RANDOM_OWN_PASTES", 1) != 0;
    RandomInput random(x(), input(), seed, area, limits);

    const auto start = std::chrono::steady_clock::now();
    uint64_t index = 0;
    std::chrono::milliseconds slowest{0};
    uint64_t slowestEvent = 0;
    std::string slowestWhat;
    for (; index < events; ++index) {
        if (std::chrono::steady_clock::now() - start > allowed) break;
        if (x().activeWindow() != window.id) {
            // A window of the program's own took the focus: the user closes it and goes back.
            remember("(another window was active: Escape, back to the document)");
            input().key("Escape");
            activate(*app, window.id);
        }
        if (index > 0 && index % kEventsPerText == 0) {
            // The user starts over: the text typed over all of it keeps each edit's work (every
            // line is evaluated again) within what a document of some dozen lines costs.
            input().key("ctrl+a");
            for (const std::string& line : lines) input().type(line + "\n");
            remember("(ctrl+a, the starting lines typed over all)");
        }
        remember(random.next());
        const auto sent = std::chrono::steady_clock::now();
        const bool answers = app->running() && x().ping(window.id, 2.0);
        const auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - sent);
        if (latency > slowest) {
            slowest = latency;
            slowestEvent = index + 1;
            slowestWhat = m_recent.back();
        }
        if (!answers) {
            // Where the event loop stands now, before it may go on; then how long it stays.
            const std::string stacks = app->running() ? threadStacks(app->pid()) : "";
            // A program that a sanitizer stops answers no more pings while it writes its report.
            waitUntil([&] { return !app->running() || sanitizerReport(app->log()); }, 3);
            if (const auto report = sanitizerReport(app->log()))
                FAIL() << "a sanitizer report:\n"
                       << *report << history(seed, index + 1) << app->describe();
            if (!app->running())
                FAIL() << "the program ended: " << history(seed, index + 1) << app->describe();
            const auto stalled = std::chrono::steady_clock::now();
            const bool recovered = x().ping(window.id, 60);
            const auto more = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - stalled);
            FAIL() << "the program's event loop answered no ping within 2 s ("
                   << (recovered ? "it answered " + std::to_string(more.count()) + " ms later"
                                 : std::string("nor in the next minute"))
                   << "): " << history(seed, index + 1) << "its threads when it stalled:\n"
                   << stacks << app->describe();
        }
        if (index % 10 == 0)
            if (const auto report = sanitizerReport(app->log()))
                FAIL() << "a sanitizer report:\n"
                       << *report << history(seed, index + 1) << app->describe();
    }
    std::cout << "random session: seed " << seed << ", " << index << " events in "
              << std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() -
                                                                  start)
                     .count()
              << " s; the slowest answer to a ping came " << slowest.count() << " ms after event "
              << slowestEvent << " (" << slowestWhat << ")\n";
    screenshot("random-session-end", &window);

    // The program still quits as usual, and its end reports nothing either.
    if (x().activeWindow() != window.id) {
        input().key("Escape");
        activate(*app, window.id);
    }
    input().key("ctrl+q");
    if (const auto question = waitForQuestion(*app)) {
        ASSERT_TRUE(app->waitUntilActive(question->id)) << app->describe();
        input().key("d");  // Don't Save
    }
    ASSERT_TRUE(app->waitForExit(60)) << history(seed, index) << app->describe();
    const auto report = sanitizerReport(app->log());
    EXPECT_FALSE(report) << *report << "\n" << history(seed, index) << app->describe();
    EXPECT_EQ(app->process().exitStatus(), 0) << history(seed, index) << app->describe();
}

}  // namespace
