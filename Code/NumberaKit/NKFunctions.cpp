#include "NKFunctions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include <unicode/ucurr.h>
#include <unicode/uloc.h>

#include "NBFErrorLog.h"
#include "NSFileManager+Additions.h"
#include "NSLocalizedString.h"

const std::u16string& errorSymbol() {
    static const std::u16string symbol = u"\u221E";
    return symbol;
}

std::u16string errorStringForNCResultErrorType(NCResultErrorType errorType) {
    switch (errorType) {
        case NCResultErrorTypeExponentTooLarge:
            return NSLocalizedString(u"Error: Exponent too large");
        case NCResultErrorTypeDivideByZero:
            return NSLocalizedString(u"Error: Divide by Zero");
        case NCResultErrorTypeIncompatibleUnits:
            return NSLocalizedString(u"Error: Incompatible Units");
        case NCResultErrorTypeGeneral:
            return NSLocalizedString(u"Error");
        default:
            return errorSymbol();
    }
}

const std::u16string& NKNewLineString() {
    static const std::u16string newLine = u"\n";
    return newLine;
}

namespace {
// The number cut toward zero, when it is a 64-bit integer at all.
std::optional<int64_t> truncatedInteger(double number) {
    if (!std::isfinite(number)) return std::nullopt;
    double cut = std::trunc(number);
    // 2^63 is exactly representable; everything below it in magnitude fits.
    if (cut >= 9223372036854775808.0 || cut < -9223372036854775808.0) return std::nullopt;
    return static_cast<int64_t>(cut);
}
}  // namespace

bool isOdd(double number) {
    std::optional<int64_t> integer = truncatedInteger(number);
    return integer && (*integer % 2) != 0;
}

bool isEven(double number) {
    std::optional<int64_t> integer = truncatedInteger(number);
    return integer && (*integer % 2) == 0;
}

std::optional<std::string> localeForCurrencyCode(const std::u16string& currencyCode) {
    if (currencyCode.empty()) return std::nullopt;
    int32_t count = uloc_countAvailable();
    for (int32_t i = 0; i < count; ++i) {
        const char* identifier = uloc_getAvailable(i);
        if (!identifier) continue;
        UChar buffer[8] = {};
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = ucurr_forLocale(identifier, buffer, 8, &status);
        if (U_FAILURE(status) || length <= 0 || length >= 8) continue;
        if (std::u16string(reinterpret_cast<const char16_t*>(buffer),
                           static_cast<size_t>(length)) == currencyCode)
            return std::string(identifier);
    }
    return std::nullopt;
}

bool NKRangeContainsRange(NSRange outer, NSRange inner) {
    return inner.location >= outer.location && NSMaxRange(inner) <= NSMaxRange(outer);
}

bool validRangeInString(NSRange range, const std::u16string& string) {
    return NSMaxRange(range) <= string.size();
}

int64_t actualReferencedLineForRelativeToken(int64_t lineIndex, int64_t offset) {
    return lineIndex + offset;
}

int64_t offsetRequiredToPointToReferenceLine(int64_t lineIndex, int64_t referencedLineIndex) {
    return referencedLineIndex - lineIndex;
}

bool NKLocalesEqual(NKLocale a, NKLocale b) { return a.value() == b.value(); }
NKLocale standardLocale() { return NKLocale::fromValue(0x2C002E); }
NKLocale europeanLocale() { return NKLocale::fromValue(0x2E002C); }

namespace {
std::mutex& identityMutex() {
    static std::mutex mutex;
    return mutex;
}
NKApplicationIdentity& identityStorage() {
    static NKApplicationIdentity identity;
    return identity;
}
}  // namespace

void NKSetApplicationIdentity(NKApplicationIdentity identity) {
    std::lock_guard<std::mutex> lock(identityMutex());
    identityStorage() = std::move(identity);
}

NKApplicationIdentity NKGetApplicationIdentity() {
    std::lock_guard<std::mutex> lock(identityMutex());
    return identityStorage();
}

std::map<std::u16string, std::u16string> NKApplicationInfoDictionary() {
    NKApplicationIdentity identity = NKGetApplicationIdentity();
    std::map<std::u16string, std::u16string> info;
    if (identity.shortVersionString) info[u"CreatorVersion"] = *identity.shortVersionString;
    if (identity.identifier) info[u"CreatorID"] = *identity.identifier;
    if (identity.version) info[u"CreatorBuild"] = *identity.version;
    return info;
}

namespace {
const char* const kSupportFunction = "NSString *NKApplicationSupportDirectory()";
const char* const kSupportFile = "Code/NumberaKit/NKFunctions";

bool fail(std::string* errorMessage, int line, const std::string& message) {
    OX_logErr_bigHeader(false, "Error!", kSupportFunction, kSupportFile, line, "%s",
                        message.c_str());
    if (errorMessage) *errorMessage = message;
    return false;
}

// mkdir -p; errno describes the first failure.
bool createFolderWithIntermediates(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 &&
        !createFolderWithIntermediates(path.substr(0, slash)))
        return false;
    if (mkdir(path.c_str(), 0755) == 0) return true;
    return errno == EEXIST && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
}  // namespace

std::optional<std::string> NKApplicationSupportDirectoryInFolder(const std::string& parent,
                                                                 std::string* errorMessage) {
    std::string path = parent;
    if (path.empty() || path.back() != '/') path += '/';
    path += "Numbera";

    struct stat info;
    bool exists = stat(path.c_str(), &info) == 0;
    if (!exists && NSFileManagerFileIsSymlinkAtPath(path)) unlink(path.c_str());

    if (exists) {
        if (!S_ISDIR(info.st_mode) || access(path.c_str(), W_OK) != 0) {
            std::string reason = !S_ISDIR(info.st_mode) ? "not a folder" : std::strerror(errno);
            fail(errorMessage, 174,
                 "Unable to write to application support directory at " + path + " : " + reason);
            return std::nullopt;
        }
        return path;
    }
    if (!createFolderWithIntermediates(path)) {
        std::string reason = std::strerror(errno);
        fail(errorMessage, 178,
             "Error creating application support directory at " + path + " : " + reason);
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> NKApplicationSupportDirectory(std::string* errorMessage) {
    std::string parent;
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome && dataHome[0] == '/') {
        parent = dataHome;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        parent = std::string(home) + "/.local/share";
    } else {
        const char* temporary = std::getenv("TMPDIR");
        parent = temporary && temporary[0] == '/' ? temporary : "/tmp";
    }
    return NKApplicationSupportDirectoryInFolder(parent, errorMessage);
}

bool iCloudStorageEnabled() { return false; }
