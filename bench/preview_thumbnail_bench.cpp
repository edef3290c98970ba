// The thumbnail of a document that is huge for what the page shows: many lines, or one very
// long line. Only the page and its drawing are measured; the document is read beforehand.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "NCLineCollection.h"
#include "NKTextHelpers.h"
#include "PreviewDocument.h"
#include "PreviewEnvironment.h"
#include "ThumbnailRenderer.h"

namespace {

using namespace NumberaPreview;

void startPreview() {
    static int argc = 1;
    static char name[] = "preview_thumbnail_bench";
    static char* argv[] = {name, nullptr};
    static const bool started = [] {
        std::string reason;
        if (!bootstrap(std::nullopt, &reason)) std::abort();
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return true;
    }();
    static QGuiApplication application(argc, argv);
    (void)started;
}

// Read from a file as the thumbnailer reads it: much quicker than adding the lines one by one.
std::shared_ptr<NCLineCollection> documentOf(int64_t lines, int64_t lineLength) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<data><info><version>0.6</version>"
        "</info><settings><dp_char>.</dp_char><th_char>,</th_char></settings><lines>";
    const std::string line = "<line><expression>" +
                             std::string(static_cast<size_t>(lineLength), 'a') +
                             "</expression></line>";
    for (int64_t i = 0; i < lines; ++i) text += line;
    text += "</lines></data>\n";
    const std::string path =
        (std::filesystem::temp_directory_path() / "preview_thumbnail_bench.numbera").string();
    std::ofstream(path, std::ios::binary) << text;
    std::string reason;
    auto collection = readDocument(path, &reason);
    std::filesystem::remove(path);
    if (!collection) std::abort();
    return collection;
}

void thumbnailOf(benchmark::State& state, int64_t lines, int64_t lineLength) {
    startPreview();
    const auto document = documentOf(lines, lineLength);
    for (auto _ : state) {
        const std::string page =
            NKUTF8(thumbnailHTMLForLineCollection(document, previewColorManager()));
        benchmark::DoNotOptimize(renderThumbnail(page, 256, 256));
    }
}

void BM_ThumbnailOfEmptyLines(benchmark::State& state) { thumbnailOf(state, state.range(0), 0); }
BENCHMARK(BM_ThumbnailOfEmptyLines)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_ThumbnailOfOneLongWord(benchmark::State& state) { thumbnailOf(state, 1, state.range(0)); }
BENCHMARK(BM_ThumbnailOfOneLongWord)->Arg(400000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
