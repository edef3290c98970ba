// A fixture for tests that drive the application in-process: its own settings and data
// folders (XDG_CONFIG_HOME and XDG_DATA_HOME point into a temporary folder), a copy of the
// resources, the Qt main queue, launches that each make a fresh application controller over
// the same folders, and a watchdog that fails the test when an unexpected modal dialog opens.
#ifndef NUMBERA_TESTS_APP_TEST_FIXTURE_H
#define NUMBERA_TESTS_APP_TEST_FIXTURE_H

#include <gtest/gtest.h>

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "NBAppController.h"
#include "QtSettings.h"

class NBDocumentWindow;
class QWidget;

// Keeps the diagnostics written while it lives; they come from any thread.
class LogRecorder {
  public:
    LogRecorder();
    bool contains(const std::string& message) const;

  private:
    struct Messages {
        std::mutex mutex;
        std::vector<std::string> list;
    };
    // Shared with the sink: a message on its way while the recorder goes still has a home.
    std::shared_ptr<Messages> m_messages = std::make_shared<Messages>();
    Diagnostics::ScopedSink m_sink;
};

// Runs the event loop until the condition holds; false when it never did within the limit.
bool pumpEventsUntil(const std::function<bool()>& condition, int limitMs = 20000);
// Lets queued events run for a while.
void pumpEventsFor(int ms);
// Saves the widget's picture as <screenshots>/<name>.png; answers the path.
QString saveScreenshot(QWidget* widget, const QString& name);

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh application controller over the fixture's folders, launched; waits until the
    // environment has completed loading.
    NBAppController& launch(const QStringList& arguments = {});
    // The application quits: termination, then the controller and its windows go.
    void quit();
    // Launched without the welcome window: the first document's window (a new one when the
    // launch opened none), at the size.
    NBDocumentWindow* firstDocumentWindow(QSize size = QSize(700, 500));
    // That window, 700 × 420, shown and active, with the lines typed into it one by one (each
    // evaluated, the insertion point at the end).
    NBDocumentWindow* windowWithTypedLines(const QStringList& lines);

    QString root() const { return m_root.path(); }
    QString configHome() const { return m_root.path() + "/config"; }
    QString dataHome() const { return m_root.path() + "/data"; }
    // The application's data folder, "Numbera" in the data home.
    QString dataFolder() const { return dataHome() + "/Numbera"; }
    QString resourcesFolder() const { return m_root.path() + "/Resources"; }
    QString settingsFile() const { return configHome() + "/Numbera/Numbera.conf"; }
    QtSettings& settings() { return *m_settings; }
    NBAppController* app() { return m_app.get(); }
    // A modal dialog the test expects; the watchdog leaves it alone.
    void expectModalDialog(bool expected) { m_modalExpected = expected; }

  private:
    void prepareResources();
    void installSettings();

    QTemporaryDir m_root;
    std::shared_ptr<QtSettings> m_settings;
    std::unique_ptr<NBAppController> m_app;
    QTimer m_watchdog;
    bool m_modalExpected = false;
};

#endif
