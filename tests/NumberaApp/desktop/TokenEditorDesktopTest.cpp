// The token editor as a user meets it: opened on a token at the left edge of a window at the
// left edge of the screen, it opens wholly on the screen, shaped so that what lies around its
// pointer shows through, and a selected token draws as the selected capsule.
#include <QImage>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class TokenEditor : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }
};

// The darkest pixel of a picture, as a grey level.
int darkest(const QImage& picture) {
    int level = 255;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            level = std::min(level, qGray(picture.pixel(x, y)));
    return level;
}

TEST_F(TokenEditor, OpensOnTheScreenShapedAroundItsPointer) {
    const std::string path = home().writeDocument("tokens.numbera", {"10", "line1 + 2"});
    auto app = launch({{path}});
    WindowInfo window = activeWindowTitled(*app, "tokens.numbera");
    x().moveResize(window.id, {0, 40, 700, 400});
    waitUntil([&] {
        const auto now = x().window(window.id);
        return now && now->client.x <= 2;
    });
    if (const auto now = x().window(window.id)) window = *now;
    waitFor(0.5);
    // The token is the second line's first character: Down and Home put the caret before it;
    // Shift+Right selects it.
    input().key("ctrl+Home");
    input().key("Down");
    input().key("shift+Right");
    waitFor(0.5);
    const std::string selectedShot = screenshot("token-selected", &window);
    // Return on a selected token opens its editor.
    input().key("Return");
    const auto editor =
        app->waitForWindow([](const WindowInfo& w) { return w.title == "Token Editor"; }, 10);
    ASSERT_TRUE(editor) << app->describe();
    waitFor(0.5);
    const std::string shot = screenshot("token-editor-at-left-edge");
    EXPECT_GE(editor->client.x, 0) << shot;
    EXPECT_LE(editor->client.x + editor->client.width, x().screenWidth()) << shot;
    EXPECT_LE(editor->client.y + editor->client.height, x().screenHeight()) << shot;
    // Beside the pointer, above the editor's body, the window behind shows: no black band.
    const Rect corner{editor->client.x + editor->client.width - 12, editor->client.y, 10, 5};
    EXPECT_GT(darkest(x().capture(corner)), 100) << shot;
    // Escape closes the editor with nothing changed: the document quits without asking.
    input().key("Escape");
    EXPECT_TRUE(waitUntil([&] {
        for (const WindowInfo& w : x().visibleWindowsOf(app->pid()))
            if (w.title == "Token Editor") return false;
        return true;
    })) << app->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
