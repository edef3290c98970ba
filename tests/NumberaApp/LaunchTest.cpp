// Launches in order: the launch count, the welcome window on the first launch and the
// untitled-document rule, restoration of the documents open at quit.
#include <QFile>
#include <QMenuBar>

#include "AppTestFixture.h"
#include "NBAppController.h"
#include "NBDialogsController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBUserDefaultsController.h"
#include "QtSettings.h"

namespace {

class Launch : public AppTest {};

TEST_F(Launch, TheFirstLaunchGreetsAndTheSecondOpensOneUntitledDocument) {
    NBAppController& first = launch();
    EXPECT_EQ(NBUserDefaultsController::numberOfLaunches(), 1);
    EXPECT_TRUE(NBUserDefaultsController::isFirstLaunch());
    ASSERT_NE(first.dialogs().welcomeWindow(), nullptr);
    EXPECT_TRUE(first.dialogs().welcomeWindow()->isVisible());
    EXPECT_TRUE(first.documents().documents().empty());
    // The welcome window shows by itself once.
    EXPECT_FALSE(NBUserDefaultsController::showsWelcomeWindowOnLaunch());
    EXPECT_FALSE(first.isLaunching());
    saveScreenshot(first.dialogs().welcomeWindow(), "welcome-window");
    quit();

    NBAppController& second = launch();
    EXPECT_EQ(NBUserDefaultsController::numberOfLaunches(), 2);
    EXPECT_EQ(settings().integerForKey("NBNumberOfLaunches"), 2);
    ASSERT_EQ(second.documents().documents().size(), 1u);
    EXPECT_TRUE(second.documents().documents().front()->filePath().isEmpty());
    EXPECT_TRUE(second.documents().documents().front()->isVisible());
    EXPECT_TRUE(second.dialogs().welcomeWindow() == nullptr ||
                !second.dialogs().welcomeWindow()->isVisible());
    quit();

    // The count is in the file, not only in this process's store.
    QtSettings reread(settingsFile());
    EXPECT_EQ(reread.integerForKey("NBNumberOfLaunches"), 2);
}

TEST_F(Launch, ContinueOnTheWelcomeWindowOpensADocumentOnlyWhenNoneIsOpen) {
    NBAppController& app = launch();
    ASSERT_TRUE(app.documents().documents().empty());
    app.dialogs().continueToNumbera();
    EXPECT_EQ(app.documents().documents().size(), 1u);
    EXPECT_FALSE(app.dialogs().welcomeWindow()->isVisible());
    app.dialogs().showWelcomeWindow();
    app.dialogs().continueToNumbera();
    EXPECT_EQ(app.documents().documents().size(), 1u);
}

TEST_F(Launch, AWelcomeWindowTurnedOffIsNotShownAndTheFirstLaunchThenOpensADocument) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    NBAppController& app = launch();
    EXPECT_TRUE(app.dialogs().welcomeWindow() == nullptr);
    EXPECT_EQ(app.documents().documents().size(), 1u);
}

TEST_F(Launch, DocumentsOpenAtQuitAreRestoredAndFilesOnTheCommandLineOpen) {
    const QString first = root() + "/first.numbera";
    const QString second = root() + "/second.numbera";
    for (const QString& path : {first, second}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6</version>"
            "</info><settings/><lines><line><expression>1+1</expression></line></lines>"
            "</data>\n");
    }
    NBAppController& app = launch({first});
    ASSERT_EQ(app.documents().documents().size(), 1u);
    EXPECT_EQ(app.documents().documents().front()->displayName(), "first.numbera");
    quit();

    NBAppController& again = launch({second});
    QStringList names;
    for (auto* window : again.documents().documents()) names << window->displayName();
    EXPECT_EQ(names, QStringList({"first.numbera", "second.numbera"}));
    quit();

    // A restored file that has gone is skipped; the untitled rule then applies.
    QFile::remove(first);
    QFile::remove(second);
    NBAppController& last = launch();
    ASSERT_EQ(last.documents().documents().size(), 1u);
    EXPECT_TRUE(last.documents().documents().front()->filePath().isEmpty());
}

}  // namespace
