#include "NBStringsTable.h"

#include "ResourceBundle.h"

// Unfinished: tables are not read yet.
std::optional<NBStringsTable> NBStringsTable::fromFile(const std::string&) { return std::nullopt; }

std::optional<std::u16string> NBStringsTable::lookup(const std::u16string& key) const {
    auto found = m_entries.find(key);
    if (found == m_entries.end()) return std::nullopt;
    return found->second;
}

std::u16string NBStringsTable::localizedStringForKey(const ResourceBundle&,
                                                     const std::u16string& key,
                                                     const std::optional<std::u16string>& value,
                                                     const std::string&) {
    return value.value_or(key);
}

void NBStringsTable::clearCache() {}
