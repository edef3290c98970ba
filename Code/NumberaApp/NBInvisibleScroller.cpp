#include "NBInvisibleScroller.h"

NBInvisibleScroller::NBInvisibleScroller(QWidget* parent) : QScrollBar(Qt::Vertical, parent) {
    setObjectName(QStringLiteral("invisibleScroller"));
    setFixedWidth(0);
}
