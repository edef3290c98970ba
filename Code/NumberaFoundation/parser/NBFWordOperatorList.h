// Word operators by their word, in exact letter case, with an auxiliary list (borrowed)
// searched when a word is not found here.
#ifndef NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_LIST_H
#define NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_LIST_H

#include <cstdint>

#include "NBFString.h"
#include "NBFWordOperator.h"

struct NBFWordOperatorList;
typedef NBFWordOperatorList* NBFWordOperatorListRef;

NBFWordOperatorListRef NBFWordOperatorListCreate();
NBFWordOperatorListRef NBFWordOperatorListRetain(NBFWordOperatorListRef list);
// The last release releases every held word operator (not the auxiliary list).
void NBFWordOperatorListRelease(NBFWordOperatorListRef list);
// Retained under its word, replacing (and releasing) an earlier operator of the same word.
void NBFWordOperatorListAddWordOperator(NBFWordOperatorListRef list,
                                        NBFWordOperatorRef wordOperator);
// Creates the operator with its pre- and post-conditions and adds it; a null list or word
// does nothing.
void NBFWordOperatorListAddConditional(NBFWordOperatorListRef list, NBFStringRef word,
                                       NBFWordOperatorArgumentType argumentType,
                                       NBFStringRef templateString, int32_t operatorPrecedence,
                                       uint32_t options, uint32_t preConditionMask,
                                       uint32_t preConditionMode, uint32_t postConditionMask,
                                       uint32_t postConditionMode);
void NBFWordOperatorListAddConditionalASCII(NBFWordOperatorListRef list, const char* word,
                                            NBFWordOperatorArgumentType argumentType,
                                            const char* templateString, int32_t operatorPrecedence,
                                            uint32_t options, uint32_t preConditionMask,
                                            uint32_t preConditionMode, uint32_t postConditionMask,
                                            uint32_t postConditionMode);
// Without conditions: masks 0, modes 1.
void NBFWordOperatorListAddASCII(NBFWordOperatorListRef list, const char* word,
                                 NBFWordOperatorArgumentType argumentType,
                                 const char* templateString, int32_t operatorPrecedence,
                                 uint32_t options);
bool NBFWordOperatorListContains(NBFWordOperatorListRef list, NBFStringRef word);
// Borrowed; this list first, then the auxiliary list's own entries.
NBFWordOperatorRef NBFWordOperatorListGet(NBFWordOperatorListRef list, NBFStringRef word);
// Only a single word can be a word operator. Returns and stores in isWordOperator whether it
// is; wordOperator receives the borrowed operator or null. Out pointers may be null.
bool NBFWordOperatorListWordSequenceIsWordOperator(NBFWordOperatorListRef list,
                                                   NBFStringRef const* words, int32_t count,
                                                   bool* isWordOperator,
                                                   NBFWordOperatorRef* wordOperator);
// Borrowed: the auxiliary list must outlive this one or be cleared first.
void NBFWordOperatorListSetAuxiliaryListReference(NBFWordOperatorListRef list,
                                                  NBFWordOperatorListRef auxiliaryList);

// The process-wide standard list: created empty once at start-up, then only read.
void NBFStandardWordOperatorsInit();
NBFWordOperatorListRef NBFStandardWordOperatorsGetSharedListReference();  // null before Init

#endif
