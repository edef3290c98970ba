// The exporter's pages and columnated text, written out by hand from the page's design, and
// hostile documents: every text of the document comes out escaped.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NCExpression.h"
#include "NKLineCollectionExporter.h"
#include "NKLineCollectionSyntaxFormatter.h"
#include "NSLocalizedString.h"

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::shared_ptr<NCLineCollection> collectionOf(const std::vector<std::u16string>& lines) {
    auto collection = std::make_shared<NCLineCollection>();
    for (const std::u16string& line : lines)
        collection->addLine(NCLine::lineWithExpressionString(line));
    return collection;
}

const std::string kHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    "\"http://www.w3.org/TR/html4/loose.dtd\">\n\n"
    "<html lang=\"en\">\n"
    "\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
    "\t<meta name=\"generator\" content=\"Numbera\">\n";
const std::string kTableStart =
    "<body>\n<div class=\"content\">\n<div class=\"table_container\">\n"
    "<table class=\"document_table\">\n"
    "<tr class=\"top_padding\"><td style=\"padding: 0px\"></td></tr>\n";
const std::string kTableEnd =
    "<tr class=\"bottom_padding\"><td style=\"padding: 0px\"></td></tr>\n</table>\n</div>\n"
    "</div>\n</body>\n</html>\n";
const std::string kTwoPlusThree =
    "<div style=\"text-align: left;\"><span class=\"number\">2</span><span "
    "class=\"operator\">+</span><span class=\"number\">3</span></div>";

TEST(Exporter, OneLinePageWithoutStyle) {
    NKLineCollectionExporter exporter(collectionOf({u"2+3"}));
    const std::string expected =
        kHead + "<style type=\"text/css\" media=\"all\">\np { }\n</style>\n</head>\n" +
        kTableStart +
        "<tr class=\"heading\"><td class=\"heading\" colspan=\"2\"></td></tr>\n"
        "<tr class=\"line top\"><td class=\"expression\"><pre>" +
        kTwoPlusThree +
        "</pre></td><td class=\"answer\">5</td></tr>\n"
        "<tr class=\"line expander\"><td class=\"expression expander_row\"></td>"
        "<td class=\"answer\"></td></tr>\n"
        "<tr class=\"statistic\"><td class=\"statistic_title\" colspan=\"1\">Total:</td>"
        "<td class=\"statistic\">5</td></tr>\n" +
        kTableEnd;
    EXPECT_EQ(NKUTF8(exporter.HTMLSourceWithCSS(u"p { }").value_or(u"")), expected);
}

TEST(Exporter, OneLinePageWithDefaultStyle) {
    auto collection = collectionOf({u"2+3"});
    NKLineCollectionExporter exporter(collection);
    exporter.setStatisticSource([](NCLineCollection& lines, int32_t type) {
        return type == 1 ? lines.lineAtIndex(0)->result() : nullptr;
    });
    NKLineCollectionExporterHTMLStyle style;
    const std::string expected =
        kHead + "<style type=\"text/css\" media=\"all\">\n" + NKUTF8(style.cssString()) +
        "\n</style>\n</head>\n" + kTableStart +
        "<tr class=\"line top\"><td class=\"line_number\">1</td><td class=\"expression\"><pre>" +
        kTwoPlusThree +
        "</pre></td><td class=\"answer\">5</td></tr>\n"
        "<tr class=\"line expander\"><td class=\"line_number\"></td>"
        "<td class=\"expression expander_row\"></td><td class=\"answer\"></td></tr>\n"
        "<tr class=\"statistic\"><td class=\"statistic_title\" colspan=\"2\">Total:</td>"
        "<td class=\"statistic\">5</td></tr>\n" +
        kTableEnd;
    EXPECT_EQ(NKUTF8(exporter.HTMLSourceWithStyle(style).value_or(u"")), expected);
    EXPECT_EQ(exporter.HTMLSource(), exporter.HTMLSourceWithCSS(style.cssString()));
}

TEST(Exporter, NothingWithoutACollection) {
    NKLineCollectionExporter exporter;
    EXPECT_FALSE(exporter.HTMLSource().has_value());
    EXPECT_FALSE(exporter.HTMLSourceWithInlinedStyle(NKLineCollectionExporterHTMLStyle()));
    EXPECT_FALSE(exporter.columnatedTextWithSeparator(std::nullopt, std::nullopt, true));
    EXPECT_FALSE(exporter.CSVText(nullptr, true));
}

TEST(Exporter, InlinedStyleWritesRulesIntoEveryTag) {
    NKLineCollectionExporter exporter(collectionOf({u"2+3", u"4"}));
    NKLineCollectionExporterHTMLStyle style;
    const std::string page = NKUTF8(exporter.HTMLSourceWithInlinedStyle(style).value_or(u""));
    EXPECT_EQ(page.find("<style"), std::string::npos);
    EXPECT_NE(page.find("<body style=\"margin: 0px; padding: 0px; \">"), std::string::npos);
    const std::string line = NKUTF8(*style.cssForSelector(u"tr.line"));
    const std::string top = NKUTF8(*style.cssForSelector(u"tr.top"));
    EXPECT_NE(page.find("<tr style=\"" + line + " " + top + " \"><td style=\"" +
                        NKUTF8(*style.cssForSelector(u"td.line_number")) + " \">1</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr style=\"" + line + " \"><td style=\""), std::string::npos);
    // A tag whose selectors have no rule keeps its attributes; an existing style stays beside.
    EXPECT_NE(page.find("<tr style=\"height: 30px; \"><td style=\"padding: 0px\"></td></tr>"),
              std::string::npos);
    EXPECT_NE(page.find("<div style=\"text-align: left;\"><span style=\" color: #000; \">2</span>"),
              std::string::npos);
    EXPECT_EQ(page.find("class="), std::string::npos);
}

struct ColumnCase {
    const char* name;
    bool csv;
    bool header;
    bool appendNewLine;
    bool delimitEmpty;
    bool skipEmpty;
    const char* expected;
};

class ExporterColumns : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(ExporterColumns, WritesTheLines) {
    const ColumnCase& c = GetParam();
    auto collection =
        collectionOf({u"2+3", u"", u"say \"hi\"",
                      NCExpression::relativeLineReferenceTokenWithOffset(-3) + u"*2"});
    NKLineCollectionExporter exporter(collection);
    exporter.setAppendsNewLineToEnd(c.appendNewLine);
    exporter.setDelimitEmptyAnswers(c.delimitEmpty);
    exporter.setSkipEmptyLines(c.skipEmpty);
    std::optional<std::u16string> text =
        c.csv ? exporter.CSVText(nullptr, c.header)
              : exporter.columnatedTextWithSeparator(u"\t", std::nullopt, c.header);
    EXPECT_EQ(NKUTF8(text.value_or(u"(none)")), c.expected);
}

const ColumnCase kColumnCases[] = {
    {"Csv", true, true, true, true, false,
     "\"expression\",\"answer\"\n\"2+3\",\"5\"\n\"\",\"\"\n\"say \"\"hi\"\"\",\"\"\n"
     "\"5*2\",\"10\"\n"},
    // Every row of comma-separated values has both fields, delimited or not.
    {"CsvNoDelimitNoEnd", true, false, false, false, false,
     "\"2+3\",\"5\"\n\"\",\"\"\n\"say \"\"hi\"\"\",\"\"\n\"5*2\",\"10\""},
    {"Text", false, false, true, true, false, "2+3\t5\n\t\nsay \"hi\"\t\n5*2\t10\n"},
    {"TextSkipEmpty", false, true, false, true, true,
     "expression\tanswer\n2+3\t5\nsay \"hi\"\t\n5*2\t10"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ExporterColumns, ::testing::ValuesIn(kColumnCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Exporter, BackslashEncloserAndIndexSets) {
    NKLineCollectionExporter exporter(collectionOf({u"1", u"say \"x\"", u"3", u"4"}));
    NSIndexSet indexes;
    indexes.addIndex(1);
    indexes.addIndex(2);
    EXPECT_EQ(NKUTF8(*exporter.columnatedTextWithSeparator(u";", u"\"", &indexes, false)),
              "\"say \\\"x\\\"\";\"\"\n\"3\";\"3\"\n");
    exporter.setAppendsNewLineToEnd(false);
    exporter.setIncludeAnswers(false);
    EXPECT_EQ(
        NKUTF8(*exporter.columnatedTextWithSeparator(std::nullopt, std::nullopt, &indexes, false)),
        "say \"x\",\n3,");
    // The last line asked for is skipped: the line written before it still ends the text.
    exporter.setIncludeAnswers(true);
    exporter.setSkipLinesWithoutAnswer(true);
    EXPECT_EQ(NKUTF8(*exporter.columnatedTextWithSeparator(u",", std::nullopt, nullptr, false)),
              "1,1\n3,3\n4,4");
    NSIndexSet endsSkipped;
    endsSkipped.addIndex(0);
    endsSkipped.addIndex(1);
    EXPECT_EQ(
        NKUTF8(*exporter.columnatedTextWithSeparator(u",", std::nullopt, &endsSkipped, false)),
        "1,1");
    // Indexes past the document do not count as the last line.
    endsSkipped.addIndex(40);
    EXPECT_EQ(
        NKUTF8(*exporter.columnatedTextWithSeparator(u",", std::nullopt, &endsSkipped, false)),
        "1,1");
}

// Tags removed and the four references read back: the text a browser shows.
std::u16string visibleText(const std::u16string& html) {
    std::u16string text;
    bool inTag = false;
    for (char16_t c : html) {
        if (c == u'<')
            inTag = true;
        else if (c == u'>')
            inTag = false;
        else if (!inTag)
            text += c;
    }
    for (auto [entity, plain] :
         {std::pair{u"&lt;", u"<"}, {u"&gt;", u">"}, {u"&quot;", u"\""}, {u"&amp;", u"&"}}) {
        std::u16string e = entity;
        for (size_t at = text.find(e); at != std::u16string::npos; at = text.find(e, at + 1))
            text.replace(at, e.size(), plain);
    }
    return text;
}

TEST(Exporter, HostileDocumentRendersAsText) {
    const std::vector<std::u16string> lines = {
        u"<script>alert(\"x\")</script>", u"a & b < c > d \"q\"", u"5 & <b>6</b>",
        u"<img src=x onerror=\"alert(1)\">", u"'single' & \"double\" # <i>comment</i>"};
    NSSetLocalizedStringHook([](const std::u16string& key) {
        return key == u"Total" ? std::u16string(u"<i>Sum</i> & \"all\"") : key;
    });
    NKLineCollectionExporter exporter(collectionOf(lines));
    exporter.setDocumentTitle(u"</title><script>x</script> & \"T\"");
    NKLineCollectionExporterHTMLStyle style;
    style.setShowsDocumentTitle(true);
    const std::u16string page = exporter.HTMLSourceWithStyle(style).value_or(u"");
    NSSetLocalizedStringHook(nullptr);
    const std::string html = NKUTF8(page);
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_EQ(html.find("<i>"), std::string::npos);
    EXPECT_EQ(html.find("(null)"), std::string::npos);
    EXPECT_NE(html.find("<div class=\"document_title\">&lt;/title&gt;&lt;script&gt;x&lt;/script&gt;"
                        " &amp; &quot;T&quot;</div>"),
              std::string::npos);
    EXPECT_NE(html.find("&lt;i&gt;Sum&lt;/i&gt; &amp; &quot;all&quot;:</td>"), std::string::npos);
    // Every line's cell shows exactly the line's text.
    NKLineCollectionExporter plain(collectionOf(lines));
    const std::u16string body = plain.bodyHTMLWithStyle(nullptr);
    size_t at = 0;
    for (const std::u16string& line : lines) {
        const size_t start = body.find(u"<pre>", at);
        const size_t end = body.find(u"</pre>", start);
        ASSERT_NE(end, std::u16string::npos);
        EXPECT_EQ(NKUTF8(visibleText(body.substr(start + 5, end - start - 5))), NKUTF8(line));
        at = end;
    }
}

// A line of the document is one line of every export, whatever breaks its text holds: each
// break reads as a space.
TEST(Exporter, EachLineIsOneLineOfTheExport) {
    const std::vector<std::u16string> lines = {u"1\n+ 2", u"# a\rb",
                                               u"# c\u2028d\u2029e\u0085f\vg\fh"};
    const std::vector<std::string> shown = {"1 + 2", "# a b", "# c d e f g h"};
    NKLineCollectionExporter exporter(collectionOf(lines));
    exporter.setDelimitEmptyAnswers(false);
    EXPECT_EQ(splitLines(NKUTF8(*exporter.columnatedTextWithSeparator(u" = ", u"", false))),
              (std::vector<std::string>{"1 + 2 = 3", "# a b", "# c d e f g h"}));
    EXPECT_EQ(
        splitLines(NKUTF8(*exporter.CSVText(nullptr, false))),
        (std::vector<std::string>{"\"1 + 2\",\"3\"", "\"# a b\",\"\"", "\"# c d e f g h\",\"\""}));
    const std::u16string body = exporter.bodyHTMLWithStyle(nullptr);
    size_t at = 0;
    for (const std::string& line : shown) {
        const size_t start = body.find(u"<pre>", at);
        const size_t end = body.find(u"</pre>", start);
        ASSERT_NE(end, std::u16string::npos);
        EXPECT_EQ(NKUTF8(visibleText(body.substr(start + 5, end - start - 5))), line);
        at = end;
    }
    EXPECT_NE(NKUTF8(body).find("<span class=\"number\">2</span>"), std::string::npos)
        << "tokens after a break keep their places";
}

TEST(Exporter, AnswersAreEscaped) {
    // Degrees, minutes and seconds write seconds with a double quote.
    auto collection = collectionOf({u"12.5"});
    collection->lineAtIndex(0)->customFormattingOptions()->setDisplayFormat(
        NCDisplayFormatDegreesMinutesSeconds);
    const std::u16string shown = collection->lineAtIndex(0)->formattedResult().value_or(u"");
    ASSERT_NE(shown.find(u'"'), std::u16string::npos) << NKUTF8(shown);
    NKLineCollectionExporter exporter(collection);
    const std::u16string body = exporter.bodyHTMLWithStyle(nullptr);
    const size_t start = body.find(u"<td class=\"answer\">") + 19;
    const std::u16string cell = body.substr(start, body.find(u"</td>", start) - start);
    EXPECT_EQ(cell.find(u'"'), std::u16string::npos) << NKUTF8(cell);
    EXPECT_EQ(visibleText(cell), shown);
}

TEST(Exporter, MissingTextsWriteANonBreakingSpace) {
    auto collection = collectionOf({u"", u"abc"});
    NKLineCollectionExporter exporter(collection);
    exporter.setDocumentStatistic(9);  // no such statistic: no title
    NKLineCollectionExporterHTMLStyle style;
    style.setShowsDocumentTitle(true);
    style.setShowsLineNumbers(false);
    const std::string html = NKUTF8(exporter.HTMLSourceWithStyle(style).value_or(u""));
    EXPECT_NE(html.find("<tr class=\"heading\"><td class=\"heading\" colspan=\"2\"><div "
                        "class=\"document_title\">&nbsp;</div></td></tr>\n"),
              std::string::npos);
    EXPECT_NE(html.find("<td class=\"statistic_title\" colspan=\"1\">&nbsp;:</td>"
                        "<td class=\"statistic\">&nbsp;</td>"),
              std::string::npos);
    EXPECT_NE(html.find("<tr class=\"line top\"><td class=\"expression\"><pre><div "
                        "style=\"text-align: left;\"></div></pre></td>"),
              std::string::npos);
    EXPECT_EQ(html.find("(null)"), std::string::npos);
}

TEST(Exporter, EscapesTheFourCharacters) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", ""},
        {u"plain", "plain"},
        {u"&<>\"", "&amp;&lt;&gt;&quot;"},
        {u"&amp;", "&amp;amp;"},
        {u"\u00D7'x'", "\u00D7'x'"},
    };
    for (const auto& [text, escaped] : cases) EXPECT_EQ(NKUTF8(NKEscapedHTMLString(text)), escaped);
}

TEST(Exporter, LineReferenceShowsTheReferencedAnswer) {
    auto collection =
        collectionOf({u"2+3", NCExpression::relativeLineReferenceTokenWithOffset(-1) + u"*2"});
    NKLineCollectionExporter exporter(collection);
    const std::string body = NKUTF8(exporter.bodyHTMLWithStyle(nullptr));
    EXPECT_NE(body.find("<span class=\"rel_line_ref\">5</span><span class=\"operator\">*</span>"
                        "<span class=\"number\">2</span></div></pre></td><td class=\"answer\">10<"),
              std::string::npos)
        << body;
    exporter.setResolveLineReferences(false);
    EXPECT_NE(NKUTF8(exporter.bodyHTMLWithStyle(nullptr)).find("<span class=\"rel_line_ref\">(___"),
              std::string::npos);
}

// Each reference reads as the document's token shows it; none in its stored form.
TEST(Exporter, ReferencesReadAsTheDocumentsTokens) {
    const std::u16string dead = NCExpression::nullLineReferenceToken();
    const auto above = [](int64_t offset) {
        return NCExpression::relativeLineReferenceTokenWithOffset(offset);
    };
    struct Row {
        std::u16string line;
        const char* text;  // "expression = answer", or the expression alone
        const char* csv;
    };
    const Row rows[] = {
        {u"2 + 3", "2 + 3 = 5", "\"2 + 3\",\"5\""},
        {above(-1) + u" * 2", "5 * 2 = 10", "\"5 * 2\",\"10\""},     // a line with an answer
        {dead + u" + 1", "\u26A0 + 1 = 1", "\"\u26A0 + 1\",\"1\""},  // a removed line
        {above(0) + u" + 1", "\u221E + 1", "\"\u221E + 1\",\"\""},   // its own line
        {u"# Heading", "# Heading", "\"# Heading\",\"\""},
        {above(-1) + u" + 1", "Line 5 + 1 = 1", "\"Line 5 + 1\",\"1\""},  // no answer there
        {u"line1 * 3", "5 * 3 = 15", "\"5 * 3\",\"15\""},                 // typed
        {u"line5 * 3", "Line 5 * 3", "\"Line 5 * 3\",\"\""},
        {u"line9 + 1", "\u221E + 1", "\"\u221E + 1\",\"\""},
        {NCExpression::absoluteLineReferenceTokenWithIndex(99) + u" * 3", "Line 100 * 3",
         "\"Line 100 * 3\",\"\""},  // past the last line
        {NCExpression::fixedRelativeLineReferenceTokenWithOffset(-9) + u" * 3", "10 * 3 = 30",
         "\"10 * 3\",\"30\""},
        {NCExpression::fixedRelativeLineReferenceTokenWithOffset(-7) + u" + 2",
         "7th line above + 2 = 2", "\"7th line above + 2\",\"2\""},
        {u"4 // after line1, " + dead + u" and " + above(-8), "4 // after 5, \u26A0 and Line 5 = 4",
         "\"4 // after 5, \u26A0 and Line 5\",\"4\""},  // inside a comment
    };
    std::vector<std::u16string> lines;
    for (const Row& row : rows) lines.push_back(row.line);
    NKLineCollectionExporter exporter(collectionOf(lines));
    exporter.setDelimitEmptyAnswers(false);
    const std::vector<std::string> text =
        splitLines(NKUTF8(*exporter.columnatedTextWithSeparator(u" = ", u"", false)));
    const std::vector<std::string> csv = splitLines(NKUTF8(*exporter.CSVText(nullptr, false)));
    ASSERT_EQ(text.size(), std::size(rows));
    ASSERT_EQ(csv.size(), std::size(rows));
    for (size_t index = 0; index < std::size(rows); ++index) {
        SCOPED_TRACE(NKUTF8(rows[index].line));
        EXPECT_EQ(text[index], rows[index].text);
        EXPECT_EQ(csv[index], rows[index].csv);
    }
}

TEST(Exporter, ARemovedLinesPillHoldsTheWarningSign) {
    const std::u16string dead = NCExpression::nullLineReferenceToken();
    NKLineCollectionExporter exporter(collectionOf(
        {u"2 + 3", dead + u" + 1", NCExpression::relativeLineReferenceTokenWithOffset(0),
         u"# Heading", u"line4 * 2", u"7 // not " + dead}));
    NKLineCollectionExporterHTMLStyle style;
    const std::string page = NKUTF8(exporter.HTMLSourceWithStyle(style).value_or(u""));
    const auto row = [&](int number) {
        const std::string start = "<td class=\"line_number\">" + std::to_string(number) + "</td>";
        const size_t at = page.find(start);
        return at == std::string::npos ? std::string()
                                       : page.substr(at, page.find("</tr>", at) - at);
    };
    EXPECT_NE(row(2).find("<span class=\"rel_line_ref\">\u26A0</span>"), std::string::npos)
        << row(2);
    EXPECT_EQ(row(2).find("<span class=\"rel_line_ref\">5</span>"), std::string::npos) << row(2);
    EXPECT_NE(row(2).find("<td class=\"answer\">1</td>"), std::string::npos) << row(2);
    EXPECT_NE(row(3).find("<span class=\"rel_line_ref\">\u221E</span>"), std::string::npos);
    EXPECT_NE(row(5).find("<span class=\"word_line_ref\">Line 4</span>"), std::string::npos);
    EXPECT_NE(row(6).find("// not \u26A0</span>"), std::string::npos) << row(6);
    EXPECT_EQ(page.find("___"), std::string::npos) << page;
}

TEST(Exporter, ScientificAnswersRaiseTheExponent) {
    NKLineCollectionExporter exporter(collectionOf({u"1.5*10^20"}));
    const std::string body = NKUTF8(exporter.bodyHTMLWithStyle(nullptr));
    EXPECT_NE(body.find("<td class=\"answer\">1.5\u00D710<span class=\"sci_notation_exponent\">20"
                        "</span></td>"),
              std::string::npos)
        << body;
}

TEST(Exporter, SkippedFirstLineLeavesNoTopRow) {
    NKLineCollectionExporter exporter(collectionOf({u"", u"7"}));
    exporter.setSkipEmptyLines(true);
    const std::string body = NKUTF8(exporter.bodyHTMLWithStyle(nullptr));
    EXPECT_EQ(body.find("line top"), std::string::npos);
    EXPECT_NE(body.find("<tr class=\"line\"><td class=\"expression\">"), std::string::npos);
}

}  // namespace
