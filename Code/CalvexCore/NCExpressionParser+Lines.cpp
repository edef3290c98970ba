#include "NCExpressionParser.h"
#include "NCLine.h"

std::optional<NCExpressionTokenArray> NCExpressionParser::lineReferenceTokensOfType(
    NCLineReferenceType mask, const NCLine& line) {
    std::shared_ptr<NCTokenizedExpression> tokenized = line.tokenizedExpression();
    if (!tokenized) return std::nullopt;
    return NCParsedExpressionHelpers::lineReferenceTokensOfType(mask, tokenized->tokens());
}

void NCExpressionParser::findLineReferencesInLine(const NCLine& line, NCLineReferenceType mask,
                                                  std::optional<std::vector<int64_t>>* indexes,
                                                  std::optional<std::vector<NSRange>>* ranges,
                                                  bool useHighLevelRange) {
    std::shared_ptr<NCParsedExpression> parsed = line.parsedExpression();
    if (!parsed) {
        if (indexes) indexes->reset();
        if (ranges) ranges->reset();
        return;
    }
    findLineReferencesInParsedExpression(*parsed, mask, indexes, ranges, useHighLevelRange);
}

std::set<std::u16string> NCExpressionParser::findVariableReferencesInLine(const NCLine& line) {
    std::shared_ptr<NCParsedExpression> parsed = line.evaluableParsedExpression();
    if (!parsed) return {};
    return NCParsedExpressionHelpers::findVariableReferencesInTokens(parsed->tokens());
}
