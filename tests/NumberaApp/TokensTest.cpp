// Line-reference tokens in the calculation text: typed references become tokens that show the
// referenced answer and follow their line, a removed target shows "⚠", the token editor and
// the token menu change a reference as one undo step, and copying gives the answer as text
// and the stored reference in the private type.
#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QTextBlock>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBTokenCell.h"
#include "NBTokenEditorController.h"
#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NCPropertyListValue.h"
#include "TokenTestSupport.h"

namespace {

const QString kToken = QString(QChar(0xFFFC));

QString rel(int64_t offset) {
    return QString::fromStdU16String(NCExpression::relativeLineReferenceTokenWithOffset(offset));
}

class Tokens : public TokenTest {};

TEST_F(Tokens, ATypedReferenceBecomesATokenWhenTheCaretLeavesTheLine) {
    NBDocumentWindow* window = newWindow();
    type(window, "5");
    key(window, Qt::Key_Return);
    // Nothing typed after the reference ends it: it stays text while the caret is on it.
    type(window, "2*line1");
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(1).text(), "2*line1");
    key(window, Qt::Key_Return);
    pumpEventsFor(10);
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(1).text(), "2*" + kToken);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"5", "2*" + rel(-1), ""}));
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
    EXPECT_EQ(answerTexts(window->document()), QStringList({"5", "10", ""}));
    EXPECT_EQ(tokenText(window, 1, 2), "5");
}

TEST_F(Tokens, TwoReturnsMakeAnEmptyLine) {
    NBDocumentWindow* window = newWindow();
    type(window, "3");
    key(window, Qt::Key_Return);
    key(window, Qt::Key_Return);
    type(window, "4");
    EXPECT_EQ(blockTexts(*window->textView()), QStringList({"3", "", "4"}));
    EXPECT_EQ(lineTexts(window->document()), QStringList({"3", "", "4"}));
}

TEST_F(Tokens, AnInsertedReferenceGetsTheDefaultOperatorInFront) {
    NBDocumentWindow* window = newWindow();
    type(window, "5");
    key(window, Qt::Key_Return);
    type(window, "3");
    window->document().textViewController().insertLineReference(2, 1, 0, true);
    pumpEventsFor(10);
    const QString line = lineTexts(window->document()).value(1);
    EXPECT_TRUE(line.startsWith("3") && line.endsWith(rel(-1)) && line.size() > 1 + rel(-1).size())
        << line.toStdString();
    EXPECT_FALSE(answerTexts(window->document()).value(1).isEmpty());
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
}

TEST_F(Tokens, LineZeroNamesNoLineAndStaysText) {
    NBDocumentWindow* window = newWindow();
    type(window, "line0+1");
    key(window, Qt::Key_Return);
    pumpEventsFor(10);
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(0).text(), "line0+1");
    EXPECT_FALSE(window->textView()->toPlainText().contains(kToken));
}

TEST_F(Tokens, AnOperatorAtTheStartOfANewLineRefersToTheLineAbove) {
    settings().setObject("NBAddTokenToNewLine", true);
    NBDocumentWindow* window = newWindow();
    type(window, "5");
    key(window, Qt::Key_Return);
    type(window, "+2");
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(1).text().left(1), kToken);
    EXPECT_EQ(answerTexts(window->document()), QStringList({"5", "7"}));
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
    // The en dash is text of its own, never an operator on the answer above.
    key(window, Qt::Key_Return);
    typeCharacters(window, QString::fromUtf16(u"\u2013"));
    EXPECT_FALSE(window->textView()->document()->findBlockByNumber(2).text().contains(kToken));
}

TEST_F(Tokens, ATokenFollowsItsLineAndShowsWarningWhenTheLineGoes) {
    NBDocumentWindow* window = newWindow();
    type(window, "5");
    key(window, Qt::Key_Return);
    type(window, "6");
    key(window, Qt::Key_Return);
    window->document().textViewController().insertLineReference(2, 2, 0, false);
    pumpEventsFor(10);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"5", "6", rel(-2)}));
    EXPECT_EQ(tokenText(window, 2, 0), "5");
    EXPECT_EQ(answerTexts(window->document()).value(2), "5");

    // A line inserted above the target: the token still names the 5.
    window->textView()->setSelectedRange({0, 0});
    key(window, Qt::Key_Return);
    pumpEventsFor(10);
    EXPECT_EQ(lineTexts(window->document()), QStringList({"", "5", "6", rel(-2)}));
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
    EXPECT_EQ(tokenText(window, 3, 0), "5");

    // The target's whole line removed: the token names no line.
    window->textView()->setSelectedRange({1, 2});
    key(window, Qt::Key_Backspace);
    pumpEventsFor(10);
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
    ASSERT_EQ(lineTexts(window->document()).size(), 3);
    EXPECT_EQ(lineTexts(window->document()).value(2),
              QString::fromStdU16String(NCExpression::nullLineReferenceToken()));
    EXPECT_EQ(tokenText(window, 2, 0), QString::fromUtf16(u"\u26A0"));
    const int position = tokenPosition(window, 2, 0);
    auto attachment = window->document().textViewController().textAttachmentAt(position);
    ASSERT_TRUE(attachment);
    EXPECT_EQ(attachment->type, NKLineReferenceTokenTypeNull);
    // No editor for a token that names no line.
    EXPECT_TRUE(window->document().textViewController().textViewMousePress(position, 2));
    EXPECT_FALSE(window->document().textViewController().tokenEditorController().editorIsVisible());
}

TEST_F(Tokens, AReferenceToItsOwnLineShowsInfinityAndSelfWhenHovered) {
    NBDocumentWindow* window = newWindow();
    type(window, "1+");
    NBTextViewController& controller = window->document().textViewController();
    controller.insertLineReference(1, 0, 0, false);
    pumpEventsFor(10);
    EXPECT_EQ(tokenText(window, 0, 2), QString::fromUtf16(u"\u221E"));
    controller.setHoveredCharacter(tokenPosition(window, 0, 2));
    EXPECT_EQ(tokenText(window, 0, 2), "self");
}

TEST_F(Tokens, HoveringHighlightsTheReferencedLine) {
    NBDocumentWindow* window = newWindow();
    type(window, "5");
    key(window, Qt::Key_Return);
    NBTextViewController& controller = window->document().textViewController();
    controller.insertLineReference(1, 1, 0, false);
    pumpEventsFor(10);
    const int position = tokenPosition(window, 1, 0);
    controller.setHoveredCharacter(position);
    auto selections = window->textView()->extraSelections();
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections.front().cursor.block().blockNumber(), 0);
    EXPECT_EQ(selections.front().format.background().color(), QColor::fromRgbF(0.96, 0.906, 0.97));
    controller.setHoveredCharacter(-1);
    EXPECT_TRUE(window->textView()->extraSelections().isEmpty());
}

TEST_F(Tokens, CopyGivesTheAnswerAsTextAndTheReferenceInThePrivateType) {
    NBDocumentWindow* window = newWindow();
    type(window, "2^40");
    key(window, Qt::Key_Return);
    window->document().textViewController().insertLineReference(2, 1, 0, false);
    pumpEventsFor(10);
    window->textView()->setSelectedRange({static_cast<uint64_t>(tokenPosition(window, 1, 0)), 1});
    key(window, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    // Copied answers write their exponent in plain text.
    EXPECT_EQ(answerTexts(window->document()).value(0), QString::fromUtf16(u"1.1\u00D71012"));
    EXPECT_EQ(copied->text(), QString::fromUtf16(u"1.1\u00D710^12"));
    std::string error;
    auto list = NCPropertyListValue::readFromData(
        copied->data("NBTextAttachmentPboardType").toStdString(), &error);
    ASSERT_TRUE(list && list->isDictionary());
    auto internal = list->valueForKey(u"NBInternalString");
    ASSERT_TRUE(internal && internal->isString());
    EXPECT_EQ(QString::fromStdU16String(internal->string()), rel(-1));

    // Pasting the private type makes a token again, after the default operator.
    window->textView()->moveCursor(QTextCursor::End);
    key(window, Qt::Key_V, Qt::ControlModifier);
    pumpEventsFor(10);
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(1).text().count(kToken), 2);
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
}

TEST_F(Tokens, TheMenuChangesTheTypeAndUntokenizeWritesTheAnswer) {
    NBDocumentWindow* window = newWindow();
    type(window, "7");
    key(window, Qt::Key_Return);
    NBTextViewController& controller = window->document().textViewController();
    controller.insertLineReference(2, 1, 0, false);
    pumpEventsFor(10);
    const int position = tokenPosition(window, 1, 0);
    QObject owner;
    QList<QAction*> items = controller.contextualMenuItemsForTextAttachment(position, &owner);
    QStringList titles;
    for (QAction* item : items) titles << item->text();
    EXPECT_EQ(titles, QStringList({"Edit...", "Reference by Offset", "Untokenize"}));
    items[1]->trigger();
    pumpEventsFor(10);
    EXPECT_EQ(controller.textAttachmentAt(position)->type, NKLineReferenceTokenTypeByOffset);
    EXPECT_EQ(
        lineTexts(window->document()).value(1),
        QString::fromStdU16String(NCExpression::fixedRelativeLineReferenceTokenWithOffset(-1)));
    // Undo brings the reference by line back.
    key(window, Qt::Key_Z, Qt::ControlModifier);
    pumpEventsFor(10);
    EXPECT_EQ(controller.textAttachmentAt(position)->type, NKLineReferenceTokenTypeByLine);
    EXPECT_EQ(lineTexts(window->document()).value(1), rel(-1));

    controller.untokenize(position);
    pumpEventsFor(10);
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(1).text(), "7");
    EXPECT_EQ(lineTexts(window->document()), QStringList({"7", "7"}));
}

TEST_F(Tokens, TheEditorsStepperSkipsTheTokensOwnLineAndOneOpeningIsOneUndoStep) {
    NBDocumentWindow* window = newWindow();
    type(window, "1");
    key(window, Qt::Key_Return);
    type(window, "2");
    key(window, Qt::Key_Return);
    type(window, "3");
    key(window, Qt::Key_Return);
    type(window, "x");
    key(window, Qt::Key_Return);
    type(window, "5");
    pumpEventsFor(10);
    ASSERT_EQ(blockTexts(*window->textView()), QStringList({"1", "2", "3", "x", "5"}));
    window->textView()->setSelectedRange({static_cast<uint64_t>(tokenPosition(window, 3, 0)), 1});
    pumpEventsFor(10);
    NBTextViewController& controller = window->document().textViewController();
    // The fourth line refers to the third by line number.
    controller.insertLineReference(2, 3, 2, false);
    pumpEventsFor(10);
    ASSERT_EQ(lineTexts(window->document()), QStringList({"1", "2", "3", rel(-1), "5"}));
    const int position = tokenPosition(window, 3, 0);
    window->show();
    controller.showEditorForTextAttachment(position);
    NBTokenEditorController& editor = controller.tokenEditorController();
    ASSERT_TRUE(editor.editorIsVisible());
    EXPECT_EQ(editor.referenceIndex(), 3);  // line number 3
    {
        // The editor is a window of its own: drawn onto the document window's picture.
        QPixmap picture = window->grab();
        QPainter painter(&picture);
        painter.drawPixmap(window->mapFromGlobal(editor.tokenEditor()->pos()),
                           editor.tokenEditor()->grab());
        painter.end();
        QLabel shown;
        shown.setPixmap(picture);
        shown.resize(picture.size());
        saveScreenshot(&shown, "tokens-token-editor-open");
    }
    editor.referenceField()->stepBy(1);  // line 4 is its own line: skipped to 5
    EXPECT_EQ(editor.referenceIndex(), 5);
    editor.referenceField()->stepBy(-1);  // back over its own line to 3
    EXPECT_EQ(editor.referenceIndex(), 3);
    editor.referenceField()->stepBy(-1);
    EXPECT_EQ(editor.referenceIndex(), 2);
    pumpEventsFor(10);
    ASSERT_TRUE(editor.editorIsVisible());
    EXPECT_EQ(lineTexts(window->document()).value(3), rel(-2));
    EXPECT_EQ(answerTexts(window->document()).value(3), "2");

    // Offsets: from -1 upwards the stepper gives 1, never 0.
    editor.setTextAttachmentType(NKLineReferenceTokenTypeByOffset);
    EXPECT_EQ(editor.referenceIndex(), -2);
    editor.referenceField()->stepBy(1);
    EXPECT_EQ(editor.referenceIndex(), -1);
    editor.referenceField()->stepBy(1);
    EXPECT_EQ(editor.referenceIndex(), 1);
    editor.referenceField()->stepBy(-2);
    EXPECT_EQ(editor.referenceIndex(), -1);
    // Escape saves.
    QTest::keyClick(editor.referenceField(), Qt::Key_Escape);
    pumpEventsFor(10);
    EXPECT_FALSE(editor.editorIsVisible());
    EXPECT_EQ(
        lineTexts(window->document()).value(3),
        QString::fromStdU16String(NCExpression::fixedRelativeLineReferenceTokenWithOffset(-1)));
    EXPECT_EQ(answerTexts(window->document()).value(3), "3");

    // One undo step takes back the whole editing.
    window->textView()->setFocus();
    key(window, Qt::Key_Z, Qt::ControlModifier);
    pumpEventsFor(10);
    EXPECT_EQ(lineTexts(window->document()).value(3), rel(-1));
    EXPECT_EQ(answerTexts(window->document()).value(3), "3");
}

TEST_F(Tokens, ReturnOnASelectedTokenOpensTheEditor) {
    NBDocumentWindow* window = newWindow();
    type(window, "4");
    key(window, Qt::Key_Return);
    NBTextViewController& controller = window->document().textViewController();
    controller.insertLineReference(2, 1, 0, false);
    pumpEventsFor(10);
    window->show();
    window->textView()->setSelectedRange({static_cast<uint64_t>(tokenPosition(window, 1, 0)), 1});
    key(window, Qt::Key_Return);
    EXPECT_TRUE(controller.tokenEditorController().editorIsVisible());
    EXPECT_EQ(window->textView()->document()->blockCount(), 2);
    // The editor losing the focus saves and closes it.
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(controller.tokenEditorController().tokenEditor(), &deactivate);
    EXPECT_FALSE(controller.tokenEditorController().editorIsVisible());
}

TEST_F(Tokens, ASubtotalLineBelowTheSelectionRefersToEachSelectedLine) {
    NBDocumentWindow* window = newWindow();
    for (const char* line : {"1", "2", "3", "4"}) {
        type(window, line);
        key(window, Qt::Key_Return);
    }
    type(window, "end");
    NBTextViewController& controller = window->document().textViewController();
    controller.insertSubTotalLineForLines(NSIndexSet(NSRange{1, 3}));
    pumpEventsFor(10);
    ASSERT_EQ(lineTexts(window->document()).size(), 6);
    EXPECT_EQ(lineTexts(window->document()).value(4),
              "Subtotal: " + rel(-3) + " + " + rel(-2) + " + " + rel(-1));
    EXPECT_EQ(answerTexts(window->document()).value(4), "9");
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
}

TEST_F(Tokens, TokensOfEveryTypeDrawInTheirStyles) {
    NBDocumentWindow* window = newWindow();
    type(window, "# Tokens");
    key(window, Qt::Key_Return);
    type(window, "12 m");
    key(window, Qt::Key_Return);
    type(window, "3.5");
    key(window, Qt::Key_Return);
    NBTextViewController& controller = window->document().textViewController();
    controller.insertLineReference(2, 3, 1, false);
    type(window, " + ");
    controller.insertLineReference(1, 3, 2, false);
    type(window, " + ");
    controller.insertTokenizedText(NCExpression::fixedRelativeLineReferenceTokenWithOffset(-1));
    type(window, " + ");
    controller.insertTokenizedText(NCExpression::nullLineReferenceToken());
    pumpEventsFor(10);
    EXPECT_EQ(window->textView()->document()->findBlockByNumber(3).text().count(kToken), 4);
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
    window->show();
    saveScreenshot(window, "tokens-every-type");
    // The cell geometry: the capsule fits the text and dips below the baseline.
    NBTokenCell cell;
    cell.setFont(window->textView()->document()->defaultFont());
    cell.setStringValue("12 m");
    const QSizeF size = cell.cellSize();
    EXPECT_GE(size.width(), QFontMetricsF(cell.font()).horizontalAdvance("12 m"));
    EXPECT_EQ(cell.attachmentSize().height(),
              std::round(size.height()) + 2 * NBTokenCell::attachmentInset(size.height()));
    EXPECT_FALSE(cell.colorsForTokenStyle(6).isValid());
    EXPECT_EQ(cell.colorsForTokenStyle(3).fill, cell.colorsForTokenStyle(5).fill);
}

// Assistive technology reads each token as an element of its own: the answer it shows as
// its title, "Answer Token" as its description; the text reads the token as one character.
TEST_F(Tokens, EachTokenIsAnAccessibleElementOfTheText) {
    NBDocumentWindow* window = newWindow();
    type(window, "10");
    key(window, Qt::Key_Return);
    type(window, "line1 + 2");
    key(window, Qt::Key_Return);
    type(window, "line2*line1");
    key(window, Qt::Key_Return);
    pumpEventsFor(10);
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(window->textView());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->role(), QAccessible::EditableText);
    ASSERT_EQ(text->childCount(), 3);
    const QStringList titles = {text->child(0)->text(QAccessible::Name),
                                text->child(1)->text(QAccessible::Name),
                                text->child(2)->text(QAccessible::Name)};
    EXPECT_EQ(titles, QStringList({"10", "12", "10"}));
    QAccessibleInterface* token = text->child(1);
    EXPECT_EQ(token->role(), QAccessible::StaticText);
    EXPECT_EQ(token->text(QAccessible::Description), "Answer Token");
    EXPECT_EQ(token->parent(), text);
    EXPECT_EQ(text->indexOfChild(token), 1);
    EXPECT_FALSE(token->rect().isEmpty());
    ASSERT_NE(text->textInterface(), nullptr);
    EXPECT_EQ(text->textInterface()->text(0, text->textInterface()->characterCount()),
              "10\n" + kToken + " + 2\n" + kToken + "*" + kToken + "\n");
    // Editing the text makes the elements anew: the first line's new answer shows.
    window->textView()->moveCursor(QTextCursor::Start);
    type(window, "5");
    pumpEventsFor(10);
    EXPECT_EQ(text->child(0)->text(QAccessible::Name), "510");
}

}  // namespace
