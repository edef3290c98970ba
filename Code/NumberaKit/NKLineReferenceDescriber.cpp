#include "NKLineReferenceDescriber.h"

#include <charconv>

#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCResultFormatter.h"
#include "NCResultTypes.h"
#include "NSLocalizedString.h"

namespace {

std::u16string decimal(int64_t value) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return std::u16string(digits, end);
}

// The referenced line's number, counted from 1.
int64_t lineNumber(const NKLineReferenceToken& token, int64_t lineIndex) {
    return token.referencedLineIndex(lineIndex) + 1;
}

}  // namespace

NKLineReferenceToken NKLineReferenceToken::tokenForReference(NCLineReferenceType kind,
                                                             int64_t number, int64_t lineIndex) {
    switch (kind) {
        case NCLineReferenceTypeRelative:
            return {NKLineReferenceTokenTypeByLine, number};
        case NCLineReferenceTypeAbsolute:
            return {NKLineReferenceTokenTypeAbsolute, number};
        case NCLineReferenceTypeByLineNumber:
            return {NKLineReferenceTokenTypeByLine, number - 1 - lineIndex};
        case NCLineReferenceTypeFixedRelative:
            return {NKLineReferenceTokenTypeByOffset, number};
        case NCLineReferenceTypeNull:
            return {NKLineReferenceTokenTypeNull, 0};
        default:
            return {};
    }
}

int64_t NKLineReferenceToken::referencedLineIndex(int64_t lineIndex) const {
    switch (type) {
        case NKLineReferenceTokenTypeAbsolute:
            return referenceIndex;
        case NKLineReferenceTokenTypeByLine:
        case NKLineReferenceTokenTypeByOffset:
            return lineIndex + referenceIndex;
        default:
            return -1;
    }
}

bool NKLineReferenceToken::refersToItsOwnLine(int64_t lineIndex) const {
    return type >= NKLineReferenceTokenTypeAbsolute && type <= NKLineReferenceTokenTypeByOffset &&
           referencedLineIndex(lineIndex) == lineIndex;
}

std::u16string NKLineReferenceDescriber::textForToken(const NKLineReferenceToken& token,
                                                      int64_t lineIndex,
                                                      NCLineCollection* lineCollection,
                                                      const AnswerText& answerText) {
    if (token.refersToItsOwnLine(lineIndex)) return NSLocalizedString(u"\u221E");
    if (token.type == NKLineReferenceTokenTypeNull) return u"\u26A0";
    const int64_t target = token.referencedLineIndex(lineIndex);
    std::shared_ptr<NCLine> referenced =
        lineCollection && target >= 0 &&
                static_cast<uint64_t>(target) < lineCollection->countOfLines()
            ? lineCollection->lineAtIndex(static_cast<uint64_t>(target))
            : nullptr;
    std::optional<std::u16string> answer =
        referenced && answerText ? answerText(*referenced) : std::nullopt;
    if (answer && !answer->empty()) return *answer;
    return description(NKLineReferenceDescriptionMedium, token, lineIndex);
}

std::u16string NKLineReferenceDescriber::description(NKLineReferenceDescriptionType descriptionType,
                                                     const NKLineReferenceToken& token,
                                                     int64_t lineIndex) {
    if (descriptionType < NKLineReferenceDescriptionShort ||
        descriptionType > NKLineReferenceDescriptionLong ||
        token.type < NKLineReferenceTokenTypeAbsolute ||
        token.type > NKLineReferenceTokenTypeByOffset)
        return {};
    if (token.refersToItsOwnLine(lineIndex)) return NSLocalizedString(u"self");
    if (token.type == NKLineReferenceTokenTypeByOffset) {
        const int64_t offset = token.referenceIndex;
        const int64_t distance = offset < 0 ? -offset : offset;
        if (descriptionType == NKLineReferenceDescriptionShort)
            return decimal(distance) + NSLocalizedString(u"L") +
                   (offset < 0 ? u"\u2191" : u"\u2193");
        return grammaticalOrdinalForNumber(distance) + u" " +
               NSLocalizedString(offset < 0 ? u"line above" : u"line below");
    }
    const int64_t number = lineNumber(token, lineIndex);
    switch (descriptionType) {
        case NKLineReferenceDescriptionShort:
            return NSLocalizedString(u"L") + decimal(number);
        case NKLineReferenceDescriptionMedium:
            return NSLocalizedString(u"Line") + u" " + decimal(number);
        default:
            return NSLocalizedString(u"Answer of line") + u" " + decimal(number);
    }
}

uint64_t NKLineReferenceDescriber::minimumLength(NKLineReferenceDescriptionType descriptionType,
                                                 NKLineReferenceTokenType tokenType) {
    static const uint64_t byOffset[] = {3, 14, 26};
    static const uint64_t byLine[] = {2, 6, 19};
    const bool known = descriptionType >= NKLineReferenceDescriptionShort &&
                       descriptionType <= NKLineReferenceDescriptionLong;
    if (known && tokenType == NKLineReferenceTokenTypeByOffset) return byOffset[descriptionType];
    if (known && tokenType == NKLineReferenceTokenTypeByLine) return byLine[descriptionType];
    return 5;
}

std::u16string NKLineReferenceDescriber::descriptionConstrainedByLength(
    uint64_t length, const NKLineReferenceToken& token, int64_t lineIndex) {
    const auto fits = [&](NKLineReferenceDescriptionType type, std::u16string* text) {
        *text = description(type, token, lineIndex);
        return text->size() <= length;
    };
    std::u16string text;
    if (minimumLength(NKLineReferenceDescriptionLong, token.type) <= length) {
        if (fits(NKLineReferenceDescriptionLong, &text) ||
            fits(NKLineReferenceDescriptionMedium, &text))
            return text;
    } else if (minimumLength(NKLineReferenceDescriptionMedium, token.type) <= length) {
        return description(NKLineReferenceDescriptionMedium, token, lineIndex);
    }
    return description(NKLineReferenceDescriptionShort, token, lineIndex);
}

std::u16string NKLineReferenceDescriber::grammaticalOrdinalForNumber(int64_t number) {
    const int64_t lastTwo = (number < 0 ? -number : number) % 100;
    const char16_t* suffix = u"th";
    if (lastTwo < 11 || lastTwo > 13) {
        switch (lastTwo % 10) {
            case 1:
                suffix = u"st";
                break;
            case 2:
                suffix = u"nd";
                break;
            case 3:
                suffix = u"rd";
                break;
        }
    }
    return decimal(number) + NSLocalizedString(suffix);
}

std::optional<NCLineReferenceReplacement> NKTokenTextSubstituterDelegate::stringForLineReference(
    NCLineReferenceType kind, int64_t number, int64_t lineIndex, NCLineCollection* lineCollection,
    void*) {
    return NCLineReferenceReplacement(NKLineReferenceDescriber::textForReference(
        kind, number, lineIndex, lineCollection,
        [](NCLine& referenced) -> std::optional<std::u16string> {
            // Written out as text, an exponent follows "×10^" as it is typed.
            std::shared_ptr<NCResult> result = referenced.result();
            if (!result || result->resultType() != NCResultTypeValue) return std::nullopt;
            std::shared_ptr<NCResultFormattingOptions> options = referenced.formattingOptions();
            options = options ? options->copy() : std::make_shared<NCResultFormattingOptions>();
            options->scientificNotationConvertsExponentCharactersIntoSuperscript = false;
            options->scientificNotationBaseString = u"\u00D710^";
            options->scientificNotationExponentSuffixString.clear();
            return NCResultFormatter::sharedInstance().stringValueForResult(result.get(),
                                                                            options.get());
        }));
}
