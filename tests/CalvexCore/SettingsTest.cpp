// Process-wide settings and environments.
#include <gtest/gtest.h>

#include "NCBuiltins.h"
#include "NCEvaluator.h"
#include "NCSettings.h"
#include "NCUtilityFunctions.h"
#include "UnitsFileTestSupport.h"

namespace {

TEST(SettingsDeathTest, SettingsAreSetOnceAndASecondSetStopsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const bool before = NCSettings::isSet();
            auto settings = std::make_shared<NCSettings>();
            settings->set();
            if (before || !NCSettings::isSet() || NCSettings::current() != settings) std::exit(3);
            if (!NBFoundationIsStarted()) std::exit(4);
            std::make_shared<NCSettings>()->set();
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGABRT), "Can only set settings once");
}

TEST(EnvironmentTest, ASetEnvironmentKeepsItsObjects) {
    initFoundationConstants();
    auto environment = std::make_shared<NCEnvironment>();
    auto words = NCBuiltins::wordOperators();
    auto functions = NCBuiltins::functions();
    environment->setWordOperators(words);
    environment->setFunctions(functions);
    environment->setLocale({u',', u'.'});
    environment->setIsSet(true);
    environment->setWordOperators(nullptr);
    environment->setFunctions(nullptr);
    environment->setSharedEvaluator(std::make_shared<NCEvaluator>());
    environment->setLocale(kNCSimpleLocalDefault);
    EXPECT_EQ(environment->wordOperators(), words);
    EXPECT_EQ(environment->functions(), functions);
    EXPECT_EQ(environment->sharedEvaluator(), nullptr);
    EXPECT_EQ(environment->locale().decimalPointChar, u',');
}

TEST(EnvironmentTest, BuiltInFunctionsFindStandardAndLineReferenceFunctions) {
    initFoundationConstants();
    NBFFunctionListRef list = NCEvaluator::builtInFunctions();
    EXPECT_EQ(NCEvaluator::builtInFunctions(), list);  // made once
    for (const std::u16string* name :
         {&NCExpression::relativeLineReferenceFunctionName(),
          &NCExpression::fixedRelativeLineReferenceFunctionName(),
          &NCExpression::absoluteLineReferenceFunctionName(),
          &NCExpression::absoluteLineReferenceByLineNumberFunctionName(),
          &NCExpression::nullLineReferenceFunctionName()})
        EXPECT_NE(NBFFunctionListGetFunctionWithName(list, NCNSStringToCStringUTF8(*name)), nullptr)
            << utf8(*name);
    EXPECT_NE(NBFFunctionListGetFunctionWithName(list, std::string("sqrt")), nullptr);
}

}  // namespace
