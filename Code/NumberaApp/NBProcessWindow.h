// The small window with a title line and an indeterminate progress bar that shows while a
// long task runs without a progress display of its own (printing prepares its page under
// "Preparing Document..."). One per process, made on first use.
#ifndef NUMBERA_APP_NB_PROCESS_WINDOW_H
#define NUMBERA_APP_NB_PROCESS_WINDOW_H

#include <QString>
#include <QWidget>
#include <functional>

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
    // Shows the window and lets the event loop run until it has been painted (a second at
    // most), so that it never stands blank while the work it announces holds the GUI thread.
    // Input waits meanwhile.
    void showWindowAndLetItPaint();
    void closeWindow();
    // Whether the window has been painted since it was last shown.
    bool hasBeenPainted() const { return m_painted; }
    bool isVisible() const { return QWidget::isVisible(); }

    QLabel* textField() const { return m_textField; }
    QProgressBar* progressIndicator() const { return m_progressIndicator; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    NBProcessWindow();

    QString m_processTitle;
    QProgressBar* m_progressIndicator;
    QLabel* m_textField;
    bool m_painted = false;
};

// Runs the work on a thread of its own while the GUI thread goes on painting and answering
// the window manager; input waits until the work is done. The work must touch no widget and
// no document: it gets what it needs beforehand (text may be laid out and painted onto images,
// printers and PDF files off the GUI thread).
void NBRunKeepingInterfaceResponsive(const std::function<void()>& work);

#endif
