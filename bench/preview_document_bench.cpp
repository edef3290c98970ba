// A document through the previewer's own path (numbera-preview --format html): the file read
// and its lines evaluated, the page rendered, and the freeing that the previewer leaves to the
// end of the process; and the memory a read document holds. Documents are generated here, each
// line one of the kinds a notepad holds: arithmetic, powers, roots, trigonometry, logarithms,
// percentages and unit conversions, numbers varying by line. Times are also given per line
// ("per_line"), which is what stays comparable across sizes.
//
//   preview_document_bench --write-document FILE [--lines N]
// writes such a document (10,000 lines unless told) for timing the previewer itself.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "MixedPreviewDocument.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "PreviewDocument.h"
#include "PreviewEnvironment.h"

namespace {

using namespace NumberaPreview;

void startPreview() { MixedPreviewDocument::startPreview("preview_document_bench"); }

bool writeMixedDocument(const std::string& path, int lines, std::string* reason) {
    return MixedPreviewDocument::writeMixedDocument("preview_document_bench", path, lines, reason);
}

// A mixed document of the benchmark's size in the temporary folder, for as long as it lives.
struct MixedDocumentFile {
    explicit MixedDocumentFile(int lines) : lines(lines) {
        path = (std::filesystem::temp_directory_path() /
                ("numbera-preview-bench-" + std::to_string(::getpid()) + "-" +
                 std::to_string(lines) + ".numbera"))
                   .string();
        std::string reason;
        if (!writeMixedDocument(path, lines, &reason)) {
            std::fprintf(stderr, "preview_document_bench: %s: %s\n", path.c_str(), reason.c_str());
            std::exit(1);
        }
    }
    ~MixedDocumentFile() { std::filesystem::remove(path); }
    std::shared_ptr<NCLineCollection> read() const {
        std::string reason;
        auto collection = readDocument(path, &reason);
        if (!collection || collection->countOfLines() != static_cast<uint64_t>(lines))
            return nullptr;
        return collection;
    }
    int lines;
    std::string path;
};

void countLines(benchmark::State& state, int lines) {
    state.counters["per_line"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * lines,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The phases of a preview; each benchmark times some of them on a freshly read document, since
// the first render of a document leaves in its lines what later renders reuse, and the
// previewer renders once.
enum Phase : unsigned { kRead = 1, kRender = 2, kFree = 4 };

void timePreviewPhases(benchmark::State& state, unsigned timed) {
    startPreview();
    const int lines = static_cast<int>(state.range(0));
    const MixedDocumentFile file(lines);
    // Pausing costs clock reads: the clock is stopped and started only between a timed and an
    // untimed phase.
    bool running = true;
    auto timing = [&](bool wanted) {
        if (wanted == running) return;
        wanted ? state.ResumeTiming() : state.PauseTiming();
        running = wanted;
    };
    for (auto _ : state) {
        timing(timed & kRead);
        auto collection = file.read();
        if (!collection) {
            state.SkipWithError("the document was not read");
            break;
        }
        timing(timed & kRender);
        benchmark::DoNotOptimize(
            renderPreview(collection, PreviewFormat::HTML, previewColorManager()));
        timing(timed & kFree);
        collection.reset();
        timing(true);  // the loop itself expects a running clock
    }
    timing(true);
    countLines(state, lines);
}

// The whole preview of a document as the previewer makes it. Freeing the document is left out,
// as the previewer leaves it to the end of the process.
void BM_PreviewReadEvaluateRender(benchmark::State& state) {
    timePreviewPhases(state, kRead | kRender);
}
BENCHMARK(BM_PreviewReadEvaluateRender)->Arg(2000)->Unit(benchmark::kMillisecond);

// Its parts. The read includes every line's evaluation, which ends it.
void BM_PreviewReadAndEvaluate(benchmark::State& state) { timePreviewPhases(state, kRead); }
BENCHMARK(BM_PreviewReadAndEvaluate)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_PreviewRender(benchmark::State& state) { timePreviewPhases(state, kRender); }
BENCHMARK(BM_PreviewRender)->Arg(2000)->Unit(benchmark::kMillisecond);

// What the previewer no longer does before it exits, and an editor still does on closing.
void BM_FreeDocument(benchmark::State& state) { timePreviewPhases(state, kFree); }
BENCHMARK(BM_FreeDocument)->Arg(2000)->Unit(benchmark::kMillisecond);

#ifdef __GLIBC__
// In use on the heap, large blocks given their own mapping included.
size_t allocatedBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// The heap a read document holds, per line: allocated bytes while it is alive, less before it
// was read. A first read beforehand sets up what every read shares (the environment's caches).
void BM_MemoryPerLine(benchmark::State& state) {
    startPreview();
    const int lines = static_cast<int>(state.range(0));
    const MixedDocumentFile file(lines);
    file.read();
    double perLine = 0;
    for (auto _ : state) {
        const size_t before = allocatedBytes();
        auto collection = file.read();
        const size_t after = allocatedBytes();
        if (!collection) {
            state.SkipWithError("the document was not read");
            break;
        }
        perLine = (static_cast<double>(after) - static_cast<double>(before)) / lines;
        state.PauseTiming();
        collection.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_line"] = perLine;
}
BENCHMARK(BM_MemoryPerLine)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--write-document") == 0) {
        const bool counted = argc == 5 && std::strcmp(argv[3], "--lines") == 0;
        const int lines = counted ? std::atoi(argv[4]) : 10000;
        if ((argc != 3 && !counted) || lines <= 0) {
            std::fprintf(stderr, "usage: %s --write-document FILE [--lines N]\n", argv[0]);
            return 2;
        }
        std::string reason;
        if (!writeMixedDocument(argv[2], lines, &reason)) {
            std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[2], reason.c_str());
            return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
