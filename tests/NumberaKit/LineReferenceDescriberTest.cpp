// What a line-reference token shows and how it describes itself, for every kind of token.
#include <gtest/gtest.h>

#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NKLineReferenceDescriber.h"
#include "NKTextHelpers.h"
#include "NSLocalizedString.h"

namespace {

NKLineReferenceToken token(NKLineReferenceTokenType type, int64_t referenceIndex) {
    return {type, referenceIndex};
}

TEST(LineReferenceDescriber, DescriptionsOfEveryKind) {
    struct Row {
        NKLineReferenceToken token;
        const char* shortText;
        const char* medium;
        const char* longText;
    };
    // On the line with index 5 (line 6).
    const Row rows[] = {
        {token(NKLineReferenceTokenTypeByLine, -2), "L4", "Line 4", "Answer of line 4"},
        {token(NKLineReferenceTokenTypeByLine, 3), "L9", "Line 9", "Answer of line 9"},
        {token(NKLineReferenceTokenTypeAbsolute, 0), "L1", "Line 1", "Answer of line 1"},
        {token(NKLineReferenceTokenTypeByOffset, -1), "1L\u2191", "1st line above",
         "1st line above"},
        {token(NKLineReferenceTokenTypeByOffset, 12), "12L\u2193", "12th line below",
         "12th line below"},
        {token(NKLineReferenceTokenTypeByLine, 0), "self", "self", "self"},
        {token(NKLineReferenceTokenTypeAbsolute, 5), "self", "self", "self"},
        {token(NKLineReferenceTokenTypeByOffset, 0), "self", "self", "self"},
        {token(NKLineReferenceTokenTypeNull, 0), "", "", ""},
        {token(NKLineReferenceTokenTypeNone, 2), "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.token.type) + " " +
                     std::to_string(row.token.referenceIndex));
        EXPECT_EQ(NKUTF8(NKLineReferenceDescriber::description(NKLineReferenceDescriptionShort,
                                                               row.token, 5)),
                  row.shortText);
        EXPECT_EQ(NKUTF8(NKLineReferenceDescriber::description(NKLineReferenceDescriptionMedium,
                                                               row.token, 5)),
                  row.medium);
        EXPECT_EQ(NKUTF8(NKLineReferenceDescriber::description(NKLineReferenceDescriptionLong,
                                                               row.token, 5)),
                  row.longText);
        EXPECT_EQ(NKLineReferenceDescriber::description(3, row.token, 5), u"");
    }
}

TEST(LineReferenceDescriber, OrdinalsAndTheLongestDescriptionThatFits) {
    const std::pair<int64_t, const char*> ordinals[] = {
        {1, "1st"},   {2, "2nd"},   {3, "3rd"},   {4, "4th"},     {5, "5th"},    {11, "11th"},
        {12, "12th"}, {13, "13th"}, {21, "21st"}, {102, "102nd"}, {111, "111th"}};
    for (const auto& [number, text] : ordinals)
        EXPECT_EQ(NKUTF8(NKLineReferenceDescriber::grammaticalOrdinalForNumber(number)), text);

    EXPECT_EQ(NKLineReferenceDescriber::minimumLength(NKLineReferenceDescriptionLong,
                                                      NKLineReferenceTokenTypeByOffset),
              26u);
    EXPECT_EQ(NKLineReferenceDescriber::minimumLength(NKLineReferenceDescriptionMedium,
                                                      NKLineReferenceTokenTypeByLine),
              6u);
    EXPECT_EQ(NKLineReferenceDescriber::minimumLength(NKLineReferenceDescriptionShort,
                                                      NKLineReferenceTokenTypeAbsolute),
              5u);
    struct Row {
        NKLineReferenceToken token;
        uint64_t length;
        const char* expected;
    };
    const Row rows[] = {
        {token(NKLineReferenceTokenTypeByLine, -2), 40, "Answer of line 4"},
        {token(NKLineReferenceTokenTypeByLine, -2), 6, "Line 4"},
        {token(NKLineReferenceTokenTypeByLine, -2), 5, "L4"},
        // Long enough for a long one in principle, too short for this one: the medium.
        {token(NKLineReferenceTokenTypeByLine, 100000), 19, "Line 100006"},
        {token(NKLineReferenceTokenTypeByOffset, -3), 14, "3rd line above"},
        {token(NKLineReferenceTokenTypeByOffset, -3), 13, "3L\u2191"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NKUTF8(NKLineReferenceDescriber::descriptionConstrainedByLength(row.length,
                                                                                  row.token, 5)),
                  row.expected)
            << row.length;
}

TEST(LineReferenceDescriber, ATokenShowsTheAnswerOrSaysWhyNot) {
    auto lines = std::make_shared<NCLineCollection>();
    for (const char16_t* text : {u"2 + 3", u"# Heading", u"1", u"1", u"1"})
        lines->addLine(NCLine::lineWithExpressionString(text));
    const NKLineReferenceDescriber::AnswerText answer = [](NCLine& line) {
        return line.formattedResult();
    };
    struct Row {
        NCLineReferenceType kind;
        int64_t number;
        const char* expected;
    };
    // On the line with index 4 (line 5).
    const Row rows[] = {
        {NCLineReferenceTypeRelative, -4, "5"},
        {NCLineReferenceTypeAbsolute, 0, "5"},
        {NCLineReferenceTypeByLineNumber, 1, "5"},
        {NCLineReferenceTypeFixedRelative, -4, "5"},
        {NCLineReferenceTypeNull, 0, "\u26A0"},  // never line 1's answer
        {NCLineReferenceTypeRelative, 0, "\u221E"},
        {NCLineReferenceTypeByLineNumber, 5, "\u221E"},
        {NCLineReferenceTypeRelative, -3, "Line 2"},  // a line without an answer
        {NCLineReferenceTypeFixedRelative, -3, "3rd line above"},
        {NCLineReferenceTypeAbsolute, 9, "Line 10"},  // no such line
    };
    for (const Row& row : rows)
        EXPECT_EQ(NKUTF8(NKLineReferenceDescriber::textForReference(row.kind, row.number, 4,
                                                                    lines.get(), answer)),
                  row.expected)
            << row.kind << " " << row.number;

    // The words and signs are the interface's to translate.
    NSSetLocalizedStringHook([](const std::u16string& key) {
        return key == u"\u221E" ? u"unendlich" : key == u"Line" ? u"Zeile" : key;
    });
    EXPECT_EQ(NKLineReferenceDescriber::textForReference(NCLineReferenceTypeRelative, 0, 4,
                                                         lines.get(), answer),
              u"unendlich");
    EXPECT_EQ(NKLineReferenceDescriber::textForReference(NCLineReferenceTypeRelative, -3, 4,
                                                         lines.get(), answer),
              u"Zeile 2");
    NSSetLocalizedStringHook(nullptr);
}

}  // namespace
