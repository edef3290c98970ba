#include "NBDocumentWindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBDocumentToolbar.h"
#include "NBKettraView.h"
#include "NBTextView.h"
#include "NBTutorialController.h"
#include "NBUserDefaultsController.h"
#include "NBViewController.h"
#include "NSLocalizedString.h"
#include "NotificationCenter.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

NBDocumentWindow::NBDocumentWindow(NBDocumentController* document, QString untitledName,
                                   QWidget* parent)
    : QMainWindow(parent),
      m_document(document),
      m_kettraView(new NBKettraView(this)),
      m_untitledName(std::move(untitledName)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("documentWindow"));
    m_document->setParent(this);
    m_document->setDraftDisplayName(m_untitledName);
    setCentralWidget(m_kettraView);
    m_document->windowControllerDidLoadNib(m_kettraView->textView(), m_kettraView->answerColumn());
    connect(m_document, &NBDocumentController::documentEditedChanged, this,
            [this] { updateTitle(); });
    updateTitle();
    resize(NBKettraView::defaultWindowSize());
    m_viewController = new NBViewController(this, m_kettraView, m_document);
    m_viewController->setupViews();
    m_document->setViewController(m_viewController);
    m_toolbar = new NBDocumentToolbar(*this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    m_toolbar->hide();
    m_kettraView->textView()->setFocus();
    NBTutorialController::startIfNeeded(this);
}

NBDocumentWindow::~NBDocumentWindow() {
    // The views outlive the document's controllers for a moment: they must not call them.
    textView()->setDelegate(nullptr);
    answerColumn()->setDataSource(nullptr);
    if (m_viewController) m_viewController->deregisterForNotifications();
    disconnect(m_document, nullptr, this, nullptr);
    delete m_document;
}

NBTextView* NBDocumentWindow::textView() const { return m_kettraView->textView(); }

NBAnswerColumnView* NBDocumentWindow::answerColumn() const { return m_kettraView->answerColumn(); }

void NBDocumentWindow::toggleToolbarShown() {
    NotificationCenter::defaultCenter().post(NBDocumentWindowToolbarWillChangeVisibleState, this);
    m_toolbar->setVisible(m_toolbar->isHidden());
    NotificationCenter::defaultCenter().post(NBDocumentWindowToolbarDidChangeVisibleState, this);
}

QString NBDocumentWindow::filePath() const { return m_document->fileURL(); }

QString NBDocumentWindow::displayName() const {
    if (filePath().isEmpty()) return m_untitledName;
    return QFileInfo(filePath()).fileName();
}

qsizetype NBDocumentWindow::selectedLocation() const { return textView()->textCursor().position(); }

void NBDocumentWindow::setSelectedLocation(qsizetype location) {
    textView()->setSelectedRange({static_cast<uint64_t>(location), 0});
}

void NBDocumentWindow::updateTitle() {
    setWindowTitle(displayName() + QStringLiteral("[*]"));
    setWindowFilePath(filePath());
    setWindowModified(m_document->isDocumentEdited());
}

void NBDocumentWindow::showAlert(const QString& title, const QString& text) {
    auto* alert = new QMessageBox(QMessageBox::Warning, QString(), title, QMessageBox::Ok, this);
    alert->setInformativeText(text);
    alert->setObjectName(QStringLiteral("documentAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    m_sheet = alert;
    alert->open();
}

bool NBDocumentWindow::saveDocument() {
    if (m_document->cameFromOlderFormat()) {
        askBeforeOverwritingOlderFormat();
        return false;
    }
    if (m_document->isExampleDocument()) {
        showAlert(localized(u"You can't save the example document"),
                  localized(u"Make a new document and do your work there."));
        return false;
    }
    if (filePath().isEmpty()) return saveDocumentAs();
    QString error;
    if (m_document->saveToURL(filePath(), &error)) {
        updateTitle();
        return true;
    }
    showAlert(tr("The document “%1” could not be saved.").arg(displayName()), error);
    return false;
}

bool NBDocumentWindow::saveDocumentAs(const QString& givenPath) {
    QString path = givenPath;
    if (path.isEmpty()) {
        const QString start =
            filePath().isEmpty() ? displayName() + QStringLiteral(".numbera") : filePath();
        path = QFileDialog::getSaveFileName(this, QString(), start,
                                            QStringLiteral("Numbera (*.numbera)"));
        if (path.isEmpty()) return false;
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".numbera");
    }
    QString error;
    if (m_document->saveToURL(path, &error)) {
        updateTitle();
        return true;
    }
    showAlert(tr("The document “%1” could not be saved as “%2”.")
                  .arg(displayName(), QFileInfo(path).fileName()),
              error);
    return false;
}

void NBDocumentWindow::revertDocumentToSaved() {
    if (filePath().isEmpty() || !m_document->isDocumentEdited() || m_sheet) return;
    auto* question = new QMessageBox(this);
    question->setObjectName(QStringLiteral("revertQuestion"));
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setIcon(QMessageBox::Warning);
    question->setText(
        tr("Do you want to revert to the most recently saved version of the document “%1”?")
            .arg(displayName()));
    question->setInformativeText(tr("Your current changes will be lost."));
    QPushButton* revert = question->addButton(tr("Revert"), QMessageBox::DestructiveRole);
    revert->setObjectName(QStringLiteral("revert"));
    QPushButton* cancel = question->addButton(tr("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    question->setDefaultButton(cancel);
    question->setEscapeButton(cancel);
    question->setWindowModality(Qt::WindowModal);
    connect(question, &QMessageBox::buttonClicked, this, [this, revert](QAbstractButton* b) {
        if (b != revert) return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                QString error;
                if (m_document->revertToContentsOfURL(filePath(), &error)) {
                    updateTitle();
                    return;
                }
                showAlert(tr("The document “%1” could not be reverted.").arg(displayName()), error);
            },
            Qt::QueuedConnection);
    });
    m_sheet = question;
    question->open();
}

void NBDocumentWindow::askToSaveBeforeClosing() {
    auto* question = new QMessageBox(this);
    question->setObjectName(QStringLiteral("closeQuestion"));
    question->setAttribute(Qt::WA_DeleteOnClose);
    question->setIcon(QMessageBox::Warning);
    question->setText(
        tr("Do you want to save the changes made to the document “%1”?").arg(displayName()));
    question->setInformativeText(tr("Your changes will be lost if you don’t save them."));
    // S and D answer from the keyboard, as the design's Command-D does.
    QPushButton* save = question->addButton(tr("&Save"), QMessageBox::AcceptRole);
    save->setObjectName(QStringLiteral("save"));
    QPushButton* discard = question->addButton(tr("&Don’t Save"), QMessageBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("dontSave"));
    QPushButton* cancel = question->addButton(tr("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    question->setDefaultButton(save);
    question->setEscapeButton(cancel);
    question->setWindowModality(Qt::WindowModal);
    // A question closed without an answer (its window closed) cancels, as its Cancel does.
    auto answered = std::make_shared<bool>(false);
    connect(question, &QObject::destroyed, this, [this, answered] {
        if (!*answered) finishClosing(false);
    });
    connect(question, &QMessageBox::buttonClicked, this,
            [this, save, discard, answered](QAbstractButton* b) {
                *answered = true;
                if (b == discard) {
                    m_closeConfirmed = true;
                    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
                } else if (b == save) {
                    QMetaObject::invokeMethod(
                        this,
                        [this] {
                            // A failed save, or a Save As left without a name, keeps the window
                            // open.
                            if (!saveDocument()) {
                                finishClosing(false);
                                return;
                            }
                            m_closeConfirmed = true;
                            close();
                        },
                        Qt::QueuedConnection);
                } else {
                    finishClosing(false);
                }
            });
    m_sheet = question;
    question->open();
}

void NBDocumentWindow::askBeforeOverwritingOlderFormat() {
    auto* alert = new QMessageBox(this);
    alert->setObjectName(QStringLiteral("olderFormatAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setIcon(QMessageBox::Warning);
    alert->setText(localized(u"Saving Numbera Document Alert Title"));
    alert->setInformativeText(localized(u"Saving Numbera Document Alert Description"));
    QPushButton* saveAs = alert->addButton(localized(u"Save As..."), QMessageBox::AcceptRole);
    saveAs->setObjectName(QStringLiteral("saveAs"));
    QPushButton* overwrite =
        alert->addButton(localized(u"Overwrite"), QMessageBox::DestructiveRole);
    overwrite->setObjectName(QStringLiteral("overwrite"));
    QPushButton* cancel = alert->addButton(localized(u"Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancel"));
    alert->setDefaultButton(saveAs);
    alert->setEscapeButton(cancel);
    alert->setWindowModality(Qt::WindowModal);
    connect(alert, &QMessageBox::buttonClicked, this,
            [this, saveAs, overwrite](QAbstractButton* b) {
                if (b == overwrite) {
                    // The file is written in today's format from now on; the next save asks
                    // nothing.
                    m_document->forgetOlderFormat();
                    QMetaObject::invokeMethod(
                        this, [this] { saveDocument(); }, Qt::QueuedConnection);
                } else if (b == saveAs) {
                    QTimer::singleShot(100, this, [this] { saveDocumentAs(); });
                }
            });
    m_sheet = alert;
    alert->open();
}

void NBDocumentWindow::bringToFront() {
    // Raising and activating leave a minimized window in the task bar: the user would see
    // nothing happen.
    if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void NBDocumentWindow::closeWithoutAsking() {
    // The application is going away: unsaved work stays as a draft for the next launch.
    m_keepDraft = true;
    m_closeConfirmed = true;
    if (m_sheet) m_sheet->close();
    close();
}

bool NBDocumentWindow::closingAsks() const {
    return m_document->isDocumentEdited() &&
           // Closing without the question is safe only when a draft of the document was kept.
           !(NBUserDefaultsController::suppressesSaveDocumentAlert() &&
             !m_document->hasBeenUserSaved() && m_document->draftWasWritten());
}

void NBDocumentWindow::closeAsking(std::function<void(bool closed)> done) {
    m_closeDone = std::move(done);
    if (m_sheet && m_sheet->objectName() != QLatin1String("closeQuestion")) {
        // Another question is open on the window: it is answered first.
        m_sheet->raise();
        finishClosing(false);
        return;
    }
    close();
}

void NBDocumentWindow::finishClosing(bool closed) {
    if (!m_closeDone) return;
    std::function<void(bool)> done = std::move(m_closeDone);
    m_closeDone = nullptr;
    done(closed);
}

void NBDocumentWindow::closeEvent(QCloseEvent* event) {
    const bool asks = closingAsks();
    if (!m_closeConfirmed && asks) {
        event->ignore();
        if (!m_sheet) askToSaveBeforeClosing();
        return;
    }
    // Closing without the question keeps the draft; a decision not to save drops it.
    if (m_keepDraft || (!m_closeConfirmed && m_document->isDocumentEdited()))
        m_document->writeDraftIfNeeded();
    else
        m_document->discardDraft();
    emit windowClosed(this);
    event->accept();
    finishClosing(true);
}
