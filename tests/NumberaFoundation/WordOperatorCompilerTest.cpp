#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "EvaluatorTestSupport.h"
#include "NBFCompiledWordOperator.h"
#include "NBFErrorLog.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFExpressionScanner.h"
#include "NBFWordOperatorCompiler.h"
#include "NBFWordOperatorFunctionImpl.h"

namespace {

class WordOperatorCompilerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { initFoundationConstants(); }
    void SetUp() override { m_compiler = NBFWordOperatorCompilerCreate(); }
    void TearDown() override {
        NBFWordOperatorCompilerRelease(m_compiler);
        NBFExpressionNodeEvaluatorRelease(m_evaluator);
    }

    static std::string printed(NBFCompiledWordOperatorRef compiled) {
        NBFExpressionNodeTreePrinterRef printer =
            NBFExpressionNodeTreePrinterCreate(compiled ? compiled->tree : nullptr);
        std::string text = NBFExpressionNodeTreePrinterCreateString(printer);
        NBFExpressionNodeTreePrinterRelease(printer);
        return text;
    }
    static NBFValueRef number(const char* text) {
        return NBFValueCreate_TransferOwnership(
            NBFNumberCreateWithCString(text, NBFNumberTypeNumber));
    }
    // Compiles the template and runs it on the operands ("" for none).
    std::string run(const char* templateText, const char* first, const char* second) {
        NBFCompiledWordOperatorRef compiled =
            NBFWordOperatorCompilerCompile(m_compiler, templateText);
        NBFValueRef a = *first ? number(first) : nullptr;
        NBFValueRef b = *second ? number(second) : nullptr;
        NBFEvaluationContextRef context = NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
        NBFValueRef value = NBFCompiledWordOperatorExecute(compiled, m_evaluator, context, a, b);
        std::string text = describeEvaluation(value, context->evaluationError);
        NBFValueRelease(value);
        NBFEvaluationContextRelease(context);
        NBFValueRelease(a);
        NBFValueRelease(b);
        NBFCompiledWordOperatorRelease(compiled);
        return text;
    }

    NBFWordOperatorCompilerRef m_compiler = nullptr;
    NBFExpressionNodeEvaluatorRef m_evaluator = NBFExpressionNodeEvaluatorCreate(nullptr);
};

TEST_F(WordOperatorCompilerTest, OperandMarkersBecomeOperandFunctionCalls) {
    EXPECT_EQ(NBFWordOperatorCompilerSubstituteOperands("${1} * ${2} / 100"),
              "_op1() * _op2() / 100");
    EXPECT_EQ(NBFWordOperatorCompilerSubstituteOperands("${1}${1}${3}${2"), "_op1()_op1()${3}${2");
    NBFCompiledWordOperatorRef compiled =
        NBFWordOperatorCompilerCompile(m_compiler, "${1} * ${2} / 100");
    EXPECT_EQ(printed(compiled), "((_op1()*_op2())/100)");
    NBFCompiledWordOperatorRelease(compiled);
    EXPECT_EQ(NBFWordOperatorCompilerCompile(nullptr, "${1}"), nullptr);
    EXPECT_EQ(NBFWordOperatorCompilerCompile(m_compiler, ""), nullptr);  // nothing to evaluate
}

TEST_F(WordOperatorCompilerTest, ExecutesWithTheOperands) {
    EXPECT_EQ(run("${1} * ${2} / 100", "20", "50"), "10");
    EXPECT_EQ(run("${1} + ${1}", "7", "100"), "14");  // the first operand twice
    EXPECT_EQ(run("sqrt(${1})", "16", ""), "4");      // through the parent list
    EXPECT_EQ(run("${2} - ${1}", "3", "10"), "7");
    EXPECT_EQ(run("${1} / ${2}", "5", "0"), "error 9");  // the error reaches the caller
    EXPECT_EQ(run("${1} + ${2}", "5", ""), "error 1");   // a missing operand
}

TEST_F(WordOperatorCompilerTest, OperandFunctionsAnswerOnlyInsideAWordOperator) {
    NBFWordOperatorFunctionImpl first(0);
    NBFWordOperatorFunctionImpl third(2);
    EXPECT_EQ(first.type(), kNBFFunctionImplementationTypeWordOperator);
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
    EXPECT_EQ(first.execute(nullptr, 0, nullptr, context, nullptr), nullptr);
    NBFValueRef five = number("5");
    const NBFValueRef operands[2] = {five, nullptr};
    context->wordOperatorOperands = operands;
    NBFValueRef read = first.execute(nullptr, 0, nullptr, context, nullptr);
    EXPECT_EQ(read, five);
    NBFValueRelease(read);
    NBFErrorLogSetEnabled(false);
    EXPECT_EQ(third.execute(nullptr, 0, nullptr, context, nullptr), nullptr);
    NBFErrorLogSetEnabled(true);
    NBFValueRelease(five);
    NBFEvaluationContextRelease(context);
}

// "5 per 0" as the parser builds it: a word-operator node over its two operands.
NBFExpressionNodeRef wordOperatorNode(NBFWordOperatorRef wordOperator, const char* left,
                                      const char* right) {
    NBFExpressionNodeRef node = NBFExpressionNodeCreateWordOperator(wordOperator);
    NBFExpressionNodeSetOperands_TransferOwnership(
        node,
        NBFExpressionNodeCreateOperand_TransferOwnership(
            NBFNumberCreateWithCString(left, NBFNumberTypeNumber), nullptr),
        NBFExpressionNodeCreateOperand_TransferOwnership(
            NBFNumberCreateWithCString(right, NBFNumberTypeNumber), nullptr));
    return node;
}

TEST_F(WordOperatorCompilerTest, WordOperatorNodesEvaluateTheirTemplate) {
    NBFWordOperatorRef per =
        NBFWordOperatorCreateASCII("per", kNBFWordOperatorArgumentTypeInfix, "${1} / ${2}", 5, 0);
    EXPECT_EQ(evaluateTree(m_evaluator, wordOperatorNode(per, "10", "4")), "2.5");
    EXPECT_EQ(evaluateTree(m_evaluator, wordOperatorNode(per, "5", "0")), "error 9");
    // Used inside a larger expression, the template's error still stops the evaluation.
    NBFExpressionNodeRef sum = NBFExpressionNodeCreateOperator_TransferOwnership(
        NBFOperatorTypeAdd, wordOperatorNode(per, "5", "0"),
        NBFExpressionNodeCreateOperand_TransferOwnership(
            NBFNumberCreateWithInt32(1, NBFNumberTypeNumber), nullptr));
    EXPECT_EQ(evaluateTree(m_evaluator, sum), "error 9");
    NBFWordOperatorRelease(per);
}

TEST_F(WordOperatorCompilerTest, CompilesOnceWhenThreadsAskTogether) {
    NBFWordOperatorRef of =
        NBFWordOperatorCreateASCII("of", kNBFWordOperatorArgumentTypeInfix, "${1} * ${2}", 5, 0);
    std::vector<NBFCompiledWordOperatorRef> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, of, i] { seen[i] = NBFWordOperatorGetCompiled(of); });
    for (std::thread& thread : threads) thread.join();
    ASSERT_NE(seen[0], nullptr);
    for (NBFCompiledWordOperatorRef compiled : seen) EXPECT_EQ(compiled, seen[0]);
    EXPECT_EQ(NBFWordOperatorGetCompiled(of), seen[0]);
    EXPECT_EQ(NBFWordOperatorGetCompiled(nullptr), nullptr);
    NBFWordOperatorRelease(of);
}

TEST_F(WordOperatorCompilerTest, EvaluatorsShareACompiledOperatorInParallel) {
    NBFWordOperatorRef percentOf = NBFWordOperatorCreateASCII(
        "percent of", kNBFWordOperatorArgumentTypeInfix, "${1} * ${2} / 100", 5, 0);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([percentOf, t, &wrong] {
            NBFExpressionNodeEvaluatorRef evaluator = NBFExpressionNodeEvaluatorCreate(nullptr);
            for (int i = 1; i <= 40; ++i) {
                // (t + 1) percent of 100 i is (t + 1) i.
                std::string left = std::to_string(t + 1);
                std::string right = std::to_string(100 * i);
                std::string expected = std::to_string((t + 1) * i);
                NBFExpressionNodeRef node =
                    wordOperatorNode(percentOf, left.c_str(), right.c_str());
                if (evaluateTree(evaluator, node) != expected) ++wrong;
            }
            NBFExpressionNodeEvaluatorRelease(evaluator);
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
    NBFWordOperatorRelease(percentOf);
}

}  // namespace
