// A property list read into plain values, so that every lookup checks the type it gets: the
// loaders of untrusted data files treat a value of the wrong type as absent.
#ifndef NUMBERA_CORE_NC_PROPERTY_LIST_VALUE_H
#define NUMBERA_CORE_NC_PROPERTY_LIST_VALUE_H

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class NCPropertyListValue {
  public:
    enum class Kind { None, Dictionary, Array, String, Integer, Real, Boolean, Other, Date };
    typedef std::map<std::u16string, std::shared_ptr<const NCPropertyListValue>> Dictionary;
    typedef std::vector<std::shared_ptr<const NCPropertyListValue>> Array;

    // Any property-list format; null with the reason in `error` when the data is not one. A
    // file is read only when PropertyListFile::readContents accepts it (a regular file of
    // bounded size).
    static std::shared_ptr<const NCPropertyListValue> readFromFile(const std::string& path,
                                                                   std::string* error);
    static std::shared_ptr<const NCPropertyListValue> readFromData(const std::string& data,
                                                                   std::string* error);

    Kind kind() const { return m_kind; }
    bool isDictionary() const { return m_kind == Kind::Dictionary; }
    bool isArray() const { return m_kind == Kind::Array; }
    bool isString() const { return m_kind == Kind::String; }
    const Dictionary& dictionary() const { return m_dictionary; }
    const Array& array() const { return m_array; }
    const std::u16string& string() const { return m_string; }
    int64_t integer() const { return m_integer; }
    bool boolean() const { return m_boolean; }
    // Integers and reals as a double; a date as seconds since the reference date (2001-01-01).
    double real() const {
        return m_kind == Kind::Integer ? static_cast<double>(m_integer) : m_real;
    }
    bool isDate() const { return m_kind == Kind::Date; }
    // The kind as a word, for log lines.
    std::string kindName() const;

    // The value under the key; null when absent.
    std::shared_ptr<const NCPropertyListValue> valueForKey(const std::u16string& key) const;

    Kind m_kind = Kind::None;
    Dictionary m_dictionary;
    Array m_array;
    std::u16string m_string;
    int64_t m_integer = 0;
    double m_real = 0;
    bool m_boolean = false;
};

#endif
