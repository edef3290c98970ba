#include "NCLineCollection.h"

#include "NCLineEvaluator.h"

NCLineCollection::~NCLineCollection() { removeAllLines(); }

std::shared_ptr<NCEnvironment> NCLineCollection::environment() const {
    std::lock_guard<std::mutex> lock(mutex);
    return _environment;
}

void NCLineCollection::setEnvironment(std::shared_ptr<NCEnvironment> environment) {
    std::lock_guard<std::mutex> lock(mutex);
    _environment = std::move(environment);
}

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

void NCLineCollection::removeLineAtIndex(uint64_t index) {
    std::shared_ptr<NCLine> removed;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (index >= i_lines.size()) return;
        removed = std::move(i_lines[index]);
        i_lines.erase(i_lines.begin() + static_cast<std::ptrdiff_t>(index));
        for (uint64_t i = index; i < i_lines.size(); ++i) i_lines[i]->_setIndex(i);
    }
    removed->_setLineCollection(nullptr);
}

void NCLineCollection::removeAllLines() {
    std::lock_guard<std::mutex> lock(mutex);
    for (const auto& line : i_lines) line->_setLineCollection(nullptr);
    i_lines.clear();
}

void NCLineCollection::registerExpressionChangeForLineAtIndex(uint64_t index) {
    if (std::shared_ptr<NCLine> line = lineAtIndex(index)) NCLineEvaluator::evaluateLine(*line);
}

void NCLineCollection::enqueEvaluationOfLine(NCLine& line) {
    registerExpressionChangeForLineAtIndex(line.index());
}
