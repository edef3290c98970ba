// numbera://quickreference/... shows the quick reference, whether it comes in-process or from
// a second launch that hands it to the running instance and exits. Other hosts are ignored.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include "AppTestFixture.h"
#include "NBAppController.h"
#include "NBDialogsController.h"
#include "NBDocumentManager.h"
#include "NBInstanceChannel.h"

namespace {

class URLHandling : public AppTest {
  protected:
    // Runs the numbera program over the fixture's folders while this process keeps serving
    // its events; answers the exit status (-1 when it did not exit normally in time).
    int runSecondInstance(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_DATA_HOME", dataHome());
        environment.insert("XDG_CONFIG_HOME", configHome());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(NUMBERA_APP_PROGRAM, arguments);
        const bool finished =
            pumpEventsUntil([&] { return process.state() == QProcess::NotRunning; }, 60000);
        if (!finished) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        m_secondOutput = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    QByteArray m_secondOutput;
};

TEST_F(URLHandling, OnlyTheQuickReferenceHostOpensTheReferenceWindow) {
    NBAppController& app = launch();
    struct Row {
        const char* url;
        bool opens;
    };
    const Row rows[] = {
        {"numbera://quickreference/x", true},
        {"numbera://quickreference", true},
        {"numbera://quickreference/units?section=2#top", true},
        {"numbera://other/x", false},
        {"numbera://", false},
        {"not a url", false},
    };
    for (const Row& row : rows) {
        app.dialogs().hideReferenceWindow();
        app.handleGetURLEvent(row.url);
        EXPECT_EQ(app.dialogs().referenceWindowVisible(), row.opens) << row.url;
    }
}

TEST_F(URLHandling, ACommandLineURLOpensTheReferenceWindowAfterTheLaunch) {
    NBAppController& app = launch({"numbera://quickreference/units"});
    EXPECT_TRUE(app.dialogs().referenceWindowVisible());
}

TEST_F(URLHandling, ASecondInstanceHandsItsURLToTheRunningOneAndExits) {
    NBAppController& app = launch();
    NBInstanceChannel channel(NBInstanceChannel::serverNameForDataFolder(dataFolder()));
    ASSERT_TRUE(channel.listen());
    QObject::connect(&channel, &NBInstanceChannel::urlReceived, &app,
                     &NBAppController::handleGetURLEvent);
    QStringList received;
    QObject::connect(&channel, &NBInstanceChannel::urlReceived,
                     [&](const QString& url) { received << url; });

    EXPECT_EQ(runSecondInstance({"numbera://other/x"}), 0) << m_secondOutput.toStdString();
    ASSERT_TRUE(pumpEventsUntil([&] { return received.size() == 1; }));
    EXPECT_FALSE(app.dialogs().referenceWindowVisible());

    EXPECT_EQ(runSecondInstance({"numbera://quickreference/x"}), 0) << m_secondOutput.toStdString();
    ASSERT_TRUE(pumpEventsUntil([&] { return app.dialogs().referenceWindowVisible(); }));
    EXPECT_EQ(received, QStringList({"numbera://other/x", "numbera://quickreference/x"}));
    saveScreenshot(app.dialogs().referenceWindow(), "reference-window");
}

TEST_F(URLHandling, ASecondInstanceWithoutArgumentsAsksTheRunningOneToComeForward) {
    NBAppController& app = launch();
    app.dialogs().continueToNumbera();
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBInstanceChannel channel(NBInstanceChannel::serverNameForDataFolder(dataFolder()));
    ASSERT_TRUE(channel.listen());
    int activations = 0;
    QObject::connect(&channel, &NBInstanceChannel::activationRequested, [&] {
        ++activations;
        app.reopen();
    });
    EXPECT_EQ(runSecondInstance({}), 0) << m_secondOutput.toStdString();
    ASSERT_TRUE(pumpEventsUntil([&] { return activations == 1; }));
    // A visible document is brought forward; no second one is made.
    EXPECT_EQ(app.documents().documents().size(), 1u);
}

TEST(InstanceChannel, ArgumentsBecomeOneMessageLineEach) {
    const QString here = QDir::currentPath();
    EXPECT_EQ(NBInstanceChannel::messageLinesForArguments({}), QStringList({"activate"}));
    EXPECT_EQ(
        NBInstanceChannel::messageLinesForArguments({"numbera://quickreference/x", "a.numbera",
                                                     "file:///tmp/b.numbera", "--x", "two\nlines"}),
        QStringList({"url numbera://quickreference/x", "open " + here + "/a.numbera",
                     "open /tmp/b.numbera"}));
}

}  // namespace
