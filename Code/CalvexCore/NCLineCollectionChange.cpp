#include "NCLineCollectionChange.h"

#include <algorithm>

#include "NCLineCollection.h"

namespace {

bool isDeclarationAt(const NCLineCollection& lines, int64_t index) {
    if (index < 0) return false;
    std::shared_ptr<NCLine> line = lines.lineAtIndex(static_cast<uint64_t>(index));
    return line && line->lineType() == NCLineExpressionTypeVariableDeclaration;
}

}  // namespace

void NCLineCollectionChangeTracker::getChangedLineIndexesInLineCollection(
    const NCLineCollection& lines, NCLineCollectionChangedIndexes& out) const {
    bool full = false;
    if (m_changes.size() == 1) {
        const NCLineCollectionChange& change = m_changes.front();
        const int64_t source = change.sourceLineIndex();
        const uint64_t at = static_cast<uint64_t>(source < 0 ? 0 : source);
        switch (change.type()) {
            case NCLineCollectionChangeTypeRemoval:
                out.changed.addIndex(at);
                out.removed.addIndex(at);
                out.rebuildStartIndex = at;
                // The line that followed the removed one now stands at its index.
                full = isDeclarationAt(lines, source);
                if (!full) out.lineShift = -1;
                out.shiftIndex = at;
                break;
            case NCLineCollectionChangeTypeInsertion:
                out.changed.addIndex(at);
                out.inserted.addIndex(at);
                out.rebuildStartIndex = at;
                full = isDeclarationAt(lines, source);
                if (!full) out.lineShift = 1;
                out.shiftIndex = at;
                break;
            case NCLineCollectionChangeTypeMove: {
                const int64_t destination = change.destinationLineIndex();
                const uint64_t to = static_cast<uint64_t>(destination < 0 ? 0 : destination);
                out.changed.addIndex(at);
                out.changed.addIndex(to);
                out.removed.addIndex(at);
                out.inserted.addIndex(to);
                out.rebuildStartIndex = std::min(at, to);
                break;
            }
            case NCLineCollectionChangeTypeExternalDependency:
                out.externalDependencyChanged.addIndex(at);
                [[fallthrough]];
            case NCLineCollectionChangeTypeExpression:
                out.changed.addIndex(at);
                out.rebuildStartIndex = at;
                full = isDeclarationAt(lines, source);
                break;
            case NCLineCollectionChangeTypeRemoveAll:
                full = true;
                break;
            default:
                break;
        }
    } else if (m_changes.size() > 1 && foldEditsAroundOneShift(lines, out)) {
        return;
    } else if (m_changes.size() > 1) {
        const uint64_t count = lines.countOfLines();
        if (count) out.changed.addIndexesInRange(NSRange{0, count});
        full = true;
    }
    // A declaration inserted, removed or edited rebuilds only from its own line: the change
    // pass reaches further up itself when the lines above were governed by it.
    if (full &&
        (m_changes.size() != 1 || m_changes.front().type() == NCLineCollectionChangeTypeRemoveAll))
        out.rebuildStartIndex = 0;
}

bool NCLineCollectionChangeTracker::foldEditsAroundOneShift(
    const NCLineCollection& lines, NCLineCollectionChangedIndexes& out) const {
    std::vector<uint64_t> edited;  // by the indexes the lines stand at after every change
    std::optional<uint64_t> shiftAt;
    int32_t delta = 0;
    for (const NCLineCollectionChange& change : m_changes) {
        if (change.sourceLineIndex() < 0) return false;
        const uint64_t at = static_cast<uint64_t>(change.sourceLineIndex());
        switch (change.type()) {
            case NCLineCollectionChangeTypeExpression:
                if (std::find(edited.begin(), edited.end(), at) == edited.end())
                    edited.push_back(at);
                break;
            case NCLineCollectionChangeTypeInsertion:
                if (shiftAt) return false;
                shiftAt = at;
                delta = 1;
                for (uint64_t& index : edited)
                    if (index >= at) ++index;
                break;
            case NCLineCollectionChangeTypeRemoval:
                if (shiftAt) return false;
                shiftAt = at;
                delta = -1;
                std::erase(edited, at);
                for (uint64_t& index : edited)
                    if (index > at) --index;
                break;
            default:
                return false;
        }
    }
    if (!shiftAt) return false;
    const uint64_t count = lines.countOfLines();
    // A line that declares now changes the variables of the lines after it: that is the
    // whole pass's work. Whether an edited line declared before is the pass's to check.
    if (delta > 0 && isDeclarationAt(lines, static_cast<int64_t>(*shiftAt))) return false;
    for (uint64_t index : edited)
        if (index >= count || isDeclarationAt(lines, static_cast<int64_t>(index))) return false;
    for (uint64_t index : edited) out.changed.addIndex(index);
    if (*shiftAt < count) out.changed.addIndex(*shiftAt);
    (delta > 0 ? out.inserted : out.removed).addIndex(*shiftAt);
    out.rebuildStartIndex = std::min<uint64_t>(*shiftAt, out.changed.firstIndex());
    out.lineShift = delta;
    out.shiftIndex = *shiftAt;
    return true;
}

std::optional<std::u16string> NCLineReferencesSnapshot::identifierForLineReference(
    const std::u16string& key) const {
    auto found = identifiers.find(key);
    if (found == identifiers.end()) return std::nullopt;
    return found->second;
}

std::optional<uint64_t> NCLineReferencesSnapshot::lineIndexForLineReference(
    const std::u16string& key) const {
    auto found = indexes.find(key);
    if (found == indexes.end()) return std::nullopt;
    return found->second;
}
