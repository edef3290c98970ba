// Edits applied through the generator and the controller together, as the document window
// drives them: worked examples, then thousands of random edits checked after each one.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <random>

#include "KitTestSupport.h"
#include "NCExpression.h"
#include "NCLineCollection.h"
#include "NCUtilityFunctions.h"
#include "NKLineCollectionController.h"
#include "NKLineReferenceTokens.h"
#include "NKTextHelpers.h"
#include "NKTextSyncHelper.h"
#include "TestRandom.h"

namespace {

std::u16string rel(int64_t offset) {
    return NCExpression::relativeLineReferenceTokenWithOffset(offset);
}
const std::u16string dead = u"(___dead_line(0))";

std::string utf8(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out +=
            c == u'\n' ? std::string("\\n") : std::string(1, c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// The text view, the document and its controllers.
struct Session : NKLineCollectionControllerDelegate {
    EditingRig rig;
    std::shared_ptr<NCLineCollection> collection = std::make_shared<NCLineCollection>();
    NKLineCollectionController controller;

    explicit Session(const std::u16string& text) {
        rig.setText(text, {0, 0});
        for (const std::u16string& line : rig.metrics->lineStrings())
            collection->addLine(NCLine::lineWithExpressionString(line));
        controller.setDelegate(this);
        controller.setLineCollection(collection);
        rig.generator.setLineCollection(collection);
    }

    std::u16string expressionForLineAtIndex(uint64_t index) override {
        return rig.metrics->stringForLineAtIndex(index, false).value_or(u"");
    }
    NKLocale defaultLocale() override { return standardLocale(); }
    NCTrigonometryMode defaultTrigonometryMode() override { return NCTrigonometryModeDegrees; }
    int32_t defaultTextAlignment() override { return 0; }
    std::shared_ptr<NCResultFormattingOptions> defaultFormattingOptions() override {
        return std::make_shared<NCResultFormattingOptions>();
    }

    // One edit: classified against the text before it, made, then applied to the lines; the
    // lines whose text the controller rewrote are reloaded into the text view.
    NKTextAction edit(NSRange selection, NSRange range, const std::u16string& replacement) {
        rig.text.setSelectedRange(selection);
        std::vector<NKTextAction> actions =
            rig.generator.textActionsForRanges({range}, {replacement});
        rig.text.replaceCharactersInRange(range, replacement);
        rig.metrics->resetAllCaches();
        controller.updateLineCollectionFromTextAction(actions.front());
        if (const std::optional<NSIndexSet>& changed =
                controller.linesWhoseExpressionsHaveChanged())
            for (uint64_t index : changed->indexes()) reloadLine(index);
        return actions.front();
    }

    void reloadLine(uint64_t index) {
        std::shared_ptr<NCLine> line = collection->lineAtIndex(index);
        NSRange range = rig.metrics->rangeOfLineAtIndex(index, false);
        if (!line || range.location == NSNotFound) return;
        std::u16string text = rig.text.string();
        text.replace(range.location, range.length, line->expressionString().value_or(u""));
        NSRange selection = rig.text.selectedRange();
        rig.text.setString(text);
        rig.text.setSelectedRange(selection);
        rig.metrics->resetAllCaches();
    }

    std::vector<std::u16string> collectionLines() const {
        std::vector<std::u16string> lines;
        for (uint64_t i = 0; i < collection->countOfLines(); ++i)
            lines.push_back(collection->lineAtIndex(i)->expressionString().value_or(u""));
        return lines;
    }
};

struct Example {
    const char* what;
    std::u16string text;
    NSRange selection, range;
    std::u16string replacement;
    std::vector<std::u16string> lines;
};

}  // namespace

class EditingSession : public testing::Test {
  protected:
    void SetUp() override { startFoundation(); }
};

TEST_F(EditingSession, WorkedExamples) {
    const Example examples[] = {
        {"new line at the end", u"1\n2\n3", {5, 0}, {5, 0}, u"\n", {u"1", u"2", u"3", u""}},
        {"new line inside", u"1\n2\n3", {1, 0}, {1, 0}, u"\n", {u"1", u"", u"2", u"3"}},
        {"three lines pasted",
         u"1\n2\n3",
         {1, 0},
         {1, 0},
         u"a\nb\nc",
         {u"1a", u"b", u"c", u"2", u"3"}},
        {"references follow an inserted line",
         u"5\n" + rel(-1) + u"*2",
         {0, 0},
         {0, 0},
         u"\n",
         {u"", u"5", rel(-1) + u"*2"}},
        {"reference to a joined line dies",
         u"5\n" + rel(-1) + u"*2",
         {2, 0},
         {1, 1},
         u"",
         {u"5" + dead + u"*2"}},
        {"reference keeps its target across a removed line",
         u"5\n\n" + rel(-2),
         {3, 0},
         {2, 1},
         u"",
         {u"5", rel(-1)}},
        {"a line split below its target",
         u"7\n1+" + rel(-1),
         {4, 0},
         {4, 0},
         u"\n",
         {u"7", u"1+", rel(-2)}},
        {"removed target",
         u"1\n2\n3\n" + rel(-1) + u"+" + rel(-3),
         {2, 2},
         {2, 2},
         u"",
         {u"1", u"3", rel(-1) + u"+" + rel(-2)}},
        {"removed target dies",
         u"1\n2\n3\n" + rel(-2) + u"+" + rel(-3),
         {2, 2},
         {2, 2},
         u"",
         {u"1", u"3", dead + u"+" + rel(-2)}},
    };
    for (const Example& example : examples) {
        SCOPED_TRACE(example.what);
        Session session(example.text);
        NKTextAction action = session.edit(example.selection, example.range, example.replacement);
        EXPECT_EQ(session.collectionLines(), example.lines);
        EXPECT_EQ(session.rig.metrics->lineStrings(), example.lines);
        EXPECT_FALSE(NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
            action, session.controller, *session.rig.metrics, &session.rig.text));
    }
}

// What the user sees: absolute references and references typed as "line" and a number keep
// naming the same line, so their answers stay, when lines are inserted or removed above
// their targets; a reference whose target went dies. "?" marks an answer not looked at (a
// dead reference's).
TEST_F(EditingSession, ReferencesOfEveryKindKeepTheirAnswers) {
    struct Row {
        const char* what;
        std::vector<std::u16string> lines;
        std::vector<std::u16string> answers;
        NSRange range;
        std::u16string replacement;
        std::vector<std::u16string> linesAfter;
        std::vector<std::u16string> answersAfter;
    };
    auto join = [](const std::vector<std::u16string>& lines) {
        std::u16string text;
        for (size_t i = 0; i < lines.size(); ++i) text += (i ? u"\n" : u"") + lines[i];
        return text;
    };
    std::vector<std::u16string> twelve, twelveAnswers;
    for (int i = 1; i <= 12; ++i) {
        twelve.push_back(NKUTF16(std::to_string(i * 10)));
        twelveAnswers.push_back(twelve.back());
    }
    std::vector<std::u16string> thirteen = twelve, thirteenAnswers = twelveAnswers;
    thirteen.insert(thirteen.begin() + 1, u"");
    thirteenAnswers.insert(thirteenAnswers.begin() + 1, u"");
    twelve.push_back(u"line12 - line2 + line1");
    twelveAnswers.push_back(u"110");
    thirteen.push_back(u"line13 - line3 + line1");
    thirteenAnswers.push_back(u"110");

    const Row rows[] = {
        {"an empty line inserted at the top",
         {u"10", u"20", u"(___abs_line(1)) + 1", u"line2 + 1"},
         {u"10", u"20", u"21", u"21"},
         {0, 0},
         u"\n",
         {u"", u"10", u"20", u"(___abs_line(2)) + 1", u"line3 + 1"},
         {u"", u"10", u"20", u"21", u"21"}},
        {"a line inserted below the target",
         {u"10", u"20", u"(___abs_line(1)) + 1", u"line2 + 1"},
         {u"10", u"20", u"21", u"21"},
         {5, 0},
         u"\n",
         {u"10", u"20", u"", u"(___abs_line(1)) + 1", u"line2 + 1"},
         {u"10", u"20", u"", u"21", u"21"}},
        {"the user's spelling is kept",
         {u"10", u"20", u"Line2 * LINE1", u"(___rel_line(-2)) + line1"},
         {u"10", u"20", u"200", u"30"},
         {2, 0},
         u"\n5",
         {u"10", u"5", u"20", u"Line3 * LINE1", u"(___rel_line(-2)) + line1"},
         {u"10", u"5", u"20", u"200", u"30"}},
        {"a line removed above the target",
         {u"5", u"10", u"20", u"(___abs_line(2)) + 1", u"line3 + line2"},
         {u"5", u"10", u"20", u"21", u"30"},
         {0, 2},
         u"",
         {u"10", u"20", u"(___abs_line(1)) + 1", u"line2 + line1"},
         {u"10", u"20", u"21", u"30"}},
        {"the target removed",
         {u"10", u"20", u"(___abs_line(1)) + 1", u"line2 + line1"},
         {u"10", u"20", u"21", u"30"},
         {3, 3},
         u"",
         {u"10", dead + u" + 1", dead + u" + line1"},
         {u"10", u"?", u"?"}},
        {"a reference joined onto its target",
         {u"10", u"(___abs_line(0)) * 2", u"line1 * 3"},
         {u"10", u"20", u"30"},
         {2, 1},
         u"",
         {u"10" + dead + u" * 2", u"line1 * 3"},
         {u"?", u"?"}},
        {"numbers of two digits", twelve, twelveAnswers, {2, 0}, u"\n", thirteen, thirteenAnswers},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Session session(join(row.lines));
        auto answers = [&] {
            std::vector<std::u16string> all;
            for (uint64_t i = 0; i < session.collection->countOfLines(); ++i)
                all.push_back(session.collection->lineAtIndex(i)->formattedResult().value_or(u""));
            return all;
        };
        auto checked = [](std::vector<std::u16string> seen,
                          const std::vector<std::u16string>& expected) {
            for (size_t i = 0; i < seen.size() && i < expected.size(); ++i)
                if (expected[i] == u"?") seen[i] = u"?";
            return seen;
        };
        EXPECT_EQ(answers(), row.answers);
        session.edit({NSMaxRange(row.range), 0}, row.range, row.replacement);
        EXPECT_EQ(session.collectionLines(), row.linesAfter);
        EXPECT_EQ(session.rig.metrics->lineStrings(), row.linesAfter);
        EXPECT_EQ(checked(answers(), row.answersAfter), row.answersAfter);
    }
}

namespace {

// The kinds of reference the documents hold.
const NCLineReferenceType kTrackedKinds = NCLineReferenceTypeRelative |
                                          NCLineReferenceTypeAbsolute |
                                          NCLineReferenceTypeByLineNumber | NCLineReferenceTypeNull;

// A reference token of the text: where it stands and the line object it points at.
struct TrackedReference {
    NSRange range;  // in the whole text
    NCLineReferenceType kind = NCLineReferenceTypeRelative;
    bool isDead = false;
    std::shared_ptr<NCLine> target;  // none when dead or pointing outside the lines
    uint64_t targetIndex = 0;        // where the target stood when the reference was read
};

// The references of the text in text order, with their targets taken from the collection as
// it stands.
std::vector<TrackedReference> referencesOf(Session& session) {
    std::vector<TrackedReference> references;
    uint64_t count = session.rig.metrics->countOfLines();
    for (uint64_t i = 0; i < count; ++i) {
        NSRange lineRange = session.rig.metrics->rangeOfLineAtIndex(i, false);
        std::u16string text = session.rig.metrics->stringForLineAtIndex(i, false).value_or(u"");
        for (const auto& token : NKLineReferenceTokensOfTypeInString(kTrackedKinds, text)) {
            TrackedReference reference;
            reference.range = {lineRange.location + token->range().location, token->range().length};
            reference.kind = token->lineReferenceType();
            reference.isDead = reference.kind == NCLineReferenceTypeNull;
            int64_t target = NCLineReferenceIndex(reference.kind, token->lineReferenceNumber(),
                                                  static_cast<int64_t>(i));
            if (!reference.isDead && target >= 0) {
                reference.target = session.collection->lineAtIndex(static_cast<uint64_t>(target));
                reference.targetIndex = static_cast<uint64_t>(target);
            }
            references.push_back(reference);
        }
    }
    return references;
}

// Whether an edit starting at the position would write next to the number of a reference by
// line number ("line2" followed by "5" is another reference): that is the user retyping the
// reference, not an edit it must survive.
bool touchesTypedNumber(uint64_t position, const std::vector<TrackedReference>& references) {
    for (const TrackedReference& reference : references)
        if (reference.kind == NCLineReferenceTypeByLineNumber &&
            NSMaxRange(reference.range) == position)
            return true;
    return false;
}

// Positions where an edit may begin or end: never inside a reference, which the text view
// shows as one character, nor right after a reference by line number.
std::vector<uint64_t> editablePositions(const std::u16string& text,
                                        const std::vector<TrackedReference>& references) {
    std::vector<bool> inside(text.size() + 1, false);
    for (const TrackedReference& reference : references) {
        for (uint64_t p = reference.range.location + 1; p < NSMaxRange(reference.range); ++p)
            inside[p] = true;
        if (reference.kind == NCLineReferenceTypeByLineNumber)
            inside[NSMaxRange(reference.range)] = true;
    }
    std::vector<uint64_t> positions;
    for (uint64_t p = 0; p <= text.size(); ++p)
        if (!inside[p]) positions.push_back(p);
    return positions;
}

}  // namespace

struct RandomRun {
    uint32_t seed;
    std::u16string start;
    int edits;
};

class RandomEditing : public testing::TestWithParam<RandomRun> {
  protected:
    void SetUp() override { startFoundation(); }
};

INSTANTIATE_TEST_SUITE_P(
    Seeds, RandomEditing,
    testing::Values(
        RandomRun{20261210, u"1\n2\n3\n4\n5\n6", 3000},
        RandomRun{7, u"10\n" + rel(-1) + u"*2\n\n" + rel(-2) + u"+" + rel(-1) + u"\nx", 2000},
        RandomRun{424242, u"", 2000},
        RandomRun{31337,
                  u"10\n20\n(___abs_line(1)) + 1\nline2 + 1\n" + rel(-3) + u"\nLine1*LINE4\n7",
                  3000}));

TEST_P(RandomEditing, RandomEditsKeepLinesAndReferencesInStep) {
    const RandomRun& run = GetParam();
    // A seed from the environment is shared by the cases; their starting documents differ.
    const uint32_t seed = test_random::seed(run.seed);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    auto pick = [&](uint64_t bound) {  // 0 ... bound - 1
        return std::uniform_int_distribution<uint64_t>(0, bound - 1)(random);
    };
    // No "/": two of them start a comment, which hides the references after it.
    const std::u16string alphabet = u"0123456789+-*^ xyz";
    auto randomText = [&](uint64_t length, bool withLineBreaks) {
        std::u16string text;
        for (uint64_t i = 0; i < length; ++i)
            text += withLineBreaks && pick(4) == 0 ? u'\n' : alphabet[pick(alphabet.size())];
        return text;
    };

    auto owner = std::make_unique<Session>(run.start);
    const int edits = test_random::rounds(run.edits);
    int checkedReferences = 0, deadReferences = 0;
    std::map<NCLineReferenceType, int> followedKinds;
    std::vector<int> typesSeen(20, 0);
    for (int step = 0; step < edits; ++step) {
        Session& session = *owner;
        const std::u16string before = session.rig.text.string();
        std::vector<TrackedReference> references = referencesOf(session);
        std::vector<uint64_t> positions = editablePositions(before, references);
        uint64_t a = positions[pick(positions.size())];
        uint64_t b = positions[pick(positions.size())];
        if (a > b) std::swap(a, b);
        // Mostly short selections: long ones empty the document quickly.
        if (b - a > 12 && pick(8) != 0) b = a;
        NSRange selection{a, b - a};
        NSRange range = selection;
        std::u16string replacement;
        switch (pick(12)) {
            case 0:
                replacement = std::u16string(1, alphabet[pick(alphabet.size())]);
                break;
            case 1:
                replacement = u"\n";
                break;
            case 2:
                replacement = randomText(2 + pick(5), true);
                break;
            case 3:
                replacement = randomText(2 + pick(3), false);
                break;
            case 9:  // a dead reference cleared away, as the user would
                for (const TrackedReference& reference : references)
                    if (reference.isDead) {
                        range = reference.range;
                        selection = {range.location, 0};
                        break;
                    }
                if (range.length == 0) break;
                break;
            case 4:
            case 8:
            case 10: {  // a reference of any kind to a line above (or below) the caret's line
                range.length = 0;
                selection.length = 0;
                uint64_t line = session.rig.metrics->indexOfLineAtCharacterIndex(a);
                uint64_t count = session.rig.metrics->countOfLines();
                int64_t target = static_cast<int64_t>(pick(count));
                if (target == static_cast<int64_t>(line)) break;
                const char16_t* words[] = {u"line", u"Line", u"LINE"};
                switch (pick(4)) {
                    case 0:
                        replacement = NCExpression::absoluteLineReferenceTokenWithIndex(
                            static_cast<uint64_t>(target));
                        break;
                    case 1:  // typed, with a space so that no digit typed later joins it
                        replacement = words[pick(3)] + NKUTF16(std::to_string(target + 1)) + u" ";
                        break;
                    default:
                        replacement = rel(target - static_cast<int64_t>(line));
                        break;
                }
                break;
            }
            case 5:  // backspace
                if (a == 0) break;
                range = {a - 1, 1};
                for (const TrackedReference& reference : references)
                    if (NSMaxRange(reference.range) == a) range = reference.range;
                selection = {a, 0};
                break;
            case 6:  // forward delete
                if (a >= before.size()) break;
                range = {a, 1};
                for (const TrackedReference& reference : references)
                    if (reference.range.location == a) range = reference.range;
                selection = {a, 0};
                break;
            default:  // a selection deleted, possibly across lines
                if (range.length == 0)
                    range.length = std::min<uint64_t>(before.size() - a, pick(8));
                while (range.length > 0 && std::find(positions.begin(), positions.end(),
                                                     NSMaxRange(range)) == positions.end())
                    ++range.length;
                selection = range;
                break;
        }
        if (replacement.empty() && range.length == 0) continue;
        if (touchesTypedNumber(range.location, references)) continue;
        SCOPED_TRACE("edit " + std::to_string(step) + " of \"" + utf8(before) + "\" at (" +
                     std::to_string(range.location) + "," + std::to_string(range.length) +
                     ") with \"" + utf8(replacement) + "\"");

        // Which references survive the edit: those wholly outside the replaced range.
        std::vector<TrackedReference> kept, after;
        for (const TrackedReference& reference : references) {
            if (NSMaxRange(reference.range) <= range.location)
                kept.push_back(reference);
            else if (reference.range.location >= NSMaxRange(range))
                after.push_back(reference);
        }
        size_t pasted = NKLineReferenceTokensOfTypeInString(kTrackedKinds, replacement).size();

        NKTextAction action = session.edit(selection, range, replacement);
        ++typesSeen[std::clamp(action.textActionType(), 0, 19)];

        ASSERT_EQ(session.collectionLines(), session.rig.metrics->lineStrings())
            << utf8(session.rig.text.string()) << "\n"
            << utf8(action.description());
        ASSERT_FALSE(NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
            action, session.controller, *session.rig.metrics, &session.rig.text));

        // Every surviving reference points at the line it pointed at, or is dead with it.
        std::vector<TrackedReference> now = referencesOf(session);
        ASSERT_EQ(now.size(), kept.size() + pasted + after.size());
        std::vector<TrackedReference> expected = kept;
        expected.insert(expected.end(), after.begin(), after.end());
        for (size_t i = 0, j = 0; i < now.size(); ++i) {
            if (i >= kept.size() && i < kept.size() + pasted) continue;  // new ones
            const TrackedReference& was = expected[j++];
            const TrackedReference& is = now[i];
            uint64_t host = session.rig.metrics->indexOfLineAtCharacterIndex(is.range.location);
            bool targetGone = !was.target ||
                              session.collection->lineAtIndex(was.target->index()) != was.target ||
                              was.target->index() == host;
            if (was.isDead || targetGone) {
                if (!was.isDead && !was.target) continue;  // pointed outside the lines before
                EXPECT_TRUE(is.isDead) << "reference " << i << " on line " << host << " in \""
                                       << utf8(session.rig.text.string()) << "\"";
                ++deadReferences;
            } else {
                ++checkedReferences;
                if (was.target->index() != was.targetIndex) ++followedKinds[was.kind];
                EXPECT_EQ(is.kind, was.kind) << "reference " << i;
                EXPECT_FALSE(is.isDead) << "reference " << i;
                EXPECT_EQ(is.target, was.target)
                    << "reference " << i << " on line " << host << " in \""
                    << utf8(session.rig.text.string()) << "\"";
            }
        }
        if (HasFailure()) return;
        // Keep the document from growing without bound or dying out.
        if (session.rig.text.string().size() > 1500) owner = std::make_unique<Session>(run.start);
    }
    // The mix exercised the rules broadly and references were followed many times.
    int typesUsed = 0;
    std::string unused;
    for (size_t type = 0; type < typesSeen.size(); ++type) {
        typesUsed += typesSeen[type] > 0;
        if (!typesSeen[type]) unused += " " + std::to_string(type);
    }
    std::cout << "types " << typesUsed << " (not:" << unused << "), references followed "
              << checkedReferences << " (to a moved target: relative "
              << followedKinds[NCLineReferenceTypeRelative] << ", absolute "
              << followedKinds[NCLineReferenceTypeAbsolute] << ", by line number "
              << followedKinds[NCLineReferenceTypeByLineNumber] << "), found dead "
              << deadReferences << "\n";
    EXPECT_GE(typesUsed, 14);
    EXPECT_GT(checkedReferences, edits / 4);
    EXPECT_GT(deadReferences, edits / 60);
    // References of every kind followed their target to another place.
    for (NCLineReferenceType kind : {NCLineReferenceTypeRelative, NCLineReferenceTypeAbsolute,
                                     NCLineReferenceTypeByLineNumber})
        EXPECT_GT(followedKinds[kind], edits / 200) << "kind " << kind;
}

// Selections that disagree with the edit and ranges past the text come from a confused
// caller, never from the text view; they must still neither crash nor corrupt memory, and
// the synchronisation rule must catch any line count that went astray.
TEST_F(EditingSession, InconsistentEditsAreSurvived) {
    const uint32_t seed = test_random::seed(99);
    SCOPED_TRACE(test_random::reproduction(seed));
    std::mt19937 random(seed);
    auto pick = [&](uint64_t bound) {
        return std::uniform_int_distribution<uint64_t>(0, bound - 1)(random);
    };
    const std::u16string pieces[] = {u"", u"\n", u"x", u"\n\n", u"ab\ncd", rel(-1), rel(3)};
    Session session(u"1\n" + rel(-1) + u"\n3\n" + rel(-2));
    int resynchronised = 0;
    for (int step = 0, steps = test_random::rounds(400); step < steps; ++step) {
        uint64_t length = session.rig.text.string().size();
        NSRange range{pick(length + 3), pick(4)};
        NSRange selection =
            pick(5) == 0 ? NSRange{NSNotFound, 0} : NSRange{pick(length + 3), pick(3)};
        session.rig.text.setSelectedRange(selection);
        std::vector<NKTextAction> actions =
            session.rig.generator.textActionsForRanges({range}, {pieces[pick(7)]});
        ASSERT_EQ(actions.size(), 1u);
        session.controller.updateLineCollectionFromTextAction(actions.front());
        if (NKTextSyncHelper::isForceSynchronizeRequiredForTextAction(
                actions.front(), session.controller, *session.rig.metrics, &session.rig.text)) {
            ++resynchronised;
            session.collection->removeAllLines();
            for (const std::u16string& line : session.rig.metrics->lineStrings())
                session.collection->addLine(NCLine::lineWithExpressionString(line));
        }
        EXPECT_EQ(session.collection->countOfLines(), session.rig.metrics->countOfLines());
    }
    EXPECT_GT(resynchronised, 0);
}
