// One line: its classification, answer, locale, references, identity and its link to the
// collection that holds it.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "NCEvaluator.h"
#include "NCExpressionParser.h"
#include "NCLineCollection.h"
#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "NCResultFormattingOptionsContextualizer.h"
#include "NCVariable.h"
#include "UnitsFileTestSupport.h"

namespace {

class LineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
        environment = std::make_shared<NCEnvironment>();
        environment->setUnitManager(units);
        environment->setVariables(NCVariableList::listWithStandardVariables());
        environment->setWordOperators(NCWordOperatorList::listWithStandardWordOperators());
        environment->setFunctions(
            std::make_shared<NCFunctionList>(NCEvaluator::builtInFunctions()));
        lines.setEnvironment(environment);
    }

    std::shared_ptr<NCLine> add(const std::u16string& text) {
        auto line = NCLine::lineWithExpressionString(text);
        lines.addLine(line);
        return line;
    }

    static std::string valueOf(const std::shared_ptr<NCResult>& result) {
        if (!result || result->resultType() != NCResultTypeValue) return "";
        return utf8(result->decimalValue(10));
    }

    std::shared_ptr<NCEnvironment> environment;
    NCLineCollection lines;
};

TEST_F(LineTest, Classification) {
    struct Row {
        std::optional<std::u16string> text;
        NCLineType type;
    } rows[] = {
        {std::nullopt, NCLineExpressionTypePlainText},
        {u"", NCLineExpressionTypeNormal},
        {u"3 + 4", NCLineExpressionTypeNormal},
        {u"price = 5", NCLineExpressionTypeVariableDeclaration},
        {u"= 5", NCLineExpressionTypePlainText},
        {u"a + b = 3", NCLineExpressionTypePlainText},
        {u"sqrt(2) = 3", NCLineExpressionTypePlainText},
    };
    for (const Row& row : rows) {
        auto line = NCLine::lineWithExpressionString(row.text);
        EXPECT_EQ(line->lineType(), row.type) << utf8(row.text);
    }
    // A line from no string: plain text, no answer, never parsed.
    auto none = NCLine::lineWithExpressionString(std::nullopt);
    EXPECT_EQ(none->result(), nullptr);
    EXPECT_FALSE(none->isParsed());
    EXPECT_EQ(none->simpleTokenizedExpression(), nullptr);
    NCLine bare;
    EXPECT_EQ(bare.lineType(), NCLineExpressionTypePlainText);
}

TEST_F(LineTest, AMalformedDeclarationIsNeverEvaluated) {
    auto line = add(u"a = b = 3");
    EXPECT_EQ(line->lineType(), NCLineExpressionTypePlainText);
    EXPECT_EQ(line->result(), NCResult::emptyResult());
    EXPECT_EQ(line->evaluableExpression(), nullptr);
    // The shared empty answer never takes a line's options.
    EXPECT_NE(NCResult::emptyResult()->resultFormattingOptions(), line->customFormattingOptions());
}

TEST_F(LineTest, PlainTextStaysPlainUntilItsTextChanges) {
    auto line = NCLine::lineWithPlainText(u"1 + 1");
    lines.addLine(line);
    EXPECT_EQ(line->lineType(), NCLineExpressionTypePlainText);
    EXPECT_EQ(line->result(), NCResult::emptyResult());
    line->setExpressionString(u"1 + 1");
    EXPECT_EQ(line->lineType(), NCLineExpressionTypeNormal);
    EXPECT_EQ(valueOf(line->result()), "2");
}

TEST_F(LineTest, ATextChangeDropsTheAnswerAndReclassifies) {
    auto line = add(u"2 * 21");
    EXPECT_EQ(valueOf(line->result()), "42");
    auto expression = line->expression();
    auto answer = line->result();
    // The same expression object again: nothing happens.
    line->_setExpression(expression);
    EXPECT_EQ(line->result(), answer);
    EXPECT_EQ(expression->line(), line.get());
    line->setExpressionString(u"total = 7");
    EXPECT_EQ(line->lineType(), NCLineExpressionTypeVariableDeclaration);
    EXPECT_EQ(expression->line(), nullptr);
    EXPECT_EQ(line->expression()->line(), line.get());
    EXPECT_EQ(valueOf(line->result()), "7");
    // Clearing caches makes a new expression of the same text.
    line->clearCaches();
    EXPECT_NE(line->expression(), expression);
    EXPECT_EQ(utf8(line->expressionString()), "total = 7");
    EXPECT_EQ(valueOf(line->result()), "7");
}

TEST_F(LineTest, TheLocaleReadsNumbersWithoutRewritingTheText) {
    auto line = add(u"1,5 + 1");
    auto first = line->result();
    ASSERT_TRUE(first);
    auto classified = line->lineExpression();
    // The same locale: nothing is dropped.
    line->setLocale(kNCSimpleLocalDefault);
    EXPECT_TRUE(line->hasResult());
    EXPECT_EQ(line->lineExpression(), classified);
    // Comma as decimal point, point as grouping: 1.5 + 1.
    line->setLocale(NCSimpleLocale{u',', u'.'});
    EXPECT_FALSE(line->hasResult());
    EXPECT_NE(line->lineExpression(), classified);
    EXPECT_EQ(utf8(line->expressionString()), "1,5 + 1");
    EXPECT_EQ(utf8(line->delocalizedExpressionString()), "1.5 + 1");
    // The answer is shown in the line's characters too.
    EXPECT_EQ(valueOf(line->result()), "2,5");
    // Converting rewrites the text into the new characters.
    line->convertToLocale(kNCSimpleLocalDefault);
    EXPECT_EQ(utf8(line->expressionString()), "1.5 + 1");
    EXPECT_EQ(valueOf(line->result()), "2.5");
}

TEST_F(LineTest, AFreeLineEvaluatesItselfOnRequest) {
    environment->set();
    auto line = NCLine::lineWithExpressionString(u"3 ft in inches");
    EXPECT_FALSE(line->hasResult());
    EXPECT_TRUE(line->needsEvaluation());
    EXPECT_EQ(valueOf(line->result()), "36");
    EXPECT_TRUE(line->isEvaluated());
    line->invalidateResult();
    EXPECT_FALSE(line->isEvaluated());
    EXPECT_EQ(line->_resultAlongPath(nullptr, nullptr), nullptr);
    EXPECT_EQ(valueOf(line->result()), "36");
}

TEST(FreeLine, EvaluatesWithWhateverEnvironmentThereIs) {
    initFoundationConstants();
    // With or without a current environment, plain arithmetic needs none.
    auto line = NCLine::lineWithExpressionString(u"5 × 3 - 2^3");
    ASSERT_NE(line->result(), nullptr);
    EXPECT_EQ(utf8(line->result()->decimalValue(10)), "7");
}

TEST_F(LineTest, DirectReferences) {
    for (int i = 0; i < 5; ++i) add(u"1");
    auto line = add(NCExpression::relativeLineReferenceTokenWithOffset(-1) + u" + " +
                    NCExpression::absoluteLineReferenceTokenWithIndex(2));
    ASSERT_EQ(line->index(), 5u);
    EXPECT_TRUE(
        line->directRelativeLineReferenceIndexes()->isEqual(NCIndexSet::indexSetWithIndexes({-1})));
    EXPECT_TRUE(
        line->directAbsoluteLineReferenceIndexes()->isEqual(NCIndexSet::indexSetWithIndexes({2})));
    EXPECT_TRUE(
        line->directLineReferenceIndexes()->isEqual(NCIndexSet::indexSetWithIndexes({4, 2})));
    // A new index moves the relative target.
    line->setIndex(8);
    EXPECT_TRUE(
        line->directLineReferenceIndexes()->isEqual(NCIndexSet::indexSetWithIndexes({7, 2})));
    // Only one kind: the other is an empty set; no reference at all: none.
    auto byNumber = add(u"line3 * 2");
    ASSERT_TRUE(byNumber->directRelativeLineReferenceIndexes().has_value());
    EXPECT_EQ(byNumber->directRelativeLineReferenceIndexes()->count(), 0u);
    EXPECT_TRUE(
        byNumber->directLineReferenceIndexes()->isEqual(NCIndexSet::indexSetWithIndexes({2})));
    EXPECT_FALSE(add(u"4 + 4")->directLineReferenceIndexes().has_value());
    EXPECT_FALSE(add(u"notes = = here")->directLineReferenceIndexes().has_value());
}

TEST_F(LineTest, InACollectionWordsAreReadInItsNamespace) {
    auto variables = std::make_shared<NCVariableList>();
    variables->addVariable(NCVariable::variableWithName(u"total", u"5", 0, nullptr));
    environment = std::make_shared<NCEnvironment>();
    environment->setVariables(variables);
    lines.setEnvironment(environment);
    add(u"1");
    auto line = add(u"total * 2 + " + NCExpression::relativeLineReferenceTokenWithOffset(-1));
    EXPECT_EQ(line->tokenizedExpression()->tokens().front()->type(), NCExpressionTokenTypeVariable);
    EXPECT_EQ(NCLineBackedParsedExpression(line.get()).tokens().front()->type(),
              NCExpressionTokenTypeVariable);
    EXPECT_EQ(
        NCExpressionParser::lineReferenceTokensOfType(NCLineReferenceTypeRelative, *line)->size(),
        1u);
    EXPECT_FALSE(NCExpressionParser::lineReferenceTokensOfType(NCLineReferenceTypeAbsolute, *line)
                     .has_value());
    // The collection parsed the line when it was added: it names the variable it reads.
    EXPECT_EQ(NCExpressionParser::findVariableReferencesInLine(*line),
              std::set<std::u16string>{u"total"});
    EXPECT_EQ(valueOf(line->result()), "11");
    // A free line's words are not the document's.
    auto free = NCLine::lineWithExpressionString(u"total * 2");
    EXPECT_NE(free->tokenizedExpression()->tokens().front()->type(), NCExpressionTokenTypeVariable);
}

TEST_F(LineTest, IdentifiersNeverRepeat) {
    std::set<std::u16string> seen;
    std::vector<std::shared_ptr<NCLine>> kept;
    for (int i = 0; i < 1000; ++i) {
        kept.push_back(NCLine::lineWithExpressionString(u"1"));
        EXPECT_TRUE(seen.insert(kept.back()->uniqueIdentifier()).second);
    }
    // Kept for the line's life.
    const std::u16string first = kept.front()->uniqueIdentifier();
    EXPECT_EQ(kept.front()->uniqueIdentifier(), first);
    // Lines made on several threads at once.
    std::vector<std::vector<std::u16string>> made(4);
    std::vector<std::thread> threads;
    for (auto& list : made)
        threads.emplace_back([&list] {
            for (int i = 0; i < 500; ++i)
                list.push_back(NCLine::lineWithExpressionString(u"1")->uniqueIdentifier());
        });
    for (auto& thread : threads) thread.join();
    for (const auto& list : made)
        for (const auto& identifier : list) EXPECT_TRUE(seen.insert(identifier).second);
    EXPECT_EQ(seen.size(), 3000u);
}

TEST_F(LineTest, ARemovedLineLeavesItsCollection) {
    auto a = add(u"1"), b = add(u"2"), c = add(u"3");
    lines.removeLineAtIndex(1);
    EXPECT_EQ(b->_lineCollection(), nullptr);
    EXPECT_EQ(c->index(), 1u);
    EXPECT_EQ(lines.lineAtIndex(1), c);
    // The removed line evaluates on its own now and leaves the collection's lines alone.
    auto cAnswer = c->result();
    b->setExpressionString(u"20 * 2");
    EXPECT_EQ(c->result(), cAnswer);
    lines.removeLineAtIndex(7);  // out of range: nothing
    EXPECT_EQ(lines.countOfLines(), 2u);

    lines.removeAllLines();
    EXPECT_EQ(a->_lineCollection(), nullptr);
    EXPECT_EQ(c->_lineCollection(), nullptr);
    auto d = NCLine::lineWithExpressionString(u"4");
    {
        NCLineCollection dying;
        dying.addLine(d);
        EXPECT_EQ(d->_lineCollection(), &dying);
    }
    EXPECT_EQ(d->_lineCollection(), nullptr);
}

TEST_F(LineTest, AStaleLinkRegistersNothing) {
    auto held = add(u"5");
    auto sentinel = NCResult::resultWithRawResultString(u"99");
    held->setResult(sentinel);
    // A line that believes it is line 0 of the collection, which holds another line there.
    auto stray = NCLine::lineWithExpressionString(u"1");
    stray->_setLineCollection(&lines);
    stray->setExpressionString(u"6");
    EXPECT_EQ(held->result(), sentinel);
    EXPECT_EQ(valueOf(stray->result()), "6");
    stray->_setLineCollection(nullptr);
}

TEST_F(LineTest, TrigonometryModeFallsBackToTheCollection) {
    auto line = add(u"sin(90)");
    EXPECT_EQ(line->trigonometryMode(), 0);
    lines.setTrigonometryMode(NCTrigonometryModeDegrees);
    EXPECT_EQ(line->trigonometryMode(), NCTrigonometryModeDegrees);
    EXPECT_FALSE(line->isTrigonometryModeSet());
    EXPECT_EQ(valueOf(line->result()), "1");
    line->setTrigonometryMode(NCTrigonometryModeRadians);
    EXPECT_TRUE(line->isTrigonometryModeSet());
    // sin(90 rad) = 0.89399666360055789051...
    EXPECT_EQ(valueOf(line->result()), "0.8939966636");
}

TEST_F(LineTest, EqualityFollowsTheExpression) {
    auto one = NCLine::lineWithExpressionString(u"2 + 2");
    auto two = NCLine::lineWithExpressionString(u"2 + 2");
    auto other = NCLine::lineWithExpressionString(u"2 + 3");
    EXPECT_TRUE(one->isEqual(two.get()));
    EXPECT_EQ(one->hash(), two->hash());
    EXPECT_FALSE(one->isEqual(other.get()));
    EXPECT_FALSE(one->isEqual(nullptr));
    const std::string description = utf8(one->description());
    EXPECT_EQ(description.rfind("<NCLine: 0x", 0), 0u) << description;
    EXPECT_NE(description.find(", expression: 2 + 2, result: "), std::string::npos);
}

TEST_F(LineTest, FormattedAnswers) {
    auto line = add(u"5 × 3");
    EXPECT_EQ(utf8(line->formattedResult()), "15");
    EXPECT_EQ(add(u"words only =")->formattedResult(), std::nullopt);
    EXPECT_EQ(add(u"")->formattedResult(), std::nullopt);
    // A percentage shows four significant digits, without trailing zeros: 100/3 % is 33.33%.
    auto percent = add(u"(100/3)%");
    EXPECT_EQ(percent->formattingOptions()->significantDigits(), 4u);
    EXPECT_EQ(utf8(percent->formattedResult()), "33.33%");
    percent->setAutomaticallyAdjustsOutputPrecision(false);
    EXPECT_EQ(percent->formattingOptions()->significantDigits(), 0u);
    // The answer carries the line's own options.
    EXPECT_EQ(line->result()->resultFormattingOptions(), line->customFormattingOptions());
    auto shared = std::make_shared<NCResultFormattingOptions>();
    line->setCustomFormattingOptions(shared);
    EXPECT_EQ(line->customFormattingOptions(), shared);
    line->setAutomaticContextualFormattingEnabled(false);
    EXPECT_EQ(line->formattingOptions(), shared);
}

// Only an answer that is a value counts: an empty line, plain text and an error do not.
TEST_F(LineTest, HasResultValueOnlyForAValue) {
    struct Row {
        std::u16string text;
        bool value;
    } rows[] = {
        {u"5 × 3", true},      {u"price = 4", true}, {u"", false},
        {u"a = b = 3", false}, {u"1 / 0", false},    {u"5 m in kg", false},
    };
    for (const Row& row : rows) {
        auto line = add(row.text);
        // Asked before anything evaluated the line: it is evaluated for the answer.
        EXPECT_EQ(line->hasResultValue(), row.value) << utf8(row.text);
        EXPECT_EQ(line->hasResultValue(), line->formattedResult().has_value()) << utf8(row.text);
    }
    auto freeLine = NCLine::lineWithExpressionString(std::nullopt);
    EXPECT_FALSE(freeLine->hasResultValue());
}

TEST(ResultFormattingOptionsContextualizer, PercentagesAndMoney) {
    auto options = std::make_shared<NCResultFormattingOptions>();
    options->setSignificantDigits(0);
    options->trailingZeros = true;
    struct Row {
        const char16_t* raw;
        bool autoPrecision;
        uint64_t significantDigits;
        int32_t precisionMode;
    } rows[] = {
        {u"12.5", true, 4, 1},      // two whole digits: at least four
        {u"123456.5", true, 6, 1},  // six whole digits
        {u"12.5", false, 0, 0},     // left alone without auto precision
    };
    for (const Row& row : rows) {
        NCResult percent(std::u16string(row.raw), nullptr, NCResultFlagPercentage);
        NCResultFormattingOptionsContextualizer contextualizer;
        contextualizer.setEnableAutoPrecision(row.autoPrecision);
        auto adjusted = contextualizer.contextualizedOptions(options, &percent);
        EXPECT_NE(adjusted, options);
        EXPECT_EQ(adjusted->significantDigits(), row.significantDigits) << utf8(row.raw);
        EXPECT_EQ(adjusted->precisionMode(), row.precisionMode);
        EXPECT_FALSE(adjusted->trailingZeros);
    }
    // The given options are untouched.
    EXPECT_TRUE(options->trailingZeros);
    EXPECT_EQ(options->significantDigits(), 0u);

    NCResult money(std::u16string(u"12.5"),
                   std::make_shared<NCUnit>(std::u16string(u"EUR"), NCUnitTypeCurrency, nullptr));
    NCResultFormattingOptionsContextualizer contextualizer;
    options->trailingZeros = false;
    options->displayBase = 16;
    auto adjusted = contextualizer.contextualizedOptions(options, &money);
    EXPECT_EQ(adjusted->decimalPlaces(), 2u);
    EXPECT_TRUE(adjusted->trailingZeros);
    EXPECT_EQ(adjusted->displayBase, 10);
    EXPECT_EQ(adjusted->unitNameFormat, NCUnitNameFormatSymbol);
    // Plain numbers and no result: unchanged copies.
    NCResult plain(std::u16string(u"7"));
    EXPECT_EQ(contextualizer.contextualizedOptions(options, &plain)->displayBase, 16);
    EXPECT_EQ(contextualizer.contextualizedOptions(options, nullptr)->displayBase, 16);
}

}  // namespace
