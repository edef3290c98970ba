// A vertical scroller of no width that draws nothing: the text and the line numbers keep
// scrolling by wheel and by program while only the answer column shows a scroller.
#ifndef NUMBERA_APP_NB_INVISIBLE_SCROLLER_H
#define NUMBERA_APP_NB_INVISIBLE_SCROLLER_H

#include <QScrollBar>

class NBInvisibleScroller : public QScrollBar {
    Q_OBJECT

  public:
    explicit NBInvisibleScroller(QWidget* parent = nullptr);

    static constexpr int scrollerWidth() { return 0; }
    QSize sizeHint() const override { return QSize(0, 0); }
    QSize minimumSizeHint() const override { return QSize(0, 0); }

  protected:
    void paintEvent(QPaintEvent*) override {}
};

#endif
