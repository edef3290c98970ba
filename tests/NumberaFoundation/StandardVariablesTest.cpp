#include <gtest/gtest.h>
#include <mpfr.h>

#include <string>
#include <thread>
#include <vector>

#include "NBFStandardVariables.h"
#include "UnitTestCatalog.h"

namespace {

NBF::Ref<NBF::String> text(const char* value) {
    return NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(value));
}

// π to 498 decimals, correctly rounded, straight from MPFR.
std::string referencePi() {
    mpfr_t pi;
    mpfr_init2(pi, 2000);
    mpfr_const_pi(pi, MPFR_RNDN);
    mpfr_exp_t exponent = 0;
    char* digits = mpfr_get_str(nullptr, &exponent, 10, 499, pi, MPFR_RNDN);
    std::string result = std::string(digits, 1) + "." + std::string(digits + 1);
    mpfr_free_str(digits);
    mpfr_clear(pi);
    EXPECT_EQ(exponent, 1);
    return result;
}

// Asking for the list before start-up stops the process. The death test runs in a fresh
// process, where nothing has made the list yet.
TEST(StandardVariablesDeathTest, AskingBeforeStartUpStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(NBFStandardVariablesGetSharedListReference(), "s_builtInVariables");
}

class StandardVariablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        initFoundationConstants();
        NBFStandardVariablesInit();
        standard = NBFStandardVariablesGetSharedListReference();
        pi = NBFVariableListGetVariableByName(standard, text("pi").get());
        ASSERT_NE(pi, nullptr);
    }
    NBFVariableListRef standard = nullptr;
    NBFVariableRef pi = nullptr;
};

TEST_F(StandardVariablesTest, PiHasFourHundredNinetyEightDecimals) {
    std::string value = NBFStringGetCppString(NBFVariableGetValueReference(pi));
    EXPECT_EQ(value.size(), 500u);
    EXPECT_EQ(value, referencePi());
    EXPECT_EQ(value.substr(0, 52), "3.14159265358979323846264338327950288419716939937510");
    EXPECT_STREQ(NBFStandardVariablesPiText, value.c_str());
    EXPECT_EQ(NBFVariableGetResultFlags(pi), 0u);
    EXPECT_EQ(NBFVariableGetUnitContainerReference(pi), nullptr);

    // The number agrees with the library's own π as far as that goes.
    M_APM ours = m_apm_init();
    M_APM library = m_apm_init();
    m_apm_round(ours, 120, NBFVariableGetValueMAPMReference(pi));
    m_apm_round(library, 120, MM_PI);
    EXPECT_EQ(m_apm_compare(ours, library), 0);
    m_apm_free(ours);
    m_apm_free(library);
}

TEST_F(StandardVariablesTest, TheListIsMadeOnceAndServesEveryCaller) {
    NBFStandardVariablesInit();
    EXPECT_EQ(NBFStandardVariablesGetSharedListReference(), standard);
    EXPECT_EQ(NBFVariableListGetStandardList(), standard);
    EXPECT_EQ(NBFVariableListGetCount(standard), 1);
    EXPECT_EQ(NBFVariableGetCountOfAliases(pi), 1);
}

TEST_F(StandardVariablesTest, PiIsFoundInAnyCaseAndByItsAlias) {
    NBFVariableListRef global = NBFVariableListCreate();
    NBFVariableListRef document = NBFVariableListCreate();
    NBFVariableListSetParentList(global, standard);
    NBFVariableListSetParentList(document, global);
    const struct {
        NBFVariableListRef list;
        const char* name;
        bool exactCase;
        bool inParent;
    } rows[] = {
        {standard, "pi", true, false},  {standard, "PI", false, false},
        {standard, "Pi", false, false}, {standard, "π", true, false},
        {standard, "Π", false, false},  {document, "pi", true, true},
        {document, "PI", false, true},  {global, "π", true, true},
    };
    for (const auto& row : rows) {
        bool exactCase = !row.exactCase;
        bool inParent = !row.inParent;
        EXPECT_EQ(NBFVariableListFindVariableByName(row.list, text(row.name).get(), &exactCase,
                                                    &inParent),
                  pi)
            << row.name;
        EXPECT_EQ(exactCase, row.exactCase) << row.name;
        EXPECT_EQ(inParent, row.inParent) << row.name;
    }
    EXPECT_EQ(NBFVariableListGetCountOfVariables(document), 1);
    NBFVariableListRelease(document);
    NBFVariableListRelease(global);
}

TEST_F(StandardVariablesTest, ScopedPiIsAPlainNumberAtEveryIndex) {
    for (uint32_t index : {0u, 41u, 2147483647u}) {
        NBFScopedVariableRef scoped = NBFVariableListResolveScope(standard, pi, index);
        NBFValueRef value = NBFScopedVariableGetValue(scoped);
        EXPECT_EQ(NBFNumberGetType(NBFValueGetNumber(value)), NBFNumberTypeNumber);
        EXPECT_EQ(NBFValueGetUnitFraction(value), nullptr);
        EXPECT_EQ(m_apm_compare_mt(NBFNumberGetMAPMReference(NBFValueGetNumber(value)),
                                   NBFVariableGetValueMAPMReference(pi)),
                  0);
        NBFScopedVariableRelease(scoped);
    }
}

TEST_F(StandardVariablesTest, LookupsFromSeveralThreads) {
    std::vector<std::thread> threads;
    std::vector<int> found(4, 0);
    for (size_t i = 0; i < found.size(); ++i) {
        threads.emplace_back([&, i] {
            NBFStringRef names[] = {NBFStringCreateWithUTF8("PI"), NBFStringCreateWithUTF8("π")};
            for (int round = 0; round < 200; ++round) {
                for (NBFStringRef name : names) {
                    bool exactCase = false;
                    if (NBFVariableListFindVariableByName(standard, name, &exactCase, nullptr) ==
                        pi)
                        ++found[i];
                }
                if (NBFVariableGetValueMAPMReference(pi) == nullptr) --found[i];
            }
            for (NBFStringRef name : names) NBFStringRelease(name);
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int count : found) EXPECT_EQ(count, 400);
}

}  // namespace
