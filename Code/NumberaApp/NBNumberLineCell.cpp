#include "NBNumberLineCell.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>

NBNumberLineCell::NBNumberLineCell() : m_font(QApplication::font()), m_textColor(Qt::black) {
    m_font.setPointSizeF(kFontSize);
}

double NBNumberLineCell::widthOfString(const QString& text) const {
    return QFontMetricsF(m_font).horizontalAdvance(text);
}

QRectF NBNumberLineCell::drawingRectForBounds(const QRectF& bounds) const {
    QRectF rect = bounds.adjusted(kTextInset, 0, -kTextInset, 0);
    const double textHeight = QFontMetricsF(m_font).height();
    const double slack = rect.height() - textHeight;
    if (slack > 0) {
        rect.setHeight(rect.height() - slack);
        rect.moveTop(rect.top() + slack / 2);
    }
    rect.translate(-2, 0);
    rect.setWidth(rect.width() - 2);
    return rect;
}

void NBNumberLineCell::drawWithFrame(QPainter& painter, const QRectF& bounds) const {
    const QRectF rect = drawingRectForBounds(bounds);
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    const QString text =
        QFontMetricsF(m_font).elidedText(m_stringValue, Qt::ElideRight, rect.width());
    painter.drawText(rect, Qt::AlignRight | Qt::AlignVCenter, text);
}
