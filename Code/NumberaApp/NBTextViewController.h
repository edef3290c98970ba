// The delegate of the calculation text view. Every change of the text reaches it after Qt made
// it, as QTextDocument::contentsChange(position, removed, added); it classifies the change
// against the mirror of the text before the edit (the kit's text action generator), brings the
// mirror level, and hands the actions to its own delegate, the document, which applies them to
// the line collection. It also loads the text from the lines, keeps the current and selected
// lines, and exchanges lines and text with the clipboard in its two private types.
#ifndef NUMBERA_APP_NB_TEXT_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_TEXT_VIEW_CONTROLLER_H

#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

#include "NBTextView.h"
#include "NKPasteboardHelper.h"
#include "NKTextAction.h"
#include "NKTextActionGenerator.h"
#include "NSIndexSet.h"

class NBTextViewController;
class NBTextViewMetrics;
class NCLineCollection;

inline constexpr const char* NBTextAttachmentPboardType = "NBTextAttachmentPboardType";
inline constexpr const char* NBTextDidChange = "NBTextDidChange";

// The document. Every message is optional.
struct NBTextViewControllerDelegate {
    virtual ~NBTextViewControllerDelegate() = default;
    virtual void tvcLineNumberDidChange(NBTextViewController*, int64_t /*previous*/,
                                        int64_t /*current*/) {}
    virtual void tvcSelectedLinesDidChange(NBTextViewController*, const NSIndexSet& /*old*/,
                                           const NSIndexSet& /*new*/) {}
    virtual void tvcTextSelectionDidChange(NBTextViewController*) {}
    virtual void tvcDidFinishProcessingText(NBTextViewController*) {}
    virtual void tvcTextDidChange(NBTextViewController*) {}
    virtual void tvcFormattingDidChange(NBTextViewController*) {}
    // Lines whose formatting came from the clipboard.
    virtual void setLinesNeedRedraw(const NSIndexSet&) {}
    // Undo and redo change the text without text actions: the document rebuilds afterwards.
    virtual void tvcUndoDidChangeText(NBTextViewController*) {}
    // The answers were jumped into the text, or the text came back.
    virtual void tvcDidJumpAnswers(NBTextViewController*) {}
};

class NBTextViewController : public QObject,
                             public NBTextViewDelegate,
                             public NKPasteboardHelperDelegate {
    Q_OBJECT

  public:
    explicit NBTextViewController(QObject* parent = nullptr);
    ~NBTextViewController() override;

    // Not owned. Connects the edit handler first, before anything else that watches the text.
    void setTextView(NBTextView* textView);
    NBTextView* textView() const { return m_textView; }
    std::shared_ptr<NBTextViewMetrics> metrics() const;
    // Loads the text from the lines (no text actions, the undo stack empty).
    void setLineCollection(std::shared_ptr<NCLineCollection> collection);
    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    void setDelegate(NBTextViewControllerDelegate* delegate) { m_delegate = delegate; }
    NKTextActionGenerator& textActionGenerator() { return m_generator; }
    // The actions of the edit being handled; the document invalidates and clears them.
    std::vector<NKTextAction>& lastTextActions() { return m_lastTextActions; }

    int64_t currentLineNumber() const { return m_currentLineNumber; }
    const NSIndexSet& selectedLineNumbers() const { return m_selectedLineNumbers; }
    bool textIsBeingEdited() const { return m_textView && m_textView->textIsBeingEdited(); }
    // True while undo or redo change the text.
    bool isUndoing() const { return m_undoing; }

    void loadTextFromLineCollection();
    // Formatting of lines comes with syntax colouring; redrawing is Qt's own.
    void redrawLinesAtIndexes(const NSIndexSet& lines, bool updateTokenPositions);
    void updateTextViewFont();
    // Aligns the lines' blocks (0 left, 1 right, 2 centre, 3 justified, 4 natural) and
    // stores the alignment with each line.
    void setAlignment(int32_t alignment, const NSIndexSet& lines);
    // In place of the selection, as one edit.
    void insertText(const QString& text);
    void setTextViewTextTo(const QString& text, uint64_t line);
    void printUnitTestOfLastTextAction();

    // NBTextViewDelegate
    QStringList supportedPasteboardTypes() const override;
    void writeSelectionToPasteboard(QMimeData& data) override;
    bool readSelectionFromPasteboard(const QMimeData& data) override;
    void undo() override;
    void redo() override;

    // NKPasteboardHelperDelegate
    std::shared_ptr<NCResultFormattingOptions> defaultResultFormattingOptions() override;

    // Answers written into the text: each line's expression (tokens as text), " = " and its
    // answer, lines joined by "\n". The styled form is HTML with the separator coloured.
    struct AnswersText {
        QString plain;
        QString html;
    };
    AnswersText stringWithAnswersOnLinesWithIndexes(const NSIndexSet& lines,
                                                    bool includeExpressions,
                                                    bool usesFormattedAnswers, bool styleString);
    // Swaps the editor's document for a read-only one showing every line with its answer, and
    // back: the document typed into is never changed, so its text, undo stack and modified
    // state come back exactly.
    void jumpAnswers();
    bool answersAreJumped() const { return m_answersAreJumped; }

  private:
    void contentsChange(int position, int removed, int added);
    void textDidChange();
    void finishUndo();
    void selectionDidChange();
    void setCurrentLineNumber(int64_t line);
    void setSelectedLineNumbers(const NSIndexSet& lines);
    // Line separators and thin spaces that came in by a path that did not normalise them.
    void normalizeTextAround(int position, int length);
    bool readLines(const QByteArray& bytes);
    bool readTextAttachment(const QByteArray& bytes);
    void applyAlignmentOfLinesToBlocks();
    // The text as the document holds it, with block breaks as "\n".
    std::u16string documentText(int from, int to) const;

    NBTextView* m_textView = nullptr;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NBTextViewControllerDelegate* m_delegate = nullptr;
    NKTextActionGenerator m_generator;
    NKPasteboardHelper m_pasteboardHelper;
    std::vector<NKTextAction> m_lastTextActions;
    int64_t m_currentLineNumber = -1;
    NSIndexSet m_selectedLineNumbers;
    bool m_loading = false;
    bool m_undoing = false;
    bool m_undoChangedText = false;
    bool m_answersAreJumped = false;
    QTextDocument* m_unjumpedDocument = nullptr;
};

#endif
