// What the application's benchmarks share: the lines of a long working document, its file,
// and the real application started on the offscreen platform in a home of its own.
#ifndef NUMBERA_APP_BENCH_SUPPORT_H
#define NUMBERA_APP_BENCH_SUPPORT_H

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <string>

#include "MainQueue.h"
#include "NBAppController.h"
#include "NBDocumentManager.h"
#include "NBEnvironmentController.h"
#include "NBLocalizationHelper.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "QtMainQueue.h"
#include "QtSettings.h"
#include "ResourceBundle.h"
#include "Settings.h"

#ifndef NUMBERA_SOURCE_DIR_DEFAULT
#define NUMBERA_SOURCE_DIR_DEFAULT ""
#endif

namespace AppBench {

// Sums, units, variables and notes, as a long working document has them.
inline std::u16string mixedLine(int i) {
    switch (i % 8) {
        case 0:
            return QString("item%1 = %2").arg(QChar('a' + i % 26)).arg(i).toStdU16String();
        case 1:
            return QString("%1 * 3 + 4").arg(i).toStdU16String();
        case 2:
            return QString("%1 km in miles").arg(i % 97).toStdU16String();
        case 3:
            return u"a note about the line above";
        case 4:
            return QString("sqrt(%1) / 7").arg(i).toStdU16String();
        case 5:
            return QString("%1% of 250").arg(i % 100).toStdU16String();
        case 6:
            return u"";
        default:
            return QString("(%1 + 2) ^ 2").arg(i % 50).toStdU16String();
    }
}

// Writes a document of `lines` lines made by `lineText`; says why on standard error when not.
inline bool writeDocument(const QString& path, int lines, std::u16string (*lineText)(int)) {
    auto collection = std::make_shared<NCLineCollection>();
    collection->beginBatchUpdate();
    for (int i = 0; i < lines; ++i)
        collection->addLine(NCLine::lineWithExpressionString(lineText(i)));
    collection->endBatchUpdate();
    std::string error;
    if (collection->archiveToPath(path.toStdString(), {}, &error)) return true;
    std::fprintf(stderr, "could not write %s: %s\n", qPrintable(path), error.c_str());
    return false;
}

// The application launched with its environment loaded and no window open; its settings and
// data folders lie in a temporary home that goes with it.
class Application {
  public:
    Application(int& argc, char** argv) : m_qt(offscreen(argc), argv) {
        QApplication::setQuitOnLastWindowClosed(false);
        qputenv("XDG_CONFIG_HOME", (m_root.path() + "/config").toUtf8());
        qputenv("XDG_DATA_HOME", (m_root.path() + "/data").toUtf8());
        const QString source =
            qEnvironmentVariable("NUMBERA_SOURCE_DIR", NUMBERA_SOURCE_DIR_DEFAULT);
        const std::string resources = (source + "/Resources").toStdString();
        MainQueue::setShared(std::make_shared<QtMainQueue>());
        ResourceBundle::setMain(std::make_shared<ResourceBundle>(resources));
        NBLocalizationHelper::installLocalizedStringHook();
        m_settings = std::make_shared<QtSettings>(m_root.path() + "/config/Numbera/Numbera.conf");
        Settings::setStandard(m_settings);
        m_settings->setObject("NBShowWelcomeWindowOnLaunch", false);
        m_settings->setObject("NBWantsNewDocumentOnLaunch", false);
        m_controller = std::make_unique<NBAppController>(
            *m_settings, resources, (m_root.path() + "/data/Numbera").toStdString());
        m_controller->launch();
        m_controller->environmentController()->completeLoading();
        m_controller->documents().closeAllDocuments();
    }
    ~Application() {
        m_controller->documents().closeAllDocuments();
        m_controller->applicationWillTerminate();
        m_controller.reset();
        Settings::setStandard(nullptr);
    }
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    NBAppController& controller() { return *m_controller; }
    // A path in the temporary home.
    QString path(const QString& name) const { return m_root.path() + "/" + name; }

  private:
    // The platform is chosen before the application object reads it.
    static int& offscreen(int& argc) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    QApplication m_qt;
    QTemporaryDir m_root;
    std::shared_ptr<QtSettings> m_settings;
    std::unique_ptr<NBAppController> m_controller;
};

}  // namespace AppBench

#endif
