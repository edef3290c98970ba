// The ordered lines of one document; a line's index always equals its position.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "NCDependencyGraph.h"
#include "NCEnvironment.h"
#include "NCLine.h"
#include "NCTrigonometryMode.h"
#include "NSIndexSet.h"

class NCLineCollectionVariable;

class NCLineCollection {
  public:
    NCLineCollection() = default;
    ~NCLineCollection();
    NCLineCollection(const NCLineCollection&) = delete;
    NCLineCollection& operator=(const NCLineCollection&) = delete;

    // The environment its lines are evaluated in; none means the current one.
    std::shared_ptr<NCEnvironment> environment() const;
    void setEnvironment(std::shared_ptr<NCEnvironment> environment);
    NCTrigonometryMode trigonometryMode() const { return _trigonometryMode; }
    void setTrigonometryMode(NCTrigonometryMode mode) { _trigonometryMode = mode; }

    uint64_t countOfLines() const;
    // Null outside the collection.
    std::shared_ptr<NCLine> lineAtIndex(uint64_t index) const;
    void addLine(std::shared_ptr<NCLine> line);
    // The line leaves with its link to the collection cleared, so a copy held elsewhere never
    // reports changes here.
    void removeLineAtIndex(uint64_t index);
    void removeAllLines();

    // A line's text changed: its change is processed at once.
    void registerExpressionChangeForLineAtIndex(uint64_t index);
    void enqueEvaluationOfLine(NCLine& line);

    // Line variables (NCLineCollection+Variables.cpp) and the dependency graph
    // (NCDependencyGraph+LineCollection.cpp). The variables are the environment's own list.
    bool updateInternalVariableListWithChangesAtLineIndexes(const NSIndexSet& indexes);
    void updateLineCollectionVariableOwnership(NCLineCollectionVariable& variable);
    void removeVariableIfNeeded(const std::shared_ptr<NCLineCollectionVariable>& variable);
    std::shared_ptr<NCLineCollectionVariable> lineCollectionVariableWithName(
        const std::u16string& name, bool exactCase) const;
    std::vector<std::shared_ptr<NCLine>> linesDeclaringVariableWithName(
        const std::u16string& name) const;
    void rebuildDependencyGraphForLinesAtIndexes(const NSIndexSet& indexes);
    void rebuildDependencyGraphForLinesOnAndAfterIndex(uint64_t start);
    NSIndexSet indexesOfLinesDependingOnLinesAtIndexes(const NSIndexSet& indexes);
    NSIndexSet indexesOfLinesDependingOnLineAtIndex(uint64_t index);
    // The whole evaluation order of the lines and their dependents.
    std::vector<uint32_t> dependentEvaluationOrderForLinesAtIndexes(const NSIndexSet& indexes);
    NSIndexSet lineIndexesDirectlyDependingOnIndexesInRange(NSRange range, uint32_t mask) const;
    NSIndexSet lineIndexesWithDependenciesMatchingTypeMask(uint32_t mask, uint64_t index) const;
    NSIndexSet lineIndexesWithDependenciesMatchingTypeMask(uint32_t mask,
                                                          const NSIndexSet& indexes) const;
    std::vector<std::shared_ptr<NCLine>> linesWithDependenciesMatchingTypeMask(
        uint32_t mask, uint64_t index) const;
    std::vector<std::shared_ptr<NCLine>> linesWithDependenciesCrossingLineIndex(
        uint64_t index) const;
    std::vector<std::shared_ptr<NCLineCollectionVariable>>
    directLineCollectionVariableReferencesForLine(NCLine& line) const;
    void registerVariable(const std::shared_ptr<NCLineCollectionVariable>& variable,
                          uint64_t undeclarationForLineAtIndex);
    NBFDependencyGraphRef dependencyGraph() const { return dependencyGraph_.get(); }

  private:
    NBFDependencyGraphOwner dependencyGraph_;
    std::map<std::shared_ptr<NCLineCollectionVariable>, uint64_t> i_variablesPendingRemoval;

  private:
    mutable std::mutex mutex;  // guards the line array
    std::vector<std::shared_ptr<NCLine>> i_lines;
    std::shared_ptr<NCEnvironment> _environment;
    NCTrigonometryMode _trigonometryMode = 0;
};

#endif
