// The document window: typing evaluates each line into the answer column, the clipboard and
// the keys give one block per line, documents round-trip through their files, a failed save
// loses nothing, a file that is no document opens no window, and closing asks to save.
#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "AppTestFixture.h"
#include "Diagnostics.h"
#include "DocumentWindowSupport.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerColumnRules.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBEnvironmentController.h"
#include "NBKettraView.h"
#include "NBMenuController.h"
#include "NBTextView.h"
#include "NBTextViewMetrics.h"
#include "NCLineCollection.h"
#include "NKTextAction.h"
#include "NotificationCenter.h"
#include "QtSettings.h"

namespace {

class DocumentWindow : public AppTest {
  protected:
    NBDocumentWindow* newWindow() { return firstDocumentWindow(); }
    static void type(NBDocumentWindow* window, const QString& text) {
        QTest::keyClicks(window->textView(), text);
        QCoreApplication::processEvents();
    }
    static void key(NBDocumentWindow* window, Qt::Key key,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->textView(), key, modifiers);
        QCoreApplication::processEvents();
    }
    static void paste(NBDocumentWindow* window, const QString& text) {
        QApplication::clipboard()->setText(text);
        key(window, Qt::Key_V, Qt::ControlModifier);
    }
};

struct AnswerCase {
    const char* typed;
    const char16_t* answer;
};

class TypedAnswers : public DocumentWindow, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(TypedAnswers, TheAnswerColumnShowsTheLinesAnswer) {
    NBDocumentWindow* window = newWindow();
    type(window, QString::fromUtf8(GetParam().typed));
    ASSERT_EQ(window->document().lineCollection()->countOfLines(), 1u);
    EXPECT_EQ(answerTexts(window->document()),
              QStringList({QString::fromStdU16String(GetParam().answer)}));
    EXPECT_TRUE(window->isWindowModified());
}

INSTANTIATE_TEST_SUITE_P(Lines, TypedAnswers,
                         ::testing::Values(AnswerCase{"2+3", u"5"},
                                           AnswerCase{"1/0", u"Error: Divide by Zero"},
                                           AnswerCase{"3 m + 2 kg", u"Error: Incompatible Units"},
                                           AnswerCase{"just words", u""}));

TEST_F(DocumentWindow, ReturnMakesANewLineAndEachLineIsEvaluated) {
    NBDocumentWindow* window = newWindow();
    type(window, "2+3");
    key(window, Qt::Key_Return);
    type(window, "10*4");
    key(window, Qt::Key_Return, Qt::ShiftModifier);
    type(window, "1/0");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"2+3", "10*4", "1/0"}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"2+3", "10*4", "1/0"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"5", "40", "Error: Divide by Zero"}));
    // Backspace at a line's start joins it to the line above.
    window->textView()->setSelectedRange({9, 0});
    key(window, Qt::Key_Backspace);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"2+3", "10*41/0"}));
}

TEST_F(DocumentWindow, PastedLineEndsGiveOneLineEachAndThinSpacesBecomeSpaces) {
    NBDocumentWindow* window = newWindow();
    paste(window, "a\rb\r\nc");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"a", "b", "c"}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"a", "b", "c"}));
    paste(window, QString::fromUtf16(u"\n1\u20092+3\u2028x"));
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"a", "b", "c", "1 2+3", "x"}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"a", "b", "c", "1 2+3", "x"}));
}

TEST_F(DocumentWindow, CopiedLinesPasteWithTheirText) {
    NBDocumentWindow* window = newWindow();
    type(window, "4*5");
    key(window, Qt::Key_Return);
    type(window, "6");
    window->textView()->selectAll();
    key(window, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_TRUE(copied->hasFormat("NBLinesPboardType"));
    EXPECT_TRUE(copied->hasFormat("NBTextAttachmentPboardType"));
    window->textView()->moveCursor(QTextCursor::End);
    key(window, Qt::Key_Return);
    key(window, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"4*5", "6", "4*5", "6"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"20", "6", "20", "6"}));
}

TEST_F(DocumentWindow, ATypedDocumentSavedClosedAndReopenedIsTheSame) {
    NBDocumentWindow* window = newWindow();
    type(window, "price = 12");
    key(window, Qt::Key_Return);
    type(window, "price * 3");
    key(window, Qt::Key_Return);
    type(window, "1/0");
    window->textView()->setSelectedRange({3, 4});
    const QString path = root() + "/saved.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->displayName(), "saved.numbera");
    const QStringList text = blockTexts(*window->textView());
    const QStringList answers = answerTexts(window->document());
    EXPECT_EQ(answers, QStringList({"12", "36", "Error: Divide by Zero"}));
    window->close();
    pumpEventsFor(20);
    EXPECT_TRUE(app()->documents().documents().empty());

    NBDocumentWindow* reopened = app()->documents().openDocument(path);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(blockTexts(*reopened->textView()), text);
    EXPECT_EQ(lineTexts(reopened->document()), text);
    EXPECT_EQ(answerTexts(reopened->document()), answers);
    EXPECT_EQ(reopened->textView()->selectedRange().location, 3u);
    EXPECT_EQ(reopened->textView()->selectedRange().length, 4u);
    EXPECT_FALSE(reopened->isWindowModified());
    EXPECT_FALSE(reopened->textView()->document()->isUndoAvailable());
}

TEST_F(DocumentWindow, RevertingReadsTheSavedFileAndAFailedRevertKeepsTheEdits) {
    NBDocumentWindow* window = newWindow();
    type(window, "a = 2");
    key(window, Qt::Key_Return);
    type(window, "a * 5");
    const QString path = root() + "/revert.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    key(window, Qt::Key_Return);
    type(window, "a + 1");
    window->textView()->setSelectedRange({0, 5});
    type(window, "a = 7");
    ASSERT_EQ(answerTexts(window->document()), QStringList({"7", "35", "8"}));

    expectModalDialog(true);
    window->revertDocumentToSaved();
    ASSERT_NE(window->sheet(), nullptr);
    window->sheet()->findChild<QPushButton*>("revert")->click();
    EXPECT_TRUE(pumpEventsUntil([&] { return !window->isWindowModified(); }));
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"a = 2", "a * 5"}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"a = 2", "a * 5"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"2", "10"}));
    EXPECT_FALSE(window->textView()->document()->isUndoAvailable());
    // Typing goes on from the reverted text.
    window->textView()->setSelectedRange({5, 0});
    type(window, "0");
    EXPECT_EQ(answerTexts(window->document()), QStringList({"20", "100"}));

    pumpEventsFor(20);
    ASSERT_TRUE(QFile::remove(path));
    window->revertDocumentToSaved();
    ASSERT_NE(window->sheet(), nullptr);
    window->sheet()->findChild<QPushButton*>("revert")->click();
    EXPECT_TRUE(pumpEventsUntil(
        [&] { return window->sheet() && window->sheet()->objectName() == "documentAlert"; }));
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"a = 20", "a * 5"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"20", "100"}));
    EXPECT_TRUE(window->isWindowModified());
    window->sheet()->close();
    pumpEventsFor(20);
    expectModalDialog(false);
}

TEST_F(DocumentWindow, AStoredSelectionPastTheTextIsIgnored) {
    const QString path = root() + "/selection.numbera";
    auto collection = std::make_shared<NCLineCollection>();
    collection->addLine(NCLine::lineWithExpressionString(u"1+1"));
    std::string error;
    ASSERT_TRUE(collection->archiveToPath(
        path.toStdString(),
        {{"NBTextSelectionLocation", int64_t{2}}, {"NBTextSelectionLength", int64_t{9}}}, &error));
    newWindow();
    NBDocumentWindow* window = app()->documents().openDocument(path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->textView()->selectedRange().location, 0u);
    EXPECT_EQ(window->textView()->selectedRange().length, 0u);
}

TEST_F(DocumentWindow, AFailedSaveIsAnAlertAndLosesNothing) {
    NBDocumentWindow* window = newWindow();
    type(window, "7*6");
    const QString path = root() + "/kept.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();

    type(window, "+1");
    ASSERT_TRUE(window->isWindowModified());
    // The folder of the new path is a file.
    const QString blocker = root() + "/blocker";
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a folder");
    file.close();
    expectModalDialog(true);
    EXPECT_FALSE(window->saveDocumentAs(blocker + "/new.numbera"));
    ASSERT_NE(window->sheet(), nullptr);
    EXPECT_TRUE(window->sheet()->isVisible());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_TRUE(window->document().isDocumentEdited());
    EXPECT_EQ(window->filePath(), QFileInfo(path).absoluteFilePath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
    window->sheet()->close();
    expectModalDialog(false);
}

TEST_F(DocumentWindow, AFileThatIsNoDocumentIsAnAlertAndNoWindow) {
    NBDocumentWindow* window = newWindow();
    const QString path = root() + "/hello.numbera";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("hello");
    file.close();
    std::vector<std::string> log;
    Diagnostics::ScopedSink sink(
        [&](Diagnostics::Stream, const std::string& message) { log.push_back(message); });
    expectModalDialog(true);
    EXPECT_EQ(app()->documents().openDocument(path), nullptr);
    ASSERT_EQ(app()->documents().documents().size(), 1u);
    EXPECT_EQ(app()->documents().documents().front(), window);
    ASSERT_NE(app()->documents().openErrorAlert(), nullptr);
    EXPECT_TRUE(app()->documents().openErrorAlert()->text().contains("hello.numbera"));
    EXPECT_NE(std::find(log.begin(), log.end(), "Warning: Could not open old NB Document"),
              log.end());
    app()->documents().openErrorAlert()->close();
    expectModalDialog(false);
    // Nothing is left of the refused document.
    int documentWindows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<NBDocumentWindow*>(widget) && widget->isVisible()) ++documentWindows;
    EXPECT_EQ(documentWindows, 1);
}

TEST_F(DocumentWindow, ClosingAnEditedDocumentAsksAndCancelKeepsIt) {
    // Suppressing the question needs a draft to fall back on; none was written.
    settings().setObject("NBSuppressSaveAlert", true);
    NBDocumentWindow* window = newWindow();
    type(window, "1+2");
    expectModalDialog(true);
    window->close();
    QMessageBox* question = window->sheet();
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->isVisible());
    question->findChild<QPushButton*>("cancel")->click();
    pumpEventsFor(20);
    ASSERT_EQ(app()->documents().documents().size(), 1u);
    EXPECT_TRUE(window->isVisible());

    window->close();
    ASSERT_NE(window->sheet(), nullptr);
    window->sheet()->findChild<QPushButton*>("dontSave")->click();
    EXPECT_TRUE(pumpEventsUntil([this] { return app()->documents().documents().empty(); }));
    expectModalDialog(false);
}

TEST_F(DocumentWindow, AnUneditedDocumentClosesWithoutAsking) {
    NBDocumentWindow* window = newWindow();
    window->close();
    pumpEventsFor(20);
    EXPECT_TRUE(app()->documents().documents().empty());
}

TEST_F(DocumentWindow, OnlyAFileInsideTheResourcesIsTheExample) {
    newWindow();
    const QString lookalike = resourcesFolder() + "-mine";
    QDir().mkpath(lookalike);
    writeDocumentFile(lookalike + "/work.numbera", {"1+1"});
    NBDocumentWindow* mine = app()->documents().openDocument(lookalike + "/work.numbera");
    ASSERT_NE(mine, nullptr);
    EXPECT_FALSE(mine->document().isExampleDocument());
    type(mine, "0");
    EXPECT_TRUE(mine->isWindowModified());

    writeDocumentFile(resourcesFolder() + "/Example.numbera", {"2+2"});
    NBDocumentWindow* example =
        app()->documents().openDocument(resourcesFolder() + "/Example.numbera");
    ASSERT_NE(example, nullptr);
    EXPECT_TRUE(example->document().isExampleDocument());
    type(example, "0");
    EXPECT_FALSE(example->isWindowModified());
    expectModalDialog(true);
    EXPECT_FALSE(example->saveDocument());
    ASSERT_NE(example->sheet(), nullptr);
    EXPECT_EQ(example->sheet()->text(), "You can't save the example document");
    example->sheet()->close();
    expectModalDialog(false);
}

TEST_F(DocumentWindow, AnActionRemovingTheLineAtTheCountIsNotValid) {
    NBDocumentWindow* window = newWindow();
    type(window, "1");
    key(window, Qt::Key_Return);
    type(window, "2");
    NBDocumentController& document = window->document();
    ASSERT_EQ(document.lineCollection()->countOfLines(), 2u);
    // The text has one line fewer than the collection, so one removal would fit by count;
    // only its index decides.
    window->textView()->metricsInfo()->mirror().setString(u"1");
    window->textView()->metricsInfo()->resetAllCaches();
    NKTextAction atCount;
    atCount.setIndexesToRemove(NSIndexSet(2));
    EXPECT_FALSE(document.textActionIsValid(atCount));
    NKTextAction last;
    last.setIndexesToRemove(NSIndexSet(1));
    EXPECT_TRUE(document.textActionIsValid(last));
    window->textView()->metricsInfo()->mirror().setString(u"1\n2");
    window->textView()->metricsInfo()->resetAllCaches();
}

TEST_F(DocumentWindow, AnswerRowsStayWithTheirLinesWhenScrolled) {
    NBDocumentWindow* window = newWindow();
    QStringList lines;
    for (int i = 0; i < 80; ++i)
        lines << (i % 9 == 4 ? QString("a long line that wraps around the narrow window %1 + %1 "
                                       "+ %1 + %1 + %1 + %1")
                                   .arg(i)
                             : QString("%1*%1").arg(i));
    paste(window, lines.join("\n"));
    window->show();
    window->textView()->verticalScrollBar()->setValue(
        window->textView()->verticalScrollBar()->maximum());
    pumpEventsFor(20);
    NBTextView* text = window->textView();
    NBAnswerColumnView* column = window->answerColumn();
    int checked = 0;
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
        const QRectF bounds = text->document()->documentLayout()->blockBoundingRect(block);
        const int blockTop = text->viewport()
                                 ->mapTo(window, QPoint(0, static_cast<int>(bounds.y()) -
                                                               text->verticalScrollBar()->value()))
                                 .y();
        const QRectF row = column->rectOfRow(static_cast<uint64_t>(block.blockNumber()));
        const int rowTop = column->mapTo(window, row.topLeft().toPoint()).y();
        EXPECT_LE(std::abs(rowTop - blockTop), 1) << block.blockNumber();
        EXPECT_NEAR(row.height(), bounds.height(), 1.0) << block.blockNumber();
        ++checked;
    }
    EXPECT_EQ(checked, 80);
    saveScreenshot(window, "document-window-80-lines-scrolled-to-end");
}

TEST_F(DocumentWindow, Screenshots) {
    NBDocumentWindow* window = newWindow();
    window->show();
    pumpEventsFor(20);
    saveScreenshot(window, "document-window-empty");
    const QStringList lines = {"Groceries",
                               "apples = 3 * 1.25",
                               "bread = 2.40",
                               "apples + bread",
                               "",
                               "12 km in miles",
                               "1/0",
                               "3 m + 2 kg",
                               "2^10",
                               "sqrt(2)",
                               "100 / 7",
                               "20% of 150",
                               "1,234,567 * 3",
                               "pi * 2",
                               "sin(30)",
                               "5 ft + 3 in",
                               "1e30 * 1e30",
                               "x = 4",
                               "x * x + 1",
                               "just a note"};
    paste(window, lines.join("\n"));
    EXPECT_EQ(lineTexts(window->document()), lines);
    EXPECT_EQ(answerTexts(window->document())[3], "6.15");
    window->textView()->moveCursor(QTextCursor::Start);
    window->textView()->verticalScrollBar()->setValue(0);
    pumpEventsFor(20);
    saveScreenshot(window, "document-window-twenty-lines");
    window->textView()->verticalScrollBar()->setValue(
        window->textView()->verticalScrollBar()->maximum());
    pumpEventsFor(20);
    saveScreenshot(window, "document-window-twenty-lines-scrolled");
}

TEST_F(DocumentWindow, NumberaFileOpensTheDocument) {
    const QString path = root() + "/given.numbera";
    writeDocumentFile(path, {"6*7", "1/0"});
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    NBAppController& app = launch({path});
    ASSERT_EQ(app.documents().documents().size(), 1u);
    NBDocumentWindow* window = app.documents().documents().front();
    EXPECT_EQ(window->displayName(), "given.numbera");
    EXPECT_EQ(window->windowTitle(), "given.numbera[*]");
    EXPECT_EQ(answerTexts(window->document()), QStringList({"42", "Error: Divide by Zero"}));
}

}  // namespace

namespace {

TEST_F(DocumentWindow, APastedLineNumberOutsideTheDocumentIsRefusedAndItsTextPasted) {
    NBDocumentWindow* window = newWindow();
    type(window, "2*");
    std::vector<std::string> log;
    Diagnostics::ScopedSink sink(
        [&](Diagnostics::Stream, const std::string& message) { log.push_back(message); });
    auto* data = new QMimeData;
    data->setData("NBTextAttachmentPboardType",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                  "<key>NBLineNumber</key><integer>99</integer>"
                  "<key>NBRequestedTokenType</key><integer>1</integer>"
                  "<key>NBInternalString</key><string>21</string></dict></plist>\n");
    QApplication::clipboard()->setMimeData(data);
    key(window, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"2*21"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"42"}));
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Warning: a pasted line number lies outside the document"),
              log.end());
}

}  // namespace

namespace {

TEST_F(DocumentWindow, ABiggerFontKeepsTheAnswerRowsWithTheirLines) {
    NBDocumentWindow* window = newWindow();
    paste(window, "1+1\n2*2\n3^3");
    const qreal before = window->textView()->document()->defaultFont().pointSizeF();
    app()->menuController().action("makeFontBigger:")->trigger();
    pumpEventsFor(20);
    EXPECT_EQ(window->textView()->document()->defaultFont().pointSizeF(), before + 1);
    EXPECT_EQ(std::get<double>(registeredAnswerColumnAttributes(false).at(NSFontSizeAttributeName)),
              before + 1);
    NBTextView* text = window->textView();
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
        const QRectF bounds = text->document()->documentLayout()->blockBoundingRect(block);
        EXPECT_NEAR(window->answerColumn()->rectOfRow(block.blockNumber()).height(),
                    bounds.height(), 1.0);
    }
}

TEST_F(DocumentWindow, QuittingAsksAboutAnEditedDocumentFirst) {
    NBDocumentWindow* window = newWindow();
    type(window, "5*5");
    expectModalDialog(true);
    app()->menuController().action("terminate:")->trigger();
    ASSERT_NE(window->sheet(), nullptr);
    EXPECT_TRUE(window->sheet()->isVisible());
    EXPECT_EQ(app()->documents().documents().size(), 1u);
    window->sheet()->findChild<QPushButton*>("cancel")->click();
    pumpEventsFor(20);
    EXPECT_EQ(app()->documents().documents().size(), 1u);
    expectModalDialog(false);
}

}  // namespace

namespace {

// The lines a reference's text names move with an edit: the text view shows the rewritten line.
TEST_F(DocumentWindow, AReferenceFollowsItsLineAndTheTextShowsTheRewrite) {
    const QString path = root() + "/references.numbera";
    writeDocumentFile(path, {"1", "2", "3", "4", "5", "(___rel_line(-2))*2"});
    newWindow();
    NBDocumentWindow* window = app()->documents().openDocument(path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(answerTexts(window->document()).last(), "8");

    // A new line between the reference and its target.
    const QTextBlock five = window->textView()->document()->findBlockByNumber(4);
    window->textView()->setSelectedRange({static_cast<uint64_t>(five.position() + 1), 0});
    key(window, Qt::Key_Return);
    pumpEventsFor(20);
    EXPECT_EQ(blockTexts(*window->textView()),
              QStringList({"1", "2", "3", "4", "5", "", "(___rel_line(-3))*2"}));
    EXPECT_EQ(lineTexts(window->document()), blockTexts(*window->textView()));
    EXPECT_EQ(answerTexts(window->document()).last(), "8");
    // The caret stays where Return left it.
    EXPECT_EQ(window->textView()->selectedRange().location,
              static_cast<uint64_t>(five.position() + 2));

    // Its target removed, the reference answers nothing and says so in its text.
    const QTextBlock four = window->textView()->document()->findBlockByNumber(3);
    window->textView()->setSelectedRange({static_cast<uint64_t>(four.position()), 2});
    key(window, Qt::Key_Backspace);
    pumpEventsFor(20);
    const QStringList after = blockTexts(*window->textView());
    EXPECT_EQ(lineTexts(window->document()), after);
    EXPECT_NE(after.last(), "(___rel_line(-3))*2");
    FreshDocument fresh(after);
    EXPECT_EQ(answerTexts(window->document()), answerTexts(fresh.document()));
}

}  // namespace

namespace {

TEST_F(DocumentWindow, UndoAndRedoRebuildTheLinesAndTheEditedStateFollows) {
    NBDocumentWindow* window = newWindow();
    type(window, "2+3");
    key(window, Qt::Key_Return);
    ASSERT_TRUE(window->isWindowModified());
    key(window, Qt::Key_Z, Qt::ControlModifier);
    key(window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({""}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({""}));
    EXPECT_FALSE(window->isWindowModified());
    key(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(lineTexts(window->document()), blockTexts(*window->textView()));
    EXPECT_EQ(answerTexts(window->document()).first(), "5");
    EXPECT_TRUE(window->isWindowModified());
}

}  // namespace

namespace {

TEST_F(DocumentWindow, NewNumberSignsRewriteTheDocumentAndItsAnswers) {
    NBDocumentWindow* window = newWindow();
    type(window, "1.5+1");
    ASSERT_EQ(answerTexts(window->document()), QStringList({"2.5"}));
    settings().setObject("NBDecimalPointSign", std::u16string(u","));
    settings().setObject("NBThousandsSeperatorSign", std::u16string(u"."));
    NotificationCenter::defaultCenter().post(NBSimpleLocaleChanged);
    pumpEventsFor(20);
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"1,5+1"}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"1,5+1"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"2,5"}));
    EXPECT_TRUE(window->isWindowModified());
    // The caret stays at the end of the line.
    type(window, "0");
    EXPECT_EQ(lineTexts(window->document()), QStringList({"1,5+10"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"11,5"}));
}

}  // namespace

namespace {

TEST_F(DocumentWindow, AlignedLinesKeepTheirAlignmentThroughTheirFile) {
    NBDocumentWindow* window = newWindow();
    paste(window, "1+1\n2+2\n3+3");
    window->document().textViewController().setAlignment(1, NSIndexSet(1));
    EXPECT_TRUE(window->isWindowModified());
    NBTextView* text = window->textView();
    EXPECT_EQ(text->document()->findBlockByNumber(1).blockFormat().alignment(), Qt::AlignRight);
    EXPECT_EQ(text->document()->findBlockByNumber(0).blockFormat().alignment(), Qt::AlignLeft);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"1+1", "2+2", "3+3"}));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"2", "4", "6"}));
    const QString path = root() + "/aligned.numbera";
    ASSERT_TRUE(window->saveDocumentAs(path));
    window->close();
    pumpEventsFor(20);
    NBDocumentWindow* reopened = app()->documents().openDocument(path);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->textView()->document()->findBlockByNumber(1).blockFormat().alignment(),
              Qt::AlignRight);
    EXPECT_EQ(reopened->textView()->document()->findBlockByNumber(2).blockFormat().alignment(),
              Qt::AlignLeft);
    EXPECT_FALSE(reopened->isWindowModified());
}

}  // namespace
