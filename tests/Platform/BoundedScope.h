// A watchdog over a stretch of a test: when the process outlives the time limit or its resident
// size grows by more than the memory limit, it reports which bound broke and ends the process with
// a failure, so that a test of a bound can neither hang nor exhaust the machine.
#ifndef NUMBERA_TESTS_BOUNDED_SCOPE_H
#define NUMBERA_TESTS_BOUNDED_SCOPE_H

#include <sys/types.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

// The resident size of a process (this one when 0), 0 when unknown.
inline long residentKilobytes(pid_t pid = 0) {
    std::ifstream status("/proc/" + (pid ? std::to_string(pid) : std::string("self")) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

class BoundedScope {
  public:
    BoundedScope(std::string what, double seconds, long kilobytes)
        : m_what(std::move(what)), m_start(residentKilobytes()), m_peak(m_start) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        m_watch = std::thread([this, deadline, kilobytes] {
            std::unique_lock<std::mutex> lock(m_mutex);
            while (!m_done) {
                const long resident = residentKilobytes();
                m_peak = std::max(m_peak.load(), resident);
                const bool late = std::chrono::steady_clock::now() > deadline;
                if (late || resident - m_start > kilobytes) {
                    std::fprintf(stderr, "%s: %s\n", m_what.c_str(),
                                 late ? "took too long" : "took too much memory");
                    std::fflush(stderr);
                    std::_Exit(1);
                }
                m_wake.wait_for(lock, std::chrono::milliseconds(5));
            }
        });
    }
    ~BoundedScope() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_watch.join();
    }
    BoundedScope(const BoundedScope&) = delete;
    BoundedScope& operator=(const BoundedScope&) = delete;

    // How far the resident size rose above its size at the start, as sampled.
    long growthKilobytes() const { return std::max(m_peak.load(), residentKilobytes()) - m_start; }

  private:
    std::string m_what;
    long m_start;
    std::atomic<long> m_peak;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_watch;
};

#endif
