// Seeds and lengths of the randomised tests. Each test has its own seed and round count, so a
// plain run always sees the same cases; two environment variables search further:
//   NUMBERA_TEST_SEED=N        every randomised test draws from seed N (0 ... 4294967295)
//   NUMBERA_TEST_ITERATIONS=K  every randomised test runs K times its rounds (1 ... 1000000)
// A value that is not understood is reported once on standard error and the defaults hold.
#ifndef NUMBERA_TESTS_SUPPORT_TEST_RANDOM_H
#define NUMBERA_TESTS_SUPPORT_TEST_RANDOM_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_random {

struct Settings {
    std::optional<uint32_t> seed;       // when set, replaces every test's own seed
    int iterations = 1;                 // multiplies every test's round count
    std::vector<std::string> problems;  // why a value given was not used

    uint32_t seedFor(uint32_t ownSeed) const { return seed.value_or(ownSeed); }
    int roundsFor(int ownRounds) const;
    // How to run a test again as it ran with `seed`, for a failure's trace.
    std::string reproduction(uint32_t usedSeed) const;
};

// Reads the variables' texts; null stands for a variable that is not set.
Settings parseSettings(const char* seedText, const char* iterationsText);

// This process's settings, read from the environment once.
const Settings& settings();

inline uint32_t seed(uint32_t ownSeed) { return settings().seedFor(ownSeed); }
inline int rounds(int ownRounds) { return settings().roundsFor(ownRounds); }
inline std::string reproduction(uint32_t usedSeed) { return settings().reproduction(usedSeed); }

}  // namespace test_random

#endif
