#include <gtest/gtest.h>

#include "NBFNamespace.h"
#include "UnitCatalogueFixture.h"

namespace {

using StringRef = NBF::Ref<NBF::String>;
StringRef str(const char* text) { return StringRef::adopt(NBFStringCreateWithUTF8(text)); }

// Units beside a variable, a word operator and a function of clashing names.
class NamespaceUnitsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        NBFUnitCollectionRef units = NBFUnitCollectionCreate();
        for (NBFUnitContainerRef unit : catalogue.all()) NBFUnitCollectionAddUnit(units, unit);
        NBFNamespaceSetUnitCollection(ns, units);
        NBFUnitCollectionRelease(units);

        NBFVariableListRef variables = NBFVariableListCreate();
        NBFVariableRef km = NBFVariableCreate();
        NBFVariableSetName(km, str("KM").get());
        NBFVariableListAddVariable(variables, km);
        NBFVariableRelease(km);
        NBFNamespaceSetVariableList(ns, variables);
        NBFVariableListRelease(variables);

        NBFWordOperatorListRef operators = NBFWordOperatorListCreate();
        NBFWordOperatorListAddASCII(operators, "g", kNBFWordOperatorArgumentTypeInfix, "${1}*${2}",
                                    5, 0);
        NBFNamespaceSetWordOperatorList(ns, operators);
        NBFWordOperatorListRelease(operators);
    }
    void TearDown() override { NBFNamespaceRelease(ns); }

    struct Answer {
        bool named = false;
        NBFNamespaceType type = -1;
        std::string unit;  // identifier, or "ambiguous"
        bool hasLongerMatches = false;
    };

    Answer lookUp(std::initializer_list<const char*> words) {
        Words list(words);
        Answer answer;
        NBFNamespaceResolvedType resolved{};
        answer.named = NBFNamespaceGetTypeForWords(
            ns, list.get().data(), static_cast<int32_t>(list.get().size()), 0, &answer.type,
            &answer.hasLongerMatches, &resolved);
        if (resolved.unitContainer)
            answer.unit = NBFUnitContainerGetIdentifier_cpp(resolved.unitContainer);
        if (resolved.ambiguousUnit) answer.unit = "ambiguous";
        if (resolved.unitContainer) {
            EXPECT_EQ(resolved.unitFraction,
                      NBFUnitContainerGetUnitFraction(resolved.unitContainer));
        }
        NBFNamespaceResolvedTypeRelease(&resolved);
        return answer;
    }

    UnitCatalogueFixture catalogue;
    NBFNamespaceRef ns = NBFNamespaceCreate();
};

TEST_F(NamespaceUnitsTest, UnitsAmongTheOtherKinds) {
    Answer kilometre = lookUp({"km"});  // the variable KM matches only without letter case
    EXPECT_TRUE(kilometre.named);
    EXPECT_EQ(kilometre.type, kNBFNamespaceTypeUnit);
    EXPECT_EQ(kilometre.unit, "kilometre");

    Answer variable = lookUp({"KM"});  // exact variable; the unit matches without case only
    EXPECT_EQ(variable.type, kNBFNamespaceTypeVariable);
    EXPECT_EQ(variable.unit, "");

    Answer gram = lookUp({"g"});  // exact-case unit beats the word operator
    EXPECT_EQ(gram.type, kNBFNamespaceTypeUnit);
    EXPECT_EQ(gram.unit, "gram");

    Answer shared = lookUp({"m"});  // metre and minute
    EXPECT_EQ(shared.type, kNBFNamespaceTypeUnit);
    EXPECT_EQ(shared.unit, "ambiguous");

    Answer twoWords = lookUp({"nautical", "mile"});
    EXPECT_EQ(twoWords.type, kNBFNamespaceTypeUnit);
    EXPECT_EQ(twoWords.unit, "nautical-mile");

    Answer prefix = lookUp({"nautical"});
    EXPECT_FALSE(prefix.named);
    EXPECT_TRUE(prefix.hasLongerMatches);

    Answer caseSensitive = lookUp({"MM"});  // "Mm" needs its own case; "mm" matches without
    EXPECT_EQ(caseSensitive.unit, "millimetre");
}

TEST_F(NamespaceUnitsTest, WordOperatorBeatsAUnitMatchedWithoutLetterCase) {
    NBFWordOperatorListRef operators = NBFWordOperatorListCreate();
    NBFWordOperatorListAddASCII(operators, "H", kNBFWordOperatorArgumentTypeInfix, "${1}", 5, 0);
    NBFNamespaceSetWordOperatorList(ns, operators);
    NBFWordOperatorListRelease(operators);
    Answer answer = lookUp({"H"});  // the hour's symbol is "h"
    EXPECT_EQ(answer.type, kNBFNamespaceTypeWordOperator);
}

}  // namespace
