// Holds one of the process's output streams aside (on /dev/null) for a scope. The engine's
// start-up and file reader print remarks of their own; the previewers' standard output is
// their product and their standard error carries exactly one line per failure.
#ifndef NUMBERA_PREVIEW_QUIET_OUTPUT_H
#define NUMBERA_PREVIEW_QUIET_OUTPUT_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace NumberaPreview {

class QuietOutput {
  public:
    explicit QuietOutput(int descriptor) : m_descriptor(descriptor) {
        flush();
        m_saved = ::dup(descriptor);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && nowhere >= 0) ::dup2(nowhere, descriptor);
        if (nowhere >= 0) ::close(nowhere);
    }
    ~QuietOutput() {
        flush();
        if (m_saved < 0) return;
        ::dup2(m_saved, m_descriptor);
        ::close(m_saved);
    }
    QuietOutput(const QuietOutput&) = delete;
    QuietOutput& operator=(const QuietOutput&) = delete;

  private:
    void flush() const {
        if (m_descriptor == STDOUT_FILENO) std::fflush(stdout);
        if (m_descriptor == STDERR_FILENO) std::fflush(stderr);
    }
    int m_descriptor;
    int m_saved = -1;
};

}  // namespace NumberaPreview

#endif
