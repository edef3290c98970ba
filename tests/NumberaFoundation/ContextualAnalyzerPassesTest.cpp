// The analyser pass by pass: each row is a line and what the steps up to one of them make of
// it (see AnalyzerTestSupport.h for the notation).
#include <gtest/gtest.h>

#include "AnalyzerTestSupport.h"

namespace {

using analyzer_test::Environment;

struct StepRow {
    std::string text;
    NBFAnalysisStep lastStep;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const StepRow& row) {
    return out << "\"" << row.text << "\" through step " << row.lastStep;
}

class AnalyzerSteps : public ::testing::TestWithParam<StepRow> {};

TEST_P(AnalyzerSteps, MakeWhatTheRulesSay) {
    Environment environment;
    EXPECT_EQ(environment.through(GetParam().text, GetParam().lastStep), GetParam().expected);
}

constexpr NBFAnalysisStep kNumbers = kNBFAnalysisStepNumberRuns;
constexpr NBFAnalysisStep kBrackets = kNBFAnalysisStepBrackets;
constexpr NBFAnalysisStep kSpecial = kNBFAnalysisStepSpecialWords;
constexpr NBFAnalysisStep kWords = kNBFAnalysisStepWordResolution;
constexpr NBFAnalysisStep kLonely = kNBFAnalysisStepLonelyNumbers;
constexpr NBFAnalysisStep kWordy = kNBFAnalysisStepWordyNumbers;
constexpr NBFAnalysisStep kWordsAgain = kNBFAnalysisStepWordResolutionAgain;
constexpr NBFAnalysisStep kOperators = kNBFAnalysisStepWordOperatorCleanup;
constexpr NBFAnalysisStep kFactorials = kNBFAnalysisStepFactorialCleanup;
constexpr NBFAnalysisStep kGrouping = kNBFAnalysisStepWordGrouping;

INSTANTIATE_TEST_SUITE_P(
    NumberRuns, AnalyzerSteps,
    ::testing::Values(
        // Digits grouped by spaces are one number; the trailing space goes back to the line.
        StepRow{"1 000 000 ", kNumbers, "1 000 000:num8"},
        // The plus ends the run.
        StepRow{"1 000 + 5", kNumbers, "1 000:num8 +:op10 5:num8"},
        // A prefixed number ends a run without opening one; a later decimal opens the next.
        StepRow{"12 0x1F 3", kNumbers, "12:num8 0x1F:num9 3:num8"},
        // A prefixed number opens a run that decimal numbers join.
        StepRow{"0x1F 3", kNumbers, "0x1F 3:num9"},
        StepRow{"3 apples 4", kNumbers, "3:num8 apples:word 4:num8"},
        StepRow{"1\x16 2", kNumbers, "1\x16 2:num8"}));

INSTANTIATE_TEST_SUITE_P(
    Brackets, AnalyzerSteps,
    ::testing::Values(StepRow{"2*(3+4)", kBrackets,
                              "2:num8 *:op12 {(:br1 3:num8 +:op10 4:num8 ):br2}"},
                      StepRow{"((1))", kBrackets, "{(:br1 {(:br1 1:num8 ):br2} ):br2}"},
                      // An unmatched "(" groups to the end of the line.
                      StepRow{"(3 + (4", kBrackets, "{(:br1 3:num8 +:op10 {(:br1 4:num8}}"},
                      // An unmatched ")" ends the line.
                      StepRow{"3) + 4", kBrackets, "3:num8 ):br2"},
                      // Inside a group an extra ")" closes it; the next one ends the line.
                      StepRow{"(1)) 2", kBrackets, "{(:br1 1:num8 ):br2} ):br2"}));

INSTANTIATE_TEST_SUITE_P(
    SpecialWords, AnalyzerSteps,
    ::testing::Values(
        StepRow{"5% ; 3! e ^ __uc __mod", kSpecial,
                "5:num8 %:op22 ;:sep 3:num8 !:op16 e:op15 ^:op14 __uc:op19 __mod:op20"},
        StepRow{"(2^3)", kSpecial, "{(:br1 2:num8 ^:op14 3:num8 ):br2}"},
        // Special words keep their letter case.
        StepRow{"E __UC", kSpecial, "E:word __UC:word"}));

INSTANTIATE_TEST_SUITE_P(
    WordResolution, AnalyzerSteps,
    ::testing::Values(
        // The longest name first: y2 is a variable, though y is one too.
        StepRow{"y2 + y3", kWords, "y2:var +:op10 y:var 3:num8"},
        StepRow{"sqrt 4 + rate", kWords, "sqrt:fn 4:num8 +:op10 rate:var"},
        StepRow{"3 per 4 of 5", kWords, "3:num8 per:op21/13 4:num8 of:op21 5:num8"},
        // The name being declared is never resolved.
        StepRow{"y = y", kWords, "y:word =:eq y:var"},
        StepRow{"(rate)", kWords, "{(:br1 rate:var ):br2}"},
        // The second pass accepts no word operator: x-ray, grouped by then, stays a word.
        StepRow{"foo-bar x-ray", kWordsAgain, "foo-bar:var x-ray:word"},
        // Words that name nothing stay as they are.
        StepRow{"apples and pears", kWords, "apples:word and:word pears:word"}));

INSTANTIATE_TEST_SUITE_P(LonelyNumbers, AnalyzerSteps,
                         ::testing::Values(StepRow{"3 apples 4", kLonely,
                                                   "3:word apples:word 4:num8"},
                                           // A number followed by a variable multiplies.
                                           StepRow{"2 y", kLonely, "2:num8 y:var"},
                                           StepRow{"y 2", kLonely, "y:word 2:num8"},
                                           StepRow{"3 + 4", kLonely, "3:num8 +:op10 4:num8"},
                                           StepRow{"5% 3", kLonely, "5:num8 %:op22 3:num8"},
                                           StepRow{"(2) 3", kLonely, "{(:br1 2:num8 ):br2} 3:num8"},
                                           StepRow{"1; 2", kLonely, "1:num8 ;:sep 2:num8"},
                                           StepRow{"y rate", kLonely, "y:word rate:var"}));

INSTANTIATE_TEST_SUITE_P(WordyNumbers, AnalyzerSteps,
                         ::testing::Values(StepRow{"mp3 x-ray", kWordy, "mp3:word x-ray:word"},
                                           StepRow{"covid-19", kWordy, "covid:word -:op11 19:num8"},
                                           StepRow{"4x4", kWordy, "4x4:word"},
                                           StepRow{"2-ab", kWordy, "2-ab:word"},
                                           StepRow{"2 - ab", kWordy, "2:num8 -:op11 ab:word"}));

INSTANTIATE_TEST_SUITE_P(
    OperatorArguments, AnalyzerSteps,
    ::testing::Values(StepRow{"2e5", kOperators, "2:num8 e:op15 5:num8"},
                      StepRow{"2e-5", kOperators, "2:num8 e:op15 -:op11 5:num8"},
                      // No whitespace may stand next to "e".
                      StepRow{"2 e 5", kOperators, "2:num8 e:word 5:num8"},
                      StepRow{"e", kOperators, "e:word"},
                      StepRow{"2^", kOperators, "2:num8 ^:op14"},
                      StepRow{"2^ -", kOperators, "2:num8 ^:op14 -:op11"},
                      StepRow{"^2", kOperators, "^:word 2:num8"},
                      StepRow{"3 of 4", kOperators, "3:num8 of:op21 4:num8"},
                      StepRow{"of 4", kOperators, "of:word 4:num8"},
                      StepRow{"3 per", kOperators, "3:num8 per:word"},
                      // "per" may pass over words to find its argument, "of" may not.
                      StepRow{"3 per big 4", kOperators, "3:num8 per:op21/13 big:word 4:num8"},
                      StepRow{"3 of big 4", kOperators, "3:num8 of:word big:word 4:num8"},
                      // A prefix word operator between an operator and its argument is passed over.
                      StepRow{"3 of twice 4", kOperators, "3:num8 of:op21 twice:op21 4:num8"},
                      StepRow{"7 mod 3", kOperators, "7:num8 mod:op21 3:num8"},
                      StepRow{"7 _as_percent", kOperators, "7:num8 _as_percent:op21"},
                      StepRow{"(1) __uc 2", kOperators, "{(:br1 1:num8 ):br2} __uc:op19 2:num8"}));

INSTANTIATE_TEST_SUITE_P(Factorials, AnalyzerSteps,
                         ::testing::Values(StepRow{"5!", kFactorials, "5:num8 !:op16"},
                                           StepRow{"5 !!", kFactorials, "5:num8 !:op16 !:op16"},
                                           StepRow{"(2)!", kFactorials,
                                                   "{(:br1 2:num8 ):br2} !:op16"},
                                           StepRow{"hello!", kFactorials, "hello:word !:word"},
                                           StepRow{"!", kFactorials, "!:word"}));

INSTANTIATE_TEST_SUITE_P(
    WordGrouping, AnalyzerSteps,
    ::testing::Values(StepRow{"hello! there", kGrouping, "hello!:word there:word"},
                      StepRow{"(ab!) 2", kGrouping, "{(:br1 ab!:word ):br2} 2:num8"}));

}  // namespace
