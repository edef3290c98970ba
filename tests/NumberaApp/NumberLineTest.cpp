// The line-number column: numbers beside their lines, a width that follows the digits by at
// most 8 points per redraw, and row selection that selects lines without echoing back.
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include "FrameTestSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentWindow.h"
#include "NBDocumentWindowRules.h"
#include "NBKettraView.h"
#include "NBNumberLineCell.h"
#include "NBNumberLineController.h"
#include "NBNumberLineView.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBTotalsPopupButton.h"
#include "NBViewController.h"
#include "NCLine.h"
#include "NCLineCollection.h"

namespace {

using NumberLine = FrameTest;

QStringList lines(int count) {
    QStringList texts;
    for (int i = 1; i <= count; ++i) texts << QString::number(i);
    return texts;
}

// A delegate standing in for the document, counting what it is told.
struct CountingDelegate : NBNumberLineControllerDelegate {
    int selections = 0;
    double numberLineControllerHeightForRowAtIndex(NBNumberLineController*, uint64_t) override {
        return 20;
    }
    void numberLineControllerSelectionDidChange(NBNumberLineController*,
                                                const NSIndexSet&) override {
        ++selections;
    }
};

TEST_F(NumberLine, NumbersSitBesideTheirLinesAndShowTheLineNumber) {
    NBDocumentWindow* window = openWindow(lines(30));
    ASSERT_NE(window, nullptr);
    frame(window).setLineNumbersVisible(true, false);
    pumpEventsFor(20);
    NBNumberLineView* numbers = window->kettraView()->numberLineView();
    ASSERT_TRUE(numbers->isVisible());
    EXPECT_EQ(numbers->numberOfRows(), 30u);
    // The text starts where the numbers end.
    EXPECT_EQ(window->textView()->mapTo(window, QPoint(0, 0)).x(),
              numbers->mapTo(window, QPoint(0, 0)).x() + numbers->width());
    window->textView()->verticalScrollBar()->setValue(37);
    QCoreApplication::processEvents();
    for (uint64_t row : numbers->visibleRows())
        EXPECT_DOUBLE_EQ(numbers->mapTo(window, QPoint(0, 0)).y() + numbers->rectOfRow(row).y(),
                         blockTopInWindow(window, static_cast<int>(row)))
            << row;
    EXPECT_TRUE(numbers->rectOfRow(30).isEmpty());
    EXPECT_EQ(numbers->focusPolicy(), Qt::NoFocus);
}

TEST_F(NumberLine, GoingFrom99To100LinesWidensTheColumnByAtMost8PointsPerRedraw) {
    NBDocumentWindow* window = openWindow(lines(99));
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    bar.setLineNumbersVisible(true, false);
    settleNumberLine(window);
    NBNumberLineController* controller = bar.numberLineController();
    NBNumberLineView* numbers = window->kettraView()->numberLineView();
    const int settled = numbers->width();
    EXPECT_LE(controller->neededWidth(), settled);
    EXPECT_LE(settled, controller->neededWidth() + 8);

    std::vector<int> widths;
    QObject::connect(controller, &NBNumberLineController::numberLineWidthChanged,
                     [&](int width) { widths.push_back(width); });
    window->textView()->moveCursor(QTextCursor::End);
    // Many digits: the column has to grow in several steps.
    QTest::keyClick(window->textView(), Qt::Key_Return);
    QTest::keyClicks(window->textView(), "100");
    ASSERT_TRUE(
        pumpEventsUntil([&] { return controller->neededWidth() <= numbers->width(); }, 3000));
    EXPECT_EQ(window->document().lineCollection()->countOfLines(), 100u);
    ASSERT_FALSE(widths.empty());
    int previous = settled;
    for (int width : widths) {
        EXPECT_LE(std::abs(width - previous), 8);
        previous = width;
    }
    EXPECT_GT(numbers->width(), settled);
    // The text moved over with the column.
    EXPECT_EQ(window->textView()->mapTo(window, QPoint(0, 0)).x(),
              numbers->mapTo(window, QPoint(0, 0)).x() + numbers->width());
}

TEST_F(NumberLine, OneLineIsMeasuredAsTwo) {
    EXPECT_EQ(numberLineMeasuredText(1), u"2");
    EXPECT_EQ(numberLineMeasuredText(0), u"2");
    EXPECT_EQ(numberLineMeasuredText(100), u"100");
    NBDocumentWindow* window = openWindow({"1"});
    ASSERT_NE(window, nullptr);
    NBNumberLineController* controller = frame(window).numberLineController();
    EXPECT_DOUBLE_EQ(controller->neededWidth(), NBNumberLineCell().widthOfString("2") + 15);
}

TEST_F(NumberLine, ClickingRowsSelectsLinesAndAClickBelowTheLastRowClearsTheSelection) {
    NBDocumentWindow* window = openWindow({"1", "10", "20", "30", "40"});
    ASSERT_NE(window, nullptr);
    NBViewController& bar = frame(window);
    bar.setLineNumbersVisible(true, false);
    pumpEventsFor(20);
    NBNumberLineView* numbers = window->kettraView()->numberLineView();
    const auto centre = [&](int row) { return numbers->rectOfRow(row).center().toPoint(); };

    QTest::mouseClick(numbers, Qt::LeftButton, Qt::NoModifier, centre(1));
    EXPECT_EQ(numbers->selectedRowIndexes(), NSIndexSet(1));
    EXPECT_EQ(window->document().textViewController().selectedLineNumbers(), NSIndexSet(1));
    QTest::mouseClick(numbers, Qt::LeftButton, Qt::ShiftModifier, centre(3));
    EXPECT_EQ(numbers->selectedRowIndexes(), NSIndexSet(NSRange{1, 3}));
    EXPECT_EQ(window->document().keyLineNumbers(), NSIndexSet(NSRange{1, 3}));
    EXPECT_EQ(window->textView()->textCursor().selectedText(),
              QString("10") + QChar(0x2029) + "20" + QChar(0x2029) + "30" + QChar(0x2029));
    EXPECT_EQ(bar.statisticsButton()->text(), "Total:  60");
    // Rows apart from each other stay the key lines; the text selects the first and shows
    // the other as an extra selection.
    QTest::mouseClick(numbers, Qt::LeftButton, Qt::ControlModifier, centre(2));
    EXPECT_EQ(numbers->selectedRowIndexes(), NSIndexSet({1, 3}));
    EXPECT_EQ(window->document().keyLineNumbers(), NSIndexSet({1, 3}));
    EXPECT_EQ(bar.statisticsButton()->text(), "Total:  40");
    EXPECT_EQ(window->textView()->textCursor().selectedText(), QString("10") + QChar(0x2029));
    const QList<QTextEdit::ExtraSelection> extras = window->textView()->extraSelections();
    ASSERT_EQ(extras.size(), 1);
    EXPECT_EQ(extras.front().cursor.selectedText(), QString("30") + QChar(0x2029));
    // Selecting in the text again drops the extra selection.
    selectLines(window, 4, 4);
    EXPECT_TRUE(window->textView()->extraSelections().isEmpty());
    QTest::mouseClick(numbers, Qt::LeftButton, Qt::NoModifier, centre(1));
    QTest::mouseClick(numbers, Qt::LeftButton, Qt::ControlModifier, centre(3));

    const QRectF last = numbers->rectOfRow(4);
    QTest::mouseClick(numbers, Qt::LeftButton, Qt::NoModifier,
                      QPoint(numbers->width() / 2, static_cast<int>(last.bottom()) + 10));
    EXPECT_TRUE(numbers->selectedRowIndexes().empty());

    // Selecting text shows its lines in the column.
    selectLines(window, 0, 2);
    EXPECT_EQ(numbers->selectedRowIndexes(), NSIndexSet(NSRange{0, 3}));
}

TEST_F(NumberLine, ReloadingAfterARowCountChangeSendsNoSelectionChange) {
    ASSERT_NE(openWindow({"1"}), nullptr);
    QTextEdit text;
    text.setPlainText("1\n2\n3\n4");
    text.resize(200, 300);
    NBNumberLineView view;
    view.resize(30, 300);
    view.setTextView(&text);
    auto collection = std::make_shared<NCLineCollection>();
    for (const char16_t* expression : {u"1", u"2", u"3", u"4"})
        collection->addLine(NCLine::lineWithExpressionString(expression));
    NBNumberLineController controller(&view, collection);
    CountingDelegate delegate;
    controller.setDelegate(&delegate);
    view.selectRowIndexes(NSIndexSet(NSRange{2, 2}), false);
    EXPECT_EQ(delegate.selections, 1);
    collection->removeLineAtIndex(3);
    controller.numberOfCellsHasChanged();
    EXPECT_EQ(controller.selectedLineNumbers(), NSIndexSet(2));
    EXPECT_EQ(delegate.selections, 1);
    EXPECT_DOUBLE_EQ(view.rectOfRow(0).height(), 20);
    EXPECT_TRUE(view.rectOfRow(3).isEmpty());
    LogRecorder log;
    controller.redrawCellsAtIndexes(NSIndexSet(7));
    EXPECT_TRUE(
        log.contains("Warning. Being told to redraw cell at index 7 which is out of bounds"));
}

}  // namespace
