// Timing of the document window on a long document, in the real application on the offscreen
// platform: opening a 10,000-line document until its window has painted, and typing into it
// from each key press until the text and the answer column have repainted, and reloading the
// answer palette beside a conversion. Prints the figures; it asserts nothing.
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextBlock>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "AppBenchSupport.h"
#include "NBAnswerColumnController.h"
#include "NBAnswerPalette.h"
#include "NBAnswerPaletteController.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBEnvironmentController.h"
#include "NBTextView.h"
#include "NBTextViewController.h"
#include "NCLineCollection.h"
#include "NCLineCollectionStatistics.h"

namespace {

constexpr int kLines = 10000;
constexpr int kKeystrokes = 300;

using AppBench::mixedLine;

void pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents();
}

struct Figures {
    double median, p95, max;
};

Figures figures(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 95 / 100], samples.back()};
}

}  // namespace

int main(int argc, char** argv) {
    AppBench::Application application(argc, argv);

    // The document file.
    const QString path = application.path("long.numbera");
    if (!AppBench::writeDocument(path, kLines, mixedLine)) return 1;

    // Opening, to a painted window, in its stages: the file read and its lines evaluated, the
    // window built and the text loaded and synchronised, the first paint.
    std::vector<double> opens, reads, builds, paints;
    NBDocumentWindow* window = nullptr;
    for (int round = 0; round < 3; ++round) {
        if (window) window->closeWithoutAsking();
        pump();
        QElapsedTimer timer;
        timer.start();
        auto* document = new NBDocumentController;
        QString error;
        if (!document->readFromURL(path, &error)) return 1;
        const double read = timer.nsecsElapsed() / 1e6;
        window = new NBDocumentWindow(document, QString());
        const double built = timer.nsecsElapsed() / 1e6;
        window->resize(900, 700);
        window->show();
        pump();
        window->repaint();
        opens.push_back(timer.nsecsElapsed() / 1e6);
        reads.push_back(read);
        builds.push_back(built - read);
        paints.push_back(opens.back() - built);
    }
    const Figures open = figures(opens);
    std::printf(
        "open %d-line document to a painted window: median %.1f ms, max %.1f ms (%zu runs)"
        "; read %.1f ms, window and synchronisation %.1f ms, first paint %.1f ms\n",
        kLines, open.median, open.max, opens.size(), figures(reads).median, figures(builds).median,
        figures(paints).median);

    // The statistic shown below the text: the total of every line, in runs of sums.
    {
        NCLineCollectionStatistics statistics(window->document().lineCollection());
        std::vector<double> totals;
        std::shared_ptr<NCResult> total;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            total = statistics.getStatistic(NCStatisticTypeSum);
            totals.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("total of a %d-line document: median %.1f ms (%s)\n", kLines,
                    figures(totals).median,
                    total && total->resultType() == NCResultTypeValue ? "a value" : "no value");
    }

    // The answer palette beside a conversion near the top: each reload, as a keystroke or a
    // scroll asks for it once its updates are coalesced, to the repainted palette.
    NBAnswerPaletteController& palette =
        window->document().answerColumnController().answerPaletteController();
    palette.showAnswerPaletteOnLineIndex(uint64_t{2}, false);
    palette.updatePalettePosition();
    pump();
    std::vector<double> reloads;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer timer;
        timer.start();
        palette.updatePalettePosition();
        if (palette.answerPalette()) palette.answerPalette()->repaint();
        reloads.push_back(timer.nsecsElapsed() / 1e6);
        pump();
    }
    const Figures reload = figures(reloads);
    std::printf(
        "answer palette reload to repaint in a %d-line document: median %.2f ms, max %.2f ms "
        "(%zu reloads, %zu rows)\n",
        kLines, reload.median, reload.max, reloads.size(), palette.dataSource().size());
    palette.closeAnswerPaletteWithAnimation(false);

    // Typing at the end of the middle line: each key to the repainted text and answers.
    NBTextView* text = window->textView();
    const QTextBlock middle = text->document()->findBlockByNumber(kLines / 2 + 1);
    QTextCursor cursor(middle);
    cursor.movePosition(QTextCursor::EndOfBlock);
    text->setTextCursor(cursor);
    text->ensureCursorVisible();
    pump();
    std::vector<double> keys, edits;
    const QString typed = QStringLiteral("+12*3");
    for (int i = 0; i < kKeystrokes; ++i) {
        const bool erase = i % 2 == 1;
        const QChar c = typed[(i / 2) % typed.size()];
        QKeyEvent press(QEvent::KeyPress, erase ? Qt::Key_Backspace : 0, Qt::NoModifier,
                        erase ? QString() : QString(c));
        QKeyEvent release(QEvent::KeyRelease, erase ? Qt::Key_Backspace : 0, Qt::NoModifier,
                          erase ? QString() : QString(c));
        QElapsedTimer timer;
        timer.start();
        QApplication::sendEvent(text, &press);
        QApplication::sendEvent(text, &release);
        edits.push_back(timer.nsecsElapsed() / 1e6);
        pump();
        text->viewport()->repaint();
        window->answerColumn()->repaint();
        keys.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Figures key = figures(keys);
    std::printf(
        "keystroke to repaint in a %d-line document: median %.2f ms, p95 %.2f ms, max "
        "%.2f ms (%d keys); the edit itself %.2f ms\n",
        kLines, key.median, key.p95, key.max, kKeystrokes, figures(edits).median);
    // Undo and redo rebuild the lines from the text: each is timed to its repaint.
    std::vector<double> undos;
    for (int i = 0; i < 20; ++i) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("7"));
        QApplication::sendEvent(text, &press);
        pump();
        QElapsedTimer timer;
        timer.start();
        window->document().textViewController().undo();
        pump();
        text->viewport()->repaint();
        window->answerColumn()->repaint();
        undos.push_back(timer.nsecsElapsed() / 1e6);
    }
    const Figures undo = figures(undos);
    std::printf(
        "undo of a keystroke to repaint in a %d-line document: median %.2f ms, max %.2f "
        "ms (%zu undos)\n",
        kLines, undo.median, undo.max, undos.size());
    std::printf(
        "lines in the document: %llu\n",
        static_cast<unsigned long long>(window->document().lineCollection()->countOfLines()));
    return 0;
}
