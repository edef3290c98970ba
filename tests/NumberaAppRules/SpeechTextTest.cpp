// The spoken form of selected lines.
#include <gtest/gtest.h>

#include "AppRulesTestSupport.h"
#include "NBSpeechText.h"
#include "NBWords.h"

namespace {

struct SpeechCase {
    const char* name;
    std::vector<NBSpokenLine> lines;
    std::u16string spoken;
};

class SpeechText : public ::testing::TestWithParam<SpeechCase> {};

TEST_P(SpeechText, JoinsTheLinesAsSentences) {
    const std::vector<NBSpeechWord> words = {{{u"+"}, u"plus"}, {{u"*", u"×"}, u"times"}};
    EXPECT_EQ(speechStringForLines(GetParam().lines, words, u" is "), GetParam().spoken)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SpeechText,
    ::testing::Values(SpeechCase{"one line", {{0, u"2+3", u"5"}}, u"2 plus 3 is 5"},
                      SpeechCase{"an empty line adds nothing",
                                 {{0, u"2+3", u"5"}, {2, u"", u""}},
                                 u"2 plus 3 is 5"},
                      SpeechCase{"later lines are new sentences",
                                 {{0, u"4*2", u"8"}, {1, u"note", u""}, {3, u"2×2", u"4"}},
                                 u"4 times 2 is 8. note. 2 times 2 is 4"},
                      SpeechCase{"the first selected line after line 0 starts with a break",
                                 {{5, u"1", u"1"}},
                                 u". 1 is 1"},
                      SpeechCase{"no lines", {}, u""},
                      SpeechCase{"spaced symbols are spoken once, single-spaced",
                                 {{0, u"2 \u00D7 3", u"6"}},
                                 u"2 times 3 is 6"}));

// The lists the application speaks with: every operator symbol has a spoken form, and a symbol
// spelled with letters is spoken only where it is a word of its own.
struct WordsCase {
    const char* name;
    std::u16string text;
    std::u16string spoken;
};

class SpokenWords : public ::testing::TestWithParam<WordsCase> {
  protected:
    void SetUp() override {
        NBWords::sharedInstance().loadFromPath(resourcesDirectory() + "/ComplexStrings.plist");
    }
};

TEST_P(SpokenWords, SpeakSymbolsAsTheResourceSays) {
    EXPECT_EQ(speechStringForLines({{0, GetParam().text, u""}}, NBWords::speechWords(), u" is "),
              GetParam().spoken)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Resource, SpokenWords,
    ::testing::Values(WordsCase{"multiplication", u"2 \u00D7 3", u"2 times 3"},
                      WordsCase{"every arithmetic sign", u"8-2+6/3*2^2",
                                u"8 minus 2 plus 6 divided by 3 times 2 to the power of 2"},
                      WordsCase{"a letter symbol between numbers", u"2x3", u"2 times 3"},
                      WordsCase{"a letter symbol inside a word stays", u"max(2; 3)", u"max(2; 3)"},
                      WordsCase{"a word symbol is not spoken twice", u"4 plus 5", u"4 plus 5"},
                      WordsCase{"a percentage", u"5% of 20", u"5 percent of 20"},
                      WordsCase{"a shift by its longest symbol", u"1 << 3",
                                u"1 shifted left by 3"}));

TEST(Words, ListsOfTheResourceByType) {
    NBWords& words = NBWords::sharedInstance();
    words.loadFromPath(resourcesDirectory() + "/ComplexStrings.plist");
    ASSERT_NE(words.dataSource(), nullptr);
    EXPECT_EQ(NBWords::wordsOfType(0).size(), 12u);
    EXPECT_FALSE(NBWords::wordsOfType(1).empty());
    EXPECT_FALSE(NBWords::wordsOfType(2).empty());
    EXPECT_TRUE(NBWords::wordsOfType(3).empty());
    EXPECT_TRUE(NBWords::wordsOfType(-1).empty());
    const auto total = NBWords::labelForQuery(u"Total");
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->valueForKey(u"identifier")->string(), u"total");
    EXPECT_EQ(NBWords::labelForQuery(u"no such label"), nullptr);
    // A missing resource leaves the lists empty, with a warning.
    CapturedDiagnostics log;
    words.loadFromPath(resourcesDirectory() + "/NoSuchWords.plist");
    EXPECT_EQ(words.dataSource(), nullptr);
    EXPECT_TRUE(NBWords::wordsOfType(1).empty());
    EXPECT_TRUE(NBWords::speechWords().empty());
    EXPECT_TRUE(log.contains("Warning! No datasource loaded up from bundle"));
    words.loadFromPath(resourcesDirectory() + "/ComplexStrings.plist");
}

}  // namespace
