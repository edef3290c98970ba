// Edits of a document as the change pass sees them: each edit is recorded as one change, and
// the recorded changes are folded into the sets of lines the pass must look at.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_CHANGE_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_CHANGE_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "NSIndexSet.h"

class NCLineCollection;

typedef int32_t NCLineCollectionChangeType;
enum : NCLineCollectionChangeType {
    NCLineCollectionChangeTypeRemoval = 1,
    NCLineCollectionChangeTypeInsertion = 2,
    NCLineCollectionChangeTypeMove = 3,
    NCLineCollectionChangeTypeExpression = 4,
    NCLineCollectionChangeTypeExternalDependency = 5,
    NCLineCollectionChangeTypeRemoveAll = 6,
};

class NCLineCollectionChange {
  public:
    NCLineCollectionChange() = default;
    NCLineCollectionChange(NCLineCollectionChangeType type, int64_t source, int64_t destination)
        : m_type(type), m_sourceLineIndex(source), m_destinationLineIndex(destination) {}
    static NCLineCollectionChange changeOfType(NCLineCollectionChangeType type, int64_t index = 0) {
        return NCLineCollectionChange(type, index, 0);
    }
    static NCLineCollectionChange changeOfType(NCLineCollectionChangeType type, int64_t source,
                                               int64_t destination) {
        return NCLineCollectionChange(type, source, destination);
    }

    NCLineCollectionChangeType type() const { return m_type; }
    int64_t sourceLineIndex() const { return m_sourceLineIndex; }
    int64_t destinationLineIndex() const { return m_destinationLineIndex; }
    void setDestinationLineIndex(int64_t index) { m_destinationLineIndex = index; }

  private:
    NCLineCollectionChangeType m_type = 0;
    int64_t m_sourceLineIndex = 0;
    int64_t m_destinationLineIndex = 0;
};

// The lines a pass must look at, folded from the recorded changes.
struct NCLineCollectionChangedIndexes {
    NSIndexSet changed;
    NSIndexSet removed;
    NSIndexSet inserted;
    NSIndexSet externalDependencyChanged;
    uint64_t rebuildStartIndex = static_cast<uint64_t>(NSNotFound);
    // 1 or -1 when one line that declares nothing was inserted or removed at shiftIndex, and
    // any other change only edited the text of lines that declare nothing: the lines after it
    // only moved.
    int32_t lineShift = 0;
    uint64_t shiftIndex = static_cast<uint64_t>(NSNotFound);
};

class NCLineCollectionChangeTracker {
  public:
    void registerChange(const NCLineCollectionChange& change) { m_changes.push_back(change); }
    const std::vector<NCLineCollectionChange>& changes() const { return m_changes; }
    // One change names its lines, and so do edits of texts around one inserted or removed
    // line (a new line typed in the middle of another); other mixes treat every line as
    // changed and rebuild all.
    void getChangedLineIndexesInLineCollection(const NCLineCollection& lines,
                                               NCLineCollectionChangedIndexes& indexes) const;
    void reset() { m_changes.clear(); }

  private:
    bool foldEditsAroundOneShift(const NCLineCollection& lines,
                                 NCLineCollectionChangedIndexes& indexes) const;

    std::vector<NCLineCollectionChange> m_changes;
};

// Where the line references of one line pointed before an edit, by reference key.
class NCLineReferencesSnapshot {
  public:
    explicit NCLineReferencesSnapshot(uint64_t index = 0) : m_index(index) {}
    static NCLineReferencesSnapshot snapshotForLineAtIndex(uint64_t index) {
        return NCLineReferencesSnapshot(index);
    }
    void addIdentifier(const std::u16string& identifier, uint64_t lineIndex,
                       const std::u16string& reference) {
        identifiers[reference] = identifier;
        indexes[reference] = lineIndex;
    }
    std::optional<std::u16string> identifierForLineReference(const std::u16string& key) const;
    std::optional<uint64_t> lineIndexForLineReference(const std::u16string& key) const;
    uint64_t lineIndex() const { return m_index; }

  private:
    std::map<std::u16string, std::u16string> identifiers;
    std::map<std::u16string, uint64_t> indexes;
    uint64_t m_index;
};

#endif
