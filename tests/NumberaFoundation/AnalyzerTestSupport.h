// A small namespace for analysing and parsing lines in tests, and compact descriptions of
// analysis trees and tokens.
//
// A node is described as its text, ":" and its kind (op, var, num, fn, sep, word, unit, eq, br,
// com, mark, grp) followed by its subtype when it has one, and "/" and the represented subtype
// when that differs: "+:op10", "per:op21/13", "km:unit27". Whitespace is left out; a group is
// "{" its children "}".
#ifndef NUMBERA_TESTS_ANALYZER_TEST_SUPPORT_H
#define NUMBERA_TESTS_ANALYZER_TEST_SUPPORT_H

#include <map>
#include <string>
#include <vector>

#include "NBFContextualAnalyzerPasses.h"
#include "NBFExpressionScanner.h"
#include "NBFExpressionTokenizer.h"
#include "NBFNamespace.h"

namespace analyzer_test {

inline std::string kindName(token_type type) {
    switch (type) {
        case kNBFTokenTypeOperator:
            return "op";
        case kNBFTokenTypeVariable:
            return "var";
        case kNBFTokenTypeNumber:
            return "num";
        case kNBFTokenTypeFunction:
            return "fn";
        case kNBFTokenTypeStatementSeparator:
            return "sep";
        case kNBFTokenTypeWord:
            return "word";
        case kNBFTokenTypeWhitespace:
            return "ws";
        case kNBFTokenTypeUnit:
            return "unit";
        case kNBFTokenTypeEquals:
            return "eq";
        case kNBFTokenTypeBracket:
            return "br";
        case kNBFTokenTypeComment:
            return "com";
        case kNBFTokenTypeGroup:
            return "grp";
        case kNBFTokenTypeMarker:
            return "mark";
        default:
            return "type" + std::to_string(type);
    }
}

inline std::string kindText(token_type type, NBFTokenSubType subType, NBFTokenSubType represented) {
    std::string text = kindName(type);
    // Whitespace, markers and words that are word-breaker characters carry their subtype as a
    // matter of course.
    if (subType && type != kNBFTokenTypeWord && type != kNBFTokenTypeMarker)
        text += std::to_string(subType);
    if (represented != subType) text += "/" + std::to_string(represented);
    return text;
}

inline void describeInto(NBFEPExpressionTreeNodeRef node, std::string& out) {
    token_type type = NBFExpressionTreeNodeGetTokenType(node);
    if (type == kNBFTokenTypeWhitespace) return;
    if (!out.empty()) out += " ";
    if (type == kNBFTokenTypeGroup) {
        out += "{";
        std::string inner;
        for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(node))
            describeInto(child, inner);
        out += inner + "}";
        return;
    }
    out += NBFStringGetCppString(NBFExpressionTreeNodeGetStringReference(node)) + ":" +
           kindText(type, NBFExpressionTreeNodeGetTokenSubType(node),
                    NBFExpressionTreeNodeGetRepresentedTokenSubType(node));
}

// The children of the root, described.
inline std::string describeTree(NBFEPExpressionTreeRef tree) {
    std::string out;
    for (NBFEPExpressionTreeNodeRef child :
         NBFExpressionTreeNodeGetChildren(NBFEPExpressionTreeGetRootNode(tree)))
        describeInto(child, out);
    return out;
}

inline std::string describeTokens(const NBFExpressionTokenVector& tokens) {
    std::string out;
    for (NBFExpressionTokenRef token : tokens) {
        if (NBFExpressionTokenGetType(token) == kNBFTokenTypeWhitespace) continue;
        if (!out.empty()) out += " ";
        out += NBFStringGetCppString(NBFExpressionTokenGetStringReference(token)) + ":" +
               kindText(NBFExpressionTokenGetType(token), NBFExpressionTokenGetActualSubType(token),
                        NBFExpressionTokenGetSubType(token));
    }
    return out;
}

inline NBF::Ref<NBF::TokenizedExpression> tokenizeLine(const std::string& text) {
    NBFExpressionScannerInit();
    auto expression = NBF::Ref<NBF::Expression>::adopt(NBF::Expression::create(text));
    auto tokenizer = NBF::Ref<NBF::ExpressionTokenizer>::adopt(
        NBF::ExpressionTokenizer::create(kNBFLocaleDefault));
    return NBF::Ref<NBF::TokenizedExpression>::adopt(tokenizer->tokenize(expression.get()));
}

inline void releaseTokens(const NBFExpressionTokenVector& tokens) {
    for (NBFExpressionTokenRef token : tokens) NBFExpressionTokenRelease(token);
}

// Functions sqrt, sin and max (one, one and two arguments); variables y, y2, rate and
// foo-bar; word operators "of" (infix), "per" (infix, standing for divide, skipping words),
// "mod" (infix, modulo), "_as_percent" (postfix), "x-ray" (infix) and "twice" (prefix).
class Environment {
  public:
    Environment() {
        for (auto [name, arguments] :
             std::vector<std::pair<const char*, int8_t>>{{"sqrt", 1}, {"sin", 1}, {"max", 2}}) {
            NBFFunctionRef function = NBFFunctionCreateWithName(name, arguments);
            NBFFunctionListAddFunction(functions, function);
            NBFFunctionRelease(function);
        }
        for (const char* name : {"y", "y2", "rate", "foo-bar"}) {
            NBFVariableRef variable = NBFVariableCreate();
            auto text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(name));
            NBFVariableSetName(variable, text.get());
            NBFVariableListAddVariable(variables, variable);
            NBFVariableRelease(variable);
        }
        addWordOperator("of", kNBFWordOperatorArgumentTypeInfix, "${1}*${2}", 8, 0, 31);
        addWordOperator("per", kNBFWordOperatorArgumentTypeInfix, "${1}/${2}", 7, 16, 31);
        NBFWordOperatorSetRepresentedTokenTypes(get("per"), kNBFTokenTypeOperator,
                                                kNBFTokenSubTypeDivide);
        addWordOperator("mod", kNBFWordOperatorArgumentTypeInfix, "(${1})__mod(${2})", 2, 1, 30);
        addWordOperator("_as_percent", kNBFWordOperatorArgumentTypePostfix, "(${1}*100)%", 2, 1, 0);
        addWordOperator("x-ray", kNBFWordOperatorArgumentTypeInfix, "${1}", 2, 0, 0);
        addWordOperator("twice", kNBFWordOperatorArgumentTypePrefix, "2*${1}", 6, 0, 0);
        NBFNamespaceSetFunctionList(ns, functions);
        NBFNamespaceSetVariableList(ns, variables);
        NBFNamespaceSetWordOperatorList(ns, wordOperators);
        NBFContextualAnalyzerSetNamespace(analyzer, ns);
    }
    ~Environment() {
        NBFContextualAnalyzerRelease(analyzer);
        NBFNamespaceRelease(ns);
        NBFFunctionListRelease(functions);
        NBFVariableListRelease(variables);
        NBFWordOperatorListRelease(wordOperators);
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    NBFWordOperatorRef get(const char* word) {
        auto text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(word));
        return NBFWordOperatorListGet(wordOperators, text.get());
    }

    // The line after steps 1 to lastStep, described.
    std::string through(const std::string& text, NBFAnalysisStep lastStep, uint32_t lineIndex = 0) {
        auto tokenized = tokenizeLine(text);
        NBFEPExpressionTreeRef tree = NBFContextualAnalyzerCreateAnalysisTree(tokenized->tokens());
        NBFContextualAnalyzerRunSteps(analyzer, NBFEPExpressionTreeGetRootNode(tree), lineIndex,
                                      lastStep);
        std::string described = describeTree(tree);
        NBFEPExpressionTreeRelease(tree);
        return described;
    }

    // The analysed tokens of the line, described.
    std::string analyse(const std::string& text, uint32_t lineIndex = 0) {
        auto tokenized = tokenizeLine(text);
        NBFExpressionTokenVector tokens =
            NBFContextualAnalyzerAnalyzeTokenizedExpression(analyzer, tokenized.get(), lineIndex);
        std::string described = describeTokens(tokens);
        releaseTokens(tokens);
        return described;
    }

    NBFFunctionListRef functions = NBFFunctionListCreate();
    NBFVariableListRef variables = NBFVariableListCreate();
    NBFWordOperatorListRef wordOperators = NBFWordOperatorListCreate();
    NBFNamespaceRef ns = NBFNamespaceCreate();
    NBFContextualAnalyzerRef analyzer = NBFContextualAnalyzerCreate();

  private:
    void addWordOperator(const char* word, NBFWordOperatorArgumentType argumentType,
                         const char* templateText, int32_t precedence, uint32_t options,
                         uint32_t conditions) {
        NBFWordOperatorListAddASCII(wordOperators, word, argumentType, templateText, precedence,
                                    options);
        NBFWordOperatorSetArgumentConditions(get(word), conditions);
    }
};

}  // namespace analyzer_test

#endif
