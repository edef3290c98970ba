#include "NBLittleInfoButton.h"

#include <QPainter>
#include <QPainterPath>

NBLittleInfoButton::NBLittleInfoButton(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    resize(kSize, kSize);
}

void NBLittleInfoButton::setBackgroundStyle(int style) {
    if (style == m_backgroundStyle) return;
    m_backgroundStyle = style;
    update();
}

QString NBLittleInfoButton::imageName() const {
    return QString::fromLatin1(
        littleInfoButtonImageName(isChecked(), isDown(), m_backgroundStyle == 1, m_underMouse));
}

void NBLittleInfoButton::paintEvent(QPaintEvent*) {
    // The artwork is drawn rather than loaded: a disc with an "i", its colours by image.
    const QString image = imageName();
    QColor fill(Qt::transparent);
    QColor ring(128, 128, 128);
    QColor glyph(110, 110, 110);
    if (image == QLatin1String("all-all-hover")) {
        fill = QColor(120, 120, 120);
        ring = fill;
        glyph = Qt::white;
    } else if (image == QLatin1String("off-highlighted-normal")) {
        ring = Qt::white;
        glyph = Qt::white;
    } else if (image == QLatin1String("off-normal-pushed")) {
        fill = QColor(70, 70, 70);
        ring = fill;
        glyph = Qt::white;
    } else if (image == QLatin1String("on-normal-normal")) {
        fill = QColor(40, 110, 220);
        ring = fill;
        glyph = Qt::white;
    } else if (image == QLatin1String("on-highlighted-normal")) {
        fill = Qt::white;
        ring = fill;
        glyph = QColor(40, 110, 220);
    } else if (image == QLatin1String("on-normal-pushed")) {
        fill = QColor(20, 70, 160);
        ring = fill;
        glyph = Qt::white;
    } else if (image == QLatin1String("on-highlighted-pushed")) {
        fill = QColor(200, 200, 200);
        ring = fill;
        glyph = QColor(40, 110, 220);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.6);
    const QRectF disc = QRectF(0, (height() - kSize) / 2, kSize, kSize).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(ring, 1.2));
    painter.setBrush(fill);
    painter.drawEllipse(disc);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glyph);
    const double x = disc.center().x();
    painter.drawEllipse(QPointF(x, disc.top() + 3.6), 1.1, 1.1);
    painter.drawRoundedRect(QRectF(x - 1, disc.top() + 5.6, 2, 6), 0.8, 0.8);
}

void NBLittleInfoButton::enterEvent(QEnterEvent* event) {
    m_underMouse = true;
    update();
    QAbstractButton::enterEvent(event);
}

void NBLittleInfoButton::leaveEvent(QEvent* event) {
    m_underMouse = false;
    update();
    QAbstractButton::leaveEvent(event);
}
