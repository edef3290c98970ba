#include "PlistTree.hpp"

#include <plist/plist.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace resources_test {

const PlistNode* PlistNode::find(std::string_view key) const {
    if (kind != Kind::Dict) return nullptr;
    for (const auto& [k, v] : entries)
        if (k == key) return &v;
    return nullptr;
}

std::string PlistNode::stringAt(std::string_view key) const {
    const PlistNode* node = find(key);
    return node && node->isString() ? node->text : std::string();
}

const char* kindName(PlistNode::Kind kind) {
    switch (kind) {
        case PlistNode::Kind::Dict:
            return "dictionary";
        case PlistNode::Kind::Array:
            return "array";
        case PlistNode::Kind::String:
            return "string";
        case PlistNode::Kind::Integer:
            return "integer";
        case PlistNode::Kind::Boolean:
            return "boolean";
        case PlistNode::Kind::Real:
            return "real";
        case PlistNode::Kind::Other:
            return "other";
    }
    return "other";
}

namespace {

struct PlistFree {
    void operator()(void* p) const { plist_free(static_cast<plist_t>(p)); }
};

PlistNode convert(plist_t node) {
    PlistNode out;
    switch (plist_get_node_type(node)) {
        case PLIST_DICT: {
            out.kind = PlistNode::Kind::Dict;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char* key = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(node, iter, &key, &value);
                if (!value) {
                    std::free(key);
                    break;
                }
                out.entries.emplace_back(key ? key : "", convert(value));
                std::free(key);
            }
            std::free(iter);
            break;
        }
        case PLIST_ARRAY: {
            out.kind = PlistNode::Kind::Array;
            const std::uint32_t count = plist_array_get_size(node);
            for (std::uint32_t i = 0; i < count; ++i)
                out.items.push_back(convert(plist_array_get_item(node, i)));
            break;
        }
        case PLIST_STRING: {
            out.kind = PlistNode::Kind::String;
            std::uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            out.text.assign(text ? text : "", text ? length : 0);
            break;
        }
        case PLIST_UINT: {
            // libplist keeps integers as 64-bit patterns; negative ones come back two's complement.
            out.kind = PlistNode::Kind::Integer;
            std::uint64_t value = 0;
            plist_get_uint_val(node, &value);
            out.integer = static_cast<std::int64_t>(value);
            break;
        }
        case PLIST_BOOLEAN: {
            out.kind = PlistNode::Kind::Boolean;
            std::uint8_t value = 0;
            plist_get_bool_val(node, &value);
            out.boolean = value != 0;
            break;
        }
        case PLIST_REAL:
            out.kind = PlistNode::Kind::Real;
            break;
        default:
            out.kind = PlistNode::Kind::Other;
            break;
    }
    return out;
}

}  // namespace

bool readPlistFile(const std::string& path, PlistNode& out, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    const std::string data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (data.rfind("<?xml", 0) != 0 || data.find("<plist version=\"1.0\">") == std::string::npos) {
        error = path + " is not an XML property list";
        return false;
    }
    plist_t root = nullptr;
    plist_from_xml(data.data(), static_cast<std::uint32_t>(data.size()), &root);
    if (!root) {
        error = path + " does not parse as a property list";
        return false;
    }
    std::unique_ptr<void, PlistFree> owner(root);
    out = convert(root);
    return true;
}

}  // namespace resources_test
