#include "NCPropertyListValue.h"

#include <plist/plist.h>

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
            value->kind_ = NCPropertyListValue::Kind::Dictionary;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, iter, &key, &item);
                if (!key) break;
                value->dictionary_[NBFUTF8ToUTF16(key)] = convert(item, depth + 1);
                free(key);
            }
            free(iter);
            break;
        }
        case PLIST_ARRAY: {
            value->kind_ = NCPropertyListValue::Kind::Array;
            const uint32_t count = plist_array_get_size(node);
            for (uint32_t i = 0; i < count; ++i)
                value->array_.push_back(convert(plist_array_get_item(node, i), depth + 1));
            break;
        }
        case PLIST_STRING: {
            value->kind_ = NCPropertyListValue::Kind::String;
            uint64_t length = 0;
            const char* text = plist_get_string_ptr(node, &length);
            value->string_ = NBFUTF8ToUTF16(std::string(text ? text : "", text ? length : 0));
            break;
        }
        case PLIST_UINT: {
            // Negative integers come back in two's complement.
            uint64_t raw = 0;
            plist_get_uint_val(node, &raw);
            value->kind_ = NCPropertyListValue::Kind::Integer;
            value->integer_ = static_cast<int64_t>(raw);
            break;
        }
        case PLIST_REAL:
            value->kind_ = NCPropertyListValue::Kind::Real;
            plist_get_real_val(node, &value->real_);
            break;
        case PLIST_BOOLEAN: {
            uint8_t flag = 0;
            plist_get_bool_val(node, &flag);
            value->kind_ = NCPropertyListValue::Kind::Boolean;
            value->boolean_ = flag != 0;
            break;
        }
        case PLIST_DATE: {
            int32_t seconds = 0, microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            value->kind_ = NCPropertyListValue::Kind::Date;
            value->real_ = seconds + microseconds / 1e6;
            break;
        }
        default:
            value->kind_ = NCPropertyListValue::Kind::Other;
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
    auto found = dictionary_.find(key);
    return found == dictionary_.end() ? nullptr : found->second;
}

std::string NCPropertyListValue::kindName() const {
    switch (kind_) {
        case Kind::Dictionary: return "dictionary";
        case Kind::Array: return "array";
        case Kind::String: return "string";
        case Kind::Integer: return "integer";
        case Kind::Real: return "real";
        case Kind::Boolean: return "boolean";
        case Kind::Other: return "other";
        case Kind::Date: return "date";
        case Kind::None: break;
    }
    return "none";
}
