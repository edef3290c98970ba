// Lines inserted and removed one at a time, each processed at once, leave every answer as a
// document loaded afresh from the same texts would give it: the graph, the variables and the
// parsed forms kept up to date by the edits agree with those built from scratch.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "TestRandom.h"
#include "UnitsFileTestSupport.h"

namespace {

std::u16string u16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::string answerOf(NCLine& line) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result) return "(none)";
    if (result->resultType() != NCResultTypeValue) return "-";
    return utf8(result->decimalValue(10));
}

std::vector<std::string> answersOf(NCLineCollection& lines) {
    std::vector<std::string> answers;
    for (uint64_t i = 0; i < lines.countOfLines(); ++i)
        answers.push_back(answerOf(*lines.lineAtIndex(i)));
    return answers;
}

std::vector<std::string> freshAnswers(const std::vector<std::u16string>& texts) {
    NCLineCollection lines(sharedRealEnvironment());
    lines.beginBatchUpdate();
    for (const auto& text : texts) lines.addLine(NCLine::lineWithExpressionString(text));
    lines.endBatchUpdate();
    return answersOf(lines);
}

bool declares(const std::u16string& text) { return text.find(u" = ") != std::u16string::npos; }

// Numbers, uses of two names, references of both kinds (some pointing past either end of the
// document or at their own line) and, when asked for, declarations of the names.
std::u16string randomText(std::mt19937& random, bool declarations) {
    auto pick = [&](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); };
    const std::string n = std::to_string(1 + pick(9));
    int kind = pick(9);
    while (!declarations && (kind == 1 || kind == 2 || kind == 7)) kind = pick(9);
    switch (kind) {
        case 0:
            return u16(n);
        case 1:
            return u16("a = " + n);
        case 2:
            return u16("b = a + " + n);
        case 3:
            return u16("a * " + n);
        case 4:
            return u16("b + a");
        case 5:
            return NCExpression::relativeLineReferenceTokenWithOffset(pick(9) - 6) + u" + 1";
        case 6:
            return NCExpression::absoluteLineReferenceTokenWithIndex(pick(14)) + u" * 2";
        case 7:
            return u16("a = a + " + n);
        default:
            return u"";
    }
}

// Inserts, removes, changes, splits and joins lines at random and compares every answer with the
// document loaded afresh. With `declarations` the edited lines may declare, redeclare or stop
// declaring the names, so the lines after them change meaning; without, the declarations of the
// starting document stand while the lines around them move.
void editAtRandom(uint32_t defaultSeed, bool declarations) {
    const uint32_t seed = test_random::seed(defaultSeed);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    auto pick = [&](uint64_t bound) {
        return std::uniform_int_distribution<uint64_t>(0, bound - 1)(random);
    };
    std::vector<std::u16string> texts;
    for (int i = 0; i < 12; ++i) texts.push_back(randomText(random, true));
    NCLineCollection lines(sharedRealEnvironment());
    lines.beginBatchUpdate();
    for (const auto& text : texts) lines.addLine(NCLine::lineWithExpressionString(text));
    lines.endBatchUpdate();

    for (int step = 0, steps = test_random::rounds(400); step < steps; ++step) {
        const uint64_t count = texts.size();
        std::vector<uint64_t> editable;
        for (uint64_t i = 0; i < count; ++i)
            if (declarations || !declares(texts[i])) editable.push_back(i);
        const uint64_t kind = editable.empty() ? 0 : count > 24 ? 1 : pick(5);
        std::string what;
        if (kind == 0) {
            const uint64_t at = pick(count + 1);
            const std::u16string text = randomText(random, declarations);
            what = "insert at " + std::to_string(at) + ": " + utf8(text);
            texts.insert(texts.begin() + static_cast<std::ptrdiff_t>(at), text);
            if (at == count && pick(2))
                lines.addLine(NCLine::lineWithExpressionString(text));
            else
                lines.insertLine(NCLine::lineWithExpressionString(text), at);
        } else if (kind == 1) {
            const uint64_t at = editable[pick(editable.size())];
            what = "remove at " + std::to_string(at);
            texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(at));
            lines.removeLineAtIndex(at);
        } else if (kind == 3) {
            // A new line typed in the middle of another: its text split between the two.
            const uint64_t at = editable[pick(editable.size())];
            const std::u16string head = randomText(random, declarations);
            const std::u16string tail = randomText(random, declarations);
            what = "split " + std::to_string(at) + ": " + utf8(head) + " | " + utf8(tail);
            texts[at] = head;
            texts.insert(texts.begin() + static_cast<std::ptrdiff_t>(at) + 1, tail);
            lines.beginBatchUpdate();
            lines.insertLine(NCLine::lineWithExpressionString(u""), at + 1);
            lines.lineAtIndex(at)->setExpressionString(head);
            lines.lineAtIndex(at + 1)->setExpressionString(tail);
            lines.endBatchUpdate();
        } else if (kind == 4 && editable.front() + 1 < count) {
            // A line joined to the one before it.
            const uint64_t at = editable[pick(editable.size())];
            const uint64_t next = std::min<uint64_t>(at + 1, count - 1);
            if (next == at) continue;
            const std::u16string joined = randomText(random, declarations);
            what = "join " + std::to_string(at) + ": " + utf8(joined);
            texts[at] = joined;
            texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(next));
            lines.beginBatchUpdate();
            lines.lineAtIndex(at)->setExpressionString(joined);
            lines.removeLineAtIndex(next);
            lines.endBatchUpdate();
        } else {
            const uint64_t at = editable[pick(editable.size())];
            texts[at] = randomText(random, declarations);
            what = "edit at " + std::to_string(at) + ": " + utf8(texts[at]);
            lines.lineAtIndex(at)->setExpressionString(texts[at]);
        }
        SCOPED_TRACE("step " + std::to_string(step) + ", " + what);
        std::string document;
        for (const auto& text : texts) document += utf8(text) + "\n";
        ASSERT_EQ(answersOf(lines), freshAnswers(texts)) << document;
    }
}

TEST(LineInsertionRemoval, SingleEditsAnswerAsADocumentLoadedAfresh) {
    editAtRandom(20261210, false);
}

TEST(LineInsertionRemoval, EditsOfDeclarationsAnswerAsADocumentLoadedAfresh) {
    editAtRandom(20261211, true);
}

TEST(LineInsertionRemoval, LinesAddedOneByOneAnswerAsWhenAddedTogether) {
    const uint32_t seed = test_random::seed(1210);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    std::vector<std::u16string> texts;
    NCLineCollection lines(sharedRealEnvironment());
    for (int i = 0, count = test_random::rounds(60); i < count; ++i) {
        texts.push_back(randomText(random, true));
        lines.addLine(NCLine::lineWithExpressionString(texts.back()));
    }
    EXPECT_EQ(answersOf(lines), freshAnswers(texts));
}

// Removing a declaration moves a reference onto its own line, and the first declaration of
// the name now governs the lines the removed one did.
TEST(LineInsertionRemoval, ReferenceMovedOntoItsOwnLineAndDeclarationRemoved) {
    const std::u16string toLine7 = NCExpression::absoluteLineReferenceTokenWithIndex(7) + u" * 2";
    std::vector<std::u16string> texts = {u"a = 2", u"1",         u"a = 7", u"9",   u"a * 5",
                                         u"5",     u"b = a + 4", u"a * 5", toLine7};
    NCLineCollection lines(sharedRealEnvironment());
    lines.beginBatchUpdate();
    for (const auto& text : texts) lines.addLine(NCLine::lineWithExpressionString(text));
    lines.endBatchUpdate();
    ASSERT_EQ(answersOf(lines)[8], "70");

    lines.removeLineAtIndex(2);
    texts.erase(texts.begin() + 2);
    const std::vector<std::string> answers = answersOf(lines);
    EXPECT_EQ(answers, freshAnswers(texts));
    EXPECT_EQ(answers[3], "10");
    EXPECT_EQ(answers[7], "-");
}

}  // namespace
