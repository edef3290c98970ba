// An X server of the tests' own: Xvfb on a display number it picks itself (-displayfd, so
// parallel test programs never collide), one screen of a fixed size, and a small window manager
// (openbox) with a home folder of its own, so that windows are framed, stacked and focused as
// on a desktop. Both go when the server object goes.
#ifndef NUMBERA_TESTS_DESKTOP_SERVER_H
#define NUMBERA_TESTS_DESKTOP_SERVER_H

#include <sys/types.h>

#include <memory>
#include <string>

namespace Desktop {

class ChildProcess;

struct ServerOptions {
    int width = 1280;
    int height = 800;
    bool windowManager = true;
    double startSeconds = 30;  // for the server and the manager to be ready
};

class Server {
  public:
    using Options = ServerOptions;

    // Starts both; ok() says whether they run, error() why not.
    explicit Server(Options options);
    Server() : Server(ServerOptions()) {}
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }
    // ":N", for DISPLAY.
    const std::string& display() const { return m_display; }
    int width() const { return m_options.width; }
    int height() const { return m_options.height; }
    bool hasWindowManager() const { return m_windowManager != nullptr; }

    // One server for the whole test program, started on first use and stopped at exit; the
    // program's DISPLAY names it from then on.
    static Server& shared(ServerOptions options = ServerOptions());

  private:
    void start();
    void stop();

    Options m_options;
    std::string m_error;
    std::string m_display;
    std::string m_folder;  // the manager's home and the server's logs
    std::unique_ptr<ChildProcess> m_server;
    std::unique_ptr<ChildProcess> m_windowManager;
};

}  // namespace Desktop

#endif
