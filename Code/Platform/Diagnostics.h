// The one way out for the libraries' diagnostics: remarks, warnings and error reports. The
// default sink writes each message, worded as given, and a line end to the stream it names; a
// program installs its own (the previewers a quiet one, the application its log window).
#ifndef NUMBERA_PLATFORM_DIAGNOSTICS_H
#define NUMBERA_PLATFORM_DIAGNOSTICS_H

#include <functional>
#include <string>

namespace Diagnostics {

enum class Stream { error, output };

// Receives a message without its final line end; it may hold line ends of its own. Called on
// the thread that reports, so a sink that keeps messages guards them itself.
using Sink = std::function<void(Stream stream, const std::string& message)>;

void write(Stream stream, const std::string& message);
void writef(Stream stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Standard error is where nearly every diagnostic goes.
inline void error(const std::string& message) { write(Stream::error, message); }
void errorf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Installs a sink for the whole process; an empty one returns to the default. Answers the sink
// it replaces (empty for the default).
Sink setSink(Sink sink);

// Installs a sink for its lifetime and puts the previous one back.
class ScopedSink {
  public:
    explicit ScopedSink(Sink sink) : m_previous(setSink(std::move(sink))) {}
    ~ScopedSink() { setSink(std::move(m_previous)); }
    ScopedSink(const ScopedSink&) = delete;
    ScopedSink& operator=(const ScopedSink&) = delete;

  private:
    Sink m_previous;
};

}  // namespace Diagnostics

#endif
