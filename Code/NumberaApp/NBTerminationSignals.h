// SIGTERM, SIGINT and SIGHUP end the application at once, without asking anything: a session
// ending or a terminal closing must not wait for an answer nobody can give. The handler writes
// the drafts of unsaved work and records the open windows, so that the next launch brings
// everything back.
#ifndef NUMBERA_APP_NB_TERMINATION_SIGNALS_H
#define NUMBERA_APP_NB_TERMINATION_SIGNALS_H

#include <functional>

class QObject;

namespace NBTerminationSignals {

// A GUI thread that does not take a signal up within the grace period is stuck: the process
// ends without it, with the status 128 + the signal, its drafts as they were last written. One
// that took it up has until the longest end to finish writing.
inline constexpr double kGraceSeconds = 4;
inline constexpr double kLongestEndSeconds = 30;

// The signals then run `terminate` from the event loop, once. False, with a log line, when the
// handlers cannot be installed.
bool install(QObject* parent, std::function<void()> terminate);

}  // namespace NBTerminationSignals

#endif
