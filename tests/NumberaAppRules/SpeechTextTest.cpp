// The spoken form of selected lines.
#include <gtest/gtest.h>

#include "NBSpeechText.h"

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
                      SpeechCase{"no lines", {}, u""}));

}  // namespace
