#include <gtest/gtest.h>

#include "NBFErrorLog.h"
#include "NBFExpressionNodeTreePrinter.h"
#include "NBFExpressionTree.h"

namespace {

NBFExpressionNodeRef operand(int32_t value) {
    return NBFExpressionNodeCreateOperand_TransferOwnership(
        NBFNumberCreateWithInt32(value, NBFNumberTypeNumber), nullptr);
}

int32_t valueOf(NBFExpressionNodeRef node) {
    return NBFNumberGetInt32Value(NBFExpressionNodeGetNumber(node));
}

TEST(NBFExpressionTree, PostOrderListsChildrenBeforeParents) {
    // 1 + 2 × 3, and a function of the list [4; 5].
    NBFExpressionNodeRef product = NBFExpressionNodeCreateOperator_TransferOwnership(
        NBFOperatorTypeMultiply, operand(2), operand(3));
    NBFExpressionNodeRef sum =
        NBFExpressionNodeCreateOperator_TransferOwnership(NBFOperatorTypeAdd, operand(1), product);
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(sum));
    NBFExpressionNodeRelease(sum);
    std::vector<NBFExpressionNodeRef> order(tree->nodes().begin(), tree->nodes().end());
    ASSERT_EQ(order.size(), 5u);
    EXPECT_EQ(valueOf(order[0]), 1);
    EXPECT_EQ(valueOf(order[1]), 2);
    EXPECT_EQ(valueOf(order[2]), 3);
    EXPECT_EQ(order[3], product);
    EXPECT_EQ(order[4], sum);
    EXPECT_EQ(&tree->nodesPostOrderDFS(), &tree->nodes());  // made once, then kept

    NBFFunctionRef function = NBFFunctionCreate("max", {});
    NBFExpressionNodeRef call = NBFExpressionNodeCreateFunction(function);
    NBFExpressionNodeSetFunctionArguments_TransferOwnership(
        call, NBFExpressionNodeCreateList_TransferOwnership({operand(4), operand(5)}));
    auto callTree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(call));
    std::vector<NBFExpressionNodeRef> callOrder(callTree->nodes().begin(), callTree->nodes().end());
    ASSERT_EQ(callOrder.size(), 4u);
    EXPECT_EQ(valueOf(callOrder[0]), 4);
    EXPECT_EQ(valueOf(callOrder[1]), 5);
    EXPECT_EQ(NBFExpressionNodeGetType(callOrder[2]), kNBFExpressionNodeTypeList);
    EXPECT_EQ(callOrder[3], call);
    EXPECT_EQ(NBFExpressionNodeGetParent(callOrder[2]), call);
    EXPECT_EQ(NBFExpressionNodeGetCountOfChildren(call), 1);
    EXPECT_EQ(NBFExpressionNodeGetChildren(call).size(), 2u);  // the arguments themselves
    NBFExpressionNodeRelease(call);
    NBFFunctionRelease(function);
}

TEST(NBFExpressionNode, AccessorsAnswerOnlyForTheirNodeTypes) {
    NBFExpressionNodeRef number = operand(7);
    NBFExpressionNodeRef minus = NBFExpressionNodeCreateOperator(NBFOperatorTypeUnaryMinus);
    NBFExpressionNodeSetOperands(minus, number, nullptr);
    EXPECT_EQ(NBFExpressionNodeGetCountOfChildren(minus), 1);
    EXPECT_EQ(NBFExpressionNodeGetOnlyChild(minus), number);
    EXPECT_EQ(NBFExpressionNodeGetParent(number), minus);
    EXPECT_EQ(NBFExpressionNodeGetOperatorType(number), NBFOperatorTypeNone);
    EXPECT_EQ(NBFExpressionNodeGetNumber(minus), nullptr);
    EXPECT_FALSE(NBFExpressionNodeHasChildren(number));
    EXPECT_TRUE(NBFExpressionNodeHasChildren(minus));

    // Arguments that are no list are not taken.
    NBFFunctionRef function = NBFFunctionCreate("abs", {});
    NBFExpressionNodeRef call = NBFExpressionNodeCreateFunction(function, number);
    EXPECT_EQ(NBFExpressionNodeGetFunctionArguments(call), nullptr);
    EXPECT_FALSE(NBFExpressionNodeHasChildren(call));

    // Replacing the operands releases the old ones and clears their parent.
    NBFExpressionNodeRef other = operand(8);
    NBFExpressionNodeSetOperands_TransferOwnership(minus, other, nullptr);
    EXPECT_EQ(NBFExpressionNodeGetParent(number), nullptr);
    EXPECT_EQ(number->retainCount(), 1);
    NBFExpressionNodeSetOperatorType(minus, NBFOperatorTypeUnaryPlus);
    EXPECT_EQ(NBFExpressionNodeGetOperatorType(minus), NBFOperatorTypeUnaryPlus);

    // The evaluator's slot hands its pair over once.
    NBFValueRef value =
        NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(3, NBFNumberTypeNumber));
    NBFExpressionNodeSetEvaluatedNode(number, value, nullptr);
    auto first = NBFExpressionNodeRetrieveEvaluatedNode(number);
    auto second = NBFExpressionNodeRetrieveEvaluatedNode(number);
    EXPECT_EQ(first.first, value);
    EXPECT_EQ(second.first, nullptr);
    EXPECT_EQ(second.second, nullptr);
    NBFValueRelease(first.first);
    // A result left in the slot goes with the node.
    NBFExpressionNodeSetEvaluatedNode(
        number, NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(4, NBFNumberTypeNumber)),
        nullptr);

    NBFExpressionNodeRelease(number);
    NBFExpressionNodeRelease(minus);
    NBFExpressionNodeRelease(call);
    NBFFunctionRelease(function);
}

TEST(NBFExpressionNode, OperatorTypesAndTokenSubtypes) {
    struct Row {
        NBFTokenSubType subType;
        NBFOperatorType operatorType;
    };
    const Row rows[] = {{10, 1}, {11, 2}, {12, 3},  {13, 4},  {14, 5},  {15, 9},  {16, 8},
                        {17, 7}, {18, 6}, {19, 19}, {20, 20}, {22, 11}, {26, 18}, {27, 17}};
    for (const Row& row : rows) {
        EXPECT_EQ(NBFOperatorTypeForNBFTokenSubType(row.subType), row.operatorType) << row.subType;
        EXPECT_EQ(NBFTokenSubTypeForNBFOperatorType(row.operatorType), row.subType) << row.subType;
    }
    // The parser's high-priority forms.
    EXPECT_EQ(NBFOperatorTypeForNBFTokenSubType(23), 24);
    EXPECT_EQ(NBFOperatorTypeForNBFTokenSubType(24), 22);
    EXPECT_EQ(NBFTokenSubTypeForNBFOperatorType(24), 23);
    EXPECT_EQ(NBFTokenSubTypeForNBFOperatorType(22), 24);
    EXPECT_EQ(NBFOperatorTypeForNBFTokenSubType(21), 0);
    EXPECT_EQ(NBFTokenSubTypeForNBFOperatorType(10), 0);
}

NBFExpressionNodeRef operand(const char* text, NBFNumberType type = NBFNumberTypeNumber) {
    return NBFExpressionNodeCreateOperand_TransferOwnership(NBFNumberCreateWithCString(text, type),
                                                            nullptr);
}

NBFExpressionNodeRef special(NBFNumberSpecialType type) {
    return NBFExpressionNodeCreateOperand_TransferOwnership(NBFNumberCreateSpecial(type), nullptr);
}

NBFExpressionNodeRef binary(NBFOperatorType op, NBFExpressionNodeRef left,
                            NBFExpressionNodeRef right) {
    return NBFExpressionNodeCreateOperator_TransferOwnership(op, left, right);
}

std::string printed(NBFExpressionNodeRef root) {
    auto tree = NBF::Ref<NBF::ExpressionTree>::adopt(NBF::ExpressionTree::create(root));
    NBFExpressionNodeRelease(root);
    NBFExpressionNodeTreePrinterRef printer = NBFExpressionNodeTreePrinterCreate(tree.get());
    std::string text = NBFExpressionNodeTreePrinterCreateString(printer);
    NBFExpressionNodeTreePrinterRelease(printer);
    return text;
}

TEST(NBFExpressionNodeTreePrinter, RendersEveryNodeType) {
    NBFUnitContainerRef km = NBFUnitContainerCreate("km", {}, {});
    NBFFunctionRef sqrtFunction = NBFFunctionCreate("Sqrt", {});
    NBFWordOperatorRef of =
        NBFWordOperatorCreateASCII("of", kNBFWordOperatorArgumentTypeInfix, "${1}*${2}", 5, 0);
    NBFVariableRef variable = NBFVariableCreate();
    auto x = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8("x"));
    NBFVariableSetName(variable, x.get());
    NBFScopedVariableRef scoped = NBFScopedVariableCreate(variable, 0);

    NBFExpressionNodeRef call = NBFExpressionNodeCreateFunction(sqrtFunction);
    NBFExpressionNodeSetFunctionArguments_TransferOwnership(
        call, NBFExpressionNodeCreateList_TransferOwnership({operand("4")}));
    NBFExpressionNodeRef wordOperator = NBFExpressionNodeCreateWordOperator(of);
    NBFExpressionNodeSetOperands_TransferOwnership(wordOperator, operand("20"), operand("50"));
    NBFExpressionNodeRef minus = NBFExpressionNodeCreateOperator(NBFOperatorTypeUnaryMinus);
    NBFExpressionNodeSetOperands_TransferOwnership(minus, operand("5"), nullptr);
    NBFExpressionNodeRef seven = operand("7");
    NBFExpressionNodeRef unitOperator =
        NBFExpressionNodeCreateOperatorUnit(km, NBFOperatorTypeUnitAfterNumber, seven);
    NBFExpressionNodeRelease(seven);

    struct Row {
        NBFExpressionNodeRef root;
        const char* expected;
    };
    const Row rows[] = {
        {binary(NBFOperatorTypeSubtract, operand("2"), operand("3")), "(2-3)"},
        {binary(NBFOperatorTypeAdd, operand("1"),
                binary(NBFOperatorTypeMultiply, operand("2"), operand("3"))),
         "(1+(2*3))"},
        {minus, "(`u-`5)"},
        {NBFExpressionNodeCreateList_TransferOwnership({operand("1"), operand("2")}), "[1;2]"},
        {operand("5", NBFNumberTypePercentage), "5%"},
        {operand("12.50"), "12.5"},
        {operand("-0.125"), "-0.125"},
        {special(NBFNumberSpecialTypeInfinity), "inf"},
        {special(NBFNumberSpecialTypeNegativeInfinity), "-inf"},
        {special(NBFNumberSpecialTypeNaN), "NaN"},
        {call, "sqrt([4])"},
        {wordOperator, "(20`of`50)"},
        {NBFExpressionNodeCreateOperand_TransferOwnership(
             NBFNumberCreateWithInt32(3, NBFNumberTypeNumber), NBFUnitContainerRetain(km)),
         "3{unit:km}"},
        {unitOperator, "7{unit:km}"},
        {binary(NBFOperatorTypeUnitConversion, operand("1"), operand("2")), "(1`uc`2)"},
        {NBFExpressionNodeCreateVariable(scoped), "{variable:x}"},
        {NBFExpressionNodeCreateEmptyOperand(), "{empty_operand}"},
    };
    bool logging = NBFErrorLogEnabled;
    NBFErrorLogEnabled = false;  // the empty operand is reported
    for (const Row& row : rows) EXPECT_EQ(printed(row.root), row.expected);
    NBFErrorLogEnabled = logging;

    NBFUnitContainerRelease(km);
    NBFFunctionRelease(sqrtFunction);
    NBFWordOperatorRelease(of);
    NBFScopedVariableRelease(scoped);
    NBFVariableRelease(variable);
}

}  // namespace
