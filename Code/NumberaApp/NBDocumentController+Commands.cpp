// The document's commands and the rules that enable and title their menu items.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QIcon>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "NBAnswerColumnRules.h"
#include "NBAnswerPaletteController.h"
#include "NBAppResources.h"
#include "NBBigAnswerViewer.h"
#include "NBDocumentCommandRules.h"
#include "NBDocumentController.h"
#include "NBDocumentToolbar.h"
#include "NBDocumentWindow.h"
#include "NBInterfaceRules.h"
#include "NBLineFormattingController.h"
#include "NBTextView.h"
#include "NBTextViewMetrics.h"
#include "NBUserDefaultsController.h"
#include "NBViewController.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKSmartEditingHelper.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const std::u16string& key) {
    return NBAppResources::toQString(NSLocalizedString(key));
}

void setItemTitle(QAction* item, const std::u16string& title) {
    // An "&" of a title is shown, not a mnemonic.
    if (item) item->setText(localized(title).replace(QLatin1Char('&'), QStringLiteral("&&")));
}

// The dash that marks a mixed state: lines of the selection differ, some have this value.
const QIcon& mixedStateIndicator() {
    static const QIcon icon = [] {
        QPixmap dash(16, 16);
        dash.fill(Qt::transparent);
        QPainter painter(&dash);
        painter.fillRect(QRect(4, 7, 8, 2), QApplication::palette().color(QPalette::Text));
        return QIcon(dash);
    }();
    return icon;
}

// 1 on, 0 off, -1 mixed: a mixed item is unchecked and shows the dash.
void setItemState(QAction* item, int state) {
    if (!item || !item->isCheckable()) return;
    item->setChecked(state == 1);
    item->setProperty("mixedState", state == -1);
    item->setIcon(state == -1 ? mixedStateIndicator() : QIcon());
}

void putOnClipboard(const QString& plain, const QString& html = QString()) {
    auto* data = new QMimeData;
    data->setText(plain);
    if (!html.isEmpty()) data->setHtml(html);
    QApplication::clipboard()->setMimeData(data);
}

}  // namespace

QStringList NBDocumentController::documentCommands() {
    return {"startSpeaking:",
            "speakSelectedLines:",
            "speakAnswer:",
            "stopSpeech:",
            "copyResult:",
            "copyUnformattedResult:",
            "copyExpressionAndResult:",
            "clearLine:",
            "clearAll:",
            "commentLine:",
            "insertPreviousAnswer:",
            "insertAnswerTokenReferringToLineAtSendersTag:",
            "insertAbsoluteAnswerFromLine:",
            "insertNewToken:",
            "insertSubtotalOfSelectedLines:",
            "jumpAnswers:",
            "alignText:",
            "showBigAnswer:",
            "showAnswerPalette:",
            "toggleWindowToolbarShown:",
            "toggleFormattingBarShown:",
            "toggleNumberLineShown:",
            "toggleStatisticsShown:",
            "setBase:",
            "setPrecision:",
            "setNotationMode:",
            "setTrigMode:",
            "toggleThousandsSeperator:",
            "toggleSuperScriptMode:"};
}

namespace {

// The formatting property each formatting command sets to its item's tag.
const char* formattingPropertyOfCommand(const QString& command) {
    if (command == QLatin1String("setBase:")) return "base";
    if (command == QLatin1String("setPrecision:")) return "decimalPlaces";
    if (command == QLatin1String("setNotationMode:")) return "scientificNotationMode";
    if (command == QLatin1String("setTrigMode:")) return "trigonometryMode";
    return nullptr;
}

}  // namespace

bool NBDocumentController::performCommand(const QString& command, int tag, bool fromToolbar) {
    if (!documentCommands().contains(command) || !validateCommand(command, tag)) return false;
    if (command == QLatin1String("copyResult:"))
        copyResult(tag);
    else if (command == QLatin1String("copyUnformattedResult:"))
        copyUnformattedResult(tag);
    else if (command == QLatin1String("copyExpressionAndResult:"))
        copyExpressionAndResult(tag);
    else if (command == QLatin1String("clearLine:"))
        clearLine();
    else if (command == QLatin1String("clearAll:"))
        clearAll();
    else if (command == QLatin1String("commentLine:"))
        commentLine();
    else if (command == QLatin1String("insertPreviousAnswer:"))
        insertPreviousAnswer(tag);
    else if (command == QLatin1String("insertAnswerTokenReferringToLineAtSendersTag:"))
        m_textViewController->insertLineReference(2, static_cast<uint64_t>(m_keyLineNumber),
                                                  static_cast<uint64_t>(tag - 1), false);
    else if (command == QLatin1String("insertAbsoluteAnswerFromLine:"))
        m_textViewController->insertLineReference(1, static_cast<uint64_t>(m_keyLineNumber),
                                                  static_cast<uint64_t>(tag), false);
    else if (command == QLatin1String("insertNewToken:"))
        m_textViewController->insertLineReference(2, static_cast<uint64_t>(m_keyLineNumber),
                                                  static_cast<uint64_t>(m_keyLineNumber - 1),
                                                  false);
    else if (command == QLatin1String("insertSubtotalOfSelectedLines:"))
        m_textViewController->insertSubTotalLineForLines(keyOrSelectedLines());
    else if (command == QLatin1String("toggleWindowToolbarShown:")) {
        if (auto* window =
                m_textView ? qobject_cast<NBDocumentWindow*>(m_textView->window()) : nullptr)
            window->toggleToolbarShown();
    } else if (command == QLatin1String("toggleFormattingBarShown:")) {
        const bool visible = !m_viewController->formattingBarVisible();
        m_viewController->setFormattingBarVisible(visible, true);
        NBUserDefaultsController::setFormattingBarVisible(visible);
        makeDocumentDirty();
        if (answerPaletteIsVisible())
            m_answerColumnController->answerPaletteController().setNeedsPositionUpdate();
    } else if (command == QLatin1String("toggleNumberLineShown:")) {
        const bool visible = !m_viewController->numberLineVisibile();
        m_viewController->setLineNumbersVisible(visible, true);
        NBUserDefaultsController::setLineNumbersVisible(visible);
        makeDocumentDirty();
    } else if (command == QLatin1String("toggleStatisticsShown:")) {
        const bool visible = !m_viewController->statisticsBarVisibile();
        m_viewController->setStatisticsBarVisible(visible, true);
        NBUserDefaultsController::setStatiticsBarVisible(visible);
        makeDocumentDirty();
    } else if (const char* property = formattingPropertyOfCommand(command))
        m_viewController->formattingBarController()->setValueForKey(property, tag);
    else if (command == QLatin1String("toggleThousandsSeperator:")) {
        NBLineFormattingController& formatting = *m_viewController->formattingBarController();
        // A mixed selection becomes on.
        formatting.setThousandsSeparator(formatting.menuItemState("thousandsSeparator", 1) != 1);
    } else if (command == QLatin1String("jumpAnswers:"))
        jumpAnswers();
    else if (command == QLatin1String("alignText:"))
        alignText(tag);
    else if (command == QLatin1String("showBigAnswer:"))
        showBigAnswer(tag, fromToolbar);
    else if (command == QLatin1String("showAnswerPalette:")) {
        NBAnswerPaletteController& palette = m_answerColumnController->answerPaletteController();
        if (palette.paletteIsVisible())
            palette.closeAnswerPaletteWithAnimation(true);
        else
            palette.showAnswerPaletteOnLineIndex(
                static_cast<uint64_t>(std::max<int64_t>(m_keyLineNumber, 0)), true);
    } else if (command == QLatin1String("toggleSuperScriptMode:"))
        m_textViewController->toggleSuperScriptMode();
    else if (command == QLatin1String("startSpeaking:"))
        startSpeaking();
    else if (command == QLatin1String("speakSelectedLines:"))
        speakSelectedLines();
    else if (command == QLatin1String("speakAnswer:"))
        speakAnswer(tag);
    else if (command == QLatin1String("stopSpeech:"))
        stopSpeech();
    return true;
}

// Helpers

NSIndexSet NBDocumentController::linesForTag(int tag) const {
    if (tag != -1) return tag >= 0 ? NSIndexSet(static_cast<uint64_t>(tag)) : NSIndexSet();
    return keyOrSelectedLines();
}

NSIndexSet NBDocumentController::keyOrSelectedLines() const {
    NSIndexSet lines = m_keyLineNumbers;
    if (lines.empty() && m_keyLineNumber >= 0)
        lines.addIndex(static_cast<uint64_t>(m_keyLineNumber));
    return lines;
}

bool NBDocumentController::anyLineHasResultValue(const NSIndexSet& lines) const {
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    if (!collection) return false;
    bool found = false;
    lines.enumerateIndexes([&](uint64_t index, bool& stop) {
        std::shared_ptr<NCLine> line = collection->lineAtIndex(index);
        if (line && line->hasResultValue()) found = stop = true;
    });
    return found;
}

std::u16string NBDocumentController::lineTextWithLineEnd(uint64_t index) const {
    NBTextViewMetrics* lines = metrics();
    return lines ? lines->stringForLineAtIndex(index, true, false).value_or(u"") : u"";
}

bool NBDocumentController::isCommentLineAtIndex(uint64_t index) const {
    return isCommentLineText(lineTextWithLineEnd(index));
}

bool NBDocumentController::currentSelectionContainsCommentedLines() const {
    for (uint64_t index : m_textViewController->selectedLineNumbers().indexes())
        if (isCommentLineAtIndex(index)) return true;
    return false;
}

bool NBDocumentController::currentSelectionContainsNonCommentedLines() const {
    for (uint64_t index : m_textViewController->selectedLineNumbers().indexes())
        if (!isCommentLineAtIndex(index)) return true;
    return false;
}

bool NBDocumentController::textViewIsFirstResponder() const {
    return m_textView && m_textView->window()->focusWidget() == m_textView;
}

// Validation

bool NBDocumentController::validateCommand(const QString& command, int tag) {
    QAction item;
    item.setData(tag);
    return validateMenuItem(command, &item);
}

bool NBDocumentController::validateToolbarItem(const QString& command) const {
    if (command == QLatin1String("insertNewToken:"))
        return !m_textViewController->answersAreJumped() && m_keyLineNumber >= 1;
    if (command == QLatin1String("showBigAnswer:"))
        return m_answerColumnController->answersVisible();
    if (command == QLatin1String("showAnswerPalette:"))
        return m_answerColumnController->answersVisible() && m_textView &&
               !m_textView->window()->isFullScreen();
    return true;
}

bool NBDocumentController::validateMenuItem(const QString& command, QAction* item) {
    const int tag = item && item->data().isValid() ? item->data().toInt() : -1;
    const bool jumped = m_textViewController->answersAreJumped();
    const std::string name = command.toStdString();
    const bool several = isSeveralLines(m_keyLineNumbers.count(), tag);
    const std::shared_ptr<NCLineCollection>& collection = lineCollection();
    const uint64_t lineCount = collection ? collection->countOfLines() : 0;

    if (command == QLatin1String("alignText:")) {
        NBLineArray lines;
        for (uint64_t index : keyOrSelectedLines().indexes())
            if (auto line = collection ? collection->lineAtIndex(index) : nullptr)
                lines.push_back(line);
        std::optional<int64_t> value;
        if (auto line = collection && m_keyLineNumber >= 0
                            ? collection->lineAtIndex(static_cast<uint64_t>(m_keyLineNumber))
                            : nullptr)
            if (line->expressionFormattingOptions())
                value = line->expressionFormattingOptions()->textAlignment();
        const NBMenuItemState state =
            stateForFormattingProperty(tag, value, lines, "textAlignment");
        setItemState(item, state == NBMenuItemState::On      ? 1
                           : state == NBMenuItemState::Mixed ? -1
                                                             : 0);
        return !jumped && textViewIsFirstResponder();
    }
    if (command == QLatin1String("insertPreviousAnswer:")) {
        if (jumped || m_keyLineNumber < 1) return false;
        return anyLineHasResultValue(
            NSIndexSet(NSRange{0, static_cast<uint64_t>(m_keyLineNumber)}));
    }
    if (command == QLatin1String("insertAnswerTokenReferringToLineAtSendersTag:"))
        return !several && !jumped && m_keyLineNumber >= 0 && tag >= 1 &&
               static_cast<uint64_t>(tag) <= lineCount && tag - 1 != m_keyLineNumber;
    if (command == QLatin1String("insertAbsoluteAnswerFromLine:"))
        return !jumped && m_keyLineNumber >= 0 && tag >= 0 &&
               static_cast<uint64_t>(tag) < lineCount && tag != m_keyLineNumber;
    // On the first line there is no line above to refer to.
    if (command == QLatin1String("insertNewToken:")) return !jumped && m_keyLineNumber >= 1;
    if (command == QLatin1String("insertSubtotalOfSelectedLines:"))
        return !jumped && tag != 0 && !keyOrSelectedLines().empty();
    if (!m_viewController &&
        (command.startsWith(QLatin1String("toggle")) || formattingPropertyOfCommand(command)))
        return false;
    if (command == QLatin1String("toggleWindowToolbarShown:")) {
        auto* window = m_textView ? qobject_cast<NBDocumentWindow*>(m_textView->window()) : nullptr;
        const bool shown = window && window->toolbar() && !window->toolbar()->isHidden();
        setItemTitle(item, shown ? u"Hide Toolbar" : u"Show Toolbar");
        return window != nullptr;
    }
    if (command == QLatin1String("toggleFormattingBarShown:")) {
        setItemTitle(item, m_viewController->formattingBarVisible() ? u"Hide Formatting Bar"
                                                                    : u"Show Formatting Bar");
        return true;
    }
    if (command == QLatin1String("toggleNumberLineShown:")) {
        setItemTitle(item, m_viewController->numberLineVisibile() ? u"Hide Line Numbers"
                                                                  : u"Show Line Numbers");
        return true;
    }
    if (command == QLatin1String("toggleStatisticsShown:")) {
        setItemTitle(item, m_viewController->statisticsBarVisibile() ? u"Hide Statistics Bar"
                                                                     : u"Show Statistics Bar");
        return true;
    }
    if (const char* property = formattingPropertyOfCommand(command)) {
        setItemState(item,
                     m_viewController->formattingBarController()->menuItemState(property, tag));
        return !jumped;
    }
    if (command == QLatin1String("toggleSuperScriptMode:")) {
        if (item && item->isCheckable()) item->setChecked(m_textViewController->superscriptMode());
        return !jumped;
    }
    if (command == QLatin1String("toggleThousandsSeperator:")) {
        setItemState(item, m_viewController->formattingBarController()->menuItemState(
                               "thousandsSeparator", 1));
        return !jumped;
    }
    if (command == QLatin1String("commentLine:")) {
        const bool commentsOnly = currentSelectionContainsCommentedLines() &&
                                  !currentSelectionContainsNonCommentedLines();
        setItemTitle(item, commentLineTitle(commentsOnly, several));
        return !jumped;
    }
    if (command == QLatin1String("jumpAnswers:")) {
        if (lineCount == 0) return true;
        return anyLineHasResultValue(NSIndexSet(NSRange{0, lineCount}));
    }
    if (command == QLatin1String("clearLine:")) {
        if (jumped || m_textViewController->selectedLineNumbers().count() >= 2) return false;
        NBTextViewMetrics* lines = metrics();
        return lines && !lines->currentLineString().empty();
    }
    if (command == QLatin1String("clearAll:"))
        return !jumped && m_textView && !m_textView->document()->isEmpty();
    if (command == QLatin1String("showBigAnswer:")) {
        const bool shown = m_bigAnswerViewer && m_bigAnswerViewer->visible();
        setItemTitle(item, shown ? u"Hide Big Answer" : u"Show Big Answer");
        return m_answerColumnController->answersVisible();
    }
    if (command == QLatin1String("showAnswerPalette:")) {
        setItemTitle(item,
                     answerPaletteIsVisible() ? u"Hide Answer Palette" : u"Show Answer Palette");
        return m_answerColumnController->answersVisible() && m_textView &&
               !m_textView->window()->isFullScreen();
    }
    if (command == QLatin1String("stopSpeech:")) return isSpeaking();
    if (command == QLatin1String("startSpeaking:"))
        return speechAvailable() && m_textView && !m_textView->document()->isEmpty();
    if (command == QLatin1String("speakSelectedLines:"))
        return speechAvailable() && !keyOrSelectedLines().empty();
    if (command == QLatin1String("speakAnswer:") && !speechAvailable()) return false;
    if (command == QLatin1String("copyResult:") ||
        command == QLatin1String("copyUnformattedResult:") ||
        command == QLatin1String("copyExpressionAndResult:") ||
        command == QLatin1String("speakAnswer:")) {
        if (command != QLatin1String("speakAnswer:"))
            setItemTitle(item, copyCommandTitle(name, several));
        if (jumped) return false;
        if (command == QLatin1String("copyExpressionAndResult:") && !several &&
            textViewIsFirstResponder() && m_textView->textCursor().hasSelection()) {
            // A partial selection of the line is the text's to copy, not the line's.
            const NSRange selection = m_textView->selectedRange();
            const NSRange line = metrics()->rangeOfLineAtIndex(
                static_cast<uint64_t>(std::max<int64_t>(m_keyLineNumber, 0)), false);
            if (line.location == NSNotFound || selection.location > line.location ||
                NSMaxRange(selection) < NSMaxRange(line))
                return false;
        }
        if (tag != -1)
            return tag >= 0 && anyLineHasResultValue(NSIndexSet(static_cast<uint64_t>(tag)));
        return anyLineHasResultValue(keyOrSelectedLines());
    }
    return false;
}

// Copying

void NBDocumentController::copyResult(int tag) {
    putOnClipboard(m_textViewController
                       ->stringWithAnswersOnLinesWithIndexes(linesForTag(tag), false, true, false)
                       .plain);
}

void NBDocumentController::copyUnformattedResult(int tag) {
    putOnClipboard(m_textViewController
                       ->stringWithAnswersOnLinesWithIndexes(linesForTag(tag), false, false, false)
                       .plain);
}

void NBDocumentController::copyExpressionAndResult(int tag) {
    const NBTextViewController::AnswersText text =
        m_textViewController->stringWithAnswersOnLinesWithIndexes(linesForTag(tag), true, true,
                                                                  true);
    putOnClipboard(text.plain, text.html);
}

// Editing

void NBDocumentController::clearLine() {
    NBTextViewMetrics* lines = metrics();
    if (!lines || m_textViewController->answersAreJumped()) return;
    const NSRange range = lines->rangeOfLineAtIndex(lines->indexOfCurrentLine(), false);
    if (range.location == NSNotFound || range.length == 0) return;
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(static_cast<int>(range.location));
    cursor.setPosition(static_cast<int>(NSMaxRange(range)), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void NBDocumentController::clearAll() {
    if (!m_textView || m_textViewController->answersAreJumped()) return;
    QTextCursor cursor(m_textView->document());
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
}

void NBDocumentController::commentLine() {
    NBTextViewMetrics* lines = metrics();
    if (!lines || m_textViewController->answersAreJumped()) return;
    std::vector<std::pair<uint64_t, std::u16string>> selected;
    for (uint64_t index : m_textViewController->selectedLineNumbers().indexes())
        selected.emplace_back(index, lineTextWithLineEnd(index));
    const std::vector<NBCommentEdit> edits = commentEditsForLines(selected);
    if (edits.empty()) return;
    std::vector<NSRange> starts;
    for (const NBCommentEdit& edit : edits)
        starts.push_back(lines->rangeOfLineAtIndex(edit.line, false));
    // From the last line to the first, so that earlier starts stay where they were; one edit.
    QTextCursor cursor(m_textView->document());
    cursor.beginEditBlock();
    for (size_t i = edits.size(); i-- > 0;) {
        if (starts[i].location == NSNotFound) continue;
        cursor.setPosition(static_cast<int>(starts[i].location));
        if (edits[i].uncomment) {
            cursor.setPosition(static_cast<int>(starts[i].location + 2), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        } else {
            cursor.insertText(QStringLiteral("//"));
        }
    }
    cursor.endEditBlock();
}

void NBDocumentController::insertPreviousAnswer(int tag) {
    if (m_keyLineNumber < 1 || !lineCollection()) return;
    // The nearest earlier line with a value, else the line above.
    int64_t source = m_keyLineNumber - 1;
    for (int64_t index = m_keyLineNumber - 1; index >= 0; --index) {
        auto line = lineCollection()->lineAtIndex(static_cast<uint64_t>(index));
        if (line && line->hasResultValue()) {
            source = index;
            break;
        }
    }
    if (tag == 0) {
        m_textViewController->insertLineReference(2, static_cast<uint64_t>(m_keyLineNumber),
                                                  static_cast<uint64_t>(source), true);
        return;
    }
    const std::u16string answer =
        m_answerColumnController->formattedResultOnLine(static_cast<uint64_t>(source));
    insertOperatorAndText(QString::fromStdU16String(answer));
}

void NBDocumentController::setViewController(NBViewController* controller) {
    m_viewController = controller;
}

void NBDocumentController::insertAnswerTokenReferringToLine(uint64_t line) {
    // The click made the row the key line: the reference goes on the line of the insertion
    // point.
    const int64_t current = m_textViewController->currentLineNumber();
    if (m_textViewController->answersAreJumped() || current < 0 ||
        static_cast<uint64_t>(current) == line)
        return;
    m_textViewController->insertLineReference(2, static_cast<uint64_t>(current), line, true);
}

void NBDocumentController::insertOperatorAndText(const QString& text) {
    if (!m_textView || m_textViewController->answersAreJumped()) return;
    NBTextViewMetrics* lines = metrics();
    auto line = lineCollection() && lines
                    ? lineCollection()->lineAtIndex(lines->indexOfCurrentLine())
                    : nullptr;
    const NSRange selection = m_textView->selectedRange();
    QString inserted = text;
    if (line && selection.length == 0) {
        const NSRange range = lines->rangeOfLineAtIndex(lines->indexOfCurrentLine(), false);
        NKSmartEditingHelper helper;
        if (auto op = helper.defaultOperatorForLocation(selection.location - range.location,
                                                        line->expression()))
            inserted.prepend(QString::fromStdU16String(*op));
    }
    m_textViewController->insertText(inserted);
}

void NBDocumentController::jumpAnswers() { m_textViewController->jumpAnswers(); }

void NBDocumentController::tvcDidJumpAnswers(NBTextViewController* controller) {
    const bool jumped = controller->answersAreJumped();
    m_answerColumnController->setAnswersVisible(!jumped);
    // The rows follow the document the view shows now.
    if (NBAnswerColumnView* column = m_answerColumnController->answersColumn()) {
        column->setTextView(nullptr);
        column->setTextView(m_textView);
    }
}

void NBDocumentController::alignText(int tag) {
    if (tag < 0) return;
    m_textViewController->setAlignment(tag, m_textViewController->selectedLineNumbers());
    makeDocumentDirty();
}

void NBDocumentController::answerColumnControllerSelectionDidChange(NBAnswerColumnController* c) {
    NBAnswerColumnView* column = c->answersColumn();
    if (column && !column->selectedRowIndexes().empty()) {
        setKeyLineNumber(column->selectedRow());
        setKeyLineNumbers(column->selectedRowIndexes());
    } else {
        setKeyLineNumber(m_textViewController->currentLineNumber());
        setKeyLineNumbers(m_textViewController->selectedLineNumbers());
    }
}

// The big answer

void NBDocumentController::showBigAnswer(int tag, bool fromToolbar) {
    if (!m_bigAnswerViewer) m_bigAnswerViewer = new NBBigAnswerViewer(this);
    if (!m_bigAnswerViewer->visible() && fromToolbar &&
        m_bigAnswerViewer->closedWithinMilliseconds(200)) {
        m_bigAnswerViewer->clearLastClosedDate();
        return;
    }
    if (m_bigAnswerViewer->visible()) {
        m_bigAnswerViewer->setVisible(false);
        return;
    }
    const int64_t index = tag == -1 ? m_textViewController->currentLineNumber() : tag;
    std::shared_ptr<NCLine> line = lineCollection() && index >= 0
                                       ? lineCollection()->lineAtIndex(static_cast<uint64_t>(index))
                                       : nullptr;
    m_bigAnswerViewer->setResult(line ? line->result() : nullptr);
    m_bigAnswerViewer->setFormattingOptions(line ? line->formattingOptions() : nullptr);
    if (m_textView) m_bigAnswerViewer->setScreen(m_textView->screen());
    m_bigAnswerViewer->setVisible(true);
}

bool NBDocumentController::answerPaletteIsVisible() const {
    return m_answerColumnController && m_answerColumnController->hasAnswerPaletteController() &&
           m_answerColumnController->answerPaletteController().paletteIsVisible();
}

void NBDocumentController::restoreAnswerPalette() {
    if (!m_answerColumnController || answerPaletteIsVisible()) return;
    m_answerColumnController->answerPaletteController().showAnswerPaletteOnLineIndex(
        static_cast<uint64_t>(std::max<int64_t>(m_keyLineNumber, 0)), true);
}
