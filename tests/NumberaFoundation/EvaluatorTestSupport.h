// Hand-built expression trees for the evaluator tests, shaped as the parser shapes them ("5 m"
// is 5 × (1 m)), and a text description of what an evaluation gave.
#ifndef NUMBERA_TESTS_FOUNDATION_EVALUATOR_TEST_SUPPORT_H
#define NUMBERA_TESTS_FOUNDATION_EVALUATOR_TEST_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

#include "MathTestSupport.h"
#include "NBFExpressionNodeEvaluator.h"
#include "NBFExpressionScanner.h"
#include "NBFExpressionTree.h"
#include "NBFMathLibrary.h"
#include "NBFStandardFunctions.h"
#include "NBFStandardVariables.h"
#include "NBFSyntaxTree.h"
#include "NBFUnitDisambiguator.h"
#include "NBFUnitTypeFactorings.h"
#include "NBFWordOperatorCompiler.h"
#include "NBFWordOperatorList.h"
#include "UnitCatalogueFixture.h"

// Each returns a new node that the parent it is given to takes over.
class TreeBuilder {
  public:
    explicit TreeBuilder(const UnitCatalogueFixture& units) : m_units(units) {}

    // "12.5", "5%", "inf", "-inf", "nan".
    NBFExpressionNodeRef num(const std::string& text) const {
        NBFNumberRef number;
        if (text == "inf" || text == "-inf" || text == "nan") {
            number = NBFNumberCreateSpecial(text == "nan"   ? NBFNumberSpecialTypeNaN
                                            : text == "inf" ? NBFNumberSpecialTypeInfinity
                                                            : NBFNumberSpecialTypeNegativeInfinity);
        } else if (!text.empty() && text.back() == '%') {
            number = NBFNumberCreateWithCString(text.substr(0, text.size() - 1).c_str(),
                                                NBFNumberTypePercentage);
        } else {
            number = NBFNumberCreateWithCString(text.c_str(), NBFNumberTypeNumber);
        }
        return NBFExpressionNodeCreateOperand_TransferOwnership(number, nullptr);
    }
    // A unit standing alone: the number 1 with the unit.
    NBFExpressionNodeRef unit(const std::string& identifier) const {
        return NBFExpressionNodeCreateOperand_TransferOwnership(
            NBFNumberCreateWithInt32(1, NBFNumberTypeNumber),
            NBFUnitContainerRetain(m_units[identifier]));
    }
    // A number followed by a unit.
    NBFExpressionNodeRef qty(const std::string& number, const std::string& identifier) const {
        return op(NBFOperatorTypeMultiply, num(number), unit(identifier));
    }
    NBFExpressionNodeRef op(NBFOperatorType type, NBFExpressionNodeRef left,
                            NBFExpressionNodeRef right = nullptr) const {
        return NBFExpressionNodeCreateOperator_TransferOwnership(type, left, right);
    }
    NBFExpressionNodeRef add(NBFExpressionNodeRef l, NBFExpressionNodeRef r) const {
        return op(NBFOperatorTypeAdd, l, r);
    }
    NBFExpressionNodeRef sub(NBFExpressionNodeRef l, NBFExpressionNodeRef r) const {
        return op(NBFOperatorTypeSubtract, l, r);
    }
    NBFExpressionNodeRef mul(NBFExpressionNodeRef l, NBFExpressionNodeRef r) const {
        return op(NBFOperatorTypeMultiply, l, r);
    }
    NBFExpressionNodeRef div(NBFExpressionNodeRef l, NBFExpressionNodeRef r) const {
        return op(NBFOperatorTypeDivide, l, r);
    }
    NBFExpressionNodeRef pow(NBFExpressionNodeRef l, NBFExpressionNodeRef r) const {
        return op(NBFOperatorTypePower, l, r);
    }
    NBFExpressionNodeRef in(NBFExpressionNodeRef l, NBFExpressionNodeRef r) const {
        return op(NBFOperatorTypeUnitConversion, l, r);
    }
    // A function of the standard list.
    NBFExpressionNodeRef call(const char* name, std::vector<NBFExpressionNodeRef> args) const {
        NBFFunctionRef function = NBFFunctionListGetFunctionWithName(
            NBFStandardFunctionsGetSharedListReference(), std::string(name));
        NBFExpressionNodeRef node = NBFExpressionNodeCreateFunction(function);
        NBFExpressionNodeSetFunctionArguments_TransferOwnership(
            node, NBFExpressionNodeCreateList_TransferOwnership(args));
        return node;
    }

  private:
    const UnitCatalogueFixture& m_units;
};

// The value as every significant digit, "%" for a percentage, then its units by identifier;
// "nan", "inf", "-inf"; an evaluation error appended as "error N"; "" for no value.
inline std::string describeEvaluation(NBFValueRef value, NBFEvaluationError error) {
    std::string text = MathCaller::describe(value);
    if (error != NBFEvaluationErrorNone) {
        text += (value ? " " : "") + std::string("error ") + std::to_string(error);
    }
    return text;
}

// Evaluates the tree the builder makes (the evaluator takes it over).
inline std::string evaluateTree(NBFExpressionNodeEvaluatorRef evaluator, NBFExpressionNodeRef root,
                                NBFTrigonometryMode mode = NBFTrigonometryModeRadians) {
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(root));
    NBFExpressionNodeRelease(root);
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(mode);
    NBFValueRef value = NBFExpressionNodeEvaluatorEvaluate(evaluator, tree.get(), context);
    std::string text = describeEvaluation(value, context->evaluationError);
    NBFValueRelease(value);
    NBFEvaluationContextRelease(context);
    return text;
}

#endif
