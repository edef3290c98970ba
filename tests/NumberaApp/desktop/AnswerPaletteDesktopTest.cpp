// The answer palette as the user meets it: it belongs to its document window (above that
// window only, out of sight while another window is active), it opens wholly on the screen,
// flipping to the left of a window as wide as the screen, and its menu is drawn readable and
// copies the row it was opened on. A fraction lists no hex or binary row.
#include <QColor>
#include <QImage>
#include <cstdlib>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class AnswerPaletteDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    // The document's window with its client area there, once the manager has put it there.
    WindowInfo placed(App& app, const std::string& title, const Rect& client) {
        WindowInfo window = activeWindowTitled(app, title);
        x().moveResize(window.id, client);
        waitUntil([&] {
            const auto now = x().window(window.id);
            return now && now->client.width == client.width && now->client.height == client.height;
        });
        waitFor(0.3);
        if (const auto now = x().window(window.id)) window = *now;
        return window;
    }

    // View ▸ Show Answer Palette (the menu's last item), and the palette once it shows.
    std::optional<WindowInfo> showPalette(App& app) {
        chooseFromMenu(3, -1);
        return app.waitForTitle("Answer Palette", 20);
    }

    bool paletteShows(App& app) {
        for (const WindowInfo& w : app.windows())
            if (titleStartsWith(w.title, "Answer Palette")) return true;
        return false;
    }

    static bool insideScreen(const Rect& frame, int width, int height) {
        return frame.x >= 0 && frame.y >= 0 && frame.x + frame.width <= width &&
               frame.y + frame.height <= height;
    }
};

TEST_F(AnswerPaletteDesktop, BelongsToItsWindowAndStaysOnTheScreen) {
    const std::string path = home().writeDocument("palette.numbera", {"0.75"});
    auto app = launch({{path}});
    const WindowInfo window = placed(*app, "palette.numbera", {80, 80, 700, 460});
    input().key("ctrl+End");
    const auto palette = showPalette(*app);
    ASSERT_TRUE(palette) << app->describe();
    screenshot("palette-beside-its-window");
    // Beside the window's right edge, transient for it, and not kept above every window.
    EXPECT_EQ(palette->transientFor, window.id) << XSession::describe(x().windows());
    EXPECT_FALSE(palette->hasState("ABOVE")) << XSession::describe(x().windows());
    EXPECT_NEAR(palette->client.x, window.frame.x + window.frame.width - 5, 3)
        << XSession::describe(x().windows());
    EXPECT_TRUE(insideScreen(palette->frame, x().screenWidth(), x().screenHeight()));

    // Another document in front: the palette goes out of sight, and comes back with its window.
    input().key("ctrl+n");
    const WindowInfo other = activeWindowTitled(*app, "Untitled");
    EXPECT_TRUE(waitUntil([&] { return !paletteShows(*app); }, 20))
        << "the palette stayed over another document: " << app->describe();
    screenshot("palette-hidden-behind-another-document");
    ASSERT_TRUE(activate(*app, window.id)) << app->describe();
    EXPECT_TRUE(waitUntil([&] { return paletteShows(*app); }, 20))
        << "the palette did not come back with its window: " << app->describe();
    x().close(other.id);
    ASSERT_TRUE(activate(*app, window.id)) << app->describe();

    // A window as wide as the screen: the palette opens left of its right edge, on the screen.
    const int width = x().screenWidth() - (window.frame.width - window.client.width);
    x().moveResize(window.id, {0, 80, width, 460});
    std::optional<WindowInfo> flipped;
    // Its pointer, now on its right edge, touches the window's right edge less 5.
    EXPECT_TRUE(waitUntil(
        [&] {
            const auto wide = x().window(window.id);
            flipped = app->waitForTitle("Answer Palette", 1);
            if (!wide || !flipped || wide->frame.width < width) return false;
            const int anchor = wide->frame.x + wide->frame.width - 5;
            return std::abs(flipped->client.x + flipped->client.width - anchor) <= 3;
        },
        20))
        << "the palette did not open left of the edge: " << XSession::describe(x().windows());
    screenshot("palette-flipped-inside-the-screen");
    if (flipped) EXPECT_TRUE(insideScreen(flipped->frame, x().screenWidth(), x().screenHeight()));

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(AnswerPaletteDesktop, ItsMenuIsReadableAndCopiesTheLastRowAFraction) {
    const std::string path = home().writeDocument("fraction.numbera", {"0.75"});
    auto app = launch({{path}});
    placed(*app, "fraction.numbera", {80, 80, 700, 460});
    input().key("ctrl+End");
    const auto palette = showPalette(*app);
    ASSERT_TRUE(palette) << app->describe();
    waitFor(0.5);
    // The lowest row of the table, 8 above the balloon's bottom edge.
    const Point lastRow =
        palette->client.at(palette->client.width - 24, palette->client.height - 22);
    input().rightClick(lastRow);
    waitFor(0.8);
    screenshot("palette-menu");
    // The menu is drawn with its background, not black: a point inside it, below the first item.
    const QImage menu = x().capture(Rect{lastRow.x + 20, lastRow.y + 30, 40, 12});
    int light = 0;
    for (int y = 0; y < menu.height(); ++y)
        for (int x = 0; x < menu.width(); ++x) light += menu.pixelColor(x, y).lightness() > 150;
    EXPECT_GT(light, menu.width() * menu.height() / 2) << "the palette's menu is dark";
    x().setSelectionText(Selection::clipboard, "(nothing copied)");
    input().key("Down");
    input().key("Return");
    std::optional<std::string> copied;
    EXPECT_TRUE(waitUntil([&] {
        copied = x().selectionText(Selection::clipboard);
        return copied && *copied != "(nothing copied)";
    })) << app->describe();
    // The last row is the fraction: no empty hex or binary row follows it.
    EXPECT_EQ(copied, "3/4");

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
