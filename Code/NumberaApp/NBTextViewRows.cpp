#include "NBTextViewRows.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <limits>

NBTextViewRows::NBTextViewRows(QWidget* column) : QObject(column), m_column(column) {}

NBTextViewRows::~NBTextViewRows() { disconnectTextView(); }

void NBTextViewRows::disconnectTextView() {
    for (const QMetaObject::Connection& connection : m_connections) QObject::disconnect(connection);
    m_connections.clear();
    QObject::disconnect(m_scrolling);
    m_scrollBar = nullptr;
    if (m_textView) {
        m_textView->removeEventFilter(this);
        m_textView->viewport()->removeEventFilter(this);
    }
}

void NBTextViewRows::setTextView(QTextEdit* textView) {
    if (textView == m_textView) return;
    disconnectTextView();
    m_textView = textView;
    m_firstBlockHint = 0;
    if (textView) {
        QWidget* column = m_column;
        const auto repaint = [column] { column->update(); };
        followScrollBar();
        QAbstractTextDocumentLayout* layout = textView->document()->documentLayout();
        m_connections.push_back(
            connect(layout, &QAbstractTextDocumentLayout::update, column, repaint));
        m_connections.push_back(
            connect(layout, &QAbstractTextDocumentLayout::documentSizeChanged, column, repaint));
        // The viewport's place in the window decides where row 0 starts.
        textView->installEventFilter(this);
        textView->viewport()->installEventFilter(this);
    }
    m_column->update();
}

void NBTextViewRows::followScrollBar() {
    QScrollBar* bar = m_textView ? m_textView->verticalScrollBar() : nullptr;
    if (bar == m_scrollBar) return;
    QObject::disconnect(m_scrolling);
    m_scrollBar = bar;
    if (bar) {
        QWidget* column = m_column;
        m_scrolling =
            connect(bar, &QScrollBar::valueChanged, column, [column] { column->update(); });
    }
    m_column->update();
}

bool NBTextViewRows::eventFilter(QObject* watched, QEvent* event) {
    // A check of a pointer: the viewport paints after every scroll.
    if (event->type() == QEvent::Paint || event->type() == QEvent::Show) followScrollBar();
    switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::Show:
        case QEvent::FontChange:
            m_column->update();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

double NBTextViewRows::viewportTop() const {
    if (!m_textView) return 0;
    return m_column->mapFromGlobal(m_textView->viewport()->mapToGlobal(QPoint(0, 0))).y();
}

QRectF NBTextViewRows::rectOfRow(uint64_t row, double height) const {
    if (!m_textView || row > static_cast<uint64_t>(std::numeric_limits<int>::max())) return {};
    QTextDocument* document = m_textView->document();
    const QTextBlock block = document->findBlockByNumber(static_cast<int>(row));
    if (!block.isValid()) return {};
    const QRectF blockRect = document->documentLayout()->blockBoundingRect(block);
    if (height < 0) height = blockRect.height() + block.blockFormat().bottomMargin();
    const double y = blockRect.y() - m_textView->verticalScrollBar()->value() + viewportTop();
    return QRectF(0, y, m_column->width(), height);
}

std::vector<uint64_t> NBTextViewRows::visibleRows(uint64_t count) const {
    std::vector<uint64_t> rows;
    if (count == 0 || !m_textView) return rows;
    QTextDocument* document = m_textView->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const double offset = m_textView->verticalScrollBar()->value() - viewportTop();
    const double top = std::max(0.0, offset);
    const double bottom = offset + m_column->height();
    for (QTextBlock block = document->findBlockByNumber(firstBlockAtOrAbove(top)); block.isValid();
         block = block.next()) {
        const uint64_t row = static_cast<uint64_t>(block.blockNumber());
        if (row >= count) break;
        const QRectF rect = layout->blockBoundingRect(block);
        if (rect.y() >= bottom) break;
        if (rect.bottom() + block.blockFormat().bottomMargin() < top) continue;
        rows.push_back(row);
    }
    return rows;
}

int NBTextViewRows::firstBlockAtOrAbove(double top) const {
    QTextDocument* document = m_textView->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const auto y = [&](int number) {
        return layout->blockBoundingRect(document->findBlockByNumber(number)).y();
    };
    // A galloping search from the last first row: asking for a block's rectangle lays the text
    // out down to it, so blocks far below the top are never asked about. (The layout's own
    // hit test answers blocks far down for points in the document's margins.)
    const int count = document->blockCount();
    int low = std::clamp(m_firstBlockHint, 0, count - 1);
    for (int step = 1; low > 0 && y(low) > top; step *= 2) low = std::max(0, low - step);
    int high = low;
    for (int step = 1; high < count - 1; step *= 2) {
        const int next = std::min(count - 1, high + step);
        if (y(next) > top) {
            high = next;
            break;
        }
        low = high = next;
    }
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (y(middle) <= top)
            low = middle;
        else
            high = middle - 1;
    }
    m_firstBlockHint = low;
    return low;
}
