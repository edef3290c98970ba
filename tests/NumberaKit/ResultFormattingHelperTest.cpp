// Answers as the answer column shows them: yen and rupiah without decimal places, errors as
// their messages.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NBFResult.h"
#include "NKResultFormattingHelper.h"

namespace {
std::shared_ptr<NCLine> lineWithAnswer(const std::u16string& value, const char16_t* currency) {
    auto line = NCLine::lineWithExpressionString(value);
    std::shared_ptr<NCUnit> unit;
    if (currency) {
        unit = std::make_shared<NCUnit>();
        unit->setName(std::u16string(currency), NCUnitNameFormatVeryShortName);
    }
    line->setResult(std::make_shared<NCResult>(value, unit));
    if (!line->customFormattingOptions())
        line->setCustomFormattingOptions(std::make_shared<NCResultFormattingOptions>());
    line->customFormattingOptions()->setDecimalPlaces(2);
    line->customFormattingOptions()->trailingZeros = true;
    line->customFormattingOptions()->showUnit = false;
    line->customFormattingOptions()->thousandsSeparator = false;
    return line;
}
}  // namespace

TEST(ResultFormattingHelper, CurrenciesWithoutMinorUnits) {
    startFoundation();
    struct Row {
        const char16_t* currency;
        uint64_t places;
        std::u16string text;
    };
    const Row rows[] = {
        {u"JPY", 0, u"1235"},  // 1234.5 rounded half away from zero
        {u"IDR", 0, u"1235"},
        {u"USD", 2, u"1234.50"},
        {nullptr, 2, u"1234.50"},
    };
    for (const Row& row : rows) {
        auto line = lineWithAnswer(u"1234.5", row.currency);
        auto options = NKResultFormattingHelper::bestResultFormattingOptionsForLine(*line);
        ASSERT_TRUE(options);
        EXPECT_EQ(options->decimalPlaces(), row.places);
        // A copy: the line's own options keep their places.
        EXPECT_EQ(line->customFormattingOptions()->decimalPlaces(), 2u);
        EXPECT_EQ(NKResultFormattingHelper::formattedResultForLine(*line), row.text);
        auto attributed =
            NKResultFormattingHelper::attributedFormattedResultForLine(*line, {{"bold", true}});
        ASSERT_TRUE(attributed);
        EXPECT_EQ(attributed->string(), row.text);
        EXPECT_EQ(std::get<bool>(attributed->attributesAtIndex(0).at("bold")), true);
    }
}

TEST(ResultFormattingHelper, ErrorsShowTheirMessage) {
    startFoundation();
    auto line = NCLine::lineWithExpressionString(u"1/0");
    NBFResultRef failed = NBFResultCreate();
    NBFResultSetEvaluationError(failed, NBFEvaluationErrorDivisionByZero);
    line->setResult(std::make_shared<NCResult>(failed));
    NBFResultRelease(failed);
    auto attributed = NKResultFormattingHelper::attributedFormattedResultForLine(*line, {});
    ASSERT_TRUE(attributed);
    EXPECT_EQ(attributed->string(), u"Error: Divide by Zero");
}
