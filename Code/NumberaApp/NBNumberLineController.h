// Drives the line-number column: one row per line of the line collection, row heights from
// its delegate (the line's paragraph height, so rows match the text), the selection passed to
// the delegate (which selects those lines in the text), and a column width that follows the
// number of digits by at most 8 points per redraw.
#ifndef NUMBERA_APP_NB_NUMBER_LINE_CONTROLLER_H
#define NUMBERA_APP_NB_NUMBER_LINE_CONTROLLER_H

#include <QColor>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>

#include "NBNumberLineView.h"
#include "NSIndexSet.h"

class NBNumberLineController;
class NCLineCollection;

struct NBNumberLineControllerDelegate {
    virtual ~NBNumberLineControllerDelegate() = default;
    // False leaves each row as tall as its block with the spacing under it.
    virtual bool respondsToNumberLineHeightForRow() const { return true; }
    virtual double numberLineControllerHeightForRowAtIndex(NBNumberLineController*,
                                                           uint64_t index) = 0;
    // Not sent for an empty selection or while notifications are suppressed.
    virtual void numberLineControllerSelectionDidChange(NBNumberLineController*,
                                                        const NSIndexSet& rows) = 0;
};

class NBNumberLineController : public QObject, private NBNumberLineViewDataSource {
    Q_OBJECT

  public:
    // Becomes the view's data source; the view is not owned.
    NBNumberLineController(NBNumberLineView* numberLine,
                           std::shared_ptr<NCLineCollection> lineCollection,
                           QObject* parent = nullptr);
    ~NBNumberLineController() override;

    NBNumberLineView* numberLineView() const { return m_numberLineView; }
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> lines);
    // Not owned; cleared with null.
    void setDelegate(NBNumberLineControllerDelegate* delegate) { m_delegate = delegate; }

    bool numberLineVisibile() const { return m_numberLineVisibile; }
    // Becoming visible sizes the column and reloads the rows.
    void setNumberLineVisibile(bool visible);

    NSIndexSet selectedLineNumbers() const;
    // Selects exactly those rows, without echoing the change to the delegate.
    void setSelectedLineNumbers(const NSIndexSet& lines);

    void redrawAllCells();
    // Sizes the column and reloads the rows with selection notifications suppressed.
    void numberOfCellsHasChanged();
    // Indexes at or past the line count are skipped with a warning.
    void redrawCellsAtIndexes(const NSIndexSet& indexes);
    void redrawCellAtIndex(uint64_t index);
    // One step of at most 8 points toward the width the line count needs. True when the
    // width changed (another redraw may then be due).
    bool sizeNumberLineToFit();
    // The width the numbers of the current line count need.
    double neededWidth() const;

    QColor selectedNumberColor() const { return m_selectedNumberColor; }
    QColor unselectedNumberColor() const { return m_unselectedNumberColor; }

  signals:
    // The column's width changed by one step.
    void numberLineWidthChanged(int width);

  private:
    uint64_t numberOfRowsInNumberLine(NBNumberLineView& view) override;
    QString objectValueForRow(NBNumberLineView& view, uint64_t row) override;
    double heightOfRow(NBNumberLineView& view, uint64_t row) override;
    void willDisplayCell(NBNumberLineView& view, NBNumberLineCell& cell, uint64_t row) override;
    void selectionDidChange(NBNumberLineView& view, bool isChanging) override;
    // Another redraw follows until the width stops changing.
    void scheduleSizing();

    QPointer<NBNumberLineView> m_numberLineView;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NBNumberLineControllerDelegate* m_delegate = nullptr;
    bool m_numberLineVisibile = false;
    bool m_supressSelectionChangeNotifications = false;
    bool m_sizingScheduled = false;
    QColor m_selectedNumberColor;
    QColor m_unselectedNumberColor;
};

#endif
