#include "NBColoredLine.h"

#include <QEvent>
#include <QPainter>

NBColoredLine::NBColoredLine(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void NBColoredLine::setActiveColor(const QColor& color) {
    m_activeColor = color;
    update();
}

void NBColoredLine::setInactiveColor(const QColor& color) {
    m_inactiveColor = color;
    update();
}

void NBColoredLine::setShowsWhileInactive(bool shows) {
    m_showsWhileInactive = shows;
    update();
}

void NBColoredLine::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) update();
    QWidget::changeEvent(event);
}

void NBColoredLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (isActiveWindow())
        painter.fillRect(rect(), m_activeColor);
    else if (m_showsWhileInactive)
        painter.fillRect(rect(), m_inactiveColor);
}
