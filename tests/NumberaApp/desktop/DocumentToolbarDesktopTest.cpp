// The document window's toolbar as the user meets it: hidden at first, shown and hidden again
// from the View menu, its Big Answer item shows the line's answer, and the click on the item
// that takes the answer away does not bring it straight back.
#include <QColor>
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

    // Where the text's first line begins on the screen: the first row of its coloured glyphs
    // below the menu bar. It moves down by the toolbar's height.
    int firstTextRow(const WindowInfo& window) {
        const QImage text = x().capture(Rect{window.client.x + 30, window.client.y + 26, 120, 100});
        for (int y = 0; y < text.height(); ++y) {
            int ink = 0;
            for (int x = 0; x < text.width(); ++x) {
                // The syntax colours of "5*7"; frames and the caret are grey.
                const QColor c = text.pixelColor(x, y);
                ink += c.hslSaturation() > 100 && c.lightness() < 200;
            }
            if (ink >= 3) return y;
        }
        return -1;
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
    const int hidden = firstTextRow(window);
    ASSERT_GE(hidden, 0);
    chooseFromMenu(3, 0);  // View ▸ Show Toolbar, the menu's first item
    // The toolbar takes the band below the menu bar: the text moves down.
    ASSERT_TRUE(waitUntil([&] { return firstTextRow(window) > hidden + 10; })) << app->describe();
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

    ASSERT_TRUE(activate(*app, window.id)) << app->describe();
    chooseFromMenu(3, 0);  // View ▸ Hide Toolbar
    EXPECT_TRUE(waitUntil([&] { return firstTextRow(window) == hidden; })) << app->describe();
    screenshot("toolbar-hidden-again", &window);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
