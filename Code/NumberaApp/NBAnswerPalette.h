// The answer palette's window: a pointed balloon beside the document window listing an answer
// in a two-column table (label, value), or an empty state when there is nothing to list. It
// never takes focus, so typing goes on in the text while it shows.
#ifndef NUMBERA_APP_NB_ANSWER_PALETTE_H
#define NUMBERA_APP_NB_ANSWER_PALETTE_H

#include <QLabel>
#include <QPoint>
#include <QScrollArea>
#include <QString>
#include <vector>

#include "NBAttributedText.h"
#include "NBPopupWindow.h"

class QMenu;

struct NBAnswerPaletteEntry {
    QString title;
    QString value;
};

// The rows, painted: labels right-aligned, values left-aligned, both truncated at the tail.
class NBAnswerPaletteTableView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kIntercellWidth = 3;
    static constexpr int kRowSpacing = 4;

    explicit NBAnswerPaletteTableView(QWidget* parent = nullptr);

    void setEntries(std::vector<NBAnswerPaletteEntry> entries);
    const std::vector<NBAnswerPaletteEntry>& entries() const { return m_entries; }
    int numberOfRows() const { return static_cast<int>(m_entries.size()); }
    int rowHeight() const;
    // The widest label and value as drawn.
    int necessaryLabelWidth() const;
    int necessaryValueWidth() const;
    // The row's value as drawn: an exponent raised.
    NBAttributedText drawnValue(int row, const QColor& color) const;
    void setColumnWidths(int label, int value);
    int labelColumnWidth() const { return m_labelWidth; }
    QRect rectOfRow(int row) const;
    // Column 0 is the label, 1 the value; -1 off the columns.
    int columnAtPoint(const QPoint& point) const;
    int rowAtPoint(const QPoint& point) const;
    QString labelText(int row) const;
    QString valueText(int row) const;
    QMenu* contextMenu() const { return m_menu; }
    // What a drag from the row shows: its value as text, shortened when long.
    QPixmap dragImageForRow(int row) const;

  signals:
    void cellClicked(int row, int column);
    void copyValueRequested(int row);
    void closeRequested();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    std::vector<NBAnswerPaletteEntry> m_entries;
    int m_labelWidth = 0;
    int m_valueWidth = 0;
    QPoint m_pressPosition;
    int m_pressRow = -1;
    QMenu* m_menu = nullptr;
};

class NBAnswerPalette : public NBPopupWindow {
    Q_OBJECT

  public:
    explicit NBAnswerPalette(QWidget* parent = nullptr);

    NBAnswerPaletteTableView* tableView() const { return m_tableView; }
    QWidget* emptyContentView() const { return m_emptyContentView; }
    QPoint desiredAnswerPaletteLocation() const { return m_desiredLocation; }
    void setDesiredAnswerPaletteLocation(const QPoint& location) { m_desiredLocation = location; }

    // Takes the rows and sizes the window to them, or to the empty state without rows.
    void reloadData(std::vector<NBAnswerPaletteEntry> entries);
    bool emptyViewVisible() const;
    // The content size as last laid out (without the balloon's border and pointer).
    QSize contentSize() const { return m_contentSize; }

    void copyValue(int row);
    void copyValueAndLabel(int row);
    void closeAnswerPalette();

  signals:
    void closeRequestedByUser();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void resizeTableAndAnswerPaletteToFit();
    void resizeAnswerPaletteToFitEmptyState();
    void setPaletteGeometry(const QSize& contentSize);
    void setShowsEmptyView(bool shows);
    void refreshShape();

    QScrollArea* m_scrollArea;
    NBAnswerPaletteTableView* m_tableView;
    QWidget* m_emptyContentView;
    QLabel* m_emptyLabel;
    QPoint m_desiredLocation;
    QSize m_contentSize;
};

#endif
