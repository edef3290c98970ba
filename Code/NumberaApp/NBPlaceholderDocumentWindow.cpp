#include "NBPlaceholderDocumentWindow.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

NBPlaceholderDocumentWindow::NBPlaceholderDocumentWindow(QString filePath, QString untitledName,
                                                         QWidget* parent)
    : QMainWindow(parent),
      m_filePath(std::move(filePath)),
      m_untitledName(std::move(untitledName)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("documentWindow"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_nameLabel = new QLabel(displayName(), central);
    m_nameLabel->setObjectName(QStringLiteral("documentName"));
    m_nameLabel->setAlignment(Qt::AlignCenter);
    m_nameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_nameLabel);
    setCentralWidget(central);
    setWindowTitle(displayName());
    if (!m_filePath.isEmpty()) setWindowFilePath(m_filePath);
    resize(640, 480);
}

QString NBPlaceholderDocumentWindow::displayName() const {
    if (m_filePath.isEmpty()) return m_untitledName;
    return QFileInfo(m_filePath).fileName();
}

void NBPlaceholderDocumentWindow::closeEvent(QCloseEvent* event) {
    emit windowClosed(this);
    event->accept();
}
