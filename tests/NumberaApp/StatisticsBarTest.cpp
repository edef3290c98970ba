// The statistics bar: the chosen statistic of the whole document or of the selected lines on
// its pop-up button, the lines it covers beside it, the menu that chooses and copies it, and
// the window growing and shrinking by the bar.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTextCursor>

#include "FrameTestSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBDocumentWindowRules.h"
#include "NBKettraView.h"
#include "NBTextView.h"
#include "NBTotalsPopupButton.h"
#include "NBUserDefaultsController.h"
#include "NBViewController.h"
#include "QtSettings.h"

namespace {

using StatisticsBar = FrameTest;

QAction* statisticAction(NBViewController& frame, int32_t tag) {
    for (QAction* action : frame.statsMenu()->actions())
        if (action->isCheckable() && action->data().toInt() == tag) return action;
    return nullptr;
}

TEST_F(StatisticsBar, TheTotalCoversTheSelectedLinesAndNamesThem) {
    NBDocumentWindow* window = openWindow({"1", "10", "20", "30"});
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    NBTotalsPopupButton* button = bar.statisticsButton();
    // Nothing selected: the whole document.
    selectLines(window, 3, 3);
    EXPECT_EQ(button->text(), "Total:  61");
    EXPECT_TRUE(bar.statisticsSelectionDetailLabel()->text().isEmpty());
    EXPECT_FALSE(bar.statisticsSelectionDetailLabel()->isVisible());

    selectLines(window, 1, 3);
    EXPECT_EQ(button->text(), "Total:  60");
    EXPECT_EQ(button->leftComponent(), "Total");
    EXPECT_EQ(button->rightCompontent(), "60");
    EXPECT_EQ(bar.statisticsSelectionDetailLabel()->text(), " (Lines 2-4)");
    EXPECT_TRUE(bar.statisticsSelectionDetailLabel()->isVisible());
    // The value begins just left of the answer column; the detail follows the button.
    const int answersX = window->answerColumn()->mapTo(window, QPoint(0, 0)).x();
    const QRect buttonFrame = button->geometry();
    EXPECT_LT(button->mapTo(window, QPoint(0, 0)).x(), answersX);
    EXPECT_GE(bar.statisticsSelectionDetailLabel()->x(), buttonFrame.right() - 2);
    saveScreenshot(window, "frame-statistics-of-selected-lines");
}

TEST_F(StatisticsBar, ChoosingAStatisticShowsItStoresItAndEditsTheDocument) {
    NBDocumentWindow* window = openWindow({"2", "4", "6"});
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    EXPECT_FALSE(window->isWindowModified());
    QAction* average = statisticAction(bar, NBStatisticAverage);
    ASSERT_NE(average, nullptr);
    EXPECT_EQ(average->text(), "Average: 4");
    average->trigger();
    EXPECT_EQ(bar.statisticsButton()->text(), "Average:  4");
    EXPECT_EQ(bar.currentStatistic(), NBStatisticAverage);
    EXPECT_EQ(std::get<int64_t>(*settings().objectForKey(NBChosenStatistic)), 2);
    EXPECT_TRUE(window->isWindowModified());

    // The menu checks the chosen statistic and offers to copy it by its long name.
    bar.updateStatisticsMenu();
    EXPECT_TRUE(average->isChecked());
    EXPECT_FALSE(statisticAction(bar, NBStatisticTotal)->isChecked());
    EXPECT_EQ(bar.copyStatisticAction()->text(), "Copy Average");
    bar.copyStatisticAction()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "4");

    statisticAction(bar, NBStatisticStandardDeviation)->trigger();
    EXPECT_EQ(bar.statisticsButton()->text(), "Std. Deviation:  1.63")
        << bar.statisticsButton()->text().toStdString();
    bar.updateStatisticsMenu();
    EXPECT_EQ(bar.copyStatisticAction()->text(), "Copy Standard Deviation");

    statisticAction(bar, NBStatisticTotal)->trigger();
    bar.updateStatisticsMenu();
    EXPECT_EQ(bar.copyStatisticAction()->text(), "Copy Total");
}

TEST_F(StatisticsBar, TheDocumentFileKeepsTheStatisticAndTheAreasShown) {
    NBDocumentWindow* window = openWindow({"2", "4", "6"});
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    statisticAction(bar, NBStatisticAverage)->trigger();
    bar.setFormattingBarVisible(true, false);
    bar.setLineNumbersVisible(false, false);
    const QString path = root() + "/kept.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    window->close();
    pumpEventsFor(20);
    // The defaults say otherwise; the file wins.
    settings().setObject(NBChosenStatistic, int64_t{1});
    NBDocumentWindow* reopened = app()->documents().openDocument(path);
    ASSERT_NE(reopened, nullptr);
    NBViewController& again = frame(reopened);
    EXPECT_EQ(again.currentStatistic(), NBStatisticAverage);
    EXPECT_EQ(again.statisticsButton()->text(), "Average:  4");
    EXPECT_TRUE(again.formattingBarVisible());
    EXPECT_FALSE(again.numberLineVisibile());
}

TEST_F(StatisticsBar, WithoutAValueThePlaceholderShowsAndNothingCanBeCopied) {
    NBDocumentWindow* window = openWindow({"just words", "more words"});
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    EXPECT_EQ(bar.statisticsButton()->text(), "Statistics");
    EXPECT_TRUE(bar.statisticsButton()->isShowingPlaceholder());
    bar.updateStatisticsMenu();
    EXPECT_FALSE(bar.copyStatisticAction()->isEnabled());
}

TEST_F(StatisticsBar, TheTotalFollowsEditsOfTheText) {
    NBDocumentWindow* window = openWindow({"5", "7"});
    ASSERT_NE(window, nullptr);
    window->textView()->moveCursor(QTextCursor::End);
    QTest::keyClick(window->textView(), Qt::Key_Return);
    QTest::keyClicks(window->textView(), "8");
    EXPECT_TRUE(pumpEventsUntil(
        [&] { return frame(window).statisticsButton()->text() == "Total:  20"; }, 3000))
        << frame(window).statisticsButton()->text().toStdString();
}

// New number signs (or rates, or prices) reach the open documents through the environment's
// refresh: the statistic shows the new answers at once, with no keystroke in the document.
TEST_F(StatisticsBar, TheTotalFollowsARefreshOfTheEnvironment) {
    NBDocumentWindow* window = openWindow({"1.5", "2"});
    ASSERT_NE(window, nullptr);
    NBTotalsPopupButton* button = frame(window).statisticsButton();
    EXPECT_EQ(button->text(), "Total:  3.5");
    NBUserDefaultsController::setValueForKey("NBThousandsSeperatorSign", std::u16string(u"."));
    NBUserDefaultsController::setValueForKey("NBDecimalPointSign", std::u16string(u","));
    window->document().refreshForEnvironmentChange();
    EXPECT_EQ(button->text(), "Total:  3,5");
    saveScreenshot(window, "frame-statistics-after-new-signs");
}

// A total over thousands of lines takes longer than a keystroke may: typing goes on, and the
// total follows once it pauses.
TEST_F(StatisticsBar, ALongDocumentsTotalFollowsOnceTypingPauses) {
    NBDocumentWindow* window = openWindow(QStringList(3000, QStringLiteral("1")));
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    EXPECT_EQ(bar.statisticsButton()->text(), "Total:  3,000");
    window->textView()->moveCursor(QTextCursor::End);
    QTest::keyClicks(window->textView(), "1");
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(bar.statisticWaitsForAPause());
    EXPECT_TRUE(
        pumpEventsUntil([&] { return bar.statisticsButton()->text() == "Total:  3,010"; }, 3000))
        << bar.statisticsButton()->text().toStdString();
    EXPECT_FALSE(bar.statisticWaitsForAPause());
}

TEST_F(StatisticsBar, HidingAndShowingTheBarGivesTheWindowItsFrameBack) {
    NBDocumentWindow* window = openWindow({"1", "2"});
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    const QRect before = window->geometry();
    const QSize panes = window->kettraView()->size();
    bar.setStatisticsBarVisible(false, true);
    pumpEventsFor(20);
    EXPECT_EQ(window->height(), before.height() - NBViewController::kBottomBarHeight);
    EXPECT_EQ(window->kettraView()->size(), panes);
    EXPECT_FALSE(bar.statisticsButton()->isVisible());
    LogRecorder log;
    bar.setStatisticsBarVisible(false, false);
    EXPECT_TRUE(log.contains(
        "Warning: -[NBViewController(ViewToggling) setStatisticsBarVisible:withAnimation:] "
        "[Line 35] Stats Bar already in requested visibility state"));
    bar.setStatisticsBarVisible(true, true);
    pumpEventsFor(20);
    EXPECT_EQ(window->geometry(), before);
    EXPECT_EQ(window->kettraView()->size(), panes);
    EXPECT_TRUE(bar.statisticsButton()->isVisible());
}

}  // namespace
