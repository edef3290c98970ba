// A line's restorable state: taken from one line, archived, read back and applied to another.
#include <gtest/gtest.h>

#include "NBLineState.h"
#include "NCExpressionFormattingOptions.h"
#include "NCLine.h"
#include "NCResultFormattingOptions.h"

namespace {

std::shared_ptr<NCLine> formattedLine() {
    auto line = NCLine::lineWithExpressionString(u"sin 30");
    line->setCustomFormattingOptions(std::make_shared<NCResultFormattingOptions>());
    line->setExpressionFormattingOptions(std::make_shared<NCExpressionFormattingOptions>());
    return line;
}

TEST(LineState, SurvivesTheArchiveAndReachesAnotherLine) {
    auto source = formattedLine();
    source->setTrigonometryMode(2);
    source->expressionFormattingOptions()->setTextAlignment(1);
    source->customFormattingOptions()->setDecimalPlaces(3);
    source->customFormattingOptions()->displayBase = 16;
    source->customFormattingOptions()->thousandsSeparator = false;

    NSKeyedArchive archive;
    NBLineState::initFromLine(source.get()).encodeWithCoder(archive);
    EXPECT_EQ(archive.decodeInteger("textAlignment"), 1);
    const NBLineState read = NBLineState::initWithCoder(archive);

    auto target = formattedLine();
    read.applyToLine(*target);
    EXPECT_EQ(target->trigonometryMode(), 2);
    EXPECT_EQ(target->expressionFormattingOptions()->textAlignment(), 1);
    EXPECT_EQ(target->customFormattingOptions()->decimalPlaces(), 3u);
    EXPECT_EQ(target->customFormattingOptions()->displayBase, 16);
    EXPECT_FALSE(target->customFormattingOptions()->thousandsSeparator);
}

TEST(LineState, WithoutResultOptionsOnlyTheModeAndAlignmentApply) {
    NSKeyedArchive archive;
    archive.encodeInt32(1, "trigonometryMode");
    archive.encodeInteger(2, "textAlignment");
    const NBLineState read = NBLineState::initWithCoder(archive);
    EXPECT_EQ(read.resultFormattingOptions(), nullptr);
    auto target = formattedLine();
    target->customFormattingOptions()->setDecimalPlaces(5);
    read.applyToLine(*target);
    EXPECT_EQ(target->trigonometryMode(), 1);
    EXPECT_EQ(target->expressionFormattingOptions()->textAlignment(), 2);
    EXPECT_EQ(target->customFormattingOptions()->decimalPlaces(), 5u);
    // A state of no line has nothing to give.
    EXPECT_EQ(NBLineState::initFromLine(nullptr).index(), -1);
}

}  // namespace
