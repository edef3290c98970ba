// Small operations the kit, the document window and the previewer share: the answer column's
// error texts, range and line-reference arithmetic, the two number-separator locales, the
// application's data folder and the identity written into its data files.
#ifndef NUMBERA_KIT_NK_FUNCTIONS_H
#define NUMBERA_KIT_NK_FUNCTIONS_H

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "NCResultTypes.h"
#include "NCSimpleLocale.h"
#include "NSRange.h"

// "∞", one object for the process.
const std::u16string& errorSymbol();
// The localised message of a failed evaluation; the error symbol for a type without one.
std::u16string errorStringForNCResultErrorType(NCResultErrorType errorType);

// The line separator of the calculation text.
const std::u16string& NKNewLineString();

// Whether the number cut toward zero is odd or even. Not-a-number, infinities and values
// beyond the 64-bit integers are neither.
bool isOdd(double number);
bool isEven(double number);

// The first available locale (ICU's order) whose currency is the code; none when none is.
std::optional<std::string> localeForCurrencyCode(const std::u16string& currencyCode);

// The inner range starts at or after the outer one and ends at or before its end.
bool NKRangeContainsRange(NSRange outer, NSRange inner);
// The range ends within the string.
bool validRangeInString(NSRange range, const std::u16string& string);

int64_t actualReferencedLineForRelativeToken(int64_t lineIndex, int64_t offset);
int64_t offsetRequiredToPointToReferenceLine(int64_t lineIndex, int64_t referencedLineIndex);

// Number-separator locales: the decimal point in the low 16 bits, the thousands separator in
// the high 16 bits of the value.
using NKLocale = NCSimpleLocale;
bool NKLocalesEqual(NKLocale a, NKLocale b);
NKLocale standardLocale();  // 0x2C002E: "," groups, "." is the decimal point
NKLocale europeanLocale();  // 0x2E002C

// Who wrote a data file: "CreatorVersion", "CreatorID", "CreatorBuild". Values come from the
// application's identity; one that is not set is left out.
struct NKApplicationIdentity {
    std::optional<std::u16string> shortVersionString;  // "CFBundleShortVersionString"
    std::optional<std::u16string> identifier;          // "CFBundleIdentifier"
    std::optional<std::u16string> version;             // "CFBundleVersion"
};
void NKSetApplicationIdentity(NKApplicationIdentity identity);
NKApplicationIdentity NKGetApplicationIdentity();
std::map<std::u16string, std::u16string> NKApplicationInfoDictionary();

// The application's own data folder, "Numbera" inside the user's data folder
// ($XDG_DATA_HOME, else ~/.local/share, else the temporary folder), created when missing.
// A folder that cannot be written or made is an error, never the end of the process: the
// caller runs without persistence. `errorMessage` (may be null) receives the reason.
std::optional<std::string> NKApplicationSupportDirectory(std::string* errorMessage = nullptr);
// The same inside a given parent folder.
std::optional<std::string> NKApplicationSupportDirectoryInFolder(const std::string& parent,
                                                                 std::string* errorMessage);

// There is no cloud document storage on this platform.
bool iCloudStorageEnabled();

#endif
