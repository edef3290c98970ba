#include "NKLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {
std::mutex& logMutex() {
    static std::mutex mutex;
    return mutex;
}
NKLogHook& logHook() {
    static NKLogHook hook;
    return hook;
}
}  // namespace

void NKLog(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
        line.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(arguments);

    NKLogHook hook;
    {
        std::lock_guard<std::mutex> lock(logMutex());
        hook = logHook();
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    if (hook) hook(line);
}

void NKSetLogHook(NKLogHook hook) {
    std::lock_guard<std::mutex> lock(logMutex());
    logHook() = std::move(hook);
}
