// The document's commands: commenting, copying answers, clearing, the answers jumped into the
// text, the big answer, the answer column's clicks, drags and menu, and their validation.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerColumnView.h"
#include "NBAttributedText.h"
#include "NBBigAnswerViewer.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBMenuController.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBViewController.h"
#include "NCLineCollection.h"
#include "NCPropertyListValue.h"

namespace {

class DocumentCommands : public AppTest {
  protected:
    static NBDocumentController& document(NBDocumentWindow* window) { return window->document(); }
    static bool enabled(NBDocumentWindow* window, const char* command, int tag = -1) {
        return document(window).validateCommand(QString::fromLatin1(command), tag);
    }
    static QString title(NBDocumentWindow* window, const char* command) {
        QAction item;
        item.setData(-1);
        document(window).validateMenuItem(QString::fromLatin1(command), &item);
        return item.text();
    }
    static void run(NBDocumentWindow* window, const char* command, int tag = -1) {
        EXPECT_TRUE(document(window).performCommand(QString::fromLatin1(command), tag)) << command;
        QCoreApplication::processEvents();
    }
    static void selectLines(NBDocumentWindow* window, int first, int last) {
        QTextDocument* text = window->textView()->document();
        QTextCursor cursor(text);
        cursor.setPosition(text->findBlockByNumber(first).position());
        const QTextBlock end = text->findBlockByNumber(last);
        cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
        window->textView()->setTextCursor(cursor);
        QCoreApplication::processEvents();
    }
};

TEST_F(DocumentCommands, AMixedSelectionIsCommentedAndCommentsOnlyAreUncommented) {
    NBDocumentWindow* window = windowWithTypedLines({"// a", "b"});
    selectLines(window, 0, 1);
    EXPECT_EQ(title(window, "commentLine:"), "Comment Lines");
    run(window, "commentLine:");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"// a", "//b"}));
    EXPECT_EQ(lineTexts(document(window)), QStringList({"// a", "//b"}));

    selectLines(window, 0, 1);
    EXPECT_EQ(title(window, "commentLine:"), "Uncomment Lines");
    run(window, "commentLine:");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({" a", "b"}));
    selectLines(window, 1, 1);
    EXPECT_EQ(title(window, "commentLine:"), "Comment Line");
}

struct CopyCase {
    const char* name;
    QStringList lines;
    const char* command;
    int tag;  // -1: every line selected
    QString copied;
};

class CopyCommands : public DocumentCommands, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(CopyCommands, PutTheAnswersOnTheClipboard) {
    const CopyCase& c = GetParam();
    NBDocumentWindow* window = windowWithTypedLines(c.lines);
    if (c.tag == -1) selectLines(window, 0, static_cast<int>(c.lines.size()) - 1);
    ASSERT_TRUE(enabled(window, c.command, c.tag)) << c.name;
    QApplication::clipboard()->clear();
    run(window, c.command, c.tag);
    EXPECT_EQ(QApplication::clipboard()->text(), c.copied) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CopyCommands,
    ::testing::Values(CopyCase{"expressions and results",
                               {"x = 3", "x + 2"},
                               "copyExpressionAndResult:",
                               -1,
                               "x = 3\nx + 2 = 5"},
                      CopyCase{"a declaration of a sum",
                               {"y = 2 + 2"},
                               "copyExpressionAndResult:",
                               0,
                               "y = 2 + 2 = 4"},
                      CopyCase{"a line without answer",
                               {"words", "1+1"},
                               "copyExpressionAndResult:",
                               -1,
                               "words\n1+1 = 2"},
                      CopyCase{"a declaration's value", {"x = 3"}, "copyResult:", 0, "3"},
                      CopyCase{"results of lines", {"2*3", "10/4"}, "copyResult:", -1, "6\n2.5"},
                      CopyCase{"a raw result",
                               {"1/3"},
                               "copyUnformattedResult:",
                               0,
                               "0." + QString(50, QLatin1Char('3'))},
                      CopyCase{"a raw result without separators",
                               {"1234567"},
                               "copyUnformattedResult:",
                               0,
                               "1234567"}));

TEST_F(DocumentCommands, TitlesArePluralForSeveralLines) {
    NBDocumentWindow* window = windowWithTypedLines({"1", "2"});
    selectLines(window, 0, 1);
    EXPECT_EQ(title(window, "copyResult:"), "Copy Results");
    EXPECT_EQ(title(window, "copyUnformattedResult:"), "Copy Raw Results");
    EXPECT_EQ(title(window, "copyExpressionAndResult:"), "Copy Expressions && Results");
    selectLines(window, 1, 1);
    EXPECT_EQ(title(window, "copyExpressionAndResult:"), "Copy Expression && Result");
    // Part of a line selected: the text's own copy, not the line's.
    window->textView()->setSelectedRange({0, 0});
    EXPECT_TRUE(enabled(window, "copyExpressionAndResult:"));
}

TEST_F(DocumentCommands, ClearLineAndClearAllFollowTheText) {
    NBDocumentWindow* window = windowWithTypedLines({"1+1", "2+2"});
    selectLines(window, 0, 1);
    EXPECT_FALSE(enabled(window, "clearLine:"));
    window->textView()->moveCursor(QTextCursor::End);
    EXPECT_TRUE(enabled(window, "clearLine:"));
    run(window, "clearLine:");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"1+1", ""}));
    EXPECT_EQ(answerTexts(document(window)), QStringList({"2", ""}));
    EXPECT_FALSE(enabled(window, "clearLine:"));
    EXPECT_TRUE(enabled(window, "clearAll:"));
    run(window, "clearAll:");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({""}));
    EXPECT_EQ(lineTexts(document(window)), QStringList({""}));
    EXPECT_FALSE(enabled(window, "clearAll:"));
    EXPECT_FALSE(enabled(window, "jumpAnswers:"));
}

TEST_F(DocumentCommands, InsertPreviousAnswerAsNumberTakesTheNearestAnswerAbove) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "words", "10"});
    EXPECT_TRUE(enabled(window, "insertPreviousAnswer:", 1));
    EXPECT_TRUE(enabled(window, "insertPreviousAnswer:", 0));
    window->textView()->moveCursor(QTextCursor::End);
    run(window, "insertPreviousAnswer:", 1);
    EXPECT_EQ(blockTexts(*window->textView()).last(), "10+5");
    window->textView()->setSelectedRange({0, 0});
    QCoreApplication::processEvents();
    EXPECT_FALSE(enabled(window, "insertPreviousAnswer:", 1));
}

TEST_F(DocumentCommands, ReferenceCommandsInsertTokensToTheLinesTheyName) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "words", "10", ""});
    // The nearest answer above, as a reference that follows its line.
    run(window, "insertPreviousAnswer:", 0);
    EXPECT_EQ(answerTexts(document(window)).last(), "10");
    EXPECT_TRUE(blockTexts(*window->textView()).last().contains("___"));
    QTest::keyClick(window->textView(), Qt::Key_Return);
    // Tags count lines from 1 for the relative form, from 0 for the absolute one.
    run(window, "insertAnswerTokenReferringToLineAtSendersTag:", 1);
    EXPECT_EQ(answerTexts(document(window)).last(), "5");
    QTest::keyClick(window->textView(), Qt::Key_Return);
    run(window, "insertAbsoluteAnswerFromLine:", 2);
    EXPECT_EQ(answerTexts(document(window)).last(), "10");
    QTest::keyClick(window->textView(), Qt::Key_Return);
    run(window, "insertNewToken:");
    EXPECT_EQ(answerTexts(document(window)).last(), "10");
    EXPECT_EQ(lineTexts(document(window)), blockTexts(*window->textView()));

    // A line cannot refer to itself, and the first line has no line above.
    const int current = static_cast<int>(document(window).keyLineNumber());
    EXPECT_FALSE(enabled(window, "insertAnswerTokenReferringToLineAtSendersTag:", current + 1));
    EXPECT_FALSE(enabled(window, "insertAbsoluteAnswerFromLine:", current));
    EXPECT_FALSE(enabled(window, "insertAbsoluteAnswerFromLine:", current + 1));
    window->textView()->setSelectedRange({0, 0});
    QCoreApplication::processEvents();
    EXPECT_FALSE(enabled(window, "insertNewToken:"));
    EXPECT_FALSE(enabled(window, "insertPreviousAnswer:", 0));
}

TEST_F(DocumentCommands, InsertSubtotalAddsALineOfTokensToTheSelectedLines) {
    NBDocumentWindow* window = windowWithTypedLines({"1", "2", "3"});
    selectLines(window, 0, 2);
    EXPECT_FALSE(enabled(window, "insertSubtotalOfSelectedLines:", 0));
    run(window, "insertSubtotalOfSelectedLines:");
    const QStringList text = blockTexts(*window->textView());
    ASSERT_EQ(text.size(), 4);
    EXPECT_TRUE(text[3].startsWith("Subtotal: ")) << text[3].toStdString();
    EXPECT_EQ(text[3].count("___"), 3) << text[3].toStdString();
    EXPECT_EQ(answerTexts(document(window)), QStringList({"1", "2", "3", "6"}));
}

TEST_F(DocumentCommands, TheBarTogglesFlipTheirAreaAndEditTheDocument) {
    NBDocumentWindow* window = windowWithTypedLines({"1"});
    NBViewController& frame = *window->viewController();
    struct Toggle {
        const char* command;
        std::function<bool()> shown;
        QString hide;
    };
    const Toggle toggles[] = {
        {"toggleFormattingBarShown:", [&] { return frame.formattingBarVisible(); },
         "Hide Formatting Bar"},
        {"toggleNumberLineShown:", [&] { return frame.numberLineVisibile(); }, "Hide Line Numbers"},
        {"toggleStatisticsShown:", [&] { return frame.statisticsBarVisibile(); },
         "Hide Statistics Bar"},
    };
    for (const Toggle& toggle : toggles) {
        const bool before = toggle.shown();
        document(window).updateChangeCount(NBChangeCleared);
        run(window, toggle.command);
        pumpEventsFor(400);
        EXPECT_NE(toggle.shown(), before) << toggle.command;
        EXPECT_TRUE(document(window).isDocumentEdited()) << toggle.command;
        QString expected = toggle.hide;
        if (before) expected.replace("Hide", "Show");
        EXPECT_EQ(title(window, toggle.command), expected);
    }
}

TEST_F(DocumentCommands, JumpedAnswersShowReadOnlyAndJumpingBackRestoresEverything) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "x = 4", "x*2", "note"});
    selectLines(window, 1, 1);
    window->textView()->setSelectedRange({7, 0});
    QCoreApplication::processEvents();
    QTextDocument* typed = window->textView()->document();
    const size_t hash = document(window).lineCollection()->hash();
    const bool modified = typed->isModified();
    const int undoSteps = typed->availableUndoSteps();
    ASSERT_TRUE(enabled(window, "jumpAnswers:"));
    run(window, "jumpAnswers:");

    EXPECT_NE(window->textView()->document(), typed);
    EXPECT_EQ(blockTexts(*window->textView()),
              QStringList({"2+3 = 5", "x = 4", "x*2 = 8", "note"}));
    EXPECT_TRUE(window->textView()->isReadOnly());
    EXPECT_FALSE(document(window).answerColumnController().answersVisible());
    // The insertion point sits at the end of the line it was on.
    EXPECT_EQ(window->textView()->textCursor().position(), 13);
    for (const char* command : {"copyResult:", "copyUnformattedResult:", "copyExpressionAndResult:",
                                "clearLine:", "clearAll:", "commentLine:", "alignText:"})
        EXPECT_FALSE(enabled(window, command)) << command;
    EXPECT_FALSE(enabled(window, "insertPreviousAnswer:", 1));
    QTest::keyClicks(window->textView(), "9");
    QTest::keyClick(window->textView(), Qt::Key_Backspace);
    EXPECT_EQ(blockTexts(*window->textView()),
              QStringList({"2+3 = 5", "x = 4", "x*2 = 8", "note"}));
    saveScreenshot(window, "commands-jumped-document");

    run(window, "jumpAnswers:");
    EXPECT_EQ(window->textView()->document(), typed);
    EXPECT_FALSE(window->textView()->isReadOnly());
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"2+3", "x = 4", "x*2", "note"}));
    EXPECT_EQ(document(window).lineCollection()->hash(), hash);
    EXPECT_EQ(typed->isModified(), modified);
    EXPECT_EQ(typed->availableUndoSteps(), undoSteps);
    EXPECT_TRUE(document(window).answerColumnController().answersVisible());
    EXPECT_EQ(window->textView()->textCursor().position(), 9);
    EXPECT_EQ(answerTexts(document(window)), QStringList({"5", "4", "8", ""}));
    // Typing works again, through the edit road.
    QTest::keyClicks(window->textView(), "+1");
    EXPECT_EQ(answerTexts(document(window)), QStringList({"5", "5", "10", ""}));
}

TEST_F(DocumentCommands, TheBigAnswerShowsNoAnswerForAnErrorAndAnyKeyClosesIt) {
    NBDocumentWindow* window = windowWithTypedLines({"1/0"});
    EXPECT_EQ(title(window, "showBigAnswer:"), "Show Big Answer");
    run(window, "showBigAnswer:");
    NBBigAnswerViewer* viewer = document(window).bigAnswerViewer();
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(viewer->visible());
    NBBigAnswerWindow* panel = viewer->window();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text(), "No Answer");
    EXPECT_EQ(title(window, "showBigAnswer:"), "Hide Big Answer");
    // Translucent exactly where windows are composited.
    EXPECT_EQ(panel->testAttribute(Qt::WA_TranslucentBackground),
              NBBigAnswerViewer::compositorAvailable());
    EXPECT_EQ(panel->isTranslucent(), NBBigAnswerViewer::compositorAvailable());
    pumpEventsFor(400);
    saveScreenshot(panel, "commands-big-answer");

    QTest::keyClick(panel, Qt::Key_A);
    EXPECT_FALSE(viewer->visible());
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"1/0"}));
    EXPECT_TRUE(pumpEventsUntil([&] { return !panel->isVisible(); }, 2000));
    // A toolbar click that closed the panel does not open it again at once.
    run(window, "showBigAnswer:");
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_FALSE(viewer->visible());
    EXPECT_TRUE(document(window).performCommand("showBigAnswer:", -1, true));
    EXPECT_FALSE(viewer->visible());
    EXPECT_TRUE(document(window).performCommand("showBigAnswer:", -1, true));
    EXPECT_TRUE(viewer->visible());
    viewer->setVisible(false);
}

TEST_F(DocumentCommands, ALongBigAnswerFitsTheMiddleOfTheScreen) {
    NBDocumentWindow* window =
        windowWithTypedLines({"123456789 * 987654321 * 123456789 * 987654321"});
    run(window, "showBigAnswer:");
    NBBigAnswerViewer* viewer = document(window).bigAnswerViewer();
    ASSERT_NE(viewer, nullptr);
    NBBigAnswerWindow* panel = viewer->window();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect allowed = viewer->maximalDisplayRect();
    EXPECT_EQ(allowed.width(), screen.width() - 2 * static_cast<int>(screen.width() * 0.15));
    EXPECT_EQ(allowed.height(), screen.height() - 2 * static_cast<int>(screen.height() * 0.28));
    EXPECT_NE(panel->text(), "No Answer");
    // The answer is drawn as the formatter gives it: the exponent raised and smaller.
    const NBAttributedText& shown = panel->attributedText();
    ASSERT_EQ(shown.runs().size(), 3u) << panel->text().toStdString();
    EXPECT_EQ(shown.runs()[2].superscript, 1);
    EXPECT_LT(shown.runs()[2].font.pointSizeF(), shown.runs()[0].font.pointSizeF());
    EXPECT_LE(shown.width(), allowed.width());
    EXPECT_LE(shown.height(), allowed.height());
    // The size is the largest that fits: a tenth of it more would not.
    const double points = panel->textFont().pointSizeF();
    const auto widthAt = [&](double size) {
        double width = 0;
        for (const NBAttributedText::Run& run : shown.runs()) {
            QFont font = run.font;
            font.setPointSizeF(run.font.pointSizeF() * size / points);
            width += QFontMetricsF(font).horizontalAdvance(run.text);
        }
        return width;
    };
    EXPECT_GT(widthAt(points * 1.1), allowed.width());
    // The panel lies in the middle, its shadow margin around it.
    const QRect panelOnScreen = panel->panelRect().translated(panel->geometry().topLeft());
    EXPECT_TRUE(screen.contains(panelOnScreen));
    EXPECT_LE(std::abs(panelOnScreen.center().x() - allowed.center().x()), 1);
    EXPECT_EQ(panel->panelRect().width() % 2, 1);
    EXPECT_EQ(panel->panelRect().height() % 2, 0);
    EXPECT_EQ(NBBigAnswerViewer::fittingFontSize("x", panel->textFont(), QSizeF(20000, 100)), 0);
    viewer->setVisible(false);
}

TEST_F(DocumentCommands, TheAnswerMenuOfAMultiRowSelectionOffersOnlyTheCopyItems) {
    NBDocumentWindow* window = windowWithTypedLines({"1+1", "2+2", "3+3"});
    NBAnswerColumnView* column = window->answerColumn();
    column->selectRowIndexes(NSIndexSet(NSRange{0, 2}), false);
    const auto menuOn = [&](uint64_t row) {
        const QPoint at = column->rectOfRow(row).center().toPoint();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, column->mapToGlobal(at));
        QApplication::sendEvent(column, &event);
        return column->contextMenu();
    };
    QMenu* inside = menuOn(1);
    ASSERT_NE(inside, nullptr);
    QStringList names;
    for (QAction* action : inside->actions())
        if (!action->isSeparator()) names << action->objectName();
    EXPECT_EQ(names,
              QStringList({"copyResult:", "copyUnformattedResult:", "copyExpressionAndResult:"}));
    for (QAction* action : inside->actions()) {
        EXPECT_EQ(action->data().toInt(), -1);
        EXPECT_TRUE(action->isEnabled());
    }
    inside->actions().front()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "2\n4");
    inside->close();

    QMenu* outside = menuOn(2);
    ASSERT_NE(outside, nullptr);
    names.clear();
    for (QAction* action : outside->actions())
        if (!action->isSeparator()) names << action->objectName();
    EXPECT_EQ(names, QStringList({"showBigAnswer:", "speakAnswer:", "copyResult:",
                                  "copyUnformattedResult:", "copyExpressionAndResult:"}));
    for (QAction* action : outside->actions()) {
        if (!action->isSeparator()) {
            EXPECT_EQ(action->data().toInt(), 2);
        }
    }
    outside->adjustSize();
    saveScreenshot(outside, "commands-answer-context-menu");
    outside->actions().back()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "3+3 = 6");
    outside->close();

    // Hidden answers: no menu.
    document(window).answerColumnController().setAnswersVisible(false);
    EXPECT_EQ(menuOn(0), nullptr);
}

TEST_F(DocumentCommands, DoubleClicksOnTheAnswerColumn) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "4"});
    NBAnswerColumnView* column = window->answerColumn();
    const QPoint row0 = column->rectOfRow(0).center().toPoint();
    const QPoint row1 = column->rectOfRow(1).center().toPoint();
    // On the current line's own row: a beep and nothing else.
    QTest::mouseDClick(column, Qt::LeftButton, Qt::NoModifier, row1);
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"2+3", "4"}));

    // With Alt, or Shift where the window manager takes Alt: the operator and the answer.
    window->textView()->moveCursor(QTextCursor::End);
    QTest::mouseDClick(column, Qt::LeftButton, Qt::AltModifier, row0);
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"2+3", "4+5"}));
    window->textView()->moveCursor(QTextCursor::End);
    QTest::mouseDClick(column, Qt::LeftButton, Qt::ShiftModifier, row0);
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"2+3", "4+5+5"}));
    EXPECT_EQ(answerTexts(document(window)), QStringList({"5", "14"}));
    // On another row: a reference to it, with the operator the line needs.
    window->textView()->moveCursor(QTextCursor::End);
    QTest::mouseDClick(column, Qt::LeftButton, Qt::NoModifier, row0);
    EXPECT_EQ(answerTexts(document(window)), QStringList({"5", "19"}));
    EXPECT_TRUE(blockTexts(*window->textView())[1].contains("___"));
}

TEST_F(DocumentCommands, DragsCarryTheTokenTypeAndPlainText) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "words"});
    NBAnswerColumnView* column = window->answerColumn();
    column->deselectAll();
    const auto tokenType = [](const QMimeData& data) {
        std::string error;
        auto list = NCPropertyListValue::readFromData(
            data.data("NBTextAttachmentPboardType").toStdString(), &error);
        EXPECT_TRUE(list && list->isDictionary()) << error;
        EXPECT_EQ(list->valueForKey(u"NBLineNumber")->integer(), 0);
        EXPECT_TRUE(list->valueForKey(u"NBSourceDocument") != nullptr);
        return list->valueForKey(u"NBRequestedTokenType")->integer();
    };
    std::unique_ptr<QMimeData> plain(column->dragDataForRow(0, Qt::NoModifier));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->formats(), QStringList({"NBTextAttachmentPboardType", "text/plain"}));
    EXPECT_EQ(plain->text(), "5");
    EXPECT_EQ(tokenType(*plain), 2);
    std::unique_ptr<QMimeData> fixed(column->dragDataForRow(0, Qt::ControlModifier));
    EXPECT_EQ(tokenType(*fixed), 3);
    std::unique_ptr<QMimeData> text(column->dragDataForRow(0, Qt::AltModifier));
    EXPECT_EQ(text->formats(), QStringList({"text/plain"}));
    EXPECT_EQ(text->text(), "5");
    // No value, two rows selected, or answers hidden: no drag.
    EXPECT_EQ(column->dragDataForRow(1, Qt::NoModifier), nullptr);
    column->selectRowIndexes(NSIndexSet(NSRange{0, 2}), false);
    EXPECT_EQ(column->dragDataForRow(0, Qt::NoModifier), nullptr);
    column->deselectAll();
    document(window).answerColumnController().setAnswersVisible(false);
    EXPECT_EQ(column->dragDataForRow(0, Qt::NoModifier), nullptr);
}

TEST_F(DocumentCommands, SpokenLinesAreSentencesAndNeedASpeechEngine) {
    NBDocumentWindow* window = windowWithTypedLines({"2+3", "note", "", "7 × 6", ""});
    // A reference is spoken as the answer it shows, never as its stored form.
    run(window, "insertPreviousAnswer:", 0);
    QTest::keyClicks(window->textView(), " * 2");
    selectLines(window, 0, 4);
    // Symbols are spoken as the words of the operator lists.
    EXPECT_EQ(document(window).speechStringForKeyLines(),
              "2 plus 3 is 5. note. 7 times 6 is 42. 42 times 2 is 84");
    EXPECT_EQ(enabled(window, "speakSelectedLines:"), NBDocumentController::speechAvailable());
    EXPECT_EQ(enabled(window, "speakAnswer:", 0), NBDocumentController::speechAvailable());
    EXPECT_FALSE(enabled(window, "stopSpeech:"));
}

TEST_F(DocumentCommands, TheMenusAreValidatedAgainstTheActiveDocument) {
    NBDocumentWindow* window = windowWithTypedLines({"// a", "note"});
    NBMenuController& menus = app()->menuController();
    selectLines(window, 0, 1);
    menus.validateMenuItems();
    EXPECT_TRUE(menus.action("commentLine:")->isEnabled());
    EXPECT_EQ(menus.action("commentLine:")->text(), "Comment Lines");
    EXPECT_FALSE(menus.action("copyResult:")->isEnabled());
    EXPECT_FALSE(menus.action("insertPreviousAnswer:", 0)->isEnabled());
    menus.action("commentLine:")->trigger();
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"// a", "//note"}));
}

// Edit > Undo and Redo name the step they would take, whichever way it was made.
TEST_F(DocumentCommands, TheEditMenuNamesTheStepsOfUndoAndRedo) {
    NBDocumentWindow* window = windowWithTypedLines({"5", "line1"});
    NBTextView* text = window->textView();
    NBMenuController& menus = app()->menuController();
    const auto titles = [&] {
        menus.validateMenuItems();
        return std::make_pair(menus.action("undo:")->text(), menus.action("redo:")->text());
    };
    EXPECT_EQ(titles(), std::make_pair(QString("Undo Typing"), QString("Redo")));
    QApplication::clipboard()->setText("+2");
    text->moveCursor(QTextCursor::End);
    text->paste();
    QCoreApplication::processEvents();
    EXPECT_EQ(titles().first, "Undo Paste");
    // The second line's reference is a token: changing its kind is a step of its own.
    const int token = text->document()->findBlockByNumber(1).position();
    ASSERT_EQ(text->document()->characterAt(token), QChar(0xFFFC));
    document(window).textViewController().changeTokenType(token, 3);
    EXPECT_EQ(titles().first, "Undo Modify Answer Token");
    menus.action("undo:")->trigger();
    EXPECT_EQ(titles(), std::make_pair(QString("Undo Paste"), QString("Redo Modify Answer Token")));
    menus.action("undo:")->trigger();
    EXPECT_EQ(titles().second, "Redo Paste");
    EXPECT_EQ(blockTexts(*text), lineTexts(document(window)));
    text->selectAll();
    document(window).textViewController().cut();
    EXPECT_EQ(titles().first, "Undo Cut");
}

// Completion lists the document's variables before the global ones ("k", "M" and "G" by
// default), each once, whatever the case of the typed word.
TEST_F(DocumentCommands, CompletionListsTheDocumentsVariablesBeforeTheGlobalOnes) {
    NBDocumentWindow* window = windowWithTypedLines({"kilo = 3", "Kmax = 4", "k = 2"});
    NBTextViewController& text = document(window).textViewController();
    EXPECT_EQ(text.completionsForPartialWord(u"k"),
              (std::vector<std::u16string>{u"kilo", u"Kmax", u"k"}));
    EXPECT_EQ(text.completionsForPartialWord(u"g"), (std::vector<std::u16string>{u"G"}));
    EXPECT_TRUE(text.completionsForPartialWord(u"zz").empty());
}

}  // namespace
