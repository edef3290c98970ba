// The look of an exported HTML page: which optional parts show, the font, insets and widths,
// and a CSS colour text for each kind of text (none writes no colour rule). Answers the CSS
// declarations of every selector the exporter writes and joins them into the page's sheet.
#ifndef NUMBERA_KIT_NK_LINE_COLLECTION_EXPORTER_HTML_STYLE_H
#define NUMBERA_KIT_NK_LINE_COLLECTION_EXPORTER_HTML_STYLE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class NKLineCollectionExporterHTMLStyle {
  public:
    using Color = std::optional<std::u16string>;

    NKLineCollectionExporterHTMLStyle();

    // The selectors of the sheet, in the sheet's order.
    const std::vector<std::u16string>& selectors() const { return m_selectors; }
    // None for a selector the page does not use.
    std::optional<std::u16string> cssForSelector(const std::u16string& selector) const;
    std::optional<std::u16string> cssForClass(const std::u16string& name) const {
        return cssForSelector(name);
    }
    // "selector { declarations }" and a line feed for every selector that has declarations.
    std::u16string cssString() const;

#define NK_STYLE_FIELD(Type, getter, setter, initial)          \
  public:                                                      \
    const Type& getter() const { return m_##getter; }          \
    void setter(Type value) { m_##getter = std::move(value); } \
                                                               \
  private:                                                     \
    Type m_##getter = initial;

    NK_STYLE_FIELD(bool, showsLineNumbers, setShowsLineNumbers, true)
    NK_STYLE_FIELD(bool, showsDocumentTitle, setShowsDocumentTitle, false)
    NK_STYLE_FIELD(bool, showsDocumentDate, setShowsDocumentDate, false)
    NK_STYLE_FIELD(bool, showsDocumentStatistic, setShowsDocumentStatistic, true)
    NK_STYLE_FIELD(std::optional<std::u16string>, fontName, setFontName, u"Lucida Grande")
    NK_STYLE_FIELD(uint64_t, fontSize, setFontSize, 14)
    NK_STYLE_FIELD(uint64_t, sideInset, setSideInset, 30)
    NK_STYLE_FIELD(uint64_t, topInset, setTopInset, 30)
    NK_STYLE_FIELD(uint64_t, bottomInset, setBottomInset, 30)
    NK_STYLE_FIELD(uint64_t, contentWidth, setContentWidth, 500)
    NK_STYLE_FIELD(uint64_t, answerWidth, setAnswerWidth, 200)
    NK_STYLE_FIELD(bool, enableVerticalAutoresizing, setEnableVerticalAutoresizing, false)
    NK_STYLE_FIELD(bool, enableHorizontalAutoresizing, setEnableHorizontalAutoresizing, true)
    NK_STYLE_FIELD(Color, documentTitleColor, setDocumentTitleColor, std::nullopt)
    NK_STYLE_FIELD(Color, documentDateColor, setDocumentDateColor, u"#999")
    NK_STYLE_FIELD(Color, documentBorderColor, setDocumentBorderColor, u"#aaa")
    NK_STYLE_FIELD(Color, statisticTitleColor, setStatisticTitleColor, u"#333")
    NK_STYLE_FIELD(Color, statisticColor, setStatisticColor, u"#333")
    NK_STYLE_FIELD(Color, expressionBackgroundColor, setExpressionBackgroundColor, std::nullopt)
    NK_STYLE_FIELD(Color, answerBackgroundColor, setAnswerBackgroundColor, u"#eef1fb")
    NK_STYLE_FIELD(Color, answerColor, setAnswerColor, u"#000")
    NK_STYLE_FIELD(Color, numberColor, setNumberColor, u"#000")
    NK_STYLE_FIELD(Color, operatorColor, setOperatorColor, u"#000")
    NK_STYLE_FIELD(Color, wordColor, setWordColor, std::nullopt)
    NK_STYLE_FIELD(Color, unitColor, setUnitColor, std::nullopt)
    NK_STYLE_FIELD(Color, variableColor, setVariableColor, std::nullopt)
    NK_STYLE_FIELD(Color, functionColor, setFunctionColor, std::nullopt)
    NK_STYLE_FIELD(Color, bracketColor, setBracketColor, std::nullopt)
    NK_STYLE_FIELD(Color, rightwardsTitleColor, setRightwardsTitleColor, u"#444")
    NK_STYLE_FIELD(Color, leftwardsTitleColor, setLeftwardsTitleColor, u"#444")
    NK_STYLE_FIELD(Color, inlineCommentColor, setInlineCommentColor, u"#555")
    NK_STYLE_FIELD(Color, leftwardsCommentColor, setLeftwardsCommentColor, u"#555")
    NK_STYLE_FIELD(Color, rightwardsCommentColor, setRightwardsCommentColor, u"#555")
    NK_STYLE_FIELD(bool, enableSyntaxColoring, setEnableSyntaxColoring, true)

#undef NK_STYLE_FIELD

  private:
    std::vector<std::u16string> m_selectors;
};

#endif
