#include "DesktopServer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "ChildProcess.h"

namespace Desktop {

namespace {

// No key bindings at all: every key reaches the application. A press in a window focuses and
// raises it; a title bar moves its window; the close button closes.
const char* const kWindowManagerConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Middle" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Click"><action name="Close"/></mousebind>
    </context>
  </mouse>
  <applications/>
</openbox_config>
)";

std::string tail(const std::string& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

}  // namespace

Server::Server(Options options) : m_options(options) { start(); }

Server::~Server() { stop(); }

void Server::start() {
    std::string folder =
        (std::filesystem::temp_directory_path() / "numbera-desktop-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        m_error = "cannot make a folder for the X server";
        return;
    }
    m_folder = folder;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(m_options.startSeconds);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        m_error = "cannot make a pipe for the X server";
        return;
    }
    const std::string screen =
        std::to_string(m_options.width) + "x" + std::to_string(m_options.height) + "x24";
    ChildProcess::Options server;
    server.arguments = {"Xvfb",  "-displayfd", "3",    "-screen",  "0",
                        screen,  "-nolisten",  "tcp",  "-noreset", "+extension",
                        "XTEST", "+extension", "RANDR"};
    server.outputPath = m_folder + "/Xvfb.log";
    server.extraFd = pipeFds[1];
    m_server = std::make_unique<ChildProcess>(server);
    ::close(pipeFds[1]);
    std::string number;
    while (number.empty() || number.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd waiting{pipeFds[0], POLLIN, 0};
        if (left <= 0 || ::poll(&waiting, 1, static_cast<int>(left)) <= 0) break;
        char bytes[16];
        const ssize_t n = ::read(pipeFds[0], bytes, sizeof bytes);
        if (n <= 0) break;
        number.append(bytes, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    if (number.empty() || number.back() != '\n') {
        m_error = "Xvfb did not start: " + tail(m_folder + "/Xvfb.log");
        stop();
        return;
    }
    number.pop_back();
    m_display = ":" + number;

    if (!m_options.windowManager) return;
    const std::string config = m_folder + "/rc.xml";
    std::ofstream(config) << kWindowManagerConfig;
    ChildProcess::Options manager;
    manager.arguments = {"openbox", "--sm-disable", "--config-file", config};
    manager.environment = {
        {"DISPLAY", m_display}, {"HOME", m_folder}, {"XDG_CONFIG_HOME", m_folder + "/config"}};
    manager.outputPath = m_folder + "/openbox.log";
    m_windowManager = std::make_unique<ChildProcess>(manager);
    // Ready once it names itself on the root window.
    Display* x = XOpenDisplay(m_display.c_str());
    if (!x) {
        m_error = "cannot connect to the new X server " + m_display;
        stop();
        return;
    }
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    bool ready = false;
    while (!ready && std::chrono::steady_clock::now() < deadline) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success &&
            count == 1)
            ready = true;
        if (data) XFree(data);
        if (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!m_windowManager->running()) break;
    }
    XCloseDisplay(x);
    if (!ready) {
        m_error = "the window manager did not start: " + tail(m_folder + "/openbox.log");
        stop();
    }
}

void Server::stop() {
    for (std::unique_ptr<ChildProcess>* process : {&m_windowManager, &m_server}) {
        if (!*process) continue;
        (*process)->sendSignal(SIGTERM);
        if (!(*process)->waitForExit(2)) (*process)->kill();
        process->reset();
    }
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        m_folder.clear();
    }
}

Server& Server::shared(ServerOptions options) {
    static Server server(options);
    if (server.ok()) ::setenv("DISPLAY", server.display().c_str(), 1);
    return server;
}

}  // namespace Desktop
