// Line metrics of the calculation text and the geometry that moves rectangles below a
// changed line.
#include <gtest/gtest.h>

#include <random>

#include "NKTextViewMetrics.h"
#include "TestRandom.h"

namespace {
// A text layout of fixed pitch: every line 20 points tall plus 20 for each full 10
// characters (wrapping), stacked with the paragraph spacing. It behaves as the application's
// geometry does: a cached rectangle is answered as it is; otherwise the line is laid out and
// its record gets the new rectangle and forgets the old one.
class FixedPitchGeometry : public NKAbstractTextViewGeometry {
  public:
    FixedPitchGeometry(std::shared_ptr<NKTextViewLineMetrics> metrics, double spacing)
        : NKAbstractTextViewGeometry(metrics, metrics, spacing), m_metrics(metrics) {}

    int layouts = 0;

    NSRect boundingRectOfLineAtIndex(uint64_t index) override {
        std::shared_ptr<NKCachedLine> line = m_metrics->cachedLineAtIndex(index);
        if (!line) return NSZeroRect;
        if (line->rect.size.height != 0) return line->rect;
        ++layouts;
        double y = 0;
        for (uint64_t i = 0; i < index; ++i) y += heightOf(i) + paragraphSpacing();
        NSRect rect = NSMakeRect(0, y, 300, heightOf(index));
        line->rect = rect;
        line->oldRect = NSZeroRect;
        return rect;
    }

  private:
    double heightOf(uint64_t index) {
        return 20.0 + 20.0 * static_cast<double>(
                                 m_metrics->cachedLineAtIndex(index)->string()->size() / 10);
    }
    std::shared_ptr<NKTextViewLineMetrics> m_metrics;
};
}  // namespace

TEST(TextViewLineMetrics, LinesOfATextEndingInALineBreak) {
    NKPlainTextSource text(u"a\nbc\n");
    NKTextViewLineMetrics metrics(&text);
    EXPECT_EQ(metrics.countOfLines(), 3u);
    EXPECT_EQ(metrics.totalStringLength(), 5u);
    const NSRange ranges[] = {{0, 1}, {2, 2}, {5, 0}};
    const bool ends[] = {true, true, false};
    const char16_t* strings[] = {u"a", u"bc", u""};
    for (uint64_t i = 0; i < 3; ++i) {
        std::shared_ptr<NKCachedLine> line = metrics.cachedLineAtIndex(i);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->range, ranges[i]) << i;
        EXPECT_EQ(line->hasEndOfLine, ends[i]) << i;
        EXPECT_EQ(line->string(), strings[i]) << i;
        EXPECT_EQ(line->index, i);
    }
    EXPECT_EQ(metrics.lineStrings(), (std::vector<std::u16string>{u"a", u"bc", u""}));
}

TEST(TextViewLineMetrics, CharacterToLine) {
    NKPlainTextSource text(u"a\nbc\n");
    NKTextViewLineMetrics metrics(&text);
    const std::pair<uint64_t, uint64_t> rows[] = {
        {0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}, {6, NSUIntegerMax}, {100, NSUIntegerMax}};
    for (auto [character, line] : rows)
        EXPECT_EQ(metrics.indexOfLineAtCharacterIndex(character), line) << character;
}

TEST(TextViewLineMetrics, LinesOfARange) {
    NKPlainTextSource text(u"a\nbc\n");
    NKTextViewLineMetrics metrics(&text);
    struct Row {
        NSRange range;
        NSRange containing;
        std::optional<NSIndexSet> touched;
    };
    const Row rows[] = {
        {{2, 3}, {1, 1}, NSIndexSet{1, 2}},      {{0, 2}, {0, 1}, NSIndexSet{0, 1}},
        {{0, 3}, {0, 2}, NSIndexSet{0, 1}},      {{0, 1}, {0, 1}, NSIndexSet{0}},
        {{2, 0}, {1, 1}, NSIndexSet{1}},         {{5, 0}, {2, 1}, NSIndexSet{2}},
        {{4, 2}, {NSNotFound, 0}, std::nullopt},
    };
    for (const Row& row : rows) {
        NSRange containing = metrics.indexRangeOfLinesContainingRange(row.range);
        EXPECT_EQ(containing.location, row.containing.location) << row.range.location;
        if (row.containing.location != NSNotFound) {
            EXPECT_EQ(containing, row.containing) << row.range.location;
        }
        EXPECT_EQ(metrics.indexesOfLinesTouchedByRange(row.range), row.touched)
            << row.range.location << "," << row.range.length;
    }
}

TEST(TextViewLineMetrics, LineRangesAndStrings) {
    NKPlainTextSource text(u"a\nbc\n");
    NKTextViewLineMetrics metrics(&text);
    EXPECT_EQ(metrics.rangeOfLineAtIndex(1, true), (NSRange{2, 3}));
    EXPECT_EQ(metrics.rangeOfLineAtIndex(1, false), (NSRange{2, 2}));
    EXPECT_EQ(metrics.rangeOfLineAtIndex(2, true), (NSRange{5, 0}));
    EXPECT_EQ(metrics.rangeOfLineAtIndex(2, false), (NSRange{5, 0}));
    EXPECT_EQ(metrics.rangeOfLineAtIndex(3, true).location, NSNotFound);
    EXPECT_EQ(metrics.stringForLineAtIndex(1, true), u"bc\n");
    EXPECT_EQ(metrics.stringForLineAtIndex(2, true), u"");
    EXPECT_FALSE(metrics.stringForLineAtIndex(3, false).has_value());
    EXPECT_EQ(metrics.stringsForLinesAtIndexes(NSIndexSet{0, 1}, true),
              (std::vector<std::u16string>{u"a\n", u"bc\n"}));
}

TEST(TextViewLineMetrics, EmptyTextIsOneLine) {
    NKPlainTextSource text(u"");
    NKTextViewLineMetrics metrics(&text);
    EXPECT_EQ(metrics.countOfLines(), 1u);
    EXPECT_EQ(metrics.indexOfLineAtCharacterIndex(0), 0u);
    EXPECT_EQ(metrics.rangeOfLineAtIndex(0, true), (NSRange{0, 0}));
    NKTextViewLineMetrics detached;
    EXPECT_EQ(detached.countOfLines(), 1u);
}

TEST(TextViewLineMetrics, PartialRebuildKeepsEarlierRecords) {
    NKPlainTextSource text(u"one\ntwo\nthree");
    NKTextViewLineMetrics metrics(&text);
    std::shared_ptr<NKCachedLine> first = metrics.cachedLineAtIndex(0);
    std::shared_ptr<NKCachedLine> second = metrics.cachedLineAtIndex(1);
    text.setString(u"one\nTWO!\nthree\nfour");
    metrics.resetAllCachesOnAndAfterLineIndex(1);
    // Line 0 keeps its record and its text; from line 1 on the records are empty.
    EXPECT_EQ(first->string(), u"one");
    EXPECT_FALSE(second->string().has_value());
    EXPECT_EQ(metrics.countOfLines(), 4u);
    EXPECT_EQ(metrics.cachedLineAtIndex(0), first);
    EXPECT_EQ(second->string(), u"TWO!");
    EXPECT_EQ(metrics.rangeOfLineAtIndex(2, false), (NSRange{9, 5}));
    EXPECT_EQ(metrics.rangeOfLineAtIndex(3, false), (NSRange{15, 4}));
    EXPECT_EQ(metrics.indexOfLineAtCharacterIndex(19), 3u);
}

TEST(TextViewLineMetrics, StaleRecordsAboveARebuildAreNotTrusted) {
    NKPlainTextSource text(u"one\ntwo\nthree");
    NKTextViewLineMetrics metrics(&text);
    (void)metrics.countOfLines();
    text.setString(u"o\nt\nthree");  // changed above line 2 without saying so
    metrics.resetAllCachesOnAndAfterLineIndex(2);
    EXPECT_EQ(metrics.lineStrings(), (std::vector<std::u16string>{u"o", u"t", u"three"}));
    EXPECT_EQ(metrics.rangeOfLineAtIndex(2, false), (NSRange{4, 5}));
}

TEST(TextViewMetrics, SelectionHelpers) {
    NKPlainTextSource text(u"12\n345\n6", {4, 0});
    auto lineMetrics = std::make_shared<NKTextViewLineMetrics>(&text);
    NKTextViewMetrics metrics(&text, lineMetrics, nullptr);
    EXPECT_EQ(metrics.indexOfCurrentLine(), 1u);
    EXPECT_EQ(metrics.rangeOfCurrentLine(), (NSRange{3, 4}));
    EXPECT_EQ(metrics.stringForRange({3, 3}), u"345");
    EXPECT_EQ(metrics.stringForRange({7, 10}), u"6");
    EXPECT_EQ(metrics.rangeInTextViewForLocalRange({1, 2}, 1), (NSRange{4, 2}));
    EXPECT_EQ(metrics.localRangeInLine(1, {4, 10}), (NSRange{1, 2}));
    EXPECT_EQ(metrics.localRangeInLine(0, {3, 0}), (NSRange{3, 0}));
    text.setSelectedRange({NSNotFound, 0});
    EXPECT_EQ(metrics.indexOfCurrentLine(), 0u);
    text.setSelectedRange({50, 0});
    EXPECT_EQ(metrics.indexOfCurrentLine(), 0u);
    EXPECT_EQ(metrics.boundingRectOfLineAtIndex(0), NSZeroRect);
    EXPECT_EQ(metrics.heightOfLineAtIndex(0), 0.0);
}

TEST(TextViewMetrics, AbstractGeometryAddsSpacing) {
    NKAbstractTextViewGeometry geometry(nullptr, nullptr, 10.0);
    EXPECT_EQ(geometry.boundingRectOfLineAtIndex(3), NSZeroRect);
    EXPECT_EQ(geometry.rectForCharacterRange({0, 4}), NSZeroRect);
    EXPECT_EQ(geometry.heightOfLineAtIndex(3), 10.0);
}

TEST(TextViewMetrics, HeightChangeMovesLaterRectangles) {
    NKPlainTextSource text(u"a\nb\nc\nd");
    auto lineMetrics = std::make_shared<NKTextViewLineMetrics>(&text);
    auto geometry = std::make_shared<FixedPitchGeometry>(lineMetrics, 10.0);
    NKTextViewMetrics metrics(&text, lineMetrics, geometry);
    for (uint64_t i = 0; i < 4; ++i) metrics.boundingRectOfLineAtIndex(i);
    EXPECT_EQ(metrics.cachedLineAtIndex(3)->rect, NSMakeRect(0, 90, 300, 20));
    EXPECT_EQ(metrics.heightOfLineAtIndex(2), 30.0);

    // Line 1 wraps onto a second row: 20 points taller; the line's own text record stays.
    text.setString(u"a\nbbbbbbbbbbbb\nc\nd");
    metrics.resetAllCachesOnAndAfterLineIndex(1);
    std::shared_ptr<NKCachedLine> line1 = metrics.cachedLineAtIndex(1);
    // A rebuilt record remembers its old rectangle.
    EXPECT_EQ(line1->oldRect, NSMakeRect(0, 30, 300, 20));
    metrics.recalculateGeometryForLineIndexesInRange({1, 1});
    EXPECT_EQ(line1->rect, NSMakeRect(0, 30, 300, 40));
    // Lines 2 and 3 were rebuilt too, so their rectangles are unknown and stay unknown.
    EXPECT_EQ(metrics.cachedLineAtIndex(2)->rect, NSZeroRect);

    // A change of line 0 alone moves every later known rectangle by the difference.
    for (uint64_t i = 0; i < 4; ++i) metrics.boundingRectOfLineAtIndex(i);
    EXPECT_EQ(metrics.cachedLineAtIndex(3)->rect, NSMakeRect(0, 110, 300, 20));
    text.setString(u"aaaaaaaaaaaaaaaaaaaaa\nbbbbbbbbbbbb\nc\nd");
    metrics.cachedLineAtIndex(0)->setString(u"aaaaaaaaaaaaaaaaaaaaa");
    int before = geometry->layouts;
    metrics.resetGeometricCachesForLineAtIndex(0);
    EXPECT_EQ(geometry->layouts, before + 1);  // one line laid out, not four
    EXPECT_EQ(metrics.cachedLineAtIndex(0)->rect.size.height, 60.0);
    EXPECT_EQ(metrics.cachedLineAtIndex(1)->rect, NSMakeRect(0, 70, 300, 40));
    EXPECT_EQ(metrics.cachedLineAtIndex(3)->rect, NSMakeRect(0, 150, 300, 20));
}

TEST(TextViewMetrics, UnknownOldRectangleInvalidatesAll) {
    NKPlainTextSource text(u"a\nb\nc");
    auto lineMetrics = std::make_shared<NKTextViewLineMetrics>(&text);
    auto geometry = std::make_shared<FixedPitchGeometry>(lineMetrics, 10.0);
    NKTextViewMetrics metrics(&text, lineMetrics, geometry);
    metrics.boundingRectOfLineAtIndex(0);
    metrics.boundingRectOfLineAtIndex(2);
    // Line 1 was never laid out: its old rectangle is unknown.
    metrics.recalculateGeometryForLineIndexesInRange({1, 1});
    for (uint64_t i = 0; i < 3; ++i) EXPECT_EQ(metrics.cachedLineAtIndex(i)->rect, NSZeroRect) << i;
    EXPECT_EQ(metrics.cachedLineAtIndex(2)->oldRect, NSMakeRect(0, 60, 300, 20));
}

namespace {
// The lines of a text by definition: split at every line break.
std::vector<NSRange> linesByDefinition(const std::u16string& text) {
    std::vector<NSRange> lines;
    uint64_t start = 0;
    for (uint64_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == u'\n') {
            lines.push_back({start, i - start});
            start = i + 1;
        }
    }
    return lines;
}
}  // namespace

// After each random edit the metrics are told from which line the text changed, as the
// document does; every answer must then agree with the lines by definition.
TEST(TextViewLineMetrics, RandomEditsAgreeWithTheDefinition) {
    const uint32_t seed = test_random::seed(31337);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    auto pick = [&](uint64_t bound) {
        return std::uniform_int_distribution<uint64_t>(0, bound - 1)(random);
    };
    NKPlainTextSource text(u"ab\n\ncd\ne");
    NKTextViewLineMetrics metrics(&text);
    for (int step = 0, steps = test_random::rounds(1500); step < steps; ++step) {
        std::u16string string = text.string();
        uint64_t at = pick(string.size() + 1);
        uint64_t length = std::min<uint64_t>(pick(4), string.size() - at);
        std::u16string insert;
        for (uint64_t i = pick(4); i > 0; --i) insert += pick(3) == 0 ? u'\n' : u'x';
        // The line that held the edit's start, before the edit.
        uint64_t firstChanged = metrics.indexOfLineAtCharacterIndex(at);
        ASSERT_NE(firstChanged, NSUIntegerMax);
        string.replace(at, length, insert);
        if (string.size() > 300) string = u"q\nr";
        text.setString(string);
        metrics.resetAllCachesOnAndAfterLineIndex(string.size() > 3 ? firstChanged : 0);

        std::vector<NSRange> lines = linesByDefinition(string);
        ASSERT_EQ(metrics.countOfLines(), lines.size()) << step;
        ASSERT_EQ(metrics.totalStringLength(), string.size());
        for (uint64_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(metrics.rangeOfLineAtIndex(i, false), lines[i]) << step << " line " << i;
            ASSERT_EQ(metrics.stringForLineAtIndex(i, false),
                      string.substr(lines[i].location, lines[i].length));
        }
        for (uint64_t c = 0; c <= string.size() + 1; ++c) {
            uint64_t expected = NSUIntegerMax;
            for (uint64_t i = 0; i < lines.size(); ++i)
                if (c >= lines[i].location && c <= NSMaxRange(lines[i])) {
                    expected = i;
                    break;
                }
            ASSERT_EQ(metrics.indexOfLineAtCharacterIndex(c), expected) << step << " at " << c;
        }
        // A range's lines: from its start's line to its end's line, less an end line that the
        // range only reaches the start of.
        uint64_t start = pick(string.size() + 1);
        NSRange range{start, pick(string.size() - start + 1)};
        uint64_t first = metrics.indexOfLineAtCharacterIndex(range.location);
        uint64_t last = metrics.indexOfLineAtCharacterIndex(NSMaxRange(range));
        if (last != first && lines[last].location == NSMaxRange(range)) --last;
        EXPECT_EQ(metrics.indexRangeOfLinesContainingRange(range),
                  (NSRange{first, last - first + 1}));
    }
}
