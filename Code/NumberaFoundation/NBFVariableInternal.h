// The records behind the variable handles, shared by the files that implement them.
#ifndef NUMBERA_FOUNDATION_NBF_VARIABLE_INTERNAL_H
#define NUMBERA_FOUNDATION_NBF_VARIABLE_INTERNAL_H

#include <atomic>
#include <vector>

#include "NBFIndexRangeMap.h"
#include "NBFValue.h"
#include "NBFVariable.h"

struct NBFVariable {
    std::atomic<int32_t> refCount{1};
    NBFStringRef name = nullptr;
    std::atomic<NBFStringRef> lowercaseName{nullptr};
    NBFArrayRef aliases = nullptr;         // retained NBFStrings, made with the first alias
    NBFIndexRangeMapRef values = nullptr;  // scope index -> NBFVariableValue, made with the first
    void* wrapperObject = nullptr;
    std::vector<NBFVariableListRef> owningLists;  // not retained
};

struct NBFScopedVariable {
    std::atomic<int32_t> refCount{1};
    NBFVariableRef variable;
    uint32_t scopeIndex;
    NBFValueRef cachedValue = nullptr;  // owned
};

#endif
