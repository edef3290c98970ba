// A document's window as the user finds it again: opening a file that is already open, or
// starting the program once more, brings its window back to the front, also from the task bar
// where the user minimized it.
#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

struct Reopening {
    const char* name;
    bool namesTheFile;  // the second launch names the document's file, or nothing
};

class MinimizedDocument : public NumberaDesktopTest,
                          public ::testing::WithParamInterface<Reopening> {};

TEST_P(MinimizedDocument, ComesBackWhenOpenedAgain) {
    home().setSettledUser();
    const std::string document = home().writeDocument("sums.numbera", {"2+3", "line1*4"});
    auto app = launch({{document}});
    const WindowInfo window = activeWindowTitled(*app, "sums.numbera");
    chooseFromMenu(4, 0);  // Window ▸ Minimize
    ASSERT_TRUE(waitUntil([&] {
        const auto shown = x().window(window.id);
        return shown && shown->hasState("HIDDEN");
    })) << "the window did not minimize: "
        << XSession::describe(x().windows());
    screenshot("minimized-document");

    std::vector<std::string> arguments;
    if (GetParam().namesTheFile) arguments.push_back(document);
    auto second = launch({arguments});
    ASSERT_TRUE(second->waitForExit(20)) << second->describe();
    EXPECT_EQ(second->process().exitStatus(), 0) << second->describe();
    ASSERT_TRUE(waitUntil([&] {
        const auto shown = x().window(window.id);
        return shown && shown->viewable && !shown->hasState("HIDDEN") &&
               x().activeWindow() == window.id;
    })) << "the minimized window stayed so: "
        << XSession::describe(x().windows());
    EXPECT_EQ(app->titles(), std::vector<std::string>{"sums.numbera"}) << app->describe();
    screenshot(std::string("restored-document-") + GetParam().name);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

INSTANTIATE_TEST_SUITE_P(Launches, MinimizedDocument,
                         ::testing::Values(Reopening{"file", true}, Reopening{"program", false}),
                         [](const ::testing::TestParamInfo<Reopening>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
