#include "NBFStack.h"

namespace {

NBFStackBucket* newBucket(uint32_t capacity, NBFStackBucket* older) {
    return new NBFStackBucket{new void*[capacity], older};
}

void freeBucket(NBFStackBucket* bucket) {
    delete[] bucket->slots;
    delete bucket;
}

}  // namespace

NBFStackRef NBFStackCreate() { return NBFStackCreateBucketed(64); }

NBFStackRef NBFStackCreateBucketed(uint32_t capacity) {
    if (capacity == 0) capacity = 1;
    NBFStackBucket* first = newBucket(capacity, nullptr);
    return new NBFStack{first, first, 0, capacity};
}

void NBFStackFree(NBFStackRef stack) {
    if (!stack) return;
    for (NBFStackBucket* bucket = stack->top; bucket;) {
        NBFStackBucket* older = bucket->older;
        freeBucket(bucket);
        bucket = older;
    }
    delete stack;
}

bool NBFStackIsEmpty(NBFStackRef stack) {
    return !stack || (stack->filled == 0 && stack->top == stack->first);
}

void NBFStackPush(NBFStackRef stack, void* item) {
    if (!stack) return;
    if (stack->filled == stack->capacity) {
        stack->top = newBucket(stack->capacity, stack->top);
        stack->filled = 0;
    }
    stack->top->slots[stack->filled++] = item;
}

void* NBFStackPop(NBFStackRef stack) {
    if (NBFStackIsEmpty(stack)) return nullptr;
    if (stack->filled == 0) {
        NBFStackBucket* emptied = stack->top;
        stack->top = emptied->older;
        freeBucket(emptied);
        stack->filled = stack->capacity;
    }
    return stack->top->slots[--stack->filled];
}

void* NBFStackLook(NBFStackRef stack) {
    if (NBFStackIsEmpty(stack)) return nullptr;
    if (stack->filled == 0) return stack->top->older->slots[stack->capacity - 1];
    return stack->top->slots[stack->filled - 1];
}
