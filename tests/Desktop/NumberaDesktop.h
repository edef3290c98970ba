// The numbera program as a user starts it on the tests' desktop. A Home is one user: a fresh
// HOME with its own settings and data folders, kept across the launches of one test case so
// that what one launch writes the next one reads. An App is one launch of the real binary in
// that home, on the shared X server, bounded in time and killed with its children when it goes.
#ifndef NUMBERA_TESTS_NUMBERA_DESKTOP_H
#define NUMBERA_TESTS_NUMBERA_DESKTOP_H

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "XSession.h"

namespace Desktop {

class Home {
  public:
    Home();
    ~Home();
    Home(const Home&) = delete;
    Home& operator=(const Home&) = delete;

    const std::string& path() const { return m_path; }
    std::string configFolder() const { return m_path + "/.config"; }
    // $XDG_DATA_HOME/Numbera
    std::string dataFolder() const { return m_path + "/.local/share/Numbera"; }
    std::string settingsFile() const { return configFolder() + "/Numbera/Numbera.conf"; }
    std::string windowStateFile() const { return dataFolder() + "/WindowState.json"; }
    std::string draftsFolder() const { return dataFolder() + "/Drafts"; }

    // A setting in Numbera.conf before a launch ("true", "false", numbers or text).
    void setSetting(const std::string& key, const std::string& value);
    std::optional<std::string> setting(const std::string& key) const;
    // The settings of a user past the first launch: no welcome window, no tutorial, and typing
    // exactly what is typed (no spaces or closing brackets added).
    void setSettledUser();

    // The variables a launch runs with: this home, the display, the xcb platform.
    std::map<std::string, std::string> environment() const;

    // Writes a document of these lines to a file in the home and answers its path.
    std::string writeDocument(const std::string& name, const std::vector<std::string>& lines);
    // The document as the previewer reads it: "expression = answer" per line.
    std::string previewText(const std::string& documentPath) const;

  private:
    std::string m_path;
};

class App {
  public:
    struct Options {
        std::vector<std::string> arguments;
        std::map<std::string, std::string> environment = {};  // beside the home's
        // A program the launch goes through, with its arguments ("setpriv", ...), which then
        // executes numbera in its own process.
        std::vector<std::string> launcher = {};
    };

    App(Home& home, XSession& x, const Options& options);
    App(Home& home, XSession& x) : App(home, x, Options{}) {}
    ~App();

    pid_t pid() const { return m_process.pid(); }
    ChildProcess& process() { return m_process; }
    bool running() { return m_process.running(); }

    // The program's visible windows, bottom to top.
    std::vector<WindowInfo> windows() const { return m_x.visibleWindowsOf(m_process.pid()); }
    std::vector<std::string> titles() const { return m_x.titlesOf(m_process.pid()); }
    // The first visible window of the program that matches, once one does.
    std::optional<WindowInfo> waitForWindow(const std::function<bool(const WindowInfo&)>& match,
                                            double seconds = 30);
    // A window whose title starts with the text (the manager adds " — Numbera").
    std::optional<WindowInfo> waitForTitle(const std::string& start, double seconds = 30);
    // Waits until the window is the active one (keys go to it).
    bool waitUntilActive(WindowId window, double seconds = 10);
    bool waitForExit(double seconds = 30) { return m_process.waitForExit(seconds); }
    // Whether the program's event loop answers a ping to its topmost window within the time:
    // false while its GUI thread is stalled (its windows still show and keep their titles).
    bool answersPing(double seconds = 2);

    // Standard output and error so far.
    std::string log() const { return m_process.output(); }
    // For failure messages: how the program stands, its windows and the end of its log; for
    // a program still running, where its threads are (when gdb is at hand).
    std::string describe() const;

  private:
    XSession& m_x;
    mutable ChildProcess m_process;
};

// The stacks of a running process's threads, through gdb; empty without it.
std::string threadStacks(pid_t pid);

// Whether a title starts with a text.
bool titleStartsWith(const std::string& title, const std::string& start);

}  // namespace Desktop

#endif
