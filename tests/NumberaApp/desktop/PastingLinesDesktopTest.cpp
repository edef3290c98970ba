// Pasting lines that hold tokens, as a user does it: lines copied with the keyboard and pasted
// after a selection made in the line-number column, and a line selected with Shift+Home and
// pasted with the middle button. Each case checks that the program lives on and still answers,
// and what the saved document holds afterwards.
#include <QImage>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// "1" … "11", the eighth line naming the first two by number.
std::vector<std::string> elevenLines() {
    std::vector<std::string> lines;
    for (int i = 1; i <= 11; ++i) lines.push_back(i == 8 ? "line1 + line2" : std::to_string(i));
    return lines;
}

class PastingLines : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
        home().setSetting("NBNumberLineVisible", "true");
    }

    // The document's window, active and 1000×700 as the user left it.
    WindowInfo openAt1000x700(App& app, const std::string& title) {
        WindowInfo window = activeWindowTitled(app, title);
        x().moveResize(window.id, {60, 60, 1000, 700});
        waitUntil([&] {
            const auto now = x().window(window.id);
            return now && now->client.width == 1000 && now->client.height == 700;
        });
        if (const auto now = x().window(window.id)) window = *now;
        waitFor(0.5);
        return window;
    }

    // The vertical centres of the line numbers painted in the column at the window's left,
    // top to bottom, on the screen: the bands of ink below the menu bar, where the text's
    // white begins.
    std::vector<int> numberRows(const WindowInfo& window) {
        const QImage picture = x().capture(window.client);
        int top = 0;
        while (top < picture.height() &&
               picture.pixelColor(picture.width() / 2, top).lightness() < 250)
            ++top;
        const QColor background = picture.pixelColor(4, picture.height() - 60);
        std::vector<int> rows;
        int bandStart = -1, lastInk = -100;
        for (int y = top; y < picture.height(); ++y) {
            bool ink = false;
            for (int column = 2; column < kNumberColumnWidth && !ink; ++column)
                ink = std::abs(picture.pixelColor(column, y).lightness() - background.lightness()) >
                      60;
            if (!ink) continue;
            // Parts of one digit a few pixels apart are one band.
            if (y - lastInk > 6) {
                if (bandStart >= 0) rows.push_back(window.client.y + (bandStart + lastInk) / 2);
                bandStart = y;
            }
            lastInk = y;
        }
        if (bandStart >= 0) rows.push_back(window.client.y + (bandStart + lastInk) / 2);
        return rows;
    }

    // The document as saved, one "expression = answer" per line.
    std::string savedText(App& app, const std::string& path, const std::string& title) {
        input().key("ctrl+s");
        // The title loses its "*" once the file is written.
        EXPECT_TRUE(app.waitForWindow([&](const WindowInfo& w) { return w.title == title; }, 30))
            << app.describe();
        return home().previewText(path);
    }

    static constexpr int kNumberColumnWidth = 30;
};

TEST_F(PastingLines, LinesPastedAfterASelectionInTheLineNumberColumn) {
    const std::string path = home().writeDocument("lines.numbera", elevenLines());
    auto app = launch({{path}});
    const WindowInfo window = openAt1000x700(*app, "lines.numbera");
    input().key("ctrl+Home");
    input().key("Return");
    input().key("shift+Up", 20);
    x().setSelectionText(Selection::clipboard, "(nothing copied)");
    input().key("ctrl+c");
    // The empty first line with its end, once a loaded machine has taken the keys in.
    std::optional<std::string> copied;
    EXPECT_TRUE(waitUntil(
        [&] {
            copied = x().selectionText(Selection::clipboard);
            return copied && *copied != "(nothing copied)";
        },
        30))
        << app->describe();
    EXPECT_EQ(copied, "\n");
    const std::vector<int> rows = numberRows(window);
    ASSERT_GE(rows.size(), 10u) << screenshot("pasting-number-rows", &window);
    const int column = window.client.x + kNumberColumnWidth / 2;
    input().drag({column, rows[9]}, {column, rows[3]});
    screenshot("pasting-lines-selected-in-number-column", &window);
    input().key("Left");
    input().key("ctrl+v");
    waitFor(1.0);
    screenshot("pasting-lines-pasted", &window);
    ASSERT_TRUE(app->running()) << app->describe();
    EXPECT_TRUE(app->answersPing(5)) << app->describe();
    // The copied line holds no text of its own: the lines are as they were, the references
    // still reading the first two.
    EXPECT_EQ(savedText(*app, path, "lines.numbera"),
              "\n1 = 1\n2 = 2\n3 = 3\n4 = 4\n5 = 5\n6 = 6\n7 = 7\n1 + 2 = 3\n9 = 9\n10 = 10\n"
              "11 = 11\n")
        << app->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

TEST_F(PastingLines, LineSelectedWithShiftHomePastedWithTheMiddleButton) {
    const std::string path = home().writeDocument("lines.numbera", elevenLines());
    auto app = launch({{path}});
    const WindowInfo window = openAt1000x700(*app, "lines.numbera");
    input().key("ctrl+End");
    input().key("Return");
    input().key("ctrl+Home");
    input().key("Down", 7);
    input().key("End");
    input().key("shift+Home");
    waitFor(0.3);
    const std::vector<int> rows = numberRows(window);
    ASSERT_GE(rows.size(), 12u) << screenshot("pasting-number-rows", &window);
    screenshot("pasting-line-selected-with-shift-home", &window);
    input().middleClick({window.client.x + 200, rows[11]});
    waitFor(1.0);
    screenshot("pasting-line-middle-clicked", &window);
    ASSERT_TRUE(app->running()) << app->describe();
    EXPECT_TRUE(app->answersPing(5)) << app->describe();
    // The new last line holds the references of the eighth, to the same lines.
    EXPECT_EQ(savedText(*app, path, "lines.numbera"),
              "1 = 1\n2 = 2\n3 = 3\n4 = 4\n5 = 5\n6 = 6\n7 = 7\n1 + 2 = 3\n9 = 9\n10 = 10\n"
              "11 = 11\n1 + 2 = 3\n")
        << app->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
