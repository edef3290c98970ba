// Writing and reading a generated 10,000-line document file. Lines mix arithmetic, units,
// variables, line references and plain notes, each with an answer text and its own options,
// as a saved document holds them. "WriteAndRead" is the round trip a save and a reopen cost.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "NCFile.h"

namespace {

constexpr int kLines = 10000;

std::u16string u16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::shared_ptr<NCLineCollection> generatedDocument() {
    auto lines = std::make_shared<NCLineCollection>();
    for (int i = 0; i < kLines; ++i) {
        std::string n = std::to_string(i);
        std::string text, answer;
        switch (i % 5) {
            case 0:
                text = n + " * 3 + 17 / 4";
                answer = std::to_string(i * 3) + ".25";
                break;
            case 1:
                text = n + " km in miles";
                answer = n + ".621371192 miles";
                break;
            case 2:
                text = "price" + n + " = " + n + " EUR";
                answer = n + " EUR";
                break;
            case 3:
                text = "line" + std::to_string(i) + " + 10%";
                answer = n + ".1";
                break;
            default:
                text = "Notes for week " + n + ": groceries & rent";
                break;
        }
        auto line = NCLine::lineWithPlainText(u16(text));
        if (!answer.empty()) line->setResult(NCResult::resultWithRawResultString(u16(answer)));
        if (i % 7 == 0) line->customFormattingOptions()->setDecimalPlaces(2);
        lines->addLine(line);
    }
    return lines;
}

struct Scratch {
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "numbera-bench-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : ".";
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
};

void WriteDocument(benchmark::State& state) {
    Scratch scratch;
    auto file = NCFile::initWithLineCollection(generatedDocument());
    std::string path = scratch.folder + "/doc.numbera";
    for (auto _ : state) benchmark::DoNotOptimize(file->writeToPath(path));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}

void ReadDocument(benchmark::State& state) {
    Scratch scratch;
    std::string path = scratch.folder + "/doc.numbera";
    NCFile::initWithLineCollection(generatedDocument())->writeToPath(path);
    for (auto _ : state) {
        auto lines = NCFile::initWithContentsOfFileAtPath(path)->lineCollection();
        if (!lines || lines->countOfLines() != kLines) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(lines);
    }
}

void WriteAndReadDocument(benchmark::State& state) {
    Scratch scratch;
    auto file = NCFile::initWithLineCollection(generatedDocument());
    std::string path = scratch.folder + "/doc.numbera";
    for (auto _ : state) {
        file->writeToPath(path);
        auto lines = NCFile::initWithContentsOfFileAtPath(path)->lineCollection();
        if (!lines || lines->countOfLines() != kLines) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(lines);
    }
}

}  // namespace

BENCHMARK(WriteDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteAndReadDocument)->Unit(benchmark::kMillisecond);
