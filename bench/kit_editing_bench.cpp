// The editing kit on a long document: line lookups, the partial rebuild after a keystroke,
// and whole edits classified and applied to the line collection, each undone again so that
// every edit meets a document of the same size.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "NBFoundation.h"
#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NKLineCollectionController.h"
#include "NKTextActionGenerator.h"
#include "NKTextViewMetrics.h"

namespace {

void startFoundation() {
    if (NBFoundationIsStarted()) return;
    NBFSettingsRef settings = NBFSettingsCreate();
    NBFoundationInit(settings);
    NBFSettingsRelease(settings);
}

// Every seventh line refers to the line above.
// With declarations, every tenth line (the middle one among them) declares one of twenty
// names, and the line after it uses that name.
std::u16string documentText(int lines, bool declarations = false) {
    std::u16string text;
    for (int i = 0; i < lines; ++i) {
        if (i) text += u"\n";
        const std::string name = "v" + std::to_string(i / 10 % 20);
        if (declarations && i % 10 == 0) text += std::u16string(name.begin(), name.end()) + u" = ";
        if (declarations && i % 10 == 1) text += std::u16string(name.begin(), name.end()) + u" + ";
        text += u"12*";
        text += i % 7 == 0 ? NCExpression::relativeLineReferenceTokenWithOffset(-1) : u"3";
    }
    return text;
}

struct Document : NKLineCollectionControllerDelegate {
    NKPlainTextSource source;
    std::shared_ptr<NKTextViewLineMetrics> lineMetrics;
    std::shared_ptr<NKTextViewMetrics> metrics;
    std::shared_ptr<NCLineCollection> collection = std::make_shared<NCLineCollection>();
    bool declarations = false;
    NKLineCollectionController controller;
    NKTextActionGenerator generator;

    explicit Document(int lines, bool declarations = false)
        : source(documentText(lines, declarations)), declarations(declarations) {
        lineMetrics = std::make_shared<NKTextViewLineMetrics>(&source);
        metrics = std::make_shared<NKTextViewMetrics>(&source, lineMetrics, nullptr);
        // The controller gives the collection the editor's trigonometry mode, and a change of
        // mode drops every answer: set beforehand, the edits meet a document with its answers.
        collection->setTrigonometryMode(defaultTrigonometryMode());
        // In one batch, as a document is opened: added one by one, each line would be a change
        // pass of its own over the whole collection.
        collection->beginBatchUpdate();
        for (const std::u16string& line : metrics->lineStrings())
            collection->addLine(NCLine::lineWithExpressionString(line));
        collection->endBatchUpdate();
        controller.setDelegate(this);
        controller.setLineCollection(collection);
        generator.setMetrics(metrics);
        generator.setLineCollection(collection);
    }

    // One edit as the editor makes it: classified against the text before it, made, applied to
    // the lines, and the lines whose references the controller rewrote reloaded into the text.
    void edit(NSRange range, const std::u16string& replacement) {
        uint64_t line = metrics->indexOfLineAtCharacterIndex(range.location);
        source.setSelectedRange(range);
        std::optional<NKTextAction> action = generator.textActionForRange(range, replacement);
        source.replaceCharactersInRange(range, replacement);
        metrics->resetAllCachesOnAndAfterLineIndex(line);
        controller.updateLineCollectionFromTextAction(*action);
        if (const std::optional<NSIndexSet>& changed =
                controller.linesWhoseExpressionsHaveChanged())
            for (uint64_t index : changed->indexes()) reloadLine(index);
        controller.resetLinesWhoseExpressionsChangedCache();
        controller.resetLinesToRedrawCache();
    }

    void reloadLine(uint64_t index) {
        std::shared_ptr<NCLine> line = collection->lineAtIndex(index);
        NSRange range = metrics->rangeOfLineAtIndex(index, false);
        if (!line || range.location == NSNotFound) return;
        const NSRange selection = source.selectedRange();
        source.replaceCharactersInRange(range, line->expressionString().value_or(u""));
        source.setSelectedRange(selection);
        metrics->resetAllCachesOnAndAfterLineIndex(index);
    }

    // Where the edits go: the end of the middle line.
    uint64_t endOfMiddleLine() {
        return NSMaxRange(metrics->rangeOfLineAtIndex(collection->countOfLines() / 2, false));
    }

    // The document is back to the text it was made from.
    bool isUnchanged(int lines) const {
        return collection->countOfLines() == static_cast<uint64_t>(lines) &&
               source.string() == documentText(lines, declarations);
    }

    std::u16string expressionForLineAtIndex(uint64_t index) override {
        return metrics->stringForLineAtIndex(index, false).value_or(u"");
    }
    NKLocale defaultLocale() override { return standardLocale(); }
    NCTrigonometryMode defaultTrigonometryMode() override { return NCTrigonometryModeDegrees; }
    int32_t defaultTextAlignment() override { return 0; }
    std::shared_ptr<NCResultFormattingOptions> defaultFormattingOptions() override {
        return std::make_shared<NCResultFormattingOptions>();
    }
};

void BM_LineOfCharacter(benchmark::State& state) {
    NKPlainTextSource source(documentText(static_cast<int>(state.range(0))));
    NKTextViewLineMetrics metrics(&source);
    uint64_t length = source.string().size(), k = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(metrics.indexOfLineAtCharacterIndex((k++ * 7919) % length));
}
BENCHMARK(BM_LineOfCharacter)->Arg(100)->Arg(10000);

void BM_RebuildAfterKeystrokeNearTheEnd(benchmark::State& state) {
    int lines = static_cast<int>(state.range(0));
    NKPlainTextSource source(documentText(lines));
    NKTextViewLineMetrics metrics(&source);
    for (auto _ : state) {
        metrics.resetAllCachesOnAndAfterLineIndex(static_cast<uint64_t>(lines - 10));
        benchmark::DoNotOptimize(metrics.countOfLines());
    }
}
BENCHMARK(BM_RebuildAfterKeystrokeNearTheEnd)->Arg(100)->Arg(10000);

void BM_FullRebuild(benchmark::State& state) {
    NKPlainTextSource source(documentText(static_cast<int>(state.range(0))));
    NKTextViewLineMetrics metrics(&source);
    for (auto _ : state) {
        metrics.resetAllCaches();
        benchmark::DoNotOptimize(metrics.countOfLines());
    }
}
BENCHMARK(BM_FullRebuild)->Arg(100)->Arg(10000);

// Counts the lines the collections evaluate while alive: what an edit costs is mostly how many
// lines it evaluates.
struct EvaluationCounter {
    EvaluationCounter() {
        NCLineCollection::setPreEvaluationBlock([this](NCLine&) { ++count; });
    }
    ~EvaluationCounter() { NCLineCollection::setPreEvaluationBlock(nullptr); }
    uint64_t count = 0;
};

// Each iteration makes an edit at the end of the middle line and deletes it again, so every
// iteration edits a document of the same size: edits left in place would lengthen the line or
// the document with every iteration, and the figure would depend on how many iterations the
// library chose to run. The pair is timed whole: pausing the clock around the deletion costs
// clock reads of its own, a share that grows as edits get cheaper. The deletion does the
// typing's work undone (the same lines re-read, inserted or removed, and evaluated), so
// "per_keystroke" is half a pair.
void editAndDelete(benchmark::State& state, const std::u16string& typed,
                   bool declarations = false) {
    startFoundation();
    const int lines = static_cast<int>(state.range(0));
    Document document(lines, declarations);
    const uint64_t at = document.endOfMiddleLine();
    EvaluationCounter evaluations;
    for (auto _ : state) {
        document.edit({at, 0}, typed);
        document.edit({at, typed.size()}, u"");
    }
    if (!document.isUnchanged(lines)) state.SkipWithError("the document did not come back");
    const double keystrokes = 2 * static_cast<double>(state.iterations());
    state.counters["per_keystroke"] =
        benchmark::Counter(keystrokes, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["evaluated_per_keystroke"] =
        keystrokes ? static_cast<double>(evaluations.count) / keystrokes : 0;
}

void BM_TypeACharacterAndDeleteIt(benchmark::State& state) { editAndDelete(state, u"4"); }
BENCHMARK(BM_TypeACharacterAndDeleteIt)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same typed into a declaration, in a document where every tenth line declares a name.
void BM_TypeIntoADeclarationAndDeleteIt(benchmark::State& state) {
    editAndDelete(state, u"4", true);
}
BENCHMARK(BM_TypeIntoADeclarationAndDeleteIt)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

// A line inserted after the middle one, the lines below moved down and their references
// followed, then the same undone.
void BM_NewLineInTheMiddleAndDeleteIt(benchmark::State& state) { editAndDelete(state, u"\n"); }
BENCHMARK(BM_NewLineInTheMiddleAndDeleteIt)
    ->Arg(100)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
