// The records behind the variable handles, shared by the files that implement them.
#ifndef NUMBERA_FOUNDATION_NBF_VARIABLE_INTERNAL_H
#define NUMBERA_FOUNDATION_NBF_VARIABLE_INTERNAL_H

#include <atomic>
#include <vector>

#include "NBFIndexRangeMap.h"
#include "NBFObject.h"
#include "NBFValue.h"
#include "NBFVariable.h"

struct NBFVariable : NBF::Object<NBFVariable> {
    ~NBFVariable() override;
    NBFStringRef name = nullptr;
    std::atomic<NBFStringRef> lowercaseName{nullptr};
    NBFArrayRef aliases = nullptr;         // retained NBFStrings, made with the first alias
    NBFIndexRangeMapRef values = nullptr;  // scope index -> NBFVariableValue, made with the first
    void* wrapperObject = nullptr;
    std::vector<NBFVariableListRef> owningLists;  // not retained
};

struct NBFScopedVariable : NBF::Object<NBFScopedVariable> {
    ~NBFScopedVariable() override;
    NBFVariableRef variable = nullptr;  // retained
    uint32_t scopeIndex = 0;
    NBFValueRef cachedValue = nullptr;  // owned
};

#endif
