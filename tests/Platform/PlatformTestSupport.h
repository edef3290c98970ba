// A fresh folder under the system's temporary folder, removed with everything in it.
#ifndef NUMBERA_TESTS_PLATFORM_TEST_SUPPORT_H
#define NUMBERA_TESTS_PLATFORM_TEST_SUPPORT_H

#include <unistd.h>

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

#endif
