// The answer column beside a text edit: answers and errors in their rows, rows at their
// blocks' y at every scroll position, font size and width, repainting when the text moves,
// selection, the current line, hidden answers and redraw requests.
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <cmath>

#include "AnswerColumnTestSupport.h"
#include "Diagnostics.h"
#include "NBAnswerColumnCell.h"
#include "NBAnswerColumnRules.h"
#include "NBAppResources.h"
#include "NBTextAttributes.h"

namespace {

bool isInk(QRgb pixel) { return qGray(pixel) < 110; }

// Dark pixels of the column's picture inside the rectangle.
int inkIn(const QImage& image, const QRect& rect) {
    int ink = 0;
    const QRect inside = rect.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) ink += isInk(image.pixel(x, y));
    return ink;
}

QImage picture(QWidget* widget) {
    QImage image = widget->grab().toImage();
    // The picture is in device pixels; the rows are in logical ones.
    return image.scaled(widget->size());
}

// Every visible row starts at its block's top and ends where the next block starts; dark
// pixels lie only in rows that show an answer.
void expectRowsBesideTheirBlocks(AnswerColumnRig& rig, const char* where) {
    SCOPED_TRACE(where);
    const std::vector<uint64_t> rows = rig.column->visibleRows();
    ASSERT_FALSE(rows.empty());
    const int blockCount = rig.text->document()->blockCount();
    for (uint64_t row : rows) {
        const QRectF rect = rig.column->rectOfRow(row);
        EXPECT_NEAR(rect.top(), rig.blockTopInColumn(static_cast<int>(row)), 1.0) << "row " << row;
        if (static_cast<int>(row) + 1 < blockCount) {
            EXPECT_NEAR(rect.bottom(), rig.blockTopInColumn(static_cast<int>(row) + 1), 1.0)
                << "row " << row;
        }
    }
    // The rows shown are exactly those whose blocks meet the visible text.
    const QRect visible = rig.text->viewport()->rect();
    for (int row = 0; row < blockCount; ++row) {
        const double top =
            rig.blockTopInColumn(row) -
            rig.column->mapFrom(&rig.window, rig.text->viewport()->mapTo(&rig.window, QPoint(0, 0)))
                .y();
        const double bottom =
            row + 1 < blockCount ? top + rig.column->rectOfRow(row).height() : top + 1;
        const bool meets = bottom > visible.top() && top < visible.bottom();
        const bool listed = std::find(rows.begin(), rows.end(), row) != rows.end();
        if (meets) {
            EXPECT_TRUE(listed) << "row " << row << " meets the visible text";
        }
    }
    const QImage image = picture(rig.column);
    int stray = inkIn(image, image.rect());
    for (uint64_t row : rows)
        if (!rig.rowText(row).isEmpty()) stray -= inkIn(image, rig.column->rectOfRow(row).toRect());
    EXPECT_EQ(stray, 0) << "text drawn outside the rows that show answers";
}

int wrappedBlocks(QTextEdit* text) {
    int wrapped = 0;
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next())
        wrapped += block.layout()->lineCount() > 1;
    return wrapped;
}

struct RecordingDelegate : NBAnswerColumnControllerDelegate {
    int selectionChanges = 0;
    double height = 40;
    bool answersHeights = false;
    void answerColumnControllerSelectionDidChange(NBAnswerColumnController*) override {
        ++selectionChanges;
    }
    double answerColumnControllerHeightForRowAtIndex(NBAnswerColumnController*, uint64_t) override {
        return height;
    }
    bool respondsToHeightForRowAtIndex() const override { return answersHeights; }
};

struct CapturedLog {
    std::vector<std::string> lines;
    Diagnostics::ScopedSink sink{
        [this](Diagnostics::Stream, const std::string& line) { lines.push_back(line); }};
};

}  // namespace

TEST_F(AnswerColumnTest, RowsShowAnswersAndErrorsAsTheKitFormatsThem) {
    AnswerColumnRig rig({"2+3", "1/0", "3 m + 2 kg", "a heading", "", "1234.5 * 2"}, {640, 360});
    ASSERT_EQ(rig.column->numberOfRows(), 6u);
    const QStringList shown = {"5",    "Error: Divide by Zero", "Error: Incompatible Units", "", "",
                               "2,469"};
    for (int row = 0; row < shown.size(); ++row)
        EXPECT_EQ(rig.rowText(row), shown[row]) << "row " << row;
    EXPECT_EQ(rig.controller.formattedResultOnLine(0), u"5");
    EXPECT_EQ(rig.controller.unformattedResultOnLine(5), u"2469");
    EXPECT_EQ(rig.controller.formattedResultOnLine(1), u"");
    EXPECT_EQ(rig.controller.formattedResultOnLine(17), u"");

    // What the rows show is what is painted, in the default text font.
    const QImage image = picture(rig.column);
    for (int row = 0; row < shown.size(); ++row) {
        const int ink = inkIn(image, rig.column->rectOfRow(row).toRect());
        if (shown[row].isEmpty())
            EXPECT_EQ(ink, 0) << "row " << row;
        else
            EXPECT_GT(ink, 0) << "row " << row;
    }
    // The long error is cut at the tail rather than spilling past the column.
    EXPECT_EQ(inkIn(image, QRect(rig.column->width() - 1, 0, 1, rig.column->height())), 0);
    expectRowsBesideTheirBlocks(rig, "at the top");
}

TEST_F(AnswerColumnTest, RowsStayBesideTheirBlocksAtEveryScrollPositionAndFontSize) {
    for (double size : {11.0, 18.0, 30.0}) {
        SCOPED_TRACE("font size " + std::to_string(size));
        AnswerColumnRig rig(variedLines(80), {520, 420}, size);
        // Some lines in a larger font of their own make blocks of different heights.
        for (int row = 0; row < 80; row += 7) {
            QTextCursor cursor(rig.text->document()->findBlockByNumber(row));
            cursor.select(QTextCursor::BlockUnderCursor);
            QTextCharFormat bigger;
            bigger.setFontPointSize(size * 1.6);
            cursor.mergeCharFormat(bigger);
        }
        pumpEventsFor(20);
        ASSERT_GT(wrappedBlocks(rig.text), 3);
        QScrollBar* scroll = rig.text->verticalScrollBar();
        ASSERT_GT(scroll->maximum(), 0);
        rig.scrollTo(scroll->maximum());
        expectRowsBesideTheirBlocks(rig, "scrolled to the end");
        const std::vector<uint64_t> atEnd = rig.column->visibleRows();
        EXPECT_EQ(atEnd.back(), 79u);
        rig.scrollTo(scroll->maximum() / 2);
        expectRowsBesideTheirBlocks(rig, "scrolled to the middle");
        const std::vector<uint64_t> inMiddle = rig.column->visibleRows();
        EXPECT_GT(inMiddle.front(), 0u);
        EXPECT_LT(inMiddle.back(), 79u);
        rig.scrollTo(scroll->maximum() / 2 + 13);
        expectRowsBesideTheirBlocks(rig, "scrolled by part of a line");
        rig.scrollTo(0);
        expectRowsBesideTheirBlocks(rig, "scrolled back to the top");
        EXPECT_EQ(rig.column->visibleRows().front(), 0u);
    }
}

TEST_F(AnswerColumnTest, RowsOfALongDocumentAreFoundAtEveryScrollPosition) {
    AnswerColumnRig rig(variedLines(3000), {600, 500});
    QScrollBar* scroll = rig.text->verticalScrollBar();
    for (int position : {0, 1, scroll->maximum() / 3, scroll->maximum() - 7, scroll->maximum()}) {
        rig.scrollTo(position);
        expectRowsBesideTheirBlocks(rig, ("at " + std::to_string(position)).c_str());
    }
    rig.scrollTo(0);
    EXPECT_EQ(rig.column->visibleRows().front(), 0u);
    rig.scrollTo(scroll->maximum());
    EXPECT_EQ(rig.column->visibleRows().back(), 2999u);
}

TEST_F(AnswerColumnTest, RowsFollowTheTextWhenItsFontWidthOrLinesChange) {
    AnswerColumnRig rig(variedLines(30), {900, 420}, 14);
    PaintCounter paints(rig.column);
    const int wrappedWide = wrappedBlocks(rig.text);

    rig.setFontSize(24);
    pumpEventsFor(30);
    EXPECT_GT(paints.count, 0) << "no repaint after the font grew";
    expectRowsBesideTheirBlocks(rig, "after the font grew");

    paints.reset();
    rig.window.resize(420, 420);
    pumpEventsFor(30);
    EXPECT_GT(paints.count, 0) << "no repaint after the width shrank";
    EXPECT_GT(wrappedBlocks(rig.text), wrappedWide);
    expectRowsBesideTheirBlocks(rig, "after the width shrank");

    paints.reset();
    rig.scrollTo(rig.text->verticalScrollBar()->maximum() / 3);
    EXPECT_GT(paints.count, 0) << "no repaint after scrolling";
    expectRowsBesideTheirBlocks(rig, "after scrolling");

    // Lines typed above move every row below them.
    paints.reset();
    const double before = rig.column->rectOfRow(20).top();
    const QString answerBefore = rig.rowText(20);
    QTextCursor cursor(rig.text->document()->findBlockByNumber(2));
    cursor.insertText("10 * 10\n20 * 20\n");
    rig.reloadLines();
    pumpEventsFor(30);
    EXPECT_GT(paints.count, 0) << "no repaint after an edit";
    EXPECT_EQ(rig.column->numberOfRows(), 32u);
    EXPECT_EQ(rig.rowText(2), "100");
    // The line that was row 20 is row 22 now, lower by the two new rows.
    EXPECT_EQ(rig.rowText(22), answerBefore);
    EXPECT_NEAR(rig.column->rectOfRow(22).top(),
                before + rig.column->rectOfRow(2).height() + rig.column->rectOfRow(3).height(),
                1.0);
    expectRowsBesideTheirBlocks(rig, "after two lines were typed above");
}

TEST_F(AnswerColumnTest, SelectionCurrentLineAndHiddenAnswers) {
    AnswerColumnRig rig({"2+3", "10/4", "1/0", "7 * 6"}, {640, 360});
    RecordingDelegate delegate;
    rig.controller.setDelegate(&delegate);

    rig.column->selectRowIndexes(NSIndexSet(1), false);
    EXPECT_EQ(delegate.selectionChanges, 1);
    EXPECT_EQ(rig.column->selectedRow(), 1);
    EXPECT_EQ(rig.controller.textOfSelectedResult(), u"2.5");
    // The selected row draws in the selected set: bold and white over the highlight.
    const auto bold = [&](uint64_t row) {
        NSAttributes attributes =
            rig.column->dataSource()->objectValueForRow(*rig.column, row).attributesAtIndex(0);
        return std::get<bool>(attributes.at(NBBoldFontAttributeName));
    };
    EXPECT_TRUE(bold(1));
    EXPECT_FALSE(bold(0));
    pumpEventsFor(20);
    QImage image = picture(rig.column);
    const QPoint selectedBackground(rig.column->width() - 3,
                                    rig.column->rectOfRow(1).toRect().bottom() - 1);
    EXPECT_EQ(QColor(image.pixel(selectedBackground)).rgb(),
              rig.column->palette().color(QPalette::Active, QPalette::Highlight).rgb());
    // Rows past the count are not selectable; extending keeps the earlier rows.
    rig.column->selectRowIndexes(NSIndexSet{3, 9}, true);
    EXPECT_EQ(rig.column->selectedRowIndexes(), (NSIndexSet{1, 3}));
    EXPECT_EQ(rig.controller.textOfSelectedResult(), u"42");
    EXPECT_EQ(delegate.selectionChanges, 2);

    // The current line is the text's insertion point.
    QTextCursor cursor(rig.text->document()->findBlockByNumber(2));
    rig.text->setTextCursor(cursor);
    for (uint64_t row = 0; row < 4; ++row) {
        NBAnswerColumnCell cell;
        rig.column->dataSource()->willDisplayCell(*rig.column, cell, row);
        EXPECT_EQ(cell.isCurrentLine(), row == 2) << "row " << row;
        EXPECT_FALSE(cell.infoButtonVisible());
    }
    pumpEventsFor(20);
    image = picture(rig.column);
    const auto background = [&](uint64_t row) {
        return QColor(
            image.pixel(rig.column->width() - 3, rig.column->rectOfRow(row).toRect().bottom() - 1));
    };
    EXPECT_LT(background(2).lightness(), background(0).lightness());

    // Hidden answers: no text, no selection, nothing selectable; shown again, all is back.
    rig.controller.setAnswersVisible(false);
    EXPECT_FALSE(rig.controller.answersVisible());
    EXPECT_EQ(rig.column->selectedRowIndexes().count(), 0u);
    EXPECT_EQ(delegate.selectionChanges, 3);
    EXPECT_EQ(rig.controller.textOfSelectedResult(), u"");
    rig.column->selectRowIndexes(NSIndexSet(0), false);
    EXPECT_EQ(rig.column->selectedRowIndexes().count(), 0u);
    for (uint64_t row = 0; row < 4; ++row) EXPECT_EQ(rig.rowText(row), "");
    pumpEventsFor(20);
    EXPECT_EQ(inkIn(picture(rig.column), rig.column->rect()), 0);
    rig.controller.setAnswersVisible(true);
    EXPECT_EQ(rig.rowText(3), "42");
    pumpEventsFor(20);
    EXPECT_GT(inkIn(picture(rig.column), rig.column->rectOfRow(3).toRect()), 0);

    // A delegate that answers heights decides how tall rows are.
    delegate.answersHeights = true;
    EXPECT_EQ(rig.column->rectOfRow(1).height(), 40);
    EXPECT_NEAR(rig.column->rectOfRow(1).top(), rig.blockTopInColumn(1), 1.0);
    rig.controller.setDelegate(nullptr);
}

TEST_F(AnswerColumnTest, RedrawsSingleRowsAndFollowsTheRowCount) {
    AnswerColumnRig rig({"1", "2", "3", "4", "5"}, {640, 360});
    RecordingDelegate delegate;
    rig.controller.setDelegate(&delegate);
    PaintCounter paints(rig.column);
    pumpEventsFor(30);

    paints.reset();
    rig.controller.redrawCellAtIndex(2);
    pumpEventsFor(30);
    EXPECT_GT(paints.count, 0);
    EXPECT_EQ(paints.region.boundingRect(), rig.column->rectOfRow(2).toAlignedRect());

    paints.reset();
    CapturedLog log;
    rig.controller.redrawCellsAtIndexes(NSIndexSet{1, 7});
    pumpEventsFor(30);
    EXPECT_EQ(paints.region.boundingRect(), rig.column->rectOfRow(1).toAlignedRect());
    EXPECT_EQ(log.lines, std::vector<std::string>{"Warning. Answers Column Being told to redraw "
                                                  "cell at index 7 which is out of bounds"});

    paints.reset();
    log.lines.clear();
    rig.controller.redrawCellAtIndex(kAnswerColumnNoLineIndex);
    rig.controller.redrawCellAtIndex(5);
    pumpEventsFor(30);
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(log.lines, std::vector<std::string>{"Warning: Redrawing the answer column cell at "
                                                  "the invalid cell index 999999999"});

    // Fewer lines: a selected row past the new count leaves the selection.
    rig.column->selectRowIndexes(NSIndexSet{1, 4}, false);
    const int changes = delegate.selectionChanges;
    QTextCursor cursor(rig.text->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    rig.reloadLines();
    EXPECT_EQ(rig.column->numberOfRows(), 3u);
    EXPECT_EQ(rig.column->selectedRowIndexes(), NSIndexSet(1));
    EXPECT_EQ(delegate.selectionChanges, changes + 1);
    EXPECT_TRUE(rig.column->rectOfRow(3).isEmpty());
    rig.controller.setDelegate(nullptr);
}

TEST_F(AnswerColumnTest, TakesItsSizesAndFontFromTheDefaults) {
    NBAnswerColumnView column;
    EXPECT_EQ(column.sizeHint().width(), 156);
    EXPECT_EQ(column.minimumWidth(), 90);
    EXPECT_EQ(column.maximumWidth(), 2000);
    AnswerColumnRig rig({"6*7"}, {640, 360});
    const QFont font = NBTextAttributes::defaultTextViewFont();
    const NSAttributes normal = registeredAnswerColumnAttributes(false);
    EXPECT_EQ(std::get<std::u16string>(normal.at(NSFontNameAttributeName)),
              NBAppResources::toU16(font.family()));
    EXPECT_EQ(std::get<double>(normal.at(NSFontSizeAttributeName)), font.pointSizeF());
    // A bigger default font is taken when the formatting is brought up to date.
    NBTextAttributes::increaseDefaultFontSize();
    rig.controller.updateAnswerColumnFormatting();
    EXPECT_EQ(std::get<double>(registeredAnswerColumnAttributes(true).at(NSFontSizeAttributeName)),
              font.pointSizeF() + 1);
}

TEST_F(AnswerColumnTest, ScreenshotsOfTwentyLinesWithAnswers) {
    QStringList lines = variedLines(15);
    lines << "tax = 19 % of 1200"
          << "1200 + tax"
          << "5 feet in cm"
          << "0.1 + 0.2"
          << "sum of the above: 12 * 3";
    AnswerColumnRig rig(lines, {760, 430});
    expectRowsBesideTheirBlocks(rig, "at the top");
    saveScreenshot(&rig.window, "answer-column-twenty-lines");
    rig.scrollTo(rig.text->verticalScrollBar()->maximum());
    expectRowsBesideTheirBlocks(rig, "scrolled to the end");
    EXPECT_EQ(rig.column->visibleRows().back(), 19u);
    saveScreenshot(&rig.window, "answer-column-twenty-lines-scrolled");
}
