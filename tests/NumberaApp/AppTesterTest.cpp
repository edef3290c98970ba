// The developer self-test: twenty documents opened, a toolbar toggled, all closed, then a
// document's controllers freed with it; and the update command, which only explains where
// updates come from.
#include <QAction>
#include <QMessageBox>
#include <QPointer>
#include <QToolBar>

#include "AppTestFixture.h"
#include "NBAppTester.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBMenuController.h"
#include "NBUpdateController.h"

namespace {

class SelfTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
        settings().setObject("NBDeveloperMode", true);
    }
};

TEST_F(SelfTest, RunsItsSequenceAndEndsWithItsLogLines) {
    LogRecorder log;
    NBAppController& app = launch();
    int mostOpen = 0;
    QObject::connect(&app.documents(), &NBDocumentManager::documentsChanged, [&] {
        mostOpen = std::max<int>(mostOpen, static_cast<int>(app.documents().documents().size()));
    });
    const int before = static_cast<int>(app.documents().documents().size());
    // A toolbar on the first window shows that the toggle reaches it.
    QPointer<QToolBar> toolbar = app.documents().documents().front()->addToolBar("tools");
    auto* tester = new NBAppTester(app.documents());
    tester->setPause([](double) {});
    // As the menu command does: the application stays while the sequence closes every window,
    // and its own rule ends it once the sequence has finished.
    tester->setKeepRunning(app.keepRunning());
    bool finished = false;
    bool endedBeforeFinishing = false;
    int ends = 0;
    int leaks = -1;
    QObject::connect(&app, &NBAppController::lastWindowClosed, [&] {
        ++ends;
        endedBeforeFinishing = endedBeforeFinishing || !finished;
    });
    // The tester deletes itself once it has finished: its count is read as it finishes.
    QObject::connect(tester, &NBAppTester::finished, [&] {
        finished = true;
        leaks = tester->leaksFound();
    });
    QPointer<NBAppTester> alive = tester;
    tester->runAsychronousTests();
    ASSERT_TRUE(pumpEventsUntil([&] { return finished; }));
    EXPECT_EQ(leaks, 0);
    ASSERT_TRUE(pumpEventsUntil([&] { return alive.isNull(); }));
    EXPECT_FALSE(endedBeforeFinishing) << "the application ended while the self-test ran";
    EXPECT_TRUE(pumpEventsUntil([&] { return ends == 1; })) << "no window is left: it ends";

    EXPECT_EQ(mostOpen, before + NBAppTester::kDocumentCount);
    EXPECT_TRUE(toolbar.isNull());  // its window closed with the others
    for (const char* line :
         {"Starting Asynchronous App Tests", "Starting Document Window Lifecycle Tests",
          "Opening Document 0 of 20", "Opening Document 19 of 20", "Finished opening windows",
          "Toggling Toolbars", "Closing windows", "Starting Deallocation Success Test",
          "Asynchronous Test Finished"})
        EXPECT_TRUE(log.contains(line)) << line;
    EXPECT_TRUE(log.contains(std::string(67, '-') + "\n\n"));
    EXPECT_FALSE(log.contains("Opening Document 20 of 20"));
    // The deallocation test closes its own document too.
    EXPECT_EQ(app.documents().documents().size(), 0u);
}

TEST_F(SelfTest, TogglingWithoutADocumentOnlyWarns) {
    LogRecorder log;
    NBAppController& app = launch();
    app.documents().closeAllDocuments();
    NBAppTester tester(app.documents());
    tester.toggleToolbars();
    EXPECT_TRUE(log.contains("WARNING: No document found"));
}

TEST_F(SelfTest, TheToggleHidesAndShowsTheFirstWindowsToolbar) {
    NBAppController& app = launch();
    NBDocumentWindow* window = app.documents().documents().front();
    QToolBar* toolbar = window->addToolBar("tools");
    toolbar->show();
    ASSERT_TRUE(toolbar->isVisible());
    NBAppTester tester(app.documents());
    tester.toggleToolbars();
    EXPECT_FALSE(toolbar->isVisible());
    tester.toggleToolbars();
    EXPECT_TRUE(toolbar->isVisible());
}

TEST_F(SelfTest, TheDeveloperMenuStartsIt) {
    LogRecorder log;
    NBAppController& app = launch();
    QAction* command = app.menuController().action("runAsynchonousAppTests:");
    ASSERT_NE(command, nullptr);
    ASSERT_TRUE(command->isEnabled());
    command->trigger();
    EXPECT_TRUE(log.contains("Starting Asynchronous App Tests"));
    // The sequence pauses in real time; the application quitting ends it cleanly.
}

TEST_F(SelfTest, CheckForUpdatesSaysThePackageManagerBringsThem) {
    NBAppController& app = launch();
    QAction* command = app.menuController().action("checkForUpdate:");
    ASSERT_NE(command, nullptr);
    NBDocumentWindow* window = app.documents().documents().front();
    window->activateWindow();
    expectModalDialog(true);
    QMessageBox* box = NBUpdateController::checkForUpdates(window);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("package manager"));
    EXPECT_TRUE(box->text().contains("never connects to the network"));
    saveScreenshot(box, "prefs-check-for-updates");
    box->accept();
    EXPECT_FALSE(NBUpdateController::automaticallyChecksForUpdates());
}

}  // namespace
