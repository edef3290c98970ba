// The export page's style sheet: every declaration of the default style written out by hand
// from the page's design, and the switches that change single rules.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "NKLineCollectionExporterHTMLStyle.h"
#include "NKTextHelpers.h"

namespace {

std::vector<std::string> splitLines(const std::u16string& text) {
    std::vector<std::string> lines;
    std::string current;
    for (char c : NKUTF8(text)) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
}

std::string box(const std::string& selector, const std::string& background,
                const std::string& border) {
    return selector + " { background-color: " + background + "; border: 1px solid " + border +
           "; -webkit-border-radius: 12px; -moz-border-radius: 12px; border-radius: 12px; "
           "padding: 0px 10px 0px 10px; }";
}

TEST(ExportStyle, DefaultSheetHasOneLinePerSelectorInOrder) {
    const std::vector<std::string> expected = {
        "body { margin: 0px; padding: 0px; }",
        "pre { font-family: inherit; color: inherit; font-size: inherit; font-weight: inherit; "
        "line-height: inherit; margin: 0; white-space: pre-wrap; }",
        "div.content { width: 100%; min-width: 250px; }",
        "div.table_container {  margin: 0px 30px; font-family: 'Lucida Grande', Verdana, "
        "Sans-serif; font-size: 14px; }",
        "table.document_table { border: 1px solid transparent; border-top: none; width: 100%; "
        "border-collapse: collapse;  }",
        "div.document_title { display: none; }",
        "div.document_date { display: none; }",
        "td.no_line_number { display: none; }",
        "td.line_number { width: 20px; text-align: right; background-color: #f8f8f8; "
        "border-right: 1px solid #aaa; padding-right: 5px; font-size: 8pt; color: #555; }",
        "td.expression { padding: 5px 8px 5px 6px; }",
        "td.answer { width: 200px; text-overflow: ellipsis; overflow: hidden; border-left: 1px "
        "solid #aaa; background-color: #eef1fb; padding-left: 5px; color: #000; }",
        "td.statistic_title { text-align: right; font-weight: bold;  color: #333; }",
        "td.statistic { border-top: 1px solid #aaa; font-weight: bold; padding-left: 5px; "
        "color: #333; }",
        "td.expander_row { height: 100%; }",
        "td.heading { padding: 0px; }",
        "tr.heading { padding: 0px; }",
        "tr.line { border-left: 1px solid #aaa; border-right: 1px solid #aaa; height: 28px; }",
        "tr.top { border-top: 1px solid #aaa; }",
        "tr.statistic { height: 35px; }",
        "tr.expander { border-bottom: 1px solid #aaa; height:inherit; }",
        "tr.top_padding { height: 30px; }",
        "tr.bottom_padding { height: 30px; }",
        "span.sci_notation_exponent { font-size:65%; vertical-align:super; }",
        box("span.rel_line_ref", "#e0e7f8", "#a9bbeb"),
        box("span.fixed_rel_line_ref", "#ebe2f8", "#b9a8d1"),
        box("span.abs_line_ref", "#e9d8f6", "#bf99e7"),
        "span.operator {  color: #000; }",
        "span.number {  color: #000; }",
        "span.bracket {  }",
        "span.function {  }",
        "span.unit {  }",
        "span.variable {  }",
        "span.word {  }",
        "span.leftwards_title { font-weight: bold; color: #444; }",
        "span.rightwards_title { font-weight: bold; color: #444; }",
        "span.leftwards_comment {  color: #555; }",
        "span.rightwards_comment {  color: #555; }",
        "span.inline_comment {  color: #555; }",
    };
    NKLineCollectionExporterHTMLStyle style;
    const std::u16string sheet = style.cssString();
    ASSERT_EQ(sheet.back(), u'\n');
    const std::vector<std::string> lines = splitLines(sheet);
    ASSERT_EQ(lines.size(), 38u);
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
}

struct RuleCase {
    const char* name;
    std::function<void(NKLineCollectionExporterHTMLStyle&)> change;
    const char* selector;
    const char* declarations;
};

class ExportStyleRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ExportStyleRule, AnswersTheDeclarations) {
    NKLineCollectionExporterHTMLStyle style;
    GetParam().change(style);
    std::optional<std::u16string> css =
        style.cssForSelector(NKUTF16(std::string(GetParam().selector)));
    ASSERT_TRUE(css.has_value());
    EXPECT_EQ(NKUTF8(*css), GetParam().declarations);
    EXPECT_EQ(style.cssForClass(NKUTF16(std::string(GetParam().selector))), css);
}

const RuleCase kRuleCases[] = {
    {"NoLineNumbers", [](auto& s) { s.setShowsLineNumbers(false); }, "td.line_number",
     "display: none;"},
    {"NoLineNumbersCell", [](auto& s) { s.setShowsLineNumbers(false); }, "td.no_line_number",
     "width: 1px;"},
    {"TitleWithoutDate", [](auto& s) { s.setShowsDocumentTitle(true); }, "div.document_title",
     "font-size: 18px; font-weight: bold; margin: 0px 0px 12px 3px;"},
    {"TitleWithDate",
     [](auto& s) {
         s.setShowsDocumentTitle(true);
         s.setShowsDocumentDate(true);
         s.setDocumentTitleColor(u"#123");
     },
     "div.document_title",
     "font-size: 18px; font-weight: bold; margin: 0px 0px 0px 3px; color: #123;"},
    {"Date", [](auto& s) { s.setShowsDocumentDate(true); }, "div.document_date",
     "font-size: 12px; margin: 5px 0px 14px 3px; color: #999;"},
    {"NilFontName", [](auto& s) { s.setFontName(std::nullopt); }, "div.table_container",
     " margin: 0px 30px; font-family: 'Lucida Grande', Verdana, Sans-serif; font-size: 14px;"},
    {"FixedWidthAndVertical",
     [](auto& s) {
         s.setEnableHorizontalAutoresizing(false);
         s.setEnableVerticalAutoresizing(true);
         s.setContentWidth(640);
     },
     "div.content", "width: 640px; min-width: 250px;height: 100%; position: absolute;"},
    {"VerticalTable", [](auto& s) { s.setEnableVerticalAutoresizing(true); },
     "table.document_table",
     "border: 1px solid transparent; border-top: none; width: 100%; border-collapse: collapse; "
     "height: 100%;"},
    {"VerticalContainer",
     [](auto& s) {
         s.setEnableVerticalAutoresizing(true);
         s.setFontName(u"Menlo");
         s.setSideInset(8);
     },
     "div.table_container",
     "height: 100%; margin: 0px 8px; font-family: 'Menlo', Verdana, Sans-serif; font-size: 14px;"},
    // 2.5 x 15 = 37.5, cut to 37; radius (15 + 10) / 2 rounded up = 13.
    {"OddFontStatistic", [](auto& s) { s.setFontSize(15); }, "tr.statistic", "height: 37px;"},
    {"OddFontLine", [](auto& s) { s.setFontSize(15); }, "tr.line",
     "border-left: 1px solid #aaa; border-right: 1px solid #aaa; height: 30px;"},
    {"OddFontRadius", [](auto& s) { s.setFontSize(15); }, "span.abs_line_ref",
     "background-color: #e9d8f6; border: 1px solid #bf99e7; -webkit-border-radius: 13px; "
     "-moz-border-radius: 13px; border-radius: 13px; padding: 0px 10px 0px 10px;"},
    {"NoStatistic", [](auto& s) { s.setShowsDocumentStatistic(false); }, "tr.statistic",
     "display: none"},
    {"ExpressionBackground", [](auto& s) { s.setExpressionBackgroundColor(u"#fff"); },
     "td.expression", "padding: 5px 8px 5px 6px; background-color: #fff;"},
    {"NoStatisticTitleColour", [](auto& s) { s.setStatisticTitleColor(std::nullopt); },
     "td.statistic_title", "text-align: right; font-weight: bold; "},
    {"UnitColour", [](auto& s) { s.setUnitColor(u"#0a0"); }, "span.unit", " color: #0a0;"},
    {"BorderEverywhere", [](auto& s) { s.setDocumentBorderColor(u"red"); }, "tr.expander",
     "border-bottom: 1px solid red; height:inherit;"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExportStyleRule, ::testing::ValuesIn(kRuleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ExportStyle, SelectorsOutsideThePageHaveNoRule) {
    NKLineCollectionExporterHTMLStyle style;
    for (const char16_t* selector : {u"html", u"td", u"span", u"span.word_line_ref", u""})
        EXPECT_FALSE(style.cssForSelector(selector).has_value());
}

TEST(ExportStyle, HiddenStatisticRowStaysInTheSheet) {
    NKLineCollectionExporterHTMLStyle style;
    style.setShowsDocumentStatistic(false);
    EXPECT_NE(NKUTF8(style.cssString()).find("tr.statistic { display: none }\n"),
              std::string::npos);
}

}  // namespace
