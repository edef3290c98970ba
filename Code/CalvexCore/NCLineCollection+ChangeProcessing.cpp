// The change pass: variables, parsed forms, the dependency graph and line references brought
// up to date after the registered edits, then exactly the lines that need it evaluated in
// dependency order.
#include <limits>

#include "NCLineCollection.h"
#include "NCLineCollectionVariable.h"
#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "NCParsedExpression.h"
#include "NCUtilityFunctions.h"

namespace {

std::function<void(NCLine&)>& preEvaluationBlock() {
    static std::function<void(NCLine&)> block;
    return block;
}

bool isDeclaration(const NCLine& line) {
    return line.lineType() == NCLineExpressionTypeVariableDeclaration;
}

std::optional<std::u16string> declaredName(const NCLine& line) {
    if (!isDeclaration(line)) return std::nullopt;
    std::shared_ptr<NCLineVariableDeclaration> declaration = line.variableDeclaration();
    if (!declaration || !declaration->name()) return std::nullopt;
    return declaration->name();
}

std::optional<NCExpressionTokenArray> lineReferenceTokens(NCLine& line) {
    std::shared_ptr<NCParsedExpression> parsed = line.evaluableParsedExpression();
    if (!parsed) return std::nullopt;
    std::optional<NCExpressionTokenArray> tokens =
        parsed->lineReferenceTokensOfType(NCLineReferenceTypeAll);
    if (!tokens || tokens->empty()) return std::nullopt;
    return tokens;
}

}  // namespace

void NCLineCollection::setPreEvaluationBlock(std::function<void(NCLine&)> block) {
    preEvaluationBlock() = std::move(block);
}

// Evaluation

void NCLineCollection::parseAllLines() {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    std::optional<NCLineExpressionParser> parser;
    for (const auto& line : lines()) {
        if (line->isParsed() || !line->lineExpression()) continue;
        if (!parser) parser.emplace(environment ? environment : NCEnvironment::current());
        parser->parseLineExpression(*line->lineExpression());
    }
}

void NCLineCollection::parseLinesAtIndexes(const NSIndexSet& indexes) {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    std::optional<NCLineExpressionParser> parser;
    for (uint64_t index : indexes.indexes()) {
        std::shared_ptr<NCLine> line = lineAtIndex(index);
        if (!line || line->isParsed() || !line->lineExpression()) continue;
        if (!parser) parser.emplace(environment ? environment : NCEnvironment::current());
        parser->parseLineExpression(*line->lineExpression());
    }
}

void NCLineCollection::unparseAllLines() {
    for (const auto& line : lines()) line->unparse();
}

void NCLineCollection::evaluateLine(const std::shared_ptr<NCLine>& line) {
    if (!line) return;
    if (const auto& block = preEvaluationBlock()) block(*line);
    std::shared_ptr<NCLineCollectionVariable> variable;
    if (isDeclaration(*line))
        if (std::shared_ptr<NCLineVariableDeclaration> declaration = line->variableDeclaration();
            declaration && declaration->name())
            variable = lineCollectionVariableWithName(*declaration->name(), true);
    if (variable) variable->clearValueReadByOwnerLine(*line);
    NCLineEvaluator::evaluateLine(*line);
    if (variable && line->hasResult())
        variable->setValueResult(*line->result(), NCLineEvaluator::evaluationPrecision(), line);
}

NSIndexSet NCLineCollection::evaluateLinesAtIndexes(const NSIndexSet& indexes) {
    NSIndexSet evaluated;
    if (indexes.empty()) return evaluated;
    const std::vector<uint32_t> order = dependentEvaluationOrderForLinesAtIndexes(indexes);
    std::vector<std::shared_ptr<NCLine>> due;
    due.reserve(order.size());
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (uint32_t index : order)
            if (index < m_lines.size()) due.push_back(m_lines[index]);
    }
    // Every answer due is dropped before any is computed: a line never reads an old answer of
    // a line evaluated after it, and a reference cycle among them is found.
    for (const auto& line : due) line->invalidateResult();
    const bool wasProcessing = m_processing;
    m_processing = true;
    for (const auto& line : due) {
        if (!line->isEvaluated()) {
            evaluateLine(line);
        } else if (isDeclaration(*line)) {
            // Evaluated early as another line's reference target: its variable still needs
            // the answer.
            if (auto declaration = line->variableDeclaration(); declaration && declaration->name())
                if (auto variable = lineCollectionVariableWithName(*declaration->name(), true))
                    variable->setValueResult(*line->result(),
                                             NCLineEvaluator::evaluationPrecision(), line);
        }
        evaluated.addIndex(line->index());
    }
    m_processing = wasProcessing;
    return evaluated;
}

void NCLineCollection::evaluateLines() {
    const uint64_t count = countOfLines();
    if (count) evaluateLinesAtIndexes(NSIndexSet(NSRange{0, count}));
}

void NCLineCollection::evaluateAllLinesWithReportingMode(int32_t mode) {
    // Every line is evaluated below: a pass per cleared line would evaluate the document once
    // per line. The texts stay the same, so variables and edges stand; only parsing is redone.
    const bool enabled = m_enableChangeProcessing;
    m_enableChangeProcessing = false;
    for (const auto& line : lines()) line->clearCaches();
    m_enableChangeProcessing = enabled;
    parseAllLines();
    const uint64_t count = countOfLines();
    NSIndexSet all = count ? NSIndexSet(NSRange{0, count}) : NSIndexSet();
    evaluateLinesAtIndexes(all);
    notifyDelegateOfEvaluationOfLines(all, mode == 1 ? all : NSIndexSet());
}

void NCLineCollection::notifyDelegateOfEvaluationOfLines(const NSIndexSet& lines,
                                                         const NSIndexSet& implicit) {
    if (m_delegate && !lines.empty()) m_delegate->didUpdateLinesAtIndexes(this, lines);
    notifyDelegateOfAutomaticEvaluationOfLinesAtIndexes(implicit);
}

void NCLineCollection::notifyDelegateOfAutomaticEvaluationOfLinesAtIndexes(
    const NSIndexSet& indexes) {
    if (m_delegate && !indexes.empty())
        m_delegate->didAutomaticallyUpdateLinesAtIndexes(this, indexes);
}

// Locale

void NCLineCollection::setLocaleWithDecimalPoint(char16_t decimalPoint, char16_t separator) {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    if (decimalPoint == separator || !environment) return;
    const NCSimpleLocale locale{decimalPoint, separator};
    if (environment->locale() == locale) return;
    environment->setLocale(locale);
    for (const auto& line : lines()) line->setLocale(locale);
    parseAllLines();
    evaluateLines();
}

void NCLineCollection::convertToLocaleWithDecimalPoint(char16_t decimalPoint, char16_t separator) {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    if (decimalPoint == separator || !environment) return;
    const NCSimpleLocale locale{decimalPoint, separator};
    if (environment->locale() == locale) return;
    for (const auto& line : lines()) line->convertToLocale(locale);
    setLocaleWithDecimalPoint(decimalPoint, separator);
}

// Line references

void NCLineCollection::takeLineReferenceSnapshot() {
    m_lineReferencesSnapshot.clear();
    // Only a delegate that rewrites references reads the snapshot: without one, an edit need
    // not walk every line's references first.
    if (!m_delegate || !m_delegate->respondsToLineReferenceShift()) return;
    for (const auto& line : lines()) {
        std::optional<NCExpressionTokenArray> tokens = lineReferenceTokens(*line);
        if (!tokens) continue;
        NCLineReferencesSnapshot snapshot =
            NCLineReferencesSnapshot::snapshotForLineAtIndex(line->index());
        for (const auto& token : *tokens) {
            const int64_t target =
                NCLineReferenceIndex(token->lineReferenceType(), token->lineReferenceNumber(),
                                     static_cast<int64_t>(line->index()));
            if (target < 0) continue;
            std::shared_ptr<NCLine> targetLine;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (static_cast<uint64_t>(target) < m_lines.size()) targetLine = m_lines[target];
            }
            if (!targetLine) continue;
            snapshot.addIdentifier(targetLine->uniqueIdentifier(), static_cast<uint64_t>(target),
                                   NCLineReferenceIdentifier(token->lineReferenceType(),
                                                             token->lineReferenceNumber()));
        }
        m_lineReferencesSnapshot.emplace(line->uniqueIdentifier(), std::move(snapshot));
    }
}

void NCLineCollection::notifyAboutLineReferenceChanges() {
    if (!m_delegate || !m_delegate->respondsToLineReferenceShift() ||
        m_lineReferencesSnapshot.empty()) {
        clearLineReferenceSnapshot();
        return;
    }
    std::vector<std::shared_ptr<NCLine>> shiftedLines;
    std::vector<std::map<std::u16string, int64_t>> shifts;
    NSIndexSet shiftedIndexes;
    std::vector<std::shared_ptr<NCLine>> all = lines();
    for (auto line = all.rbegin(); line != all.rend(); ++line) {
        auto snapshot = m_lineReferencesSnapshot.find((*line)->uniqueIdentifier());
        if (snapshot == m_lineReferencesSnapshot.end()) continue;
        std::optional<NCExpressionTokenArray> tokens = lineReferenceTokens(**line);
        if (!tokens) continue;
        std::map<std::u16string, int64_t> lineShifts;
        for (const auto& token : *tokens) {
            const std::u16string key =
                NCLineReferenceIdentifier(token->lineReferenceType(), token->lineReferenceNumber());
            std::optional<std::u16string> identifier =
                snapshot->second.identifierForLineReference(key);
            std::optional<uint64_t> oldTarget = snapshot->second.lineIndexForLineReference(key);
            if (!identifier || !oldTarget) continue;
            std::shared_ptr<NCLine> target = lineWithIdentifier(*identifier);
            if (!target) continue;  // the target is gone: the reference is left alone
            int64_t shift =
                static_cast<int64_t>(target->index()) - static_cast<int64_t>(*oldTarget);
            const NCLineReferenceType type = token->lineReferenceType();
            if (type == NCLineReferenceTypeRelative || type == NCLineReferenceTypeFixedRelative)
                shift += static_cast<int64_t>(snapshot->second.lineIndex()) -
                         static_cast<int64_t>((*line)->index());
            if (shift) lineShifts[key] = shift;
        }
        if (lineShifts.empty()) continue;
        shiftedLines.push_back(*line);
        shifts.push_back(std::move(lineShifts));
        shiftedIndexes.addIndex((*line)->index());
    }
    // The delegate's rewrites of the texts are this pass's own doing, not new edits.
    const bool enabled = m_enableChangeProcessing;
    m_enableChangeProcessing = false;
    if (!shiftedLines.empty())
        m_delegate->didNoticeThatLineReferenceOnLines(this, shiftedLines, shifts);
    m_enableChangeProcessing = enabled;
    parseAllLines();
    rebuildDependencyGraphForLinesAtIndexes(shiftedIndexes);
    clearLineReferenceSnapshot();
}

// The pass

void NCLineCollection::rememberDeclarationLines() {
    m_declarationLines.clear();
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& line : m_lines)
        if (std::optional<std::u16string> name = declaredName(*line))
            m_declarationLines.emplace(line.get(), std::move(*name));
    m_declarationLinesKnown = true;
}

bool NCLineCollection::changeTouchesNoDeclaration(
    const NCLineCollectionChangedIndexes& indexes) const {
    // Insertions, removals and moves shift every later line's variable scope.
    if (!m_declarationLinesKnown || !indexes.inserted.empty() || !indexes.removed.empty() ||
        indexes.changed.count() != 1)
        return false;
    std::shared_ptr<NCLine> line = lineAtIndex(indexes.changed.firstIndex());
    if (!line) return false;
    auto declared = m_declarationLines.find(line.get());
    if (!isDeclaration(*line)) return declared == m_declarationLines.end();
    // A new value for the same name: the scopes stand, and the lines reading the variable are
    // the declaration's dependents in the graph.
    std::optional<std::u16string> name = declaredName(*line);
    return name && declared != m_declarationLines.end() && declared->second == *name;
}

bool NCLineCollection::governsLinesBefore(uint64_t index) const {
    // A line depends on the declaration governing it, and the lines above a variable's first
    // declaration are governed by it: when that declaration is at or after the index, lines
    // before the index may have to follow it, so their edges are rebuilt as well.
    if (index == 0 || index == static_cast<uint64_t>(NSNotFound)) return false;
    std::shared_ptr<NCEnvironment> environment = this->environment();
    std::shared_ptr<NCVariableList> variables = environment ? environment->variables() : nullptr;
    if (!variables) return false;
    for (const std::shared_ptr<NCVariable>& member : variables->variables()) {
        auto variable = std::dynamic_pointer_cast<NCLineCollectionVariable>(member);
        if (!variable) continue;
        bool declaredBefore = false;
        for (const std::shared_ptr<NCLine>& owner : variable->owners())
            if (owner->index() < index) declaredBefore = true;
        if (!declaredBefore) return true;
    }
    return false;
}

void NCLineCollection::processChangesRebuildingFrom(const NCLineCollectionChangedIndexes& indexes,
                                                    const NSIndexSet& textChanged,
                                                    NSIndexSet& toEvaluate) {
    // A text change of a line that neither declares nor declared a variable, or that gives the
    // variable it declares a new value, leaves the variables and every other line's edges as
    // they are: only that line is rebuilt.
    const bool narrow = changeTouchesNoDeclaration(indexes);
    uint64_t rebuildStart = indexes.rebuildStartIndex;
    if (!narrow && appendDeclarationOfDeclaredVariable(indexes)) {
        // A new last line redefining a variable: the list and every other scope stand, and no
        // variable is first declared at or after it, so the lines above keep their edges. As
        // with a narrow change, lines not parsed here are parsed when first read.
        parseLinesAtIndexes(indexes.changed);
    } else if (!narrow) {
        const bool listChanged = updateInternalVariableListWithChangesAtLineIndexes(textChanged);
        if (listChanged) unparseAllLines();
        rememberDeclarationLines();
        if (listChanged || governsLinesBefore(rebuildStart)) rebuildStart = 0;
        parseAllLines();
    } else {
        // Lines not parsed here are parsed when first read.
        parseLinesAtIndexes(indexes.changed);
    }
    // The graph still has the indexes from before the edit: a line inserted or removed moves
    // the dependents after it. The removed line's dependents (the lines its declaration
    // governed) must be answered again although no line of the new graph leads to them.
    const NSIndexSet before = indexesOfLinesDependingOnLinesAtIndexes(textChanged);
    const int64_t shift = static_cast<int64_t>(indexes.inserted.count()) -
                          static_cast<int64_t>(indexes.removed.count());
    const uint64_t movedFrom =
        std::min(indexes.inserted.firstIndex(), indexes.removed.firstIndex());
    const uint64_t countAfter = countOfLines();
    for (uint64_t index : before.indexes()) {
        if (shift && indexes.changed.count() == 1 && index >= movedFrom) {
            if (shift < 0 && index == movedFrom) continue;
            index = static_cast<uint64_t>(static_cast<int64_t>(index) + shift);
        }
        if (index < countAfter) toEvaluate.addIndex(index);
    }
    if (narrow)
        rebuildDependencyGraphForLinesAtIndexes(textChanged);
    else
        rebuildDependencyGraphForLinesOnAndAfterIndex(rebuildStart);
    notifyAboutLineReferenceChanges();
    // And the lines that depend on the edited ones through the rebuilt graph: those an
    // inserted or renamed declaration now governs.
    if (!narrow) toEvaluate.addIndexes(indexesOfLinesDependingOnLinesAtIndexes(textChanged));

    const uint64_t count = countOfLines();
    const uint64_t firstInserted = indexes.inserted.firstIndex();
    const uint64_t firstRemoved = indexes.removed.firstIndex();
    const uint64_t first = std::min(firstInserted, firstRemoved);
    if (first != static_cast<uint64_t>(NSNotFound)) {
        const int64_t excess = static_cast<int64_t>(indexes.removed.count()) -
                               static_cast<int64_t>(indexes.inserted.count());
        const uint64_t extra = excess > 0 ? static_cast<uint64_t>(excess) : 0;
        if (count + extra > first)
            toEvaluate.addIndexes(lineIndexesDirectlyDependingOnIndexesInRange(
                NSRange{first, count - first + extra}, NBFDependencyTypeQueryAbsolute));
        // A reference that now reaches no line, or its own, has no edge to be found by.
        for (const NCLine* line : m_linesWithUngraphedReferences)
            if (line->index() >= first && line->index() < count) toEvaluate.addIndex(line->index());
    }
    NSIndexSet moved = indexes.inserted;
    moved.addIndexes(indexes.removed);
    toEvaluate.addIndexes(
        lineIndexesWithDependenciesMatchingTypeMask(NBFDependencyTypeQueryRelative, moved));
}

bool NCLineCollection::declaredBefore(const NSIndexSet& indexes) const {
    for (uint64_t index : indexes.indexes())
        if (std::shared_ptr<NCLine> line = lineAtIndex(index);
            line && m_declarationLines.count(line.get()))
            return true;
    return false;
}

void NCLineCollection::processChanges() {
    // Changes registered while the pass runs (the delegate editing, say) get a round of their
    // own after it, never a pass nested inside it.
    m_processing = true;
    for (;;) {
        NCLineCollectionChangedIndexes indexes;
        {
            // The fold reads lines through the public accessors, which take the lock.
            NCLineCollectionChangeTracker changes;
            {
                std::lock_guard<std::mutex> lock(mutex);
                changes = m_changeTracker;
                m_changeTracker.reset();
            }
            changes.getChangedLineIndexesInLineCollection(*this, indexes);
        }
        NSIndexSet textChanged = indexes.changed;
        textChanged.removeIndexes(indexes.externalDependencyChanged);

        const uint64_t count = countOfLines();
        // The texts edited besides the line that came or went must not have declared either.
        NSIndexSet edited = indexes.changed;
        edited.removeIndex(indexes.shiftIndex);
        if (indexes.lineShift && !edited.empty() &&
            (!m_declarationLinesKnown || declaredBefore(edited))) {
            indexes = NCLineCollectionChangedIndexes();
            if (count) indexes.changed.addIndexesInRange(NSRange{0, count});
            indexes.rebuildStartIndex = 0;
            textChanged = indexes.changed;
        }

        NSIndexSet toEvaluate = indexes.changed;
        if (indexes.lineShift && m_declarationLinesKnown) {
            // One line that declares nothing came or went: the declarations stand, and the
            // lines after it only moved. The variables' scopes and the graph's nodes follow
            // them; only the lines whose references now reach other lines, and the edited
            // ones, are rebuilt, and evaluated with the line at the index.
            const uint64_t at = indexes.shiftIndex;
            shiftLineVariables(at, indexes.lineShift);
            NSIndexSet rebuild = shiftDependencyGraph(at, indexes.lineShift);
            toEvaluate.addIndexes(rebuild);
            rebuild.addIndexes(indexes.changed);
            parseLinesAtIndexes(indexes.changed);
            rebuildDependencyGraphForLinesAtIndexes(rebuild);
            notifyAboutLineReferenceChanges();
        } else {
            processChangesRebuildingFrom(indexes, textChanged, toEvaluate);
        }

        const NSIndexSet evaluated = evaluateLinesAtIndexes(toEvaluate);
        if (m_delegate) {
            NSIndexSet implicit = evaluated;
            implicit.removeIndexes(textChanged);
            notifyDelegateOfEvaluationOfLines(evaluated, implicit);
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (m_changeTracker.changes().empty()) break;
    }
    m_processing = false;
}
