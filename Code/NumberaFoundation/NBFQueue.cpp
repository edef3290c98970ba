#include "NBFQueue.h"

NBFQueueRef NBFQueueCreate() { return new NBFQueue{nullptr, nullptr, 0}; }

void NBFQueueFree(NBFQueueRef queue) {
    if (!queue) return;
    for (NBFQueueNode* node = queue->head; node;) {
        NBFQueueNode* next = node->next;
        delete node;
        node = next;
    }
    delete queue;
}

bool NBFQueueIsEmpty(NBFQueueRef queue) { return !queue || queue->count == 0; }

void NBFQueuePut(NBFQueueRef queue, void* item) {
    if (!queue) return;
    auto* node = new NBFQueueNode{item, nullptr, queue->tail};
    if (queue->tail) queue->tail->next = node;
    queue->tail = node;
    if (!queue->head) queue->head = node;
    ++queue->count;
}

void* NBFQueueGet(NBFQueueRef queue) {
    if (!queue || !queue->head) return nullptr;
    NBFQueueNode* node = queue->head;
    queue->head = node->next;
    if (queue->head) {
        queue->head->previous = nullptr;
    } else {
        queue->tail = nullptr;
    }
    --queue->count;
    void* item = node->item;
    delete node;
    return item;
}

void* NBFQueueGetTail(NBFQueueRef queue) {
    if (!queue || !queue->tail) return nullptr;
    NBFQueueNode* node = queue->tail;
    queue->tail = node->previous;
    if (queue->tail) {
        queue->tail->next = nullptr;
    } else {
        queue->head = nullptr;
    }
    --queue->count;
    void* item = node->item;
    delete node;
    return item;
}

void* NBFQueueLook(NBFQueueRef queue) { return queue && queue->head ? queue->head->item : nullptr; }

void* NBFQueueLookTail(NBFQueueRef queue) {
    return queue && queue->tail ? queue->tail->item : nullptr;
}

uint32_t NBFQueueGetCount(NBFQueueRef queue) { return queue ? queue->count : 0; }

uint32_t NBFQueueGetContents(NBFQueueRef queue, void** buffer, uint32_t maximum) {
    if (!buffer) return 0;
    uint32_t written = 0;
    while (written < maximum && !NBFQueueIsEmpty(queue)) buffer[written++] = NBFQueueGet(queue);
    return written;
}

uint32_t NBFQueueLookContents(NBFQueueRef queue, void** buffer, uint32_t maximum) {
    if (!queue || !buffer) return 0;
    uint32_t written = 0;
    for (NBFQueueNode* node = queue->head; node && written < maximum; node = node->next)
        buffer[written++] = node->item;
    return written;
}

uint32_t NBFQueueLookContentsTail(NBFQueueRef queue, void** buffer, uint32_t maximum) {
    if (!queue || !buffer) return 0;
    uint32_t written = 0;
    for (NBFQueueNode* node = queue->tail; node && written < maximum; node = node->previous)
        buffer[written++] = node->item;
    return written;
}
