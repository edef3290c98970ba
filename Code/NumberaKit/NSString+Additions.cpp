#include "NSString+Additions.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace NSStringAdditions {

bool orderedSame(const std::u16string& string, const std::u16string& other) {
    return string == other;
}

namespace {
bool isDigit(char16_t character) { return character >= u'0' && character <= u'9'; }
}  // namespace

int compareNumerically(const std::u16string& string, const std::u16string& other) {
    size_t i = 0, j = 0;
    while (i < string.size() && j < other.size()) {
        if (isDigit(string[i]) && isDigit(other[j])) {
            size_t iEnd = i, jEnd = j;
            while (iEnd < string.size() && isDigit(string[iEnd])) ++iEnd;
            while (jEnd < other.size() && isDigit(other[jEnd])) ++jEnd;
            // Compare values: skip leading zeros, then length, then digits.
            size_t iStart = i, jStart = j;
            while (iStart + 1 < iEnd && string[iStart] == u'0') ++iStart;
            while (jStart + 1 < jEnd && other[jStart] == u'0') ++jStart;
            if (iEnd - iStart != jEnd - jStart) return iEnd - iStart < jEnd - jStart ? -1 : 1;
            for (size_t k = 0; k < iEnd - iStart; ++k)
                if (string[iStart + k] != other[jStart + k])
                    return string[iStart + k] < other[jStart + k] ? -1 : 1;
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (string[i] != other[j]) return string[i] < other[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i == string.size() && j == other.size()) return 0;
    return i == string.size() ? -1 : 1;
}

bool containsString(const std::u16string& string, const std::optional<std::u16string>& other) {
    if (!other || string.empty()) return false;
    return string.find(*other) != std::u16string::npos;
}

bool isNumber(const std::u16string& string) { return string.size() == 1 && isDigit(string[0]); }

bool isNewLineCharacter(const std::u16string& string) { return string == u"\n"; }

bool hasNewLine(const std::u16string& string) { return string.find(u'\n') != std::u16string::npos; }

namespace {
// The length of the first or last whole character (a surrogate pair counts as one).
size_t firstCharacterLength(const std::u16string& string) {
    return string.size() >= 2 && U16_IS_LEAD(string[0]) && U16_IS_TRAIL(string[1]) ? 2 : 1;
}
size_t lastCharacterLength(const std::u16string& string) {
    size_t n = string.size();
    return n >= 2 && U16_IS_TRAIL(string[n - 1]) && U16_IS_LEAD(string[n - 2]) ? 2 : 1;
}
}  // namespace

std::u16string firstCharacter(const std::u16string& string) {
    if (string.empty()) return u"";
    return string.substr(0, firstCharacterLength(string));
}

std::u16string lastCharacter(const std::u16string& string) {
    if (string.empty()) return u"";
    size_t length = lastCharacterLength(string);
    return string.substr(string.size() - length);
}

std::u16string uncapitalizedString(const std::u16string& string) {
    if (string.empty()) return string;
    size_t length = firstCharacterLength(string);
    UChar32 character = length == 2 ? U16_GET_SUPPLEMENTARY(string[0], string[1]) : string[0];
    UChar32 lower = u_tolower(character);
    std::u16string result;
    if (U_IS_BMP(lower)) {
        result += static_cast<char16_t>(lower);
    } else {
        result += static_cast<char16_t>(U16_LEAD(lower));
        result += static_cast<char16_t>(U16_TRAIL(lower));
    }
    return result + string.substr(length);
}

void replaceString(std::u16string& string, const std::u16string& target,
                   const std::u16string& replacement) {
    if (target.empty()) return;
    size_t position = 0;
    while ((position = string.find(target, position)) != std::u16string::npos) {
        string.replace(position, target.size(), replacement);
        position += replacement.size();
    }
}

}  // namespace NSStringAdditions
