#include "NBTextViewController.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBAttributedText.h"
#include "NBHTMLRTFConverter.h"
#include "NBInterfaceHelpers.h"
#include "NBTextAttributes.h"
#include "NBTextViewMetrics.h"
#include "NBUserDefaultsController.h"
#include "NCExpression.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCLineEvaluator.h"
#include "NCPropertyListValue.h"
#include "NSLocalizedString.h"
#include "NotificationCenter.h"
#include "PropertyListFile.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

constexpr char16_t kParagraphSeparator = 0x2029;
constexpr char16_t kLineSeparator = 0x2028;
constexpr char16_t kThinSpace = 0x2009;

std::string utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

}  // namespace

NBTextViewController::NBTextViewController(QObject* parent) : QObject(parent) {
    m_tokenEditorController = std::make_unique<NBTokenEditorController>(this);
    m_tokenEditorController->setDelegate(this);
}

NBTextViewController::~NBTextViewController() {
    if (m_colorObserver) NotificationCenter::defaultCenter().removeObserver(m_colorObserver);
    // The highlighter reads this controller's lines: it goes with it.
    if (m_highlighter) {
        m_highlighter->setDocument(nullptr);
        delete m_highlighter.data();
    }
}

std::shared_ptr<NBTextViewMetrics> NBTextViewController::metrics() const {
    return m_textView ? m_textView->metricsInfo() : nullptr;
}

void NBTextViewController::setTextView(NBTextView* textView) {
    if (textView == m_textView) return;
    m_textView = textView;
    if (!textView) return;
    textView->setDelegate(this);
    textView->setup();
    // The edit handler is the document's first listener: whatever else watches the text (a
    // highlighter) may change formats, and those changes must meet a mirror already level.
    connect(textView->document(), &QTextDocument::contentsChange, this,
            &NBTextViewController::contentsChange);
    connect(textView->document(), &QTextDocument::undoCommandAdded, this,
            &NBTextViewController::undoCommandAdded);
    connect(textView, &QTextEdit::cursorPositionChanged, this,
            &NBTextViewController::selectionDidChange);
    connect(textView, &QTextEdit::selectionChanged, this,
            &NBTextViewController::selectionDidChange);
    setupTextAttachmentSupport();
    setupMacros();
    if (auto* settings = dynamic_cast<QtSettings*>(Settings::standard().get()))
        settings->observe(QStringLiteral("NBDefaultFont"), this, [this] { updateTextViewFont(); });
    m_generator.setMetrics(textView->metricsInfo());
    m_pasteboardHelper.setMetrics(textView->metricsInfo());
    m_pasteboardHelper.setDelegate(this);
}

void NBTextViewController::setLineCollection(std::shared_ptr<NCLineCollection> collection) {
    if (collection == m_lineCollection) return;
    m_lineCollection = std::move(collection);
    m_generator.setLineCollection(m_lineCollection);
    m_pasteboardHelper.setLineCollection(m_lineCollection);
    if (m_attachmentController) m_attachmentController->setLineCollection(m_lineCollection);
    loadTextFromLineCollection();
}

std::u16string NBTextViewController::documentText(int from, int to) const {
    if (to <= from) return {};
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    std::u16string text = cursor.selectedText().toStdU16String();
    std::replace(text.begin(), text.end(), kParagraphSeparator, u'\n');
    return text;
}

void NBTextViewController::loadTextFromLineCollection() {
    if (!m_lineCollection) {
        Diagnostics::error(
            "NBTextViewController loadTextFromLineCollection\nWarning: no line collection");
        return;
    }
    if (!m_textView) return;
    std::u16string text;
    NBTokenizedString tokenized;
    const uint64_t count = m_lineCollection->countOfLines();
    bool batch = false;
    for (uint64_t index = 0; index < count; ++index) {
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index);
        std::u16string shown = line ? line->expressionString().value_or(u"") : std::u16string();
        // Line numbers the file holds as typed words are references from the start, as if
        // the caret had left their lines.
        const std::optional<NCIndexSet> absolute =
            line ? line->directAbsoluteLineReferenceIndexes() : std::nullopt;
        if (absolute && absolute->count() > 0) {
            std::u16string tokenizedText =
                NBStoredTextWithTextualLineReferencesTokenized(shown, static_cast<int64_t>(index));
            if (tokenizedText != shown) {
                if (!batch) m_lineCollection->beginBatchUpdate();
                batch = true;
                line->setExpressionString(tokenizedText);
                shown = std::move(tokenizedText);
            }
        }
        if (shown.find(u'\n') != std::u16string::npos) {
            Diagnostics::error(
                "NBTextViewController loadTextFromLineCollection\nWarning:The original "
                "expression of the line has a new line character");
            // One line is one block: the text gets a space; the next synchronisation stores it.
            std::replace(shown.begin(), shown.end(), u'\n', u' ');
        }
        const std::optional<std::u16string> typed =
            line && line->expression() ? line->expression()->originalString() : std::nullopt;
        if (shown.empty() && typed && !typed->empty()) {
            // A line whose stored form comes out empty still shows what the user typed.
            Diagnostics::error(
                "Can only have a zero length attr string if the original string as also zero "
                "length. Otherwise something really screwed up.");
            shown = *typed;
        }
        if (index) tokenized.pieces.push_back({NBLineSeparatorString(), std::nullopt});
        for (auto& piece :
             NBTextAttachmentController::tokenizedStringFromExpressionString(shown).pieces)
            tokenized.pieces.push_back(std::move(piece));
    }
    if (batch) m_lineCollection->endBatchUpdate();
    text = tokenized.displayString();

    QTextDocument* document = m_textView->document();
    m_loading = true;
    m_textView->setTextIsBeingEdited(true);
    document->setUndoRedoEnabled(false);
    document->clear();
    QTextCursor cursor(document);
    // The characters carry no font of their own: the document's default font is the text's.
    cursor.setBlockFormat(NBTextAttributes::defaultTextViewParagraphStyle());
    // New blocks take the format of the block they are split from.
    tokenized.insertAtCursor(cursor);
    applyAlignmentOfLinesToBlocks();
    keepLayoutsOfOverlongLines();
    document->setUndoRedoEnabled(true);
    m_undoActionNames.clear();
    document->setModified(false);
    NBTextViewMetrics& metrics = *m_textView->metricsInfo();
    metrics.mirror().setString(std::move(text));
    metrics.mirror().setSelectedRange({0, 0});
    metrics.resetAllCaches();
    cursor.setPosition(0);
    m_textView->setTextCursor(cursor);
    m_textView->setTextIsBeingEdited(false);
    m_loading = false;
    selectionDidChange();
}

void NBTextViewController::keepLayoutsOfOverlongLines() {
    // A block's layout forgets its shaped text once laid out, and every paint of it (each
    // blink of the caret) shapes the whole text again: for a line too long to evaluate, seconds
    // each time. Such a line keeps its shaped text instead.
    for (QTextBlock block = m_textView->document()->begin(); block.isValid(); block = block.next())
        if (static_cast<size_t>(block.length()) > NCLineEvaluator::maximumEvaluatedLineLength())
            block.layout()->setCacheEnabled(true);
}

void NBTextViewController::applyAlignmentOfLinesToBlocks() {
    const int standard = NBTextAttributes::defaultTextViewAlignment();
    QTextBlock block = m_textView->document()->begin();
    for (const std::shared_ptr<NCLine>& line : m_lineCollection->lines()) {
        if (!block.isValid()) break;
        const auto& options = line->expressionFormattingOptions();
        if (options && options->textAlignment() != standard) {
            QTextBlockFormat format = block.blockFormat();
            // Justified and natural alignments are drawn left.
            const int alignment = options->textAlignment() > 2 ? 0 : options->textAlignment();
            format.setAlignment(NBTextAttributes::qtAlignment(alignment));
            QTextCursor(block).setBlockFormat(format);
        }
        block = block.next();
    }
}

void NBTextViewController::setAlignment(int32_t alignment, const NSIndexSet& lines) {
    if (!m_textView || !m_lineCollection) return;
    QTextDocument* document = m_textView->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (uint64_t index : lines.indexes()) {
        const QTextBlock block = document->findBlockByNumber(static_cast<int>(index));
        if (!block.isValid()) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setAlignment(NBTextAttributes::qtAlignment(alignment));
        QTextCursor(block).setBlockFormat(format);
        if (std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index))
            if (const auto& options = line->expressionFormattingOptions())
                options->setTextAlignment(alignment);
    }
    cursor.endEditBlock();
    if (m_delegate) m_delegate->tvcFormattingDidChange(this);
}

void NBTextViewController::contentsChange(int position, int removed, int added) {
    if (m_loading || !m_textView) return;
    // Qt lays the edit out only after this report: until then nothing may relayout the text.
    m_inContentsChange = true;
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{m_inContentsChange};
    NBTextViewMetrics& metrics = *m_textView->metricsInfo();
    NBTextViewMirror& mirror = metrics.mirror();
    const std::u16string& before = mirror.string();
    const int64_t beforeLength = static_cast<int64_t>(before.size());
    const int64_t afterLength = m_textView->document()->characterCount() - 1;

    // Qt may count the document's closing separator into both spans; both lose it.
    int64_t start = position;
    int64_t oldEnd = start + removed, newEnd = start + added;
    const int64_t excess = std::max<int64_t>({oldEnd - beforeLength, newEnd - afterLength, 0});
    oldEnd -= excess;
    newEnd -= excess;
    std::u16string replacement;
    if (start < 0 || oldEnd < start || newEnd < start ||
        beforeLength - (oldEnd - start) + (newEnd - start) != afterLength) {
        // An inconsistent report: the whole texts compared from both ends.
        Diagnostics::error("Warning: an inconsistent edit report; comparing the whole text");
        start = 0;
        oldEnd = beforeLength;
        newEnd = afterLength;
        replacement = documentText(0, static_cast<int>(afterLength));
    } else {
        replacement = documentText(static_cast<int>(start), static_cast<int>(newEnd));
    }
    // Only what differs: a format change reports text it did not change.
    size_t tail = 0;
    while (oldEnd - static_cast<int64_t>(tail) > start && tail < replacement.size() &&
           before[oldEnd - tail - 1] == replacement[replacement.size() - tail - 1])
        ++tail;
    replacement.resize(replacement.size() - tail);
    oldEnd -= static_cast<int64_t>(tail);
    size_t head = 0;
    while (start + static_cast<int64_t>(head) < oldEnd && head < replacement.size() &&
           before[start + head] == replacement[head])
        ++head;
    replacement.erase(0, head);
    start += static_cast<int64_t>(head);
    if (start == oldEnd && replacement.empty()) {
        // Undoing a token's change of type or reference changes no character.
        if (m_undoing) m_undoChangedText = true;
        return;
    }

    const NSRange range{static_cast<uint64_t>(start), static_cast<uint64_t>(oldEnd - start)};
    const uint64_t firstLine = metrics.indexOfLineAtCharacterIndex(range.location);
    const bool needsNormalizing =
        std::any_of(replacement.begin(), replacement.end(),
                    [](char16_t c) { return c == kLineSeparator || c == kThinSpace; });
    if (m_undoing) {
        mirror.replaceCharactersInRange(range, replacement);
        metrics.resetAllCachesOnAndAfterLineIndex(firstLine == NSUIntegerMax ? 0 : firstLine);
        m_undoChangedText = true;
        return;
    }

    m_textView->setTextIsBeingEdited(true);
    mirror.setSelectedRange(range);
    m_lastTextActions = m_generator.textActionsForRanges({range}, {replacement});
    mirror.replaceCharactersInRange(range, replacement);
    metrics.resetAllCachesOnAndAfterLineIndex(firstLine == NSUIntegerMax ? 0 : firstLine);
    if (m_delegate) m_delegate->tvcDidFinishProcessingText(this);
    textDidChange();
    m_textView->setTextIsBeingEdited(false);
    if (needsNormalizing) {
        const int from = static_cast<int>(start), length = static_cast<int>(newEnd - start);
        QMetaObject::invokeMethod(
            this, [this, from, length] { normalizeTextAround(from, length); },
            Qt::QueuedConnection);
    }
}

void NBTextViewController::textDidChange() {
    NSIndexSet pasted;
    for (const NKTextAction& action : m_lastTextActions) {
        if (action.textActionType() == NKTextActionNone) return;
        const NKTextActionType type = action.textActionType();
        if ((type == NKTextActionAddedMultipleCharacters ||
             type == NKTextActionManyLinesAddedToEnd ||
             type == NKTextActionManyLinesInsertedSomewhere ||
             type == NKTextActionPastedManyLinesOverSelection) &&
            action.indexesToRedraw())
            pasted.addIndexes(*action.indexesToRedraw());
    }
    NotificationCenter::defaultCenter().post(NBTextDidChange, this);
    if (m_delegate) m_delegate->tvcTextDidChange(this);
    if (!pasted.empty() && !m_undoing) {
        // The text cannot change while Qt reports a change of it: tokens follow, as part of
        // the same step to undo unless another edit came between.
        const int revision = m_textView->document()->revision();
        QMetaObject::invokeMethod(
            this,
            [this, pasted, revision] {
                if (!m_textView || m_textView->textCursor().hasSelection()) return;
                m_pendingUndoActionName = QStringLiteral("Paste");
                tokenizeLinesWithTextualLineReferences(
                    pasted, m_textView->document()->revision() == revision);
                m_pendingUndoActionName.clear();
            },
            Qt::QueuedConnection);
    }
}

void NBTextViewController::normalizeTextAround(int position, int length) {
    if (!m_textView) return;
    QTextDocument* document = m_textView->document();
    const int end = std::min(position + length, document->characterCount() - 1);
    QTextCursor cursor(document);
    cursor.joinPreviousEditBlock();
    for (int at = std::max(0, position); at < end; ++at) {
        const QChar c = document->characterAt(at);
        if (c != QChar(kLineSeparator) && c != QChar(kThinSpace)) continue;
        cursor.setPosition(at);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        cursor.insertText(c == QChar(kThinSpace) ? QStringLiteral(" ") : QStringLiteral("\n"));
    }
    cursor.endEditBlock();
}

void NBTextViewController::selectionDidChange() {
    // While the answers are jumped the view shows another document than the lines'.
    if (m_loading || !m_textView || m_answersAreJumped) return;
    NBTextViewMetrics& metrics = *m_textView->metricsInfo();
    // Between Qt's edit and its report the mirror is one edit behind: the report brings it.
    if (static_cast<int64_t>(metrics.mirror().string().size()) !=
        m_textView->document()->characterCount() - 1)
        return;
    const NSRange selection = m_textView->selectedRange();
    metrics.mirror().setSelectedRange(selection);
    setSelectedLineNumbers(metrics.indexesOfLinesContainingRanges({selection}));
    setCurrentLineNumber(static_cast<int64_t>(metrics.indexOfCurrentLine()));
    // Text typed after a token is plain text.
    // (With a selection the view would apply the format to the selected text.)
    if (!m_textView->textCursor().hasSelection() &&
        NBTextAttachmentFromFormat(m_textView->currentCharFormat()))
        m_textView->setCurrentCharFormat(NBPlainTextFormat());
    const NSRange old = m_lastSelection;
    m_lastSelection = selection;
    if (!(old.location == selection.location && old.length == selection.length)) {
        if (m_lastKeyWasMoveRight) flashMatchingBrace(old);
        if (m_tokenEditorController->editorIsVisible() &&
            !(selection.location == static_cast<uint64_t>(m_editedTokenPosition) &&
              selection.length == 1))
            m_tokenEditorController->cancel();
        // Selected tokens draw highlighted.
        updateTokenSelectionLook();
        m_textView->viewport()->update();
    }
    if (m_delegate) m_delegate->tvcTextSelectionDidChange(this);
}

void NBTextViewController::setCurrentLineNumber(int64_t line) {
    if (line == m_currentLineNumber) return;
    const int64_t previous = m_currentLineNumber;
    m_currentLineNumber = line;
    if (m_delegate) m_delegate->tvcLineNumberDidChange(this, previous, line);
    // The line that was left gets its typed references as tokens.
    if (previous >= 0 && !textIsBeingEdited() && m_textView &&
        !m_textView->textCursor().hasSelection())
        QMetaObject::invokeMethod(
            this, [this, previous] { tokenizeLineWithTextualLineReferences(previous); },
            Qt::QueuedConnection);
}

void NBTextViewController::setSelectedLineNumbers(const NSIndexSet& lines) {
    if (lines == m_selectedLineNumbers) return;
    const NSIndexSet old = m_selectedLineNumbers;
    m_selectedLineNumbers = lines;
    if (m_delegate) m_delegate->tvcSelectedLinesDidChange(this, old, lines);
}

void NBTextViewController::redrawLinesAtIndexes(const NSIndexSet& lines,
                                                bool updateTokenPositions) {
    if (!m_textView) return;
    if (updateTokenPositions) redrawAllTokens();
    formatLines(lines);
    m_textView->viewport()->update();
}

void NBTextViewController::updateTextViewFont() {
    if (!m_textView) return;
    const QFont font = NBTextAttributes::defaultTextViewFont();
    if (m_textView->document()->defaultFont() == font) return;
    m_textView->document()->setDefaultFont(font);
    redrawAllTokens();
    formatLines(m_textView->metricsInfo()->allLines());
    if (m_delegate) m_delegate->tvcFormattingDidChange(this);
    // Every line changed height and the scroll offset no longer shows the same line: the
    // caret's line is brought back into view once the text is laid out anew.
    m_textView->ensureCursorVisible();
    QTimer::singleShot(0, m_textView, [view = QPointer<NBTextView>(m_textView)] {
        if (view) view->ensureCursorVisible();
    });
}

void NBTextViewController::insertText(const QString& text) {
    if (!m_textView) return;
    m_textView->setFocus();
    m_textView->insertPlainText(text);
}

void NBTextViewController::setTextViewTextTo(const QString& text, uint64_t line) {
    if (!m_textView) return;
    const NSRange range = m_textView->metricsInfo()->rangeOfLineAtIndex(line, false);
    if (range.location == NSNotFound) return;
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(static_cast<int>(range.location));
    cursor.setPosition(static_cast<int>(NSMaxRange(range)), QTextCursor::KeepAnchor);
    cursor.insertText(NBNormalizedTextViewString(text));
}

void NBTextViewController::printUnitTestOfLastTextAction() {
    if (!std::getenv("NUMBERA_PRINT_TEXT_ACTIONS")) return;
    for (const NKTextAction& action : m_lastTextActions)
        Diagnostics::error(utf8(m_generator.unitTestFromTextAction(action)));
}

// Undo and redo

void NBTextViewController::undo() {
    if (!m_textView || !m_textView->document()->isUndoAvailable()) return;
    m_undoing = true;
    m_undoChangedText = false;
    m_textView->QTextEdit::undo();
    finishUndo();
}

void NBTextViewController::redo() {
    if (!m_textView || !m_textView->document()->isRedoAvailable()) return;
    m_undoing = true;
    m_undoChangedText = false;
    m_textView->QTextEdit::redo();
    finishUndo();
}

void NBTextViewController::undoCommandAdded() {
    if (!m_textView) return;
    const int end = m_textView->document()->availableUndoSteps();
    // Typing merged into a step, or an edit joined to it, keeps that step's name.
    const auto same = m_undoActionNames.find(end);
    const QString name = m_pendingUndoActionName.isEmpty() && same != m_undoActionNames.end()
                             ? same->second
                             : m_pendingUndoActionName;
    m_undoActionNames.erase(m_undoActionNames.lower_bound(end), m_undoActionNames.end());
    m_undoActionNames[end] = name;
}

QString NBTextViewController::undoActionName() const {
    if (!m_textView || !m_textView->document()->isUndoAvailable()) return {};
    const auto found = m_undoActionNames.find(m_textView->document()->availableUndoSteps());
    if (found == m_undoActionNames.end() || found->second.isEmpty()) return {};
    return QString::fromStdU16String(NSLocalizedString(found->second.toStdU16String()));
}

QString NBTextViewController::redoActionName() const {
    if (!m_textView || !m_textView->document()->isRedoAvailable()) return {};
    const auto found = m_undoActionNames.upper_bound(m_textView->document()->availableUndoSteps());
    if (found == m_undoActionNames.end() || found->second.isEmpty()) return {};
    return QString::fromStdU16String(NSLocalizedString(found->second.toStdU16String()));
}

void NBTextViewController::cut() {
    if (!m_textView) return;
    m_pendingUndoActionName = QStringLiteral("Cut");
    m_textView->cut();
    m_pendingUndoActionName.clear();
}

void NBTextViewController::finishUndo() {
    if (m_undoChangedText) {
        // No action describes an undo: an invalid one makes the document rebuild from the
        // text, still as part of the undo.
        NKTextAction action;
        action.invalidate();
        m_lastTextActions = {action};
        textDidChange();
    }
    m_undoing = false;
    selectionDidChange();
}

// Clipboard

QStringList NBTextViewController::supportedPasteboardTypes() const {
    return {QString::fromLatin1(NBLinesPboardType),
            QString::fromLatin1(NBTextAttachmentPboardType)};
}

std::shared_ptr<NCResultFormattingOptions> NBTextViewController::defaultResultFormattingOptions() {
    return NBUserDefaultsController::defaultResultFormattingOptions();
}

void NBTextViewController::writeSelectionToPasteboard(QMimeData& data) {
    if (!m_textView || !m_lineCollection) return;
    const QTextCursor selected = m_textView->textCursor();
    if (!selected.hasSelection()) return;
    // Plain text holds the tokens' answers; the private type their stored references.
    const QString text = QString::fromStdU16String(
        NBDetokenizedText(m_textView->document(), selected.selectionStart(),
                          selected.selectionEnd(), 1, m_attachmentController.get()));
    const QString stored = QString::fromStdU16String(
        NBDetokenizedText(m_textView->document(), selected.selectionStart(),
                          selected.selectionEnd(), 0, m_attachmentController.get()));
    data.setText(text);
    // A word processor takes the lines as they look: coloured, references as their answers.
    // Colouring reads every line again, so it waits until some program asks for it.
    const std::vector<std::u16string> parts = selectedLinePartsWithTokensInRepType(1);
    const std::shared_ptr<NCEnvironment> environment = m_lineCollection->environment();
    const QFont font = NBTextAttributes::defaultTextViewFont();
    const auto html = [parts, environment, font] {
        return QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body>") +
               NBAttributedText(colouredLines(parts, environment), font, Qt::black).html(true) +
               QStringLiteral("</body></html>");
    };
    const auto rtf = [html] { return NBHTMLRTFConverter(html()).RTFData(); };
    if (auto* lazy = dynamic_cast<NBTextMimeData*>(&data)) {
        lazy->setDataMaker(QStringLiteral("text/html"), [html] { return html().toUtf8(); });
        lazy->setDataMaker(QStringLiteral("text/rtf"), rtf);
        lazy->setDataMaker(QStringLiteral("application/rtf"), rtf);
    } else {
        data.setHtml(html());
        data.setData(QStringLiteral("text/rtf"), rtf());
    }
    if (PlistPtr lines = m_pasteboardHelper.pasteboardDataForCopyAtPresentPosition())
        data.setData(QString::fromLatin1(NBLinesPboardType),
                     QByteArray::fromStdString(PropertyListFile::xmlData(lines.get())));
    PlistPtr attachment = PropertyListFile::dictionary();
    PropertyListFile::set(attachment.get(), "NBInternalString",
                          PropertyListFile::string(stored.toStdU16String()));
    data.setData(QString::fromLatin1(NBTextAttachmentPboardType),
                 QByteArray::fromStdString(PropertyListFile::xmlData(attachment.get())));
}

bool NBTextViewController::readSelectionFromPasteboard(const QMimeData& data) {
    const QStringList supported = supportedPasteboardTypes();
    // A middle click or a drop puts the caret where the text goes just before handing it
    // over, ahead of the report of that move: the lines pasted and the references they hold
    // are placed from where the caret is now.
    selectionDidChange();
    for (const QString& type : data.formats()) {
        if (!supported.contains(type)) continue;
        if (type == QLatin1String(NBLinesPboardType)) return readLines(data.data(type));
        return readTextAttachment(data.data(type));
    }
    return false;
}

bool NBTextViewController::readTextAttachment(const QByteArray& bytes) {
    std::string error;
    auto value = NCPropertyListValue::readFromData(bytes.toStdString(), &error);
    if (!value || !value->isDictionary()) {
        Diagnostics::error("Warning and crumbs");
        return false;
    }
    std::u16string stored;
    auto number = value->valueForKey(u"NBLineNumber");
    // A line number from the clipboard must name a line of this document; else its text is
    // pasted.
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    if (number && (number->kind() != NCPropertyListValue::Kind::Integer || number->integer() < 0 ||
                   static_cast<uint64_t>(number->integer()) >= count)) {
        Diagnostics::error("Warning: a pasted line number lies outside the document");
        number = nullptr;
    }
    if (number) {
        const int64_t index = number->integer();
        const int64_t offset = index - std::max<int64_t>(m_currentLineNumber, 0);
        auto requested = value->valueForKey(u"NBRequestedTokenType");
        const int64_t type = requested && requested->kind() == NCPropertyListValue::Kind::Integer
                                 ? requested->integer()
                                 : 0;
        if (type == 3)
            stored = NCExpression::fixedRelativeLineReferenceTokenWithOffset(offset);
        else if (type == 2)
            stored = NCExpression::relativeLineReferenceTokenWithOffset(offset);
        else if (type == 1)
            stored =
                NCExpression::absoluteLineReferenceTokenWithIndex(static_cast<uint64_t>(index));
        else
            return false;
    } else {
        auto string = value->valueForKey(u"NBInternalString");
        if (!string || !string->isString()) return false;
        stored = string->string();
    }
    const NBTokenizedString tokenized =
        NBTextAttachmentController::tokenizedStringFromExpressionString(stored);
    if (tokenized.pieces.size() == 1 && tokenized.pieces.front().attachment)
        insertDefaultOperator();
    insertTokenizedText(stored);
    return true;
}

bool NBTextViewController::readLines(const QByteArray& bytes) {
    if (!m_textView || !m_lineCollection) return false;
    std::string error;
    auto value = NCPropertyListValue::readFromData(bytes.toStdString(), &error);
    if (!value) return false;
    NBTextViewMetrics& metrics = *m_textView->metricsInfo();
    const uint64_t firstLine = metrics.indexOfCurrentLine();
    const NSRange selection = metrics.selectedRange();
    const NSRange lineRange = metrics.rangeOfLineAtIndex(firstLine, false);
    const bool keepsFirstLine = lineRange.location != NSNotFound && lineRange.length > 0 &&
                                !(selection.location <= lineRange.location &&
                                  NSMaxRange(selection) >= NSMaxRange(lineRange));
    std::vector<std::shared_ptr<NCLine>> lines =
        m_pasteboardHelper.pastedlinesForPasteboardData(*value);
    if (lines.empty()) return false;
    std::u16string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) joined += NBLineSeparatorString();
        joined += lines[i]->expressionString().value_or(u"");
    }
    insertTokenizedText(joined);
    NSIndexSet formatted;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 && keepsFirstLine) continue;
        std::shared_ptr<NCLine> target = m_lineCollection->lineAtIndex(firstLine + i);
        if (!target) continue;
        const auto& alignment = lines[i]->expressionFormattingOptions();
        if (alignment && target->expressionFormattingOptions())
            target->expressionFormattingOptions()->setTextAlignment(alignment->textAlignment());
        if (lines[i]->isTrigonometryModeSet())
            target->setTrigonometryMode(lines[i]->trigonometryMode());
        if (lines[i]->customFormattingOptions() && target->customFormattingOptions())
            target->customFormattingOptions()->acquireValuesFromFormattingOptions(
                lines[i]->customFormattingOptions().get());
        formatted.addIndex(firstLine + i);
    }
    if (m_delegate && !formatted.empty()) m_delegate->setLinesNeedRedraw(formatted);
    return true;
}
