// The kinds of tokens: basic tokens as the scanner classifies characters, and expression
// tokens as the tokenizer and the analyser give them meaning. The numbers are shared with the
// calculation core and must not change.
#ifndef NUMBERA_FOUNDATION_NBF_TOKEN_TYPES_H
#define NUMBERA_FOUNDATION_NBF_TOKEN_TYPES_H

#include <cstdint>

#include "NBFString.h"

// Decimal separator in the low half, thousands separator in the high half.
typedef uint32_t NBFLocale;
constexpr NBFLocale NBFLocaleMake(NBFChar decimalSeparator, NBFChar thousandsSeparator) {
    return static_cast<NBFLocale>(decimalSeparator) |
           (static_cast<NBFLocale>(thousandsSeparator) << 16);
}
constexpr NBFChar NBFLocaleGetDecimalSeparator(NBFLocale locale) {
    return static_cast<NBFChar>(locale & 0xFFFF);
}
constexpr NBFChar NBFLocaleGetThousandsSeparator(NBFLocale locale) {
    return static_cast<NBFChar>(locale >> 16);
}
// "." and ",".
constexpr NBFLocale kNBFLocaleDefault = NBFLocaleMake(u'.', u',');

typedef int32_t NBFBasicTokenType;
enum : NBFBasicTokenType {
    kNBFBasicTokenTypeNumber = 1,
    kNBFBasicTokenTypeWord = 2,
    kNBFBasicTokenTypeOperator = 3,
    kNBFBasicTokenTypeWhitespace = 4,
    kNBFBasicTokenTypeMarker = 5,
    kNBFBasicTokenTypeBracket = 6,
    kNBFBasicTokenTypeEqualsOrComment = 7,
};

typedef int32_t NBFBasicTokenSubType;
enum : NBFBasicTokenSubType {
    kNBFBasicTokenSubTypeNone = 0,
    kNBFBasicTokenSubTypeDecimalNumber = 1,
    kNBFBasicTokenSubTypePrefixedNumber = 2,  // "0x", "0b"
    kNBFBasicTokenSubTypePlus = 3,
    kNBFBasicTokenSubTypeMinus = 4,
    kNBFBasicTokenSubTypeMultiply = 5,
    kNBFBasicTokenSubTypeDivide = 6,
    kNBFBasicTokenSubTypeLeftBracket = 7,
    kNBFBasicTokenSubTypeRightBracket = 8,
    kNBFBasicTokenSubTypeWhitespace = 9,
    kNBFBasicTokenSubTypeMarker22 = 11,  // code unit 22
    kNBFBasicTokenSubTypeMarker23 = 12,  // code unit 23
    kNBFBasicTokenSubTypePlainWord = 13,
    kNBFBasicTokenSubTypeWordBreaker = 15,  // one word-breaker character
    kNBFBasicTokenSubTypeEWord = 16,        // a word beginning with "e"
    kNBFBasicTokenSubTypeCommentMarker = 17,
    kNBFBasicTokenSubTypeEquals = 18,
};

// Expression token types.
typedef int32_t token_type;
enum : token_type {
    kNBFTokenTypeNone = 0,
    kNBFTokenTypeOperator = 1,
    kNBFTokenTypeVariable = 2,
    kNBFTokenTypeNumber = 3,
    kNBFTokenTypeFunction = 6,
    kNBFTokenTypeStatementSeparator = 7,
    kNBFTokenTypeWord = 8,  // text that takes no part in the calculation
    kNBFTokenTypeWhitespace = 10,
    kNBFTokenTypeUnit = 11,
    kNBFTokenTypeEquals = 13,
    kNBFTokenTypeBracket = 14,
    kNBFTokenTypeComment = 15,
    kNBFTokenTypeGroup = 17,
    kNBFTokenTypeMarker = 18,
    kNBFTokenTypeCommentMarker = 19,
};

typedef int32_t NBFTokenSubType;
enum : NBFTokenSubType {
    kNBFTokenSubTypeNone = 0,  // also the root of an analysis tree (type group)
    kNBFTokenSubTypeLeftBracket = 1,
    kNBFTokenSubTypeRightBracket = 2,
    kNBFTokenSubTypeAtComment = 3,
    kNBFTokenSubTypeLabel = 4,
    kNBFTokenSubTypeQuotedText = 5,
    kNBFTokenSubTypeCommentedOutLine = 6,
    kNBFTokenSubTypeLineComment = 7,  // "//"
    kNBFTokenSubTypeDecimalNumber = 8,
    kNBFTokenSubTypePrefixedNumber = 9,  // hexadecimal or binary
    kNBFTokenSubTypePlus = 10,
    kNBFTokenSubTypeMinus = 11,
    kNBFTokenSubTypeMultiply = 12,
    kNBFTokenSubTypeDivide = 13,
    kNBFTokenSubTypePower = 14,
    kNBFTokenSubTypeExponent = 15,  // "e"
    kNBFTokenSubTypeFactorial = 16,
    kNBFTokenSubTypeUnaryPlus = 17,
    kNBFTokenSubTypeUnaryMinus = 18,
    kNBFTokenSubTypeUnitConversion = 19,  // "__uc"
    kNBFTokenSubTypeModulo = 20,          // "__mod"
    kNBFTokenSubTypeWordOperator = 21,
    kNBFTokenSubTypePercent = 22,
    kNBFTokenSubTypeHighPriorityDivide = 23,
    kNBFTokenSubTypeHighPriorityMultiply = 24,
    kNBFTokenSubTypeHighPriorityUnitConversion = 25,
    kNBFTokenSubTypePrefixUnit = 26,  // written before its number
    kNBFTokenSubTypeUnitAfterValue = 27,
    kNBFTokenSubTypeStandaloneUnit = 28,
    kNBFTokenSubTypeWhitespace = 29,
    kNBFTokenSubTypeMarker22 = 31,
    kNBFTokenSubTypeMarker23 = 32,
    kNBFTokenSubTypeCommentMarker = 33,
    kNBFTokenSubTypeWordBreaker = 34,
    kNBFTokenSubTypeBracketGroup = 35,
};

// Variables, numbers and groups stand for values.
bool NBFTokenTypeIsNumeric(token_type type);

// The expression token kind of a basic token kind. Writes nothing when an out pointer is null
// or the basic type is outside 1 to 7; leaves the subtype as it was where the basic subtype
// has no expression subtype.
void NBFBasicTokenTypesToTokenTypes(NBFBasicTokenType basicType, NBFBasicTokenSubType basicSubType,
                                    token_type* type, NBFTokenSubType* subType);

#endif
