// Typing aids: spaces around typed operators, backspace ranges, closing partners and the
// default operator, each case reasoned from the line as it reads after the keystroke.
#include <gtest/gtest.h>

#include "KitTestSupport.h"
#include "NCEnvironment.h"
#include "NCUnitCollection.h"
#include "NCUnitsFileParser.h"
#include "NCVariableList.h"
#include "NKConversionWordSource.h"
#include "NKSmartEditingHelper.h"
#include "NSLocalizedString.h"

namespace {

std::shared_ptr<NCExpression> text(const std::u16string& string) {
    return NCExpression::expressionWithString(string);
}

struct SpaceCase {
    const char16_t* line;
    const char16_t* typed;
    NSRange selection;
    const char16_t* expected;
};

TEST(SmartEditing, SpacesAroundTypedOperators) {
    const SpaceCase cases[] = {
        {u"5", u"+", {1, 0}, u" + "}, {u"5", u"^", {1, 0}, u"^"},
        {u"5^", u"-", {2, 0}, u"-"},  {u"(", u"-", {1, 0}, u"-"},
        {u"", u"+", {0, 0}, u"+"},    {u"5 ", u"+", {2, 0}, u"+ "},
        {u"5", u"/", {1, 0}, u"/"},   {u"5 3", u"*", {1, 0}, u" *"},
        {u"5", u"7", {1, 0}, u"7"},  // not an operator
    };
    NKSmartEditingHelper helper;
    helper.useSmartSpaces = true;
    for (const SpaceCase& c : cases)
        EXPECT_EQ(
            NKUTF8(helper.stringWithSpacesForInsertedOperator(c.typed, text(c.line), c.selection)),
            NKUTF8(c.expected))
            << NKUTF8(c.line) << " + " << NKUTF8(c.typed);
    helper.useSmartSpaces = false;
    EXPECT_EQ(helper.stringWithSpacesForInsertedOperator(u"+", text(u"5"), {1, 0}), u"+");
}

struct BackspaceCase {
    const char16_t* line;
    NSRange selection;
    bool closingBrackets, spaces, wholeTokens;
    NSRange expected;
};

TEST(SmartEditing, BackspaceRanges) {
    const BackspaceCase cases[] = {
        // Between an open and a close bracket: both go.
        {u"()", {1, 0}, true, false, false, {0, 2}},
        {u"()", {1, 0}, false, false, false, {0, 1}},
        // A plain character, and a selection: the default.
        {u"123", {2, 0}, true, true, true, {1, 1}},
        {u"123", {0, 2}, true, true, true, {0, 2}},
        // Inside a two-character operator only one character.
        {u"2**3", {2, 0}, false, true, true, {1, 1}},
        // Smart spaces: the operator takes its leading space along.
        {u"5 + 3", {3, 0}, false, true, true, {1, 2}},
    };
    NKSmartEditingHelper helper;
    NCExpressionParser parser;
    for (const BackspaceCase& c : cases) {
        helper.insertClosingBracket = c.closingBrackets;
        helper.deleteSpacesWhenNecessary = c.spaces;
        helper.deleteEntireMultiCharacterTokens = c.wholeTokens;
        helper.useSmartSpaces = true;
        auto parsed = parser.parseExpression(text(c.line));
        const NSRange range = helper.rangeToDeleteOfExpression(*parsed, c.selection);
        EXPECT_EQ(range.location, c.expected.location) << NKUTF8(c.line);
        EXPECT_EQ(range.length, c.expected.length) << NKUTF8(c.line);
    }
}

TEST(SmartEditing, ClosingPartners) {
    NKSmartEditingHelper helper;
    uint64_t location = 0;
    int64_t offset = 99;
    EXPECT_FALSE(helper.closingCharacterForString(u"(", text(u"1+"), {2, 0}, &location, &offset));
    helper.insertClosingBracket = true;
    // With only brackets on, a quotation mark gets no partner.
    EXPECT_FALSE(helper.closingCharacterForString(u"\"", text(u"1 "), {2, 0}, &location, &offset));
    // At the end of the line without a selection: caret between the pair.
    EXPECT_EQ(
        helper.closingCharacterForString(u"(", text(u"1+2*3+4*5+"), {10, 0}, &location, &offset),
        u")");
    EXPECT_EQ(location, 11u);
    EXPECT_EQ(offset, -1);
    // Over a selection of three: after the selected text, offset untouched.
    offset = 99;
    EXPECT_EQ(
        helper.closingCharacterForString(u"(", text(u"1+2*3+4*5+678"), {10, 3}, &location, &offset),
        u")");
    EXPECT_EQ(location, 14u);
    EXPECT_EQ(offset, 99);
    // Before a number no partner is offered.
    EXPECT_FALSE(helper.closingCharacterForString(u"(", text(u"12"), {0, 0}, &location, &offset));
}

TEST(SmartEditing, DefaultOperator) {
    NKSmartEditingHelper helper;
    EXPECT_EQ(helper.defaultOperatorForLocation(1, text(u"5")), u"+");
    helper.useSmartSpaces = true;
    EXPECT_EQ(helper.defaultOperatorForLocation(1, text(u"5")), u" + ");
    EXPECT_FALSE(helper.defaultOperatorForLocation(2, text(u"5+")).has_value());
    EXPECT_FALSE(helper.defaultOperatorForLocation(0, text(u"5")).has_value());
}

TEST(SmartEditing, LastTokenLeavesTheSharedParserInDisplayLocations) {
    NKSmartEditingHelper helper;
    auto line = text(u"12 + 345");
    auto last = helper.lastTokenInExpression(line);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->string(), u"345");
    EXPECT_TRUE(helper.expressionParser().useHighLevelLocations);
    auto first = helper.firstTokenInExpression(line);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->string(), u"12");
    EXPECT_FALSE(helper.lastTokenInExpression(text(u"")));
}

}  // namespace

namespace {

struct UnitCase {
    const char16_t* line;
    uint64_t caret;
    const char16_t* expected;  // "in" stands for the conversion word
    const char16_t* side;      // "" when no side is noted
};

// A core environment with the bundled units, for typing unit names.
std::shared_ptr<NCEnvironment> unitsEnvironment() {
    startFoundation();
    const std::string resources = sourceDirectory() + "/Resources/";
    auto file = NCUnitsFileParser::readUnitsFile(resources + "Units.plist",
                                                 resources + "en.lproj/UnitLocalization.plist", "",
                                                 NCUnitsPreferenceChoices{});
    if (!file) return nullptr;
    auto units = std::make_shared<NCNewUnitManager>();
    units->addContentsOfLoadedUnitsFile(*file);
    auto environment = std::make_shared<NCEnvironment>();
    environment->setUnitManager(units);
    environment->setVariables(std::make_shared<NCVariableList>());
    return environment;
}

TEST(SmartEditing, UnitInsertion) {
    std::shared_ptr<NCEnvironment> environment = unitsEnvironment();
    ASSERT_TRUE(environment);
    NKSmartEditingHelper helper;
    helper.expressionParser().setEnvironment(environment);
    auto kg = helper.expressionParser().tokenInString(u"kg", 0);
    ASSERT_TRUE(kg && kg->type() == NCExpressionTokenTypeUnit);
    const UnitCase cases[] = {
        {u"5 ", 2, u"kg", u""},
        {u"5", 1, u" kg", u""},
        {u"5 lb", 4, u" in kg", u"LEFT"},
        {u"", 0, u"kg", u""},
    };
    for (const UnitCase& c : cases) {
        std::map<std::u16string, std::u16string> info;
        NSRange replace{0, 0};
        std::u16string expected = c.expected;
        const std::u16string word = NSLocalizedString(u"in");
        if (size_t at = expected.find(u"in"); at != std::u16string::npos)
            expected.replace(at, 2, word);
        EXPECT_EQ(NKUTF8(helper.stringForUnit(u"kg", NCExpression::expressionWithString(c.line),
                                              {c.caret, 0}, &replace, &info)),
                  NKUTF8(expected))
            << NKUTF8(c.line);
        EXPECT_EQ(NKUTF8(info[u"NKUnitOperatorRelativeLocation"]), NKUTF8(c.side));
    }
    // Not a unit: returned as typed.
    EXPECT_EQ(helper.stringForUnit(u"12", NCExpression::expressionWithString(u"5"), {1, 0}, nullptr,
                                   nullptr),
              u"12");
}

struct FixedConversionWord : NKConversionWordSource {
    std::u16string localizedConversionOperatorString() override { return u"to"; }
};

// The conversion word is the shared source's while that lives, the localised "in" without one.
TEST(SmartEditing, UnitInsertionTakesTheSharedConversionWord) {
    std::shared_ptr<NCEnvironment> environment = unitsEnvironment();
    ASSERT_TRUE(environment);
    NKSmartEditingHelper helper;
    helper.expressionParser().setEnvironment(environment);
    auto insert = [&] {
        return NKUTF8(helper.stringForUnit(u"kg", NCExpression::expressionWithString(u"5 lb"),
                                           {4, 0}, nullptr, nullptr));
    };
    auto source = std::make_shared<FixedConversionWord>();
    NKConversionWordSource::setShared(source);
    EXPECT_EQ(insert(), " to kg");
    source.reset();
    EXPECT_EQ(NKConversionWordSource::shared(), nullptr);
    EXPECT_EQ(insert(), " " + NKUTF8(NSLocalizedString(u"in")) + " kg");
}

}  // namespace
