#include "NBFormattingBarView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QResizeEvent>

#include "NBInterfaceHelpers.h"

NBFormattingBarView::NBFormattingBarView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("formattingBarView"));
    setAutoFillBackground(false);
}

void NBFormattingBarView::setDividerPositions(std::vector<double> positions) {
    if (positions == m_dividerPositions) return;
    m_dividerPositions = std::move(positions);
    update();
}

void NBFormattingBarView::setDrawsDividers(bool draws) {
    if (draws == m_drawsDividers) return;
    m_drawsDividers = draws;
    update();
}

void NBFormattingBarView::setDrawsEllipsis(bool draws) {
    if (draws == m_drawsEllipsis) return;
    m_drawsEllipsis = draws;
    update();
}

void NBFormattingBarView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit changedSize();
}

void NBFormattingBarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, NBChromeColor(QColor::fromRgbF(0.888f, 0.888f, 0.888f), palette()));
    fill.setColorAt(1, NBChromeColor(QColor::fromRgbF(0.837f, 0.837f, 0.837f), palette()));
    painter.fillRect(rect(), fill);
    painter.setPen(NBChromeColor(QColor::fromRgbF(0.6f, 0.6f, 0.6f), palette()));
    painter.drawLine(0, height() - 1, width(), height() - 1);
    if (m_drawsDividers) {
        painter.setPen(QPen(dividerColor(), 1));
        for (double x : m_dividerPositions)
            painter.drawLine(QPointF(x + 0.5, 5), QPointF(x + 0.5, height() - 5));
    }
    if (m_drawsEllipsis) {
        painter.setPen(dividerColor());
        const QRectF end(width() - 22, 0, 18, height());
        painter.drawText(end, Qt::AlignCenter, QString(QChar(0x2026)));
    }
}
