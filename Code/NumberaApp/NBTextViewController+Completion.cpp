// Word completion in the calculation text: the names of the document's own variables, then
// the global variables', that begin with the word before the caret, in a list under it.
#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextCursor>
#include <set>

#include "NBTextViewController.h"
#include "NCLineCollection.h"
#include "NCVariable.h"
#include "NCVariableList.h"
#include "NKEnvironment.h"
#include "NKVariablesManager.h"

namespace {

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

void appendMatching(std::vector<std::u16string>& names, std::set<std::u16string>& seen,
                    const std::vector<std::shared_ptr<NCVariable>>& variables,
                    const QString& partial) {
    for (const auto& variable : variables) {
        const std::optional<std::u16string> name = variable ? variable->name() : std::nullopt;
        if (!name || name->empty() || seen.count(*name)) continue;
        if (!QString::fromStdU16String(*name).startsWith(partial, Qt::CaseInsensitive)) continue;
        seen.insert(*name);
        names.push_back(*name);
    }
}

}  // namespace

bool NBTextViewController::isCompletionKey(const QKeyEvent& event) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_Space && modifiers == Qt::ControlModifier) return true;
    // Escape is the design's completion key wherever nothing else wants it.
    return event.key() == Qt::Key_Escape && modifiers == Qt::NoModifier &&
           !m_tokenEditorController->editorIsVisible() && !m_answersAreJumped &&
           !(m_completer && m_completer->popup()->isVisible());
}

bool NBTextViewController::textViewLeavesKeyToCompletion(const QKeyEvent& event) const {
    if (!m_completer || !m_completer->popup()->isVisible()) return false;
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return true;
        default:
            return false;
    }
}

NSRange NBTextViewController::partialWordRangeAtCaret() const {
    const QTextCursor caret = m_textView->textCursor();
    const QTextBlock block = caret.block();
    const QString text = block.text();
    int start = caret.position() - block.position();
    const int end = start;
    while (start > 0 && isWordCharacter(text.at(start - 1))) --start;
    return {static_cast<uint64_t>(block.position() + start), static_cast<uint64_t>(end - start)};
}

std::vector<std::u16string> NBTextViewController::completionsForPartialWord(
    const std::u16string& partialWord) const {
    std::vector<std::u16string> names;
    std::set<std::u16string> seen;
    const QString partial = QString::fromStdU16String(partialWord);
    if (m_lineCollection && m_lineCollection->variables())
        appendMatching(names, seen, m_lineCollection->variables()->variables(), partial);
    if (std::shared_ptr<NKEnvironment> environment = NKEnvironment::sharedEnvironment())
        if (std::shared_ptr<NKVariablesManager> globals = environment->variablesManager())
            appendMatching(names, seen, globals->variables(), partial);
    return names;
}

void NBTextViewController::complete() {
    if (!m_textView || m_answersAreJumped || m_textView->isReadOnly()) return;
    const NSRange word = partialWordRangeAtCaret();
    QTextCursor range(m_textView->document());
    range.setPosition(static_cast<int>(word.location));
    range.setPosition(static_cast<int>(NSMaxRange(word)), QTextCursor::KeepAnchor);
    const QString partial = range.selectedText();
    QStringList names;
    for (const std::u16string& name : completionsForPartialWord(partial.toStdU16String()))
        names << QString::fromStdU16String(name);
    if (names.isEmpty()) return;
    if (!m_completer) {
        m_completer = new QCompleter(this);
        m_completer->setModel(new QStringListModel(m_completer));
        m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        m_completer->setCaseSensitivity(Qt::CaseInsensitive);
        m_completer->setWidget(m_textView);
        connect(m_completer, qOverload<const QString&>(&QCompleter::activated), this,
                [this](const QString& name) { insertCompletion(name); });
    }
    static_cast<QStringListModel*>(m_completer->model())->setStringList(names);
    m_completer->setCompletionPrefix(QString());
    QRect under = m_textView->cursorRect(range);
    under.setWidth(m_completer->popup()->sizeHintForColumn(0) +
                   m_completer->popup()->verticalScrollBar()->sizeHint().width() + 8);
    m_completer->complete(under);
    m_completer->popup()->setCurrentIndex(m_completer->completionModel()->index(0, 0));
}

void NBTextViewController::insertCompletion(const QString& name) {
    if (!m_textView) return;
    // The word the list was made for is the one before the caret still.
    const NSRange word = partialWordRangeAtCaret();
    QTextCursor cursor(m_textView->document());
    cursor.setPosition(static_cast<int>(word.location));
    cursor.setPosition(static_cast<int>(NSMaxRange(word)), QTextCursor::KeepAnchor);
    m_pendingUndoActionName = QStringLiteral("Typing");
    cursor.insertText(name);
    m_pendingUndoActionName.clear();
    m_textView->setTextCursor(cursor);
}
