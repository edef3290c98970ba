// The panes of the document window: line numbers, text and answers share one vertical
// position, whichever pane is scrolled; the split keeps its minimum widths whether the window
// shrinks or the divider is dragged; and the text gives way first.
#include <QScrollBar>
#include <QSplitterHandle>
#include <QTest>
#include <QWheelEvent>

#include "ESScrollView.h"
#include "FrameTestSupport.h"
#include "NBAnswerColumnView.h"
#include "NBDocumentWindow.h"
#include "NBKettraView.h"
#include "NBNumberLineView.h"
#include "NBSplitView.h"
#include "NBTextView.h"
#include "NBViewController.h"
#include "NotificationCenter.h"

namespace {

using CalculationPanes = FrameTest;

QStringList numberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines << QString::number(i * 3);
    return lines;
}

double rowTopInWindow(NBDocumentWindow* window, QWidget* column, const QRectF& row) {
    return column->mapTo(window, QPoint(0, 0)).y() + row.y();
}

TEST_F(CalculationPanes, ScrollingTheAnswersMovesTextAndNumbersByTheSameAmount) {
    NBDocumentWindow* window = openWindow(numberedLines(80));
    ASSERT_NE(window, nullptr);
    frame(window).setLineNumbersVisible(true, false);
    pumpEventsFor(20);
    NBKettraView* panes = window->kettraView();
    QScrollBar* answers = panes->answerScroller();
    QScrollBar* text = window->textView()->verticalScrollBar();
    ASSERT_GT(answers->maximum(), 300);
    EXPECT_EQ(answers->maximum(), text->maximum());
    // The text and the numbers have no scroller of their own to show.
    EXPECT_EQ(text->width(), 0);
    EXPECT_FALSE(window->textView()->verticalScrollBar()->isVisible());

    answers->setValue(40);
    QCoreApplication::processEvents();
    const int row = 12;
    const double blockBefore = blockTopInWindow(window, row);
    const double numberBefore =
        rowTopInWindow(window, panes->numberLineView(), panes->numberLineView()->rectOfRow(row));
    const double answerBefore =
        rowTopInWindow(window, window->answerColumn(), window->answerColumn()->rectOfRow(row));
    const int horizontal = window->textView()->horizontalScrollBar()->value();

    answers->setValue(140);
    QCoreApplication::processEvents();
    EXPECT_EQ(text->value(), 140);
    EXPECT_DOUBLE_EQ(blockTopInWindow(window, row), blockBefore - 100);
    EXPECT_DOUBLE_EQ(
        rowTopInWindow(window, panes->numberLineView(), panes->numberLineView()->rectOfRow(row)),
        numberBefore - 100);
    EXPECT_DOUBLE_EQ(
        rowTopInWindow(window, window->answerColumn(), window->answerColumn()->rectOfRow(row)),
        answerBefore - 100);
    // Each row stays beside its own block.
    EXPECT_DOUBLE_EQ(
        rowTopInWindow(window, window->answerColumn(), window->answerColumn()->rectOfRow(row)),
        blockTopInWindow(window, row));
    EXPECT_EQ(window->textView()->horizontalScrollBar()->value(), horizontal);

    // Scrolling the text moves the visible scroller with it.
    text->setValue(60);
    EXPECT_EQ(answers->value(), 60);
}

TEST_F(CalculationPanes, TheWheelOverTheAnswersOrNumbersScrollsTheText) {
    NBDocumentWindow* window = openWindow(numberedLines(80));
    ASSERT_NE(window, nullptr);
    frame(window).setLineNumbersVisible(true, false);
    pumpEventsFor(20);
    QScrollBar* text = window->textView()->verticalScrollBar();
    for (QWidget* pane : std::initializer_list<QWidget*>{window->answerColumn(),
                                                         window->kettraView()->numberLineView()}) {
        text->setValue(0);
        const QPointF at(pane->width() / 2.0, pane->height() / 2.0);
        QWheelEvent wheel(at, pane->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(pane, &wheel);
        EXPECT_GT(text->value(), 0) << pane->objectName().toStdString();
        EXPECT_EQ(window->kettraView()->answerScroller()->value(), text->value());
    }
}

TEST_F(CalculationPanes, ShrinkingTheWindowNarrowsTheTextFirstAndKeepsBothMinimums) {
    // Within the tests' screen, 800 wide: windows open wholly on it.
    NBDocumentWindow* window = openWindow(numberedLines(5), QSize(760, 500));
    ASSERT_NE(window, nullptr);
    ESScrollView* answers = window->kettraView()->answerColumnScrollView();
    const int answersWidth = answers->width();
    const int textWidth = window->textView()->width();
    window->resize(560, 500);
    pumpEventsFor(20);
    EXPECT_EQ(answers->width(), answersWidth);
    EXPECT_EQ(window->textView()->width(), textWidth - 200);

    window->resize(250, 500);
    pumpEventsFor(20);
    EXPECT_GE(window->textView()->width(), NBKettraView::kTextMinimumWidth);
    EXPECT_GE(answers->width(), NBKettraView::kAnswerColumnMinimumWidth);
    EXPECT_GE(window->width(), 200 + 106 + 1);
    saveScreenshot(window, "frame-narrow-window");

    // With the line numbers shown the window's smallest width includes them.
    frame(window).setLineNumbersVisible(true, false);
    window->resize(250, 500);
    pumpEventsFor(20);
    EXPECT_GE(window->textView()->width(), NBKettraView::kTextMinimumWidth);
    EXPECT_GE(answers->width(), NBKettraView::kAnswerColumnMinimumWidth);
    EXPECT_GE(window->textView()->mapTo(window, QPoint(0, 0)).x(),
              window->kettraView()->numberLineView()->width());
}

TEST_F(CalculationPanes, TheDividerStopsAtBothLimitsAndPausesSynchronisation) {
    NBDocumentWindow* window = openWindow(numberedLines(60), QSize(800, 500));
    ASSERT_NE(window, nullptr);
    NBKettraView* panes = window->kettraView();
    NBSplitView* split = panes->splitView();
    QSplitterHandle* handle = split->handle(1);
    ASSERT_NE(handle, nullptr);
    int started = 0, finished = 0, resized = 0;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    auto a = center.addObserver(NBSplitViewDidStartResizing, split, nullptr,
                                [&](const NSNotification&) { ++started; });
    auto b = center.addObserver(NBSplitViewDidFinishResizing, split, nullptr,
                                [&](const NSNotification&) { ++finished; });
    auto c = center.addObserver(NBKettraViewDidFinishResizing, panes, nullptr,
                                [&](const NSNotification&) { ++resized; });

    const QPoint middle(handle->width() / 2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(panes->syncronisesScrollViews());
    // While the divider moves, scrolling the answers leaves the text where it is.
    panes->answerScroller()->setValue(120);
    EXPECT_EQ(window->textView()->verticalScrollBar()->value(), 0);
    QMouseEvent far(QEvent::MouseMove, QPointF(middle.x() + 2000, middle.y()),
                    handle->mapToGlobal(QPointF(middle.x() + 2000, middle.y())), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &far);
    EXPECT_GE(panes->answerColumnScrollView()->width(), NBKettraView::kAnswerColumnMinimumWidth);
    EXPECT_LE(panes->answerColumnScrollView()->width(),
              NBKettraView::kAnswerColumnMinimumWidth + 1);
    QMouseEvent back(QEvent::MouseMove, QPointF(middle.x() - 4000, middle.y()),
                     handle->mapToGlobal(QPointF(middle.x() - 4000, middle.y())), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &back);
    EXPECT_GE(window->textView()->width(), NBKettraView::kTextMinimumWidth);
    EXPECT_LE(window->textView()->width(), NBKettraView::kTextMinimumWidth + 1);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, middle);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(resized, 1);
    EXPECT_TRUE(panes->syncronisesScrollViews());
    // After the drag the panes align to the text again.
    EXPECT_EQ(panes->answerScroller()->value(), window->textView()->verticalScrollBar()->value());
    center.removeObserver(a);
    center.removeObserver(b);
    center.removeObserver(c);
}

}  // namespace
