#include "NKLog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "Diagnostics.h"

void NKLog(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (length > 0) {
        line.resize(static_cast<size_t>(length));
        std::vsnprintf(line.data(), line.size() + 1, format, arguments);
    }
    va_end(arguments);
    Diagnostics::error(line);
}
