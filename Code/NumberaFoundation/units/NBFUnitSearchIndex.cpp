#include "NBFUnitSearchIndex.h"

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <utility>

#include "NBFDictionary.h"
#include "NBFStringUtilities.h"

namespace {

using StringRef = NBF::Ref<NBF::String>;

struct Node {
    ~Node() { NBFDictionaryRelease(children); }

    // The names that end here.
    std::vector<NBFUnitSearchIndexResult> results;
    // Results in all nodes below this one, not counting its own.
    int32_t count = 0;
    NBFDictionaryRef children = nullptr;  // lower-case word -> Node*, made with the first child
    Node* parent = nullptr;
};

// A name of a unit with the format type of its name type.
struct UnitString {
    NBFStringRef string;
    NBFUnitFormatType formatType;
};

std::vector<UnitString> stringsOfUnit(NBFUnitContainerRef unit) {
    std::vector<UnitString> strings;
    for (const auto& [nameType, name] : NBFUnitContainerGetNames(unit))
        if (name) strings.push_back({name, NBFUnitFormatTypeFromNBFUnitNameType(nameType)});
    for (const auto& [nameType, alias] : NBFUnitContainerGetAliases(unit))
        if (alias) strings.push_back({alias, NBFUnitFormatTypeFromNBFUnitNameType(nameType)});
    return strings;
}

// The words between spaces, empty pieces dropped, in their own letter case.
std::vector<StringRef> splitWords(NBFStringRef string) {
    std::vector<StringRef> words;
    for (const std::string& piece : NBF::stringSplit(NBFStringGetCppString(string), ' '))
        words.push_back(StringRef::adopt(NBFStringCreateWithCppString(piece)));
    return words;
}

template <typename Words>
std::vector<StringRef> lowercaseWords(const Words& words) {
    std::vector<StringRef> lowercase;
    lowercase.reserve(words.size());
    for (const auto& word : words)
        lowercase.push_back(StringRef::adopt(NBFStringLowercaseString(&*word)));
    return lowercase;
}

std::vector<NBFStringRef> borrowed(const std::vector<StringRef>& words) {
    std::vector<NBFStringRef> raw;
    raw.reserve(words.size());
    for (const StringRef& word : words) raw.push_back(word.get());
    return raw;
}

bool sameUnit(NBFUnitContainerRef a, NBFUnitContainerRef b) {
    return NBFUnitContainerGetIdentifier_cpp(a) == NBFUnitContainerGetIdentifier_cpp(b);
}

void addToAncestorCounts(Node* node, int32_t delta) {
    for (Node* ancestor = node->parent; ancestor; ancestor = ancestor->parent)
        ancestor->count += delta;
}

}  // namespace

struct NBFUnitSearchIndex : NBF::Object<NBFUnitSearchIndex> {
    Node* root = nullptr;
    std::vector<std::unique_ptr<Node>> nodes;  // every node, root included
    mutable std::shared_mutex lock;

    NBFUnitSearchIndex() { root = newNode(); }

    Node* newNode() {
        nodes.push_back(std::make_unique<Node>());
        return nodes.back().get();
    }

    Node* child(const Node* node, NBFStringRef lowercaseWord) const {
        return static_cast<Node*>(NBFDictionaryGetValue(node->children, lowercaseWord));
    }

    Node* childCreatingIfNeeded(Node* node, NBFStringRef lowercaseWord) {
        if (Node* existing = child(node, lowercaseWord)) return existing;
        Node* created = newNode();
        if (!node->children) node->children = NBFDictionaryCreate();
        NBFDictionarySetValue(node->children, created, lowercaseWord);
        created->parent = node;
        // A new node holds nothing yet; kept general so the counts stay right by construction.
        int32_t added = static_cast<int32_t>(created->results.size()) + created->count;
        for (Node* ancestor = node; ancestor; ancestor = ancestor->parent) ancestor->count += added;
        return created;
    }

    // The node the words lead to, or null; the root for no words.
    Node* find(const std::vector<NBFStringRef>& lowercase) const {
        Node* node = root;
        for (NBFStringRef word : lowercase) {
            node = child(node, word);
            if (!node) return nullptr;
        }
        return node;
    }

    void add(NBFUnitContainerRef unit, const UnitString& string) {
        std::vector<StringRef> words = splitWords(string.string);
        Node* node = root;
        for (const StringRef& word : lowercaseWords(words))
            node = childCreatingIfNeeded(node, word.get());
        for (const NBFUnitSearchIndexResult& held : node->results) {
            if (sameUnit(held.unit.get(), unit) && held.formatType == string.formatType &&
                NBFStringCompare(held.name.get(), string.string) == 0)
                return;
        }
        node->results.push_back({NBF::Ref<NBF::UnitContainer>::retainOf(unit), std::move(words),
                                 StringRef::retainOf(string.string), string.formatType});
        addToAncestorCounts(node, 1);
    }

    void remove(NBFUnitContainerRef unit, Node* node) {
        auto& results = node->results;
        for (auto held = results.begin(); held != results.end();) {
            if (sameUnit(held->unit.get(), unit)) {
                held = results.erase(held);
                addToAncestorCounts(node, -1);
            } else {
                ++held;
            }
        }
    }
};

NBFUnitSearchIndexRef NBFUnitSearchIndexCreate() { return new NBFUnitSearchIndex(); }

NBFUnitSearchIndexRef NBFUnitSearchIndexRetain(NBFUnitSearchIndexRef index) {
    return NBF::retain(index);
}

void NBFUnitSearchIndexRelease(NBFUnitSearchIndexRef index) { NBF::release(index); }

void NBFUnitSearchIndexAddUnits(NBFUnitSearchIndexRef index, NBFUnitContainerRef const* units,
                                int32_t count) {
    if (!index || !units || count < 1) return;
    std::unique_lock guard(index->lock);
    for (int32_t i = 0; i < count; ++i) {
        if (!units[i]) continue;
        for (const UnitString& string : stringsOfUnit(units[i])) index->add(units[i], string);
    }
}

void NBFUnitSearchIndexAddUnit(NBFUnitSearchIndexRef index, NBFUnitContainerRef unit) {
    NBFUnitSearchIndexAddUnits(index, &unit, 1);
}

void NBFUnitSearchIndexRemoveUnit(NBFUnitSearchIndexRef index, NBFUnitContainerRef unit) {
    if (!index || !unit) return;
    for (const UnitString& string : stringsOfUnit(unit)) {
        std::vector<StringRef> lowercase = lowercaseWords(splitWords(string.string));
        std::unique_lock guard(index->lock);
        if (Node* node = index->find(borrowed(lowercase))) index->remove(unit, node);
    }
}

int32_t NBFUnitSearchIndexGetSize(NBFUnitSearchIndexRef index) {
    if (!index) return 0;
    std::shared_lock guard(index->lock);
    return index->root->count;
}

NBFUnitSearchIndexResults NBFUnitSearchIndexFindUnits(NBFUnitSearchIndexRef index,
                                                      const std::vector<NBFStringRef>& words,
                                                      bool* hasLongerMatches) {
    if (!index || words.empty()) return {};
    for (NBFStringRef word : words)
        if (!word) return {};
    std::vector<StringRef> lowercase = lowercaseWords(words);
    return NBFUnitSearchIndexFindUnitsWithLowercaseQuery(index, borrowed(lowercase),
                                                         hasLongerMatches);
}

NBFUnitSearchIndexResults NBFUnitSearchIndexFindUnitsWithLowercaseQuery(
    NBFUnitSearchIndexRef index, const std::vector<NBFStringRef>& lowercaseWords,
    bool* hasLongerMatches) {
    if (!index || lowercaseWords.empty()) return {};
    for (NBFStringRef word : lowercaseWords)
        if (!word) return {};
    std::shared_lock guard(index->lock);
    Node* node = index->find(lowercaseWords);
    if (!node) return {};
    if (hasLongerMatches) *hasLongerMatches = node->count != 0;
    return node->results;
}
