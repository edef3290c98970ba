// The answer palette's rules: the rows each kind of answer lists, the dragged text, the row a
// palette falls back to and the palette's size limits.
#include <gtest/gtest.h>

#include <algorithm>

#include "NBAnswerPaletteRules.h"
#include "NBTextConversion.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NKAnswerRepHelper.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCLine> evaluated(const std::u16string& text) {
    auto lines = std::make_shared<NCLineCollection>(sharedRealEnvironment());
    lines->addLine(NCLine::lineWithExpressionString(text));
    lines->evaluateLines();
    return lines->lineAtIndex(0);
}

std::vector<std::string> titlesOf(const std::vector<NBAnswerPaletteRow>& rows) {
    std::vector<std::string> titles;
    for (const NBAnswerPaletteRow& row : rows) titles.push_back(NBFUTF16ToUTF8(row.title));
    return titles;
}

std::string valueTitled(const std::vector<NBAnswerPaletteRow>& rows, const std::u16string& title) {
    for (const NBAnswerPaletteRow& row : rows)
        if (row.title == title) return NBFUTF16ToUTF8(row.value);
    return {};
}

}  // namespace

TEST(AnswerPaletteRules, EachKindOfAnswerListsItsRepresentations) {
    struct Case {
        std::u16string text;
        std::vector<std::string> titles;
        // Titles listed without a value.
        std::vector<std::string> empty;
    };
    // A whole number has no fraction to show; hex and binary would drop a fraction's digits,
    // so a fraction lists neither.
    const std::vector<Case> cases = {
        {u"0.75", {"Decimal", "Degrees", "Fraction"}, {}},
        {u"255", {"Decimal", "Degrees", "Hex", "Binary"}, {}},
        {u"-12", {"Decimal", "Degrees", "Hex", "Binary"}, {}},
        {u"1/0", {}, {}},
        {u"", {}, {}},
    };
    for (const Case& c : cases) {
        std::shared_ptr<NCLine> line = evaluated(c.text);
        NKAnswerRepHelper helper;
        const auto rows = answerPaletteRowsForResult(line->result().get(), helper);
        EXPECT_EQ(titlesOf(rows), c.titles) << NBFUTF16ToUTF8(c.text);
        for (const NBAnswerPaletteRow& row : rows) {
            const std::string title = NBFUTF16ToUTF8(row.title);
            const bool empty = std::find(c.empty.begin(), c.empty.end(), title) != c.empty.end();
            EXPECT_EQ(row.value.empty(), empty) << NBFUTF16ToUTF8(c.text) << " " << title;
        }
    }
}

TEST(AnswerPaletteRules, ValuesAreTheKitsRepresentations) {
    std::shared_ptr<NCLine> line = evaluated(u"255");
    NKAnswerRepHelper helper;
    const auto rows = answerPaletteRowsForResult(line->result().get(), helper);
    EXPECT_EQ(valueTitled(rows, u"Decimal"), "255");
    std::string hex = valueTitled(rows, u"Hex");
    std::transform(hex.begin(), hex.end(), hex.begin(), ::toupper);
    EXPECT_NE(hex.find("FF"), std::string::npos) << hex;
    EXPECT_NE(valueTitled(rows, u"Binary").find("1111"), std::string::npos);

    std::shared_ptr<NCLine> fraction = evaluated(u"0.75");
    const auto fractionRows = answerPaletteRowsForResult(fraction->result().get(), helper);
    EXPECT_EQ(valueTitled(fractionRows, u"Decimal"), "0.75");
    EXPECT_EQ(valueTitled(fractionRows, u"Fraction"), "3/4");
}

TEST(AnswerPaletteRules, AnswerWithAUnitEndsWithItsUnit) {
    std::shared_ptr<NCLine> line = evaluated(u"5 kg");
    NKAnswerRepHelper helper;
    const auto rows = answerPaletteRowsForResult(line->result().get(), helper);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(NBFUTF16ToUTF8(rows.back().title), "Unit");
    EXPECT_FALSE(rows.back().value.empty());
    EXPECT_TRUE(rows.back().value[0] >= u'A' && rows.back().value[0] <= u'Z')
        << NBFUTF16ToUTF8(rows.back().value);
}

TEST(AnswerPaletteRules, WholeNumberTexts) {
    const std::vector<std::pair<std::u16string, bool>> cases = {
        {u"12", true}, {u"-12", true}, {u"12.000", true}, {u"0.75", false}, {u"1e30", false},
        {u"", false},  {u"-", false},  {u"1.2.0", false}, {u".", false},    {u"12.0001", false},
    };
    for (const auto& [text, whole] : cases)
        EXPECT_EQ(answerTextIsWholeNumber(text), whole) << NBFUTF16ToUTF8(text);
}

TEST(AnswerPaletteRules, LongValuesDragShortened) {
    EXPECT_EQ(answerPaletteDragText(std::u16string(50, u'7')), std::u16string(50, u'7'));
    EXPECT_EQ(answerPaletteDragText(std::u16string(51, u'7')), std::u16string(49, u'7') + u"...");
    EXPECT_EQ(answerPaletteDragText(std::u16string(80, u'7')), std::u16string(49, u'7') + u"...");
    EXPECT_EQ(answerPaletteDragText(u""), u"");
    EXPECT_EQ(answerPaletteLabel(u"Hex"), u"Hex:");
}

TEST(AnswerPaletteRules, NearerRowWinsAndTiesGoToTheLast) {
    EXPECT_EQ(answerPaletteNearerRow(2, 10, 30), 10);
    EXPECT_EQ(answerPaletteNearerRow(50, 10, 30), 30);
    EXPECT_EQ(answerPaletteNearerRow(20, 10, 30), 30);
    EXPECT_EQ(answerPaletteNearerRow(11, 10, 30), 10);
}

TEST(AnswerPaletteRules, SizeFitsTheRowsWithinItsLimits) {
    // One short row: the minimum height, the table plus its margins wide.
    NBAnswerPaletteSize one = answerPaletteSizeForRows(40.2, 30, {17}, 3, 4);
    EXPECT_EQ(one.labelColumnWidth, 41);
    EXPECT_EQ(one.tableWidth, 41 + 3 + 30 + 3);
    EXPECT_EQ(one.contentWidth, one.tableWidth + 26);
    EXPECT_EQ(one.contentHeight, 65);

    // Five rows grow past the minimum.
    NBAnswerPaletteSize five = answerPaletteSizeForRows(40, 30, std::vector<double>(5, 17), 3, 4);
    EXPECT_EQ(five.tableHeight, 5 * 21);
    EXPECT_EQ(five.contentHeight, 5 * 21 + 16);

    // A wide value and a great many rows are capped.
    NBAnswerPaletteSize huge =
        answerPaletteSizeForRows(60, 900, std::vector<double>(200, 17), 3, 4);
    EXPECT_EQ(huge.valueColumnWidth, 300 - (3 + 60));
    EXPECT_EQ(huge.tableWidth, 300);
    EXPECT_EQ(huge.tableHeight, 2000);
}

TEST(AnswerPaletteRules, InfoButtonImageFollowsItsState) {
    struct Case {
        bool on, pressed, selected, underMouse;
        std::string image;
    };
    const std::vector<Case> cases = {
        {false, false, false, false, "off-normal-normal"},
        {false, false, false, true, "all-all-hover"},
        {false, false, true, false, "off-highlighted-normal"},
        {false, false, true, true, "all-all-hover"},
        {false, true, false, true, "off-normal-pushed"},
        {false, true, true, false, "off-normal-pushed"},
        // Switched on, the pointer over it changes nothing.
        {true, false, false, true, "on-normal-normal"},
        {true, false, true, true, "on-highlighted-normal"},
        {true, true, false, false, "on-normal-pushed"},
        {true, true, true, true, "on-highlighted-pushed"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(littleInfoButtonImageName(c.on, c.pressed, c.selected, c.underMouse), c.image)
            << c.on << c.pressed << c.selected << c.underMouse;
}
