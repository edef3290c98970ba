#include "NBSpeechText.h"

namespace {

// Letters of words; symbols like "×" and "√" are no letters.
bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' ||
           (c >= 0xC0 && c <= 0x24F);
}

// Whether the symbol stands at the position as a word of its own: a symbol spelled with
// letters ("x", "in") is never part of a longer word ("max", "minus"), though a number may
// touch it ("2x3").
bool symbolAt(const std::u16string& text, size_t at, const std::u16string& symbol) {
    if (text.compare(at, symbol.size(), symbol) != 0) return false;
    const size_t end = at + symbol.size();
    const bool before = isLetter(symbol.front()) && at > 0 && isLetter(text[at - 1]);
    const bool after = isLetter(symbol.back()) && end < text.size() && isLetter(text[end]);
    return !before && !after;
}

// One pass from the left, the longest symbol at each place first, so that a spoken word is
// never read again as a symbol; then single spaces, none at the ends.
std::u16string spokenText(const std::u16string& text, const std::vector<NBSpeechWord>& words) {
    std::u16string out;
    for (size_t at = 0; at < text.size();) {
        const NBSpeechWord* best = nullptr;
        size_t bestLength = 0;
        for (const NBSpeechWord& word : words)
            for (const std::u16string& symbol : word.symbols)
                if (symbol.size() > bestLength && symbolAt(text, at, symbol)) {
                    best = &word;
                    bestLength = symbol.size();
                }
        if (best) {
            out += u" " + best->speech + u" ";
            at += bestLength;
        } else {
            out += text[at++];
        }
    }
    std::u16string single;
    for (char16_t c : out)
        if (c != u' ' || (!single.empty() && single.back() != u' ')) single += c;
    while (!single.empty() && single.back() == u' ') single.pop_back();
    return single;
}

}  // namespace

std::u16string speechStringForLines(const std::vector<NBSpokenLine>& lines,
                                    const std::vector<NBSpeechWord>& operatorWords,
                                    const std::u16string& is) {
    std::u16string spoken;
    for (const NBSpokenLine& line : lines) {
        const std::u16string text = spokenText(line.text, operatorWords);
        // A sentence break before every line after the first that has text.
        if (line.index != 0 && !line.text.empty()) spoken += u". ";
        spoken += text;
        if (!line.answer.empty()) spoken += is + line.answer;
    }
    return spoken;
}
