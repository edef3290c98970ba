#include "NBFErrorLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Diagnostics.h"

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

// The heading and the message go out as one diagnostic; an empty message adds nothing.
void finishReport(bool crashReport, const std::string& heading, const std::string& message) {
    Diagnostics::error(message.empty() ? heading : heading + '\n' + message);
    if (crashReport && !message.empty()) {
        std::snprintf(s_lastFatalMessage, sizeof s_lastFatalMessage, "%s", message.c_str());
        s_hasFatalMessage.store(true);
    }
}

std::string formatHeading(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string formatHeading(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string heading = formatMessage(format, args);
    va_end(args);
    return heading;
}

}  // namespace

void OX_logErr(bool crashReport, const char* kind, const char* condition, const char* function,
               const char* path, int line, const char* format, ...) {
    const std::string heading =
        formatHeading("%s failed: (%s) in function %s, %s:%d", kind ? kind : "",
                      condition ? condition : "", function ? function : "", baseName(path), line);
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    finishReport(crashReport, heading, message);
}

void OX_logErr_bigHeader(bool crashReport, const char* header, const char* function,
                         const char* path, int line, const char* format, ...) {
    if (header && std::strcmp(header, "Error!") == 0 && !NBFErrorLogEnabled) return;
    const std::string heading = formatHeading("\n\n%s @ %s, %s:%d\n------", header ? header : "",
                                              function ? function : "", baseName(path), line);
    va_list args;
    va_start(args, format);
    std::string message = formatMessage(format, args);
    va_end(args);
    finishReport(crashReport, heading, message);
}

const char* NBFErrorLogLastFatalMessage() {
    return s_hasFatalMessage.load() ? s_lastFatalMessage : nullptr;
}
