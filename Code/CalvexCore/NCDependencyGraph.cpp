#include "NCDependencyGraph.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_set>

#include "Diagnostics.h"

namespace {
typedef std::vector<NBFDependencyRef> DependencyList;
typedef std::list<NBFDependencyRef> SpanList;
}  // namespace

struct NBFDependency {
    uint32_t source;
    uint32_t destination;
    // Where the record sits among the spanning records, when it spans an index.
    std::optional<SpanList::iterator> span;
};

struct NBFDependencyExtents {
    // Slots may be empty.
    std::vector<std::unique_ptr<DependencyList>> bySource;
    // The records that span at least one index, in the order they were added: the crossing
    // list of an index is this list's records spanning it. A list per spanned index would
    // hold every record once per index between its ends, which is quadratic in a document
    // whose lines all refer to its first.
    SpanList spanning;
};

namespace {

// A node's edges keyed by the node at the other end, with the edge's mask: open addressing in
// one array, since a document of thousands of lines makes tens of thousands of edges and a
// node-based map pays an allocation for each. The order carries no meaning.
class EdgeMap {
  public:
    struct Slot {
        NBFDependencyGraphNodeRef node;
        NBFDependencyTypeMask mask;
    };

    size_t size() const { return m_count; }
    // False when the key is there already (its mask stays).
    bool insert(NBFDependencyGraphNodeRef node, NBFDependencyTypeMask mask) {
        if (find(node)) return false;
        reserveOneMore();
        place(node, mask);
        return true;
    }
    void assign(NBFDependencyGraphNodeRef node, NBFDependencyTypeMask mask) {
        if (Slot* slot = find(node)) {
            slot->mask = mask;
            return;
        }
        reserveOneMore();
        place(node, mask);
    }
    Slot* find(NBFDependencyGraphNodeRef node) {
        if (m_slots.empty()) return nullptr;
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash(node) & mask;; i = (i + 1) & mask) {
            if (m_slots[i].node == node) return &m_slots[i];
            if (!m_slots[i].node) return nullptr;
        }
    }
    const Slot* find(NBFDependencyGraphNodeRef node) const {
        return const_cast<EdgeMap*>(this)->find(node);
    }
    void erase(NBFDependencyGraphNodeRef node) {
        if (Slot* slot = find(node)) {
            slot->node = tombstone();
            slot->mask = 0;
            --m_count;
        }
    }
    void clear() {
        m_slots.clear();
        m_count = m_used = 0;
    }
    // Slot by slot; a slot holds an edge when its node is live().
    size_t capacity() const { return m_slots.size(); }
    const Slot& slot(size_t i) const { return m_slots[i]; }
    static bool live(NBFDependencyGraphNodeRef node) { return node && node != tombstone(); }
    template <typename Visit>
    void forEach(Visit&& visit) const {
        for (const Slot& slot : m_slots)
            if (live(slot.node)) visit(slot.node, slot.mask);
    }

  private:
    static NBFDependencyGraphNodeRef tombstone() {
        return reinterpret_cast<NBFDependencyGraphNodeRef>(alignof(std::max_align_t));
    }
    static size_t hash(NBFDependencyGraphNodeRef node) {
        return static_cast<size_t>(
            (reinterpret_cast<uintptr_t>(node) >> 4) * UINT64_C(0x9E3779B97F4A7C15) >> 20);
    }
    void place(NBFDependencyGraphNodeRef node, NBFDependencyTypeMask mask) {
        const size_t m = m_slots.size() - 1;
        size_t i = hash(node) & m;
        while (live(m_slots[i].node)) i = (i + 1) & m;
        if (!m_slots[i].node) ++m_used;
        m_slots[i] = {node, mask};
        ++m_count;
    }
    // Keeps live and dead slots at most half the array, so every probe ends at an empty one.
    void reserveOneMore() {
        if ((m_used + 1) * 2 <= m_slots.size()) return;
        size_t capacity = m_slots.empty() ? 4 : m_slots.size();
        while ((m_count + 1) * 2 > capacity) capacity *= 2;
        if (capacity == m_slots.size() && m_count * 4 > capacity) capacity *= 2;
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(capacity, Slot{nullptr, 0});
        m_count = m_used = 0;
        for (const Slot& slot : old)
            if (live(slot.node)) place(slot.node, slot.mask);
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;  // live edges
    size_t m_used = 0;   // live edges and tombstones
};

// Dense below this index; above it (never a real document) a sorted map keeps memory small.
constexpr uint32_t kDenseNodeLimit = 1u << 20;

}  // namespace

struct NBFDependencyGraphNode {
    explicit NBFDependencyGraphNode(uint32_t nodeIndex) : index(nodeIndex) {}
    std::atomic<int32_t> referenceCount{1};
    uint32_t index;
    EdgeMap dependencies;
    EdgeMap dependents;
    // Marks of the evaluation-order walk, valid while equal to the graph's walk number.
    uint64_t affectedMark = 0;
    uint64_t placedMark = 0;
};

struct NBFDependencyGraph {
    std::atomic<int32_t> referenceCount{1};
    std::vector<NBFDependencyGraphNodeRef> denseNodes;
    std::map<uint32_t, NBFDependencyGraphNodeRef> sparseNodes;
    uint32_t nodeCount = 0;
    uint64_t walk = 0;
    NBFDependencyExtentsRef extents = NBFDependencyExtentsCreate();
    std::mutex mutex;

    // Every node in index order.
    template <typename Visit>
    void forEachNodeFrom(uint32_t first, Visit&& visit) {
        for (size_t i = first; i < denseNodes.size(); ++i)
            if (denseNodes[i]) visit(denseNodes[i]);
        for (auto it = sparseNodes.lower_bound(first); it != sparseNodes.end(); ++it)
            visit(it->second);
    }
};

// Records

NBFDependencyRef NBFDependencyCreate(uint32_t source, uint32_t destination) {
    return new NBFDependency{source, destination, std::nullopt};
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

// Strictly between the record's ends.
bool spans(const NBFDependency& dependency, uint32_t index) {
    return std::min(dependency.source, dependency.destination) < index &&
           index < std::max(dependency.source, dependency.destination);
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
    if (std::max(source, destination) - std::min(source, destination) > 1)
        dependency->span = extents->spanning.insert(extents->spanning.end(), dependency);
}

void NBFDependencyExtentsRemoveAllDependenciesForLine(NBFDependencyExtentsRef extents,
                                                      uint32_t source) {
    if (!extents || source >= extents->bySource.size() || !extents->bySource[source]) return;
    DependencyList& fromSource = *extents->bySource[source];
    for (NBFDependencyRef dependency : fromSource) {
        if (dependency->span) extents->spanning.erase(*dependency->span);
        NBFDependencyFree(dependency);
    }
    fromSource.clear();
}

uint32_t NBFDependencyExtentsGetCountOfDependenciesCrossingIndex(NBFDependencyExtentsRef extents,
                                                                 uint32_t index) {
    if (!extents) return 0;
    uint32_t count = 0;
    for (NBFDependencyRef dependency : extents->spanning)
        if (spans(*dependency, index)) ++count;
    return count;
}

uint32_t NBFDependencyExtentsGetDependenciesCrossingIndex(NBFDependencyExtentsRef extents,
                                                          uint32_t index, NBFDependencyRef* buffer,
                                                          uint32_t capacity) {
    if (!extents || !buffer || capacity < 1) return 0;
    uint32_t count = 0;
    for (auto it = extents->spanning.begin(); it != extents->spanning.end() && count < capacity;
         ++it)
        if (spans(**it, index)) buffer[count++] = *it;
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
    return node && other && node->dependencies.find(other);
}

bool NBFDependencyGraphNodeAddDependency(NBFDependencyGraphNodeRef node,
                                         NBFDependencyGraphNodeRef other,
                                         NBFDependencyTypeMask mask) {
    if (!node || !other) return true;
    if (!node->dependencies.insert(other, mask)) return false;
    other->dependents.assign(node, mask);
    return true;
}

void NBFDependencyGraphNodeRemoveAllDependencies(NBFDependencyGraphNodeRef node) {
    if (!node) return;
    node->dependencies.forEach([node](NBFDependencyGraphNodeRef dependency, NBFDependencyTypeMask) {
        dependency->dependents.erase(node);
    });
    node->dependencies.clear();
}

std::vector<NBFDependencyGraphNodeRef> NBFDependencyGraphNodeGetDirectDependencies(
    NBFDependencyGraphNodeRef node) {
    std::vector<NBFDependencyGraphNodeRef> nodes;
    if (node)
        node->dependencies.forEach([&](NBFDependencyGraphNodeRef other, NBFDependencyTypeMask) {
            nodes.push_back(other);
        });
    return nodes;
}

std::vector<NBFDependencyGraphNodeRef> NBFDependencyGraphNodeGetDirectDependents(
    NBFDependencyGraphNodeRef node) {
    std::vector<NBFDependencyGraphNodeRef> nodes;
    if (node)
        node->dependents.forEach([&](NBFDependencyGraphNodeRef other, NBFDependencyTypeMask) {
            nodes.push_back(other);
        });
    return nodes;
}

uint32_t NBFDependencyGraphNodeGetIndex(NBFDependencyGraphNodeRef node) {
    return node ? node->index : 0;
}

NBFDependencyTypeMask NBFDependencyGraphNodeGetDependentTypeMask(
    NBFDependencyGraphNodeRef node, NBFDependencyGraphNodeRef dependent) {
    if (!node) return 0;
    const EdgeMap::Slot* found = dependent ? node->dependents.find(dependent) : nullptr;
    return found ? found->mask : 0;
}

NBFDependencyTypeMask NBFDependencyGraphNodeGetDependencyTypeMask(
    NBFDependencyGraphNodeRef node, NBFDependencyGraphNodeRef dependency) {
    if (!node) return 0;
    const EdgeMap::Slot* found = dependency ? node->dependencies.find(dependency) : nullptr;
    return found ? found->mask : 0;
}

// Graph

namespace {

NBFDependencyGraphNodeRef nodeAt(NBFDependencyGraphRef graph, uint32_t index, bool create) {
    if (index < kDenseNodeLimit) {
        if (index < graph->denseNodes.size() && graph->denseNodes[index])
            return graph->denseNodes[index];
        if (!create) return nullptr;
        if (index >= graph->denseNodes.size())
            graph->denseNodes.resize(std::max<size_t>(index + 1, graph->denseNodes.size() * 2));
        ++graph->nodeCount;
        return graph->denseNodes[index] = NBFDependencyGraphNodeCreate(index);
    }
    auto found = graph->sparseNodes.find(index);
    if (found != graph->sparseNodes.end()) return found->second;
    if (!create) return nullptr;
    ++graph->nodeCount;
    return graph->sparseNodes[index] = NBFDependencyGraphNodeCreate(index);
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
    graph->forEachNodeFrom(0, NBFDependencyGraphNodeRelease);
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
    // Only a line reference is redirected by lines inserted or removed between its ends; a
    // variable is found by name wherever its lines go. Recording variable edges as spans would
    // cost every line between a use and each of its declarations: quadratic in a document.
    if (mask & (NBFDependencyTypeAbsolute | NBFDependencyTypeRelative))
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
    graph->forEachNodeFrom(
        index, [graph](NBFDependencyGraphNodeRef node) { removeDependenciesOfNode(graph, node); });
}

std::vector<uint32_t> NBFDependencyGraphShiftNodesAtIndex(NBFDependencyGraphRef graph,
                                                          uint32_t index, int32_t delta) {
    std::vector<uint32_t> stale;
    if (!graph || (delta != 1 && delta != -1)) return stale;
    std::lock_guard<std::mutex> lock(graph->mutex);
    auto moves = [&](uint32_t i) { return delta > 0 ? i >= index : i > index; };
    NBFDependencyGraphNodeRef removed = delta < 0 ? nodeAt(graph, index, false) : nullptr;

    // Every edge with an end that moves has that end among the nodes from the index on; an
    // edge whose other end stays or goes points elsewhere now, unless it is a variable's
    // (found by name wherever its lines go) or an absolute reference before the index.
    graph->forEachNodeFrom(index, [&](NBFDependencyGraphNodeRef node) {
        if (node == removed) {
            node->dependents.forEach([&](NBFDependencyGraphNodeRef source, NBFDependencyTypeMask) {
                stale.push_back(source->index);
            });
            return;
        }
        node->dependencies.forEach(
            [&](NBFDependencyGraphNodeRef target, NBFDependencyTypeMask mask) {
                if (target == removed ||
                    ((mask & NBFDependencyTypeRelative) && !moves(target->index)) ||
                    ((mask & NBFDependencyTypeAbsolute) && target->index >= index))
                    stale.push_back(node->index);
            });
        node->dependents.forEach([&](NBFDependencyGraphNodeRef source, NBFDependencyTypeMask mask) {
            if (!moves(source->index) && source != removed &&
                (mask & (NBFDependencyTypeRelative | NBFDependencyTypeAbsolute)))
                stale.push_back(source->index);
        });
    });
    if (removed) {
        removed->dependents.forEach([&](NBFDependencyGraphNodeRef source, NBFDependencyTypeMask) {
            source->dependencies.erase(removed);
        });
        removeDependenciesOfNode(graph, removed);
        --graph->nodeCount;
    }

    // The nodes and the extents' records by source move together.
    std::vector<std::unique_ptr<DependencyList>>& bySource = graph->extents->bySource;
    if (index < bySource.size()) {
        if (delta > 0)
            bySource.insert(bySource.begin() + index, nullptr);
        else
            bySource.erase(bySource.begin() + index);
        for (size_t i = index; i < bySource.size(); ++i)
            if (bySource[i])
                for (NBFDependencyRef record : *bySource[i]) {
                    record->source = static_cast<uint32_t>(i);
                    if (moves(record->destination)) record->destination += delta;
                }
    }
    std::vector<NBFDependencyGraphNodeRef>& dense = graph->denseNodes;
    if (index < dense.size()) {
        if (delta > 0)
            dense.insert(dense.begin() + index, nullptr);
        else
            dense.erase(dense.begin() + index);
        for (size_t i = index; i < dense.size(); ++i)
            if (dense[i]) dense[i]->index = static_cast<uint32_t>(i);
    }
    // Past the dense part (never a real document) nodes are keyed by index: keyed anew, and
    // moved between the parts where the shift crosses the limit.
    std::map<uint32_t, NBFDependencyGraphNodeRef> sparse;
    for (const auto& [key, node] : graph->sparseNodes) {
        if (node == removed) continue;
        node->index = moves(key) ? key + delta : key;
        if (node->index < kDenseNodeLimit) {
            if (dense.size() <= node->index) dense.resize(node->index + 1);
            dense[node->index] = node;
        } else {
            sparse[node->index] = node;
        }
    }
    while (dense.size() > kDenseNodeLimit) {
        if (dense.back()) sparse[dense.back()->index] = dense.back();
        dense.pop_back();
    }
    graph->sparseNodes = std::move(sparse);
    if (removed) NBFDependencyGraphNodeRelease(removed);

    for (uint32_t& line : stale)
        if (moves(line)) line += delta;
    std::sort(stale.begin(), stale.end());
    stale.erase(std::unique(stale.begin(), stale.end()), stale.end());
    return stale;
}

uint32_t NBFDependencyGraphGetNodeCount(NBFDependencyGraphRef graph) {
    return graph ? graph->nodeCount : 0;
}

uint32_t NBFDependencyGraphGetDirectDependents(NBFDependencyGraphRef graph, uint32_t index,
                                               uint32_t* indexes, NBFDependencyTypeMask* masks,
                                               uint32_t capacity) {
    if (!graph || !indexes) return 0;
    NBFDependencyGraphNodeRef node = nodeAt(graph, index, false);
    if (!node) return 0;
    uint32_t count = 0;
    node->dependents.forEach([&](NBFDependencyGraphNodeRef dependent, NBFDependencyTypeMask mask) {
        if (count >= capacity) return;
        indexes[count] = dependent->index;
        if (masks) masks[count] = mask;
        ++count;
    });
    return count;
}

uint32_t NBFDependencyGraphGetCountOfDependenciesCrossingIndex(NBFDependencyGraphRef graph,
                                                               uint32_t index) {
    return graph ? NBFDependencyExtentsGetCountOfDependenciesCrossingIndex(graph->extents, index)
                 : 0;
}

uint32_t NBFDependencyGraphGetIndexesWithDependenciesCrossingIndex(NBFDependencyGraphRef graph,
                                                                   uint32_t index,
                                                                   uint32_t* indexes,
                                                                   NBFDependencyTypeMask* masks,
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

    // The requested lines and everything depending on them, marked with this walk's number.
    const uint64_t walk = ++graph->walk;
    std::vector<NBFDependencyGraphNodeRef> roots;
    std::vector<NBFDependencyGraphNodeRef> pending;
    auto reach = [&](NBFDependencyGraphNodeRef node) {
        if (node->affectedMark == walk) return;
        node->affectedMark = walk;
        roots.push_back(node);
        pending.push_back(node);
    };
    for (uint32_t index : indexes) {
        reach(nodeAt(graph, index, true));
        while (!pending.empty()) {
            NBFDependencyGraphNodeRef visited = pending.back();
            pending.pop_back();
            visited->dependents.forEach([&](NBFDependencyGraphNodeRef dependent,
                                            NBFDependencyTypeMask) { reach(dependent); });
        }
    }

    // Depth-first post-order over the dependencies inside the affected set; the frames keep
    // where each node's dependencies were left off.
    std::sort(roots.begin(), roots.end(), [](auto a, auto b) { return a->index < b->index; });
    struct Frame {
        NBFDependencyGraphNodeRef node;
        size_t next;
    };
    std::vector<Frame> stack;
    order.reserve(roots.size());
    for (NBFDependencyGraphNodeRef root : roots) {
        if (root->placedMark == walk) continue;
        root->placedMark = walk;
        stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame& frame = stack.back();
            const EdgeMap& dependencies = frame.node->dependencies;
            NBFDependencyGraphNodeRef child = nullptr;
            while (frame.next < dependencies.capacity() && !child) {
                NBFDependencyGraphNodeRef candidate = dependencies.slot(frame.next).node;
                ++frame.next;
                if (EdgeMap::live(candidate) && candidate->affectedMark == walk &&
                    candidate->placedMark != walk) {
                    candidate->placedMark = walk;
                    child = candidate;
                }
            }
            if (child) {
                stack.push_back({child, 0});
            } else {
                order.push_back(frame.node->index);
                stack.pop_back();
            }
        }
    }
    return order;
}

uint32_t NBFDependencyGraphGetDependentEvaluationOrderForNodeIndexeBuf(NBFDependencyGraphRef graph,
                                                                       const uint32_t* indexes,
                                                                       uint32_t count,
                                                                       uint32_t* order,
                                                                       uint32_t capacity) {
    if (!graph || !order) return 0;
    std::set<uint32_t> requested;
    if (indexes) requested.insert(indexes, indexes + count);
    std::vector<uint32_t> all =
        NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, requested);
    const uint32_t copied = std::min(static_cast<uint32_t>(all.size()), capacity);
    std::copy_n(all.begin(), copied, order);
    return copied;
}

void NBFDependencyGraphPrint(NBFDependencyGraphRef graph) {
    if (!graph) return;
    auto sortedIndexes = [](const EdgeMap& map) {
        std::vector<uint32_t> list;
        map.forEach([&](NBFDependencyGraphNodeRef other, NBFDependencyTypeMask) {
            list.push_back(other->index);
        });
        std::sort(list.begin(), list.end());
        return list;
    };
    auto listed = [](const std::vector<uint32_t>& list) {
        std::string text;
        for (size_t i = 0; i < list.size(); ++i) text += (i ? ", " : "") + std::to_string(list[i]);
        return text;
    };
    graph->forEachNodeFrom(0, [&](NBFDependencyGraphNodeRef node) {
        Diagnostics::write(Diagnostics::Stream::output,
                           std::to_string(node->index) + " dependsOn: [" +
                               listed(sortedIndexes(node->dependencies)) + ", dependedOnBy: [" +
                               listed(sortedIndexes(node->dependents)) + "]");
    });
}
