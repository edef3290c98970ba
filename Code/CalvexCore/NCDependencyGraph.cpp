#include "NCDependencyGraph.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

struct NBFDependency {
    uint32_t source;
    uint32_t destination;
};

namespace {
typedef std::vector<NBFDependencyRef> DependencyList;
}  // namespace

struct NBFDependencyExtents {
    // Slots may be empty; the crossing lists hold the records of the source lists.
    std::vector<std::unique_ptr<DependencyList>> bySource;
    std::vector<std::unique_ptr<DependencyList>> crossing;
};

struct NBFDependencyGraphNode {
    explicit NBFDependencyGraphNode(uint32_t nodeIndex) : index(nodeIndex) {}
    std::atomic<int32_t> referenceCount{1};
    uint32_t index;
    // Keyed by node identity, with the edge's mask; the order carries no meaning.
    std::unordered_map<NBFDependencyGraphNodeRef, NBFDependencyTypeMask> dependencies;
    std::unordered_map<NBFDependencyGraphNodeRef, NBFDependencyTypeMask> dependents;
};

struct NBFDependencyGraph {
    std::atomic<int32_t> referenceCount{1};
    std::map<uint32_t, NBFDependencyGraphNodeRef> nodes;
    NBFDependencyExtentsRef extents = NBFDependencyExtentsCreate();
    std::mutex mutex;
};

// Records

NBFDependencyRef NBFDependencyCreate(uint32_t source, uint32_t destination) {
    return new NBFDependency{source, destination};
}

void NBFDependencyFree(NBFDependencyRef dependency) { delete dependency; }

uint32_t NBFDependencyGetSourceIndex(NBFDependencyRef dependency) {
    return dependency ? dependency->source : 0;
}

uint32_t NBFDependencyGetDestinationIndex(NBFDependencyRef dependency) {
    return dependency ? dependency->destination : 0;
}

// Extents

namespace {

DependencyList& listAt(std::vector<std::unique_ptr<DependencyList>>& lists, uint32_t slot) {
    if (lists.size() <= slot) lists.resize(static_cast<size_t>(slot) + 1);
    if (!lists[slot]) lists[slot] = std::make_unique<DependencyList>();
    return *lists[slot];
}

const DependencyList* existingListAt(const std::vector<std::unique_ptr<DependencyList>>& lists,
                                     uint32_t slot) {
    return slot < lists.size() ? lists[slot].get() : nullptr;
}

}  // namespace

NBFDependencyExtentsRef NBFDependencyExtentsCreate() { return new NBFDependencyExtents(); }

void NBFDependencyExtentsFree(NBFDependencyExtentsRef extents) {
    if (!extents) return;
    for (auto& list : extents->bySource)
        if (list)
            for (NBFDependencyRef dependency : *list) NBFDependencyFree(dependency);
    delete extents;
}

void NBFDependencyExtentsAddDependency(NBFDependencyExtentsRef extents, uint32_t source,
                                       uint32_t destination) {
    if (!extents || source == destination) return;
    DependencyList& fromSource = listAt(extents->bySource, source);
    for (NBFDependencyRef dependency : fromSource)
        if (dependency->destination == destination) return;
    NBFDependencyRef dependency = NBFDependencyCreate(source, destination);
    fromSource.push_back(dependency);
    const uint32_t low = std::min(source, destination), high = std::max(source, destination);
    for (uint32_t k = low + 1; k < high; ++k) listAt(extents->crossing, k).push_back(dependency);
}

void NBFDependencyExtentsRemoveAllDependenciesForLine(NBFDependencyExtentsRef extents,
                                                      uint32_t source) {
    if (!extents || source >= extents->bySource.size() || !extents->bySource[source]) return;
    DependencyList& fromSource = *extents->bySource[source];
    for (NBFDependencyRef dependency : fromSource) {
        const uint32_t low = std::min(dependency->source, dependency->destination);
        const uint32_t high = std::max(dependency->source, dependency->destination);
        for (uint32_t k = low + 1; k < high && k < extents->crossing.size(); ++k) {
            DependencyList* crossing = extents->crossing[k].get();
            if (!crossing) continue;
            auto found = std::find(crossing->rbegin(), crossing->rend(), dependency);
            if (found != crossing->rend()) crossing->erase(std::next(found).base());
        }
        NBFDependencyFree(dependency);
    }
    fromSource.clear();
}

uint32_t NBFDependencyExtentsGetCountOfDependenciesCrossingIndex(NBFDependencyExtentsRef extents,
                                                                 uint32_t index) {
    if (!extents) return 0;
    const DependencyList* list = existingListAt(extents->crossing, index);
    return list ? static_cast<uint32_t>(list->size()) : 0;
}

uint32_t NBFDependencyExtentsGetDependenciesCrossingIndex(NBFDependencyExtentsRef extents,
                                                          uint32_t index,
                                                          NBFDependencyRef* buffer,
                                                          uint32_t capacity) {
    if (!extents || !buffer || capacity < 1) return 0;
    const DependencyList* list = existingListAt(extents->crossing, index);
    if (!list) return 0;
    const uint32_t count = std::min(static_cast<uint32_t>(list->size()), capacity);
    std::copy_n(list->begin(), count, buffer);
    return count;
}

// Nodes

NBFDependencyGraphNodeRef NBFDependencyGraphNodeCreate(uint32_t index) {
    return new NBFDependencyGraphNode(index);
}

NBFDependencyGraphNodeRef NBFDependencyGraphNodeRetain(NBFDependencyGraphNodeRef node) {
    if (node) node->referenceCount.fetch_add(1, std::memory_order_relaxed);
    return node;
}

void NBFDependencyGraphNodeRelease(NBFDependencyGraphNodeRef node) {
    if (node && node->referenceCount.fetch_sub(1, std::memory_order_acq_rel) <= 1) delete node;
}

bool NBFDependencyGraphNodeHasDependencyOnNode(NBFDependencyGraphNodeRef node,
                                               NBFDependencyGraphNodeRef other) {
    return node && other && node->dependencies.count(other);
}

bool NBFDependencyGraphNodeAddDependency(NBFDependencyGraphNodeRef node,
                                         NBFDependencyGraphNodeRef other,
                                         NBFDependencyTypeMask mask) {
    if (!node || !other) return true;
    if (!node->dependencies.emplace(other, mask).second) return false;
    other->dependents[node] = mask;
    return true;
}

void NBFDependencyGraphNodeRemoveAllDependencies(NBFDependencyGraphNodeRef node) {
    if (!node) return;
    for (const auto& [dependency, mask] : node->dependencies) dependency->dependents.erase(node);
    node->dependencies.clear();
}

std::vector<NBFDependencyGraphNodeRef> NBFDependencyGraphNodeGetDirectDependencies(
    NBFDependencyGraphNodeRef node) {
    std::vector<NBFDependencyGraphNodeRef> nodes;
    if (node)
        for (const auto& entry : node->dependencies) nodes.push_back(entry.first);
    return nodes;
}

std::vector<NBFDependencyGraphNodeRef> NBFDependencyGraphNodeGetDirectDependents(
    NBFDependencyGraphNodeRef node) {
    std::vector<NBFDependencyGraphNodeRef> nodes;
    if (node)
        for (const auto& entry : node->dependents) nodes.push_back(entry.first);
    return nodes;
}

uint32_t NBFDependencyGraphNodeGetIndex(NBFDependencyGraphNodeRef node) {
    return node ? node->index : 0;
}

NBFDependencyTypeMask NBFDependencyGraphNodeGetDependentTypeMask(
    NBFDependencyGraphNodeRef node, NBFDependencyGraphNodeRef dependent) {
    if (!node) return 0;
    auto found = node->dependents.find(dependent);
    return found == node->dependents.end() ? 0 : found->second;
}

NBFDependencyTypeMask NBFDependencyGraphNodeGetDependencyTypeMask(
    NBFDependencyGraphNodeRef node, NBFDependencyGraphNodeRef dependency) {
    if (!node) return 0;
    auto found = node->dependencies.find(dependency);
    return found == node->dependencies.end() ? 0 : found->second;
}

// Graph

namespace {

NBFDependencyGraphNodeRef nodeAt(NBFDependencyGraphRef graph, uint32_t index, bool create) {
    auto found = graph->nodes.find(index);
    if (found != graph->nodes.end() && found->second) return found->second;
    if (!create) return nullptr;
    NBFDependencyGraphNodeRef node = NBFDependencyGraphNodeCreate(index);
    graph->nodes[index] = node;
    return node;
}

void removeDependenciesOfNode(NBFDependencyGraphRef graph, NBFDependencyGraphNodeRef node) {
    NBFDependencyGraphNodeRemoveAllDependencies(node);
    NBFDependencyExtentsRemoveAllDependenciesForLine(graph->extents, node->index);
}

}  // namespace

NBFDependencyGraphRef NBFDependencyGraphCreate() { return new NBFDependencyGraph(); }

NBFDependencyGraphRef NBFDependencyGraphRetain(NBFDependencyGraphRef graph) {
    if (graph) graph->referenceCount.fetch_add(1, std::memory_order_relaxed);
    return graph;
}

void NBFDependencyGraphRelease(NBFDependencyGraphRef graph) {
    if (graph && graph->referenceCount.fetch_sub(1, std::memory_order_acq_rel) <= 1)
        NBFDependencyGraphFree(graph);
}

void NBFDependencyGraphFree(NBFDependencyGraphRef graph) {
    if (!graph) return;
    for (auto& entry : graph->nodes) NBFDependencyGraphNodeRelease(entry.second);
    NBFDependencyExtentsFree(graph->extents);
    delete graph;
}

bool NBFDependencyGraphAddDependency(NBFDependencyGraphRef graph, uint32_t source,
                                     uint32_t destination, NBFDependencyTypeMask mask) {
    if (!graph) return false;
    std::lock_guard<std::mutex> lock(graph->mutex);
    if (source == destination) return false;
    NBFDependencyGraphNodeRef from = nodeAt(graph, source, true);
    NBFDependencyGraphNodeRef to = nodeAt(graph, destination, true);
    NBFDependencyExtentsAddDependency(graph->extents, source, destination);
    return NBFDependencyGraphNodeAddDependency(from, to, mask);
}

void NBFDependencyGraphRemoveAllDependenciesForLine(NBFDependencyGraphRef graph, uint32_t index) {
    if (!graph) return;
    std::lock_guard<std::mutex> lock(graph->mutex);
    if (NBFDependencyGraphNodeRef node = nodeAt(graph, index, false))
        removeDependenciesOfNode(graph, node);
    else
        NBFDependencyExtentsRemoveAllDependenciesForLine(graph->extents, index);
}

void NBFDependencyGraphRemoveAllDependenciesForLinesOnAndAfterIndex(NBFDependencyGraphRef graph,
                                                                    uint32_t index) {
    if (!graph) return;
    std::lock_guard<std::mutex> lock(graph->mutex);
    for (auto it = graph->nodes.lower_bound(index); it != graph->nodes.end(); ++it)
        if (it->second) removeDependenciesOfNode(graph, it->second);
}

uint32_t NBFDependencyGraphGetNodeCount(NBFDependencyGraphRef graph) {
    return graph ? static_cast<uint32_t>(graph->nodes.size()) : 0;
}

uint32_t NBFDependencyGraphGetDirectDependents(NBFDependencyGraphRef graph, uint32_t index,
                                               uint32_t* indexes, NBFDependencyTypeMask* masks,
                                               uint32_t capacity) {
    if (!graph || !indexes) return 0;
    NBFDependencyGraphNodeRef node = nodeAt(graph, index, false);
    if (!node) return 0;
    uint32_t count = 0;
    for (const auto& [dependent, mask] : node->dependents) {
        if (count >= capacity) break;
        indexes[count] = dependent->index;
        if (masks) masks[count] = mask;
        ++count;
    }
    return count;
}

uint32_t NBFDependencyGraphGetCountOfDependenciesCrossingIndex(NBFDependencyGraphRef graph,
                                                               uint32_t index) {
    return graph ? NBFDependencyExtentsGetCountOfDependenciesCrossingIndex(graph->extents, index)
                 : 0;
}

uint32_t NBFDependencyGraphGetIndexesWithDependenciesCrossingIndex(
    NBFDependencyGraphRef graph, uint32_t index, uint32_t* indexes, NBFDependencyTypeMask* masks,
    uint32_t capacity) {
    if (!graph || !indexes || capacity < 1) return 0;
    std::vector<NBFDependencyRef> records(capacity);
    const uint32_t found = NBFDependencyExtentsGetDependenciesCrossingIndex(
        graph->extents, index, records.data(), capacity);
    uint32_t count = 0;
    std::unordered_set<uint32_t> written;
    for (uint32_t i = 0; i < found; ++i) {
        NBFDependencyRef record = records[i];
        if (!written.insert(record->source).second) continue;
        indexes[count] = record->source;
        if (masks) {
            NBFDependencyGraphNodeRef source = nodeAt(graph, record->source, false);
            NBFDependencyGraphNodeRef destination = nodeAt(graph, record->destination, false);
            masks[count] = NBFDependencyGraphNodeGetDependencyTypeMask(source, destination);
        }
        ++count;
    }
    return count;
}

std::vector<uint32_t> NBFDependencyGraphGetEvaluationOrderForNodeIndexes(
    NBFDependencyGraphRef graph, const std::set<uint32_t>& indexes) {
    std::vector<uint32_t> order;
    if (!graph) return order;
    std::lock_guard<std::mutex> lock(graph->mutex);

    // The requested lines and everything depending on them.
    std::unordered_set<NBFDependencyGraphNodeRef> affected;
    std::vector<NBFDependencyGraphNodeRef> pending;
    for (uint32_t index : indexes) {
        NBFDependencyGraphNodeRef node = nodeAt(graph, index, true);
        if (affected.insert(node).second) pending.push_back(node);
        while (!pending.empty()) {
            NBFDependencyGraphNodeRef visited = pending.back();
            pending.pop_back();
            for (const auto& entry : visited->dependents)
                if (affected.insert(entry.first).second) pending.push_back(entry.first);
        }
    }

    // Depth-first post-order over the dependencies inside the affected set; the frames keep
    // where each node's dependencies were left off.
    std::vector<NBFDependencyGraphNodeRef> roots(affected.begin(), affected.end());
    std::sort(roots.begin(), roots.end(),
              [](auto a, auto b) { return a->index < b->index; });
    std::unordered_set<NBFDependencyGraphNodeRef> placing;
    struct Frame {
        NBFDependencyGraphNodeRef node;
        std::unordered_map<NBFDependencyGraphNodeRef, NBFDependencyTypeMask>::const_iterator next;
    };
    std::vector<Frame> stack;
    order.reserve(roots.size());
    for (NBFDependencyGraphNodeRef root : roots) {
        if (!placing.insert(root).second) continue;
        stack.push_back({root, root->dependencies.cbegin()});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            NBFDependencyGraphNodeRef child = nullptr;
            while (frame.next != frame.node->dependencies.cend() && !child) {
                NBFDependencyGraphNodeRef candidate = frame.next->first;
                ++frame.next;
                if (affected.count(candidate) && placing.insert(candidate).second) child = candidate;
            }
            if (child) {
                stack.push_back({child, child->dependencies.cbegin()});
            } else {
                order.push_back(frame.node->index);
                stack.pop_back();
            }
        }
    }
    return order;
}

uint32_t NBFDependencyGraphGetDependentEvaluationOrderForNodeIndexeBuf(
    NBFDependencyGraphRef graph, const uint32_t* indexes, uint32_t count, uint32_t* order,
    uint32_t capacity) {
    if (!graph || !order) return 0;
    std::set<uint32_t> requested;
    if (indexes) requested.insert(indexes, indexes + count);
    std::vector<uint32_t> all = NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, requested);
    const uint32_t copied = std::min(static_cast<uint32_t>(all.size()), capacity);
    std::copy_n(all.begin(), copied, order);
    return copied;
}

void NBFDependencyGraphPrint(NBFDependencyGraphRef graph) {
    if (!graph) return;
    auto sortedIndexes = [](const auto& map) {
        std::vector<uint32_t> list;
        for (const auto& entry : map) list.push_back(entry.first->index);
        std::sort(list.begin(), list.end());
        return list;
    };
    auto print = [](const std::vector<uint32_t>& list) {
        for (size_t i = 0; i < list.size(); ++i) std::printf(i ? ", %u" : "%u", list[i]);
    };
    for (const auto& [index, node] : graph->nodes) {
        if (!node) continue;
        std::printf("%u dependsOn: [", index);
        print(sortedIndexes(node->dependencies));
        std::printf(", dependedOnBy: [");
        print(sortedIndexes(node->dependents));
        std::printf("]\n");
    }
}
