#include <vector>

#include "NBFCaseInsensitiveDictionary.h"
#include "NBFObject.h"
#include "NBFVariable.h"

struct NBFVariableList : NBF::Object<NBFVariableList> {
    ~NBFVariableList() override;
    NBFCaseInsensitiveDictionaryRef names = NBFCaseInsensitiveDictionaryCreate();
    NBFCaseInsensitiveDictionaryRef aliases = NBFCaseInsensitiveDictionaryCreate();
    NBFVariableListRef parent = nullptr;
};

namespace {

using StringRef = NBF::Ref<NBF::String>;

NBFVariableRef asVariable(void* item) { return static_cast<NBFVariableRef>(item); }

// Stores one reference to the variable under the key; the variable it replaces loses the
// list's reference, and the list stops being its owner once it no longer holds it by name.
void storeName(NBFVariableListRef list, NBFVariableRef variable) {
    NBFStringRef name = NBFVariableGetNameReference(variable);
    if (!name) return;
    void* replaced = nullptr;
    NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKeyObserveReplacement(
        list->names, NBFVariableRetain(variable), name,
        NBFVariableGetLowercaseNameReference(variable), false, &replaced);
    if (replaced && replaced != variable) _NBFVariableRemoveOwningList(asVariable(replaced), list);
    NBFVariableRelease(asVariable(replaced));
}

void storeAlias(NBFVariableListRef list, NBFVariableRef variable, NBFStringRef alias) {
    void* replaced = nullptr;
    NBFCaseInsensitiveDictionarySetItemForKeyObserveReplacement(
        list->aliases, NBFVariableRetain(variable), alias, false, &replaced);
    NBFVariableRelease(asVariable(replaced));
}

// Removes the entry under the key only when it holds this variable.
bool removeEntry(NBFCaseInsensitiveDictionaryRef dictionary, NBFVariableRef variable,
                 NBFStringRef key, NBFStringRef lowercaseKey) {
    if (!key) return false;
    StringRef made;
    if (!lowercaseKey) {
        made = StringRef::adopt(NBFStringLowercaseString(key));
        lowercaseKey = made.get();
    }
    bool exact = false;
    void* held = NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(dictionary, key,
                                                                           lowercaseKey, &exact);
    if (held != variable || !exact) return false;
    NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKey(dictionary, nullptr, key, lowercaseKey,
                                                             false);
    NBFVariableRelease(variable);
    return true;
}

// Releases every entry; the list is going away or emptied, so its variables must no longer
// tell it of their changes.
void releaseEntries(NBFVariableListRef list, NBFCaseInsensitiveDictionaryRef dictionary) {
    NBFArrayRef items = NBFCaseInsensitiveDictionaryGetAllItems(dictionary);
    NBFCaseInsensitiveDictionaryRemoveAllItems(dictionary);
    for (void* item : items->items) {
        _NBFVariableRemoveOwningList(asVariable(item), list);
        NBFVariableRelease(asVariable(item));
    }
    NBFArrayRelease(items);
}

bool chainContains(NBFVariableListRef start, NBFVariableListRef list) {
    for (NBFVariableListRef current = start; current; current = current->parent)
        if (current == list) return true;
    return false;
}

}  // namespace

NBFVariableListRef NBFVariableListCreate() { return new NBFVariableList(); }

NBFVariableList::~NBFVariableList() {
    releaseEntries(this, names);
    releaseEntries(this, aliases);
    NBFCaseInsensitiveDictionaryRelease(names);
    NBFCaseInsensitiveDictionaryRelease(aliases);
    NBFVariableListRelease(parent);
}

NBFVariableListRef NBFVariableListRetain(NBFVariableListRef list) { return NBF::retain(list); }

void NBFVariableListRelease(NBFVariableListRef list) { NBF::release(list); }

void NBFVariableListAddVariable(NBFVariableListRef list, NBFVariableRef variable) {
    if (!list || !variable || !NBFVariableGetNameReference(variable)) return;
    _NBFVariableAddOwningList(variable, list);
    storeName(list, variable);
    NBFArrayRef aliases = NBFVariableGetAliasArrayReference(variable);
    for (int32_t i = 0; i < NBFArrayCount(aliases); ++i)
        storeAlias(list, variable, static_cast<NBFStringRef>(NBFArrayGetItemAtIndex(aliases, i)));
}

void NBFVariableListRemoveVariable(NBFVariableListRef list, NBFVariableRef variable) {
    if (!list || !variable) return;
    if (!removeEntry(list->names, variable, NBFVariableGetNameReference(variable),
                     NBFVariableGetLowercaseNameReference(variable)))
        return;
    NBFArrayRef aliases = NBFVariableGetAliasArrayReference(variable);
    for (int32_t i = 0; i < NBFArrayCount(aliases); ++i)
        removeEntry(list->aliases, variable,
                    static_cast<NBFStringRef>(NBFArrayGetItemAtIndex(aliases, i)), nullptr);
    _NBFVariableRemoveOwningList(variable, list);
}

void NBFVariableListRemoveAll(NBFVariableListRef list) {
    if (!list) return;
    releaseEntries(list, list->names);
    releaseEntries(list, list->aliases);
}

NBFVariableRef NBFVariableListFindVariableByNameAndLowercaseName(NBFVariableListRef list,
                                                                 NBFStringRef name,
                                                                 NBFStringRef lowercaseName,
                                                                 bool searchParent, bool* exactCase,
                                                                 bool* foundInParent) {
    if (exactCase) *exactCase = false;
    if (foundInParent) *foundInParent = false;
    if (!name) return nullptr;
    bool inParent = false;
    for (NBFVariableListRef current = list; current; current = current->parent) {
        for (NBFCaseInsensitiveDictionaryRef dictionary : {current->names, current->aliases}) {
            void* found = NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(
                dictionary, name, lowercaseName, exactCase);
            if (found) {
                if (foundInParent) *foundInParent = inParent;
                return asVariable(found);
            }
        }
        if (!searchParent) break;
        inParent = true;
    }
    return nullptr;
}

NBFVariableRef NBFVariableListFindVariableByName(NBFVariableListRef list, NBFStringRef name,
                                                 bool* exactCase, bool* foundInParent) {
    if (exactCase) *exactCase = false;
    if (foundInParent) *foundInParent = false;
    if (!list || !name) return nullptr;
    StringRef lowercaseName = StringRef::adopt(NBFStringLowercaseString(name));
    return NBFVariableListFindVariableByNameAndLowercaseName(list, name, lowercaseName.get(), true,
                                                             exactCase, foundInParent);
}

NBFVariableRef NBFVariableListGetVariableByName(NBFVariableListRef list, NBFStringRef name) {
    return NBFVariableListFindVariableByName(list, name, nullptr, nullptr);
}

bool NBFVariableListContains(NBFVariableListRef list, NBFStringRef name) {
    return NBFVariableListGetVariableByName(list, name) != nullptr;
}

bool NBFVariableListContainsVariable(NBFVariableListRef list, NBFVariableRef variable) {
    return NBFVariableListContains(list, NBFVariableGetNameReference(variable));
}

int32_t NBFVariableListGetCount(NBFVariableListRef list) {
    return list ? NBFCaseInsensitiveDictionaryCount(list->names) : 0;
}

int32_t NBFVariableListGetCountOfTopLevelVariables(NBFVariableListRef list) {
    return NBFVariableListGetCount(list);
}

int32_t NBFVariableListGetCountOfVariables(NBFVariableListRef list) {
    int32_t count = 0;
    for (NBFVariableListRef current = list; current; current = current->parent)
        count += NBFVariableListGetCount(current);
    return count;
}

NBFArrayRef NBFVariableListCopyTopLevelVariables(NBFVariableListRef list) {
    if (!list) return NBFArrayCreate();
    return NBFCaseInsensitiveDictionaryGetAllItems(list->names);
}

void NBFVariableListSetParentList(NBFVariableListRef list, NBFVariableListRef parent) {
    if (!list || parent == list->parent || chainContains(parent, list)) return;
    NBFVariableListRetain(parent);
    NBFVariableListRelease(list->parent);
    list->parent = parent;
}

NBFVariableListRef NBFVariableListGetParentList(NBFVariableListRef list) {
    return list ? list->parent : nullptr;
}

NBFScopedVariableRef NBFVariableListResolveScope(NBFVariableListRef list, NBFVariableRef variable,
                                                 uint32_t scopeIndex) {
    if (!list || !variable) return nullptr;
    return NBFScopedVariableCreate(variable, scopeIndex);
}

bool _NBFVariableListVariableCanChangeName(NBFVariableListRef list, NBFVariableRef variable,
                                           NBFStringRef newName) {
    if (!list || !newName) return true;
    NBFVariableRef found = NBFVariableListFindVariableByName(list, newName, nullptr, nullptr);
    return !found || NBFStringCompare(NBFVariableGetNameReference(found), newName) != 0;
}

void _NBFVariableListVariableDidChangeName(NBFVariableListRef list, NBFVariableRef variable,
                                           NBFStringRef oldName, NBFStringRef oldLowercaseName) {
    if (!list || !variable) return;
    // The list's reference moves from the old key to the new one.
    if (!removeEntry(list->names, variable, oldName, oldLowercaseName)) return;
    storeName(list, variable);
}

void _NBFVariableListVariableDidChangeAlias(NBFVariableListRef list, NBFVariableRef variable,
                                            NBFStringRef oldAlias, NBFStringRef newAlias) {
    if (!list || !variable) return;
    if (oldAlias) removeEntry(list->aliases, variable, oldAlias, nullptr);
    if (newAlias) storeAlias(list, variable, newAlias);
}
