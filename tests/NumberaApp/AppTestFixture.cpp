#include "AppTestFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <algorithm>

#include "MainQueue.h"
#include "NBAppController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBEnvironmentController.h"
#include "NBLocalizationHelper.h"
#include "NBTextView.h"
#include "NBUserDefaultsController.h"
#include "QtMainQueue.h"
#include "QtSettings.h"
#include "ResourceBundle.h"
#include "Settings.h"

#ifndef NUMBERA_SOURCE_DIR_DEFAULT
#define NUMBERA_SOURCE_DIR_DEFAULT ""
#endif

namespace {

int s_fixturesInProcess = 0;

QString sourceResources() {
    QString source = qEnvironmentVariable("NUMBERA_SOURCE_DIR", NUMBERA_SOURCE_DIR_DEFAULT);
    return source + "/Resources";
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Stand-ins, in the test's own folder only, for resources the source tree does not hold yet.
const char* const kReferencePage =
    "<html><body><h1>Quick Reference</h1>"
    "<h2><a name=\"numbers\"></a>Numbers</h2>"
    "<p>Numbers.</p><p>1</p><p>2</p><p>3</p><p>4</p><p>5</p><p>6</p><p>7</p><p>8</p>"
    "<p>9</p><p>10</p><p>11</p><p>12</p><p>13</p><p>14</p><p>15</p><p>16</p><p>17</p>"
    "<h2><a name=\"units\"></a>Units</h2>"
    "<p>Units.</p><p>1</p><p>2</p><p>3</p><p>4</p><p>5</p><p>6</p><p>7</p><p>8</p>"
    "<p>9</p><p>10</p><p>11</p><p>12</p><p>13</p><p>14</p><p>15</p><p>16</p><p>17</p>"
    "<h2><a name=\"currencies\"></a>Currencies</h2>"
    "<p>Currencies.</p><p>1</p><p>2</p><p>3</p><p>4</p><p>5</p><p>6</p><p>7</p><p>8</p>"
    "<p>9</p><p>10</p><p>11</p><p>12</p><p>13</p><p>14</p><p>15</p><p>16</p><p>17</p>"
    "<p>18</p><p>19</p><p>20</p><p>21</p><p>22</p><p>23</p><p>24</p><p>25</p><p>26</p>"
    "</body></html>";

const char* const kDefaults =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
    "<key>NBShowWelcomeWindowOnLaunch</key><true/>"
    "<key>NBWantsNewDocumentOnLaunch</key><true/>"
    "<key>NBNumberOfLaunches</key><integer>0</integer>"
    "<key>NBDeveloperMode</key><false/>"
    "<key>NBBaseCurrency</key><string></string>"
    "<key>NBContentLanguage</key><integer>1</integer>"
    "<key>NBURLWebsite</key><string>https://numbera.app</string>"
    "</dict></plist>\n";

}  // namespace

LogRecorder::LogRecorder()
    : m_sink([messages = m_messages](Diagnostics::Stream, const std::string& message) {
          std::lock_guard lock(messages->mutex);
          messages->list.push_back(message);
      }) {}

bool LogRecorder::contains(const std::string& message) const {
    std::lock_guard lock(m_messages->mutex);
    const auto& list = m_messages->list;
    return std::find(list.begin(), list.end(), message) != list.end();
}

bool pumpEventsUntil(const std::function<bool()>& condition, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

void pumpEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
}

QString saveScreenshot(QWidget* widget, const QString& name) {
#ifdef NUMBERA_SCREENSHOT_DIR_DEFAULT
    QString folder = qEnvironmentVariable("NUMBERA_SCREENSHOT_DIR", NUMBERA_SCREENSHOT_DIR_DEFAULT);
#else
    QString folder =
        qEnvironmentVariable("NUMBERA_SCREENSHOT_DIR", QDir::currentPath() + "/screenshots");
#endif
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + ".png";
    // Editors lay out their documents from posted events: a grab before them shows a window
    // laid out at a size it no longer has.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    widget->grab().save(path);
    return path;
}

void AppTest::SetUp() {
    ASSERT_TRUE(m_root.isValid());
    QDir().mkpath(configHome());
    QDir().mkpath(dataHome());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    qputenv("XDG_CACHE_HOME", (root() + "/cache").toUtf8());
    prepareResources();
    MainQueue::setShared(std::make_shared<QtMainQueue>());
    ResourceBundle::setMain(std::make_shared<ResourceBundle>(resourcesFolder().toStdString()));
    NBLocalizationHelper::installLocalizedStringHook();
    installSettings();

    m_watchdog.setInterval(50);
    QObject::connect(&m_watchdog, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || m_modalExpected) return;
        ADD_FAILURE() << "an unexpected modal dialog opened: "
                      << modal->windowTitle().toStdString();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    });
    m_watchdog.start();
}

void AppTest::installSettings() {
    m_settings = std::make_shared<QtSettings>(settingsFile());
    Settings::setStandard(m_settings);
    NBUserDefaultsController::setResourcesFolder(resourcesFolder().toStdString());
    if (s_fixturesInProcess++ == 0) {
        NBUserDefaultsController::sharedInstance();
    } else {
        // The controller registers once per process; a later fixture registers for its own
        // store, with the separators of the user's locale as the first registration did.
        const QLocale locale;
        NBUserDefaultsController::resetRegisteredDefaults();
        NBUserDefaultsController::registerDefaults(NBUserDefaultsController::registrationDictionary(
            (resourcesFolder() + "/Defaults.plist").toStdString(),
            locale.decimalPoint().toStdU16String(), locale.groupSeparator().toStdU16String()));
    }
    // Tests type exactly the text they mean; the tests of the typing aids turn them on.
    for (const char* aid :
         {"NBAddSpacesAroundOperators", "NBAddClosingBracket", "NBAddClosingQuotationMarks"})
        m_settings->setObject(aid, false);
    // The first-run tutorial's bubbles would float over every other test's windows; its own
    // tests clear the flag.
    m_settings->setObject("NBTutorialHasRun", true);
}

void AppTest::prepareResources() {
    const QString source = sourceResources();
    ASSERT_TRUE(QFileInfo(source + "/Units.plist").isFile()) << source.toStdString();
    QDirIterator it(source, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = resourcesFolder() + "/" + QDir(source).relativeFilePath(path);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(path, target);
    }
    const auto ensure = [this](const QString& name, const QByteArray& bytes) {
        if (!QFileInfo::exists(resourcesFolder() + "/" + name))
            writeFile(resourcesFolder() + "/" + name, bytes);
    };
    ensure("Defaults.plist", kDefaults);
    ensure("Reference/reference_index.html", kReferencePage);
    ensure("General Examples.numbera", "<?xml version=\"1.0\"?>\n");
    ensure("Disclaimer.html", "<html><body><p>Disclaimer.</p></body></html>");
    ensure("Credits.html", "<html><body><p>Credits.</p></body></html>");
}

NBAppController& AppTest::launch(const QStringList& arguments) {
    if (m_app) quit();
    m_app = std::make_unique<NBAppController>(*m_settings, resourcesFolder().toStdString(),
                                              dataFolder().toStdString());
    m_app->launch(arguments);
    EXPECT_TRUE(pumpEventsUntil([this] { return m_app->environmentController()->isLoaded(); }));
    return *m_app;
}

NBDocumentWindow* AppTest::firstDocumentWindow(QSize size) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    NBAppController& app = launch();
    if (app.documents().documents().empty()) app.documents().newDocument();
    NBDocumentWindow* window = app.documents().documents().front();
    window->resize(size);
    return window;
}

NBDocumentWindow* AppTest::windowWithTypedLines(const QStringList& lines) {
    NBDocumentWindow* window = firstDocumentWindow(QSize(700, 420));
    window->show();
    QApplication::setActiveWindow(window);
    window->textView()->setFocus();
    for (int i = 0; i < lines.size(); ++i) {
        if (i) QTest::keyClick(window->textView(), Qt::Key_Return);
        QTest::keyClicks(window->textView(), lines[i]);
    }
    QCoreApplication::processEvents();
    return window;
}

void AppTest::quit() {
    if (!m_app) return;
    m_app->applicationWillTerminate();
    m_app.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    pumpEventsFor(20);
}

void AppTest::TearDown() {
    m_watchdog.stop();
    quit();
    Settings::setStandard(nullptr);
    m_settings.reset();
    pumpEventsFor(10);
}
