// The formatting bar: its values follow the selected lines (mixed for a mixed selection), a
// choice is written into every selected line, the decimal-places field checks what is typed,
// a global default reaches every line once, and a narrow window hides sections from the
// right behind an ellipsis.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "DocumentWindowSupport.h"
#include "FrameTestSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentWindow.h"
#include "NBExpandingStringView.h"
#include "NBFormattingBarView.h"
#include "NBKettraView.h"
#include "NBLineFormattingController.h"
#include "NBLineFormattingRules.h"
#include "NBNumberLineView.h"
#include "NBTextView.h"
#include "NBViewController.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormattingOptions.h"
#include "NotificationCenter.h"
#include "QtSettings.h"

namespace {

using LineFormattingBar = FrameTest;

std::shared_ptr<NCLine> lineAt(NBDocumentWindow* window, uint64_t index) {
    return window->document().lineCollection()->lineAtIndex(index);
}

TEST_F(LineFormattingBar, AMixedBaseShowsMixedAndAChoiceReachesEverySelectedLine) {
    NBDocumentWindow* window = openWindow({"10", "255", "4096", "7"});
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    frame.setFormattingBarVisible(true, false);
    NBLineFormattingController* bar = frame.formattingBarController();
    // The third line in hexadecimal.
    selectLines(window, 2, 2);
    bar->setLineBase(2);
    EXPECT_EQ(lineAt(window, 2)->customFormattingOptions()->displayBase, 16);
    const QString hex = answerTexts(window->document())[2];

    selectLines(window, 0, 2);
    EXPECT_EQ(bar->selectedLinesString(), "Line: 1-3");
    EXPECT_EQ(bar->lineNumberView()->title(), "Line: 1-3");
    EXPECT_EQ(bar->base(), -1);
    EXPECT_EQ(bar->basePopupButton()->text(), QString(QChar(0x2013)));
    EXPECT_EQ(bar->menuItemState("base", 0), -1);
    EXPECT_EQ(bar->menuItemState("base", 1), 0);
    EXPECT_EQ(bar->menuItemState("base", 2), -1);
    EXPECT_FALSE(bar->baseAction(0)->isChecked());
    EXPECT_TRUE(bar->baseAction(0)->property("mixedState").toBool());
    EXPECT_FALSE(bar->baseAction(2)->isChecked());
    saveScreenshot(window, "frame-mixed-selection");

    int posted = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        NBLineFormattingOptionsDidChange, bar, nullptr, [&](const NSNotification&) { ++posted; });
    bar->baseAction(2)->trigger();
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(posted, 3);
    EXPECT_EQ(bar->base(), 2);
    EXPECT_EQ(bar->basePopupButton()->text(), "Hexadecimal");
    for (uint64_t index = 0; index < 3; ++index) {
        const auto& options = lineAt(window, index)->customFormattingOptions();
        EXPECT_EQ(options->displayBase, 16) << index;
        EXPECT_EQ(options->displayFormat(), NCDisplayFormatSpacedGroupsOfFour) << index;
    }
    EXPECT_EQ(lineAt(window, 3)->customFormattingOptions()->displayBase, 10);
    const QStringList answers = answerTexts(window->document());
    EXPECT_EQ(answers[2], hex);
    EXPECT_NE(answers[0], "10");
    EXPECT_NE(answers[1], "255");
    EXPECT_EQ(answers[3], "7");
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(bar->menuItemState("base", 2), 1);
}

// The Format menu's items over a mixed selection: unchecked, with the mixed indicator, on the
// values some of the lines have.
TEST_F(LineFormattingBar, TheFormatMenuShowsAMixedSelectionAsMixed) {
    NBDocumentWindow* window = openWindow({"10", "255", "4096"});
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    selectLines(window, 2, 2);
    frame.formattingBarController()->setLineBase(2);
    selectLines(window, 0, 2);
    const auto item = [&](const char* command, int tag) {
        auto* action = new QAction(window);
        action->setCheckable(true);
        action->setData(tag);
        window->document().validateMenuItem(QString::fromLatin1(command), action);
        return action;
    };
    for (int tag : {0, 2}) {
        QAction* base = item("setBase:", tag);
        EXPECT_FALSE(base->isChecked()) << tag;
        EXPECT_TRUE(base->property("mixedState").toBool()) << tag;
        EXPECT_FALSE(base->icon().isNull()) << tag;
    }
    QAction* binary = item("setBase:", 1);
    EXPECT_FALSE(binary->property("mixedState").toBool());
    EXPECT_TRUE(binary->icon().isNull());
    // One line: plain on and off again.
    selectLines(window, 2, 2);
    QAction* hex = item("setBase:", 2);
    EXPECT_TRUE(hex->isChecked());
    EXPECT_FALSE(hex->property("mixedState").toBool());
    EXPECT_TRUE(hex->icon().isNull());
}

TEST_F(LineFormattingBar, AnAlignmentReachesTheSelectedLinesAndTheirText) {
    NBDocumentWindow* window = openWindow({"1", "2", "3"});
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    frame.setFormattingBarVisible(true, false);
    NBLineFormattingController* bar = frame.formattingBarController();
    selectLines(window, 0, 1);
    QComboBox* alignment = bar->alignmentPopup();
    ASSERT_EQ(alignment->currentData().toInt(), 0);
    alignment->setCurrentIndex(alignment->findData(2));
    emit alignment->activated(alignment->currentIndex());
    QTextDocument* text = window->textView()->document();
    for (int index = 0; index < 3; ++index) {
        const bool centred = index < 2;
        EXPECT_EQ(lineAt(window, index)->expressionFormattingOptions()->textAlignment(),
                  centred ? 2 : 0)
            << index;
        EXPECT_EQ(text->findBlockByNumber(index).blockFormat().alignment() & Qt::AlignHCenter,
                  centred ? Qt::AlignHCenter : 0)
            << index;
    }
    selectLines(window, 0, 2);
    EXPECT_EQ(bar->textAlignment(), -1);
    EXPECT_EQ(alignment->currentIndex(), -1);
}

TEST_F(LineFormattingBar, TheDecimalPlacesFieldRefusesTooFewAndClampsTooMany) {
    NBDocumentWindow* window = openWindow({"1/3", "2/3"});
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    frame.setFormattingBarVisible(true, false);
    NBLineFormattingController* bar = frame.formattingBarController();
    selectLines(window, 0, 1);
    bar->setDecimalPlaces(4);
    EXPECT_EQ(bar->dpField()->text(), "4 dp");
    EXPECT_EQ(answerTexts(window->document())[0], "0.3333");

    bar->dpField()->setText("0");
    bar->decimalPlacesFieldDidEndEditing();
    EXPECT_EQ(bar->decimalPlaces(), 4);
    EXPECT_EQ(bar->dpField()->text(), "4 dp");
    EXPECT_EQ(bar->accuracyAlert(), nullptr);

    expectModalDialog(true);
    bar->dpField()->setText("60");
    bar->decimalPlacesFieldDidEndEditing();
    ASSERT_NE(bar->accuracyAlert(), nullptr);
    EXPECT_EQ(bar->accuracyAlert()->text(), "Numbera doesn't support that level of accuracy");
    EXPECT_EQ(bar->accuracyAlert()->informativeText(),
              "The maximum level of accuracy is 50 decimal places.");
    EXPECT_EQ(bar->decimalPlaces(), 50);
    EXPECT_EQ(bar->dpField()->text(), "50 dp");
    for (uint64_t index = 0; index < 2; ++index)
        EXPECT_EQ(lineAt(window, index)->customFormattingOptions()->decimalPlaces(), 50u);
    bar->accuracyAlert()->close();
    pumpEventsFor(20);
    expectModalDialog(false);

    bar->dpField()->setText("7");
    bar->decimalPlacesFieldDidEndEditing();
    EXPECT_EQ(answerTexts(window->document())[1], "0.6666667");
}

TEST_F(LineFormattingBar, AGlobalDefaultReachesEveryLineOnceWhateverIsSelected) {
    NBDocumentWindow* window = openWindow({"1234.5", "2", "3", "4"});
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    NBLineFormattingController* bar = frame.formattingBarController();
    selectLines(window, 1, 2);
    int redraws = 0;
    QObject::connect(bar, &NBLineFormattingController::globalFormattingDidChange,
                     [&] { ++redraws; });
    const QString before = answerTexts(window->document())[0];
    settings().setObject("NBNotationThreshold", int64_t{3});
    pumpEventsFor(20);
    EXPECT_EQ(redraws, 1);
    for (uint64_t index = 0; index < 4; ++index) {
        const auto& options = lineAt(window, index)->customFormattingOptions();
        EXPECT_EQ(options->scientificNotationBigThreshold, 2u) << index;
        EXPECT_EQ(options->scientificNotationSmallThreshold, 3u) << index;
    }
    EXPECT_NE(answerTexts(window->document())[0], before);
    EXPECT_TRUE(answerTexts(window->document())[0].contains(QString::fromUtf16(u"\u00D710")))
        << answerTexts(window->document())[0].toStdString();
}

TEST_F(LineFormattingBar, ANarrowWindowHidesSectionsFromTheRightBehindAnEllipsis) {
    NBDocumentWindow* window = openWindow({"1", "2"}, QSize(900, 400));
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    frame.setLineNumbersVisible(true, false);
    frame.setFormattingBarVisible(true, false);
    pumpEventsFor(20);
    NBLineFormattingController* bar = frame.formattingBarController();
    EXPECT_TRUE(bar->view()->isVisible());
    EXPECT_EQ(bar->view()->height(), 27);
    EXPECT_EQ(window->kettraView()->y(), 27);
    for (QWidget* section : bar->sectionViews()) EXPECT_TRUE(section->isVisible());
    EXPECT_FALSE(bar->formattingBarView()->drawsEllipsis());
    EXPECT_EQ(bar->formattingBarView()->dividerPositions().size(), 3u);
    saveScreenshot(window, "frame-full-window-both-bars");

    // Narrower and narrower: sections go one by one from the right.
    int previouslyShown = 4;
    for (int width : {700, 520, 420, 330}) {
        window->resize(width, 400);
        pumpEventsFor(20);
        const std::vector<QWidget*> sections = bar->sectionViews();
        int shown = 0;
        bool hiddenSeen = false;
        for (QWidget* section : sections) {
            if (section->isVisible()) {
                EXPECT_FALSE(hiddenSeen) << "a section right of a hidden one shows";
                ++shown;
            } else {
                hiddenSeen = true;
                EXPECT_GT(section->x() + section->width() + 10, bar->view()->width());
            }
        }
        EXPECT_LE(shown, previouslyShown);
        // A divider between each two sections shown, none after the last.
        EXPECT_EQ(bar->formattingBarView()->dividerPositions().size(),
                  static_cast<size_t>(std::max(0, shown - 1)));
        EXPECT_EQ(bar->formattingBarView()->drawsEllipsis(), shown < 4);
        previouslyShown = shown;
    }
    EXPECT_LT(previouslyShown, 4);
    EXPECT_TRUE(bar->sectionViews().front()->isVisible());
    saveScreenshot(window, "frame-narrow-window-formatting-bar");
    window->resize(900, 400);
    pumpEventsFor(20);
    EXPECT_FALSE(bar->formattingBarView()->drawsEllipsis());
}

TEST_F(LineFormattingBar, ToggledWithAnimationItIsAnnouncedAtOnceAndWhenTheSlideEnds) {
    NBDocumentWindow* window = openWindow({"1", "2"});
    ASSERT_NE(window, nullptr);
    NBViewController& frame = FrameTest::frame(window);
    int toggled = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        NBFormattingBarWasToggled, &frame, nullptr, [&](const NSNotification&) { ++toggled; });
    const int panesHeight = window->kettraView()->height();
    const QRect windowFrame = window->geometry();
    frame.setFormattingBarVisible(true, true);
    EXPECT_EQ(toggled, 1);
    EXPECT_TRUE(frame.isAnimatingFormattingBar());
    // A second request while it slides only says so.
    frame.setFormattingBarVisible(false, true);
    EXPECT_EQ(toggled, 2);
    EXPECT_TRUE(frame.formattingBarVisible());
    ASSERT_TRUE(pumpEventsUntil([&] { return !frame.isAnimatingFormattingBar(); }, 3000));
    EXPECT_EQ(toggled, 3);
    EXPECT_EQ(window->kettraView()->height(), panesHeight - 27);
    // The panes make room inside the window; the window stays as it was.
    EXPECT_EQ(window->geometry(), windowFrame);
    EXPECT_TRUE(window->kettraView()->syncronisesScrollViews());

    // The line numbers slide in; a second request while they move does nothing at all.
    frame.setLineNumbersVisible(false, false);
    const int textX = window->textView()->mapTo(window, QPoint(0, 0)).x();
    frame.setLineNumbersVisible(true, true);
    EXPECT_TRUE(frame.isAnimatingNumberLine());
    frame.setLineNumbersVisible(false, true);
    EXPECT_TRUE(frame.numberLineVisibile());
    ASSERT_TRUE(pumpEventsUntil([&] { return !frame.isAnimatingNumberLine(); }, 3000));
    EXPECT_EQ(window->textView()->mapTo(window, QPoint(0, 0)).x(),
              textX + window->kettraView()->numberLineView()->width());
    EXPECT_EQ(window->geometry(), windowFrame);
    NotificationCenter::defaultCenter().removeObserver(token);
}

}  // namespace
