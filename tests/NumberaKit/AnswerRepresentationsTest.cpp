// Answer representations and statistic titles: titles both ways, lines' options to reps and
// back, and answers written in each representation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "KitTestSupport.h"
#include "NKAnswerRepHelper.h"
#include "NKStatisticsHelper.h"

namespace {

TEST(AnswerRepresentations, TitlesBothWays) {
    NKAnswerRepHelper helper;
    const std::pair<NKAnswerRep, const char16_t*> titles[] = {
        {0, u"Decimal"}, {1, u"Degrees"}, {2, u"Fraction"}, {3, u"Hex"}, {4, u"Binary"}};
    for (const auto& [rep, title] : titles) {
        EXPECT_EQ(helper.titleForRep(rep), title);
        EXPECT_EQ(helper.repForTitle(title), rep);
    }
    EXPECT_FALSE(helper.titleForRep(5).has_value());
    EXPECT_EQ(helper.repForTitle(u"Octal"), NKAnswerRepNone);

    NKStatisticsHelper statistics;
    const char16_t* names[] = {u"Total", u"Average", u"Variance", u"Standard Deviation"};
    for (int32_t type = 1; type <= 4; ++type) {
        EXPECT_EQ(statistics.statisticsTitleForStatisticsType(type), names[type - 1]);
        EXPECT_EQ(statistics.statisticsTypeForStatisticsTitle(names[type - 1]), type);
    }
    EXPECT_FALSE(statistics.statisticsTitleForStatisticsType(0).has_value());
    EXPECT_FALSE(statistics.statisticsTitleForStatisticsType(5).has_value());
    EXPECT_EQ(statistics.statisticsTypeForStatisticsTitle(u"Median"), 1);
    EXPECT_EQ(statistics.allStatisticsTitles().size(), 4u);
}

struct LineRepCase {
    NCDisplayFormat format;
    int32_t base;
    NKAnswerRep rep;
};

TEST(AnswerRepresentations, RepOfALine) {
    const LineRepCase cases[] = {{0, 10, 0}, {1, 10, 1}, {3, 10, 2}, {4, 16, 3},
                                 {4, 2, 4},  {4, 8, 6},  {2, 10, 6}};
    NKAnswerRepHelper helper;
    for (const LineRepCase& c : cases) {
        auto line = NCLine::lineWithExpressionString(u"1");
        line->customFormattingOptions()->setDisplayFormat(c.format);
        line->customFormattingOptions()->displayBase = c.base;
        EXPECT_EQ(helper.repForLine(*line), c.rep) << c.format << " " << c.base;
    }
}

TEST(AnswerRepresentations, SetOnLineRoundTrips) {
    NKAnswerRepHelper helper;
    helper.setLocale(europeanLocale());
    for (NKAnswerRep rep = 0; rep <= 4; ++rep) {
        auto line = NCLine::lineWithExpressionString(u"1");
        helper.setAnswerOnLine(*line, rep);
        EXPECT_EQ(helper.repForLine(*line), rep);
        const auto& options = *line->customFormattingOptions();
        EXPECT_EQ(options.thousandsGroupSize, rep == 4 ? 4u : 3u);
        EXPECT_EQ(options.thousandsSeparatorCharacter, rep == 4 ? u' ' : u'.');
    }
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

TEST(AnswerRepresentations, AnswersInEachRepresentation) {
    NKAnswerRepHelper helper;
    auto line = NCLine::lineWithExpressionString(u"255");
    auto result = line->result();
    ASSERT_TRUE(result);
    const std::string hex = lower(NKUTF8(helper.valueForResult(result.get(), 3).value_or(u"")));
    EXPECT_NE(hex.find("ff"), std::string::npos) << hex;
    // 255 is eight ones, grouped by four with a blank.
    const std::string binary = NKUTF8(helper.valueForResult(result.get(), 4).value_or(u""));
    EXPECT_NE(binary.find("1111 1111"), std::string::npos) << binary;
    EXPECT_EQ(helper.formattingOptions()->thousandsGroupSize, 4u);

    auto big = NCLine::lineWithExpressionString(u"1234567.5");
    EXPECT_EQ(NKUTF8(helper.valueForResult(big->result().get(), 0).value_or(u"")), "1,234,567.5");
    helper.setLocale(europeanLocale());
    EXPECT_EQ(NKUTF8(helper.valueForResult(big->result().get(), 0).value_or(u"")), "1.234.567,5");
    auto fraction = NCLine::lineWithExpressionString(u"0.75");
    EXPECT_NE(NKUTF8(helper.valueForResult(fraction->result().get(), 2).value_or(u"")).find("3/4"),
              std::string::npos);
}

}  // namespace

namespace {

TEST(StatisticsHelper, ValuesOfADocument) {
    auto collection = std::make_shared<NCLineCollection>();
    for (const char16_t* line : {u"1000", u"2000", u"note", u"3000.5"})
        collection->addLine(NCLine::lineWithExpressionString(line));
    NKStatisticsHelper helper;
    EXPECT_EQ(helper.statisticsValueForStatistic(1), u"");  // no document yet
    helper.setLineCollection(collection);
    // 1000 + 2000 + 3000.5 = 6000.5; mean 2000.1666...
    EXPECT_EQ(NKUTF8(helper.statisticsValueForStatistic(1)), "6,000.5");
    EXPECT_EQ(NKUTF8(helper.defaultStatisticValue()), "6,000.5");
    EXPECT_EQ(NKUTF8(helper.statisticsValueForStatistic(2)), "2,000.1667");
    // Typed back into a line, it reads as the total.
    auto typedBack = NCLine::lineWithExpressionString(helper.evaluatableStatisticsString());
    EXPECT_EQ(typedBack->formattedResult(),
              NCLine::lineWithExpressionString(u"6000.5")->formattedResult());

    auto words = std::make_shared<NCLineCollection>();
    words->addLine(NCLine::lineWithExpressionString(u"just words"));
    helper.setLineCollection(words);
    for (int32_t type = 1; type <= 4; ++type)
        EXPECT_EQ(helper.statisticsValueForStatistic(type), u"");
    EXPECT_EQ(helper.evaluatableStatisticsString(), u"");
}

}  // namespace
