// The small window with a title line and an indeterminate progress bar that shows while a
// long task runs without a progress display of its own (printing prepares its page under
// "Preparing Document..."). One per process, made on first use.
#ifndef NUMBERA_APP_NB_PROCESS_WINDOW_H
#define NUMBERA_APP_NB_PROCESS_WINDOW_H

#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;

class NBProcessWindow : public QWidget {
    Q_OBJECT

  public:
    // The one window; it lives until the application object goes.
    static NBProcessWindow& sharedInstance();

    const QString& processTitle() const { return m_processTitle; }
    // Read when the window is next shown.
    void setProcessTitle(QString title) { m_processTitle = std::move(title); }
    void showWindow();
    void closeWindow();
    bool isVisible() const { return QWidget::isVisible(); }

    QLabel* textField() const { return m_textField; }
    QProgressBar* progressIndicator() const { return m_progressIndicator; }

  private:
    NBProcessWindow();

    QString m_processTitle;
    QProgressBar* m_progressIndicator;
    QLabel* m_textField;
};

#endif
