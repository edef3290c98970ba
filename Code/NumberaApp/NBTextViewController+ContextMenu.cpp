// The calculation text's own context menu. Every item goes through this controller or the
// document, so that undoing, cutting and pasting from it keep the lines and the text equal.
#include <QAction>
#include <QMenu>
#include <QTextCursor>
#include <QTextDocument>

#include "NBMenuHeadings.h"
#include "NBTextViewController.h"
#include "NBTextViewMetrics.h"
#include "NSLocalizedString.h"

namespace {

QString localizedTitle(const char16_t* key) {
    return QString::fromStdU16String(NSLocalizedString(key));
}

}  // namespace

QString NBTextViewController::undoMenuTitle(bool undo) const {
    const QString verb = localizedTitle(undo ? u"Undo" : u"Redo");
    const QString step = undo ? undoActionName() : redoActionName();
    return step.isEmpty() ? verb : verb + QLatin1Char(' ') + step;
}

void NBTextViewController::textViewContextMenu(QMenu& menu, int position) {
    if (!m_textView) return;
    const auto add = [&](const QString& title, QChar mnemonic, bool enabled, auto&& perform) {
        QAction* item = menu.addAction(NBMenuTitleWithMnemonic(title, mnemonic));
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, perform);
        return item;
    };
    const auto command = [&](const char16_t* title, QChar mnemonic, const char* name, int tag) {
        const QString selector = QString::fromLatin1(name);
        const bool enabled = m_delegate && m_delegate->tvcValidateCommand(selector, tag);
        return add(localizedTitle(title), mnemonic, enabled, [this, selector, tag] {
            if (m_delegate) m_delegate->tvcPerformCommand(selector, tag);
        });
    };
    QTextDocument* document = m_textView->document();
    const QTextCursor cursor = m_textView->textCursor();

    // What the text's stock menu offers before Cut, through the controller.
    add(undoMenuTitle(true), u'U', document->isUndoAvailable(), [this] { undo(); });
    add(undoMenuTitle(false), u'R', document->isRedoAvailable(), [this] { redo(); });
    menu.addSeparator();

    if (textAttachmentAt(position) && !m_answersAreJumped) {
        NBAddHeadingItem(menu, localizedTitle(u"Answer Token"));
        for (QAction* item : contextualMenuItemsForTextAttachment(position, &menu))
            menu.addAction(item);
        menu.addSeparator();
    }

    NBAddHeadingItem(menu, localizedTitle(u"Text"));
    const bool selected = cursor.hasSelection();
    add(localizedTitle(u"Cut"), u't', selected && !m_textView->isReadOnly(), [this] { cut(); });
    add(localizedTitle(u"Copy"), u'C', selected, [this] { m_textView->copy(); });
    // A part of one line is the text's to copy; the line's expression and answer are not.
    const bool oneLine = m_selectedLineNumbers.count() == 1;
    bool partOfLine = false;
    if (oneLine && selected && m_currentLineNumber >= 0) {
        const NSRange line = m_textView->metricsInfo()->rangeOfLineAtIndex(
            static_cast<uint64_t>(m_currentLineNumber), false);
        partOfLine = line.location == NSNotFound ||
                     static_cast<uint64_t>(cursor.selectionStart()) > line.location ||
                     static_cast<uint64_t>(cursor.selectionEnd()) < NSMaxRange(line);
    }
    if (!partOfLine) command(u"Copy Expression & Result", u'E', "copyExpressionAndResult:", -1);
    add(localizedTitle(u"Paste"), u'P', m_textView->canPaste() && !m_textView->isReadOnly(),
        [this] { m_textView->paste(); });
    menu.addSeparator();

    NBAddHeadingItem(menu, localizedTitle(u"Speech"));
    command(u"Start Speaking", u'S', "startSpeaking:", -1);
    command(m_selectedLineNumbers.count() >= 2 ? u"Speak Expressions & Results"
                                               : u"Speak Expression & Result",
            u'k', "speakSelectedLines:", -1);
    if (m_delegate && m_delegate->tvcValidateCommand(QStringLiteral("stopSpeech:"), -1))
        command(u"Stop Speaking", u'o', "stopSpeech:", -1);
    NBIndentItemsUnderHeadings(menu);
    if (selected && !cursor.selectedText().trimmed().isEmpty()) menu.addSeparator();
}
