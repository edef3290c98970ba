#include "NBTotalsPopupButton.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

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

QSizeF NBTotalsPopupButton::rightComponentSize() const { return sizeOf(m_rightCompontent, font()); }

QSizeF NBTotalsPopupButton::deliniatorSize() const { return sizeOf(m_deliniator, font()); }

QSizeF NBTotalsPopupButton::commentSize() const { return sizeOf(m_comment, commentFont()); }

QSizeF NBTotalsPopupButton::totalStringSize() const {
    if (isShowingPlaceholder() || !isShowingComment()) return sizeOf(text(), font());
    const QSizeF body = sizeOf(text().left(text().size() - m_comment.size()), font());
    const QSizeF comment = commentSize();
    return QSizeF(body.width() + comment.width(), std::max(body.height(), comment.height()));
}

QSize NBTotalsPopupButton::sizeHint() const {
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
    QString body = text();
    QString comment;
    // The comment is the title's tail, drawn smaller; the placeholder is drawn whole.
    if (!isShowingPlaceholder() && isShowingComment() && body.endsWith(m_comment)) {
        body.chop(m_comment.size());
        comment = m_comment;
    }
    const QFontMetricsF metrics(font());
    const QString shown = metrics.elidedText(body, Qt::ElideRight, area.width());
    painter.setFont(font());
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    if (!comment.isEmpty() && shown == body) {
        const double x = area.left() + metrics.horizontalAdvance(body);
        painter.setFont(commentFont());
        painter.drawText(QRectF(x, area.top(), area.right() - x, area.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, comment);
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
