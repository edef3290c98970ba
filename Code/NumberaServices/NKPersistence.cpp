#include "NKPersistence.h"

#include "NKTextHelpers.h"

PlistPtr NKVersionInfoPlist(const NKVersionInfo& info) {
    PlistPtr dictionary = PropertyListFile::dictionary();
    for (const auto& [key, value] : info)
        PropertyListFile::set(dictionary.get(), NKUTF8(key), PropertyListFile::string(value));
    return dictionary;
}

bool NKPartlyReadFile::setAsideBeforeWriting(const std::string& path) {
    if (!m_path || *m_path != path) return true;
    NSError error;
    error.code = 0;
    const std::optional<std::string> aside = PropertyListFile::moveAside(path, &error);
    if (!aside && error.code != 0) {
        NKLogLine("Warning: '" + path + "' could not be read entirely and cannot be moved aside (" +
                  NKUTF8(error.localizedDescription) + "); it is not written over");
        return false;
    }
    if (aside)
        NKLogLine("The data file '" + path + "', not read entirely, was kept as '" + *aside + "'");
    m_path.reset();
    return true;
}
