// Long sessions of real key and clipboard edits in a document window, drawn at random from a
// seed: after every edit the document's lines must be the text's blocks and every answer must
// be the answer a document freshly read with that text shows.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTextBlock>
#include <deque>
#include <random>

#include "AppTestFixture.h"
#include "DocumentWindowSupport.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBTextViewMetrics.h"
#include "QtSettings.h"

namespace {

constexpr int kEditsPerSession = 400;

class EditingSession : public AppTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    std::mt19937 m_random{GetParam()};
    std::deque<std::string> m_transcript;

    int below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    QString someText(int maxLength) {
        static const QString alphabet = QStringLiteral("0123456789+-*/ ().x=ab%^");
        QString text;
        const int length = 1 + below(maxLength);
        for (int i = 0; i < length; ++i) text += alphabet[below(static_cast<int>(alphabet.size()))];
        return text;
    }

    void note(const std::string& entry) {
        m_transcript.push_back(entry);
        if (m_transcript.size() > 12) m_transcript.pop_front();
    }

    std::string transcript() const {
        std::string all;
        for (const std::string& entry : m_transcript) all += "\n  " + entry;
        return all;
    }

    void placeCaret(NBTextView* text, bool select) {
        const int length = text->document()->characterCount() - 1;
        const int start = below(length + 1);
        const int count = select ? below(length - start + 1) : 0;
        text->setSelectedRange({static_cast<uint64_t>(start), static_cast<uint64_t>(count)});
        note("select " + std::to_string(start) + "+" + std::to_string(count));
    }

    void key(NBTextView* text, Qt::Key key, Qt::KeyboardModifiers modifiers, const char* name) {
        QTest::keyClick(text, key, modifiers);
        note(name);
    }

    void edit(NBTextView* text) {
        switch (below(11)) {
            case 0:
            case 1: {
                if (below(2)) placeCaret(text, false);
                const QString typed = someText(4);
                QTest::keyClicks(text, typed);
                note("type \"" + typed.toStdString() + "\"");
                break;
            }
            case 2:
                if (below(2)) placeCaret(text, false);
                key(text, Qt::Key_Return, Qt::NoModifier, "Return");
                break;
            case 3: {
                // Backspace at the start of a line joins it to the line above.
                const int blocks = text->document()->blockCount();
                const QTextBlock block = text->document()->findBlockByNumber(below(blocks));
                text->setSelectedRange({static_cast<uint64_t>(block.position()), 0});
                key(text, Qt::Key_Backspace, Qt::NoModifier, "Backspace at line start");
                break;
            }
            case 4:
                placeCaret(text, false);
                key(text, Qt::Key_Backspace, Qt::ControlModifier, "Ctrl+Backspace");
                break;
            case 5:
                placeCaret(text, true);
                key(text, Qt::Key_X, Qt::ControlModifier, "cut");
                break;
            case 6: {
                placeCaret(text, below(3) == 0);
                QString pasted;
                const int lines = 1 + below(4);
                const char* const breaks[] = {"\r\n", "\r", "\n"};
                for (int i = 0; i < lines; ++i) {
                    if (i) pasted += QString::fromLatin1(breaks[below(3)]);
                    pasted += someText(6);
                }
                QApplication::clipboard()->setText(pasted);
                QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
                note("paste \"" + pasted.toStdString() + "\"");
                break;
            }
            case 7: {
                placeCaret(text, true);
                const QString typed = someText(3);
                QTest::keyClicks(text, typed);
                note("type over selection \"" + typed.toStdString() + "\"");
                break;
            }
            case 8:
                key(text, Qt::Key_Z, Qt::ControlModifier, "undo");
                break;
            case 9:
                key(text, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "redo");
                break;
            default:
                placeCaret(text, below(2) == 0);
                key(text, below(2) ? Qt::Key_Delete : Qt::Key_Backspace, Qt::NoModifier,
                    "Delete or Backspace");
                break;
        }
        // Normalisation of pasted text follows its edit.
        QCoreApplication::processEvents();
    }
};

TEST_P(EditingSession, EveryEditKeepsTheLinesAndAnswersInStepWithTheText) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    // With every typing aid on: spaced operators, closing brackets and references to the
    // line above become part of the edits.
    for (const char* aid : {"NBAddSpacesAroundOperators", "NBAddClosingBracket",
                            "NBAddClosingQuotationMarks", "NBAddTokenToNewLine"})
        settings().setObject(aid, true);
    NBAppController& app = launch();
    if (app.documents().documents().empty()) app.documents().newDocument();
    NBDocumentWindow* window = app.documents().documents().front();
    NBTextView* text = window->textView();
    NBDocumentController& document = window->document();
    QApplication::clipboard()->setText("12\n3*4");

    for (int edits = 0; edits < kEditsPerSession; ++edits) {
        edit(text);
        const QStringList blocks = blockTexts(*text);
        ASSERT_EQ(lineTexts(document), blocks)
            << "seed " << GetParam() << " after edit " << edits << ":" << transcript();
        FreshDocument fresh(blocks);
        ASSERT_EQ(answerTexts(document), answerTexts(fresh.document()))
            << "seed " << GetParam() << " after edit " << edits << ":" << transcript();
        ASSERT_EQ(text->metricsInfo()->mirror().string(),
                  text->document()->toRawText().replace(QChar(0x2029), u'\n').toStdU16String())
            << "seed " << GetParam() << " after edit " << edits << ":" << transcript();
    }
    saveScreenshot(window, QString("document-window-editing-session-%1").arg(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditingSession, ::testing::Values(1u, 2u, 3u, 4u));

}  // namespace
