// Change processing on generated 10,000-line documents: evaluating a whole document that mixes
// arithmetic, units, variables and line references; editing one line nothing depends on (only
// that line may be evaluated); editing the head of a running total every line depends on;
// inserting a line in the middle of such a mixed document of 100,000 lines; and loading a
// document whose lines all refer to the first, or all redefine one variable from its value
// above.
#include <benchmark/benchmark.h>

#include <string>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "UnitsFileTestSupport.h"

namespace {

constexpr int kLines = 10000;

std::u16string u16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::shared_ptr<NCEnvironment> parentEnvironment() { return sharedRealEnvironment(); }

// Line i: i ≡ 0 (mod 5) arithmetic nothing refers to; 1 a unit conversion; 2 a declaration of
// one of 50 names (each redefined every 250 lines); 3 a use of that name with units; 4 a
// reference to the conversion three lines up.
std::vector<std::u16string> mixedTexts(int lines = kLines, bool absoluteReferences = true) {
    std::vector<std::u16string> texts;
    for (int i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i);
        const std::string name = "v" + std::to_string((i / 5) % 50);
        switch (i % 5) {
            case 0:
                texts.push_back(u16(n + " * 3 + 17 / 4"));
                break;
            case 1:
                texts.push_back(u16(n + " km in miles"));
                break;
            case 2:
                texts.push_back(u16(name + " = " + n + " m"));
                break;
            case 3:
                texts.push_back(u16(name + " * 2 + 50 cm"));
                break;
            default:
                texts.push_back((absoluteReferences
                                     ? NCExpression::absoluteLineReferenceTokenWithIndex(i - 3)
                                     : NCExpression::relativeLineReferenceTokenWithOffset(-3)) +
                                u" * 2");
        }
    }
    return texts;
}

// "1", then every line the one above plus one.
std::vector<std::u16string> chainTexts() {
    std::vector<std::u16string> texts{u"1"};
    const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);
    for (int i = 1; i < kLines; ++i) texts.push_back(above + u" + 1");
    return texts;
}

std::shared_ptr<NCLineCollection> load(const std::vector<std::u16string>& texts) {
    auto lines = std::make_shared<NCLineCollection>(parentEnvironment());
    lines->beginBatchUpdate();
    for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
    lines->endBatchUpdate();
    return lines;
}

// Counts the lines the collection evaluates while alive.
struct EvaluationCounter {
    EvaluationCounter() {
        NCLineCollection::setPreEvaluationBlock([this](NCLine&) { ++count; });
    }
    ~EvaluationCounter() { NCLineCollection::setPreEvaluationBlock(nullptr); }
    uint64_t count = 0;
};

bool answers(const std::shared_ptr<NCLineCollection>& lines, uint64_t index) {
    auto result = lines->lineAtIndex(index)->result();
    return result && result->resultType() == NCResultTypeValue;
}

void BM_FullEvaluation(benchmark::State& state) {
    const std::vector<std::u16string> texts = mixedTexts();
    uint64_t evaluated = 0;
    for (auto _ : state) {
        EvaluationCounter counter;
        auto lines = load(texts);
        evaluated = counter.count;
        state.PauseTiming();
        if (!answers(lines, kLines - 1) || !answers(lines, kLines - 2))
            state.SkipWithError("the last lines have no answer");
        lines.reset();
        state.ResumeTiming();
    }
    state.counters["evaluated_lines"] = static_cast<double>(evaluated);
}
BENCHMARK(BM_FullEvaluation)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_EditIndependentLine(benchmark::State& state) {
    auto lines = load(mixedTexts());
    std::shared_ptr<NCLine> line = lines->lineAtIndex(kLines / 2);
    uint64_t evaluated = 0, edits = 0;
    {
        EvaluationCounter counter;
        for (auto _ : state) {
            line->setExpressionString(u16(std::to_string(edits++ % 97) + " * 3 + 17 / 4"));
        }
        evaluated = counter.count;
    }
    const double perEdit = edits ? static_cast<double>(evaluated) / static_cast<double>(edits) : 0;
    if (perEdit != 1) state.SkipWithError("an independent edit evaluated other lines");
    state.counters["evaluated_lines_per_edit"] = perEdit;
}
BENCHMARK(BM_EditIndependentLine)->Unit(benchmark::kMicrosecond);

void BM_EditChainHead(benchmark::State& state) {
    auto lines = load(chainTexts());
    std::shared_ptr<NCLine> head = lines->lineAtIndex(0);
    uint64_t evaluated = 0, edits = 0;
    {
        EvaluationCounter counter;
        for (auto _ : state) head->setExpressionString(u16(std::to_string(++edits + 1)));
        evaluated = counter.count;
    }
    if (!answers(lines, kLines - 1)) state.SkipWithError("the chain's end has no answer");
    const double perEdit = edits ? static_cast<double>(evaluated) / static_cast<double>(edits) : 0;
    if (perEdit != kLines) state.SkipWithError("a chain edit did not evaluate every line once");
    state.counters["evaluated_lines_per_edit"] = perEdit;
}
BENCHMARK(BM_EditChainHead)->Unit(benchmark::kMillisecond)->Iterations(5);

// One line inserted in the middle of a long mixed document, the lines below it moving down.
// With absolute references (second argument 1) every fifth line below points at another line
// afterwards and is evaluated again; with relative ones nothing below changes meaning.
// The line is removed again after each insertion, with the clock paused, so that every
// insertion meets a document of the same size; an insertion takes far longer than pausing.
void BM_InsertLineInTheMiddle(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto lines = load(mixedTexts(count, state.range(1) != 0));
    const uint64_t middle = static_cast<uint64_t>(count / 2);
    uint64_t evaluated = 0;
    {
        EvaluationCounter counter;
        for (auto _ : state) {
            lines->insertLine(NCLine::lineWithExpressionString(u"12 * 3 + 5"), middle);
            state.PauseTiming();
            const uint64_t before = counter.count;
            lines->removeLineAtIndex(middle);
            counter.count = before;
            state.ResumeTiming();
        }
        evaluated = counter.count;
    }
    if (lines->countOfLines() != static_cast<uint64_t>(count) || !answers(lines, count - 1))
        state.SkipWithError("the document did not come back");
    state.counters["evaluated_lines_per_insertion"] =
        state.iterations()
            ? static_cast<double>(evaluated) / static_cast<double>(state.iterations())
            : 0;
}
BENCHMARK(BM_InsertLineInTheMiddle)
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// "1", then "line1 + i" on line i: every line refers to the first.
std::vector<std::u16string> firstLineTexts() {
    std::vector<std::u16string> texts{u"1"};
    for (int i = 1; i < kLines; ++i) texts.push_back(u16("line1 + " + std::to_string(i)));
    return texts;
}

// "t = 1", then "t = t + 1" on every line: each redefines the variable from its value above.
std::vector<std::u16string> runningVariableTexts() {
    std::vector<std::u16string> texts{u"t = 1"};
    for (int i = 1; i < kLines; ++i) texts.push_back(u"t = t + 1");
    return texts;
}

// Loads the document whole and checks its last answer, which is the line count for both.
void loadAndCheck(benchmark::State& state, const std::vector<std::u16string>& texts) {
    for (auto _ : state) {
        auto lines = load(texts);
        state.PauseTiming();
        auto result = lines->lineAtIndex(kLines - 1)->result();
        if (!result || result->resultType() != NCResultTypeValue ||
            result->decimalValue(10) != u16(std::to_string(kLines)))
            state.SkipWithError("the last line's answer is wrong");
        lines.reset();
        state.ResumeTiming();
    }
}

void BM_LoadFirstLineReferences(benchmark::State& state) { loadAndCheck(state, firstLineTexts()); }
BENCHMARK(BM_LoadFirstLineReferences)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadRunningVariable(benchmark::State& state) {
    loadAndCheck(state, runningVariableTexts());
}
BENCHMARK(BM_LoadRunningVariable)->Unit(benchmark::kMillisecond)->Iterations(5);

// Lines added one at a time outside a batch, each answered as it comes, as a document typed
// line after line: a second argument of 1 makes every fifth line a declaration.
void BM_AddLinesOneByOne(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::vector<std::u16string> texts = mixedTexts(count, false);
    if (!state.range(1))
        for (auto& text : texts)
            if (text.find(u" = ") != std::u16string::npos) text = u"7 * 6";
    for (auto _ : state) {
        auto lines = std::make_shared<NCLineCollection>(parentEnvironment());
        for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
        state.PauseTiming();
        if (!answers(lines, count - 1)) state.SkipWithError("the last line has no answer");
        lines.reset();
        state.ResumeTiming();
    }
    state.counters["per_line"] =
        benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_AddLinesOneByOne)
    ->Args({2000, 0})
    ->Args({8000, 0})
    ->Args({2000, 1})
    ->Args({8000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
