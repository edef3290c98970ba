#include "NBTerminationSignals.h"

#include <fcntl.h>
#include <semaphore.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <thread>

#include "Diagnostics.h"

namespace NBTerminationSignals {

namespace {

int s_pipe[2] = {-1, -1};
// Posted by the handler; the watchdog waits on it.
sem_t s_requested;
volatile sig_atomic_t s_signal = 0;
// Set on the GUI thread when it takes the request up: it is alive and ending.
std::atomic<bool> s_taken{false};

// Only what is safe in a signal handler: a write to the pipe the event loop watches and a
// post to the watchdog.
void handle(int signal) {
    const int saved = errno;
    if (!s_signal) s_signal = signal;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    ::sem_post(&s_requested);
    errno = saved;
}

void sleepFor(double seconds) {
    timespec duration{static_cast<time_t>(seconds),
                      static_cast<long>((seconds - static_cast<time_t>(seconds)) * 1e9)};
    while (::nanosleep(&duration, &duration) != 0 && errno == EINTR) {
    }
}

void say(const char* text) {
    size_t length = 0;
    while (text[length]) ++length;
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, length);
}

// A GUI thread that is stuck never reads the pipe, and the session that sent the signal would
// wait on it for ever. The drafts of unsaved work are written a moment after each change, each
// whole (atomically), so what is on disk is a consistent picture of the work; when the GUI
// thread does not take the request up in time, the process ends with it and the next launch
// brings the drafts back. Touches nothing another thread may hold: no allocation, no lock.
void watch() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    while (::sem_wait(&s_requested) != 0) {
    }
    const double step = 0.1;
    double waited = 0;
    while (waited < kGraceSeconds || (s_taken.load() && waited < kLongestEndSeconds)) {
        sleepFor(step);
        waited += step;
    }
    say(s_taken.load()
            ? "numbera: still ending long after the termination signal; ending now\n"
            : "numbera: the termination signal was not taken up in time (the window is not "
              "answering); ending now, the unsaved work is kept in its last drafts\n");
    ::_exit(128 + s_signal);
}

}  // namespace

bool install(QObject* parent, std::function<void()> terminate) {
    if (s_pipe[0] >= 0) return true;
    if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0 || ::sem_init(&s_requested, 0, 0) != 0) {
        Diagnostics::error("Cannot watch for termination signals");
        return false;
    }
    std::thread(watch).detach();
    auto* notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [terminate = std::move(terminate)] {
                         char bytes[16];
                         while (::read(s_pipe[0], bytes, sizeof bytes) > 0) {
                         }
                         if (s_taken.exchange(true)) return;
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
