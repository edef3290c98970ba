// A program started by a test: its own process group, its output in files that can be read
// while it runs, and an end that never outlives the test (killed with its group when the object
// goes or the test program dies).
#ifndef NUMBERA_TESTS_DESKTOP_CHILD_PROCESS_H
#define NUMBERA_TESTS_DESKTOP_CHILD_PROCESS_H

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Desktop {

// The test program's environment with `changes` applied; an empty value removes the variable.
std::vector<std::string> environmentWith(const std::map<std::string, std::string>& changes);

class ChildProcess {
  public:
    struct Options {
        std::vector<std::string> arguments;              // the program first
        std::map<std::string, std::string> environment;  // changes, as environmentWith
        // Standard output and error go to these files ("-": the test program's own).
        std::string outputPath;
        std::string errorPath;
        std::string workingFolder;
        int extraFd = -1;  // passed to the child as descriptor 3
    };

    ChildProcess() = default;
    explicit ChildProcess(const Options& options);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    // True until it has ended (and been reaped).
    bool running();
    // Waits until it ends; false when it is still running after `seconds`.
    bool waitForExit(double seconds);
    // The exit status once it ended normally; none while running or after a signal.
    std::optional<int> exitStatus() const { return m_exitStatus; }
    // The signal that ended it, if one did.
    std::optional<int> endingSignal() const { return m_signal; }
    // A text for failure messages: "running", "exited with status 0", "killed by signal 9".
    std::string describeEnd() const;

    void sendSignal(int signal);
    // SIGKILL to the whole group, then reaps.
    void kill();

    std::string output() const;
    std::string errors() const;

  private:
    void reap(int status);

    pid_t m_pid = -1;
    bool m_ended = false;
    std::optional<int> m_exitStatus;
    std::optional<int> m_signal;
    std::string m_outputPath;
    std::string m_errorPath;
};

// The text of a file; empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace Desktop

#endif
