// Updates on this system come from its package manager: there is no updater, no feed and no
// network access here. "Check for Updates…" says so, and the automatic check is always off.
#ifndef NUMBERA_APP_NB_UPDATE_CONTROLLER_H
#define NUMBERA_APP_NB_UPDATE_CONTROLLER_H

#include <QPointer>
#include <QString>

class QMessageBox;
class QWidget;

class NBUpdateController {
  public:
    // The message, as a window-modal box on the window given (else on its own); the box
    // deletes itself when closed.
    static QMessageBox* checkForUpdates(QWidget* parent);
    static QString updatesMessage();
    static bool automaticallyChecksForUpdates() { return false; }
    static void setAutomaticallyChecksForUpdates(bool) {}
};

#endif
