#include "NCLineCollectionVariable.h"

namespace {

bool sameRange(NBFRange a, NBFRange b) { return a.location == b.location && a.length == b.length; }

}  // namespace

NCLineCollectionVariable::NCLineCollectionVariable(const std::u16string& name,
                                                   const std::shared_ptr<NCLine>& line)
    : NCVariable(name, nullptr),
      ownerLinesByLineIndexRange(NBFIndexRangeMapCreate()),
      m_line(line) {
    addOwnerLine(line, NBFRangeMake(0, NBFRangeLengthMax));
}

NCLineCollectionVariable::~NCLineCollectionVariable() {
    NBFIndexRangeMapRelease(ownerLinesByLineIndexRange);
}

void NCLineCollectionVariable::addOwnerLine(const std::shared_ptr<NCLine>& line, NBFRange range) {
    if (!line) return;
    ownerLinesByID[line->uniqueIdentifier()] = line;
    NBFIndexRangeMapSetValueForRange(ownerLinesByLineIndexRange, line.get(), range);
}

void NCLineCollectionVariable::removeAllOwnerLines() {
    ownerLinesByID.clear();
    NBFIndexRangeMapClear(ownerLinesByLineIndexRange);
}

void NCLineCollectionVariable::beginBatchOwnerLinesChange() {
    previousOwnerLines.clear();
    for (const auto& [identifier, owner] : ownerLinesByID)
        if (std::shared_ptr<NCLine> line = owner.lock())
            previousOwnerLines[identifier] = indexRangeForOwnerLine(line.get());
}

void NCLineCollectionVariable::endBatchOwnerLineChange() {
    bool changed = false;
    for (auto it = valueResultsByOwnerLineID.begin(); it != valueResultsByOwnerLineID.end();) {
        if (ownerLinesByID.count(it->first)) {
            ++it;
        } else {
            it = valueResultsByOwnerLineID.erase(it);
            changed = true;
        }
    }
    // An owner that moved (a line inserted or removed above it) governs other indexes now,
    // though the owners are the same lines.
    for (const auto& [identifier, owner] : ownerLinesByID) {
        auto previous = previousOwnerLines.find(identifier);
        std::shared_ptr<NCLine> line = owner.lock();
        if (previous == previousOwnerLines.end() ||
            (line && !sameRange(previous->second, indexRangeForOwnerLine(line.get()))))
            changed = true;
    }
    previousOwnerLines.clear();
    if (!changed) return;
    for (const auto& [identifier, owner] : ownerLinesByID) {
        std::shared_ptr<NCLine> line = owner.lock();
        if (!line) continue;
        const NBFRange range = indexRangeForOwnerLine(line.get());
        auto value = valueResultsByOwnerLineID.find(identifier);
        if (value != valueResultsByOwnerLineID.end())
            setValueResult(*value->second, range);
        else if (range.location >= 0 && range.length > 0)
            // Not answered yet: whatever another owner left over this range is not its value.
            setDelocalizedValue(std::nullopt, resultFlags(), unit(), range);
    }
}

void NCLineCollectionVariable::shiftLineIndexes(uint64_t index, int32_t delta) {
    if (index >= static_cast<uint64_t>(NBFRangeLengthMax)) return;
    NBFIndexRangeMapShiftIndexes(ownerLinesByLineIndexRange, static_cast<int32_t>(index), delta);
    shiftScopeIndexes(index, delta);
}

NBFRange NCLineCollectionVariable::indexRangeForOwnerLine(const NCLine* line) const {
    NBFRange range = NBFRangeMake(-1, 0);
    if (NBFIndexRangeMapFindRangesForValue(ownerLinesByLineIndexRange, const_cast<NCLine*>(line),
                                           &range, 1) < 1)
        return NBFRangeMake(-1, 0);
    return range;
}

bool NCLineCollectionVariable::isOwnerLine(const NCLine* line) const {
    if (!line) return false;
    for (const auto& entry : ownerLinesByID)
        if (entry.second.lock().get() == line) return true;
    return false;
}

std::vector<std::shared_ptr<NCLine>> NCLineCollectionVariable::owners() const {
    std::vector<std::shared_ptr<NCLine>> lines;
    for (const auto& entry : ownerLinesByID)
        if (std::shared_ptr<NCLine> line = entry.second.lock()) lines.push_back(std::move(line));
    return lines;
}

void NCLineCollectionVariable::setValueResult(const NCResult& result, int32_t precision,
                                              const std::shared_ptr<NCLine>& line) {
    if (!line) return;
    auto value = NCVariableValue::ofResult(result, precision);
    valueResultsByOwnerLineID[line->uniqueIdentifier()] = value;
    setValueResult(*value, indexRangeForOwnerLine(line.get()));
}

void NCLineCollectionVariable::setValueResult(const NCVariableValue& value, NBFRange range) {
    if (range.location < 0 || range.length <= 0) return;
    if (value.errorType() != NCResultErrorTypeNone)
        setErrorValue(value.errorType(), range);
    else
        setDelocalizedValue(value.value(), value.flags(), value.unit(), range);
}

void NCLineCollectionVariable::clearValueReadByOwnerLine(const NCLine& line) {
    const NBFRange range = indexRangeForOwnerLine(&line);
    const uint64_t scope = line.variableScopeIndex();
    if (range.location < 0 || range.length <= 0 || scope < static_cast<uint64_t>(range.location) ||
        scope >= static_cast<uint64_t>(NBFRangeEnd(range)))
        return;
    setDelocalizedValue(std::nullopt, resultFlags(), unit(), range);
}
