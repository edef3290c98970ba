#include <string>
#include <vector>

#include "AppRulesTestSupport.h"
#include "NBAttributesController.h"
#include "NBGlobalActionTexts.h"
#include "NBInterfaceRules.h"
#include "NBObservableController.h"
#include "NBStandardAppController.h"
#include "NKFunctions.h"

namespace {

// Observers of two messages; the plain observer answers neither.
struct Refreshing {
    virtual ~Refreshing() = default;
    virtual void refresh() = 0;
};
struct Renaming {
    virtual ~Renaming() = default;
    virtual void rename(const std::string& name) = 0;
};

struct Listener : NBObserver, Refreshing, Renaming {
    explicit Listener(std::vector<std::string>& log, std::string name)
        : m_log(log), m_name(std::move(name)) {}
    void refresh() override { m_log.push_back(m_name + " refresh"); }
    void rename(const std::string& name) override { m_log.push_back(m_name + " " + name); }
    std::vector<std::string>& m_log;
    std::string m_name;
};

struct PlainObserver : NBObserver {};

TEST(ObservableController, ObserversHearMessagesInListOrder) {
    std::vector<std::string> log;
    Listener first(log, "first"), second(log, "second");
    PlainObserver plain;
    NBObservableController controller;
    controller.addObserver(&first);
    controller.addObserver(&plain);
    controller.addObserver(&second);
    controller.notifyObserversUsingSelector(&Refreshing::refresh);
    controller.notifyObserversUsingSelector(&Renaming::rename, std::string("x"));
    EXPECT_EQ(log,
              (std::vector<std::string>{"first refresh", "second refresh", "first x", "second x"}));
}

TEST(ObservableController, ADuplicateIsWarnedAboutAndHearsTwiceUntilRemoved) {
    std::vector<std::string> log;
    Listener listener(log, "l");
    NBObservableController controller;
    CapturedDiagnostics diagnostics;
    controller.addObserver(&listener);
    EXPECT_TRUE(diagnostics.messages().empty());
    controller.addObserver(&listener);
    EXPECT_EQ(diagnostics.count("Warning: Adding an observer multiple times"), 1u);
    controller.notifyObserversUsingSelector(&Refreshing::refresh);
    EXPECT_EQ(log.size(), 2u);

    controller.removeObserver(&listener);
    EXPECT_TRUE(controller.observers().empty());
    EXPECT_EQ(diagnostics.count("Warning: Removing an unlisted observer"), 0u);
    controller.removeObserver(&listener);
    EXPECT_EQ(diagnostics.count("Warning: Removing an unlisted observer"), 1u);
    controller.notifyObserversUsingSelector(&Refreshing::refresh);
    EXPECT_EQ(log.size(), 2u);
}

// An observer may leave the list while it is being told.
struct Leaving : NBObserver, Refreshing {
    NBObservableController* controller = nullptr;
    int heard = 0;
    void refresh() override {
        ++heard;
        controller->removeObserver(this);
    }
};

TEST(ObservableController, AnObserverMayRemoveItselfWhileTold) {
    NBObservableController controller;
    Leaving a, b;
    a.controller = b.controller = &controller;
    controller.addObserver(&a);
    controller.addObserver(&b);
    controller.notifyObserversUsingSelector(&Refreshing::refresh);
    EXPECT_EQ(a.heard, 1);
    EXPECT_EQ(b.heard, 1);
    EXPECT_TRUE(controller.observers().empty());
}

struct RecordingLife : NBControllerLife {
    RecordingLife(std::vector<std::string>& log, std::string name) : log(log), name(name) {}
    void beginLife() override { log.push_back("begin " + name); }
    void endLife() override { log.push_back("end " + name); }
    std::vector<std::string>& log;
    std::string name;
};

struct SilentLife : NBControllerLife {};

struct TestAppController : NBStandardAppController {
    using NBStandardAppController::NBStandardAppController;
    std::vector<NBControllerLife*> controllers() override { return lives; }
    std::vector<NBControllerLife*> lives;
};

TEST(StandardAppController, LivesBeginInOrderAndEndInReverse) {
    std::vector<std::string> log;
    RecordingLife defaults(log, "defaults"), colours(log, "colours"), menu(log, "menu");
    SilentLife mathKeys;
    ManualClock clock(1234.5);
    TestAppController app(&clock);
    app.lives = {&defaults, &colours, nullptr, &mathKeys, &menu};
    app.beginControllerLives();
    app.endControllerLives();
    EXPECT_EQ(log, (std::vector<std::string>{"begin defaults", "begin colours", "begin menu",
                                             "end menu", "end colours", "end defaults"}));
    EXPECT_DOUBLE_EQ(app.launchTime(), 1234.5);
}

TEST(StandardAppController, InfoDictionaryNamesTheApplication) {
    const NKApplicationIdentity saved = NKGetApplicationIdentity();
    NKSetApplicationIdentity({u"2.1", u"app.numbera", u"210"});
    TestAppController app;
    const auto info = app.appInfoDictionary();
    EXPECT_EQ(info.at(u"CreatorVersion"), u"2.1");
    EXPECT_EQ(info.at(u"CreatorID"), u"app.numbera");
    EXPECT_EQ(info.at(u"CreatorBuild"), u"210");
    EXPECT_GT(app.launchTime(), 0);
    NKSetApplicationIdentity(saved);
}

TEST(AttributesController, StoresValuesByKeyForTheWholeProcess) {
    auto& attributes = NBAttributesController::sharedInstance();
    EXPECT_EQ(&attributes, &NBAttributesController::sharedInstance());
    EXPECT_FALSE(attributes.valueForKey("panel").has_value());
    attributes.setValue(std::string("numerals"), "panel");
    EXPECT_EQ(std::any_cast<std::string>(attributes.valueForKey("panel")), "numerals");
    EXPECT_EQ(attributes.dataSource().count("panel"), 1u);
    attributes.setValue(std::any(), "panel");
    EXPECT_FALSE(attributes.valueForKey("panel").has_value());
}

std::string decoded(const std::string& escaped) {
    std::string out;
    for (size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '%' && i + 2 < escaped.size()) {
            out.push_back(static_cast<char>(std::stoi(escaped.substr(i + 1, 2), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(escaped[i]);
        }
    }
    return out;
}

class GlobalActionTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        m_saved = NKGetApplicationIdentity();
        NKSetApplicationIdentity({u"2.1", u"app.numbera", u"210"});
    }
    void TearDown() override { NKSetApplicationIdentity(m_saved); }
    NKApplicationIdentity m_saved;
};

TEST_F(GlobalActionTexts, VersionTextNamesVersionAndBuild) {
    EXPECT_EQ(NBGlobalActionTexts::versionText(), u"2.1 (Build 210)");
    NKSetApplicationIdentity({});
    EXPECT_EQ(NBGlobalActionTexts::versionText(), u" (Build )");
}

TEST_F(GlobalActionTexts, FeedbackMailCarriesSubjectAndBodyEscaped) {
    const std::string url = NBGlobalActionTexts::feedbackMailURL();
    const std::string prefix = "mailto:feedback@numbera.app?SUBJECT=Numbera%202%20Feedback&BODY=";
    ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
    const std::string body = url.substr(prefix.size());
    EXPECT_EQ(body.find_first_of(" \n&?=#"), std::string::npos) << body;
    EXPECT_EQ(decoded(body), "Feedback for Numbera 2.1 (Build 210):\n\ninsert feedback here...");
}

TEST_F(GlobalActionTexts, BugReportNamesTheSystemAndVersion) {
    const std::string url = NBGlobalActionTexts::bugReportMailURL();
    const std::string prefix = "mailto:bugs@numbera.app?SUBJECT=Numbera%202%20Bug%20Report&BODY=";
    ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
    const std::string body = decoded(url.substr(prefix.size()));
    EXPECT_EQ(body.rfind("Hello,\n\nI seem to have found a bug!\n\nShort description\n", 0), 0u);
    const std::string system = NBUtf8(operatingSystemVersion());
    const std::string processor = NBUtf8(processorType());
    const std::string ending =
        "My Computer\nMac OS " + system + "\nProcessor: " + processor + "\nNumbera 2.1 (Build 210)";
    ASSERT_GE(body.size(), ending.size());
    EXPECT_EQ(body.substr(body.size() - ending.size()), ending);
}

TEST(GlobalActionAddresses, IntroductionMovieIsOnTheWebHost) {
    EXPECT_EQ(NBGlobalActionTexts::introductionMovieURL(),
              "https://numbera.app/numbera/videos/introduction");
}

}  // namespace
