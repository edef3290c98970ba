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

namespace {

// The artwork is drawn rather than loaded: a disc with an "i", its colours by image.
struct InfoButtonColours {
    const char* image;
    QColor fill;
    QColor ring;
    QColor glyph;
};

InfoButtonColours coloursForImage(const QString& image) {
    const QColor blue(40, 110, 220);
    const InfoButtonColours table[] = {
        {"all-all-hover", QColor(120, 120, 120), QColor(120, 120, 120), Qt::white},
        {"off-highlighted-normal", Qt::transparent, Qt::white, Qt::white},
        {"off-normal-pushed", QColor(70, 70, 70), QColor(70, 70, 70), Qt::white},
        {"on-normal-normal", blue, blue, Qt::white},
        {"on-highlighted-normal", Qt::white, Qt::white, blue},
        {"on-normal-pushed", QColor(20, 70, 160), QColor(20, 70, 160), Qt::white},
        {"on-highlighted-pushed", QColor(200, 200, 200), QColor(200, 200, 200), blue},
    };
    for (const InfoButtonColours& colours : table)
        if (image == QLatin1String(colours.image)) return colours;
    // "off-normal-normal": a grey ring on the row.
    return {"off-normal-normal", Qt::transparent, QColor(128, 128, 128), QColor(110, 110, 110)};
}

}  // namespace

void NBLittleInfoButton::paintEvent(QPaintEvent*) {
    const InfoButtonColours colours = coloursForImage(imageName());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.6);
    const QRectF disc = QRectF(0, (height() - kSize) / 2, kSize, kSize).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(colours.ring, 1.2));
    painter.setBrush(colours.fill);
    painter.drawEllipse(disc);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colours.glyph);
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
