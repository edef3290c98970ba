#include "NKLineReferenceTokens.h"

#include "NCExpressionParser.h"
#include "NCLineReferenceSubstituter.h"

NCExpressionTokenArray NKLineReferenceTokensOfTypeInString(NCLineReferenceType mask,
                                                           const std::u16string& text) {
    if (text.empty()) return {};
    NCExpressionParser parser(NCLineReferenceSubstituter::parsingEnvironment());
    std::shared_ptr<NCParsedExpression> parsed =
        parser.parseExpression(NCExpression::expressionWithString(text));
    if (!parsed) return {};
    return NCExpressionParser::lineReferenceTokensOfType(mask, *parsed).value_or(
        NCExpressionTokenArray{});
}

NCExpressionTokenArray NKLineReferenceTokensOfType(NCLineReferenceType mask, const NCLine& line) {
    std::optional<std::u16string> text = line.expressionString();
    return text ? NKLineReferenceTokensOfTypeInString(mask, *text) : NCExpressionTokenArray{};
}
