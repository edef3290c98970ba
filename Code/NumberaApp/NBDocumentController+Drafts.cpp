// Drafts of unsaved documents in the data folder, and the lines' restorable state.
#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include "Diagnostics.h"
#include "NBDocumentController.h"
#include "NBDocumentDrafts.h"
#include "NBLineState.h"
#include "NBTextAttributes.h"
#include "NBTextView.h"
#include "NCExpressionFormattingOptions.h"
#include "NCFile.h"
#include "NCLine.h"
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
    // The view state is the draft's own (readFromURL made the draft the view-state file); the
    // original only decides about saving (its format).
    m_representedFile =
        original.isEmpty()
            ? nullptr
            : NCFile::initWithContentsOfFileAtPath(QFile::encodeName(original).toStdString());
    m_draftPath = QFileInfo(draftPath).absoluteFilePath();
    m_draftWritten = true;
    m_opensEdited = true;
    return true;
}

std::vector<NSKeyedArchive> NBDocumentController::encodeRestorableLineStates() const {
    std::vector<NSKeyedArchive> states;
    if (!lineCollection()) return states;
    for (const std::shared_ptr<NCLine>& line : lineCollection()->lines()) {
        NSKeyedArchive archive;
        NBLineState::initFromLine(line.get()).encodeWithCoder(archive);
        states.push_back(std::move(archive));
    }
    return states;
}

void NBDocumentController::restoreLineStates(const std::vector<NSKeyedArchive>& states) {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (!collection) return;
    const uint64_t count = std::min<uint64_t>(states.size(), collection->countOfLines());
    for (uint64_t index = 0; index < count; ++index) {
        std::shared_ptr<NCLine> line = collection->lineAtIndex(index);
        if (!line) continue;
        NBLineState::initWithCoder(states[index]).applyToLine(*line);
        // The block shows the line's alignment; an unchanged one is left alone, so that the
        // text is not edited by restoring it.
        const auto& options = line->expressionFormattingOptions();
        const QTextBlock block =
            m_textView ? m_textView->document()->findBlockByNumber(static_cast<int>(index))
                       : QTextBlock();
        if (options && block.isValid() &&
            (block.blockFormat().alignment() & Qt::AlignHorizontal_Mask) !=
                (NBTextAttributes::qtAlignment(options->textAlignment()) &
                 Qt::AlignHorizontal_Mask)) {
            const bool modified = m_textView->document()->isModified();
            m_textViewController->setAlignment(options->textAlignment(), NSIndexSet(index));
            m_textView->document()->setModified(modified);
        }
        line->invalidateResult();
    }
    if (count) {
        collection->evaluateLines();
        m_textViewController->redrawLinesAtIndexes(NSIndexSet(NSRange{0, count}), true);
        m_answerColumnController->redrawAllCells();
    }
}
