#include "NKLineCollectionExporter.h"

#include <unicode/ucal.h>
#include <unicode/udat.h>
#include <unicode/utf16.h>

#include <algorithm>

#include "NCEnvironment.h"
#include "NCExpressionTokenType.h"
#include "NCLine.h"
#include "NCLineCollectionStatistics.h"
#include "NCParsedExpression.h"
#include "NCResultFormatter.h"
#include "NCResultFormattingOptionsContextualizer.h"
#include "NCResultTypes.h"
#include "NCUtilityFunctions.h"
#include "NKStatisticsHelper.h"
#include "NSLocalizedString.h"
#include "Regex.h"

namespace {

const std::u16string kNonBreakingSpace = u"&nbsp;";
// Stand-ins for the scientific-notation markup while an answer is escaped; private-use
// characters that no answer text contains.
const std::u16string kExponentStart = u"\uE000";
const std::u16string kExponentEnd = u"\uE001";
char kHTMLContext[] = "HTML";
char kTextContext[] = "TEXT";

std::u16string number(uint64_t value) {
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

void replaceAll(std::u16string& text, const std::u16string& target, const std::u16string& with) {
    if (target.empty()) return;
    for (size_t at = text.find(target); at != std::u16string::npos;
         at = text.find(target, at + with.size()))
        text.replace(at, target.size(), with);
}

std::u16string textOf(const NSAttributedString& source, NSRange range) {
    if (range.location > source.length()) return {};
    return source.string().substr(range.location, range.length);
}

// The class of a token's span; none leaves the token unwrapped.
std::optional<std::u16string> classForToken(const NCExpressionToken& token) {
    switch (token.type()) {
        case NCExpressionTokenTypeNumber:
            return u"number";
        case NCExpressionTokenTypeOperator:
            return u"operator";
        case NCExpressionTokenTypeWhitespace:
            return std::nullopt;
        case NCExpressionTokenTypeWord:
            return u"word";
        case NCExpressionTokenTypeUnit:
            return u"unit";
        case NCExpressionTokenTypeFunction:
            return u"function";
        case NCExpressionTokenTypeVariable:
            return u"variable";
        case NCExpressionTokenTypeBracket:
            return u"bracket";
        case NCExpressionTokenTypeLineReference:
            switch (token.lineReferenceType()) {
                case NCLineReferenceTypeRelative:
                case NCLineReferenceTypeNull:
                    return u"rel_line_ref";
                case NCLineReferenceTypeAbsolute:
                    return u"abs_line_ref";
                case NCLineReferenceTypeByLineNumber:
                    return u"word_line_ref";
                case NCLineReferenceTypeFixedRelative:
                    return u"fixed_rel_line_ref";
                default:
                    return u"";
            }
        case NCExpressionTokenTypeComment:
            switch (token.subType()) {
                case NCExpressionTokenSubTypeRightwardsTitle:
                    return u"rightwards_title";
                case NCExpressionTokenSubTypeLeftwardsTitle:
                    return u"leftwards_title";
                case NCExpressionTokenSubTypeInlineComment:
                    return u"inline_comment";
                case NCExpressionTokenSubTypeLeftwardsComment:
                    return u"leftwards_comment";
                case NCExpressionTokenSubTypeRightwardsComment:
                    return u"rightwards_comment";
                default:
                    return u"";
            }
        default:
            return u"";
    }
}

// Long date and medium time in the current locale.
std::u16string currentDateText() {
    UErrorCode status = U_ZERO_ERROR;
    UDateFormat* format =
        udat_open(UDAT_MEDIUM, UDAT_LONG, nullptr, nullptr, -1, nullptr, 0, &status);
    if (U_FAILURE(status) || !format) return {};
    UChar buffer[256];
    int32_t length = udat_format(format, ucal_getNow(), buffer, 256, nullptr, &status);
    udat_close(format);
    if (U_FAILURE(status) || length < 0 || length > 256) return {};
    return std::u16string(buffer, buffer + length);
}

// A line's answer where only plain text can go: an exponent follows "×10^", as it is typed,
// since it cannot be raised.
std::optional<std::u16string> plainAnswerText(NCLine& line) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result || result->resultType() != NCResultTypeValue) return std::nullopt;
    std::shared_ptr<NCResultFormattingOptions> options = line.formattingOptions();
    options = options ? options->copy() : std::make_shared<NCResultFormattingOptions>();
    options->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
    options->scientificNotationBaseString = u"\u00D710^";
    options->scientificNotationExponentSuffixString.clear();
    return NCResultFormatter::sharedInstance().stringValueForResult(result.get(), options.get());
}

// A referenced answer as its token shows it: the exponent in superscript characters.
std::optional<std::u16string> tokenAnswerText(NCLine& line) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result || result->resultType() != NCResultTypeValue) return std::nullopt;
    std::shared_ptr<NCResultFormattingOptions> options = line.formattingOptions();
    options = options ? options->copy() : std::make_shared<NCResultFormattingOptions>();
    options->scientificNotationConvertsExponentCharactersIntoSuperscript = true;
    options->scientificNotationBaseString = u"\u00D710";
    options->scientificNotationExponentSuffixString.clear();
    return NCResultFormatter::sharedInstance().stringValueForResult(result.get(), options.get());
}

}  // namespace

std::u16string NKEscapedHTMLString(const std::u16string& text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'<':
                escaped += u"&lt;";
                break;
            case u'>':
                escaped += u"&gt;";
                break;
            case u'"':
                escaped += u"&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

NKLineCollectionExporter::NKLineCollectionExporter(std::shared_ptr<NCLineCollection> lineCollection)
    : m_lineCollection(std::move(lineCollection)) {}

void NKLineCollectionExporter::setHTMLCSS(std::optional<std::u16string> css) {
    std::lock_guard<std::mutex> lock(m_cssMutex);
    m_css = std::move(css);
}

std::u16string NKLineCollectionExporter::cssString() const {
    if (m_css) return *m_css;
    return m_style.cssString();
}

std::optional<std::u16string> NKLineCollectionExporter::documentStatisticTitle() const {
    return NKStatisticsHelper::sharedHelper().statisticsTitleForStatisticsType(m_documentStatistic);
}

std::optional<std::u16string> NKLineCollectionExporter::HTMLSource() {
    return HTMLSourceWithCSS(cssString());
}

std::optional<std::u16string> NKLineCollectionExporter::HTMLSourceWithCSS(
    const std::optional<std::u16string>& css) {
    return mutableHTMLSourceWithCSS(css, nullptr);
}

std::optional<std::u16string> NKLineCollectionExporter::HTMLSourceWithStyle(
    const NKLineCollectionExporterHTMLStyle& style) {
    return mutableHTMLSourceWithCSS(style.cssString(), &style);
}

std::optional<std::u16string> NKLineCollectionExporter::mutableHTMLSourceWithCSS(
    const std::optional<std::u16string>& css, const NKLineCollectionExporterHTMLStyle* style) {
    if (!m_lineCollection) return std::nullopt;
    std::u16string page =
        u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
        u"\"http://www.w3.org/TR/html4/loose.dtd\">\n\n"
        u"<html lang=\"en\">\n"
        u"\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
        u"\t<meta name=\"generator\" content=\"Numbera\">\n";
    if (css) page += u"<style type=\"text/css\" media=\"all\">\n" + *css + u"\n</style>\n";
    page += u"</head>\n<body>\n";
    page += bodyHTMLWithStyle(style);
    page += u"</body>\n</html>\n";
    return page;
}

std::u16string NKLineCollectionExporter::bodyHTMLWithStyle(
    const NKLineCollectionExporterHTMLStyle* style) {
    const bool lineNumbers = style && style->showsLineNumbers();
    const bool title = style && style->showsDocumentTitle();
    const bool date = style && style->showsDocumentDate();
    std::u16string body =
        u"<div class=\"content\">\n<div class=\"table_container\">\n"
        u"<table class=\"document_table\">\n"
        u"<tr class=\"top_padding\"><td style=\"padding: 0px\"></td></tr>\n";
    if (!style || title || date) {
        body += u"<tr class=\"heading\"><td class=\"heading\" colspan=\"" +
                number(lineNumbers ? 3 : 2) + u"\">";
        if (title)
            body += u"<div class=\"document_title\">" +
                    (m_documentTitle && !m_documentTitle->empty()
                         ? NKEscapedHTMLString(*m_documentTitle)
                         : kNonBreakingSpace) +
                    u"</div>";
        if (date)
            body += u"<div class=\"document_date\">" + NKEscapedHTMLString(currentDateText()) +
                    u"</div>";
        body += u"</td></tr>\n";
    }

    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    std::optional<uint64_t> charactersLeft = m_expressionCharacterLimit;
    uint64_t rows = 0;
    for (uint64_t index = 0; index < count && !(m_lineLimit && rows >= *m_lineLimit); ++index) {
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index);
        if (!line) continue;
        if (m_skipEmptyLines && line->expressionString().value_or(u"").empty()) continue;
        if (m_skipLinesWithoutAnswer && line->formattedResult().value_or(u"").empty()) continue;
        ++rows;
        body += u"<tr class=\"line" + std::u16string(index == 0 ? u" top" : u"") + u"\">";
        if (lineNumbers) body += u"<td class=\"line_number\">" + number(index + 1) + u"</td>";
        body += u"<td class=\"expression\"><pre>" + expressionHTML(*line, charactersLeft) +
                u"</pre></td>";
        body += u"<td class=\"answer\">" + answerHTML(*line) + u"</td></tr>\n";
    }

    body += u"<tr class=\"line expander\">";
    if (lineNumbers) body += u"<td class=\"line_number\"></td>";
    body += u"<td class=\"expression expander_row\"></td><td class=\"answer\"></td></tr>\n";

    if (!style || style->showsDocumentStatistic()) {
        std::optional<std::u16string> statisticTitle = documentStatisticTitle();
        body += u"<tr class=\"statistic\"><td class=\"statistic_title\" colspan=\"" +
                number(lineNumbers ? 2 : 1) + u"\">" +
                (statisticTitle && !statisticTitle->empty() ? NKEscapedHTMLString(*statisticTitle)
                                                            : kNonBreakingSpace) +
                u":</td><td class=\"statistic\">" + statisticHTML() + u"</td></tr>\n";
    }
    body +=
        u"<tr class=\"bottom_padding\"><td style=\"padding: 0px\"></td></tr>\n"
        u"</table>\n</div>\n</div>\n";
    return body;
}

std::u16string NKLineCollectionExporter::answerHTML(NCLine& line) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result) return kNonBreakingSpace;
    std::shared_ptr<NCResultFormattingOptions> options = line.formattingOptions();
    options = options ? options->copy() : std::make_shared<NCResultFormattingOptions>();
    options->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
    options->scientificNotationBaseString = u"\u00D710" + kExponentStart;
    options->scientificNotationExponentSuffixString = kExponentEnd;
    std::optional<std::u16string> text =
        NCResultFormatter::sharedInstance().stringValueForResult(result.get(), options.get());
    if (!text || text->empty()) return kNonBreakingSpace;
    std::u16string html = NKEscapedHTMLString(*text);
    replaceAll(html, kExponentStart, u"<span class=\"sci_notation_exponent\">");
    replaceAll(html, kExponentEnd, u"</span>");
    return html;
}

std::u16string NKLineCollectionExporter::statisticHTML() {
    if (!m_lineCollection) return kNonBreakingSpace;
    std::shared_ptr<NCResult> result =
        m_statisticSource
            ? m_statisticSource(*m_lineCollection, m_documentStatistic)
            : NCLineCollectionStatistics(m_lineCollection).getStatistic(m_documentStatistic);
    if (!result) return kNonBreakingSpace;
    std::shared_ptr<NCEnvironment> environment = m_lineCollection->environment();
    std::shared_ptr<NCResultFormattingOptions> options =
        NCResultFormattingOptions::formattingOptionsWithDisplayFormat(
            0, environment ? environment->locale() : kNCSimpleLocalDefault);
    options->setDecimalPlaces(4);
    if (auto contextualized =
            NCResultFormattingOptionsContextualizer().contextualizedOptions(options, result.get()))
        options = contextualized->copy();
    options->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
    options->scientificNotationBaseString = u"\u00D710" + kExponentStart;
    options->scientificNotationExponentSuffixString = kExponentEnd;
    if (m_localeFormattingOptions)
        options->acquireLocaleValuesFromFormattingOptions(m_localeFormattingOptions.get());
    std::optional<std::u16string> text =
        NCResultFormatter::sharedInstance().stringValueForResult(result.get(), options.get());
    if (!text || text->empty()) return kNonBreakingSpace;
    std::u16string html = NKEscapedHTMLString(*text);
    replaceAll(html, kExponentStart, u"<span class=\"sci_notation_exponent\">");
    replaceAll(html, kExponentEnd, u"</span>");
    return html;
}

std::u16string NKLineCollectionExporter::expressionHTML(NCLine& line,
                                                        std::optional<uint64_t>& charactersLeft) {
    // Each break is one character, as its space is: the tokens' ranges still hold.
    std::u16string text = line.expressionString().value_or(u"");
    NCReplaceLineBreaksWithSpaces(text);
    std::optional<uint64_t> shown;
    if (charactersLeft) {
        // Cut in the text, before it is escaped or marked up, so no character reference or
        // tag is ever cut; a surrogate pair stays whole.
        uint64_t length = std::min<uint64_t>(text.size(), *charactersLeft);
        if (length > 0 && length < text.size() && U16_IS_TRAIL(text[length]) &&
            U16_IS_LEAD(text[length - 1]))
            --length;
        text.resize(length);
        *charactersLeft -= length;
        shown = length;
    }
    NSAttributedString source(text);
    NSAttributedString destination = source;
    NKLineCollectionSyntaxFormatter formatter(m_lineCollection);
    formatter.setUseHighLevelLocations(false);
    formatter.setLengthShown(shown);
    formatter.setDelegate(this);
    m_formattedUpTo = 0;
    formatter.formatLinesAtIndexes(NSIndexSet(line.index()), source, destination, kHTMLContext);
    return destination.string();
}

NSRange NKLineCollectionExporter::rangeOfLineAtIndex(uint64_t index, void*) {
    std::shared_ptr<NCLine> line =
        m_lineCollection ? m_lineCollection->lineAtIndex(index) : nullptr;
    if (!line || !line->expression()) return {0, 0};
    return {0, line->expression()->originalString().value_or(u"").size()};
}

void NKLineCollectionExporter::preFormatLine(NCLine& line, NSRange, const NSAttributedString&,
                                             NSAttributedString& destination,
                                             NSRange destinationRange, void*) {
    const int32_t alignment = line.expressionFormattingOptions()
                                  ? line.expressionFormattingOptions()->textAlignment()
                                  : 0;
    const char16_t* align = alignment == 2 ? u"center" : alignment == 1 ? u"right" : u"left";
    destination.replaceCharactersInRange(
        {destinationRange.location, 0},
        u"<div style=\"text-align: " + std::u16string(align) + u";\">");
}

std::u16string NKLineCollectionExporter::takeGap(const NSAttributedString& source,
                                                 uint64_t location) {
    if (location <= m_formattedUpTo) return {};
    std::u16string gap = textOf(source, {m_formattedUpTo, location - m_formattedUpTo});
    m_formattedUpTo = location;
    return NKEscapedHTMLString(gap);
}

void NKLineCollectionExporter::formatToken(const NCExpressionToken& token, NSRange sourceRange,
                                           const NSAttributedString& source, uint64_t lineIndex,
                                           NSAttributedString& destination,
                                           NSRange destinationRange, void*) {
    // Text between tokens sits just before this token in the destination: nothing was
    // written between them.
    const uint64_t gapLength =
        sourceRange.location > m_formattedUpTo ? sourceRange.location - m_formattedUpTo : 0;
    if (gapLength > destinationRange.location) return;
    std::u16string html = takeGap(source, sourceRange.location);
    std::u16string text = textOf(source, sourceRange);
    if (sourceRange.location + sourceRange.length > m_formattedUpTo)
        m_formattedUpTo = sourceRange.location + sourceRange.length;

    std::optional<std::u16string> cssClass = classForToken(token);
    if (token.type() == NCExpressionTokenTypeComment && m_resolveLineReferences) {
        // References inside a comment read as in the text export, never in their stored form.
        std::optional<NCLineReferenceReplacement> resolved =
            NCLineReferenceSubstituter(m_lineCollection, nullptr)
                .substitutedExpressionString(text, NCLineReferenceTypeAll,
                                             static_cast<int64_t>(lineIndex), kHTMLContext,
                                             &m_substituterDelegate, false);
        if (resolved) text = NCLineReferenceReplacementText(*resolved);
    }
    if (!cssClass) {
        html += NKEscapedHTMLString(text);
    } else {
        if (token.type() == NCExpressionTokenTypeLineReference && m_resolveLineReferences &&
            m_lineCollection) {
            // As the document's token shows it: a removed target names no line at all.
            text = NKLineReferenceDescriber::textForReference(
                token.lineReferenceType(), token.lineReferenceNumber(),
                static_cast<int64_t>(lineIndex), m_lineCollection.get(),
                [](NCLine& referenced) { return tokenAnswerText(referenced); });
        }
        html += u"<span class=\"" + *cssClass + u"\">" + NKEscapedHTMLString(text) + u"</span>";
    }
    destination.replaceCharactersInRange(
        {destinationRange.location - gapLength, gapLength + destinationRange.length}, html);
}

void NKLineCollectionExporter::postFormatLine(NCLine&, NSRange sourceRange,
                                              const NSAttributedString& source,
                                              NSAttributedString& destination,
                                              NSRange destinationRange, void*) {
    const uint64_t end = sourceRange.location + sourceRange.length;
    const uint64_t gapLength = end > m_formattedUpTo ? end - m_formattedUpTo : 0;
    const uint64_t destinationEnd = destinationRange.location + destinationRange.length;
    if (gapLength > destinationEnd) return;
    std::u16string html = takeGap(source, end) + u"</div>";
    destination.replaceCharactersInRange({destinationEnd - gapLength, gapLength}, html);
}

std::optional<std::u16string> NKLineCollectionExporter::HTMLSourceWithInlinedStyle(
    const NKLineCollectionExporterHTMLStyle& style) {
    std::optional<std::u16string> built = mutableHTMLSourceWithCSS(std::nullopt, &style);
    if (!built) return std::nullopt;
    std::u16string page = *built;
    std::shared_ptr<Regex> tagPattern = Regex::cached(u"<(\\w+)([^>]*)(>)");
    std::shared_ptr<Regex> classPattern = Regex::cached(u"(class\\s*=\\s*\"([^\"]+))\"");
    std::shared_ptr<Regex> spaces = Regex::cached(u"\\s+");
    if (!tagPattern || !classPattern || !spaces) return page;
    uint64_t from = 0;
    while (std::optional<RegexMatch> tag = tagPattern->firstMatch(page, from)) {
        const std::u16string name = tag->group(page, 1);
        const NSRange attributesRange = tag->groups[1].value_or(NSRange{tag->range.location, 0});
        const uint64_t closing =
            tag->groups[2] ? tag->groups[2]->location : tag->range.location + tag->range.length - 1;
        std::u16string css;
        if (std::optional<std::u16string> rule = style.cssForSelector(name)) css += *rule + u" ";
        const std::u16string attributes = tag->group(page, 2);
        std::optional<RegexMatch> classAttribute = classPattern->firstMatch(attributes);
        if (classAttribute) {
            const std::u16string names = classAttribute->group(attributes, 2);
            uint64_t start = 0;
            auto addClass = [&](uint64_t end) {
                if (end > start) {
                    std::u16string selector = name + u"." + names.substr(start, end - start);
                    if (std::optional<std::u16string> rule = style.cssForSelector(selector))
                        css += *rule + u" ";
                }
            };
            for (const RegexMatch& gap : spaces->allMatches(names)) {
                addClass(gap.range.location);
                start = gap.range.location + gap.range.length;
            }
            addClass(names.size());
        }
        uint64_t next = closing + 1;
        if (!css.empty()) {
            const std::u16string styleAttribute = u"style=\"" + css + u"\"";
            if (classAttribute) {
                const NSRange replaced = {attributesRange.location + classAttribute->range.location,
                                          classAttribute->range.length};
                page.replace(replaced.location, replaced.length, styleAttribute);
                next = next - replaced.length + styleAttribute.size();
            } else {
                page.insert(closing, u" " + styleAttribute);
                next += styleAttribute.size() + 1;
            }
        }
        from = next;
    }
    return page;
}

std::optional<std::u16string> NKLineCollectionExporter::columnatedTextWithSeparator(
    const std::optional<std::u16string>& separator,
    const std::optional<std::u16string>& fieldEncloser, const NSIndexSet* lineIndexes,
    bool headerRow) {
    return columnatedText(separator.value_or(u","), fieldEncloser.value_or(u""), lineIndexes,
                          headerRow, false);
}

std::optional<std::u16string> NKLineCollectionExporter::CSVText(const NSIndexSet* lineIndexes,
                                                                bool headerRow) {
    return columnatedText(u",", u"\"", lineIndexes, headerRow, true);
}

std::optional<std::u16string> NKLineCollectionExporter::columnatedText(
    const std::u16string& separator, const std::u16string& encloser, const NSIndexSet* lineIndexes,
    bool headerRow, bool rfc4180) {
    if (!m_lineCollection) return std::nullopt;
    auto escapeField = [&](std::u16string field) {
        if (!encloser.empty())
            replaceAll(field, encloser, rfc4180 ? encloser + encloser : u"\\" + encloser);
        return field;
    };
    std::u16string text;
    if (headerRow)
        text += encloser + escapeField(NSLocalizedString(u"expression")) + encloser + separator +
                encloser + escapeField(NSLocalizedString(u"answer")) + encloser + u"\n";

    const uint64_t count = m_lineCollection->countOfLines();
    std::vector<uint64_t> indexes;
    if (lineIndexes) {
        for (uint64_t index : lineIndexes->indexes())
            if (index < count) indexes.push_back(index);
    } else {
        for (uint64_t index = 0; index < count; ++index) indexes.push_back(index);
    }
    // The last line to be exported: the set's last index within the collection, or the
    // collection's last line.
    const uint64_t lastIndex = indexes.empty() ? UINT64_MAX : indexes.back();
    // Removed targets too: no stored form of a reference is ever written.
    const NCLineReferenceType allReferences = NCLineReferenceTypeAll;
    NCLineReferenceSubstituter substituter(m_lineCollection, &m_substituterDelegate);
    substituter.setCommentSubstitutionDelegate(&m_substituterDelegate);
    for (uint64_t index : indexes) {
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index);
        if (!line) continue;
        std::u16string expression =
            line->expression() ? line->expression()->originalString().value_or(u"") : u"";
        std::shared_ptr<NCParsedExpression> parsed = NKParsedExpressionOfLine(*line);
        if (m_resolveLineReferences && parsed) {
            std::optional<NCLineReferenceReplacement> resolved =
                substituter.stringByReplacingLineReferencesOfType(
                    allReferences, *parsed, static_cast<int64_t>(index), kTextContext, false);
            expression = resolved ? NCLineReferenceReplacementText(*resolved) : u"";
        }
        std::u16string answer = m_includeAnswers ? plainAnswerText(*line).value_or(u"") : u"";
        const bool skipped = (m_skipEmptyLines && expression.empty()) ||
                             (m_skipLinesWithoutAnswer && answer.empty());
        if (!skipped) {
            // One line of the document is one line of the text, whatever its text holds.
            NCReplaceLineBreaksWithSpaces(expression);
            NCReplaceLineBreaksWithSpaces(answer);
            expression = escapeField(expression);
            answer = escapeField(answer);
            // A spreadsheet reads uneven rows as misplaced columns.
            if (!rfc4180 && !m_delimitEmptyAnswers && answer.empty())
                text += encloser + expression + encloser;
            else
                text += encloser + expression + encloser + separator + encloser + answer + encloser;
        }
        // The line break follows every written line but the last one asked for, even when the
        // last one itself was skipped.
        if (index != lastIndex || m_appendsNewLineToEnd) {
            if (!skipped) text += u"\n";
        }
        if (index == lastIndex && !m_appendsNewLineToEnd && skipped && !text.empty() &&
            text.back() == u'\n')
            text.pop_back();
    }
    return text;
}
