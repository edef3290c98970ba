// Queries over the tokens of a line, which lie end to end in text order: the token at a
// location (in the stored or the displayed text), runs of tokens from a location, tokens of
// a kind, line references and variable references.
#ifndef NUMBERA_CORE_NC_PARSED_EXPRESSION_HELPERS_H
#define NUMBERA_CORE_NC_PARSED_EXPRESSION_HELPERS_H

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "NCExpressionToken.h"

typedef std::vector<std::shared_ptr<NCExpressionToken>> NCExpressionTokenArray;

// Where a location falls among tokens.
struct NCTokenSearchResult {
    enum Kind { None, Found, PastTheEnd } kind = None;
    size_t index = 0;  // the token's index, or the token count past the end
    std::shared_ptr<NCExpressionToken> token;
};

// Binary search over the inclusive index interval for the token whose range (or display range)
// contains the location. A location at or after the end of the last token is past the end; one
// that falls between tokens finds none.
NCTokenSearchResult NCBinarySearchTokenAtLocation(const NCExpressionTokenArray& tokens,
                                                  size_t first, size_t last, uint64_t location,
                                                  bool highLevel);

class NCParsedExpression;

class NCParsedExpressionHelpers {
  public:
    // Direction 0 forward, 1 backward. Writes the token at the location (unless skipping) and
    // its neighbours in the direction, at most maxCount; answers how many.
    static uint64_t findTokensInTokens(const NCExpressionTokenArray& tokens, uint64_t location,
                                       int direction, NCExpressionTokenArray* found,
                                       uint64_t maxCount, bool skipCurrentLocation,
                                       bool highLevelLocation);
    static NCExpressionTokenArray tokensOfType(NCExpressionTokenType type,
                                               const NCExpressionTokenArray& tokens);
    // Line references of any kind in the mask; none rather than an empty array.
    static std::optional<NCExpressionTokenArray> lineReferenceTokensOfType(
        NCLineReferenceType mask, const NCExpressionTokenArray& tokens);
    static bool hasReferenceToVariableWithName(const std::u16string& name,
                                               const NCExpressionTokenArray& tokens);
    static std::set<std::u16string> findVariableReferencesInTokens(
        const NCExpressionTokenArray& tokens);
    // The index of the token's location among the parsed expression's tokens; NSNotFound when
    // it has none there.
    static uint64_t indexOfToken(const NCExpressionToken& token, NCParsedExpression& expression);
};

#endif
