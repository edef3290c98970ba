// The collection's dependency graph: built from the lines' references and the line variables
// they use, and asked which lines to evaluate, and in what order, after a change.
#include <algorithm>
#include <limits>
#include <unordered_map>

#include "NCExpressionParser.h"
#include "NCLineCollection.h"
#include "NCLineCollectionVariable.h"

namespace {

// References up to this many lines past the end get edges, to lines that may come.
constexpr int64_t kReferenceReachPastEnd = 1000;

std::set<int64_t> valuesOf(const std::optional<NCIndexSet>& set, int64_t offset = 0) {
    std::set<int64_t> values;
    if (set)
        for (const auto& index : *set) values.insert(index->integerValue() + offset);
    return values;
}

std::set<uint32_t> graphIndexesOf(const NSIndexSet& indexes) {
    std::set<uint32_t> result;
    for (uint64_t index : indexes.indexes())
        if (index <= std::numeric_limits<uint32_t>::max())
            result.insert(static_cast<uint32_t>(index));
    return result;
}

char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

// The names of the document's line variables in lower case, for a quick test of which lines
// cannot use any; none when a name is not ASCII (its letter case is not ours to fold).
std::optional<std::vector<std::u16string>> lowerCaseLineVariableNames(
    const NCLineCollection& collection) {
    std::vector<std::u16string> names;
    std::shared_ptr<NCEnvironment> environment = collection.environment();
    std::shared_ptr<NCVariableList> variables = environment ? environment->variables() : nullptr;
    if (!variables) return names;
    for (const std::shared_ptr<NCVariable>& variable : variables->variables()) {
        if (!std::dynamic_pointer_cast<NCLineCollectionVariable>(variable)) continue;
        std::optional<std::u16string> name = variable->name();
        if (!name) continue;
        for (char16_t& c : *name) {
            if (c >= 0x80) return std::nullopt;
            c = asciiLower(c);
        }
        names.push_back(std::move(*name));
    }
    return names;
}

// Whether the line's evaluated text could name one of the variables: a variable is one word of
// that text, matched without letter case, so a text holding none of the names (ASCII and
// folded alike) uses none, and its analysis can be skipped.
bool mayUseAnyOf(NCLine& line, const std::optional<std::vector<std::u16string>>& names) {
    if (!names) return true;
    if (names->empty()) return false;
    std::shared_ptr<NCExpression> evaluable = line.evaluableExpression();
    if (!evaluable) return true;
    const std::optional<std::u16string>& text = evaluable->stringForEvaluation();
    if (!text) return true;
    std::u16string folded = *text;
    for (char16_t& c : folded) {
        if (c >= 0x80) return true;
        c = asciiLower(c);
    }
    for (const std::u16string& name : *names)
        if (folded.find(name) != std::u16string::npos) return true;
    return false;
}

}  // namespace

void NCLineCollection::registerVariable(const std::shared_ptr<NCLineCollectionVariable>& variable,
                                        uint64_t undeclarationForLineAtIndex) {
    if (variable) m_variablesPendingRemoval[variable] = undeclarationForLineAtIndex;
}

std::vector<std::shared_ptr<NCLineCollectionVariable>>
NCLineCollection::directLineCollectionVariableReferencesForLine(NCLine& line) const {
    std::vector<std::shared_ptr<NCLineCollectionVariable>> found;
    std::shared_ptr<NCEnvironment> environment = this->environment();
    std::shared_ptr<NCVariableList> variables = environment ? environment->variables() : nullptr;
    if (!variables) return found;
    for (const std::u16string& name : NCExpressionParser::findVariableReferencesInLine(line)) {
        auto variable =
            std::dynamic_pointer_cast<NCLineCollectionVariable>(variables->variableWithName(name));
        if (variable && std::find(found.begin(), found.end(), variable) == found.end())
            found.push_back(variable);
    }
    return found;
}

void NCLineCollection::rebuildDependencyGraphForLinesAtIndexes(const NSIndexSet& indexes) {
    NBFDependencyGraphRef graph = dependencyGraph();
    const uint64_t count = countOfLines();
    // Lines still to build from; an edge that already existed ends the walk there, so cycles
    // end too. An explicit stack keeps a long chain of references off the thread's stack.
    std::vector<std::shared_ptr<NCLine>> pending;
    const std::optional<std::vector<std::u16string>> variableNames =
        lowerCaseLineVariableNames(*this);
    // A variable is used by many lines: its owners are looked up once per rebuild, in order.
    std::unordered_map<const NCLineCollectionVariable*, std::vector<uint64_t>> ownerIndexes;
    auto ownerIndexesOf = [&](const std::shared_ptr<NCLineCollectionVariable>& variable)
        -> const std::vector<uint64_t>& {
        auto [entry, added] = ownerIndexes.try_emplace(variable.get());
        if (added) {
            for (const std::shared_ptr<NCLine>& owner : variable->owners())
                if (owner->index() <= std::numeric_limits<uint32_t>::max())
                    entry->second.push_back(owner->index());
            std::sort(entry->second.begin(), entry->second.end());
        }
        return entry->second;
    };
    auto addEdge = [&](uint32_t source, int64_t target, uint32_t mask) {
        // A target among the lines being rebuilt is built on its own turn (or was already).
        if (NBFDependencyGraphAddDependency(graph, source, static_cast<uint32_t>(target), mask) &&
            static_cast<uint64_t>(target) < count &&
            !indexes.containsIndex(static_cast<uint64_t>(target)))
            if (std::shared_ptr<NCLine> next = lineAtIndex(static_cast<uint64_t>(target)))
                pending.push_back(std::move(next));
    };
    for (uint64_t start : indexes.indexes()) {
        if (start >= count || start > std::numeric_limits<uint32_t>::max()) break;
        NBFDependencyGraphRemoveAllDependenciesForLine(graph, static_cast<uint32_t>(start));
        pending.push_back(lineAtIndex(start));
        while (!pending.empty()) {
            std::shared_ptr<NCLine> line = std::move(pending.back());
            pending.pop_back();
            if (!line) continue;
            const uint32_t source = static_cast<uint32_t>(line->index());
            const std::set<int64_t> absolute = valuesOf(line->directAbsoluteLineReferenceIndexes());
            const std::set<int64_t> relative = valuesOf(line->directRelativeLineReferenceIndexes(),
                                                        static_cast<int64_t>(line->index()));
            // Every target of either kind, ascending.
            std::set<int64_t> targets = absolute;
            targets.insert(relative.begin(), relative.end());
            bool ungraphed = false;
            for (int64_t target : targets) {
                ungraphed |= target < 0 || target == static_cast<int64_t>(source) ||
                             target >= static_cast<int64_t>(count) + kReferenceReachPastEnd;
                const uint32_t mask = (absolute.count(target) ? NBFDependencyTypeAbsolute : 0) |
                                      (relative.count(target) ? NBFDependencyTypeRelative : 0);
                if (target < 0 || target >= static_cast<int64_t>(count) + kReferenceReachPastEnd)
                    continue;
                addEdge(source, target, mask);
            }
            if (ungraphed)
                m_linesWithUngraphedReferences.insert(line.get());
            else
                m_linesWithUngraphedReferences.erase(line.get());
            if (!mayUseAnyOf(*line, variableNames)) continue;
            // A line reads each variable's value from the one declaration that governs the
            // line's scope: an edge to every declaration would make each line of a document
            // that redefines a variable line after line depend on all the others, a quadratic
            // graph and one cycle through a running total's lines.
            const uint64_t scope = line->variableScopeIndex();
            for (const auto& variable : directLineCollectionVariableReferencesForLine(*line)) {
                const std::vector<uint64_t>& owners = ownerIndexesOf(variable);
                if (!owners.empty()) {
                    auto governing = std::upper_bound(owners.begin(), owners.end(), scope);
                    if (governing != owners.begin()) --governing;
                    addEdge(source, static_cast<int64_t>(*governing), NBFDependencyTypeVariable);
                }
                auto undeclared = m_variablesPendingRemoval.find(variable);
                if (undeclared != m_variablesPendingRemoval.end() &&
                    undeclared->second < std::numeric_limits<uint32_t>::max())
                    addEdge(source, static_cast<int64_t>(undeclared->second),
                            NBFDependencyTypeVariable);
            }
        }
    }
}

void NCLineCollection::rebuildDependencyGraphForLinesOnAndAfterIndex(uint64_t start) {
    if (start == static_cast<uint64_t>(NSNotFound)) return;
    NBFDependencyGraphRef graph = dependencyGraph();
    const uint64_t count = countOfLines();
    if (count > start) {
        if (count <= std::numeric_limits<uint32_t>::max())
            NBFDependencyGraphRemoveAllDependenciesForLinesOnAndAfterIndex(
                graph, static_cast<uint32_t>(count));
        rebuildDependencyGraphForLinesAtIndexes(NSIndexSet(NSRange{start, count - start}));
    } else if (start == 0) {
        NBFDependencyGraphRemoveAllDependenciesForLinesOnAndAfterIndex(graph, 0);
    }
}

NSIndexSet NCLineCollection::shiftDependencyGraph(uint64_t index, int32_t delta) {
    NSIndexSet stale;
    if (index > std::numeric_limits<uint32_t>::max()) return stale;
    for (uint32_t line : NBFDependencyGraphShiftNodesAtIndex(dependencyGraph(),
                                                             static_cast<uint32_t>(index), delta))
        stale.addIndex(line);
    // A moved line whose reference has no edge may reach a line now, or another one.
    for (const NCLine* line : m_linesWithUngraphedReferences)
        if (line->index() >= index && line->index() != static_cast<uint64_t>(NSNotFound))
            stale.addIndex(line->index());
    return stale;
}

std::vector<uint32_t> NCLineCollection::dependentEvaluationOrderForLinesAtIndexes(
    const NSIndexSet& indexes) {
    return NBFDependencyGraphGetEvaluationOrderForNodeIndexes(dependencyGraph(),
                                                              graphIndexesOf(indexes));
}

NSIndexSet NCLineCollection::indexesOfLinesDependingOnLinesAtIndexes(const NSIndexSet& indexes) {
    NSIndexSet dependents;
    for (uint32_t index : dependentEvaluationOrderForLinesAtIndexes(indexes))
        dependents.addIndex(index);
    dependents.removeIndexes(indexes);
    return dependents;
}

NSIndexSet NCLineCollection::indexesOfLinesDependingOnLineAtIndex(uint64_t index) {
    return indexesOfLinesDependingOnLinesAtIndexes(NSIndexSet(index));
}

NSIndexSet NCLineCollection::lineIndexesDirectlyDependingOnIndexesInRange(NSRange range,
                                                                          uint32_t mask) const {
    NSIndexSet result;
    NBFDependencyGraphRef graph = dependencyGraph();
    // Grown only when a line has more dependents than it holds: the range may span the whole
    // document, so the buffer must not be sized by the node count on every call.
    std::vector<uint32_t> indexes(16);
    std::vector<NBFDependencyTypeMask> masks(indexes.size());
    const uint64_t end = std::min<uint64_t>(range.location + range.length,
                                            uint64_t(std::numeric_limits<uint32_t>::max()) + 1);
    for (uint64_t index = range.location; index < end; ++index) {
        uint32_t found = 0;
        while ((found = NBFDependencyGraphGetDirectDependents(
                    graph, static_cast<uint32_t>(index), indexes.data(), masks.data(),
                    static_cast<uint32_t>(indexes.size()))) == indexes.size()) {
            indexes.resize(indexes.size() * 2);
            masks.resize(indexes.size());
        }
        for (uint32_t i = 0; i < found; ++i)
            if (masks[i] & mask) result.addIndex(indexes[i]);
    }
    return result;
}

NSIndexSet NCLineCollection::lineIndexesWithDependenciesMatchingTypeMask(uint32_t mask,
                                                                         uint64_t index) const {
    NSIndexSet result;
    if (index > std::numeric_limits<uint32_t>::max()) return result;
    for (const auto& line : linesWithDependenciesMatchingTypeMask(mask, index))
        result.addIndex(line->index());
    return result;
}

NSIndexSet NCLineCollection::lineIndexesWithDependenciesMatchingTypeMask(
    uint32_t mask, const NSIndexSet& indexes) const {
    NSIndexSet result;
    for (uint64_t index : indexes.indexes())
        result.addIndexes(lineIndexesWithDependenciesMatchingTypeMask(mask, index));
    return result;
}

std::vector<std::shared_ptr<NCLine>> NCLineCollection::linesWithDependenciesMatchingTypeMask(
    uint32_t mask, uint64_t index) const {
    std::vector<std::shared_ptr<NCLine>> lines;
    if (index > std::numeric_limits<uint32_t>::max()) return lines;
    NBFDependencyGraphRef graph = dependencyGraph();
    const uint32_t at = static_cast<uint32_t>(index);
    const uint32_t count = NBFDependencyGraphGetCountOfDependenciesCrossingIndex(graph, at);
    std::vector<uint32_t> sources(count);
    std::vector<NBFDependencyTypeMask> masks(count);
    const uint32_t found = NBFDependencyGraphGetIndexesWithDependenciesCrossingIndex(
        graph, at, sources.data(), masks.data(), count);
    for (uint32_t i = 0; i < found; ++i)
        if (masks[i] & mask)
            if (std::shared_ptr<NCLine> line = lineAtIndex(sources[i])) lines.push_back(line);
    return lines;
}

std::vector<std::shared_ptr<NCLine>> NCLineCollection::linesWithDependenciesCrossingLineIndex(
    uint64_t index) const {
    return linesWithDependenciesMatchingTypeMask(NBFDependencyTypeQueryAll, index);
}
