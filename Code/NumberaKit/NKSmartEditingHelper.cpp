#include "NKSmartEditingHelper.h"

#include <variant>

#include "NKConversionWordSource.h"
#include "NKLog.h"
#include "NSLocalizedString.h"

namespace {

bool isType(const std::shared_ptr<NCExpressionToken>& token, NCExpressionTokenType type) {
    return token && token->type() == type;
}
bool isSubType(const std::shared_ptr<NCExpressionToken>& token, NCExpressionTokenSubType subType) {
    return token && token->subType() == subType;
}
bool isWhitespace(const std::shared_ptr<NCExpressionToken>& token) {
    return isType(token, NCExpressionTokenTypeWhitespace);
}
NSRange displayRange(const std::shared_ptr<NCExpressionToken>& token) {
    return token ? token->highLevelRange() : NSRange{0, 0};
}

// Kinds of spacing exception: no space before, none after, none on either side.
enum SpacingKind { kNoSpaceBefore = 0, kNoSpaceAfter = 1, kNoSpaces = 2 };
struct SpacingException {
    SpacingKind kind;
    std::variant<NCExpressionTokenSubType, std::u16string> op;
};

std::vector<SpacingException> spacingExceptions() {
    return {{kNoSpaces, NCExpressionTokenSubTypePower},
            {kNoSpaceAfter, NSLocalizedString(u"as a %")},
            {kNoSpaceAfter, NCExpressionTokenSubTypeUnitAfterValue},
            {kNoSpaces, NCExpressionTokenSubTypeFactorial},
            {kNoSpaces, std::u16string(u"/")},
            {kNoSpaces, NCExpressionTokenSubTypeExponent},
            {kNoSpaces, NCExpressionTokenSubTypePercent}};
}

}  // namespace

NKSmartEditingHelper::NKSmartEditingHelper() { m_expressionParser.useHighLevelLocations = true; }

NKSmartEditingHelper& NKSmartEditingHelper::sharedHelper() {
    static NKSmartEditingHelper helper;
    return helper;
}

std::shared_ptr<NCParsedExpression> NKSmartEditingHelper::expression(
    const std::shared_ptr<NCExpression>& expression, const std::u16string& inserted, NSRange range,
    std::shared_ptr<NCEnvironment> environment) {
    std::u16string text = expression ? expression->originalString().value_or(u"") : u"";
    std::shared_ptr<NCExpressionToken> token =
        expression ? m_expressionParser.tokenInExpression(expression, range.location, true)
                   : nullptr;
    if (!token) {
        text += inserted;
    } else {
        if (range.length > 0) {
            NSRange stored = m_expressionParser.convertHighLevelRange(range, expression);
            if (stored.location != NSNotFound && stored.location <= text.size()) {
                stored.length = std::min<uint64_t>(stored.length, text.size() - stored.location);
                text.erase(stored.location, stored.length);
            } else {
                NKLog("Major smart editing helper error");
            }
        }
        const uint64_t tokenDisplay = token->highLevelRange().location;
        uint64_t at = token->range().location +
                      (range.location > tokenDisplay ? range.location - tokenDisplay : 0);
        text.insert(std::min<uint64_t>(at, text.size()), inserted);
    }
    return NCExpressionParser(std::move(environment))
        .parseExpression(NCExpression::expressionWithString(text));
}

std::shared_ptr<NCExpressionToken> NKSmartEditingHelper::tokenAfter(
    const std::shared_ptr<NCExpressionToken>& token, int direction, NCParsedExpression& expression,
    bool meaningful) {
    if (!meaningful) return expression.tokenAfter(token, direction);
    std::shared_ptr<NCExpressionToken> found;
    expression.enumerateTokensAfterToken(
        token, direction, [&](const std::shared_ptr<NCExpressionToken>& next, bool* stop) {
            if (isWhitespace(next)) return;
            found = next;
            *stop = true;
        });
    return found;
}

std::shared_ptr<NCExpressionToken> NKSmartEditingHelper::tokenToTheRightOf(
    const std::shared_ptr<NCExpressionToken>& token, NCParsedExpression& expression,
    bool tokenMustBeMeaningful) {
    return tokenAfter(token, 0, expression, tokenMustBeMeaningful);
}

std::shared_ptr<NCExpressionToken> NKSmartEditingHelper::tokenToTheLeftOf(
    const std::shared_ptr<NCExpressionToken>& token, NCParsedExpression& expression,
    bool tokenMustBeMeaningful) {
    return tokenAfter(token, 1, expression, tokenMustBeMeaningful);
}

std::shared_ptr<NCExpressionToken> NKSmartEditingHelper::firstTokenInExpression(
    const std::shared_ptr<NCExpression>& expression) {
    return expression ? m_expressionParser.tokenInExpression(expression, 0, true) : nullptr;
}

std::shared_ptr<NCExpressionToken> NKSmartEditingHelper::lastTokenInExpression(
    const std::shared_ptr<NCExpression>& expression) {
    if (!expression || expression->isEmpty()) return nullptr;
    NCExpressionParser storedText(m_expressionParser.environment());
    storedText.useHighLevelLocations = false;
    return storedText.tokenInExpression(expression, expression->originalString()->size() - 1,
                                        false);
}

std::u16string NKSmartEditingHelper::stringWithSpacesForInsertedOperator(
    const std::u16string& op, const std::shared_ptr<NCExpression>& expression, NSRange selection) {
    if (!useSmartSpaces) return op;
    std::shared_ptr<NCParsedExpression> parsed = m_expressionParser.parseExpression(
        expression ? expression : NCExpression::expressionWithString(u""));
    if (!parsed) return op;
    return stringWithSpacesForInsertedOperator(op, *parsed, m_expressionParser.environment(),
                                               selection);
}

std::u16string NKSmartEditingHelper::stringWithSpacesForInsertedOperator(
    const std::u16string& op, NCParsedExpression& parsedExpression,
    std::shared_ptr<NCEnvironment> environment, NSRange selection) {
    if (!useSmartSpaces || op.empty()) return op;
    std::shared_ptr<NCParsedExpression> after =
        expression(parsedExpression.expression(), op, selection, environment);
    if (!after) return op;
    const uint64_t p = selection.location;
    std::shared_ptr<NCExpressionToken> cur = after->tokenAtLocation(p, 1);
    if (!cur) return op;
    std::shared_ptr<NCExpressionToken> left = after->tokenAfter(cur, 1);
    std::shared_ptr<NCExpressionToken> right = after->tokenAfter(cur, 0);
    const std::u16string curText = cur->string().value_or(u"");
    std::shared_ptr<NCExpressionToken> first =
        curText.empty() ? nullptr
                        : NCExpressionParser(environment).tokenInString(curText.substr(0, 1), 0);

    if (isSubType(left, NCExpressionTokenSubTypePercent) &&
        isSubType(first, NCExpressionTokenSubTypePercent) && curText.size() >= 2)
        return op.substr(1) + u" ";
    if ((isType(left, NCExpressionTokenTypeWord) &&
         isSubType(cur, NCExpressionTokenSubTypeMinus)) ||
        !isType(cur, NCExpressionTokenTypeOperator))
        return op;

    bool before = true, afterSpace = true;
    bool matched = false;
    for (const SpacingException& exception : spacingExceptions()) {
        const bool matches =
            std::holds_alternative<std::u16string>(exception.op)
                ? std::get<std::u16string>(exception.op) == op
                : std::get<NCExpressionTokenSubType>(exception.op) == cur->subType();
        if (matches) {
            if (exception.kind == kNoSpaces)
                before = afterSpace = false;
            else if (exception.kind == kNoSpaceAfter)
                afterSpace = false;
            else
                before = false;
            matched = true;
            break;
        }
    }
    if (!matched && isSubType(cur, NCExpressionTokenSubTypeWordOperator) && !curText.empty()) {
        for (const SpacingException& exception : spacingExceptions()) {
            if (exception.kind != kNoSpaceBefore && exception.kind != kNoSpaces) continue;
            const bool matches =
                std::holds_alternative<std::u16string>(exception.op)
                    ? exception.kind == kNoSpaceBefore && first &&
                          std::get<std::u16string>(exception.op) == first->string().value_or(u"")
                    : first && std::get<NCExpressionTokenSubType>(exception.op) == first->subType();
            if (matches) {
                before = false;
                break;
            }
        }
    }
    if (p == 0)
        before = afterSpace = false;
    else if (isWhitespace(left))
        before = false;
    if (isWhitespace(right)) afterSpace = false;
    if ((isSubType(left, NCExpressionTokenSubTypeExponent) ||
         isSubType(left, NCExpressionTokenSubTypePower) ||
         isSubType(left, NCExpressionTokenSubTypeLeftBracket)) &&
        isSubType(cur, NCExpressionTokenSubTypeMinus))
        before = afterSpace = false;
    return (before ? u" " : u"") + op + (afterSpace ? u" " : u"");
}

NSRange NKSmartEditingHelper::rangeToDeleteOfExpression(NCParsedExpression& parsedExpression,
                                                        NSRange selection) {
    const uint64_t p = selection.location, n = selection.length;
    const uint64_t a = p > 0 && n == 0 ? 1 : 0;
    const uint64_t s = p - a;
    const NSRange answer = {s, n + a};
    std::shared_ptr<NCExpressionToken> t = parsedExpression.tokenAtLocation(s, 1);
    if (isSubType(t, NCExpressionTokenSubTypeLeftBracket) && insertClosingBracket &&
        isSubType(parsedExpression.tokenAtLocation(s + 1, 1), NCExpressionTokenSubTypeRightBracket))
        return {s, 2};
    if (!t) return answer;
    switch (t->type()) {
        case NCExpressionTokenTypeOperator:
        case NCExpressionTokenTypeWhitespace:
        case NCExpressionTokenTypeUnit:
        case NCExpressionTokenTypeFunction:
        case NCExpressionTokenTypeVariable:
        case NCExpressionTokenTypeAssignment:
        case NCExpressionTokenTypeLineReference:
            break;
        default:
            return answer;
    }
    const uint64_t tLength = t->highLevelRange().length;
    if (deleteSpacesWhenNecessary && !deleteEntireMultiCharacterTokens) {
        if (isType(t, NCExpressionTokenTypeVariable) ||
            isSubType(t, NCExpressionTokenSubTypeLineReferenceByLineNumber))
            return answer;
        if ((isType(t, NCExpressionTokenTypeOperator) || isType(t, NCExpressionTokenTypeUnit) ||
             isType(t, NCExpressionTokenTypeFunction)) &&
            tLength > 1)
            return answer;
    } else if (!deleteSpacesWhenNecessary && !deleteEntireMultiCharacterTokens) {
        return answer;
    }
    const NSRange tRange = t->highLevelRange();
    if (isType(t, NCExpressionTokenTypeOperator) && tLength >= 2 && tRange.location < p &&
        tRange.location + tRange.length > p + n)
        return answer;
    std::shared_ptr<NCExpressionToken> l = parsedExpression.tokenAfter(t, 1);
    if (!l) return {0, s + n + a};
    NSRange q = displayRange(l);
    if ((isWhitespace(l) || isType(l, NCExpressionTokenTypeOperator) ||
         isSubType(l, NCExpressionTokenSubTypeUnitConversion)) &&
        whiteSpaceDeleteMode == 1) {
        std::shared_ptr<NCExpressionToken> m = parsedExpression.tokenAfter(l, 1);
        if (isWhitespace(m)) {
            std::shared_ptr<NCExpressionToken> meaningful =
                tokenToTheLeftOf(m, parsedExpression, true);
            if (!(isType(meaningful, NCExpressionTokenTypeOperator) &&
                  !isSubType(meaningful, NCExpressionTokenSubTypePercent)))
                m = meaningful;
        }
        if (m)
            q = isType(m, NCExpressionTokenTypeOperator) &&
                        !isSubType(m, NCExpressionTokenSubTypePercent)
                    ? displayRange(l)
                    : displayRange(m);
    } else if (isType(t, NCExpressionTokenTypeOperator)) {
        if (useSmartSpaces && !isSubType(t, NCExpressionTokenSubTypeUnaryPlus) &&
            !isSubType(t, NCExpressionTokenSubTypeUnaryMinus) && isWhitespace(l))
            q = displayRange(parsedExpression.tokenAfter(l, 1));
    } else if (isWhitespace(t) && isType(l, NCExpressionTokenTypeUnit) &&
               deleteEntireMultiCharacterTokens) {
        q = displayRange(parsedExpression.tokenAfter(l, 1));
    }
    const uint64_t e = q.location + q.length;
    if (e > s + 1) return answer;
    return {e, s + 1 - e};
}

std::optional<std::u16string> NKSmartEditingHelper::closingCharacterForString(
    const std::u16string& typed, const std::shared_ptr<NCExpression>& expression, NSRange selection,
    uint64_t* location, int64_t* offset) {
    return closingCharacterForString(typed, expression, m_expressionParser.environment(), selection,
                                     location, offset);
}

std::optional<std::u16string> NKSmartEditingHelper::closingCharacterForString(
    const std::u16string& typed, const std::shared_ptr<NCExpression>& source,
    std::shared_ptr<NCEnvironment> environment, NSRange selection, uint64_t* location,
    int64_t* offset) {
    if (!insertClosingBracket && !insertClosingQuotationCharacter) return std::nullopt;
    std::shared_ptr<NCParsedExpression> after =
        source && !source->isEmpty()
            ? expression(source, typed, selection, environment)
            : NCExpressionParser(environment)
                  .parseExpression(NCExpression::expressionWithString(typed));
    std::optional<std::u16string> closing;
    if (after) {
        const uint64_t p = selection.location;
        std::shared_ptr<NCExpressionToken> t = after->tokenAtLocation(p, 1);
        std::shared_ptr<NCExpressionToken> r = t ? after->tokenAfter(t, 0) : nullptr;
        if (isSubType(t, NCExpressionTokenSubTypeLeftBracket) && insertClosingBracket) {
            if (!r || r->type() == NCExpressionTokenTypeNone ||
                r->type() == NCExpressionTokenTypeOperator || isWhitespace(r) ||
                r->type() == NCExpressionTokenTypeBracket)
                closing = u")";
        } else if (insertClosingQuotationCharacter && t) {
            const std::u16string text = t->string().value_or(u"");
            const bool quoted = !text.empty() && (text.front() == u'"' || text.back() == u'"');
            if (quoted && (!r || r->string().value_or(u"") != u"\"")) closing = u"\"";
        }
    }
    if (location) {
        if (selection.length == 0) {
            *location = selection.location + typed.size();
            if (offset) *offset = -static_cast<int64_t>(closing ? closing->size() : 0);
        } else {
            *location = selection.location + typed.size() + selection.length;
        }
    }
    return closing;
}

std::optional<std::u16string> NKSmartEditingHelper::defaultOperatorForLocation(
    uint64_t location, const std::shared_ptr<NCExpression>& expression) {
    if (!expression || location == 0) return std::nullopt;
    std::shared_ptr<NCExpressionToken> token =
        m_expressionParser.tokenInExpression(expression, location - 1, true);
    if (isType(token, NCExpressionTokenTypeNumber) ||
        isType(token, NCExpressionTokenTypeLineReference) ||
        isType(token, NCExpressionTokenTypeVariable))
        return useSmartSpaces ? u" + " : u"+";
    if (isSubType(token, NCExpressionTokenSubTypePercent)) {
        std::u16string words = NSLocalizedString(u"% of");
        std::erase(words, u'%');
        return words + u" ";
    }
    return std::nullopt;
}

namespace {

bool isUnit(const std::shared_ptr<NCExpressionToken>& token) {
    return isType(token, NCExpressionTokenTypeUnit);
}
bool isConversion(const std::shared_ptr<NCExpressionToken>& token) {
    return isSubType(token, NCExpressionTokenSubTypeUnitConversion);
}
uint64_t displayEnd(const std::shared_ptr<NCExpressionToken>& token) {
    const NSRange range = displayRange(token);
    return range.location + range.length;
}

}  // namespace

std::u16string NKSmartEditingHelper::stringForUnit(
    const std::u16string& unit, const std::shared_ptr<NCExpression>& expression, NSRange selection,
    NSRange* rangeToReplace, std::map<std::u16string, std::u16string>* otherInfo) {
    std::shared_ptr<NCParsedExpression> parsed = m_expressionParser.parseExpression(
        expression ? expression : NCExpression::expressionWithString(u""));
    if (!parsed) return unit;
    return stringForUnit(unit, *parsed, selection, rangeToReplace, otherInfo);
}

std::u16string NKSmartEditingHelper::stringForUnit(
    const std::u16string& unit, NCParsedExpression& parsed, NSRange selection,
    NSRange* rangeToReplace, std::map<std::u16string, std::u16string>* otherInfo) {
    const std::u16string k = NKConversionWord();
    if (rangeToReplace) *rangeToReplace = {NSNotFound, 0};
    auto note = [&](const char16_t* side) {
        if (otherInfo) (*otherInfo)[u"NKUnitOperatorRelativeLocation"] = side;
    };
    if (unit.empty() || !isUnit(m_expressionParser.tokenInString(unit, 0))) return unit;

    const uint64_t p = selection.location;
    std::shared_ptr<NCExpressionToken> R = parsed.tokenAtLocation(p, 1);
    std::shared_ptr<NCExpressionToken> L = p > 0 ? parsed.tokenAtLocation(p - 1, 1) : nullptr;
    bool spaceBefore = false, spaceAfter = false;
    if (isWhitespace(L)) {
        spaceBefore = true;
        L = tokenToTheLeftOf(L, parsed, true);
    }
    if (isWhitespace(R)) {
        spaceAfter = true;
        R = tokenToTheRightOf(L, parsed, true);
    }
    std::u16string w = spaceBefore ? u"" : u" ";

    if (isUnit(L) && isUnit(R) && rangeToReplace) {
        *rangeToReplace = displayRange(L);
        return unit;
    }
    bool finalStep = false;
    if (isUnit(L) || isType(L, NCExpressionTokenTypeLineReference)) {
        std::shared_ptr<NCExpressionToken> LL = tokenToTheLeftOf(L, parsed, true);
        if (isConversion(LL) || isConversion(R)) {
            if (rangeToReplace) {
                *rangeToReplace = displayRange(L);
                return unit;
            }
            finalStep = true;
        } else if (isUnit(R)) {
            finalStep = true;
        } else {
            note(u"LEFT");
            return w + k + u" " + unit;
        }
    } else if (isType(L, NCExpressionTokenTypeNumber)) {
        if (!isUnit(R)) {
            if (isUnit(tokenToTheLeftOf(L, parsed, true))) {
                note(u"LEFT");
                if (rangeToReplace && L == R) *rangeToReplace = {displayEnd(L), 0};
                return w + k + u" " + unit;
            }
            if (rangeToReplace && L == R) {
                std::shared_ptr<NCExpressionToken> next = tokenToTheRightOf(L, parsed, true);
                if (isUnit(next)) {
                    *rangeToReplace = displayRange(next);
                    spaceBefore = isWhitespace(tokenToTheLeftOf(next, parsed, false));
                } else {
                    *rangeToReplace = {displayEnd(L), 0};
                }
            }
            w = spaceBefore ? u"" : u" ";
            return w + unit;
        }
        if (!isConversion(tokenToTheRightOf(R, parsed, true))) {
            note(u"RIGHT");
            return w + unit + u" " + k + (spaceAfter ? u"" : u" ");
        }
        if (rangeToReplace) {
            *rangeToReplace = displayRange(R);
            return unit;
        }
        finalStep = true;
    } else if (isConversion(L)) {
        if (!isUnit(R)) return w + unit;
        finalStep = true;
    } else {
        finalStep = true;
    }
    if (finalStep && isUnit(R)) {
        if (!isConversion(L)) {
            note(u"RIGHT");
            return unit + u" " + k + u" ";
        }
        if (rangeToReplace) {
            *rangeToReplace = displayRange(R);
            return unit;
        }
    }
    return L && !spaceBefore ? u" " + unit : unit;
}
