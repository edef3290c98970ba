// A first-in-first-out queue of indexes in chunks of ring buffers, which also answers whether
// an index is queued.
#ifndef NUMBERA_CORE_NC_INDEX_QUEUE_H
#define NUMBERA_CORE_NC_INDEX_QUEUE_H

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

class NCIndexQueueNode {
  public:
    explicit NCIndexQueueNode(uint64_t capacity) : values(capacity), capacity(capacity) {}
    bool putValue(int64_t value);  // false when full
    int64_t getValue();            // 0 when empty
    bool isEmpty() const { return count == 0; }
    int64_t valueAt(uint64_t position) const { return values[(tailIndex + position) % capacity]; }

    NCIndexQueueNode* next = nullptr;
    NCIndexQueueNode* prev = nullptr;
    uint64_t count = 0;
    std::vector<int64_t> values;
    uint64_t capacity;
    uint64_t headIndex = 0;  // next slot to write
    uint64_t tailIndex = 0;  // next slot to read
};

class NCIndexQueue {
  public:
    NCIndexQueue() = default;
    explicit NCIndexQueue(uint64_t capacity);
    static std::unique_ptr<NCIndexQueue> indexQueueWithCapacity(uint64_t capacity) {
        return std::make_unique<NCIndexQueue>(capacity);
    }
    ~NCIndexQueue();
    NCIndexQueue(const NCIndexQueue&) = delete;
    NCIndexQueue& operator=(const NCIndexQueue&) = delete;

    void putIndex(int64_t index);
    int64_t getIndex();  // 0 when empty
    bool isEmpty() const { return !head || head->isEmpty(); }
    // Forgets a value queued twice once either copy is read.
    bool containsIndex(int64_t index) const { return indexSet.count(index) > 0; }
    int64_t indexAtQueueIndex(int64_t position) const;  // 0 outside the queue
    uint64_t getCount() const { return count; }
    std::string description() const;

  private:
    NCIndexQueueNode* tail = nullptr;
    NCIndexQueueNode* head = nullptr;
    std::set<int64_t> indexSet;
    uint64_t count = 0;
};

#endif
