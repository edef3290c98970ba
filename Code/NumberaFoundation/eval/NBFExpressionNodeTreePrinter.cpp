#include "NBFExpressionNodeTreePrinter.h"

#include <cstdlib>

#include "NBFErrorLog.h"
#include "NBFMathLibrary.h"

namespace {

std::string unitText(NBFUnitContainerRef unit) {
    return "{unit:" + NBFUnitContainerGetIdentifier_cpp(unit) + "}";
}

std::string numberText(NBFNumberRef number) {
    switch (NBFNumberGetSpecialType(number)) {
        case NBFNumberSpecialTypeInfinity:
            return "inf";
        case NBFNumberSpecialTypeNegativeInfinity:
            return "-inf";
        case NBFNumberSpecialTypeNaN:
            return "NaN";
        default:
            break;
    }
    char* fitted = NBF_mapm_to_fitted_string(NBFNumberGetMAPMReference(number), 100);
    std::string text = fitted ? fitted : "";
    std::free(fitted);
    if (NBFNumberGetType(number) == NBFNumberTypePercentage) text += "%";
    return text;
}

std::string operatorText(NBFExpressionNodeRef node) {
    switch (NBFExpressionNodeGetOperatorType(node)) {
        case NBFOperatorTypeAdd:
            return "+";
        case NBFOperatorTypeSubtract:
            return "-";
        case NBFOperatorTypeMultiply:
            return "*";
        case NBFOperatorTypeDivide:
            return "/";
        case NBFOperatorTypePower:
            return "^";
        case NBFOperatorTypeUnaryMinus:
            return "`u-`";
        case NBFOperatorTypeUnaryPlus:
            return "`u+`";
        case NBFOperatorTypeFactorial:
            return "`fact`";
        case NBFOperatorTypeE10:
            return "`e10`";
        case NBFOperatorTypePercent:
            return "%";
        case NBFOperatorTypeUnitAfterNumber:
        case NBFOperatorTypeUnitBeforeNumber:
            return unitText(NBFExpressionNodeGetUnitContainer(node));
        case NBFOperatorTypeUnitConversion:
            return "`uc`";
        case NBFOperatorTypeModulo:  // "7 mod 3" parses to it
            return "`mod`";
        default:
            NBF_LOG_ERROR("Unexpected operator type %d", NBFExpressionNodeGetOperatorType(node));
            return "";
    }
}

std::string print(NBFExpressionNodeRef node);

// "(" operator operand ")" or "(" left operator right ")".
std::string printOperation(NBFExpressionNodeRef node, const std::string& op) {
    const NBFExpressionNodeVector& children = NBFExpressionNodeGetChildren(node);
    if (children.size() == 1) return "(" + op + print(children[0]) + ")";
    if (children.size() == 2) return "(" + print(children[0]) + op + print(children[1]) + ")";
    NBF_LOG_ERROR("Unexpected child count %zu", children.size());
    return "()";
}

std::string print(NBFExpressionNodeRef node) {
    switch (NBFExpressionNodeGetType(node)) {
        case kNBFExpressionNodeTypeOperand: {
            std::string text = numberText(NBFExpressionNodeGetNumber(node));
            if (NBFExpressionNodeHasUnitContainer(node))
                text += unitText(NBFExpressionNodeGetUnitContainer(node));
            return text;
        }
        case kNBFExpressionNodeTypeOperator:
            return printOperation(node, operatorText(node));
        case kNBFExpressionNodeTypeList: {
            std::string text = "[";
            const char* separator = "";
            for (NBFExpressionNodeRef child : NBFExpressionNodeGetChildren(node)) {
                text += separator + print(child);
                separator = ";";
            }
            return text + "]";
        }
        case kNBFExpressionNodeTypeFunction: {
            NBFExpressionNodeRef arguments = NBFExpressionNodeGetFunctionArguments(node);
            return NBFStringGetCppString(
                       NBFFunctionGetLowercaseNameReference(NBFExpressionNodeGetFunction(node))) +
                   "(" + (arguments ? print(arguments) : "") + ")";
        }
        case kNBFExpressionNodeTypeVariable:
            return "{variable:" +
                   NBFStringGetCppString(NBFVariableGetNameReference(
                       NBFScopedVariableGetVariable(NBFExpressionNodeGetVariable(node)))) +
                   "}";
        case kNBFExpressionNodeTypeWordOperator:
            return printOperation(node, "`" +
                                            NBFStringGetCppString(NBFWordOperatorGetWord(
                                                NBFExpressionNodeGetWordOperator(node))) +
                                            "`");
        case kNBFExpressionNodeTypeOperatorUnit:
            return print(NBFExpressionNodeGetOnlyChild(node)) +
                   unitText(NBFExpressionNodeGetUnitContainer(node));
        case kNBFExpressionNodeTypeEmptyOperand:
            NBF_LOG_ERROR("%s", "Empty operand in the tree");
            return "{empty_operand}";
        default:
            NBF_LOG_ERROR("Unexpected node %d", NBFExpressionNodeGetType(node));
            return "";
    }
}

}  // namespace

NBFExpressionNodeTreePrinterRef NBFExpressionNodeTreePrinterCreate(NBFExpressionTreeRef tree) {
    auto* printer = new NBFExpressionNodeTreePrinter();
    printer->tree = NBF::retain(tree);
    return printer;
}

NBFExpressionNodeTreePrinterRef NBFExpressionNodeTreePrinterRetain(
    NBFExpressionNodeTreePrinterRef printer) {
    return NBF::retain(printer);
}

void NBFExpressionNodeTreePrinterRelease(NBFExpressionNodeTreePrinterRef printer) {
    NBF::release(printer);
}

std::string NBFExpressionNodeTreePrinterCreateString(NBFExpressionNodeTreePrinterRef printer) {
    if (!printer || !printer->tree) return "";
    return print(printer->tree->root());
}
