// Conversions between the document core's types and the foundation's: strings, ranges,
// trigonometry modes, unit types and names, token kinds, result flags, locales and line
// references. Pure functions, safe on any thread. Unexpected enumeration values are logged as
// "Error!" reports and give the table's fallback.
#ifndef NUMBERA_CORE_NC_UTILITY_FUNCTIONS_H
#define NUMBERA_CORE_NC_UTILITY_FUNCTIONS_H

#include <cstdint>
#include <optional>
#include <string>

#include "NBFEvaluationContext.h"
#include "NBFEvaluationError.h"
#include "NBFRange.h"
#include "NBFString.h"
#include "NBFTokenTypes.h"
#include "NBFUnitType.h"
#include "NCExpressionTokenType.h"
#include "NCLineReferenceType.h"
#include "NCResultTypes.h"
#include "NCSimpleLocale.h"
#include "NCTrigonometryMode.h"
#include "NCUnitNameFormat.h"
#include "NCUnitType.h"
#include "NSRange.h"

// Strings. Null C text gives no string.
std::string NCNSStringToCStringUTF8(const std::u16string& string);
std::optional<std::u16string> NCNSStringFromCStringUTF8(const char* text);
// The foundation string's own characters, borrowed (null for a null string).
const std::u16string* NCNSStringFromNBFStringReference(NBFStringRef string);
// A foundation string holding the characters; the reference releases it.
NBF::Ref<NBF::String> NCNBFStringFromNSStringReference(const std::u16string& string);
// Copies: no string for a null foundation string; a new foundation string the caller releases.
std::optional<std::u16string> NCNSStringCreateFromNBFString(NBFStringRef string);
NBFStringRef NCNBFStringCreateFromNSString(const std::u16string& string);
inline NBFChar NCNBFCharFromUniChar(char16_t character) { return character; }
inline char16_t NCNBFCharToUniChar(NBFChar character) { return character; }

// An open foundation length (NBFRangeLengthMax) becomes NSNotFound and back; the invalid
// foundation location and NSNotFound correspond the same way. Other values are kept, capped
// at the foundation's maximum.
NSRange NCNSRangeFromNBFRange(NBFRange range);
NBFRange NCNSRangeToNBFRange(NSRange range);

NBFTrigonometryMode NCTrigonometryModeToNBFTrigonometryMode(NCTrigonometryMode mode);
NCTrigonometryMode NCTrigonometryModeFromNBFTrigonometryMode(NBFTrigonometryMode mode);

// Every foundation type 0 to 20 is the same number in both directions; a core type with no
// foundation type (fuel consumption) is logged and gives 0.
NBFUnitType NCUnitTypeToNBFUnitType(NCUnitType type);
NCUnitType NCUnitTypeFromNBFUnitType(NBFUnitType type);
// Whether the core type has a foundation type of its own.
bool NCUnitTypeHasNBFUnitType(NCUnitType type);
NCUnitNameFormat NCUnitNameFormatFromNBFUnitFormatType(NBFUnitFormatType type);
NBFUnitFormatType NCUnitNameFormatToNBFUnitFormatType(NCUnitNameFormat format);
NBFUnitNameType NCUnitNameTypeToNBFUnitNameType(NCUnitNameType type);
NCUnitNameType NBFUnitNameTypeToNCUnitNameType(NBFUnitNameType type);

NCExpressionTokenType NCExpressionTokenTypeFromNBFTokenType(token_type type);
token_type NCExpressionTokenTypeToNBFTokenType(NCExpressionTokenType type);
NCExpressionTokenSubType NCExpressionTokenSubTypeFromNBFTokenSubType(NBFTokenSubType subType);

uint32_t NCResultFlagsToNBFResultFlags(NCResultFlags flags);
NCResultFlags NCResultFlagsFromNBFResultFlags(uint32_t flags);
// A failure handed on (a variable or a line that failed, read by another line) as the
// evaluation error that answers the same error type: the general error becomes a missing
// operand; none stays none. Back: the error type an evaluation error answers.
NBFEvaluationError NCResultErrorTypeToNBFEvaluationError(NCResultErrorType type);
NCResultErrorType NCResultErrorTypeFromNBFEvaluationError(NBFEvaluationError error);

// "%d%+d": index 4 and offset -1 give "4-1".
std::u16string NCLineReferenceIdentifier(int64_t lineIndex, int64_t offset);
// The index of the line a reference of the kind and number names from the line at lineIndex:
// relative kinds add the number, by-line-number subtracts one, null gives 0, absolute (and
// any other kind) is the number itself.
int64_t NCLineReferenceIndex(NCLineReferenceType kind, int64_t number, int64_t lineIndex);

inline NBFLocale NCNBFLocaleFromNCSimpleLocale(NCSimpleLocale locale) { return locale.value(); }

// Version tests always take the newest branch.
uint32_t NCCurrentMacOSVersion();

#endif
