#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NBFFunctionList.h"
#include "NBFWordOperatorList.h"

namespace {

using StringRef = NBF::Ref<NBF::String>;

StringRef str(const char* text) { return StringRef::adopt(NBFStringCreateWithUTF8(text)); }

int32_t count(NBFFunctionRef function) { return function->retainCount(); }
int32_t count(NBFWordOperatorRef wordOperator) { return wordOperator->retainCount(); }

class FunctionListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sqrtFunction = NBFFunctionCreate("sqrt", {"√"});
        logFunction = NBFFunctionCreate("log", {"log10"});
        sinFunction = NBFFunctionCreateWithName(std::string("sin"), 1);
        NBFFunctionListAddFunction(list, sqrtFunction);
        NBFFunctionListAddFunction(list, logFunction);
        NBFFunctionListAddFunction(parent, sinFunction);
        NBFFunctionListSetParentList(list, parent);
    }
    void TearDown() override {
        NBFFunctionListRelease(list);
        NBFFunctionListRelease(parent);
        for (NBFFunctionRef function : {sqrtFunction, logFunction, sinFunction})
            NBFFunctionRelease(function);
    }
    NBFFunctionListRef list = NBFFunctionListCreate();
    NBFFunctionListRef parent = NBFFunctionListCreate();
    NBFFunctionRef sqrtFunction, logFunction, sinFunction;
};

TEST_F(FunctionListTest, FindsNamesAndAliasesInAnyCaseThroughParents) {
    struct Row {
        const char* name;
        NBFFunctionRef expected;
        bool exactCase, foundInParent;
    };
    const Row rows[] = {
        {"sqrt", sqrtFunction, true, false}, {"SQRT", sqrtFunction, false, false},
        {"√", sqrtFunction, true, false},    {"Log10", logFunction, false, false},
        {"log", logFunction, true, false},   {"sin", sinFunction, true, true},
        {"SIN", sinFunction, false, true},   {"cos", nullptr, false, false},
    };
    for (const Row& row : rows) {
        bool exactCase = !row.exactCase, foundInParent = !row.foundInParent;
        NBFFunctionRef found = NBFFunctionListFindFunctionByName(list, str(row.name).get(),
                                                                 &exactCase, &foundInParent);
        EXPECT_EQ(found, row.expected) << row.name;
        EXPECT_EQ(exactCase, row.exactCase) << row.name;
        EXPECT_EQ(foundInParent, row.foundInParent) << row.name;
    }
    // Without the parent search, the parent's functions are not found.
    auto sin = str("sin");
    auto lowercase = str("sin");
    EXPECT_EQ(NBFFunctionListFindFunctionByNameAndLowercaseName(list, sin.get(), lowercase.get(),
                                                                false, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(NBFFunctionListGetFunctionWithName(list, std::string("LOG10")), logFunction);
    EXPECT_EQ(NBFFunctionListGetArgumentCount(list, str("sin").get()), 1);
    EXPECT_EQ(NBFFunctionListGetArgumentCount(list, str("tan").get()), 0);
    EXPECT_EQ(NBFFunctionListGetImplementationType(list, str("tan").get()),
              kNBFFunctionImplementationTypeNone);
    EXPECT_EQ(NBFFunctionListFindFunctionByName(nullptr, sin.get(), nullptr, nullptr), nullptr);
}

TEST_F(FunctionListTest, HoldsOneReferencePerNameAndAliasAndReleasesReplacedFunctions) {
    // Ours, the name and the alias.
    EXPECT_EQ(count(sqrtFunction), 3);
    NBFFunctionRef other = NBFFunctionCreate("sqrt", {"√"});
    NBFFunctionListAddFunction(list, other);
    EXPECT_EQ(count(sqrtFunction), 1);
    EXPECT_EQ(count(other), 3);
    EXPECT_EQ(NBFFunctionListGetFunctionWithName(list, std::string("√")), other);

    NBFFunctionListRemoveAll(list);
    EXPECT_EQ(count(other), 1);
    EXPECT_EQ(count(logFunction), 1);
    EXPECT_EQ(NBFFunctionListGetFunctionWithName(list, std::string("log")), nullptr);
    // The parent stays.
    EXPECT_EQ(NBFFunctionListGetFunctionWithName(list, std::string("sin")), sinFunction);
    NBFFunctionRelease(other);
}

TEST_F(FunctionListTest, RefusesAParentChainThatLoops) {
    NBFFunctionListSetParentList(parent, list);
    EXPECT_EQ(NBFFunctionListGetFunctionWithName(list, std::string("cos")), nullptr);
    EXPECT_EQ(NBFFunctionListGetFunctionWithName(parent, std::string("sqrt")), nullptr);
}

TEST(NBFFunction, LowercaseNameAndAliases) {
    NBFFunctionRef function = NBFFunctionCreate("LogE", {});
    EXPECT_EQ(NBFFunctionGetAliasesReference(function), nullptr);
    EXPECT_EQ(NBFStringGetCppString(NBFFunctionGetLowercaseNameReference(function)), "loge");
    EXPECT_EQ(NBFFunctionGetLowercaseNameReference(function),
              NBFFunctionGetLowercaseNameReference(function));
    EXPECT_EQ(NBFFunctionGetNumberOfArguments(nullptr), 0);
    EXPECT_EQ(NBFFunctionGetImplementationType(nullptr), kNBFFunctionImplementationTypeNone);
    NBFFunctionRelease(function);
}

TEST(NBFWordOperatorList, ExactCaseLookupWithAuxiliaryList) {
    NBFWordOperatorListRef list = NBFWordOperatorListCreate();
    NBFWordOperatorListRef auxiliary = NBFWordOperatorListCreate();
    NBFWordOperatorListAddASCII(list, "of", kNBFWordOperatorArgumentTypeInfix, "${1}*${2}", 5, 0);
    NBFWordOperatorListAddConditionalASCII(auxiliary, "off", kNBFWordOperatorArgumentTypeInfix,
                                           "${2}-${1}", 5, 0, 6, 0, 2, 1);
    NBFWordOperatorListSetAuxiliaryListReference(list, auxiliary);

    NBFWordOperatorRef of = NBFWordOperatorListGet(list, str("of").get());
    ASSERT_NE(of, nullptr);
    EXPECT_EQ(NBFStringGetCppString(NBFWordOperatorGetWord(of)), "of");
    EXPECT_EQ(NBFWordOperatorListGet(list, str("Of").get()), nullptr);
    NBFWordOperatorRef off = NBFWordOperatorListGet(list, str("off").get());
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->preConditionMask, 6u);
    EXPECT_EQ(NBFWordOperatorGetPostConditions(off), 2u);
    EXPECT_FALSE(NBFWordOperatorListContains(auxiliary, str("of").get()));

    // Only a single word is a word operator.
    StringRef words[] = {str("of"), str("of")};
    NBFStringRef raw[] = {words[0].get(), words[1].get()};
    bool isWordOperator = true;
    NBFWordOperatorRef found = of;
    EXPECT_FALSE(
        NBFWordOperatorListWordSequenceIsWordOperator(list, raw, 2, &isWordOperator, &found));
    EXPECT_FALSE(isWordOperator);
    EXPECT_EQ(found, nullptr);
    EXPECT_TRUE(
        NBFWordOperatorListWordSequenceIsWordOperator(list, raw, 1, &isWordOperator, &found));
    EXPECT_EQ(found, of);

    // A second operator of the same word replaces and releases the first.
    NBFWordOperatorRetain(of);
    NBFWordOperatorRef replacement =
        NBFWordOperatorCreateASCII("of", kNBFWordOperatorArgumentTypePostfix, "${1}", 1, 0);
    NBFWordOperatorListAddWordOperator(list, replacement);
    EXPECT_EQ(count(of), 1);
    EXPECT_EQ(count(replacement), 2);
    EXPECT_EQ(NBFWordOperatorListGet(list, str("of").get()), replacement);
    NBFWordOperatorRelease(of);
    NBFWordOperatorRelease(replacement);

    // A null word adds nothing.
    NBFWordOperatorListAddASCII(list, nullptr, kNBFWordOperatorArgumentTypeInfix, "${1}", 1, 0);
    NBFWordOperatorListRelease(list);
    NBFWordOperatorListRelease(auxiliary);
}

TEST(NBFWordOperator, ConditionsMatchByMode) {
    struct Row {
        uint32_t mask, mode, flags;
        bool pre, post;
    };
    const Row rows[] = {
        {0, 0, 0, true, true},  {0, 1, 5, true, false}, {6, 0, 7, true, true},
        {6, 0, 2, false, true}, {6, 1, 2, true, true},  {6, 1, 1, false, false},
    };
    for (const Row& row : rows) {
        NBFWordOperatorRef op =
            NBFWordOperatorCreateASCII("per", kNBFWordOperatorArgumentTypeInfix, "${1}/${2}", 1, 0);
        NBFWordOperatorSetPreConditions(op, row.mask, row.mode);
        NBFWordOperatorSetPostConditions(op, row.mask, row.mode);
        EXPECT_EQ(NBFWordOperatorPreConditionsMatch(op, row.flags), row.pre)
            << row.mask << " " << row.mode << " " << row.flags;
        EXPECT_EQ(NBFWordOperatorPostConditionsMatch(op, row.flags), row.post)
            << row.mask << " " << row.mode << " " << row.flags;
        NBFWordOperatorRelease(op);
    }
    EXPECT_FALSE(NBFWordOperatorPreConditionsMatch(nullptr, 0));
    EXPECT_EQ(NBFWordOperatorGetArgumentType(nullptr), kNBFWordOperatorArgumentTypeInfix);
}

TEST(NBFStandardWordOperators, SharedListIsMadeOnce) {
    NBFStandardWordOperatorsInit();
    NBFWordOperatorListRef shared = NBFStandardWordOperatorsGetSharedListReference();
    ASSERT_NE(shared, nullptr);
    NBFStandardWordOperatorsInit();
    EXPECT_EQ(NBFStandardWordOperatorsGetSharedListReference(), shared);
    EXPECT_FALSE(NBFWordOperatorListContains(shared, str("of").get()));
}

}  // namespace
