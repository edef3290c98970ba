#include "NBGreySectionView.h"

#include <QLinearGradient>
#include <QPainter>

#include "NBInterfaceHelpers.h"

void NBGreySectionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF bounds = rect();
    QLinearGradient body(0, 0, 0, bounds.height());
    const auto chrome = [this](double white) {
        return NBChromeColor(QColor::fromRgbF(white, white, white), palette());
    };
    body.setColorAt(0, chrome(0.86));
    body.setColorAt(1, chrome(0.74));
    painter.fillRect(bounds, body);
    if (m_rightSectionWidth > 0) {
        const double left = bounds.width() - m_rightSectionWidth;
        QLinearGradient section(0, 0, 0, bounds.height());
        section.setColorAt(0, chrome(0.93));
        section.setColorAt(1, chrome(0.84));
        painter.fillRect(QRectF(left, 0, m_rightSectionWidth, bounds.height()), section);
        painter.fillRect(QRectF(left - 1, 0, 1, bounds.height()), chrome(0.5));
        painter.fillRect(QRectF(left, 0, 1, bounds.height()), chrome(0.97));
    }
    QLinearGradient shadow(0, 0, 0, 6);
    shadow.setColorAt(0, QColor(0, 0, 0, 60));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRectF(0, 0, bounds.width(), 6), shadow);
}
