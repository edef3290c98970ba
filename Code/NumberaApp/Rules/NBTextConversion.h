// UTF-8 and UTF-16 conversion for the rules; malformed input never throws: invalid sequences
// become U+FFFD.
#ifndef NUMBERA_APP_RULES_NB_TEXT_CONVERSION_H
#define NUMBERA_APP_RULES_NB_TEXT_CONVERSION_H

#include <string>

std::u16string NBUtf16(const std::string& utf8);
std::string NBUtf8(const std::u16string& utf16);

#endif
