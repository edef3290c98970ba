// A keyed archive: named values of a few plain kinds, written by an object's encode and read
// back by its decode. Reading a missing key, or a key of another kind, answers nothing, so
// readers keep their own defaults.
#ifndef NUMBERA_PLATFORM_NSKEYEDARCHIVE_H
#define NUMBERA_PLATFORM_NSKEYEDARCHIVE_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>

using NSArchiveValue = std::variant<bool, int64_t, double, std::u16string>;

class NSKeyedArchive {
  public:
    void encodeBool(bool value, const std::string& key) { m_values[key] = value; }
    void encodeInt(int32_t value, const std::string& key) { m_values[key] = int64_t{value}; }
    void encodeInt32(int32_t value, const std::string& key) { m_values[key] = int64_t{value}; }
    void encodeInteger(int64_t value, const std::string& key) { m_values[key] = value; }
    void encodeDouble(double value, const std::string& key) { m_values[key] = value; }
    // A nil object writes nothing.
    void encodeObject(const std::optional<std::u16string>& value, const std::string& key) {
        if (value) m_values[key] = *value;
    }

    bool containsValueForKey(const std::string& key) const { return m_values.count(key) > 0; }
    std::optional<bool> decodeBool(const std::string& key) const { return get<bool>(key); }
    // Integers are range-checked: a value that does not fit answers nothing.
    std::optional<int32_t> decodeInt32(const std::string& key) const;
    std::optional<int64_t> decodeInteger(const std::string& key) const { return get<int64_t>(key); }
    std::optional<double> decodeDouble(const std::string& key) const { return get<double>(key); }
    std::optional<std::u16string> decodeObject(const std::string& key) const {
        return get<std::u16string>(key);
    }

    const std::map<std::string, NSArchiveValue>& values() const { return m_values; }
    void setValue(const NSArchiveValue& value, const std::string& key) { m_values[key] = value; }

  private:
    template <typename T>
    std::optional<T> get(const std::string& key) const {
        auto found = m_values.find(key);
        if (found == m_values.end() || !std::holds_alternative<T>(found->second))
            return std::nullopt;
        return std::get<T>(found->second);
    }
    std::map<std::string, NSArchiveValue> m_values;
};

inline std::optional<int32_t> NSKeyedArchive::decodeInt32(const std::string& key) const {
    std::optional<int64_t> value = get<int64_t>(key);
    if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(*value);
}

#endif
