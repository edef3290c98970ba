#include "NCIndex.h"

#include <algorithm>

int64_t NCIndexPath::popIndex() {
    if (m_indexes.empty()) return 0;
    int64_t value = m_indexes.back()->integerValue();
    m_indexes.pop_back();
    return value;
}

int64_t NCIndexPath::topIndex() const {
    return m_indexes.empty() ? 0 : m_indexes.back()->integerValue();
}

bool NCIndexPath::containsIndex(int64_t value) const {
    return std::any_of(m_indexes.begin(), m_indexes.end(),
                       [&](const auto& index) { return index->integerValue() == value; });
}

std::string NCIndexPath::description() const {
    std::string text = "(";
    for (size_t i = 0; i < m_indexes.size(); ++i)
        text += (i ? ", " : "") + m_indexes[i]->description();
    return text + ")";
}

NCIndexSet NCIndexSet::indexSetWithIndexes(const std::vector<int64_t>& indexes) {
    NCIndexSet set;
    set.addIndexes(indexes);
    return set;
}

void NCIndexSet::addIndex(const std::shared_ptr<NCIndex>& index) {
    if (index && !containsIndex(index->integerValue())) m_set.push_back(index);
}

void NCIndexSet::addIndexes(const std::vector<int64_t>& values) {
    for (int64_t value : values) addIndex(value);
}

void NCIndexSet::addIndexes(const std::vector<std::shared_ptr<NCIndex>>& indexes) {
    for (const auto& index : indexes) addIndex(index);
}

void NCIndexSet::addIndexesFromIndexSet(const NCIndexSet& other) { addIndexes(other.m_set); }

void NCIndexSet::addOffset(int64_t offset) {
    for (const auto& index : m_set) index->addNumber(offset);
}

bool NCIndexSet::containsIndex(int64_t value) const {
    return std::any_of(m_set.begin(), m_set.end(),
                       [&](const auto& index) { return index->integerValue() == value; });
}

std::string NCIndexSet::description() const {
    std::vector<int64_t> values;
    for (const auto& index : m_set) values.push_back(index->integerValue());
    std::sort(values.begin(), values.end());
    std::string text = "{(";
    for (size_t i = 0; i < values.size(); ++i) text += (i ? ", " : "") + std::to_string(values[i]);
    return text + ")}";
}

bool NCIndexSet::isEqual(const NCIndexSet& other) const {
    if (count() != other.count()) return false;
    return std::all_of(m_set.begin(), m_set.end(), [&](const auto& index) {
        return other.containsIndex(index->integerValue());
    });
}
