// numbera: the application. A second launch over the same data folder hands its files and
// numbera:// URLs to the running instance and exits.
#include <QApplication>
#include <cstdio>
#include <memory>

#include "Diagnostics.h"
#include "MainQueue.h"
#include "NBAppController.h"
#include "NBAppResources.h"
#include "NBInstanceChannel.h"
#include "NBLocalizationHelper.h"
#include "NBStandardAppController.h"
#include "NBTerminationSignals.h"
#include "QtMainQueue.h"
#include "QtSettings.h"
#include "ResourceBundle.h"
#include "Settings.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Numbera"));
    QApplication::setOrganizationName(QStringLiteral("Numbera"));
    QApplication::setDesktopFileName(QStringLiteral("numbera"));
    QApplication::setWindowIcon(NBAppResources::applicationIcon());

    // Before anything is loaded: the libraries post their work to the main queue.
    MainQueue::setShared(std::make_shared<QtMainQueue>());

    const auto resources = NBAppResources::shippedResourcesFolder();
    if (!resources) {
        std::fprintf(stderr,
                     "numbera: cannot find the program's resources "
                     "(share/numbera/Resources)\n");
        return 1;
    }
    ResourceBundle::setMain(std::make_shared<ResourceBundle>(*resources));
    NBLocalizationHelper::installLocalizedStringHook();

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    const auto dataFolder = NBStandardAppController::applicationSupportDirectory();
    std::unique_ptr<NBInstanceChannel> channel;
    if (dataFolder) {
        channel = std::make_unique<NBInstanceChannel>(
            NBInstanceChannel::serverNameForDataFolder(QString::fromStdString(*dataFolder)));
        if (channel->forwardToRunningInstance(arguments)) return 0;
        if (!channel->listen()) {
            // Another instance took the name in the meantime: give it the arguments.
            if (channel->forwardToRunningInstance(arguments)) return 0;
            // Two instances must never share one data folder.
            if (channel->anotherInstanceAnswers()) {
                std::fprintf(stderr,
                             "numbera: another instance is running for %s but does not "
                             "answer\n",
                             dataFolder->c_str());
                return 1;
            }
            channel.reset();
        }
    }

    auto settings = std::make_shared<QtSettings>();
    Settings::setStandard(settings);

    NBAppController controller(*settings, *resources, dataFolder);
    if (channel) {
        QObject::connect(channel.get(), &NBInstanceChannel::urlReceived, &controller,
                         &NBAppController::handleGetURLEvent);
        QObject::connect(channel.get(), &NBInstanceChannel::fileReceived, &controller,
                         [&controller](const QString& path) { controller.openFiles({path}); });
        QObject::connect(channel.get(), &NBInstanceChannel::activationRequested, &controller,
                         &NBAppController::reopen);
    }
    // Ending the event loop is the last step of terminating; Qt's own quit would first close
    // every window, asking about edited ones, before anything was recorded.
    controller.setExitHandler([] { QCoreApplication::exit(0); });
    QObject::connect(&controller, &NBAppController::lastWindowClosed, &controller,
                     &NBAppController::terminateWithoutAsking);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &controller,
                     &NBAppController::applicationWillTerminate);
    NBTerminationSignals::install(&application,
                                  [&controller] { controller.terminateWithoutAsking(); });
    controller.launch(arguments);
    const int status = QApplication::exec();
    MainQueue::setShared(nullptr);
    return status;
}
