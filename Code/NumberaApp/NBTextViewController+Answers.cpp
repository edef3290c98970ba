// Answers written into the text: the copy commands' text, and the answers jumped into the view.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "Diagnostics.h"
#include "NBAnswerColumnRules.h"
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

}  // namespace

NBTextViewController::AnswersText NBTextViewController::stringWithAnswersOnLinesWithIndexes(
    const NSIndexSet& lines, bool includeExpressions, bool usesFormattedAnswers, bool styleString) {
    AnswersText out;
    if (!m_textView || !m_lineCollection) return out;
    const bool coloured = NBUserDefaultsController::boolForKey("NBSyntaxColoringEnabled");
    const QString separator = QStringLiteral(" = ");
    const QString separatorHtml = coloured
                                      ? QStringLiteral("<span style=\"color:#ff8000\"> = </span>")
                                      : QStringLiteral("<span style=\"color:#000000\"> = </span>");
    const std::vector<uint64_t> indexes = lines.indexes();
    for (size_t i = 0; i < indexes.size(); ++i) {
        const uint64_t index = indexes[i];
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index);
        if (!line) continue;
        const std::u16string answer = usesFormattedAnswers ? answerColumnFormattedResult(*line)
                                                           : answerColumnUnformattedResult(*line);
        // Tokens come out as their text: the copy must make sense without this document.
        const QString expression = QString::fromStdU16String(
            metrics()->stringForLineAtIndex(index, false, true).value_or(u""));
        if (includeExpressions) {
            out.plain += expression;
            out.html += expression.toHtmlEscaped();
        }
        // Without the expressions a declaration's answer is all there is to copy.
        const bool appends = !answer.empty() &&
                             (!includeExpressions || line->lineType() != kVariableDeclarationLine ||
                              declarationRepeatsAnswer(*line, answer));
        if (appends) {
            if (includeExpressions) {
                out.plain += separator;
                out.html += separatorHtml;
            }
            out.plain += QString::fromStdU16String(answer);
            out.html += QString::fromStdU16String(answer).toHtmlEscaped();
        }
        if (i + 1 < indexes.size()) {
            out.plain += QLatin1Char('\n');
            out.html += QStringLiteral("<br>");
        }
    }
    if (styleString) {
        const QFont font = NBTextAttributes::defaultTextViewFont();
        out.html = QStringLiteral("<span style=\"font-family:'%1'; font-size:%2pt\">%3</span>")
                       .arg(font.family())
                       .arg(font.pointSizeF())
                       .arg(out.html);
    } else {
        out.html.clear();
    }
    return out;
}

void NBTextViewController::jumpAnswers() {
    if (!m_textView) return;
    const uint64_t line = m_currentLineNumber < 0 ? 0 : static_cast<uint64_t>(m_currentLineNumber);
    if (!m_answersAreJumped) {
        const QString text =
            stringWithAnswersOnLinesWithIndexes(
                NSIndexSet(NSRange{0, m_lineCollection ? m_lineCollection->countOfLines() : 0}),
                true, true, false)
                .plain;
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
        cursor.insertText(text);
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
