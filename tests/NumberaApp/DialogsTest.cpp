// The quick-reference window remembers its section; the welcome window's buttons; a missing
// page is a log line and leaves its window hidden.
#include <QDesktopServices>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

#include "AppTestFixture.h"
#include "Diagnostics.h"
#include "NBAppController.h"
#include "NBDialogsController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBGlobalActionController.h"
#include "NBUserDefaultsController.h"

namespace {

class Dialogs : public AppTest {};

// Receives the URLs the application hands to the desktop.
class URLRecorder : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(Dialogs, TheReferenceWindowReturnsToTheSectionShownWhenItClosed) {
    NBAppController& app = launch();
    NBDialogsController& dialogs = app.dialogs();
    dialogs.showReferenceWindow();
    ASSERT_TRUE(dialogs.referenceWindowVisible());
    EXPECT_EQ(dialogs.referenceWindow()->windowTitle(), "Quick Reference");
    const auto first = dialogs.currentSectionID();
    ASSERT_TRUE(first.has_value());
    // Scroll to the page's last section, then close.
    QString last;
    for (const char* candidate : {"currencies", "units", "numbers"})
        if (dialogs.showSection(candidate)) {
            last = candidate;
            break;
        }
    ASSERT_FALSE(last.isEmpty());
    pumpEventsFor(20);
    const auto shown = dialogs.currentSectionID();
    ASSERT_TRUE(shown.has_value());
    EXPECT_NE(*shown, *first);
    dialogs.referenceWindow()->close();
    EXPECT_EQ(NBUserDefaultsController::stringForKey("NBReferenceWindowSelectedSection"),
              shown->toStdU16String());
    quit();

    NBAppController& again = launch();
    again.dialogs().showReferenceWindow();
    pumpEventsFor(20);
    EXPECT_EQ(again.dialogs().currentSectionID(), shown);
    EXPECT_GT(again.dialogs().referenceView()->verticalScrollBar()->value(), 0);
}

TEST_F(Dialogs, AStoredSectionThatIsNoPlainNameIsIgnored) {
    settings().setObject("NBReferenceWindowSelectedSection", std::u16string(u"units'); alert('x"));
    NBAppController& app = launch();
    app.dialogs().showReferenceWindow();
    ASSERT_TRUE(app.dialogs().referenceWindowVisible());
    EXPECT_EQ(app.dialogs().referenceView()->verticalScrollBar()->value(), 0);
}

TEST_F(Dialogs, AMissingReferencePageIsALogLineAndTheWindowStaysHidden) {
    QFile::remove(resourcesFolder() + "/Reference/reference_index.html");
    LogRecorder log;
    NBAppController& app = launch();
    app.dialogs().showReferenceWindow();
    EXPECT_FALSE(app.dialogs().referenceWindowVisible());
    EXPECT_TRUE(log.contains("Warning! Could not find the quick reference page"));
}

TEST(ReferenceWindow, FixedWidthsForThreeLanguages) {
    EXPECT_EQ(NBDialogsController::referenceWindowWidthForLanguage("ja"), 558);
    EXPECT_EQ(NBDialogsController::referenceWindowWidthForLanguage("de"), 500);
    EXPECT_EQ(NBDialogsController::referenceWindowWidthForLanguage("ru"), 560);
    EXPECT_EQ(NBDialogsController::referenceWindowWidthForLanguage("en"), std::nullopt);
    EXPECT_EQ(NBDialogsController::referenceWindowWidthForLanguage("fr"), std::nullopt);
}

TEST_F(Dialogs, TheGermanReferenceWindowHasItsFixedWidth) {
    settings().setObject("NBContentLanguage", int64_t(3));
    NBAppController& app = launch();
    EXPECT_EQ(app.dialogs().referenceWindow()->minimumWidth(), 500);
    EXPECT_EQ(app.dialogs().referenceWindow()->maximumWidth(), 500);
}

TEST_F(Dialogs, TheWelcomeWindowOpensTheExampleAndTheDisclaimer) {
    NBAppController& app = launch();
    QWidget* welcome = app.dialogs().welcomeWindow();
    ASSERT_NE(welcome, nullptr);
    welcome->findChild<QPushButton*>("disclaimerButton")->click();
    ASSERT_NE(app.dialogs().disclaimerWindow(), nullptr);
    EXPECT_TRUE(app.dialogs().disclaimerWindow()->isVisible());
    EXPECT_FALSE(
        app.dialogs().disclaimerWindow()->findChild<QTextBrowser*>()->document()->isEmpty());

    welcome->findChild<QPushButton*>("openExampleButton")->click();
    EXPECT_FALSE(welcome->isVisible());
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBDocumentWindow* example = app.documents().documents().front();
    EXPECT_EQ(example->displayName(), "General Examples.numbera");
    EXPECT_EQ(example->selectedLocation(), 0);
    saveScreenshot(example, "example-document-placeholder");
}

TEST_F(Dialogs, AMissingExampleDocumentIsALogLine) {
    QFile::remove(resourcesFolder() + "/General Examples.numbera");
    LogRecorder log;
    NBAppController& app = launch();
    EXPECT_EQ(app.globalActions().openExampleDocument(), nullptr);
    EXPECT_TRUE(app.documents().documents().empty());
    EXPECT_TRUE(log.contains("Warning! Could not find general example document"));
}

TEST_F(Dialogs, MailAndWebCommandsHandTheirAddressesToTheDesktop) {
    URLRecorder recorder;
    for (const char* scheme : {"mailto", "https"})
        QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    NBAppController& app = launch();
    app.globalActions().sendFeedback();
    app.globalActions().submitBugReport();
    app.globalActions().goToWebsite();
    app.globalActions().watchIntroductionMovie();
    for (const char* scheme : {"mailto", "https"}) QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(recorder.urls.size(), 4);
    EXPECT_TRUE(recorder.urls[0].toString().startsWith("mailto:feedback@numbera.app?"));
    EXPECT_TRUE(
        recorder.urls[0].toString(QUrl::FullyEncoded).contains("SUBJECT=Numbera%202%20Feedback"))
        << recorder.urls[0].toString(QUrl::FullyEncoded).toStdString();
    EXPECT_TRUE(recorder.urls[1].toString().startsWith("mailto:bugs@numbera.app?"));
    EXPECT_EQ(recorder.urls[2].toString(), "https://numbera.app");
    EXPECT_EQ(recorder.urls[3].toString(), "https://numbera.app/numbera/videos/introduction");
}

TEST_F(Dialogs, TheAboutPanelThanksTheUser) {
    NBAppController& app = launch();
    app.globalActions().showAboutPanel();
    ASSERT_NE(app.globalActions().aboutPanel(), nullptr);
    const QString text =
        app.globalActions().aboutPanel()->findChild<QTextBrowser*>("aboutCredits")->toPlainText();
    EXPECT_TRUE(text.contains("We'd also like to thank " +
                              NBGlobalActionController::userFullName() + " for using Numbera."))
        << text.toStdString();
    EXPECT_EQ(NBGlobalActionController::creditsHTML("<html><body><p>A</p></body></html>", "<B&>"),
              "<html><body><p>A</p><p> We'd also like to thank &lt;B&amp;&gt; for using "
              "Numbera.</p></body></html>");
}

}  // namespace

#include "DialogsTest.moc"
