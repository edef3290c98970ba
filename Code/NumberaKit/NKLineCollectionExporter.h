// Turns one document into text for the world outside: a complete HTML page with its style
// sheet, the same page with the style written into every element (for mail), or columnated
// text (comma-separated values or plain text). Documents are untrusted: every text taken from
// the document (lines, answers, title) is escaped in HTML.
#ifndef NUMBERA_KIT_NK_LINE_COLLECTION_EXPORTER_H
#define NUMBERA_KIT_NK_LINE_COLLECTION_EXPORTER_H

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "NCLineCollection.h"
#include "NCLineReferenceSubstituter.h"
#include "NCResult.h"
#include "NCResultFormattingOptions.h"
#include "NKLineCollectionExporterHTMLStyle.h"
#include "NKLineCollectionSyntaxFormatter.h"
#include "NKLineReferenceDescriber.h"
#include "NSIndexSet.h"

// & < > and " as character references.
std::u16string NKEscapedHTMLString(const std::u16string& text);

class NKLineCollectionExporter : public NKLineCollectionSyntaxFormatterDelegate {
  public:
    // The statistic of a type (1 total, 2 average, 3 variance, 4 standard deviation) of a
    // collection; null when there is none.
    using StatisticSource =
        std::function<std::shared_ptr<NCResult>(NCLineCollection& collection, int32_t type)>;

    explicit NKLineCollectionExporter(std::shared_ptr<NCLineCollection> lineCollection = nullptr);

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }

    bool skipEmptyLines() const { return m_skipEmptyLines; }
    void setSkipEmptyLines(bool on) { m_skipEmptyLines = on; }
    bool skipLinesWithoutAnswer() const { return m_skipLinesWithoutAnswer; }
    void setSkipLinesWithoutAnswer(bool on) { m_skipLinesWithoutAnswer = on; }
    bool delimitEmptyAnswers() const { return m_delimitEmptyAnswers; }
    void setDelimitEmptyAnswers(bool on) { m_delimitEmptyAnswers = on; }
    bool resolveLineReferences() const { return m_resolveLineReferences; }
    void setResolveLineReferences(bool on) { m_resolveLineReferences = on; }
    bool includeAnswers() const { return m_includeAnswers; }
    void setIncludeAnswers(bool on) { m_includeAnswers = on; }
    bool appendsNewLineToEnd() const { return m_appendsNewLineToEnd; }
    void setAppendsNewLineToEnd(bool on) { m_appendsNewLineToEnd = on; }
    const std::optional<std::u16string>& documentTitle() const { return m_documentTitle; }
    void setDocumentTitle(std::optional<std::u16string> title) {
        m_documentTitle = std::move(title);
    }
    int32_t documentStatistic() const { return m_documentStatistic; }
    void setDocumentStatistic(int32_t type) { m_documentStatistic = type; }
    const std::shared_ptr<NCResultFormattingOptions>& localeFormattingOptions() const {
        return m_localeFormattingOptions;
    }
    void setLocaleFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options) {
        m_localeFormattingOptions = std::move(options);
    }
    // For a page that shows only its top: the HTML holds at most this many rows of lines, and
    // their expressions give at most this many characters of their text all together (never
    // half of a character), the rest left out. None for no bound.
    const std::optional<uint64_t>& lineLimit() const { return m_lineLimit; }
    void setLineLimit(std::optional<uint64_t> limit) { m_lineLimit = limit; }
    const std::optional<uint64_t>& expressionCharacterLimit() const {
        return m_expressionCharacterLimit;
    }
    void setExpressionCharacterLimit(std::optional<uint64_t> limit) {
        m_expressionCharacterLimit = limit;
    }
    // Where the statistic row's value comes from; the document's own statistics without one.
    void setStatisticSource(StatisticSource source) { m_statisticSource = std::move(source); }

    void setHTMLCSS(std::optional<std::u16string> css);
    std::u16string cssString() const;

    // None without a line collection.
    std::optional<std::u16string> HTMLSource();
    std::optional<std::u16string> HTMLSourceWithCSS(const std::optional<std::u16string>& css);
    std::optional<std::u16string> HTMLSourceWithStyle(
        const NKLineCollectionExporterHTMLStyle& style);
    std::optional<std::u16string> mutableHTMLSourceWithCSS(
        const std::optional<std::u16string>& css, const NKLineCollectionExporterHTMLStyle* style);
    std::u16string bodyHTMLWithStyle(const NKLineCollectionExporterHTMLStyle* style);
    std::optional<std::u16string> HTMLSourceWithInlinedStyle(
        const NKLineCollectionExporterHTMLStyle& style);

    // A none separator is ",", a none encloser the empty text. An encloser inside a field is
    // preceded by a backslash.
    std::optional<std::u16string> columnatedTextWithSeparator(
        const std::optional<std::u16string>& separator,
        const std::optional<std::u16string>& fieldEncloser, bool headerRow) {
        return columnatedTextWithSeparator(separator, fieldEncloser, nullptr, headerRow);
    }
    std::optional<std::u16string> columnatedTextWithSeparator(
        const std::optional<std::u16string>& separator,
        const std::optional<std::u16string>& fieldEncloser, const NSIndexSet* lineIndexes,
        bool headerRow);
    // Comma-separated values as RFC 4180 reads them: every row with both fields (an empty
    // answer too, whatever delimitEmptyAnswers says), every field in double quotes, a double
    // quote inside a field doubled.
    std::optional<std::u16string> CSVText(const NSIndexSet* lineIndexes, bool headerRow);

    std::optional<std::u16string> documentStatisticTitle() const;

    // The syntax formatter's delegate: one line formatted in a string of its own.
    NSRange rangeOfLineAtIndex(uint64_t index, void* contextInfo) override;
    void preFormatLine(NCLine& line, NSRange sourceRange, const NSAttributedString& source,
                       NSAttributedString& destination, NSRange destinationRange,
                       void* contextInfo) override;
    void formatToken(const NCExpressionToken& token, NSRange sourceRange,
                     const NSAttributedString& source, uint64_t lineIndex,
                     NSAttributedString& destination, NSRange destinationRange,
                     void* contextInfo) override;
    void postFormatLine(NCLine& line, NSRange sourceRange, const NSAttributedString& source,
                        NSAttributedString& destination, NSRange destinationRange,
                        void* contextInfo) override;

  private:
    // Takes the characters it shows from `charactersLeft` when there is a bound.
    std::u16string expressionHTML(NCLine& line, std::optional<uint64_t>& charactersLeft);
    std::u16string answerHTML(NCLine& line);
    std::u16string statisticHTML();
    std::optional<std::u16string> columnatedText(const std::u16string& separator,
                                                 const std::u16string& encloser,
                                                 const NSIndexSet* lineIndexes, bool headerRow,
                                                 bool rfc4180);
    // The source text not covered by tokens before `location`, escaped, written before it.
    std::u16string takeGap(const NSAttributedString& source, uint64_t location);

    std::shared_ptr<NCLineCollection> m_lineCollection;
    NKTokenTextSubstituterDelegate m_substituterDelegate;
    bool m_skipEmptyLines = false;
    bool m_skipLinesWithoutAnswer = false;
    bool m_delimitEmptyAnswers = true;
    bool m_resolveLineReferences = true;
    bool m_includeAnswers = true;
    bool m_appendsNewLineToEnd = true;
    std::optional<std::u16string> m_documentTitle;
    int32_t m_documentStatistic = 1;
    std::shared_ptr<NCResultFormattingOptions> m_localeFormattingOptions;
    std::optional<uint64_t> m_lineLimit;
    std::optional<uint64_t> m_expressionCharacterLimit;
    NKLineCollectionExporterHTMLStyle m_style;
    std::optional<std::u16string> m_css;
    mutable std::mutex m_cssMutex;
    StatisticSource m_statisticSource;
    // The walk over one line: where the last token ended in the line's own text.
    uint64_t m_formattedUpTo = 0;
};

#endif
