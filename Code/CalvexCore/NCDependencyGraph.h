// Which line of a document depends on which, through line references and line variables, and
// the order that evaluates every line after the lines it depends on. Every walk over the graph
// keeps its own stack, so a chain of any length runs on a small thread stack.
#ifndef NUMBERA_CORE_NC_DEPENDENCY_GRAPH_H
#define NUMBERA_CORE_NC_DEPENDENCY_GRAPH_H

#include <cstdint>
#include <set>
#include <vector>

// Edge types, set per edge; queries select edges sharing a bit with their mask.
typedef uint32_t NBFDependencyTypeMask;
inline constexpr NBFDependencyTypeMask NBFDependencyTypeAbsolute = 1;
inline constexpr NBFDependencyTypeMask NBFDependencyTypeRelative = 6;
inline constexpr NBFDependencyTypeMask NBFDependencyTypeVariable = 8;
inline constexpr NBFDependencyTypeMask NBFDependencyTypeQueryAbsolute = 1;
inline constexpr NBFDependencyTypeMask NBFDependencyTypeQueryRelative = 2;
inline constexpr NBFDependencyTypeMask NBFDependencyTypeQueryAll = 15;

struct NBFDependency;
struct NBFDependencyExtents;
struct NBFDependencyGraphNode;
struct NBFDependencyGraph;
typedef NBFDependency* NBFDependencyRef;
typedef NBFDependencyExtents* NBFDependencyExtentsRef;
typedef NBFDependencyGraphNode* NBFDependencyGraphNodeRef;
typedef NBFDependencyGraph* NBFDependencyGraphRef;

// One reference from a source line to a destination line.
NBFDependencyRef NBFDependencyCreate(uint32_t source, uint32_t destination);
void NBFDependencyFree(NBFDependencyRef dependency);
uint32_t NBFDependencyGetSourceIndex(NBFDependencyRef dependency);
uint32_t NBFDependencyGetDestinationIndex(NBFDependencyRef dependency);

// The records by source line, and the records spanning each line index (both ends excluded).
NBFDependencyExtentsRef NBFDependencyExtentsCreate();
void NBFDependencyExtentsFree(NBFDependencyExtentsRef extents);
void NBFDependencyExtentsAddDependency(NBFDependencyExtentsRef extents, uint32_t source,
                                       uint32_t destination);
void NBFDependencyExtentsRemoveAllDependenciesForLine(NBFDependencyExtentsRef extents,
                                                      uint32_t source);
uint32_t NBFDependencyExtentsGetCountOfDependenciesCrossingIndex(NBFDependencyExtentsRef extents,
                                                                 uint32_t index);
uint32_t NBFDependencyExtentsGetDependenciesCrossingIndex(NBFDependencyExtentsRef extents,
                                                          uint32_t index, NBFDependencyRef* buffer,
                                                          uint32_t capacity);

NBFDependencyGraphNodeRef NBFDependencyGraphNodeCreate(uint32_t index);
NBFDependencyGraphNodeRef NBFDependencyGraphNodeRetain(NBFDependencyGraphNodeRef node);
void NBFDependencyGraphNodeRelease(NBFDependencyGraphNodeRef node);
bool NBFDependencyGraphNodeHasDependencyOnNode(NBFDependencyGraphNodeRef node,
                                               NBFDependencyGraphNodeRef other);
// False when the edge exists already (its mask stays); true for null arguments.
bool NBFDependencyGraphNodeAddDependency(NBFDependencyGraphNodeRef node,
                                         NBFDependencyGraphNodeRef other,
                                         NBFDependencyTypeMask mask);
// Its dependents are untouched.
void NBFDependencyGraphNodeRemoveAllDependencies(NBFDependencyGraphNodeRef node);
std::vector<NBFDependencyGraphNodeRef> NBFDependencyGraphNodeGetDirectDependencies(
    NBFDependencyGraphNodeRef node);
std::vector<NBFDependencyGraphNodeRef> NBFDependencyGraphNodeGetDirectDependents(
    NBFDependencyGraphNodeRef node);
uint32_t NBFDependencyGraphNodeGetIndex(NBFDependencyGraphNodeRef node);
NBFDependencyTypeMask NBFDependencyGraphNodeGetDependentTypeMask(
    NBFDependencyGraphNodeRef node, NBFDependencyGraphNodeRef dependent);
NBFDependencyTypeMask NBFDependencyGraphNodeGetDependencyTypeMask(
    NBFDependencyGraphNodeRef node, NBFDependencyGraphNodeRef dependency);

// Every graph operation accepts a null graph and then does nothing or answers 0 / false.
NBFDependencyGraphRef NBFDependencyGraphCreate();
NBFDependencyGraphRef NBFDependencyGraphRetain(NBFDependencyGraphRef graph);
void NBFDependencyGraphRelease(NBFDependencyGraphRef graph);
void NBFDependencyGraphFree(NBFDependencyGraphRef graph);
// False for a reference of a line to itself and for an edge that exists already.
bool NBFDependencyGraphAddDependency(NBFDependencyGraphRef graph, uint32_t source,
                                     uint32_t destination, NBFDependencyTypeMask mask);
void NBFDependencyGraphRemoveAllDependenciesForLine(NBFDependencyGraphRef graph, uint32_t index);
void NBFDependencyGraphRemoveAllDependenciesForLinesOnAndAfterIndex(NBFDependencyGraphRef graph,
                                                                    uint32_t index);
// A line inserted (delta 1) or removed (delta -1) at the index: each node after it takes the
// index its line now stands at, and a removed line's node goes with its edges. Answers, by their
// new indexes and ascending, the lines whose edges may no longer match their text: a relative
// reference across the index, an absolute one at or past it, any edge to the removed line.
// Their edges are left as they are, to be rebuilt. Other deltas change nothing.
std::vector<uint32_t> NBFDependencyGraphShiftNodesAtIndex(NBFDependencyGraphRef graph,
                                                          uint32_t index, int32_t delta);
uint32_t NBFDependencyGraphGetNodeCount(NBFDependencyGraphRef graph);
// Up to capacity dependents of the line and the masks of their edges (masks may be null).
uint32_t NBFDependencyGraphGetDirectDependents(NBFDependencyGraphRef graph, uint32_t index,
                                               uint32_t* indexes, NBFDependencyTypeMask* masks,
                                               uint32_t capacity);
uint32_t NBFDependencyGraphGetCountOfDependenciesCrossingIndex(NBFDependencyGraphRef graph,
                                                               uint32_t index);
// The sources of the records spanning the index, each once, with their edges' masks.
uint32_t NBFDependencyGraphGetIndexesWithDependenciesCrossingIndex(NBFDependencyGraphRef graph,
                                                                   uint32_t index,
                                                                   uint32_t* indexes,
                                                                   NBFDependencyTypeMask* masks,
                                                                   uint32_t capacity);
// The given lines and every line depending on them, each after the lines it depends on (inside
// a cycle, in depth-first post-order). A given line without a node gets one.
std::vector<uint32_t> NBFDependencyGraphGetEvaluationOrderForNodeIndexes(
    NBFDependencyGraphRef graph, const std::set<uint32_t>& indexes);
uint32_t NBFDependencyGraphGetDependentEvaluationOrderForNodeIndexeBuf(NBFDependencyGraphRef graph,
                                                                       const uint32_t* indexes,
                                                                       uint32_t count,
                                                                       uint32_t* order,
                                                                       uint32_t capacity);
void NBFDependencyGraphPrint(NBFDependencyGraphRef graph);

// Owns one graph for the life of its holder.
class NBFDependencyGraphOwner {
  public:
    NBFDependencyGraphOwner() : m_graph(NBFDependencyGraphCreate()) {}
    ~NBFDependencyGraphOwner() { NBFDependencyGraphRelease(m_graph); }
    NBFDependencyGraphOwner(const NBFDependencyGraphOwner&) = delete;
    NBFDependencyGraphOwner& operator=(const NBFDependencyGraphOwner&) = delete;
    NBFDependencyGraphRef get() const { return m_graph; }

  private:
    NBFDependencyGraphRef m_graph;
};

#endif
