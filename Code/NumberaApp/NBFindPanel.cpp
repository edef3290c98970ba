#include "NBFindPanel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include "NBAppResources.h"
#include "NBOnScreenPlacement.h"
#include "NBWindowShortcuts.h"
#include "NSLocalizedString.h"

namespace {

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

NBFindPanel::NBFindPanel(std::function<QTextEdit*()> textOfFront, QWidget* parent)
    : QDialog(parent, Qt::Tool),
      m_textOfFront(std::move(textOfFront)),
      m_field(new QLineEdit(this)),
      m_status(new QLabel(this)) {
    setObjectName(QStringLiteral("findPanel"));
    setWindowTitle(localized(u"Find"));
    setModal(false);
    m_field->setObjectName(QStringLiteral("findField"));
    m_field->setMinimumWidth(260);
    m_status->setObjectName(QStringLiteral("findStatus"));
    auto* previous = new QPushButton(localized(u"Previous"), this);
    previous->setObjectName(QStringLiteral("findPreviousButton"));
    previous->setAutoDefault(false);
    auto* next = new QPushButton(localized(u"Next"), this);
    next->setObjectName(QStringLiteral("findNextButton"));
    next->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(localized(u"Find:"), this));
    row->addWidget(m_field, 1);
    layout->addLayout(row);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(previous);
    buttons->addWidget(next);
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, &NBFindPanel::findNext);
    connect(previous, &QPushButton::clicked, this, &NBFindPanel::findPrevious);
    connect(m_field, &QLineEdit::textChanged, m_status, &QLabel::clear);
    NBAddCloseShortcuts(this);
    NBKeepWindowOnScreen(this);
}

QString NBFindPanel::findString() const { return m_field->text(); }

void NBFindPanel::setFindString(const QString& text) { m_field->setText(text); }

void NBFindPanel::showPanel() {
    QTextEdit* text = m_textOfFront ? m_textOfFront() : nullptr;
    if (text) {
        const QString selected = text->textCursor().selectedText();
        // A selection within one line is what the user means to look for.
        if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) &&
            !selected.contains(QChar::LineSeparator))
            m_field->setText(selected);
        if (!isVisible()) {
            // Just below the top of the document's window, clear of its text's first line.
            const QRect window = text->window()->geometry();
            adjustSize();
            move(window.right() - width() - 20, window.top() + 40);
        }
    }
    show();
    raise();
    activateWindow();
    m_field->setFocus();
    m_field->selectAll();
}

bool NBFindPanel::findNext() { return find(false); }

bool NBFindPanel::findPrevious() { return find(true); }

bool NBFindPanel::find(bool backwards) {
    QTextEdit* text = m_textOfFront ? m_textOfFront() : nullptr;
    const QString wanted = m_field->text();
    if (!text || wanted.isEmpty()) {
        QApplication::beep();
        return false;
    }
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor found = text->document()->find(wanted, text->textCursor(), flags);
    if (found.isNull()) {
        // Round the end (or the start) of the text.
        QTextCursor from(text->document());
        if (backwards) from.movePosition(QTextCursor::End);
        found = text->document()->find(wanted, from, flags);
    }
    if (found.isNull()) {
        m_status->setText(localized(u"Not found"));
        QApplication::beep();
        return false;
    }
    m_status->clear();
    text->setTextCursor(found);
    text->ensureCursorVisible();
    return true;
}
