#include "TokenTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QTextBlock>

#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NBTokenCell.h"

NBDocumentWindow* TokenTest::newWindow() { return firstDocumentWindow(); }

void TokenTest::type(NBDocumentWindow* window, const QString& text) {
    QTest::keyClicks(window->textView(), text);
    QCoreApplication::processEvents();
}

void TokenTest::typeCharacters(NBDocumentWindow* window, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(window->textView(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(window->textView(), &release);
    }
    QCoreApplication::processEvents();
}

void TokenTest::key(NBDocumentWindow* window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window->textView(), key, modifiers);
    QCoreApplication::processEvents();
}

int tokenPosition(NBDocumentWindow* window, int line, int column) {
    return window->textView()->document()->findBlockByNumber(line).position() + column;
}

QString tokenText(NBDocumentWindow* window, int line, int column) {
    const int position = tokenPosition(window, line, column);
    NBTextViewController& controller = window->document().textViewController();
    if (!controller.textAttachmentAt(position)) return QStringLiteral("<no token>");
    // The cell as the text draws it.
    auto* handler =
        window->textView()->document()->documentLayout()->handlerForObject(NBTokenObjectType);
    auto* tokens = dynamic_cast<NBTokenObjectHandler*>(handler);
    if (!tokens) return QStringLiteral("<no handler>");
    return tokens->configuredCell(position).stringValue();
}
