// The answer palette: shown beside an answer by the document's command, listing it in every
// representation without taking focus; its empty state, the fraction click, following a deleted
// line, its context menu, hiding with the answers and its restored visibility.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "AppTestFixture.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerColumnView.h"
#include "NBAnswerPalette.h"
#include "NBAnswerPaletteController.h"
#include "NBAppController.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBLittleInfoButton.h"
#include "NBTextView.h"
#include "NBWindowRestoration.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKCurrenciesManager.h"
#include "NKCurrency.h"
#include "NKEnvironment.h"

namespace {

class AnswerPalette : public AppTest {
  protected:
    static NBAnswerPaletteController& palette(NBDocumentWindow* window) {
        return window->document().answerColumnController().answerPaletteController();
    }
    static QString paletteCommandTitle(NBDocumentWindow* window) {
        QAction item;
        item.setData(-1);
        window->document().validateMenuItem(QStringLiteral("showAnswerPalette:"), &item);
        return item.text();
    }
    // Runs the command and lets the coalesced reload happen.
    static void togglePalette(NBDocumentWindow* window) {
        ASSERT_TRUE(
            window->document().performCommand(QStringLiteral("showAnswerPalette:"), -1, false));
        settle(window);
    }
    static void settle(NBDocumentWindow* window) {
        QTest::qWait(NBAnswerPaletteController::kCoalescingMilliseconds * 3);
        QCoreApplication::processEvents();
        (void)window;
    }
    static QStringList titles(NBAnswerPaletteController& controller) {
        QStringList list;
        for (const NBAnswerPaletteEntry& entry : controller.dataSource()) list << entry.title;
        return list;
    }
    static QString valueTitled(NBAnswerPaletteController& controller, const QString& title) {
        for (const NBAnswerPaletteEntry& entry : controller.dataSource())
            if (entry.title == title) return entry.value;
        return {};
    }
    static uint64_t representedIndex(NBDocumentWindow* window) {
        const auto& lines = window->document().lineCollection();
        return lines->indexOfLine(palette(window).actualRepresentedLine().get());
    }
};

}  // namespace

TEST_F(AnswerPalette, ShowsEveryRepresentationBesideTheAnswerAndTypingGoesOn) {
    NBDocumentWindow* window = windowWithTypedLines({"0.75"});
    EXPECT_EQ(paletteCommandTitle(window), "Show Answer Palette");
    togglePalette(window);
    NBAnswerPaletteController& controller = palette(window);
    ASSERT_TRUE(controller.paletteIsVisible());
    EXPECT_EQ(paletteCommandTitle(window), "Hide Answer Palette");
    // Hex and binary would show only the whole part: a fraction lists neither.
    EXPECT_EQ(titles(controller), QStringList({"Decimal", "Degrees", "Fraction"}));
    EXPECT_EQ(valueTitled(controller, "Decimal"), "0.75");
    NBAnswerPalette* paletteWindow = controller.answerPalette();
    EXPECT_EQ(paletteWindow->tableView()->labelText(0), "Decimal:");
    EXPECT_FALSE(paletteWindow->emptyViewVisible());

    // The pointer sits at the window's right edge less 5, 32 below the palette's top, level
    // with the row's middle: from the right of that point, or from its left where the screen
    // has no room on the right.
    const QRect frame = window->frameGeometry();
    const int anchor = frame.x() + frame.width() - 5;
    const QRect screen = window->screen()->availableGeometry();
    if (anchor + paletteWindow->width() <= screen.right() + 1)
        EXPECT_EQ(paletteWindow->x(), anchor);
    else
        EXPECT_EQ(paletteWindow->x() + paletteWindow->width(), anchor);
    EXPECT_TRUE(screen.contains(paletteWindow->geometry()));
    NBAnswerColumnView* column = window->answerColumn();
    const QRectF row = column->rectOfRow(0);
    const int middle = column->mapToGlobal(QPointF(0, row.y() + row.height() / 2).toPoint()).y();
    EXPECT_EQ(paletteWindow->y() + 32, middle - 2);
    EXPECT_TRUE(paletteWindow->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(paletteWindow->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(paletteWindow->mask().isEmpty());
    saveScreenshot(window, "palette-beside-window");
    saveScreenshot(paletteWindow, "palette-rows");

    // The text keeps the focus: typing goes on in it.
    EXPECT_EQ(QApplication::focusWidget(), window->textView())
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : "none")
        << " "
        << (QApplication::activeWindow() ? QApplication::activeWindow()->objectName().toStdString()
                                         : "");
    QTest::keyClicks(window->textView(), "5");
    settle(window);
    EXPECT_EQ(window->textView()->document()->firstBlock().text(), "0.755");
    EXPECT_EQ(valueTitled(controller, "Decimal"), "0.755");

    togglePalette(window);
    EXPECT_FALSE(controller.paletteIsVisible());
    EXPECT_EQ(controller.actualRepresentedLine(), nullptr);
    EXPECT_EQ(paletteCommandTitle(window), "Show Answer Palette");
}

TEST_F(AnswerPalette, AnErrorShowsTheEmptyState) {
    NBDocumentWindow* window = windowWithTypedLines({"1/0"});
    togglePalette(window);
    NBAnswerPaletteController& controller = palette(window);
    ASSERT_TRUE(controller.paletteIsVisible());
    EXPECT_TRUE(controller.dataSource().empty());
    EXPECT_TRUE(controller.answerPalette()->emptyViewVisible());
    EXPECT_EQ(controller.answerPalette()->contentSize(), QSize(150, 65));
    saveScreenshot(controller.answerPalette(), "palette-empty");
}

TEST_F(AnswerPalette, ClickingTheFractionSwitchesItsStyle) {
    NBDocumentWindow* window = windowWithTypedLines({"1.75"});
    togglePalette(window);
    NBAnswerPaletteController& controller = palette(window);
    const QString before = valueTitled(controller, "Fraction");
    ASSERT_FALSE(before.isEmpty());
    const int fractionRow = static_cast<int>(titles(controller).indexOf("Fraction"));
    NBAnswerPaletteTableView* table = controller.answerPalette()->tableView();
    const QRect rowRect = table->rectOfRow(fractionRow);
    const QPoint onValue(table->labelColumnWidth() + 10, rowRect.center().y());
    ASSERT_EQ(table->columnAtPoint(onValue), 1);
    QTest::mouseClick(table, Qt::LeftButton, {}, onValue);
    const QString after = valueTitled(controller, "Fraction");
    EXPECT_NE(after, before);
    EXPECT_TRUE((before == "1 3/4" && after == "7/4") || (before == "7/4" && after == "1 3/4"))
        << before.toStdString() << " -> " << after.toStdString();
    // Clicking the label changes nothing; clicking the value again switches back.
    QTest::mouseClick(table, Qt::LeftButton, {}, QPoint(2, rowRect.center().y()));
    EXPECT_EQ(valueTitled(controller, "Fraction"), after);
    QTest::mouseClick(table, Qt::LeftButton, {}, onValue);
    EXPECT_EQ(valueTitled(controller, "Fraction"), before);
}

TEST_F(AnswerPalette, DeletingTheRepresentedLineMovesItToTheLastLine) {
    NBDocumentWindow* window = windowWithTypedLines({"1", "2", "3"});
    NBAnswerPaletteController& controller = palette(window);
    controller.showAnswerPaletteOnLineIndex(2, true);
    settle(window);
    ASSERT_EQ(representedIndex(window), 2u);
    // The last line goes: "3" and the line break before it.
    QTextCursor cursor(window->textView()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousBlock);
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    window->textView()->setTextCursor(cursor);
    QTest::keyClick(window->textView(), Qt::Key_Backspace);
    settle(window);
    ASSERT_EQ(window->document().lineCollection()->countOfLines(), 2u);
    EXPECT_TRUE(controller.paletteIsVisible());
    EXPECT_EQ(representedIndex(window), 1u);
    EXPECT_EQ(valueTitled(controller, "Decimal"), "2");
    const NBAnswerColumnView* column = window->answerColumn();
    const QRectF row = column->rectOfRow(1);
    const int middle = column->mapToGlobal(QPointF(0, row.y() + row.height() / 2).toPoint()).y();
    EXPECT_EQ(controller.answerPalette()->y() + 32, middle - 2);
}

TEST_F(AnswerPalette, ItsMenuCopiesTheValueAndCloses) {
    NBDocumentWindow* window = windowWithTypedLines({"0.75"});
    togglePalette(window);
    NBAnswerPaletteController& controller = palette(window);
    NBAnswerPaletteTableView* table = controller.answerPalette()->tableView();
    const QPoint onRow = table->rectOfRow(0).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, onRow, table->mapToGlobal(onRow));
    QApplication::sendEvent(table, &event);
    QMenu* menu = table->contextMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Copy 0.75");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "Close Answer Palette");
    QApplication::clipboard()->clear();
    actions[0]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "0.75");
    menu->hide();
    actions[2]->trigger();
    EXPECT_FALSE(controller.paletteIsVisible());

    // No menu off the rows.
    const QPoint below(2, table->rectOfRow(table->numberOfRows() - 1).bottom() + 10);
    QContextMenuEvent outside(QContextMenuEvent::Mouse, below, table->mapToGlobal(below));
    QMenu* previous = table->contextMenu();
    QApplication::sendEvent(table, &outside);
    EXPECT_EQ(table->contextMenu(), previous);
}

TEST_F(AnswerPalette, HidesWithTheAnswersAndIsThenUnavailable) {
    NBDocumentWindow* window = windowWithTypedLines({"2+2"});
    togglePalette(window);
    ASSERT_TRUE(palette(window).paletteIsVisible());
    window->document().answerColumnController().setAnswersVisible(false);
    EXPECT_FALSE(palette(window).paletteIsVisible());
    EXPECT_FALSE(window->document().validateCommand(QStringLiteral("showAnswerPalette:"), -1));
    window->document().answerColumnController().setAnswersVisible(true);
    EXPECT_TRUE(window->document().validateCommand(QStringLiteral("showAnswerPalette:"), -1));
}

TEST_F(AnswerPalette, FollowsTheKeyLineWhileVisible) {
    NBDocumentWindow* window = windowWithTypedLines({"10", "20"});
    togglePalette(window);
    ASSERT_EQ(representedIndex(window), 1u);
    QTest::keyClick(window->textView(), Qt::Key_Up);
    settle(window);
    EXPECT_EQ(representedIndex(window), 0u);
    EXPECT_EQ(valueTitled(palette(window), "Decimal"), "10");
}

TEST_F(AnswerPalette, NoLineAtTheIndexShowsNothing) {
    NBDocumentWindow* window = windowWithTypedLines({"1"});
    palette(window).showAnswerPaletteOnLineIndex(7, true);
    settle(window);
    EXPECT_FALSE(palette(window).paletteIsVisible());
}

TEST_F(AnswerPalette, VisibilityIsStoredWithTheWindow) {
    const QString folder = dataFolder();
    QDir().mkpath(folder);
    const QString path = folder + "/doc.numbera";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(NBWindowRestoration::save(folder, {{path, {}, {}, {}, true}, {path, {}, {}, {}}}));
    const std::vector<NBWindowRestoration::Entry> entries = NBWindowRestoration::read(folder);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].answerPaletteVisible);
    EXPECT_FALSE(entries[1].answerPaletteVisible);
}

namespace {

// The pointer moved over the middle of the row.
void hoverRow(NBAnswerColumnView* column, uint64_t row) {
    const QRectF rect = column->rectOfRow(row);
    const QPointF point(column->width() / 2.0, rect.y() + rect.height() / 2);
    QMouseEvent move(QEvent::MouseMove, point, column->mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(column, &move);
}

// The visible button on the line, or null.
NBLittleInfoButton* buttonOn(NBAnswerPaletteController& controller, uint64_t line) {
    for (NBLittleInfoButton* button : {controller.button1(), controller.button2()})
        if (button && !button->isHidden() && button->tag() == line) return button;
    return nullptr;
}

}  // namespace

TEST_F(AnswerPalette, InfoButtonsFollowThePointerOverAnsweredRows) {
    NBDocumentWindow* window = windowWithTypedLines({"1", "", "3"});
    NBAnswerPaletteController& controller = palette(window);
    NBAnswerColumnView* column = window->answerColumn();

    hoverRow(column, 0);
    NBLittleInfoButton* free = buttonOn(controller, 0);
    ASSERT_NE(free, nullptr);
    EXPECT_TRUE(controller.buttonVisibileOnLine(0));
    EXPECT_EQ(free->size(), QSize(16, 16));
    const QRectF row0 = column->rectOfRow(0);
    EXPECT_EQ(free->x(), static_cast<int>(row0.width()) - 16 - 10);
    EXPECT_EQ(free->imageName(), "off-normal-normal");

    // A row without an answer has no button; the free one moves on to the next answer.
    hoverRow(column, 1);
    EXPECT_FALSE(controller.buttonVisibileOnLine(1));
    EXPECT_FALSE(controller.buttonVisibileOnLine(0));
    hoverRow(column, 2);
    NBLittleInfoButton* onLast = buttonOn(controller, 2);
    ASSERT_NE(onLast, nullptr);

    // A click opens the palette there; the button stays on as the palette's.
    QTest::mouseClick(onLast, Qt::LeftButton);
    settle(window);
    ASSERT_TRUE(controller.paletteIsVisible());
    EXPECT_EQ(representedIndex(window), 2u);
    EXPECT_TRUE(onLast->isChecked());
    EXPECT_EQ(onLast->imageName(), "on-normal-normal");
    saveScreenshot(window, "palette-info-button");

    // Elsewhere the other button follows the pointer; the palette's stays.
    hoverRow(column, 0);
    NBLittleInfoButton* other = buttonOn(controller, 0);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, onLast);
    EXPECT_EQ(buttonOn(controller, 2), onLast);

    // Clicking the palette's button closes it; the button, free again, stays under the pointer
    // on its answered row, and the next move leaves one free button.
    QTest::mouseClick(onLast, Qt::LeftButton);
    settle(window);
    EXPECT_FALSE(controller.paletteIsVisible());
    EXPECT_FALSE(onLast->isChecked());
    EXPECT_EQ(buttonOn(controller, 2), onLast);
    EXPECT_TRUE(onLast->imageName().startsWith("off-"));
    hoverRow(column, 1);
    EXPECT_TRUE(controller.button1()->isHidden());
    EXPECT_TRUE(controller.button2()->isHidden());
    EXPECT_EQ(controller.button1()->tag(), kAnswerPaletteNoLine);
    EXPECT_EQ(controller.button2()->tag(), kAnswerPaletteNoLine);
}

TEST_F(AnswerPalette, InfoButtonsHideWhenAnotherWindowBecomesActive) {
    NBDocumentWindow* window = windowWithTypedLines({"1", "2"});
    NBAnswerPaletteController& controller = palette(window);
    controller.showAnswerPaletteOnLineIndex(1, true);
    settle(window);
    hoverRow(window->answerColumn(), 0);
    ASSERT_TRUE(controller.buttonVisibileOnLine(0));
    ASSERT_TRUE(controller.buttonVisibileOnLine(1));

    // The palette handing activation back to its window leaves the buttons alone.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }));
    QTest::qWait(20);
    ASSERT_TRUE(controller.buttonVisibileOnLine(0));

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QTest::qWait(20);
    EXPECT_FALSE(controller.buttonVisibileOnLine(0));
    EXPECT_FALSE(controller.buttonVisibileOnLine(1));

    // Back in the document, the palette's line gets its button again.
    QApplication::setActiveWindow(window);
    QTest::qWait(20);
    EXPECT_TRUE(controller.paletteIsVisible());
    EXPECT_TRUE(controller.buttonVisibileOnLine(1));
}

// Needs a real X server (run under xvfb-run): the window's shape is its mask there.
TEST_F(AnswerPalette, TheWindowBehindShowsOutsideTheShape) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "window shapes need an X server";
    NBDocumentWindow* window = windowWithTypedLines({"0.75"});
    window->move(40, 40);
    togglePalette(window);
    NBAnswerPalette* paletteWindow = palette(window).answerPalette();
    ASSERT_TRUE(paletteWindow->isVisible());
    QTest::qWait(NBPopupWindow::kFadeMilliseconds + 300);
    QScreen* screen = paletteWindow->screen();
    const QRect frame = paletteWindow->frameGeometry();
    const QImage shot = screen->grabWindow(0).toImage();
    // The screen as a user sees it: the document window with the palette beside its answer.
    shot.copy(window->frameGeometry().united(frame).adjusted(-10, -10, 10, 10))
        .save(saveScreenshot(window, "palette-over-window-xvfb"));
    shot.copy(frame.adjusted(-20, -20, 20, 20))
        .save(saveScreenshot(paletteWindow, "palette-shape-xvfb"));
    // Inside the balloon: its grey gradient. At the top-right corner, outside the rounded shape,
    // and above the pointer on the left edge: whatever lies behind, not the balloon.
    // Under the rows, in the bottom margin, the gradient is near its bottom grey.
    const QColor inside = shot.pixelColor(QPoint(frame.center().x(), frame.bottom() - 5));
    EXPECT_NEAR(inside.redF(), 0.78, 0.04);
    const QPoint corner(frame.right() - 1, frame.top() + 1);
    const QPoint leftTop(frame.left() + 1, frame.top() + 2);
    const QColor behindCorner = shot.pixelColor(corner);
    const QColor behindLeft = shot.pixelColor(leftTop);
    paletteWindow->hide();
    QTest::qWait(200);
    const QImage without = screen->grabWindow(0).toImage();
    EXPECT_EQ(behindCorner, without.pixelColor(corner));
    EXPECT_EQ(behindLeft, without.pixelColor(leftTop));
}

TEST_F(AnswerPalette, ACurrencyAnswerListsEachEnabledFavouriteThenItsUnit) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    launch();
    std::shared_ptr<NKCurrenciesManager> manager =
        NKEnvironment::sharedEnvironment()->fullCurrenciesManager();
    ASSERT_NE(manager, nullptr);
    for (const auto& currency : manager->favouriteCurrencies()) currency->setFavourite(false);
    for (const char16_t* code : {u"EUR", u"GBP", u"JPY"}) {
        std::shared_ptr<NKCurrency> currency = manager->currencyWithCode(code);
        ASSERT_NE(currency, nullptr);
        currency->setEnabled(true);
        currency->setFavourite(true);
    }
    NBDocumentWindow* window = windowWithTypedLines({"123456 USD", "2000000000 USD"});
    NBAnswerPaletteController& controller = palette(window);
    controller.showAnswerPaletteOnLineIndex(0, true);
    settle(window);
    const QStringList listed = titles(controller);
    ASSERT_EQ(listed.size(), 4) << listed.join(",").toStdString();
    EXPECT_EQ(QStringList(listed.mid(0, 3)).join(","), "EUR,GBP,JPY");
    EXPECT_EQ(listed.last(), "Unit");
    // Two places, grouped in threes.
    for (const char* code : {"EUR", "GBP", "JPY"}) {
        const QString value = valueTitled(controller, code);
        EXPECT_TRUE(QRegularExpression("^\\d{1,3}(,\\d{3})*\\.\\d\\d$").match(value).hasMatch())
            << code << " " << value.toStdString();
    }
    EXPECT_FALSE(valueTitled(controller, "Unit").isEmpty());

    // From nine digits on, conversions are written in scientific notation.
    controller.showAnswerPaletteOnLineIndex(1, true);
    settle(window);
    EXPECT_TRUE(valueTitled(controller, "JPY").contains(u"\u00D710"))
        << valueTitled(controller, "JPY").toStdString();
}

TEST_F(AnswerPalette, ScrollingItsLineAwayMovesItToTheNearestVisibleRowAndBack) {
    QStringList lines;
    for (int i = 1; i <= 60; ++i) lines << QString::number(i);
    NBDocumentWindow* window = windowWithTypedLines(lines);
    QScrollBar* scroll = window->textView()->verticalScrollBar();
    scroll->setValue(0);
    settle(window);
    NBAnswerPaletteController& controller = palette(window);
    controller.showAnswerPaletteOnLineIndex(0, true);
    settle(window);
    ASSERT_EQ(representedIndex(window), 0u);

    // Scrolled to the end, the first row whose middle shows stands in for line 0.
    scroll->setValue(scroll->maximum());
    settle(window);
    NBAnswerColumnView* column = window->answerColumn();
    const std::vector<uint64_t> visible = column->visibleRows();
    ASSERT_FALSE(visible.empty());
    ASSERT_GT(visible.front(), 0u);
    const uint64_t shown = representedIndex(window);
    EXPECT_TRUE(shown == visible.front() || shown == visible.front() + 1) << shown;
    const QRectF row = column->rectOfRow(shown);
    EXPECT_GE(row.y() + row.height() / 2, 0);
    EXPECT_EQ(controller.preferredRepresentedLine(),
              window->document().lineCollection()->lineAtIndex(0));

    // Back at the top it returns to its own line.
    scroll->setValue(0);
    settle(window);
    EXPECT_EQ(representedIndex(window), 0u);
    EXPECT_EQ(valueTitled(controller, "Decimal"), "1");
}
