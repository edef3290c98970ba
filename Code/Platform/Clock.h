// Time as seconds since the reference date (2001-01-01 00:00:00 UTC), from a clock that tests
// can set by hand so that nothing waits for real time.
#ifndef NUMBERA_PLATFORM_CLOCK_H
#define NUMBERA_PLATFORM_CLOCK_H

#include <atomic>

using NSTimeInterval = double;
// Seconds between 1970-01-01 and 2001-01-01.
inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

class Clock {
  public:
    virtual ~Clock() = default;
    // Seconds since the reference date.
    virtual NSTimeInterval now() const = 0;
};

class SystemClock final : public Clock {
  public:
    NSTimeInterval now() const override;
};

// Stands still until moved; safe to read from any thread.
class ManualClock final : public Clock {
  public:
    explicit ManualClock(NSTimeInterval start = 0) : m_now(start) {}
    NSTimeInterval now() const override { return m_now.load(); }
    void set(NSTimeInterval now) { m_now.store(now); }
    void advance(NSTimeInterval seconds) { m_now.store(m_now.load() + seconds); }

  private:
    std::atomic<NSTimeInterval> m_now;
};

#endif
