#include "NCParsedExpressionHelpers.h"

#include "NCParsedExpression.h"

NCTokenSearchResult NCBinarySearchTokenAtLocation(const NCExpressionTokenArray& tokens,
                                                  size_t first, size_t last, uint64_t location,
                                                  bool highLevel) {
    NCTokenSearchResult result;
    if (tokens.empty() || first > last || last >= tokens.size()) return result;
    auto rangeOf = [&](size_t i) {
        return highLevel ? tokens[i]->highLevelRange() : tokens[i]->range();
    };
    size_t low = first, high = last;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (NSMaxRange(rangeOf(middle)) <= location)
            low = middle + 1;
        else
            high = middle;
    }
    NSRange range = rangeOf(low);
    if (NSLocationInRange(location, range)) {
        result.kind = NCTokenSearchResult::Found;
        result.index = low;
        result.token = tokens[low];
    } else if (low == tokens.size() - 1 && location >= NSMaxRange(range)) {
        result.kind = NCTokenSearchResult::PastTheEnd;
        result.index = tokens.size();
    }
    return result;
}

uint64_t NCParsedExpressionHelpers::findTokensInTokens(const NCExpressionTokenArray& tokens,
                                                       uint64_t location, int direction,
                                                       NCExpressionTokenArray* found,
                                                       uint64_t maxCount, bool skipCurrentLocation,
                                                       bool highLevelLocation) {
    if (tokens.empty() || maxCount == 0 || (direction != 0 && direction != 1)) return 0;
    NCTokenSearchResult at =
        NCBinarySearchTokenAtLocation(tokens, 0, tokens.size() - 1, location, highLevelLocation);
    if (at.kind == NCTokenSearchResult::None) return 0;
    if (at.kind == NCTokenSearchResult::PastTheEnd && !skipCurrentLocation) return 0;
    const int64_t step = direction == 0 ? 1 : -1;
    int64_t index = static_cast<int64_t>(at.index) + (skipCurrentLocation ? step : 0);
    uint64_t count = 0;
    while (count < maxCount && index >= 0 && index < static_cast<int64_t>(tokens.size())) {
        if (found) found->push_back(tokens[static_cast<size_t>(index)]);
        ++count;
        index += step;
    }
    return count;
}

NCExpressionTokenArray NCParsedExpressionHelpers::tokensOfType(
    NCExpressionTokenType type, const NCExpressionTokenArray& tokens) {
    NCExpressionTokenArray matching;
    for (const auto& token : tokens)
        if (token->type() == type) matching.push_back(token);
    return matching;
}

std::optional<NCExpressionTokenArray> NCParsedExpressionHelpers::lineReferenceTokensOfType(
    NCLineReferenceType mask, const NCExpressionTokenArray& tokens) {
    NCExpressionTokenArray references;
    for (const auto& token : tokens) {
        bool referenceKind =
            token->type() == NCExpressionTokenTypeLineReference || token->type() == 14;
        if (referenceKind && (token->lineReferenceType() & mask)) references.push_back(token);
    }
    if (references.empty()) return std::nullopt;
    return references;
}

bool NCParsedExpressionHelpers::hasReferenceToVariableWithName(
    const std::u16string& name, const NCExpressionTokenArray& tokens) {
    for (const auto& token : tokens)
        if (token->type() == NCExpressionTokenTypeVariable && token->string() == name) return true;
    return false;
}

std::set<std::u16string> NCParsedExpressionHelpers::findVariableReferencesInTokens(
    const NCExpressionTokenArray& tokens) {
    std::set<std::u16string> names;
    for (const auto& token : tokens)
        if (token->type() == NCExpressionTokenTypeVariable)
            if (auto name = token->string()) names.insert(*name);
    return names;
}

uint64_t NCParsedExpressionHelpers::indexOfToken(const NCExpressionToken& token,
                                                 NCParsedExpression& expression) {
    const NCExpressionTokenArray& tokens = expression.tokens();
    if (tokens.empty()) return NSNotFound;
    NCTokenSearchResult at =
        NCBinarySearchTokenAtLocation(tokens, 0, tokens.size() - 1, token.range().location, false);
    return at.kind == NCTokenSearchResult::Found ? at.index : NSNotFound;
}
