// A launched application with one document window opened from lines, and the helpers the
// tests of the window's frame share: selecting lines, reading a row's place, waiting for the
// line-number column to settle.
#ifndef NUMBERA_TESTS_APP_FRAME_TEST_SUPPORT_H
#define NUMBERA_TESTS_APP_FRAME_TEST_SUPPORT_H

#include <QSize>
#include <QStringList>

#include "AppTestFixture.h"

class NBDocumentWindow;
class NBViewController;

class FrameTest : public AppTest {
  protected:
    // Opens a document file holding the lines, in a window of that size, shown.
    NBDocumentWindow* openWindow(const QStringList& lines, QSize size = QSize(760, 520));
    // Selects the text of lines first to last (counted from 0), end of the last line excluded.
    static void selectLines(NBDocumentWindow* window, int first, int last);
    // The top of the line's block in the window's coordinates, as the text shows it.
    static double blockTopInWindow(NBDocumentWindow* window, int line);
    static NBViewController& frame(NBDocumentWindow* window);
    // Runs redraws until the line-number column stops changing its width.
    static void settleNumberLine(NBDocumentWindow* window);
};

#endif
