// How operators take their operands and how tightly they bind: each operator type has a
// notation (prefix, postfix, infix) and a precedence class, and each class a strength. The
// parser reduces by strength; the analyser asks whether an operator completes a value
// (postfix).
#ifndef NUMBERA_FOUNDATION_NBF_OPERATOR_PRECEDENCE_H
#define NUMBERA_FOUNDATION_NBF_OPERATOR_PRECEDENCE_H

#include <cstdint>

#include "NBFOperatorType.h"

typedef int32_t NBFOperatorNotation;
enum : NBFOperatorNotation {
    NBFOperatorNotationNone = 0,
    NBFOperatorNotationPrefix = 1,
    NBFOperatorNotationPostfix = 2,
    NBFOperatorNotationInfix = 3,
};

// Operator types that exist only inside the parser; reduction turns them into the operators
// the evaluator knows.
enum : NBFOperatorType {
    NBFOperatorTypeImplicitAdd = 21,                 // becomes add: 5 ft 3 in
    NBFOperatorTypeImplicitMultiply = 22,            // becomes multiply: 5 m
    NBFOperatorTypeImplicitMultiplyStrong = 23,      // becomes multiply: 2x
    NBFOperatorTypeHighPriorityDivide = 24,          // becomes divide: km/h
    NBFOperatorTypeHighPriorityUnitConversion = 25,  // becomes unit conversion
};

typedef int32_t NBFOperatorPrecedence;
enum : NBFOperatorPrecedence {
    NBFOperatorPrecedenceUnknown = 1,
    NBFOperatorPrecedenceAdditive = 2,
    NBFOperatorPrecedenceUnitConversion = 4,
    NBFOperatorPrecedenceHighPriorityUnitConversion = 5,
    NBFOperatorPrecedenceMultiply = 6,
    NBFOperatorPrecedenceDivide = 7,
    NBFOperatorPrecedenceType10 = 8,
    NBFOperatorPrecedencePercent = 9,
    NBFOperatorPrecedenceImplicitAdd = 10,
    NBFOperatorPrecedenceImplicitMultiply = 11,
    NBFOperatorPrecedenceType16 = 12,
    NBFOperatorPrecedenceUnitBeforeNumber = 14,
    NBFOperatorPrecedenceUnitAfterNumber = 15,
    NBFOperatorPrecedenceE10 = 16,
    NBFOperatorPrecedenceFunctionWithArguments = 17,
    NBFOperatorPrecedenceFunctionWithoutArguments = 18,
    NBFOperatorPrecedenceUnaryMinus = 20,
    NBFOperatorPrecedenceUnaryPlus = 21,
    NBFOperatorPrecedencePower = 22,
    NBFOperatorPrecedenceFactorial = 23,
    NBFOperatorPrecedenceImplicitMultiplyStrong = 24,
};

// Types outside the table log "Unexpected operator notation" and answer none. Modulo is infix:
// "7 mod 3" compiles to it.
NBFOperatorNotation NBFOperatorGetNotation(NBFOperatorType operatorType);
// Types outside the table log "Unexpected type" and answer the unknown class. Modulo binds as
// multiplication does.
NBFOperatorPrecedence NBFOperatorGetPrecedence(NBFOperatorType operatorType);
// Higher binds tighter. Classes without a strength log "Unexpected precedence type" and
// answer 0.
int32_t NBFOperatorPrecedenceGetStrength(NBFOperatorPrecedence precedence);
// A tie with the top of the operator stack leaves it for these classes: unit before number,
// times-ten power, function without arguments, unary minus and plus, power.
bool NBFOperatorPrecedenceIsRightAssociative(NBFOperatorPrecedence precedence);
// 1 for prefix and postfix, 2 for infix, 0 otherwise.
int32_t NBFOperatorNotationGetArity(NBFOperatorNotation notation);
// The operator the evaluator knows for a parser-only type; other types are their own.
NBFOperatorType NBFOperatorTypeForEvaluation(NBFOperatorType operatorType);

#endif
