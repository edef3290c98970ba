// The line-number column as a user sees it: its numbers follow the text when the wheel scrolls
// it, and a document of thousands of lines gets a column wide enough for its numbers.
#include <QImage>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// Pixels darker than the paper: painted text.
int inkPixels(const QImage& picture) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) < 160) ++count;
    return count;
}

class LineNumbers : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
        home().setSetting("NBNumberLineVisible", "true");
    }

    std::vector<std::string> numberedLines(int count) {
        std::vector<std::string> lines;
        for (int i = 1; i <= count; ++i) lines.push_back(std::to_string(i * 3));
        return lines;
    }

    // The strip of the window where the numbers are painted, below the menu bar.
    QImage numberColumn(const WindowInfo& window) {
        return x().capture({window.client.x, window.client.y + 40, 24, window.client.height - 80});
    }

    // The painted width of the number column: from the window's left edge to the first column
    // of the text's white, across the middle of the window.
    int columnWidth(const WindowInfo& window) {
        const QImage row =
            x().capture({window.client.x, window.client.y + window.client.height / 2, 200, 1});
        for (int at = 0; at < row.width(); ++at)
            if (QColor(row.pixel(at, 0)).lightness() == 255) return at;
        return row.width();
    }
};

// The wheel over the text scrolls it; the numbers beside it change with it, at once.
TEST_F(LineNumbers, FollowTheTextWhenTheWheelScrollsIt) {
    const std::string path = home().writeDocument("numbers.numbera", numberedLines(200));
    auto app = launch({{path}});
    const WindowInfo window = activeWindowTitled(*app, "numbers.numbera");
    waitFor(0.5);
    const QImage before = numberColumn(window);
    screenshot("line-numbers-before-scrolling", &window);
    input().wheel({window.client.x + 200, window.client.y + window.client.height / 2}, 5);
    const bool changed = waitUntil([&] { return numberColumn(window) != before; }, 10);
    const std::string shot = screenshot("line-numbers-after-scrolling", &window);
    EXPECT_TRUE(changed) << "the numbers stayed as they were while the text scrolled: " << shot;
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

// Going from hundreds to thousands of lines widens the column to hold four digits.
TEST_F(LineNumbers, AThousandLinesWidenTheColumn) {
    const std::string small = home().writeDocument("small.numbera", numberedLines(20));
    const std::string large = home().writeDocument("large.numbera", numberedLines(1200));
    auto app = launch({{small}});
    const WindowInfo narrow = activeWindowTitled(*app, "small.numbera");
    waitFor(0.5);
    const int narrowWidth = columnWidth(narrow);
    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(30)) << app->describe();

    app = launch({{large}});
    const WindowInfo wide = activeWindowTitled(*app, "large.numbera");
    input().key("ctrl+End");
    int wideWidth = 0;
    waitUntil(
        [&] {
            wideWidth = columnWidth(wide);
            return wideWidth >= narrowWidth + 8;
        },
        10);
    const std::string shot = screenshot("line-numbers-four-digits", &wide);
    EXPECT_GE(wideWidth, narrowWidth + 8) << shot;
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

// Make Text Bigger and Smaller keep the caret's line in view: in a document whose only text
// lies at its end, the text stays painted after each change of size.
TEST_F(LineNumbers, TextSizeChangesKeepTheCaretsLineInView) {
    home().setSetting("NBNumberLineVisible", "false");
    std::vector<std::string> lines(280, "");
    for (int i = 0; i < 20; ++i) lines.push_back("1+" + std::to_string(i));
    const std::string path = home().writeDocument("sizes.numbera", lines);
    auto app = launch({{path}});
    const WindowInfo window = activeWindowTitled(*app, "sizes.numbera");
    input().key("ctrl+End");
    // The text's own area: right of the window's edge, left of the answers.
    const Rect text{window.client.x + 10, window.client.y + 60, window.client.width / 2,
                    window.client.height - 120};
    const auto painted = [&] { return inkPixels(x().capture(text)) > 50; };
    ASSERT_TRUE(waitUntil(painted, 10)) << screenshot("text-sizes-at-end", &window);
    for (const char* chord : {"ctrl+plus", "ctrl+plus", "ctrl+minus"}) {
        input().key(chord);
        waitFor(0.5);
        EXPECT_TRUE(waitUntil(painted, 5))
            << "after " << chord << " the caret's line left the view: "
            << screenshot("text-sizes-after-change", &window);
    }
    screenshot("text-sizes-changed", &window);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
