// How a line-reference token presents its reference, without any toolkit: the text it shows
// (the referenced answer, "⚠" for a removed target, the infinity sign for its own line, a
// description naming the line when there is no answer) and its hover descriptions. The text
// view's tokens and every export share it, so a reference reads the same everywhere and its
// stored form never reaches the user.
#ifndef NUMBERA_KIT_NK_LINE_REFERENCE_DESCRIBER_H
#define NUMBERA_KIT_NK_LINE_REFERENCE_DESCRIBER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "NCLine.h"
#include "NCLineReferenceSubstituter.h"
#include "NCLineReferenceType.h"

class NCLineCollection;

// The kinds of tokens; a token's reference index is the referenced line's index for an
// absolute token and the offset from the token's own line for the two relative ones.
typedef int32_t NKLineReferenceTokenType;
enum : NKLineReferenceTokenType {
    NKLineReferenceTokenTypeNone = 0,
    NKLineReferenceTokenTypeAbsolute = 1,
    NKLineReferenceTokenTypeByLine = 2,    // relative, edited by line number
    NKLineReferenceTokenTypeByOffset = 3,  // fixed relative, edited by offset
    NKLineReferenceTokenTypeNull = 4,      // its line was removed
};

typedef int32_t NKLineReferenceDescriptionType;
enum : NKLineReferenceDescriptionType {
    NKLineReferenceDescriptionShort = 0,
    NKLineReferenceDescriptionMedium = 1,
    NKLineReferenceDescriptionLong = 2,
};

// A token of a core reference, as the text view makes it.
struct NKLineReferenceToken {
    NKLineReferenceTokenType type = NKLineReferenceTokenTypeNone;
    int64_t referenceIndex = 0;

    // A typed line number has no token of its own: it is shown as a reference by line.
    static NKLineReferenceToken tokenForReference(NCLineReferenceType kind, int64_t number,
                                                  int64_t lineIndex);
    // -1 for a token that names no line.
    int64_t referencedLineIndex(int64_t lineIndex) const;
    bool refersToItsOwnLine(int64_t lineIndex) const;
};

class NKLineReferenceDescriber {
  public:
    // The answer a token shows for its referenced line; none or empty when it has none.
    using AnswerText = std::function<std::optional<std::u16string>(NCLine& referenced)>;

    // The infinity sign for a reference to its own line, "⚠" for a removed target, else the
    // referenced line's answer, or the medium description when there is none.
    static std::u16string textForToken(const NKLineReferenceToken& token, int64_t lineIndex,
                                       NCLineCollection* lineCollection,
                                       const AnswerText& answerText);
    static std::u16string textForReference(NCLineReferenceType kind, int64_t number,
                                           int64_t lineIndex, NCLineCollection* lineCollection,
                                           const AnswerText& answerText) {
        return textForToken(NKLineReferenceToken::tokenForReference(kind, number, lineIndex),
                            lineIndex, lineCollection, answerText);
    }

    // "Line 4", "2nd line above", "self"...; empty for tokens that name no line and for
    // description types past the long one.
    static std::u16string description(NKLineReferenceDescriptionType descriptionType,
                                      const NKLineReferenceToken& token, int64_t lineIndex);
    // The longest description that fits in the length, the short one when none does.
    static std::u16string descriptionConstrainedByLength(uint64_t length,
                                                         const NKLineReferenceToken& token,
                                                         int64_t lineIndex);
    static uint64_t minimumLength(NKLineReferenceDescriptionType descriptionType,
                                  NKLineReferenceTokenType tokenType);
    // "1st", "22nd", "13th".
    static std::u16string grammaticalOrdinalForNumber(int64_t number);
};

// Writes each reference as its token shows it, with the referenced line's answer as the
// answer column shows it: exported text never holds a reference's stored form.
class NKTokenTextSubstituterDelegate : public NCLineReferenceSubstituterDelegate {
  public:
    std::optional<NCLineReferenceReplacement> stringForLineReference(
        NCLineReferenceType kind, int64_t number, int64_t lineIndex,
        NCLineCollection* lineCollection, void* contextInfo) override;
};

#endif
