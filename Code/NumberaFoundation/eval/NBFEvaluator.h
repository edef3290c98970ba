// The front door of the foundation: an evaluator holds what an evaluation needs (word
// operators, functions, units, variables, trigonometry mode, the caller's context information)
// and evaluates a string, analysed tokens or a parsed expression into an NBFResult.
//
// Each evaluation makes and releases its own parser, node evaluator and evaluation context, so
// nothing but the settings carries over between calls. An evaluator serves one thread at a
// time; distinct evaluators may run in parallel.
#ifndef NUMBERA_FOUNDATION_NBF_EVALUATOR_H
#define NUMBERA_FOUNDATION_NBF_EVALUATOR_H

#include <cstdint>
#include <string>

#include "NBFArray.h"
#include "NBFEvaluationContext.h"
#include "NBFEvaluatorErrorCode.h"
#include "NBFExpressionNode.h"
#include "NBFExpressionToken.h"
#include "NBFFunctionList.h"
#include "NBFParsedExpression.h"
#include "NBFParser.h"
#include "NBFResult.h"
#include "NBFString.h"
#include "NBFUnitCollection.h"
#include "NBFVariable.h"
#include "NBFWordOperatorList.h"

// What the last evaluation parsed, kept while debugging is on.
struct NBFEvaluatorDebugInfo {
    NBFExpressionNodeRef rootNode = nullptr;  // retained
    std::string printedTree;
};

struct NBFEvaluator {
    bool ignoresUndefinedTokens = true;
    NBFWordOperatorListRef wordOperatorList = nullptr;  // not retained
    NBFFunctionListRef functionList = nullptr;          // not retained
    NBFUnitCollectionRef unitCollection = nullptr;      // retained
    NBFVariableListRef variableList = nullptr;          // not retained
    NBFTrigonometryMode trigonometryMode = NBFTrigonometryModeRadians;
    void* contextInfo = nullptr;  // handed to every evaluation context
    bool debug = false;
    NBFEvaluatorDebugInfo debugInfo;
};
typedef NBFEvaluator* NBFEvaluatorRef;

// The scope of an evaluation that belongs to no line: variables as after every line.
constexpr int32_t NBFEvaluatorNoScope = -1;
// The precision (significant digits) at which trees are evaluated.
constexpr uint16_t NBFEvaluatorPrecision = 102;

NBFEvaluatorRef NBFEvaluatorCreate();
NBFEvaluatorRef NBFEvaluatorCreate(NBFUnitCollectionRef unitCollection);  // retained
// Releases the unit collection and the debug information; null does nothing.
void NBFEvaluatorFree(NBFEvaluatorRef evaluator);

// Setters ignore a null evaluator.
void NBFEvaluatorSetIgnoresUndefinedTokens(NBFEvaluatorRef evaluator, bool flag);
bool NBFEvaluatorGetIgnoresUndefinedTokens(NBFEvaluatorRef evaluator);
// Makes the shared standard word-operator list the list's auxiliary list.
void NBFEvaluatorSetWordOperatorList(NBFEvaluatorRef evaluator, NBFWordOperatorListRef list);
void NBFEvaluatorSetFunctionList(NBFEvaluatorRef evaluator, NBFFunctionListRef list);
void NBFEvaluatorSetUnitCollection(NBFEvaluatorRef evaluator, NBFUnitCollectionRef collection);
void NBFEvaluatorSetVariableList(NBFEvaluatorRef evaluator, NBFVariableListRef list);
void NBFEvaluatorSetTrigonometryMode(NBFEvaluatorRef evaluator, NBFTrigonometryMode mode);
void NBFEvaluatorSetContextInfo(NBFEvaluatorRef evaluator, void* contextInfo);
// While on, each evaluation records its parsed tree and the tree's printed form.
void NBFEvaluatorSetDebug(NBFEvaluatorRef evaluator, bool flag);
const NBFEvaluatorDebugInfo* NBFEvaluatorGetDebugInfo(NBFEvaluatorRef evaluator);

// Each returns a new result, or null: for a null evaluator, for input that parses to no tree,
// and for a tree without value. An evaluation error gives a result with the error code
// NBFEvaluatorErrorCodeNonRecoverableParseError and the evaluation error; infinity gives an
// empty result with NBFEvaluatorErrorCodeDivideByZero, not-a-number an empty result.
NBFResultRef NBFEvaluatorEvaluateString(NBFEvaluatorRef evaluator, NBFStringRef string);
NBFResultRef NBFEvaluatorEvaluateString(NBFEvaluatorRef evaluator, const std::string& text);
// The scope is the line index that selects each variable's value.
NBFResultRef NBFEvaluatorEvaluateStringInScope(NBFEvaluatorRef evaluator, NBFStringRef string,
                                               int32_t scope);
NBFResultRef NBFEvaluatorEvaluateExpressionTokensInScope(NBFEvaluatorRef evaluator,
                                                         const NBFExpressionTokenVector& tokens,
                                                         int32_t scope);
// An array of NBFExpressionTokenRef items.
NBFResultRef NBFEvaluatorEvaluateExpressionTokensInScope(NBFEvaluatorRef evaluator,
                                                         NBFArrayRef tokens, int32_t scope);
NBFResultRef NBFEvaluatorEvaluateParsedExpressionInScope(NBFEvaluatorRef evaluator,
                                                         NBFParsedExpressionRef parsedExpression,
                                                         int32_t scope);

// True when the error's bits under the mask equal the code's; when they differ and the code
// has no bits under the mask, false; otherwise true only when error, mask and code share
// exactly the value 1.
bool NBFErrorContainsErrorMask(uint32_t error, uint32_t code, uint32_t mask);

#endif
