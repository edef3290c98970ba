// SIGTERM, SIGINT and SIGHUP end the application the way its Quit command does, so that a
// session ending or a terminal closing still saves the environment and the settings.
#ifndef NUMBERA_APP_NB_TERMINATION_SIGNALS_H
#define NUMBERA_APP_NB_TERMINATION_SIGNALS_H

class QObject;

namespace NBTerminationSignals {

// The signals then ask the application object to quit from its event loop. False, with a log
// line, when the handlers cannot be installed.
bool install(QObject* parent);

}  // namespace NBTerminationSignals

#endif
