// The document commands' rules that need no toolkit: which lines are comments and how
// commenting changes them, and the titles of the items whose wording follows the selection.
#ifndef NUMBERA_APP_RULES_NB_DOCUMENT_COMMAND_RULES_H
#define NUMBERA_APP_RULES_NB_DOCUMENT_COMMAND_RULES_H

#include <cstdint>
#include <string>
#include <vector>

// A line's text with its line end and its reference tokens as they stand: a comment when it has
// at least two characters and begins with "//".
bool isCommentLineText(const std::u16string& text);

// One change commenting makes at the start of a line: the first two characters go, or "//" is
// put in front.
struct NBCommentEdit {
    uint64_t line = 0;
    bool uncomment = false;
    bool operator==(const NBCommentEdit&) const = default;
};

// For the selected lines (index, text with line end), in their order: a selection of comment
// lines only loses the markers; any other selection is commented line by line, leaving its
// comment lines as they are.
std::vector<NBCommentEdit> commentEditsForLines(
    const std::vector<std::pair<uint64_t, std::u16string>>& lines);

// "Several lines": two or more key lines and an item tag below 1.
inline bool isSeveralLines(uint64_t keyLineCount, int tag) { return keyLineCount >= 2 && tag < 1; }

// "Uncomment Line(s)" when the selection holds comment lines only, else "Comment Line(s)".
std::u16string commentLineTitle(bool commentsOnly, bool severalLines);
// The copy items' titles ("copyResult:", "copyUnformattedResult:", "copyExpressionAndResult:");
// any other command answers an empty title.
std::u16string copyCommandTitle(const std::string& command, bool severalLines);

#endif
