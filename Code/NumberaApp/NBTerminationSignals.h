// SIGTERM, SIGINT and SIGHUP end the application at once, without asking anything: a session
// ending or a terminal closing must not wait for an answer nobody can give. The handler writes
// the drafts of unsaved work and records the open windows, so that the next launch brings
// everything back.
#ifndef NUMBERA_APP_NB_TERMINATION_SIGNALS_H
#define NUMBERA_APP_NB_TERMINATION_SIGNALS_H

#include <functional>

class QObject;

namespace NBTerminationSignals {

// The signals then run `terminate` from the event loop. False, with a log line, when the
// handlers cannot be installed.
bool install(QObject* parent, std::function<void()> terminate);

}  // namespace NBTerminationSignals

#endif
