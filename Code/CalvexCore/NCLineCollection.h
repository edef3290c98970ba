// The ordered lines of one document; a line's index always equals its position.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "NCDependencyGraph.h"
#include "NCEnvironment.h"
#include "NCLine.h"
#include "NCLineCollectionChange.h"
#include "NCTrigonometryMode.h"
#include "NSIndexSet.h"
#include "NSKeyedArchive.h"

class NCLineCollectionVariable;

// Hears what a change pass did. Every message is optional.
struct NCLineCollectionDelegate {
    virtual ~NCLineCollectionDelegate() = default;
    // The lines evaluated in the pass; never empty.
    virtual void didUpdateLinesAtIndexes(NCLineCollection*, const NSIndexSet&) {}
    // Those of them evaluated without having changed themselves; never empty.
    virtual void didAutomaticallyUpdateLinesAtIndexes(NCLineCollection*, const NSIndexSet&) {}
    // The delegate rewrites the references in the lines' text; shifts are by reference key.
    virtual bool respondsToLineReferenceShift() const { return false; }
    virtual void didNoticeThatLineReferenceOnLines(
        NCLineCollection*, const std::vector<std::shared_ptr<NCLine>>&,
        const std::vector<std::map<std::u16string, int64_t>>&) {}
};

class NCLineCollection {
  public:
    // Over the current environment, when there is one.
    NCLineCollection();
    // Its own variable list over the parent's, with the parent's units, words and functions.
    explicit NCLineCollection(const std::shared_ptr<NCEnvironment>& parentEnvironment);
    ~NCLineCollection();
    NCLineCollection(const NCLineCollection&) = delete;
    NCLineCollection& operator=(const NCLineCollection&) = delete;

    // The environment its lines are evaluated in; none means the current one.
    std::shared_ptr<NCEnvironment> environment() const;
    void setEnvironment(std::shared_ptr<NCEnvironment> environment);
    std::shared_ptr<NCVariableList> variables() const;
    NCLineCollectionDelegate* delegate() const { return m_delegate; }
    void setDelegate(NCLineCollectionDelegate* delegate) { m_delegate = delegate; }
    NCTrigonometryMode trigonometryMode() const { return m_trigonometryMode; }
    // Lines without a mode of their own follow the collection; every answer is dropped.
    void setTrigonometryMode(NCTrigonometryMode mode);
    const std::shared_ptr<NCResultFormattingOptions>& defaultResultFormattingOptions() const {
        return m_defaultFormattingOptions;
    }
    // Lines added later share this object.
    void setDefaultResultFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
        m_defaultFormattingOptions = std::move(options);
    }
    // Called with each line about to be evaluated, on every collection of the process.
    static void setPreEvaluationBlock(std::function<void(NCLine&)> block);
    char16_t decimalPlaceCharacter() const;
    char16_t thousandsSeparatorCharacter() const;

    // Reading.
    uint64_t countOfLines() const;
    // Null outside the collection.
    std::shared_ptr<NCLine> lineAtIndex(uint64_t index) const;
    // The largest unsigned value for no line.
    uint64_t indexOfLine(const NCLine* line) const;
    bool hasLineAtIndex(uint64_t index) const { return index < countOfLines(); }
    bool containsLine(NCLine& line) const;
    std::shared_ptr<NCLine> lineWithIdentifier(const std::u16string& identifier) const;
    std::vector<std::shared_ptr<NCLine>> lines() const;

    // Editing; each edit is processed at once unless a batch is open.
    void addLine(std::shared_ptr<NCLine> line);
    void insertLine(std::shared_ptr<NCLine> line, uint64_t index);
    // The line leaves with its link to the collection cleared, so a copy held elsewhere never
    // reports changes here.
    void removeLineAtIndex(uint64_t index);
    void removeLine(const NCLine* line);
    void removeAllLines();
    void moveLineAtIndex(uint64_t from, uint64_t to);
    void resetLineIndexesStartingAt(uint64_t start);

    // Registration.
    void registerPreChange(NCLineCollectionChangeType type, int64_t index);
    void registerChange(const NCLineCollectionChange& change);
    void registerChange(NCLineCollectionChangeType type, int64_t index);
    void registerExpressionChangeForLineAtIndex(uint64_t index);
    void enqueEvaluationOfLine(NCLine& line);
    bool enableChangeProcessing() const { return m_enableChangeProcessing; }
    void setEnableChangeProcessing(bool on) { m_enableChangeProcessing = on; }
    bool isBatchUpdating() const { return m_batchUpdating; }
    void beginBatchUpdate();
    void endBatchUpdate();
    void processChanges();

    // Evaluation.
    void parseAllLines();
    void unparseAllLines();
    // The given lines and their dependents, in dependency order; answers those evaluated.
    NSIndexSet evaluateLinesAtIndexes(const NSIndexSet& indexes);
    void evaluateLine(const std::shared_ptr<NCLine>& line);
    void evaluateLines();
    // Mode 1 reports every line as automatically updated too.
    void evaluateAllLinesWithReportingMode(int32_t mode);
    // After variables outside the document changed (a value, a name, enabled or not): every
    // line is read anew and evaluated, reported as updated by itself. A document is cheap to
    // evaluate whole, and reading every line anew cannot miss one whose words changed meaning.
    void reevaluateLinesDependingOnVariables() { evaluateAllLinesWithReportingMode(1); }
    void reevaluateLinesDependingOnVariables(const std::vector<std::shared_ptr<NCVariable>>&) {
        evaluateAllLinesWithReportingMode(1);
    }
    void reevaluateLinesDependingOnVariable(const std::shared_ptr<NCVariable>& variable) {
        reevaluateLinesDependingOnVariables({variable});
    }
    void reevaluateLinesDependingOnUnit() { evaluateAllLinesWithReportingMode(1); }
    void notifyDelegateOfEvaluationOfLines(const NSIndexSet& lines, const NSIndexSet& implicit);
    void notifyDelegateOfAutomaticEvaluationOfLinesAtIndexes(const NSIndexSet& indexes);

    // Locale: the text is read anew in the new characters, or rewritten into them.
    void setLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator);
    void convertToLocaleWithDecimalPoint(char16_t decimalPoint, char16_t thousandsSeparator);

    // Line references: where each pointed before an edit, and the shifts the edit asks for.
    void takeLineReferenceSnapshot();
    void clearLineReferenceSnapshot() { m_lineReferencesSnapshot.clear(); }
    void notifyAboutLineReferenceChanges();

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
    NBFDependencyGraphRef dependencyGraph() const { return m_dependencyGraph.get(); }

    // Whole documents: the file, change detection, previews and the sample document.
    // None when the file is missing or unreadable.
    static std::shared_ptr<NCLineCollection> lineCollectionFromPath(const std::string& path);
    // Info values land in the file's misc settings. Atomic; false with the reason on failure.
    bool archiveToPath(const std::string& path, const std::map<std::string, NSArchiveValue>& info,
                       std::string* errorMessage = nullptr);
    bool isEmpty() const;
    // Of the texts and answers, in order: moving a line or repeating one changes it.
    size_t hash() const;
    std::vector<std::shared_ptr<NCResult>> results() const;
    bool resultsDifferFromResults(const std::vector<std::shared_ptr<NCResult>>& other) const;
    std::vector<std::shared_ptr<NCLine>> linesWithIndexes(const NSIndexSet& indexes) const;
    std::u16string fullPreview() const;
    std::u16string stringOfAllExpressionsSeperatedByDivider(const std::u16string& divider) const;
    std::u16string jumpedAnswerStyleStringWithDivider(const std::u16string& divider) const;
    std::u16string expressionAndResultOnLineIndex(uint64_t index,
                                                  const std::u16string& divider) const;
    std::vector<std::optional<std::u16string>> arrayOfExpressions() const;
    bool lineIndexIsValid(int64_t index) const;
    std::u16string description() const;
    static std::shared_ptr<NCLineCollection> lineCollectionWithDefaultContent();

  private:
    void prepareLine(NCLine& line, uint64_t index);
    void resetLineIndexesLocked(uint64_t start);
    // Whether a pass over these changed lines can leave variables and other lines' edges alone:
    // one line changed, and it declares nothing and did not, or still declares the same name.
    bool changeTouchesNoDeclaration(const NCLineCollectionChangedIndexes& indexes) const;
    // A line appended after every other one that declares a variable other lines already
    // declare: that variable gains the line as its last owner, and every other variable and
    // every other line's scope stay as they were. False, with nothing done, for any other change.
    bool appendDeclarationOfDeclaredVariable(const NCLineCollectionChangedIndexes& indexes);
    // Whether any line at the indexes declared a variable when the declarations were last read.
    bool declaredBefore(const NSIndexSet& indexes) const;
    void rememberDeclarationLines();
    void parseLinesAtIndexes(const NSIndexSet& indexes);
    // The pass for any other change: variables read anew when a declaration may be involved,
    // and the graph rebuilt from the first line concerned; adds the lines to evaluate.
    void processChangesRebuildingFrom(const NCLineCollectionChangedIndexes& indexes,
                                      const NSIndexSet& textChanged, NSIndexSet& toEvaluate);
    // A line that declares nothing inserted (delta 1) or removed (delta -1) at the index: the
    // variables' scopes follow the lines after it.
    void shiftLineVariables(uint64_t index, int32_t delta);
    // The same edit in the dependency graph: answers the lines whose edges are to be rebuilt,
    // and evaluated, since their references now point at other lines.
    NSIndexSet shiftDependencyGraph(uint64_t index, int32_t delta);
    // Whether a line variable is first declared at or after the index.
    bool governsLinesBefore(uint64_t index) const;

    NBFDependencyGraphOwner m_dependencyGraph;
    std::map<std::shared_ptr<NCLineCollectionVariable>, uint64_t> m_variablesPendingRemoval;

    mutable std::mutex mutex;  // guards the line array, identifier maps and tracker
    std::vector<std::shared_ptr<NCLine>> m_lines;
    std::set<std::u16string> m_lineIDSet;
    std::unordered_map<std::u16string, std::shared_ptr<NCLine>> m_linesByIdentifier;
    bool m_batchUpdating = false;
    bool m_enableChangeProcessing = true;
    bool m_processing = false;
    NCTrigonometryMode m_trigonometryMode = 0;
    std::shared_ptr<NCResultFormattingOptions> m_defaultFormattingOptions;
    NCLineCollectionDelegate* m_delegate = nullptr;  // not retained
    NCLineCollectionChangeTracker m_changeTracker;
    std::map<std::u16string, NCLineReferencesSnapshot> m_lineReferencesSnapshot;
    // The declaring lines as the last variable update saw them: a text change of any other
    // line cannot change the variables.
    // The declaring lines when last read, with the name each declared.
    std::unordered_map<const NCLine*, std::u16string> m_declarationLines;
    bool m_declarationLinesKnown = false;
    // Lines with a reference that has no edge (before the first line, far past the last, or
    // to the line itself): moving such a line can change what the reference reaches.
    std::unordered_set<const NCLine*> m_linesWithUngraphedReferences;
    std::shared_ptr<NCEnvironment> m_environment;
};

#endif
