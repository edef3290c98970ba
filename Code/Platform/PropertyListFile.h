// Property-list data files: read in any format, written as XML text atomically (a temporary
// file in the same folder, flushed to disk, then renamed over the old file), so that a crash
// never leaves half a file. A file in the way that does not read as a dictionary property list
// is renamed aside first rather than overwritten: it may be the user's data in a form we
// cannot read.
#ifndef NUMBERA_PLATFORM_PROPERTYLISTFILE_H
#define NUMBERA_PLATFORM_PROPERTYLISTFILE_H

#include <plist/plist.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "NSError.h"

struct PlistFree {
    void operator()(plist_t node) const {
        if (node) plist_free(node);
    }
};
// Owns a libplist node and everything below it.
using PlistPtr = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

namespace PropertyListFile {

inline constexpr const char* kErrorDomain = "PropertyListFile";
enum ErrorCode : int64_t { kWriteFailed = 1, kReadFailed = 2, kNotAPropertyList = 3 };

// Data files are small; anything bigger is not one of ours.
inline constexpr uint64_t kMaximumFileSize = 64u * 1024 * 1024;

// Nodes for building a list; strings are UTF-8.
PlistPtr dictionary();
PlistPtr array();
PlistPtr string(const std::string& utf8);
PlistPtr string(const std::u16string& text);
PlistPtr integer(int64_t value);
PlistPtr real(double value);
PlistPtr boolean(bool value);
// Seconds since the reference date (2001-01-01 UTC).
PlistPtr date(double secondsSinceReferenceDate);
// Take ownership of the child.
void set(plist_t dictionary, const std::string& key, PlistPtr value);
void append(plist_t array, PlistPtr value);

std::string xmlData(plist_t root);

// The bytes of a regular file (symbolic links followed) of 1 to kMaximumFileSize bytes; none,
// with the reason in error, for anything else. Every data file is read through here: a pipe,
// a device or a huge file in the data folder is refused at once instead of being waited on or
// read into memory.
std::optional<std::string> readContents(const std::string& path, NSError* error);
// Null, with the reason in error, when the file is missing, refused by readContents or is not
// a property list.
PlistPtr read(const std::string& path, NSError* error);
// True when a file exists at the path and reads as a property list with a dictionary root.
bool isReadableDictionary(const std::string& path);
// When a file exists at the path but is not a readable dictionary property list, renames it to
// "<path>.unreadable" (or "<path>.unreadable-2", "-3"...) and answers the new path; none when
// nothing was moved. A failed rename answers none and leaves error set.
std::optional<std::string> moveAsideIfUnreadable(const std::string& path, NSError* error);
// The same for any file at the path, readable or not.
std::optional<std::string> moveAside(const std::string& path, NSError* error);

// Writes the bytes atomically; the folder must exist.
bool writeDataAtomically(const std::string& path, const std::string& data, NSError* error);
// Moves an unreadable file aside, then writes the list as XML atomically. When the unreadable
// file cannot be moved, nothing is written.
bool writeAtomically(const std::string& path, plist_t root, NSError* error);

}  // namespace PropertyListFile

#endif
