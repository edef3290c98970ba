#include "NBUpdateController.h"

#include <QMessageBox>

#include "NBAppResources.h"
#include "NSLocalizedString.h"

QString NBUpdateController::updatesMessage() {
    return NBAppResources::toQString(
        NSLocalizedString(u"Numbera is updated by your system's package manager. Use it to "
                          u"install new versions; Numbera itself never connects to the network "
                          u"to look for updates."));
}

QMessageBox* NBUpdateController::checkForUpdates(QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Information,
                                NBAppResources::toQString(NSLocalizedString(u"Check for Updates")),
                                updatesMessage(), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("updatesMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (parent) box->setWindowModality(Qt::WindowModal);
    box->open();
    return box;
}
