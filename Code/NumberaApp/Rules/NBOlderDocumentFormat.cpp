#include "NBOlderDocumentFormat.h"

#include <plist/plist.h>
#include <utf8.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>

namespace {

struct PlistFree {
    void operator()(plist_t node) const {
        if (node) plist_free(node);
    }
};

// Attributed strings hold their string one or two references down; anything deeper is not a
// document of ours.
constexpr int kMaximumDepth = 8;

class ArchiveReader {
  public:
    ArchiveReader(plist_t objects, std::string* why) : m_objects(objects), m_why(why) {}

    // The object a reference names, following references; null with a reason when one
    // points outside the table.
    plist_t resolve(plist_t node, int depth = 0) {
        while (node && plist_get_node_type(node) == PLIST_UID) {
            if (depth++ > kMaximumDepth)
                return fail("the archive's references go round in a circle");
            uint64_t index = 0;
            plist_get_uid_val(node, &index);
            if (index >= plist_array_get_size(m_objects))
                return fail("a reference of the archive points outside its object table");
            node = plist_array_get_item(m_objects, static_cast<uint32_t>(index));
        }
        return node;
    }

    std::optional<std::string> string(plist_t node, int depth = 0) {
        node = resolve(node, depth);
        if (!node || depth > kMaximumDepth) return std::nullopt;
        if (plist_get_node_type(node) == PLIST_STRING) {
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            return text ? std::string(text, length) : std::string();
        }
        if (plist_get_node_type(node) != PLIST_DICT) return std::nullopt;
        // A mutable string keeps its characters in "NS.string"; styled text its string in
        // "NSString".
        for (const char* key : {"NS.string", "NSString"})
            if (plist_t inner = plist_dict_get_item(node, key)) return string(inner, depth + 1);
        return std::nullopt;
    }

    // The value of a dictionary object (keys and objects in two parallel arrays) for the key.
    plist_t valueForKey(plist_t dictionary, const std::string& wanted) {
        dictionary = resolve(dictionary);
        if (!dictionary || plist_get_node_type(dictionary) != PLIST_DICT) return nullptr;
        plist_t keys = plist_dict_get_item(dictionary, "NS.keys");
        plist_t values = plist_dict_get_item(dictionary, "NS.objects");
        if (!keys || !values || plist_get_node_type(keys) != PLIST_ARRAY ||
            plist_get_node_type(values) != PLIST_ARRAY)
            return plist_dict_get_item(dictionary, wanted.c_str());
        const uint32_t count = std::min(plist_array_get_size(keys), plist_array_get_size(values));
        for (uint32_t i = 0; i < count; ++i) {
            const std::optional<std::string> key = string(plist_array_get_item(keys, i));
            if (key && *key == wanted) return plist_array_get_item(values, i);
        }
        return nullptr;
    }

    std::nullptr_t fail(const char* reason) {
        if (m_why && m_why->empty()) *m_why = reason;
        return nullptr;
    }

  private:
    plist_t m_objects;
    std::string* m_why;
};

std::optional<std::u16string> failed(std::string* why, const char* reason) {
    if (why && why->empty()) *why = reason;
    return std::nullopt;
}

}  // namespace

std::optional<std::u16string> olderDocumentText(const std::string& bytes, std::string* why) {
    if (why) why->clear();
    // Keyed archives were written as binary property lists; text is never taken for one.
    if (bytes.size() < 8 || std::memcmp(bytes.data(), "bplist00", 8) != 0 ||
        bytes.size() > UINT32_MAX)
        return failed(why, "the file is no keyed archive");
    plist_t parsed = nullptr;
    plist_from_bin(bytes.data(), static_cast<uint32_t>(bytes.size()), &parsed);
    std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree> root(parsed);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return failed(why, "the file is no keyed archive");
    plist_t objects = plist_dict_get_item(root.get(), "$objects");
    plist_t top = plist_dict_get_item(root.get(), "$top");
    if (!objects || plist_get_node_type(objects) != PLIST_ARRAY || !top ||
        plist_get_node_type(top) != PLIST_DICT)
        return failed(why, "the archive has no object table");
    ArchiveReader reader(objects, why);
    plist_t rootObject = plist_dict_get_item(top, "root");
    if (!rootObject) return failed(why, "the archive has no root object");
    plist_t expressions = reader.valueForKey(rootObject, "expressions");
    if (!expressions) return failed(why, "the archive holds no \"expressions\"");
    const std::optional<std::string> text = reader.string(expressions);
    if (!text) return failed(why, "the archive's \"expressions\" is no text");
    std::string valid;
    utf8::replace_invalid(text->begin(), text->end(), std::back_inserter(valid));
    std::u16string out;
    utf8::utf8to16(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}
