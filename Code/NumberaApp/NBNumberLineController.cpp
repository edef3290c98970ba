#include "NBNumberLineController.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBDocumentWindowRules.h"
#include "NBNumberLineCell.h"
#include "NCLineCollection.h"

NBNumberLineController::NBNumberLineController(NBNumberLineView* numberLine,
                                               std::shared_ptr<NCLineCollection> lineCollection,
                                               QObject* parent)
    : QObject(parent),
      m_numberLineView(numberLine),
      m_lineCollection(std::move(lineCollection)),
      m_selectedNumberColor(QApplication::palette().color(QPalette::WindowText)),
      m_unselectedNumberColor(QColor::fromRgbF(0.55f, 0.55f, 0.55f)) {
    if (m_numberLineView) m_numberLineView->setDataSource(this);
}

NBNumberLineController::~NBNumberLineController() {
    if (m_numberLineView) m_numberLineView->setDataSource(nullptr);
}

void NBNumberLineController::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    if (lines == m_lineCollection) return;
    m_lineCollection = std::move(lines);
    numberOfCellsHasChanged();
}

void NBNumberLineController::setNumberLineVisibile(bool visible) {
    if (visible == m_numberLineVisibile) return;
    m_numberLineVisibile = visible;
    if (visible) numberOfCellsHasChanged();
}

NSIndexSet NBNumberLineController::selectedLineNumbers() const {
    return m_numberLineView ? m_numberLineView->selectedRowIndexes() : NSIndexSet();
}

void NBNumberLineController::setSelectedLineNumbers(const NSIndexSet& lines) {
    if (m_numberLineView) m_numberLineView->setSelectedRowIndexesSilently(lines);
}

void NBNumberLineController::redrawAllCells() {
    sizeNumberLineToFit();
    if (m_numberLineView) m_numberLineView->reloadData();
}

void NBNumberLineController::numberOfCellsHasChanged() {
    sizeNumberLineToFit();
    if (!m_numberLineView) return;
    // Reloading after an insertion must not echo a selection back to the text.
    m_supressSelectionChangeNotifications = true;
    m_numberLineView->noteNumberOfRowsChanged();
    m_supressSelectionChangeNotifications = false;
}

void NBNumberLineController::redrawCellsAtIndexes(const NSIndexSet& indexes) {
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    indexes.enumerateIndexes([&](uint64_t index, bool&) {
        if (index < count)
            redrawCellAtIndex(index);
        else
            Diagnostics::errorf(
                "Warning. Being told to redraw cell at index %lu which is out of bounds",
                static_cast<unsigned long>(index));
    });
}

void NBNumberLineController::redrawCellAtIndex(uint64_t index) {
    if (!m_numberLineView) return;
    const QRectF rect = m_numberLineView->rectOfRow(index);
    if (rect.isEmpty())
        m_numberLineView->reloadData();
    else
        m_numberLineView->setNeedsDisplayInRect(rect);
}

double NBNumberLineController::neededWidth() const {
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    return NBNumberLineCell().widthOfString(
               NBAppResources::toQString(numberLineMeasuredText(count))) +
           15;
}

bool NBNumberLineController::sizeNumberLineToFit() {
    if (!m_numberLineView) return false;
    const int current = m_numberLineView->width();
    const int next =
        std::clamp(static_cast<int>(std::lround(numberLineNextWidth(neededWidth(), current))),
                   NBNumberLineView::kMinimumWidth, NBNumberLineView::kMaximumWidth);
    if (next == current) return false;
    m_numberLineView->resize(next, m_numberLineView->height());
    emit numberLineWidthChanged(next);
    scheduleSizing();
    return true;
}

void NBNumberLineController::scheduleSizing() {
    if (m_sizingScheduled) return;
    m_sizingScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_sizingScheduled = false;
        redrawAllCells();
    });
}

uint64_t NBNumberLineController::numberOfRowsInNumberLine(NBNumberLineView&) {
    return m_lineCollection ? m_lineCollection->countOfLines() : 0;
}

QString NBNumberLineController::objectValueForRow(NBNumberLineView&, uint64_t row) {
    return QString::number(row + 1);
}

double NBNumberLineController::heightOfRow(NBNumberLineView&, uint64_t row) {
    if (!m_delegate || !m_delegate->respondsToNumberLineHeightForRow()) return -1;
    return m_delegate->numberLineControllerHeightForRowAtIndex(this, row);
}

void NBNumberLineController::willDisplayCell(NBNumberLineView& view, NBNumberLineCell& cell,
                                             uint64_t row) {
    cell.setTextColor(view.isRowSelected(row) ? m_selectedNumberColor : m_unselectedNumberColor);
}

void NBNumberLineController::selectionDidChange(NBNumberLineView& view, bool) {
    if (m_supressSelectionChangeNotifications || !m_delegate) return;
    const NSIndexSet rows = view.selectedRowIndexes();
    if (rows.empty()) return;
    m_delegate->numberLineControllerSelectionDidChange(this, rows);
}
