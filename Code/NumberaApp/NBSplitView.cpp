#include "NBSplitView.h"

#include <QMouseEvent>
#include <QPainter>

#include "NBInterfaceHelpers.h"
#include "NotificationCenter.h"

QColor NBSplitView::dividerColor() { return QColor::fromRgbF(0.561f, 0.561f, 0.561f); }

NBSplitView::NBSplitView(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("splitView"));
    setChildrenCollapsible(false);
    setHandleWidth(1);
}

QSplitterHandle* NBSplitView::createHandle() { return new NBSplitViewHandle(orientation(), this); }

void NBSplitView::setDragging(bool dragging) {
    if (dragging == m_dragging) return;
    m_dragging = dragging;
    if (dragging) {
        NotificationCenter::defaultCenter().post(NBSplitViewDidStartResizing, this);
        emit didStartResizing();
    } else {
        NotificationCenter::defaultCenter().post(NBSplitViewDidFinishResizing, this);
        emit didFinishResizing();
    }
}

NBSplitViewHandle::NBSplitViewHandle(Qt::Orientation orientation, NBSplitView* parent)
    : QSplitterHandle(orientation, parent), m_splitView(parent) {}

void NBSplitViewHandle::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), NBChromeColor(NBSplitView::dividerColor(), palette()));
}

void NBSplitViewHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_splitView->setDragging(true);
    QSplitterHandle::mousePressEvent(event);
}

void NBSplitViewHandle::mouseReleaseEvent(QMouseEvent* event) {
    QSplitterHandle::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) m_splitView->setDragging(false);
}
