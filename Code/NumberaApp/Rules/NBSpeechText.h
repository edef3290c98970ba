// What "Speak Selected Lines" says: each line's text, its operator symbols spoken as words,
// followed by " is " and its answer, the lines joined as sentences.
#ifndef NUMBERA_APP_RULES_NB_SPEECH_TEXT_H
#define NUMBERA_APP_RULES_NB_SPEECH_TEXT_H

#include <cstdint>
#include <string>
#include <vector>

struct NBSpokenLine {
    uint64_t index = 0;
    std::u16string text;    // without the line end, tokens as text
    std::u16string answer;  // formatted; empty without one
};

// An operator word: each of its symbols is spoken as the speech text.
struct NBSpeechWord {
    std::vector<std::u16string> symbols;
    std::u16string speech;
};

// Each symbol of an operator word becomes its speech, the longest symbol first; a symbol
// spelled with letters only where it is a word of its own. `is` is the localised word between
// a line and its answer, spaces included (" is ").
std::u16string speechStringForLines(const std::vector<NBSpokenLine>& lines,
                                    const std::vector<NBSpeechWord>& operatorWords,
                                    const std::u16string& is);

#endif
