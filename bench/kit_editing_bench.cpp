// The editing kit on a long document: line lookups, the partial rebuild after a keystroke,
// and whole edits classified and applied to the line collection.
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
std::u16string documentText(int lines) {
    std::u16string text;
    for (int i = 0; i < lines; ++i) {
        if (i) text += u"\n";
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
    NKLineCollectionController controller;
    NKTextActionGenerator generator;

    explicit Document(int lines) : source(documentText(lines)) {
        lineMetrics = std::make_shared<NKTextViewLineMetrics>(&source);
        metrics = std::make_shared<NKTextViewMetrics>(&source, lineMetrics, nullptr);
        for (const std::u16string& line : metrics->lineStrings())
            collection->addLine(NCLine::lineWithExpressionString(line));
        controller.setDelegate(this);
        controller.setLineCollection(collection);
        generator.setMetrics(metrics);
        generator.setLineCollection(collection);
    }

    void edit(uint64_t at, const std::u16string& replacement) {
        uint64_t line = metrics->indexOfLineAtCharacterIndex(at);
        source.setSelectedRange({at, 0});
        std::optional<NKTextAction> action = generator.textActionForRange({at, 0}, replacement);
        source.replaceCharactersInRange({at, 0}, replacement);
        metrics->resetAllCachesOnAndAfterLineIndex(line);
        controller.updateLineCollectionFromTextAction(*action);
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

void BM_TypeACharacter(benchmark::State& state) {
    startFoundation();
    Document document(static_cast<int>(state.range(0)));
    uint64_t middle = static_cast<uint64_t>(state.range(0) / 2);
    uint64_t at = NSMaxRange(document.metrics->rangeOfLineAtIndex(middle, false));
    for (auto _ : state) document.edit(at++, u"4");
}
BENCHMARK(BM_TypeACharacter)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_NewLineInTheMiddle(benchmark::State& state) {
    startFoundation();
    Document document(static_cast<int>(state.range(0)));
    uint64_t middle = static_cast<uint64_t>(state.range(0) / 2);
    uint64_t at = NSMaxRange(document.metrics->rangeOfLineAtIndex(middle, false));
    for (auto _ : state) document.edit(at++, u"\n");
}
BENCHMARK(BM_NewLineInTheMiddle)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
