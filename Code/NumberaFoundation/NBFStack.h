// A stack of untyped items kept in fixed-size buckets, so pushing rarely allocates. Freeing it
// frees the buckets, never the items.
#ifndef NUMBERA_FOUNDATION_NBF_STACK_H
#define NUMBERA_FOUNDATION_NBF_STACK_H

#include <cstdint>

struct NBFStackBucket {
    void** slots;
    NBFStackBucket* older;
};

struct NBFStack {
    NBFStackBucket* top;
    NBFStackBucket* first;
    uint32_t filled;  // items in the top bucket
    uint32_t capacity;
};
typedef NBFStack* NBFStackRef;

NBFStackRef NBFStackCreate();  // buckets of 64
NBFStackRef NBFStackCreateBucketed(uint32_t capacity);
void NBFStackFree(NBFStackRef stack);
bool NBFStackIsEmpty(NBFStackRef stack);
void NBFStackPush(NBFStackRef stack, void* item);
void* NBFStackPop(NBFStackRef stack);   // null when empty
void* NBFStackLook(NBFStackRef stack);  // null when empty

#endif
