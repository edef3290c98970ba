// What a Linux desktop gives every program, as the user reaches it: the standard shortcuts
// (Ctrl+, Ctrl+Shift+S, Ctrl+W and Escape on the small windows), menus opened with Alt and a
// letter that never types the letter, the Window menu listing the documents, Open Recent,
// Find and Find Next in the text, a file opened in place of an untouched Untitled window, and
// every window opening wholly on the screen.
#include <QColor>
#include <QImage>
#include <fstream>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class DesktopConventions : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    bool showsTitle(App& app, const std::string& title) {
        for (const WindowInfo& w : app.windows())
            if (titleStartsWith(w.title, title)) return true;
        return false;
    }

    // Saves the active document (it has a file) and answers it as the previewer reads it.
    std::string saved(App& app, const std::string& path, const std::string& title) {
        input().key("ctrl+s");
        EXPECT_TRUE(app.waitForWindow([&](const WindowInfo& w) { return w.title == title; }, 30))
            << app.describe();
        return home().previewText(path);
    }

    bool onScreen(const WindowInfo& window) {
        const Rect& f = window.frame;
        return f.x >= 0 && f.y >= 0 && f.x + f.width <= x().screenWidth() &&
               f.y + f.height <= x().screenHeight();
    }
};

TEST_F(DesktopConventions, StandardShortcutsAndMenusOpenedWithAlt) {
    const std::string path = home().writeDocument("keys.numbera", {"12"});
    auto app = launch({{path}});
    const WindowInfo window = activeWindowTitled(*app, "keys.numbera");
    input().key("ctrl+End");
    // Alt+F opens the File menu; the letter never reaches the text.
    input().key("alt+f");
    waitFor(0.6);
    screenshot("conventions-file-menu-from-alt-f");
    input().key("Escape");
    input().key("Escape");
    waitFor(0.3);
    input().type("+1");
    EXPECT_EQ(saved(*app, path, "keys.numbera"), "12+1 = 13\n");

    // Ctrl+, opens the preferences, Escape closes them.
    input().key("ctrl+comma");
    const WindowInfo preferences = activeWindowOtherThan(*app, "keys.numbera");
    screenshot("conventions-preferences-from-ctrl-comma", &preferences);
    input().key("Escape");
    EXPECT_TRUE(waitUntil([&] {
        return !x().window(preferences.id) || !x().window(preferences.id)->viewable;
    })) << "Escape left the preferences open: "
        << app->describe();

    // F1 opens the quick reference, Ctrl+W closes it.
    ASSERT_TRUE(activate(*app, window.id));
    input().key("F1");
    activeWindowTitled(*app, "Quick Reference");
    input().key("ctrl+w");
    EXPECT_TRUE(waitUntil([&] { return !showsTitle(*app, "Quick Reference"); }))
        << "Ctrl+W left the quick reference open: " << app->describe();

    // Help ▸ Disclaimer, closed with Escape.
    ASSERT_TRUE(activate(*app, window.id));
    chooseFromMenu(-1, -3);
    activeWindowTitled(*app, "Disclaimer");
    input().key("Escape");
    EXPECT_TRUE(waitUntil([&] { return !showsTitle(*app, "Disclaimer"); }))
        << "Escape left the disclaimer open: " << app->describe();

    // Ctrl+Shift+S asks where to save a copy.
    ASSERT_TRUE(activate(*app, window.id));
    input().key("ctrl+shift+s");
    const auto dialog = app->waitForWindow(
        [&](const WindowInfo& w) { return w.id != window.id && !w.title.empty(); }, 20);
    ASSERT_TRUE(dialog) << "Ctrl+Shift+S showed nothing: " << app->describe();
    screenshot("conventions-save-as-from-ctrl-shift-s");
    input().key("Escape");
    EXPECT_TRUE(waitUntil([&] { return app->windows().size() == 1; })) << app->describe();

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(DesktopConventions, FilesReplaceAnUntouchedUntitledAndTheMenusListDocuments) {
    const std::string first = home().writeDocument("first.numbera", {"1"});
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    // A second launch hands its file over: it takes the untouched Untitled window's place.
    auto second = launch({{first}});
    ASSERT_TRUE(second->waitForExit(20)) << second->describe();
    const WindowInfo opened = activeWindowTitled(*app, "first.numbera");
    EXPECT_TRUE(waitUntil([&] { return app->titles().size() == 1; }))
        << "the untouched Untitled window stayed: " << app->describe();

    // A new document, then Window ▸ first.numbera (the entry before the last) brings it back.
    input().key("ctrl+n");
    const WindowInfo untitled = activeWindowOtherThan(*app, "first.numbera");
    chooseFromMenu(4, -2);
    EXPECT_TRUE(app->waitUntilActive(opened.id, 20))
        << "the Window menu did not bring the document back: " << app->describe();
    screenshot("conventions-window-menu-chose-document");

    // Closed, then opened again from File ▸ Open Recent, its first entry; the Untitled
    // window nobody typed in gives way to it.
    input().key("ctrl+w");
    EXPECT_TRUE(waitUntil([&] { return !showsTitle(*app, "first.numbera"); })) << app->describe();
    ASSERT_TRUE(activate(*app, untitled.id));
    input().key("alt");
    input().key("Down");
    input().key("Down", 2);
    input().key("Right");
    waitFor(0.5);
    screenshot("conventions-open-recent");
    input().key("Return");
    EXPECT_TRUE(app->waitForTitle("first.numbera", 20)) << app->describe();
    EXPECT_TRUE(waitUntil([&] {
        return app->titles() == std::vector<std::string>{"first.numbera"};
    })) << app->describe();

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(DesktopConventions, FindAndFindNextSelectInTheText) {
    const std::string path = home().writeDocument("find.numbera", {"1+2", "x = 5", "x*2"});
    auto app = launch({{path}});
    const WindowInfo window = activeWindowTitled(*app, "find.numbera");
    input().key("ctrl+Home");
    input().key("ctrl+f");
    const WindowInfo panel = activeWindowTitled(*app, "Find");
    input().type("x\n");
    waitFor(0.3);
    screenshot("conventions-find-panel");
    input().key("Escape");
    ASSERT_TRUE(activate(*app, window.id));
    // The found "x" is selected: typing replaces it.
    input().type("y");
    input().key("ctrl+g");
    waitFor(0.3);
    input().type("y");
    EXPECT_FALSE(x().window(panel.id) && x().window(panel.id)->viewable);
    EXPECT_EQ(saved(*app, path, "find.numbera"), "1+2 = 3\ny = 5 = 5\ny*2 = 10\n");
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(DesktopConventions, EveryWindowOpensWhollyOnTheScreen) {
    // A first launch: the welcome window in the middle, then the tutorial's bubble.
    home().setSetting("NBShowWelcomeWindowOnLaunch", "true");
    home().setSetting("NBTutorialHasRun", "false");
    auto app = launch();
    const WindowInfo welcome = activeWindowTitled(*app, "Welcome to Numbera");
    screenshot("on-screen-welcome");
    EXPECT_TRUE(onScreen(welcome)) << welcome.frame.toString();
    EXPECT_NEAR(welcome.frame.center().x, x().screenWidth() / 2, 40) << welcome.frame.toString();
    EXPECT_NEAR(welcome.frame.center().y, x().screenHeight() / 2, 60) << welcome.frame.toString();
    input().key("Return");  // Continue
    const WindowInfo document = activeWindowTitled(*app, "Untitled");
    const auto bubble = app->waitForWindow(
        [&](const WindowInfo& w) { return w.id != document.id && w.transientFor == document.id; },
        20);
    ASSERT_TRUE(bubble) << "no tutorial bubble: " << app->describe();
    EXPECT_TRUE(onScreen(*bubble)) << bubble->frame.toString();

    // The Numbers window, the quick reference and the about panel.
    chooseFromMenu(4, 1);
    const WindowInfo numbers = activeWindowTitled(*app, "Numbers");
    EXPECT_TRUE(onScreen(numbers)) << numbers.frame.toString();
    ASSERT_TRUE(activate(*app, document.id));
    input().key("F1");
    const WindowInfo reference = activeWindowTitled(*app, "Quick Reference");
    EXPECT_TRUE(onScreen(reference)) << reference.frame.toString();
    ASSERT_TRUE(activate(*app, document.id));
    chooseFromMenu(-1, -1);  // Help ▸ About Numbera
    const WindowInfo about = activeWindowTitled(*app, "About Numbera");
    EXPECT_TRUE(onScreen(about)) << about.frame.toString();
    screenshot("on-screen-small-windows");

    // New documents, one after another.
    ASSERT_TRUE(activate(*app, document.id));
    for (int i = 0; i < 6; ++i) input().key("ctrl+n");
    EXPECT_TRUE(waitUntil([&] { return app->titles().size() >= 10; }, 30)) << app->describe();
    waitFor(1.0);
    screenshot("on-screen-new-documents");
    for (const WindowInfo& w : app->windows())
        EXPECT_TRUE(onScreen(w)) << w.title << " " << w.frame.toString();

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(DesktopConventions, TheTutorialBubbleOfAWindowAtTheScreensLeftEdgeStaysOnIt) {
    home().setSetting("NBTutorialHasRun", "false");
    const std::string path = home().writeDocument("first.numbera", {""});
    auto app = launch({{path}});
    const WindowInfo document = activeWindowTitled(*app, "first.numbera");
    const auto isBubble = [&](const WindowInfo& w) {
        return w.id != document.id && w.transientFor == document.id;
    };
    ASSERT_TRUE(app->waitForWindow(isBubble, 20)) << "no tutorial bubble: " << app->describe();
    // The window moved to the screen's left edge: the bubble, 50 left of the text's start,
    // would begin left of the screen.
    x().moveResize(document.id, {0, 100, document.client.width, document.client.height});
    std::optional<WindowInfo> bubble;
    EXPECT_TRUE(waitUntil([&] {
        const auto moved = x().window(document.id);
        bubble = app->waitForWindow(isBubble, 1);
        return moved && moved->frame.x <= 1 && bubble && bubble->frame.y > moved->client.y;
    })) << XSession::describe(x().windows());
    waitFor(0.5);
    bubble = app->waitForWindow(isBubble, 5);
    ASSERT_TRUE(bubble) << app->describe();
    screenshot("on-screen-tutorial-bubble-at-the-left-edge");
    EXPECT_TRUE(onScreen(*bubble)) << bubble->frame.toString();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(DesktopConventions, OnADarkDesktopTheAnswerColumnIsDarkAndItsAnswersLight) {
    // A dark desktop theme, as a style sheet gives every window of the program.
    const std::string theme = home().path() + "/dark.qss";
    std::ofstream(theme) << "QWidget { background-color: #202124; color: #e8eaed; }\n";
    const std::string path = home().writeDocument("dark.numbera", {"123456 * 8"});
    auto app = launch({{"-stylesheet", theme, path}});
    WindowInfo window = activeWindowTitled(*app, "dark.numbera");
    x().moveResize(window.id, {60, 60, 700, 400});
    waitFor(1.0);
    if (const auto now = x().window(window.id)) window = *now;
    screenshot("dark-desktop-document", &window);
    // The answer column: the right quarter of the window, below its first answer's row.
    const QImage column =
        x().capture(Rect{window.client.x + window.client.width * 3 / 4, window.client.y + 26,
                         window.client.width / 4 - 10, window.client.height - 90});
    int dark = 0, light = 0;
    for (int y = 0; y < column.height(); ++y)
        for (int x = 0; x < column.width(); ++x) {
            const int lightness = column.pixelColor(x, y).lightness();
            dark += lightness < 90;
            light += lightness > 170;
        }
    EXPECT_GT(dark, column.width() * column.height() * 3 / 4) << "the answer column is light";
    // The answer's digits, drawn light on it.
    EXPECT_GT(light, 20) << "no light answer in the column";
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
