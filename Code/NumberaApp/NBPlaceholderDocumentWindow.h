// The document window's stand-in: an empty window titled with the document's file name, so
// that New, Open and the example have something to show. Holds no text.
#ifndef NUMBERA_APP_NB_PLACEHOLDER_DOCUMENT_WINDOW_H
#define NUMBERA_APP_NB_PLACEHOLDER_DOCUMENT_WINDOW_H

#include <QMainWindow>
#include <QString>

class QLabel;

class NBPlaceholderDocumentWindow : public QMainWindow {
    Q_OBJECT

  public:
    // An empty path is an untitled document.
    explicit NBPlaceholderDocumentWindow(QString filePath, QString untitledName,
                                         QWidget* parent = nullptr);

    const QString& filePath() const { return m_filePath; }
    QString displayName() const;
    // The insertion point; the example document opens with it at the start.
    qsizetype selectedLocation() const { return m_selectedLocation; }
    void setSelectedLocation(qsizetype location) { m_selectedLocation = location; }

  signals:
    void windowClosed(NBPlaceholderDocumentWindow* window);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QString m_filePath;
    QString m_untitledName;
    QLabel* m_nameLabel = nullptr;
    qsizetype m_selectedLocation = 0;
};

#endif
