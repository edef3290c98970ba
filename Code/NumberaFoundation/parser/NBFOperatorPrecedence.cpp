#include "NBFOperatorPrecedence.h"

#include "NBFErrorLog.h"

namespace {

struct OperatorEntry {
    NBFOperatorNotation notation;
    NBFOperatorPrecedence precedence;
};

// Indexed by operator type; a zero precedence marks a type the parser does not know.
constexpr OperatorEntry kOperators[] = {
    {NBFOperatorNotationNone, 0},                                                 // 0
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceAdditive},                    // 1 add
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceAdditive},                    // 2 subtract
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceMultiply},                    // 3 multiply
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceDivide},                      // 4 divide
    {NBFOperatorNotationInfix, NBFOperatorPrecedencePower},                       // 5 power
    {NBFOperatorNotationPrefix, NBFOperatorPrecedenceUnaryMinus},                 // 6
    {NBFOperatorNotationPrefix, NBFOperatorPrecedenceUnaryPlus},                  // 7
    {NBFOperatorNotationPostfix, NBFOperatorPrecedenceFactorial},                 // 8
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceE10},                         // 9
    {NBFOperatorNotationNone, NBFOperatorPrecedenceType10},                       // 10
    {NBFOperatorNotationPostfix, NBFOperatorPrecedencePercent},                   // 11
    {NBFOperatorNotationNone, 0},                                                 // 12
    {NBFOperatorNotationNone, 0},                                                 // 13
    {NBFOperatorNotationNone, 0},                                                 // 14
    {NBFOperatorNotationNone, 0},                                                 // 15
    {NBFOperatorNotationNone, NBFOperatorPrecedenceType16},                       // 16
    {NBFOperatorNotationPostfix, NBFOperatorPrecedenceUnitAfterNumber},           // 17
    {NBFOperatorNotationPrefix, NBFOperatorPrecedenceUnitBeforeNumber},           // 18
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceUnitConversion},              // 19
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceMultiply},                    // 20 modulo
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceImplicitAdd},                 // 21
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceImplicitMultiply},            // 22
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceImplicitMultiplyStrong},      // 23
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceImplicitMultiply},            // 24
    {NBFOperatorNotationInfix, NBFOperatorPrecedenceHighPriorityUnitConversion},  // 25
};
constexpr NBFOperatorType kOperatorCount = sizeof(kOperators) / sizeof(kOperators[0]);

const OperatorEntry* entryFor(NBFOperatorType operatorType) {
    if (operatorType < 0 || operatorType >= kOperatorCount) return nullptr;
    const OperatorEntry& entry = kOperators[operatorType];
    return entry.precedence ? &entry : nullptr;
}

}  // namespace

NBFOperatorNotation NBFOperatorGetNotation(NBFOperatorType operatorType) {
    const OperatorEntry* entry = entryFor(operatorType);
    if (!entry || entry->notation == NBFOperatorNotationNone) {
        NBF_LOG_ERROR("Unexpected operator notation %d", operatorType);
        return NBFOperatorNotationNone;
    }
    return entry->notation;
}

NBFOperatorPrecedence NBFOperatorGetPrecedence(NBFOperatorType operatorType) {
    const OperatorEntry* entry = entryFor(operatorType);
    if (!entry) {
        NBF_LOG_ERROR("Unexpected type %d", operatorType);
        return NBFOperatorPrecedenceUnknown;
    }
    return entry->precedence;
}

int32_t NBFOperatorPrecedenceGetStrength(NBFOperatorPrecedence precedence) {
    switch (precedence) {
        case NBFOperatorPrecedenceAdditive:
        case NBFOperatorPrecedenceUnitConversion:
            return 10;
        case NBFOperatorPrecedenceMultiply:
        case NBFOperatorPrecedenceDivide:
            return 20;
        case NBFOperatorPrecedenceHighPriorityUnitConversion:
            return 25;
        case NBFOperatorPrecedenceType10:
            return 30;
        case NBFOperatorPrecedencePercent:
            return 40;
        case NBFOperatorPrecedenceImplicitAdd:
            return 50;
        case NBFOperatorPrecedenceImplicitMultiply:
            return 60;
        case NBFOperatorPrecedenceType16:
            return 70;
        case NBFOperatorPrecedenceImplicitMultiplyStrong:
            return 90;
        case NBFOperatorPrecedenceE10:
        case NBFOperatorPrecedenceFunctionWithoutArguments:
        case NBFOperatorPrecedenceUnaryMinus:
        case NBFOperatorPrecedenceUnaryPlus:
        case NBFOperatorPrecedencePower:
            return 100;
        case NBFOperatorPrecedenceUnitBeforeNumber:
        case NBFOperatorPrecedenceUnitAfterNumber:
            return 110;
        case NBFOperatorPrecedenceFactorial:
            return 120;
        case NBFOperatorPrecedenceFunctionWithArguments:
            return 135;
        default:
            NBF_LOG_ERROR("Unexpected precedence type %d", precedence);
            return 0;
    }
}

bool NBFOperatorPrecedenceIsRightAssociative(NBFOperatorPrecedence precedence) {
    switch (precedence) {
        case NBFOperatorPrecedenceUnitBeforeNumber:
        case NBFOperatorPrecedenceE10:
        case NBFOperatorPrecedenceFunctionWithoutArguments:
        case NBFOperatorPrecedenceUnaryMinus:
        case NBFOperatorPrecedenceUnaryPlus:
        case NBFOperatorPrecedencePower:
            return true;
        default:
            return false;
    }
}

int32_t NBFOperatorNotationGetArity(NBFOperatorNotation notation) {
    switch (notation) {
        case NBFOperatorNotationPrefix:
        case NBFOperatorNotationPostfix:
            return 1;
        case NBFOperatorNotationInfix:
            return 2;
        default:
            return 0;
    }
}

NBFOperatorType NBFOperatorTypeForEvaluation(NBFOperatorType operatorType) {
    switch (operatorType) {
        case NBFOperatorTypeImplicitAdd:
            return NBFOperatorTypeAdd;
        case NBFOperatorTypeImplicitMultiply:
        case NBFOperatorTypeImplicitMultiplyStrong:
            return NBFOperatorTypeMultiply;
        case NBFOperatorTypeHighPriorityDivide:
            return NBFOperatorTypeDivide;
        case NBFOperatorTypeHighPriorityUnitConversion:
            return NBFOperatorTypeUnitConversion;
        default:
            return operatorType;
    }
}
