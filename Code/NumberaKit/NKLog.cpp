#include "NKLog.h"

#include <cstdio>
#include <mutex>

#include "NBFString.h"

namespace {

std::mutex s_mutex;
std::function<void(const std::string&)> s_handler;

}  // namespace

void NKLog(const std::string& line) {
    std::function<void(const std::string&)> handler;
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        handler = s_handler;
    }
    if (handler)
        handler(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

void NKSetLogHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_handler = std::move(handler);
}

std::string NKUTF8(const std::u16string& text) { return NBFUTF16ToUTF8(text); }
std::u16string NKUTF16(const std::string& text) { return NBFUTF8ToUTF16(text); }
