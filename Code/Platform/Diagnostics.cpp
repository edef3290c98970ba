#include "Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace Diagnostics {
namespace {

std::mutex& sinkMutex() {
    static std::mutex mutex;
    return mutex;
}

Sink& installedSink() {
    static Sink sink;
    return sink;
}

void writeDefault(Stream stream, const std::string& message) {
    FILE* file = stream == Stream::output ? stdout : stderr;
    // One call per message, so messages of different threads do not interleave.
    std::string line = message + '\n';
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
}

std::string format(const char* format, va_list arguments) {
    if (!format) return {};
    va_list copy;
    va_copy(copy, arguments);
    const int size = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (size <= 0) return {};
    std::string text(static_cast<size_t>(size), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    return text;
}

}  // namespace

void write(Stream stream, const std::string& message) {
    Sink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = installedSink();
    }
    // Called outside the lock: a sink may itself report.
    if (sink)
        sink(stream, message);
    else
        writeDefault(stream, message);
}

void writef(Stream stream, const char* formatText, ...) {
    va_list arguments;
    va_start(arguments, formatText);
    std::string message = format(formatText, arguments);
    va_end(arguments);
    write(stream, message);
}

void errorf(const char* formatText, ...) {
    va_list arguments;
    va_start(arguments, formatText);
    std::string message = format(formatText, arguments);
    va_end(arguments);
    write(Stream::error, message);
}

Sink setSink(Sink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    Sink previous = std::move(installedSink());
    installedSink() = std::move(sink);
    return previous;
}

}  // namespace Diagnostics
