// Unsaved work survives: drafts in the data folder come back at the next launch, after a quit
// and after the process was killed. Documents of the older format open edited and are saved
// over only after asking.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentDrafts.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBViewController.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormattingOptions.h"

#ifndef NUMBERA_SOURCE_DIR_DEFAULT
#define NUMBERA_SOURCE_DIR_DEFAULT ""
#endif

namespace {

class DocumentDrafts : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        settings().setObject("NBShowWelcomeWindowOnLaunch", false);
        settings().synchronize();
    }
    QString olderFixture(const QString& name) {
        const QString source =
            qEnvironmentVariable("NUMBERA_SOURCE_DIR", NUMBERA_SOURCE_DIR_DEFAULT) +
            "/tests/data/older-format/" + name;
        const QString copy = root() + "/" + name;
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(source, copy)) << source.toStdString();
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }
    QStringList drafts() { return NBDocumentDrafts::drafts(dataFolder()); }
};

TEST_F(DocumentDrafts, AnUnsavedDocumentIsKeptAsADraftAndComesBackAtTheNextLaunch) {
    NBAppController& app = launch();
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBDocumentWindow* window = app.documents().documents().front();
    QTest::keyClicks(window->textView(), "7*6");
    ASSERT_TRUE(pumpEventsUntil([&] { return drafts().size() == 1; }, 5000));
    quit();

    NBAppController& again = launch();
    ASSERT_EQ(again.documents().documents().size(), 1u);
    NBDocumentWindow* restored = again.documents().documents().front();
    EXPECT_EQ(blockTexts(*restored->textView()), QStringList({"7*6"}));
    EXPECT_EQ(answerTexts(restored->document()), QStringList({"42"}));
    EXPECT_TRUE(restored->isWindowModified());
    EXPECT_TRUE(restored->filePath().isEmpty());

    // Saving ends the draft.
    ASSERT_TRUE(restored->saveDocumentAs(root() + "/kept.numbera"));
    EXPECT_TRUE(drafts().isEmpty());
    quit();
    NBAppController& last = launch();
    ASSERT_EQ(last.documents().documents().size(), 1u);
    EXPECT_EQ(last.documents().documents().front()->displayName(), "kept.numbera");
}

TEST_F(DocumentDrafts, TheLinesFormattingIsRestoredWithTheWindow) {
    const QString path = root() + "/third.numbera";
    writeDocumentFile(path, {"1/3", "2/3"});
    NBAppController& app = launch({path});
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBDocumentController& document = app.documents().documents().front()->document();
    document.lineCollection()->lineAtIndex(1)->customFormattingOptions()->setDecimalPlaces(2);
    quit();

    NBAppController& again = launch();
    ASSERT_EQ(again.documents().documents().size(), 1u);
    NBDocumentWindow* restored = again.documents().documents().front();
    EXPECT_EQ(restored->displayName(), "third.numbera");
    EXPECT_EQ(restored->document()
                  .lineCollection()
                  ->lineAtIndex(1)
                  ->customFormattingOptions()
                  ->decimalPlaces(),
              2u);
    EXPECT_EQ(answerTexts(restored->document()).last(), "0.67");
    EXPECT_FALSE(restored->isWindowModified());
}

TEST_F(DocumentDrafts, ATitledDocumentsDraftBringsBackItsOwnViewState) {
    const QString path = root() + "/bars.numbera";
    writeDocumentFile(path, {"1+1", "2+2"});
    NBAppController& app = launch({path});
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBDocumentWindow* window = app.documents().documents().front();
    const bool numbersShown = window->viewController()->numberLineVisibile();
    const bool statisticsShown = window->viewController()->statisticsBarVisibile();
    // Changed after the file was written: the bars, the statistic and the selection.
    window->document().performCommand("toggleNumberLineShown:", -1);
    window->document().performCommand("toggleStatisticsShown:", -1);
    window->viewController()->setSelectedStatistic(3);
    window->textView()->setSelectedRange({5, 2});
    window->document().writeDraftIfNeeded();
    ASSERT_EQ(drafts().size(), 1);
    quit();

    NBAppController& again = launch();
    ASSERT_EQ(again.documents().documents().size(), 1u);
    NBDocumentWindow* restored = again.documents().documents().front();
    EXPECT_EQ(restored->displayName(), "bars.numbera");
    EXPECT_TRUE(restored->isWindowModified());
    EXPECT_EQ(restored->viewController()->numberLineVisibile(), !numbersShown);
    EXPECT_EQ(restored->viewController()->statisticsBarVisibile(), !statisticsShown);
    EXPECT_EQ(restored->viewController()->selectedStatistic(), 3);
    EXPECT_EQ(restored->textView()->selectedRange().location, 5u);
    EXPECT_EQ(restored->textView()->selectedRange().length, 2u);
}

TEST_F(DocumentDrafts, DecidingNotToSaveDropsTheDraft) {
    NBAppController& app = launch();
    NBDocumentWindow* window = app.documents().documents().front();
    QTest::keyClicks(window->textView(), "1+1");
    ASSERT_TRUE(pumpEventsUntil([&] { return drafts().size() == 1; }, 5000));
    expectModalDialog(true);
    window->close();
    ASSERT_TRUE(pumpEventsUntil([&] { return window->sheet() != nullptr; }, 2000));
    window->sheet()->findChild<QPushButton*>("dontSave")->click();
    ASSERT_TRUE(pumpEventsUntil([&] { return app.documents().documents().empty(); }, 2000));
    expectModalDialog(false);
    EXPECT_TRUE(drafts().isEmpty());
}

TEST_F(DocumentDrafts, AKilledProcessesUnsavedDocumentIsOfferedBack) {
    // The child opens an older-format document, which opens edited: its draft is written a
    // moment later, and the child is killed before it can quit.
    const QString older = olderFixture("one-two.numbera");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", configHome());
    environment.insert("XDG_DATA_HOME", dataHome());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(environment);
    child.start(NUMBERA_APP_PROGRAM, {older});
    ASSERT_TRUE(child.waitForStarted(20000));
    const bool drafted = pumpEventsUntil([&] { return drafts().size() == 1; }, 60000);
    child.kill();
    child.waitForFinished(10000);
    ASSERT_TRUE(drafted) << child.readAllStandardError().toStdString();

    NBAppController& app = launch();
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBDocumentWindow* restored = app.documents().documents().front();
    EXPECT_EQ(blockTexts(*restored->textView()), QStringList({"1", "2", ""}));
    EXPECT_EQ(QFileInfo(restored->filePath()).canonicalFilePath(),
              QFileInfo(older).canonicalFilePath());
    EXPECT_TRUE(restored->isWindowModified());
    // It still belongs to the older-format file: saving asks first.
    EXPECT_TRUE(restored->document().cameFromOlderFormat());
}

TEST_F(DocumentDrafts, AnOlderFormatDocumentOpensEditedAndOverwriteWritesTheXmlFormat) {
    const QString path = olderFixture("one-two.numbera");
    NBAppController& app = launch();
    NBDocumentWindow* window = app.documents().openDocument(path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"1", "2", ""}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"1", "2", ""}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"1", "2", ""}));
    EXPECT_TRUE(window->isWindowModified());

    expectModalDialog(true);
    EXPECT_FALSE(window->saveDocument());
    QMessageBox* sheet = window->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->objectName(), "olderFormatAlert");
    QStringList buttons;
    for (QAbstractButton* button : sheet->buttons()) buttons << button->objectName();
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({"cancel", "overwrite", "saveAs"}));
    // Cancel writes nothing.
    sheet->findChild<QPushButton*>("cancel")->click();
    pumpEventsFor(50);
    QFile unchanged(path);
    ASSERT_TRUE(unchanged.open(QIODevice::ReadOnly));
    EXPECT_TRUE(unchanged.read(8) == "bplist00");
    unchanged.close();

    EXPECT_FALSE(window->saveDocument());
    window->sheet()->findChild<QPushButton*>("overwrite")->click();
    ASSERT_TRUE(pumpEventsUntil([&] { return !window->isWindowModified(); }, 2000));
    expectModalDialog(false);
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "<?xml");
    written.close();
    // The next save asks nothing.
    QTest::keyClicks(window->textView(), "3");
    EXPECT_TRUE(window->saveDocument());
    EXPECT_EQ(window->sheet(), nullptr);
}

TEST_F(DocumentDrafts, AnOlderFormatFileWithBrokenReferencesIsAnAlert) {
    const QString path = olderFixture("bad-reference.numbera");
    NBAppController& app = launch();
    LogRecorder log;
    expectModalDialog(true);
    EXPECT_EQ(app.documents().openDocument(path), nullptr);
    ASSERT_NE(app.documents().openErrorAlert(), nullptr);
    EXPECT_TRUE(log.contains("Warning: Could not open old NB Document"));
    EXPECT_TRUE(
        log.contains("Warning: a reference of the archive points outside its object table"));
    app.documents().openErrorAlert()->close();
    expectModalDialog(false);
}

}  // namespace
