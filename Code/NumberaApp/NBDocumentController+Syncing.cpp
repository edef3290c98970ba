// The edit road and the full synchronisation of the document with its text.
#include <QTextCursor>
#include <QTextDocument>

#include "Diagnostics.h"
#include "NBDocumentController.h"
#include "NBTextView.h"
#include "NBTextViewMetrics.h"
#include "NBViewController.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKTextSyncHelper.h"

namespace {

std::string utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

// An empty set names no line: there is nothing in it to check.
bool lastIndexBelow(const std::optional<NSIndexSet>& set, uint64_t limit) {
    return !set || set->empty() || set->lastIndex() < limit;
}

}  // namespace

void NBDocumentController::tvcDidFinishProcessingText(NBTextViewController* controller) {
    for (NKTextAction& action : controller->lastTextActions()) {
        if (!action.hasIndexes()) continue;
        if (!textActionIsValid(action)) {
            Diagnostics::error(
                "Warning. Text Action is NOT valid. Text action is as follows:" +
                utf8(controller->textActionGenerator().unitTestFromTextAction(action)));
            action.resetAllIndexSets();
            action.invalidate();
        } else if (controller->isUndoing()) {
            action.invalidate();
        } else {
            m_lineCollectionController.updateLineCollectionFromTextAction(action);
        }
    }
}

bool NBDocumentController::textActionIsValid(const NKTextAction& action) {
    const uint64_t lines = textLineCount();
    const uint64_t count = m_lineCollectionController.countOfLines();
    if (const auto& remove = action.indexesToRemove(); remove && !remove->empty()) {
        if (remove->lastIndex() >= count) return false;
        if (count < remove->count() || count - remove->count() != lines) return false;
    }
    if (const auto& add = action.indexesToAdd(); add && !add->empty()) {
        if (lines == 0 || add->lastIndex() < lines - 1 || add->lastIndex() >= lines) return false;
    }
    return lastIndexBelow(action.indexesToInsert(), lines) &&
           lastIndexBelow(action.indexesToRedraw(), lines) &&
           lastIndexBelow(action.indexesToReevaluate(), lines);
}

bool NBDocumentController::textActionIndicatesForceSynchroniseRequired(const NKTextAction& action) {
    if (!action.isValid()) return true;
    NBTextViewMetrics* lines = metrics();
    if (!lines) return true;
    // A redraw set that names no line asks for nothing of the collection.
    if (action.indexesToRedraw() && action.indexesToRedraw()->empty()) {
        NKTextAction withoutRedraw = action;
        withoutRedraw.setIndexesToRedraw(std::nullopt);
        return NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
            withoutRedraw, m_lineCollectionController, *lines, &lines->mirror());
    }
    return NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
        action, m_lineCollectionController, *lines, &lines->mirror());
}

void NBDocumentController::tvcTextDidChange(NBTextViewController* controller) {
    updateKettraViewFromTextActions(controller->lastTextActions());
    if (const auto& changed = m_lineCollectionController.linesWhoseExpressionsHaveChanged();
        changed && !changed->empty() && !m_expressionUpdateQueued) {
        // The text cannot change while Qt reports a change of it: the rewrite follows.
        m_expressionUpdateQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_expressionUpdateQueued = false;
                const auto& lines = m_lineCollectionController.linesWhoseExpressionsHaveChanged();
                if (!lines) return;
                const NSIndexSet copy = *lines;
                m_lineCollectionController.resetLinesWhoseExpressionsChangedCache();
                updateTextViewForChangedExpressions(copy);
            },
            Qt::QueuedConnection);
    }
    if (controller->currentLineNumber() != m_keyLineNumber)
        setKeyLineNumber(controller->currentLineNumber());
    setKeyLineNumbers(controller->selectedLineNumbers());
}

void NBDocumentController::updateKettraViewFromTextActions(std::vector<NKTextAction>& actions) {
    NSIndexSet add, remove, insert, redraw;
    bool anyCountChange = false;
    for (NKTextAction& action : actions) {
        m_textViewController->printUnitTestOfLastTextAction();
        const bool required = textActionIndicatesForceSynchroniseRequired(action);
        action.invalidate();
        if (required) {
            forceSynchronize();
            m_lineCollectionController.resetLinesToRedrawCache();
            return;
        }
        if (!action.hasIndexes()) continue;
        if (action.indexesToAdd()) add.addIndexes(*action.indexesToAdd());
        if (action.indexesToRemove()) remove.addIndexes(*action.indexesToRemove());
        if (action.indexesToInsert()) insert.addIndexes(*action.indexesToInsert());
        if (action.indexesToRedraw()) redraw.addIndexes(*action.indexesToRedraw());
        anyCountChange = anyCountChange || action.willCauseLineCountToChange();
        action.resetAllIndexSets();
        action.invalidate();
    }
    if (const auto& lines = m_lineCollectionController.linesToRedraw()) redraw.addIndexes(*lines);
    if (anyCountChange || !add.empty() || !insert.empty() || !remove.empty())
        m_answerColumnController->numberOfCellsHasChanged();
    // The rows' heights come from the text's layout, which takes in an edit only after Qt
    // has reported it: the cells are redrawn once it has.
    m_cellsToRedraw.addIndexes(redraw);
    m_cellsToRedraw.addIndexes(add);
    m_cellsToRedraw.addIndexes(insert);
    if (!m_cellRedrawQueued) {
        m_cellRedrawQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_cellRedrawQueued = false;
                const NSIndexSet cells = m_cellsToRedraw;
                m_cellsToRedraw = NSIndexSet();
                m_answerColumnController->redrawCellsAtIndexes(cells);
            },
            Qt::QueuedConnection);
    }
    if (const auto& lines = m_lineCollectionController.linesToRedraw())
        m_textViewController->redrawLinesAtIndexes(*lines, true);
    m_lineCollectionController.resetLinesToRedrawCache();
}

void NBDocumentController::forceSynchronize() {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (!collection) return;
    const size_t hash = collection->hash();
    if (!m_viewIsSetup)
        Diagnostics::errorf("Warning: %s [Line %d] Firing before view is setup",
                            "-[NBDocumentController(Syncing) forceSynchronize]", 149);
    m_textViewController->printUnitTestOfLastTextAction();
    const NKNotifyMode mode = m_lineCollectionController.notifyMode();
    m_lineCollectionController.setNotifyMode(NKNotifyModeSilent);
    const uint64_t count = collection->countOfLines();
    const uint64_t lines = textLineCount();
    if (count < lines)
        m_lineCollectionController.addLinesAtIndexes(NSIndexSet(NSRange{count, lines - count}),
                                                     true);
    else if (count > lines)
        m_lineCollectionController.removeLinesAtIndexes(NSIndexSet(NSRange{lines, count - lines}));
    // Only lines whose text differs from the text view's, or that have no answer yet, are read
    // again: the collection re-evaluates the lines depending on those by itself, and an
    // evaluated line whose text is unchanged would get the same answer. Re-reading every line
    // would evaluate a document just opened a second time.
    NSIndexSet stale;
    for (uint64_t index = 0; index < lines; ++index) {
        const std::shared_ptr<NCLine> line = collection->lineAtIndex(index);
        if (!line || !line->isEvaluated() ||
            line->expressionText() != expressionForLineAtIndex(index))
            stale.addIndex(index);
    }
    if (!stale.empty()) m_lineCollectionController.reevaluateLinesAtIndexes(stale);
    m_lineCollectionController.setNotifyMode(
        mode == NKNotifyModeSilent && m_viewIsSetup ? NKNotifyModeAutomaticUpdates : mode);
    m_answerColumnController->numberOfCellsHasChanged();
    m_answerColumnController->redrawAllCells();
    m_textViewController->redrawLinesAtIndexes(NSIndexSet(NSRange{0, lines}), true);
    m_textViewController->updateTextViewFont();
    m_keyLineNumber = -1;
    m_keyLineNumbers = NSIndexSet();
    setKeyLineNumber(m_textViewController->currentLineNumber());
    setKeyLineNumbers(m_textViewController->selectedLineNumbers());
    // Undo and redo keep the text's own edited state; anything else that changed the lines
    // is an edit of the document.
    if (collection->hash() != hash && !m_textViewController->isUndoing()) makeDocumentDirty();
}

void NBDocumentController::lineCollectionControllerLineCollectionDidReevaluateLines(
    NKLineCollectionController*, NCLineCollection*, const NSIndexSet& lines) {
    if (m_textViewController->textIsBeingEdited()) return;
    if (m_lineCollectionController.countOfLines() != textLineCount()) {
        forceSynchronize();
    } else {
        m_textViewController->redrawLinesAtIndexes(lines, true);
        m_answerColumnController->redrawCellsAtIndexes(lines);
    }
    m_lineCollectionController.resetLinesToRedrawCache();
}

void NBDocumentController::updateTextViewForChangedExpressions(const NSIndexSet& lines) {
    if (!m_textView) return;
    const NSRange selection = m_textView->selectedRange();
    const std::vector<uint64_t> indexes = lines.indexes();
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        const uint64_t index = *it;
        std::shared_ptr<NCLine> line = lineCollection()->lineAtIndex(index);
        if (!line) continue;
        if (index >= textLineCount()) {
            Diagnostics::error("Screw up");
            continue;
        }
        // References are shown as tokens.
        m_textViewController->setTextViewTokenizedTextTo(line->expressionString().value_or(u""),
                                                         index);
    }
    const uint64_t length = static_cast<uint64_t>(m_textView->document()->characterCount() - 1);
    if (NSMaxRange(selection) <= length) m_textView->setSelectedRange(selection);
    m_textViewController->redrawLinesAtIndexes(lines, true);
    m_lineCollectionController.resetLinesWhoseExpressionsChangedCache();
}

void NBDocumentController::makeLineAtIndexHaveExpression(uint64_t index,
                                                         const std::u16string& expression) {
    std::shared_ptr<NCLine> line =
        lineCollection() ? lineCollection()->lineAtIndex(index) : nullptr;
    if (!line) return;
    line->setExpressionString(expression);
    updateTextViewForChangedExpressions(NSIndexSet(index));
}

double NBDocumentController::paragraphHeightForLineIndex(uint64_t index) {
    NBTextViewMetrics* lines = metrics();
    if (!lines || index >= textLineCount()) {
        Diagnostics::errorf("Out of range call for the height of paragraph %ld",
                            static_cast<long>(index));
        return 16.0;
    }
    const double height = lines->paragraphHeightOfLineAtIndex(index);
    if (height < 1.0) {
        Diagnostics::errorf("Warning calculated height of paragraph %ld is %f",
                            static_cast<long>(index), height);
        return 16.0;
    }
    return height;
}

double NBDocumentController::answerColumnControllerHeightForRowAtIndex(NBAnswerColumnController*,
                                                                       uint64_t index) {
    return paragraphHeightForLineIndex(index);
}

void NBDocumentController::relayoutTableCellsForTextViewBoundsChange() {
    if (NBTextViewMetrics* lines = metrics()) lines->resetAllGeometricCaches();
    m_answerColumnController->redrawAllCells();
}

void NBDocumentController::setLinesNeedRedraw(const NSIndexSet& lines) {
    m_textViewController->redrawLinesAtIndexes(lines, true);
    m_answerColumnController->redrawCellsAtIndexes(lines);
}

void NBDocumentController::updateDocumentForChangedGlobalVariables(
    const std::vector<std::shared_ptr<NCVariable>>& variables) {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (!collection) return;
    const size_t hash = collection->hash();
    collection->evaluateLines();
    collection->reevaluateLinesDependingOnVariables(variables);
    m_answerColumnController->redrawAllCells();
    if (collection->hash() != hash) makeDocumentDirty();
    // The statistic is of the answers just changed.
    if (m_viewController) m_viewController->updateStatsButtonWithReevaluation(true);
}

void NBDocumentController::refreshForEnvironmentChange() {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (!collection) return;
    const NKLocale locale = defaultLocale();
    if (collection->decimalPlaceCharacter() != locale.decimalPointChar ||
        collection->thousandsSeparatorCharacter() != locale.groupingChar) {
        // The lines' numbers are rewritten in the new signs; the text shows the lines anew.
        const NSRange selection = m_textView ? m_textView->selectedRange() : NSRange{0, 0};
        m_lineCollectionController.setLocale(locale);
        m_textViewController->loadTextFromLineCollection();
        if (m_textView && NSMaxRange(selection) <=
                              static_cast<uint64_t>(m_textView->document()->characterCount() - 1))
            m_textView->setSelectedRange(selection);
        makeDocumentDirty();
    }
    updateDocumentForChangedGlobalVariables({});
    // Every view of the lines shows them anew: answers, statistic, palette.
    if (m_viewIsSetup) forceSynchronize();
}
