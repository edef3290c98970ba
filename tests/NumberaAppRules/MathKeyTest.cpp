// Keystroke replacements: which stored combinations are the same key, which entry wins, and
// how the list is read from and written to its file without ever losing a user's file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AppRulesTestSupport.h"
#include "NBMathKey.h"
#include "NCPropertyListValue.h"

namespace {

NBKeyEvent keyEvent(uint64_t flags, std::u16string ignoringModifiers,
                    std::u16string characters = {}) {
    NBKeyEvent event;
    event.modifierFlags = flags;
    event.charactersIgnoringModifiers = std::move(ignoringModifiers);
    event.characters = characters.empty() ? event.charactersIgnoringModifiers : characters;
    return event;
}

NBMathKey replacement(NBKeyEvent event, std::u16string text, bool enabled = true) {
    NBMathKey key(std::move(event));
    key.setString(std::move(text));
    key.setEnabled(enabled);
    return key;
}

struct SameKeyCase {
    const char* name;
    NBKeyEvent stored;
    NBKeyEvent pressed;
    bool same;
};

class SameCombination : public ::testing::TestWithParam<SameKeyCase> {};

TEST_P(SameCombination, ModifierBitsUnderTheMaskAndCharactersDecide) {
    const SameKeyCase& c = GetParam();
    EXPECT_EQ(NBMathKey(c.stored).isEqualTo(NBMathKey(c.pressed)), c.same) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SameCombination,
    ::testing::Values(
        SameKeyCase{"identical", keyEvent(NBEventModifierFlagOption, u"p"),
                    keyEvent(NBEventModifierFlagOption, u"p"), true},
        SameKeyCase{"caps lock ignored",
                    keyEvent(NBEventModifierFlagOption | NBEventModifierFlagCapsLock, u"p", u"P"),
                    keyEvent(NBEventModifierFlagOption, u"p"), true},
        SameKeyCase{"keypad and function bits ignored",
                    keyEvent(NBEventModifierFlagNumericPad | NBEventModifierFlagFunction, u"1"),
                    keyEvent(0, u"1"), true},
        SameKeyCase{"control differs", keyEvent(NBEventModifierFlagOption, u"p"),
                    keyEvent(NBEventModifierFlagOption | NBEventModifierFlagControl, u"p"), false},
        SameKeyCase{"command differs", keyEvent(NBEventModifierFlagCommand, u"p"),
                    keyEvent(0, u"p"), false},
        SameKeyCase{"shift counts through the characters",
                    keyEvent(NBEventModifierFlagOption | NBEventModifierFlagShift, u"P"),
                    keyEvent(NBEventModifierFlagOption, u"p"), false},
        SameKeyCase{"shift bit alone is ignored",
                    keyEvent(NBEventModifierFlagOption | NBEventModifierFlagShift, u"p"),
                    keyEvent(NBEventModifierFlagOption, u"p"), true},
        SameKeyCase{"bits above bit 23 count", keyEvent(1ull << 24, u"p"), keyEvent(0, u"p"),
                    false}));

TEST(MathKeyController, TheFirstEnabledNonEmptyMatchWins) {
    NBMathKeyController controller;
    const NBKeyEvent altP = keyEvent(NBEventModifierFlagOption, u"p");
    controller.addMathkey(replacement(altP, u"disabled", false));
    controller.addMathkey(replacement(altP, u""));
    controller.addMathkey(replacement(altP, u"\u03C0"));
    controller.addMathkey(replacement(altP, u"later"));
    EXPECT_EQ(controller.stringForEvent(altP), std::u16string(u"\u03C0"));
    EXPECT_EQ(controller.stringForEvent(keyEvent(NBEventModifierFlagOption, u"q")), std::nullopt);
    controller.keystrokeReplacements()[0].setEnabled(true);
    EXPECT_EQ(controller.stringForEvent(altP), std::u16string(u"disabled"));
}

TEST(MathKeyController, AKeyFromAnEmptyInitIsEnabledAndNamesNoKey) {
    NBMathKey key;
    EXPECT_TRUE(key.enabled());
    EXPECT_EQ(key.event().keyCode, NBMathKeyNoKeyCode);
    EXPECT_TRUE(key.string().empty());
    EXPECT_FALSE(NBMathKey(keyEvent(0, u"a")).enabled());
}

class MathKeyFiles : public ::testing::Test {
  protected:
    std::filesystem::path m_folder =
        std::filesystem::temp_directory_path() /
        ("mathkeys-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override {
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }
    std::string path(const char* name) const { return (m_folder / name).string(); }
    static void write(const std::string& file, const std::string& text) {
        std::ofstream(file) << text;
    }
};

TEST_F(MathKeyFiles, SavedListsReadBackInOrderWithEveryField) {
    NBMathKeyController controller;
    controller.setDataSourcePath(path("Mathkeys.plist"));
    NBKeyEvent event =
        keyEvent(NBEventModifierFlagOption | NBEventModifierFlagShift, u"P", u"\u220F");
    event.keyCode = 35;
    controller.addMathkey(replacement(event, u"\u03A0"));
    controller.addMathkey(
        replacement(keyEvent(NBEventModifierFlagControl, u"r"), u"\u221A", false));
    ASSERT_TRUE(controller.endLife());

    NBMathKeyController reread;
    reread.beginLife(path("Mathkeys.plist"), resourcesDirectory() + "/Mathkeys.plist");
    ASSERT_EQ(reread.keystrokeReplacements().size(), 2u);
    EXPECT_EQ(reread.keystrokeReplacements()[0].event(), event);
    EXPECT_EQ(reread.keystrokeReplacements()[0].string(), u"\u03A0");
    EXPECT_TRUE(reread.keystrokeReplacements()[0].enabled());
    EXPECT_EQ(reread.keystrokeReplacements()[1].string(), u"\u221A");
    EXPECT_FALSE(reread.keystrokeReplacements()[1].enabled());
    std::string error;
    auto root = NCPropertyListValue::readFromFile(path("Mathkeys.plist"), &error);
    ASSERT_TRUE(root && root->isDictionary());
    EXPECT_TRUE(root->valueForKey(u"NBVersionInfo"));
}

TEST_F(MathKeyFiles, WithoutAUserFileTheBundledListIsRead) {
    NBMathKeyController controller;
    controller.beginLife(path("Mathkeys.plist"), resourcesDirectory() + "/Mathkeys.plist");
    EXPECT_FALSE(controller.keystrokeReplacements().empty());
    EXPECT_EQ(controller.stringForEvent(keyEvent(NBEventModifierFlagOption, u"p")),
              std::u16string(u"\u03C0"));
}

TEST_F(MathKeyFiles, AnUnreadableUserFileIsMovedAsideAndNeverOverwritten) {
    write(path("Mathkeys.plist"), "not a property list");
    NBMathKeyController controller;
    controller.beginLife(path("Mathkeys.plist"), resourcesDirectory() + "/Mathkeys.plist");
    EXPECT_FALSE(controller.keystrokeReplacements().empty());
    ASSERT_TRUE(std::filesystem::exists(path("Mathkeys.plist.unreadable")));
    std::ifstream kept(path("Mathkeys.plist.unreadable"));
    std::string contents((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(contents, "not a property list");
    ASSERT_TRUE(controller.endLife());
    std::ifstream still(path("Mathkeys.plist.unreadable"));
    std::string after((std::istreambuf_iterator<char>(still)), std::istreambuf_iterator<char>());
    EXPECT_EQ(after, "not a property list");
}

TEST_F(MathKeyFiles, NoListAnywhereLogsAndLeavesTheListEmpty) {
    CapturedDiagnostics log;
    NBMathKeyController controller;
    controller.beginLife(path("Mathkeys.plist"), path("missing.plist"));
    EXPECT_TRUE(controller.keystrokeReplacements().empty());
    EXPECT_TRUE(log.contains("Warning! No Default Mathkeys Datasource in the Bundle!"));
}

TEST(MathKeyRepresentation, ModifiersInTheirOrderThenTheKey) {
    EXPECT_EQ(NBMathKey(keyEvent(NBEventModifierFlagOption, u"p")).stringValue(), u"\u2325P");
    EXPECT_EQ(NBMathKey(keyEvent(NBEventModifierFlagControl | NBEventModifierFlagCommand, u"x"))
                  .stringValue(),
              u"\u2303\u2318X");
}

}  // namespace

TEST(MathKeyText, CombinationsShowWithTheDesktopsNamesWhileTheBitsStay) {
    const std::vector<std::pair<NBKeyEvent, std::u16string>> cases = {
        {keyEvent(NBEventModifierFlagOption, u"p"), u"Alt+P"},
        {keyEvent(NBEventModifierFlagCommand | NBEventModifierFlagOption, u"k"), u"Ctrl+Alt+K"},
        {keyEvent(NBEventModifierFlagControl | NBEventModifierFlagOption, u"r"), u"Alt+Meta+R"},
        {keyEvent(NBEventModifierFlagOption | NBEventModifierFlagShift, u"8"), u"Alt+Shift+8"},
        {keyEvent(NBEventModifierFlagOption, u" "), u"Alt+Space"},
        {keyEvent(NBEventModifierFlagOption, u""), u""},
    };
    for (const auto& [event, text] : cases) {
        EXPECT_EQ(NBMathKey::desktopKeyStrokeText(event), text);
        NBMathKey key;
        key.setEvent(event);
        // The stored form keeps the design's symbols.
        EXPECT_EQ(key.event().modifierFlags, event.modifierFlags);
        EXPECT_EQ(key.desktopStringValue(), text);
    }
}
