// One token of a line with its kind and its place in each of the line's three texts: the
// evaluation string the foundation scanned (low level), the stored text, and the displayed
// text where a line reference is one character (high level). Several foundation tokens may
// make one token: a substituted word, a comment, a line reference.
#ifndef NUMBERA_CORE_NC_EXPRESSION_TOKEN_H
#define NUMBERA_CORE_NC_EXPRESSION_TOKEN_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "NBFExpressionToken.h"
#include "NCExpressionTokenType.h"
#include "NCLineReferenceType.h"
#include "NSRange.h"

class NCExpression;

class NCExpressionToken {
  public:
    NCExpressionToken(NSRange nbfRange, NSRange range, NSRange highLevelRange,
                      NCExpressionTokenType type, NCExpressionTokenSubType subType,
                      NCLineReferenceType lineReferenceType = NCLineReferenceTypeNone,
                      int64_t lineReferenceNumber = 0);
    // One foundation token; kind converted from it.
    static std::shared_ptr<NCExpressionToken> withNBFToken(NBFExpressionTokenRef token,
                                                           NSRange range, NSRange highLevelRange);
    // Foundation tokens merged into one: the low-level range starts at the first and is as
    // long as all of them. Type 0 takes the first token's converted kind. A line reference
    // (type 10) reads its kind and number from the tokens.
    static std::shared_ptr<NCExpressionToken> withNBFTokens(const NBFExpressionTokenRef* tokens,
                                                            size_t count, NSRange range,
                                                            NSRange highLevelRange,
                                                            NCExpressionTokenType type = 0,
                                                            NCExpressionTokenSubType subType = 0);
    // The kind named by the first function name (0 for a name that is not reserved) and the
    // integer value of the first number token (0 without one). A reserved name counts even
    // where no function of that name is known and it was left a word.
    static void parseLineReferenceTokens(
        const NBFExpressionTokenRef* tokens, size_t count,
        const std::function<void(NCLineReferenceType kind, int64_t number)>& handler);

    // A function name, or a word that may be a reserved function name.
    static bool isNameToken(NBFExpressionTokenRef token);

    NSRange lowLevelRange() const { return m_nbfRange; }
    NSRange range() const { return m_range; }
    NSRange highLevelRange() const { return m_highLevelRange; }
    NCExpressionTokenType type() const { return m_type; }
    NCExpressionTokenSubType subType() const { return m_subType; }
    NCLineReferenceType lineReferenceType() const { return m_lineReferenceType; }
    int64_t lineReferenceNumber() const { return m_lineReferenceNumber; }
    // The stored text under the token's range, read when the expression is set, so that it
    // outlives the expression; none without an expression, and none (with a warning) when the
    // range runs past the text.
    std::optional<std::u16string> string() const;

    void _setLineReferenceNumber(int64_t number) { m_lineReferenceNumber = number; }
    // Not retained.
    void _setExpression(std::weak_ptr<NCExpression> expression);
    void _setTokenType(NCExpressionTokenType type, NCExpressionTokenSubType subType) {
        m_type = type;
        m_subType = subType;
    }

  private:
    NSRange m_nbfRange;
    NSRange m_highLevelRange;
    NSRange m_range;
    NCLineReferenceType m_lineReferenceType;
    int64_t m_lineReferenceNumber;
    NCExpressionTokenType m_type;
    NCExpressionTokenSubType m_subType;
    mutable std::optional<std::u16string> m_string;
    std::weak_ptr<NCExpression> m_expression;
};

#endif
