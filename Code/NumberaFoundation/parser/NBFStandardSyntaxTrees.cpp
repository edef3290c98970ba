#include <initializer_list>
#include <mutex>
#include <vector>

#include "NBFSyntaxTree.h"

namespace {

NBFSyntaxTreeRef s_specialOperatorsTree = nullptr;
NBFSyntaxTreeRef s_unaryOperatorsTree = nullptr;
std::once_flag s_standardTreesOnce;

// Percent, factorial and word operators that take the operand before them come after their
// operand, so a sign after them is no sign of a new operand.
bool isNotPostfixOperator(NBFEPExpressionTreeNodeRef node, NBFEPExpressionTreeNodeRef) {
    switch (NBFExpressionTreeNodeGetTokenSubType(node)) {
        case kNBFTokenSubTypePercent:
        case kNBFTokenSubTypeFactorial:
            return false;
        case kNBFTokenSubTypeWordOperator:
            return NBFWordOperatorGetArgumentType(NBFExpressionTreeNodeGetWordOperator(node)) !=
                   kNBFWordOperatorArgumentTypePostfix;
        default:
            return true;
    }
}

// The first node of its group, or the second after one whitespace; in a bracket group the
// opening bracket comes first.
bool opensItsGroup(NBFEPExpressionTreeNodeRef node, NBFEPExpressionTreeNodeRef parent) {
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(parent);
    size_t first =
        NBFExpressionTreeNodeGetTokenSubType(parent) == kNBFTokenSubTypeBracketGroup ? 1 : 0;
    if (children.size() > first && children[first] == node) return true;
    return children.size() > first + 1 && children[first + 1] == node &&
           NBFExpressionTreeNodeGetTokenType(children[first]) == kNBFTokenTypeWhitespace;
}

// Links under each parent one test per (type, subtype) given; returns the new tests.
std::vector<NBFSyntaxTreeNodeRef> addTests(
    NBFSyntaxTreeRef tree, const std::vector<NBFSyntaxTreeNodeRef>& parents,
    std::initializer_list<std::pair<uint16_t, uint16_t>> keys,
    NBFSyntaxTreePredicateFunction predicate) {
    std::vector<NBFSyntaxTreeNodeRef> added;
    for (NBFSyntaxTreeNodeRef parent : parents)
        for (auto [type, subType] : keys)
            added.push_back(NBFSyntaxTreeAddLink(tree, parent, type, subType, predicate, 0, 0, 0));
    return added;
}

void addTerminals(NBFSyntaxTreeRef tree, const std::vector<NBFSyntaxTreeNodeRef>& parents,
                  uint16_t syntax, uint16_t length, uint16_t location) {
    for (NBFSyntaxTreeNodeRef parent : parents)
        NBFSyntaxTreeAddLink(tree, parent, syntax, 0, NBFSyntaxTreePredicateTrue,
                             kNBFSyntaxTreeLinkTerminal, length, location);
}

NBFSyntaxTreeRef makeUnaryOperatorsTree() {
    NBFSyntaxTreeRef tree = NBFSyntaxTreeCreate();
    NBFSyntaxTreeNodeRef root = NBFSyntaxTreeGetRootNode(tree);
    const auto sign = {std::pair<uint16_t, uint16_t>{kNBFTokenTypeOperator, kNBFTokenSubTypePlus},
                       std::pair<uint16_t, uint16_t>{kNBFTokenTypeOperator, kNBFTokenSubTypeMinus}};
    auto operand = [&](const std::vector<NBFSyntaxTreeNodeRef>& parents) {
        return addTests(tree, parents,
                        {{kNBFTokenTypeOperator, 0},
                         {kNBFTokenTypeFunction, 0},
                         {kNBFTokenTypeVariable, 0},
                         {kNBFTokenTypeNumber, 0},
                         {kNBFTokenTypeGroup, 0}},
                        NBFSyntaxTreePredicateTrue);
    };

    // An operator, then a sign, then an operand: the sign is unary.
    auto afterOperator = addTests(tree, {root}, {{kNBFTokenTypeOperator, 0}}, isNotPostfixOperator);
    auto signs = addTests(tree, afterOperator, sign, NBFSyntaxTreePredicateTrue);
    addTerminals(tree, operand(signs), kNBFSyntaxTreeSyntaxUnarySign, 1, 1);

    // A sign that opens its group, then an operand.
    auto opening = addTests(tree, {root}, sign, opensItsGroup);
    addTerminals(tree, operand(opening), kNBFSyntaxTreeSyntaxUnarySign, 1, 0);

    // A unit, a multiply or divide, a unit: the operator binds tighter.
    auto unit = addTests(tree, {root}, {{kNBFTokenTypeUnit, 0}}, NBFSyntaxTreePredicateTrue);
    auto op = addTests(tree, unit,
                       {{kNBFTokenTypeOperator, kNBFTokenSubTypeMultiply},
                        {kNBFTokenTypeOperator, kNBFTokenSubTypeDivide}},
                       NBFSyntaxTreePredicateTrue);
    auto secondUnit = addTests(tree, op, {{kNBFTokenTypeUnit, 0}}, NBFSyntaxTreePredicateTrue);
    addTerminals(tree, secondUnit, kNBFSyntaxTreeSyntaxHighPriority, 1, 1);
    return tree;
}

}  // namespace

void NBFStandardSyntaxTreesInit() {
    std::call_once(s_standardTreesOnce, [] {
        s_specialOperatorsTree = NBFSyntaxTreeCreate();
        s_unaryOperatorsTree = makeUnaryOperatorsTree();
    });
}

NBFSyntaxTreeRef NBFStandardSyntaxTreesGetSpecialOperatorsTreeReference() {
    return s_specialOperatorsTree;
}

NBFSyntaxTreeRef NBFStandardSyntaxTreesGetUnaryOperatorsTreeReference() {
    return s_unaryOperatorsTree;
}
