#include "NBFDictionary.h"

#include <vector>

NBFDictionary::~NBFDictionary() {
    for (auto& entry : entries) NBFStringRelease(entry.second.first);
}

NBFDictionaryRef NBFDictionaryCreate() { return new NBFDictionary(); }
NBFDictionaryRef NBFDictionaryRetain(NBFDictionaryRef dictionary) {
    return NBF::retain(dictionary);
}
void NBFDictionaryRelease(NBFDictionaryRef dictionary) { NBF::release(dictionary); }

int32_t NBFDictionaryGetCount(NBFDictionaryRef dictionary) {
    return dictionary ? static_cast<int32_t>(dictionary->entries.size()) : 0;
}

void* NBFDictionaryGetValue(NBFDictionaryRef dictionary, NBFStringRef key) {
    if (!dictionary || !key) return nullptr;
    auto found = dictionary->entries.find(key->units());
    return found == dictionary->entries.end() ? nullptr : found->second.second;
}

void NBFDictionarySetValue(NBFDictionaryRef dictionary, void* value, NBFStringRef key) {
    if (!dictionary || !key) return;
    auto [position, inserted] =
        dictionary->entries.try_emplace(key->units(), std::make_pair(key, value));
    if (inserted) {
        NBFStringRetain(key);
    } else {
        position->second.second = value;
    }
}

void NBFDictionaryRemoveValue(NBFDictionaryRef dictionary, NBFStringRef key) {
    if (!dictionary || !key) return;
    auto found = dictionary->entries.find(key->units());
    if (found == dictionary->entries.end()) return;
    NBFStringRef heldKey = found->second.first;
    dictionary->entries.erase(found);
    NBFStringRelease(heldKey);
}

void NBFDictionaryRemoveAllValues(NBFDictionaryRef dictionary) {
    if (!dictionary) return;
    for (auto& entry : dictionary->entries) NBFStringRelease(entry.second.first);
    dictionary->entries.clear();
}

void NBFDictionaryGetKeys(NBFDictionaryRef dictionary, NBFStringRef* buffer) {
    if (!dictionary || !buffer) return;
    for (auto& entry : dictionary->entries) *buffer++ = entry.second.first;
}

void NBFDictionaryApplyFunction(NBFDictionaryRef dictionary,
                                NBFDictionaryApplierFunction function) {
    NBFDictionaryApplyFunctionWithContext(dictionary, function, nullptr);
}

void NBFDictionaryApplyFunctionWithContext(NBFDictionaryRef dictionary,
                                           NBFDictionaryApplierFunction function, void* context) {
    if (!dictionary || !function) return;
    // A snapshot, so the function may change the dictionary.
    std::vector<std::pair<NBFStringRef, void*>> snapshot;
    snapshot.reserve(dictionary->entries.size());
    for (auto& entry : dictionary->entries) snapshot.push_back(entry.second);
    for (auto& [key, value] : snapshot) function(key, value, context);
}
