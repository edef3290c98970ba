// Drafts of unsaved documents in the data folder.
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "Diagnostics.h"
#include "NBDocumentController.h"
#include "NBDocumentDrafts.h"
#include "NCFile.h"
#include "NCLineCollection.h"

void NBDocumentController::scheduleDraft() {
    if (!m_draftTimer) {
        m_draftTimer = new QTimer(this);
        m_draftTimer->setSingleShot(true);
        m_draftTimer->setInterval(NBDocumentDrafts::kDraftDelayMilliseconds);
        connect(m_draftTimer, &QTimer::timeout, this, [this] { writeDraftIfNeeded(); });
    }
    // Typing goes on while the timer runs: the draft follows a second after the first change.
    if (!m_draftTimer->isActive()) m_draftTimer->start();
}

void NBDocumentController::writeDraftIfNeeded() {
    if (m_draftTimer) m_draftTimer->stop();
    if (!isDocumentEdited() || isExampleDocument()) {
        discardDraft();
        return;
    }
    if (m_dataFolder.isEmpty() || !lineCollection()) return;
    if (m_draftPath.isEmpty()) m_draftPath = NBDocumentDrafts::newDraftPath(m_dataFolder);
    if (m_draftPath.isEmpty()) {
        Diagnostics::error("Warning: no folder for the drafts of unsaved documents");
        return;
    }
    std::map<std::string, NSArchiveValue> info = documentInfoDictionary();
    info[NBDocumentDrafts::kFilePathKey] = m_fileURL.toStdU16String();
    info[NBDocumentDrafts::kDisplayNameKey] = m_draftDisplayName.toStdU16String();
    std::string message;
    if (lineCollection()->archiveToPath(QFile::encodeName(m_draftPath).toStdString(), info,
                                        &message))
        m_draftWritten = true;
    else
        Diagnostics::error("Warning: the draft " + m_draftPath.toStdString() +
                           " could not be written: " + message);
}

void NBDocumentController::discardDraft() {
    if (m_draftTimer) m_draftTimer->stop();
    if (!m_draftPath.isEmpty() && QFileInfo::exists(m_draftPath) && !QFile::remove(m_draftPath))
        Diagnostics::error("Warning: the draft " + m_draftPath.toStdString() +
                           " could not be removed");
    m_draftPath.clear();
    m_draftWritten = false;
}

bool NBDocumentController::readDraft(const QString& draftPath, QString* error) {
    if (!readFromURL(draftPath, error)) return false;
    const QString original = QString::fromStdU16String(
        m_representedFile->stringForKey(NBDocumentDrafts::kFilePathKey).value_or(u""));
    m_draftDisplayName = QString::fromStdU16String(
        m_representedFile->stringForKey(NBDocumentDrafts::kDisplayNameKey).value_or(u""));
    m_fileURL = original;
    m_representedFile =
        original.isEmpty()
            ? nullptr
            : NCFile::initWithContentsOfFileAtPath(QFile::encodeName(original).toStdString());
    m_draftPath = QFileInfo(draftPath).absoluteFilePath();
    m_draftWritten = true;
    m_opensEdited = true;
    return true;
}
