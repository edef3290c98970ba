// Conveniences over UTF-16 text: line breaks, digits, comparisons, first and last characters.
#ifndef NUMBERA_KIT_NSSTRING_ADDITIONS_H
#define NUMBERA_KIT_NSSTRING_ADDITIONS_H

#include <optional>
#include <string>

namespace NSStringAdditions {

bool orderedSame(const std::u16string& string, const std::u16string& other);
// Runs of digits compare by their value ("a9" before "a10"): -1, 0 or 1.
int compareNumerically(const std::u16string& string, const std::u16string& other);
// False for no argument or an empty receiver.
bool containsString(const std::u16string& string, const std::optional<std::u16string>& other);
// Exactly one of "0" to "9".
bool isNumber(const std::u16string& string);
bool isNewLineCharacter(const std::u16string& string);
bool hasNewLine(const std::u16string& string);
// Empty for an empty string.
std::u16string firstCharacter(const std::u16string& string);
std::u16string lastCharacter(const std::u16string& string);
// The first character in lower case; the rest unchanged.
std::u16string uncapitalizedString(const std::u16string& string);
// Every occurrence, literally; an empty target replaces nothing.
void replaceString(std::u16string& string, const std::u16string& target,
                   const std::u16string& replacement);

}  // namespace NSStringAdditions

#endif
