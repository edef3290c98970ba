// Menus over a selection of lines that differ: the Format menu's items whose value some of
// the selected lines have show the mixed indicator (a dash where the check mark goes), and
// none shows it while one line is selected.
#include <QImage>
#include <algorithm>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class MixedStates : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    // Format ▸ Base, opened from the keyboard; `down` more steps choose an item of it.
    void openBaseMenu() {
        input().key("alt");
        input().key("Right", 2);
        input().key("Down");
        input().key("Down", 5);
        input().key("Right");
        waitFor(0.6);
    }

    // The dashes on the screen: bars 8 pixels long and 2 high, dark between lighter rows (a
    // menu's background or its highlight).
    static int dashesIn(const QImage& screen) {
        const auto dark = [&](int x, int y) { return screen.pixelColor(x, y).lightness() < 60; };
        const auto light = [&](int x, int y) { return screen.pixelColor(x, y).lightness() > 110; };
        std::vector<std::pair<int, int>> found;
        for (int y = 1; y + 2 < screen.height(); ++y)
            for (int x = 1; x + 9 < screen.width(); ++x) {
                bool dash = light(x - 1, y) && light(x + 8, y);
                for (int i = 0; i < 8 && dash; ++i)
                    dash = dark(x + i, y) && dark(x + i, y + 1) && light(x + i, y - 1) &&
                           light(x + i, y + 2);
                if (!dash) continue;
                const bool known = std::any_of(found.begin(), found.end(), [&](const auto& p) {
                    return std::abs(p.first - x) < 4 && std::abs(p.second - y) < 4;
                });
                if (!known) found.emplace_back(x, y);
            }
        return static_cast<int>(found.size());
    }
};

TEST_F(MixedStates, TheBaseMenuMarksTheBasesOfAMixedSelection) {
    const std::string path = home().writeDocument("mixed.numbera", {"10", "255", "4096"});
    auto app = launch({{path}});
    const WindowInfo window = activeWindowTitled(*app, "mixed.numbera");
    x().moveResize(window.id, {40, 40, 700, 420});
    waitFor(0.6);
    const int before = dashesIn(x().captureScreen());

    // The last line in hexadecimal: Format ▸ Base ▸ Hexadecimal.
    input().key("ctrl+End");
    openBaseMenu();
    screenshot("mixed-base-menu-one-line");
    EXPECT_EQ(dashesIn(x().captureScreen()), before);
    input().key("Down", 2);
    input().key("Return");
    waitFor(0.5);

    // All three lines: decimal and hexadecimal are both among them.
    input().key("ctrl+a");
    openBaseMenu();
    screenshot("mixed-base-menu-mixed-selection");
    EXPECT_EQ(dashesIn(x().captureScreen()), before + 2);
    input().key("Escape", 3);
    waitFor(0.3);

    input().key("ctrl+s");
    EXPECT_TRUE(
        app->waitForWindow([](const WindowInfo& w) { return w.title == "mixed.numbera"; }, 20))
        << app->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
