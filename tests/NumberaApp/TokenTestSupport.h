// A document window fixture for the token and typing-aid tests, and what a token shows.
#ifndef NUMBERA_TESTS_TOKEN_TEST_SUPPORT_H
#define NUMBERA_TESTS_TOKEN_TEST_SUPPORT_H

#include <QTest>

#include "AppTestFixture.h"

class NBDocumentWindow;

class TokenTest : public AppTest {
  protected:
    NBDocumentWindow* newWindow();
    static void type(NBDocumentWindow* window, const QString& text);
    // Characters no key of the test keyboard has, each as one key press.
    static void typeCharacters(NBDocumentWindow* window, const QString& text);
    static void key(NBDocumentWindow* window, Qt::Key key,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
};

// The position of the n-th character of the line; the token there.
int tokenPosition(NBDocumentWindow* window, int line, int column);
// The text the token at that place draws.
QString tokenText(NBDocumentWindow* window, int line, int column);

#endif
