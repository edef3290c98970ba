// Writing and reading a generated 10,000-line document file. Lines mix arithmetic, units,
// variables, line references and plain notes, each with an answer text and its own options,
// as a saved document holds them; the process environment carries the real unit catalogue.
//
//   WriteDocument         the collection written to disk: records, XML, atomic replace.
//   ReadRecords           the file parsed into the file's plain records only.
//   ReadUpToChangePass    the file read into a new collection up to its change pass: the
//                         records, then every line made from them and added in the open batch,
//                         as the document read does it.
//   ReadChangePass        the change pass that ends the read, alone: variables, parsing, the
//                         dependency graph and every line evaluated.
//   ReadDocument          the whole read: ReadUpToChangePass and ReadChangePass together.
//   WriteAndReadDocument  a save and a reopen, the change pass included.
// The file's own cost is WriteDocument plus ReadUpToChangePass; the change pass is the line
// collection's evaluation of the document (see the document evaluation benchmark). Freeing a
// read collection is not timed.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "NCEvaluator.h"
#include "NCFile.h"
#include "UnitsFileTestSupport.h"

namespace {

constexpr int kLines = 10000;

std::u16string u16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

void useRealEnvironment() {
    static bool done = [] {
        initFoundationConstants();
        realEnvironment()->set();
        return true;
    }();
    (void)done;
}

std::shared_ptr<NCLineCollection> generatedDocument() {
    useRealEnvironment();
    auto lines = std::make_shared<NCLineCollection>();
    std::vector<std::string> answers;
    lines->beginBatchUpdate();
    for (int i = 0; i < kLines; ++i) {
        std::string n = std::to_string(i);
        std::u16string text;
        std::string answer;
        switch (i % 5) {
            case 0:
                text = u16(n + " * 3 + 17 / 4");
                answer = std::to_string(i * 3) + ".25";
                break;
            case 1:
                text = u16(n + " km in miles");
                answer = n + ".621371192 miles";
                break;
            case 2:
                text = u16("price" + n + " = " + n + " EUR");
                answer = n + " EUR";
                break;
            case 3:
                text = NCExpression::absoluteLineReferenceTokenWithIndex(i - 2) + u" + 10%";
                answer = n + ".1";
                break;
            default:
                text = u16("Notes for week " + n + ": groceries & rent");
                break;
        }
        auto line = NCLine::lineWithPlainText(text);
        if (i % 7 == 0) line->customFormattingOptions()->setDecimalPlaces(2);
        lines->addLine(line);
        answers.push_back(answer);
    }
    lines->endBatchUpdate();
    // The answers as a saved document carries them, whatever this environment makes of them.
    for (int i = 0; i < kLines; ++i)
        if (!answers[i].empty())
            lines->lineAtIndex(i)->setResult(NCResult::resultWithRawResultString(u16(answers[i])));
    return lines;
}

struct Scratch {
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "numbera-bench-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : ".";
        path = folder + "/doc.numbera";
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string folder;
    std::string path;
};

void WriteDocument(benchmark::State& state) {
    Scratch scratch;
    auto file = NCFile::initWithLineCollection(generatedDocument());
    for (auto _ : state) benchmark::DoNotOptimize(file->writeToPath(scratch.path));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(scratch.path));
}

void ReadRecords(benchmark::State& state) {
    Scratch scratch;
    NCFile::initWithLineCollection(generatedDocument())->writeToPath(scratch.path);
    for (auto _ : state) {
        NBFFileReaderRef reader = NBFFileReaderCreate(scratch.path.c_str());
        int32_t error = 0;
        if (!NBFFileReaderReadFile(reader, &error) ||
            NBFFileLinesNodeGetCount(NBFFileReaderGetLinesNode(reader)) != kLines)
            state.SkipWithError("read failed");
        NBFFileReaderFree(reader);
    }
}

void ReadDocument(benchmark::State& state) {
    Scratch scratch;
    NCFile::initWithLineCollection(generatedDocument())->writeToPath(scratch.path);
    for (auto _ : state) {
        auto lines = NCFile::initWithContentsOfFileAtPath(scratch.path)->lineCollection();
        if (!lines || lines->countOfLines() != kLines) state.SkipWithError("read failed");
        state.PauseTiming();
        lines.reset();
        state.ResumeTiming();
    }
}

// The lines made from the file's records as the document read makes them, in an open batch
// (kept in step with NCFile::readFromPath).
std::shared_ptr<NCLineCollection> linesInOpenBatch(const std::string& path) {
    NBFFileReaderRef reader = NBFFileReaderCreate(path.c_str());
    int32_t error = 0;
    NBFFileReaderReadFile(reader, &error);
    NBFFileLinesNodeRef records = NBFFileReaderGetLinesNode(reader);
    auto lines = std::make_shared<NCLineCollection>();
    lines->beginBatchUpdate();
    for (uint32_t i = 0; i < NBFFileLinesNodeGetCount(records); ++i) {
        const std::optional<std::string>* text = NBFFileLinesNodeGetExpression(records, i);
        std::optional<std::u16string> expression;
        if (text && *text) expression = NBFUTF8ToUTF16(**text);
        auto line = std::make_shared<NCLine>(NCExpression::expressionWithString(expression));
        NCFile::readLineFormattingAttributesIntoLine(*line, records, i);
        lines->addLine(line);
    }
    NBFFileReaderFree(reader);
    return lines;
}

void ReadChangePass(benchmark::State& state) {
    Scratch scratch;
    NCFile::initWithLineCollection(generatedDocument())->writeToPath(scratch.path);
    for (auto _ : state) {
        state.PauseTiming();
        std::shared_ptr<NCLineCollection> lines = linesInOpenBatch(scratch.path);
        state.ResumeTiming();
        lines->endBatchUpdate();
        state.PauseTiming();
        if (lines->countOfLines() != kLines) state.SkipWithError("read failed");
        lines.reset();
        state.ResumeTiming();
    }
}

void ReadUpToChangePass(benchmark::State& state) {
    Scratch scratch;
    NCFile::initWithLineCollection(generatedDocument())->writeToPath(scratch.path);
    for (auto _ : state) {
        std::shared_ptr<NCLineCollection> lines = linesInOpenBatch(scratch.path);
        state.PauseTiming();
        if (lines->countOfLines() != kLines) state.SkipWithError("read failed");
        lines->endBatchUpdate();
        lines.reset();
        state.ResumeTiming();
    }
}

void WriteAndReadDocument(benchmark::State& state) {
    Scratch scratch;
    auto file = NCFile::initWithLineCollection(generatedDocument());
    for (auto _ : state) {
        file->writeToPath(scratch.path);
        auto lines = NCFile::initWithContentsOfFileAtPath(scratch.path)->lineCollection();
        if (!lines || lines->countOfLines() != kLines) state.SkipWithError("read failed");
        state.PauseTiming();
        lines.reset();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(WriteDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadUpToChangePass)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadChangePass)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteAndReadDocument)->Unit(benchmark::kMillisecond);
