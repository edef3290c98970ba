#include "NKPersistence.h"

#include "NKTextHelpers.h"

PlistPtr NKVersionInfoPlist(const NKVersionInfo& info) {
    PlistPtr dictionary = PropertyListFile::dictionary();
    for (const auto& [key, value] : info)
        PropertyListFile::set(dictionary.get(), NKUTF8(key), PropertyListFile::string(value));
    return dictionary;
}
