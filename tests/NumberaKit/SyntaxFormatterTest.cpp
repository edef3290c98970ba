// The token walk: ranges handed to the delegate always point at the text as it stands, in place
// and into a separate destination, and the walk stops at an index past the document.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NKLineCollectionSyntaxFormatter.h"

namespace {

// Lines joined by line feeds; brackets every formatted line and angle-brackets every token.
class WrappingDelegate : public NKLineCollectionSyntaxFormatterDelegate {
  public:
    explicit WrappingDelegate(std::vector<std::u16string> lines) : m_lines(std::move(lines)) {}

    NSRange rangeOfLineAtIndex(uint64_t index, void*) override {
        uint64_t location = 0;
        for (uint64_t i = 0; i < index; ++i) location += m_lines[i].size() + 1;
        return {location, m_lines[index].size()};
    }
    void preFormatLine(NCLine&, NSRange, const NSAttributedString&, NSAttributedString& destination,
                       NSRange range, void*) override {
        destination.replaceCharactersInRange({range.location, 0}, u"[");
    }
    void formatToken(const NCExpressionToken& token, NSRange sourceRange,
                     const NSAttributedString& source, uint64_t, NSAttributedString& destination,
                     NSRange range, void*) override {
        const std::u16string text = token.string().value_or(u"");
        // Both ranges must show the token's own text.
        sourceTexts.push_back(source.string().substr(sourceRange.location, sourceRange.length));
        destinationTexts.push_back(destination.string().substr(range.location, range.length));
        tokenTexts.push_back(text);
        if (token.type() == NCExpressionTokenTypeWhitespace) return;
        destination.replaceCharactersInRange(range, u"<" + text + u">");
    }
    void postFormatLine(NCLine&, NSRange, const NSAttributedString&,
                        NSAttributedString& destination, NSRange range, void*) override {
        destination.replaceCharactersInRange({range.location + range.length, 0}, u"]");
    }

    std::vector<std::u16string> sourceTexts, destinationTexts, tokenTexts;

  private:
    std::vector<std::u16string> m_lines;
};

const std::vector<std::u16string> kLines = {u"1+2", u"3 * 4", u"5-6", u"", u"7", u"8 / 2"};

std::shared_ptr<NCLineCollection> collection() {
    auto lines = std::make_shared<NCLineCollection>();
    for (const std::u16string& line : kLines)
        lines->addLine(NCLine::lineWithExpressionString(line));
    return lines;
}

NSIndexSet indexes(std::initializer_list<uint64_t> list) {
    NSIndexSet set;
    for (uint64_t index : list) set.addIndex(index);
    return set;
}

struct WalkCase {
    const char* name;
    bool inPlace;
    std::vector<uint64_t> indexes;
    const char16_t* expected;
    bool warns;
};

class SyntaxFormatterWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(SyntaxFormatterWalk, RangesFollowTheGrowingText) {
    const WalkCase& c = GetParam();
    WrappingDelegate delegate(kLines);
    NKLineCollectionSyntaxFormatter formatter(collection());
    formatter.setDelegate(&delegate);
    NSAttributedString source(joinLines(kLines));
    NSAttributedString separate = source;
    NSIndexSet set;
    for (uint64_t index : c.indexes) set.addIndex(index);
    LogCapture log;
    formatter.formatLinesAtIndexes(set, source, c.inPlace ? source : separate, nullptr);
    EXPECT_EQ(NKUTF8((c.inPlace ? source : separate).string()), NKUTF8(c.expected));
    EXPECT_EQ(log.contains("which is beyond the count"), c.warns);
    ASSERT_FALSE(delegate.tokenTexts.empty());
    EXPECT_EQ(delegate.destinationTexts, delegate.tokenTexts);
    if (!c.inPlace) {
        EXPECT_EQ(delegate.sourceTexts, delegate.tokenTexts);
    }
}

const WalkCase kWalkCases[] = {
    {"InPlace", true, {0, 1}, u"[<1><+><2>]\n[<3> <*> <4>]\n5-6\n\n7\n8 / 2", false},
    {"Separate", false, {1, 5}, u"1+2\n[<3> <*> <4>]\n5-6\n\n7\n[<8> </> <2>]", false},
    {"PastTheEnd", true, {2, 5, 9}, u"1+2\n3 * 4\n[<5><-><6>]\n\n7\n[<8> </> <2>]", true},
    {"EmptyLineGrownByPreFormat", false, {3, 4}, u"1+2\n3 * 4\n5-6\n[]\n[<7>]\n8 / 2", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, SyntaxFormatterWalk, ::testing::ValuesIn(kWalkCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Lines shown cut short: the tokens of the part shown are walked, one running past the cut
// ends there, the rest is passed over without a warning; shorter lines are walked whole.
TEST(SyntaxFormatter, WalksOnlyThePartShownOfALongerLine) {
    const std::vector<std::u16string> lines = {u"123 + 45", u"6 * 7", u"8"};
    auto document = std::make_shared<NCLineCollection>();
    for (const std::u16string& line : lines)
        document->addLine(NCLine::lineWithExpressionString(line));
    WrappingDelegate delegate(lines);
    NKLineCollectionSyntaxFormatter formatter(document);
    formatter.setDelegate(&delegate);
    formatter.setLengthShown(2);
    NSAttributedString source(joinLines(lines));
    NSAttributedString destination = source;
    LogCapture log;
    formatter.formatLinesAtIndexes(indexes({0, 1, 2}), source, destination, nullptr);
    const std::vector<std::u16string> walked = {u"12", u"6", u" ", u"8"};
    EXPECT_EQ(delegate.sourceTexts, walked);
    EXPECT_EQ(delegate.destinationTexts, walked);
    EXPECT_TRUE(log.lines.empty()) << log.lines.front();
}

TEST(SyntaxFormatter, NothingWithoutDelegateOrIndexes) {
    NKLineCollectionSyntaxFormatter formatter(collection());
    NSAttributedString text(joinLines(kLines));
    LogCapture log;
    formatter.formatLinesAtIndexes(indexes({0}), text, text, nullptr);
    EXPECT_TRUE(log.contains("requires a delegate"));
    WrappingDelegate delegate(kLines);
    formatter.setDelegate(&delegate);
    formatter.formatLinesAtIndexes(NSIndexSet(), text, text, nullptr);
    EXPECT_EQ(text.string(), joinLines(kLines));
    EXPECT_TRUE(formatter.useHighLevelLocations());
}

}  // namespace
