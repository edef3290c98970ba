#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "ResourceBundle.h"

namespace {

class ResourceBundleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder.write("Units.plist", "u");
        folder.write("Shared.txt", "s");
        folder.write("en.lproj/UnitLocalization.plist", "en");
        folder.write("fr.lproj/UnitLocalization.plist", "fr");
        folder.write("de.lproj/Only.plist", "de");
        ResourceBundle::setPreferredLanguages({"fr", "en"});
    }
    void TearDown() override { ResourceBundle::setPreferredLanguages({}); }
    TemporaryFolder folder;
};

TEST_F(ResourceBundleTest, LocalisedFolderFirstThenTopLevel) {
    ResourceBundle bundle(folder.path());
    struct Row {
        std::string name, type;
        std::optional<std::string> localization;
        std::optional<std::string> expected;  // relative to the bundle
    };
    const Row rows[] = {
        {"UnitLocalization", "plist", "en", "en.lproj/UnitLocalization.plist"},
        {"UnitLocalization", "plist", "de", std::nullopt},
        {"UnitLocalization", "plist", std::nullopt, "fr.lproj/UnitLocalization.plist"},
        {"Units", "plist", "de", "Units.plist"},
        {"Units", "plist", std::nullopt, "Units.plist"},
        {"Only", "plist", "de", "de.lproj/Only.plist"},
        {"Only", "plist", std::nullopt, std::nullopt},
        {"Shared.txt", "", std::nullopt, "Shared.txt"},
        {"Missing", "plist", "en", std::nullopt},
        {"../Units", "plist", std::nullopt, std::nullopt},
        {"Units", "plist", "../en", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto found = bundle.pathForResource(row.name, row.type, row.localization);
        const auto expected =
            row.expected ? std::optional<std::string>(folder.file(*row.expected)) : std::nullopt;
        EXPECT_EQ(found, expected) << row.name << " " << row.localization.value_or("(none)");
    }
}

TEST_F(ResourceBundleTest, LocalizationsAndPreferredOnes) {
    ResourceBundle bundle(folder.path());
    EXPECT_EQ(bundle.localizations(), (std::vector<std::string>{"de", "en", "fr"}));
    EXPECT_EQ(bundle.preferredLocalizations(), (std::vector<std::string>{"fr", "en"}));
    ResourceBundle::setPreferredLanguages({"ja"});
    EXPECT_EQ(bundle.preferredLocalizations(), (std::vector<std::string>{"en"}));
}

TEST(ResourceBundle, PreferredLanguagesNeverEmpty) {
    ResourceBundle::setPreferredLanguages({});
    EXPECT_FALSE(ResourceBundle::preferredLanguages().empty());
}

}  // namespace
