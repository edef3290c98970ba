#include "NCExpressionParser.h"

namespace {

// A location inside a token moves with the token; inside a token whose two forms differ in
// length (a line reference) it is the token's start.
uint64_t convertedLocation(uint64_t location, NSRange from, NSRange to) {
    uint64_t inside = from.length == to.length ? location - std::min(location, from.location) : 0;
    return to.location + inside;
}

NSRange convertRange(NSRange range, const NCExpressionTokenArray& tokens, bool fromHighLevel) {
    if (tokens.empty()) return range;
    auto fromRange = [&](const std::shared_ptr<NCExpressionToken>& token) {
        return fromHighLevel ? token->highLevelRange() : token->range();
    };
    auto toRange = [&](const std::shared_ptr<NCExpressionToken>& token) {
        return fromHighLevel ? token->range() : token->highLevelRange();
    };
    const size_t last = tokens.size() - 1;
    NCTokenSearchResult first =
        NCBinarySearchTokenAtLocation(tokens, 0, last, range.location, fromHighLevel);
    uint64_t lastLocation = range.length > 0 ? NSMaxRange(range) - 1 : range.location;
    NCTokenSearchResult end =
        NCBinarySearchTokenAtLocation(tokens, 0, last, lastLocation, fromHighLevel);
    // Past the end of the text both texts end together.
    auto tokenFor = [&](const NCTokenSearchResult& found) {
        return found.kind == NCTokenSearchResult::Found        ? found.token
               : found.kind == NCTokenSearchResult::PastTheEnd ? tokens[last]
                                                               : nullptr;
    };
    std::shared_ptr<NCExpressionToken> firstToken = tokenFor(first), lastToken = tokenFor(end);
    if (!firstToken || !lastToken) return range;

    NSRange converted;
    if (first.kind == NCTokenSearchResult::PastTheEnd)
        converted.location =
            NSMaxRange(toRange(firstToken)) + (range.location - NSMaxRange(fromRange(firstToken)));
    else
        converted.location =
            convertedLocation(range.location, fromRange(firstToken), toRange(firstToken));
    uint64_t toEnd = NSMaxRange(toRange(lastToken));
    if (toEnd == NSMaxRange(fromRange(lastToken)) || end.kind == NCTokenSearchResult::PastTheEnd)
        converted.length = range.length;
    else
        converted.length = toEnd > converted.location ? toEnd - converted.location : 0;
    return converted;
}

}  // namespace

NCExpressionParser::NCExpressionParser() : NCExpressionParser(NCEnvironment::current()) {}

NCExpressionParser::NCExpressionParser(std::shared_ptr<NCEnvironment> environment)
    : m_environment(std::move(environment)) {}

std::shared_ptr<NCEnvironment> NCExpressionParser::environment() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_environment;
}

void NCExpressionParser::setEnvironment(std::shared_ptr<NCEnvironment> environment) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_environment = std::move(environment);
}

std::shared_ptr<NCParsedExpression> NCExpressionParser::parseExpression(
    const std::shared_ptr<NCExpression>& expression) const {
    return parseExpression(expression, nullptr);
}

std::shared_ptr<NCParsedExpression> NCExpressionParser::parseExpression(
    const std::shared_ptr<NCExpression>& expression,
    std::shared_ptr<NCSimpleTokenizedExpression> scanned) const {
    if (!expression) return nullptr;
    expression->stringForEvaluation();
    auto tokenized = std::make_shared<NCTokenizedExpression>(expression);
    tokenized->setScannedTokens(std::move(scanned));
    if (std::shared_ptr<NCEnvironment> environment = this->environment()) {
        tokenized->setVariableList(environment->variables());
        tokenized->setUnitManager(environment->unitManager());
        tokenized->setWordOperators(environment->wordOperators());
        tokenized->setFunctions(environment->functions());
    }
    tokenized->setEnableCommentParsing(enableComments);
    return std::make_shared<NCTokenizedExpressionBackedParsedExpression>(tokenized);
}

uint64_t NCExpressionParser::findTokensInExpression(const std::shared_ptr<NCExpression>& expression,
                                                    uint64_t location, int direction,
                                                    NCExpressionTokenArray* tokens,
                                                    uint64_t maxCount, bool skipCurrentLocation,
                                                    bool highLevelLocation) const {
    if (!expression) return 0;
    std::shared_ptr<NCParsedExpression> parsed = parseExpression(expression);
    return NCParsedExpressionHelpers::findTokensInTokens(parsed->tokens(), location, direction,
                                                         tokens, maxCount, skipCurrentLocation,
                                                         highLevelLocation);
}

NCExpressionTokenArray NCExpressionParser::findTokensInString(const std::u16string& string,
                                                              uint64_t location, int direction,
                                                              uint64_t maxCount,
                                                              bool skipCurrentLocation) const {
    NCExpressionTokenArray tokens;
    findTokensInExpression(NCExpression::expressionWithString(string), location, direction, &tokens,
                           maxCount, skipCurrentLocation);
    return tokens;
}

std::shared_ptr<NCExpressionToken> NCExpressionParser::tokenInExpression(
    const std::shared_ptr<NCExpression>& expression, uint64_t location,
    bool highLevelLocation) const {
    NCExpressionTokenArray tokens;
    if (findTokensInExpression(expression, location, 0, &tokens, 1, false, highLevelLocation) == 0)
        return nullptr;
    return tokens.front();
}

std::shared_ptr<NCExpressionToken> NCExpressionParser::tokenInString(const std::u16string& string,
                                                                     uint64_t location) const {
    return tokenInExpression(NCExpression::expressionWithString(string), location);
}

NSRange NCExpressionParser::convertHighLevelRange(
    NSRange range, const std::shared_ptr<NCExpression>& expression) const {
    if (!expression) return range;
    return convertRange(range, parseExpression(expression)->tokens(), true);
}

NSRange NCExpressionParser::convertLowLevelRange(
    NSRange range, const std::shared_ptr<NCExpression>& expression) const {
    if (!expression) return range;
    return convertRange(range, parseExpression(expression)->tokens(), false);
}

bool NCExpressionParser::findVariableDeclarationInTokens(const std::vector<TokenKind>& tokens,
                                                         uint64_t textLength, NCVarDecl* varDecl,
                                                         bool* badVarDecl) {
    bool inWord = false, assignmentSeen = false, nameSeen = false, bad = false, otherBefore = false;
    size_t nameIndex = 0, equalsIndex = 0;
    for (size_t i = 0; i < tokens.size() && !bad; ++i) {
        switch (tokens[i].type) {
            case NCExpressionTokenTypeNumber:
            case NCExpressionTokenTypeComment:
                break;
            case NCExpressionTokenTypeWhitespace:
                inWord = false;
                break;
            case NCExpressionTokenTypeWord:
                // The last run of words before "=" names the variable.
                if (!inWord && !assignmentSeen) {
                    nameIndex = i;
                    inWord = nameSeen = true;
                }
                break;
            case NCExpressionTokenTypeAssignment:
                if (!nameSeen || assignmentSeen || otherBefore) bad = true;
                assignmentSeen = true;
                equalsIndex = i;
                break;
            default:
                if (!assignmentSeen) otherBefore = true;
                break;
        }
    }
    if (badVarDecl) *badVarDecl = assignmentSeen && bad;
    if (!assignmentSeen || bad) return false;
    if (varDecl) {
        NSRange equals = tokens[equalsIndex].range;
        uint64_t nameStart = tokens[nameIndex].range.location;
        uint64_t valueStart = std::min(NSMaxRange(equals), textLength);
        varDecl->equalsTokenIndex = static_cast<int64_t>(equalsIndex);
        varDecl->nameRange = {nameStart, equals.location - std::min(nameStart, equals.location)};
        varDecl->valueRange = {valueStart, textLength - valueStart};
    }
    return true;
}

bool NCExpressionParser::findVariableDeclarationInTokenizedExpression(
    NCParsedExpression& parsedExpression, NCVarDecl* varDecl, bool* badVarDecl) {
    std::vector<TokenKind> tokens;
    parsedExpression.enumerateTokensWithBlock(
        [&](const std::shared_ptr<NCExpressionToken>& token, bool*) {
            tokens.push_back({token->type(), token->range()});
        });
    std::shared_ptr<NCExpression> expression = parsedExpression.expression();
    uint64_t length =
        expression && expression->originalString() ? expression->originalString()->size() : 0;
    return findVariableDeclarationInTokens(tokens, length, varDecl, badVarDecl);
}

NCExpressionType NCExpressionParser::expressionTypeOfTokenizedExpression(
    NCParsedExpression& parsedExpression, NCVarDecl* varDecl) {
    bool bad = false;
    if (findVariableDeclarationInTokenizedExpression(parsedExpression, varDecl, &bad))
        return NCExpressionTypeVariableDeclaration;
    return bad ? NCExpressionTypeBadVariableDeclaration : NCExpressionTypeExpression;
}

bool NCExpressionParser::findVariableDeclarationInTokenizedExpression(
    const NCSimpleTokenizedExpression& tokenizedExpression, NCVarDecl* varDecl, bool* badVarDecl) {
    std::vector<TokenKind> tokens;
    tokenizedExpression.enumerateTokensWithBlock([&](const NCSimpleToken& token, bool*) {
        tokens.push_back({token.type, token.range});
    });
    const int64_t length = tokenizedExpression.length();
    return findVariableDeclarationInTokens(tokens, length > 0 ? static_cast<uint64_t>(length) : 0,
                                           varDecl, badVarDecl);
}

NCExpressionType NCExpressionParser::expressionTypeOfTokenizedExpression(
    const NCSimpleTokenizedExpression& tokenizedExpression, NCVarDecl* varDecl) {
    bool bad = false;
    if (findVariableDeclarationInTokenizedExpression(tokenizedExpression, varDecl, &bad))
        return NCExpressionTypeVariableDeclaration;
    return bad ? NCExpressionTypeBadVariableDeclaration : NCExpressionTypeExpression;
}

std::optional<NCExpressionTokenArray> NCExpressionParser::lineReferenceTokensOfType(
    NCLineReferenceType mask, NCParsedExpression& parsedExpression) {
    return NCParsedExpressionHelpers::lineReferenceTokensOfType(mask, parsedExpression.tokens());
}

void NCExpressionParser::findLineReferencesInParsedExpression(
    NCParsedExpression& parsedExpression, NCLineReferenceType mask,
    std::optional<std::vector<int64_t>>* indexes, std::optional<std::vector<NSRange>>* ranges,
    bool useHighLevelRange) {
    if (indexes) indexes->reset();
    if (ranges) ranges->reset();
    NCExpressionTokenArray references =
        parsedExpression.tokensOfType(NCExpressionTokenTypeLineReference);
    if (references.empty()) return;
    if (indexes) indexes->emplace();
    if (ranges) ranges->emplace();
    for (const auto& token : references) {
        if (!(token->lineReferenceType() & mask)) continue;
        if (indexes) {
            bool byLineNumber =
                token->subType() == NCExpressionTokenSubTypeLineReferenceByLineNumber;
            (*indexes)->push_back(token->lineReferenceNumber() - (byLineNumber ? 1 : 0));
        }
        if (ranges)
            (*ranges)->push_back(useHighLevelRange ? token->highLevelRange() : token->range());
    }
}
