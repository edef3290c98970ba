// The delegate of the calculation text view. Every change of the text reaches it after Qt made
// it, as QTextDocument::contentsChange(position, removed, added); it classifies the change
// against the mirror of the text before the edit (the kit's text action generator), brings the
// mirror level, and hands the actions to its own delegate, the document, which applies them to
// the line collection. It also loads the text from the lines, keeps the current and selected
// lines, and exchanges lines and text with the clipboard in its two private types.
#ifndef NUMBERA_APP_NB_TEXT_VIEW_CONTROLLER_H
#define NUMBERA_APP_NB_TEXT_VIEW_CONTROLLER_H

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QStringList>
#include <QTextCursor>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "Clock.h"
#include "NBSyntaxHighlighter.h"
#include "NBTextAttachment.h"
#include "NBTokenEditorController.h"

#include "NBTextView.h"
#include "NKPasteboardHelper.h"
#include "NKTextAction.h"
#include "NKTextActionGenerator.h"
#include "NSAttributedString.h"
#include "NSIndexSet.h"
#include "NotificationCenter.h"

class NBSyntaxHighlighter;
class NBTextViewController;
class NBTextViewMetrics;
class NBTokenCell;
class NBTokenObjectHandler;
class NCExpression;
class NCLineCollection;
class QAction;
class QCompleter;
class QTextBlock;
class QTimer;

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
    // A token's type or reference changed in place.
    virtual void tvcTokenWasAlteredOnLine(NBTextViewController*, uint64_t /*line*/) {}
    // The answers were jumped into the text, or the text came back.
    virtual void tvcDidJumpAnswers(NBTextViewController*) {}
    // The document's commands that the text's menu offers ("copyExpressionAndResult:").
    virtual bool tvcValidateCommand(const QString& /*command*/, int /*tag*/) { return false; }
    virtual void tvcPerformCommand(const QString& /*command*/, int /*tag*/) {}
};

// A follow-up of a typing aid: the next typed trigger is swallowed, or a brace flashes.
struct NBPostMacroAction {
    std::u16string trigger;
    bool preventsInput = false;
    int smartTextAction = 0;
    bool repeats = false;
    NSTimeInterval expiryDate = 0;
};

// What a typing aid inserts in place of the typed text, and where the selection goes.
struct NBMacro {
    NBTokenizedString newTextValue;
    int rangeChangeStyle = 0;
    std::string defaultsKey;
    std::optional<NBPostMacroAction> postMacroAction;
    // A closing bracket or quotation mark put after the caret, not typed.
    bool insertsClosingCharacter = false;
};

// The stored text of a line with each line number the user typed ("line3") made a reference
// token relative to the line at that index; "line0" and other text stay as they are.
std::u16string NBStoredTextWithTextualLineReferencesTokenized(const std::u16string& stored,
                                                              int64_t lineIndex);

class NBTextViewController : public QObject,
                             public NBTextViewDelegate,
                             public NKPasteboardHelperDelegate,
                             public NBTokenEditorControllerDelegate {
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
    // The names of the steps Undo and Redo would take ("Typing", "Modify Answer Token"),
    // localized; empty when the step has no name or there is none.
    QString undoActionName() const;
    QString redoActionName() const;
    void setPendingUndoActionName(const QString& name) override { m_pendingUndoActionName = name; }
    // Cut through the text, as one step named so.
    void cut();

    // NKPasteboardHelperDelegate
    std::shared_ptr<NCResultFormattingOptions> defaultResultFormattingOptions() override;

    // Line-reference tokens
    NBTextAttachmentController* textAttachmentController() { return m_attachmentController.get(); }
    NBTokenEditorController& tokenEditorController() { return *m_tokenEditorController; }
    // Puts a reference of the type (1 absolute, 2 relative by line) from the line onLine to
    // the line referringToLine in place of the selection, as one edit; with the flag the
    // default operator goes in front of it where the line needs one.
    void insertLineReference(int type, uint64_t onLine, uint64_t referringToLine,
                             bool addOperatorIfNecessary);
    // In place of the selection, as one edit: a stored text with its references as tokens.
    void insertTokenizedText(const std::u16string& stored);
    // The line's references typed as the line-reference word and a number become tokens; a
    // stored reference still shown as text becomes its token too.
    void tokenizeLineWithTextualLineReferences(int64_t lineIndex);
    // The same for many lines, as one edit (joined to the previous one when asked: the paste
    // that brought the lines and their tokens are one step to undo).
    void tokenizeLinesWithTextualLineReferences(const NSIndexSet& lines,
                                                bool joinPreviousEdit = false);
    // The line's text rewritten from its stored expression when they differ.
    void setTextViewTokenizedTextTo(const std::u16string& stored, uint64_t line);
    // The token at the position; none where the character is no token.
    std::optional<NBTextAttachment> textAttachmentAt(int position) const;
    // Type and reference of the token at the position, as one undo step.
    void configureTextAttachment(int position, int64_t referenceIndex, int32_t type);
    void changeTokenType(int position, int32_t type);
    // The token replaced by its answer text.
    void untokenize(int position);
    void showEditorForTextAttachment(int position);
    // Edit..., Reference by Offset/Line, Untokenize; each acting on the token at the position.
    QList<QAction*> contextualMenuItemsForTextAttachment(int position, QObject* parent);
    // Every token measured and drawn again, in one relayout of the text. While the document is
    // mid-edit (its change being reported) or laying tokens out, the pass follows the edit.
    void redrawAllTokens();
    void highlightLineAtIndex(uint64_t index, const QColor& color);
    void removeHighlighting();
    // Where the mouse rests: its token shows its description and its line is highlighted.
    void setHoveredCharacter(int position);
    int hoveredTokenPosition() const { return m_hoveredToken; }

    // Syntax colouring
    void formatLines(const NSIndexSet& lines);
    NBSyntaxHighlighter* syntaxHighlighter() const { return m_highlighter; }

    // Typing aids
    // The clock that post-macro actions expire on; the main queue's by default.
    void setClock(std::shared_ptr<const Clock> clock) { m_clock = std::move(clock); }
    // The typed text's replacement put in, true; false leaves the typing to the view.
    bool insertTypedString(const std::u16string& typed);
    // A typed closing character that the aids inserted right after the caret moves the caret
    // past it instead (true).
    bool stepOverInsertedClosingCharacter(const std::u16string& typed);
    // Digits and signs made superscript characters; false when there was none.
    static bool raiseTypedText(std::u16string& typed);
    std::optional<NBMacro> macroForString(const std::u16string& typed);
    bool smartDelete();
    bool insertDefaultOperator();
    void insertSubTotalLineForLines(const NSIndexSet& lines);
    // The range of the bracket matching a ")" the caret just passed; none without one.
    std::optional<NSRange> rangeForMatchingBraceForOldSelectionPoint(NSRange oldSelection);
    void setupMacros();
    const std::vector<NBPostMacroAction>& postMacroActions() const { return m_postMacroActions; }
    // The replacement of a key combination, while "NBMathKeyEnabled" is on.
    std::optional<std::u16string> stringForEvent(const QKeyEvent& event) const;

    // NBTextViewDelegate: keys, mouse and menu
    bool textViewKeyPress(QKeyEvent& event) override;
    bool textViewClaimsShortcut(const QKeyEvent& event) override;
    // After typed text went in: an operator turns the line's typed line numbers into tokens.
    void insertTextFinished(const std::u16string& typed) override;
    void textViewMouseMoved(int position) override;
    bool textViewMousePress(int position, int clicks) override;
    // The text's own menu: Undo and Redo, the clicked token's items, then the text's and the
    // speech's items under their headings.
    void textViewContextMenu(QMenu& menu, int position) override;
    QString textViewTokenTitle(int position) const override;
    // Word completion: the names of the document's variables, then the global ones, that
    // begin with the partial word; Ctrl+Space (or Escape, where free) lists them.
    std::vector<std::u16string> completionsForPartialWord(const std::u16string& partialWord) const;
    void complete();
    bool textViewLeavesKeyToCompletion(const QKeyEvent& event) const override;
    // While on, typed digits and signs go in as their superscript characters, which read as
    // an exponent ("3" then "2" raised is 3²).
    void toggleSuperScriptMode() { m_superscriptMode = !m_superscriptMode; }
    bool superscriptMode() const { return m_superscriptMode; }
    // "Undo Typing", "Redo Paste", or the plain verb for a step without a name.
    QString undoMenuTitle(bool undo) const;

    // NBTokenEditorControllerDelegate
    void tokenEditorDidModifyType(NBTokenEditorController&, int32_t oldType,
                                  int32_t newType) override;
    void tokenEditorDidModifyReferenceIndex(NBTokenEditorController&, int64_t oldIndex,
                                            int64_t newIndex) override;
    void tokenEditorDidFinishEditingToken(NBTokenEditorController&) override;

    // Answers written into the text: each line's expression (tokens as the answers they
    // show), " = " and its answer, lines joined by "\n". The styled form colours expressions
    // and answers as the text is coloured and the separator orange; the HTML is that form, and
    // is made only when asked for.
    // The part of each line the selection touches, tokens as their core text (conversion 0) or
    // their answers (1); an empty last part when the selection ends with a line break.
    std::vector<std::u16string> selectedLinePartsWithTokensInRepType(int conversion) const;
    // The lines joined by line breaks, each coloured as the text colours a line, its words read
    // in the environment's vocabulary.
    static NSAttributedString colouredLines(const std::vector<std::u16string>& lines,
                                            const std::shared_ptr<NCEnvironment>& environment);
    struct AnswersText {
        QString plain;
        QString html;
        NSAttributedString styled;
    };
    AnswersText stringWithAnswersOnLinesWithIndexes(const NSIndexSet& lines,
                                                    bool includeExpressions,
                                                    bool usesFormattedAnswers, bool styleString);
    // Swaps the editor's document for a read-only one showing every line with its answer, and
    // back: the document typed into is never changed, so its text, undo stack and modified
    // state come back exactly.
    void jumpAnswers();
    // The line's text without its end, each token as the answer it shows (none for a token
    // without one).
    std::u16string detokenizedTextOfLine(uint64_t index);
    bool answersAreJumped() const { return m_answersAreJumped; }

  private:
    void contentsChange(int position, int removed, int added);
    void textDidChange();
    void finishUndo();
    bool isCompletionKey(const QKeyEvent& event) const;
    NSRange partialWordRangeAtCaret() const;
    void insertCompletion(const QString& name);
    void undoCommandAdded();
    void selectionDidChange();
    void setCurrentLineNumber(int64_t line);
    void setSelectedLineNumbers(const NSIndexSet& lines);
    // Line separators and thin spaces that came in by a path that did not normalise them.
    void normalizeTextAround(int position, int length);
    bool readLines(const QByteArray& bytes);
    bool readTextAttachment(const QByteArray& bytes);
    void applyAlignmentOfLinesToBlocks();
    void keepLayoutsOfOverlongLines();
    // The text as the document holds it, with block breaks as "\n".
    std::u16string documentText(int from, int to) const;
    void setupTextAttachmentSupport();
    // The block's text with its references as tokens; none when that is how it stands.
    std::optional<NBTokenizedString> tokenizedLineWithTextualLineReferences(
        const QTextBlock& block) const;
    void configureTokenCell(NBTokenCell& cell, int position, bool forDrawing);
    // Replaces a range of the text with tokenized text as one edit; the caret goes after it
    // unless told otherwise.
    void replaceRangeWithTokenizedString(int from, int to, const NBTokenizedString& text,
                                         bool joinPreviousEdit = false);
    // Tells the document that a token changed in place: it reads the line again.
    void tokenWasAltered(int position);
    void applyMacro(const NBMacro& macro);
    NSRange selectionLocalToCurrentLine() const;
    std::shared_ptr<NCExpression> currentLineExpression() const;
    void flashMatchingBrace(NSRange oldSelection);
    void updateExtraSelections();
    // A token selected alone draws its own selected capsule, without the view's highlight.
    void updateTokenSelectionLook();
    // Whether the document's layout may be touched now: not while Qt reports an edit it has not
    // laid out yet, nor while a token is being measured or drawn.
    bool layoutIsSettled() const { return !m_inContentsChange && m_tokenLayoutDepth == 0; }
    // The redrawing and formatting asked for while the layout was not settled, once it is.
    void scheduleDeferredRedraw();
    void performDeferredRedraw();

    NBTextView* m_textView = nullptr;
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NBTextViewControllerDelegate* m_delegate = nullptr;
    NKTextActionGenerator m_generator;
    NKPasteboardHelper m_pasteboardHelper;
    std::vector<NKTextAction> m_lastTextActions;
    int64_t m_currentLineNumber = -1;
    NSIndexSet m_selectedLineNumbers;
    bool m_loading = false;
    bool m_inContentsChange = false;
    int m_tokenLayoutDepth = 0;
    bool m_deferredRedrawQueued = false;
    bool m_deferredTokenRedraw = false;
    NSIndexSet m_deferredFormatting;
    bool m_undoing = false;
    // Each step of the text's undo stack by the stack's count of steps where it ends: undo
    // and redo move between these ends, and a new step drops those past it.
    std::map<int, QString> m_undoActionNames;
    QString m_pendingUndoActionName;
    QCompleter* m_completer = nullptr;
    bool m_superscriptMode = false;
    bool m_undoChangedText = false;

    std::unique_ptr<NBTextAttachmentController> m_attachmentController;
    std::unique_ptr<NBTokenEditorController> m_tokenEditorController;
    NBTokenObjectHandler* m_tokenHandler = nullptr;
    // Owned by the view's document, which may go first.
    QPointer<NBSyntaxHighlighter> m_highlighter;
    int m_hoveredToken = -1;
    std::optional<QPalette> m_paletteBeforeTokenSelection;
    std::optional<std::pair<uint64_t, QColor>> m_highlightedLine;
    std::optional<NSRange> m_flashedBrace;
    QTimer* m_flashTimer = nullptr;
    int m_editedTokenPosition = -1;
    bool m_tokenEditJoinsPrevious = false;
    NSRange m_lastSelection{0, 0};
    // Closing characters the aids put after the caret, each followed as the text changes.
    struct InsertedCloser {
        QTextCursor cursor;
        QChar character;
    };
    std::vector<InsertedCloser> m_insertedClosers;
    bool m_lastKeyWasNewline = false;
    bool m_lastKeyWasMoveRight = false;
    std::vector<NBPostMacroAction> m_postMacroActions;
    std::shared_ptr<const Clock> m_clock;
    NotificationObserver m_colorObserver;

    bool m_answersAreJumped = false;
    QTextDocument* m_unjumpedDocument = nullptr;
};

#endif
