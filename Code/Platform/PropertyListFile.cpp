#include "PropertyListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utf8.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <vector>

#include "CLocaleScope.h"

namespace fs = std::filesystem;

namespace {

void fail(NSError* error, int64_t code, const std::string& message) {
    if (!error) return;
    std::u16string text;
    utf8::unchecked::utf8to16(message.begin(), message.end(), std::back_inserter(text));
    *error = NSError{PropertyListFile::kErrorDomain, code, text, {}};
}

std::string describeErrno(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

bool writeAll(int fd, const std::string& data) {
    size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

namespace PropertyListFile {

PlistPtr dictionary() { return PlistPtr(plist_new_dict()); }
PlistPtr array() { return PlistPtr(plist_new_array()); }
PlistPtr string(const std::string& utf8) { return PlistPtr(plist_new_string(utf8.c_str())); }

PlistPtr string(const std::u16string& text) {
    std::string utf8;
    try {
        utf8::utf16to8(text.begin(), text.end(), std::back_inserter(utf8));
    } catch (const utf8::exception&) {
        // An unpaired surrogate: keep what converts, replace the rest.
        utf8.clear();
        for (char16_t c : text) {
            const uint32_t code = (c >= 0xD800 && c <= 0xDFFF) ? 0xFFFD : c;
            utf8::append(code, std::back_inserter(utf8));
        }
    }
    return string(utf8);
}

PlistPtr integer(int64_t value) { return PlistPtr(plist_new_uint(static_cast<uint64_t>(value))); }
PlistPtr real(double value) { return PlistPtr(plist_new_real(value)); }
PlistPtr boolean(bool value) { return PlistPtr(plist_new_bool(value ? 1 : 0)); }

PlistPtr date(double secondsSinceReferenceDate) {
    double whole = std::floor(secondsSinceReferenceDate);
    if (!(whole >= INT32_MIN && whole <= INT32_MAX)) whole = whole > 0 ? INT32_MAX : INT32_MIN;
    const double micro = std::isfinite(secondsSinceReferenceDate)
                             ? std::round((secondsSinceReferenceDate - whole) * 1e6)
                             : 0;
    return PlistPtr(plist_new_date(static_cast<int32_t>(whole),
                                   static_cast<int32_t>(std::min(micro, 999999.0))));
}

void set(plist_t dictionary, const std::string& key, PlistPtr value) {
    if (!dictionary || !value) return;
    plist_dict_set_item(dictionary, key.c_str(), value.release());
}

void append(plist_t array, PlistPtr value) {
    if (!array || !value) return;
    plist_array_append_item(array, value.release());
}

std::string xmlData(plist_t root) {
    if (!root) return {};
    char* xml = nullptr;
    uint32_t length = 0;
    {
        // Reals are printed by the C library.
        CLocaleScope numbers;
        plist_to_xml(root, &xml, &length);
    }
    std::string data(xml ? xml : "", xml ? length : 0);
    if (xml) plist_to_xml_free(xml);
    return data;
}

std::optional<std::string> readContents(const std::string& path, NSError* error) {
    // Looked at before opening: opening a device can have effects of its own.
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        fail(error, kReadFailed, describeErrno("Cannot read", path));
        return std::nullopt;
    }
    auto refuse = [&](const struct stat& status) {
        if (S_ISDIR(status.st_mode)) return "is a folder";
        if (!S_ISREG(status.st_mode)) return "is not a regular file";
        if (status.st_size <= 0) return "is empty";
        if (static_cast<uint64_t>(status.st_size) > kMaximumFileSize) return "is too large";
        return static_cast<const char*>(nullptr);
    };
    if (const char* why = refuse(info)) {
        fail(error, kNotAPropertyList, "'" + path + "' " + why);
        return std::nullopt;
    }
    // Without waiting, should a pipe have taken the file's place since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        fail(error, kReadFailed, describeErrno("Cannot read", path));
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &info) != 0) {
        fail(error, kReadFailed, describeErrno("Cannot read", path));
        return std::nullopt;
    }
    if (const char* why = refuse(info)) {
        fail(error, kNotAPropertyList, "'" + path + "' " + why);
        return std::nullopt;
    }
    // Never more than the size seen: a file that grows meanwhile is read as it was.
    std::string data(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail(error, kReadFailed, describeErrno("Cannot read", path));
            return std::nullopt;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    data.resize(done);
    if (data.empty()) {
        fail(error, kNotAPropertyList, "'" + path + "' is empty");
        return std::nullopt;
    }
    return data;
}

PlistPtr read(const std::string& path, NSError* error) {
    const std::optional<std::string> data = readContents(path, error);
    if (!data) return nullptr;
    plist_t root = nullptr;
    {
        // Reals are read by the C library's strtod.
        CLocaleScope numbers;
        plist_from_memory(data->data(), static_cast<uint32_t>(data->size()), &root);
    }
    if (!root) {
        fail(error, kNotAPropertyList, "'" + path + "' is not a property list");
        return nullptr;
    }
    return PlistPtr(root);
}

bool isReadableDictionary(const std::string& path) {
    PlistPtr root = read(path, nullptr);
    return root && plist_get_node_type(root.get()) == PLIST_DICT;
}

std::optional<std::string> moveAsideIfUnreadable(const std::string& path, NSError* error) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec)) || isReadableDictionary(path))
        return std::nullopt;
    return moveAside(path, error);
}

std::optional<std::string> moveAside(const std::string& path, NSError* error) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return std::nullopt;
    std::string aside = path + ".unreadable";
    for (int n = 2; fs::exists(fs::symlink_status(aside, ec)); ++n) {
        if (n > 9999) {
            fail(error, kWriteFailed, "No free name to move '" + path + "' aside");
            return std::nullopt;
        }
        aside = path + ".unreadable-" + std::to_string(n);
    }
    if (::rename(path.c_str(), aside.c_str()) != 0) {
        fail(error, kWriteFailed, describeErrno("Cannot move aside", path));
        return std::nullopt;
    }
    return aside;
}

bool writeDataAtomically(const std::string& path, const std::string& data, NSError* error) {
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        fail(error, kWriteFailed, describeErrno("Cannot create a temporary file for", path));
        return false;
    }
    temporary = name.data();
    const bool written = writeAll(fd, data) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    const int savedErrno = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        errno = written ? errno : savedErrno;
        fail(error, kWriteFailed, describeErrno("Cannot write", path));
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        fail(error, kWriteFailed, describeErrno("Cannot replace", path));
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool writeAtomically(const std::string& path, plist_t root, NSError* error) {
    if (!root) {
        fail(error, kWriteFailed, "Nothing to write to '" + path + "'");
        return false;
    }
    NSError moveError;
    moveError.code = 0;
    if (!moveAsideIfUnreadable(path, &moveError) && moveError.code != 0) {
        if (error) *error = moveError;
        return false;
    }
    return writeDataAtomically(path, xmlData(root), error);
}

}  // namespace PropertyListFile
