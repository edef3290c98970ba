// The kinds of tokens of a line as the document core, syntax colouring, export and editing
// see them. The foundation's token kinds convert to these (NCUtilityFunctions.h).
#ifndef NUMBERA_CORE_NC_EXPRESSION_TOKEN_TYPE_H
#define NUMBERA_CORE_NC_EXPRESSION_TOKEN_TYPE_H

#include <cstdint>

typedef int32_t NCExpressionTokenType;
enum : NCExpressionTokenType {
    NCExpressionTokenTypeNone = 0,
    NCExpressionTokenTypeNumber = 1,
    NCExpressionTokenTypeOperator = 2,
    NCExpressionTokenTypeWhitespace = 3,
    NCExpressionTokenTypeWord = 4,
    NCExpressionTokenTypeUnit = 5,
    NCExpressionTokenTypeFunction = 6,
    NCExpressionTokenTypeVariable = 7,
    NCExpressionTokenTypeAssignment = 8,  // the "=" of a variable declaration
    NCExpressionTokenTypeOther = 9,
    NCExpressionTokenTypeLineReference = 10,
    NCExpressionTokenTypeBracket = 11,
    NCExpressionTokenTypeComment = 12,
    // Kinds the foundation defines but its scanner, tokenizer and analyser never make.
    NCExpressionTokenTypeFoundation12 = 15,
    NCExpressionTokenTypeFoundation22 = 16,
    NCExpressionTokenTypeFoundation23 = 17,
    NCExpressionTokenTypeFoundation20 = 18,
};

typedef int32_t NCExpressionTokenSubType;
enum : NCExpressionTokenSubType {
    NCExpressionTokenSubTypeNone = 0,
    NCExpressionTokenSubTypeLeftBracket = 1,
    NCExpressionTokenSubTypeRightBracket = 2,
    NCExpressionTokenSubTypeRightwardsTitle = 3,
    NCExpressionTokenSubTypeLeftwardsTitle = 4,
    NCExpressionTokenSubTypeInlineComment = 5,
    NCExpressionTokenSubTypeLeftwardsComment = 6,
    NCExpressionTokenSubTypeRightwardsComment = 7,
    NCExpressionTokenSubTypeLineReferenceByLineNumber = 8,
    NCExpressionTokenSubTypeLineReference = 9,  // every other kind of line reference
    NCExpressionTokenSubTypeDecimalNumber = 10,
    NCExpressionTokenSubTypePrefixedNumber = 11,
    NCExpressionTokenSubTypePlus = 12,
    NCExpressionTokenSubTypeMinus = 13,
    NCExpressionTokenSubTypeUnaryPlus = 14,
    NCExpressionTokenSubTypeUnaryMinus = 15,
    NCExpressionTokenSubTypeMultiply = 16,
    NCExpressionTokenSubTypeDivide = 17,
    NCExpressionTokenSubTypePercent = 20,
    NCExpressionTokenSubTypePower = 21,
    NCExpressionTokenSubTypeExponent = 22,
    NCExpressionTokenSubTypeFactorial = 23,
    NCExpressionTokenSubTypeUnitConversion = 24,
    NCExpressionTokenSubTypeWordOperator = 25,
    NCExpressionTokenSubTypeVariable = 26,
    NCExpressionTokenSubTypeDeclaredVariable = 27,  // the name of a variable declaration
    NCExpressionTokenSubTypePrefixUnit = 28,
    NCExpressionTokenSubTypeUnitAfterValue = 29,
    NCExpressionTokenSubTypeStandaloneUnit = 30,
};

#endif
