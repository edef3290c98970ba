// Timing of edits in a document window of the real application on the offscreen platform, each
// from the command to the repainted window with every follow-up of the edit done: pasting
// lines that name other lines by number ("line1 + line2"), which become tokens, and undoing
// a keystroke in a long document of mixed lines or of lines holding tokens.
#include <benchmark/benchmark.h>

#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <memory>

#include "AppBenchSupport.h"
#include "NBAnswerColumnView.h"
#include "NBDocumentController.h"
#include "NBDocumentManager.h"
#include "NBDocumentWindow.h"
#include "NBTextView.h"
#include "NBTextViewController.h"

namespace {

AppBench::Application* s_application = nullptr;
using AppBench::mixedLine;

// A line holding a token to the first line.
std::u16string tokenLine(int i) { return QString("(___abs_line(0)) + %1").arg(i).toStdU16String(); }

// Events until the edit's follow-ups (tokens, answers, repaints) have all run.
void settle() {
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
    }
}

QString writeDocument(const QString& name, int lines, std::u16string (*lineText)(int)) {
    const QString path = s_application->path(name + ".numbera");
    AppBench::writeDocument(path, lines, lineText);
    return path;
}

NBDocumentWindow* openWindow(const QString& path) {
    auto* document = new NBDocumentController;
    QString error;
    if (!document->readFromURL(path, &error)) return nullptr;
    auto* window = new NBDocumentWindow(document, QString());
    window->resize(1000, 700);
    window->show();
    settle();
    return window;
}

void repaint(NBDocumentWindow& window) {
    window.textView()->viewport()->repaint();
    window.answerColumn()->repaint();
}

// Ctrl+V of state.range(0) lines "lineK + line2 + i" into a two-line document, at its end.
void BM_PasteLinesWithLineNumberReferences(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    QString pasted;
    for (int i = 0; i < count; ++i)
        pasted += QString("\nline%1 + line2 + %2").arg(i % 2 + 1).arg(i);
    const QString path = writeDocument(QStringLiteral("target"), 2, mixedLine);
    uint64_t lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        NBDocumentWindow* window = openWindow(path);
        NBTextView* text = window->textView();
        text->moveCursor(QTextCursor::End);
        QApplication::clipboard()->setText(pasted);
        settle();
        state.ResumeTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(text, &press);
        settle();
        repaint(*window);
        state.PauseTiming();
        lines = window->document().lineCollection()->countOfLines();
        window->closeWithoutAsking();
        settle();
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_PasteLinesWithLineNumberReferences)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(8000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Undo of one keystroke in the middle of a document of state.range(0) lines.
void undoKeystroke(benchmark::State& state, const QString& name, std::u16string (*lineText)(int)) {
    const int count = static_cast<int>(state.range(0));
    const QString path = writeDocument(name, count, lineText);
    NBDocumentWindow* window = openWindow(path);
    NBTextView* text = window->textView();
    QTextCursor cursor(text->document()->findBlockByNumber(count / 2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    text->setTextCursor(cursor);
    settle();
    for (auto _ : state) {
        state.PauseTiming();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QApplication::sendEvent(text, &press);
        settle();
        state.ResumeTiming();
        window->document().textViewController().undo();
        settle();
        repaint(*window);
    }
    state.counters["lines"] =
        static_cast<double>(window->document().lineCollection()->countOfLines());
    window->closeWithoutAsking();
    settle();
}

void BM_UndoInMixedLines(benchmark::State& state) {
    undoKeystroke(state, QStringLiteral("mixed"), mixedLine);
}
BENCHMARK(BM_UndoInMixedLines)
    ->Arg(10000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_UndoInTokenLines(benchmark::State& state) {
    undoKeystroke(state, QStringLiteral("tokens"), tokenLine);
}
BENCHMARK(BM_UndoInTokenLines)
    ->Arg(2000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    AppBench::Application application(argc, argv);
    s_application = &application;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
