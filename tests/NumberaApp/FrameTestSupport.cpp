#include "FrameTestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QScrollBar>
#include <QTextBlock>

#include "DocumentWindowSupport.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBNumberLineController.h"
#include "NBTextView.h"
#include "NBViewController.h"

NBDocumentWindow* FrameTest::openWindow(const QStringList& lines, QSize size) {
    settings().setObject("NBShowWelcomeWindowOnLaunch", false);
    settings().setObject("NBWantsNewDocumentOnLaunch", false);
    NBAppController& app = launch();
    const QString path = root() + "/frame.numbera";
    writeDocumentFile(path, lines);
    NBDocumentWindow* window = app.documents().openDocument(path);
    if (!window) return nullptr;
    window->resize(size);
    window->show();
    pumpEventsFor(30);
    return window;
}

void FrameTest::selectLines(NBDocumentWindow* window, int first, int last) {
    QTextDocument* document = window->textView()->document();
    const QTextBlock from = document->findBlockByNumber(first);
    const QTextBlock to = document->findBlockByNumber(last);
    const int end = to.position() + to.length() - 1;
    window->textView()->setSelectedRange(
        {static_cast<uint64_t>(from.position()), static_cast<uint64_t>(end - from.position())});
    QCoreApplication::processEvents();
}

double FrameTest::blockTopInWindow(NBDocumentWindow* window, int line) {
    NBTextView* text = window->textView();
    const QTextBlock block = text->document()->findBlockByNumber(line);
    const double y = text->document()->documentLayout()->blockBoundingRect(block).y() -
                     text->verticalScrollBar()->value();
    return text->viewport()->mapTo(window, QPoint(0, 0)).y() + y;
}

NBViewController& FrameTest::frame(NBDocumentWindow* window) { return *window->viewController(); }

void FrameTest::settleNumberLine(NBDocumentWindow* window) {
    NBNumberLineController* numbers = frame(window).numberLineController();
    for (int i = 0; i < 40 && numbers->sizeNumberLineToFit(); ++i) {
    }
    pumpEventsFor(20);
}
