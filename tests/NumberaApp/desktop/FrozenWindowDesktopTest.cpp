// A session that ends while the program's window is frozen: the termination signal still
// ends the program in bounded time, and the unsaved work comes back at the next launch from
// the drafts it had written.
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// Holds one thread of a process still, as a GUI thread stuck in a long computation is: its
// event loop answers nothing while the process's other threads run on. A helper process
// traces the thread; it lets go when the helper goes or the process ends.
class StillThread {
  public:
    explicit StillThread(pid_t thread) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        m_helper = ::fork();
        if (m_helper == 0) {
            ::close(ready[0]);
            int status = 0;
            const bool held = ::ptrace(PTRACE_SEIZE, thread, nullptr, nullptr) == 0 &&
                              ::ptrace(PTRACE_INTERRUPT, thread, nullptr, nullptr) == 0 &&
                              ::waitpid(thread, &status, __WALL) == thread;
            const char answer = held ? '1' : '0';
            [[maybe_unused]] const ssize_t written = ::write(ready[1], &answer, 1);
            // Holds on (the thread's other stops are not let go either) until the process
            // ends: its end reaches its parent only once the tracer has seen it.
            while (::waitpid(thread, &status, __WALL) == thread && !WIFEXITED(status) &&
                   !WIFSIGNALED(status)) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        char answer = '0';
        if (m_helper > 0 && ::read(ready[0], &answer, 1) == 1) m_held = answer == '1';
        ::close(ready[0]);
    }
    ~StillThread() {
        if (m_helper <= 0) return;
        ::kill(m_helper, SIGKILL);
        ::waitpid(m_helper, nullptr, 0);
    }
    StillThread(const StillThread&) = delete;
    StillThread& operator=(const StillThread&) = delete;
    bool held() const { return m_held; }

  private:
    pid_t m_helper = -1;
    bool m_held = false;
};

class FrozenWindow : public NumberaDesktopTest {};

TEST_F(FrozenWindow, SigtermEndsTheProgramAndTheDraftsBringTheWorkBack) {
    home().setSettledUser();
    const std::string document = home().writeDocument("work.numbera", {"1+1"});
    auto app = launch({{document}});
    activeWindowTitled(*app, "work.numbera");
    input().key("ctrl+End");
    input().type("+5");
    ASSERT_TRUE(app->waitForTitle("work.numbera*")) << app->describe();
    // The draft follows the edit by a moment.
    ASSERT_TRUE(waitUntil([&] {
        std::error_code ignored;
        return std::filesystem::exists(home().draftsFolder(), ignored) &&
               !std::filesystem::is_empty(home().draftsFolder(), ignored);
    })) << app->describe();
    screenshot("frozen-before");

    {
        StillThread frozen(app->pid());  // the main thread is the GUI thread
        ASSERT_TRUE(frozen.held()) << "cannot hold the program's GUI thread";
        EXPECT_FALSE(app->answersPing(1.0)) << "the window still answers";
        app->process().sendSignal(SIGTERM);
        ASSERT_TRUE(app->waitForExit(12))
            << "SIGTERM did not end the frozen program: " << app->describe();
    }
    EXPECT_EQ(app->process().exitStatus(), 128 + SIGTERM) << app->process().describeEnd();
    EXPECT_NE(app->log().find("not taken up in time"), std::string::npos) << app->log();
    EXPECT_EQ(home().previewText(document), "1+1 = 2\n") << "nothing was saved over the file";

    auto again = launch();
    activeWindowTitled(*again, "work.numbera*");
    screenshot("frozen-after-relaunch");
    input().key("ctrl+s");
    ASSERT_TRUE(again->waitForTitle("work.numbera", 10) &&
                waitUntil([&] { return home().previewText(document) == "1+1+5 = 7\n"; }))
        << home().previewText(document) << again->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(again->waitForExit(30)) << again->describe();
}

}  // namespace
