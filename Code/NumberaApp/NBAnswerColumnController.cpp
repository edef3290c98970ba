#include "NBAnswerColumnController.h"

#include "NBAnswerColumnCell.h"
#include "NBAnswerColumnRules.h"
#include "NBAppResources.h"
#include "NBTextAttributes.h"
#include "NCLine.h"
#include "NCLineCollection.h"

NBAnswerColumnController::NBAnswerColumnController(QObject* parent) : QObject(parent) {}

NBAnswerColumnController::~NBAnswerColumnController() {
    if (m_answersColumn && m_answersColumn->dataSource() == this)
        m_answersColumn->setDataSource(nullptr);
}

void NBAnswerColumnController::setAnswersColumn(NBAnswerColumnView* column) {
    if (column == m_answersColumn) return;
    if (m_answersColumn && m_answersColumn->dataSource() == this)
        m_answersColumn->setDataSource(nullptr);
    m_answersColumn = column;
    if (column) column->setDataSource(this);
    updateAnswerColumnFormatting();
}

void NBAnswerColumnController::setLineCollection(std::shared_ptr<NCLineCollection> lines) {
    m_lineCollection = std::move(lines);
    numberOfCellsHasChanged();
}

void NBAnswerColumnController::redrawAllCells() {
    if (m_answersColumn) m_answersColumn->reloadData();
}

void NBAnswerColumnController::numberOfCellsHasChanged() {
    if (m_answersColumn) m_answersColumn->noteNumberOfRowsChanged();
}

void NBAnswerColumnController::redrawCellAtIndex(uint64_t index) {
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    if (!answerColumnCanRedrawRow(index, count)) return;
    const QRectF rect = m_answersColumn ? m_answersColumn->rectOfRow(index) : QRectF();
    if (rect.isEmpty())
        redrawAllCells();
    else
        m_answersColumn->setNeedsDisplayInRect(rect);
}

void NBAnswerColumnController::redrawCellsAtIndexes(const NSIndexSet& indexes) {
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    indexes.enumerateIndexes([&](uint64_t index, bool&) {
        if (answerColumnCanRedrawRowOfSet(index, count)) redrawCellAtIndex(index);
    });
}

void NBAnswerColumnController::setAnswersVisible(bool visible) {
    m_answersVisible = visible;
    redrawAllCells();
    if (!visible && m_answersColumn) m_answersColumn->deselectAll();
}

std::u16string NBAnswerColumnController::formattedResultOnLine(uint64_t index) const {
    std::shared_ptr<NCLine> line =
        m_lineCollection ? m_lineCollection->lineAtIndex(index) : nullptr;
    return line ? answerColumnFormattedResult(*line) : std::u16string();
}

std::u16string NBAnswerColumnController::unformattedResultOnLine(uint64_t index) const {
    std::shared_ptr<NCLine> line =
        m_lineCollection ? m_lineCollection->lineAtIndex(index) : nullptr;
    return line ? answerColumnUnformattedResult(*line) : std::u16string();
}

std::u16string NBAnswerColumnController::textOfSelectedResult() const {
    if (!m_answersColumn || m_answersColumn->selectedRow() < 0) return {};
    return formattedResultOnLine(static_cast<uint64_t>(m_answersColumn->selectedRow()));
}

void NBAnswerColumnController::updateAnswerColumnFormatting() {
    const QFont font = NBTextAttributes::defaultTextViewFont();
    registerAnswerColumnAttributes(NBAppResources::toU16(font.family()), font.pointSizeF());
    redrawAllCells();
}

uint64_t NBAnswerColumnController::numberOfRowsInAnswerColumn(NBAnswerColumnView&) {
    return m_lineCollection ? m_lineCollection->countOfLines() : 0;
}

NSAttributedString NBAnswerColumnController::objectValueForRow(NBAnswerColumnView& view,
                                                               uint64_t row) {
    return answerColumnRowContent(m_lineCollection.get(), row, m_answersVisible,
                                  view.isRowSelected(row));
}

double NBAnswerColumnController::heightOfRow(NBAnswerColumnView&, uint64_t row) {
    if (!m_delegate || !m_delegate->respondsToHeightForRowAtIndex()) return -1;
    return m_delegate->answerColumnControllerHeightForRowAtIndex(this, row);
}

void NBAnswerColumnController::willDisplayCell(NBAnswerColumnView& view, NBAnswerColumnCell& cell,
                                               uint64_t row) {
    if (!m_answersVisible) return;
    // The answer palette's info buttons are not part of this window yet.
    cell.setInfoButtonVisible(false);
    cell.setIsCurrentLine(view.textView() && row == view.currentLine());
}

bool NBAnswerColumnController::shouldSelectRows(NBAnswerColumnView&) { return m_answersVisible; }

void NBAnswerColumnController::selectionDidChange(NBAnswerColumnView&) {
    if (m_delegate) m_delegate->answerColumnControllerSelectionDidChange(this);
}
