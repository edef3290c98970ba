#include "NCPropertyListValue.h"

#include <plist/plist.h>

#include "CLocaleScope.h"
#include "NBFString.h"
#include "PropertyListFile.h"

namespace {

// Nesting deeper than any real file is refused rather than recursed into.
constexpr int kMaxDepth = 64;

std::shared_ptr<const NCPropertyListValue> convert(plist_t node, int depth) {
    auto value = std::make_shared<NCPropertyListValue>();
    if (!node || depth > kMaxDepth) return value;
    switch (plist_get_node_type(node)) {
        case PLIST_DICT: {
            value->m_kind = NCPropertyListValue::Kind::Dictionary;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iter, &key, &item);
                if (!key) break;
                value->m_dictionary[NBFUTF8ToUTF16(key)] = convert(item, depth + 1);
                free(key);
            }
            free(iter);
            break;
        }
        case PLIST_ARRAY: {
            value->m_kind = NCPropertyListValue::Kind::Array;
            const uint32_t count = plist_array_get_size(node);
            for (uint32_t i = 0; i < count; ++i)
                value->m_array.push_back(convert(plist_array_get_item(node, i), depth + 1));
            break;
        }
        case PLIST_STRING: {
            value->m_kind = NCPropertyListValue::Kind::String;
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            value->m_string = NBFUTF8ToUTF16(std::string(text ? text : "", text ? length : 0));
            break;
        }
        case PLIST_UINT: {
            // Negative integers come back in two's complement.
            uint64_t raw = 0;
            plist_get_uint_val(node, &raw);
            value->m_kind = NCPropertyListValue::Kind::Integer;
            value->m_integer = static_cast<int64_t>(raw);
            break;
        }
        case PLIST_REAL:
            value->m_kind = NCPropertyListValue::Kind::Real;
            plist_get_real_val(node, &value->m_real);
            break;
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            value->m_kind = NCPropertyListValue::Kind::Boolean;
            value->m_boolean = flag != 0;
            break;
        }
        case PLIST_DATE: {
            int32_t seconds = 0, microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            value->m_kind = NCPropertyListValue::Kind::Date;
            value->m_real = seconds + microseconds / 1e6;
            break;
        }
        default:
            value->m_kind = NCPropertyListValue::Kind::Other;
            break;
    }
    return value;
}

}  // namespace

std::shared_ptr<const NCPropertyListValue> NCPropertyListValue::readFromData(
    const std::string& data, std::string* error) {
    if (data.empty() || data.size() > UINT32_MAX) {
        if (error) *error = data.empty() ? "empty data" : "data too large";
        return nullptr;
    }
    plist_t root = nullptr;
    // Reals in XML are read by the C library's strtod.
    CLocaleScope numbers;
    if (plist_is_binary(data.data(), static_cast<uint32_t>(data.size())))
        plist_from_bin(data.data(), static_cast<uint32_t>(data.size()), &root);
    else
        plist_from_xml(data.data(), static_cast<uint32_t>(data.size()), &root);
    if (!root) {
        if (error) *error = "the data is not a property list";
        return nullptr;
    }
    auto value = convert(root, 0);
    plist_free(root);
    return value;
}

std::shared_ptr<const NCPropertyListValue> NCPropertyListValue::readFromFile(
    const std::string& path, std::string* error) {
    NSError failure;
    const std::optional<std::string> data = PropertyListFile::readContents(path, &failure);
    if (!data) {
        if (error) *error = NBFUTF16ToUTF8(failure.localizedDescription);
        return nullptr;
    }
    return readFromData(*data, error);
}

std::shared_ptr<const NCPropertyListValue> NCPropertyListValue::valueForKey(
    const std::u16string& key) const {
    auto found = m_dictionary.find(key);
    return found == m_dictionary.end() ? nullptr : found->second;
}

std::string NCPropertyListValue::kindName() const {
    switch (m_kind) {
        case Kind::Dictionary:
            return "dictionary";
        case Kind::Array:
            return "array";
        case Kind::String:
            return "string";
        case Kind::Integer:
            return "integer";
        case Kind::Real:
            return "real";
        case Kind::Boolean:
            return "boolean";
        case Kind::Other:
            return "other";
        case Kind::Date:
            return "date";
        case Kind::None:
            break;
    }
    return "none";
}
