// The line-number column: one row per document line, each drawn at the y of its line's block
// in the calculation text at the text's scroll offset (never summed heights), so numbers stay
// beside their lines. Rows are selected by clicking and dragging; a click below the last row
// clears the selection. It never takes the focus; the wheel over it scrolls the text.
#ifndef NUMBERA_APP_NB_NUMBER_LINE_VIEW_H
#define NUMBERA_APP_NB_NUMBER_LINE_VIEW_H

#include <QColor>
#include <QTextEdit>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "NSIndexSet.h"

class NBNumberLineCell;
class NBTextViewRows;
class NBNumberLineView;

// What the view asks of its controller.
struct NBNumberLineViewDataSource {
    virtual ~NBNumberLineViewDataSource() = default;
    virtual uint64_t numberOfRowsInNumberLine(NBNumberLineView& view) = 0;
    virtual QString objectValueForRow(NBNumberLineView& view, uint64_t row) = 0;
    // A negative height leaves the row as tall as its block with the spacing under it.
    virtual double heightOfRow(NBNumberLineView&, uint64_t) { return -1; }
    virtual void willDisplayCell(NBNumberLineView&, NBNumberLineCell&, uint64_t) {}
    // `isChanging` while the mouse is still down.
    virtual void selectionDidChange(NBNumberLineView&, bool /*isChanging*/) {}
};

class NBNumberLineView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kDefaultWidth = 26;
    static constexpr int kMinimumWidth = 26;
    static constexpr int kMaximumWidth = 100;
    static QColor keyControlColor();
    static QColor inactiveControlColor();

    explicit NBNumberLineView(QWidget* parent = nullptr);
    ~NBNumberLineView() override;

    // Not owned; rows follow its blocks and scroll offset.
    void setTextView(QTextEdit* textView);
    QTextEdit* textView() const;
    // Not owned; cleared with null.
    void setDataSource(NBNumberLineViewDataSource* dataSource) { m_dataSource = dataSource; }

    uint64_t numberOfRows() const;
    void reloadData() { update(); }
    // Rows past the new count leave the selection, without telling the data source.
    void noteNumberOfRowsChanged();
    void setNeedsDisplayInRect(const QRectF& rect);

    // In this view's coordinates; empty for a row without a block or past the count.
    QRectF rectOfRow(uint64_t row) const;
    // -1 for a point on no row.
    int64_t rowAtPoint(const QPointF& point) const;
    std::vector<uint64_t> visibleRows() const;

    const NSIndexSet& selectedRowIndexes() const { return m_selectedRows; }
    bool isRowSelected(uint64_t row) const { return m_selectedRows.containsIndex(row); }
    // Rows past the count are left out. The data source hears of a change.
    void selectRowIndexes(const NSIndexSet& rows, bool extendSelection);
    void deselectAll();
    // The same without telling the data source.
    void setSelectedRowIndexesSilently(const NSIndexSet& rows);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void setSelection(NSIndexSet rows, bool notify, bool isChanging);

    NBTextViewRows* m_rows;  // a child
    NBNumberLineViewDataSource* m_dataSource = nullptr;
    NSIndexSet m_selectedRows;
    NSIndexSet m_selectionAtPress;
    int64_t m_anchorRow = -1;
    bool m_tracking = false;
};

#endif
