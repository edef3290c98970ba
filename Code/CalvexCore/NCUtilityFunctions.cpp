#include "NCUtilityFunctions.h"

#include <charconv>

#include "NBFErrorLog.h"

#define NC_LOG_UNEXPECTED(...)                                                                     \
    OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCUtilityFunctions", __LINE__, \
                        __VA_ARGS__)

std::string NCNSStringToCStringUTF8(const std::u16string& string) { return NBFUTF16ToUTF8(string); }

std::optional<std::u16string> NCNSStringFromCStringUTF8(const char* text) {
    if (!text) return std::nullopt;
    return NBFUTF8ToUTF16(text);
}

const std::u16string* NCNSStringFromNBFStringReference(NBFStringRef string) {
    return string ? &string->units() : nullptr;
}

NBF::Ref<NBF::String> NCNBFStringFromNSStringReference(const std::u16string& string) {
    return NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF16(string));
}

std::optional<std::u16string> NCNSStringCreateFromNBFString(NBFStringRef string) {
    if (!string) return std::nullopt;
    return string->units();
}

NBFStringRef NCNBFStringCreateFromNSString(const std::u16string& string) {
    return NBFStringCreateWithUTF16(string);
}

NSRange NCNSRangeFromNBFRange(NBFRange range) {
    NSRange converted;
    converted.location = range.location < 0 || range.location == NBFRangeLocationInvalid
                             ? NSNotFound
                             : static_cast<uint64_t>(range.location);
    converted.length = range.length == NBFRangeLengthMax ? NSNotFound
                       : range.length < 0                ? 0
                                                         : static_cast<uint64_t>(range.length);
    return converted;
}

NBFRange NCNSRangeToNBFRange(NSRange range) {
    auto capped = [](uint64_t value) {
        return static_cast<int32_t>(std::min<uint64_t>(value, NBFRangeLengthMax));
    };
    return {capped(range.location), capped(range.length)};
}

NBFTrigonometryMode NCTrigonometryModeToNBFTrigonometryMode(NCTrigonometryMode mode) {
    if (mode == NCTrigonometryModeDegrees) return NBFTrigonometryModeDegrees;
    if (mode == NCTrigonometryModeRadians) return NBFTrigonometryModeRadians;
    return 0;
}

NCTrigonometryMode NCTrigonometryModeFromNBFTrigonometryMode(NBFTrigonometryMode mode) {
    return mode == NBFTrigonometryModeRadians ? NCTrigonometryModeRadians
                                              : NCTrigonometryModeDegrees;
}

bool NCUnitTypeHasNBFUnitType(NCUnitType type) { return type < NBFUnitTypeCount; }

NBFUnitType NCUnitTypeToNBFUnitType(NCUnitType type) {
    if (NCUnitTypeHasNBFUnitType(type)) return static_cast<NBFUnitType>(type);
    NC_LOG_UNEXPECTED("Unexpected unit type %llu", static_cast<unsigned long long>(type));
    return NBFUnitTypeNone;
}

NCUnitType NCUnitTypeFromNBFUnitType(NBFUnitType type) {
    if (type >= 0 && type < NBFUnitTypeCount) return static_cast<NCUnitType>(type);
    NC_LOG_UNEXPECTED("Unexpected unit type %d", type);
    return NCUnitTypeNone;
}

NCUnitNameFormat NCUnitNameFormatFromNBFUnitFormatType(NBFUnitFormatType type) {
    if (type >= 0 && type < 4) return type;
    NC_LOG_UNEXPECTED("Unexpected type '%d'", type);
    return NCUnitNameFormatName;
}

NBFUnitFormatType NCUnitNameFormatToNBFUnitFormatType(NCUnitNameFormat format) {
    if (format >= 0 && format < 5) return static_cast<NBFUnitFormatType>(format);
    NC_LOG_UNEXPECTED("Unexpected type '%d'", static_cast<int>(format));
    return NBFUnitFormatTypeNone;
}

NBFUnitNameType NCUnitNameTypeToNBFUnitNameType(NCUnitNameType type) {
    if (type >= 1 && type <= 4) return static_cast<NBFUnitNameType>(type);
    NC_LOG_UNEXPECTED("Unexpected name type %d", static_cast<int>(type));
    return NBFUnitNameTypeNone;
}

NCUnitNameType NBFUnitNameTypeToNCUnitNameType(NBFUnitNameType type) {
    if (type >= 1 && type <= 4) return type;
    NC_LOG_UNEXPECTED("Unexpected name type %d", type);
    return 0;
}

NCExpressionTokenType NCExpressionTokenTypeFromNBFTokenType(token_type type) {
    static const NCExpressionTokenType table[24] = {
        9, 2, 7, 1, 9, 9, 6, 9, 4, 9, 3, 5, 15, 8, 11, 12, 9, 9, 9, 4, 18, 9, 16, 17,
    };
    return type >= 1 && type <= 23 ? table[type] : NCExpressionTokenTypeOther;
}

token_type NCExpressionTokenTypeToNBFTokenType(NCExpressionTokenType type) {
    // clang-format off
    switch (type) {
        case 1: return 3;
        case 2: return 1;
        case 3: return 10;
        case 5: return 11;
        case 6: return 6;
        case 7: return 2;
        case 11: return 14;
        case 12: return 15;
        case 15: return 12;
        case 16: return 22;
        case 17: return 23;
        case 18: return 20;
        default: return kNBFTokenTypeNone;
    }
    // clang-format on
}

NCExpressionTokenSubType NCExpressionTokenSubTypeFromNBFTokenSubType(NBFTokenSubType subType) {
    static const NCExpressionTokenSubType table[29] = {
        0,  1,  2,  3,  4,  5, 6,  7,  10, 11, 12, 13, 16, 17, 21,
        22, 23, 14, 15, 24, 0, 25, 20, 17, 16, 0,  28, 29, 30,
    };
    return subType >= 1 && subType <= 28 ? table[subType] : NCExpressionTokenSubTypeNone;
}

uint32_t NCResultFlagsToNBFResultFlags(NCResultFlags flags) { return flags & 1u; }
NCResultFlags NCResultFlagsFromNBFResultFlags(uint32_t flags) { return flags & 1u; }

NBFEvaluationError NCResultErrorTypeToNBFEvaluationError(NCResultErrorType type) {
    switch (type) {
        case NCResultErrorTypeNone:
            return NBFEvaluationErrorNone;
        case NCResultErrorTypeExponentTooLarge:
            return NBFEvaluationErrorExponentTooLarge;
        case NCResultErrorTypeDivideByZero:
            return NBFEvaluationErrorDivisionByZero;
        case NCResultErrorTypeIncompatibleUnits:
            return NBFEvaluationErrorUnitMismatch;
        default:
            return NBFEvaluationErrorMissingOperand;
    }
}

NCResultErrorType NCResultErrorTypeFromNBFEvaluationError(NBFEvaluationError error) {
    // Index: the evaluation error 0 to 11.
    static const NCResultErrorType table[12] = {0, 4, 4, 1, 4, 3, 4, 4, 4, 2, 4, 4};
    if (error >= 0 && error < 12) return table[error];
    OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCResult", __LINE__,
                        "Unexpected error type %d", error);
    return NCResultErrorTypeGeneral;
}

std::u16string NCLineReferenceIdentifier(int64_t lineIndex, int64_t offset) {
    char buffer[48];
    char* end = std::to_chars(buffer, buffer + 24, lineIndex).ptr;
    if (offset >= 0) *end++ = '+';
    end = std::to_chars(end, buffer + sizeof buffer, offset).ptr;
    return NBFUTF8ToUTF16(std::string(buffer, end));
}

int64_t NCLineReferenceIndex(NCLineReferenceType kind, int64_t number, int64_t lineIndex) {
    switch (kind) {
        case NCLineReferenceTypeRelative:
        case NCLineReferenceTypeFixedRelative:
            return lineIndex + number;
        case NCLineReferenceTypeByLineNumber:
            return number - 1;
        case NCLineReferenceTypeNull:
            return 0;
        default:
            return number;
    }
}

uint32_t NCCurrentMacOSVersion() { return 0x1080; }
