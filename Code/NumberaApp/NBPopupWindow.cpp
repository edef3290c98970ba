#include "NBPopupWindow.h"

#include <QEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <cmath>

#include "NotificationCenter.h"

// The shape

NBPopupShapeView::NBPopupShapeView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
}

QRectF NBPopupShapeView::contentRectForFrameRect(const QRectF& frame) const {
    QRectF content = frame.adjusted(1, 1, -1, -1);
    if (pointerOrientation == Left)
        content.setLeft(content.left() + pointerHeight);
    else if (pointerOrientation == Right)
        content.setRight(content.right() - pointerHeight);
    else if (pointerOrientation == Top)
        content.setTop(content.top() + pointerHeight);
    else
        content.setBottom(content.bottom() - pointerHeight);
    return content;
}

QSizeF NBPopupShapeView::frameSizeForContentSize(const QSizeF& content) const {
    QSizeF size = content + QSizeF(2, 2);
    if (pointerOrientation == Left || pointerOrientation == Right)
        size.rwidth() += pointerHeight;
    else
        size.rheight() += pointerHeight;
    return size;
}

QPainterPath NBPopupShapeView::outline() const {
    const QRectF body = contentRectForFrameRect(QRectF(rect())).toAlignedRect();
    QPainterPath path;
    path.addRoundedRect(body, cornerRadius, cornerRadius);
    const double along = pointerOffset >= 0 ? pointerOffset : height() / 2.0;
    const double half = pointerWidth / 2;
    QPolygonF pointer;
    // Qt's y runs downwards: an offset along the left edge counts from the bottom.
    if (pointerOrientation == Left) {
        const double y = std::floor(height() - along);
        pointer << QPointF(body.left() + 1, std::floor(y - half))
                << QPointF(std::floor(body.left() - pointerHeight), y)
                << QPointF(body.left() + 1, std::floor(y + half));
    } else if (pointerOrientation == Right) {
        const double y = std::floor(height() - along);
        pointer << QPointF(body.right() - 1, std::floor(y - half))
                << QPointF(std::floor(body.right() + pointerHeight), y)
                << QPointF(body.right() - 1, std::floor(y + half));
    } else {
        const double x = std::floor(along);
        const double edge = pointerOrientation == Top ? body.top() : body.bottom();
        const double tip = pointerOrientation == Top ? edge - pointerHeight : edge + pointerHeight;
        const double inside = pointerOrientation == Top ? edge + 1 : edge - 1;
        pointer << QPointF(std::floor(x - half), inside) << QPointF(x, std::floor(tip))
                << QPointF(std::floor(x + half), inside);
    }
    QPainterPath tipPath;
    tipPath.addPolygon(pointer);
    return path.united(tipPath);
}

void NBPopupShapeView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int odd = static_cast<int>(strokeWidth) % 2;
    painter.translate(odd * 0.5, odd * 0.5);
    const QPainterPath path = outline();
    QLinearGradient fill(0, height(), 0, 0);
    for (const auto& [location, colour] : gradient) fill.setColorAt(location, colour);
    painter.fillPath(path, fill);
    if (strokeWidth > 0) {
        QPen pen(strokeColor);
        pen.setWidthF(strokeWidth);
        painter.strokePath(path, pen);
    }
}

// The window

NBPopupWindow::NBPopupWindow(QWidget* parent)
    // A tool window of its parent is transient for it: the window manager keeps it above that
    // window alone.
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_shapeView(new NBPopupShapeView(this)),
      m_fade(new QPropertyAnimation(this, "windowOpacity", this)) {
    setObjectName(QStringLiteral("popupWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowOpacity(0);
    m_fade->setDuration(kFadeMilliseconds);
    connect(m_fade, &QPropertyAnimation::finished, this, [this] {
        // A finished fade-out closes the window.
        if (windowOpacity() <= 0.0) {
            detach();
            hide();
        }
    });
}

NBPopupWindow::~NBPopupWindow() { detach(); }

void NBPopupWindow::resizeEvent(QResizeEvent* event) {
    m_shapeView->setGeometry(rect());
    QWidget::resizeEvent(event);
}

void NBPopupWindow::setStyle(int style) {
    if (style == m_style) return;
    m_style = style;
    NBPopupShapeView& shape = *m_shapeView;
    if (style == 0) {
        shape.strokeWidth = 1;
        shape.strokeColor = QColor::fromRgbF(0.88f, 0.88f, 0.88f);
        // The shape's own default look.
        shape.gradient = NBPopupShapeView().gradient;
    } else {
        shape.strokeWidth = 1;
        shape.strokeColor = QColor::fromRgbF(0.296f, 0.296f, 0.296f, 0.85f);
        const auto grey = [](double white) { return QColor::fromRgbF(white, white, white); };
        shape.gradient = {{0.0, grey(0.065)},  {0.4, grey(0.17)},  {0.4, grey(0.222)},
                          {0.73, grey(0.457)}, {0.74, grey(0.75)}, {0.74, grey(0.75)},
                          {0.76, grey(0.296)}, {1.0, grey(0.323)}};
        shape.cornerRadius = 10;
        shape.pointerWidth = 18;
        shape.pointerHeight -= 2;
    }
    shape.update();
}

void NBPopupWindow::showWithAnimation(bool animated) {
    m_announcesResign = true;
    if (m_suspended) {
        // It shows once its window is active again.
        m_isVisible = true;
        return;
    }
    if (!isVisible()) {
        if (animated) {
            if (m_motherWindow && !m_attached) {
                m_attached = true;
                m_offsetFromMother = pos() - m_motherWindow->pos();
                m_motherWindow->installEventFilter(this);
            }
            setWindowOpacity(0);
            show();
            m_fade->stop();
            m_fade->setStartValue(0.0);
            m_fade->setEndValue(1.0);
            m_fade->start();
        } else {
            m_fade->stop();
            setWindowOpacity(1);
            show();
        }
    }
    m_isVisible = true;
}

void NBPopupWindow::setSuspended(bool suspended) {
    if (suspended == m_suspended) return;
    m_suspended = suspended;
    if (suspended) {
        m_fade->stop();
        hide();
    } else if (m_isVisible) {
        if (m_motherWindow && !m_attached) {
            m_attached = true;
            m_offsetFromMother = pos() - m_motherWindow->pos();
            m_motherWindow->installEventFilter(this);
        }
        setWindowOpacity(1);
        show();
    }
}

void NBPopupWindow::hideWindowWithAnimation(bool animated) {
    m_announcesResign = false;
    m_fade->stop();
    if (animated && !m_suspended) {
        m_fade->setStartValue(windowOpacity());
        m_fade->setEndValue(0.0);
        m_fade->start();
    } else {
        setWindowOpacity(0);
        detach();
        hide();
    }
    m_isVisible = false;
}

void NBPopupWindow::fitToHeight(int height) {
    QRect frame = geometry();
    frame.setHeight(height);
    setGeometry(frame);
}

void NBPopupWindow::detach() {
    if (m_attached && m_motherWindow) m_motherWindow->removeEventFilter(this);
    m_attached = false;
}

void NBPopupWindow::mousePressEvent(QMouseEvent* event) {
    if (m_clickToClose) {
        hideWindowWithAnimation(true);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

bool NBPopupWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && m_announcesResign) {
        emit willResignKey(this);
        NotificationCenter::defaultCenter().post(NBPopupWindowWillResignKey, this);
    }
    return QWidget::event(event);
}

bool NBPopupWindow::eventFilter(QObject* watched, QEvent* event) {
    // Attached, it moves with its mother window.
    if (watched == m_motherWindow && event->type() == QEvent::Move)
        move(m_motherWindow->pos() + m_offsetFromMother);
    return QWidget::eventFilter(watched, event);
}
