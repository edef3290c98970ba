#include "NBFCaseInsensitiveDictionary.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "NBFObject.h"

namespace {

enum class Home { Exact, Lowercase };

struct Node {
    void* item;
    NBFStringRef storedKey;  // retained; the key it sits under in its dictionary
    NBFStringRef exactKey;   // retained; the key in the letter case it was stored with
    Home home;
    bool caseSensitive;
};

void freeNode(Node* node) {
    NBFStringRelease(node->storedKey);
    NBFStringRelease(node->exactKey);
    delete node;
}

}  // namespace

struct NBFCaseInsensitiveDictionary : NBF::Object<NBFCaseInsensitiveDictionary> {
    std::unordered_map<std::u16string, Node*> exact;
    std::unordered_map<std::u16string, Node*> lowercase;
    std::unordered_map<std::u16string, std::vector<Node*>> allNodes;  // by lowercased key
    std::mutex mutex;

    ~NBFCaseInsensitiveDictionary() override { removeAll(); }

    void removeAll() {
        for (auto& entry : exact) freeNode(entry.second);
        for (auto& entry : lowercase) freeNode(entry.second);
        exact.clear();
        lowercase.clear();
        allNodes.clear();
    }

    void place(Node* node, Home home, NBFStringRef key) {
        NBFStringRef old = node->storedKey;
        node->storedKey = NBFStringRetain(key);
        NBFStringRelease(old);
        node->home = home;
        (home == Home::Exact ? exact : lowercase)[key->units()] = node;
    }

    void unplace(Node* node) {
        (node->home == Home::Exact ? exact : lowercase).erase(node->storedKey->units());
    }
};

NBFCaseInsensitiveDictionaryRef NBFCaseInsensitiveDictionaryCreate() {
    return new NBFCaseInsensitiveDictionary();
}

NBFCaseInsensitiveDictionaryRef NBFCaseInsensitiveDictionaryRetain(
    NBFCaseInsensitiveDictionaryRef dictionary) {
    return NBF::retain(dictionary);
}

void NBFCaseInsensitiveDictionaryRelease(NBFCaseInsensitiveDictionaryRef dictionary) {
    NBF::release(dictionary);
}

void NBFCaseInsensitiveDictionarySetItemForKey(NBFCaseInsensitiveDictionaryRef dictionary,
                                               void* item, NBFStringRef key, bool caseSensitive) {
    NBFCaseInsensitiveDictionarySetItemForKeyObserveReplacement(dictionary, item, key,
                                                                caseSensitive, nullptr);
}

void NBFCaseInsensitiveDictionarySetItemForKeyObserveReplacement(
    NBFCaseInsensitiveDictionaryRef dictionary, void* item, NBFStringRef key, bool caseSensitive,
    void** replacedItem) {
    if (!key) return;
    NBF::Ref<NBF::String> lowercaseKey =
        NBF::Ref<NBF::String>::adopt(NBFStringLowercaseString(key));
    NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKeyObserveReplacement(
        dictionary, item, key, lowercaseKey.get(), caseSensitive, replacedItem);
}

void NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKey(
    NBFCaseInsensitiveDictionaryRef dictionary, void* item, NBFStringRef key,
    NBFStringRef lowercaseKey, bool caseSensitive) {
    NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKeyObserveReplacement(
        dictionary, item, key, lowercaseKey, caseSensitive, nullptr);
}

void NBFCaseInsensitiveDictionarySetItemForKeyAndLowercaseKeyObserveReplacement(
    NBFCaseInsensitiveDictionaryRef dictionary, void* item, NBFStringRef key,
    NBFStringRef lowercaseKey, bool caseSensitive, void** replacedItem) {
    if (!dictionary || !key || !lowercaseKey) return;
    std::lock_guard<std::mutex> lock(dictionary->mutex);
    auto& d = *dictionary;
    const std::u16string& lower = lowercaseKey->units();

    Node* node = nullptr;
    bool foundThroughLowercase = false;
    if (auto found = d.exact.find(key->units()); found != d.exact.end()) {
        node = found->second;
    } else if (auto found = d.lowercase.find(lower); found != d.lowercase.end()) {
        node = found->second;
        foundThroughLowercase = true;
    }

    if (!node) {
        if (!item) return;
        auto* created = new Node{item, nullptr, NBFStringRetain(key), Home::Exact, caseSensitive};
        std::vector<Node*>& siblings = d.allNodes[lower];
        if (siblings.empty() && !caseSensitive) {
            d.place(created, Home::Lowercase, lowercaseKey);
        } else {
            d.place(created, Home::Exact, key);
        }
        siblings.push_back(created);
        return;
    }

    if (foundThroughLowercase && node->exactKey->units() != key->units()) {
        // A second key of the same lowercase form: from now on both are exact-case only.
        if (!item) return;
        auto* created = new Node{item, nullptr, NBFStringRetain(key), Home::Exact, caseSensitive};
        d.allNodes[lower].push_back(created);
        d.unplace(node);
        d.place(node, Home::Exact, node->exactKey);
        d.place(created, Home::Exact, key);
        return;
    }

    std::vector<Node*>& siblings = d.allNodes[lower];
    if (item) {
        if (node->caseSensitive != caseSensitive) {
            d.unplace(node);
            // The lowercase map only ever holds the sole node of its lowercase form.
            if (!caseSensitive && siblings.size() == 1) {
                d.place(node, Home::Lowercase, lowercaseKey);
            } else {
                d.place(node, Home::Exact, key);
            }
        }
        if (replacedItem) *replacedItem = node->item;
        node->item = item;
        node->caseSensitive = caseSensitive;
        return;
    }

    d.unplace(node);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    freeNode(node);
    if (siblings.empty()) {
        d.allNodes.erase(lower);
    } else if (siblings.size() == 1) {
        Node* last = siblings.front();
        if (last->home == Home::Exact && !last->caseSensitive) {
            d.unplace(last);
            d.place(last, Home::Lowercase, lowercaseKey);
        }
    }
}

void* NBFCaseInsensitiveDictionaryGetItemForKey(NBFCaseInsensitiveDictionaryRef dictionary,
                                                NBFStringRef key) {
    if (!dictionary || !key) return nullptr;
    NBF::Ref<NBF::String> lowercaseKey =
        NBF::Ref<NBF::String>::adopt(NBFStringLowercaseString(key));
    return NBFCaseInsensitiveDictionaryGetItemForKeyAndLowercaseKey(dictionary, key,
                                                                    lowercaseKey.get());
}

void* NBFCaseInsensitiveDictionaryGetItemForKeyAndLowercaseKey(
    NBFCaseInsensitiveDictionaryRef dictionary, NBFStringRef key, NBFStringRef lowercaseKey) {
    return NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(dictionary, key, lowercaseKey,
                                                                     nullptr);
}

void* NBFCaseInsensitiveDictionaryFindItemForKeyAndLowercaseKey(
    NBFCaseInsensitiveDictionaryRef dictionary, NBFStringRef key, NBFStringRef lowercaseKey,
    bool* exactMatch) {
    if (exactMatch) *exactMatch = false;
    if (!dictionary || !key) return nullptr;
    Node* node = nullptr;
    if (auto found = dictionary->exact.find(key->units()); found != dictionary->exact.end()) {
        node = found->second;
    } else if (lowercaseKey) {
        if (auto found = dictionary->lowercase.find(lowercaseKey->units());
            found != dictionary->lowercase.end())
            node = found->second;
    }
    if (!node) return nullptr;
    if (exactMatch) *exactMatch = node->exactKey->units() == key->units();
    return node->item;
}

int32_t NBFCaseInsensitiveDictionaryCount(NBFCaseInsensitiveDictionaryRef dictionary) {
    if (!dictionary) return 0;
    return static_cast<int32_t>(dictionary->exact.size() + dictionary->lowercase.size());
}

NBFArrayRef NBFCaseInsensitiveDictionaryGetAllItems(NBFCaseInsensitiveDictionaryRef dictionary) {
    NBFArrayRef items = NBFArrayCreate();
    if (!dictionary) return items;
    for (auto& entry : dictionary->lowercase) NBFArrayAddItem(items, entry.second->item);
    for (auto& entry : dictionary->exact) NBFArrayAddItem(items, entry.second->item);
    return items;
}

void NBFCaseInsensitiveDictionaryApplyFunction(NBFCaseInsensitiveDictionaryRef dictionary,
                                               NBFCaseInsensitiveDictionaryItemFunction function) {
    if (!dictionary || !function) return;
    for (auto& entry : dictionary->exact) function(entry.second->item);
    for (auto& entry : dictionary->lowercase) function(entry.second->item);
}

void NBFCaseInsensitiveDictionaryRemoveAllItems(NBFCaseInsensitiveDictionaryRef dictionary) {
    if (dictionary) dictionary->removeAll();
}
