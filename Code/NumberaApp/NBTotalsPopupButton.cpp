#include "NBTotalsPopupButton.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <algorithm>

namespace {

constexpr double kTextInset = 6;
constexpr double kArrowSpace = 14;

}  // namespace

NBTotalsPopupButton::NBTotalsPopupButton(QWidget* parent) : QPushButton(parent) {
    setObjectName(QStringLiteral("statisticsButton"));
    setFlat(true);
    setFocusPolicy(Qt::NoFocus);
}

void NBTotalsPopupButton::setVisibleWithValue(bool visible) {
    if (visible == m_visible) return;
    m_visible = visible;
    updateTitle();
}

bool NBTotalsPopupButton::isShowingPlaceholder() const {
    return m_leftComponent.isEmpty() || m_rightCompontent.isEmpty();
}

QFont NBTotalsPopupButton::commentFont() const {
    QFont small = QApplication::font();
    small.setPointSizeF(kCommentFontSize);
    return small;
}

void NBTotalsPopupButton::updateTitle() {
    if (!isShowingPlaceholder()) {
        if (isHidden() && m_visible) show();
        if (!isHidden() && !m_visible) hide();
        setText(m_leftComponent + m_deliniator + m_rightCompontent + m_comment);
    } else {
        setText(m_placeHolder);
        if (m_hidesWhenShowingPlaceHolder) hide();
    }
    updateGeometry();
    update();
}

QSizeF NBTotalsPopupButton::sizeOf(const QString& text, const QFont& font) const {
    const QFontMetricsF metrics(font);
    return QSizeF(metrics.horizontalAdvance(text), metrics.height());
}

QSizeF NBTotalsPopupButton::leftComponentSize() const { return sizeOf(m_leftComponent, font()); }

NBAttributedText NBTotalsPopupButton::drawnRightComponent() const {
    const QColor color =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    if (m_drawnRightComponent.length() == 0)
        return NBAttributedText(m_rightCompontent, font(), color);
    NBAttributedText drawn(m_drawnRightComponent, font(), color);
    return drawn.plainText().isEmpty() ? NBAttributedText(m_rightCompontent, font(), color) : drawn;
}

QSizeF NBTotalsPopupButton::rightComponentSize() const {
    const NBAttributedText drawn = drawnRightComponent();
    return QSizeF(drawn.width(), std::max(drawn.height(), QFontMetricsF(font()).height()));
}

QSizeF NBTotalsPopupButton::deliniatorSize() const { return sizeOf(m_deliniator, font()); }

QSizeF NBTotalsPopupButton::commentSize() const { return sizeOf(m_comment, commentFont()); }

QSizeF NBTotalsPopupButton::totalStringSize() const {
    if (isShowingPlaceholder()) return sizeOf(text(), font());
    // Measured as it is drawn: the name and delimiter as one run, then the value's runs.
    const NBAttributedText name(m_leftComponent + m_deliniator, font(), Qt::black);
    const QSizeF left(name.width(), QFontMetricsF(font()).height());
    const QSizeF right = rightComponentSize();
    const QSizeF comment = isShowingComment() ? commentSize() : QSizeF(0, 0);
    return QSizeF(left.width() + right.width() + comment.width(),
                  std::max({left.height(), right.height(), comment.height()}));
}

QSize NBTotalsPopupButton::sizeHint() const {
    // Measured in the font the button is drawn with once the style has polished it.
    ensurePolished();
    const QSizeF title = totalStringSize();
    return QSize(static_cast<int>(std::ceil(title.width() + 2 * kTextInset + kArrowSpace)),
                 std::max(20, static_cast<int>(std::ceil(title.height())) + 4));
}

void NBTotalsPopupButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown()) painter.fillRect(rect(), palette().color(QPalette::Midlight));
    const QRectF area = QRectF(rect()).adjusted(kTextInset, 0, -(kTextInset + kArrowSpace), 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QFontMetricsF metrics(font());
    painter.setFont(font());
    if (isShowingPlaceholder()) {
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(text(), Qt::ElideRight, area.width()));
    } else {
        // The name and delimiter, then the value in its runs (an exponent raised), cut at the
        // tail together; the comment, drawn smaller, only after a whole value.
        const QColor color = painter.pen().color();
        const NBAttributedText name(m_leftComponent + m_deliniator, font(), color);
        const NBAttributedText value = drawnRightComponent();
        const double nameWidth = name.width();
        const double baseline = area.center().y() - metrics.height() / 2 + metrics.ascent();
        name.elided(area.width()).draw(painter, QPointF(area.left(), baseline));
        const double room = area.width() - nameWidth;
        if (room > 0) {
            const NBAttributedText shown = value.elided(room);
            shown.draw(painter, QPointF(area.left() + nameWidth, baseline), color);
            if (isShowingComment() && shown.width() == value.width()) {
                const double x = area.left() + nameWidth + value.width();
                painter.setFont(commentFont());
                painter.drawText(QRectF(x, area.top(), area.right() - x, area.height()),
                                 Qt::AlignLeft | Qt::AlignVCenter, m_comment);
            }
        }
    }
    // The pop-up's double arrow.
    const double cx = width() - kTextInset - kArrowSpace / 2, cy = height() / 2.0;
    QPainterPath arrows;
    arrows.moveTo(cx - 3, cy - 1.5);
    arrows.lineTo(cx, cy - 5);
    arrows.lineTo(cx + 3, cy - 1.5);
    arrows.moveTo(cx - 3, cy + 1.5);
    arrows.lineTo(cx, cy + 5);
    arrows.lineTo(cx + 3, cy + 1.5);
    painter.setPen(QPen(palette().color(QPalette::ButtonText), 1.2));
    painter.drawPath(arrows);
}
