// One open document: its line collection (owned by the kit's line collection controller), the
// controllers of its window, reading and writing its file, its edited state, and the road of
// every edit from the text view controller to the line collection and back to the answer
// column. When the incremental road cannot be trusted it rebuilds the lines from the text.
#ifndef NUMBERA_APP_NB_DOCUMENT_CONTROLLER_H
#define NUMBERA_APP_NB_DOCUMENT_CONTROLLER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "NBAnswerColumnController.h"
#include "NBTextViewController.h"
#include "NKLineCollectionController.h"
#include "NSIndexSet.h"
#include "NSKeyedArchive.h"

class NCFile;
class NCVariable;
class NBBigAnswerViewer;
class QAction;
class QTimer;
class QTextToSpeech;
class NBExportHelper;
class NBExportWindowController;
class NBHTMLPrinter;
struct NBHTMLPrinterDelegate;
class NBPrintInfo;
class NBPrintOperation;
class NBTextView;
class NBViewController;
class NBTextViewMetrics;

// The kinds of updateChangeCount.
enum NBDocumentChangeType { NBChangeDone = 0, NBChangeUndone = 1, NBChangeCleared = 2 };

class NBDocumentController : public QObject,
                             public NKLineCollectionControllerDelegate,
                             public NBTextViewControllerDelegate,
                             public NBAnswerColumnControllerDelegate {
    Q_OBJECT

  public:
    static constexpr const char* kDocumentType = "com.orvantix.numbera.document";

    // Waits for the shared environment first: no document is built before it has loaded.
    explicit NBDocumentController(QObject* parent = nullptr);
    ~NBDocumentController() override;

    static bool isNativeType(const QString& type) { return type == QLatin1String(kDocumentType); }

    // Reading and writing. False with a message for the user on failure; a failed write
    // leaves the file that was there untouched. Writing happens on the GUI thread only.
    bool readFromURL(const QString& path, QString* error);
    bool writeToURL(const QString& path, QString* error);
    // Writes, then the document is clean, has the file and remembers "NBLastSavedFilePath".
    bool saveToURL(const QString& path, QString* error);
    // Reads the file again in place of the edited lines; on failure nothing changes.
    bool revertToContentsOfURL(const QString& path, QString* error);
    const QString& fileURL() const { return m_fileURL; }
    const std::shared_ptr<NCFile>& representedFile() const { return m_representedFile; }
    // The file whose stored view state (bars, statistic, selection) the window takes: the one
    // read, which for a draft is the draft, not the original it belongs to.
    const std::shared_ptr<NCFile>& viewStateFile() const { return m_viewStateFile; }

    // The example document ships in the resources folder; it never shows as edited.
    bool isExampleDocument() const;
    bool hasBeenUserSaved() const;
    // True once an unsaved draft of the document was written somewhere (none is, so far):
    // only then may closing skip the save question.
    bool draftWasWritten() const { return m_draftWritten; }
    bool isDocumentEdited() const;
    void updateChangeCount(NBDocumentChangeType change);
    void makeDocumentDirty();
    std::map<std::string, NSArchiveValue> documentInfoDictionary() const;
    // The window's areas and chosen statistic as the file keeps them ("NBNumberLineVisible",
    // "NBChosenStatistic"...); set by the window as they change.
    void setViewInfo(std::map<std::string, NSArchiveValue> info) { m_viewInfo = std::move(info); }
    static std::vector<std::string> documentInfoBoolKeys();
    static std::vector<std::string> documentInfoNumberKeys();
    static std::vector<std::string> documentInfoStringKeys() { return {}; }

    // The window's views exist: binds them, reads back the stored view state, synchronises.
    void windowControllerDidLoadNib(NBTextView* textView, NBAnswerColumnView* answerColumn);
    bool viewIsSetup() const { return m_viewIsSetup; }
    void updateControllersLineCollections();
    void checkAllIsWell() const;

    NKLineCollectionController& lineCollectionController() { return m_lineCollectionController; }
    const std::shared_ptr<NCLineCollection>& lineCollection() const {
        return m_lineCollectionController.lineCollection();
    }
    NBTextViewController& textViewController() { return *m_textViewController; }
    NBAnswerColumnController& answerColumnController() { return *m_answerColumnController; }
    bool answerPaletteIsVisible() const;
    // Shows the palette on the key line unless it shows already.
    void restoreAnswerPalette();
    int64_t keyLineNumber() const { return m_keyLineNumber; }
    const NSIndexSet& keyLineNumbers() const { return m_keyLineNumbers; }
    void setKeyLineNumber(int64_t line);
    void setKeyLineNumbers(const NSIndexSet& lines);

    // Synchronisation.
    void forceSynchronize();
    void updateKettraViewFromTextActions(std::vector<NKTextAction>& actions);
    bool textActionIsValid(const NKTextAction& action);
    bool textActionIndicatesForceSynchroniseRequired(const NKTextAction& action);
    void updateTextViewForChangedExpressions(const NSIndexSet& lines);
    void makeLineAtIndexHaveExpression(uint64_t index, const std::u16string& expression);
    // Global variables or stocks changed: the lines using them are evaluated again; the
    // document is edited when an answer changed.
    void updateDocumentForChangedGlobalVariables(
        const std::vector<std::shared_ptr<NCVariable>>& variables);
    // Rates, prices or the number signs changed: the lines take the user's number signs (the
    // text shows them) and every line is evaluated again.
    void refreshForEnvironmentChange();
    double paragraphHeightForLineIndex(uint64_t index);
    void relayoutTableCellsForTextViewBoundsChange();
    void setLinesNeedRedraw(const NSIndexSet& lines) override;

    // NKLineCollectionControllerDelegate
    std::u16string expressionForLineAtIndex(uint64_t index) override;
    NKLocale defaultLocale() override;
    NCTrigonometryMode defaultTrigonometryMode() override;
    int32_t defaultTextAlignment() override;
    std::shared_ptr<NCResultFormattingOptions> defaultFormattingOptions() override;
    bool respondsToDidLoadLineCollection() const override { return true; }
    void lineCollectionControllerDidLoadLineCollection(NKLineCollectionController*,
                                                       NCLineCollection*) override;
    bool respondsToDidReevaluateLines() const override { return true; }
    void lineCollectionControllerLineCollectionDidReevaluateLines(NKLineCollectionController*,
                                                                  NCLineCollection*,
                                                                  const NSIndexSet&) override;

    // NBTextViewControllerDelegate
    void tvcLineNumberDidChange(NBTextViewController*, int64_t previous, int64_t current) override;
    void tvcSelectedLinesDidChange(NBTextViewController*, const NSIndexSet&,
                                   const NSIndexSet&) override;
    void tvcDidFinishProcessingText(NBTextViewController*) override;
    void tvcTextDidChange(NBTextViewController*) override;
    void tvcFormattingDidChange(NBTextViewController*) override;

    // NBAnswerColumnControllerDelegate
    double answerColumnControllerHeightForRowAtIndex(NBAnswerColumnController*,
                                                     uint64_t index) override;
    void answerColumnControllerSelectionDidChange(NBAnswerColumnController*) override;
    void tvcDidJumpAnswers(NBTextViewController*) override;
    bool tvcValidateCommand(const QString& command, int tag) override {
        return validateCommand(command, tag);
    }
    void tvcPerformCommand(const QString& command, int tag) override {
        performCommand(command, tag);
    }

    // Commands of the menus, the toolbar and the answer column. A tag of -1 means the key
    // lines; any other names a line. Each does nothing while validation disables it.
    static QStringList documentCommands();
    // False for a command that is not the document's or is disabled now.
    bool performCommand(const QString& command, int tag, bool fromToolbar = false);
    // Whether the toolbar's item of the command is enabled now.
    bool validateToolbarItem(const QString& command) const;
    // Sets the item's title and state from the document, and answers whether it is enabled.
    bool validateMenuItem(const QString& command, QAction* item);
    bool validateCommand(const QString& command, int tag);
    void copyResult(int tag);
    void copyUnformattedResult(int tag);
    void copyExpressionAndResult(int tag);
    void clearLine();
    void clearAll();
    void commentLine();
    void insertPreviousAnswer(int tag);
    // The default operator for the insertion point, when it asks for one, then the text.
    void insertOperatorAndText(const QString& text);
    // A relative reference on the current line to the line, with the operator it needs.
    void insertAnswerTokenReferringToLine(uint64_t line);
    // The window's frame: its bars and the line formatting controller of its formatting bar.
    void setViewController(NBViewController* controller);
    void jumpAnswers();
    void alignText(int tag);
    // From the toolbar a click that just closed the viewer does not open it again.
    void showBigAnswer(int tag, bool fromToolbar = false);
    NBBigAnswerViewer* bigAnswerViewer() const { return m_bigAnswerViewer; }
    // Speech, where the build has a speech engine; the commands are disabled without one.
    static bool speechAvailable();
    // Speaks the selected text, or the whole text.
    void startSpeaking();
    void speakSelectedLines();
    void speakAnswer(int tag);
    void stopSpeech();
    bool isSpeaking() const;
    // What speaking the lines says.
    QString speechStringForKeyLines() const;
    bool isCommentLineAtIndex(uint64_t index) const;
    bool currentSelectionContainsCommentedLines() const;
    bool currentSelectionContainsNonCommentedLines() const;

    // Older documents: a file of the keyed-archive format is read as lines and saved over only
    // after asking.
    bool cameFromOlderFormat() const;
    // "Overwrite": the next save writes the XML format to the same file without asking.
    void forgetOlderFormat();

    // Unsaved work kept in the data folder's drafts (NBDocumentDrafts); empty without one.
    const QString& draftPath() const { return m_draftPath; }
    void setDraftPath(const QString& path) { m_draftPath = path; }
    // Writes the draft now when the document is edited; removes it when it is not.
    void writeDraftIfNeeded();
    void discardDraft();
    // Where drafts go ("<data folder>/Drafts"); none are written without one.
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    // Reads a draft left from an earlier session: the document belongs to the draft's file (or
    // is untitled), keeps the draft, and opens edited.
    bool readDraft(const QString& draftPath, QString* error);
    // The untitled name the draft was written under; empty for none.
    const QString& draftDisplayName() const { return m_draftDisplayName; }
    void setDraftDisplayName(const QString& name) { m_draftDisplayName = name; }
    // Window restoration: one NBLineState archive per line, and applying them back (states
    // beyond the document's lines are ignored).
    std::vector<NSKeyedArchive> encodeRestorableLineStates() const;
    void restoreLineStates(const std::vector<NSKeyedArchive>& states);

    // Export and printing (NBDocumentController+Export.cpp). A fresh helper for every use,
    // filled from the window and the user defaults.
    std::shared_ptr<NBExportHelper> exportHelper() const;
    // The title of exports: the file's name without ".numbera", or "Untitled".
    QString exportTitle() const;
    // Made on first use; lives as long as the document.
    NBExportWindowController& exportWindowController();
    // "export:", "saveDocumentAsPDFTo:", "sendToMail:"; failures show in alerts.
    void exportDocument();
    void saveDocumentAsPDFTo();
    void sendToMail();
    // The print settings kept with this document.
    const NBPrintInfo& printInfo() const;
    // Prints the HTML page: "Preparing Document..." shows while the page is made, then the
    // print panel (when asked for) runs modal to the window. The settings are added to a copy
    // of the document's print info.
    void printDocumentWithSettings(const QVariantMap& settings, bool showPrintPanel);
    void HTMLPrinter(NBHTMLPrinter& printer, std::unique_ptr<NBPrintOperation> operation);
    void document(bool didPrint, NBHTMLPrinter* printer, const QString& error);

  signals:
    void documentEditedChanged(bool edited);
    // The selected lines changed; the previous ones are given.
    void keyLineNumbersChanged(const NSIndexSet& previous);
    // The controllers were handed the line collection (a new one, or again).
    void controllersLineCollectionsUpdated();

  private:
    void updateViewPropertiesFromFile(NCFile* file);
    NSIndexSet linesForTag(int tag) const;
    NSIndexSet keyOrSelectedLines() const;
    bool anyLineHasResultValue(const NSIndexSet& lines) const;
    std::u16string lineTextWithLineEnd(uint64_t index) const;
    bool textViewIsFirstResponder() const;
    void scheduleDraft();
    NBTextViewMetrics* metrics() const;
    uint64_t textLineCount() const;

    NKLineCollectionController m_lineCollectionController;
    NBAnswerColumnController* m_answerColumnController = nullptr;
    NBTextViewController* m_textViewController = nullptr;
    NBTextView* m_textView = nullptr;
    NSIndexSet m_keyLineNumbers;
    int64_t m_keyLineNumber = 0;
    bool m_viewIsSetup = false;
    std::shared_ptr<NCFile> m_representedFile;
    std::shared_ptr<NCFile> m_viewStateFile;
    // Answer cells waiting for the text's layout to take in the edit that changed them.
    NSIndexSet m_cellsToRedraw;
    bool m_cellRedrawQueued = false;
    QString m_fileURL;
    bool m_changeDone = false;
    bool m_draftWritten = false;
    bool m_expressionUpdateQueued = false;
    std::map<std::string, NSArchiveValue> m_viewInfo;
    bool m_olderFormat = false;
    QPointer<NBViewController> m_viewController;
    NBBigAnswerViewer* m_bigAnswerViewer = nullptr;
    QTextToSpeech* m_speechSynthesizer = nullptr;
    QString m_draftPath;
    QTimer* m_draftTimer = nullptr;
    QString m_dataFolder;
    QString m_draftDisplayName;
    bool m_opensEdited = false;
    NBExportWindowController* m_exportWindowController = nullptr;  // a child
    std::shared_ptr<NBPrintInfo> m_printInfo;
    std::shared_ptr<NBHTMLPrinterDelegate> m_printDelegate;
};

#endif
