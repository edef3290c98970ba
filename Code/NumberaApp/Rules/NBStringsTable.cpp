#include "NBStringsTable.h"

#include <mutex>

#include "Diagnostics.h"
#include "NCPropertyListValue.h"
#include "ResourceBundle.h"

namespace {

std::mutex s_cacheMutex;
// By file path; a file that does not read is remembered as none, so it is reported once.
std::map<std::string, std::optional<NBStringsTable>> s_cache;
// Where a bundle's table lies, by the bundle's folder, the table and the user's languages:
// finding it lists the bundle's folder on disk, and each token laid out in the text asks for
// its words again.
std::map<std::string, std::optional<std::string>> s_paths;

std::string pathKey(const ResourceBundle& bundle, const std::string& table) {
    std::string key = bundle.bundlePath() + '\0' + table;
    for (const std::string& language : ResourceBundle::preferredLanguages()) key += '\0' + language;
    return key;
}

}  // namespace

std::optional<NBStringsTable> NBStringsTable::fromFile(const std::string& path) {
    std::string error;
    const auto root = NCPropertyListValue::readFromFile(path, &error);
    if (!root || !root->isDictionary()) {
        Diagnostics::error("The strings table " + path + " could not be read" +
                           (error.empty() ? std::string() : ": " + error));
        return std::nullopt;
    }
    NBStringsTable table;
    for (const auto& [key, value] : root->dictionary())
        if (value && value->isString()) table.m_entries[key] = value->string();
    return table;
}

std::optional<std::u16string> NBStringsTable::lookup(const std::u16string& key) const {
    auto found = m_entries.find(key);
    if (found == m_entries.end()) return std::nullopt;
    return found->second;
}

std::u16string NBStringsTable::localizedStringForKey(const ResourceBundle& bundle,
                                                     const std::u16string& key,
                                                     const std::optional<std::u16string>& value,
                                                     const std::string& table) {
    const std::u16string fallback = value.value_or(key);
    const std::string where = pathKey(bundle, table);
    std::lock_guard<std::mutex> lock(s_cacheMutex);
    auto found = s_paths.find(where);
    if (found == s_paths.end())
        found = s_paths.emplace(where, bundle.pathForResource(table, "strings")).first;
    const std::optional<std::string>& path = found->second;
    if (!path) return fallback;
    auto cached = s_cache.find(*path);
    if (cached == s_cache.end()) cached = s_cache.emplace(*path, fromFile(*path)).first;
    if (!cached->second) return fallback;
    return cached->second->lookup(key).value_or(fallback);
}

void NBStringsTable::clearCache() {
    std::lock_guard<std::mutex> lock(s_cacheMutex);
    s_cache.clear();
    s_paths.clear();
}
