// The split between the calculation text and the answer column. Its divider is drawn in a
// mid grey; a drag of it is announced before it starts ("NBSplitViewDidStartResizing") and
// after it ends ("NBSplitViewDidFinishResizing"), with the split view as sender.
#ifndef NUMBERA_APP_NB_SPLIT_VIEW_H
#define NUMBERA_APP_NB_SPLIT_VIEW_H

#include <QSplitter>
#include <QSplitterHandle>

inline constexpr const char* NBSplitViewDidStartResizing = "NBSplitViewDidStartResizing";
inline constexpr const char* NBSplitViewDidFinishResizing = "NBSplitViewDidFinishResizing";

class NBSplitView : public QSplitter {
    Q_OBJECT

  public:
    static QColor dividerColor();

    explicit NBSplitView(QWidget* parent = nullptr);
    bool isDraggingDivider() const { return m_dragging; }

  signals:
    void didStartResizing();
    void didFinishResizing();

  protected:
    QSplitterHandle* createHandle() override;

  private:
    friend class NBSplitViewHandle;
    void setDragging(bool dragging);

    bool m_dragging = false;
};

class NBSplitViewHandle : public QSplitterHandle {
    Q_OBJECT

  public:
    NBSplitViewHandle(Qt::Orientation orientation, NBSplitView* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    NBSplitView* m_splitView;
};

#endif
