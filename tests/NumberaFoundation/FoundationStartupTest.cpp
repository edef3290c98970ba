// Start-up changes the process for good (its settings can be set once), so each case runs in a
// child process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "NBFEvaluator.h"
#include "NBFExpressionScanner.h"
#include "NBFSettings.h"
#include "NBFStandardFunctions.h"
#include "NBFStandardVariables.h"
#include "NBFSyntaxTree.h"
#include "NBFUnitTypeFactorings.h"
#include "NBFWordOperatorCompiler.h"
#include "NBFWordOperatorList.h"
#include "NBFoundation.h"

namespace {

bool evaluatesTo(const char* line, const char* expected) {
    NBFEvaluatorRef evaluator = NBFEvaluatorCreate();
    NBFEvaluatorSetFunctionList(evaluator, NBFStandardFunctionsGetSharedListReference());
    NBFEvaluatorSetVariableList(evaluator, NBFStandardVariablesGetSharedListReference());
    NBFResultRef result = NBFEvaluatorEvaluateString(evaluator, std::string(line));
    bool same = NBFStringGetCppString(NBFResultGetStringReference(result)) == expected;
    NBFResultRelease(result);
    NBFEvaluatorFree(evaluator);
    return same;
}

TEST(NBFoundationDeathTest, BuildsEverySharedTable) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool before = !NBFoundationIsStarted();
            NBFSettingsRef settings = NBFSettingsCreate();
            NBFoundationInit(settings);
            NBFSettingsRelease(settings);
            const std::set<NBFChar>& breakers = NBFExpressionScannerGetDefaultWordBreakers();
            bool built = NBFoundationIsStarted() && NBFNumber_CONST_1 && NBF_MAPM_0_01 &&
                         NBFStandardFunctionsGetSharedListReference() &&
                         NBFStandardWordOperatorsGetSharedListReference() &&
                         NBFStandardVariablesGetSharedListReference() &&
                         NBFStandardSyntaxTreesGetSpecialOperatorsTreeReference() &&
                         NBF::UnitTypeFactorings::instance() && breakers.size() == 10 &&
                         breakers.count(u'"') == 1 && breakers.count(u'%') == 1;
            // The whole road works: functions, the standard variables, word-operator templates
            // reaching the standard functions through the operand list's parent.
            NBFWordOperatorCompilerRef compiler = NBFWordOperatorCompilerCreate();
            NBFCompiledWordOperatorRef root =
                NBFWordOperatorCompilerCompile(compiler, "sqrt(${1})");
            bool compiles = root != nullptr;
            NBFCompiledWordOperatorRelease(root);
            NBFWordOperatorCompilerRelease(compiler);
            bool evaluates = evaluatesTo("2 + 3 * 4", "14") && evaluatesTo("sqrt(81)", "9") &&
                             evaluatesTo("round(pi * 100)", "314");
            std::exit(before && built && compiles && evaluates ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

TEST(NBFoundationDeathTest, ASecondStartDoesNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            NBFSettingsRef first = NBFSettingsCreate();
            NBFoundationInit(first);
            NBFSettingsRelease(first);
            NBFFunctionListRef functions = NBFStandardFunctionsGetSharedListReference();
            // Setting the settings again would stop the process; a second start must not.
            NBFSettingsRef second = NBFSettingsCreate();
            NBFSettingsSetBool(second, NBFSettingEnableExperimentalUnits, true);
            NBFoundationInit(second);
            NBFSettingsRelease(second);
            bool unchanged = !NBFSettingsGetBool(NBFSettingEnableExperimentalUnits) &&
                             NBFStandardFunctionsGetSharedListReference() == functions;
            std::exit(unchanged ? 3 : 4);
        },
        testing::ExitedWithCode(3), "");
}

}  // namespace
