#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "NBFVariable.h"
#include "UnitCatalogueFixture.h"

namespace {

constexpr uint32_t kUnscoped = 2147483647u;

NBF::Ref<NBF::String> text(const char* value) {
    return NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(value));
}

std::string textAt(NBFVariableRef variable, uint32_t index) {
    NBFStringRef value = NBFVariableGetValueReferenceForScopeIndex(variable, index);
    return value ? NBFStringGetCppString(value) : "(none)";
}

// "type value" of the number at the index, "(none)" without one.
std::string numberAt(NBFVariableRef variable, uint32_t index) {
    NBFNumberRef number = NBFVariableCreateValueNumberForScopeIndex(variable, index);
    if (!number) return "(none)";
    std::string result =
        std::to_string(NBFNumberGetType(number)) + " " +
        (NBFNumberGetMAPMReference(number) ? decimalText(NBFNumberGetMAPMReference(number))
                                           : std::to_string(NBFNumberGetSpecialType(number)));
    NBFNumberRelease(number);
    return result;
}

TEST(VariableValues, EachScopeIndexSeesTheValueOfTheRangeThatCoversIt) {
    initFoundationConstants();
    NBFVariableRef variable = NBFVariableCreate();
    struct Step {
        const char* value;
        NBFRange range;
        std::vector<std::pair<uint32_t, const char*>> expected;
    };
    const Step steps[] = {
        {"5",
         NBFRangeMake(3, 4),
         {{2, "(none)"}, {3, "5"}, {6, "5"}, {7, "(none)"}, {kUnscoped, "(none)"}}},
        {"8",
         NBFRangeMake(10, NBFRangeLengthMax),
         {{9, "(none)"},
          {10, "8"},
          {kUnscoped - 1, "8"},
          {kUnscoped, "8"},
          {4, "5"},
          {kUnscoped + 1, "(none)"},
          {4294967295u, "(none)"}}},
        {"7", NBFRangeMake(5, 0), {{5, "5"}, {4, "5"}}},             // empty: nothing changes
        {"7", NBFRangeMake(-1, 3), {{0, "(none)"}, {1, "(none)"}}},  // negative: nothing
        {"1",
         NBFRangeMake(0, NBFRangeLengthMax),
         {{0, "1"}, {5, "1"}, {10, "1"}, {kUnscoped, "1"}}},
    };
    for (const Step& step : steps) {
        NBFVariableSetValueForScopeRange(variable, text(step.value).get(), 0, nullptr, step.range);
        for (const auto& [index, expected] : step.expected)
            EXPECT_EQ(textAt(variable, index), expected) << step.value << " at " << index;
    }
    EXPECT_EQ(NBFStringGetCppString(NBFVariableGetValueReference(variable)), "1");
    NBFVariableRelease(variable);
}

TEST(VariableValues, APercentageForOneRangeIsAPercentageOnlyThere) {
    initFoundationConstants();
    NBFVariableRef variable = NBFVariableCreate();
    NBFVariableSetValue(variable, text("7").get(), 0, nullptr);
    NBFVariableSetValueForScopeRange(variable, text("12.5").get(), NBFVariableValueFlagPercentage,
                                     nullptr, NBFRangeMake(3, 4));
    const struct {
        uint32_t index;
        const char* number;
        uint32_t flags;
    } rows[] = {
        {2, "1 7", 0}, {3, "2 12.5", 1}, {6, "2 12.5", 1}, {7, "1 7", 0}, {kUnscoped, "1 7", 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(numberAt(variable, row.index), row.number) << row.index;
        EXPECT_EQ(NBFVariableGetResultFlagsForScopeIndex(variable, row.index), row.flags);
        NBFScopedVariableRef scoped = NBFScopedVariableCreate(variable, row.index);
        NBFValueRef value = NBFScopedVariableGetValue(scoped);
        EXPECT_EQ(NBFNumberGetType(NBFValueGetNumber(value)), row.flags ? 2 : 1) << row.index;
        EXPECT_EQ(NBFValueGetUnitFraction(value), nullptr);
        NBFScopedVariableRelease(scoped);
    }
    NBFVariableRelease(variable);
}

TEST(VariableValues, NumbersAreReadFromTheTextOnceAndOnlyFromDecimalText) {
    initFoundationConstants();
    const struct {
        const char* text;
        const char* number;  // numberAt() of the unscoped value
    } rows[] = {
        {"2.50", "1 2.5"}, {"-0.125", "1 -0.125"}, {" 3e2 ", "1 300"}, {"1.5E-3", "1 0.0015"},
        {".5", "1 0.5"},   {"inf", "5 1"},         {"-inf", "5 2"},    {"nan", "5 3"},
        {"abc", "(none)"}, {"", "(none)"},         {"1e", "(none)"},   {"2 m", "(none)"},
        {"-", "(none)"},   {"1.2.3", "(none)"},
    };
    for (const auto& row : rows) {
        NBFVariableRef variable = NBFVariableCreate();
        NBFVariableSetValue(variable, text(row.text).get(), 0, nullptr);
        EXPECT_EQ(numberAt(variable, kUnscoped), row.number) << '"' << row.text << '"';
        M_APM first = NBFVariableGetValueMAPMReference(variable);
        EXPECT_EQ(NBFVariableGetValueMAPMReference(variable), first);  // kept
        NBFVariableRelease(variable);
    }
}

TEST(VariableValues, TheFirstNumericRequestsOfSeveralThreadsAgreeOnOneNumber) {
    initFoundationConstants();
    for (int round = 0; round < 20; ++round) {
        NBFVariableRef variable = NBFVariableCreate();
        NBFVariableSetValue(variable, text("6.02214076e23").get(), 0, nullptr);
        std::atomic<bool> go{false};
        std::vector<M_APM> seen(4);
        std::vector<std::thread> threads;
        for (size_t i = 0; i < seen.size(); ++i) {
            threads.emplace_back([&, i] {
                while (!go) std::this_thread::yield();
                seen[i] = NBFVariableGetValueMAPMReference(variable);
            });
        }
        go = true;
        for (std::thread& thread : threads) thread.join();
        for (M_APM number : seen) EXPECT_EQ(number, seen[0]);
        EXPECT_EQ(decimalText(seen[0]), "602214076000000000000000");
        NBFVariableRelease(variable);
    }
}

TEST(VariableValues, ScopedValuesCarryTheUnitWithItsMultiplierRecomputed) {
    UnitCatalogueFixture catalogue;
    const struct {
        const char* text;  // null for none
        const char* unit;  // null for none
        const char* number;
        const char* multiplier;
    } rows[] = {
        {"2.5", "kilometre", "2.5", "1000"}, {"3", "metre", "3", "1"},
        {"4", nullptr, "4", "(no unit)"},    {nullptr, nullptr, "nan", "(no unit)"},
        {nullptr, "hour", "nan", "3600"},  // a unit without a number
        {"nan", "metre", "nan", "1"},        {"inf", nullptr, "inf", "(no unit)"},
    };
    for (const auto& row : rows) {
        NBFVariableRef variable = NBFVariableCreate();
        NBFVariableSetValue(variable, row.text ? text(row.text).get() : nullptr, 0,
                            row.unit ? catalogue[row.unit] : nullptr);
        NBFScopedVariableRef scoped = NBFScopedVariableCreate(variable, 12);
        NBFValueRef value = NBFScopedVariableGetValue(scoped);
        ASSERT_NE(value, nullptr);
        NBFNumberRef number = NBFValueGetNumber(value);
        std::string shown = NBFNumberGetMAPMReference(number)
                                ? decimalText(NBFNumberGetMAPMReference(number))
                                : number->stringValue();
        EXPECT_EQ(shown, row.number) << (row.text ? row.text : "(none)");
        NBFUnitFractionRef fraction = NBFValueGetUnitFraction(value);
        EXPECT_EQ(fraction ? decimalText(NBFUnitFractionGetMultiplier(fraction)) : "(no unit)",
                  row.multiplier);
        if (row.unit) {
            // A copy, not the container's own fraction.
            EXPECT_NE(fraction, NBFUnitContainerGetUnitFraction(catalogue[row.unit]));
            EXPECT_EQ(NBFVariableGetUnitContainerReferenceForScopeIndex(variable, 12),
                      catalogue[row.unit]);
            EXPECT_EQ(NBFVariableGetUnitFractionReference(variable),
                      NBFUnitContainerGetUnitFraction(catalogue[row.unit]));
        }
        // Each call makes the value afresh.
        NBFVariableSetValue(variable, text("9").get(), 0, nullptr);
        EXPECT_EQ(decimalText(NBFNumberGetMAPMReference(
                      NBFValueGetNumber(NBFScopedVariableGetValue(scoped)))),
                  "9");
        NBFScopedVariableRelease(scoped);
        NBFVariableRelease(variable);
    }
}

TEST(VariableValues, CreatingFromANumberKeepsItsTextPercentageAndUnit) {
    UnitCatalogueFixture catalogue;
    const struct {
        const char* number;
        NBFNumberType type;
        const char* unit;
        uint32_t flags;
        const char* read;
    } rows[] = {
        {"12.5", NBFNumberTypePercentage, nullptr, 1, "12.5"},
        {"-3", NBFNumberTypeNumber, "gram", 0, "-3"},
        {"0.000001", NBFNumberTypeNumber, nullptr, 0, "0.000001"},
    };
    for (const auto& row : rows) {
        NBFNumberRef number = NBFNumberCreateWithCString(row.number, row.type);
        NBFVariableRef variable =
            NBFVariableCreate("rate", number, row.unit ? catalogue[row.unit] : nullptr);
        EXPECT_EQ(NBFStringGetCppString(NBFVariableGetNameReference(variable)), "rate");
        EXPECT_EQ(NBFStringGetCppString(NBFVariableGetValueReference(variable)),
                  number->stringValue());
        EXPECT_EQ(decimalText(NBFVariableGetValueMAPMReference(variable)), row.read);
        EXPECT_EQ(NBFVariableGetResultFlags(variable), row.flags);
        EXPECT_EQ(NBFVariableGetUnitContainerReference(variable),
                  row.unit ? catalogue[row.unit] : nullptr);
        NBFNumberRelease(number);
        NBFVariableRelease(variable);
    }
    NBFVariableRef empty = NBFVariableCreate("empty", nullptr, nullptr);
    EXPECT_EQ(NBFVariableGetValueReference(empty), nullptr);
    EXPECT_EQ(NBFVariableCreateValueNumber(empty), nullptr);
    NBFVariableRelease(empty);
}

TEST(VariableValues, SettingResultFlagsKeepsTheUnscopedTextAndUnitEverywhere) {
    UnitCatalogueFixture catalogue;
    NBFVariableRef variable = NBFVariableCreate();
    NBFVariableSetValue(variable, text("4").get(), 0, catalogue["second"]);
    NBFVariableSetValueForScopeRange(variable, text("6").get(), 0, nullptr, NBFRangeMake(2, 2));
    NBFVariableSetResultFlags(variable, NBFVariableValueFlagPercentage);
    for (uint32_t index : {0u, 2u, 3u, 100u, kUnscoped}) {
        EXPECT_EQ(textAt(variable, index), "4") << index;
        EXPECT_EQ(NBFVariableGetResultFlagsForScopeIndex(variable, index), 1u);
        EXPECT_EQ(NBFVariableGetUnitContainerReferenceForScopeIndex(variable, index),
                  catalogue["second"]);
    }
    NBFVariableRelease(variable);
}

TEST(VariableValues, AFailureHoldsForItsRangeUntilAValueReplacesIt) {
    initFoundationConstants();
    NBFVariableRef variable = NBFVariableCreate();
    NBFVariableSetValue(variable, text("4").get(), 0, nullptr);
    NBFVariableSetEvaluationErrorForScopeRange(variable, NBFEvaluationErrorUnitMismatch,
                                               NBFRangeMake(3, 2));
    for (uint32_t index : {0u, 2u, 5u, kUnscoped}) {
        EXPECT_EQ(NBFVariableGetEvaluationErrorForScopeIndex(variable, index),
                  NBFEvaluationErrorNone)
            << index;
        EXPECT_EQ(textAt(variable, index), "4") << index;
    }
    for (uint32_t index : {3u, 4u}) {
        EXPECT_EQ(NBFVariableGetEvaluationErrorForScopeIndex(variable, index),
                  NBFEvaluationErrorUnitMismatch)
            << index;
        EXPECT_EQ(textAt(variable, index), "(none)") << index;
        NBFScopedVariableRef scoped = NBFScopedVariableCreate(variable, index);
        EXPECT_EQ(NBFScopedVariableGetEvaluationError(scoped), NBFEvaluationErrorUnitMismatch);
        NBFScopedVariableRelease(scoped);
    }
    // An unscoped failure stays one when the flags change, everywhere.
    NBFVariableSetEvaluationErrorForScopeRange(variable, NBFEvaluationErrorDivisionByZero,
                                               NBFRangeMake(0, NBFRangeLengthMax));
    NBFVariableSetResultFlags(variable, NBFVariableValueFlagPercentage);
    for (uint32_t index : {0u, 3u, kUnscoped})
        EXPECT_EQ(NBFVariableGetEvaluationErrorForScopeIndex(variable, index),
                  NBFEvaluationErrorDivisionByZero)
            << index;
    NBFVariableSetValue(variable, text("6").get(), 0, nullptr);
    EXPECT_EQ(NBFVariableGetEvaluationError(variable), NBFEvaluationErrorNone);
    EXPECT_EQ(numberAt(variable, 3), "1 6");
    NBFVariableRelease(variable);
}

TEST(VariableValues, PrintShowsEachValueWithTheRangesItCovers) {
    initFoundationConstants();
    NBFVariableRef variable = NBFVariableCreate();
    NBFVariableSetName(variable, text("width").get());
    NBFVariableSetValue(variable, text("1").get(), 0, nullptr);
    NBFVariableSetValueForScopeRange(variable, text("5").get(), 0, nullptr, NBFRangeMake(3, 4));
    NBFVariableSetValueForScopeRange(variable, text("9").get(), 0, nullptr, NBFRangeMake(20, 1));
    ::testing::internal::CaptureStdout();
    NBFVariablePrint(variable);
    NBFVariablePrint(nullptr);
    std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("\"width\"\n"), std::string::npos) << printed;
    for (const char* line : {": 0-2, 7-19, 21+\n", ": 3-6\n", ": 20\n"})
        EXPECT_NE(printed.find(line), std::string::npos) << line << " in " << printed;
    for (const char* value : {"\"1\" unit ", "\"5\" unit ", "\"9\" unit "})
        EXPECT_NE(printed.find(value), std::string::npos) << value;
    NBFVariableRelease(variable);
}

TEST(VariableValues, NullVariablesAnswerNothing) {
    EXPECT_EQ(NBFVariableGetValueReference(nullptr), nullptr);
    EXPECT_EQ(NBFVariableGetValueMAPMReferenceForScopeIndex(nullptr, 3), nullptr);
    EXPECT_EQ(NBFVariableCreateValueNumber(nullptr), nullptr);
    EXPECT_EQ(NBFVariableGetUnitContainerReference(nullptr), nullptr);
    EXPECT_EQ(NBFVariableGetUnitFractionReferenceForScopeIndex(nullptr, 3), nullptr);
    EXPECT_EQ(NBFVariableGetResultFlags(nullptr), 0u);
    NBFVariableSetValue(nullptr, text("1").get(), 0, nullptr);
    NBFVariableSetResultFlags(nullptr, 1);
    EXPECT_EQ(NBFScopedVariableGetValue(nullptr), nullptr);
    EXPECT_EQ(NBFScopedVariableCreate(nullptr, 0), nullptr);
    NBFVariableValueFree(nullptr);
    // A variable never given a value has none anywhere.
    NBFVariableRef variable = NBFVariableCreate();
    EXPECT_EQ(NBFVariableGetValueReferenceForScopeIndex(variable, 0), nullptr);
    EXPECT_EQ(NBFVariableGetResultFlags(variable), 0u);
    NBFVariableRelease(variable);
}

}  // namespace
