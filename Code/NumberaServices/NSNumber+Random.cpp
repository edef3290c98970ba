#include <chrono>
#include <mutex>
#include <random>

#include "NKLog.h"
#include "NSNumber+Random.h"

int64_t randomIntegerBetween(int64_t low, int64_t high) {
    if (high <= low) {
        NKLog("Warning: low %ld isn't lower than high %ld", static_cast<long>(low),
              static_cast<long>(high));
        return 0;
    }
    static std::mutex mutex;
    static std::mt19937_64 generator(
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    // The span may exceed int64_t (low very negative); unsigned arithmetic wraps correctly.
    uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    std::lock_guard<std::mutex> lock(mutex);
    uint64_t draw = span == UINT64_MAX ? generator() : generator() % (span + 1);
    return static_cast<int64_t>(static_cast<uint64_t>(low) + draw);
}
