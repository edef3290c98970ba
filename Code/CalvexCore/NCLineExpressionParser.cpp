#include "NCLineExpressionParser.h"

#include "NCExpressionSubstituter.h"
#include "NCExpressionTokenizer.h"

namespace {

NSRange shiftedBy(NSRange range, uint64_t offset) {
    return {range.location + offset, range.length};
}

bool keepsItsOwnKind(NCExpressionTokenType type) {
    return type == NCExpressionTokenTypeWhitespace || type == NCExpressionTokenTypeWord ||
           type == NCExpressionTokenTypeComment;
}

// A declaration line's tokens: what stands before the name, the name, the "=" and the value's
// tokens moved to their place in the line.
NCExpressionTokenArray declarationLineTokens(
    const std::shared_ptr<NCExpression>& line,
    const std::shared_ptr<NCSimpleTokenizedExpression>& lineTokens,
    const std::shared_ptr<NCLineVariableDeclaration>& declaration,
    const std::shared_ptr<NCParsedExpression>& valueParsed) {
    const NSRange name = declaration ? declaration->nameRange() : NSRange{};
    NCExpressionTokenArray tokens;
    auto append = [&](std::shared_ptr<NCExpressionToken> token) {
        token->_setExpression(line);
        tokens.push_back(std::move(token));
    };

    // What stands before the name: kept as text, whitespace or comment.
    if (name.location > 0 && lineTokens) {
        uint64_t covered = 0;
        lineTokens->enumerateTokensWithBlock([&](const NCSimpleToken& token, bool* stop) {
            if (NSMaxRange(token.range) > name.location) {
                *stop = true;
                return;
            }
            const bool own = keepsItsOwnKind(token.type);
            append(std::make_shared<NCExpressionToken>(
                token.lowLevelRange, token.range, token.range,
                own ? token.type : NCExpressionTokenTypeWord, own ? token.subType : 0));
            covered = NSMaxRange(token.range);
        });
        if (covered < name.location) {
            const NSRange rest{covered, name.location - covered};
            append(std::make_shared<NCExpressionToken>(rest, rest, rest, NCExpressionTokenTypeWord,
                                                       NCExpressionTokenSubTypeNone));
        }
    }
    append(std::make_shared<NCExpressionToken>(name, name, name, NCExpressionTokenTypeVariable,
                                               NCExpressionTokenSubTypeDeclaredVariable));
    NCSimpleToken equals;
    if (lineTokens && declaration && declaration->equalsTokenIndex() >= 0)
        equals = lineTokens->tokenAtIndex(static_cast<uint64_t>(declaration->equalsTokenIndex()));
    append(std::make_shared<NCExpressionToken>(equals.range, equals.range, equals.range,
                                               NCExpressionTokenTypeAssignment,
                                               NCExpressionTokenSubTypeNone));

    if (valueParsed) {
        const uint64_t lowOffset = NSMaxRange(equals.lowLevelRange);
        const uint64_t offset = NSMaxRange(equals.range);
        for (const std::shared_ptr<NCExpressionToken>& token : valueParsed->tokens())
            append(std::make_shared<NCExpressionToken>(
                shiftedBy(token->lowLevelRange(), lowOffset), shiftedBy(token->range(), offset),
                shiftedBy(token->highLevelRange(), offset), token->type(), token->subType(),
                token->lineReferenceType(), token->lineReferenceNumber()));
    }
    return tokens;
}

}  // namespace

NCLineExpressionParser::NCLineExpressionParser(std::shared_ptr<NCEnvironment> environment)
    : m_environment(std::move(environment)),
      m_parser(std::make_shared<NCExpressionParser>(m_environment)) {}

void NCLineExpressionParser::processNormalLineExpression(NCNormalLineExpression& lineExpression) {
    lineExpression.setTokenizedEvaluableExpression(lineExpression.tokenizedExpression());
    std::shared_ptr<NCParsedExpression> parsed =
        m_parser ? m_parser->parseExpression(lineExpression.expression(),
                                             lineExpression.tokenizedExpression())
                 : nullptr;
    lineExpression.setEvaluableParsedExpression(parsed);
    lineExpression.setParsedExpression(parsed);
}

void NCLineExpressionParser::processPlainTextLineExpression(
    NCPlainTextLineExpression& lineExpression) {
    lineExpression.setTokenizedEvaluableExpression(nullptr);
    lineExpression.setEvaluableParsedExpression(nullptr);
    lineExpression.setParsedExpression(nullptr);
}

void NCLineExpressionParser::processVarDeclLineExpression(NCVarDeclLineExpression& lineExpression) {
    const std::shared_ptr<NCExpression>& value = lineExpression.evaluableExpression();
    if (value) {
        NCExpressionTokenizer tokenizer(value->locale(),
                                        &NCExpressionSubstituter::defaultSubstituter());
        lineExpression.setTokenizedEvaluableExpression(tokenizer.tokenizeExpression(value));
    }
    std::shared_ptr<NCParsedExpression> valueParsed =
        value && m_parser
            ? m_parser->parseExpression(value, lineExpression.tokenizedEvaluableExpression())
            : nullptr;
    lineExpression.setEvaluableParsedExpression(valueParsed);

    // The whole line's tokens are made when first asked for: the value's analysis they need
    // is not otherwise wanted by a change pass.
    const std::shared_ptr<NCExpression>& line = lineExpression.expression();
    lineExpression.setParsedExpression(std::make_shared<NCDeferredTokenListParsedExpression>(
        line, [line, lineTokens = lineExpression.tokenizedExpression(),
               declaration = lineExpression.variableDeclaration(), valueParsed]() {
            return declarationLineTokens(line, lineTokens, declaration, valueParsed);
        }));
}
