#include "NCLineCollection.h"

NCLineCollection::~NCLineCollection() { removeAllLines(); }

uint64_t NCLineCollection::countOfLines() const {
    std::lock_guard<std::mutex> lock(mutex);
    return i_lines.size();
}

std::shared_ptr<NCLine> NCLineCollection::lineAtIndex(uint64_t index) const {
    std::lock_guard<std::mutex> lock(mutex);
    return index < i_lines.size() ? i_lines[index] : nullptr;
}

void NCLineCollection::addLine(std::shared_ptr<NCLine> line) {
    if (!line) return;
    std::lock_guard<std::mutex> lock(mutex);
    line->_setIndex(i_lines.size());
    line->_setLineCollection(this);
    i_lines.push_back(std::move(line));
}

void NCLineCollection::removeAllLines() {
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& line : i_lines) line->_setLineCollection(nullptr);
    i_lines.clear();
}
