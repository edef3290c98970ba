#include "NBFErrorLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

bool NBFErrorLogEnabled = true;

void NBFErrorLogSetEnabled(bool flag) { NBFErrorLogEnabled = flag; }

namespace {

// A fixed buffer, so keeping the message allocates nothing in a dying process.
char s_lastFatalMessage[1024];
std::atomic<bool> s_hasFatalMessage{false};

const char* baseName(const char* path) {
    if (!path) return "";
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

std::string formatMessage(const char* format, va_list args) {
    if (!format) return {};
    va_list copy;
    va_copy(copy, args);
    int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size <= 0) return {};
    std::string text(static_cast<size_t>(size), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

void finishReport(bool crashReport, const std::string& message) {
    if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    if (crashReport && !message.empty()) {
        std::snprintf(s_lastFatalMessage, sizeof s_lastFatalMessage, "%s", message.c_str());
        s_hasFatalMessage.store(true);
    }
}

}  // namespace

void OX_logErr(bool crashReport, const char* kind, const char* condition, const char* function,
               const char* path, int line, const char* format, ...) {
    std::fprintf(stderr, "%s failed: (%s) in function %s, %s:%d\n", kind ? kind : "",
                 condition ? condition : "", function ? function : "", baseName(path), line);
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    finishReport(crashReport, message);
}

void OX_logErr_bigHeader(bool crashReport, const char* header, const char* function,
                         const char* path, int line, const char* format, ...) {
    if (header && std::strcmp(header, "Error!") == 0 && !NBFErrorLogEnabled) return;
    std::fprintf(stderr, "\n\n%s @ %s, %s:%d\n------\n", header ? header : "",
                 function ? function : "", baseName(path), line);
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    finishReport(crashReport, message);
}

const char* NBFErrorLogLastFatalMessage() {
    return s_hasFatalMessage.load() ? s_lastFatalMessage : nullptr;
}
