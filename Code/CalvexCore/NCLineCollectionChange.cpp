#include "NCLineCollectionChange.h"

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
                break;
            case NCLineCollectionChangeTypeInsertion:
                out.changed.addIndex(at);
                out.inserted.addIndex(at);
                out.rebuildStartIndex = at;
                full = isDeclarationAt(lines, source);
                if (!full) out.lineShift = 1;
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
    } else if (m_changes.size() > 1) {
        const uint64_t count = lines.countOfLines();
        if (count) out.changed.addIndexesInRange(NSRange{0, count});
        full = true;
    }
    if (full) out.rebuildStartIndex = 0;
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
