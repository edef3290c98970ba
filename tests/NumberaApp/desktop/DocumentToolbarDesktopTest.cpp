// The document window's toolbar as the user meets it: hidden at first, shown and hidden again
// from the View menu, its Big Answer item shows the line's answer, and the click on the item
// that takes the answer away does not bring it straight back.
#include <QImage>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class DocumentToolbarDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    // A band of the answer column just below the menu bar (no caret blinks there).
    QImage answerBand(const WindowInfo& window) {
        return x().capture(Rect{window.client.x + window.client.width * 3 / 4, window.client.y + 30,
                                window.client.width / 4 - 10, 30});
    }

    // Windows of the program besides the document's.
    size_t othersThan(App& app, WindowId window) {
        size_t count = 0;
        for (const WindowInfo& w : app.windows()) count += w.id != window;
        return count;
    }
};

TEST_F(DocumentToolbarDesktop, ShownFromTheViewMenuItsBigAnswerItemTogglesTheAnswer) {
    const std::string path = home().writeDocument("toolbar.numbera", {"5*7"});
    auto app = launch({{path}});
    WindowInfo window = activeWindowTitled(*app, "toolbar.numbera");
    x().moveResize(window.id, {60, 60, 640, 400});
    waitFor(0.8);
    if (const auto now = x().window(window.id)) window = *now;
    const QImage hidden = answerBand(window);
    chooseFromMenu(3, 0);  // View ▸ Show Toolbar, the menu's first item
    // The toolbar takes the band below the menu bar.
    ASSERT_TRUE(waitUntil([&] { return answerBand(window) != hidden; })) << app->describe();
    screenshot("toolbar-shown", &window);

    // Its first item, Big Answer: the answer of the line fills the middle of the screen.
    const Point bigAnswer = window.client.at(30, 26 + 16);
    input().click(bigAnswer);
    ASSERT_TRUE(waitUntil([&] { return othersThan(*app, window.id) == 1; }, 20))
        << "no big answer: " << app->describe();
    screenshot("toolbar-big-answer");
    // The click that takes it away (it loses the focus) does not open it again.
    input().click(bigAnswer);
    EXPECT_TRUE(waitUntil([&] { return othersThan(*app, window.id) == 0; }, 20)) << app->describe();
    waitFor(1.0);
    EXPECT_EQ(othersThan(*app, window.id), 0u) << "the big answer came back: " << app->describe();

    chooseFromMenu(3, 0);  // View ▸ Hide Toolbar
    EXPECT_TRUE(waitUntil([&] { return answerBand(window) == hidden; })) << app->describe();
    screenshot("toolbar-hidden-again", &window);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
