#include "NBSpeechText.h"

namespace {

void replaceAll(std::u16string& text, const std::u16string& symbol, const std::u16string& with) {
    if (symbol.empty()) return;
    for (size_t at = text.find(symbol); at != std::u16string::npos;
         at = text.find(symbol, at + with.size()))
        text.replace(at, symbol.size(), with);
}

}  // namespace

std::u16string speechStringForLines(const std::vector<NBSpokenLine>& lines,
                                    const std::vector<NBSpeechWord>& operatorWords,
                                    const std::u16string& is) {
    std::u16string spoken;
    for (const NBSpokenLine& line : lines) {
        std::u16string text = line.text;
        for (const NBSpeechWord& word : operatorWords)
            for (const std::u16string& symbol : word.symbols)
                replaceAll(text, symbol, u" " + word.speech + u" ");
        // A sentence break before every line after the first that has text.
        if (line.index != 0 && !line.text.empty()) spoken += u". ";
        spoken += text;
        if (!line.answer.empty()) spoken += is + line.answer;
    }
    return spoken;
}
