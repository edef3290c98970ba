#include <gtest/gtest.h>

#include "NBFNamespace.h"
#include "NBFUnitCollection.h"
#include "UnitCatalogueFixture.h"

namespace {

struct Lookup {
    bool named = false;
    NBFNamespaceType type = kNBFNamespaceTypeNone;
    bool hasLongerMatches = false;
    NBFNamespaceResolvedType resolved{};
    ~Lookup() { NBFNamespaceResolvedTypeRelease(&resolved); }
};

class NamespaceUnitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        NBFUnitCollectionAddUnits(m_collection, m_units.all().data(),
                                  static_cast<int32_t>(m_units.all().size()));
        NBFNamespaceSetUnitCollection(m_ns, m_collection);
        NBFNamespaceSetVariableList(m_ns, m_variables);
        NBFNamespaceSetWordOperatorList(m_ns, m_wordOperators);
    }
    void TearDown() override {
        NBFNamespaceRelease(m_ns);
        NBFUnitCollectionRelease(m_collection);
        NBFVariableListRelease(m_variables);
        NBFWordOperatorListRelease(m_wordOperators);
    }
    void addVariable(const char* name) {
        NBFVariableRef variable = NBFVariableCreate();
        NBFStringRef text = NBFStringCreateWithUTF8(name);
        NBFVariableSetName(variable, text);
        NBFStringRelease(text);
        NBFVariableListAddVariable(m_variables, variable);
        NBFVariableRelease(variable);
    }
    void lookUp(std::initializer_list<const char*> words, Lookup& out) {
        Words list(words);
        out.named = NBFNamespaceGetTypeForWords(m_ns, list.get().data(),
                                                static_cast<int32_t>(list.get().size()), 0,
                                                &out.type, &out.hasLongerMatches, &out.resolved);
    }

    UnitCatalogueFixture m_units;
    NBFUnitCollectionRef m_collection = NBFUnitCollectionCreate();
    NBFVariableListRef m_variables = NBFVariableListCreate();
    NBFWordOperatorListRef m_wordOperators = NBFWordOperatorListCreate();
    NBFNamespaceRef m_ns = NBFNamespaceCreate();
};

TEST_F(NamespaceUnitTest, OneMatchingUnitGivesItsContainerFractionAndFormat) {
    EXPECT_EQ(NBFNamespaceGetUnitCollection(m_ns), m_collection);
    Lookup found;
    lookUp({"km"}, found);
    ASSERT_TRUE(found.named);
    EXPECT_EQ(found.type, kNBFNamespaceTypeUnit);
    EXPECT_EQ(found.resolved.unitContainer, m_units["kilometre"]);
    EXPECT_EQ(found.resolved.unitFraction, NBFUnitContainerGetUnitFraction(m_units["kilometre"]));
    EXPECT_EQ(found.resolved.unitFormatType, NBFUnitFormatTypeSymbol);
    EXPECT_EQ(found.resolved.ambiguousUnit, nullptr);
}

TEST_F(NamespaceUnitTest, SeveralMatchingUnitsGiveAnAmbiguousUnit) {
    Lookup found;
    lookUp({"m"}, found);  // the metre's symbol and the minute's very short name
    ASSERT_TRUE(found.named);
    EXPECT_EQ(found.type, kNBFNamespaceTypeUnit);
    EXPECT_EQ(found.resolved.unitContainer, nullptr);
    EXPECT_NE(found.resolved.ambiguousUnit, nullptr);
}

TEST_F(NamespaceUnitTest, TwoWordsCanNameOnlyAUnit) {
    Lookup first;
    lookUp({"nautical"}, first);
    EXPECT_FALSE(first.named);
    EXPECT_TRUE(first.hasLongerMatches);
    Lookup both;
    lookUp({"nautical", "miles"}, both);
    ASSERT_TRUE(both.named);
    EXPECT_EQ(both.resolved.unitContainer, m_units["nautical-mile"]);
}

TEST_F(NamespaceUnitTest, ExactLetterCaseDecidesBetweenVariableAndUnit) {
    addVariable("M");
    addVariable("kg");
    Lookup upper;
    lookUp({"M"}, upper);  // units match "M" only without letter case
    EXPECT_EQ(upper.type, kNBFNamespaceTypeVariable);
    EXPECT_EQ(upper.resolved.ambiguousUnit, nullptr);
    Lookup lower;
    lookUp({"m"}, lower);  // the units match exactly, the variable does not
    EXPECT_EQ(lower.type, kNBFNamespaceTypeUnit);
    Lookup both;
    lookUp({"kg"}, both);  // both exact: the variable
    EXPECT_EQ(both.type, kNBFNamespaceTypeVariable);
}

TEST_F(NamespaceUnitTest, AWordOperatorWinsOverAUnitMatchedWithoutLetterCase) {
    NBFWordOperatorListAddASCII(m_wordOperators, "KG", kNBFWordOperatorArgumentTypeInfix,
                                "${1}*${2}", 5, 0);
    NBFWordOperatorListAddASCII(m_wordOperators, "kg", kNBFWordOperatorArgumentTypeInfix,
                                "${1}*${2}", 5, 0);
    Lookup inexact;
    lookUp({"KG"}, inexact);
    EXPECT_EQ(inexact.type, kNBFNamespaceTypeWordOperator);
    Lookup exact;
    lookUp({"kg"}, exact);
    EXPECT_EQ(exact.type, kNBFNamespaceTypeUnit);
}

}  // namespace
