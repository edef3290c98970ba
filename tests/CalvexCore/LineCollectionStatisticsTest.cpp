// Statistics of a document's answers: total, average, population variance and standard
// deviation, with units converted, lines without answers left out, and percentages only when
// every chosen value is one.
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NCLineCollectionStatistics.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCEnvironment> statisticsParent() { return sharedRealEnvironment(); }

std::shared_ptr<NCLineCollection> document(const std::vector<std::u16string>& texts) {
    auto lines = std::make_shared<NCLineCollection>(statisticsParent());
    lines->beginBatchUpdate();
    for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
    lines->endBatchUpdate();
    return lines;
}

// "(empty)" for the empty result, the value to ten places and the unit otherwise.
std::string shown(const std::shared_ptr<NCResult>& result) {
    if (!result || result == NCResult::emptyResult()) return "(empty)";
    if (result->resultType() != NCResultTypeValue) return "error";
    std::string text = utf8(result->decimalValue(10));
    if (result->unit()) text += " " + utf8(result->unitString());
    return text;
}

TEST(LineCollectionStatisticsTest, EveryStatisticOfADocument) {
    // Expected from the definitions: mean = sum / n; variance = Σ(x - mean)² / n;
    // 8/3 = 2.666666666666…, √(8/3) = 1.632993161855…; 1, 2, 3, 4: variance 1.25,
    // √1.25 = 1.118033988749…
    struct Row {
        std::vector<std::u16string> texts;
        const char* sum;
        const char* mean;
        const char* variance;
        const char* deviation;
    } rows[] = {
        {{u"2", u"4", u"6"}, "12", "4", "2.6666666667", "1.6329931619"},
        {{u"1", u"2", u"3", u"4"}, "10", "2.5", "1.25", "1.1180339887"},
        // Lines without an answer are left out of the sum and of the count.
        {{u"2", u"", u"notes: none", u"4"}, "6", "3", "1", "1"},
        {{u"-3", u"3"}, "0", "0", "9", "3"},
        {{u"7"}, "7", "7", "0", "0"},
        // Units convert: 10 m + 50 cm.
        {{u"10 m", u"50 cm"}, "1050 cm", "525 cm", nullptr, nullptr},
        // Every answer a percentage: a statistic (of the percentages' numbers); one among
        // numbers: none.
        {{u"10%", u"20%"}, "30", "15", "25", "5"},
        {{u"10%", u"5"}, "(empty)", "(empty)", "(empty)", "(empty)"},
        {{u"", u"notes"}, "(empty)", "(empty)", "(empty)", "(empty)"},
    };
    for (const Row& row : rows) {
        auto lines = document(row.texts);
        NCLineCollectionStatistics statistics(lines);
        const std::string name = utf8(row.texts.front());
        EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeSum)), row.sum) << name;
        EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeMean)), row.mean) << name;
        if (row.variance) {
            EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeVariance)), row.variance)
                << name;
        }
        if (row.deviation) {
            EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeStandardDeviation)),
                      row.deviation)
                << name;
        }
        for (NCStatisticType unknown : {0, 5, -1})
            EXPECT_EQ(statistics.getStatistic(unknown), NCResult::emptyResult()) << name;
    }
}

// Far more lines than one expression may chain: the statistics still cover every one of them.
TEST(LineCollectionStatisticsTest, LongDocumentsHaveEveryStatistic) {
    struct Row {
        std::vector<std::u16string> pattern;
        size_t lines;
        const char* sum;
        const char* mean;
        const char* variance;
    } rows[] = {
        {{u"1", u"3"}, 3000, "6000", "2", "1"},
        {{u"1 m", u"50 cm"}, 1202, "90150 cm", "75 cm", nullptr},
        {{u"1%"}, 1001, "1001", "1", "0"},
        {{u"2"}, 501, "1002", "2", "0"},
    };
    for (const Row& row : rows) {
        std::vector<std::u16string> texts;
        for (size_t i = 0; i < row.lines; ++i) texts.push_back(row.pattern[i % row.pattern.size()]);
        NCLineCollectionStatistics statistics(document(texts));
        const std::string name = utf8(row.pattern.front()) + " ×" + std::to_string(row.lines);
        EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeSum)), row.sum) << name;
        EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeMean)), row.mean) << name;
        if (row.variance) {
            EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeVariance)), row.variance)
                << name;
        }
    }
}

TEST(LineCollectionStatisticsTest, ChosenLinesCountAgainstTheChosenValuesOnly) {
    // Two percentages chosen from a document that also holds a number: the chosen values are
    // all percentages, so they have a total however many lines the document holds.
    auto lines = document({u"10%", u"5", u"20%", u"", u"8"});
    NCLineCollectionStatistics statistics(lines);
    struct Row {
        NSIndexSet chosen;
        const char* sum;
    } rows[] = {
        {NSIndexSet({0, 2}), "30"},   {NSIndexSet({0, 2, 3}), "30"},
        {NSIndexSet({1, 4}), "13"},   {NSIndexSet({0, 1}), "(empty)"},
        {NSIndexSet({3}), "(empty)"}, {NSIndexSet({7, 9}), "(empty)"},
        {NSIndexSet(), "(empty)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(shown(statistics.getStatistic(NCStatisticTypeSum, row.chosen)), row.sum)
            << row.chosen.count();
    // Without a collection there is nothing to sum.
    NCLineCollectionStatistics none(nullptr, statisticsParent());
    EXPECT_EQ(none.getStatistic(NCStatisticTypeSum), NCResult::emptyResult());
}

}  // namespace
