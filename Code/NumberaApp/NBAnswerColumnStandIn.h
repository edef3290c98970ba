// A minimal answer column for the document window until the full one is merged: one row per
// line, painted at each block's own y in the text editor, showing the line's answer or error.
// Same names and calls as the full column, so the window does not change when it arrives.
#ifndef NUMBERA_APP_NB_ANSWER_COLUMN_STAND_IN_H
#define NUMBERA_APP_NB_ANSWER_COLUMN_STAND_IN_H

#include <QObject>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "NSAttributedString.h"
#include "NSIndexSet.h"

class NCLineCollection;
class NBAnswerColumnController;
class NBAnswerColumnView;
class NBDocumentController;
class QTextEdit;

// What the column asks of its controller.
struct NBAnswerColumnViewDataSource {
    virtual ~NBAnswerColumnViewDataSource() = default;
    virtual uint64_t numberOfRowsInAnswerColumn(NBAnswerColumnView& view) = 0;
    virtual NSAttributedString objectValueForRow(NBAnswerColumnView& view, uint64_t row) = 0;
};

struct NBAnswerColumnControllerDelegate {
    virtual ~NBAnswerColumnControllerDelegate() = default;
    virtual void answerColumnControllerSelectionDidChange(NBAnswerColumnController*) {}
    virtual double answerColumnControllerHeightForRowAtIndex(NBAnswerColumnController*,
                                                             uint64_t) = 0;
};

class NBAnswerColumnView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kDefaultWidth = 156;
    static constexpr int kMinimumWidth = 90;
    static constexpr int kMaximumWidth = 2000;

    explicit NBAnswerColumnView(QWidget* parent = nullptr);
    // Rows follow the editor's blocks at its scroll offset; not owned.
    void setTextView(QTextEdit* textView);
    QTextEdit* textView() const { return m_textView; }
    // Not owned; cleared with null.
    void setDataSource(NBAnswerColumnViewDataSource* dataSource) { m_dataSource = dataSource; }
    NBAnswerColumnViewDataSource* dataSource() const { return m_dataSource; }
    // The row's rectangle in this widget; empty for a line without a block.
    QRectF rectOfRow(uint64_t index) const;
    QSize sizeHint() const override { return {kDefaultWidth, 100}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTextEdit* m_textView = nullptr;
    NBAnswerColumnViewDataSource* m_dataSource = nullptr;
};

class NBAnswerColumnController : public QObject, private NBAnswerColumnViewDataSource {
    Q_OBJECT

  public:
    explicit NBAnswerColumnController(QObject* parent = nullptr);

    void setAnswersColumn(NBAnswerColumnView* column);
    NBAnswerColumnView* answersColumn() const { return m_column; }
    void setLineCollection(std::shared_ptr<NCLineCollection> lines);
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lines; }
    void setDelegate(NBAnswerColumnControllerDelegate* delegate) { m_delegate = delegate; }
    // Not owned.
    NBDocumentController* documentController() const { return m_documentController; }
    void setDocumentController(NBDocumentController* controller) {
        m_documentController = controller;
    }
    void redrawAllCells();
    void numberOfCellsHasChanged();
    void redrawCellAtIndex(uint64_t index);
    void redrawCellsAtIndexes(const NSIndexSet& indexes);
    void setAnswersVisible(bool visible);
    bool answersVisible() const { return m_answersVisible; }
    // The answer as copied; empty without a value.
    std::u16string formattedResultOnLine(uint64_t index) const;
    std::u16string unformattedResultOnLine(uint64_t index) const;

  private:
    uint64_t numberOfRowsInAnswerColumn(NBAnswerColumnView& view) override;
    // The answer as shown: the formatted value, an error's message, or nothing.
    NSAttributedString objectValueForRow(NBAnswerColumnView& view, uint64_t row) override;

    NBAnswerColumnView* m_column = nullptr;
    std::shared_ptr<NCLineCollection> m_lines;
    NBAnswerColumnControllerDelegate* m_delegate = nullptr;
    NBDocumentController* m_documentController = nullptr;
    bool m_answersVisible = true;
};

#endif
