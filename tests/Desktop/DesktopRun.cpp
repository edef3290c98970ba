// desktop-run [--no-window-manager] -- PROGRAM [ARGUMENTS…]
// Runs a program on an X server of its own (a free display number, 1280×800, with the window
// manager unless told otherwise) and answers its exit status; the server goes with it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DesktopServer.h"

int main(int argc, char** argv) {
    Desktop::ServerOptions options;
    int first = 1;
    for (; first < argc; ++first) {
        if (std::strcmp(argv[first], "--no-window-manager") == 0) {
            options.windowManager = false;
        } else if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        } else {
            break;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: desktop-run [--no-window-manager] -- PROGRAM [ARGUMENTS…]\n");
        return 2;
    }
    Desktop::Server server(options);
    if (!server.ok()) {
        std::fprintf(stderr, "desktop-run: %s\n", server.error().c_str());
        return 1;
    }
    Desktop::ChildProcess::Options run;
    for (int i = first; i < argc; ++i) run.arguments.push_back(argv[i]);
    run.environment = {{"DISPLAY", server.display()}};
    // The desktop has no session bus: a program looking for one must not wait for it.
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        run.environment["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=/nonexistent/no-session-bus";
    run.outputPath = "-";
    Desktop::ChildProcess program(run);
    if (!program.started()) return 127;
    while (!program.waitForExit(3600)) {
    }
    if (program.exitStatus()) return *program.exitStatus();
    std::fprintf(stderr, "desktop-run: %s %s\n", argv[first], program.describeEnd().c_str());
    return 1;
}
