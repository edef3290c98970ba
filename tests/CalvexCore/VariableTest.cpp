// Variables: values by line, the round trip of a global variable's property dictionary, and
// evaluation through the variable list.
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCLineCollectionVariable.h"
#include "NCVariable.h"
#include "UnitsFileTestSupport.h"

namespace {

TEST(VariableTest, ARepeatedValueStillReachesLinesThatHeldAnother) {
    initFoundationConstants();
    auto variable = NCVariable::variableWithName(u"a");
    // "a = 5" on line 0 governs lines 0 and 1; "a = 7" on line 2 governs from there.
    variable->setDelocalizedValue(u"5", 0, nullptr, NBFRangeMake(0, NBFRangeLengthMax));
    variable->setDelocalizedValue(u"7", 0, nullptr, NBFRangeMake(2, NBFRangeLengthMax));
    EXPECT_EQ(utf8(variable->delocalizedValueForLineAtIndex(1)), "5");
    EXPECT_EQ(utf8(variable->delocalizedValueForLineAtIndex(3)), "7");
    // Line 0 becomes "a = 7": the unscoped text is already "7", but line 1 held 5.
    variable->setDelocalizedValue(u"7", 0, nullptr, NBFRangeMake(0, NBFRangeLengthMax));
    variable->setDelocalizedValue(u"7", 0, nullptr, NBFRangeMake(2, NBFRangeLengthMax));
    for (uint64_t line : {0u, 1u, 2u, 5u})
        EXPECT_EQ(utf8(variable->delocalizedValueForLineAtIndex(line)), "7") << line;
}

TEST(VariableTest, AnUnchangedValueForEveryLineChangesNothing) {
    initFoundationConstants();
    auto variable = NCVariable::variableWithName(u"b", u"2.5", 0, nullptr);
    NBFStringRef before = NBFVariableGetValueReference(variable->nbfVariable());
    variable->setDelocalizedValue(u"2.5", 0, nullptr);
    EXPECT_EQ(NBFVariableGetValueReference(variable->nbfVariable()), before);
    variable->setDelocalizedValue(u"2.5", NCResultFlagPercentage, nullptr);
    EXPECT_EQ(variable->resultFlags() & NCResultFlagPercentage, NCResultFlagPercentage);
}

TEST(VariableTest, AGlobalVariableInKilometresPerHourSurvivesItsDictionary) {
    initFoundationConstants();
    auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
    auto words = NCWordOperatorList::listWithStandardWordOperators();
    NCEvaluator evaluator(units, NCVariableList::listWithStandardVariables(), words);
    auto speed = evaluator.evaluateExpression(NCExpression::expressionWithString(u"90 km/h"));
    ASSERT_EQ(speed->resultType(), NCResultTypeValue);
    auto variable = std::make_shared<NCVariable>(std::u16string(u"cruise"), speed);
    auto properties = variable->dictionaryRepresentation();
    ASSERT_TRUE(properties.count(u"unitIdentifier"));
    const std::u16string identifier = std::get<std::u16string>(properties[u"unitIdentifier"]);
    // The identifier text holds "si+3-metre", which as an expression would be arithmetic.
    EXPECT_NE(identifier.find(u"si+3-metre"), std::u16string::npos) << utf8(identifier);

    auto restored = NCVariable::variableWithDictionaryRepresentation(properties, *units);
    ASSERT_NE(restored, nullptr);
    ASSERT_NE(restored->unit(), nullptr) << utf8(identifier);
    EXPECT_EQ(utf8(restored->delocalizedValue()), "90");

    // The restored variable evaluates as 25 metres per second.
    auto list = NCVariableList::listWithStandardVariables();
    NBFVariableListAddVariable(list->nbfVariableList(), restored->nbfVariable());
    NCEvaluator withVariable(units, list, words);
    auto result =
        withVariable.evaluateExpression(NCExpression::expressionWithString(u"cruise in m/s"));
    ASSERT_EQ(result->resultType(), NCResultTypeValue);
    EXPECT_EQ(utf8(result->decimalValue(10)), "25");
    EXPECT_EQ(utf8(result->unitString()), "m/s");

    EXPECT_EQ(NCVariable::unitWithIdentifierString(u"si+3-metre/no-such-unit", *units), nullptr);
    EXPECT_EQ(NCVariable::unitWithIdentifierString(u"si+3-metre^x", *units), nullptr);
}

}  // namespace

namespace {

TEST(LineCollectionVariableTest, EditingTheFirstDeclarationToTheLastValueUpdatesTheLinesBetween) {
    initFoundationConstants();
    NCEvaluator evaluator(nullptr, NCVariableList::listWithStandardVariables(), nullptr);
    auto value = [&](const char16_t* text) {
        return evaluator.evaluateExpression(NCExpression::expressionWithString(text));
    };
    // Line 0 "a = 5", line 1 "a", line 2 "a = 7".
    auto line0 = NCLine::lineWithExpressionString(u"a = 5");
    auto line2 = NCLine::lineWithExpressionString(u"a = 7");
    NCLineCollectionVariable variable(u"a", line0);
    variable.beginBatchOwnerLinesChange();
    variable.removeAllOwnerLines();
    variable.addOwnerLine(line0, NBFRangeMake(0, NBFRangeLengthMax));
    variable.addOwnerLine(line2, NBFRangeMake(2, NBFRangeLengthMax));
    variable.endBatchOwnerLineChange();
    EXPECT_EQ(variable.indexRangeForOwnerLine(line0.get()).length, 2);
    variable.setValueResult(*value(u"5"), 102, line0);
    variable.setValueResult(*value(u"7"), 102, line2);
    EXPECT_EQ(utf8(variable.valueForLineAtIndex(1)), "5");
    EXPECT_EQ(utf8(variable.valueForLineAtIndex(4)), "7");

    // Line 0 becomes "a = 7".
    variable.setValueResult(*value(u"7"), 102, line0);
    for (uint64_t line : {0u, 1u, 2u, 3u})
        EXPECT_EQ(utf8(variable.valueForLineAtIndex(line)), "7") << line;

    // Line 2's declaration goes: line 0's value holds everywhere again.
    variable.setValueResult(*value(u"9"), 102, line2);
    variable.beginBatchOwnerLinesChange();
    variable.removeAllOwnerLines();
    variable.addOwnerLine(line0, NBFRangeMake(0, NBFRangeLengthMax));
    variable.endBatchOwnerLineChange();
    EXPECT_EQ(variable.countOfOwnerLines(), 1u);
    EXPECT_FALSE(variable.isOwnerLine(line2.get()));
    for (uint64_t line : {0u, 2u, 6u})
        EXPECT_EQ(utf8(variable.valueForLineAtIndex(line)), "7") << line;
}

}  // namespace

namespace {

TEST(VariableListTest, ALineVariableHidesAGlobalOneAndLookupsRespectCaseAndParents) {
    initFoundationConstants();
    auto global = NCVariableList::listWithStandardVariables();
    global->setValue(u"3", u"rate");  // absent: added
    auto document = std::make_shared<NCVariableList>();
    document->setParentList(global);
    const uint64_t before = document->stateIndicator();
    document->addVariable(NCVariable::variableWithName(u"Rate", u"4", 0, nullptr));
    EXPECT_GT(document->stateIndicator(), before);

    ASSERT_NE(document->variableWithName(u"Rate"), nullptr);
    EXPECT_EQ(utf8(document->variableWithName(u"Rate")->delocalizedValue()), "4");
    EXPECT_EQ(document->variableWithName(u"RATE", false, true), nullptr);
    // The search stops at the document's "Rate", which matches only without case.
    EXPECT_EQ(document->variableWithName(u"rate", false, true), nullptr);
    ASSERT_NE(global->variableWithName(u"rate", false, false), nullptr);
    EXPECT_EQ(utf8(global->variableWithName(u"rate", false, false)->delocalizedValue()), "3");
    EXPECT_EQ(document->variableWithName(u"pi", true, false), nullptr);

    NCEvaluator evaluator(nullptr, document, nullptr);
    EXPECT_EQ(utf8(evaluator.evaluateString(u"Rate * 10")), "40");
    document->removeVariable(document->variableWithName(u"Rate"));
    EXPECT_TRUE(document->variables().empty());
    global->setValue(u"5", u"rate");  // present: its value changes
    EXPECT_EQ(utf8(NCEvaluator(nullptr, document, nullptr).evaluateString(u"rate * 10")), "50");
}

// Many variables: each is held once however often it is added, and found by its name after
// removals and additions.
TEST(VariableListTest, ManyVariablesAreHeldOnceAndFoundByName) {
    initFoundationConstants();
    auto name = [](int i) {
        const std::string digits = "v" + std::to_string(i);
        return std::u16string(digits.begin(), digits.end());
    };
    NCVariableList list;
    std::vector<std::shared_ptr<NCVariable>> added;
    for (int i = 0; i < 5000; ++i) {
        added.push_back(NCVariable::variableWithName(name(i), u"1", 0, nullptr));
        list.addVariable(added.back());
    }
    list.addVariable(added[10]);
    ASSERT_EQ(list.variables().size(), 5000u);
    for (int i = 0; i < 5000; i += 499) EXPECT_EQ(list.variableWithName(name(i)), added[i]) << i;

    list.removeVariable(added[10]);
    EXPECT_EQ(list.variableWithName(name(10)), nullptr);
    EXPECT_EQ(list.variables().size(), 4999u);
    list.addVariable(added[10]);
    EXPECT_EQ(list.variables().back(), added[10]);
    EXPECT_EQ(list.variableWithName(name(10)), added[10]);

    list.removeAllVariables();
    EXPECT_EQ(list.variableWithName(name(1)), nullptr);
    list.addVariable(added[1]);
    EXPECT_EQ(list.variables(), (std::vector<std::shared_ptr<NCVariable>>{added[1]}));
    EXPECT_EQ(list.variableWithName(name(1)), added[1]);
}

}  // namespace
