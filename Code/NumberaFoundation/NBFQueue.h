// A doubly linked queue of untyped items; freeing it frees the nodes, never the items.
#ifndef NUMBERA_FOUNDATION_NBF_QUEUE_H
#define NUMBERA_FOUNDATION_NBF_QUEUE_H

#include <cstdint>

struct NBFQueueNode {
    void* item;
    NBFQueueNode* next;      // towards the tail
    NBFQueueNode* previous;  // towards the head
};

struct NBFQueue {
    NBFQueueNode* head;
    NBFQueueNode* tail;
    uint32_t count;
};
typedef NBFQueue* NBFQueueRef;

NBFQueueRef NBFQueueCreate();
void NBFQueueFree(NBFQueueRef queue);
bool NBFQueueIsEmpty(NBFQueueRef queue);
void NBFQueuePut(NBFQueueRef queue, void* item);
void* NBFQueueGet(NBFQueueRef queue);      // head; null when empty
void* NBFQueueGetTail(NBFQueueRef queue);  // tail; null when empty
void* NBFQueueLook(NBFQueueRef queue);
void* NBFQueueLookTail(NBFQueueRef queue);
uint32_t NBFQueueGetCount(NBFQueueRef queue);
// Removes up to maximum items from the head into the buffer; returns how many.
uint32_t NBFQueueGetContents(NBFQueueRef queue, void** buffer, uint32_t maximum);
// Copies up to maximum items, head first, without removing them; returns how many.
uint32_t NBFQueueLookContents(NBFQueueRef queue, void** buffer, uint32_t maximum);
// Copies up to maximum items starting at the tail and walking to the head; returns how many.
uint32_t NBFQueueLookContentsTail(NBFQueueRef queue, void** buffer, uint32_t maximum);

#endif
