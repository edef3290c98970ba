// The document window's rules without a toolkit: statistics labels and selection details, the
// number column's width steps, and the formatting bar's reading, writing, mixed states,
// decimal-places check and global defaults.
#include <gtest/gtest.h>

#include "AppRulesTestSupport.h"
#include "NBDocumentWindowRules.h"
#include "NBLineFormattingRules.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormattingOptions.h"
#include "UnitsFileTestSupport.h"

namespace {

using namespace NBLineFormattingRules;

std::shared_ptr<NCLine> lineInBase(int32_t displayBase, uint64_t places = 2) {
    auto line = NCLine::lineWithExpressionString(u"12");
    auto options = std::make_shared<NCResultFormattingOptions>();
    options->displayBase = displayBase;
    options->setDecimalPlaces(places);
    line->setCustomFormattingOptions(options);
    return line;
}

}  // namespace

TEST(DocumentWindowRules, StatisticLabelsByTypeAndRepresentation) {
    struct Case {
        int32_t type, representation;
        bool range;
        NSIndexSet lines;
        std::u16string label;
    };
    const std::vector<Case> cases = {
        {0, 1, false, {}, u" "},
        {1, 1, false, {}, u"Total"},
        {2, 2, false, {}, u"Average"},
        {3, 0, false, {}, u"Variance"},
        {4, 0, false, {}, u"S.Deviation"},
        {4, 1, false, {}, u"Std. Deviation"},
        {4, 2, false, {}, u"Standard Deviation"},
        {4, 3, false, {}, u""},
        {5, 1, false, {}, u""},
        {1, 2, true, NSIndexSet(NSRange{1, 3}), u"Total of lines 2-4"},
        {1, 2, true, NSIndexSet(4), u"Total"},
        {0, 2, true, NSIndexSet(NSRange{1, 3}), u" "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statisticsLabelForType(c.type, c.representation, c.range, c.lines), c.label)
            << c.type << " " << c.representation;
}

TEST(DocumentWindowRules, TheSelectionDetailNamesTheLinesOrSaysSelection) {
    EXPECT_EQ(statisticsSelectionDetail(NSIndexSet()), u"");
    EXPECT_EQ(statisticsSelectionDetail(NSIndexSet(3)), u"");
    EXPECT_EQ(statisticsSelectionDetail(NSIndexSet(NSRange{1, 3})), u" (Lines 2-4)");
    // " (Lines 1, 3, 5-6)" has 18 characters, " (Lines 1, 3, 5, 7)" 19.
    EXPECT_EQ(statisticsSelectionDetail(NSIndexSet({0, 2, 4, 5})), u" (Lines 1, 3, 5-6)");
    EXPECT_EQ(statisticsSelectionDetail(NSIndexSet({0, 2, 4, 6})), u" (selection)");
}

TEST(DocumentWindowRules, TheNumberColumnMovesAtMost8PointsTowardItsWidth) {
    struct Case {
        double needed, current, next;
    };
    for (const Case& c : std::vector<Case>{
             {34, 26, 34}, {40, 26, 34}, {34, 34, 34}, {30, 38, 38}, {29, 38, 30}, {20, 60, 52}})
        EXPECT_DOUBLE_EQ(numberLineNextWidth(c.needed, c.current), c.next)
            << c.needed << " " << c.current;
}

TEST(LineFormattingRules, TheDecimalPlacesFieldChecksItsText) {
    struct Case {
        std::u16string text;
        DecimalPlacesEntry entry;
        int64_t value;
    };
    const std::vector<Case> cases = {
        {u"4", DecimalPlacesEntry::Accepted, 4},
        {u"12 dp", DecimalPlacesEntry::Accepted, 12},
        {u"50", DecimalPlacesEntry::Accepted, 50},
        {u"51", DecimalPlacesEntry::Clamped, 50},
        {u"60", DecimalPlacesEntry::Clamped, 50},
        {u"99999999999999999999999", DecimalPlacesEntry::Clamped, 50},
        {u"0", DecimalPlacesEntry::RestorePrevious, 7},
        {u"-3", DecimalPlacesEntry::RestorePrevious, 7},
        {u"dp", DecimalPlacesEntry::RestorePrevious, 7},
        {u"", DecimalPlacesEntry::RestorePrevious, 7},
    };
    for (const Case& c : cases) {
        const DecimalPlacesCheck check = checkDecimalPlacesEntry(c.text, 7);
        EXPECT_EQ(check.entry, c.entry) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(check.value, c.value) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(LineFormattingRules, BasesMapToDisplayBasesAndFormats) {
    EXPECT_EQ(displayBaseForBase(0), 10);
    EXPECT_EQ(displayBaseForBase(1), 2);
    EXPECT_EQ(displayBaseForBase(2), 16);
    EXPECT_EQ(displayBaseForBase(3), std::nullopt);
    auto line = lineInBase(10);
    for (int64_t base : {2, 1, 0}) {
        setValueOnLine("base", base, *line);
        EXPECT_EQ(valueOfLine("base", *line), base);
        EXPECT_EQ(line->customFormattingOptions()->displayFormat(),
                  base == 0 ? NCDisplayFormatNormal : NCDisplayFormatSpacedGroupsOfFour);
    }
    // An unknown base leaves the display base and drops the spaced groups.
    setValueOnLine("base", 2, *line);
    setValueOnLine("base", 7, *line);
    EXPECT_EQ(line->customFormattingOptions()->displayBase, 16);
    EXPECT_EQ(line->customFormattingOptions()->displayFormat(), NCDisplayFormatNormal);
    // A display base the bar has no item for shows the bar's current base.
    EXPECT_EQ(valueOfLine("base", *lineInBase(8), 1), 1);
}

TEST(LineFormattingRules, AMixedSelectionShowsMixedValuesAndMixedMenuItems) {
    const std::vector<std::shared_ptr<NCLine>> lines = {lineInBase(10, 2), lineInBase(16, 2),
                                                        lineInBase(10, 2)};
    EXPECT_FALSE(isUniform("base", lines));
    EXPECT_TRUE(isUniform("decimalPlaces", lines));
    EXPECT_EQ(valueOfLines("base", lines, 0), -1);
    EXPECT_EQ(valueOfLines("decimalPlaces", lines, 0), 2);
    EXPECT_EQ(menuItemState("base", 0, lines, -1), -1);
    EXPECT_EQ(menuItemState("base", 1, lines, -1), 0);
    EXPECT_EQ(menuItemState("base", 2, lines, -1), -1);
    EXPECT_EQ(menuItemState("decimalPlaces", 2, lines, 2), 1);
    EXPECT_EQ(menuItemState("decimalPlaces", 3, lines, 2), 0);
    // One line: on exactly for the bar's value.
    EXPECT_EQ(menuItemState("base", 2, {lines[1]}, 2), 1);
    EXPECT_EQ(menuItemState("base", 0, {lines[1]}, 2), 0);
    EXPECT_EQ(mixedSelectionValue("thousandsSeparator"), 0);
    EXPECT_EQ(mixedSelectionValue("trigonometryMode"), 0);
    EXPECT_EQ(mixedSelectionValue("decimalPlaces"), -1);
    EXPECT_EQ(mixedSelectionValue("textAlignment"), -1);
}

TEST(LineFormattingRules, GlobalDefaultsReachEveryLine) {
    auto lines = std::make_shared<NCLineCollection>(sharedRealEnvironment());
    for (int i = 0; i < 3; ++i) lines->addLine(lineInBase(10));
    EXPECT_TRUE(applyGlobalDefault("NBNotationThreshold", int64_t{8}, *lines));
    EXPECT_TRUE(applyGlobalDefault("NBNotationStyle", int64_t{0}, *lines));
    for (const auto& line : lines->lines()) {
        const auto& options = line->customFormattingOptions();
        EXPECT_EQ(options->scientificNotationBigThreshold, 7u);
        EXPECT_EQ(options->scientificNotationSmallThreshold, 8u);
        EXPECT_EQ(options->scientificNotationStyle, 0);
    }
    // The signs travel with the locale, not as a formatting default.
    EXPECT_FALSE(applyGlobalDefault("NBThousandsSeperatorSign", std::u16string(u"'"), *lines));
    EXPECT_FALSE(applyGlobalDefault("NBNotationStyle", std::u16string(u"x"), *lines));
    EXPECT_FALSE(applyGlobalDefault("NBDefaultPrecision", int64_t{3}, *lines));
}
