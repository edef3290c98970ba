// Lines copied to property lists and pasted back: relative references re-targeted for their new
// place, and pasted data treated as untrusted.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NCExpression.h"
#include "NKPasteboardHelper.h"

namespace {

std::u16string ref(int64_t offset) {
    return NCExpression::relativeLineReferenceTokenWithOffset(offset);
}

std::shared_ptr<NCLineCollection> collectionOf(const std::vector<std::u16string>& lines) {
    auto collection = std::make_shared<NCLineCollection>();
    for (const std::u16string& line : lines)
        collection->addLine(NCLine::lineWithExpressionString(line));
    return collection;
}

// What the pasteboard does: the array written as XML and read back.
std::shared_ptr<const NCPropertyListValue> throughPasteboard(const PlistPtr& data) {
    std::string error;
    return NCPropertyListValue::readFromData(PropertyListFile::xmlData(data.get()), &error);
}

struct OffsetCase {
    int64_t oldIndex, newIndex, oldOffset;
    std::optional<uint64_t> referencedIndex;  // none: the referenced line is gone
    NSRange pasted;
    int64_t expected;
};

TEST(PasteboardHelper, NewOffsets) {
    const OffsetCase cases[] = {
        // Pointing into the pasted block: kept.
        {2, 5, -1, 1, {4, 2}, -1},
        // Referenced line before the paste: it keeps its index 4; 4 - 8.
        {5, 8, -1, 4, {8, 1}, -4},
        // Gone: the same line number as before, -1 + 5 - 8.
        {5, 8, -1, std::nullopt, {8, 1}, -4},
        // Referenced line after the paste position moves down by k - 1 = 2: 9 + 2 - 1.
        {12, 1, -3, 9, {1, 3}, 10},
        // The line referred to itself in the block only by number, not by identity.
        {3, 0, 2, std::nullopt, {0, 1}, 5},
    };
    auto collection = collectionOf(std::vector<std::u16string>(14, u"1"));
    for (const OffsetCase& c : cases) {
        std::shared_ptr<NCLine> referenced =
            c.referencedIndex ? collection->lineAtIndex(*c.referencedIndex) : nullptr;
        EXPECT_EQ(NKPasteboardHelper::newOffsetForOldLineIndex(c.oldIndex, c.newIndex, c.oldOffset,
                                                               referenced, c.pasted),
                  c.expected);
    }
}

struct PasteCase {
    const char* name;
    NSRange copied;      // selection, in characters of the text
    uint64_t pasteLine;  // caret line in the target
    bool otherDocument;  // the referenced line does not exist where it is pasted
    std::vector<std::u16string> expected;
};

class PasteboardRetarget : public ::testing::TestWithParam<PasteCase> {};

const std::vector<std::u16string> kLines = {u"10", u"20", ref(-1) + u"*2", u"5", u"6"};

TEST_P(PasteboardRetarget, KeepsPointingAtTheRightLine) {
    const PasteCase& c = GetParam();
    auto collection = collectionOf(kLines);
    EditingRig rig;
    rig.setText(joinLines(kLines), c.copied);
    NKPasteboardHelper copier;
    copier.setLineCollection(collection);
    copier.setMetrics(rig.metrics);
    PlistPtr data = copier.pasteboardDataForCopyAtPresentPosition();
    std::shared_ptr<const NCPropertyListValue> read = throughPasteboard(data);
    ASSERT_TRUE(read);

    auto target = c.otherDocument ? collectionOf({u"1", u"2", u"3", u"4", u"5"}) : collection;
    EditingRig targetRig;
    std::vector<std::u16string> targetLines;
    for (uint64_t i = 0; i < target->countOfLines(); ++i)
        targetLines.push_back(*target->lineAtIndex(i)->expressionString());
    uint64_t caret = 0;
    for (uint64_t i = 0; i < c.pasteLine; ++i) caret += targetLines[i].size() + 1;
    targetRig.setText(joinLines(targetLines), {caret, 0});
    NKPasteboardHelper paster;
    paster.setLineCollection(target);
    paster.setMetrics(targetRig.metrics);
    std::vector<std::shared_ptr<NCLine>> lines = paster.pastedlinesForPasteboardData(*read);
    std::vector<std::u16string> texts;
    for (const auto& line : lines) texts.push_back(line->expressionString().value_or(u"?"));
    ASSERT_EQ(texts.size(), c.expected.size());
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(NKUTF8(texts[i]), NKUTF8(c.expected[i]));
}

// Line starts: 0 "10", 3 "20", 6 the reference line (19 characters), 26 "5", 28 "6".
const PasteCase kPasteCases[] = {
    {"WithItsTargetKeepsOffset", {3, 22}, 4, false, {u"20", ref(-1) + u"*2"}},
    {"AloneFollowsTheLine", {6, 19}, 4, false, {ref(-3) + u"*2"}},
    {"TargetGoneKeepsLineNumber", {6, 19}, 1, true, {ref(0) + u"*2"}},
    {"AboveTheTarget", {6, 19}, 0, false, {ref(1) + u"*2"}},
};

INSTANTIATE_TEST_SUITE_P(Cases, PasteboardRetarget, ::testing::ValuesIn(kPasteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PasteboardHelper, CopiesWholeAndPartLines) {
    const std::vector<std::u16string> lines = {u"1+1", u"22+22", u"333+333"};
    auto collection = collectionOf(lines);
    EditingRig rig;
    rig.setText(joinLines(lines), {0, 13});  // two lines and "333"
    NKPasteboardHelper helper;
    helper.setLineCollection(collection);
    helper.setMetrics(rig.metrics);
    std::shared_ptr<const NCPropertyListValue> data =
        throughPasteboard(helper.pasteboardDataForCopyAtPresentPosition());
    ASSERT_TRUE(data && data->isArray());
    ASSERT_EQ(data->array().size(), 3u);
    const char16_t* expected[] = {u"1+1", u"22+22", u"333"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(data->array()[i]->valueForKey(u"NBLineExpression")->string(), expected[i]);
        EXPECT_EQ(data->array()[i]
                      ->valueForKey(u"NBLineOtherInfo")
                      ->valueForKey(u"NBLineIndex")
                      ->integer(),
                  static_cast<int64_t>(i));
    }
    rig.setText(joinLines(lines), {5, 0});
    data = throughPasteboard(helper.pasteboardDataForCopyAtPresentPosition());
    ASSERT_EQ(data->array().size(), 1u);
    EXPECT_EQ(data->array()[0]->valueForKey(u"NBLineExpression")->string(), u"");
}

TEST(PasteboardHelper, UntrustedValuesKeepTheDefaults) {
    const std::string xml =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
        "<dict><key>NBLineExpression</key><string>1/3</string><key>NBBase</key><integer>8"
        "</integer><key>NBTextAlignment</key><integer>99</integer><key>NBDecimalPlaces</key>"
        "<integer>-5</integer><key>NBSciNoteMode</key><string>x</string><key>NBTrigMode</key>"
        "<integer>7</integer></dict>"
        "<string>not a line</string>"
        "<dict><key>NBBase</key><integer>16</integer><key>NBTextAlignment</key><integer>2"
        "</integer><key>NBDecimalPlaces</key><integer>3</integer><key>NBTrigMode</key>"
        "<integer>2</integer><key>NBThousandsSeperatorEnabled</key><false/></dict>"
        "<dict><key>NBDecimalPlaces</key><integer>99999999999</integer>"
        "<key>NBLineExpression</key><integer>5</integer></dict>"
        "</array></plist>";
    std::string error;
    auto data = NCPropertyListValue::readFromData(xml, &error);
    ASSERT_TRUE(data);
    NKPasteboardHelper helper;
    LogCapture log;
    auto lines = helper.pastedlinesForPasteboardData(*data);
    ASSERT_EQ(lines.size(), 3u);
    auto fresh = NCLine::lineWithExpressionString(u"1");
    const auto& defaults = *fresh->customFormattingOptions();
    const auto& first = *lines[0]->customFormattingOptions();
    EXPECT_EQ(lines[0]->expressionString(), u"1/3");
    EXPECT_EQ(first.displayBase, 10);
    EXPECT_EQ(first.decimalPlaces(), defaults.decimalPlaces());
    EXPECT_EQ(first.scientificNotationMode, defaults.scientificNotationMode);
    EXPECT_EQ(lines[0]->expressionFormattingOptions()->textAlignment(), 0);
    EXPECT_EQ(lines[0]->trigonometryMode(), fresh->trigonometryMode());
    const auto& second = *lines[1]->customFormattingOptions();
    EXPECT_EQ(lines[1]->expressionString().value_or(u"?"), u"");
    EXPECT_EQ(second.displayBase, 16);
    EXPECT_EQ(second.decimalPlaces(), 3u);
    EXPECT_FALSE(second.thousandsSeparator);
    EXPECT_EQ(lines[1]->trigonometryMode(), 2);
    EXPECT_EQ(lines[1]->expressionFormattingOptions()->textAlignment(), 2);
    EXPECT_EQ(lines[2]->customFormattingOptions()->decimalPlaces(), defaults.decimalPlaces());
    EXPECT_TRUE(log.contains("Warning! Info dict could not be generated"));

    NCPropertyListValue notAnArray;
    EXPECT_TRUE(helper.pastedlinesForPasteboardData(notAnArray).empty());
}

}  // namespace
