// The answer column's rules: what a row shows for every kind of answer, the two attribute
// sets, the answers as copied, the cell's drawing rectangle and the redraw requests refused.
#include <gtest/gtest.h>

#include "AppRulesTestSupport.h"
#include "NBAnswerColumnRules.h"
#include "NBAttributesController.h"
#include "NBFResult.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCLineCollection> collectionOf(const std::vector<std::u16string>& texts) {
    auto lines = std::make_shared<NCLineCollection>(sharedRealEnvironment());
    for (const std::u16string& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
    lines->evaluateLines();
    return lines;
}

std::string utf8(const std::u16string& text) { return NBFUTF16ToUTF8(text); }

class AnswerColumnRules : public ::testing::Test {
  protected:
    void SetUp() override { registerAnswerColumnAttributes(u"Test Sans", 17.0); }
    void TearDown() override {
        NBAttributesController::sharedInstance().setValue({}, kAnswerColumnNormalAttributesKey);
        NBAttributesController::sharedInstance().setValue({}, kAnswerColumnSelectedAttributesKey);
    }
};

}  // namespace

TEST_F(AnswerColumnRules, EachKindOfAnswerShowsItsText) {
    struct Row {
        std::u16string text;
        std::u16string shown;
    };
    const std::vector<Row> rows = {
        {u"2+3", u"5"},
        {u"1/0", u"Error: Divide by Zero"},
        {u"3 m + 2 kg", u"Error: Incompatible Units"},
        {u"10^2000000", u"Error: Exponent too large"},
        {u"(-3)!", u"Error"},
        {u"a heading without numbers", u""},
        {u"", u""},
        {u"1000000 + 0.5", u"1,000,000.5"},
    };
    std::vector<std::u16string> texts;
    for (const Row& row : rows) texts.push_back(row.text);
    auto lines = collectionOf(texts);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(utf8(rows[i].text));
        EXPECT_EQ(utf8(answerColumnRowContent(lines.get(), i, true, false).string()),
                  utf8(rows[i].shown));
        // Hidden answers show nothing, whatever the line holds.
        EXPECT_EQ(answerColumnRowContent(lines.get(), i, false, false).string(), u"");
    }
    // Past the last line, and without a collection: the empty string.
    EXPECT_EQ(answerColumnRowContent(lines.get(), rows.size(), true, false).string(), u"");
    EXPECT_EQ(answerColumnRowContent(nullptr, 0, true, false).string(), u"");
}

TEST_F(AnswerColumnRules, EveryErrorTypeHasItsMessage) {
    struct Row {
        NBFEvaluationError error;
        std::u16string shown;
    };
    const Row rows[] = {
        {NBFEvaluationErrorExponentTooLarge, u"Error: Exponent too large"},
        {NBFEvaluationErrorDivisionByZero, u"Error: Divide by Zero"},
        {NBFEvaluationErrorUnitMismatch, u"Error: Incompatible Units"},
        {NBFEvaluationErrorMissingOperand, u"Error"},
        {NBFEvaluationErrorLogarithmOfNegative, u"Error"},
    };
    auto lines = std::make_shared<NCLineCollection>(sharedRealEnvironment());
    for (const Row& row : rows) {
        auto line = NCLine::lineWithExpressionString(u"x");
        lines->addLine(line);
        NBFResultRef failed = NBFResultCreate();
        NBFResultSetEvaluationError(failed, row.error);
        line->setResult(std::make_shared<NCResult>(failed));
        NBFResultRelease(failed);
    }
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(utf8(answerColumnRowContent(lines.get(), i, true, false).string()),
                  utf8(rows[i].shown))
            << "error " << rows[i].error;
}

TEST_F(AnswerColumnRules, RowsTakeTheRegisteredAttributeSetOfTheirSelection) {
    auto lines = collectionOf({u"2+3"});
    const NSAttributedString normal = answerColumnRowContent(lines.get(), 0, true, false);
    const NSAttributedString selected = answerColumnRowContent(lines.get(), 0, true, true);
    EXPECT_EQ(normal.attributesAtIndex(0), answerColumnAttributes(u"Test Sans", 17.0, false));
    EXPECT_EQ(selected.attributesAtIndex(0), answerColumnAttributes(u"Test Sans", 17.0, true));

    const NSAttributes normalSet = registeredAnswerColumnAttributes(false);
    const NSAttributes selectedSet = registeredAnswerColumnAttributes(true);
    EXPECT_EQ(std::get<std::u16string>(normalSet.at(NBForegroundColorAttributeName)), u"#000000");
    EXPECT_EQ(std::get<std::u16string>(selectedSet.at(NBForegroundColorAttributeName)), u"#ffffff");
    EXPECT_FALSE(std::get<bool>(normalSet.at(NBBoldFontAttributeName)));
    EXPECT_TRUE(std::get<bool>(selectedSet.at(NBBoldFontAttributeName)));
    for (const NSAttributes* set : {&normalSet, &selectedSet}) {
        EXPECT_EQ(std::get<std::u16string>(set->at(NSFontNameAttributeName)), u"Test Sans");
        EXPECT_EQ(std::get<double>(set->at(NSFontSizeAttributeName)), 17.0);
        EXPECT_EQ(std::get<int64_t>(set->at(NBLineBreakModeAttributeName)),
                  NBLineBreakByTruncatingTail);
    }
    // Registering anew replaces both sets.
    registerAnswerColumnAttributes(u"Other", 9.0);
    EXPECT_EQ(std::get<double>(registeredAnswerColumnAttributes(true).at(NSFontSizeAttributeName)),
              9.0);
}

TEST_F(AnswerColumnRules, CopiedAnswersFollowTheLineOptionsRawOnesIgnoreThem) {
    struct Row {
        std::u16string text;
        uint64_t places;  // 65535: the options' own
        std::u16string formatted;
        std::u16string raw;
    };
    const std::vector<Row> rows = {
        {u"1234567.891", 2, u"1,234,567.89", u"1234567.891"},
        {u"2/3", 3, u"0.667", u"0.66666666666666666666666666666666666666666666666667"},
        {u"12 m + 3 m", 65535, u"15 m", u"15"},
        {u"1/0", 65535, u"", u""},
        {u"words", 65535, u"", u""},
    };
    std::vector<std::u16string> texts;
    for (const Row& row : rows) texts.push_back(row.text);
    auto lines = collectionOf(texts);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(utf8(rows[i].text));
        NCLine& line = *lines->lineAtIndex(i);
        if (rows[i].places != 65535) {
            auto options = std::make_shared<NCResultFormattingOptions>();
            options->setDecimalPlaces(rows[i].places);
            line.setCustomFormattingOptions(options);
        }
        EXPECT_EQ(utf8(answerColumnFormattedResult(line)), utf8(rows[i].formatted));
        EXPECT_EQ(utf8(answerColumnUnformattedResult(line)), utf8(rows[i].raw));
    }
    // The line's own options are left as they were.
    EXPECT_EQ(lines->lineAtIndex(0)->formattingOptions()->decimalPlaces(), 2u);
    EXPECT_TRUE(lines->lineAtIndex(0)->formattingOptions()->thousandsSeparator);
}

TEST_F(AnswerColumnRules, CopiedAnswersWriteExponentsAfterTimesTen) {
    auto lines = collectionOf({u"3*10^40"});
    NCLine& line = *lines->lineAtIndex(0);
    const std::u16string copied = answerColumnFormattedResult(line);
    EXPECT_NE(copied.find(u"×10^"), std::u16string::npos) << utf8(copied);
    EXPECT_EQ(line.formattingOptions()->scientificNotationBaseString, u"e");
}

TEST(AnswerColumnCellRect, CentresTextInTallRowsAndLeavesRoomForTheInfoButton) {
    struct Row {
        NSRect bounds;
        double textHeight;
        bool infoButton;
        NSRect expected;
    };
    const Row rows[] = {
        // Slack of 10 splits 5 above and 5 below.
        {NSMakeRect(0, 100, 156, 36), 26, false, NSMakeRect(5, 105, 151, 26)},
        // A row shorter than the text keeps its rectangle: nothing to centre.
        {NSMakeRect(0, 0, 156, 20), 26, false, NSMakeRect(5, 0, 151, 20)},
        {NSMakeRect(0, 0, 156, 26), 26, false, NSMakeRect(5, 0, 151, 26)},
        {NSMakeRect(0, 40, 156, 30), 26, true, NSMakeRect(5, 42, 126, 26)},
        // The left inset is absolute, not added to the bounds' x.
        {NSMakeRect(7, 0, 100, 26), 26, false, NSMakeRect(5, 0, 95, 26)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(answerColumnCellDrawingRect(row.bounds, row.textHeight, row.infoButton),
                  row.expected);
}

TEST(AnswerColumnRedraw, RefusesRowsPastTheCountAndReportsThePaletteMarker) {
    {
        CapturedDiagnostics log;
        EXPECT_TRUE(answerColumnCanRedrawRow(0, 3));
        EXPECT_TRUE(answerColumnCanRedrawRow(2, 3));
        EXPECT_FALSE(answerColumnCanRedrawRow(3, 3));
        EXPECT_FALSE(answerColumnCanRedrawRow(0, 0));
        EXPECT_TRUE(log.messages().empty());
        EXPECT_FALSE(answerColumnCanRedrawRow(kAnswerColumnNoLineIndex, 3));
        EXPECT_EQ(log.messages(),
                  std::vector<std::string>{"Warning: Redrawing the answer column cell at the "
                                           "invalid cell index 999999999"});
    }
    CapturedDiagnostics log;
    EXPECT_TRUE(answerColumnCanRedrawRowOfSet(2, 3));
    EXPECT_FALSE(answerColumnCanRedrawRowOfSet(3, 3));
    EXPECT_EQ(log.messages(), std::vector<std::string>{"Warning. Answers Column Being told to "
                                                       "redraw cell at index 3 which is out of "
                                                       "bounds"});
}
