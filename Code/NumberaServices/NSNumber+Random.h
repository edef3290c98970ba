// A random integer between two bounds, both included; the generator is seeded from the clock
// on first use.
#ifndef NUMBERA_SERVICES_NSNUMBER_RANDOM_H
#define NUMBERA_SERVICES_NSNUMBER_RANDOM_H

#include <cstdint>

// 0 (with a warning) when high is not above low.
int64_t randomIntegerBetween(int64_t low, int64_t high);

#endif
