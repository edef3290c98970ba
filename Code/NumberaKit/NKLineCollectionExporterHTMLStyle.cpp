#include "NKLineCollectionExporterHTMLStyle.h"

#include <map>

#include "NKTextHelpers.h"

namespace {

std::string number(uint64_t value) { return std::to_string(value); }

std::string utf8(const std::optional<std::u16string>& text) {
    return text ? NKUTF8(*text) : std::string();
}

// " color: C;" or nothing.
std::string colorRule(const std::optional<std::u16string>& color) {
    return color ? " color: " + NKUTF8(*color) + ";" : std::string();
}

std::string lineReferenceBox(const char* background, const char* border, uint64_t radius) {
    const std::string r = number(radius);
    return std::string("background-color: ") + background + "; border: 1px solid " + border +
           "; -webkit-border-radius: " + r + "px; -moz-border-radius: " + r +
           "px; border-radius: " + r + "px; padding: 0px 10px 0px 10px;";
}

}  // namespace

NKLineCollectionExporterHTMLStyle::NKLineCollectionExporterHTMLStyle()
    : m_selectors{u"body",
                  u"pre",
                  u"div.content",
                  u"div.table_container",
                  u"table.document_table",
                  u"div.document_title",
                  u"div.document_date",
                  u"td.no_line_number",
                  u"td.line_number",
                  u"td.expression",
                  u"td.answer",
                  u"td.statistic_title",
                  u"td.statistic",
                  u"td.expander_row",
                  u"td.heading",
                  u"tr.heading",
                  u"tr.line",
                  u"tr.top",
                  u"tr.statistic",
                  u"tr.expander",
                  u"tr.top_padding",
                  u"tr.bottom_padding",
                  u"span.sci_notation_exponent",
                  u"span.rel_line_ref",
                  u"span.fixed_rel_line_ref",
                  u"span.abs_line_ref",
                  u"span.operator",
                  u"span.number",
                  u"span.bracket",
                  u"span.function",
                  u"span.unit",
                  u"span.variable",
                  u"span.word",
                  u"span.leftwards_title",
                  u"span.rightwards_title",
                  u"span.leftwards_comment",
                  u"span.rightwards_comment",
                  u"span.inline_comment"} {}

std::optional<std::u16string> NKLineCollectionExporterHTMLStyle::cssForSelector(
    const std::u16string& selector16) const {
    const std::string selector = NKUTF8(selector16);
    const std::string border = utf8(m_documentBorderColor);
    const uint64_t fontSize = m_fontSize;
    const std::string verticalHeight = m_enableVerticalAutoresizing ? "height: 100%;" : "";
    // Half of the font size plus ten, rounded up.
    const uint64_t radius = (fontSize + 10) / 2 + (fontSize + 10) % 2;
    std::string css;

    if (selector == "body") {
        css = "margin: 0px; padding: 0px;";
    } else if (selector == "pre") {
        css =
            "font-family: inherit; color: inherit; font-size: inherit; font-weight: inherit; "
            "line-height: inherit; margin: 0; white-space: pre-wrap;";
    } else if (selector == "div.content") {
        css =
            "width: " +
            (m_enableHorizontalAutoresizing ? std::string("100%") : number(m_contentWidth) + "px") +
            "; min-width: 250px;" +
            (m_enableVerticalAutoresizing ? "height: 100%; position: absolute;" : "");
    } else if (selector == "div.table_container") {
        css = verticalHeight + " margin: 0px " + number(m_sideInset) + "px; font-family: '" +
              (m_fontName ? NKUTF8(*m_fontName) : std::string("Lucida Grande")) +
              "', Verdana, Sans-serif; font-size: " + number(fontSize) + "px;";
    } else if (selector == "table.document_table") {
        css =
            "border: 1px solid transparent; border-top: none; width: 100%; "
            "border-collapse: collapse; " +
            verticalHeight;
    } else if (selector == "div.document_title") {
        css = m_showsDocumentTitle ? "font-size: 18px; font-weight: bold; margin: 0px 0px " +
                                         std::string(m_showsDocumentDate ? "0" : "12") + "px 3px;" +
                                         colorRule(m_documentTitleColor)
                                   : "display: none;";
    } else if (selector == "div.document_date") {
        css = m_showsDocumentDate
                  ? "font-size: 12px; margin: 5px 0px 14px 3px;" + colorRule(m_documentDateColor)
                  : "display: none;";
    } else if (selector == "td.no_line_number") {
        css = m_showsLineNumbers ? "display: none;" : "width: 1px;";
    } else if (selector == "td.line_number") {
        css = m_showsLineNumbers ? "width: 20px; text-align: right; background-color: #f8f8f8; "
                                   "border-right: 1px solid " +
                                       border + "; padding-right: 5px; font-size: 8pt; color: #555;"
                                 : "display: none;";
    } else if (selector == "td.expression") {
        css = m_expressionBackgroundColor ? "padding: 5px 8px 5px 6px; background-color: " +
                                                NKUTF8(*m_expressionBackgroundColor) + ";"
                                          : "padding: 5px 8px 5px 6px;";
    } else if (selector == "td.answer") {
        css = "width: " + number(m_answerWidth) +
              "px; text-overflow: ellipsis; overflow: hidden; border-left: 1px solid " + border +
              "; background-color: " + utf8(m_answerBackgroundColor) +
              "; padding-left: 5px; color: " + utf8(m_answerColor) + ";";
    } else if (selector == "td.expander_row") {
        css = "height: 100%;";
    } else if (selector == "td.statistic_title") {
        css = "text-align: right; font-weight: bold; " + colorRule(m_statisticTitleColor);
    } else if (selector == "td.statistic") {
        css = "border-top: 1px solid " + border + "; font-weight: bold; padding-left: 5px;" +
              colorRule(m_statisticColor);
    } else if (selector == "td.heading" || selector == "tr.heading") {
        css = "padding: 0px;";
    } else if (selector == "tr.top") {
        css = "border-top: 1px solid " + border + ";";
    } else if (selector == "tr.line") {
        css = "border-left: 1px solid " + border + "; border-right: 1px solid " + border +
              "; height: " + number(2 * fontSize) + "px;";
    } else if (selector == "tr.statistic") {
        // Two and a half font sizes, cut toward zero.
        css = m_showsDocumentStatistic ? "height: " + number(fontSize * 5 / 2) + "px;"
                                       : "display: none";
    } else if (selector == "tr.expander") {
        css = "border-bottom: 1px solid " + border + "; height:inherit;";
    } else if (selector == "tr.top_padding") {
        css = "height: " + number(m_topInset) + "px;";
    } else if (selector == "tr.bottom_padding") {
        css = "height: " + number(m_bottomInset) + "px;";
    } else if (selector == "span.sci_notation_exponent") {
        css = "font-size:65%; vertical-align:super;";
    } else if (selector == "span.rel_line_ref") {
        css = lineReferenceBox("#e0e7f8", "#a9bbeb", radius);
    } else if (selector == "span.fixed_rel_line_ref") {
        css = lineReferenceBox("#ebe2f8", "#b9a8d1", radius);
    } else if (selector == "span.abs_line_ref") {
        css = lineReferenceBox("#e9d8f6", "#bf99e7", radius);
    } else if (selector == "span.leftwards_title") {
        css = "font-weight: bold;" + colorRule(m_leftwardsTitleColor);
    } else if (selector == "span.rightwards_title") {
        css = "font-weight: bold;" + colorRule(m_rightwardsTitleColor);
    } else {
        const std::map<std::string, const Color*> colored = {
            {"span.operator", &m_operatorColor},
            {"span.number", &m_numberColor},
            {"span.word", &m_wordColor},
            {"span.unit", &m_unitColor},
            {"span.variable", &m_variableColor},
            {"span.function", &m_functionColor},
            {"span.bracket", &m_bracketColor},
            {"span.inline_comment", &m_inlineCommentColor},
            {"span.leftwards_comment", &m_leftwardsCommentColor},
            {"span.rightwards_comment", &m_rightwardsCommentColor},
        };
        auto found = colored.find(selector);
        if (found == colored.end()) return std::nullopt;
        css = colorRule(*found->second);
    }
    return NKUTF16(css);
}

std::u16string NKLineCollectionExporterHTMLStyle::cssString() const {
    std::u16string sheet;
    for (const std::u16string& selector : m_selectors) {
        std::optional<std::u16string> css = cssForSelector(selector);
        if (!css) continue;
        sheet += selector + u" { " + *css + u" }\n";
    }
    return sheet;
}
