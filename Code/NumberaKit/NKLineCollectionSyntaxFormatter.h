// Walks the tokens of chosen lines of a collection and hands each line and token to a
// delegate that rewrites a destination text (HTML spans for export, attributes for syntax
// colouring). Owns the order of the calls and keeps the ranges right while the delegate
// changes the destination's length.
#ifndef NUMBERA_KIT_NK_LINE_COLLECTION_SYNTAX_FORMATTER_H
#define NUMBERA_KIT_NK_LINE_COLLECTION_SYNTAX_FORMATTER_H

#include <memory>
#include <optional>

#include "NCExpressionToken.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NSAttributedString.h"
#include "NSIndexSet.h"

// The line's parsed expression, the line parsed first when it was not yet.
std::shared_ptr<NCParsedExpression> NKParsedExpressionOfLine(NCLine& line);

struct NKLineCollectionSyntaxFormatterDelegate {
    virtual ~NKLineCollectionSyntaxFormatterDelegate() = default;
    virtual NSRange rangeOfLineAtIndex(uint64_t index, void* contextInfo) = 0;
    virtual void preFormatLine(NCLine& line, NSRange sourceRange, const NSAttributedString& source,
                               NSAttributedString& destination, NSRange destinationRange,
                               void* contextInfo) = 0;
    virtual void formatToken(const NCExpressionToken& token, NSRange sourceRange,
                             const NSAttributedString& source, uint64_t lineIndex,
                             NSAttributedString& destination, NSRange destinationRange,
                             void* contextInfo) = 0;
    virtual void postFormatLine(NCLine& line, NSRange sourceRange, const NSAttributedString& source,
                                NSAttributedString& destination, NSRange destinationRange,
                                void* contextInfo) = 0;
};

class NKLineCollectionSyntaxFormatter {
  public:
    NKLineCollectionSyntaxFormatter() = default;
    explicit NKLineCollectionSyntaxFormatter(std::shared_ptr<NCLineCollection> lineCollection)
        : m_lineCollection(std::move(lineCollection)) {}

    const std::shared_ptr<NCLineCollection>& lineCollection() const { return m_lineCollection; }
    // Not retained.
    NKLineCollectionSyntaxFormatterDelegate* delegate() const { return m_delegate; }
    void setDelegate(NKLineCollectionSyntaxFormatterDelegate* delegate) { m_delegate = delegate; }
    // Display (high-level) token ranges when true, stored-text ranges otherwise.
    bool useHighLevelLocations() const { return m_useHighLevelLocations; }
    void setUseHighLevelLocations(bool on) { m_useHighLevelLocations = on; }
    // Lines shown cut short: only the first n characters of a longer line are formatted, tokens
    // after them are passed over quietly and one that runs past them is cut there. None
    // formats whole lines.
    const std::optional<uint64_t>& lengthShown() const { return m_lengthShown; }
    void setLengthShown(std::optional<uint64_t> length) { m_lengthShown = length; }

    // Source and destination may be one object (formatting in place). Stops, logged, at the
    // first index past the collection; a token outside its line is skipped with a warning.
    void formatLinesAtIndexes(const NSIndexSet& indexes, const NSAttributedString& source,
                              NSAttributedString& destination, void* contextInfo);

  private:
    std::shared_ptr<NCLineCollection> m_lineCollection;
    NKLineCollectionSyntaxFormatterDelegate* m_delegate = nullptr;
    bool m_useHighLevelLocations = true;
    std::optional<uint64_t> m_lengthShown;
};

#endif
