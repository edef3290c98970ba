#include "NCIndexQueue.h"

#include <algorithm>

bool NCIndexQueueNode::putValue(int64_t value) {
    if (count == capacity) return false;
    values[headIndex] = value;
    headIndex = (headIndex + 1) % capacity;
    ++count;
    return true;
}

int64_t NCIndexQueueNode::getValue() {
    if (count == 0) return 0;
    int64_t value = values[tailIndex];
    tailIndex = (tailIndex + 1) % capacity;
    --count;
    return value;
}

NCIndexQueue::NCIndexQueue(uint64_t capacity) {
    head = tail = new NCIndexQueueNode(std::max<uint64_t>(capacity, 8));
}

NCIndexQueue::~NCIndexQueue() {
    for (NCIndexQueueNode* node = head; node;) {
        NCIndexQueueNode* next = node->next;
        delete node;
        node = next;
    }
}

void NCIndexQueue::putIndex(int64_t index) {
    if (!tail || !tail->putValue(index)) {
        auto* node = new NCIndexQueueNode(64);
        node->prev = tail;
        if (tail) tail->next = node;
        tail = node;
        if (!head) head = node;
        node->putValue(index);
    }
    ++count;
    indexSet.insert(index);
}

int64_t NCIndexQueue::getIndex() {
    if (isEmpty()) return 0;
    int64_t value = head->getValue();
    if (head->isEmpty() && head != tail) {
        NCIndexQueueNode* emptied = head;
        head = head->next;
        head->prev = nullptr;
        delete emptied;
    }
    --count;
    indexSet.erase(value);
    return value;
}

int64_t NCIndexQueue::indexAtQueueIndex(int64_t position) const {
    if (position < 0) return 0;
    auto remaining = static_cast<uint64_t>(position);
    for (NCIndexQueueNode* node = head; node; node = node->next) {
        if (remaining < node->count) return node->valueAt(remaining);
        remaining -= node->count;
    }
    return 0;
}

std::string NCIndexQueue::description() const {
    std::string text;
    for (uint64_t i = 0; i < count; ++i)
        text += (i ? ", " : "") + std::to_string(indexAtQueueIndex(static_cast<int64_t>(i)));
    return text;
}
