// The panes of a document window side by side: the line-number column, then the split view of
// the calculation text and the answer column. Only the text scrolls; the numbers and answers
// are drawn at its offset, and the answer column's scroller (the only visible one) is kept
// level with the text's, vertically only. The split keeps the text at least 200 points and
// the answers at least 106 wide; resizing the window changes the text first.
#ifndef NUMBERA_APP_NB_KETTRA_VIEW_H
#define NUMBERA_APP_NB_KETTRA_VIEW_H

#include <QWidget>
#include <map>

class ESScrollView;
class NBAnswerColumnView;
class NBNumberLineView;
class NBSplitView;
class NBTextView;
class QScrollBar;

inline constexpr const char* NBKettraViewDidFinishResizing = "NBKettraViewDidFinishResizing";
inline constexpr const char* NBAnswerColumnChangedSize = "NBAnswerColumnChangedSize";

class NBKettraView : public QWidget {
    Q_OBJECT

  public:
    static constexpr double kTextMinimumWidth = 200;
    static constexpr double kAnswerColumnMinimumWidth = 106;

    // A new window's answer column: wide enough for common answers in the text's font
    // ("Error: Divide by Zero", an amount with a unit's whole name), the column's own default
    // at least.
    static int defaultAnswerColumnWidth();
    // A new window's size: the text as wide as beside a column of the column's own default.
    static QSize defaultWindowSize();

    explicit NBKettraView(QWidget* parent = nullptr);
    ~NBKettraView() override;

    NBTextView* textView() const { return m_textView; }
    NBAnswerColumnView* answerColumn() const { return m_answerColumn; }
    NBNumberLineView* numberLineView() const { return m_numberLineView; }
    NBSplitView* splitView() const { return m_splitView; }
    // The pane of the answer column and its scroller.
    ESScrollView* answerColumnScrollView() const { return m_answerScrollView; }
    QScrollBar* answerScroller() const;

    // Brings the other panes to the vertical position of the view (the text or the answer
    // column); each keeps its horizontal position.
    void syncroniseToView(QWidget* view);
    bool syncronisesScrollViews() const { return !m_ignoreBoundsDidChangeNotifications; }
    void setSyncronisesScrollViews(bool synchronises);

    int answerColumnWidth() const;
    // Within the column's minimum and maximum; the text gives way down to its minimum.
    void setAnswerColumnWidth(int width);

    // Minimum length of a split subview (0 the text, 1 the answer column).
    void setMinimumLength(double length, int viewIndex);
    double minimumLength(int viewIndex) const;

    // Where the number line and the split view go with the number line shown or hidden; a
    // hidden number line waits left of the text.
    QRect numberLineFrame(bool shown) const;
    QRect splitViewFrame(bool shown) const;
    bool numberLineShown() const { return m_numberLineShown; }
    // Records the state; without animation the panes move at once.
    void setNumberLineShown(bool shown, bool layoutNow = true);
    void layoutPanes();

    void printDebugInfo() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setupSyncedScrollViews();
    void textScrollerRangeChanged(int minimum, int maximum);
    void textScrolled(int value);
    void answersScrolled(int value);
    void answerColumnChangedSize();

    NBNumberLineView* m_numberLineView;
    NBSplitView* m_splitView;
    NBTextView* m_textView;
    NBAnswerColumnView* m_answerColumn;
    ESScrollView* m_answerScrollView;
    std::map<int, double> m_lengthsByViewIndex;
    bool m_ignoreBoundsDidChangeNotifications = false;
    bool m_numberLineShown = false;
    bool m_mirroring = false;
};

#endif
