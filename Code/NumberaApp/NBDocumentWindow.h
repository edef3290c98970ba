// The window of one document: the split view of text and answers, titled with the document's
// name and showing its edited state. Saving writes the file atomically and reports a failure
// in an alert, leaving the document edited; closing an edited document asks whether to save.
#ifndef NUMBERA_APP_NB_DOCUMENT_WINDOW_H
#define NUMBERA_APP_NB_DOCUMENT_WINDOW_H

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class NBDocumentController;
class NBDocumentToolbar;
class NBKettraView;
class NBTextView;
class NBAnswerColumnView;
class NBViewController;
#include <QMessageBox>

class NBDocumentWindow : public QMainWindow {
    Q_OBJECT

  public:
    // Takes the document, read or new; an untitled document is named by `untitledName`.
    NBDocumentWindow(NBDocumentController* document, QString untitledName,
                     QWidget* parent = nullptr);
    ~NBDocumentWindow() override;

    NBDocumentController& document() const { return *m_document; }
    NBTextView* textView() const;
    NBAnswerColumnView* answerColumn() const;
    NBKettraView* kettraView() const { return m_kettraView; }
    // Lays out the bars around the panes and shows or hides them.
    NBViewController* viewController() const { return m_viewController; }

    // Empty for an untitled document.
    QString filePath() const;
    QString displayName() const;
    // The insertion point.
    qsizetype selectedLocation() const;
    void setSelectedLocation(qsizetype location);

    // Saves to the document's file, or asks for one. False when nothing was written.
    bool saveDocument();
    // Asks for a path unless one is given.
    bool saveDocumentAs(const QString& path = QString());
    // Asks, then reads the saved file again in place of the unsaved edits.
    void revertDocumentToSaved();
    // Closes at once, edited or not (the application is going away).
    void closeWithoutAsking();
    // Closes as the user's close does, asking first when the document is edited; `done` learns
    // whether the window closed (true) or stays because the user cancelled or the save failed.
    void closeAsking(std::function<void(bool closed)> done);
    // Closing would ask whether to save the changes.
    bool closingAsks() const;
    // Shows the window in front and active, restored first when it was minimized.
    void bringToFront();
    // The toolbar, hidden until shown; showing or hiding it is announced before and after
    // ("NBDocumentWindowToolbarWillChangeVisibleState", "…DidChangeVisibleState").
    NBDocumentToolbar* toolbar() const { return m_toolbar; }
    void toggleToolbarShown();
    // The alert or question showing on the window, if any.
    QMessageBox* sheet() const { return m_sheet; }

  signals:
    void windowClosed(NBDocumentWindow* window);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void updateTitle();
    void showAlert(const QString& title, const QString& text);
    void askToSaveBeforeClosing();
    void finishClosing(bool closed);
    // The document came from the older format: "Save As...", "Overwrite" or "Cancel".
    void askBeforeOverwritingOlderFormat();

    NBDocumentController* m_document;
    NBKettraView* m_kettraView;
    NBViewController* m_viewController = nullptr;
    NBDocumentToolbar* m_toolbar = nullptr;
    QString m_untitledName;
    QPointer<QMessageBox> m_sheet;
    bool m_closeConfirmed = false;
    // Told once whether the close asked for by closeAsking took place.
    std::function<void(bool)> m_closeDone;
    bool m_keepDraft = false;
};

#endif
