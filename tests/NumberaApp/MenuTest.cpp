// The menu bar: every command present, the ones not built yet disabled, the Developer menu
// only in developer mode, text size within 8 to 65 points.
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "AppTestFixture.h"
#include "NBAppController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBMenuController.h"
#include "NBTextAttributes.h"
#include "QtSettings.h"

namespace {

class Menus : public AppTest {};

// The titles as shown, without the marks of their mnemonics.
QStringList menuTitles(QMenuBar* bar) {
    QStringList titles;
    for (QAction* action : bar->actions()) titles << QString(action->text()).remove('&');
    return titles;
}

TEST_F(Menus, TheMenuBarHoldsEveryCommandAndOnlyBuiltOnesAreEnabled) {
    NBAppController& app = launch();
    NBDocumentWindow* window = app.documents().newDocument();
    QMenuBar* bar = window->menuBar();
    EXPECT_EQ(menuTitles(bar), QStringList({"File", "Edit", "Format", "View", "Window", "Help"}));
    // Each opens with Alt and a letter of its own.
    QStringList mnemonics;
    for (QAction* action : bar->actions()) mnemonics << action->text();
    EXPECT_EQ(mnemonics, QStringList({"&File", "&Edit", "F&ormat", "&View", "&Window", "&Help"}));
    NBMenuController& menus = app.menuController();
    EXPECT_FALSE(menus.hasDeveloperMenu());

    const char* enabled[] = {"newDocument:",
                             "openDocument:",
                             "openExampleDocument:",
                             "performClose:",
                             "saveDocument:",
                             "saveDocumentAs:",
                             "undo:",
                             "redo:",
                             "cut:",
                             "copy:",
                             "paste:",
                             "selectAll:",
                             "terminate:",
                             "makeFontBigger:",
                             "makeFontSmaller:",
                             "toggleReferenceSheet:",
                             "showWelcomeWindow:",
                             "showReferenceSheet:",
                             "watchIntroductionMovie:",
                             "goToWebsite:",
                             "sendFeedback:",
                             "submitBugReport:",
                             "showDisclaimerWindow:",
                             "showAboutPanel:",
                             "export:",
                             "saveDocumentAsPDFTo:",
                             "sendToMail:",
                             "printDocument:",
                             "showNumerals:",
                             "showPreferences:",
                             "checkForUpdate:",
                             "insertSubtotalOfSelectedLines:",
                             "commentLine:",
                             "toggleThousandsSeperator:",
                             "toggleFormattingBarShown:",
                             "toggleNumberLineShown:",
                             "toggleStatisticsShown:",
                             "showBigAnswer:",
                             "showAnswerPalette:",
                             "toggleWindowToolbarShown:"};
    const char* disabled[] = {
        "copyResult:",     "copyUnformattedResult:", "copyExpressionAndResult:",
        "insertNewToken:", "jumpAnswers:",           "clearLine:",
        "clearAll:",       "speakSelectedLines:",    "speakAnswer:",
        "stopSpeech:"};
    // As the menus show them when they open on the empty document.
    menus.validateMenuItems();
    for (const char* command : enabled) {
        ASSERT_NE(menus.action(command), nullptr) << command;
        EXPECT_TRUE(menus.action(command)->isEnabled()) << command;
    }
    for (const char* command : disabled) {
        ASSERT_NE(menus.action(command), nullptr) << command;
        EXPECT_FALSE(menus.action(command)->isEnabled()) << command;
    }
    for (int tag : {0, 1, 2}) EXPECT_NE(menus.action("setBase:", tag), nullptr) << tag;
    for (int tag : {1, 2}) EXPECT_NE(menus.action("setTrigMode:", tag), nullptr) << tag;
    for (int tag : {0, 1, 2}) EXPECT_NE(menus.action("alignText:", tag), nullptr) << tag;
    for (int tag : {0, 1}) EXPECT_NE(menus.action("insertPreviousAnswer:", tag), nullptr) << tag;
    EXPECT_EQ(menus.action("newDocument:")->shortcut(), QKeySequence(QKeySequence::New));
    EXPECT_EQ(menus.action("makeFontBigger:")->shortcut(), QKeySequence(QKeySequence::ZoomIn));

    EXPECT_EQ(menus.action("copyExpressionAndResult:")->text(), "Copy Expression && Result");
    window->resize(720, 160);
    saveScreenshot(bar, "menu-bar");
    saveScreenshot(window, "document-window-with-menu-bar");
    for (QAction* action : bar->actions()) {
        QMenu* menu = action->menu();
        menu->adjustSize();
        saveScreenshot(menu, "menu-" + menu->objectName());
    }
}

TEST_F(Menus, TheDeveloperMenuExistsOnlyInDeveloperMode) {
    settings().setObject("NBDeveloperMode", true);
    NBAppController& app = launch();
    EXPECT_TRUE(app.menuController().hasDeveloperMenu());
    NBDocumentWindow* window = app.documents().newDocument();
    EXPECT_TRUE(menuTitles(window->menuBar()).contains("Developer"));
    ASSERT_NE(app.menuController().action("runAsynchonousAppTests:"), nullptr);
}

TEST_F(Menus, NewAndTheTextSizeCommandsWork) {
    NBAppController& app = launch();
    NBMenuController& menus = app.menuController();
    menus.action("newDocument:")->trigger();
    menus.action("newDocument:")->trigger();
    ASSERT_EQ(app.documents().documents().size(), 2u);
    EXPECT_NE(app.documents().documents()[0]->windowTitle(),
              app.documents().documents()[1]->windowTitle());

    const int initial = NBTextAttributes::defaultTextViewFont().pointSize();
    menus.action("makeFontBigger:")->trigger();
    EXPECT_EQ(NBTextAttributes::defaultTextViewFont().pointSize(), initial + 1);
    EXPECT_TRUE(settings().stringForKey("NBDefaultFont").has_value());
    for (int i = 0; i < 80; ++i) menus.action("makeFontBigger:")->trigger();
    EXPECT_EQ(NBTextAttributes::defaultTextViewFont().pointSize(), 65);
    for (int i = 0; i < 80; ++i) menus.action("makeFontSmaller:")->trigger();
    EXPECT_EQ(NBTextAttributes::defaultTextViewFont().pointSize(), 8);
    menus.action("makeFontBigger:")->trigger();
    EXPECT_EQ(NBTextAttributes::defaultTextViewFont().pointSize(), 9);
}

TEST_F(Menus, AnUnreadableStoredFontFallsBackToTheInitialSize) {
    settings().setObject("NBDefaultFont", std::u16string(u"not a font"));
    EXPECT_EQ(NBTextAttributes::defaultTextViewFont().pointSize(),
              NBTextAttributes::kInitialFontSize);
}

}  // namespace
