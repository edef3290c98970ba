// The shortcuts that keep a document's change pass fast stay exact: lines skipped as using no
// line variable, lines skipped as holding no line reference, a declaration's line tokens made
// only when asked for, substitution rules skipped for texts without their required text,
// dependency edges kept in an open-addressed table, and a redefinition appended as the last
// line giving only its own variable a new owner.
// Each test edits what a shortcut remembers and checks the answers follow.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "NCDependencyGraph.h"
#include "NCEvaluator.h"
#include "NCExpressionSubstituter.h"
#include "NCLineCollection.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCEnvironment> documentParent() { return sharedRealEnvironment(); }

class ChangePassShortcuts : public ::testing::Test {
  protected:
    void SetUp() override {
        lines = std::make_shared<NCLineCollection>(documentParent());
        NCLineCollection::setPreEvaluationBlock(
            [this](NCLine& line) { evaluated.insert(line.index()); });
    }
    void TearDown() override { NCLineCollection::setPreEvaluationBlock(nullptr); }

    void load(const std::vector<std::u16string>& texts) {
        lines->removeAllLines();
        lines->beginBatchUpdate();
        for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
        lines->endBatchUpdate();
        evaluated.clear();
    }
    void edit(uint64_t index, const std::u16string& text) {
        evaluated.clear();
        lines->lineAtIndex(index)->setExpressionString(text);
    }
    std::string answer(uint64_t index) {
        auto result = lines->lineAtIndex(index)->result();
        if (!result) return "(none)";
        if (result->resultType() != NCResultTypeValue) return "-";
        return utf8(result->decimalValue(10));
    }

    std::shared_ptr<NCLineCollection> lines;
    std::set<uint64_t> evaluated;
};

TEST_F(ChangePassShortcuts, AVariableIsFoundInAnyLetterCaseAndScript) {
    // Line 0 declares, line 1 uses, line 2 uses nothing. Editing the declaration re-evaluates
    // the use (whatever its letter case or script) and never the line without one.
    struct Row {
        std::u16string declaration, use, edited;
        std::string before, after;
    } rows[] = {
        {u"rate = 2", u"rate * 10", u"rate = 3", "20", "30"},
        {u"rate = 2", u"RATE * 10", u"rate = 4", "20", "40"},
        {u"Rate = 2", u"rAtE + 1", u"Rate = 5", "3", "6"},
        {u"v3 = 4", u"v3 + 1", u"v3 = 9", "5", "10"},
        {u"gr\u00F6\u00DFe = 2", u"gr\u00F6\u00DFe * 10", u"gr\u00F6\u00DFe = 4", "20", "40"},
        {u"x = 2", u"x \u00D7 5", u"x = 3", "10", "15"},
        {u"\u00E9t\u00E9 = 1", u"\u00C9T\u00C9 + 1", u"\u00E9t\u00E9 = 2", "2", "3"},
    };
    for (const Row& row : rows) {
        const std::string what = utf8(row.use);
        load({row.declaration, row.use, u"6 * 7"});
        EXPECT_EQ(answer(1), row.before) << what;
        EXPECT_EQ(answer(2), "42") << what;
        edit(0, row.edited);
        EXPECT_EQ(evaluated, (std::set<uint64_t>{0, 1})) << what;
        EXPECT_EQ(answer(1), row.after) << what;
    }
}

TEST_F(ChangePassShortcuts, LinesTypedOneByOneAnswerAsTheDocumentReadWhole) {
    // Each document is typed line after line (a redefinition appended takes the shortcut),
    // then its first line is edited; every answer matches the same document read at once.
    const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);
    const std::vector<std::vector<std::u16string>> documents = {
        {u"t = 1", u"t = t + 1", u"t * 10", u"t = t + 1", u"t = t * 3", u"t"},
        {u"a = 2", u"b = a + 1", u"a = b * 2", u"A + b", u"a = 7", u"a + b", u"B = 1", u"b"},
        {u"x = 5", u"6 * 7", above + u" + x", u"x = " + above, u"x", u"x = x", u"x + 1"},
        {u"rate = 3 m", u"rate in cm", u"rate = 2 km", u"rate in m", u"Rate = 1 ft", u"rate"},
        {u"v = 1", u"v = 2", u"w = v", u"v = 3", u"w + v", u"w = 10", u"v = w", u"v"},
    };
    auto answerOf = [](const std::shared_ptr<NCLineCollection>& collection, uint64_t index) {
        auto result = collection->lineAtIndex(index)->result();
        if (!result) return std::string("(none)");
        if (result->resultType() != NCResultTypeValue) return std::string("-");
        return utf8(result->decimalValue(10));
    };
    for (const auto& texts : documents) {
        const std::string what = utf8(texts.front() + u" / " + texts[1]);
        auto whole = std::make_shared<NCLineCollection>(documentParent());
        whole->beginBatchUpdate();
        for (const auto& text : texts) whole->addLine(NCLine::lineWithExpressionString(text));
        whole->endBatchUpdate();
        lines->removeAllLines();
        for (const auto& text : texts) lines->addLine(NCLine::lineWithExpressionString(text));
        for (uint64_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(answer(i), answerOf(whole, i)) << what << ", line " << i;
        for (const auto& collection : {lines, whole})
            collection->lineAtIndex(0)->setExpressionString(texts.front() + u" + 10");
        for (uint64_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(answer(i), answerOf(whole, i)) << what << ", line " << i << " after the edit";
    }
}

TEST_F(ChangePassShortcuts, ALineTakesAndLosesReferencesAsItsTextChanges) {
    const std::u16string first = NCExpression::absoluteLineReferenceTokenWithIndex(0);
    const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);
    load({u"5", u"1 + 1"});
    EXPECT_EQ(answer(1), "2");
    // Each step edits one line; the lines evaluated and line 1's answer follow.
    struct Step {
        uint64_t line;
        std::u16string text;
        std::set<uint64_t> evaluated;
        std::string answer;
    } steps[] = {
        {0, u"6", {0}, "2"},     {1, first + u" * 2", {1}, "12"},
        {0, u"7", {0, 1}, "14"}, {1, u"3", {1}, "3"},
        {0, u"8", {0}, "3"},     {1, above + u" + 1", {1}, "9"},
        {0, u"9", {0, 1}, "10"},
    };
    for (const Step& step : steps) {
        edit(step.line, step.text);
        EXPECT_EQ(evaluated, step.evaluated) << utf8(step.text);
        EXPECT_EQ(answer(1), step.answer) << utf8(step.text);
    }
}

TEST_F(ChangePassShortcuts, ADeclarationsLineTokensAreMadeWhenAskedAndAfterEachChange) {
    // The whole line's tokens of "total = price * 2": "price" is a variable while a line
    // declares it, and a plain word once none does.
    auto kindOfPrice = [&]() -> NCExpressionTokenType {
        auto parsed = lines->lineAtIndex(1)->parsedExpression();
        if (!parsed) return 0;
        for (const auto& token : parsed->tokens())
            if (token->range().location == 8 && token->range().length == 5) return token->type();
        return 0;
    };
    load({u"price = 3", u"total = price * 2"});
    EXPECT_EQ(answer(1), "6");
    EXPECT_EQ(kindOfPrice(), NCExpressionTokenTypeVariable);
    edit(0, u"cost = 3");
    EXPECT_NE(kindOfPrice(), 0);
    EXPECT_NE(kindOfPrice(), NCExpressionTokenTypeVariable);
    edit(0, u"price = 4");
    EXPECT_EQ(kindOfPrice(), NCExpressionTokenTypeVariable);
    EXPECT_EQ(answer(1), "8");
}

TEST(ChangePassSubstitution, RulesApplyWhateverTheirPatternsBeginWith) {
    // A rule is passed over only for a text without the plain characters its pattern begins
    // with; every other pattern is always searched.
    struct Row {
        std::u16string pattern, replacement, text, expected;
    } rows[] = {
        {u"ab?c", u"X", u"zac", u"zX"},  // a quantified character is not required
        {u"ab*c", u"X", u"ac abbc", u"X X"},
        {u"fo{2}", u"F", u"foo fo", u"F fo"},
        {u"x|yz", u"Q", u"yz", u"Q"},      // an alternative at the top level
        {u"(?i)foo", u"F", u"FOO", u"F"},  // flags
        {u"[ab]c", u"Z", u"bc", u"Z"},
        {u"a\\d", u"N", u"a1 b1", u"N b1"},
        {u"%\\s*up", u"U", u"5 %  up", u"5 U"},
        {u"cd", u"E", u"abc", u"abc"},
        {u"(?i)line\\d", u"L", u"LiNe5 line", u"L line"},
        {u"(?i)ab", u"Z", u"xAB", u"xZ"},
        {u"(?i)s", u"Z", u"\u017F", u"Z"},  // long s folds to s
    };
    for (const Row& row : rows) {
        NCExpressionSubstituter substituter;
        substituter.addMappingFromRegex(row.pattern, row.replacement);
        std::u16string text = row.text;
        substituter.applySubstitutionsToMutableString(text);
        EXPECT_EQ(text, row.expected) << utf8(row.pattern);
    }
}

TEST(ChangePassSubstitution, UnitConversionWordsFollowTheirReplacement) {
    NCExpressionSubstituter substituter;
    struct Step {
        std::vector<std::u16string> words;
        std::u16string text, expected;
    } steps[] = {
        {{u"in", u"to"}, u"5 ft to m", u"5 ft __uc m"},
        {{u"in", u"to"}, u"5 ft at m", u"5 ft at m"},
        {{u"nach"}, u"5 ft nach m", u"5 ft __uc m"},
        {{u"nach"}, u"5 ft to m", u"5 ft to m"},
        {{u"en", u"\u00E0"}, u"5 ft \u00E0 m", u"5 ft __uc m"},
        {{u"i.n"}, u"5 ft ixn m", u"5 ft __uc m"},  // not plain: searched as a pattern
    };
    for (const Step& step : steps) {
        substituter.setUnitConversionOperators(step.words);
        std::u16string text = step.text;
        substituter.applySubstitutionsToMutableString(text);
        EXPECT_EQ(text, step.expected) << utf8(step.text);
    }
}

TEST(ChangePassSubstitution, ARuleAddedLaterAppliesFromThen) {
    NCExpressionSubstituter substituter;
    substituter.addMappingFromRegex(u"one", u"1");
    std::u16string text = u"one two";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"1 two");
    substituter.addMappingFromRegex(u"two", u"2");
    text = u"one two";
    substituter.applySubstitutionsToMutableString(text);
    EXPECT_EQ(text, u"1 2");
}

TEST(ChangePassGraph, ManyEdgesAddedAndRemovedMatchAPlainModel) {
    // Line i depends on the lines i % 7, i % 11 and i / 3 below it; lines are then rebuilt with
    // other edges in rounds. The graph's dependents must match a plain map of the same edges.
    NBFDependencyGraphRef graph = NBFDependencyGraphCreate();
    std::map<uint32_t, std::map<uint32_t, uint32_t>> dependencies;  // source -> target -> mask
    auto add = [&](uint32_t source, uint32_t target, uint32_t mask) {
        const bool added = NBFDependencyGraphAddDependency(graph, source, target, mask);
        const bool expected = source != target && !dependencies[source].count(target);
        EXPECT_EQ(added, expected) << source << " -> " << target;
        if (expected) dependencies[source][target] = mask;
    };
    auto removeAll = [&](uint32_t source) {
        NBFDependencyGraphRemoveAllDependenciesForLine(graph, source);
        dependencies.erase(source);
    };
    auto check = [&](uint32_t lines) {
        std::map<uint32_t, std::map<uint32_t, uint32_t>> dependents;
        for (const auto& [source, targets] : dependencies)
            for (const auto& [target, mask] : targets) dependents[target][source] = mask;
        std::vector<uint32_t> indexes(lines);
        std::vector<NBFDependencyTypeMask> masks(lines);
        for (uint32_t line = 0; line < lines; ++line) {
            const uint32_t found = NBFDependencyGraphGetDirectDependents(
                graph, line, indexes.data(), masks.data(), lines);
            std::map<uint32_t, uint32_t> got;
            for (uint32_t i = 0; i < found; ++i) got[indexes[i]] = masks[i];
            EXPECT_EQ(got, dependents[line]) << "line " << line;
        }
    };
    constexpr uint32_t kLines = 600;
    for (uint32_t i = 1; i < kLines; ++i) {
        add(i, i % 7, NBFDependencyTypeVariable);
        add(i, i % 11, NBFDependencyTypeAbsolute);
        add(i, i / 3, NBFDependencyTypeRelative);
    }
    check(kLines);
    for (uint32_t round = 1; round <= 3; ++round) {
        for (uint32_t i = round; i < kLines; i += 2 + round) {
            removeAll(i);
            add(i, (i * 13 + round) % i, NBFDependencyTypeVariable);
        }
        check(kLines);
    }
    // Line 0 and every line reaching it, each after the lines it depends on.
    std::set<uint32_t> reaching{0};
    for (bool grown = true; grown;) {
        grown = false;
        for (const auto& [source, targets] : dependencies)
            for (const auto& [target, mask] : targets)
                if (reaching.count(target) && reaching.insert(source).second) grown = true;
    }
    const std::vector<uint32_t> order =
        NBFDependencyGraphGetEvaluationOrderForNodeIndexes(graph, {0});
    EXPECT_EQ(std::set<uint32_t>(order.begin(), order.end()), reaching);
    EXPECT_EQ(order.size(), reaching.size());
    std::map<uint32_t, size_t> position;
    for (size_t i = 0; i < order.size(); ++i) position[order[i]] = i;
    for (const auto& [source, targets] : dependencies) {
        for (const auto& [target, mask] : targets) {
            if (position.count(source) && position.count(target)) {
                EXPECT_LT(position[target], position[source]) << source << " -> " << target;
            }
        }
    }
    NBFDependencyGraphRelease(graph);
}

}  // namespace
