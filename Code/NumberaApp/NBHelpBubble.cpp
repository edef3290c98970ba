#include "NBHelpBubble.h"

#include <QEvent>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QRegion>
#include <algorithm>

#include "NBOnScreenPlacement.h"

namespace {

constexpr int kMargin = 10;  // half of the 20 added to the text's size, on each side
constexpr qreal kCornerRadius = 8;

}  // namespace

NBHelpBubble::NBHelpBubble(QWidget* motherWindow)
    // A tool window of the mother window: above that window only.
    : QWidget(motherWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_textField(new QLabel(this)),
      m_motherWindow(motherWindow) {
    setObjectName(QStringLiteral("helpBubble"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    m_textField->setObjectName(QStringLiteral("helpBubbleText"));
    m_textField->setTextInteractionFlags(Qt::NoTextInteraction);
    m_textField->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_textField->setAlignment(Qt::AlignCenter);
    QFont bold = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    bold.setPointSize(11);
    bold.setBold(true);
    m_textField->setFont(bold);
    QPalette white = m_textField->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_textField->setPalette(white);
    m_textField->setText(QStringLiteral("The Text"));
    if (motherWindow) {
        m_motherPosition = motherWindow->pos();
        motherWindow->installEventFilter(this);
    }
    resizeWindowToFit();
    m_pointerOffset = width() / 2;
}

NBHelpBubble::~NBHelpBubble() {
    if (m_motherWindow) m_motherWindow->removeEventFilter(this);
}

void NBHelpBubble::setTitle(const QString& title) {
    m_textField->setText(title);
    resizeWindowToFit();
}

void NBHelpBubble::setPointerOrientation(PointerOrientation orientation) {
    m_orientation = orientation;
    resizeWindowToFit();
}

void NBHelpBubble::setPointerOffset(int offset) {
    m_pointerOffset = offset;
    setMask(QRegion(shape().toFillPolygon().toPolygon()));
    update();
}

QRect NBHelpBubble::contentRect() const {
    const int top = m_orientation == PointerUp ? kPointerHeight : 0;
    return QRect(0, top, width(), height() - kPointerHeight);
}

void NBHelpBubble::resizeWindowToFit() {
    m_textField->adjustSize();
    const QSize content = m_textField->size() + QSize(2 * kMargin, 2 * kMargin);
    resize(content.width(), content.height() + kPointerHeight);
    const QRect inside = contentRect();
    m_textField->move(inside.center() - m_textField->rect().center());
    setMask(QRegion(shape().toFillPolygon().toPolygon()));
    update();
}

QPainterPath NBHelpBubble::shape() const {
    const QRectF box = contentRect();
    QPainterPath path;
    path.addRoundedRect(box, kCornerRadius, kCornerRadius);
    const qreal low = kCornerRadius + kPointerHeight;
    const qreal tip = std::clamp<qreal>(
        m_pointerOffset, low, std::max(low, box.width() - kCornerRadius - kPointerHeight));
    QPainterPath pointer;
    if (m_orientation == PointerUp) {
        pointer.moveTo(tip - kPointerHeight, box.top() + 1);
        pointer.lineTo(tip, 0);
        pointer.lineTo(tip + kPointerHeight, box.top() + 1);
    } else {
        pointer.moveTo(tip - kPointerHeight, box.bottom() - 1);
        pointer.lineTo(tip, height());
        pointer.lineTo(tip + kPointerHeight, box.bottom() - 1);
    }
    pointer.closeSubpath();
    return path.united(pointer);
}

void NBHelpBubble::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40, 235));
    painter.drawPath(shape());
}

void NBHelpBubble::moveOnScreen(const QPoint& origin, int pointerOffset) {
    m_intendedOrigin = origin;
    m_intendedPointerOffset = pointerOffset;
    const QRect wanted(origin, size());
    const QRect placed = NBRectPlacedInside(wanted, NBAvailableScreenArea(m_motherWindow));
    move(placed.topLeft());
    // Pushed inside the screen, the pointer still points where it was meant to.
    setPointerOffset(pointerOffset - (placed.x() - wanted.x()));
}

void NBHelpBubble::showWithAnimation() {
    if (isVisible()) return;
    setWindowOpacity(0.0);
    show();
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(200);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void NBHelpBubble::hideWindowWithAnimation() {
    if (!isVisible()) return;
    hide();
    setWindowOpacity(1.0);
}

void NBHelpBubble::advanceToNextStage() { advance(false); }

void NBHelpBubble::advance(bool clicked) {
    if (!m_delegate) return;
    const int stage = m_stage;
    m_delegate->helpBubbleWantsToAdvanceToNextStage(*this, clicked);
    // A delegate that reset the stages ended the tutorial: it stays at 0.
    if (stage == 0 || m_stage != 0) ++m_stage;
}

void NBHelpBubble::resetStages() {
    m_stage = 0;
    m_identifier.clear();
}

void NBHelpBubble::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) advance(true);
    event->accept();
}

bool NBHelpBubble::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_motherWindow && event->type() == QEvent::Move) {
        const QPoint now = m_motherWindow->pos();
        // It goes with the window, and stays on the screen where the window nears an edge.
        if (m_intendedPointerOffset >= 0)
            moveOnScreen(m_intendedOrigin + (now - m_motherPosition), m_intendedPointerOffset);
        else
            move(pos() + (now - m_motherPosition));
        m_motherPosition = now;
    }
    return QWidget::eventFilter(watched, event);
}
