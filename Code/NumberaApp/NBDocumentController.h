// One open document: its line collection (owned by the kit's line collection controller), the
// controllers of its window, reading and writing its file, its edited state, and the road of
// every edit from the text view controller to the line collection and back to the answer
// column. When the incremental road cannot be trusted it rebuilds the lines from the text.
#ifndef NUMBERA_APP_NB_DOCUMENT_CONTROLLER_H
#define NUMBERA_APP_NB_DOCUMENT_CONTROLLER_H

#include <QObject>
#include <QString>
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
class NBTextView;
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

  signals:
    void documentEditedChanged(bool edited);

  private:
    void updateViewPropertiesFromFile(NCFile* file);
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
    QString m_fileURL;
    bool m_changeDone = false;
    bool m_draftWritten = false;
    bool m_expressionUpdateQueued = false;
};

#endif
