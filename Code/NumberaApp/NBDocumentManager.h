// The application's open documents: what "the shared document controller" answers to the
// launch, the welcome window and the global commands. A document that cannot be read is an
// alert, and no window is left behind.
#ifndef NUMBERA_APP_NB_DOCUMENT_MANAGER_H
#define NUMBERA_APP_NB_DOCUMENT_MANAGER_H

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class NBDocumentWindow;
class QMainWindow;
#include <QMessageBox>

class NBDocumentManager : public QObject {
    Q_OBJECT

  public:
    explicit NBDocumentManager(QObject* parent = nullptr);
    ~NBDocumentManager() override;

    // Every new window gets this before it shows (menu bar, localisation).
    void setWindowPreparer(std::function<void(QMainWindow*)> preparer) {
        m_windowPreparer = std::move(preparer);
    }

    NBDocumentWindow* newDocument();
    // Documents keep drafts of unsaved work in the data folder's "Drafts"; none without one.
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    // Opens a draft left by an earlier session, edited; null (logged, the draft left in place)
    // when it cannot be read.
    NBDocumentWindow* openDraft(const QString& draftPath, bool display = true);
    // Shows the window of a file already open instead of opening it twice. Null when the file
    // cannot be read: the reason is shown in an alert and logged.
    NBDocumentWindow* openDocument(const QString& path, bool display = true);
    const std::vector<NBDocumentWindow*>& documents() const { return m_documents; }
    // The document window that is active, else the last opened; null without documents.
    NBDocumentWindow* currentDocument() const;
    // Paths of the open documents that have files, in opening order.
    QStringList openFilePaths() const;
    // Closes every window without asking (the application is going away).
    void closeAllDocuments();
    // Closes the windows in turn until one asks whether to save its changes; true when all
    // closed.
    bool closeAllDocumentsAsking();
    // Quitting: asks about each edited document in turn, closing it once answered ("Save" or
    // "Don't Save"); `done` learns true once all were answered, false when one answer was
    // "Cancel" (or its save failed), which stops the review there. Documents without unsaved
    // changes stay open.
    void reviewUnsavedDocuments(std::function<void(bool allAnswered)> done);
    // Files opened or saved lately, the latest first (at most kRecentDocumentsLimit), kept
    // across launches in the settings.
    static constexpr int kRecentDocumentsLimit = 10;
    static QStringList recentDocuments();
    static void noteRecentDocument(const QString& path);
    static void clearRecentDocuments();
    // The last alert about a document that could not be opened, while it shows.
    QMessageBox* openErrorAlert() const { return m_openErrorAlert; }

  signals:
    void documentsChanged();
    // A window is closing: its document has decided about its draft and still answers.
    void documentWillClose(NBDocumentWindow* window);

  private:
    NBDocumentWindow* addWindow(NBDocumentWindow* window, bool display);
    // The front window when it is an untitled document nobody has typed in: a file opened
    // next takes its place.
    NBDocumentWindow* untouchedUntitledWindow() const;
    void reviewNext(std::vector<QPointer<NBDocumentWindow>> queue, std::function<void(bool)> done);

    std::vector<NBDocumentWindow*> m_documents;
    std::function<void(QMainWindow*)> m_windowPreparer;
    int m_untitledCount = 0;
    QString m_dataFolder;
    QPointer<QMessageBox> m_openErrorAlert;
};

#endif
