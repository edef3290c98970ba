#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "TestRandom.h"

namespace {

struct SettingsCase {
    const char* seedText;        // null: not set
    const char* iterationsText;  // null: not set
    std::optional<uint32_t> seed;
    int iterations;
    std::string problem;  // part of the one message expected, empty for none
};

std::string shown(const char* text) { return text ? "\"" + std::string(text) + "\"" : "unset"; }

TEST(TestRandomSettings, VariablesAreReadOrReportedAndIgnored) {
    const SettingsCase cases[] = {
        {nullptr, nullptr, std::nullopt, 1, ""},
        {"", "", std::nullopt, 1, ""},
        {"42", nullptr, 42u, 1, ""},
        {"0", nullptr, 0u, 1, ""},
        {"4294967295", nullptr, 4294967295u, 1, ""},
        {nullptr, "3", std::nullopt, 3, ""},
        {"123", "2", 123u, 2, ""},
        {"abc", nullptr, std::nullopt, 1, "NUMBERA_TEST_SEED=\"abc\" is not a whole number"},
        {"42abc", nullptr, std::nullopt, 1, "NUMBERA_TEST_SEED=\"42abc\""},
        {" 42", nullptr, std::nullopt, 1, "NUMBERA_TEST_SEED=\" 42\""},
        {"-1", nullptr, std::nullopt, 1, "NUMBERA_TEST_SEED=\"-1\""},
        {"4294967296", nullptr, std::nullopt, 1, "from 0 to 4294967295"},
        {nullptr, "abc", std::nullopt, 1, "NUMBERA_TEST_ITERATIONS=\"abc\" is not a whole number"},
        {nullptr, "0", std::nullopt, 1, "NUMBERA_TEST_ITERATIONS=\"0\""},
        {nullptr, "-2", std::nullopt, 1, "NUMBERA_TEST_ITERATIONS=\"-2\""},
        {nullptr, "2.5", std::nullopt, 1, "NUMBERA_TEST_ITERATIONS=\"2.5\""},
        {nullptr, "1000001", std::nullopt, 1, "from 1 to 1000000"},
        {"7", "x", 7u, 1, "NUMBERA_TEST_ITERATIONS=\"x\""},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE("seed " + shown(c.seedText) + ", iterations " + shown(c.iterationsText));
        test_random::Settings settings = test_random::parseSettings(c.seedText, c.iterationsText);
        EXPECT_EQ(settings.seed, c.seed);
        EXPECT_EQ(settings.iterations, c.iterations);
        if (c.problem.empty()) {
            EXPECT_TRUE(settings.problems.empty());
        } else {
            ASSERT_EQ(settings.problems.size(), 1u);
            EXPECT_NE(settings.problems[0].find(c.problem), std::string::npos)
                << settings.problems[0];
            EXPECT_NE(settings.problems[0].find("ignored"), std::string::npos)
                << settings.problems[0];
        }
    }
}

TEST(TestRandomSettings, SeedsRoundsAndTheReproductionFollowTheSettings) {
    const test_random::Settings plain = test_random::parseSettings(nullptr, nullptr);
    EXPECT_EQ(plain.seedFor(7), 7u);
    EXPECT_EQ(plain.roundsFor(2000), 2000);
    EXPECT_EQ(plain.reproduction(7), "NUMBERA_TEST_SEED=7 reproduces");

    const test_random::Settings given = test_random::parseSettings("123", "3");
    EXPECT_EQ(given.seedFor(7), 123u);
    EXPECT_EQ(given.seedFor(99), 123u);
    EXPECT_EQ(given.roundsFor(2000), 6000);
    EXPECT_EQ(given.reproduction(123),
              "NUMBERA_TEST_SEED=123 NUMBERA_TEST_ITERATIONS=3 reproduces");

    // A product past int's range runs as many rounds as int holds rather than wrapping.
    const test_random::Settings most = test_random::parseSettings(nullptr, "1000000");
    EXPECT_EQ(most.roundsFor(1 << 20), std::numeric_limits<int>::max());
}

}  // namespace
