// What the environment's data files share: the version information written into each of
// them, and the conversion of property-list dictionaries into the core's variable properties.
#ifndef NUMBERA_SERVICES_NK_PERSISTENCE_H
#define NUMBERA_SERVICES_NK_PERSISTENCE_H

#include <map>
#include <optional>
#include <string>

#include "PropertyListFile.h"

// "CreatorVersion", "CreatorID", "CreatorBuild" → text.
using NKVersionInfo = std::map<std::u16string, std::u16string>;

inline constexpr const char* NKVersionInfoKey = "NKVersionInfo";

// The version information as a property-list dictionary.
PlistPtr NKVersionInfoPlist(const NKVersionInfo& info);

// A data file that was there but could not be read entirely (not a dictionary, a list of the
// wrong kind, entries we skipped). What we could not read is still the user's: the file is
// moved aside, as "<name>.unreadable", before the first write over it.
class NKPartlyReadFile {
  public:
    void note(const std::string& path) { m_path = path; }
    const std::optional<std::string>& path() const { return m_path; }
    // Before `path` is written: moves the noted file aside when it is that one. False, with a
    // log line, when it could not be moved; nothing may be written then.
    bool setAsideBeforeWriting(const std::string& path);

  private:
    std::optional<std::string> m_path;
};

#endif
