// The Numbers window as the user drives it: its "+" button sits at the left of the panel side
// and opens the new variable's name for typing; a value set there and undone there shows at
// once in the statistics bar of a document that uses the variable, without a keystroke in the
// document; a right-click on a row that is not selected removes it with the selection.
#include <QColor>
#include <QImage>
#include <fstream>
#include <sstream>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class NumbersWindowDesktop : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
        home().setSetting("NBStatisticsBarVisible", "true");
    }

    // Window ▸ Numbers, the item after Minimize.
    WindowInfo openNumbers(App& app, const std::string& documentTitle) {
        chooseFromMenu(4, 1);
        return activeWindowOtherThan(app, documentTitle);
    }

    // The "+" of the bottom bar, at the left of the panel side: just right of the category
    // list, whose chosen category is highlighted across its width.
    Point addButton(const WindowInfo& numbers) {
        const QImage window = x().capture(numbers.client);
        int listRight = 0;
        for (int y = 20; y < 90 && !listRight; ++y) {
            int highlighted = 0, last = 0;
            for (int x = 0; x < window.width() / 2; ++x) {
                const QColor c = window.pixelColor(x, y);
                if (c.blue() > c.red() + 60) {
                    ++highlighted;
                    last = x;
                }
            }
            if (highlighted > 40) listRight = last;
        }
        EXPECT_GT(listRight, 40) << screenshot("numbers-no-category-list", &numbers);
        return numbers.client.at(listRight + 18, numbers.client.height - 16);
    }

    // A new variable named and given a value, all from the keyboard once "+" is clicked.
    void addVariable(const WindowInfo& numbers, const std::string& name, const std::string& value) {
        input().click(addButton(numbers));
        waitFor(0.6);
        screenshot("numbers-name-open-for-" + name);
        input().type(name + "\n");
        waitFor(0.3);
        input().key("Right");
        input().key("F2");
        waitFor(0.3);
        input().type(value + "\n");
        waitFor(0.3);
    }

    // The statistics bar of the document: its bottom 20 rows.
    QImage statisticsBar(const WindowInfo& window) {
        const Rect bar{window.client.x, window.client.y + window.client.height - 21,
                       window.client.width, 20};
        return x().capture(bar);
    }

    std::string variablesFile() {
        std::ifstream in(home().dataFolder() + "/Variables.plist");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(NumbersWindowDesktop, AVariableAddedNamedSetAndUndoneShowsInTheStatisticsAtOnce) {
    const std::string path = home().writeDocument("rate.numbera", {"1"});
    auto app = launch({{path}});
    WindowInfo document = activeWindowTitled(*app, "rate.numbera");
    x().moveResize(document.id, {10, 40, 600, 420});
    waitFor(0.5);
    if (const auto now = x().window(document.id)) document = *now;

    const WindowInfo numbers = openNumbers(*app, "rate.numbera");
    x().moveResize(numbers.id, {630, 40, 640, 440});
    waitFor(0.8);
    const WindowInfo shown = *x().window(numbers.id);
    screenshot("numbers-window-add-button", &shown);
    addVariable(shown, "rate", "220");
    screenshot("numbers-window-variable-added", &shown);

    // The document uses it; its statistic is the total of its lines.
    ASSERT_TRUE(activate(*app, document.id)) << app->describe();
    input().key("ctrl+End");
    input().type("\nrate");
    waitFor(1.0);
    ASSERT_TRUE(activate(*app, numbers.id)) << app->describe();
    waitFor(0.8);
    const QImage at221 = statisticsBar(document);
    screenshot("numbers-statistic-221", &document);

    // A new value in the Numbers window: the document's bar changes with no key pressed in it.
    input().key("Right");
    input().key("F2");
    waitFor(0.3);
    input().type("185\n");
    EXPECT_TRUE(waitUntil([&] { return statisticsBar(document) != at221; }, 20))
        << "the statistics bar kept its old value: " << app->describe();
    screenshot("numbers-statistic-after-new-value", &document);
    // Undone in the Numbers window: the bar shows the first total again.
    input().key("ctrl+z");
    EXPECT_TRUE(waitUntil([&] { return statisticsBar(document) == at221; }, 20))
        << "the statistics bar did not follow the undo: " << app->describe();
    screenshot("numbers-statistic-after-undo", &document);

    // The Edit menu names what it undoes; opened (not chosen from) for the reviewer.
    input().key("alt");
    input().key("Right");
    input().key("Down");
    waitFor(0.5);
    screenshot("numbers-edit-menu-undo-title");
    input().key("Escape");
    input().key("Escape");

    ASSERT_TRUE(activate(*app, document.id)) << app->describe();
    input().key("ctrl+s");
    EXPECT_TRUE(
        app->waitForWindow([](const WindowInfo& w) { return w.title == "rate.numbera"; }, 20))
        << app->describe();
    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(30)) << app->describe();
    const std::string saved = variablesFile();
    EXPECT_NE(saved.find("<string>rate</string>"), std::string::npos) << saved;
    EXPECT_EQ(home().previewText(path), "1 = 1\nrate = 220\n");
}

TEST_F(NumbersWindowDesktop, ARightClickOnAnotherRowRemovesItWithTheSelection) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    const WindowInfo numbers = openNumbers(*app, "Untitled");
    x().moveResize(numbers.id, {100, 60, 700, 440});
    waitFor(0.8);
    const WindowInfo shown = *x().window(numbers.id);
    addVariable(shown, "first", "1");
    addVariable(shown, "second", "2");
    addVariable(shown, "third", "3");
    // "third" is selected now; "first" is the top row, two rows above the selection's band.
    const QImage table = x().capture(shown.client);
    const int column = 170 + 120;
    int bandTop = -1, bandBottom = -1;
    for (int y = 40; y < table.height() - 40; ++y) {
        const QColor c = table.pixelColor(column, y);
        const bool highlight = c.blue() > c.red() + 60;
        if (highlight && bandTop < 0) bandTop = y;
        if (highlight) bandBottom = y;
    }
    ASSERT_GT(bandTop, 0) << screenshot("numbers-no-selection", &shown);
    const int rowHeight = bandBottom - bandTop + 1;
    const Point firstRow = shown.client.at(column, bandTop - 2 * rowHeight + rowHeight / 2);
    input().rightClick(firstRow);
    waitFor(0.6);
    screenshot("numbers-right-click-menu");
    input().key("Down");
    input().key("Return");
    waitFor(0.8);
    screenshot("numbers-after-removing", &shown);

    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(30)) << app->describe();
    const std::string saved = variablesFile();
    EXPECT_EQ(saved.find("<string>first</string>"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("<string>third</string>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<string>second</string>"), std::string::npos) << saved;
}

}  // namespace
