#include "NKLineReferenceTokens.h"

#include <charconv>

#include "NBFString.h"
#include "NCExpressionParser.h"
#include "NCLineEvaluator.h"
#include "NCLineReferenceSubstituter.h"
#include "NSLocalizedString.h"

NCExpressionTokenArray NKLineReferenceTokensOfTypeInString(NCLineReferenceType mask,
                                                           const std::u16string& text) {
    // A line too long to evaluate is text: nothing in it refers to another line.
    if (text.empty() || NCLineEvaluator::isOverlongText(text)) return {};
    NCExpressionParser parser(NCLineReferenceSubstituter::parsingEnvironment());
    std::shared_ptr<NCParsedExpression> parsed =
        parser.parseExpression(NCExpression::expressionWithString(text));
    if (!parsed) return {};
    return NCExpressionParser::lineReferenceTokensOfType(mask, *parsed)
        .value_or(NCExpressionTokenArray{});
}

NCExpressionTokenArray NKLineReferenceTokensOfType(NCLineReferenceType mask, const NCLine& line) {
    std::optional<std::u16string> text = line.expressionString();
    return text ? NKLineReferenceTokensOfTypeInString(mask, *text) : NCExpressionTokenArray{};
}

std::u16string NKLineReferenceByLineNumberWithNumber(const std::u16string& tokenText,
                                                     int64_t lineNumber) {
    char digits[24];
    const std::u16string number =
        NBFUTF8ToUTF16(std::string(digits, std::to_chars(digits, digits + 24, lineNumber).ptr));
    auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    size_t end = tokenText.size();
    while (end > 0 && !isDigit(tokenText[end - 1])) --end;
    size_t start = end;
    while (start > 0 && isDigit(tokenText[start - 1])) --start;
    if (start == end) return NSLocalizedString(u"line") + number;
    return tokenText.substr(0, start) + number + tokenText.substr(end);
}
