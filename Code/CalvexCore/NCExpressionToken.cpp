#include "NCExpressionToken.h"

#include <charconv>

#include "NBFErrorLog.h"
#include "NCExpression.h"
#include "NCUtilityFunctions.h"

namespace {

NSRange lowLevelRangeOf(const NBFExpressionTokenRef* tokens, size_t count) {
    if (count == 0) return {0, 0};
    NBFRange first = NBFExpressionTokenGetRange(tokens[0]);
    uint64_t length = 0;
    for (size_t i = 0; i < count; ++i)
        length += static_cast<uint64_t>(std::max(NBFExpressionTokenGetRange(tokens[i]).length, 0));
    return {static_cast<uint64_t>(std::max(first.location, 0)), length};
}

// The integer at the start of decimal text ("-2" -> -2, "3.7" -> 3); 0 for anything else.
int64_t leadingInteger(const std::string& text) {
    int64_t value = 0;
    const char* begin = text.data();
    if (!text.empty() && text[0] == '+') ++begin;
    std::from_chars(begin, text.data() + text.size(), value);
    return value;
}

}  // namespace

NCExpressionToken::NCExpressionToken(NSRange nbfRange, NSRange range, NSRange highLevelRange,
                                     NCExpressionTokenType type, NCExpressionTokenSubType subType,
                                     NCLineReferenceType lineReferenceType,
                                     int64_t lineReferenceNumber)
    : m_nbfRange(nbfRange),
      m_highLevelRange(highLevelRange),
      m_range(range),
      m_lineReferenceType(lineReferenceType),
      m_lineReferenceNumber(lineReferenceNumber),
      m_type(type),
      m_subType(subType) {}

std::shared_ptr<NCExpressionToken> NCExpressionToken::withNBFToken(NBFExpressionTokenRef token,
                                                                   NSRange range,
                                                                   NSRange highLevelRange) {
    return withNBFTokens(&token, 1, range, highLevelRange);
}

std::shared_ptr<NCExpressionToken> NCExpressionToken::withNBFTokens(
    const NBFExpressionTokenRef* tokens, size_t count, NSRange range, NSRange highLevelRange,
    NCExpressionTokenType type, NCExpressionTokenSubType subType) {
    if (type == 0 && count > 0) {
        type = NCExpressionTokenTypeFromNBFTokenType(NBFExpressionTokenGetType(tokens[0]));
        subType =
            NCExpressionTokenSubTypeFromNBFTokenSubType(NBFExpressionTokenGetSubType(tokens[0]));
    }
    NCLineReferenceType kind = NCLineReferenceTypeNone;
    int64_t number = 0;
    if (type == NCExpressionTokenTypeLineReference) {
        parseLineReferenceTokens(tokens, count, [&](NCLineReferenceType k, int64_t n) {
            kind = k;
            number = n;
        });
    }
    return std::make_shared<NCExpressionToken>(lowLevelRangeOf(tokens, count), range,
                                               highLevelRange, type, subType, kind, number);
}

void NCExpressionToken::parseLineReferenceTokens(
    const NBFExpressionTokenRef* tokens, size_t count,
    const std::function<void(NCLineReferenceType, int64_t)>& handler) {
    NCLineReferenceType kind = NCLineReferenceTypeNone;
    int64_t number = 0;
    for (size_t i = 0; i < count; ++i) {
        token_type tokenType = NBFExpressionTokenGetType(tokens[i]);
        if (isNameToken(tokens[i])) {
            NBFStringRef name = NBFExpressionTokenGetStringReference(tokens[i]);
            kind = name ? NCExpression::lineReferenceTypeForFunctionName(name->units())
                        : NCLineReferenceTypeNone;
        } else if (tokenType == kNBFTokenTypeNumber) {
            NBFStringRef digits = NBFExpressionTokenGetDecimalStringReference(tokens[i]);
            number = leadingInteger(NBFStringGetCppString(digits));
            break;
        }
    }
    if (handler) handler(kind, number);
}

bool NCExpressionToken::isNameToken(NBFExpressionTokenRef token) {
    token_type type = NBFExpressionTokenGetType(token);
    return type == kNBFTokenTypeFunction || type == kNBFTokenTypeWord;
}

void NCExpressionToken::_setExpression(std::weak_ptr<NCExpression> expression) {
    m_expression = std::move(expression);
    m_string.reset();
    string();
}

std::optional<std::u16string> NCExpressionToken::string() const {
    if (m_string) return m_string;
    std::shared_ptr<NCExpression> expression = m_expression.lock();
    if (!expression || m_range.location == NSNotFound) return std::nullopt;
    const std::optional<std::u16string>& text = expression->originalString();
    if (!text) return std::nullopt;
    if (NSMaxRange(m_range) > text->size()) {
        OX_logErr_bigHeader(false, "Warning!", __func__, "Code/CalvexCore/NCExpressionToken",
                            __LINE__,
                            "Warning! The expression parser has given this token an incorrect "
                            "range in expression: %s",
                            NBFUTF16ToUTF8(*text).c_str());
        return std::nullopt;
    }
    m_string = text->substr(m_range.location, m_range.length);
    return m_string;
}
