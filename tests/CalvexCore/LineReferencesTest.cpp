#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "NCExpressionParser.h"
#include "NCLineCollection.h"
#include "NCLineReferenceSubstituter.h"
#include "NCUtilityFunctions.h"

namespace {

// Marks every reference it writes, to tell its text from the plain-text delegate's.
struct MarkingDelegate : NCLineReferenceSubstituterDelegate {
    std::optional<NCLineReferenceReplacement> stringForLineReference(NCLineReferenceType kind,
                                                                     int64_t number,
                                                                     int64_t lineIndex,
                                                                     NCLineCollection*,
                                                                     void* contextInfo) override {
        calls.push_back({kind, number, lineIndex, contextInfo});
        std::u16string text = u"<" + NCLineReferenceIdentifier(lineIndex, number) + u">";
        if (attributed)
            return NCLineReferenceReplacement(NSAttributedString(text, {{"reference", true}}));
        return NCLineReferenceReplacement(text);
    }
    struct Call {
        NCLineReferenceType kind;
        int64_t number, lineIndex;
        void* context;
    };
    std::vector<Call> calls;
    bool attributed = false;
};

class LineReferences : public testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        environment = std::make_shared<NCEnvironment>();
        environment->setFunctions(lineReferenceFunctions());
        parser = std::make_unique<NCExpressionParser>(environment);
        collection = std::make_shared<NCLineCollection>();
        // Answers: 10, 20, an error, 1234.5, none.
        addLine(u"10", std::make_shared<NCResult>(u"10"));
        addLine(u"20", std::make_shared<NCResult>(u"20"));
        NBFResultRef failed = NBFResultCreate();
        NBFResultSetEvaluationError(failed, NBFEvaluationErrorDivisionByZero);
        addLine(u"1/0", std::make_shared<NCResult>(failed));
        NBFResultRelease(failed);
        addLine(u"1234.5", std::make_shared<NCResult>(u"1234.5"));
        addLine(u"total", nullptr);
    }

    void addLine(const std::u16string& text, std::shared_ptr<NCResult> result) {
        auto line = NCLine::lineWithExpressionString(text);
        line->setResult(std::move(result));
        collection->addLine(line);
    }

    std::shared_ptr<NCParsedExpression> parse(const std::u16string& text) {
        return parser->parseExpression(NCExpression::create(text));
    }

    // The stored text with references written as the referenced lines' answers.
    std::string plainText(const std::u16string& text, int64_t lineIndex,
                          NCLineReferenceType mask = NCLineReferenceTypeAll) {
        auto parsed = parse(text);
        NCLineReferenceSubstituter substituter(collection, nullptr);
        substituter.setSubstitutionDelegate(&substituter.plainTextDelegate());
        auto replaced = substituter.stringByReplacingLineReferencesOfType(mask, *parsed, lineIndex,
                                                                          nullptr, false);
        return replaced ? utf8(NCLineReferenceReplacementText(*replaced)) : "(none)";
    }

    std::shared_ptr<NCEnvironment> environment;
    std::unique_ptr<NCExpressionParser> parser;
    std::shared_ptr<NCLineCollection> collection;
};

TEST_F(LineReferences, ReferencesNameTheirLines) {
    struct Row {
        const char16_t* text;
        NCLineReferenceType kind;
        int64_t number, index;
    };
    // On the line with index 5.
    const Row rows[] = {
        {u"(___rel_line(-2))", NCLineReferenceTypeRelative, -2, 3},
        {u"(___rel_line_fixed(1))", NCLineReferenceTypeFixedRelative, 1, 6},
        {u"(___abs_line(0))", NCLineReferenceTypeAbsolute, 0, 0},
        {u"line1", NCLineReferenceTypeByLineNumber, 1, 0},
        {u"LINE12", NCLineReferenceTypeByLineNumber, 12, 11},
        {u"(___dead_line(0))", NCLineReferenceTypeNull, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(utf8(std::u16string(row.text)));
        auto references =
            NCExpressionParser::lineReferenceTokensOfType(NCLineReferenceTypeAll, *parse(row.text));
        ASSERT_TRUE(references.has_value());
        ASSERT_EQ(references->size(), 1u);
        const auto& token = references->front();
        EXPECT_EQ(token->lineReferenceType(), row.kind);
        EXPECT_EQ(token->lineReferenceNumber(), row.number);
        EXPECT_EQ(NCLineReferenceIndex(token->lineReferenceType(), token->lineReferenceNumber(), 5),
                  row.index);
    }
}

TEST_F(LineReferences, PlainTextWritesTheAnswers) {
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"(___rel_line(-4)) + (___rel_line(-3))", "10 + 20"},
        // Replacements of different lengths leave the text between them alone.
        {u"(___rel_line(-1)) plus (___abs_line(0)) times line2", "1,234.5 plus 10 times 20"},
        {u"(___abs_line(9)) * 2", "line10 * 2"},
        {u"(___rel_line(-9))", "line-4"},
        {u"(___dead_line(0)) + 1", "10 + 1"},
        {u"no references", "no references"},
        {u"", ""},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(utf8(std::u16string(text)));
        EXPECT_EQ(plainText(text, 4), expected);
    }
}

TEST_F(LineReferences, ALineWithoutAnAnswerIsNamedNotLeftInItsStoredForm) {
    // Line 3 (index 2) failed, line 5 (index 4) has no result, an empty answer shows nothing.
    EXPECT_EQ(plainText(u"(___rel_line(-2)) + 1", 4), "line3 + 1");
    EXPECT_EQ(plainText(u"(___rel_line(-1))", 5), "line5");
    addLine(u"", NCResult::emptyResult());
    EXPECT_EQ(plainText(u"(___abs_line(5))", 6), "line6");
}

TEST_F(LineReferences, ThePrefixComesFirst) {
    NCLineReferenceSubstituter substituter(collection, nullptr);
    NCPlainTextLineReferenceSubstituterDelegate& delegate = substituter.plainTextDelegate();
    delegate.setPrefix(u"#");
    auto beyond = delegate.stringForLineReference(NCLineReferenceTypeAbsolute, 9, 0,
                                                  collection.get(), nullptr);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*beyond)), "#line10");
    auto first = delegate.stringForLineReference(NCLineReferenceTypeByLineNumber, 1, 3,
                                                 collection.get(), nullptr);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*first)), "#10");
    // Without a collection every reference is beyond the last line.
    auto alone =
        delegate.stringForLineReference(NCLineReferenceTypeRelative, -1, 3, nullptr, nullptr);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*alone)), "#line3");
}

TEST_F(LineReferences, OnlyTheKindsInTheMask) {
    EXPECT_EQ(plainText(u"(___rel_line(-1)) + (___abs_line(0))", 4, NCLineReferenceTypeRelative),
              "1,234.5 + (___abs_line(0))");
    EXPECT_EQ(plainText(u"(___rel_line(-1)) + (___abs_line(0))", 4, NCLineReferenceTypeAbsolute),
              "(___rel_line(-1)) + 10");
    EXPECT_EQ(plainText(u"line2 + (___rel_line(-1))", 4,
                        NCLineReferenceTypeByLineNumber | NCLineReferenceTypeFixedRelative),
              "20 + (___rel_line(-1))");
}

TEST_F(LineReferences, TheCallersDelegateAndContext) {
    MarkingDelegate marking;
    int context = 0;
    auto parsed = parse(u"(___rel_line(-1)) + line2");
    NCLineReferenceSubstituter substituter(collection, &marking);
    auto replaced = substituter.stringByReplacingLineReferencesOfType(NCLineReferenceTypeAll,
                                                                      *parsed, 4, &context, false);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*replaced)), "<4-1> + <4+2>");
    ASSERT_EQ(marking.calls.size(), 2u);
    // Last token first.
    EXPECT_EQ(marking.calls[0].kind, NCLineReferenceTypeByLineNumber);
    EXPECT_EQ(marking.calls[0].number, 2);
    EXPECT_EQ(marking.calls[1].kind, NCLineReferenceTypeRelative);
    EXPECT_EQ(marking.calls[1].lineIndex, 4);
    EXPECT_EQ(marking.calls[1].context, &context);

    EXPECT_EQ(utf8(NCLineReferenceSubstituter::stringByReplacingLineReferencesOfType(
                  NCLineReferenceTypeAll, *parsed, 2, collection, &marking, nullptr)),
              "<2-1> + <2+2>");
    // A delegate that answers nothing leaves the references.
    EXPECT_EQ(utf8(NCLineReferenceSubstituter::stringByReplacingLineReferencesOfType(
                  NCLineReferenceTypeAll, *parsed, 2, collection, nullptr, nullptr)),
              "(___rel_line(-1)) + line2");
}

TEST_F(LineReferences, ReferencesInCommentsAreAlwaysPlainText) {
    MarkingDelegate marking;
    marking.attributed = true;
    auto parsed = parse(u"(___rel_line(-1)) // after line1");
    auto attributed = NCLineReferenceSubstituter::attributedStringByReplacingLineReferencesOfType(
        NCLineReferenceTypeAll, *parsed, 4, collection, &marking, nullptr);
    ASSERT_TRUE(attributed);
    EXPECT_EQ(utf8(attributed->string()), "<4-1> // after 10");
    EXPECT_EQ(attributed->attributesAtIndex(0), (NSAttributes{{"reference", true}}));
    EXPECT_TRUE(attributed->attributesAtIndex(15).empty());
    EXPECT_EQ(marking.calls.size(), 1u);  // the comment's reference went to the plain-text delegate

    // Plain output of an attributed answer takes its text.
    EXPECT_EQ(utf8(NCLineReferenceSubstituter::stringByReplacingLineReferencesOfType(
                  NCLineReferenceTypeAll, *parsed, 4, collection, &marking, nullptr)),
              "<4-1> // after 10");

    // Not looking into comments leaves them as stored.
    NCLineReferenceSubstituter substituter(collection, &marking);
    auto kept = substituter.stringByReplacingLineReferencesOfType(
        NCLineReferenceTypeAll, parsed->expression(), parsed.get(), 4, nullptr, &marking, false,
        false);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*kept)), "<4-1> // after line1");
}

TEST_F(LineReferences, ACommentDelegateWritesTheReferencesInsideComments) {
    MarkingDelegate marking, inComments;
    auto parsed = parse(u"(___rel_line(-1)) // after line1");
    NCLineReferenceSubstituter substituter(collection, &marking);
    substituter.setCommentSubstitutionDelegate(&inComments);
    auto replaced = substituter.stringByReplacingLineReferencesOfType(NCLineReferenceTypeAll,
                                                                      *parsed, 4, nullptr, false);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*replaced)), "<4-1> // after <4+1>");
    ASSERT_EQ(inComments.calls.size(), 1u);
    EXPECT_EQ(inComments.calls[0].kind, NCLineReferenceTypeByLineNumber);
    EXPECT_EQ(marking.calls.size(), 1u);
    // Without one, the plain-text delegate again.
    substituter.setCommentSubstitutionDelegate(nullptr);
    replaced = substituter.stringByReplacingLineReferencesOfType(NCLineReferenceTypeAll, *parsed, 4,
                                                                 nullptr, false);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*replaced)), "<4-1> // after 10");
}

TEST_F(LineReferences, BareTextsAndMissingInput) {
    NCLineReferenceSubstituter substituter(collection, nullptr);
    auto replaced = substituter.substitutedExpressionString(
        u"line1 * (___rel_line(-1))", NCLineReferenceTypeAll, 2, nullptr,
        &substituter.plainTextDelegate(), false);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*replaced)), "10 * 20");
    EXPECT_FALSE(substituter.substitutedExpressionString(
        std::nullopt, NCLineReferenceTypeAll, 0, nullptr, &substituter.plainTextDelegate(), false));
    EXPECT_FALSE(substituter.stringByReplacingLineReferencesOfType(
        NCLineReferenceTypeAll, nullptr, nullptr, 0, nullptr, nullptr, false, true));
    EXPECT_EQ(NCLineReferenceSubstituter::parsingEnvironment(),
              NCLineReferenceSubstituter::parsingEnvironment());
    EXPECT_EQ(NCLineReferenceSubstituter().lineCollection(), nullptr);
}

TEST_F(LineReferences, ATokenOutsideTheTextIsSkipped) {
    auto expression = NCExpression::create(std::u16string(u"(___rel_line(-1))"));
    auto inside = std::make_shared<NCExpressionToken>(NSRange{0, 17}, NSRange{0, 17}, NSRange{0, 1},
                                                      10, 9, NCLineReferenceTypeRelative, -1);
    auto outside = std::make_shared<NCExpressionToken>(
        NSRange{0, 17}, NSRange{30, 17}, NSRange{30, 1}, 10, 9, NCLineReferenceTypeRelative, -1);
    NCTokenListParsedExpression parsed(expression, {inside, outside});
    NCLineReferenceSubstituter substituter(collection, nullptr);
    testing::internal::CaptureStderr();
    auto replaced = substituter.stringByReplacingLineReferencesOfType(
        NCLineReferenceTypeAll, expression, &parsed, 4, nullptr, &substituter.plainTextDelegate(),
        false, true);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Bad error trying to replace characters"),
              std::string::npos);
    EXPECT_EQ(utf8(NCLineReferenceReplacementText(*replaced)), "1,234.5");
}

TEST_F(LineReferences, FindingTheReferencesOfALine) {
    std::optional<std::vector<int64_t>> indexes;
    std::optional<std::vector<NSRange>> ranges;
    NCExpressionParser::findLineReferencesInParsedExpression(
        *parse(u"1 + 2"), NCLineReferenceTypeAll, &indexes, &ranges, false);
    EXPECT_FALSE(indexes.has_value());
    EXPECT_FALSE(ranges.has_value());

    auto parsed = parse(u"(___abs_line(3)) + line2 + (___rel_line(-1))");
    NCExpressionParser::findLineReferencesInParsedExpression(*parsed, NCLineReferenceTypeRelative,
                                                             &indexes, &ranges, false);
    EXPECT_EQ(indexes, (std::vector<int64_t>{-1}));
    EXPECT_EQ(ranges, (std::vector<NSRange>{{27, 17}}));
    NCExpressionParser::findLineReferencesInParsedExpression(*parsed, NCLineReferenceTypeAll,
                                                             &indexes, &ranges, true);
    EXPECT_EQ(indexes, (std::vector<int64_t>{3, 1, -1}));
    EXPECT_EQ(ranges, (std::vector<NSRange>{{0, 1}, {4, 5}, {12, 1}}));
    NCExpressionParser::findLineReferencesInParsedExpression(*parsed, NCLineReferenceTypeNull,
                                                             &indexes, nullptr, true);
    EXPECT_EQ(indexes, std::vector<int64_t>{});
    EXPECT_FALSE(NCExpressionParser::lineReferenceTokensOfType(NCLineReferenceTypeNull, *parsed)
                     .has_value());
}

TEST_F(LineReferences, LinesAndTheirCollection) {
    EXPECT_EQ(collection->countOfLines(), 5u);
    auto third = collection->lineAtIndex(3);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->index(), 3u);
    EXPECT_EQ(third->lineCollection(), collection.get());
    EXPECT_EQ(third->expression()->line(), third.get());
    EXPECT_EQ(third->result()->resultFormattingOptions(), third->customFormattingOptions());
    EXPECT_EQ(collection->lineAtIndex(5), nullptr);
    auto expression = third->expression();
    collection->removeAllLines();
    EXPECT_EQ(third->lineCollection(), nullptr);
    third.reset();
    EXPECT_EQ(expression->line(), nullptr);
}

}  // namespace
