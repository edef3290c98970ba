#include "NCIndex.h"

#include <algorithm>

int64_t NCIndexPath::popIndex() {
    if (i_indexes.empty()) return 0;
    int64_t value = i_indexes.back()->integerValue();
    i_indexes.pop_back();
    return value;
}

int64_t NCIndexPath::topIndex() const {
    return i_indexes.empty() ? 0 : i_indexes.back()->integerValue();
}

bool NCIndexPath::containsIndex(int64_t value) const {
    return std::any_of(i_indexes.begin(), i_indexes.end(),
                       [&](const auto& index) { return index->integerValue() == value; });
}

std::string NCIndexPath::description() const {
    std::string text = "(";
    for (size_t i = 0; i < i_indexes.size(); ++i)
        text += (i ? ", " : "") + i_indexes[i]->description();
    return text + ")";
}

NCIndexSet NCIndexSet::indexSetWithIndexes(const std::vector<int64_t>& indexes) {
    NCIndexSet set;
    set.addIndexes(indexes);
    return set;
}

void NCIndexSet::addIndex(const std::shared_ptr<NCIndex>& index) {
    if (index && !containsIndex(index->integerValue())) i_set.push_back(index);
}

void NCIndexSet::addIndexes(const std::vector<int64_t>& values) {
    for (int64_t value : values) addIndex(value);
}

void NCIndexSet::addIndexes(const std::vector<std::shared_ptr<NCIndex>>& indexes) {
    for (const auto& index : indexes) addIndex(index);
}

void NCIndexSet::addIndexesFromIndexSet(const NCIndexSet& other) { addIndexes(other.i_set); }

void NCIndexSet::addOffset(int64_t offset) {
    for (const auto& index : i_set) index->addNumber(offset);
}

bool NCIndexSet::containsIndex(int64_t value) const {
    return std::any_of(i_set.begin(), i_set.end(),
                       [&](const auto& index) { return index->integerValue() == value; });
}

std::string NCIndexSet::description() const {
    std::vector<int64_t> values;
    for (const auto& index : i_set) values.push_back(index->integerValue());
    std::sort(values.begin(), values.end());
    std::string text = "{(";
    for (size_t i = 0; i < values.size(); ++i) text += (i ? ", " : "") + std::to_string(values[i]);
    return text + ")}";
}

bool NCIndexSet::isEqual(const NCIndexSet& other) const {
    if (count() != other.count()) return false;
    return std::all_of(i_set.begin(), i_set.end(),
                       [&](const auto& index) { return other.containsIndex(index->integerValue()); });
}
