#include "NBNumberLineView.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <limits>

#include "NBInterfaceHelpers.h"
#include "NBNumberLineCell.h"
#include "NBTextViewRows.h"

QColor NBNumberLineView::keyControlColor() { return QColor::fromRgbF(0.931f, 0.931f, 0.931f); }

QColor NBNumberLineView::inactiveControlColor() { return QColor::fromRgbF(0.91f, 0.91f, 0.91f); }

NBNumberLineView::NBNumberLineView(QWidget* parent)
    : QWidget(parent), m_rows(new NBTextViewRows(this)) {
    setObjectName(QStringLiteral("numberLineView"));
    setFocusPolicy(Qt::NoFocus);
    setMinimumWidth(kMinimumWidth);
    setMaximumWidth(kMaximumWidth);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kDefaultWidth, height());
}

NBNumberLineView::~NBNumberLineView() = default;

QTextEdit* NBNumberLineView::textView() const { return m_rows->textView(); }

QSize NBNumberLineView::sizeHint() const { return QSize(width(), 200); }

QSize NBNumberLineView::minimumSizeHint() const { return QSize(kMinimumWidth, 0); }

void NBNumberLineView::setTextView(QTextEdit* textView) { m_rows->setTextView(textView); }

uint64_t NBNumberLineView::numberOfRows() const {
    return m_dataSource
               ? m_dataSource->numberOfRowsInNumberLine(const_cast<NBNumberLineView&>(*this))
               : 0;
}

void NBNumberLineView::noteNumberOfRowsChanged() {
    const uint64_t count = numberOfRows();
    NSIndexSet kept;
    m_selectedRows.enumerateIndexes([&](uint64_t row, bool& stop) {
        if (row >= count)
            stop = true;
        else
            kept.addIndex(row);
    });
    setSelection(kept, false, false);
    update();
}

void NBNumberLineView::setNeedsDisplayInRect(const QRectF& rect) {
    if (!rect.isEmpty()) update(rect.toAlignedRect());
}

QRectF NBNumberLineView::rectOfRow(uint64_t row) const {
    if (row >= numberOfRows()) return {};
    return m_rows->rectOfRow(row,
                             m_dataSource->heightOfRow(const_cast<NBNumberLineView&>(*this), row));
}

std::vector<uint64_t> NBNumberLineView::visibleRows() const {
    return m_rows->visibleRows(numberOfRows());
}

int64_t NBNumberLineView::rowAtPoint(const QPointF& point) const {
    for (uint64_t row : visibleRows())
        if (rectOfRow(row).contains(point)) return static_cast<int64_t>(row);
    return -1;
}

void NBNumberLineView::selectRowIndexes(const NSIndexSet& rows, bool extendSelection) {
    const uint64_t count = numberOfRows();
    NSIndexSet selection = extendSelection ? m_selectedRows : NSIndexSet();
    rows.enumerateIndexes([&](uint64_t row, bool& stop) {
        if (row >= count)
            stop = true;
        else
            selection.addIndex(row);
    });
    setSelection(selection, true, false);
}

void NBNumberLineView::deselectAll() { setSelection(NSIndexSet(), true, false); }

void NBNumberLineView::setSelectedRowIndexesSilently(const NSIndexSet& rows) {
    setSelection(rows, false, false);
}

void NBNumberLineView::setSelection(NSIndexSet rows, bool notify, bool isChanging) {
    if (rows == m_selectedRows) return;
    m_selectedRows = std::move(rows);
    update();
    if (notify && m_dataSource) m_dataSource->selectionDidChange(*this, isChanging);
}

namespace {

// The rows from one to the other, both included, whichever comes first.
NSIndexSet rowsBetween(int64_t anchor, int64_t row) {
    const uint64_t from = static_cast<uint64_t>(std::min(anchor, row));
    const uint64_t to = static_cast<uint64_t>(std::max(anchor, row));
    return NSIndexSet(NSRange{from, to - from + 1});
}

}  // namespace

void NBNumberLineView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int64_t row = rowAtPoint(event->position());
    if (row < 0) {
        // Below the last row: nothing is selected any more.
        m_anchorRow = -1;
        deselectAll();
        return;
    }
    m_tracking = true;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::ShiftModifier) && m_anchorRow >= 0) {
        setSelection(rowsBetween(m_anchorRow, row), true, true);
    } else if (modifiers & Qt::ControlModifier) {
        NSIndexSet selection = m_selectedRows;
        if (selection.containsIndex(row))
            selection.removeIndex(row);
        else
            selection.addIndex(row);
        m_anchorRow = row;
        setSelection(selection, true, true);
    } else {
        m_anchorRow = row;
        setSelection(NSIndexSet(static_cast<uint64_t>(row)), true, true);
    }
    m_selectionAtPress = m_selectedRows;
}

void NBNumberLineView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_tracking || m_anchorRow < 0) return;
    const int64_t row = rowAtPoint(event->position());
    if (row < 0) return;
    setSelection(rowsBetween(m_anchorRow, row), true, true);
}

void NBNumberLineView::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_tracking) return QWidget::mouseReleaseEvent(event);
    m_tracking = false;
    // The selection is final now: the data source hears of it once more.
    if (m_dataSource && !m_selectedRows.empty()) m_dataSource->selectionDidChange(*this, false);
}

void NBNumberLineView::wheelEvent(QWheelEvent* event) {
    // Only the text scrolls; the numbers follow its offset.
    if (textView()) {
        QCoreApplication::sendEvent(textView()->verticalScrollBar(), event);
        return;
    }
    QWidget::wheelEvent(event);
}

void NBNumberLineView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) update();
    QWidget::changeEvent(event);
}

void NBNumberLineView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(
        event->rect(),
        NBChromeColor(isActiveWindow() ? keyControlColor() : inactiveControlColor(), palette()));
    if (!m_dataSource) return;
    for (uint64_t row : visibleRows()) {
        const QRectF bounds = rectOfRow(row);
        if (bounds.isEmpty() || !bounds.intersects(event->rect())) continue;
        NBNumberLineCell cell;
        cell.setStringValue(m_dataSource->objectValueForRow(*this, row));
        m_dataSource->willDisplayCell(*this, cell, row);
        cell.setTextColor(NBChromeColor(cell.textColor(), palette()));
        cell.drawWithFrame(painter, bounds);
    }
}
