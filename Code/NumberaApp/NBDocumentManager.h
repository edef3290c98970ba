// The application's open documents: what "the shared document controller" answers to the
// launch, the welcome window and the global commands. Until the document window exists the
// documents are placeholder windows.
#ifndef NUMBERA_APP_NB_DOCUMENT_MANAGER_H
#define NUMBERA_APP_NB_DOCUMENT_MANAGER_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class NBPlaceholderDocumentWindow;
class QMainWindow;

class NBDocumentManager : public QObject {
    Q_OBJECT

  public:
    explicit NBDocumentManager(QObject* parent = nullptr);
    ~NBDocumentManager() override;

    // Every new window gets this before it shows (menu bar, localisation).
    void setWindowPreparer(std::function<void(QMainWindow*)> preparer) {
        m_windowPreparer = std::move(preparer);
    }

    NBPlaceholderDocumentWindow* newDocument();
    // Shows the window of a file already open instead of opening it twice. Null, with a log
    // line, when the file cannot be read.
    NBPlaceholderDocumentWindow* openDocument(const QString& path, bool display = true);
    const std::vector<NBPlaceholderDocumentWindow*>& documents() const { return m_documents; }
    // Paths of the open documents that have files, in opening order.
    QStringList openFilePaths() const;
    void closeAllDocuments();

  signals:
    void documentsChanged();

  private:
    NBPlaceholderDocumentWindow* addWindow(NBPlaceholderDocumentWindow* window, bool display);

    std::vector<NBPlaceholderDocumentWindow*> m_documents;
    std::function<void(QMainWindow*)> m_windowPreparer;
    int m_untitledCount = 0;
};

#endif
