// Operations on 8-bit (UTF-8) standard strings used by the tokenizer and the word-operator
// compiler.
#ifndef NUMBERA_FOUNDATION_NBF_STRING_UTILITIES_H
#define NUMBERA_FOUNDATION_NBF_STRING_UTILITIES_H

#include <string>
#include <vector>

#include "NBFString.h"

namespace NBF {

// The non-empty pieces between separators, in order.
std::vector<std::string> stringSplit(const std::string& text, char separator);

// Replaces every occurrence from left to right; the search resumes after each replacement, so
// a replacement is never searched again. An empty search string changes nothing.
void stringReplaceAll(std::string& text, const std::string& search, const std::string& replacement);
void stringReplaceAll(std::string& text, NBFChar character, char replacement);
void stringReplaceAll(std::string& text, NBFChar character, const std::string& replacement);

}  // namespace NBF

#endif
