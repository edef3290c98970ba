#include "NCSimpleTokenizedExpression.h"

#include <algorithm>

#include "NCUtilityFunctions.h"

namespace {

NSRange rangeOf(NBFExpressionTokenRef token) {
    NBFRange range = NBFExpressionTokenGetRange(token);
    return {static_cast<uint64_t>(std::max(range.location, 0)),
            static_cast<uint64_t>(std::max(range.length, 0))};
}

int32_t clampedPosition(uint64_t position) {
    return static_cast<int32_t>(std::min<uint64_t>(position, INT32_MAX));
}

}  // namespace

NCSimpleTokenizedExpression::NCSimpleTokenizedExpression(
    NBFTokenizedExpressionRef tokenizedExpression, NCSubstitutionRangeMap* rangeMap,
    int64_t originalExpressionLength)
    : m_nbfTokenizedExpression(NBFTokenizedExpressionRetain(tokenizedExpression)),
      m_rangeMap(NBF::retain(rangeMap)),
      m_length(originalExpressionLength) {
    if (!m_nbfTokenizedExpression) return;
    const NBFExpressionTokenVector& tokens = m_nbfTokenizedExpression->tokens();
    if (tokens.empty()) return;
    const uint64_t first = rangeOf(tokens.front()).location;
    const uint64_t last = NSMaxRange(rangeOf(tokens.back()));
    m_substitutedLength = last > first ? static_cast<int64_t>(last - first) : 0;
}

NCSimpleTokenizedExpression::~NCSimpleTokenizedExpression() {
    NBFTokenizedExpressionRelease(m_nbfTokenizedExpression);
    NBF::release(m_rangeMap);
}

size_t NCSimpleTokenizedExpression::countOfTokens() const {
    return m_nbfTokenizedExpression ? m_nbfTokenizedExpression->tokens().size() : 0;
}

void NCSimpleTokenizedExpression::enumerateTokensWithBlock(
    const std::function<void(const NCSimpleToken&, bool*)>& block) const {
    if (!m_nbfTokenizedExpression) return;
    NCSimpleToken previous;
    bool stop = false;
    for (NBFExpressionTokenRef token : m_nbfTokenizedExpression->tokens()) {
        NCSimpleToken record;
        record.type = NCExpressionTokenTypeFromNBFTokenType(NBFExpressionTokenGetType(token));
        record.subType =
            NCExpressionTokenSubTypeFromNBFTokenSubType(NBFExpressionTokenGetSubType(token));
        record.lowLevelRange = rangeOf(token);
        record.range = transformSubstitutedRange(record.lowLevelRange, previous.range);
        block(record, &stop);
        if (stop) return;
        previous = record;
    }
}

NCSimpleToken NCSimpleTokenizedExpression::tokenAtIndex(uint64_t index) const {
    NCSimpleToken found;
    uint64_t position = 0;
    enumerateTokensWithBlock([&](const NCSimpleToken& token, bool* stop) {
        if (position++ == index) {
            found = token;
            *stop = true;
        }
    });
    return found;
}

NSRange NCSimpleTokenizedExpression::transformSubstitutedRange(NSRange range,
                                                               NSRange previousTokenRange) const {
    const uint64_t location = NSMaxRange(previousTokenRange);
    std::optional<int32_t> lastReplaced;
    if (m_rangeMap)
        lastReplaced = m_rangeMap->findMaxKeyInRange(clampedPosition(range.location),
                                                     clampedPosition(NSMaxRange(range)));
    if (!lastReplaced) return {location, range.length};
    std::optional<NSRange> original = m_rangeMap->get(*lastReplaced);
    if (!original) return {location, range.length};
    // The end of the replaced text in the line, plus the token's characters after the last
    // replaced one.
    const int64_t end = static_cast<int64_t>(NSMaxRange(range)) - 1 - *lastReplaced +
                        static_cast<int64_t>(NSMaxRange(*original));
    const int64_t length = end - static_cast<int64_t>(location);
    return {location, length > 0 ? static_cast<uint64_t>(length) : 0};
}
