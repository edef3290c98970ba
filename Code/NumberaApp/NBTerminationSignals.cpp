#include "NBTerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include "Diagnostics.h"

namespace NBTerminationSignals {

namespace {

int s_pipe[2] = {-1, -1};

// Only what is safe in a signal handler: one write to the pipe the event loop watches.
void handle(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
}

}  // namespace

bool install(QObject* parent, std::function<void()> terminate) {
    if (s_pipe[0] >= 0) return true;
    if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        Diagnostics::error("Cannot watch for termination signals");
        return false;
    }
    auto* notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [terminate = std::move(terminate)] {
                         char bytes[16];
                         while (::read(s_pipe[0], bytes, sizeof bytes) > 0) {
                         }
                         if (terminate)
                             terminate();
                         else
                             QCoreApplication::exit(0);
                     });
    struct sigaction action = {};
    action.sa_handler = handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return true;
}

}  // namespace NBTerminationSignals
