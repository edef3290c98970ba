#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NCAttributedResultFormatter.h"
#include "NCResult.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptions.h"

namespace {

struct TextRun {
    std::u16string text;
    double size;
    int64_t superscript;  // 0: none
    bool operator==(const TextRun&) const = default;
};

std::vector<TextRun> runsOf(const NSAttributedString& string) {
    std::vector<TextRun> runs;
    uint64_t at = 0;
    while (at < string.length()) {
        NSRange range{};
        const NSAttributes attributes = string.attributesAtIndex(at, &range);
        TextRun run{string.string().substr(range.location, range.length), 0, 0};
        if (auto found = attributes.find(NSFontSizeAttributeName); found != attributes.end())
            run.size = std::get<double>(found->second);
        if (auto found = attributes.find(NSSuperscriptAttributeName); found != attributes.end())
            run.superscript = std::get<int64_t>(found->second);
        runs.push_back(run);
        at = range.location + range.length;
    }
    return runs;
}

TEST(AttributedResultFormatter, ScientificPartsAreScaledAndRaised) {
    struct Row {
        const char* name;
        std::u16string value;
        NCDisplayFormat format;
        bool scientific;
        std::optional<double> fontSize;  // none: the attributes carry no size
        std::optional<std::vector<TextRun>> expected;
    };
    const Row rows[] = {
        {"plain", u"1234.5", NCDisplayFormatNormal, false, 14.0,
         std::vector<TextRun>{{u"1,234.5", 14, 0}}},
        {"scientific", u"0.00123", NCDisplayFormatNormal, true, 20.0,
         std::vector<TextRun>{{u"1.23", 20, 0}, {u"\u00D710", 10, 0}, {u"-3", 15, 1}}},
        {"scientific rounded up", u"9999999999999999", NCDisplayFormatNormal, true, 20.0,
         std::vector<TextRun>{{u"1", 20, 0}, {u"\u00D710", 10, 0}, {u"16", 15, 1}}},
        {"default size", u"123456", NCDisplayFormatNormal, true, std::nullopt,
         std::vector<TextRun>{{u"1.23456", 12, 0}, {u"\u00D710", 6, 0}, {u"5", 9, 1}}},
        {"fraction shown normally", u"0.5", NCDisplayFormatFraction, false, 10.0,
         std::vector<TextRun>{{u"0.5", 10, 0}}},
        {"degrees are not attributed", u"1.5", NCDisplayFormatDegreesMinutesSeconds, false, 10.0,
         std::nullopt},
    };
    NCResultFormatter formatter("en_US");
    for (const auto& row : rows) {
        NCResult result(row.value, nullptr, 0);
        NCResultFormattingOptions options;
        options.setDisplayFormat(row.format);
        options.scientificNotationMode = row.scientific ? 1 : 0;
        options.scientificNotationBaseString = u"\u00D710";
        options.scientificNotationBaseStringFontSizeScale = 0.5;
        options.scientificNotationExponentStringFontSizeScale = 0.75;
        NSAttributes attributes{{NSFontNameAttributeName, std::u16string(u"Menlo")}};
        if (row.fontSize) attributes[NSFontSizeAttributeName] = *row.fontSize;
        const auto text = formatter.attributedStringValueForResult(&result, &options, attributes);
        ASSERT_EQ(text.has_value(), row.expected.has_value()) << row.name;
        if (!text) continue;
        EXPECT_EQ(runsOf(*text), *row.expected) << row.name;
        // Every run keeps the other attributes it was given.
        EXPECT_EQ(std::get<std::u16string>(text->attributesAtIndex(0).at(NSFontNameAttributeName)),
                  u"Menlo");
    }
}

TEST(AttributedResultFormatter, RangesPastTheTextAreCut) {
    NCAttributedResultFormatter formatter;
    const NSRange ranges[3] = {{0, 1}, {1, 1}, {2, 40}};
    const auto text = formatter.formatResultString(u"1e5", ranges, 3, {});
    EXPECT_EQ(runsOf(text), (std::vector<TextRun>{{u"1e", 12, 0}, {u"5", 12, 1}}));
    const auto none = formatter.formatResultString(u"", ranges, 3, {});
    EXPECT_EQ(none.length(), 0u);
}

}  // namespace
