// Compiles a word operator's template ("${1} * ${2} / 100") into an expression tree: the operand
// markers become calls of "_op1" and "_op2", and the text is tokenized, analysed and parsed in a
// namespace that knows only those two functions and, through their list's parent, the standard
// functions.
#ifndef NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_COMPILER_H
#define NUMBERA_FOUNDATION_NBF_WORD_OPERATOR_COMPILER_H

#include <cstdint>
#include <string>

#include "NBFCompiledWordOperator.h"
#include "NBFFunctionList.h"
#include "NBFObject.h"

struct NBFWordOperatorCompiler : NBF::Object<NBFWordOperatorCompiler> {};
typedef NBFWordOperatorCompiler* NBFWordOperatorCompilerRef;

NBFWordOperatorCompilerRef NBFWordOperatorCompilerCreate();
NBFWordOperatorCompilerRef NBFWordOperatorCompilerRetain(NBFWordOperatorCompilerRef compiler);
void NBFWordOperatorCompilerRelease(NBFWordOperatorCompilerRef compiler);

// Makes the process-wide list of "_op1" and "_op2" with the given parent; only the first call
// has an effect. Compiling before it makes the list with the shared standard functions.
void NBFWordOperatorCompilerInit(NBFFunctionListRef standardFunctions);

// "${1}" and "${2}" replaced by "_op1()" and "_op2()", left to right.
std::string NBFWordOperatorCompilerSubstituteOperands(const std::string& templateText);

// A new compiled operator, or null for a null compiler or a template that yields no tree.
NBFCompiledWordOperatorRef NBFWordOperatorCompilerCompile(NBFWordOperatorCompilerRef compiler,
                                                          const std::string& templateText);

#endif
