#include "NCLineCollection.h"

#include <cstdio>
#include <limits>

#include "Diagnostics.h"
#include "NCLineEvaluator.h"

namespace {

// Warnings are written only at level 3 or more.
int NCWarnLogLevel = 2;

template <typename... Args>
void warn(const char* format, Args... args) {
    if (NCWarnLogLevel >= 3) Diagnostics::errorf(format, args...);
}

std::shared_ptr<NCEnvironment> environmentOver(const std::shared_ptr<NCEnvironment>& parent) {
    auto variables = std::make_shared<NCVariableList>();
    auto environment = std::make_shared<NCEnvironment>();
    if (parent) {
        variables->setParentList(parent->variables());
        environment->setWordOperators(parent->wordOperators());
        environment->setUnitManager(parent->unitManager());
        environment->setFunctions(parent->functions());
    }
    environment->setVariables(variables);
    return environment;
}

}  // namespace

NCLineCollection::NCLineCollection() {
    // Without a current environment the collection reads the current one when it evaluates.
    if (std::shared_ptr<NCEnvironment> current = NCEnvironment::current())
        m_environment = environmentOver(current);
}

NCLineCollection::NCLineCollection(const std::shared_ptr<NCEnvironment>& parentEnvironment)
    : m_environment(environmentOver(parentEnvironment)) {}

NCLineCollection::~NCLineCollection() {
    // Lines may outlive the collection: none may keep a link to it.
    m_delegate = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& line : m_lines) line->_setLineCollection(nullptr);
}

std::shared_ptr<NCEnvironment> NCLineCollection::environment() const {
    std::lock_guard<std::mutex> lock(mutex);
    return m_environment;
}

void NCLineCollection::setEnvironment(std::shared_ptr<NCEnvironment> environment) {
    std::lock_guard<std::mutex> lock(mutex);
    m_environment = std::move(environment);
}

std::shared_ptr<NCVariableList> NCLineCollection::variables() const {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    return environment ? environment->variables() : nullptr;
}

char16_t NCLineCollection::decimalPlaceCharacter() const {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    return (environment ? environment->locale() : kNCSimpleLocalDefault).decimalPointChar;
}

char16_t NCLineCollection::thousandsSeparatorCharacter() const {
    std::shared_ptr<NCEnvironment> environment = this->environment();
    return (environment ? environment->locale() : kNCSimpleLocalDefault).groupingChar;
}

void NCLineCollection::setTrigonometryMode(NCTrigonometryMode mode) {
    if (mode == m_trigonometryMode) return;
    m_trigonometryMode = mode;
    for (const auto& line : lines()) {
        if (line->isTrigonometryModeSet())
            line->setTrigonometryMode(mode);
        else
            line->invalidateResult();
    }
}

// Reading

uint64_t NCLineCollection::countOfLines() const {
    std::lock_guard<std::mutex> lock(mutex);
    return m_lines.size();
}

std::shared_ptr<NCLine> NCLineCollection::lineAtIndex(uint64_t index) const {
    std::lock_guard<std::mutex> lock(mutex);
    if (index < m_lines.size()) return m_lines[index];
    warn("Warning: asking for line for index out of range (%u)", static_cast<unsigned>(index));
    return nullptr;
}

uint64_t NCLineCollection::indexOfLine(const NCLine* line) const {
    if (!line) {
        warn("Warning: asking for index of nil line");
        return std::numeric_limits<uint64_t>::max();
    }
    return line->index();
}

bool NCLineCollection::containsLine(NCLine& line) const {
    const std::u16string& identifier = line.uniqueIdentifier();
    std::lock_guard<std::mutex> lock(mutex);
    return m_lineIDSet.count(identifier) != 0;
}

std::shared_ptr<NCLine> NCLineCollection::lineWithIdentifier(
    const std::u16string& identifier) const {
    std::lock_guard<std::mutex> lock(mutex);
    auto found = m_linesByIdentifier.find(identifier);
    return found == m_linesByIdentifier.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<NCLine>> NCLineCollection::lines() const {
    std::lock_guard<std::mutex> lock(mutex);
    return m_lines;
}

// Editing

void NCLineCollection::prepareLine(NCLine& line, uint64_t index) {
    line._setIndex(index);
    if (m_defaultFormattingOptions) line.setCustomFormattingOptions(m_defaultFormattingOptions);
    if (std::shared_ptr<NCEnvironment> environment = this->environment())
        line.setLocale(environment->locale());
    // A line without a mode of its own follows the collection's through its link.
    line._setLineCollection(this);
}

void NCLineCollection::resetLineIndexesLocked(uint64_t start) {
    for (uint64_t i = start; i < m_lines.size(); ++i) m_lines[i]->_setIndex(i);
}

void NCLineCollection::resetLineIndexesStartingAt(uint64_t start) {
    std::lock_guard<std::mutex> lock(mutex);
    resetLineIndexesLocked(start);
}

void NCLineCollection::addLine(std::shared_ptr<NCLine> line) {
    if (!line) {
        warn("Warning: trying to add nil line");
        return;
    }
    const uint64_t index = countOfLines();
    prepareLine(*line, index);
    registerPreChange(NCLineCollectionChangeTypeInsertion, static_cast<int64_t>(index));
    const std::u16string& identifier = line->uniqueIdentifier();
    {
        std::lock_guard<std::mutex> lock(mutex);
        m_lines.push_back(line);
        m_lineIDSet.insert(identifier);
        m_linesByIdentifier[identifier] = line;
    }
    registerChange(NCLineCollectionChangeTypeInsertion, static_cast<int64_t>(line->index()));
}

void NCLineCollection::insertLine(std::shared_ptr<NCLine> line, uint64_t index) {
    if (!line) {
        warn("Warning: trying to insert nil line");
        return;
    }
    const uint64_t count = countOfLines();
    if (index == count) return addLine(std::move(line));
    if (index > count) {
        warn("Warning: insert index (%u) out of range", static_cast<unsigned>(index));
        return;
    }
    registerPreChange(NCLineCollectionChangeTypeInsertion, static_cast<int64_t>(index));
    prepareLine(*line, index);
    const std::u16string& identifier = line->uniqueIdentifier();
    {
        std::lock_guard<std::mutex> lock(mutex);
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), line);
        m_lineIDSet.insert(identifier);
        m_linesByIdentifier[identifier] = line;
        resetLineIndexesLocked(index + 1);
    }
    registerChange(NCLineCollectionChangeTypeInsertion, static_cast<int64_t>(index));
}

void NCLineCollection::removeLineAtIndex(uint64_t index) {
    if (index == static_cast<uint64_t>(NSNotFound) || index >= countOfLines()) {
        warn("Warning: trying to remove line not in line collection.");
        return;
    }
    registerPreChange(NCLineCollectionChangeTypeRemoval, static_cast<int64_t>(index));
    std::shared_ptr<NCLine> removed;
    {
        std::lock_guard<std::mutex> lock(mutex);
        removed = std::move(m_lines[index]);
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(index));
        const std::u16string& identifier = removed->uniqueIdentifier();
        m_linesByIdentifier.erase(identifier);
        m_lineIDSet.erase(identifier);
        resetLineIndexesLocked(index);
    }
    // A removed line held elsewhere must not reach back into this collection.
    removed->_setLineCollection(nullptr);
    if (m_declarationLines.count(removed.get())) m_declarationLinesKnown = false;
    m_linesWithUngraphedReferences.erase(removed.get());
    registerChange(NCLineCollectionChangeTypeRemoval, static_cast<int64_t>(index));
}

void NCLineCollection::removeLine(const NCLine* line) {
    if (!line) return;
    std::vector<std::shared_ptr<NCLine>> all = lines();
    for (uint64_t i = 0; i < all.size(); ++i)
        if (all[i]->isEqual(line)) return removeLineAtIndex(i);
}

void NCLineCollection::removeAllLines() {
    registerPreChange(NCLineCollectionChangeTypeRemoveAll, 0);
    std::vector<std::shared_ptr<NCLine>> removed;
    {
        std::lock_guard<std::mutex> lock(mutex);
        removed.swap(m_lines);
        m_lineIDSet.clear();
        m_linesByIdentifier.clear();
    }
    if (std::shared_ptr<NCVariableList> list = variables()) list->removeAllVariables();
    for (const auto& line : removed) line->_setLineCollection(nullptr);
    m_declarationLines.clear();
    m_declarationLinesKnown = false;
    m_linesWithUngraphedReferences.clear();
    registerChange(NCLineCollectionChangeTypeRemoveAll, 0);
}

void NCLineCollection::moveLineAtIndex(uint64_t from, uint64_t to) {
    if (from == to) {
        warn("Warning: no-op line move (%u -> %u)", static_cast<unsigned>(from),
             static_cast<unsigned>(to));
        return;
    }
    const uint64_t count = countOfLines();
    if (from >= count || to >= count) {
        warn("Warning: move indexes out of range. (%u -> %u)", static_cast<unsigned>(from),
             static_cast<unsigned>(to));
        return;
    }
    registerPreChange(NCLineCollectionChangeTypeMove, static_cast<int64_t>(from));
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::shared_ptr<NCLine> line = std::move(m_lines[from]);
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(from));
        line->_setIndex(to);
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(to), std::move(line));
        resetLineIndexesLocked(to > from ? from : to + 1);
    }
    m_declarationLinesKnown = false;
    registerChange(NCLineCollectionChange::changeOfType(
        NCLineCollectionChangeTypeMove, static_cast<int64_t>(from), static_cast<int64_t>(to)));
}

// Registration

void NCLineCollection::registerPreChange(NCLineCollectionChangeType type, int64_t) {
    if (!m_enableChangeProcessing || m_batchUpdating) return;
    if (type == NCLineCollectionChangeTypeRemoval || type == NCLineCollectionChangeTypeInsertion ||
        type == NCLineCollectionChangeTypeMove)
        takeLineReferenceSnapshot();
}

void NCLineCollection::registerChange(const NCLineCollectionChange& change) {
    if (!m_enableChangeProcessing) return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        m_changeTracker.registerChange(change);
    }
    // A change made while a pass runs (by the delegate, say) is picked up by the pass's
    // follow-up round instead of nesting a pass inside it.
    if (!m_batchUpdating && !m_processing) processChanges();
}

void NCLineCollection::registerChange(NCLineCollectionChangeType type, int64_t index) {
    registerChange(index < 0 ? NCLineCollectionChange::changeOfType(type)
                             : NCLineCollectionChange::changeOfType(type, index));
}

void NCLineCollection::registerExpressionChangeForLineAtIndex(uint64_t index) {
    registerChange(NCLineCollectionChangeTypeExpression, static_cast<int64_t>(index));
}

void NCLineCollection::enqueEvaluationOfLine(NCLine& line) {
    if (m_processing) {
        // Asked for an answer in the middle of a pass: give it now rather than after the pass.
        std::shared_ptr<NCLine> held = lineAtIndex(line.index());
        if (held.get() == &line) evaluateLine(held);
        return;
    }
    registerExpressionChangeForLineAtIndex(line.index());
}

void NCLineCollection::beginBatchUpdate() {
    takeLineReferenceSnapshot();
    m_batchUpdating = true;
}

void NCLineCollection::endBatchUpdate() {
    m_batchUpdating = false;
    processChanges();
}
