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

#endif
