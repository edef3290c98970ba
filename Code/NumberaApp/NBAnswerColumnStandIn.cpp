#include "NBAnswerColumnStandIn.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBTextAttributes.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKResultFormattingHelper.h"

NBAnswerColumnView::NBAnswerColumnView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("answerColumn"));
    setMinimumWidth(kMinimumWidth);
    setMaximumWidth(kMaximumWidth);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void NBAnswerColumnView::setTextView(QTextEdit* textView) {
    m_textView = textView;
    if (!textView) return;
    connect(textView->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { update(); });
    connect(textView->document()->documentLayout(),
            &QAbstractTextDocumentLayout::documentSizeChanged, this, [this] { update(); });
    connect(textView->document()->documentLayout(), &QAbstractTextDocumentLayout::update, this,
            [this] { update(); });
}

QRectF NBAnswerColumnView::rectOfRow(uint64_t index) const {
    if (!m_textView) return {};
    const QTextBlock block = m_textView->document()->findBlockByNumber(static_cast<int>(index));
    if (!block.isValid()) return {};
    const QRectF bounds = m_textView->document()->documentLayout()->blockBoundingRect(block);
    const double top = bounds.y() - m_textView->verticalScrollBar()->value() +
                       m_textView->viewport()->y() + m_textView->y() - y();
    return QRectF(0, top, width(), bounds.height());
}

void NBAnswerColumnView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_textView || !m_dataSource) return;
    painter.setFont(NBTextAttributes::defaultTextViewFont());
    painter.setPen(palette().color(QPalette::Text));
    // Only the rows on screen, from the last block starting above the exposed area.
    QTextDocument* document = m_textView->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    const double top = event->rect().top() + m_textView->verticalScrollBar()->value() -
                       m_textView->viewport()->y() - m_textView->y() + y();
    int low = 0, high = document->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (layout->blockBoundingRect(document->findBlockByNumber(middle)).y() <= top)
            low = middle;
        else
            high = middle - 1;
    }
    for (QTextBlock block = document->findBlockByNumber(low); block.isValid();
         block = block.next()) {
        const uint64_t index = static_cast<uint64_t>(block.blockNumber());
        if (index >= m_dataSource->numberOfRowsInAnswerColumn(*this)) break;
        const QRect row = rectOfRow(index).toRect();
        if (row.top() > event->rect().bottom()) break;
        if (row.bottom() < event->rect().top()) continue;
        const QString text =
            NBAppResources::toQString(m_dataSource->objectValueForRow(*this, index).string());
        if (text.isEmpty()) continue;
        const QRect textRect = row.adjusted(6, 0, -6, 0);
        const QString shown =
            painter.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
        // The answer sits on the first line of its block.
        painter.drawText(textRect.x(), textRect.y() + painter.fontMetrics().ascent(), shown);
    }
}

NBAnswerColumnController::NBAnswerColumnController(QObject* parent) : QObject(parent) {}

void NBAnswerColumnController::setAnswersColumn(NBAnswerColumnView* column) {
    if (column == m_column) return;
    m_column = column;
    if (column) column->setDataSource(this);
}

void NBAnswerColumnController::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    m_lines = std::move(lines);
    redrawAllCells();
}

void NBAnswerColumnController::redrawAllCells() {
    if (m_column) m_column->update();
}

void NBAnswerColumnController::numberOfCellsHasChanged() { redrawAllCells(); }

void NBAnswerColumnController::redrawCellAtIndex(uint64_t index) {
    if (!m_column) return;
    const QRectF row = m_column->rectOfRow(index);
    if (row.isValid()) m_column->update(row.toAlignedRect());
}

void NBAnswerColumnController::redrawCellsAtIndexes(const NSIndexSet& indexes) {
    const uint64_t count = m_lines ? m_lines->countOfLines() : 0;
    for (uint64_t index : indexes.indexes()) {
        if (index >= count) {
            Diagnostics::errorf(
                "Warning. Answers Column Being told to redraw cell at index %lu which is out of "
                "bounds",
                static_cast<unsigned long>(index));
            continue;
        }
        redrawCellAtIndex(index);
    }
}

void NBAnswerColumnController::setAnswersVisible(bool visible) {
    m_answersVisible = visible;
    redrawAllCells();
}

uint64_t NBAnswerColumnController::numberOfRowsInAnswerColumn(NBAnswerColumnView&) {
    return m_lines ? m_lines->countOfLines() : 0;
}

NSAttributedString NBAnswerColumnController::objectValueForRow(NBAnswerColumnView&, uint64_t row) {
    if (!m_answersVisible || !m_lines || !m_lines->hasLineAtIndex(row)) return {};
    std::shared_ptr<NCLine> line = m_lines->lineAtIndex(row);
    if (!line) return {};
    return NKResultFormattingHelper::attributedFormattedResultForLine(*line, {}).value_or(
        NSAttributedString());
}

std::u16string NBAnswerColumnController::formattedResultOnLine(uint64_t index) const {
    if (!m_lines || !m_lines->hasLineAtIndex(index)) return {};
    std::shared_ptr<NCLine> line = m_lines->lineAtIndex(index);
    if (!line) return {};
    return NKResultFormattingHelper::formattedResultForLine(*line).value_or(u"");
}

std::u16string NBAnswerColumnController::unformattedResultOnLine(uint64_t index) const {
    return formattedResultOnLine(index);
}
