#include <gtest/gtest.h>

#include <vector>

#include "NBFNamespace.h"

namespace {

using StringRef = NBF::Ref<NBF::String>;

StringRef str(const char* text) { return StringRef::adopt(NBFStringCreateWithUTF8(text)); }

NBFVariableRef makeVariable(const char* name, const char* alias = nullptr) {
    NBFVariableRef variable = NBFVariableCreate();
    NBFVariableSetName(variable, str(name).get());
    if (alias) NBFVariableAddAlias(variable, str(alias).get());
    return variable;
}

class NamespaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"Rate", "OF", "total"}) {
            NBFVariableRef variable = makeVariable(name);
            NBFVariableListAddVariable(variables, variable);
            NBFVariableRelease(variable);
        }
        NBFFunctionRef sqrtFunction = NBFFunctionCreate("sqrt", {"√"});
        NBFFunctionRef rateFunction = NBFFunctionCreate("rate", {});
        NBFFunctionListAddFunction(functions, sqrtFunction);
        NBFFunctionListAddFunction(functions, rateFunction);
        NBFFunctionRelease(sqrtFunction);
        NBFFunctionRelease(rateFunction);
        NBFWordOperatorListAddASCII(wordOperators, "of", kNBFWordOperatorArgumentTypeInfix,
                                    "${1}*${2}", 5, 0);
        NBFWordOperatorListAddASCII(wordOperators, "per", kNBFWordOperatorArgumentTypeInfix,
                                    "${1}/${2}", 5, 0);
        NBFNamespaceSetVariableList(ns, variables);
        NBFNamespaceSetFunctionList(ns, functions);
        NBFNamespaceSetWordOperatorList(ns, wordOperators);
        NBFVariableListRelease(variables);
        NBFFunctionListRelease(functions);
        NBFWordOperatorListRelease(wordOperators);
    }
    void TearDown() override { NBFNamespaceRelease(ns); }

    NBFNamespaceRef ns = NBFNamespaceCreate();
    NBFVariableListRef variables = NBFVariableListCreate();
    NBFFunctionListRef functions = NBFFunctionListCreate();
    NBFWordOperatorListRef wordOperators = NBFWordOperatorListCreate();
};

TEST_F(NamespaceTest, ExactLetterCaseDecidesBetweenKinds) {
    struct Row {
        std::vector<const char*> words;
        bool named;
        NBFNamespaceType type;  // 99: left as it was
        const char* resolvedName;
    };
    const std::vector<Row> rows = {
        {{"Rate"}, true, kNBFNamespaceTypeVariable, "Rate"},  // exact variable beats function
        {{"rate"}, true, kNBFNamespaceTypeFunction, "rate"},  // exact function beats variable
        {{"RATE"}, false, kNBFNamespaceTypeNone, nullptr},    // neither exact: unresolved
        {{"TOTAL"}, true, kNBFNamespaceTypeVariable, "total"},
        {{"√"}, true, kNBFNamespaceTypeFunction, "sqrt"},  // an alias names its function
        {{"SQRT"}, true, kNBFNamespaceTypeFunction, "sqrt"},
        {{"per"}, true, kNBFNamespaceTypeWordOperator, "per"},
        {{"of"}, true, kNBFNamespaceTypeVariable, "OF"},  // any variable beats a word operator
        {{"Per"}, false, 99, nullptr},                    // word operators keep their case
        {{"total", "rate"}, false, 99, nullptr},          // only units can span words
        {{"per", "per"}, false, 99, nullptr},
        {{"nothing"}, false, 99, nullptr},
    };
    for (const Row& row : rows) {
        std::vector<StringRef> held;
        std::vector<NBFStringRef> words;
        for (const char* word : row.words) {
            held.push_back(str(word));
            words.push_back(held.back().get());
        }
        NBFNamespaceType type = 99;
        bool hasLongerMatches = true;
        NBFNamespaceResolvedType resolved{};
        bool named =
            NBFNamespaceGetTypeForWords(ns, words.data(), static_cast<int32_t>(words.size()), 7,
                                        &type, &hasLongerMatches, &resolved);
        SCOPED_TRACE(row.words[0]);
        EXPECT_EQ(named, row.named);
        EXPECT_EQ(type, row.type);
        EXPECT_FALSE(hasLongerMatches);
        if (!row.named) {
            EXPECT_EQ(resolved.scopedVariable, nullptr);
            EXPECT_EQ(resolved.function, nullptr);
            EXPECT_EQ(resolved.wordOperator, nullptr);
            continue;
        }
        NBFStringRef name = nullptr;
        if (type == kNBFNamespaceTypeVariable) {
            name =
                NBFVariableGetNameReference(NBFScopedVariableGetVariable(resolved.scopedVariable));
            EXPECT_EQ(NBFScopedVariableGetScopeIndex(resolved.scopedVariable), 7u);
        } else if (type == kNBFNamespaceTypeFunction) {
            name = NBFFunctionGetNameReference(resolved.function);
        } else {
            name = NBFWordOperatorGetWord(resolved.wordOperator);
        }
        EXPECT_EQ(NBFStringGetCppString(name), row.resolvedName);
        NBFNamespaceResolvedTypeRelease(&resolved);
    }
}

TEST_F(NamespaceTest, ResolvedMembersAreRetainedForTheCaller) {
    auto rate = str("Rate");
    NBFStringRef words[] = {rate.get()};
    NBFNamespaceResolvedType resolved{};
    ASSERT_TRUE(NBFNamespaceGetTypeForWords(ns, words, 1, 0, nullptr, nullptr, &resolved));
    // Every kind found is handed over, not only the winner.
    ASSERT_NE(resolved.function, nullptr);
    ASSERT_NE(resolved.scopedVariable, nullptr);
    NBFFunctionRef function = resolved.function;
    EXPECT_EQ(function->retainCount(), 2);
    NBFNamespaceResolvedTypeRelease(&resolved);
    EXPECT_EQ(function->retainCount(), 1);
    EXPECT_EQ(resolved.function, nullptr);

    EXPECT_FALSE(NBFNamespaceGetTypeForWords(nullptr, words, 1, 0, nullptr, nullptr, nullptr));
    NBFNamespaceRef empty = NBFNamespaceCreate();
    EXPECT_FALSE(NBFNamespaceGetTypeForWords(empty, words, 1, 0, nullptr, nullptr, nullptr));
    NBFNamespaceRelease(empty);
}

// The full precedence, units included: a unit's exact letter case beats an inexact variable,
// and the namespace drops inexact unit matches once a variable matched.
TEST(NBFNamespaceChooseType, PrecedenceTable) {
    struct Row {
        NBFNamespaceMatches matches;
        bool named;
        NBFNamespaceType type;
    };
    // variable, exact, unit, exact, function, exact, word operator
    const Row rows[] = {
        {{true, true, true, true, true, true, true}, true, kNBFNamespaceTypeVariable},
        {{true, false, true, true, false, false, false}, true, kNBFNamespaceTypeUnit},
        {{false, false, true, true, true, true, false}, true, kNBFNamespaceTypeUnit},
        {{false, false, true, false, true, true, false}, true, kNBFNamespaceTypeFunction},
        {{true, false, false, false, true, true, false}, true, kNBFNamespaceTypeFunction},
        {{true, false, false, false, true, false, true}, false, kNBFNamespaceTypeNone},
        {{true, false, false, false, false, false, true}, true, kNBFNamespaceTypeVariable},
        {{false, false, true, false, true, false, true}, true, kNBFNamespaceTypeFunction},
        {{false, false, true, false, false, false, true}, true, kNBFNamespaceTypeWordOperator},
        {{false, false, true, false, false, false, false}, true, kNBFNamespaceTypeUnit},
        {{false, false, false, false, false, false, false}, false, 99},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        NBFNamespaceType type = 99;
        EXPECT_EQ(NBFNamespaceChooseType(rows[i].matches, &type), rows[i].named) << i;
        EXPECT_EQ(type, rows[i].type) << i;
    }
}

TEST(NBFVariableList, NamesAliasesParentsAndRenaming) {
    NBFVariableListRef standard = NBFVariableListCreate();
    NBFVariableListRef global = NBFVariableListCreate();
    NBFVariableListRef document = NBFVariableListCreate();
    NBFVariableListSetParentList(global, standard);
    NBFVariableListSetParentList(document, global);
    NBFVariableRef pi = makeVariable("pi", "π");
    NBFVariableRef width = makeVariable("width");
    NBFVariableRef height = makeVariable("height");
    NBFVariableListAddVariable(standard, pi);
    NBFVariableListAddVariable(document, width);
    NBFVariableListAddVariable(document, height);

    struct Row {
        const char* name;
        NBFVariableRef expected;
        bool exactCase, foundInParent;
    };
    const Row rows[] = {
        {"PI", pi, false, true},          {"π", pi, true, true},
        {"width", width, true, false},    {"Height", height, false, false},
        {"depth", nullptr, false, false},
    };
    for (const Row& row : rows) {
        bool exactCase = !row.exactCase, foundInParent = !row.foundInParent;
        EXPECT_EQ(NBFVariableListFindVariableByName(document, str(row.name).get(), &exactCase,
                                                    &foundInParent),
                  row.expected)
            << row.name;
        EXPECT_EQ(exactCase, row.exactCase) << row.name;
        EXPECT_EQ(foundInParent, row.foundInParent) << row.name;
    }
    EXPECT_EQ(NBFVariableListGetCountOfVariables(document), 3);
    EXPECT_EQ(NBFVariableListGetCount(document), 2);

    // Renaming to another variable's exact name is refused; a different letter case is not.
    EXPECT_FALSE(NBFVariableSetName(width, str("height").get()));
    EXPECT_FALSE(NBFVariableSetName(width, str("pi").get()));
    EXPECT_TRUE(NBFVariableSetName(width, str("Height").get()));
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("width").get()), nullptr);
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("Height").get()), width);
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("height").get()), height);
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("HEIGHT").get()), nullptr);

    // Alias changes reach the lists.
    NBFVariableAddAlias(height, str("h").get());
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("H").get()), height);
    NBFVariableRemoveAlias(height, str("h").get());
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("h").get()), nullptr);

    NBFVariableListRemoveVariable(document, height);
    EXPECT_EQ(NBFVariableListGetCount(document), 1);
    // The remaining Height is again found in any letter case.
    EXPECT_EQ(NBFVariableListGetVariableByName(document, str("height").get()), width);
    // Removing a variable the list does not hold by its name changes nothing.
    NBFVariableListRemoveVariable(document, height);
    EXPECT_EQ(NBFVariableListGetCount(document), 1);

    // A variable that outlives its list no longer reports to it.
    NBFVariableRetain(width);
    NBFVariableListRelease(document);
    EXPECT_TRUE(NBFVariableSetName(width, str("breadth").get()));
    NBFVariableAddAlias(width, str("b").get());

    for (NBFVariableRef variable : {pi, width, height, width}) NBFVariableRelease(variable);
    NBFVariableListRelease(global);
    NBFVariableListRelease(standard);
}

}  // namespace
