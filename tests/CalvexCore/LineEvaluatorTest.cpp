// Lines of a collection evaluated as a document does, over the real units catalogue:
// declarations give line variables whose values hold from their line on (the first from the
// top); references read other lines' answers; cycles of references end in an error.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <functional>
#include <map>

#include "NCBuiltins.h"
#include "NCEvaluator.h"
#include "NCLineCollection.h"
#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "NCVariable.h"
#include "UnitsFileTestSupport.h"

namespace {

std::shared_ptr<NCEnvironment> documentEnvironment(bool binaryBytes = false) {
    initFoundationConstants();
    static auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
    static auto binaryUnits =
        realUnitManager({{NCUnitsPreferenceBytePrefix, NCUnitsPreferenceBytePrefixOptionBinary}});
    auto environment = std::make_shared<NCEnvironment>();
    auto variables = std::make_shared<NCVariableList>();
    variables->setParentList(NCVariableList::listWithStandardVariables());
    environment->setUnitManager(binaryBytes ? binaryUnits : units);
    environment->setVariables(variables);
    environment->setWordOperators(NCWordOperatorList::listWithStandardWordOperators());
    environment->setFunctions(std::make_shared<NCFunctionList>(NCEvaluator::builtInFunctions()));
    return environment;
}

// "value unit"; "" for an answer without value; "(text)" for plain text.
std::string answerOf(NCLine& line) {
    if (line.lineType() == NCLineExpressionTypePlainText) return "(text)";
    std::shared_ptr<NCResult> result = line.result();
    if (!result || result->resultType() != NCResultTypeValue) return "";
    std::string answer = utf8(result->decimalValue(10));
    if (result->unit()) answer += " " + utf8(result->unitString());
    return answer;
}

// A document whose declarations feed the collection's variable list as its variable pass would:
// the first declaring line governs from the top, later ones from their own line on.
class Document {
  public:
    explicit Document(NCTrigonometryMode mode = NCTrigonometryModeRadians, bool binaryBytes = false)
        : environment(documentEnvironment(binaryBytes)) {
        lines.setEnvironment(environment);
        lines.setTrigonometryMode(mode);
    }

    std::shared_ptr<NCLine> add(const std::u16string& text) {
        auto line = NCLine::lineWithExpressionString(text);
        lines.addLine(line);
        return line;
    }

    std::vector<std::string> evaluate(const std::vector<std::u16string>& texts) {
        std::vector<std::string> answers;
        for (const std::u16string& text : texts) {
            auto line = add(text);
            answers.push_back(answerOf(*line));
            declare(*line);
        }
        return answers;
    }

    void declare(NCLine& line) {
        auto declaration = line.variableDeclaration();
        if (!declaration || !declaration->name()) return;
        auto& variable = variables[*declaration->name()];
        const bool first = !variable;
        if (first) {
            variable = NCVariable::variableWithName(*declaration->name());
            NBFVariableListAddVariable(environment->variables()->nbfVariableList(),
                                       variable->nbfVariable());
            environment->variables()->registerStateChange();
        }
        auto result = line.result();
        if (result && result->resultType() == NCResultTypeValue)
            variable->setDelocalizedValue(
                result->stringValueWithPrecision(NCLineEvaluator::evaluationPrecision()),
                result->flags(), result->unit(),
                NBFRangeMake(first ? 0 : static_cast<int32_t>(line.index()), NBFRangeLengthMax));
    }

    std::shared_ptr<NCEnvironment> environment;
    NCLineCollection lines;
    std::map<std::u16string, std::shared_ptr<NCVariable>> variables;
};

std::vector<std::string> evaluateDocument(const std::vector<std::u16string>& texts,
                                          NCTrigonometryMode mode = NCTrigonometryModeRadians) {
    return Document(mode).evaluate(texts);
}

TEST(LineEvaluatorTest, LinesOverTheRealCatalogue) {
    // Expected values from the unit definitions: 1 ft = 30.48 cm, °F = °C × 9/5 + 32,
    // 1 KB = 1000 bytes, 1 hectare = 10,000 m², standard gravity 9.80665 m/s².
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"5 ft in cm", "152.4 cm"},
        {u"100 °C in °F", "212 °F"},
        {u"1 KB in bytes", "1000 bytes"},
        {u"2 metres / 4 seconds", "0.5 metres per second"},
        {u"1 hectare in m²", "10000 m^2"},
        {u"10 litres per hundred kilometres", "10 litres per hundred kilometres"},
        {u"1 gee in m/s²", "9.80665 m/s^2"},
        {u"0.1 litres per kilometre in litres per hundred kilometres",
         "10 litres per hundred kilometres"},
        {u"5 × 3", "15"},
        {u"20% off 50", "40"},
        {u"20 as a % of 50", "40%"},
        {u"√16 + 1", "5"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(evaluateDocument({text}).front(), expected) << utf8(std::u16string(text));
}

TEST(LineEvaluatorTest, AnswersAsTheLineShowsThem) {
    // Grouping is a display option: on by default, off on request.
    struct Row {
        const char16_t* text;
        bool binaryBytes;
        bool grouping;
        const char* shown;
    } rows[] = {
        {u"1 KB in bytes", false, true, "1,000 bytes"},
        {u"1 KB in bytes", true, true, "1,024 bytes"},
        {u"1 KB in bytes", false, false, "1000 bytes"},
        {u"1 hectare in m²", false, true, "10,000 m^2"},
        {u"20 as a % of 50", false, true, "40%"},
        {u"5 × 3", false, true, "15"},
    };
    for (const Row& row : rows) {
        Document document(NCTrigonometryModeRadians, row.binaryBytes);
        auto line = document.add(row.text);
        line->customFormattingOptions()->thousandsSeparator = row.grouping;
        EXPECT_EQ(utf8(line->formattedResult()), row.shown) << utf8(std::u16string(row.text));
    }
}

TEST(LineEvaluatorTest, DeclarationsAndTheirUses) {
    EXPECT_EQ(evaluateDocument({u"my total = 5", u"total * 2"}),
              (std::vector<std::string>{"5", "10"}));
    EXPECT_EQ(evaluateDocument({u"a = 5", u"a + 1", u"a = 7", u"a + 1"}),
              (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_EQ(evaluateDocument({u"speed = 90 km/h", u"speed in m/s"}),
              (std::vector<std::string>{"90 km/h", "25 m/s"}));
    // Not a declaration: plain text, never evaluated, and no variable comes of it.
    EXPECT_EQ(evaluateDocument({u"a = b = 3", u"a"}), (std::vector<std::string>{"(text)", ""}));
    EXPECT_EQ(evaluateDocument({u"just some words here"}).front(), "");
    // A function's name before "=" still names a variable: the plain tokens know no functions.
    Document document;
    auto line = document.add(u"sqrt = 3");
    EXPECT_EQ(line->lineType(), NCLineExpressionTypeVariableDeclaration);
    EXPECT_EQ(utf8(line->variableDeclaration()->name()), "sqrt");
    EXPECT_EQ(answerOf(*line), "3");
}

TEST(LineEvaluatorTest, TrigonometryByTheLinesMode) {
    EXPECT_EQ(evaluateDocument({u"sin(30)", u"cos(60)", u"atan(1)"}, NCTrigonometryModeDegrees),
              (std::vector<std::string>{"0.5", "0.5", "45"}));
    EXPECT_EQ(evaluateDocument({u"sin(pi/2)", u"cos(pi)", u"atan(1)*4"}),
              (std::vector<std::string>{"1", "-1", "3.1415926536"}));
    // The line's own mode wins over its collection's; changing it drops the answer.
    Document document(NCTrigonometryModeDegrees);
    auto line = document.add(u"sin(30)");
    EXPECT_EQ(answerOf(*line), "0.5");
    line->setTrigonometryMode(NCTrigonometryModeRadians);
    EXPECT_FALSE(line->hasResult());
    // sin(30 rad) = -0.98803162409286178999...
    EXPECT_EQ(answerOf(*line), "-0.9880316241");
}

TEST(LineEvaluatorTest, EmptyAndAbsentEvaluableParts) {
    Document document;
    auto plain = document.add(u"x + y = 3");
    auto empty = document.add(u"");
    EXPECT_EQ(plain->lineType(), NCLineExpressionTypePlainText);
    EXPECT_EQ(plain->result(), NCResult::emptyResult());
    EXPECT_EQ(empty->lineType(), NCLineExpressionTypeNormal);
    auto raw = empty->result();
    ASSERT_NE(raw, nullptr);
    EXPECT_NE(raw, NCResult::emptyResult());
    EXPECT_EQ(raw->rawResult(), std::nullopt);
    // A declaration without a value evaluates nothing.
    auto noValue = document.add(u"x =");
    EXPECT_EQ(noValue->lineType(), NCLineExpressionTypeVariableDeclaration);
    EXPECT_EQ(noValue->result(), NCResult::emptyResult());
}

TEST(LineEvaluatorTest, LineReferencesInTheirStoredForm) {
    const std::u16string byNumber = NCExpression::absoluteLineReferenceByLineNumberFunctionName();
    const std::u16string relative = NCExpression::relativeLineReferenceFunctionName();
    EXPECT_EQ(evaluateDocument({u"4 m", byNumber + u"(1) * 3", relative + u"(-1) in cm"}),
              (std::vector<std::string>{"4 m", "12 m", "1200 cm"}));
    EXPECT_EQ(evaluateDocument({u"4", byNumber + u"(99999999999)", relative + u"(-99999999999)",
                                relative + u"(0)"}),
              (std::vector<std::string>{"4", "", "", ""}));
}

TEST(LineEvaluatorTest, ReferenceCyclesEndInAnError) {
    auto absolute = [](uint64_t index) {
        return NCExpression::absoluteLineReferenceTokenWithIndex(index);
    };
    struct Row {
        std::vector<std::u16string> texts;
        std::vector<bool> inCycle;
    } rows[] = {
        // Two lines referring to each other.
        {{absolute(1) + u" + 1", absolute(0) + u" + 1"}, {true, true}},
        // Three in a ring, and a fourth line that only uses the ring.
        {{absolute(2) + u" * 2", absolute(0) + u" + 1", absolute(1) + u" - 3",
          absolute(0) + u" + 10"},
         {true, true, true, false}},
    };
    for (const Row& row : rows) {
        // Every evaluation order: the first line asked, the last one asked.
        for (bool fromTheEnd : {false, true}) {
            Document document;
            std::vector<std::shared_ptr<NCLine>> lines;
            for (const auto& text : row.texts) lines.push_back(document.add(text));
            if (fromTheEnd) std::reverse(lines.begin(), lines.end());
            std::vector<bool> inCycle = row.inCycle;
            if (fromTheEnd) std::reverse(inCycle.begin(), inCycle.end());
            for (size_t i = 0; i < lines.size(); ++i) {
                auto result = lines[i]->result();
                ASSERT_NE(result, nullptr);
                EXPECT_EQ(result->resultType(), NCResultTypeError) << i;
                if (inCycle[i]) {
                    EXPECT_EQ(lines[i]->evaluationError(), NCLineReferenceCycleError) << i;
                }
            }
        }
    }
}

TEST(LineEvaluatorTest, LongChainsAreEvaluatedTargetsFirst) {
    // A running total asked for at its last line: every line is evaluated once, in order, and
    // never nested deeper than the limit.
    const std::u16string above = NCExpression::relativeLineReferenceTokenWithOffset(-1);
    Document document;
    const int count = 400;
    std::shared_ptr<NCLine> last;
    document.add(u"1");
    for (int i = 1; i < count; ++i) last = document.add(above + u" + 1");
    EXPECT_EQ(answerOf(*last), std::to_string(count));
    EXPECT_EQ(last->evaluationError(), 0);
    EXPECT_EQ(answerOf(*document.lines.lineAtIndex(count / 2)), std::to_string(count / 2 + 1));
}

TEST(LineEvaluatorTest, APassFindsACycleWhateverItsMembersHeld) {
    // Line 0 is "5", line 1 uses it; then line 0 is made to use line 1. Both held clean answers.
    Document document;
    auto first = document.add(u"5");
    auto second = document.add(NCExpression::absoluteLineReferenceTokenWithIndex(0) + u" + 1");
    EXPECT_EQ(answerOf(*second), "6");
    first->setExpressionString(NCExpression::absoluteLineReferenceTokenWithIndex(1) + u" + 1");
    // The collection's change pass evaluates the edited line with its dependent: a cycle.
    for (const auto& line : {first, second})
        EXPECT_EQ(line->evaluationError(), NCLineReferenceCycleError);
    // So does a pass over the two by the line evaluator.
    NCLineEvaluator::evaluateLines({first, second});
    for (const auto& line : {first, second}) {
        EXPECT_EQ(line->result()->resultType(), NCResultTypeError);
        EXPECT_EQ(line->evaluationError(), NCLineReferenceCycleError);
    }
    // Broken again: the pass gives clean answers in dependency order.
    first->setExpressionString(u"10");
    NCLineEvaluator::evaluateLines({first, second});
    EXPECT_EQ(answerOf(*first), "10");
    EXPECT_EQ(answerOf(*second), "11");
    EXPECT_EQ(second->evaluationError(), 0);
}

TEST(LineEvaluatorTest, HostileTextNeverBreaksALine) {
    std::u16string longSum, deep;
    for (int i = 0; i < 2000; ++i) longSum += u"1+";
    for (int i = 0; i < 500; ++i) deep = u"(" + deep + u")";
    const std::pair<std::u16string, NCLineType> rows[] = {
        {u"((((", NCLineExpressionTypeNormal},
        {u"))))", NCLineExpressionTypeNormal},
        {u"= = =", NCLineExpressionTypePlainText},  // no name before the first "="
        {u"a =", NCLineExpressionTypeVariableDeclaration},
        {u"\xD800 + 1", NCLineExpressionTypeNormal},  // a lone surrogate
        {u"√√√√", NCLineExpressionTypeNormal},
        {u"line1 = 3", NCLineExpressionTypePlainText},  // a reference is no name
        {u"x = line9", NCLineExpressionTypeVariableDeclaration},
        {u"(___rel_line(", NCLineExpressionTypeNormal},
        {NCExpression::absoluteLineReferenceTokenWithIndex(4000000000u),
         NCLineExpressionTypeNormal},
        {u"in in in", NCLineExpressionTypeNormal},
        {std::u16string(1000, u'('), NCLineExpressionTypeNormal},
        {std::u16string(NCLineEvaluator::maximumEvaluatedLineLength(), u'9'),
         NCLineExpressionTypeNormal},
        {std::u16string(20000, u'9'), NCLineExpressionTypePlainText},  // too long to evaluate
        {longSum + u"1", NCLineExpressionTypeNormal},
        {deep, NCLineExpressionTypeNormal},
    };
    Document document;
    for (const auto& [text, type] : rows) {
        auto line = document.add(text);
        EXPECT_EQ(line->lineType(), type) << utf8(text.substr(0, 40));
        EXPECT_NE(line->result(), nullptr) << utf8(text.substr(0, 40));
        line->directLineReferenceIndexes();
        NCLineExpressionParser(document.environment).parseLineExpression(*line->lineExpression());
    }
}

// Runs the work on a thread with a small stack.
void onSmallStack(size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    auto body = [](void* argument) -> void* {
        (*static_cast<const std::function<void()>*>(argument))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, body, const_cast<std::function<void()>*>(&work)),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

TEST(LineEvaluatorTest, ALongRingEndsInErrorsOnASmallStack) {
    // Each line refers to the next, the last to the first: every line is on the ring.
    Document document;
    const uint64_t count = 60;
    std::vector<std::shared_ptr<NCLine>> ring;
    for (uint64_t i = 0; i < count; ++i)
        ring.push_back(document.add(
            NCExpression::absoluteLineReferenceTokenWithIndex((i + 1) % count) + u" + 1"));
    onSmallStack(1 << 19, [&] {
        for (const auto& line : ring) line->result();
    });
    for (const auto& line : ring) {
        ASSERT_TRUE(line->hasResult());
        EXPECT_EQ(line->result()->resultType(), NCResultTypeError);
        EXPECT_NE(line->evaluationError(), 0);
    }
}

TEST(LineEvaluatorTest, EvaluationWithoutAPathGivesNothing) {
    Document document;
    auto line = document.add(u"1 + 1");
    NCEvaluator evaluator(document.environment->unitManager(), document.environment->variables());
    testing::internal::CaptureStderr();
    EXPECT_EQ(evaluator.evaluateLine(*line, nullptr, nullptr), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Error: index path can not be nil"),
              std::string::npos);
    NCIndexPath path;
    path.pushIndex(7);
    NCLineExpressionParser(document.environment).parseLineExpression(*line->lineExpression());
    auto result = evaluator.evaluateLine(*line, &path, nullptr);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(utf8(result->decimalValue(10)), "2");
    // The line's index was on the path only while it was evaluated.
    EXPECT_EQ(path.count(), 1u);
    EXPECT_EQ(path.topIndex(), 7);
}

TEST(LineEvaluatorTest, ModuloOfFractionalOperands) {
    // a - trunc(a / b) * b on the operands as written; "%" makes the divisor a fraction.
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"5.5 mod 2", "1.5"},     {u"7.5 mod 2.5", "0"},
        {u"1.75 mod 0.5", "0.25"}, {u"10 mod 0.3", "0.1"},
        {u"10 mod 30%", "0.1"},    {u"-7 mod 3", "-1"},
        {u"7 mod 3", "1"},         {u"-5.5 mod 2", "-1.5"},
        {u"17 mod (-5)", "2"},     {u"_mod(5.5; 2)", "1.5"},
        {u"_mod(10; 30%)", "0.1"}, {u"123456789123456789123 mod 1000", "123"},
        {u"0.3 mod 10", "0.3"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(evaluateDocument({text}).front(), expected) << utf8(std::u16string(text));
}

TEST(LineEvaluatorTest, ModuloByZeroIsADivisionByZero) {
    for (const char16_t* text : {u"1 / 0", u"5 mod 0", u"5.5 mod 0", u"5 mod 0%", u"_mod(5; 0)"}) {
        Document document;
        auto line = document.add(text);
        ASSERT_TRUE(line->result()) << utf8(std::u16string(text));
        EXPECT_NE(line->result()->resultType(), NCResultTypeValue) << utf8(std::u16string(text));
        EXPECT_EQ(line->result()->errorType(), NCResultErrorTypeDivideByZero)
            << utf8(std::u16string(text));
    }
}

TEST(LineEvaluatorTest, InchBeforeAConversionWord) {
    // 1 in = 2.54 cm. "in" after a number and before another conversion word is the inch;
    // everywhere else it converts.
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"5 ft + 11 in in cm", "180.34 cm"},
        {u"5 in in cm", "12.7 cm"},
        {u"11 in to cm", "27.94 cm"},
        {u"2 in as mm", "50.8 mm"},
        {u"5 ft + 11 in to cm", "180.34 cm"},
        {u"1.5 in in mm", "38.1 mm"},
        {u"1,000 in in m", "25.4 m"},
        {u"5 ft in cm", "152.4 cm"},
        {u"1 mile in km", "1.609344 km"},
        {u"20% of 50 in cm", "10 cm"},
        {u"(5 ft) in cm", "152.4 cm"},
        {u"5 ft + 11 in", "16 ft"},
        {u"11 in", "11"},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(evaluateDocument({text}).front(), expected) << utf8(std::u16string(text));
}

}  // namespace
