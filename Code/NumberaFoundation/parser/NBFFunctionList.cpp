#include "NBFFunctionList.h"

#include "NBFCaseInsensitiveDictionary.h"
#include "NBFObject.h"

struct NBFFunctionList : NBF::Object<NBFFunctionList> {
    ~NBFFunctionList() override;
    NBFCaseInsensitiveDictionaryRef names = NBFCaseInsensitiveDictionaryCreate();
    NBFCaseInsensitiveDictionaryRef aliases = NBFCaseInsensitiveDictionaryCreate();
    NBFFunctionListRef parent = nullptr;
};

namespace {

using StringRef = NBF::Ref<NBF::String>;

void releaseFunction(void* function) { NBFFunctionRelease(static_cast<NBFFunctionRef>(function)); }

void releaseEntries(NBFCaseInsensitiveDictionaryRef dictionary) {
    NBFArrayRef items = NBFCaseInsensitiveDictionaryGetAllItems(dictionary);
    NBFCaseInsensitiveDictionaryRemoveAllItems(dictionary);
    NBFArrayApplyItemFunction(items, releaseFunction);
    NBFArrayRelease(items);
}

}  // namespace

NBFFunctionListRef NBFFunctionListCreate() { return new NBFFunctionList(); }

NBFFunctionList::~NBFFunctionList() {
    releaseEntries(names);
    releaseEntries(aliases);
    NBFCaseInsensitiveDictionaryRelease(names);
    NBFCaseInsensitiveDictionaryRelease(aliases);
    NBFFunctionListRelease(parent);
}

NBFFunctionListRef NBFFunctionListRetain(NBFFunctionListRef list) { return NBF::retain(list); }

void NBFFunctionListRelease(NBFFunctionListRef list) { NBF::release(list); }

void NBFFunctionListSetParentList(NBFFunctionListRef list, NBFFunctionListRef parent) {
    if (!list || parent == list->parent) return;
    for (NBFFunctionListRef current = parent; current; current = current->parent)
        if (current == list) return;
    NBFFunctionListRetain(parent);
    NBFFunctionListRelease(list->parent);
    list->parent = parent;
}

void NBFFunctionListAddFunction(NBFFunctionListRef list, NBFFunctionRef function) {
    NBFStringRef name = NBFFunctionGetNameReference(function);
    if (!list || !name) return;
    void* replaced = nullptr;
    NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKeyObserveReplacement(
        list->names, NBFFunctionRetain(function), name,
        NBFFunctionGetLowercaseNameReference(function), false, &replaced);
    releaseFunction(replaced);
    NBFArrayRef aliases = NBFFunctionGetAliasesReference(function);
    for (int32_t i = 0; i < NBFArrayCount(aliases); ++i) {
        replaced = nullptr;
        NBFCaseInsensitiveDictionarySetItemForKeyObserveReplacement(
            list->aliases, NBFFunctionRetain(function),
            static_cast<NBFStringRef>(NBFArrayGetItemAtIndex(aliases, i)), false, &replaced);
        releaseFunction(replaced);
    }
}

void NBFFunctionListRemoveAll(NBFFunctionListRef list) {
    if (!list) return;
    releaseEntries(list->names);
    releaseEntries(list->aliases);
}

NBFFunctionRef NBFFunctionListGetFunctionWithName(NBFFunctionListRef list, NBFStringRef name) {
    return NBFFunctionListFindFunctionByName(list, name, nullptr, nullptr);
}

NBFFunctionRef NBFFunctionListGetFunctionWithName(NBFFunctionListRef list,
                                                  const std::string& name) {
    StringRef text = StringRef::adopt(NBFStringCreateWithCppString(name));
    return NBFFunctionListGetFunctionWithName(list, text.get());
}

NBFFunctionRef NBFFunctionListFindFunctionByName(NBFFunctionListRef list, NBFStringRef name,
                                                 bool* exactCase, bool* foundInParent) {
    if (exactCase) *exactCase = false;
    if (foundInParent) *foundInParent = false;
    if (!list || !name) return nullptr;
    StringRef lowercaseName = StringRef::adopt(NBFStringLowercaseString(name));
    return NBFFunctionListFindFunctionByNameAndLowercaseName(list, name, lowercaseName.get(), true,
                                                             exactCase, foundInParent);
}

NBFFunctionRef NBFFunctionListFindFunctionByNameAndLowercaseName(
    NBFFunctionListRef list, NBFStringRef name, NBFStringRef lowercaseName, bool searchParents,
    bool* exactCase, bool* foundInParent) {
    if (exactCase) *exactCase = false;
    if (foundInParent) *foundInParent = false;
    if (!name) return nullptr;
    bool inParent = false;
    for (NBFFunctionListRef current = list; current; current = current->parent) {
        for (NBFCaseInsensitiveDictionaryRef dictionary : {current->names, current->aliases}) {
            void* found = NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(
                dictionary, name, lowercaseName, exactCase);
            if (found) {
                if (foundInParent) *foundInParent = inParent;
                return static_cast<NBFFunctionRef>(found);
            }
        }
        if (!searchParents) break;
        inParent = true;
    }
    return nullptr;
}

NBFFunctionImplementationType NBFFunctionListGetImplementationType(NBFFunctionListRef list,
                                                                   NBFStringRef name) {
    return NBFFunctionGetImplementationType(NBFFunctionListGetFunctionWithName(list, name));
}

int8_t NBFFunctionListGetArgumentCount(NBFFunctionListRef list, NBFStringRef name) {
    return NBFFunctionGetNumberOfArguments(NBFFunctionListGetFunctionWithName(list, name));
}
