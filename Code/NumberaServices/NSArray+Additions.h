// Searches and filters over vectors that compare elements by value.
#ifndef NUMBERA_SERVICES_NSARRAY_ADDITIONS_H
#define NUMBERA_SERVICES_NSARRAY_ADDITIONS_H

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "NSRange.h"

namespace NSArrayAdditions {

template <typename T>
std::optional<T> objectEqualTo(const std::vector<T>& array, const T& object) {
    auto found = std::find(array.begin(), array.end(), object);
    return found == array.end() ? std::nullopt : std::optional<T>(*found);
}

// NSNotFound when absent.
template <typename T>
uint64_t indexOfObjectEqualTo(const std::vector<T>& array, const T& object) {
    auto found = std::find(array.begin(), array.end(), object);
    return found == array.end() ? NSNotFound : static_cast<uint64_t>(found - array.begin());
}

template <typename T>
bool containsObjectEqualTo(const std::vector<T>& array, const T& object) {
    return std::find(array.begin(), array.end(), object) != array.end();
}

template <typename T>
std::vector<T> arrayWithoutObjects(const std::vector<T>& array, const std::vector<T>& objects) {
    std::vector<T> result;
    for (const T& element : array)
        if (!containsObjectEqualTo(objects, element)) result.push_back(element);
    return result;
}

// The elements after the first occurrence; empty after the last element, none when absent.
template <typename T>
std::optional<std::vector<T>> arrayWithObjectsAfterObject(const std::vector<T>& array,
                                                          const T& object) {
    auto found = std::find(array.begin(), array.end(), object);
    if (found == array.end()) return std::nullopt;
    return std::vector<T>(found + 1, array.end());
}

template <typename T>
std::optional<T> firstObject(const std::vector<T>& array) {
    return array.empty() ? std::nullopt : std::optional<T>(array.front());
}

template <typename T, typename Test>
std::optional<T> objectPassingTest(const std::vector<T>& array, Test test) {
    auto found = std::find_if(array.begin(), array.end(), test);
    return found == array.end() ? std::nullopt : std::optional<T>(*found);
}

inline bool containsString(const std::vector<std::u16string>& array, const std::u16string& string) {
    return containsObjectEqualTo(array, string);
}
inline bool containsKey(const std::vector<std::u16string>& array, const std::u16string& key) {
    return containsString(array, key);
}
inline bool containsNumber(const std::vector<int64_t>& array, int64_t number) {
    return containsObjectEqualTo(array, number);
}

// Elements are pointers to objects that may carry a tag (`tag()`).
template <typename T>
uint64_t indexOfObjectWithTag(const std::vector<T>& array, int64_t tag) {
    for (size_t i = 0; i < array.size(); ++i)
        if (array[i] && array[i]->tag() == tag) return i;
    return NSNotFound;
}

template <typename T>
T objectWithTag(const std::vector<T>& array, int64_t tag) {
    uint64_t index = indexOfObjectWithTag(array, tag);
    return index == NSNotFound ? T{} : array[index];
}

// Each element's dictionary representation, in order; null elements are skipped.
template <typename T>
auto arrayWithObjectsInDictionaryRep(const std::vector<T>& array) {
    std::vector<decltype(array.front()->dictionaryRepresentation())> result;
    for (const T& element : array)
        if (element) result.push_back(element->dictionaryRepresentation());
    return result;
}

}  // namespace NSArrayAdditions

#endif
