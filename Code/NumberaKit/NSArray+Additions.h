// Searches and filters over vectors that compare elements by value.
#ifndef NUMBERA_KIT_NSARRAY_ADDITIONS_H
#define NUMBERA_KIT_NSARRAY_ADDITIONS_H

#include <algorithm>
#include <cstdint>
#include <optional>
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

}  // namespace NSArrayAdditions

#endif
