// The base currency as the user switches currencies off in the Numbers window: switching the
// base currency off moves the base to another enabled currency and the panel says so.
#include <QColor>
#include <QImage>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class BaseCurrencyDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
        home().setSetting("NBSelectedNumeralsPane", "NBCurrenciesPane");
        home().setSetting("NBBaseCurrency", "EUR");
    }
};

TEST_F(BaseCurrencyDesktop, SwitchingTheBaseCurrencyOffMovesTheBaseToAnEnabledOne) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    chooseFromMenu(4, 1);  // Window ▸ Numbers
    const WindowInfo numbers = activeWindowTitled(*app, "Numbers");
    x().moveResize(numbers.id, {60, 60, 900, 520});
    waitFor(0.8);
    const WindowInfo shown = *x().window(numbers.id);
    screenshot("base-currency-panel", &shown);

    // The category list's right edge, where its chosen category's highlight ends, and the
    // check boxes just right of it: the first is the top row's, EUR's, the base.
    const QImage window = x().capture(shown.client);
    int listRight = 0;
    for (int y = 20; y < 200 && !listRight; ++y) {
        int highlighted = 0, last = 0;
        for (int x = 0; x < window.width() / 3; ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.blue() > c.red() + 60) {
                ++highlighted;
                last = x;
            }
        }
        if (highlighted > 40) listRight = last;
    }
    ASSERT_GT(listRight, 40);
    int boxTop = -1, boxBottom = -1;
    for (int y = 60; y < window.height() / 2; ++y) {
        bool ink = false;
        for (int x = listRight + 6; x < listRight + 32 && !ink; ++x)
            ink = window.pixelColor(x, y).lightness() < 90;
        if (ink && boxTop < 0) boxTop = y;
        if (ink) boxBottom = y;
        if (!ink && boxTop >= 0) break;
    }
    ASSERT_GT(boxTop, 0) << "no check box found";
    input().click(shown.client.at(listRight + 18, (boxTop + boxBottom) / 2));
    waitFor(0.8);
    screenshot("base-currency-moved", &shown);

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
    // The rates are against an enabled currency: the base moved on, to the first favourite
    // still enabled.
    EXPECT_EQ(home().setting("NBBaseCurrency"), "GBP");
}

}  // namespace
