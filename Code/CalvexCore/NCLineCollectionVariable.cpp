#include "NCLineCollectionVariable.h"

#include <algorithm>

NCLineCollectionVariable::NCLineCollectionVariable(const std::u16string& name,
                                                   std::shared_ptr<NCLine> line)
    : NCVariable(name, nullptr), ownerLinesByLineIndexRange(NBFIndexRangeMapCreate()), _line(line) {
    addOwnerLine(line, NBFRangeMake(0, NBFRangeLengthMax));
}

NCLineCollectionVariable::~NCLineCollectionVariable() {
    NBFIndexRangeMapRelease(ownerLinesByLineIndexRange);
}

void NCLineCollectionVariable::addOwnerLine(const std::shared_ptr<NCLine>& line, NBFRange range) {
    if (!line) return;
    ownerLines.insert(line);
    NBFIndexRangeMapSetValueForRange(ownerLinesByLineIndexRange, line.get(), range);
}

void NCLineCollectionVariable::removeAllOwnerLines() {
    ownerLines.clear();
    NBFIndexRangeMapClear(ownerLinesByLineIndexRange);
}

void NCLineCollectionVariable::beginBatchOwnerLinesChange() { previousOwnerLines = ownerLines; }

void NCLineCollectionVariable::endBatchOwnerLineChange() {
    bool changed = false;
    for (auto it = valueResultsByOwnerLine.begin(); it != valueResultsByOwnerLine.end();) {
        const bool owner = std::any_of(ownerLines.begin(), ownerLines.end(),
                                       [&](const auto& line) { return line.get() == it->first; });
        if (owner) {
            ++it;
        } else {
            it = valueResultsByOwnerLine.erase(it);
            changed = true;
        }
    }
    for (const auto& line : ownerLines)
        if (!previousOwnerLines.count(line)) changed = true;
    previousOwnerLines.clear();
    if (!changed) return;
    for (const auto& line : ownerLines) {
        auto value = valueResultsByOwnerLine.find(line.get());
        if (value != valueResultsByOwnerLine.end())
            setValueResult(*value->second, indexRangeForOwnerLine(line.get()));
    }
}

NBFRange NCLineCollectionVariable::indexRangeForOwnerLine(const NCLine* line) const {
    NBFRange range = NBFRangeMake(-1, 0);
    if (NBFIndexRangeMapFindRangesForValue(ownerLinesByLineIndexRange, const_cast<NCLine*>(line),
                                           &range, 1) < 1)
        return NBFRangeMake(-1, 0);
    return range;
}

bool NCLineCollectionVariable::isOwnerLine(const NCLine* line) const {
    return std::any_of(ownerLines.begin(), ownerLines.end(),
                       [&](const auto& owner) { return owner.get() == line; });
}

void NCLineCollectionVariable::setValueResult(const NCResult& result, int32_t precision,
                                              const std::shared_ptr<NCLine>& line) {
    if (!line) return;
    auto value = NCVariableValue::ofResult(result, precision);
    valueResultsByOwnerLine[line.get()] = value;
    setValueResult(*value, indexRangeForOwnerLine(line.get()));
}

void NCLineCollectionVariable::setValueResult(const NCVariableValue& value, NBFRange range) {
    if (range.location < 0 || range.length <= 0) return;
    setDelocalizedValue(value.value(), value.flags(), value.unit(), range);
}
