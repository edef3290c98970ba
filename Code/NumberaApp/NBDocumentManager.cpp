#include "NBDocumentManager.h"

#include <QFileInfo>
#include <algorithm>

#include "Diagnostics.h"
#include "NBAppResources.h"
#include "NBPlaceholderDocumentWindow.h"
#include "NSLocalizedString.h"

NBDocumentManager::NBDocumentManager(QObject* parent) : QObject(parent) {}

NBDocumentManager::~NBDocumentManager() { closeAllDocuments(); }

NBPlaceholderDocumentWindow* NBDocumentManager::newDocument() {
    QString name = NBAppResources::toQString(NSLocalizedString(u"Untitled"));
    if (++m_untitledCount > 1) name += QStringLiteral(" %1").arg(m_untitledCount);
    return addWindow(new NBPlaceholderDocumentWindow(QString(), name), true);
}

NBPlaceholderDocumentWindow* NBDocumentManager::openDocument(const QString& path, bool display) {
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        Diagnostics::error("Could not open the document " + path.toStdString());
        return nullptr;
    }
    const QString canonical = info.canonicalFilePath();
    for (NBPlaceholderDocumentWindow* window : m_documents) {
        if (QFileInfo(window->filePath()).canonicalFilePath() == canonical) {
            if (display) {
                window->show();
                window->raise();
                window->activateWindow();
            }
            return window;
        }
    }
    return addWindow(new NBPlaceholderDocumentWindow(canonical, QString()), display);
}

NBPlaceholderDocumentWindow* NBDocumentManager::addWindow(NBPlaceholderDocumentWindow* window,
                                                          bool display) {
    m_documents.push_back(window);
    connect(window, &NBPlaceholderDocumentWindow::windowClosed, this,
            [this](NBPlaceholderDocumentWindow* closed) {
                m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), closed),
                                  m_documents.end());
                emit documentsChanged();
            });
    if (m_windowPreparer) m_windowPreparer(window);
    if (display) {
        window->show();
        window->raise();
        window->activateWindow();
    }
    emit documentsChanged();
    return window;
}

QStringList NBDocumentManager::openFilePaths() const {
    QStringList paths;
    for (const NBPlaceholderDocumentWindow* window : m_documents)
        if (!window->filePath().isEmpty()) paths << window->filePath();
    return paths;
}

void NBDocumentManager::closeAllDocuments() {
    const auto windows = m_documents;
    for (NBPlaceholderDocumentWindow* window : windows) window->close();
    m_documents.clear();
}
