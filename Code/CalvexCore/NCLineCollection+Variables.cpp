// The collection's line variables: each declared name becomes a variable of the document's own
// list, owned by the lines that declare it, and leaves the list when no line declares it.
#include <algorithm>
#include <set>
#include <unordered_map>

#include "NCLineCollection.h"
#include "NCLineCollectionVariable.h"
#include "NCLineExpression.h"

namespace {

// The document's own list; without an environment of its own the collection has no line
// variables, so none leak into the process's list.
std::shared_ptr<NCVariableList> documentVariables(const NCLineCollection& collection) {
    std::shared_ptr<NCEnvironment> environment = collection.environment();
    return environment ? environment->variables() : nullptr;
}

std::optional<std::u16string> declaredName(const NCLine& line) {
    if (line.lineType() != NCLineExpressionTypeVariableDeclaration) return std::nullopt;
    std::shared_ptr<NCLineVariableDeclaration> declaration = line.variableDeclaration();
    if (!declaration || !declaration->name() || declaration->name()->empty()) return std::nullopt;
    return declaration->name();
}

int32_t scopeLocation(uint64_t index) {
    return static_cast<int32_t>(std::min<uint64_t>(index, NBFRangeLengthMax - 1));
}

}  // namespace

std::vector<std::shared_ptr<NCLine>> NCLineCollection::linesDeclaringVariableWithName(
    const std::u16string& name) const {
    std::vector<std::shared_ptr<NCLine>> lines;
    const uint64_t count = countOfLines();
    for (uint64_t index = 0; index < count; ++index) {
        std::shared_ptr<NCLine> line = lineAtIndex(index);
        if (!line) continue;
        std::optional<std::u16string> declared = declaredName(*line);
        if (declared && *declared == name) lines.push_back(std::move(line));
    }
    return lines;
}

namespace {

// Every declared name with its declaring lines in order, from one walk over the lines: asking
// line by line for each variable would walk the document once per variable.
std::unordered_map<std::u16string, std::vector<std::shared_ptr<NCLine>>> declaringLinesByName(
    const NCLineCollection& collection) {
    std::unordered_map<std::u16string, std::vector<std::shared_ptr<NCLine>>> byName;
    for (const std::shared_ptr<NCLine>& line : collection.lines())
        if (std::optional<std::u16string> declared = line ? declaredName(*line) : std::nullopt)
            byName[*declared].push_back(line);
    return byName;
}

void setOwners(NCLineCollectionVariable& variable,
               const std::vector<std::shared_ptr<NCLine>>& owners) {
    variable.beginBatchOwnerLinesChange();
    variable.removeAllOwnerLines();
    // Later ranges override: the first declaration governs from the top, each later one from
    // its own line on.
    for (size_t i = 0; i < owners.size(); ++i) {
        const int32_t location = i == 0 ? 0 : scopeLocation(owners[i]->index());
        variable.addOwnerLine(owners[i], NBFRangeMake(location, NBFRangeLengthMax));
    }
    variable.endBatchOwnerLineChange();
}

const std::vector<std::shared_ptr<NCLine>>& ownersIn(
    const std::unordered_map<std::u16string, std::vector<std::shared_ptr<NCLine>>>& byName,
    const NCLineCollectionVariable& variable) {
    static const std::vector<std::shared_ptr<NCLine>> none;
    std::optional<std::u16string> name = variable.name();
    if (!name) return none;
    auto found = byName.find(*name);
    return found == byName.end() ? none : found->second;
}

}  // namespace

void NCLineCollection::updateLineCollectionVariableOwnership(NCLineCollectionVariable& variable) {
    std::vector<std::shared_ptr<NCLine>> owners;
    if (std::optional<std::u16string> name = variable.name())
        owners = linesDeclaringVariableWithName(*name);
    setOwners(variable, owners);
}

void NCLineCollection::removeVariableIfNeeded(
    const std::shared_ptr<NCLineCollectionVariable>& variable) {
    if (!variable || variable->countOfOwnerLines() > 0) return;
    if (std::shared_ptr<NCVariableList> variables = documentVariables(*this))
        variables->removeVariable(variable);
}

std::shared_ptr<NCLineCollectionVariable> NCLineCollection::lineCollectionVariableWithName(
    const std::u16string& name, bool exactCase) const {
    std::shared_ptr<NCVariableList> variables = documentVariables(*this);
    if (!variables) return nullptr;
    std::shared_ptr<NCVariable> variable =
        exactCase ? variables->variableWithExactCaseName(name) : variables->variableWithName(name);
    return std::dynamic_pointer_cast<NCLineCollectionVariable>(variable);
}

bool NCLineCollection::updateInternalVariableListWithChangesAtLineIndexes(
    const NSIndexSet& indexes) {
    std::shared_ptr<NCVariableList> variables = documentVariables(*this);
    if (!variables) return false;
    bool listChanged = false;
    std::set<std::u16string> knownNames;
    std::vector<std::shared_ptr<NCLineCollectionVariable>> removals;
    const auto byName = declaringLinesByName(*this);
    for (const std::shared_ptr<NCVariable>& member : variables->variables()) {
        auto variable = std::dynamic_pointer_cast<NCLineCollectionVariable>(member);
        if (!variable) continue;
        setOwners(*variable, ownersIn(byName, *variable));
        if (variable->countOfOwnerLines() == 0) {
            removals.push_back(variable);
            listChanged = true;
        }
        if (std::optional<std::u16string> name = variable->name()) knownNames.insert(*name);
    }
    for (const auto& variable : removals) removeVariableIfNeeded(variable);

    for (uint64_t index : indexes.indexes()) {
        std::shared_ptr<NCLine> line = lineAtIndex(index);
        std::optional<std::u16string> name = line ? declaredName(*line) : std::nullopt;
        if (!name || knownNames.count(*name)) continue;
        auto variable = std::make_shared<NCLineCollectionVariable>(*name, nullptr);
        setOwners(*variable, ownersIn(byName, *variable));
        variables->addVariable(variable);
        knownNames.insert(*name);
        listChanged = true;
    }
    return listChanged;
}

bool NCLineCollection::appendDeclarationOfDeclaredVariable(
    const NCLineCollectionChangedIndexes& indexes) {
    const uint64_t count = countOfLines();
    if (!m_declarationLinesKnown || count < 2 || indexes.inserted.count() != 1 ||
        !indexes.removed.empty() || indexes.changed.count() != 1 ||
        !indexes.externalDependencyChanged.empty() || indexes.inserted.firstIndex() != count - 1 ||
        indexes.changed.firstIndex() != count - 1)
        return false;
    std::shared_ptr<NCLine> line = lineAtIndex(count - 1);
    std::optional<std::u16string> name = line ? declaredName(*line) : std::nullopt;
    if (!name || m_declarationLines.count(line.get())) return false;
    std::shared_ptr<NCLineCollectionVariable> variable;
    if (std::shared_ptr<NCVariableList> variables = documentVariables(*this))
        for (const std::shared_ptr<NCVariable>& member : variables->variables())
            if (auto candidate = std::dynamic_pointer_cast<NCLineCollectionVariable>(member);
                candidate && candidate->name() == name)
                variable = candidate;
    if (!variable) return false;
    // The owners must be this collection's lines where they stand, all before the new one, as
    // a walk over the lines would find them; anything else is left to that walk.
    std::vector<std::shared_ptr<NCLine>> owners = variable->owners();
    if (owners.empty()) return false;
    for (const std::shared_ptr<NCLine>& owner : owners)
        if (owner->index() >= count - 1 || lineAtIndex(owner->index()) != owner ||
            declaredName(*owner) != name)
            return false;
    std::sort(owners.begin(), owners.end(),
              [](const std::shared_ptr<NCLine>& a, const std::shared_ptr<NCLine>& b) {
                  return a->index() < b->index();
              });
    owners.push_back(line);
    setOwners(*variable, owners);
    m_declarationLines.emplace(line.get(), std::move(*name));
    return true;
}

void NCLineCollection::shiftLineVariables(uint64_t index, int32_t delta) {
    std::shared_ptr<NCVariableList> variables = documentVariables(*this);
    if (!variables) return;
    for (const std::shared_ptr<NCVariable>& member : variables->variables())
        if (auto variable = std::dynamic_pointer_cast<NCLineCollectionVariable>(member))
            variable->shiftLineIndexes(index, delta);
}
