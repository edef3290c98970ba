// Typing as a user types, on a real keyboard: references typed by number become tokens without
// taking the caret back, operators typed with Shift get the aids, references in a loaded file
// are tokens from the start, and a closing character the aid put in is typed over. Each case
// reads the document as it is saved.
#include <fstream>
#include <regex>
#include <sstream>

#include "DesktopTestSupport.h"

namespace {

using namespace Desktop;

// The lines' texts as the file stores them, a reference as its token, one per line.
std::string storedLines(const std::string& path) {
    std::ifstream file(path);
    std::stringstream whole;
    whole << file.rdbuf();
    const std::string text = whole.str();
    static const std::regex expression("<expression>([^<]*)</expression>|<expression/>");
    std::string lines;
    for (std::sregex_iterator it(text.begin(), text.end(), expression), end; it != end; ++it)
        lines += (*it)[1].str() + "\n";
    return lines;
}

class Typing : public NumberaDesktopTest {
  protected:
    void SetUp() override {
        NumberaDesktopTest::SetUp();
        home().setSettledUser();
    }

    // Opens the document, sends the keys, saves, and answers the document as saved.
    std::string typedDocument(const std::vector<std::string>& lines,
                              const std::function<void()>& keys, const std::string& shot) {
        const std::string path = home().writeDocument("typed.numbera", lines);
        auto app = launch({{path}});
        const WindowInfo window = activeWindowTitled(*app, "typed.numbera");
        m_window = window;
        keys();
        EXPECT_TRUE(app->waitForTitle("typed.numbera*", 20)) << app->describe();
        screenshot(shot, &window);
        input().key("ctrl+s");
        EXPECT_TRUE(
            app->waitForWindow([&](const WindowInfo& w) { return w.title == "typed.numbera"; }, 30))
            << app->describe();
        const std::string saved = home().previewText(path);
        m_stored = storedLines(path);
        input().key("ctrl+q");
        EXPECT_TRUE(app->waitForExit(30)) << app->describe();
        return saved;
    }
    // The stored texts of the last document saved.
    const std::string& stored() const { return m_stored; }

    // The document's window while the keys are sent.
    const WindowInfo& window() const { return m_window; }

  private:
    std::string m_stored;
    WindowInfo m_window;
};

// The reference typed on the second line becomes a token when the caret leaves for the third;
// the next keys land on the third line.
TEST_F(Typing, AReferenceBecomesATokenWithoutTakingTheCaretBack) {
    const std::string saved = typedDocument(
        {"5"},
        [&] {
            input().key("ctrl+End");
            input().type("\nline1\n8");
        },
        "typing-reference-left-behind");
    EXPECT_EQ(saved, "5 = 5\n5 = 5\n8 = 8\n");
    EXPECT_EQ(stored(), "5\n(___rel_line(-1))\n8\n");
}

// With the reference to the line above on, every operator that starts a line gets it, those
// typed with Shift as much as the others.
TEST_F(Typing, OperatorsTypedWithShiftStartALineWithTheAnswerAbove) {
    home().setSetting("NBAddTokenToNewLine", "true");
    const std::string saved = typedDocument(
        {"6"},
        [&] {
            input().key("ctrl+End");
            input().type("\n*2\n+3\n^2\n-1");
        },
        "typing-shifted-operators");
    EXPECT_EQ(saved, "6 = 6\n6*2 = 12\n12+3 = 15\n15^2 = 225\n225-1 = 224\n");
}

// A file's "line1*2" is a token as soon as the document opens: editing the first line shows
// the new answer in the reference, whose saved text is the token's answer.
TEST_F(Typing, ReferencesInALoadedFileAreTokens) {
    const std::string saved = typedDocument(
        {"5", "line1*2"}, [&] { input().type("1"); }, "typing-loaded-references");
    EXPECT_EQ(saved, "15 = 15\n15*2 = 30\n");
    EXPECT_EQ(stored(), "15\n(___rel_line(-1))*2\n");
}

// An operator typed after a reference makes it a token while the caret stays on its line.
TEST_F(Typing, AnOperatorTypedAfterAReferenceMakesItAToken) {
    const std::string saved = typedDocument(
        {"5"},
        [&] {
            input().key("ctrl+End");
            input().type("\nline1+2");
        },
        "typing-reference-then-operator");
    EXPECT_EQ(saved, "5 = 5\n5+2 = 7\n");
    EXPECT_EQ(stored(), "5\n(___rel_line(-1))+2\n");
}

// The closing bracket the aid put in is stepped over when the user types it; nothing the user
// did not type is left behind, on this line or the next.
TEST_F(Typing, AClosingBracketTheAidInsertedIsTypedOver) {
    home().setSetting("NBAddClosingBracket", "true");
    home().setSetting("NBAddClosingQuotationMarks", "true");
    const std::string saved = typedDocument(
        {"1"},
        [&] {
            input().key("ctrl+End");
            input().type("\n(2+3)*4\n((1+1))\n\"note\" 2");
        },
        "typing-over-closing-brackets");
    EXPECT_EQ(saved, "1 = 1\n(2+3)*4 = 20\n((1+1)) = 2\n\"note\" 2 = 2\n");
}

// The text's own menu, chosen from with the keyboard: its Undo goes through the document, so
// that what shows, the answers and the saved file stay one; its Copy Expression & Result puts
// the line and its answer on the clipboard.
TEST_F(Typing, TheTextsMenuUndoesAndCopiesThroughTheDocument) {
    const std::string saved = typedDocument(
        {"10", "line1 + 2", "3*4"},
        [&] {
            input().key("ctrl+Home");
            input().key("Down");
            input().key("End");
            input().type("*3");
            const Point inText{window().client.x + 150, window().client.y + 120};
            input().rightClick(inText);
            waitFor(0.5);
            screenshot("typing-text-menu");
            input().key("u");
            input().type("+1");
            // The third line's expression and answer, from its own menu.
            input().key("Down");
            x().setSelectionText(Selection::clipboard, "(nothing copied)");
            input().rightClick(inText);
            waitFor(0.5);
            input().key("e");
            std::optional<std::string> copied;
            EXPECT_TRUE(waitUntil([&] {
                copied = x().selectionText(Selection::clipboard);
                return copied && *copied != "(nothing copied)";
            }));
            EXPECT_EQ(copied.value_or(""), "3*4 = 12");
        },
        "typing-text-menu-undone");
    EXPECT_EQ(saved, "10 = 10\n10 + 2+1 = 13\n3*4 = 12\n");
    EXPECT_EQ(stored(), "10\n(___rel_line(-1)) + 2+1\n3*4\n");
}

// Ctrl+Space, and Escape, list the variables whose names begin with the word before the
// caret, the document's own first; Return puts the chosen name in place of the word.
TEST_F(Typing, VariableNamesCompleteTheWordBeforeTheCaret) {
    const std::string saved = typedDocument(
        {"price = 5", "tax = 2", "prize = 7"},
        [&] {
            input().key("ctrl+End");
            input().type("\npri");
            input().key("ctrl+space");
            waitFor(0.5);
            screenshot("typing-completion-list");
            input().key("Return");
            input().type("*2\nta");
            input().key("Escape");
            waitFor(0.5);
            input().key("Return");
            input().type("+1");
        },
        "typing-completed");
    EXPECT_EQ(stored(), "price = 5\ntax = 2\nprize = 7\nprice*2\ntax+1\n");
    EXPECT_EQ(saved, "price = 5 = 5\ntax = 2 = 2\nprize = 7 = 7\nprice*2 = 10\ntax+1 = 3\n");
}

// Format > Superscript (Ctrl+Shift+P) raises the digits typed while it is on: an exponent.
TEST_F(Typing, SuperscriptModeTypesAnExponent) {
    const std::string saved = typedDocument(
        {"1"},
        [&] {
            input().key("ctrl+End");
            input().type("\n3");
            input().key("ctrl+shift+p");
            input().type("12");
            input().key("ctrl+shift+p");
            input().type("+1");
        },
        "typing-superscript");
    EXPECT_EQ(stored(), "1\n3\u00B9\u00B2+1\n");
    EXPECT_EQ(saved, "1 = 1\n3\u00B9\u00B2+1 = 531,442\n");
}

// Copying text puts it on the clipboard as rich text too, for a word processor: coloured as
// the text is, references as the answers they show.
TEST_F(Typing, CopiedTextCarriesHTMLAndRTF) {
    const std::string path = home().writeDocument("rich.numbera", {"10", "line1 + 2"});
    auto app = launch({{path}});
    const WindowInfo window = activeWindowTitled(*app, "rich.numbera");
    x().setSelectionText(Selection::clipboard, "(nothing copied)");
    input().key("ctrl+a");
    input().key("ctrl+c");
    std::optional<std::string> plain;
    ASSERT_TRUE(waitUntil([&] {
        plain = x().selectionText(Selection::clipboard);
        return plain && *plain != "(nothing copied)";
    })) << screenshot("typing-rich-copy", &window);
    EXPECT_EQ(*plain, "10\n10 + 2");
    const std::string html = x().selectionData(Selection::clipboard, "text/html").value_or("");
    EXPECT_NE(html.find("color:"), std::string::npos) << html;
    EXPECT_NE(html.find(">10<"), std::string::npos) << html;
    EXPECT_EQ(html.find("___"), std::string::npos) << html;
    const std::string rtf = x().selectionData(Selection::clipboard, "text/rtf").value_or("");
    EXPECT_EQ(rtf.rfind("{\\rtf", 0), 0u) << rtf;
    EXPECT_NE(rtf.find("\\colortbl"), std::string::npos) << rtf;
    // Runs of their own colours: the first line's 10, the reference's 10, the "+".
    const size_t first = rtf.find(" 10}");
    EXPECT_NE(first, std::string::npos) << rtf;
    EXPECT_NE(rtf.find(" 10}", first + 1), std::string::npos) << rtf;
    EXPECT_NE(rtf.find(" +}"), std::string::npos) << rtf;
    input().key("ctrl+q");
    EXPECT_TRUE(app->waitForExit(30)) << app->describe();
}

}  // namespace
