// The preferences as the user opens them from the keyboard: Ctrl+, on the pane shown last,
// wholly on the screen. The keystroke list draws each keystroke once, as a token.
#include <QColor>
#include <QImage>
#include <map>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class PreferencesDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }
};

TEST_F(PreferencesDesktop, TheKeystrokeListDrawsEachKeystrokeOnceAsAToken) {
    home().setSetting("NBPreferences/currentPaneIdentifier", "NBPrefPaneMathKey");
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    input().key("ctrl+comma");
    const WindowInfo preferences = activeWindowTitled(*app, "MathKey");
    waitFor(0.8);
    screenshot("preferences-mathkey-tokens", &preferences);
    EXPECT_GE(preferences.frame.x, 0);
    EXPECT_LE(preferences.frame.y + preferences.frame.height, x().screenHeight());

    // The tokens: runs of their light blue fill, one band per row of the list.
    const QImage window = x().capture(preferences.client);
    const auto isFill = [](const QColor& c) {
        return std::abs(c.red() - 214) < 12 && std::abs(c.green() - 225) < 12 &&
               std::abs(c.blue() - 246) < 12;
    };
    std::map<int, int> leftOfRow;  // first row of a band -> its leftmost fill
    int bandStart = -1;
    for (int y = 0; y < window.height(); ++y) {
        int left = -1;
        for (int x = 0; x < window.width() && left < 0; ++x)
            if (isFill(window.pixelColor(x, y))) left = x;
        if (left < 0) {
            bandStart = -1;
            continue;
        }
        if (bandStart < 0) bandStart = y;
        auto& known = leftOfRow[bandStart];
        known = known ? std::min(known, left) : left;
    }
    // The shipped list has its two keystrokes.
    ASSERT_GE(leftOfRow.size(), 2u) << screenshot("preferences-no-tokens", &preferences);
    // Nothing is drawn beside a token in its cell: no plain copy of the keystroke's text.
    for (const auto& [top, left] : leftOfRow) {
        int ink = 0;
        for (int y = top; y < top + 8 && y < window.height(); ++y)
            for (int x = std::max(0, left - 18); x < left - 3; ++x)
                ink += window.pixelColor(x, y).lightness() < 100;
        EXPECT_EQ(ink, 0) << "text beside the token at row " << top;
    }
    input().key("Escape");
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
