// A pane with a system vertical scroller at its right edge beside its document view. The
// answer column sits in one: its scroller is the only visible one of the calculation panes.
#ifndef NUMBERA_APP_ES_SCROLL_VIEW_H
#define NUMBERA_APP_ES_SCROLL_VIEW_H

#include <QWidget>

class QScrollBar;

class ESScrollView : public QWidget {
    Q_OBJECT

  public:
    // The document view is taken into the pane.
    explicit ESScrollView(QWidget* documentView, QWidget* parent = nullptr);

    QWidget* documentView() const { return m_documentView; }
    QScrollBar* verticalScroller() const { return m_verticalScroller; }

  private:
    QWidget* m_documentView;
    QScrollBar* m_verticalScroller;
};

#endif
