#include "NBTextView.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "Diagnostics.h"
#include "NBTextAttributes.h"
#include "NBTextViewAccessibility.h"
#include "NBTextViewMetrics.h"

QString NBNormalizedTextViewString(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar(u'\r'), QChar(u'\n'));
    text.replace(QChar(0x2028), QChar(u'\n'));
    text.replace(QChar(0x2029), QChar(u'\n'));
    text.replace(QChar(0x2009), QChar(u' '));
    return text;
}

NBTextView::NBTextView(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("calculationTextView"));
    NBInstallTextViewAccessibility();
}

NBTextView::~NBTextView() = default;

void NBTextView::setup() {
    m_metrics = std::make_shared<NBTextViewMetrics>(this);
    setAcceptRichText(false);
    setUndoRedoEnabled(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFormatting(QTextEdit::AutoNone);
    document()->setDefaultFont(NBTextAttributes::defaultTextViewFont());
    // The text container inset, 3 points across and 5 down.
    document()->setDocumentMargin(4);
    setViewportMargins(0, 1, 0, 0);
    QTextCursor cursor(document());
    cursor.setBlockFormat(NBTextAttributes::defaultTextViewParagraphStyle());
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

bool NBTextView::setSelectedRange(NSRange range) {
    const uint64_t length = static_cast<uint64_t>(document()->characterCount() - 1);
    if (range.location > length || range.length > length - range.location) {
        Diagnostics::errorf("Warning: %s [Line %d] Invalid Range Set on Text View: {%llu, %llu}",
                            "-[NBTextView setSelectedRanges:affinity:stillSelecting:]", __LINE__,
                            static_cast<unsigned long long>(range.location),
                            static_cast<unsigned long long>(range.length));
        return false;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(static_cast<int>(range.location));
    cursor.setPosition(static_cast<int>(range.location + range.length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    return true;
}

NSRange NBTextView::selectedRange() const {
    const QTextCursor cursor = textCursor();
    return {static_cast<uint64_t>(cursor.selectionStart()),
            static_cast<uint64_t>(cursor.selectionEnd() - cursor.selectionStart())};
}

void NBTextView::insertPlainText(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(NBNormalizedTextViewString(text));
    setTextCursor(cursor);
    ensureCursorVisible();
}

QStringList NBTextView::supportedPasteboardTypes() const {
    if (m_delegate) return m_delegate->supportedPasteboardTypes();
    return {QStringLiteral("NBLinesPboardType"), QStringLiteral("NBTextAttachmentPboardType")};
}

int NBTextView::characterIndexAtPoint(const QPoint& point) const {
    const QPointF inDocument(point.x() + horizontalScrollBar()->value(),
                             point.y() + verticalScrollBar()->value());
    return document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
}

bool NBTextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && m_delegate &&
        m_delegate->textViewClaimsShortcut(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTextEdit::event(event);
}

void NBTextView::mouseMoveEvent(QMouseEvent* event) {
    if (m_delegate) m_delegate->textViewMouseMoved(characterIndexAtPoint(event->pos()));
    QTextEdit::mouseMoveEvent(event);
}

void NBTextView::mousePressEvent(QMouseEvent* event) {
    if (m_delegate && event->button() == Qt::LeftButton &&
        m_delegate->textViewMousePress(characterIndexAtPoint(event->pos()), 1)) {
        event->accept();
        return;
    }
    QTextEdit::mousePressEvent(event);
}

void NBTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_delegate && event->button() == Qt::LeftButton &&
        m_delegate->textViewMousePress(characterIndexAtPoint(event->pos()), 2)) {
        event->accept();
        return;
    }
    QTextEdit::mouseDoubleClickEvent(event);
}

void NBTextView::leaveEvent(QEvent* event) {
    if (m_delegate) m_delegate->textViewMouseMoved(-1);
    QTextEdit::leaveEvent(event);
}

void NBTextView::contextMenuEvent(QContextMenuEvent* event) {
    // The delegate makes the whole menu: the stock one would undo and paste past it.
    std::unique_ptr<QMenu> menu;
    if (m_delegate) {
        menu = std::make_unique<QMenu>(this);
        menu->setObjectName(QStringLiteral("textContextMenu"));
        m_delegate->textViewContextMenu(*menu, characterIndexAtPoint(event->pos()));
    }
    if (!menu || menu->actions().isEmpty()) menu.reset(createStandardContextMenu(event->pos()));
    if (menu) menu->exec(event->globalPos());
}

namespace {

// Names the undo step of the edits made while it lives.
class UndoActionNaming {
  public:
    UndoActionNaming(NBTextViewDelegate* delegate, const QString& name) : m_delegate(delegate) {
        if (m_delegate) m_delegate->setPendingUndoActionName(name);
    }
    ~UndoActionNaming() {
        if (m_delegate) m_delegate->setPendingUndoActionName({});
    }
    UndoActionNaming(const UndoActionNaming&) = delete;
    UndoActionNaming& operator=(const UndoActionNaming&) = delete;

  private:
    NBTextViewDelegate* m_delegate;
};

QString undoActionNameForKey(const QKeyEvent& event) {
    if (event.matches(QKeySequence::Cut)) return QStringLiteral("Cut");
    if (event.matches(QKeySequence::Paste)) return QStringLiteral("Paste");
    return QStringLiteral("Typing");
}

}  // namespace

void NBTextView::keyPressEvent(QKeyEvent* event) {
    if (m_delegate && m_delegate->textViewLeavesKeyToCompletion(*event)) {
        event->ignore();
        return;
    }
    const UndoActionNaming naming(m_delegate, undoActionNameForKey(*event));
    if (m_delegate && m_delegate->textViewKeyPress(*event)) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) && m_delegate) {
        m_delegate->undo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Redo) && m_delegate) {
        m_delegate->redo();
        event->accept();
        return;
    }
    // Shift+Return would put a line separator inside the block: a line is a block. Qt resets
    // the format of an empty formatted block on Return instead of breaking it: the block is
    // broken here, keeping the paragraph style.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        cursor.insertBlock();
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
    const QString typed = event->text();
    if (m_delegate && !typed.isEmpty() && typed.at(0).isPrint() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        m_delegate->insertTextFinished(typed.toStdU16String());
}

void NBTextMimeData::setDataMaker(const QString& format, Maker maker) {
    m_makers[format] = std::move(maker);
}

QStringList NBTextMimeData::formats() const {
    QStringList all = QMimeData::formats();
    for (const auto& [format, maker] : m_makers)
        if (!all.contains(format)) all << format;
    return all;
}

bool NBTextMimeData::hasFormat(const QString& format) const {
    return m_makers.count(format) || QMimeData::hasFormat(format);
}

QVariant NBTextMimeData::retrieveData(const QString& format, QMetaType type) const {
    const auto maker = m_makers.find(format);
    if (maker != m_makers.end()) {
        const Maker make = std::move(maker->second);
        m_makers.erase(maker);
        const_cast<NBTextMimeData*>(this)->setData(format, make());
    }
    return QMimeData::retrieveData(format, type);
}

QMimeData* NBTextView::createMimeDataFromSelection() const {
    auto* data = new NBTextMimeData;
    data->setText(NBNormalizedTextViewString(textCursor().selectedText()));
    if (m_delegate) m_delegate->writeSelectionToPasteboard(*data);
    return data;
}

bool NBTextView::canInsertFromMimeData(const QMimeData* source) const {
    for (const QString& type : supportedPasteboardTypes())
        if (source->hasFormat(type)) return true;
    return source->hasText();
}

void NBTextView::dropEvent(QDropEvent* event) {
    m_dropping = true;
    QTextEdit::dropEvent(event);
    m_dropping = false;
}

void NBTextView::insertFromMimeData(const QMimeData* source) {
    if (!source) return;
    const UndoActionNaming naming(m_delegate,
                                  m_dropping ? QStringLiteral("Drop") : QStringLiteral("Paste"));
    if (m_delegate && m_delegate->readSelectionFromPasteboard(*source)) return;
    // Pasted and dropped text arrives as plain text.
    if (source->hasText()) insertPlainText(source->text());
}
