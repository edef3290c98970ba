// Files a user may hand the program that are not documents it can read: a pipe, a folder, a
// file it may not read, all named like documents. The program never waits on them: it says
// why in an alert, and its windows go on answering.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

struct Unopenable {
    const char* name;
    // Puts the thing at the path.
    void (*make)(const std::string& path);
    const char* reason;  // what the alert says
};

void makePipe(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }
void makeFolder(const std::string& path) { std::filesystem::create_directory(path); }
void makeUnreadable(const std::string& path) {
    std::ofstream(path) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data/>\n";
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
}

class UnopenableDocument : public NumberaDesktopTest,
                           public ::testing::WithParamInterface<Unopenable> {};

TEST_P(UnopenableDocument, OpensNothingAndSaysWhyWithoutWaiting) {
    const Unopenable& kind = GetParam();
    home().setSettledUser();
    const std::string path = home().path() + "/x.numbera";
    ASSERT_NO_FATAL_FAILURE(kind.make(path));
    App::Options options{{path}};
    // The superuser reads any file: a launch without its power over file permissions meets
    // them as a user does.
    if (::geteuid() == 0)
        options.launcher = {"setpriv", "--bounding-set=-dac_override,-dac_read_search", "--"};
    auto app = launch(options);
    const auto alert = app->waitForWindow(
        [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20);
    ASSERT_TRUE(alert) << "no alert about " << kind.name << ": " << app->describe();
    EXPECT_TRUE(app->answersPing()) << app->describe();
    ASSERT_TRUE(app->waitUntilActive(alert->id))
        << "the alert is not in front: " << app->describe();
    screenshot(std::string("unopenable-") + kind.name);
    const std::string log = app->log();
    EXPECT_NE(log.find(kind.reason), std::string::npos) << log;
    EXPECT_EQ(log.find("error -4"), std::string::npos) << log;
    for (const std::string& title : app->titles())
        EXPECT_FALSE(titleStartsWith(title, "x.numbera")) << app->describe();

    input().key("Return");
    const auto document = app->waitForTitle("Untitled", 20);
    ASSERT_TRUE(document) << app->describe();
    activate(*app, document->id);
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnopenableDocument,
    ::testing::Values(Unopenable{"pipe", makePipe, "it is not a regular file"},
                      Unopenable{"folder", makeFolder, "it is a folder"},
                      Unopenable{"unreadable", makeUnreadable, "permission denied"}),
    [](const ::testing::TestParamInfo<Unopenable>& info) { return std::string(info.param.name); });

// A data file of the wrong shape: the user hears of it once, and at the quit that writes the
// data again the file is kept whole beside the new one.
TEST_F(NumberaDesktopTest, ADataFileReadInPartIsToldOnceAndKeptAside) {
    home().setSettledUser();
    const std::string variables = home().dataFolder() + "/Variables.plist";
    std::filesystem::create_directories(home().dataFolder());
    const std::string mine =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>NKVariables</key><string>rent = 1200</string></dict></plist>\n";
    std::ofstream(variables) << mine;
    auto app = launch();
    const auto alert = app->waitForWindow(
        [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20);
    ASSERT_TRUE(alert) << "the user was not told: " << app->describe();
    screenshot("partly-read-data-file", &*alert);
    EXPECT_EQ(readFile(variables), mine) << "kept as it is while the program runs";
    ASSERT_TRUE(app->waitUntilActive(alert->id)) << app->describe();
    input().key("Return");
    activeWindowTitled(*app, "Untitled");
    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(30)) << app->describe();
    EXPECT_EQ(readFile(variables + ".unreadable"), mine);
    EXPECT_NE(readFile(variables).find("<key>NKVariables</key>"), std::string::npos);

    // Told once: the next launch reads its own file and says nothing.
    auto again = launch();
    activeWindowTitled(*again, "Untitled");
    waitFor(1.5);
    for (const WindowInfo& window : again->windows())
        EXPECT_FALSE(window.type == "DIALOG" || window.hasState("MODAL")) << again->describe();
    input().key("ctrl+q");
    ASSERT_TRUE(again->waitForExit(30)) << again->describe();
    EXPECT_FALSE(std::filesystem::exists(variables + ".unreadable-2"));
}

// A save killed half-way left its temporary file beside the document: the next opening of
// the document clears it, a save leaves none, and the user's own files stay.
TEST_F(NumberaDesktopTest, WhatAKilledSaveLeftGoesWhenTheDocumentIsOpenedAgain) {
    home().setSettledUser();
    const std::string folder = home().path() + "/work";
    std::filesystem::create_directory(folder);
    const std::string document = home().writeDocument("work/sums.numbera", {"2+3"});
    const std::string left = folder + "/.sums.numbera.saving-Ab12Cd";
    std::ofstream(left) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><lines><li";
    std::ofstream(folder + "/sums.numbera.backup") << "mine";
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    auto app = launch({{document}});
    activeWindowTitled(*app, "sums.numbera");
    EXPECT_EQ(entries(), (std::vector<std::string>{"sums.numbera", "sums.numbera.backup"}));
    input().key("ctrl+End");
    input().type("*4");
    input().key("ctrl+s");
    ASSERT_TRUE(waitUntil([&] { return home().previewText(document) == "2+3*4 = 14\n"; }))
        << home().previewText(document) << app->describe();
    EXPECT_EQ(entries(), (std::vector<std::string>{"sums.numbera", "sums.numbera.backup"}));
    screenshot("saved-after-killed-save");
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
