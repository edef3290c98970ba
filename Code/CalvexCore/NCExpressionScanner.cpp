#include "NCExpressionScanner.h"

#include "NCExpressionParser.h"

bool NCExpressionScanner::string(const std::u16string& string, NCExpressionTokenType type) {
    NCExpressionParser parser;
    std::shared_ptr<NCParsedExpression> parsed =
        parser.parseExpression(NCExpression::expressionWithString(string));
    if (!parsed) return false;
    const NCExpressionTokenArray& tokens = parsed->tokens();
    return tokens.size() == 1 && tokens.front()->type() == type;
}
