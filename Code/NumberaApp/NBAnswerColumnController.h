// The answer column's data source and delegate: one row per line of the document's line
// collection, each showing the line's answer as the kit formats it, and the answers as they
// are copied. The document creates it, then gives it the collection, its document controller,
// its delegate and the column.
#ifndef NUMBERA_APP_NB_ANSWER_COLUMN_CONTROLLER_H
#define NUMBERA_APP_NB_ANSWER_COLUMN_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <memory>
#include <string>

#include "NBAnswerColumnView.h"
#include "NSIndexSet.h"

class NBAnswerColumnController;
class NBAnswerPaletteController;
class NBDocumentController;
class NCLineCollection;

// The document controller's side. Its optional messages are asked about before each call.
struct NBAnswerColumnControllerDelegate {
    virtual ~NBAnswerColumnControllerDelegate() = default;
    virtual void answerColumnControllerSelectionDidChange(NBAnswerColumnController*) {}
    // The line's paragraph height with the spacing under it, so that rows meet; the row starts
    // at its block's top whatever the height, and the answer is centred in it.
    virtual double answerColumnControllerHeightForRowAtIndex(NBAnswerColumnController*,
                                                             uint64_t) = 0;
    // False leaves every row as tall as its line's block in the text view.
    virtual bool respondsToHeightForRowAtIndex() const { return true; }
};

class NBAnswerColumnController : public QObject, private NBAnswerColumnViewDataSource {
    Q_OBJECT

  public:
    // Answers visible.
    explicit NBAnswerColumnController(QObject* parent = nullptr);
    ~NBAnswerColumnController() override;

    NBAnswerColumnView* answersColumn() const { return m_answersColumn; }
    // Binds the column (not owned): becomes its data source and rebuilds the attribute sets.
    // The column already bound changes nothing.
    void setAnswersColumn(NBAnswerColumnView* column);
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setLineCollection(std::shared_ptr<NCLineCollection> lines);
    // Not owned; cleared with null.
    NBAnswerColumnControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(NBAnswerColumnControllerDelegate* delegate) { m_delegate = delegate; }
    // Not owned.
    NBDocumentController* documentController() const { return m_documentController; }
    void setDocumentController(NBDocumentController* controller) {
        m_documentController = controller;
    }

    void redrawAllCells();
    void numberOfCellsHasChanged();
    // Rows at or past the line count are left alone (the palette's "no line" marker is
    // reported); a row without a rectangle redraws every row.
    void redrawCellAtIndex(uint64_t index);
    // Indexes at or past the line count are skipped with a warning.
    void redrawCellsAtIndexes(const NSIndexSet& indexes);

    bool answersVisible() const { return m_answersVisible; }
    // Hiding clears the selection and closes the answer palette; either way every row is
    // drawn anew.
    void setAnswersVisible(bool visible);

    // Made on first use, once the column sits in its window.
    NBAnswerPaletteController& answerPaletteController();
    bool hasAnswerPaletteController() const { return m_answerPaletteController != nullptr; }

    // As copied and dragged ("×10^" before exponents); empty without a value.
    std::u16string formattedResultOnLine(uint64_t index) const;
    // Without separator or unit, to 50 decimal places; empty without a value.
    std::u16string unformattedResultOnLine(uint64_t index) const;
    // formattedResultOnLine of the selected row; empty without a selection.
    std::u16string textOfSelectedResult() const;

    // Drags carry, besides the answer's text, a property list naming the row, the token type
    // asked for and the document it came from, so that a drop elsewhere never takes the row
    // for one of its own lines.
    static constexpr const char* kSourceDocumentKey = "NBSourceDocument";

    // Rebuilds "NBAnsColNormal" and "NBAnsColSelected" from the default text font; called when
    // that font changes.
    void updateAnswerColumnFormatting();

  private:
    uint64_t numberOfRowsInAnswerColumn(NBAnswerColumnView& view) override;
    NSAttributedString objectValueForRow(NBAnswerColumnView& view, uint64_t row) override;
    double heightOfRow(NBAnswerColumnView& view, uint64_t row) override;
    void willDisplayCell(NBAnswerColumnView& view, NBAnswerColumnCell& cell, uint64_t row) override;
    bool shouldSelectRows(NBAnswerColumnView& view) override;
    void selectionDidChange(NBAnswerColumnView& view) override;
    void cellDoubleClicked(NBAnswerColumnView& view, int64_t row,
                           Qt::KeyboardModifiers modifiers) override;
    QMenu* contextualMenuForRow(NBAnswerColumnView& view, int64_t row) override;
    QMimeData* writeRowsWithIndexes(NBAnswerColumnView& view, const NSIndexSet& rows,
                                    int64_t draggedRow, Qt::KeyboardModifiers modifiers) override;
    QPixmap dragImageForRow(NBAnswerColumnView& view, int64_t row,
                            Qt::KeyboardModifiers modifiers) override;
    void requestsCopy(NBAnswerColumnView& view) override;
    bool copiesAnswers(NBAnswerColumnView& view) override {
        return m_answersVisible && !view.selectedRowIndexes().empty();
    }

    bool m_answersVisible = true;
    QPointer<NBAnswerColumnView> m_answersColumn;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NBAnswerColumnControllerDelegate* m_delegate = nullptr;
    NBDocumentController* m_documentController = nullptr;
    NBAnswerPaletteController* m_answerPaletteController = nullptr;  // a child
};

#endif
