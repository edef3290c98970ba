#include <gtest/gtest.h>

#include "NSAttributedString.h"
#include "NSLocalizedString.h"

namespace {

const NSAttributes kBold{{"bold", true}};
const NSAttributes kRed{{"color", std::u16string(u"red")}};

TEST(NSAttributedString, ReplacedCharactersTakeTheirNeighboursAttributes) {
    NSAttributedString text(u"abcdef");
    text.setAttributes(kBold, {2, 2});
    NSRange run;
    EXPECT_EQ(text.attributesAtIndex(3, &run), kBold);
    EXPECT_EQ(run, (NSRange{2, 2}));
    EXPECT_TRUE(text.attributesAtIndex(4, &run).empty());
    EXPECT_EQ(run, (NSRange{4, 2}));

    // "cd" becomes "XYZ": bold like the first replaced character.
    ASSERT_TRUE(text.replaceCharactersInRange({2, 2}, u"XYZ"));
    EXPECT_EQ(text.string(), u"abXYZef");
    EXPECT_EQ(text.attributesAtIndex(4, &run), kBold);
    EXPECT_EQ(run, (NSRange{2, 3}));
    // An insertion takes the attributes of the character before it.
    ASSERT_TRUE(text.replaceCharactersInRange({5, 0}, u"!"));
    EXPECT_EQ(text.attributesAtIndex(5), kBold);
    EXPECT_FALSE(text.replaceCharactersInRange({7, 2}, u"?"));
    EXPECT_EQ(text.string(), u"abXYZ!ef");
}

TEST(NSAttributedString, AttributedReplacementKeepsItsOwnRuns) {
    NSAttributedString text(u"1 + 2", kBold);
    NSAttributedString red(u"three", kRed);
    ASSERT_TRUE(text.replaceCharactersInRange({4, 1}, red));
    EXPECT_EQ(text.string(), u"1 + three");
    EXPECT_EQ(text.attributesAtIndex(0), kBold);
    EXPECT_EQ(text.attributesAtIndex(8), kRed);
    text.addAttribute("bold", true, {6, 3});
    NSAttributes both = kRed;
    both["bold"] = true;
    EXPECT_EQ(text.attributesAtIndex(7), both);
    EXPECT_EQ(text.attributesAtIndex(5), kRed);

    NSAttributedString tail = text.attributedSubstringFromRange({4, 5});
    EXPECT_EQ(tail.string(), u"three");
    EXPECT_EQ(tail.attributesAtIndex(0), kRed);
    tail.appendAttributedString(NSAttributedString(u"!", kBold));
    EXPECT_EQ(tail.string(), u"three!");
    EXPECT_EQ(tail.attributesAtIndex(5), kBold);
    EXPECT_TRUE(NSAttributedString().attributesAtIndex(0).empty());
}

TEST(NSLocalizedString, EnglishUnlessAHookAnswers) {
    EXPECT_EQ(NSLocalizedString(u"line"), u"line");
    NSSetLocalizedStringHook(
        [](const std::u16string& key) { return key == u"line" ? std::u16string(u"Zeile") : key; });
    EXPECT_EQ(NSLocalizedString(u"line"), u"Zeile");
    EXPECT_EQ(NSLocalizedString(u"total"), u"total");
    NSSetLocalizedStringHook(nullptr);
    EXPECT_EQ(NSLocalizedString(u"line"), u"line");
}

}  // namespace
