// The foundation's plain tokens of a line (scanned, not analysed in any namespace), each placed
// back onto the line's own text through the map of what substitution rewrote. Classifying a
// line and showing its declaration name need no variables, units or functions.
#ifndef NUMBERA_CORE_NC_SIMPLE_TOKENIZED_EXPRESSION_H
#define NUMBERA_CORE_NC_SIMPLE_TOKENIZED_EXPRESSION_H

#include <cstdint>
#include <functional>

#include "NBFRangeMap.h"
#include "NBFTokenizedExpression.h"
#include "NCExpressionTokenType.h"
#include "NSRange.h"

struct NCSimpleToken {
    NCExpressionTokenType type = 0;
    NCExpressionTokenSubType subType = 0;
    NSRange range;          // in the line's own text
    NSRange lowLevelRange;  // in the substituted text the foundation scanned
    friend bool operator==(const NCSimpleToken&, const NCSimpleToken&) = default;
};

typedef NBF::RangeMap<NSRange> NCSubstitutionRangeMap;

class NCSimpleTokenizedExpression {
  public:
    NCSimpleTokenizedExpression() : NCSimpleTokenizedExpression(nullptr, nullptr, 0) {}
    // Retains both; the map may be null (nothing was rewritten).
    NCSimpleTokenizedExpression(NBFTokenizedExpressionRef tokenizedExpression,
                                NCSubstitutionRangeMap* rangeMap, int64_t originalExpressionLength);
    ~NCSimpleTokenizedExpression();
    NCSimpleTokenizedExpression(const NCSimpleTokenizedExpression&) = delete;
    NCSimpleTokenizedExpression& operator=(const NCSimpleTokenizedExpression&) = delete;

    // In text order, until the callback sets stop.
    void enumerateTokensWithBlock(
        const std::function<void(const NCSimpleToken&, bool* stop)>& block) const;
    // All zeros past the end.
    NCSimpleToken tokenAtIndex(uint64_t index) const;
    size_t countOfTokens() const;
    // A token's range in the substituted text to its range in the line's text; records lie end
    // to end from the previous record's end.
    NSRange transformSubstitutedRange(NSRange range, NSRange previousTokenRange) const;

    NBFTokenizedExpressionRef nbfTokenizedExpression() const { return m_nbfTokenizedExpression; }
    int64_t length() const { return m_length; }
    int64_t substitutedLength() const { return m_substitutedLength; }

  private:
    NBFTokenizedExpressionRef m_nbfTokenizedExpression = nullptr;
    NCSubstitutionRangeMap* m_rangeMap = nullptr;
    int64_t m_length = 0;
    int64_t m_substitutedLength = 0;
};

#endif
