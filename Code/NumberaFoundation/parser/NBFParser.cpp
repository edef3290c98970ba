#include "NBFParser.h"

#include <algorithm>
#include <vector>

#include "NBFErrorLog.h"
#include "NBFOperatorPrecedence.h"
#include "NBFParseLimits.h"
#include "NBFUnitDisambiguator.h"

namespace {

enum : uint32_t {
    kFlagLastWasOperand = 1,
    kFlagInsideBrackets = 2,
    kFlagUnitFollowedNumber = 4,     // 5 ft: a number after it adds (5 ft 3 in)
    kFlagMayInsertEmptyOperand = 8,  // a word stood where an operand may be missing
};

enum class Follows { Number, Variable };

// A node on the operand stack with the height of its tree.
struct Operand {
    NBFExpressionNodeRef node = nullptr;  // owned
    int32_t height = 0;
};

// A node on the operator stack: an operator, word operator, operator unit or function.
struct PendingOperator {
    NBFExpressionNodeRef node;     // owned
    NBFOperatorType operatorType;  // of operator and operator-unit nodes, parser-only ones too
    NBFOperatorNotation notation;
    NBFOperatorPrecedence precedence;
    int32_t strength;
    bool isFunction() const { return node->type() == kNBFExpressionNodeTypeFunction; }
};

struct ParseContext {
    const NBFExpressionTokenVector& tokens;
    NBFParseError error = 0;
};

NBFOperatorType multiplyOperatorForImplicitOperatorPriority(int32_t priority) {
    switch (priority) {
        case 1:
            return NBFOperatorTypeImplicitMultiply;
        case 2:
            return NBFOperatorTypeImplicitMultiplyStrong;
        default:
            return NBFOperatorTypeMultiply;
    }
}

bool isOperandNode(NBFExpressionNodeRef node) {
    return NBFExpressionNodeGetType(node) == kNBFExpressionNodeTypeOperand;
}

bool isTokenOf(NBFExpressionTokenRef token, token_type type, NBFTokenSubType subType) {
    return token->type() == type && token->actualSubType() == subType;
}

bool isSeparator(NBFExpressionTokenRef token) {
    return token->type() == kNBFTokenTypeStatementSeparator;
}

// The operand for a unit written after or without a number: one of the unit.
NBFExpressionNodeRef createUnitOperand(NBFExpressionTokenRef token) {
    auto one = NBF::Ref<NBF::Number>::adopt(NBFNumberCreateWithInt32(1, NBFNumberTypeNumber));
    NBFExpressionNodeRef node;
    if (NBFAmbiguousUnitRef ambiguous = token->ambiguousUnit()) {
        node = NBFExpressionNodeCreateOperandWithAmbiguousUnit(one.get(), ambiguous);
        NBFExpressionNodeSetSubtreeHasAmbiguousUnit(node, true);
    } else {
        node = NBFExpressionNodeCreateOperand(one.get(), token->unitContainer());
        NBFExpressionNodeSetUnitTypeBitmap(
            node, NBFUnitTypeBitmapMakeWithUnitContainer(token->unitContainer()));
    }
    return node;
}

NBFExpressionNodeRef createPrefixUnitOperator(NBFExpressionTokenRef token) {
    NBFExpressionNodeRef node;
    if (NBFAmbiguousUnitRef ambiguous = token->ambiguousUnit()) {
        node = NBFExpressionNodeCreateOperatorUnit(ambiguous, NBFOperatorTypeUnitBeforeNumber);
        NBFExpressionNodeSetSubtreeHasAmbiguousUnit(node, true);
    } else {
        node = NBFExpressionNodeCreateOperatorUnit(token->unitContainer(),
                                                   NBFOperatorTypeUnitBeforeNumber);
        NBFExpressionNodeSetUnitTypeBitmap(
            node, NBFUnitTypeBitmapMakeWithUnitContainer(token->unitContainer()));
    }
    return node;
}

// One bracket group (or the whole line) with its two stacks.
class GroupParser {
  public:
    GroupParser(ParseContext& context, uint32_t flags, int32_t depth)
        : m_context(context), m_flags(flags), m_depth(depth) {}
    ~GroupParser() {
        for (Operand& operand : m_operands) NBFExpressionNodeRelease(operand.node);
        for (PendingOperator& op : m_operators) NBFExpressionNodeRelease(op.node);
    }
    GroupParser(const GroupParser&) = delete;
    GroupParser& operator=(const GroupParser&) = delete;

    // Parses from start until the group ends; end receives the position of the token that
    // ended it (a ")" or ";"), or the count of tokens. The result is owned by the caller; no
    // node when the group holds nothing or the parse failed.
    Operand parseExpressionGroup(size_t start, size_t* end) {
        const NBFExpressionTokenVector& tokens = m_context.tokens;
        size_t position = start;
        for (; position < tokens.size() && !failed(); ++position) {
            NBFExpressionTokenRef token = tokens[position];
            if (!token) continue;
            bool groupEnds = false;
            switch (token->type()) {
                case kNBFTokenTypeOperator:
                    parseOperator(token);
                    break;
                case kNBFTokenTypeVariable:
                    pushImplicitOperatorIfAllowed(Follows::Variable, 2);
                    pushOperand(NBFExpressionNodeCreateVariable(token->variable()), token);
                    becomeLastWasOperand();
                    break;
                case kNBFTokenTypeNumber:
                    pushImplicitOperatorIfAllowed(Follows::Number, 0);
                    pushOperand(createNumberOperand(token), token);
                    becomeLastWasOperand();
                    break;
                case kNBFTokenTypeFunction:
                    parseFunction(token);
                    break;
                case kNBFTokenTypeStatementSeparator:
                    groupEnds = m_flags & kFlagInsideBrackets;
                    break;
                case kNBFTokenTypeWord:
                    m_flags |= kFlagMayInsertEmptyOperand;
                    break;
                case kNBFTokenTypeWhitespace:
                case kNBFTokenTypeComment:
                case kNBFTokenTypeMarker:
                    break;
                case kNBFTokenTypeUnit:
                    parseUnit(token);
                    break;
                case kNBFTokenTypeBracket:
                    if (token->actualSubType() == kNBFTokenSubTypeRightBracket) {
                        groupEnds = true;
                    } else {
                        position = parseBracket(position);
                    }
                    break;
                default:
                    NBF_LOG_ERROR("Unexpected token type %d", token->type());
                    break;
            }
            if (groupEnds) break;
        }
        if (end) *end = std::min(position, tokens.size());
        return finish();
    }

  private:
    bool failed() const { return m_context.error != 0; }
    void fail(NBFParseError error) {
        if (!m_context.error) m_context.error = error;
    }

    void becomeLastWasOperand() { m_flags = (m_flags & kFlagInsideBrackets) | kFlagLastWasOperand; }

    // An operator of the given notation is allowed when the operands so far, less those
    // expected, make its difference: -1 for prefix (an operand is awaited), 0 otherwise.
    bool isAllowed(NBFOperatorNotation notation) const {
        int32_t difference = m_operandCount - m_expectedOperandCount;
        switch (notation) {
            case NBFOperatorNotationPrefix:
                return difference == -1;
            case NBFOperatorNotationPostfix:
            case NBFOperatorNotationInfix:
                return difference == 0;
            default:
                return false;
        }
    }

    NBFExpressionNodeRef createNumberOperand(NBFExpressionTokenRef token) {
        NBFStringRef decimal = NBFExpressionTokenGetDecimalStringReference(token);
        // A prefixed number with a digit outside its base has no value.
        NBFNumberRef number = decimal
                                  ? NBFNumberCreateWithCString(
                                        NBFStringGetCppString(decimal).c_str(), NBFNumberTypeNumber)
                                  : NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN);
        return NBFExpressionNodeCreateOperand_TransferOwnership(number, nullptr);
    }

    // Operands made from tokens (and inserted empty ones) count towards the operators'
    // expectations; results of reductions replace operands and do not.
    void pushOperand(NBFExpressionNodeRef node, NBFExpressionTokenRef token, int32_t height = 1) {
        NBFExpressionNodeSetExpressionToken(node, token);
        m_operands.push_back({node, height});
        ++m_operandCount;
    }

    void pushOperator(NBFExpressionNodeRef node, NBFOperatorType operatorType,
                      NBFOperatorNotation notation, NBFOperatorPrecedence precedence,
                      NBFExpressionTokenRef token) {
        NBFExpressionNodeSetExpressionToken(node, token);
        pushNode({node, operatorType, notation, precedence,
                  NBFOperatorPrecedenceGetStrength(precedence)});
    }

    void pushOperatorOfType(NBFOperatorType operatorType, NBFExpressionTokenRef token) {
        pushOperator(NBFExpressionNodeCreateOperator(operatorType), operatorType,
                     NBFOperatorGetNotation(operatorType), NBFOperatorGetPrecedence(operatorType),
                     token);
    }

    // Reduces what binds at least as tightly, then pushes the operator.
    void pushNode(PendingOperator op) {
        while (!m_operators.empty() && !failed()) {
            const PendingOperator& top = m_operators.back();
            if (op.precedence == NBFOperatorPrecedencePower &&
                top.precedence == NBFOperatorPrecedenceE10) {
                pushOperatorOrFunctionToOperandStack();
                continue;
            }
            if (op.precedence == NBFOperatorPrecedenceImplicitMultiplyStrong &&
                top.precedence == NBFOperatorPrecedenceFunctionWithoutArguments)
                break;
            if (op.strength > top.strength) break;
            if (op.strength == top.strength &&
                NBFOperatorPrecedenceIsRightAssociative(op.precedence))
                break;
            pushOperatorOrFunctionToOperandStack();
        }
        m_operators.push_back(op);
        m_expectedOperandCount += NBFOperatorNotationGetArity(op.notation) - 1;
    }

    void pushImplicitOperatorIfAllowed(Follows follows, int32_t priority) {
        if (m_operands.empty()) return;
        if ((m_flags & kFlagUnitFollowedNumber) && follows == Follows::Number) {
            pushOperatorOfType(NBFOperatorTypeImplicitAdd, nullptr);
        } else if (m_flags & kFlagLastWasOperand) {
            NBFOperatorType operatorType = NBFOperatorTypeMultiply;
            if (follows == Follows::Variable && isOperandNode(m_operands.back().node))
                operatorType = multiplyOperatorForImplicitOperatorPriority(priority);
            pushOperatorOfType(operatorType, nullptr);
        }
    }

    void parseOperator(NBFExpressionTokenRef token) {
        const bool isWordOperator = token->actualSubType() == kNBFTokenSubTypeWordOperator;
        NBFWordOperatorRef wordOperator = token->wordOperator();
        NBFOperatorType operatorType = NBFOperatorTypeNone;
        NBFOperatorNotation notation;
        if (isWordOperator) {
            notation = NBFWordOperatorGetArgumentType(wordOperator);
        } else {
            operatorType = NBFOperatorTypeForNBFTokenSubType(token->subType());
            notation = NBFOperatorGetNotation(operatorType);
        }
        // An operator the parser does not know (already logged) is skipped.
        if (notation < NBFOperatorNotationPrefix || notation > NBFOperatorNotationInfix) return;
        if (!isAllowed(notation) && (m_flags & kFlagMayInsertEmptyOperand)) {
            pushOperand(NBFExpressionNodeCreateEmptyOperand(), nullptr);
            becomeLastWasOperand();
        }
        if (isWordOperator) {
            if (isAllowed(notation)) {
                NBFOperatorPrecedence precedence =
                    NBFWordOperatorGetOperatorPrecedence(wordOperator);
                pushOperator(NBFExpressionNodeCreateWordOperator(wordOperator), NBFOperatorTypeNone,
                             notation, precedence, token);
            } else if (!m_operands.empty()) {
                fail(NBFParseErrorGeneral);
            }
        } else {
            const bool afterOperand = m_flags & kFlagLastWasOperand;
            if (operatorType == NBFOperatorTypeSubtract && !afterOperand) {
                operatorType = NBFOperatorTypeUnaryMinus;
            } else if (operatorType == NBFOperatorTypeAdd && !afterOperand) {
                operatorType = NBFOperatorTypeUnaryPlus;
            }
            notation = NBFOperatorGetNotation(operatorType);
            if (isAllowed(notation)) {
                pushOperatorOfType(operatorType, token);
            } else if (!m_operands.empty()) {
                fail(NBFParseErrorGeneral);
            }
            // An operator before any operand is passed over: "/ 4" is 4.
        }
        if (notation != NBFOperatorNotationPostfix) m_flags &= ~kFlagLastWasOperand;
        m_flags &= ~kFlagUnitFollowedNumber;
    }

    void parseFunction(NBFExpressionTokenRef token) {
        if (!m_operands.empty() && (m_flags & kFlagLastWasOperand))
            pushOperatorOfType(NBFOperatorTypeMultiply, nullptr);
        if (!token->function()) {
            NBF_LOG_ERROR("%s", "Function not found");
        } else if (!isAllowed(NBFOperatorNotationPrefix)) {
            NBF_LOG_ERROR("Unexpected diff %d", m_operandCount - m_expectedOperandCount);
        } else {
            pushOperator(NBFExpressionNodeCreateFunction(token->function()), NBFOperatorTypeNone,
                         NBFOperatorNotationPrefix, NBFOperatorPrecedenceFunctionWithoutArguments,
                         token);
        }
        m_flags &= ~(kFlagLastWasOperand | kFlagUnitFollowedNumber);
    }

    void parseUnit(NBFExpressionTokenRef token) {
        switch (token->actualSubType()) {
            case kNBFTokenSubTypePrefixUnit:
                pushOperator(createPrefixUnitOperator(token), NBFOperatorTypeUnitBeforeNumber,
                             NBFOperatorNotationPrefix, NBFOperatorPrecedenceUnitBeforeNumber,
                             token);
                break;
            case kNBFTokenSubTypeUnitAfterValue: {
                // "$5 USD": the unit after the number wins over the one before it.
                if (!m_operators.empty() &&
                    NBFExpressionNodeGetType(m_operators.back().node) ==
                        kNBFExpressionNodeTypeOperatorUnit &&
                    m_operators.back().operatorType == NBFOperatorTypeUnitBeforeNumber) {
                    NBFExpressionNodeRelease(m_operators.back().node);
                    m_operators.pop_back();
                }
                pushOperatorOfType(NBFOperatorTypeImplicitMultiply, nullptr);
                pushOperand(createUnitOperand(token), token);
                becomeLastWasOperand();
                if (m_operands.size() >= 2 && isOperandNode(m_operands[m_operands.size() - 2].node))
                    m_flags |= kFlagUnitFollowedNumber;
                break;
            }
            case kNBFTokenSubTypeStandaloneUnit:
                pushOperand(createUnitOperand(token), token);
                becomeLastWasOperand();
                break;
            default:
                NBF_LOG_ERROR("Unexpected unit type %d", token->actualSubType());
                break;
        }
    }

    // Parses the group opened at position; returns the position of the token that ended it.
    size_t parseBracket(size_t position) {
        const NBFExpressionTokenVector& tokens = m_context.tokens;
        if (m_flags & kFlagLastWasOperand) pushOperatorOfType(NBFOperatorTypeMultiply, nullptr);
        if (m_depth >= NBFMaxBracketDepth) {
            fail(NBFParseErrorNoRecovery);
            return position;
        }
        size_t end = position;
        Operand inner = parseNested(position + 1, &end);
        if (failed()) {
            NBFExpressionNodeRelease(inner.node);
            return end;
        }
        if (end < tokens.size() && isSeparator(tokens[end])) {
            // A list: (1; 2; 3).
            std::vector<Operand> items{orEmpty(inner)};
            while (end < tokens.size() && isSeparator(tokens[end]) && !failed())
                items.push_back(orEmpty(parseNested(end + 1, &end)));
            NBFExpressionNodeVector nodes;
            int32_t height = 0;
            for (const Operand& item : items) {
                nodes.push_back(item.node);
                height = std::max(height, item.height);
            }
            NBFExpressionNodeRef list = NBFExpressionNodeCreateList_TransferOwnership(nodes);
            if (checkHeight(height + 1)) {
                pushOperand(list, nullptr, height + 1);
            } else {
                NBFExpressionNodeRelease(list);
            }
        } else if (end >= tokens.size() ||
                   isTokenOf(tokens[end], kNBFTokenTypeBracket, kNBFTokenSubTypeRightBracket)) {
            pushBracketGroupNode(inner);
        } else {
            NBF_LOG_ERROR("%s", "Unexpected last token");
            NBFExpressionNodeRelease(inner.node);
        }
        if (!m_operands.empty()) becomeLastWasOperand();
        return end;
    }

    Operand parseNested(size_t start, size_t* end) {
        GroupParser nested(m_context, kFlagInsideBrackets, m_depth + 1);
        return nested.parseExpressionGroup(start, end);
    }

    static Operand orEmpty(Operand operand) {
        return operand.node ? operand : Operand{NBFExpressionNodeCreateEmptyOperand(), 1};
    }

    void pushBracketGroupNode(Operand result) {
        result = orEmpty(result);
        pushOperand(result.node, NBFExpressionNodeGetExpressionToken(result.node), result.height);
        if (!m_operators.empty() && m_operators.back().isFunction())
            pushOperatorOrFunctionToOperandStack();
    }

    bool checkHeight(int32_t height) {
        if (height <= NBFMaxExpressionTreeHeight) return true;
        fail(NBFParseErrorNoRecovery);
        return false;
    }

    // Reduces the top of the operator stack onto the operand stack.
    void pushOperatorOrFunctionToOperandStack() {
        PendingOperator op = m_operators.back();
        m_operators.pop_back();
        if (op.isFunction()) {
            reduceFunction(op);
            return;
        }
        const int32_t arity = NBFOperatorNotationGetArity(op.notation);
        const int32_t available = static_cast<int32_t>(m_operands.size());
        if (arity == 2 && available == 1) {
            reduceInfixWithOneOperand(op);
            return;
        }
        if (arity == 0 || available < arity) {
            NBF_LOG_ERROR("Unexpected operator arity %d", arity);
            NBFExpressionNodeRelease(op.node);
            return;
        }
        Operand right = m_operands.back();
        m_operands.pop_back();
        Operand left{};
        if (arity == 2) {
            left = m_operands.back();
            m_operands.pop_back();
        }
        const int32_t height = std::max(left.height, right.height) + 1;
        if (arity == 2) {
            NBFExpressionNodeSetOperands_TransferOwnership(op.node, left.node, right.node);
        } else {
            NBFExpressionNodeSetOperands_TransferOwnership(op.node, right.node, nullptr);
        }
        if (NBFExpressionNodeGetType(op.node) == kNBFExpressionNodeTypeOperator)
            NBFExpressionNodeSetOperatorType(op.node,
                                             NBFOperatorTypeForEvaluation(op.operatorType));
        m_operands.push_back({op.node, height});
        checkHeight(height);
    }

    // "+ 4" is 4, "- 4" its negation, "* 4" just 4 and "/ 4" its reciprocal.
    void reduceInfixWithOneOperand(PendingOperator op) {
        Operand operand = m_operands.back();
        m_operands.pop_back();
        const bool isOperator = NBFExpressionNodeGetType(op.node) == kNBFExpressionNodeTypeOperator;
        NBFOperatorType operatorType = isOperator ? op.operatorType : NBFOperatorTypeNone;
        switch (operatorType) {
            case NBFOperatorTypeAdd:
            case NBFOperatorTypeSubtract:
                NBFExpressionNodeSetOperatorType(op.node, operatorType == NBFOperatorTypeAdd
                                                              ? NBFOperatorTypeUnaryPlus
                                                              : NBFOperatorTypeUnaryMinus);
                NBFExpressionNodeSetOperands_TransferOwnership(op.node, operand.node, nullptr);
                m_operands.push_back({op.node, operand.height + 1});
                break;
            case NBFOperatorTypeDivide: {
                NBFExpressionNodeRef one = NBFExpressionNodeCreateOperand_TransferOwnership(
                    NBFNumberCreateWithInt32(1, NBFNumberTypeNumber), nullptr);
                NBFExpressionNodeSetOperands_TransferOwnership(op.node, one, operand.node);
                m_operands.push_back({op.node, operand.height + 1});
                break;
            }
            default:
                if (operatorType != NBFOperatorTypeMultiply)
                    NBF_LOG_ERROR("Unexpected operator arity %d", 1);
                NBFExpressionNodeRelease(op.node);
                m_operands.push_back(operand);
                return;
        }
        checkHeight(operand.height + 1);
    }

    void reduceFunction(PendingOperator op) {
        Operand argument;
        if (!m_operands.empty()) {
            argument = m_operands.back();
            m_operands.pop_back();
        }
        NBFExpressionNodeRef arguments = nullptr;
        int32_t height = 1;
        switch (NBFExpressionNodeGetType(argument.node)) {
            case kNBFExpressionNodeTypeNone:
            case kNBFExpressionNodeTypeEmptyOperand:
                NBFExpressionNodeRelease(argument.node);
                break;
            case kNBFExpressionNodeTypeList:
                arguments = argument.node;
                height = argument.height + 1;
                break;
            default:
                arguments = NBFExpressionNodeCreateList_TransferOwnership({argument.node});
                height = argument.height + 2;
                break;
        }
        const int32_t count = NBFExpressionNodeGetCountOfChildren(arguments);
        if (count < NBFFunctionGetNumberOfArguments(NBFExpressionNodeGetFunction(op.node))) {
            // Too few arguments: the call stands for a missing operand.
            NBFExpressionNodeRelease(arguments);
            NBFExpressionNodeRelease(op.node);
            m_operands.push_back({NBFExpressionNodeCreateEmptyOperand(), 1});
            return;
        }
        if (arguments) NBFExpressionNodeSetFunctionArguments_TransferOwnership(op.node, arguments);
        m_operands.push_back({op.node, height});
        checkHeight(height);
    }

    // Drops operators still waiting for operands (a trailing "+"), reduces the rest and
    // hands back the topmost operand.
    Operand finish() {
        while (!failed() && m_operandCount < m_expectedOperandCount && !m_operators.empty()) {
            m_expectedOperandCount -= NBFOperatorNotationGetArity(m_operators.back().notation) - 1;
            NBFExpressionNodeRelease(m_operators.back().node);
            m_operators.pop_back();
        }
        while (!failed() && !m_operators.empty()) pushOperatorOrFunctionToOperandStack();
        if (failed() || m_operands.empty() ||
            NBFExpressionNodeGetType(m_operands.back().node) == kNBFExpressionNodeTypeEmptyOperand)
            return {};
        Operand result = m_operands.back();
        m_operands.pop_back();
        return result;
    }

    ParseContext& m_context;
    uint32_t m_flags;
    const int32_t m_depth;
    std::vector<Operand> m_operands;
    std::vector<PendingOperator> m_operators;
    int32_t m_operandCount = 0;
    int32_t m_expectedOperandCount = 1;
};

// Sets the unit name format of every node with a unit: the token's format, or the one the name
// type of the token's text gives.
void setUnitNameFormats(NBFExpressionTreeRef tree) {
    for (NBFExpressionNodeRef node : tree->nodes()) {
        NBFUnitContainerRef unit = NBFExpressionNodeGetUnitContainer(node);
        if (!unit) continue;
        NBFExpressionTokenRef token = NBFExpressionNodeGetExpressionToken(node);
        NBFUnitFormatType format = NBFExpressionTokenGetUnitFormatType(token);
        if (format == NBFUnitFormatTypeNone && token) {
            std::string name = NBFStringGetCppString(NBFExpressionTokenGetStringReference(token));
            format = NBFUnitFormatTypeFromNBFUnitNameType(unit->nameTypeForName(name));
        }
        NBFExpressionNodeSetUnitNameFormat(node, format);
    }
}

}  // namespace

NBFParserRef NBFParserCreate() { return new NBFParser(); }

NBFParserRef NBFParserRetain(NBFParserRef parser) { return NBF::retain(parser); }

void NBFParserRelease(NBFParserRef parser) { NBF::release(parser); }

NBFParseError NBFParserGetError(NBFParserRef parser) { return parser ? parser->error : 0; }

NBFExpressionTreeRef NBFParserCreateExpressionTreeByParsingExpressionTokens(
    NBFParserRef parser, const NBFExpressionTokenVector* tokens) {
    if (!parser || !tokens) return nullptr;
    parser->error = 0;
    return NBFParserImplParse(*tokens, &parser->error);
}

NBFExpressionTreeRef NBFParserImplParse(const NBFExpressionTokenVector& tokens,
                                        NBFParseError* errorOut) {
    ParseContext context{tokens};
    Operand root;
    {
        GroupParser group(context, 0, 0);
        root = group.parseExpressionGroup(0, nullptr);
    }
    if (errorOut) *errorOut = context.error;
    auto rootNode = NBF::Ref<NBF::ExpressionNode>::adopt(root.node);
    if (!rootNode) return nullptr;
    NBFExpressionTreeRef tree = NBF::ExpressionTree::create(rootNode.get());
    NBFUnitDisambiguatorProcessExpressionTree(tree);
    setUnitNameFormats(tree);
    return tree;
}
