// The application's life as a user lives it, on a desktop: quitting with Ctrl+Q and starting
// again, the questions about unsaved documents, the session ending with SIGTERM, the welcome
// window and the developer's self-test. Each case checks what the user sees or keeps: the
// windows and their titles, the saved files (read back by the previewer), the log.
#include <signal.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

class LifeCycle : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    // The documents WindowState.json records for the next launch: their file paths, or
    // "draft" for one kept only as a draft.
    std::vector<std::string> recordedDocuments() {
        const QJsonDocument state =
            QJsonDocument::fromJson(QByteArray::fromStdString(readFile(home().windowStateFile())));
        std::vector<std::string> documents;
        for (const QJsonValue& value : state.object().value("documents").toArray()) {
            const QJsonObject document = value.toObject();
            const QString path = document.value("path").toString();
            documents.push_back(
                path.isEmpty() ? "draft"
                               : std::filesystem::path(path.toStdString()).filename().string());
        }
        return documents;
    }

    // Waits until no window of the program has the title.
    bool waitUntilGone(App& app, const std::string& title) {
        return waitUntil([&] {
            for (const std::string& shown : app.titles())
                if (shown == title) return false;
            return true;
        });
    }

    // Types at the end of the document in the window.
    void typeAtEnd(App& app, const std::string& title, const std::string& text) {
        activeWindowTitled(app, title);
        input().key("ctrl+End");
        input().type(text);
    }

    static std::vector<std::string> sorted(std::vector<std::string> titles) {
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    // Saves the active untitled document through the save dialog under `path`.
    void saveAs(App& app, const std::string& path) {
        input().key("ctrl+s");
        const auto dialog = app.waitForWindow(
            [](const WindowInfo& w) { return w.type == "DIALOG" || w.hasState("MODAL"); }, 20);
        ASSERT_TRUE(dialog) << app.describe();
        ASSERT_TRUE(app.waitUntilActive(dialog->id)) << app.describe();
        waitFor(0.3);
        // The file name field has the focus: a whole path replaces what it proposes.
        input().key("ctrl+a");
        input().type(path + "\n");
        ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(path); }, 20)) << app.describe();
    }
};

TEST_F(LifeCycle, CtrlQRecordsTheOpenDocumentsAndTheNextLaunchBringsThemBack) {
    const std::string first = home().writeDocument("first.numbera", {"2+3", "line1*10"});
    const std::string second = home().writeDocument("second.numbera", {"7*6"});
    auto app = launch({{first, second}});
    const WindowInfo window = activeWindowTitled(*app, "second.numbera");
    ASSERT_TRUE(app->waitForTitle("first.numbera")) << app->describe();
    screenshot("life-two-documents-before-quit");

    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(30)) << "Ctrl+Q did not end the program: " << app->describe();
    EXPECT_EQ(app->process().exitStatus(), 0) << app->describe();
    EXPECT_EQ(sorted(recordedDocuments()), sorted({"first.numbera", "second.numbera"}))
        << readFile(home().windowStateFile());

    auto again = launch();
    ASSERT_TRUE(again->waitForTitle("first.numbera")) << again->describe();
    ASSERT_TRUE(again->waitForTitle("second.numbera")) << again->describe();
    waitFor(0.5);
    EXPECT_EQ(sorted(again->titles()), sorted({"first.numbera", "second.numbera"}))
        << "no untitled document besides the restored ones: " << again->describe();
    // Each comes back at the size it had.
    const auto restored = again->waitForTitle("second.numbera");
    EXPECT_EQ(restored->client.width, window.client.width) << again->describe();
    EXPECT_EQ(restored->client.height, window.client.height) << again->describe();
    screenshot("life-two-documents-restored");
    input().key("ctrl+q");
    EXPECT_TRUE(again->waitForExit(30)) << again->describe();
}

TEST_F(LifeCycle, QuittingAsksAboutEachEditedDocumentAndDontSaveTwiceQuits) {
    const std::string first = home().writeDocument("first.numbera", {"1+1"});
    const std::string second = home().writeDocument("second.numbera", {"2+2"});
    auto app = launch({{first, second}});
    typeAtEnd(*app, "first.numbera", "+1");
    typeAtEnd(*app, "second.numbera", "+2");
    ASSERT_TRUE(app->waitForTitle("first.numbera*")) << app->describe();
    ASSERT_TRUE(app->waitForTitle("second.numbera*")) << app->describe();

    input().key("ctrl+q");
    const auto question = waitForQuestion(*app);
    ASSERT_TRUE(question) << "no question about the edited documents: " << app->describe();
    ASSERT_TRUE(app->waitUntilActive(question->id)) << app->describe();
    screenshot("life-quit-question-first");
    input().key("d");  // Don't Save
    // The first document closed unsaved; the question comes for the second.
    ASSERT_TRUE(waitUntilGone(*app, "first.numbera*")) << app->describe();
    const auto next = waitForQuestion(*app);
    ASSERT_TRUE(next);
    ASSERT_TRUE(app->waitUntilActive(next->id)) << app->describe();
    screenshot("life-quit-question-second");
    input().key("d");
    ASSERT_TRUE(app->waitForExit(30))
        << "the quit stopped after a \"Don't Save\": " << app->describe();
    EXPECT_EQ(app->process().exitStatus(), 0) << app->describe();
    // Nothing was saved, and both documents are recorded for the next launch as their files.
    EXPECT_EQ(home().previewText(first), "1+1 = 2\n");
    EXPECT_EQ(home().previewText(second), "2+2 = 4\n");
    EXPECT_EQ(sorted(recordedDocuments()), sorted({"first.numbera", "second.numbera"}));
}

TEST_F(LifeCycle, CancelOnAnyQuestionStopsTheQuitAndKeepsTheRest) {
    const std::string first = home().writeDocument("first.numbera", {"1+1"});
    const std::string second = home().writeDocument("second.numbera", {"2+2"});
    auto app = launch({{first, second}});
    typeAtEnd(*app, "first.numbera", "0");
    typeAtEnd(*app, "second.numbera", "0");
    input().key("ctrl+q");
    auto question = waitForQuestion(*app);
    ASSERT_TRUE(question) << app->describe();
    ASSERT_TRUE(app->waitUntilActive(question->id));
    input().key("Escape");  // Cancel
    ASSERT_TRUE(waitUntil([&] {
        for (const WindowInfo& window : app->windows())
            if (window.hasState("MODAL")) return false;
        return true;
    })) << app->describe();
    waitFor(1.0);
    EXPECT_TRUE(app->running()) << app->describe();
    EXPECT_EQ(app->windows().size(), 2u) << app->describe();
    // A second Ctrl+Q asks again: the quit was not left half done.
    activeWindowTitled(*app, "first.numbera*");
    input().key("ctrl+q");
    question = waitForQuestion(*app);
    ASSERT_TRUE(question) << app->describe();
    ASSERT_TRUE(app->waitUntilActive(question->id));
    input().key("s");  // Save
    ASSERT_TRUE(waitUntilGone(*app, "first.numbera*")) << app->describe();
    question = waitForQuestion(*app);
    ASSERT_TRUE(question) << app->describe();
    ASSERT_TRUE(app->waitUntilActive(question->id)) << app->describe();
    input().key("s");
    ASSERT_TRUE(app->waitForExit(30)) << app->describe();
    EXPECT_EQ(home().previewText(first), "1+10 = 11\n");
    EXPECT_EQ(home().previewText(second), "2+20 = 22\n");
}

TEST_F(LifeCycle, SigtermKeepsTheUnsavedWorkAndTheNextLaunchBringsItBack) {
    const std::string titled = home().writeDocument("titled.numbera", {"abc", "def"});
    auto app = launch({{titled}});
    activeWindowTitled(*app, "titled.numbera");
    // Saved with the caret at the start, then edited at the end of the second line.
    input().key("ctrl+Home");
    input().key("ctrl+s");
    input().key("ctrl+End");
    input().type("X");
    input().key("ctrl+n");
    activeWindowTitled(*app, "Untitled");
    input().type("12*3\n7+8");
    ASSERT_TRUE(app->waitForTitle("Untitled*")) << app->describe();
    ASSERT_TRUE(app->waitForTitle("titled.numbera*")) << app->describe();
    screenshot("life-before-sigterm");

    app->process().sendSignal(SIGTERM);
    ASSERT_TRUE(app->waitForExit(10)) << "SIGTERM did not end the program: " << app->describe();
    EXPECT_EQ(app->process().exitStatus(), 0) << app->describe();
    EXPECT_EQ(sorted(recordedDocuments()), sorted({"draft", "titled.numbera"}))
        << readFile(home().windowStateFile());
    // Nothing was saved over the file.
    EXPECT_EQ(home().previewText(titled), "abc\ndef\n");

    auto again = launch();
    ASSERT_TRUE(again->waitForTitle("titled.numbera*")) << again->describe();
    activeWindowTitled(*again, "Untitled*");
    screenshot("life-after-sigterm");
    // The untitled work is back: saved, it holds what was typed.
    const std::string saved = home().path() + "/kept.numbera";
    ASSERT_NO_FATAL_FAILURE(saveAs(*again, saved));
    EXPECT_EQ(home().previewText(saved), "12*3 = 36\n7+8 = 15\n");

    // The titled document's draft brings its own caret back (after the X, not where the
    // file was saved): what is typed now lands there.
    activeWindowTitled(*again, "titled.numbera*");
    input().type("Y");
    input().key("ctrl+s");
    ASSERT_TRUE(again->waitForTitle("titled.numbera", 10) &&
                waitUntil([&] { return home().previewText(titled) == "abc\ndefXY\n"; }))
        << home().previewText(titled) << again->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(again->waitForExit(30)) << again->describe();
}

TEST_F(LifeCycle, CtrlQQuitsFromTheWelcomeWindow) {
    // A first launch: the welcome window takes the place of the first document.
    home().setSetting("NBShowWelcomeWindowOnLaunch", "true");
    auto app = launch();
    const WindowInfo welcome = activeWindowTitled(*app, "Welcome to Numbera");
    screenshot("life-welcome-window", &welcome);
    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(20)) << "Ctrl+Q on the welcome window: " << app->describe();
    EXPECT_EQ(app->process().exitStatus(), 0);
}

TEST_F(LifeCycle, ClosingTheWelcomeWindowGoesOnAsContinue) {
    home().setSetting("NBShowWelcomeWindowOnLaunch", "true");
    auto app = launch();
    const WindowInfo welcome = activeWindowTitled(*app, "Welcome to Numbera");
    x().close(welcome.id);
    const auto document = app->waitForTitle("Untitled", 20);
    ASSERT_TRUE(document) << "closing the welcome window left " << app->describe();
    EXPECT_EQ(app->titles(), std::vector<std::string>{"Untitled"}) << app->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(20)) << app->describe();
}

TEST_F(LifeCycle, CtrlQQuitsFromTheQuickReferenceAndThePreferences) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    // Help ▸ Numbera Quick Reference.
    input().key("F1");
    const WindowInfo reference = activeWindowTitled(*app, "Quick Reference");
    screenshot("life-quick-reference", &reference);
    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(20)) << "Ctrl+Q on the quick reference: " << app->describe();

    auto again = launch();
    activeWindowTitled(*again, "Untitled");
    chooseFromMenu(1, -1);  // Edit ▸ Preferences…, the menu's last item
    const WindowInfo preferences = activeWindowOtherThan(*again, "Untitled");
    screenshot("life-preferences", &preferences);
    input().key("ctrl+q");
    ASSERT_TRUE(again->waitForExit(20)) << "Ctrl+Q on the preferences: " << again->describe();
}

TEST_F(LifeCycle, CtrlQQuitsFromTheNumbersWindowAndTheDisclaimer) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    chooseFromMenu(4, 1);  // Window ▸ Numbers, the item after Minimize
    const WindowInfo numbers = activeWindowOtherThan(*app, "Untitled");
    screenshot("life-numbers-window", &numbers);
    input().key("ctrl+q");
    ASSERT_TRUE(app->waitForExit(20)) << "Ctrl+Q on the Numbers window: " << app->describe();

    auto again = launch();
    activeWindowTitled(*again, "Untitled");
    chooseFromMenu(-1, -3);  // Help ▸ Disclaimer, three items up from its end
    const WindowInfo disclaimer = activeWindowTitled(*again, "Disclaimer");
    screenshot("life-disclaimer", &disclaimer);
    input().key("ctrl+q");
    ASSERT_TRUE(again->waitForExit(20)) << "Ctrl+Q on the disclaimer: " << again->describe();
}

TEST_F(LifeCycle, ALaunchWithoutServicesAndTypingLogNothing) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    input().type("1+1\n2*3\n\n4 kg in g\n");
    ASSERT_TRUE(app->waitForTitle("Untitled*")) << app->describe();
    waitFor(1.5);
    input().key("ctrl+q");
    ASSERT_NO_FATAL_FAILURE(answerQuestion(*app, "d"));
    ASSERT_TRUE(app->waitForExit(30)) << app->describe();
    const std::string log = app->log();
    // No service is configured, so none was asked; and no row's height was asked before the
    // text was laid out.
    EXPECT_EQ(log.find("Connection error"), std::string::npos) << log;
    EXPECT_EQ(log.find("calculated height"), std::string::npos) << log;
    EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
}

TEST_F(LifeCycle, APingTellsARunningEventLoopFromAStalledOne) {
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    EXPECT_TRUE(app->answersPing()) << app->describe();
    // Stopped, the program keeps its windows and titles but answers nothing.
    app->process().sendSignal(SIGSTOP);
    EXPECT_FALSE(app->answersPing(1.0));
    EXPECT_EQ(app->titles(), std::vector<std::string>{"Untitled"});
    app->process().sendSignal(SIGCONT);
    EXPECT_TRUE(app->answersPing(5)) << app->describe();
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(20)) << app->describe();
}

TEST_F(LifeCycle, TheSelfTestRunsToItsLastLineAndTheApplicationEndsAfterIt) {
    home().setSetting("NBDeveloperMode", "true");
    auto app = launch();
    activeWindowTitled(*app, "Untitled");
    chooseFromMenu(5, 0);  // Developer ▸ Run Asynchronous App Tests, its first item
    ASSERT_TRUE(app->waitForExit(120)) << "the self-test never ended: " << app->describe();
    EXPECT_EQ(app->process().exitStatus(), 0) << app->describe();
    const std::string log = app->log();
    const std::string finished = "Asynchronous Test Finished\n" + std::string(67, '-') + "\n\n";
    ASSERT_NE(log.find(finished), std::string::npos) << log;
    // In order: the documents opened and closed, the deallocation test, then the end.
    const size_t opened = log.find("Opening Document 19 of 20");
    const size_t closing = log.find("Closing windows");
    const size_t freed = log.find("Starting Deallocation Success Test");
    ASSERT_NE(opened, std::string::npos) << log;
    EXPECT_LT(opened, closing) << log;
    EXPECT_LT(closing, freed) << log;
    EXPECT_LT(freed, log.find(finished)) << log;
    EXPECT_EQ(log.find("Assertion failure"), std::string::npos) << log;
}

}  // namespace
