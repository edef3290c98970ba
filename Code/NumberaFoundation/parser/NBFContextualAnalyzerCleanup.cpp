// The analyser's clean-up passes: lonely numbers, units, word operators and factorials. Each
// walks a group's children once; where a rule looks left or right past nodes it may skip, the
// positions it would stop at are kept up to date or computed beforehand, so a pass costs time in
// proportion to the line whatever it holds.
#include <algorithm>

#include "NBFContextualAnalyzerInternal.h"
#include "NBFUnitContainer.h"

using namespace NBF::analysis;

namespace {

bool isOperatorOfSubType(NBFEPExpressionTreeNodeRef node, NBFTokenSubType subType) {
    return typeOf(node) == kNBFTokenTypeOperator && subTypeOf(node) == subType;
}

bool isWordOperator(NBFEPExpressionTreeNodeRef node) {
    return isOperatorOfSubType(node, kNBFTokenSubTypeWordOperator);
}

NBFWordOperatorArgumentType wordOperatorArgumentType(NBFEPExpressionTreeNodeRef node) {
    return NBFWordOperatorGetArgumentType(NBFExpressionTreeNodeGetWordOperator(node));
}

bool isWordOrComment(NBFEPExpressionTreeNodeRef node) {
    token_type type = typeOf(node);
    return type == kNBFTokenTypeWord || type == kNBFTokenTypeComment;
}

bool canBePrefixUnit(NBFEPExpressionTreeNodeRef node) {
    if (NBFUnitContainerCanBePrefixUnit(NBFExpressionTreeNodeGetUnitContainer(node))) return true;
    for (NBFUnitContainerRef unit :
         NBFAmbiguousUnitGetUnits(NBFExpressionTreeNodeGetAmbiguousUnit(node)))
        if (NBFUnitContainerCanBePrefixUnit(unit)) return true;
    return false;
}

// --- Lonely numbers ---

void demoteLonelyNumbers(NBFEPExpressionTreeNodeRef group) {
    NBFEPExpressionTreeNodeRef previous = nullptr;
    bool binaryOperator = false, percentLike = false;
    bool lastValueWasNumber = false, wordSeen = false;
    auto clearAll = [&] {
        previous = nullptr;
        binaryOperator = percentLike = lastValueWasNumber = wordSeen = false;
    };
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(group)) {
        switch (typeOf(child)) {
            case kNBFTokenTypeNumber:
            case kNBFTokenTypeVariable: {
                bool isNumber = typeOf(child) == kNBFTokenTypeNumber;
                bool numberThenVariable = lastValueWasNumber && !isNumber;  // 2x
                if (previous && !binaryOperator && !percentLike && !numberThenVariable &&
                    NBFExpressionTreeNodeIsMutable(previous)) {
                    makePlainWord(previous);
                    NBFExpressionTreeNodeSetIsMutable(previous, false);
                }
                previous = child;
                binaryOperator = percentLike = wordSeen = false;
                lastValueWasNumber = isNumber;
                break;
            }
            case kNBFTokenTypeGroup:
            case kNBFTokenTypeStatementSeparator:
            case kNBFTokenTypeEquals:
                clearAll();
                break;
            case kNBFTokenTypeWord:
                wordSeen = true;
                break;
            case kNBFTokenTypeUnit:
                if (!wordSeen) {
                    previous = nullptr;  // the unit belongs to it
                    lastValueWasNumber = false;
                }
                break;
            case kNBFTokenTypeOperator:
            case kNBFTokenTypeFunction: {
                NBFTokenSubType subType = subTypeOf(child);
                if (typeOf(child) == kNBFTokenTypeFunction) {
                    binaryOperator = true;
                } else if (subType == kNBFTokenSubTypePercent ||
                           (subType == kNBFTokenSubTypeWordOperator &&
                            wordOperatorArgumentType(child) ==
                                kNBFWordOperatorArgumentTypePostfix)) {
                    percentLike = true;
                } else if (subType != kNBFTokenSubTypeUnaryPlus &&
                           subType != kNBFTokenSubTypeUnaryMinus) {
                    binaryOperator = true;
                }
                lastValueWasNumber = wordSeen = false;
                break;
            }
            default:
                break;
        }
    }
}

// --- Units ---

// Words, whitespace, comments and markers are passed over when looking for the node that
// decides a unit's place.
bool isInsignificant(NBFEPExpressionTreeNodeRef node) {
    return isWhitespaceOrMarker(node) || isWordOrComment(node);
}

void placeUnits(NBFEPExpressionTreeNodeRef group) {
    const NBFEPExpressionTreeNodeVector children = NBFExpressionTreeNodeGetChildren(group);
    const int32_t count = static_cast<int32_t>(children.size());
    if (count == 0) return;
    // Looking right, nodes are still as they were: only the current node changes.
    std::vector<int32_t> nextSignificant(static_cast<size_t>(count) + 1, count);
    for (int32_t i = count - 1; i >= 0; --i)
        nextSignificant[static_cast<size_t>(i)] = isInsignificant(children[static_cast<size_t>(i)])
                                                      ? nextSignificant[static_cast<size_t>(i) + 1]
                                                      : i;
    auto nodeAt = [&](int32_t i) {
        return i >= 0 && i < count ? children[static_cast<size_t>(i)] : nullptr;
    };
    // Whether the units from the first child on end at an operator or at the end of the line.
    auto leadingUnitsEndAtOperator = [&] {
        int32_t i = 0;
        while (i < count && (isInsignificant(nodeAt(i)) || typeOf(nodeAt(i)) == kNBFTokenTypeUnit))
            ++i;
        return i == count || typeOf(nodeAt(i)) == kNBFTokenTypeOperator;
    };
    const bool bracketUnitBracket = count == 3 && typeOf(nodeAt(0)) == kNBFTokenTypeBracket &&
                                    typeOf(nodeAt(1)) == kNBFTokenTypeUnit &&
                                    typeOf(nodeAt(2)) == kNBFTokenTypeBracket;

    bool valueMayStart = true, operatorBefore = true, valueJustSeen = false;
    int32_t previousSignificant = -1;
    for (int32_t i = 0; i < count; ++i) {
        NBFEPExpressionTreeNodeRef child = nodeAt(i);
        token_type type = typeOf(child);
        if (type == kNBFTokenTypeUnit) {
            NBFEPExpressionTreeNodeRef next = nodeAt(nextSignificant[static_cast<size_t>(i) + 1]);
            if (NBFExpressionTreeNodeIsMutable(child)) {
                bool nextIsValueOrUnit =
                    typeOf(next) == kNBFTokenTypeNumber || typeOf(next) == kNBFTokenTypeUnit;
                bool prefixCapable = canBePrefixUnit(child);
                bool leadingFree = i == 0 && leadingUnitsEndAtOperator();
                bool standsFree = typeOf(next) == kNBFTokenTypeOperator || isGroup(next) ||
                                  typeOf(nodeAt(previousSignificant)) == kNBFTokenTypeOperator ||
                                  i == count - 1 || bracketUnitBracket ||
                                  (typeOf(next) == kNBFTokenTypeBracket &&
                                   subTypeOf(next) == kNBFTokenSubTypeRightBracket) ||
                                  leadingFree;
                NBFTokenSubType place = kNBFTokenSubTypeNone;
                if (valueMayStart && nextIsValueOrUnit && prefixCapable) {
                    place = kNBFTokenSubTypePrefixUnit;
                } else if (valueJustSeen) {
                    place = kNBFTokenSubTypeUnitAfterValue;
                } else if (operatorBefore && standsFree &&
                           (leadingFree || !(prefixCapable && nextIsValueOrUnit))) {
                    place = kNBFTokenSubTypeStandaloneUnit;
                }
                if (place != kNBFTokenSubTypeNone) {
                    NBFExpressionTreeNodeSetTokenSubType(child, place);
                } else {
                    makePlainWord(child);
                }
            }
            valueJustSeen = true;
            operatorBefore = false;
        } else if (NBFContextualAnalyzerNodeIsNumeric(child)) {
            valueJustSeen = true;
            valueMayStart = operatorBefore = false;
        } else if (type == kNBFTokenTypeWord) {
            valueJustSeen = false;
        } else if (type == kNBFTokenTypeOperator) {
            if (subTypeOf(child) == kNBFTokenSubTypePercent) {
                operatorBefore = false;
            } else {
                valueMayStart = operatorBefore = true;
                valueJustSeen = false;
            }
        }
        if (!isInsignificant(child)) previousSignificant = i;
    }
}

// --- Word operators and operators with options ---

// How a node counts while looking for an operator's argument.
enum class Passage { Whitespace, Word, Sign, PrefixWordOperator, Other };

Passage passageOf(NBFEPExpressionTreeNodeRef node) {
    if (isWhitespaceOrMarker(node)) return Passage::Whitespace;
    if (isWordOrComment(node)) return Passage::Word;
    if (isOperatorOfSubType(node, kNBFTokenSubTypePlus) ||
        isOperatorOfSubType(node, kNBFTokenSubTypeMinus))
        return Passage::Sign;
    if (isWordOperator(node) &&
        wordOperatorArgumentType(node) == kNBFWordOperatorArgumentTypePrefix)
        return Passage::PrefixWordOperator;
    return Passage::Other;
}

typedef bool (*ArgumentTest)(NBFEPExpressionTreeNodeRef node);

bool isUnitNode(NBFEPExpressionTreeNodeRef node) { return typeOf(node) == kNBFTokenTypeUnit; }

class ArgumentChecker {
  public:
    explicit ArgumentChecker(const NBFEPExpressionTreeNodeVector& children)
        : m_children(children), m_count(static_cast<int32_t>(children.size())) {
        // First position at or after i of each passage, from the right.
        for (auto& next : m_next) next.assign(static_cast<size_t>(m_count) + 1, m_count);
        for (int32_t i = m_count - 1; i >= 0; --i) {
            for (auto& next : m_next) next[index(i)] = next[index(i) + 1];
            m_next[kind(passageOf(m_children[index(i)]))][index(i)] = i;
        }
    }

    // After the node at position has taken its final kind.
    void passed(int32_t position) {
        m_last[kind(passageOf(m_children[index(position)]))] = position;
    }

    bool left(int32_t position, uint32_t options, ArgumentTest test) const {
        int32_t stop = m_last[kind(Passage::Other)];
        stop = std::max(stop, m_last[kind(Passage::Sign)]);
        stop = std::max(stop, m_last[kind(Passage::PrefixWordOperator)]);
        if (options & kNBFOperatorOptionNoWhitespace)
            stop = std::max(stop, m_last[kind(Passage::Whitespace)]);
        if (!(options & kNBFOperatorOptionSkipWords))
            stop = std::max(stop, m_last[kind(Passage::Word)]);
        if (stop < 0 || stop >= position) return false;
        return passageIsTested(stop) && test(m_children[index(stop)]);
    }

    bool right(int32_t position, uint32_t options, ArgumentTest test) const {
        const bool mayBeMissing = options & kNBFOperatorOptionRightMayBeMissing;
        if (position == m_count - 1) return mayBeMissing;
        size_t from = index(position) + 1;
        int32_t stop = m_next[kind(Passage::Other)][from];
        if (options & kNBFOperatorOptionNoWhitespace)
            stop = std::min(stop, m_next[kind(Passage::Whitespace)][from]);
        if (!(options & kNBFOperatorOptionSkipWords))
            stop = std::min(stop, m_next[kind(Passage::Word)][from]);
        if (!(options & kNBFOperatorOptionSkipSignBeforeRight))
            stop = std::min(stop, m_next[kind(Passage::Sign)][from]);
        if (stop == m_count) {
            // The line ended after passed nodes: only whitespace or a sign may end it.
            Passage last = passageOf(m_children[index(m_count - 1)]);
            return mayBeMissing && (last == Passage::Whitespace || last == Passage::Sign);
        }
        return passageIsTested(stop) && test(m_children[index(stop)]);
    }

  private:
    static size_t index(int32_t i) { return static_cast<size_t>(i); }
    static size_t kind(Passage passage) { return static_cast<size_t>(passage); }
    // A whitespace or word where the walk stops fails it; anything else is tested.
    bool passageIsTested(int32_t i) const {
        Passage passage = passageOf(m_children[index(i)]);
        return passage != Passage::Whitespace && passage != Passage::Word;
    }

    const NBFEPExpressionTreeNodeVector& m_children;
    const int32_t m_count;
    std::vector<int32_t> m_next[5];
    int32_t m_last[5] = {-1, -1, -1, -1, -1};
};

void checkOperatorArguments(NBFEPExpressionTreeNodeRef group) {
    const NBFEPExpressionTreeNodeVector children = NBFExpressionTreeNodeGetChildren(group);
    ArgumentChecker checker(children);
    for (int32_t i = 0; i < static_cast<int32_t>(children.size()); ++i) {
        NBFEPExpressionTreeNodeRef node = children[static_cast<size_t>(i)];
        bool wordOperator = isWordOperator(node);
        if (typeOf(node) == kNBFTokenTypeOperator &&
            (wordOperator || NBFExpressionTreeNodeHasOperatorOptions(node))) {
            uint32_t options, conditions, argumentType;
            if (wordOperator) {
                NBFWordOperatorRef op = NBFExpressionTreeNodeGetWordOperator(node);
                options = NBFWordOperatorGetOptions(op);
                conditions = NBFWordOperatorGetArgumentConditions(op);
                argumentType = static_cast<uint32_t>(NBFWordOperatorGetArgumentType(op));
            } else {
                NBFOperatorOptions given = NBFExpressionTreeNodeGetOperatorOptions(node);
                options = given.options;
                conditions = given.argumentConditions;
                argumentType = given.argumentType;
            }
            bool leftSatisfied =
                conditions == 0 || argumentType == kNBFWordOperatorArgumentTypePrefix;
            bool rightSatisfied =
                conditions == 0 || argumentType == kNBFWordOperatorArgumentTypePostfix;
            if (conditions & kNBFArgumentConditionValueMask) {
                if (!leftSatisfied)
                    leftSatisfied = checker.left(i, options, NBFContextualAnalyzerNodeIsNumeric);
                if (!rightSatisfied)
                    rightSatisfied = checker.right(i, options, NBFContextualAnalyzerNodeIsNumeric);
            }
            if (conditions & kNBFArgumentConditionUnit) {
                if (!leftSatisfied) leftSatisfied = checker.left(i, options, isUnitNode);
                if (!rightSatisfied) rightSatisfied = checker.right(i, options, isUnitNode);
            }
            if ((!leftSatisfied || !rightSatisfied) && NBFExpressionTreeNodeIsMutable(node))
                makePlainWord(node);
        }
        checker.passed(i);
    }
}

// --- Factorials ---

void dropFactorialsWithoutOperand(NBFEPExpressionTreeNodeRef group) {
    NBFEPExpressionTreeNodeRef previous = nullptr;  // the last node that is not whitespace
    for (NBFEPExpressionTreeNodeRef child : NBFExpressionTreeNodeGetChildren(group)) {
        if (isOperatorOfSubType(child, kNBFTokenSubTypeFactorial) &&
            !NBFContextualAnalyzerNodeIsNumeric(previous) && NBFExpressionTreeNodeIsMutable(child))
            makePlainWord(child);
        if (!isWhitespaceOrMarker(child)) previous = child;
    }
}

}  // namespace

void lonely_number_crawler(NBFEPExpressionTreeNodeRef node) {
    forEachGroup(node, demoteLonelyNumbers);
}

void unit_cleanup(NBFEPExpressionTreeNodeRef node) { forEachGroup(node, placeUnits); }

void word_operator_cleanup(NBFEPExpressionTreeNodeRef node) {
    forEachGroup(node, checkOperatorArguments);
}

void cleanup_postfix_unary_operators_without_operands(NBFEPExpressionTreeNodeRef node) {
    forEachGroup(node, dropFactorialsWithoutOperand);
}
