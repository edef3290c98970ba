// The dependency graph: edges and their masks, the records spanning each index, the dependent
// evaluation order; the graph a document builds from its references and line variables; and
// long chains built, ordered and evaluated on a thread with a small stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <numeric>

#include "NCDependencyGraph.h"
#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NCLineCollectionVariable.h"
#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "UnitsFileTestSupport.h"

namespace {

struct Edge {
    uint32_t source, destination, mask;
};

NBFDependencyGraphRef graphWithEdges(const std::vector<Edge>& edges) {
    NBFDependencyGraphRef graph = NBFDependencyGraphCreate();
    for (const Edge& edge : edges)
        NBFDependencyGraphAddDependency(graph, edge.source, edge.destination, edge.mask);
    return graph;
}

std::set<uint32_t> asSet(const std::vector<uint32_t>& list) { return {list.begin(), list.end()}; }

std::vector<uint64_t> indexesOf(const NSIndexSet& set) { return set.indexes(); }

// Runs the work on a thread with a small stack.
void onSmallStack(size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
    pthread_t thread;
    auto body = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, const_cast<std::function<void()>*>(&work)),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST(DependencyGraphTest, EvaluationOrderPutsEveryLineAfterWhatItDependsOn) {
    struct Row {
        const char* what;
        std::vector<Edge> edges;
        std::set<uint32_t> requested;
        std::set<uint32_t> affected;
        std::vector<uint32_t> exactOrder;  // empty: any order that respects the edges
    } rows[] = {
        {"absolute reference 3 -> 1", {{3, 1, 1}}, {1}, {1, 3}, {1, 3}},
        {"chain 2 -> 1 -> 0", {{1, 0, 6}, {2, 1, 6}}, {0}, {0, 1, 2}, {0, 1, 2}},
        {"chain from its middle", {{1, 0, 6}, {2, 1, 6}}, {1}, {1, 2}, {1, 2}},
        {"diamond", {{1, 0, 1}, {2, 0, 1}, {3, 1, 1}, {3, 2, 1}}, {0}, {0, 1, 2, 3}, {}},
        {"two roots", {{2, 0, 8}, {2, 1, 8}, {4, 2, 1}}, {0, 1}, {0, 1, 2, 4}, {}},
        {"no edges", {{1, 0, 1}}, {7}, {7}, {7}},
        {"dependency outside the set", {{5, 4, 1}, {5, 9, 1}}, {9}, {9, 5}, {9, 5}},
    };
    for (const Row& row : rows) {
        NBFDependencyGraphRef graph = graphWithEdges(row.edges);
        const std::vector<uint32_t> order =
            NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, row.requested);
        EXPECT_EQ(order.size(), row.affected.size()) << row.what;  // each once
        EXPECT_EQ(asSet(order), row.affected) << row.what;
        if (!row.exactOrder.empty()) {
            EXPECT_EQ(order, row.exactOrder) << row.what;
        }
        std::map<uint32_t, size_t> position;
        for (size_t i = 0; i < order.size(); ++i) position[order[i]] = i;
        for (const Edge& edge : row.edges) {
            if (position.count(edge.source) && position.count(edge.destination)) {
                EXPECT_LT(position[edge.destination], position[edge.source]) << row.what;
            }
        }

        std::vector<uint32_t> requested(row.requested.begin(), row.requested.end());
        std::vector<uint32_t> buffer(order.size() + 2, 999);
        EXPECT_EQ(NBFDependencyGraphGetDependentEvaluationOrderForNodeIndexeBuf(
                      graph, requested.data(), static_cast<uint32_t>(requested.size()),
                      buffer.data(), static_cast<uint32_t>(buffer.size())),
                  order.size())
            << row.what;
        EXPECT_TRUE(std::equal(order.begin(), order.end(), buffer.begin())) << row.what;
        EXPECT_EQ(
            NBFDependencyGraphGetDependentEvaluationOrderForNodeIndexeBuf(
                graph, requested.data(), static_cast<uint32_t>(requested.size()), buffer.data(), 1),
            1u)
            << row.what;
        NBFDependencyGraphRelease(graph);
    }
}

TEST(DependencyGraphTest, CyclesSelfReferencesAndRepeatedEdges) {
    NBFDependencyGraphRef graph = NBFDependencyGraphCreate();
    EXPECT_FALSE(NBFDependencyGraphAddDependency(graph, 2, 2, 1));  // a line on itself
    EXPECT_EQ(NBFDependencyGraphGetNodeCount(graph), 0u);
    EXPECT_TRUE(NBFDependencyGraphAddDependency(graph, 0, 1, 1));
    EXPECT_TRUE(NBFDependencyGraphAddDependency(graph, 1, 0, 6));
    EXPECT_FALSE(NBFDependencyGraphAddDependency(graph, 0, 1, 8));  // kept with its first mask
    uint32_t dependents[4], masks[4];
    ASSERT_EQ(NBFDependencyGraphGetDirectDependents(graph, 1, dependents, masks, 4), 1u);
    EXPECT_EQ(dependents[0], 0u);
    EXPECT_EQ(masks[0], 1u);
    const std::vector<uint32_t> order =
        NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, {0});
    EXPECT_EQ(order.size(), 2u);
    EXPECT_EQ(asSet(order), (std::set<uint32_t>{0, 1}));
    // Inside a cycle: depth-first post-order, the member first reached last.
    EXPECT_EQ(order.back(), 0u);
    EXPECT_EQ(NBFDependencyGraphGetDirectDependents(graph, 5, dependents, masks, 4), 0u);

    NBFDependencyGraphRemoveAllDependenciesForLine(graph, 0);
    EXPECT_EQ(NBFDependencyGraphGetDirectDependents(graph, 1, dependents, nullptr, 4), 0u);
    EXPECT_EQ(NBFDependencyGraphGetDirectDependents(graph, 0, dependents, nullptr, 4), 1u);
    EXPECT_TRUE(NBFDependencyGraphAddDependency(graph, 0, 1, 8));  // new again
    NBFDependencyGraphRelease(graph);

    // A null graph answers nothing.
    EXPECT_FALSE(NBFDependencyGraphAddDependency(nullptr, 1, 0, 1));
    EXPECT_EQ(NBFDependencyGraphGetNodeCount(nullptr), 0u);
    EXPECT_TRUE(NBFDependencyGraphGetEvaluationOrderForNodeIndexes(nullptr, {1}).empty());
    EXPECT_EQ(NBFDependencyGraphGetCountOfDependenciesCrossingIndex(nullptr, 1), 0u);
    NBFDependencyGraphRemoveAllDependenciesForLine(nullptr, 1);
}

TEST(DependencyGraphTest, RecordsSpanTheIndexesStrictlyBetweenTheirEnds) {
    // Line 5 refers to line 2 relatively, line 1 to line 4 absolutely, line 8 to line 7.
    NBFDependencyGraphRef graph = graphWithEdges({{5, 2, 6}, {1, 4, 1}, {8, 7, 1}});
    struct Row {
        uint32_t index;
        std::map<uint32_t, uint32_t> sourcesAndMasks;
    } rows[] = {
        {0, {}}, {1, {}}, {2, {{1, 1}}}, {3, {{5, 6}, {1, 1}}}, {4, {{5, 6}}}, {5, {}},
        {7, {}}, {8, {}}, {500, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NBFDependencyGraphGetCountOfDependenciesCrossingIndex(graph, row.index),
                  row.sourcesAndMasks.size())
            << row.index;
        uint32_t sources[8], masks[8];
        const uint32_t count = NBFDependencyGraphGetIndexesWithDependenciesCrossingIndex(
            graph, row.index, sources, masks, 8);
        std::map<uint32_t, uint32_t> found;
        for (uint32_t i = 0; i < count; ++i) found[sources[i]] = masks[i];
        EXPECT_EQ(found, row.sourcesAndMasks) << row.index;
    }
    // Removing line 5's references takes its records out of the crossing lists.
    NBFDependencyGraphRemoveAllDependenciesForLine(graph, 5);
    EXPECT_EQ(NBFDependencyGraphGetCountOfDependenciesCrossingIndex(graph, 4), 0u);
    EXPECT_EQ(NBFDependencyGraphGetCountOfDependenciesCrossingIndex(graph, 3), 1u);
    // Lines on and after 1 lose theirs too.
    NBFDependencyGraphRemoveAllDependenciesForLinesOnAndAfterIndex(graph, 1);
    EXPECT_EQ(NBFDependencyGraphGetCountOfDependenciesCrossingIndex(graph, 3), 0u);
    uint32_t dependents[4];
    EXPECT_EQ(NBFDependencyGraphGetDirectDependents(graph, 7, dependents, nullptr, 4), 0u);
    NBFDependencyGraphRelease(graph);

    // The extents keep one record per pair.
    NBFDependencyExtentsRef extents = NBFDependencyExtentsCreate();
    NBFDependencyExtentsAddDependency(extents, 0, 3);
    NBFDependencyExtentsAddDependency(extents, 0, 3);
    NBFDependencyExtentsAddDependency(extents, 4, 4);
    EXPECT_EQ(NBFDependencyExtentsGetCountOfDependenciesCrossingIndex(extents, 1), 1u);
    NBFDependencyRef records[2];
    EXPECT_EQ(NBFDependencyExtentsGetDependenciesCrossingIndex(extents, 2, records, 0), 0u);
    ASSERT_EQ(NBFDependencyExtentsGetDependenciesCrossingIndex(extents, 2, records, 2), 1u);
    EXPECT_EQ(NBFDependencyGetSourceIndex(records[0]), 0u);
    EXPECT_EQ(NBFDependencyGetDestinationIndex(records[0]), 3u);
    EXPECT_EQ(NBFDependencyGetSourceIndex(nullptr), 0u);
    NBFDependencyExtentsFree(extents);
}

TEST(DependencyGraphTest, AHundredThousandLineChainOnASmallStack) {
    const uint32_t count = 100000;
    onSmallStack(256 * 1024, [&] {
        NBFDependencyGraphRef graph = NBFDependencyGraphCreate();
        for (uint32_t i = 1; i < count; ++i) NBFDependencyGraphAddDependency(graph, i, i - 1, 6);
        std::vector<uint32_t> expected(count);
        std::iota(expected.begin(), expected.end(), 0u);
        EXPECT_EQ(NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, {0}), expected);
        const std::vector<uint32_t> tail =
            NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, {count - 10});
        EXPECT_EQ(tail, std::vector<uint32_t>(expected.end() - 10, expected.end()));
        // Closed into a ring, every line still appears once.
        NBFDependencyGraphAddDependency(graph, 0, count - 1, 1);
        EXPECT_EQ(NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, {5}).size(), count);
        NBFDependencyGraphRelease(graph);
    });
}

class DocumentGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
        auto document = std::make_shared<NCVariableList>();
        document->setParentList(NCVariableList::listWithStandardVariables());
        environment = realEnvironment(units, document);
        lines.setEnvironment(environment);
    }

    void add(const std::u16string& text) { lines.addLine(NCLine::lineWithExpressionString(text)); }

    // Variables, parsed forms and the whole graph brought up to date.
    void rebuild() {
        const uint64_t count = lines.countOfLines();
        if (lines.updateInternalVariableListWithChangesAtLineIndexes(NSIndexSet(NSRange{0, count})))
            for (uint64_t i = 0; i < count; ++i) lines.lineAtIndex(i)->unparse();
        NCLineExpressionParser parser(environment);
        for (uint64_t i = 0; i < count; ++i) {
            auto line = lines.lineAtIndex(i);
            if (!line->isParsed()) parser.parseLineExpression(*line->lineExpression());
        }
        lines.rebuildDependencyGraphForLinesOnAndAfterIndex(0);
    }

    static std::u16string relative(int64_t offset) {
        return NCExpression::relativeLineReferenceTokenWithOffset(offset);
    }
    static std::u16string absolute(uint64_t index) {
        return NCExpression::absoluteLineReferenceTokenWithIndex(index);
    }

    std::shared_ptr<NCEnvironment> environment;
    NCLineCollection lines;
};

TEST_F(DocumentGraphTest, ReferencesBecomeEdgesWithTheirKinds) {
    // 0..9; line 3 refers to line 1 absolutely, line 5 to line 2 relatively, line 7 to line 12
    // (past the end, within reach), line 8 to line 1500 (out of reach), line 9 to itself.
    for (uint64_t i = 0; i < 10; ++i) {
        std::u16string text = u"1";
        if (i == 3) text = absolute(1) + u" * 2";
        if (i == 5) text = relative(-3) + u" + 1";
        if (i == 7) text = absolute(12) + u" + 1";
        if (i == 8) text = absolute(1500) + u" + 1";
        if (i == 9) text = relative(0) + u" + 1";
        add(text);
    }
    rebuild();
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLinesAtIndexes(NSIndexSet(1))),
              (std::vector<uint64_t>{3}));
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(2)), (std::vector<uint64_t>{5}));
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(9)), (std::vector<uint64_t>{}));
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(12)),
              (std::vector<uint64_t>{7}));
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(1500)),
              (std::vector<uint64_t>{}));

    struct Row {
        uint32_t mask;
        uint64_t index;
        std::vector<uint64_t> lines;
    } rows[] = {
        {2, 3, {5}}, {2, 4, {5}},  {2, 2, {}},   {2, 5, {}},  {1, 3, {}},
        {1, 2, {3}}, {15, 4, {5}}, {1, 10, {7}}, {2, 10, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(indexesOf(lines.lineIndexesWithDependenciesMatchingTypeMask(row.mask, row.index)),
                  row.lines)
            << row.mask << " at " << row.index;
    EXPECT_EQ(
        indexesOf(lines.lineIndexesWithDependenciesMatchingTypeMask(2, NSIndexSet(NSRange{2, 3}))),
        (std::vector<uint64_t>{5}));
    auto crossing = lines.linesWithDependenciesCrossingLineIndex(4);
    ASSERT_EQ(crossing.size(), 1u);
    EXPECT_EQ(crossing[0], lines.lineAtIndex(5));
    EXPECT_EQ(indexesOf(lines.lineIndexesDirectlyDependingOnIndexesInRange(NSRange{0, 13}, 1)),
              (std::vector<uint64_t>{3, 7}));
    EXPECT_EQ(indexesOf(lines.lineIndexesDirectlyDependingOnIndexesInRange(NSRange{0, 13}, 2)),
              (std::vector<uint64_t>{5}));

    // Line 5 loses its reference: its edge and records go with the rebuild.
    lines.lineAtIndex(5)->setExpressionString(u"4");
    lines.rebuildDependencyGraphForLinesAtIndexes(NSIndexSet(5));
    EXPECT_TRUE(lines.linesWithDependenciesCrossingLineIndex(4).empty());
    EXPECT_TRUE(lines.indexesOfLinesDependingOnLineAtIndex(2).empty());
    // Lines past the end lose theirs when the document shrinks.
    while (lines.countOfLines() > 4) lines.removeLineAtIndex(lines.countOfLines() - 1);
    lines.rebuildDependencyGraphForLinesOnAndAfterIndex(2);
    EXPECT_TRUE(lines.indexesOfLinesDependingOnLineAtIndex(12).empty());
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(1)), (std::vector<uint64_t>{3}));
}

TEST_F(DocumentGraphTest, LinesDependOnTheDeclarationsOfTheVariablesTheyUse) {
    for (const char16_t* text :
         {u"rate = 2", u"rate * 3", u"rate = 4", u"rate + 1", u"9", u"other = 1", u"plain"})
        add(text);
    rebuild();
    auto used = lines.directLineCollectionVariableReferencesForLine(*lines.lineAtIndex(3));
    ASSERT_EQ(used.size(), 1u);
    EXPECT_EQ(used[0], lines.lineCollectionVariableWithName(u"rate", true));
    EXPECT_TRUE(lines.directLineCollectionVariableReferencesForLine(*lines.lineAtIndex(4)).empty());
    // Each user of "rate" depends on the declaration governing it.
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(0)), (std::vector<uint64_t>{1}));
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(2)), (std::vector<uint64_t>{3}));
    EXPECT_TRUE(lines.indexesOfLinesDependingOnLineAtIndex(5).empty());
    // Variable edges are neither absolute nor relative.
    EXPECT_TRUE(lines.lineIndexesDirectlyDependingOnIndexesInRange(NSRange{0, 7}, 3).empty());
    EXPECT_EQ(indexesOf(lines.lineIndexesDirectlyDependingOnIndexesInRange(NSRange{0, 1}, 8)),
              (std::vector<uint64_t>{1}));
    EXPECT_EQ(indexesOf(lines.lineIndexesDirectlyDependingOnIndexesInRange(NSRange{0, 3}, 8)),
              (std::vector<uint64_t>{1, 3}));

    // A declaration about to go stays a dependency of the lines using its variable.
    auto rate = lines.lineCollectionVariableWithName(u"rate", true);
    lines.registerVariable(rate, 6);
    lines.rebuildDependencyGraphForLinesAtIndexes(NSIndexSet(1));
    EXPECT_EQ(indexesOf(lines.indexesOfLinesDependingOnLineAtIndex(6)), (std::vector<uint64_t>{1}));
}

// A walk that recursed once per line would keep at least a return address per line, 16 bytes
// with the stack's call alignment: 160,000 bytes for these 10,000 lines, well past the 64 KiB
// stack, which is about twice what one line's parse and evaluation take under the sanitizers.
// Building the graph parses every line, so a longer chain would prove no more at far more cost.
TEST_F(DocumentGraphTest, ATenThousandLineRunningTotalOnASmallStack) {
    const uint64_t count = 10000;
    // Added without a change pass each: the walk below builds the graph.
    lines.setEnableChangeProcessing(false);
    add(u"1");
    const std::u16string above = relative(-1) + u" + 1";
    for (uint64_t i = 1; i < count; ++i) add(above);
    lines.setEnableChangeProcessing(true);
    const auto start = std::chrono::steady_clock::now();
    onSmallStack(64 * 1024, [&] {
        // Built from the last line alone, the walk runs down the whole chain.
        lines.rebuildDependencyGraphForLinesAtIndexes(NSIndexSet(count - 1));
        EXPECT_EQ(NBFDependencyGraphGetNodeCount(lines.dependencyGraph()), count);
        const std::vector<uint32_t> order =
            lines.dependentEvaluationOrderForLinesAtIndexes(NSIndexSet(0));
        ASSERT_EQ(order.size(), count);
        EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
        EXPECT_EQ(lines.indexesOfLinesDependingOnLineAtIndex(0).count(), count - 1);
        // The running total's first lines, evaluated in that order: line i holds i + 1.
        for (uint32_t index : std::vector<uint32_t>(order.begin(), order.begin() + 20))
            NCLineEvaluator::evaluateLine(*lines.lineAtIndex(index));
    });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    for (uint64_t index : {0u, 1u, 19u}) {
        auto result = lines.lineAtIndex(index)->result();
        ASSERT_NE(result, nullptr);
        ASSERT_EQ(result->resultType(), NCResultTypeValue) << index;
        EXPECT_EQ(utf8(result->decimalValue(10)), std::to_string(index + 1));
    }
}

}  // namespace
