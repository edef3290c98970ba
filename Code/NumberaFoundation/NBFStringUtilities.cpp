#include "NBFStringUtilities.h"

#include <cstdlib>
#include <memory>

namespace {

std::string utf8OfChar(NBFChar character) {
    std::unique_ptr<char, decltype(&std::free)> bytes(NBFCharGetUTF8(character), &std::free);
    return std::string(bytes.get());
}

}  // namespace

namespace NBF {

std::vector<std::string> stringSplit(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

void stringReplaceAll(std::string& text, const std::string& search,
                      const std::string& replacement) {
    if (search.empty()) return;
    size_t position = 0;
    while ((position = text.find(search, position)) != std::string::npos) {
        text.replace(position, search.size(), replacement);
        position += replacement.size();
    }
}

void stringReplaceAll(std::string& text, NBFChar character, char replacement) {
    if (character <= 127) {
        for (char& byte : text)
            if (byte == static_cast<char>(character)) byte = replacement;
        return;
    }
    stringReplaceAll(text, utf8OfChar(character), std::string(1, replacement));
}

void stringReplaceAll(std::string& text, NBFChar character, const std::string& replacement) {
    std::string search =
        character <= 127 ? std::string(1, static_cast<char>(character)) : utf8OfChar(character);
    stringReplaceAll(text, search, replacement);
}

}  // namespace NBF
