#include "ESScrollView.h"

#include <QHBoxLayout>
#include <QScrollBar>

ESScrollView::ESScrollView(QWidget* documentView, QWidget* parent)
    : QWidget(parent),
      m_documentView(documentView),
      m_verticalScroller(new QScrollBar(Qt::Vertical, this)) {
    m_verticalScroller->setObjectName(QStringLiteral("verticalScroller"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(documentView, 1);
    layout->addWidget(m_verticalScroller, 0);
}
