// Lines holding signs outside ASCII (×, ÷, −, superscripts, letters with accents) and characters
// beyond the basic plane (two UTF-16 units each), made at random from a fixed seed and evaluated
// over the real units catalogue: every token's stored range lies inside its line and holds the
// token's text, and the colouring walk over the line as the text view shows it (each reference
// one character) hands each token the very characters it stands for, all without a warning.
#include <gtest/gtest.h>

#include <random>

#include "KitTestSupport.h"
#include "NCLine.h"
#include "NCLineCollection.h"
#include "NCParsedExpression.h"
#include "NKLineCollectionSyntaxFormatter.h"
#include "UnitsFileTestSupport.h"

namespace {

const std::vector<std::u16string> kPieces = {u"3",
                                             u"12.5",
                                             u" ",
                                             u"\u00D7",
                                             u"\u00F7",
                                             u"\u2212",
                                             u"\u00B2",
                                             u"³",
                                             u"😀",
                                             u"🎉x",
                                             u"+",
                                             u"*",
                                             u"(",
                                             u")",
                                             u"m",
                                             u"km",
                                             u"€",
                                             u"π",
                                             u"√",
                                             u"½",
                                             u"%",
                                             u"of",
                                             u"in",
                                             u"cm",
                                             u"zork",
                                             u"line1",
                                             u"(___rel_line(-1))",
                                             u":",
                                             u"#",
                                             u"\"",
                                             u"=",
                                             u"x",
                                             u"é",
                                             u"°C",
                                             u"′",
                                             u"^",
                                             u"10",
                                             u"e3",
                                             u"$",
                                             u"sqrt",
                                             u"(___abs_line(0))",
                                             u"𝑥"};

std::vector<std::u16string> randomLines(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::u16string> lines = {u"5"};
    while (lines.size() < count) {
        std::u16string line;
        for (int piece = 1 + static_cast<int>(random() % 8); piece > 0; --piece)
            line += kPieces[random() % kPieces.size()];
        lines.push_back(line);
    }
    return lines;
}

bool isReference(const NCExpressionToken& token) {
    return token.type() == NCExpressionTokenTypeLineReference &&
           token.subType() == NCExpressionTokenSubTypeLineReference;
}

// The line as the text view shows it: each stored reference one character.
std::u16string shownText(const std::u16string& stored, const NCExpressionTokenArray& tokens) {
    std::u16string shown = stored;
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it)
        if (isReference(**it))
            shown.replace((*it)->range().location, (*it)->range().length, 1, u'\uFFFC');
    return shown;
}

// One line at a time, as the text view colours it; keeps what each token was handed.
class Recorder : public NKLineCollectionSyntaxFormatterDelegate {
  public:
    explicit Recorder(std::u16string shown) : m_shown(std::move(shown)) {}
    NSRange rangeOfLineAtIndex(uint64_t, void*) override { return {0, m_shown.size()}; }
    void preFormatLine(NCLine&, NSRange, const NSAttributedString&, NSAttributedString&, NSRange,
                       void*) override {}
    void formatToken(const NCExpressionToken& token, NSRange, const NSAttributedString&, uint64_t,
                     NSAttributedString& destination, NSRange range, void*) override {
        handed.push_back(destination.string().substr(range.location, range.length));
        expected.push_back(isReference(token) ? u"\uFFFC" : token.string().value_or(u"(none)"));
    }
    void postFormatLine(NCLine&, NSRange, const NSAttributedString&, NSAttributedString&, NSRange,
                        void*) override {}

    std::vector<std::u16string> handed, expected;

  private:
    std::u16string m_shown;
};

TEST(SyntaxFormatterSymbols, TokensOfRandomLinesLieInsideTheirLinesAndColourTheirOwnText) {
    const std::vector<std::u16string> texts = randomLines(400, 20261211);
    auto lines = std::make_shared<NCLineCollection>();
    lines->setEnvironment(sharedRealEnvironment());
    for (const std::u16string& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
    LogCapture log;
    lines->evaluateLines();
    NKLineCollectionSyntaxFormatter formatter(lines);
    for (uint64_t index = 0; index < lines->countOfLines(); ++index) {
        std::shared_ptr<NCLine> line = lines->lineAtIndex(index);
        const std::u16string stored = line->expressionString().value_or(u"");
        SCOPED_TRACE("line " + std::to_string(index) + ": " + NKUTF8(stored));
        if (!line->parsedExpression()) continue;
        const NCExpressionTokenArray& tokens = line->parsedExpression()->tokens();
        for (const auto& token : tokens) {
            const NSRange range = token->range();
            ASSERT_LE(range.location + range.length, stored.size());
            EXPECT_EQ(NKUTF8(token->string().value_or(u"(none)")),
                      NKUTF8(stored.substr(range.location, range.length)));
        }
        const std::u16string shown = shownText(stored, tokens);
        Recorder recorder(shown);
        formatter.setDelegate(&recorder);
        NSAttributedString text(shown);
        formatter.formatLinesAtIndexes(NSIndexSet(index), text, text, nullptr);
        EXPECT_EQ(recorder.handed, recorder.expected);
        EXPECT_EQ(recorder.handed.size(), tokens.size());
    }
    for (const char* message :
         {"Critical error with formatLines", "incorrect range in expression", "evaluateNode"})
        EXPECT_FALSE(log.contains(message)) << message;
}

}  // namespace
