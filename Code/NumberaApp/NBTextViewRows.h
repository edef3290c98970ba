#ifndef NUMBERA_APP_NB_TEXT_VIEW_ROWS_H
#define NUMBERA_APP_NB_TEXT_VIEW_ROWS_H

// The rows of a column beside the text view: one per block, each at its block's own y at the
// text's scroll offset, never by summing heights. The column repaints whenever its rows move:
// on scrolling, on every relayout (edits, wrapping at a new width, a new font) and when the
// text view moves within the window.
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <cstdint>
#include <vector>

class QScrollBar;
class QTextEdit;
class QWidget;

class NBTextViewRows : public QObject {
  public:
    explicit NBTextViewRows(QWidget* column);
    ~NBTextViewRows() override;

    QTextEdit* textView() const { return m_textView; }
    void setTextView(QTextEdit* textView);

    // Where the text's viewport starts, in the column's coordinates.
    double viewportTop() const;
    // The row of the block, as wide as the column. A height below 0 takes the block's own,
    // its bottom margin (the paragraph spacing under the line) included, so that rows meet.
    // Empty without a text view or past the text.
    QRectF rectOfRow(uint64_t row, double height) const;
    // The rows below the count that show in the column, top to bottom.
    std::vector<uint64_t> visibleRows(uint64_t count) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void disconnectTextView();
    // The text view's scroll bar can be replaced after it is set (by one that never shows):
    // the rows follow whichever one it has.
    void followScrollBar();
    int firstBlockAtOrAbove(double top) const;

    QWidget* m_column;
    QPointer<QTextEdit> m_textView;
    std::vector<QMetaObject::Connection> m_connections;
    QPointer<QScrollBar> m_scrollBar;
    QMetaObject::Connection m_scrolling;
    // The first visible block last time: scrolling moves it a little.
    mutable int m_firstBlockHint = 0;
};

#endif
