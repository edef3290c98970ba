#include "NBTextViewAccessibility.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWindow>

#include "NBTextAttachment.h"
#include "NBTextView.h"
#include "NSLocalizedString.h"

namespace {

QAccessibleInterface* textViewAccessibleFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("NBTextView")) return nullptr;
    auto* view = qobject_cast<NBTextView*>(object);
    return view ? new NBTextViewAccessible(view) : nullptr;
}

QRect screenRectOfRange(NBTextView* view, int from, int to) {
    QTextCursor cursor(view->document());
    cursor.setPosition(from);
    const QRect start = view->cursorRect(cursor);
    cursor.setPosition(to);
    const QRect end = view->cursorRect(cursor);
    QRect area = start.united(end);
    if (end.top() == start.top()) area.setRight(std::max(start.left(), end.left()) - 1);
    return QRect(view->viewport()->mapToGlobal(area.topLeft()), area.size());
}

}  // namespace

void NBInstallTextViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(textViewAccessibleFactory);
        return true;
    }();
    (void)installed;
}

NBTextViewAccessible::NBTextViewAccessible(NBTextView* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {
    // Positions move with every edit: the tokens' elements are made anew.
    m_textChanged = QObject::connect(view->document(), &QTextDocument::contentsChanged,
                                     [this] { forgetTokens(); });
}

NBTextViewAccessible::~NBTextViewAccessible() {
    QObject::disconnect(m_textChanged);
    forgetTokens();
}

NBTextView* NBTextViewAccessible::view() const { return static_cast<NBTextView*>(widget()); }

void NBTextViewAccessible::forgetTokens() {
    const auto tokens = std::exchange(m_tokens, {});
    for (const auto& [position, id] : tokens) QAccessible::deleteAccessibleInterface(id);
}

QAccessible::State NBTextViewAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = !view()->isReadOnly();
    state.readOnly = view()->isReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString NBTextViewAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) return view()->document()->toRawText();
    return QAccessibleWidget::text(type);
}

void* NBTextViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

std::vector<int> NBTextViewAccessible::tokenPositions() const {
    std::vector<int> positions;
    const QString text = view()->document()->toRawText();
    for (int at = text.indexOf(QChar(NBAttachmentCharacter)); at >= 0;
         at = text.indexOf(QChar(NBAttachmentCharacter), at + 1))
        if (NBTextAttachmentAt(view()->document(), at)) positions.push_back(at);
    return positions;
}

int NBTextViewAccessible::childCount() const { return static_cast<int>(tokenPositions().size()); }

QAccessibleInterface* NBTextViewAccessible::tokenAt(int position) const {
    if (!NBTextAttachmentAt(view()->document(), position)) return nullptr;
    const auto known = m_tokens.find(position);
    if (known != m_tokens.end())
        if (QAccessibleInterface* token = QAccessible::accessibleInterface(known->second))
            return token;
    auto* token = new NBTokenAccessible(view(), position);
    m_tokens[position] = QAccessible::registerAccessibleInterface(token);
    return token;
}

QAccessibleInterface* NBTextViewAccessible::child(int index) const {
    const std::vector<int> positions = tokenPositions();
    if (index < 0 || index >= static_cast<int>(positions.size())) return nullptr;
    return tokenAt(positions[static_cast<size_t>(index)]);
}

int NBTextViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* token = dynamic_cast<const NBTokenAccessible*>(child);
    if (!token) return -1;
    const std::vector<int> positions = tokenPositions();
    const auto found = std::find(positions.begin(), positions.end(), token->position());
    return found == positions.end() ? -1 : static_cast<int>(found - positions.begin());
}

QAccessibleInterface* NBTextViewAccessible::childAt(int x, int y) const {
    const int position = offsetAtPoint(QPoint(x, y));
    return position >= 0 ? tokenAt(position) : nullptr;
}

void NBTextViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const QTextCursor cursor = view()->textCursor();
    const bool has = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = has ? cursor.selectionStart() : 0;
    *endOffset = has ? cursor.selectionEnd() : 0;
}

int NBTextViewAccessible::selectionCount() const {
    return view()->textCursor().hasSelection() ? 1 : 0;
}

void NBTextViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void NBTextViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex != 0) return;
    QTextCursor cursor = view()->textCursor();
    cursor.clearSelection();
    view()->setTextCursor(cursor);
}

void NBTextViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0) return;
    const int last = characterCount();
    QTextCursor cursor = view()->textCursor();
    cursor.setPosition(std::clamp(startOffset, 0, last));
    cursor.setPosition(std::clamp(endOffset, 0, last), QTextCursor::KeepAnchor);
    view()->setTextCursor(cursor);
}

int NBTextViewAccessible::cursorPosition() const { return view()->textCursor().position(); }

void NBTextViewAccessible::setCursorPosition(int position) {
    QTextCursor cursor = view()->textCursor();
    cursor.setPosition(std::clamp(position, 0, characterCount()));
    view()->setTextCursor(cursor);
}

QString NBTextViewAccessible::text(int startOffset, int endOffset) const {
    const QString all = view()->document()->toRawText();
    const int from = std::clamp(startOffset, 0, static_cast<int>(all.size()));
    const int to = std::clamp(endOffset, from, static_cast<int>(all.size()));
    QString part = all.mid(from, to - from);
    part.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return part;
}

int NBTextViewAccessible::characterCount() const {
    return view()->document()->characterCount() - 1;
}

QRect NBTextViewAccessible::characterRect(int offset) const {
    if (offset < 0 || offset >= characterCount()) return {};
    return screenRectOfRange(view(), offset, offset + 1);
}

int NBTextViewAccessible::offsetAtPoint(const QPoint& point) const {
    return view()->characterIndexAtPoint(view()->viewport()->mapFromGlobal(point));
}

void NBTextViewAccessible::scrollToSubstring(int startIndex, int) {
    setCursorPosition(startIndex);
    view()->ensureCursorVisible();
}

QString NBTextViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

NBTokenAccessible::NBTokenAccessible(NBTextView* view, int position)
    : m_view(view), m_position(position) {}

bool NBTokenAccessible::isValid() const {
    return m_view && NBTextAttachmentAt(m_view->document(), m_position).has_value();
}

QWindow* NBTokenAccessible::window() const {
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* NBTokenAccessible::parent() const {
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QString NBTokenAccessible::text(QAccessible::Text type) const {
    if (!isValid()) return {};
    if (type == QAccessible::Name)
        return m_view->delegate() ? m_view->delegate()->textViewTokenTitle(m_position) : QString();
    if (type == QAccessible::Description)
        return QString::fromStdU16String(NSLocalizedString(u"Answer Token"));
    return {};
}

QRect NBTokenAccessible::rect() const {
    return isValid() ? screenRectOfRange(m_view, m_position, m_position + 1) : QRect();
}

QAccessible::State NBTokenAccessible::state() const {
    QAccessible::State state;
    state.readOnly = true;
    return state;
}
