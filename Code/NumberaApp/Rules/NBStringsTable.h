// Strings tables ("<table>.strings" in a resource bundle's language folders): the translation
// of each English interface text. A table file is an XML property list whose root dictionary
// maps each English text to its translation, so that the platform's readers of property lists
// serve it; entries that are not strings are ignored.
#ifndef NUMBERA_APP_RULES_NB_STRINGS_TABLE_H
#define NUMBERA_APP_RULES_NB_STRINGS_TABLE_H

#include <map>
#include <memory>
#include <optional>
#include <string>

class ResourceBundle;

class NBStringsTable {
  public:
    // None, with a log line, when the file is missing or is not a dictionary property list.
    static std::optional<NBStringsTable> fromFile(const std::string& path);

    std::optional<std::u16string> lookup(const std::u16string& key) const;
    const std::map<std::u16string, std::u16string>& entries() const { return m_entries; }

    // The bundle's translation of the key in the table for its preferred localisation,
    // else value (the key itself when value is none). Tables are read once per file.
    static std::u16string localizedStringForKey(const ResourceBundle& bundle,
                                                const std::u16string& key,
                                                const std::optional<std::u16string>& value,
                                                const std::string& table);
    // Forgets the tables read so far (tests that change a bundle's files).
    static void clearCache();

  private:
    std::map<std::u16string, std::u16string> m_entries;
};

#endif
