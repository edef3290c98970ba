#include "NBExpandingStringView.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "NotificationCenter.h"

NBExpandingStringView::NBExpandingStringView(QWidget* parent)
    : QWidget(parent), m_title(QStringLiteral("Line: 100")) {
    setAccessibleDescription(tr("The current line number"));
    setAccessibleName(m_title);
}

QFont NBExpandingStringView::textFont() const {
    QFont font = QApplication::font();
    font.setPointSizeF(9.0);
    return font;
}

QSizeF NBExpandingStringView::drawingSize() const {
    const QFontMetricsF metrics(textFont());
    return QSizeF(metrics.horizontalAdvance(m_title), metrics.height());
}

void NBExpandingStringView::setTitle(const QString& title) {
    if (title == m_title) return;
    const QFontMetricsF metrics(textFont());
    const bool widthChanged =
        metrics.horizontalAdvance(title) != metrics.horizontalAdvance(m_title);
    m_title = title;
    setAccessibleName(title);
    if (widthChanged) {
        NotificationCenter::defaultCenter().post(NBExpandingStringViewChangedSize, this);
        emit changedSize();
    }
    update();
}

void NBExpandingStringView::sizeToFit() {
    const QSizeF size = drawingSize();
    resize(static_cast<int>(std::ceil(size.width())) + 1,
           static_cast<int>(std::ceil(size.height())));
}

QSize NBExpandingStringView::sizeHint() const {
    const QSizeF size = drawingSize();
    return QSize(static_cast<int>(std::ceil(size.width())) + 1,
                 static_cast<int>(std::ceil(size.height())));
}

void NBExpandingStringView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(textFont());
    const QSizeF size = drawingSize();
    // Centred vertically, one point lower, over a white shadow 1.1 below.
    const double y = (height() - size.height()) / 2 + 1.0;
    const QRectF rect(0, y, size.width() + 1, size.height());
    painter.setPen(QColor::fromRgbF(1, 1, 1, 0.5));
    painter.drawText(rect.translated(0, 1.1), Qt::AlignLeft | Qt::AlignVCenter, m_title);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, m_title);
}
