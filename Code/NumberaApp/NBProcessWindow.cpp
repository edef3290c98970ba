#include "NBProcessWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QThread>

NBProcessWindow& NBProcessWindow::sharedInstance() {
    // The application object deletes the window with the other top-level widgets; the next
    // application (tests make several) gets a new one.
    static QPointer<NBProcessWindow> instance;
    if (!instance) instance = new NBProcessWindow;
    return *instance;
}

NBProcessWindow::NBProcessWindow()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_progressIndicator(new QProgressBar(this)),
      m_textField(new QLabel(this)) {
    setObjectName(QStringLiteral("processWindow"));
    setFixedSize(268, 67);
    m_progressIndicator->setObjectName(QStringLiteral("progressIndicator"));
    m_progressIndicator->setGeometry(21, 67 - 19 - 12, 227, 12);
    m_progressIndicator->setTextVisible(false);
    m_progressIndicator->setRange(0, 100);
    m_progressIndicator->setValue(100);
    m_textField->setObjectName(QStringLiteral("textField"));
    m_textField->setGeometry(21, 67 - 39 - 17, 238, 17);
    QFont font = m_textField->font();
    font.setPointSize(11);
    font.setBold(true);
    m_textField->setFont(font);
    m_textField->setTextInteractionFlags(Qt::NoTextInteraction);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void NBProcessWindow::showWindow() {
    m_textField->setText(m_processTitle);
    // A range of nothing makes the bar indeterminate: it animates while shown.
    m_progressIndicator->setRange(0, 0);
    show();
}

void NBProcessWindow::showWindowAndLetItPaint() {
    m_painted = false;
    showWindow();
    QElapsedTimer waited;
    waited.start();
    while (!m_painted && waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

void NBProcessWindow::paintEvent(QPaintEvent* event) {
    m_painted = true;
    QWidget::paintEvent(event);
}

void NBProcessWindow::closeWindow() {
    m_painted = false;
    m_progressIndicator->setRange(0, 100);
    m_progressIndicator->setValue(100);
    hide();
}

void NBRunKeepingInterfaceResponsive(const std::function<void()>& work) {
    QEventLoop loop;
    QThread* thread = QThread::create(work);
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
}
