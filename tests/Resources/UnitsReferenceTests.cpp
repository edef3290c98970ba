// Every reference between units resolves: compositions, prefixed forms, base units and
// preference targets, under every choice of preference options, without cycles.
#include <gtest/gtest.h>

#include <functional>

#include "TestSupport.hpp"

namespace resources_test {
namespace {

const UnitsCatalogue& catalogue() { return sharedCatalogue().catalogue; }

class UnitsReferences : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sharedCatalogue().loaded) << sharedCatalogue().error; }
};

std::string describe(const PreferenceChoice& choice) {
    std::string text;
    for (const auto& [preference, option] : choice) text += preference + "=" + option + " ";
    return text;
}

TEST_F(UnitsReferences, TheLoaderWouldBuildEveryEntry) {
    for (const std::string& problem : catalogue().problems()) ADD_FAILURE() << problem;
}

TEST_F(UnitsReferences, EveryUnitResolvesUnderEveryPreferenceChoice) {
    const auto choices = catalogue().allPreferenceChoices();
    ASSERT_EQ(choices.size(), 6u);
    for (const PreferenceChoice& choice : choices) {
        SCOPED_TRACE(describe(choice));
        for (const auto& [identifier, unit] : catalogue().units()) {
            Quantity q;
            std::string error;
            EXPECT_TRUE(catalogue().resolve(identifier, choice, q, error)) << error;
        }
    }
}

TEST_F(UnitsReferences, NoCompositionContainsItself) {
    // Walks every edge a composition can take: its parts and all targets of aliases.
    std::map<std::string, int> state;  // 1 on the path, 2 done
    std::function<void(const std::string&, std::vector<std::string>&)> visit =
        [&](const std::string& identifier, std::vector<std::string>& path) {
            if (state[identifier] == 2) return;
            path.push_back(identifier);
            if (state[identifier] == 1) {
                std::string cycle;
                for (const auto& step : path) cycle += step + " ";
                ADD_FAILURE() << "cycle: " << cycle;
                path.pop_back();
                return;
            }
            state[identifier] = 1;
            if (const CatalogueUnit* unit = catalogue().unit(identifier)) {
                std::vector<std::string> next = unit->numerator;
                next.insert(next.end(), unit->denominator.begin(), unit->denominator.end());
                for (const auto& [option, target] : unit->targets) next.push_back(target);
                if (unit->kind == UnitKind::Prefixed) next.push_back(unit->prefixBase);
                for (const auto& n : next) visit(n, path);
            }
            state[identifier] = 2;
            path.pop_back();
        };
    for (const auto& [identifier, unit] : catalogue().units()) {
        std::vector<std::string> path;
        visit(identifier, path);
    }
}

TEST_F(UnitsReferences, EveryCompositionNamesExistingUnits) {
    int compositions = 0;
    for (const auto& [identifier, unit] : catalogue().units()) {
        if (unit.kind != UnitKind::Composite) continue;
        ++compositions;
        for (const auto* side : {&unit.numerator, &unit.denominator})
            for (const std::string& part : *side)
                EXPECT_NE(catalogue().unit(part), nullptr) << identifier << " names " << part;
    }
    EXPECT_GE(compositions, 40);
}

TEST_F(UnitsReferences, EveryUnitHasTheDimensionOfItsCategory) {
    for (const PreferenceChoice& choice : catalogue().allPreferenceChoices()) {
        for (const auto& [identifier, unit] : catalogue().units()) {
            Quantity q;
            std::string error;
            if (!catalogue().resolve(identifier, choice, q, error)) continue;  // reported above
            const auto expected = UnitsCatalogue::categoryDimension(unit.category);
            ASSERT_TRUE(expected) << identifier << " has category " << unit.category;
            Dimension inverse;
            for (const auto& [base, power] : *expected) inverse[base] = -power;
            const bool inverseAllowed = unit.category == "Fuel Consumption";
            EXPECT_TRUE(q.dimension == *expected || (inverseAllowed && q.dimension == inverse))
                << identifier << " in " << unit.category << " (" << describe(choice) << ")";
        }
    }
}

TEST_F(UnitsReferences, PreferenceAliasesFollowTheChosenOption) {
    struct Row {
        const char* alias;
        const char* preference;
        const char* option;
        const char* target;
    };
    const Row rows[] = {
        {"kilobyte", "byte-prefix", "si", "decimal-kilobyte"},
        {"kilobyte", "byte-prefix", "binary", "kibibyte"},
        {"petabyte", "byte-prefix", "binary", "pebibyte"},
        {"gallon", "imperial-us-or-metric", "imperial", "imperial-gallon"},
        {"gallon", "imperial-us-or-metric", "us", "us-gallon"},
        {"gallon", "imperial-us-or-metric", "metric", "us-gallon"},
        {"cup", "imperial-us-or-metric", "metric", "metric-cup"},
        {"ton", "imperial-us-or-metric", "metric", "tonne"},
        {"ton", "imperial-us-or-metric", "us", "short-ton"},
        {"ton", "imperial-us-or-metric", "imperial", "long-ton"},
        {"pint", "imperial-us-or-metric", "imperial", "imperial-pint"},
        {"fluid-ounce", "imperial-us-or-metric", "us", "us-fluid-ounce"},
    };
    for (const Row& row : rows) {
        const CatalogueUnit* alias = catalogue().unit(row.alias);
        ASSERT_NE(alias, nullptr) << row.alias;
        EXPECT_EQ(alias->preference, row.preference) << row.alias;
        ASSERT_TRUE(alias->targets.count(row.option)) << row.alias << " " << row.option;
        EXPECT_EQ(alias->targets.at(row.option), row.target) << row.alias << " " << row.option;
    }
}

}  // namespace
}  // namespace resources_test
