#include "NBDocumentCommandRules.h"

bool isCommentLineText(const std::u16string& text) {
    return text.size() >= 2 && text[0] == u'/' && text[1] == u'/';
}

std::vector<NBCommentEdit> commentEditsForLines(
    const std::vector<std::pair<uint64_t, std::u16string>>& lines) {
    bool comments = false, others = false;
    for (const auto& [index, text] : lines) (isCommentLineText(text) ? comments : others) = true;
    std::vector<NBCommentEdit> edits;
    for (const auto& [index, text] : lines) {
        if (!isCommentLineText(text))
            edits.push_back({index, false});
        else if (!others)
            edits.push_back({index, true});
        // A comment line in a mixed selection stays as it is.
    }
    return edits;
}

std::u16string commentLineTitle(bool commentsOnly, bool severalLines) {
    if (commentsOnly) return severalLines ? u"Uncomment Lines" : u"Uncomment Line";
    return severalLines ? u"Comment Lines" : u"Comment Line";
}

std::u16string copyCommandTitle(const std::string& command, bool severalLines) {
    if (command == "copyResult:") return severalLines ? u"Copy Results" : u"Copy Result";
    if (command == "copyUnformattedResult:")
        return severalLines ? u"Copy Raw Results" : u"Copy Raw Result";
    if (command == "copyExpressionAndResult:")
        return severalLines ? u"Copy Expressions & Results" : u"Copy Expression & Result";
    return {};
}
