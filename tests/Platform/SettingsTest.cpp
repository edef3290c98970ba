#include <gtest/gtest.h>

#include "Settings.h"

namespace {

TEST(InMemorySettings, BoolReadingFollowsTheValueType) {
    struct Row {
        SettingsValue value;
        bool expected;
    };
    const Row rows[] = {
        {true, true},        {false, false},
        {int64_t{0}, false}, {int64_t{-3}, true},
        {0.0, false},        {0.5, true},
        {u"YES", true},      {u"yes", true},
        {u"TRUE", true},     {u"1", true},
        {u"17", true},       {u"0", false},
        {u"NO", false},      {u"", false},
        {u"maybe", false},   {std::vector<std::u16string>{u"YES"}, false},
    };
    InMemorySettings settings;
    for (size_t i = 0; i < std::size(rows); ++i) {
        settings.setObject("key", rows[i].value);
        EXPECT_EQ(settings.boolForKey("key"), rows[i].expected) << "row " << i;
    }
    EXPECT_FALSE(settings.boolForKey("absent"));
}

TEST(InMemorySettings, DefaultsAnswerUntilAValueIsSet) {
    InMemorySettings settings;
    settings.registerDefaults({{"interval", int64_t{3600}}, {"name", u"x"}});
    EXPECT_EQ(settings.integerForKey("interval"), 3600);
    settings.setObject("interval", 2.5);
    EXPECT_EQ(settings.doubleForKey("interval"), 2.5);
    EXPECT_EQ(settings.integerForKey("interval"), 2);
    settings.removeObjectForKey("interval");
    EXPECT_EQ(settings.integerForKey("interval"), 3600);
    EXPECT_EQ(settings.stringForKey("name"), u"x");
    EXPECT_EQ(settings.stringForKey("interval"), std::nullopt);
    EXPECT_FALSE(settings.objectForKey("missing").has_value());
}

TEST(Settings, StandardStoreCanBeReplaced) {
    auto mine = std::make_shared<InMemorySettings>();
    Settings::setStandard(mine);
    EXPECT_EQ(Settings::standard(), mine);
    Settings::setStandard(nullptr);
    EXPECT_NE(Settings::standard(), mine);
    EXPECT_FALSE(Settings::standard()->objectForKey("anything").has_value());
}

}  // namespace
