// The answer column: one row per line, each drawn at the y of its line's block in the
// calculation text at the text's scroll offset, so rows stay beside their lines whatever
// wraps, scrolls or changes size. Painted row by row; the content comes from a data source.
#ifndef NUMBERA_APP_NB_ANSWER_COLUMN_VIEW_H
#define NUMBERA_APP_NB_ANSWER_COLUMN_VIEW_H

#include <QColor>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QTextEdit>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "NSAttributedString.h"
#include "NSIndexSet.h"

class NBTextViewRows;
class NBAnswerColumnCell;
class NBAnswerColumnView;

// What the view asks of its controller (the table's data source and delegate).
struct NBAnswerColumnViewDataSource {
    virtual ~NBAnswerColumnViewDataSource() = default;
    virtual uint64_t numberOfRowsInAnswerColumn(NBAnswerColumnView& view) = 0;
    virtual NSAttributedString objectValueForRow(NBAnswerColumnView& view, uint64_t row) = 0;
    // A negative height leaves the row as tall as its block.
    virtual double heightOfRow(NBAnswerColumnView&, uint64_t) { return -1; }
    virtual void willDisplayCell(NBAnswerColumnView&, NBAnswerColumnCell&, uint64_t) {}
    virtual bool shouldSelectRows(NBAnswerColumnView&) { return true; }
    virtual void selectionDidChange(NBAnswerColumnView&) {}
    // A double click on the row (-1 on no row), with the modifiers held.
    virtual void cellDoubleClicked(NBAnswerColumnView&, int64_t /*row*/, Qt::KeyboardModifiers) {}
    // The menu of a right click on the row; null for none. The view shows and owns it.
    virtual QMenu* contextualMenuForRow(NBAnswerColumnView&, int64_t /*row*/) { return nullptr; }
    // What a drag starting on the row carries; null refuses the drag. The caller owns it.
    virtual QMimeData* writeRowsWithIndexes(NBAnswerColumnView&, const NSIndexSet& /*rows*/,
                                            int64_t /*draggedRow*/, Qt::KeyboardModifiers) {
        return nullptr;
    }
    virtual QPixmap dragImageForRow(NBAnswerColumnView&, int64_t, Qt::KeyboardModifiers) {
        return {};
    }
    // The copy key pressed in the column.
    virtual void requestsCopy(NBAnswerColumnView&) {}
    // Whether Copy takes the column's answers (shown and selected) rather than the text's.
    virtual bool copiesAnswers(NBAnswerColumnView&) { return false; }
};

class NBAnswerColumnView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kDefaultWidth = 156;
    static constexpr int kMinimumWidth = 90;
    static constexpr int kMaximumWidth = 2000;
    // The table background while the window is key, and otherwise.
    static QColor keyControlColor();
    static QColor inactiveControlColor();

    explicit NBAnswerColumnView(QWidget* parent = nullptr);
    ~NBAnswerColumnView() override;

    // Not owned; rows follow its blocks, scroll offset and layout. Null leaves rows stacked
    // from the top at rowHeight(). Set it again after giving the text view another document:
    // the repaints follow the document's layout.
    void setTextView(QTextEdit* textView);
    QTextEdit* textView() const;
    // Not owned; cleared with null.
    void setDataSource(NBAnswerColumnViewDataSource* dataSource) { m_dataSource = dataSource; }
    NBAnswerColumnViewDataSource* dataSource() const { return m_dataSource; }

    uint64_t numberOfRows() const;
    // The whole view repaints from the data source.
    void reloadData();
    // The row count changed: rows past the new count drop out of the selection.
    void noteNumberOfRowsChanged();
    // Repaints one row; an empty rectangle asks for nothing.
    void setNeedsDisplayInRect(const QRectF& rect);

    // In this view's coordinates: at the block's y, as tall as the data source says or as
    // the block with its bottom margin. Empty for a row without a block or past the count.
    QRectF rectOfRow(uint64_t row) const;
    // -1 for a point on no row.
    int64_t rowAtPoint(const QPointF& point) const;
    // The rows whose rectangles meet the visible part of the view, in order.
    std::vector<uint64_t> visibleRows() const;
    // The height of a row without a text view or a height of its own.
    double rowHeight() const;

    // The line of the text's insertion point (the start of its selection); 0 without text.
    uint64_t currentLine() const;

    const NSIndexSet& selectedRowIndexes() const { return m_selectedRows; }
    // The last selected row, or -1.
    int64_t selectedRow() const;
    bool isRowSelected(uint64_t row) const { return m_selectedRows.containsIndex(row); }
    // Rows past the count are left out; nothing is selected while the data source refuses.
    void selectRowIndexes(const NSIndexSet& rows, bool extendSelection);
    void deselectAll();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The whole answer of a row that is cut at the tail, as rich text; empty for a row shown
    // whole or no row.
    QString toolTipForRow(int64_t row) const;

    // The context menu showing, if any.
    QMenu* contextMenu() const { return m_contextMenu; }
    // What a drag from the row would carry now; null when it is refused.
    QMimeData* dragDataForRow(int64_t row, Qt::KeyboardModifiers modifiers);

    // Copies the selected answers (Edit > Copy while the column has the focus).
    void copy() {
        if (m_dataSource) m_dataSource->requestsCopy(*this);
    }
    bool copiesAnswers() { return m_dataSource && m_dataSource->copiesAnswers(*this); }

  signals:
    void selectionDidChange();

  protected:
    // Tool tips of cut answers; Ctrl+C copies the selected answers (the Edit menu's shortcut
    // would copy the text's).
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void setSelection(NSIndexSet rows);

    NBTextViewRows* m_rows;  // a child
    QMetaObject::Connection m_cursorConnection;
    NBAnswerColumnViewDataSource* m_dataSource = nullptr;
    NSIndexSet m_selectedRows;
    QPointer<QMenu> m_contextMenu;
    QPointF m_pressPosition;
    int64_t m_pressRow = -1;
};

#endif
