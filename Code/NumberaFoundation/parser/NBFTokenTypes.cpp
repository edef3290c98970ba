#include "NBFTokenTypes.h"

bool NBFTokenTypeIsNumeric(token_type type) {
    return type == kNBFTokenTypeVariable || type == kNBFTokenTypeNumber ||
           type == kNBFTokenTypeGroup;
}

void NBFBasicTokenTypesToTokenTypes(NBFBasicTokenType basicType, NBFBasicTokenSubType basicSubType,
                                    token_type* type, NBFTokenSubType* subType) {
    if (!type || !subType) return;
    switch (basicType) {
        case kNBFBasicTokenTypeNumber:
            *type = kNBFTokenTypeNumber;
            *subType = basicSubType == kNBFBasicTokenSubTypePrefixedNumber
                           ? kNBFTokenSubTypePrefixedNumber
                           : kNBFTokenSubTypeDecimalNumber;
            break;
        case kNBFBasicTokenTypeWord:
            *type = kNBFTokenTypeWord;
            if (basicSubType == kNBFBasicTokenSubTypeWordBreaker)
                *subType = kNBFTokenSubTypeWordBreaker;
            break;
        case kNBFBasicTokenTypeOperator:
            *type = kNBFTokenTypeOperator;
            switch (basicSubType) {
                case kNBFBasicTokenSubTypePlus:
                    *subType = kNBFTokenSubTypePlus;
                    break;
                case kNBFBasicTokenSubTypeMinus:
                    *subType = kNBFTokenSubTypeMinus;
                    break;
                case kNBFBasicTokenSubTypeMultiply:
                    *subType = kNBFTokenSubTypeMultiply;
                    break;
                case kNBFBasicTokenSubTypeDivide:
                    *subType = kNBFTokenSubTypeDivide;
                    break;
                default:
                    break;
            }
            break;
        case kNBFBasicTokenTypeWhitespace:
            *type = kNBFTokenTypeWhitespace;
            *subType = kNBFTokenSubTypeWhitespace;
            break;
        case kNBFBasicTokenTypeMarker:
            *type = kNBFTokenTypeMarker;
            *subType = basicSubType == kNBFBasicTokenSubTypeMarker22 ? kNBFTokenSubTypeMarker22
                                                                     : kNBFTokenSubTypeMarker23;
            break;
        case kNBFBasicTokenTypeBracket:
            *type = kNBFTokenTypeBracket;
            if (basicSubType == kNBFBasicTokenSubTypeRightBracket) {
                *subType = kNBFTokenSubTypeRightBracket;
            } else if (basicSubType == kNBFBasicTokenSubTypeLeftBracket) {
                *subType = kNBFTokenSubTypeLeftBracket;
            }
            break;
        case kNBFBasicTokenTypeEqualsOrComment:
            if (basicSubType == kNBFBasicTokenSubTypeEquals) {
                *type = kNBFTokenTypeEquals;
                *subType = kNBFTokenSubTypeNone;
            } else if (basicSubType == kNBFBasicTokenSubTypeCommentMarker) {
                *type = kNBFTokenTypeCommentMarker;
                *subType = kNBFTokenSubTypeCommentMarker;
            }
            break;
        default:
            break;
    }
}
