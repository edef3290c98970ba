#include "TestRandom.h"

#include <charconv>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <system_error>

namespace test_random {

namespace {

constexpr const char* kSeedName = "NUMBERA_TEST_SEED";
constexpr const char* kIterationsName = "NUMBERA_TEST_ITERATIONS";
constexpr int kMostIterations = 1000000;

// The whole text as a number in [low, high]; anything else, signs and spaces included, is not.
template <class Number>
std::optional<Number> wholeNumber(const std::string& text, Number low, Number high) {
    Number value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::string problem(const char* name, const std::string& text, const std::string& wanted) {
    return std::string(name) + "=\"" + text + "\" is not " + wanted + "; it is ignored";
}

}  // namespace

int Settings::roundsFor(int ownRounds) const {
    const long long product = static_cast<long long>(ownRounds) * iterations;
    return product > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                     : static_cast<int>(product);
}

std::string Settings::reproduction(uint32_t usedSeed) const {
    std::string text = std::string(kSeedName) + "=" + std::to_string(usedSeed);
    if (iterations != 1)
        text += std::string(" ") + kIterationsName + "=" + std::to_string(iterations);
    return text + " reproduces";
}

// An empty variable counts as unset, as `NAME= command` in a shell means to clear it.
Settings parseSettings(const char* seedText, const char* iterationsText) {
    Settings settings;
    if (seedText && *seedText) {
        const std::string text = seedText;
        settings.seed = wholeNumber<uint32_t>(text, 0, std::numeric_limits<uint32_t>::max());
        if (!settings.seed)
            settings.problems.push_back(
                problem(kSeedName, text, "a whole number from 0 to 4294967295"));
    }
    if (iterationsText && *iterationsText) {
        const std::string text = iterationsText;
        if (std::optional<int> value = wholeNumber<int>(text, 1, kMostIterations))
            settings.iterations = *value;
        else
            settings.problems.push_back(
                problem(kIterationsName, text,
                        "a whole number from 1 to " + std::to_string(kMostIterations)));
    }
    return settings;
}

const Settings& settings() {
    static const Settings read = [] {
        Settings settings = parseSettings(std::getenv(kSeedName), std::getenv(kIterationsName));
        for (const std::string& problem : settings.problems) std::cerr << problem << "\n";
        return settings;
    }();
    return read;
}

}  // namespace test_random
