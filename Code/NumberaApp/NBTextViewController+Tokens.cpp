// The line-reference tokens of the text view controller: making them from stored references,
// drawing them, their editor, hover highlighting, their menu items and their undo.
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include "Diagnostics.h"
#include "NBColorManager.h"
#include "NBSyntaxHighlighter.h"
#include "NBTextViewController.h"
#include "NBTextViewMetrics.h"
#include "NBTokenCell.h"
#include "NCExpression.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKLineReferenceTokens.h"
#include "NSLocalizedString.h"
#include "NotificationCenter.h"
#include "QtSettings.h"
#include "Settings.h"

namespace {

QString localized(const char16_t* key) { return QString::fromStdU16String(NSLocalizedString(key)); }

// The referenced line's temporary background while a token is under the mouse.
QColor highlightColorForType(int32_t type) {
    if (type == NKLineReferenceTokenTypeAbsolute || type == NKLineReferenceTokenTypeByOffset)
        return QColor::fromRgbF(0.96, 0.906, 0.97);
    return QColor::fromRgbF(0.906, 0.932, 0.978);
}

}  // namespace

void NBTextViewController::setupTextAttachmentSupport() {
    m_attachmentController =
        std::make_unique<NBTextAttachmentController>(m_lineCollection, m_textView->metricsInfo());
    m_tokenHandler = new NBTokenObjectHandler(
        [this](NBTokenCell& cell, int position, bool forDrawing) {
            configureTokenCell(cell, position, forDrawing);
        },
        this);
    m_textView->document()->documentLayout()->registerHandler(NBTokenObjectType, m_tokenHandler);
    // After the edit handler: colouring meets lines already in step with the text.
    m_highlighter =
        new NBSyntaxHighlighter(m_textView->document(), [this] { return m_lineCollection; });
    m_textView->viewport()->setMouseTracking(true);
    if (auto* settings = dynamic_cast<QtSettings*>(Settings::standard().get())) {
        for (const char* key :
             {"NBSyntaxColoringEnabled", "NBBoldLabelsEnabled", "NBBoldHeadingsEnabled"})
            settings->observe(QString::fromLatin1(key), this, [this] {
                if (m_textView) formatLines(m_textView->metricsInfo()->allLines());
            });
    }
    QPointer<NBTextViewController> self(this);
    m_colorObserver = NotificationCenter::defaultCenter().addObserver(
        NBColorDidChange, nullptr, nullptr, [self](const NSNotification&) {
            // Colours change on the main thread, from the preferences.
            if (self && self->m_textView)
                self->formatLines(self->m_textView->metricsInfo()->allLines());
        });
}

void NBTextViewController::configureTokenCell(NBTokenCell& cell, int position, bool forDrawing) {
    // Whatever the token's text sets going must not relayout the text being laid out.
    ++m_tokenLayoutDepth;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{m_tokenLayoutDepth};
    QTextDocument* document = m_textView ? m_textView->document() : nullptr;
    const std::optional<NBTextAttachment> attachment = NBTextAttachmentAt(document, position);
    if (document) cell.setFont(document->defaultFont());
    if (!attachment || !m_attachmentController) {
        cell.setStringValue(QString());
        cell.setTokenStyle(4);
        return;
    }
    const int64_t line = document->findBlock(position).blockNumber();
    std::u16string text = m_attachmentController->stringValueForAttachment(*attachment, line);
    if (position == m_hoveredToken)
        text = NKLineReferenceDescriber::descriptionConstrainedByLength(text.size(), *attachment,
                                                                        line);
    cell.setStringValue(QString::fromStdU16String(text));
    cell.setTokenStyle(NBTokenStyleForAttachmentType(attachment->type));
    if (forDrawing) {
        const QTextCursor selection = m_textView->textCursor();
        cell.setHighlighted(position == m_hoveredToken || (selection.selectionStart() <= position &&
                                                           position < selection.selectionEnd()));
        cell.setDrawsKey(m_textView->isActiveWindow() ||
                         QGuiApplication::platformName() == QLatin1String("offscreen"));
    }
}

std::optional<NBTextAttachment> NBTextViewController::textAttachmentAt(int position) const {
    return m_textView ? NBTextAttachmentAt(m_textView->document(), position) : std::nullopt;
}

void NBTextViewController::replaceRangeWithTokenizedString(int from, int to,
                                                           const NBTokenizedString& text,
                                                           bool joinPreviousEdit) {
    if (!m_textView) return;
    QTextCursor cursor(m_textView->document());
    if (joinPreviousEdit)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    text.insertAtCursor(cursor);
    cursor.endEditBlock();
    m_textView->setTextCursor(cursor);
}

void NBTextViewController::insertTokenizedText(const std::u16string& stored) {
    if (!m_textView) return;
    m_textView->setFocus();
    const QTextCursor selection = m_textView->textCursor();
    replaceRangeWithTokenizedString(
        selection.selectionStart(), selection.selectionEnd(),
        NBTextAttachmentController::tokenizedStringFromExpressionString(stored));
    m_textView->ensureCursorVisible();
}

void NBTextViewController::insertLineReference(int type, uint64_t onLine, uint64_t referringToLine,
                                               bool addOperatorIfNecessary) {
    if (!m_textView) return;
    if (addOperatorIfNecessary) insertDefaultOperator();
    const NBTokenizedString token =
        NBTextAttachmentController::lineReferenceOfType(type, onLine, referringToLine);
    if (token.empty()) return;
    const QTextCursor selection = m_textView->textCursor();
    replaceRangeWithTokenizedString(selection.selectionStart(), selection.selectionEnd(), token);
}

void NBTextViewController::tokenizeLineWithTextualLineReferences(int64_t lineIndex) {
    if (lineIndex < 0) return;
    tokenizeLinesWithTextualLineReferences(NSIndexSet(static_cast<uint64_t>(lineIndex)));
}

std::u16string NBStoredTextWithTextualLineReferencesTokenized(const std::u16string& stored,
                                                              int64_t lineIndex) {
    std::u16string rewritten = stored;
    const NCExpressionTokenArray typed =
        NKLineReferenceTokensOfTypeInString(NCLineReferenceTypeByLineNumber, stored);
    for (auto it = typed.rbegin(); it != typed.rend(); ++it) {
        if (!*it) continue;
        const int64_t number = (*it)->lineReferenceNumber();
        const NSRange range = (*it)->range();
        // "line0" names no line: it stays as the user typed it.
        if (number < 1 || range.location + range.length > rewritten.size()) continue;
        rewritten.replace(
            range.location, range.length,
            NCExpression::relativeLineReferenceTokenWithOffset((number - 1) - lineIndex));
    }
    return rewritten;
}

std::optional<NBTokenizedString> NBTextViewController::tokenizedLineWithTextualLineReferences(
    const QTextBlock& block) const {
    const std::u16string stored = NBStoredTextOfBlock(block);
    const std::u16string rewritten =
        NBStoredTextWithTextualLineReferencesTokenized(stored, block.blockNumber());
    NBTokenizedString tokenized =
        NBTextAttachmentController::tokenizedStringFromExpressionString(rewritten);
    if (rewritten == stored && tokenized.displayString() == block.text().toStdU16String())
        return std::nullopt;
    return tokenized;
}

void NBTextViewController::tokenizeLinesWithTextualLineReferences(const NSIndexSet& lines,
                                                                  bool joinPreviousEdit) {
    if (!m_textView) return;
    QTextDocument* document = m_textView->document();
    const QTextCursor caret = m_textView->textCursor();
    const int currentLine = caret.block().blockNumber();
    const int fromEnd = caret.block().position() + caret.block().length() - 1 - caret.position();
    // Every line rewritten in one edit, from the last up so that the earlier ones keep their
    // positions: the text is laid out, and the lines read again, once for all of them.
    QTextCursor cursor(document);
    bool editing = false, rewroteCurrent = false;
    const std::vector<uint64_t> indexes = lines.indexes();
    for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) {
        const QTextBlock block = document->findBlockByNumber(static_cast<int>(*it));
        if (!block.isValid()) continue;
        const std::optional<NBTokenizedString> tokenized =
            tokenizedLineWithTextualLineReferences(block);
        if (!tokenized) continue;
        if (!editing) {
            if (joinPreviousEdit)
                cursor.joinPreviousEditBlock();
            else
                cursor.beginEditBlock();
            editing = true;
        }
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        tokenized->insertAtCursor(cursor);
        rewroteCurrent = rewroteCurrent || block.blockNumber() == currentLine;
    }
    if (!editing) return;
    cursor.endEditBlock();
    // The caret keeps its distance from the end of its line; other lines leave it in place.
    if (rewroteCurrent && !caret.hasSelection()) {
        const QTextBlock now = document->findBlockByNumber(currentLine);
        QTextCursor moved(document);
        moved.setPosition(std::max(now.position(), now.position() + now.length() - 1 - fromEnd));
        m_textView->setTextCursor(moved);
    }
}

void NBTextViewController::setTextViewTokenizedTextTo(const std::u16string& stored, uint64_t line) {
    if (!m_textView) return;
    const QTextBlock block = m_textView->document()->findBlockByNumber(static_cast<int>(line));
    if (!block.isValid() || NBStoredTextOfBlock(block) == stored) return;
    replaceRangeWithTokenizedString(
        block.position(), block.position() + block.length() - 1,
        NBTextAttachmentController::tokenizedStringFromExpressionString(stored));
}

void NBTextViewController::tokenWasAltered(int position) {
    if (!m_textView) return;
    const uint64_t line =
        static_cast<uint64_t>(m_textView->document()->findBlock(position).blockNumber());
    // The text is unchanged but the line's stored text is not: the document reads it again.
    NKTextAction action;
    action.invalidate();
    m_lastTextActions = {action};
    textDidChange();
    if (m_delegate) m_delegate->tvcTokenWasAlteredOnLine(this, line);
    redrawAllTokens();
}

void NBTextViewController::configureTextAttachment(int position, int64_t referenceIndex,
                                                   int32_t type) {
    if (!textAttachmentAt(position)) return;
    QTextCursor cursor(m_textView->document());
    if (m_tokenEditJoinsPrevious)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    cursor.setCharFormat(NBTextAttachmentFormat({type, referenceIndex}));
    const QString pending =
        std::exchange(m_pendingUndoActionName, QStringLiteral("Modify Answer Token"));
    cursor.endEditBlock();
    m_pendingUndoActionName = pending;
    // One opening of the editor is one undo step.
    if (m_tokenEditorController->editorIsVisible()) m_tokenEditJoinsPrevious = true;
    tokenWasAltered(position);
}

void NBTextViewController::changeTokenType(int position, int32_t type) {
    const std::optional<NBTextAttachment> attachment = textAttachmentAt(position);
    if (!attachment || attachment->type == type) return;
    configureTextAttachment(position, attachment->referenceIndex, type);
}

void NBTextViewController::untokenize(int position) {
    const std::optional<NBTextAttachment> attachment = textAttachmentAt(position);
    if (!attachment) {
        Diagnostics::errorf("Warning: %s [Line %d] Text Attachment of Not the Right Kind",
                            "-[NBTextViewController untokenize:]", __LINE__);
        return;
    }
    const int64_t line = m_textView->document()->findBlock(position).blockNumber();
    const std::u16string text = m_attachmentController->stringValueForAttachment(*attachment, line);
    removeHighlighting();
    NBTokenizedString plain;
    plain.pieces.push_back({text, std::nullopt});
    replaceRangeWithTokenizedString(position, position + 1, plain);
}

void NBTextViewController::showEditorForTextAttachment(int position) {
    const std::optional<NBTextAttachment> attachment = textAttachmentAt(position);
    if (!attachment) return;
    if (m_tokenEditorController->editorIsVisible() && m_editedTokenPosition == position) return;
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(position);
    const QRect start = m_textView->cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect end = m_textView->cursorRect(cursor);
    const int width = std::max(0, end.x() - start.x());
    // The bottom centre of the token.
    const QPoint point = m_textView->viewport()->mapToGlobal(
        QPoint(start.x() + width / 2, start.y() + start.height() - 1));
    m_editedTokenPosition = position;
    m_tokenEditJoinsPrevious = false;
    m_textView->setSelectedRange({static_cast<uint64_t>(position), 1});
    const uint64_t line =
        static_cast<uint64_t>(m_textView->document()->findBlock(position).blockNumber());
    m_tokenEditorController->displayEditorForToken(*attachment, position, line, point, m_textView,
                                                   start.height());
}

void NBTextViewController::tokenEditorDidModifyType(NBTokenEditorController& editor, int32_t,
                                                    int32_t) {
    const NBTextAttachment& edited = editor.representedTextAttachment();
    configureTextAttachment(editor.representedPosition(), edited.referenceIndex, edited.type);
}

void NBTextViewController::tokenEditorDidModifyReferenceIndex(NBTokenEditorController& editor,
                                                              int64_t, int64_t) {
    const NBTextAttachment& edited = editor.representedTextAttachment();
    configureTextAttachment(editor.representedPosition(), edited.referenceIndex, edited.type);
    const int64_t target =
        edited.referencedLineIndex(static_cast<int64_t>(editor.tokenLineIndex()));
    if (target >= 0)
        highlightLineAtIndex(static_cast<uint64_t>(target), highlightColorForType(edited.type));
}

void NBTextViewController::tokenEditorDidFinishEditingToken(NBTokenEditorController& editor) {
    editor.hideTokenEditor();
    m_editedTokenPosition = -1;
    m_tokenEditJoinsPrevious = false;
    removeHighlighting();
    redrawAllTokens();
    if (m_textView) m_textView->setFocus();
}

QList<QAction*> NBTextViewController::contextualMenuItemsForTextAttachment(int position,
                                                                           QObject* parent) {
    QList<QAction*> items;
    const std::optional<NBTextAttachment> attachment = textAttachmentAt(position);
    if (!attachment) return items;
    auto* edit = new QAction(localized(u"Edit..."), parent);
    connect(edit, &QAction::triggered, this,
            [this, position] { showEditorForTextAttachment(position); });
    items << edit;
    if (attachment->type == NKLineReferenceTokenTypeByLine ||
        attachment->type == NKLineReferenceTokenTypeByOffset) {
        const int32_t tag = attachment->type == NKLineReferenceTokenTypeByLine
                                ? NKLineReferenceTokenTypeByOffset
                                : NKLineReferenceTokenTypeByLine;
        auto* type =
            new QAction(tag == NKLineReferenceTokenTypeByOffset ? localized(u"Reference by Offset")
                                                                : localized(u"Reference by Line"),
                        parent);
        type->setData(tag);
        connect(type, &QAction::triggered, this,
                [this, position, tag] { changeTokenType(position, tag); });
        items << type;
    }
    auto* untokenizeItem = new QAction(localized(u"Untokenize"), parent);
    connect(untokenizeItem, &QAction::triggered, this, [this, position] { untokenize(position); });
    items << untokenizeItem;
    return items;
}

QString NBTextViewController::textViewTokenTitle(int position) const {
    const std::optional<NBTextAttachment> attachment =
        NBTextAttachmentAt(m_textView ? m_textView->document() : nullptr, position);
    if (!attachment || !m_attachmentController) return {};
    const int64_t line = m_textView->document()->findBlock(position).blockNumber();
    return QString::fromStdU16String(
        m_attachmentController->stringValueForAttachment(*attachment, line));
}

void NBTextViewController::redrawAllTokens() {
    if (!m_textView) return;
    if (!layoutIsSettled()) {
        m_deferredTokenRedraw = true;
        scheduleDeferredRedraw();
        return;
    }
    // Every token measured again, in one relayout of the blocks from the first holding one to
    // the last: each relayout of the document walks every later block, so block by block a
    // long document took minutes.
    QTextDocument* document = m_textView->document();
    int from = -1, to = -1;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!block.text().contains(QChar(NBAttachmentCharacter))) continue;
        if (from < 0) from = block.position();
        to = block.position() + block.length() - 1;
    }
    if (from >= 0 && to > from) document->markContentsDirty(from, to - from);
    m_textView->viewport()->update();
}

void NBTextViewController::scheduleDeferredRedraw() {
    if (m_deferredRedrawQueued) return;
    m_deferredRedrawQueued = true;
    QMetaObject::invokeMethod(
        this, [this] { performDeferredRedraw(); }, Qt::QueuedConnection);
}

void NBTextViewController::performDeferredRedraw() {
    m_deferredRedrawQueued = false;
    if (!m_textView) return;
    if (!layoutIsSettled()) {
        scheduleDeferredRedraw();
        return;
    }
    const bool tokens = m_deferredTokenRedraw;
    const NSIndexSet lines = m_deferredFormatting;
    m_deferredTokenRedraw = false;
    m_deferredFormatting = NSIndexSet();
    if (tokens) redrawAllTokens();
    if (!lines.empty()) formatLines(lines);
}

void NBTextViewController::highlightLineAtIndex(uint64_t index, const QColor& color) {
    m_highlightedLine = std::make_pair(index, color);
    updateExtraSelections();
}

void NBTextViewController::removeHighlighting() {
    if (!m_highlightedLine) return;
    m_highlightedLine.reset();
    updateExtraSelections();
}

void NBTextViewController::updateExtraSelections() {
    if (!m_textView) return;
    QList<QTextEdit::ExtraSelection> selections;
    QTextDocument* document = m_textView->document();
    if (m_highlightedLine) {
        const QTextBlock block =
            document->findBlockByNumber(static_cast<int>(m_highlightedLine->first));
        if (block.isValid()) {
            QTextEdit::ExtraSelection line;
            line.cursor = QTextCursor(block);
            line.format.setBackground(m_highlightedLine->second);
            line.format.setProperty(QTextFormat::FullWidthSelection, true);
            selections << line;
        }
    }
    if (m_flashedBrace) {
        QTextEdit::ExtraSelection brace;
        brace.cursor = QTextCursor(document);
        brace.cursor.setPosition(static_cast<int>(m_flashedBrace->location));
        brace.cursor.setPosition(static_cast<int>(NSMaxRange(*m_flashedBrace)),
                                 QTextCursor::KeepAnchor);
        brace.format.setBackground(QColor(255, 235, 59));
        selections << brace;
    }
    m_textView->setExtraSelections(selections);
}

void NBTextViewController::setHoveredCharacter(int position) {
    if (!m_textView) return;
    const std::optional<NBTextAttachment> attachment = textAttachmentAt(position);
    const int hovered = attachment ? position : -1;
    if (hovered == m_hoveredToken) return;
    const int old = m_hoveredToken;
    m_hoveredToken = hovered;
    removeHighlighting();
    QTextDocument* document = m_textView->document();
    if (attachment) {
        const int64_t line = document->findBlock(position).blockNumber();
        const int64_t target = attachment->referencedLineIndex(line);
        if (target >= 0 && target < document->blockCount())
            highlightLineAtIndex(static_cast<uint64_t>(target),
                                 highlightColorForType(attachment->type));
    }
    // The hovered token shows its description: it is measured again.
    for (int at : {old, hovered})
        if (at >= 0 && at < document->characterCount() - 1) document->markContentsDirty(at, 1);
    m_textView->viewport()->update();
}

void NBTextViewController::textViewMouseMoved(int position) { setHoveredCharacter(position); }

bool NBTextViewController::textViewMousePress(int position, int clicks) {
    const std::optional<NBTextAttachment> attachment = textAttachmentAt(position);
    if (!attachment) return false;
    m_textView->setSelectedRange({static_cast<uint64_t>(position), 1});
    if (clicks == 2 && attachment->type != NKLineReferenceTokenTypeNull)
        showEditorForTextAttachment(position);
    return true;
}

void NBTextViewController::formatLines(const NSIndexSet& lines) {
    if (!m_highlighter || !m_textView) return;
    // New formats drop a block's layout: never while a token of it is being measured.
    if (m_tokenLayoutDepth > 0) {
        m_deferredFormatting.addIndexes(lines);
        scheduleDeferredRedraw();
        return;
    }
    QTextDocument* document = m_textView->document();
    std::vector<QTextBlock> blocks;
    for (uint64_t index : lines.indexes()) {
        const QTextBlock block = document->findBlockByNumber(static_cast<int>(index));
        if (block.isValid()) blocks.push_back(block);
    }
    m_highlighter->rehighlightBlocks(blocks);
}

void NBTextViewController::updateTokenSelectionLook() {
    if (!m_textView) return;
    const NSRange selection = m_textView->selectedRange();
    const std::optional<NBTextAttachment> selected =
        selection.length == 1 ? textAttachmentAt(static_cast<int>(selection.location))
                              : std::nullopt;
    const bool tokenAlone = selected.has_value();
    if (tokenAlone == m_paletteBeforeTokenSelection.has_value()) return;
    QPalette palette = m_textView->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        // A token selected alone draws itself as the selected capsule: Qt's square of
        // highlight behind it, and laid half-opaque over it (whatever its colour, even a
        // transparent one), would hide the capsule. Only no brush at all paints nothing.
        if (tokenAlone)
            palette.setBrush(group, QPalette::Highlight, QBrush(Qt::NoBrush));
        else
            palette.setBrush(group, QPalette::Highlight,
                             m_paletteBeforeTokenSelection->brush(group, QPalette::Highlight));
    }
    if (tokenAlone)
        m_paletteBeforeTokenSelection = m_textView->palette();
    else
        m_paletteBeforeTokenSelection.reset();
    m_textView->setPalette(palette);
}
