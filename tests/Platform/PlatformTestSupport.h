// A fresh folder under the system's temporary folder, removed with everything in it; files in
// the place of a data file that must never be waited on or read whole.
#ifndef NUMBERA_TESTS_PLATFORM_TEST_SUPPORT_H
#define NUMBERA_TESTS_PLATFORM_TEST_SUPPORT_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "numbera-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
    void write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
        std::ofstream(file(name), std::ios::binary) << text;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

  private:
    std::string m_path;
};

// A pipe nobody writes to, a link to an endless device, and a file of holes a byte longer
// than the size a data file may have (no disk is used).
enum class HostileFile { Pipe, LinkToZeroDevice, SparseOverLimit };
inline constexpr HostileFile kHostileFiles[] = {HostileFile::Pipe, HostileFile::LinkToZeroDevice,
                                                HostileFile::SparseOverLimit};

inline const char* hostileFileName(HostileFile kind) {
    switch (kind) {
        case HostileFile::Pipe:
            return "pipe";
        case HostileFile::LinkToZeroDevice:
            return "link to /dev/zero";
        case HostileFile::SparseOverLimit:
            return "sparse file over the limit";
    }
    return "";
}

inline bool makeHostileFile(const std::string& path, HostileFile kind, uint64_t limit) {
    switch (kind) {
        case HostileFile::Pipe:
            return ::mkfifo(path.c_str(), 0644) == 0;
        case HostileFile::LinkToZeroDevice:
            return ::symlink("/dev/zero", path.c_str()) == 0;
        case HostileFile::SparseOverLimit: {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const bool made = fd >= 0 && ::ftruncate(fd, static_cast<off_t>(limit + 1)) == 0;
            if (fd >= 0) ::close(fd);
            return made;
        }
    }
    return false;
}

// What a file is, without opening it: its type, size and inode, or a link's target. Equal
// descriptions mean the file was left alone.
inline std::string fileIdentity(const std::string& path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) return "none";
    std::string identity = std::to_string(info.st_mode & S_IFMT) + ":" +
                           std::to_string(info.st_size) + ":" + std::to_string(info.st_ino);
    if (S_ISLNK(info.st_mode)) {
        std::error_code ignored;
        identity += "->" + std::filesystem::read_symlink(path, ignored).string();
    }
    return identity;
}

#endif
