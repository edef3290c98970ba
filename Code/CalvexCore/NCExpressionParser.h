// Questions about a line's tokens: the token at a location, the tokens around it, whether the
// line declares a variable, and positions converted between the stored and displayed texts.
// Tokenises in the namespace of its environment.
#ifndef NUMBERA_CORE_NC_EXPRESSION_PARSER_H
#define NUMBERA_CORE_NC_EXPRESSION_PARSER_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "NCEnvironment.h"
#include "NCParsedExpression.h"
#include "NCSimpleTokenizedExpression.h"

// Where a variable declaration's parts lie in the stored text.
struct NCVarDecl {
    int64_t equalsTokenIndex = 0;  // among the tokens
    NSRange nameRange;             // from the name's first word to the "="
    NSRange valueRange;            // from after the "=" to the end of the text
};

// How a line reads.
typedef int32_t NCExpressionType;
enum : NCExpressionType {
    NCExpressionTypeExpression = 1,
    NCExpressionTypeVariableDeclaration = 2,
    NCExpressionTypeBadVariableDeclaration = 3,
};

class NCLine;

class NCExpressionParser {
  public:
    // The current environment.
    NCExpressionParser();
    explicit NCExpressionParser(std::shared_ptr<NCEnvironment> environment);

    std::shared_ptr<NCEnvironment> environment() const;
    void setEnvironment(std::shared_ptr<NCEnvironment> environment);
    bool useHighLevelLocations = false;
    bool enableComments = true;

    // A fresh tokenisation with the environment's variables, units, word operators and
    // functions.
    std::shared_ptr<NCParsedExpression> parseExpression(
        const std::shared_ptr<NCExpression>& expression) const;
    // The same, analysing the given plain tokens of the expression's text (null: scans anew).
    std::shared_ptr<NCParsedExpression> parseExpression(
        const std::shared_ptr<NCExpression>& expression,
        std::shared_ptr<NCSimpleTokenizedExpression> scanned) const;

    // Direction 0 forward, 1 backward; appends to `tokens` (may be null) and answers how many.
    uint64_t findTokensInExpression(const std::shared_ptr<NCExpression>& expression,
                                    uint64_t location, int direction,
                                    NCExpressionTokenArray* tokens, uint64_t maxCount,
                                    bool skipCurrentLocation, bool highLevelLocation) const;
    uint64_t findTokensInExpression(const std::shared_ptr<NCExpression>& expression,
                                    uint64_t location, int direction,
                                    NCExpressionTokenArray* tokens, uint64_t maxCount,
                                    bool skipCurrentLocation) const {
        return findTokensInExpression(expression, location, direction, tokens, maxCount,
                                      skipCurrentLocation, useHighLevelLocations);
    }
    NCExpressionTokenArray findTokensInString(const std::u16string& string, uint64_t location,
                                              int direction, uint64_t maxCount,
                                              bool skipCurrentLocation) const;
    std::shared_ptr<NCExpressionToken> tokenInExpression(
        const std::shared_ptr<NCExpression>& expression, uint64_t location,
        bool highLevelLocation) const;
    std::shared_ptr<NCExpressionToken> tokenInExpression(
        const std::shared_ptr<NCExpression>& expression, uint64_t location) const {
        return tokenInExpression(expression, location, useHighLevelLocations);
    }
    std::shared_ptr<NCExpressionToken> tokenInString(const std::u16string& string,
                                                     uint64_t location) const;

    // Between the displayed text (high level) and the stored text (low level). A position inside
    // a line reference is its start.
    NSRange convertHighLevelRange(NSRange range,
                                  const std::shared_ptr<NCExpression>& expression) const;
    NSRange convertLowLevelRange(NSRange range,
                                 const std::shared_ptr<NCExpression>& expression) const;

    // True for a well-formed declaration (the record filled); false with badVarDecl set for a
    // malformed one ("= 3", "a = b = 3", a function name before "=").
    static bool findVariableDeclarationInTokenizedExpression(NCParsedExpression& parsedExpression,
                                                             NCVarDecl* varDecl, bool* badVarDecl);
    static NCExpressionType expressionTypeOfTokenizedExpression(
        NCParsedExpression& parsedExpression, NCVarDecl* varDecl);
    // The same over a line's plain tokens, as a line is classified.
    static bool findVariableDeclarationInTokenizedExpression(
        const NCSimpleTokenizedExpression& tokenizedExpression, NCVarDecl* varDecl,
        bool* badVarDecl);
    static NCExpressionType expressionTypeOfTokenizedExpression(
        const NCSimpleTokenizedExpression& tokenizedExpression, NCVarDecl* varDecl);
    // The same over tokens given as kinds and stored ranges in text order.
    struct TokenKind {
        NCExpressionTokenType type;
        NSRange range;
    };
    static bool findVariableDeclarationInTokens(const std::vector<TokenKind>& tokens,
                                                uint64_t textLength, NCVarDecl* varDecl,
                                                bool* badVarDecl);

    // Line references of the kinds in the mask; none rather than an empty array.
    static std::optional<NCExpressionTokenArray> lineReferenceTokensOfType(
        NCLineReferenceType mask, NCParsedExpression& parsedExpression);
    // For each reference of a kind in the mask, the number it names (a by-line-number reference
    // less one, so its line index) and its displayed or stored range. Either output may be
    // null; both stay none when there are no references at all.
    static void findLineReferencesInParsedExpression(NCParsedExpression& parsedExpression,
                                                     NCLineReferenceType mask,
                                                     std::optional<std::vector<int64_t>>* indexes,
                                                     std::optional<std::vector<NSRange>>* ranges,
                                                     bool useHighLevelRange);

    // Over a line: references among the tokens of its own tokenisation; references and
    // variables named in its parsed forms (none before it is parsed).
    static std::optional<NCExpressionTokenArray> lineReferenceTokensOfType(NCLineReferenceType mask,
                                                                           const NCLine& line);
    static void findLineReferencesInLine(const NCLine& line, NCLineReferenceType mask,
                                         std::optional<std::vector<int64_t>>* indexes,
                                         std::optional<std::vector<NSRange>>* ranges,
                                         bool useHighLevelRange);
    static std::set<std::u16string> findVariableReferencesInLine(const NCLine& line);

  private:
    mutable std::mutex m_mutex;
    std::shared_ptr<NCEnvironment> m_environment;
};

#endif
