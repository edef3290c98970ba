// A read-only copy of a property list, so that the checks walk plain C++ values instead of
// libplist handles.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace resources_test {

struct PlistNode {
    enum class Kind { Dict, Array, String, Integer, Boolean, Real, Other };

    Kind kind = Kind::Other;
    std::string text;                                        // String
    std::int64_t integer = 0;                                // Integer
    bool boolean = false;                                    // Boolean
    std::vector<PlistNode> items;                            // Array
    std::vector<std::pair<std::string, PlistNode>> entries;  // Dict, in file order

    bool isDict() const { return kind == Kind::Dict; }
    bool isArray() const { return kind == Kind::Array; }
    bool isString() const { return kind == Kind::String; }
    bool isInteger() const { return kind == Kind::Integer; }
    bool isBoolean() const { return kind == Kind::Boolean; }

    // The value under the key of a dictionary, or null (also for a node that is no dictionary).
    const PlistNode* find(std::string_view key) const;
    // The text under the key when it is a string, else empty.
    std::string stringAt(std::string_view key) const;
};

const char* kindName(PlistNode::Kind kind);

// Reads an XML property list. Answers false with a message when the file cannot be read or is
// not a property list.
bool readPlistFile(const std::string& path, PlistNode& out, std::string& error);

}  // namespace resources_test
