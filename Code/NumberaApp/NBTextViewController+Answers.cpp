// Answers written into the text: the copy commands' text, and the answers jumped into the view.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "Diagnostics.h"
#include "NBAnswerColumnRules.h"
#include "NBAttributedText.h"
#include "NBExpressionSyntaxColorer.h"
#include "NBTextAttachment.h"
#include "NBTextAttributes.h"
#include "NBTextViewController.h"
#include "NBTextViewMetrics.h"
#include "NBUserDefaultsController.h"
#include "NCExpression.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCLineExpression.h"

namespace {

constexpr NCLineType kVariableDeclarationLine = 2;

QString trimmed(const std::u16string& text) { return QString::fromStdU16String(text).trimmed(); }

// A declaration whose typed value is already its answer ("x = 3") does not repeat it.
bool declarationRepeatsAnswer(NCLine& line, const std::u16string& answer) {
    const auto declaration = line.variableDeclaration();
    if (!declaration || !declaration->valueExpression()) return true;
    const auto& typed = declaration->valueExpression()->originalString();
    return !typed || trimmed(*typed) != trimmed(answer);
}

// The separator between an expression and its answer: orange with colouring on.
NSAttributedString separatorText(bool coloured) {
    NSAttributes attributes = NBExpressionSyntaxColorer::defaultAttributes();
    attributes[NBForegroundColorAttributeName] = std::u16string(coloured ? u"#ff8000" : u"#000000");
    return NSAttributedString(u" = ", attributes);
}

// A text read as an expression, each token in its colour.
NSAttributedString colouredText(const std::u16string& text,
                                const std::shared_ptr<NCEnvironment>& environment) {
    NSAttributedString string(text, NBExpressionSyntaxColorer::defaultAttributes());
    return NBExpressionSyntaxColorer::colorExpressionAttributedString(string, {0, text.size()},
                                                                      environment);
}

}  // namespace

std::u16string NBTextViewController::detokenizedTextOfLine(uint64_t index) {
    if (!m_textView) return {};
    const QTextBlock block = m_textView->document()->findBlockByNumber(static_cast<int>(index));
    if (!block.isValid()) return {};
    return NBDetokenizedText(m_textView->document(), block.position(),
                             block.position() + block.length() - 1, 1,
                             m_attachmentController.get());
}

std::vector<std::u16string> NBTextViewController::selectedLinePartsWithTokensInRepType(
    int conversion) const {
    std::vector<std::u16string> parts;
    if (!m_textView) return parts;
    const QTextCursor selection = m_textView->textCursor();
    if (!selection.hasSelection()) return parts;
    QTextDocument* document = m_textView->document();
    for (QTextBlock block = document->findBlock(selection.selectionStart());
         block.isValid() && block.position() < selection.selectionEnd(); block = block.next()) {
        const int from = std::max(block.position(), selection.selectionStart());
        const int end = block.position() + block.length() - 1;
        const int to = std::min(end, selection.selectionEnd());
        parts.push_back(to > from ? NBDetokenizedText(document, from, to, conversion,
                                                      m_attachmentController.get())
                                  : std::u16string());
    }
    // A selection that ends past the last line's end ends in a line break.
    if (selection.selectionEnd() > document->findBlock(selection.selectionEnd() - 1).position() +
                                       document->findBlock(selection.selectionEnd() - 1).length() -
                                       1)
        parts.emplace_back();
    return parts;
}

NSAttributedString NBTextViewController::colouredLines(
    const std::vector<std::u16string>& lines, const std::shared_ptr<NCEnvironment>& environment) {
    NSAttributedString gathered;
    const NSAttributes plain = NBExpressionSyntaxColorer::defaultAttributes();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) gathered.appendAttributedString(NSAttributedString(u"\n", plain));
        if (!lines[i].empty()) gathered.appendAttributedString(colouredText(lines[i], environment));
    }
    return gathered;
}

NBTextViewController::AnswersText NBTextViewController::stringWithAnswersOnLinesWithIndexes(
    const NSIndexSet& lines, bool includeExpressions, bool usesFormattedAnswers, bool styleString) {
    AnswersText out;
    if (!m_textView || !m_lineCollection) return out;
    const std::shared_ptr<NCEnvironment> environment = m_lineCollection->environment();
    const bool coloured = NBUserDefaultsController::syntaxColouringEnabled();
    const NSAttributes plain = NBExpressionSyntaxColorer::defaultAttributes();
    const std::vector<uint64_t> indexes = lines.indexes();
    for (size_t i = 0; i < indexes.size(); ++i) {
        const uint64_t index = indexes[i];
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index);
        if (!line) continue;
        const std::u16string answer = usesFormattedAnswers ? answerColumnFormattedResult(*line)
                                                           : answerColumnUnformattedResult(*line);
        // Tokens come out as the answers they show: the copy must make sense without this
        // document, and the stored form of a reference is no text for a reader.
        if (includeExpressions)
            out.styled.appendAttributedString(
                colouredText(detokenizedTextOfLine(index), environment));
        // Without the expressions a declaration's answer is all there is to copy.
        const bool appends = !answer.empty() &&
                             (!includeExpressions || line->lineType() != kVariableDeclarationLine ||
                              declarationRepeatsAnswer(*line, answer));
        if (appends) {
            if (includeExpressions) out.styled.appendAttributedString(separatorText(coloured));
            out.styled.appendAttributedString(colouredText(answer, environment));
        }
        if (i + 1 < indexes.size())
            out.styled.appendAttributedString(NSAttributedString(u"\n", plain));
    }
    out.plain = QString::fromStdU16String(out.styled.string());
    if (styleString)
        out.html = NBAttributedText(out.styled, NBTextAttributes::defaultTextViewFont(), Qt::black)
                       .html(true);
    return out;
}

void NBTextViewController::jumpAnswers() {
    if (!m_textView) return;
    const uint64_t line = m_currentLineNumber < 0 ? 0 : static_cast<uint64_t>(m_currentLineNumber);
    if (!m_answersAreJumped) {
        const NSAttributedString text =
            stringWithAnswersOnLinesWithIndexes(
                NSIndexSet(NSRange{0, m_lineCollection ? m_lineCollection->countOfLines() : 0}),
                true, true, false)
                .styled;
        // The typed document stays as it is, parented to the view so that showing another
        // document does not delete it.
        m_unjumpedDocument = m_textView->document();
        m_unjumpedDocument->setParent(m_textView);
        auto* jumped = new QTextDocument(m_textView);
        jumped->setObjectName(QStringLiteral("jumpedAnswersDocument"));
        jumped->setUndoRedoEnabled(false);
        jumped->setDefaultFont(m_unjumpedDocument->defaultFont());
        jumped->setDocumentMargin(m_unjumpedDocument->documentMargin());
        QTextCursor cursor(jumped);
        cursor.setBlockFormat(NBTextAttributes::defaultTextViewParagraphStyle());
        // Each run in its colour, in the text's own font.
        const QFont font = m_unjumpedDocument->defaultFont();
        const NBAttributedText runs(text, font, Qt::black);
        for (const NBAttributedText::Run& run : runs.runs()) {
            QTextCharFormat format;
            format.setFont(font);
            format.setForeground(run.color);
            cursor.insertText(run.text, format);
        }
        // Showing the answers is no edit: the document is edited only as the typed text is.
        jumped->setModified(false);
        m_textView->setTextIsBeingEdited(true);
        m_textView->setDocument(jumped);
        m_textView->setReadOnly(true);
        m_textView->setTextIsBeingEdited(false);
        const QTextBlock block = jumped->findBlockByNumber(static_cast<int>(line));
        if (block.isValid()) {
            QTextCursor end(block);
            end.movePosition(QTextCursor::EndOfBlock);
            m_textView->setTextCursor(end);
        }
    } else if (!m_unjumpedDocument) {
        Diagnostics::error("mega bug with jump answers");
    } else {
        QTextDocument* jumped = m_textView->document();
        m_textView->setTextIsBeingEdited(true);
        m_textView->setDocument(m_unjumpedDocument);
        m_textView->setReadOnly(false);
        m_textView->setTextIsBeingEdited(false);
        m_unjumpedDocument = nullptr;
        if (jumped->parent() == m_textView) jumped->deleteLater();
        metrics()->resetAllCaches();
        const NSRange range = metrics()->rangeOfLineAtIndex(line, false);
        if (range.location != NSNotFound) m_textView->setSelectedRange({NSMaxRange(range), 0});
    }
    m_answersAreJumped = !m_answersAreJumped;
    if (m_delegate) m_delegate->tvcDidJumpAnswers(this);
}
