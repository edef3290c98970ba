// Syntax colouring, typing aids and keystroke replacements in a document window: colours read
// from the text's layout, the space swallowed after a spaced operator (on the manual clock),
// brackets wrapping a selection, and user key combinations typing their text ahead of menus.
#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "Clock.h"
#include "DocumentWindowSupport.h"
#include "NBColorManager.h"
#include "NBDocumentController.h"
#include "NBDocumentWindow.h"
#include "NBInterfaceHelpers.h"
#include "NBMathKey.h"
#include "NBMathKeyFieldEditor.h"
#include "NBMathKeyPreferencesPane.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "TokenTestSupport.h"

namespace {

// The colour and weight the layout draws the character at the column of the line with.
struct DrawnFormat {
    QColor color;
    bool bold = false;
};

DrawnFormat drawnFormat(NBDocumentWindow* window, int line, int column) {
    const QTextBlock block = window->textView()->document()->findBlockByNumber(line);
    DrawnFormat drawn{Qt::black, false};
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (column < range.start || column >= range.start + range.length) continue;
        if (range.format.hasProperty(QTextFormat::ForegroundBrush))
            drawn.color = range.format.foreground().color();
        if (range.format.hasProperty(QTextFormat::FontWeight))
            drawn.bold = range.format.fontWeight() >= QFont::Bold;
    }
    return drawn;
}

class TypingAids : public TokenTest {
  protected:
    void SetUp() override {
        TokenTest::SetUp();
        for (const char* aid : {"NBAddSpacesAroundOperators", "NBAddClosingBracket",
                                "NBAddClosingQuotationMarks", "NBDeleteExcessSpaces"})
            settings().setObject(aid, true);
    }
};

TEST_F(TypingAids, NumbersAndUnitsTakeTheirColoursAndHeadingsStayBoldWithColouringOff) {
    NBDocumentWindow* window = newWindow();
    type(window, "12 m");
    key(window, Qt::Key_Return);
    type(window, "@ Totals");
    key(window, Qt::Key_Return);
    settings().setObject("NBBoldLabelsEnabled", true);
    type(window, "Costs: 3");
    pumpEventsFor(10);
    EXPECT_EQ(drawnFormat(window, 0, 0).color, NBSyntaxColorForTokenType(1, 0));
    EXPECT_EQ(drawnFormat(window, 0, 1).color, NBSyntaxColorForTokenType(1, 0));
    EXPECT_EQ(drawnFormat(window, 0, 3).color, NBSyntaxColorForTokenType(5, 0));
    EXPECT_NE(NBSyntaxColorForTokenType(1, 0), NBSyntaxColorForTokenType(5, 0));
    // A heading is bold, its "@" a light grey; a label is bold too.
    EXPECT_TRUE(drawnFormat(window, 1, 3).bold);
    EXPECT_EQ(drawnFormat(window, 1, 0).color, NBSyntaxHeadingMarkerColor());
    EXPECT_TRUE(drawnFormat(window, 2, 0).bold);
    EXPECT_FALSE(drawnFormat(window, 2, 7).bold);
    window->show();
    saveScreenshot(window, "tokens-coloured-text");

    settings().setObject("NBSyntaxColoringEnabled", false);
    pumpEventsFor(10);
    EXPECT_EQ(drawnFormat(window, 0, 0).color, QColor(Qt::black));
    EXPECT_EQ(drawnFormat(window, 0, 3).color, QColor(Qt::black));
    EXPECT_TRUE(drawnFormat(window, 1, 3).bold);
    EXPECT_TRUE(drawnFormat(window, 2, 0).bold);
}

TEST_F(TypingAids, AChangedSyntaxColourReachesTheText) {
    NBDocumentWindow* window = newWindow();
    type(window, "12");
    pumpEventsFor(10);
    NBColorManager& colors = NBColorManager::sharedInstance();
    const std::optional<NSColor> before = colors.colorForIdentifier(u"NBNumbersSyntaxColor");
    ASSERT_TRUE(before);
    colors.setColor(NSColor::colorWithCalibratedRed(1, 0, 0, 1), u"NBNumbersSyntaxColor", false);
    pumpEventsFor(10);
    EXPECT_EQ(drawnFormat(window, 0, 0).color, QColor(255, 0, 0));
    colors.setColor(*before, u"NBNumbersSyntaxColor", false);
    pumpEventsFor(10);
    EXPECT_EQ(drawnFormat(window, 0, 0).color, NBSyntaxColorForTokenType(1, 0));
}

// An undo synchronises every line and formats them all in one pass: each keeps its colours.
TEST_F(TypingAids, AnUndoFormatsEveryLineAgain) {
    NBDocumentWindow* window = newWindow();
    for (const char* line : {"12 m", "@ Totals", "3 + 4", "7 km"}) {
        type(window, line);
        key(window, Qt::Key_Return);
    }
    type(window, "5");
    pumpEventsFor(10);
    window->document().textViewController().undo();
    pumpEventsFor(10);
    EXPECT_EQ(drawnFormat(window, 0, 0).color, NBSyntaxColorForTokenType(1, 0));
    EXPECT_EQ(drawnFormat(window, 0, 3).color, NBSyntaxColorForTokenType(5, 0));
    EXPECT_TRUE(drawnFormat(window, 1, 3).bold);
    EXPECT_EQ(drawnFormat(window, 1, 0).color, NBSyntaxHeadingMarkerColor());
    EXPECT_EQ(drawnFormat(window, 3, 2).color, NBSyntaxColorForTokenType(5, 0));
    EXPECT_EQ(window->textView()->document()->lastBlock().text(), "");
}

TEST_F(TypingAids, ASpaceRightAfterASpacedOperatorIsSwallowedOnlyWithinHalfASecond) {
    NBDocumentWindow* window = newWindow();
    auto clock = std::make_shared<ManualClock>(1000);
    NBTextViewController& controller = window->document().textViewController();
    controller.setClock(clock);
    type(window, "2+");
    const QString spaced = window->textView()->toPlainText();
    ASSERT_TRUE(spaced.endsWith(' ')) << spaced.toStdString();
    clock->advance(0.4);
    type(window, " ");
    EXPECT_EQ(window->textView()->toPlainText(), spaced);

    type(window, "3*");
    const QString again = window->textView()->toPlainText();
    clock->advance(0.6);
    type(window, " ");
    EXPECT_EQ(window->textView()->toPlainText(), again + " ");
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
}

TEST_F(TypingAids, ABracketTypedOverASelectionWrapsIt) {
    NBDocumentWindow* window = newWindow();
    settings().setObject("NBAddSpacesAroundOperators", false);
    type(window, "1+2");
    window->textView()->selectAll();
    type(window, "(");
    EXPECT_EQ(window->textView()->toPlainText(), "(1+2)");
    EXPECT_EQ(lineTexts(window->document()), QStringList({"(1+2)"}));
    // Without a selection the caret lands between the brackets.
    window->textView()->moveCursor(QTextCursor::End);
    type(window, "*(");
    EXPECT_EQ(window->textView()->toPlainText(), "(1+2)*()");
    EXPECT_EQ(window->textView()->textCursor().position(), 7);
}

TEST_F(TypingAids, BackspaceBetweenEmptyBracketsTakesBoth) {
    NBDocumentWindow* window = newWindow();
    type(window, "2*(");
    EXPECT_EQ(window->textView()->toPlainText(), "2 * ()");
    EXPECT_EQ(window->textView()->textCursor().position(), 5);
    key(window, Qt::Key_Backspace);
    EXPECT_EQ(window->textView()->toPlainText(), "2 * ");
    EXPECT_EQ(blockTexts(*window->textView()), lineTexts(window->document()));
}

TEST_F(TypingAids, MovingRightOverAClosingBracketFlashesItsPartner) {
    settings().setObject("NBAddClosingBracket", false);
    NBDocumentWindow* window = newWindow();
    settings().setObject("NBAddSpacesAroundOperators", false);
    type(window, "(1+2)+3");
    window->textView()->setSelectedRange({4, 0});
    key(window, Qt::Key_Right);
    const auto selections = window->textView()->extraSelections();
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections.front().cursor.selectionStart(), 0);
    EXPECT_EQ(selections.front().cursor.selectionEnd(), 1);
}

TEST_F(TypingAids, AlignmentsPastCentreAreDrawnLeft) {
    NBDocumentWindow* window = newWindow();
    type(window, "1");
    key(window, Qt::Key_Return);
    type(window, "2");
    auto collection = window->document().lineCollection();
    collection->lineAtIndex(0)->expressionFormattingOptions()->setTextAlignment(5);
    collection->lineAtIndex(1)->expressionFormattingOptions()->setTextAlignment(1);
    window->document().textViewController().loadTextFromLineCollection();
    QTextDocument* text = window->textView()->document();
    EXPECT_EQ(text->findBlockByNumber(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(text->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
}

class KeystrokeReplacements : public TokenTest {
  protected:
    void SetUp() override {
        TokenTest::SetUp();
        NBKeyEvent altP;
        altP.modifierFlags = NBEventModifierFlagOption;
        altP.characters = u"p";
        altP.charactersIgnoringModifiers = u"p";
        NBMathKey key(altP);
        key.setString(u"\u03C0");
        key.setEnabled(true);
        m_saved = NBMathKeyController::sharedInstance().keystrokeReplacements();
        NBMathKeyController::sharedInstance().keystrokeReplacements() = {key};
    }
    void TearDown() override {
        NBMathKeyController::sharedInstance().keystrokeReplacements() = m_saved;
        TokenTest::TearDown();
    }
    std::vector<NBMathKey> m_saved;
};

TEST_F(KeystrokeReplacements, AltPTypesPiAheadOfAMenuShortcut) {
    NBDocumentWindow* window = newWindow();
    NBMathKeyController::sharedInstance().keystrokeReplacements().resize(1);
    auto* menuAction = new QAction(window);
    menuAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_P));
    menuAction->setShortcutContext(Qt::ApplicationShortcut);
    window->addAction(menuAction);
    QSignalSpy fired(menuAction, &QAction::triggered);
    window->show();
    window->activateWindow();
    window->textView()->setFocus();
    key(window, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(window->textView()->toPlainText(), QString::fromUtf16(u"\u03C0"));
    EXPECT_TRUE(answerTexts(window->document()).value(0).startsWith("3.14"))
        << answerTexts(window->document()).value(0).toStdString();
    EXPECT_EQ(fired.count(), 0);
}

TEST_F(KeystrokeReplacements, NothingIsReplacedWhileTheFeatureIsOff) {
    settings().setObject("NBMathKeyEnabled", false);
    NBDocumentWindow* window = newWindow();
    NBMathKeyController::sharedInstance().keystrokeReplacements().resize(1);
    key(window, Qt::Key_P, Qt::AltModifier);
    EXPECT_FALSE(window->textView()->toPlainText().contains(QChar(0x03C0)));
}

TEST_F(KeystrokeReplacements, ThePaneRecordsAKeyBeepsOnDeleteAndSavesEachEdit) {
    launch();
    NBMathKeyController controller;
    const QString file = root() + "/pane-Mathkeys.plist";
    controller.setDataSourcePath(file.toStdString());
    controller.addMathkey(NBMathKey());
    NBMathKeyPreferencesPane pane;
    pane.setController(&controller);
    pane.resize(420, 300);
    pane.show();
    QTableWidget* table = pane.tableView();
    ASSERT_EQ(table->rowCount(), 1);
    table->setCurrentCell(0, 1);
    table->editItem(table->item(0, 1));
    auto* editor = table->findChild<NBMathKeyFieldEditor*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->text().isEmpty());
    QTest::keyClick(editor, Qt::Key_R, Qt::AltModifier | Qt::MetaModifier);
    const QString recorded = editor->text();
    // Shown with the desktop's names; the file keeps the stored bits (below).
    EXPECT_EQ(recorded, "Alt+Meta+R");
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(editor->text(), recorded);
    QTest::keyClick(editor, Qt::Key_Return);
    pumpEventsFor(10);
    ASSERT_EQ(controller.keystrokeReplacements().size(), 1u);
    EXPECT_EQ(controller.keystrokeReplacements()[0].event().modifierFlags,
              NBEventModifierFlagOption | NBEventModifierFlagControl);
    table->item(0, 2)->setText(QString::fromUtf16(u"\u221A"));
    pumpEventsFor(10);
    saveScreenshot(&pane, "tokens-mathkey-pane");

    NBMathKeyController reread;
    reread.beginLife(file.toStdString(), std::string());
    ASSERT_EQ(reread.keystrokeReplacements().size(), 1u);
    EXPECT_EQ(reread.keystrokeReplacements()[0].string(), u"\u221A");
    EXPECT_EQ(reread.keystrokeReplacements()[0].event().charactersIgnoringModifiers, u"r");
}

}  // namespace
