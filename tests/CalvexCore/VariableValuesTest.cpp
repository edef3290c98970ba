// Variables: localised values, the text shown for a value, validation of names and values, the
// previous name, and what a list and its delegate hear of their variables' changes.
#include <gtest/gtest.h>

#include "NCEvaluator.h"
#include "NCVariable.h"
#include "NCVariableList.h"
#include "UnitsFileTestSupport.h"

namespace {

TEST(VariableValuesTest, ValuesInTheVariablesCharacters) {
    initFoundationConstants();
    struct Row {
        char16_t decimal, separator;
        const char16_t* localized;
        const char* delocalized;
    } rows[] = {
        {u'.', u',', u"2.5", "2.5"},
        {u',', u'.', u"2,5", "2.5"},
        {u',', u' ', u"0,125", "0.125"},
        {u'.', u',', u"-40", "-40"},
    };
    for (const Row& row : rows) {
        auto variable = NCVariable::variableWithName(u"x");
        variable->setLocaleWithDecimalPoint(row.decimal, row.separator);
        variable->setValue(row.localized);
        EXPECT_EQ(utf8(variable->delocalizedValue()), row.delocalized) << utf8(row.localized);
        EXPECT_EQ(utf8(variable->value()), utf8(row.localized));
    }

    // Rewriting into other characters keeps the number: 2.5 reads "2,5" and back.
    auto variable = NCVariable::variableWithName(u"y", u"2.5", 0, nullptr);
    variable->convertToLocaleWithDecimalPoint(u',', u'.');
    EXPECT_EQ(utf8(variable->localizedValue()), "2,5");
    EXPECT_EQ(utf8(variable->delocalizedValue()), "2.5");
    variable->convertToLocaleWithDecimalPoint(u'.', u',');
    EXPECT_EQ(utf8(variable->localizedValue()), "2.5");
    // Equal characters are refused.
    variable->convertToLocaleWithDecimalPoint(u',', u',');
    EXPECT_EQ(variable->decimalPoint(), u'.');

    // The evaluator reads the delocalised text: 2,5 in a comma locale is 2.5.
    auto list = NCVariableList::listWithStandardVariables();
    auto comma = NCVariable::variableWithName(u"z");
    comma->setLocaleWithDecimalPoint(u',', u'.');
    comma->setValue(u"2,5");
    list->addVariable(comma);
    EXPECT_EQ(utf8(NCEvaluator(nullptr, list, nullptr).evaluateString(u"z * 4")), "10");
    // Empty text counts as none.
    EXPECT_FALSE(comma->setLocalizedValue(u"2,5"));
    EXPECT_TRUE(comma->setLocalizedValue(u""));
    EXPECT_FALSE(comma->delocalizedValue().has_value());
}

TEST(VariableValuesTest, DisplayValueNamesTheUnitInTheFormOfTheNumber) {
    initFoundationConstants();
    auto units = realUnitManager(NCUnitsPreferences::defaultPreferences());
    auto metre = units->unitWithName(std::u16string(u"metre"));
    ASSERT_NE(metre, nullptr);
    const std::u16string singular =
        *metre->nameForFormat(NCUnitNameFormatName, NCUnitNameFormSingular);
    const std::u16string plural = *metre->nameForFormat(NCUnitNameFormatName, NCUnitNameFormPlural);
    ASSERT_NE(singular, plural);
    struct Row {
        const char16_t* value;
        NCResultFlags flags;
        bool withUnit;
        std::u16string shown;
    } rows[] = {
        {u"1", 0, true, u"1 " + singular},
        {u"1.0", 0, true, u"1.0 " + singular},
        {u"2", 0, true, u"2 " + plural},
        {u"0.5", 0, true, u"0.5 " + plural},
        {u"12", NCResultFlagPercentage, false, u"12%"},
        {u"7.25", 0, false, u"7.25"},
    };
    for (const Row& row : rows) {
        auto variable = NCVariable::variableWithName(u"d", row.value, row.flags,
                                                     row.withUnit ? metre : nullptr);
        EXPECT_EQ(utf8(variable->displayValue()), utf8(row.shown)) << utf8(row.value);
    }
}

TEST(VariableValuesTest, NamesAreValidatedWithTheirErrors) {
    struct Row {
        std::optional<std::u16string> name;
        bool valid;
        const char16_t* description;
        const char16_t* suggestion;
    } rows[] = {
        {u"total", true, u"", u""},
        {u"my_total2", true, u"", u""},
        {std::nullopt, false, u"A variable must have a name.",
         u"Please give the variable a name and try again."},
        {u"", false, u"A variable must have a name.",
         u"Please give the variable a name and try again."},
        {u"my total", false, u"A variable cannot have more than one word.",
         u"Please do not use a space in your variable name."},
        {u" lead", false, u"A variable cannot have more than one word.",
         u"Please do not use a space in your variable name."},
    };
    for (const Row& row : rows) {
        NSError error;
        EXPECT_EQ(NCVariable::validateName(row.name, &error), row.valid) << utf8(row.name);
        if (row.valid) continue;
        EXPECT_EQ(error.domain, NSCocoaErrorDomain);
        EXPECT_EQ(error.code, 2048);
        EXPECT_EQ(utf8(error.localizedDescription), utf8(row.description));
        EXPECT_EQ(utf8(error.localizedRecoverySuggestion), utf8(row.suggestion));
    }
    EXPECT_FALSE(NCVariable::validateName(u"two words", nullptr));  // no error slot
}

TEST(VariableValuesTest, ValuesAreValidatedIntoTheirEvaluatedText) {
    initFoundationConstants();
    struct Row {
        char16_t decimal, separator;
        std::optional<std::u16string> given;
        const char* stored;
    } rows[] = {
        {u'.', u',', std::nullopt, "1.0"},
        {u'.', u',', u"2 + 3", "5"},
        {u'.', u',', u"1/4", "0.25"},
        {u'.', u',', u"1,000 * 3", "3000"},  // no grouping in the stored text
        {u',', u'.', u"1,5 * 3", "4,5"},
        {u'.', u',', u"20%", "20"},  // no percent sign
    };
    for (const Row& row : rows) {
        auto variable = NCVariable::variableWithName(u"v");
        variable->setLocaleWithDecimalPoint(row.decimal, row.separator);
        std::optional<std::u16string> value = row.given;
        EXPECT_TRUE(variable->validateValue(value, nullptr));
        EXPECT_EQ(utf8(value), row.stored) << utf8(row.given);
    }
}

struct CountingDelegate : NCVariableListDelegate {
    void variableDidUpdateInVariableList(NCVariable* variable, NCVariableList* list) override {
        heard.push_back(variable);
        lists.push_back(list);
    }
    std::vector<NCVariable*> heard;
    std::vector<NCVariableList*> lists;
};

TEST(VariableValuesTest, TheListHearsOfRenamesAliasesValuesAndEnabling) {
    initFoundationConstants();
    auto list = NCVariableList::listWithStandardVariables();
    CountingDelegate delegate;
    list->setDelegate(&delegate);
    auto variable = NCVariable::variableWithName(u"rate", u"3", 0, nullptr);
    list->addVariable(variable);

    struct Step {
        const char* what;
        std::function<void()> change;
        bool structural;  // moves the state counter
        bool heard;
    } steps[] = {
        {"rename", [&] { EXPECT_TRUE(variable->setName(u"fee")); }, true, true},
        {"same name", [&] { variable->setName(u"fee"); }, false, false},
        {"alias", [&] { variable->addAlias(u"charge"); }, true, true},
        {"value", [&] { variable->setValue(u"4"); }, false, true},
        {"same value", [&] { variable->setValue(u"4"); }, false, false},
        {"disable", [&] { variable->setEnabled(false); }, true, true},
        {"disable again", [&] { variable->setEnabled(false); }, false, false},
        {"enable", [&] { variable->setEnabled(true); }, true, true},
    };
    for (const Step& step : steps) {
        const uint64_t state = list->stateIndicator();
        const size_t heard = delegate.heard.size();
        step.change();
        EXPECT_EQ(list->stateIndicator() > state, step.structural) << step.what;
        EXPECT_EQ(delegate.heard.size() > heard, step.heard) << step.what;
        if (step.heard) {
            EXPECT_EQ(delegate.heard.back(), variable.get()) << step.what;
            EXPECT_EQ(delegate.lists.back(), list.get()) << step.what;
        }
        if (std::string(step.what) == "rename") {
            EXPECT_EQ(utf8(variable->previousState().name()), "rate");
        }
        if (std::string(step.what) == "disable") {
            // Out of the foundation list: neither found nor evaluated, but still in the set.
            EXPECT_EQ(list->variableWithName(u"fee"), nullptr);
            EXPECT_EQ(list->variables().size(), 1u);
        }
    }
    EXPECT_EQ(utf8(NCEvaluator(nullptr, list, nullptr).evaluateString(u"charge * 2")), "8");
    list->setDelegate(nullptr);
    variable->setValue(u"5");
    EXPECT_EQ(delegate.heard.size(), 5u);
}

// The one-argument forms search the parent lists too; only the exact form minds letter case.
TEST(VariableValuesTest, ContainsByAnyOrExactLetterCase) {
    initFoundationConstants();
    auto global = NCVariableList::listWithStandardVariables();
    global->setValue(u"2", u"Rate");
    global->setValue(u"3", u"off");
    global->variableWithName(u"off")->setEnabled(false);
    auto list = std::make_shared<NCVariableList>();
    list->setParentList(global);
    list->setValue(u"6", u"h");
    struct Row {
        std::u16string name;
        bool anyCase, exactCase;
    } rows[] = {
        {u"h", true, true},      {u"H", true, false},    {u"Rate", true, true},
        {u"rate", true, false},  {u"RATE", true, false}, {u"off", false, false},
        {u"none", false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(list->containsVariableWithName(row.name), row.anyCase) << utf8(row.name);
        EXPECT_EQ(list->containsVariableWithExactCaseName(row.name), row.exactCase)
            << utf8(row.name);
    }
    // Only an ancestor's name: the own-list form does not find it.
    EXPECT_FALSE(list->directlyContainsVariableWithExactCaseName(u"Rate"));
}

TEST(VariableValuesTest, ListContentsCopiesAndEquality) {
    initFoundationConstants();
    auto global = NCVariableList::listWithStandardVariables();
    global->setValue(u"2", u"g");
    auto list = std::make_shared<NCVariableList>();
    list->setParentList(global);
    list->setValue(u"6", u"h");
    EXPECT_TRUE(list->containsVariableWithName(u"G", true, true));
    EXPECT_FALSE(list->containsVariableWithName(u"g", true, false));
    EXPECT_TRUE(list->directlyContainsVariableWithExactCaseName(u"h"));
    EXPECT_EQ(utf8(list->valueOfVariableWithName(u"g")), "2");
    EXPECT_EQ(list->valueOfVariableWithName(u"none"), std::nullopt);

    auto h = list->variableWithExactCaseName(u"h");
    ASSERT_NE(h, nullptr);
    auto copy = h->copy();
    EXPECT_TRUE(copy->isEqual(h.get()));
    EXPECT_EQ(copy->hash(), h->hash());
    EXPECT_EQ(utf8(copy->value()), "6");
    EXPECT_EQ(copy->variableList(), nullptr);

    list->addVariableWithName(u"w", u"3");
    list->addAlias(u"width", u"w");
    list->addAlias(u"ignored", u"missing");
    EXPECT_EQ(list->aliasesOfVariableWithName(u"w"), std::vector<std::u16string>{u"width"});
    EXPECT_EQ(list->variableNames(), (std::vector<std::u16string>{u"h", u"w"}));
    EXPECT_EQ(list->count(), 2u);
    EXPECT_EQ(list->countOfAllVariables(), 3u);  // and the parent's "g"
    list->variableWithName(u"w")->setEnabled(false);
    EXPECT_EQ(list->count(), 1u);
    EXPECT_EQ(list->variables().size(), 2u);
    EXPECT_NE(list->description().find(u"\"h = 6\""), std::u16string::npos);
    list->removeVariable(list->variables().back());

    list->removeVariableWithName(u"h");
    EXPECT_FALSE(list->directlyContainsVariableWithExactCaseName(u"h"));
    list->setValue(u"1", u"k");
    list->removeAllVariables();
    EXPECT_TRUE(list->variables().empty());
    EXPECT_FALSE(list->containsVariableWithName(u"k", true, false));
    EXPECT_TRUE(list->containsVariableWithName(u"g", true, true));
}

}  // namespace
