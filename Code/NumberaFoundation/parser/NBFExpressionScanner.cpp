#include "NBFExpressionScanner.h"

#include <mutex>

namespace {

std::set<NBFChar> s_defaultWordBreakers;
std::once_flag s_defaultWordBreakersOnce;

bool isDigit(NBFChar c) { return c >= u'0' && c <= u'9'; }

bool isWhitespace(NBFChar c) { return c == u'\t' || c == u'\n' || c == u'\r' || c == u' '; }

bool isMarker(NBFChar c) { return c == 22 || c == 23; }

bool isOperatorChar(NBFChar c) { return c == u'+' || c == u'-' || c == u'*' || c == u'/'; }

// The text read one code unit at a time; every index outside it reads as NUL, so look-ahead
// at the last character is safe.
class Reader {
  public:
    explicit Reader(const std::u16string& text) : m_text(text) {}
    NBFChar at(int64_t index) const {
        return index >= 0 && index < length() ? m_text[static_cast<size_t>(index)] : 0;
    }
    int64_t length() const { return static_cast<int64_t>(m_text.size()); }

  private:
    const std::u16string& m_text;
};

}  // namespace

namespace NBF {

ExpressionScanner* ExpressionScanner::create() { return create(kNBFLocaleDefault); }

ExpressionScanner* ExpressionScanner::create(NBFLocale locale) {
    return new ExpressionScannerImpl(NBFExpressionScannerGetDefaultWordBreakers(), locale);
}

bool ExpressionScannerImpl::isNumberChar(NBFChar c) const {
    return isDigit(c) || c == NBFLocaleGetDecimalSeparator(m_locale);
}

bool ExpressionScannerImpl::isHexNumberChar(NBFChar c) const {
    return isNumberChar(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool ExpressionScannerImpl::isThousandsSeparator(NBFChar c) const {
    return c == NBFLocaleGetThousandsSeparator(m_locale);
}

bool ExpressionScannerImpl::isBasicWordChar(NBFChar c) const {
    return !isWhitespace(c) && !isDigit(c) && !isMarker(c) &&
           c != NBFLocaleGetDecimalSeparator(m_locale) && !isOperatorChar(c);
}

NBFBasicTokenVector ExpressionScannerImpl::scan(Expression* expression) {
    NBFBasicTokenVector tokens;
    BasicToken* token = nullptr;
    int32_t position = 0;
    while (getNextBasicToken(expression, &token, &position)) tokens.push_back(token);
    return tokens;
}

bool ExpressionScannerImpl::getNextBasicToken(Expression* expression, BasicToken** token,
                                              int32_t* position) const {
    NBFStringRef string = NBFExpressionGetStringReference(expression);
    if (!string || !token || !position) return false;
    Reader text(string->units());
    const int64_t start = *position;
    if (start < 0 || start >= text.length()) return false;

    const NBFChar decimalSeparator = NBFLocaleGetDecimalSeparator(m_locale);
    const NBFChar c = text.at(start);
    const NBFChar n = text.at(start + 1);
    NBFBasicTokenType type;
    NBFBasicTokenSubType subType;
    int64_t end = start + 1;  // one past the token's last character

    if (c == u'=') {
        type = kNBFBasicTokenTypeEqualsOrComment;
        subType = kNBFBasicTokenSubTypeEquals;
    } else if (c == u')' || c == u'(') {
        type = kNBFBasicTokenTypeBracket;
        subType = c == u')' ? kNBFBasicTokenSubTypeRightBracket : kNBFBasicTokenSubTypeLeftBracket;
    } else if (isWhitespace(c)) {
        type = kNBFBasicTokenTypeWhitespace;
        subType = kNBFBasicTokenSubTypeWhitespace;
        while (end < text.length() && isWhitespace(text.at(end))) ++end;
    } else if (isMarker(c)) {
        type = kNBFBasicTokenTypeMarker;
        subType = c == 22 ? kNBFBasicTokenSubTypeMarker22 : kNBFBasicTokenSubTypeMarker23;
    } else if (c == u'0' && (n == u'x' || n == u'b')) {
        type = kNBFBasicTokenTypeNumber;
        subType = kNBFBasicTokenSubTypePrefixedNumber;
        end = start + 2;
        while (end < text.length() && isHexNumberChar(text.at(end))) ++end;
        if (end == start + 2) {
            // A prefix without digits is a word.
            type = kNBFBasicTokenTypeWord;
            subType = kNBFBasicTokenSubTypePlainWord;
        }
    } else if (isNumberChar(c)) {
        type = kNBFBasicTokenTypeNumber;
        subType = kNBFBasicTokenSubTypeDecimalNumber;
        int separators = c == decimalSeparator ? 1 : 0;
        for (; end < text.length(); ++end) {
            NBFChar next = text.at(end);
            if (isWhitespace(next) || !(isNumberChar(next) || isThousandsSeparator(next))) break;
            if (next == decimalSeparator) ++separators;
        }
        if (separators >= 2 || (separators == 1 && end - start == 1)) {
            type = kNBFBasicTokenTypeWord;
            subType = kNBFBasicTokenSubTypePlainWord;
        }
    } else if (c == u'/' && n == u'/') {
        type = kNBFBasicTokenTypeEqualsOrComment;
        subType = kNBFBasicTokenSubTypeCommentMarker;
        end = start + 2;
    } else if (isOperatorChar(c)) {
        type = kNBFBasicTokenTypeOperator;
        subType = c == u'+'   ? kNBFBasicTokenSubTypePlus
                  : c == u'-' ? kNBFBasicTokenSubTypeMinus
                  : c == u'*' ? kNBFBasicTokenSubTypeMultiply
                              : kNBFBasicTokenSubTypeDivide;
    } else {
        type = kNBFBasicTokenTypeWord;
        if (c == u'e') {
            subType = kNBFBasicTokenSubTypeEWord;
        } else {
            subType = isWordBreaker(c) ? kNBFBasicTokenSubTypeWordBreaker
                                       : kNBFBasicTokenSubTypePlainWord;
        }
        if (subType != kNBFBasicTokenSubTypeWordBreaker) {
            for (; end < text.length(); ++end) {
                NBFChar next = text.at(end);
                if (isBasicWordChar(next)) {
                    if (isWordBreaker(next)) break;
                    continue;
                }
                // "e.g." stays one word; "a.5" and "a..b" end the word before the separator.
                NBFChar after = text.at(end + 1);
                bool separatorInWord = next == decimalSeparator && !isDigit(after) &&
                                       after != next && !isWordBreaker(next);
                if (!separatorInWord) break;
            }
        }
    }

    const NBFRange range = {static_cast<int32_t>(start), static_cast<int32_t>(end - start)};
    *token = BasicToken::create(expression, range, type, subType, m_locale);
    *position = static_cast<int32_t>(end);
    return true;
}

}  // namespace NBF

void NBFExpressionScannerInit() {
    std::call_once(s_defaultWordBreakersOnce, [] {
        s_defaultWordBreakers = {u':', u'@', u'^', u';', u'=', u'!', u'%', u'(', u')', u'"'};
    });
}

const std::set<NBFChar>& NBFExpressionScannerGetDefaultWordBreakers() {
    return s_defaultWordBreakers;
}

NBFExpressionScannerRef NBFExpressionScannerCreate() { return NBF::ExpressionScanner::create(); }

NBFExpressionScannerRef NBFExpressionScannerCreate(NBFLocale locale) {
    return NBF::ExpressionScanner::create(locale);
}

NBFExpressionScannerRef NBFExpressionScannerRetain(NBFExpressionScannerRef scanner) {
    return NBF::retain(scanner);
}

void NBFExpressionScannerRelease(NBFExpressionScannerRef scanner) { NBF::release(scanner); }

NBFBasicTokenVector NBFExpressionScannerScanExpression(NBFExpressionScannerRef scanner,
                                                       NBFExpressionRef expression) {
    if (!scanner || !expression) return {};
    return scanner->scan(expression);
}

NBFArrayRef NBFExpressionScannerGetBasicTokensForExpression(NBFExpressionScannerRef scanner,
                                                            NBFExpressionRef expression) {
    NBFArrayRef array = NBFArrayCreate();
    for (NBFBasicTokenRef token : NBFExpressionScannerScanExpression(scanner, expression))
        NBFArrayAddItem(array, token);
    return array;
}
