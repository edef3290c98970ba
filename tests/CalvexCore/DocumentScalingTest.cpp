// Documents whose every line refers to the first line, or redefines a variable from its own
// earlier value, cost memory and graph edges in proportion to their length: their answers
// are checked, their edges counted, and the peak memory of loading them measured in a fresh
// process for a length and twice that length.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "NCDependencyGraph.h"
#include "NCLineCollection.h"
#include "UnitsFileTestSupport.h"

namespace {

std::u16string u16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

// "1", then "line1 + i" on line i.
std::vector<std::u16string> firstLineReferences(int count) {
    std::vector<std::u16string> texts{u"1"};
    for (int i = 1; i < count; ++i) texts.push_back(u16("line1 + " + std::to_string(i)));
    return texts;
}

// "t = 1", then "t = t + 1" on every line: line i answers i + 1.
std::vector<std::u16string> runningVariable(int count) {
    std::vector<std::u16string> texts{u"t = 1"};
    for (int i = 1; i < count; ++i) texts.push_back(u"t = t + 1");
    return texts;
}

std::shared_ptr<NCLineCollection> load(const std::vector<std::u16string>& texts) {
    auto lines = std::make_shared<NCLineCollection>(sharedRealEnvironment());
    lines->beginBatchUpdate();
    for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
    lines->endBatchUpdate();
    return lines;
}

std::string answerOf(const NCLineCollection& lines, uint64_t index) {
    auto result = lines.lineAtIndex(index)->result();
    if (!result || result->resultType() != NCResultTypeValue) return "-";
    return utf8(result->decimalValue(10));
}

uint64_t edgeCount(const NCLineCollection& lines) {
    NBFDependencyGraphRef graph = lines.dependencyGraph();
    const uint32_t capacity = NBFDependencyGraphGetNodeCount(graph);
    std::vector<uint32_t> dependents(capacity + 1);
    uint64_t edges = 0;
    for (uint32_t index = 0; index < lines.countOfLines(); ++index)
        edges += NBFDependencyGraphGetDirectDependents(graph, index, dependents.data(), nullptr,
                                                       capacity + 1);
    return edges;
}

long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0) return std::stol(line.substr(key.size()));
    return -1;
}

// How far the resident memory of this process rises above where it stood while it runs the
// work, in kilobytes; -1 when the peak cannot be reset or read.
long peakGrowth(const std::function<void()>& work) {
    FILE* clear = std::fopen("/proc/self/clear_refs", "w");
    if (!clear) return -1;
    // Writing 5 resets the peak to the current resident size.
    const bool reset = std::fputs("5", clear) >= 0;
    if (std::fclose(clear) != 0 || !reset) return -1;
    const long before = statusKilobytes("VmRSS");
    work();
    const long peak = statusKilobytes("VmHWM");
    return before >= 0 && peak >= before ? peak - before : -1;
}

constexpr const char* kChildShape = "NUMBERA_SCALING_SHAPE";
constexpr const char* kChildLines = "NUMBERA_SCALING_LINES";
constexpr const char* kChildOutput = "NUMBERA_SCALING_OUTPUT";
constexpr const char* kChildTest = "DocumentScalingTest.DISABLED_LoadInAFreshProcess";

// The peak growth of building the dependency graph of a document of the shape, in a fresh run
// of this test program so that no memory freed by earlier tests serves it; -1 when it cannot
// be measured.
long peakGrowthInFreshProcess(size_t shape, int count) {
    char output[] = "/tmp/numbera-scaling-XXXXXX";
    const int descriptor = mkstemp(output);
    if (descriptor < 0) return -1;
    close(descriptor);
    const pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr) _exit(126);
        // Under the address sanitizer, freed memory would otherwise be held back and counted.
        const char* sanitizer = std::getenv("ASAN_OPTIONS");
        const std::string options = std::string(sanitizer ? sanitizer : "") +
                                    (sanitizer ? ":" : "") + "quarantine_size_mb=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
        setenv(kChildShape, std::to_string(shape).c_str(), 1);
        setenv(kChildLines, std::to_string(count).c_str(), 1);
        setenv(kChildOutput, output, 1);
        const std::string filter = std::string("--gtest_filter=") + kChildTest;
        execl("/proc/self/exe", "/proc/self/exe", filter.c_str(), "--gtest_also_run_disabled_tests",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    long growth = -1;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
        WEXITSTATUS(status) == 0)
        if (std::ifstream in(output); !(in >> growth)) growth = -1;
    std::remove(output);
    return growth;
}

struct Shape {
    const char* name;
    std::function<std::vector<std::u16string>(int)> texts;
    std::function<std::string(int)> lastAnswer;
};

const Shape kShapes[] = {
    {"every line refers to the first", firstLineReferences,
     [](int count) { return std::to_string(count); }},
    {"every line redefines a variable from its own value", runningVariable,
     [](int count) { return std::to_string(count); }},
};

class DocumentScalingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        sharedRealEnvironment();
    }
};

TEST_F(DocumentScalingTest, AnswersAndEdgesGrowWithTheDocument) {
    const int count = 3000;
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        auto lines = load(shape.texts(count));
        EXPECT_EQ(answerOf(*lines, 0), "1");
        EXPECT_EQ(answerOf(*lines, 1), "2");
        EXPECT_EQ(answerOf(*lines, count - 1), shape.lastAnswer(count));
        // One edge per line after the first: to the first line, or to the declaration above.
        EXPECT_EQ(edgeCount(*lines), static_cast<uint64_t>(count - 1));
        EXPECT_EQ(lines->indexesOfLinesDependingOnLineAtIndex(0).count(),
                  static_cast<uint64_t>(count - 1));
    }
    // Every reference to the first line but those of lines 1 and 2 spans index 2.
    auto references = load(firstLineReferences(count));
    EXPECT_EQ(references->linesWithDependenciesCrossingLineIndex(2).size(),
              static_cast<size_t>(count - 3));
    EXPECT_TRUE(references->linesWithDependenciesCrossingLineIndex(count - 1).empty());
    // The running variable's lines each depend on the one above only.
    auto running = load(runningVariable(count));
    EXPECT_EQ(running->indexesOfLinesDependingOnLineAtIndex(count - 2).count(), 1u);
}

TEST_F(DocumentScalingTest, EditsKeepTheRunningVariableInStep) {
    auto lines = load(runningVariable(2000));
    lines->lineAtIndex(0)->setExpressionString(u"t = 10");
    EXPECT_EQ(answerOf(*lines, 1999), "2009");
    // A line that stops declaring hands its range back to the declaration above.
    lines->lineAtIndex(1000)->setExpressionString(u"t");
    EXPECT_EQ(answerOf(*lines, 1000), "1009");
    EXPECT_EQ(answerOf(*lines, 1999), "2008");
    lines->removeLineAtIndex(500);
    EXPECT_EQ(answerOf(*lines, 1998), "2007");
    lines->insertLine(NCLine::lineWithExpressionString(u"t = t * 0"), 1);
    EXPECT_EQ(answerOf(*lines, 1), "0");
    EXPECT_EQ(answerOf(*lines, 2), "1");
    EXPECT_EQ(answerOf(*lines, 1999), "1997");
    // Lines above the first declaration read it.
    lines->insertLine(NCLine::lineWithExpressionString(u"t * 3"), 0);
    EXPECT_EQ(answerOf(*lines, 0), "30");
    lines->lineAtIndex(1)->setExpressionString(u"t = 4");
    EXPECT_EQ(answerOf(*lines, 0), "12");
    EXPECT_EQ(answerOf(*lines, 2000), "1997");
    // Inserted between them, a line moves the first declaration down: the line above follows.
    lines->insertLine(NCLine::lineWithExpressionString(u"5"), 1);
    lines->lineAtIndex(2)->setExpressionString(u"t = 6");
    EXPECT_EQ(answerOf(*lines, 0), "18");
    EXPECT_EQ(answerOf(*lines, 2001), "1997");
}

TEST_F(DocumentScalingTest, AFirstDeclarationReadsNoEarlierValueOfItsOwn) {
    auto lines = load({u"t + 1", u"t = t + 1", u"t = t * 3", u"t"});
    const std::string first = answerOf(*lines, 1);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        // Evaluated again and again, the first declaration answers the same.
        lines->evaluateAllLinesWithReportingMode(0);
        EXPECT_EQ(answerOf(*lines, 1), first);
    }
    ASSERT_NE(first, "-");
    EXPECT_EQ(answerOf(*lines, 2), std::to_string(3 * std::stoi(first)));
    EXPECT_EQ(answerOf(*lines, 3), answerOf(*lines, 2));
    EXPECT_EQ(answerOf(*lines, 0), std::to_string(std::stoi(first) + 1));
}

TEST_F(DocumentScalingTest, PeakMemoryOfTheGraphGrowsLinearly) {
    const int count = 4000;
    for (size_t shape = 0; shape < std::size(kShapes); ++shape) {
        SCOPED_TRACE(kShapes[shape].name);
        const long single = peakGrowthInFreshProcess(shape, count);
        const long doubled = peakGrowthInFreshProcess(shape, 2 * count);
        if (single < 0 || doubled < 0) GTEST_SKIP() << "the peak resident size is not readable";
        RecordProperty(std::string(kShapes[shape].name) + " KiB",
                       std::to_string(single) + " / " + std::to_string(doubled));
        // Twice the lines: about twice the memory. A cost per pair of lines would be four
        // times; the margin takes the allocator's and the sanitizer's rounding.
        EXPECT_LT(doubled, 3 * single + 4096) << single << " KiB, then " << doubled << " KiB";
    }
}

// Run only by the test above, in a process of its own.
TEST_F(DocumentScalingTest, DISABLED_LoadInAFreshProcess) {
    const char* shape = std::getenv(kChildShape);
    const char* count = std::getenv(kChildLines);
    const char* output = std::getenv(kChildOutput);
    if (!shape || !count || !output) GTEST_SKIP() << "run by PeakMemoryOfTheGraphGrowsLinearly";
    const size_t which = std::stoul(shape);
    ASSERT_LT(which, std::size(kShapes));
    const std::vector<std::u16string> texts = kShapes[which].texts(std::stoi(count));
    // The lines, their variables and parsed forms first: they cost the same per line whatever
    // the shape and would hide what the graph costs.
    NCLineCollection lines(sharedRealEnvironment());
    lines.setEnableChangeProcessing(false);
    for (const auto& text : texts) lines.addLine(NCLine::lineWithExpressionString(text));
    const NSIndexSet all(NSRange{0, lines.countOfLines()});
    lines.updateInternalVariableListWithChangesAtLineIndexes(all);
    lines.parseAllLines();
    const long growth = peakGrowth([&] {
        lines.rebuildDependencyGraphForLinesOnAndAfterIndex(0);
        EXPECT_EQ(lines.dependentEvaluationOrderForLinesAtIndexes(NSIndexSet(0)).size(),
                  texts.size());
    });
    std::ofstream(output) << growth;
}

}  // namespace
