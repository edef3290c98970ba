// A variable declared by lines of a document. Each declaring line (owner) governs the lines
// from its own index up to the next owner; the first governs from the top. Its value differs
// by line accordingly.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_VARIABLE_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_VARIABLE_H

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "NBFIndexRangeMap.h"
#include "NCLine.h"
#include "NCVariable.h"
#include "NCVariableValue.h"

class NCLineCollectionVariable : public NCVariable {
  public:
    // Owned by the line for every index.
    NCLineCollectionVariable(const std::u16string& name, const std::shared_ptr<NCLine>& line);
    ~NCLineCollectionVariable() override;

    // Later ranges override earlier ones where they overlap. Owners are not kept alive: lines
    // belong to their collection, whose environment holds this variable.
    void addOwnerLine(const std::shared_ptr<NCLine>& line, NBFRange range);
    void removeAllOwnerLines();
    void beginBatchOwnerLinesChange();
    // Drops the values of lines that no longer own the variable; when owners left, came or
    // moved, every owner's stored value is applied again over its current range.
    void endBatchOwnerLineChange();

    // A line that declares nothing inserted (delta 1) or removed (delta -1) at the index: the
    // owners after it and their values move with their lines.
    void shiftLineIndexes(uint64_t index, int32_t delta);

    // The first range the line governs; location NSNotFound-like (-1) and length 0 when none.
    NBFRange indexRangeForOwnerLine(const NCLine* line) const;
    void setValueResult(const NCResult& result, int32_t precision,
                        const std::shared_ptr<NCLine>& line);
    // Before an owner is evaluated: when the line it reads its variables in is one it governs
    // itself (the first declaration reads the lines above it), its own earlier value is taken
    // away there, so that "t = t + 1" on it does not count up with every evaluation.
    void clearValueReadByOwnerLine(const NCLine& line);
    std::optional<std::u16string> localizedValueForLineAtIndex(uint64_t index) const {
        return localizedValueFromDelocalizedValue(delocalizedValueForLineAtIndex(index));
    }
    std::optional<std::u16string> valueForLineAtIndex(uint64_t index) const {
        return localizedValueForLineAtIndex(index);
    }
    size_t countOfOwnerLines() const { return ownerLinesByID.size(); }
    bool isOwnerLine(const NCLine* line) const;
    // The owners still alive, in no particular order.
    std::vector<std::shared_ptr<NCLine>> owners() const;
    std::shared_ptr<NCLine> line() const { return m_line.lock(); }
    void setLine(const std::shared_ptr<NCLine>& line) { m_line = line; }

  private:
    void setValueResult(const NCVariableValue& value, NBFRange range);

    std::map<std::u16string, std::weak_ptr<NCLine>> ownerLinesByID;
    NBFIndexRangeMapRef ownerLinesByLineIndexRange;  // values: NCLine*
    std::map<std::u16string, std::shared_ptr<NCVariableValue>> valueResultsByOwnerLineID;
    std::map<std::u16string, NBFRange> previousOwnerLines;
    std::weak_ptr<NCLine> m_line;
};

#endif
