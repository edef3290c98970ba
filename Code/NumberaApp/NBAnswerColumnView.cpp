#include "NBAnswerColumnView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

#include "NBAnswerColumnCell.h"
#include "NBInterfaceHelpers.h"
#include "NBTextViewRows.h"

QColor NBAnswerColumnView::keyControlColor() { return QColor::fromRgbF(0.914f, 0.934f, 0.982f); }

QColor NBAnswerColumnView::inactiveControlColor() { return QColor::fromRgbF(0.91f, 0.91f, 0.91f); }

NBAnswerColumnView::NBAnswerColumnView(QWidget* parent)
    : QWidget(parent), m_rows(new NBTextViewRows(this)) {
    setMinimumWidth(kMinimumWidth);
    setMaximumWidth(kMaximumWidth);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click makes the column the first responder, so that the copy key copies answers.
    setFocusPolicy(Qt::ClickFocus);
}

NBAnswerColumnView::~NBAnswerColumnView() = default;

QTextEdit* NBAnswerColumnView::textView() const { return m_rows->textView(); }

QSize NBAnswerColumnView::sizeHint() const { return QSize(kDefaultWidth, 200); }

QSize NBAnswerColumnView::minimumSizeHint() const { return QSize(kMinimumWidth, 0); }

void NBAnswerColumnView::setTextView(QTextEdit* textView) {
    if (textView == this->textView()) return;
    QObject::disconnect(m_cursorConnection);
    m_rows->setTextView(textView);
    // The current line's row is drawn apart.
    if (textView)
        m_cursorConnection =
            connect(textView, &QTextEdit::cursorPositionChanged, this, [this] { update(); });
}

uint64_t NBAnswerColumnView::numberOfRows() const {
    return m_dataSource
               ? m_dataSource->numberOfRowsInAnswerColumn(const_cast<NBAnswerColumnView&>(*this))
               : 0;
}

void NBAnswerColumnView::reloadData() { update(); }

void NBAnswerColumnView::noteNumberOfRowsChanged() {
    const uint64_t count = numberOfRows();
    NSIndexSet kept;
    m_selectedRows.enumerateIndexes([&](uint64_t row, bool& stop) {
        if (row >= count)
            stop = true;
        else
            kept.addIndex(row);
    });
    if (kept.count() != m_selectedRows.count()) setSelection(kept);
    update();
}

void NBAnswerColumnView::setNeedsDisplayInRect(const QRectF& rect) {
    if (!rect.isEmpty()) update(rect.toAlignedRect());
}

double NBAnswerColumnView::rowHeight() const {
    return std::ceil(
        QFontMetricsF(textView() ? textView()->document()->defaultFont() : font()).height());
}

QRectF NBAnswerColumnView::rectOfRow(uint64_t row) const {
    if (row >= numberOfRows()) return {};
    const double ownHeight = m_dataSource->heightOfRow(*const_cast<NBAnswerColumnView*>(this), row);
    if (!textView()) {
        const double height = rowHeight();
        return QRectF(0, row * height, width(), ownHeight >= 0 ? ownHeight : height);
    }
    return m_rows->rectOfRow(row, ownHeight);
}

std::vector<uint64_t> NBAnswerColumnView::visibleRows() const {
    const uint64_t count = numberOfRows();
    if (textView()) return m_rows->visibleRows(count);
    // Without a text view the rows are as tall as a line of the font.
    std::vector<uint64_t> rows;
    const double height = std::max(1.0, rowHeight());
    for (uint64_t row = 0; row < count && row * height < this->height(); ++row) rows.push_back(row);
    return rows;
}

int64_t NBAnswerColumnView::rowAtPoint(const QPointF& point) const {
    for (uint64_t row : visibleRows())
        if (rectOfRow(row).contains(point)) return static_cast<int64_t>(row);
    return -1;
}

uint64_t NBAnswerColumnView::currentLine() const {
    if (!textView()) return 0;
    const int start = textView()->textCursor().selectionStart();
    const QTextBlock block = textView()->document()->findBlock(start);
    return block.isValid() ? static_cast<uint64_t>(block.blockNumber()) : 0;
}

int64_t NBAnswerColumnView::selectedRow() const {
    return m_selectedRows.count() ? static_cast<int64_t>(m_selectedRows.lastIndex()) : -1;
}

void NBAnswerColumnView::selectRowIndexes(const NSIndexSet& rows, bool extendSelection) {
    if (m_dataSource && !m_dataSource->shouldSelectRows(*this)) return;
    const uint64_t count = numberOfRows();
    NSIndexSet selection = extendSelection ? m_selectedRows : NSIndexSet();
    rows.enumerateIndexes([&](uint64_t row, bool& stop) {
        if (row >= count)
            stop = true;
        else
            selection.addIndex(row);
    });
    setSelection(selection);
}

void NBAnswerColumnView::deselectAll() { setSelection(NSIndexSet()); }

void NBAnswerColumnView::setSelection(NSIndexSet rows) {
    if (rows == m_selectedRows) return;
    m_selectedRows = std::move(rows);
    update();
    if (m_dataSource) m_dataSource->selectionDidChange(*this);
    emit selectionDidChange();
}

bool NBAnswerColumnView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && copiesAnswers()) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    // An answer cut at the tail shows whole, errors too, beside the pointer.
    auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = toolTipForRow(rowAtPoint(help->pos()));
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, this);
    return true;
}

QString NBAnswerColumnView::toolTipForRow(int64_t row) const {
    if (!m_dataSource || row < 0) return {};
    auto* self = const_cast<NBAnswerColumnView*>(this);
    NBAnswerColumnCell cell;
    cell.setObjectValue(m_dataSource->objectValueForRow(*self, static_cast<uint64_t>(row)));
    m_dataSource->willDisplayCell(*self, cell, static_cast<uint64_t>(row));
    if (!cell.isTruncatedInBounds(rectOfRow(static_cast<uint64_t>(row)))) return {};
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>")
        .arg(cell.text().html(false, false));
}

void NBAnswerColumnView::changeEvent(QEvent* event) {
    // The background shows whether the window is key.
    if (event->type() == QEvent::ActivationChange) update();
    QWidget::changeEvent(event);
}

void NBAnswerColumnView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(
        event->rect(),
        NBChromeColor(isActiveWindow() ? keyControlColor() : inactiveControlColor(), palette()));
    if (!m_dataSource) return;
    for (uint64_t row : visibleRows()) {
        const QRectF bounds = rectOfRow(row);
        if (bounds.isEmpty() || !bounds.intersects(event->rect())) continue;
        NBAnswerColumnCell cell;
        cell.setObjectValue(m_dataSource->objectValueForRow(*this, row));
        cell.setHighlighted(isRowSelected(row));
        m_dataSource->willDisplayCell(*this, cell, row);
        cell.drawWithFrame(painter, bounds, palette());
    }
}

// Clicks, drags and the context menu

void NBAnswerColumnView::mousePressEvent(QMouseEvent* event) {
    m_pressPosition = event->position();
    m_pressRow = rowAtPoint(event->position());
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) return;
    if (m_pressRow < 0) {
        deselectAll();
        return;
    }
    const bool extend = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    selectRowIndexes(NSIndexSet(static_cast<uint64_t>(m_pressRow)), extend);
}

QMimeData* NBAnswerColumnView::dragDataForRow(int64_t row, Qt::KeyboardModifiers modifiers) {
    if (!m_dataSource || row < 0) return nullptr;
    return m_dataSource->writeRowsWithIndexes(*this, m_selectedRows, row, modifiers);
}

void NBAnswerColumnView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_pressRow < 0 ||
        (event->position() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    const int64_t row = m_pressRow;
    m_pressRow = -1;
    QMimeData* data = dragDataForRow(row, event->modifiers());
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const QPixmap image = m_dataSource->dragImageForRow(*this, row, event->modifiers());
    if (!image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    }
    drag->exec(Qt::CopyAction);
}

void NBAnswerColumnView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!m_dataSource || event->button() != Qt::LeftButton) return;
    const int64_t row = rowAtPoint(event->position());
    // The click before a double click selects its row; the double click acts on that row.
    if (row >= 0 && !isRowSelected(static_cast<uint64_t>(row)))
        selectRowIndexes(NSIndexSet(static_cast<uint64_t>(row)), false);
    m_dataSource->cellDoubleClicked(*this, row, event->modifiers());
}

void NBAnswerColumnView::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_dataSource) return;
    delete m_contextMenu;
    m_contextMenu = m_dataSource->contextualMenuForRow(*this, rowAtPoint(event->pos()));
    if (!m_contextMenu) return;
    // Kept, hidden, until the next menu replaces it.
    m_contextMenu->setParent(this, m_contextMenu->windowFlags());
    m_contextMenu->popup(event->globalPos());
}

void NBAnswerColumnView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy) && m_dataSource) {
        m_dataSource->requestsCopy(*this);
        return;
    }
    QWidget::keyPressEvent(event);
}
