#include "NBFVariable.h"

#include <algorithm>
#include <vector>

#include "NBFVariableInternal.h"

namespace {

void releaseString(void* string) { NBFStringRelease(static_cast<NBFStringRef>(string)); }

// The lists may change the owning lists while they are told; tell a snapshot.
std::vector<NBFVariableListRef> owningListsOf(NBFVariableRef variable) {
    return variable->owningLists;
}

}  // namespace

NBFVariableRef NBFVariableCreate() { return new NBFVariable(); }

NBFVariable::~NBFVariable() {
    NBFStringRelease(name);
    NBFStringRelease(lowercaseName.load());
    NBFArrayApplyItemFunction(aliases, releaseString);
    NBFArrayRelease(aliases);
    NBFIndexRangeMapRelease(values);
}

NBFVariableRef NBFVariableRetain(NBFVariableRef variable) { return NBF::retain(variable); }

void NBFVariableRelease(NBFVariableRef variable) { NBF::release(variable); }

bool NBFVariableSetName(NBFVariableRef variable, NBFStringRef name) {
    if (!variable || !name || name == variable->name) return false;
    for (NBFVariableListRef list : variable->owningLists)
        if (!_NBFVariableListVariableCanChangeName(list, variable, name)) return false;
    NBFStringRef oldName = variable->name;
    NBFStringRef oldLowercaseName = variable->lowercaseName.exchange(nullptr);
    if (oldName && !oldLowercaseName) oldLowercaseName = NBFStringLowercaseString(oldName);
    variable->name = NBFStringRetain(name);
    for (NBFVariableListRef list : owningListsOf(variable))
        _NBFVariableListVariableDidChangeName(list, variable, oldName, oldLowercaseName);
    NBFStringRelease(oldName);
    NBFStringRelease(oldLowercaseName);
    return true;
}

NBFStringRef NBFVariableGetNameReference(NBFVariableRef variable) {
    return variable ? variable->name : nullptr;
}

NBFStringRef NBFVariableGetLowercaseNameReference(NBFVariableRef variable) {
    if (!variable || !variable->name) return nullptr;
    NBFStringRef lowercase = variable->lowercaseName.load(std::memory_order_acquire);
    if (lowercase) return lowercase;
    NBFStringRef made = NBFStringLowercaseString(variable->name);
    if (variable->lowercaseName.compare_exchange_strong(lowercase, made)) return made;
    NBFStringRelease(made);
    return lowercase;
}

void NBFVariableAddAlias(NBFVariableRef variable, NBFStringRef alias) {
    if (!variable || !alias) return;
    if (!variable->aliases) variable->aliases = NBFArrayCreate();
    NBFArrayAddItem(variable->aliases, NBFStringRetain(alias));
    for (NBFVariableListRef list : owningListsOf(variable))
        _NBFVariableListVariableDidChangeAlias(list, variable, nullptr, alias);
}

void NBFVariableRemoveAlias(NBFVariableRef variable, NBFStringRef alias) {
    if (!variable || !alias) return;
    int32_t count = NBFArrayCount(variable->aliases);
    for (int32_t i = 0; i < count; ++i) {
        auto held = static_cast<NBFStringRef>(NBFArrayGetItemAtIndex(variable->aliases, i));
        if (NBFStringCompare(held, alias) != 0) continue;
        NBFArrayRemoveItemAtIndex(variable->aliases, i);
        for (NBFVariableListRef list : owningListsOf(variable))
            _NBFVariableListVariableDidChangeAlias(list, variable, held, nullptr);
        NBFStringRelease(held);
        return;
    }
}

int32_t NBFVariableGetCountOfAliases(NBFVariableRef variable) {
    return variable ? NBFArrayCount(variable->aliases) : 0;
}

NBFArrayRef NBFVariableGetAliasArrayReference(NBFVariableRef variable) {
    return variable ? variable->aliases : nullptr;
}

void NBFVariableSetWrapperObject(NBFVariableRef variable, void* object) {
    if (variable) variable->wrapperObject = object;
}

void* NBFVariableGetWrapperObject(NBFVariableRef variable) {
    return variable ? variable->wrapperObject : nullptr;
}

void _NBFVariableAddOwningList(NBFVariableRef variable, NBFVariableListRef list) {
    if (!variable || !list) return;
    // Recorded once however often the list adds the variable: one removal must suffice.
    auto& lists = variable->owningLists;
    if (std::find(lists.begin(), lists.end(), list) == lists.end()) lists.push_back(list);
}

void _NBFVariableRemoveOwningList(NBFVariableRef variable, NBFVariableListRef list) {
    if (!variable) return;
    auto& lists = variable->owningLists;
    if (auto found = std::find(lists.begin(), lists.end(), list); found != lists.end())
        lists.erase(found);
}

NBFScopedVariableRef NBFScopedVariableCreate(NBFVariableRef variable, uint32_t scopeIndex) {
    if (!variable) return nullptr;
    auto* scopedVariable = new NBFScopedVariable();
    scopedVariable->variable = NBFVariableRetain(variable);
    scopedVariable->scopeIndex = scopeIndex;
    return scopedVariable;
}

NBFScopedVariable::~NBFScopedVariable() {
    NBFVariableRelease(variable);
    NBFValueRelease(cachedValue);
}

NBFScopedVariableRef NBFScopedVariableRetain(NBFScopedVariableRef scopedVariable) {
    return NBF::retain(scopedVariable);
}

void NBFScopedVariableRelease(NBFScopedVariableRef scopedVariable) { NBF::release(scopedVariable); }

NBFVariableRef NBFScopedVariableGetVariable(NBFScopedVariableRef scopedVariable) {
    return scopedVariable ? scopedVariable->variable : nullptr;
}

uint32_t NBFScopedVariableGetScopeIndex(NBFScopedVariableRef scopedVariable) {
    return scopedVariable ? scopedVariable->scopeIndex : 0;
}
