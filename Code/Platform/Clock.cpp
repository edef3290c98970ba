#include "Clock.h"

#include <chrono>

NSTimeInterval SystemClock::now() const {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(sinceEpoch).count() - NSTimeIntervalSince1970;
}
