// A word that acts as an operator ("of", "as a % of"), its meaning written as an expression
// template over "${1}" and "${2}". Word operators are made once and shared read-only by the
// lists, tokens and nodes that name them.
#ifndef NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_H
#define NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_H

#include <cstdint>
#include <mutex>

#include "NBFObject.h"
#include "NBFString.h"

// How the operator takes its operands.
typedef int32_t NBFWordOperatorArgumentType;
enum : NBFWordOperatorArgumentType {
    kNBFWordOperatorArgumentTypePrefix = 1,   // one operand, after the word
    kNBFWordOperatorArgumentTypePostfix = 2,  // one operand, before the word
    kNBFWordOperatorArgumentTypeInfix = 3,    // one operand on each side
};

struct NBFCompiledWordOperator;

struct NBFWordOperator : NBF::Object<NBFWordOperator> {
    ~NBFWordOperator() override;
    NBFStringRef word = nullptr;
    NBFWordOperatorArgumentType argumentType = kNBFWordOperatorArgumentTypeInfix;
    NBFStringRef templateString = nullptr;
    int32_t operatorPrecedence = 0;
    uint32_t options = 0;
    int32_t representedTokenType = 0;
    int32_t representedTokenSubType = 0;
    uint32_t preConditionMask = 0;
    uint32_t postConditionMask = 0;
    uint32_t preConditionMode = 1;
    uint32_t postConditionMode = 1;
    uint32_t argumentConditions = 0;
    // The template compiled on first request (NBFWordOperatorGetCompiled); owned.
    std::once_flag compiledOnce;
    NBFCompiledWordOperator* compiled = nullptr;
};
typedef NBFWordOperator* NBFWordOperatorRef;

// Word and template are retained; a null word gives null.
NBFWordOperatorRef NBFWordOperatorCreate(NBFStringRef word,
                                         NBFWordOperatorArgumentType argumentType,
                                         NBFStringRef templateString, int32_t operatorPrecedence,
                                         uint32_t options);
NBFWordOperatorRef NBFWordOperatorCreateASCII(const char* word,
                                              NBFWordOperatorArgumentType argumentType,
                                              const char* templateString,
                                              int32_t operatorPrecedence, uint32_t options);
NBFWordOperatorRef NBFWordOperatorRetain(NBFWordOperatorRef wordOperator);
void NBFWordOperatorRelease(NBFWordOperatorRef wordOperator);

// Every accessor accepts null.
NBFStringRef NBFWordOperatorGetWord(NBFWordOperatorRef wordOperator);
NBFWordOperatorArgumentType NBFWordOperatorGetArgumentType(
    NBFWordOperatorRef wordOperator);  // 3 for null
int32_t NBFWordOperatorGetOperatorPrecedence(NBFWordOperatorRef wordOperator);
uint32_t NBFWordOperatorGetOptions(NBFWordOperatorRef wordOperator);
void NBFWordOperatorSetArgumentConditions(NBFWordOperatorRef wordOperator, uint32_t conditions);
uint32_t NBFWordOperatorGetArgumentConditions(NBFWordOperatorRef wordOperator);
// The ordinary operator the word stands for.
void NBFWordOperatorSetRepresentedTokenTypes(NBFWordOperatorRef wordOperator, int32_t type,
                                             int32_t subType);
int32_t NBFWordOperatorGetRepresentedTokenSubType(NBFWordOperatorRef wordOperator);
void NBFWordOperatorSetPreConditions(NBFWordOperatorRef wordOperator, uint32_t mask, uint32_t mode);
void NBFWordOperatorSetPostConditions(NBFWordOperatorRef wordOperator, uint32_t mask,
                                      uint32_t mode);
uint32_t NBFWordOperatorGetPostConditions(NBFWordOperatorRef wordOperator);  // the mask

// A zero mask always matches; mode 1 asks for any bit of the mask, mode 0 for all of them.
// False for null.
bool NBFWordOperatorPreConditionsMatch(NBFWordOperatorRef wordOperator, uint32_t flags);
// Mode 1 asks for any bit of the mask; mode 0 always matches. False for null.
bool NBFWordOperatorPostConditionsMatch(NBFWordOperatorRef wordOperator, uint32_t flags);

#endif
