#include "NBDocumentManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBDocumentController.h"
#include "NBDocumentWindow.h"
#include "NBOnScreenPlacement.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "NSLocalizedString.h"

namespace {

constexpr const char* kRecentDocumentsKey = "NBRecentDocuments";

}  // namespace

NBDocumentManager::NBDocumentManager(QObject* parent) : QObject(parent) {}

NBDocumentManager::~NBDocumentManager() { closeAllDocuments(); }

NBDocumentWindow* NBDocumentManager::newDocument() {
    QString name = NBAppResources::toQString(NSLocalizedString(u"Untitled"));
    if (++m_untitledCount > 1) name += QStringLiteral(" %1").arg(m_untitledCount);
    return addWindow(new NBDocumentWindow(new NBDocumentController, name), true);
}

NBDocumentWindow* NBDocumentManager::openDocument(const QString& path, bool display) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty()) {
        for (NBDocumentWindow* window : m_documents) {
            if (QFileInfo(window->filePath()).canonicalFilePath() != canonical) continue;
            if (display) {
                window->bringToFront();
            }
            return window;
        }
    }
    auto* document = new NBDocumentController;
    QString error;
    if (!document->readFromURL(canonical.isEmpty() ? path : canonical, &error)) {
        delete document;
        Diagnostics::error("Could not open the document " + path.toStdString() + ": " +
                           error.toStdString());
        auto* alert = new QMessageBox(QMessageBox::Warning, QString(), error, QMessageBox::Ok,
                                      QApplication::activeWindow());
        alert->setObjectName(QStringLiteral("openErrorAlert"));
        alert->setAttribute(Qt::WA_DeleteOnClose);
        m_openErrorAlert = alert;
        if (alert->parentWidget()) {
            alert->open();
            return nullptr;
        }
        // At launch no window is there yet: the alert waits for the one the launch opens
        // instead, and shows on it rather than behind it.
        QPointer<QMessageBox> waiting = alert;
        QMetaObject::invokeMethod(
            this,
            [this, waiting] {
                if (!waiting) return;
                QWidget* front = QApplication::activeWindow();
                if (!front && !m_documents.empty()) front = m_documents.back();
                if (front) waiting->setParent(front, waiting->windowFlags());
                waiting->open();
            },
            Qt::QueuedConnection);
        return nullptr;
    }
    noteRecentDocument(canonical.isEmpty() ? path : canonical);
    QPointer<NBDocumentWindow> untouched = display ? untouchedUntitledWindow() : nullptr;
    NBDocumentWindow* window = new NBDocumentWindow(document, QString());
    if (untouched) window->setGeometry(untouched->geometry());
    addWindow(window, display);
    if (untouched) untouched->closeWithoutAsking();
    return window;
}

NBDocumentWindow* NBDocumentManager::untouchedUntitledWindow() const {
    NBDocumentWindow* front = currentDocument();
    if (!front || !front->filePath().isEmpty() || front->document().isDocumentEdited() ||
        front->document().isExampleDocument() || !front->textView()->document()->isEmpty() ||
        front->textView()->document()->isUndoAvailable())
        return nullptr;
    return front;
}

QStringList NBDocumentManager::recentDocuments() {
    QStringList paths;
    const auto stored = NBUserDefaultsController::valueForKey(kRecentDocumentsKey);
    if (!stored) return paths;
    // The settings file gives a list of one entry back as a plain text.
    if (const auto* list = std::get_if<std::vector<std::u16string>>(&*stored))
        for (const std::u16string& path : *list) paths << NBAppResources::toQString(path);
    if (const auto* one = std::get_if<std::u16string>(&*stored); one && !one->empty())
        paths << NBAppResources::toQString(*one);
    return paths;
}

void NBDocumentManager::noteRecentDocument(const QString& path) {
    if (path.isEmpty()) return;
    QStringList paths = recentDocuments();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > kRecentDocumentsLimit) paths.removeLast();
    std::vector<std::u16string> stored;
    for (const QString& entry : paths) stored.push_back(NBAppResources::toU16(entry));
    NBUserDefaultsController::setValueForKey(kRecentDocumentsKey, stored);
}

void NBDocumentManager::clearRecentDocuments() {
    NBUserDefaultsController::setValueForKey(kRecentDocumentsKey, std::vector<std::u16string>());
}

NBDocumentWindow* NBDocumentManager::openDraft(const QString& draftPath, bool display) {
    auto* document = new NBDocumentController;
    QString error;
    if (!document->readDraft(draftPath, &error)) {
        delete document;
        Diagnostics::error("Warning: the draft " + draftPath.toStdString() +
                           " could not be read: " + error.toStdString());
        return nullptr;
    }
    QString name;
    if (document->fileURL().isEmpty()) {
        name = document->draftDisplayName();
        if (name.isEmpty()) {
            name = NBAppResources::toQString(NSLocalizedString(u"Untitled"));
            if (++m_untitledCount > 1) name += QStringLiteral(" %1").arg(m_untitledCount);
        }
    }
    return addWindow(new NBDocumentWindow(document, name), display);
}

NBDocumentWindow* NBDocumentManager::addWindow(NBDocumentWindow* window, bool display) {
    window->document().setDataFolder(m_dataFolder);
    m_documents.push_back(window);
    connect(window, &NBDocumentWindow::windowClosed, this, [this](NBDocumentWindow* closed) {
        // A file saved under a new name is remembered as it closes.
        noteRecentDocument(closed->filePath());
        emit documentWillClose(closed);
        m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), closed),
                          m_documents.end());
        emit documentsChanged();
    });
    if (m_windowPreparer) m_windowPreparer(window);
    NBKeepWindowOnScreen(window);
    if (display) window->bringToFront();
    emit documentsChanged();
    return window;
}

NBDocumentWindow* NBDocumentManager::currentDocument() const {
    for (NBDocumentWindow* window : m_documents)
        if (window->isActiveWindow()) return window;
    return m_documents.empty() ? nullptr : m_documents.back();
}

QStringList NBDocumentManager::openFilePaths() const {
    QStringList paths;
    for (const NBDocumentWindow* window : m_documents)
        if (!window->filePath().isEmpty()) paths << window->filePath();
    return paths;
}

void NBDocumentManager::closeAllDocuments() {
    const auto windows = m_documents;
    for (NBDocumentWindow* window : windows) window->closeWithoutAsking();
    m_documents.clear();
}

bool NBDocumentManager::closeAllDocumentsAsking() {
    const auto windows = m_documents;
    for (NBDocumentWindow* window : windows)
        if (!window->close()) return false;
    return true;
}

void NBDocumentManager::reviewUnsavedDocuments(std::function<void(bool)> done) {
    std::vector<QPointer<NBDocumentWindow>> queue;
    for (NBDocumentWindow* window : m_documents)
        if (window->closingAsks()) queue.emplace_back(window);
    reviewNext(std::move(queue), std::move(done));
}

void NBDocumentManager::reviewNext(std::vector<QPointer<NBDocumentWindow>> queue,
                                   std::function<void(bool)> done) {
    while (!queue.empty() && (!queue.front() || !queue.front()->closingAsks()))
        queue.erase(queue.begin());
    if (queue.empty()) {
        if (done) done(true);
        return;
    }
    QPointer<NBDocumentWindow> window = queue.front();
    queue.erase(queue.begin());
    // The question comes to the front with its window.
    window->bringToFront();
    window->closeAsking([this, queue = std::move(queue), done](bool closed) mutable {
        if (!closed) {
            if (done) done(false);
            return;
        }
        // The next question once this window has finished closing.
        QMetaObject::invokeMethod(
            this, [this, queue = std::move(queue), done] { reviewNext(queue, done); },
            Qt::QueuedConnection);
    });
}
