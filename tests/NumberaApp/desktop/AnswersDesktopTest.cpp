// Answers as the user sees and copies them: numbers whose rounding carries into the next power
// of ten are shown as that power's number (1×10¹⁶, never 10×10¹⁵), in the answer column and in
// the answers copied from it.
#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// A point on the answer of a line (from 0) in the answer column of the window.
Point answerRow(const Rect& client, size_t line) {
    return client.at(client.width - 90, 38 + static_cast<int>(line) * 39);
}

class Answers : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }
};

TEST_F(Answers, RoundingUpShowsTheNextPowerOfTen) {
    const std::vector<std::string> lines = {
        "9999999999999999",   "99999999999.99999", "99999999999999999 * 10^324",
        "999999.99999999999", "12345678901",       "2.5"};
    const std::string document = home().writeDocument("rounding.numbera", lines);
    auto app = launch({{document}});
    const WindowInfo window = activeWindowTitled(*app, "rounding.numbera");
    ASSERT_NE(window.id, 0u);
    waitFor(0.5);
    const std::string shot = screenshot("answers-rounded-up", &window);

    // The answers of every line, selected in the answer column (Shift adds a row) and copied
    // with its menu, whose first item for a selection of rows is Copy Result.
    const Rect client = window.client;
    input().click(answerRow(client, 0));
    for (size_t line = 1; line < lines.size(); ++line)
        input().click(answerRow(client, line), 1, "shift");
    screenshot("answers-rounded-up-selected", &window);
    x().setSelectionText(Selection::clipboard, "(nothing copied)");
    input().rightClick(answerRow(client, lines.size() - 1));
    waitFor(0.5);
    input().key("Down");
    input().key("Return");
    std::optional<std::string> copied;
    ASSERT_TRUE(waitUntil([&] {
        copied = x().selectionText(Selection::clipboard);
        return copied && *copied != "(nothing copied)";
    })) << app->describe();
    EXPECT_EQ(*copied,
              "1\u00D710^16\n1\u00D710^11\n1\u00D710^341\n1,000,000\n"
              "1.2345678901\u00D710^10\n2.5")
        << shot;

    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

// Ctrl+C in the answer column copies the selected answers, not the text's selection.
TEST_F(Answers, CtrlCInTheAnswerColumnCopiesTheSelectedAnswer) {
    const std::string document = home().writeDocument("copy.numbera", {"12*3", "1/4"});
    auto app = launch({{document}});
    const WindowInfo window = activeWindowTitled(*app, "copy.numbera");
    waitFor(0.5);
    input().click(answerRow(window.client, 1));
    x().setSelectionText(Selection::clipboard, "(nothing copied)");
    input().key("ctrl+c");
    std::optional<std::string> copied;
    EXPECT_TRUE(waitUntil([&] {
        copied = x().selectionText(Selection::clipboard);
        return copied && *copied != "(nothing copied)";
    })) << screenshot("answers-ctrl-c", &window);
    EXPECT_EQ(copied.value_or(""), "0.25");
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
