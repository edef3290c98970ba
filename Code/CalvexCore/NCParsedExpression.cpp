#include "NCParsedExpression.h"

#include "NBFErrorLog.h"
#include "NCLine.h"

const NCExpressionTokenArray& NCParsedExpression::tokens() {
    static const NCExpressionTokenArray none;
    return none;
}

std::shared_ptr<NCExpressionToken> NCParsedExpression::tokenAtLocation(uint64_t location,
                                                                       int locationType) {
    if (locationType != 0 && locationType != 1) {
        OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCParsedExpression",
                            __LINE__, "Unexpected type %d", locationType);
        locationType = 0;
    }
    const NCExpressionTokenArray& all = tokens();
    if (all.empty()) return nullptr;
    return NCBinarySearchTokenAtLocation(all, 0, all.size() - 1, location, locationType == 1).token;
}

NCExpressionTokenArray NCParsedExpression::tokensOfType(NCExpressionTokenType type) {
    return NCParsedExpressionHelpers::tokensOfType(type, tokens());
}

std::optional<NCExpressionTokenArray> NCParsedExpression::lineReferenceTokensOfType(
    NCLineReferenceType mask) {
    return NCParsedExpressionHelpers::lineReferenceTokensOfType(mask, tokens());
}

bool NCParsedExpression::hasReferenceToVariableWithName(const std::u16string& name) {
    return NCParsedExpressionHelpers::hasReferenceToVariableWithName(name, tokens());
}

std::set<std::u16string> NCParsedExpression::variableReferences() {
    return NCParsedExpressionHelpers::findVariableReferencesInTokens(tokens());
}

std::shared_ptr<NCExpressionToken> NCParsedExpression::tokenAfter(
    const std::shared_ptr<NCExpressionToken>& token, int direction) {
    NSRange range = token ? token->range() : NSRange{0, 0};
    if (direction == 0) return tokenAtLocation(NSMaxRange(range));
    if (direction == 1 && range.location > 0) return tokenAtLocation(range.location - 1);
    return nullptr;
}

void NCParsedExpression::enumerateTokensAfterToken(
    const std::shared_ptr<NCExpressionToken>& token, int direction,
    const std::function<void(const std::shared_ptr<NCExpressionToken>&, bool*)>& block) {
    std::shared_ptr<NCExpressionToken> current = token;
    bool stop = false;
    while (!stop) {
        std::shared_ptr<NCExpressionToken> next = tokenAfter(current, direction);
        // A token of no length would be found again and again.
        if (!next || next == current) break;
        block(next, &stop);
        current = next;
    }
}

const NCExpressionTokenArray& NCTokenizedExpressionBackedParsedExpression::tokens() {
    if (!m_tokenizedExpression) return NCParsedExpression::tokens();
    return m_tokenizedExpression->tokens();
}

std::shared_ptr<NCExpression> NCLineBackedParsedExpression::expression() const {
    return m_line ? m_line->expression() : nullptr;
}

const NCExpressionTokenArray& NCLineBackedParsedExpression::tokens() {
    m_tokenizedExpression = m_line ? m_line->tokenizedExpression() : nullptr;
    if (!m_tokenizedExpression) return NCParsedExpression::tokens();
    return m_tokenizedExpression->tokens();
}
