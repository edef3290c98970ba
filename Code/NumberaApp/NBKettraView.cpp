#include "NBKettraView.h"

#include "NBAnswerColumnController.h"
#include "NBTextView.h"

NBKettraView::NBKettraView(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent),
      m_textView(new NBTextView(this)),
      m_answerColumn(new NBAnswerColumnView(this)) {
    setObjectName(QStringLiteral("kettraView"));
    setChildrenCollapsible(false);
    setHandleWidth(1);
    addWidget(m_textView);
    addWidget(m_answerColumn);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
    setSizes({400, NBAnswerColumnView::kDefaultWidth});
}
