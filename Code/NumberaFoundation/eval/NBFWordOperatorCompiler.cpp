#include "NBFWordOperatorCompiler.h"

#include <mutex>

#include "NBFContextualAnalyzer.h"
#include "NBFExpression.h"
#include "NBFExpressionTokenizer.h"
#include "NBFNamespace.h"
#include "NBFParser.h"
#include "NBFStandardFunctions.h"
#include "NBFWordOperatorFunctionImpl.h"

namespace {

std::mutex s_operandListMutex;
NBFFunctionListRef s_operandList = nullptr;  // made once, kept for the process

NBFFunctionListRef operandList(NBFFunctionListRef parent) {
    std::lock_guard<std::mutex> lock(s_operandListMutex);
    if (!s_operandList) s_operandList = NBFWordOperatorOperandFunctionListCreate(parent);
    return s_operandList;
}

}  // namespace

NBFWordOperatorCompilerRef NBFWordOperatorCompilerCreate() { return new NBFWordOperatorCompiler(); }

NBFWordOperatorCompilerRef NBFWordOperatorCompilerRetain(NBFWordOperatorCompilerRef compiler) {
    return NBF::retain(compiler);
}

void NBFWordOperatorCompilerRelease(NBFWordOperatorCompilerRef compiler) { NBF::release(compiler); }

void NBFWordOperatorCompilerInit(NBFFunctionListRef standardFunctions) {
    operandList(standardFunctions);
}

std::string NBFWordOperatorCompilerSubstituteOperands(const std::string& templateText) {
    std::string text;
    text.reserve(templateText.size() + 8);
    for (size_t i = 0; i < templateText.size();) {
        if (templateText.compare(i, 4, "${1}") == 0) {
            text += "_op1()";
            i += 4;
        } else if (templateText.compare(i, 4, "${2}") == 0) {
            text += "_op2()";
            i += 4;
        } else {
            text += templateText[i++];
        }
    }
    return text;
}

NBFCompiledWordOperatorRef NBFWordOperatorCompilerCompile(NBFWordOperatorCompilerRef compiler,
                                                          const std::string& templateText) {
    if (!compiler) return nullptr;
    NBFFunctionListRef functions = operandList(NBFStandardFunctionsGetSharedListReference());
    auto expression = NBF::Ref<NBF::Expression>::adopt(
        NBF::Expression::create(NBFWordOperatorCompilerSubstituteOperands(templateText)));
    NBFNamespaceRef ns = NBFNamespaceCreate();
    NBFNamespaceSetFunctionList(ns, functions);
    auto tokenizer =
        NBF::Ref<NBF::ExpressionTokenizer>::adopt(NBFExpressionTokenizerCreate(kNBFLocaleDefault));
    auto tokenized = NBF::Ref<NBF::TokenizedExpression>::adopt(
        NBFExpressionTokenizerTokenize(tokenizer.get(), expression.get()));
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();
    NBFContextualAnalyzerSetNamespace(analyzer, ns);
    NBFExpressionTokenVector tokens =
        NBFContextualAnalyzerAnalyzeTokenizedExpression(analyzer, tokenized.get(), 0);
    auto parser = NBF::Ref<NBFParser>::adopt(NBFParserCreate());
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(
        NBFParserCreateExpressionTreeByParsingExpressionTokens(parser.get(), &tokens));
    NBFCompiledWordOperatorRef compiled =
        NBFCompiledWordOperatorCreate(tree ? tree->root() : nullptr);
    if (compiled) {
        compiled->tokens = tokens;
    } else {
        for (NBFExpressionTokenRef token : tokens) NBFExpressionTokenRelease(token);
    }
    NBFContextualAnalyzerRelease(analyzer);
    NBFNamespaceRelease(ns);
    return compiled;
}

NBFCompiledWordOperatorRef NBFWordOperatorGetCompiled(NBFWordOperatorRef wordOperator) {
    if (!wordOperator) return nullptr;
    std::call_once(wordOperator->compiledOnce, [wordOperator] {
        auto compiler = NBF::Ref<NBFWordOperatorCompiler>::adopt(NBFWordOperatorCompilerCreate());
        wordOperator->compiled = NBFWordOperatorCompilerCompile(
            compiler.get(), NBFStringGetCppString(wordOperator->templateString));
    });
    return wordOperator->compiled;
}
