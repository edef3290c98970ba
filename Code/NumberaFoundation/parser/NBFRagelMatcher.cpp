#include "NBFRagelMatcher.h"

#include "NBFErrorLog.h"

namespace {

// Symbols of the high-priority patterns.
enum : uint8_t {
    kOther = 0,
    kStandaloneUnit = 1,
    kPrefixUnit = 2,
    kUnitAfterValue = 3,
    kValue = 4,   // a variable or a group
    kNumber = 5,  // a value too, and the only one a written fraction is made of
    kPower = 6,   // "^" and the exponent "e", which bind a number tighter than "/"
    kPlus = '4',
    kMinus = '6',
    kMultiply = '3',
    kDivide = '2',
    kPercent = '5',
    kUnitConversion = '7',
    kWhitespace = 100,
};

bool isUnit(uint8_t symbol) {
    return symbol == kStandaloneUnit || symbol == kPrefixUnit || symbol == kUnitAfterValue;
}

bool isValue(uint8_t symbol) { return symbol == kValue || symbol == kNumber; }

bool isMultiplyOrDivide(uint8_t symbol) { return symbol == kMultiply || symbol == kDivide; }

// The position before index, passing over whitespace; -1 at the start.
int32_t previousSignificant(const uint8_t* symbols, int32_t index) {
    --index;
    while (index >= 0 && symbols[index] == kWhitespace) --index;
    return index;
}

// Each pattern is tried as ending at the position; both are fixed sequences with optional
// whitespace between elements, so they read backwards without ambiguity.
bool unitOperatorEndsAt(const uint8_t* s, int32_t i, NBFRagelMatch* match) {
    if (s[i] != kStandaloneUnit) return false;
    int32_t op = previousSignificant(s, i);
    if (op < 0 || !isMultiplyOrDivide(s[op])) return false;
    int32_t unit = previousSignificant(s, op);
    if (unit < 0 || !isUnit(s[unit])) return false;
    *match = {kNBFSyntaxHighPriorityUnitOperator, i, i, op};
    return true;
}

bool unitConversionEndsAt(const uint8_t* s, int32_t i, NBFRagelMatch* match) {
    if (!isValue(s[i])) return false;
    int32_t op = previousSignificant(s, i);
    if (op < 0 || !isMultiplyOrDivide(s[op])) return false;
    int32_t operand = previousSignificant(s, op);
    if (operand < 0) return false;
    uint8_t symbol = s[operand];
    if (!isValue(symbol) && !isUnit(symbol)) return false;
    int32_t conversion = previousSignificant(s, operand);
    if (conversion < 0 || s[conversion] != kUnitConversion) return false;
    *match = {kNBFSyntaxHighPriorityUnitConversion, conversion, i, conversion};
    return true;
}

// 3/4 cup: two numbers and the "/" between them written as one word, then a unit after the
// value. The fraction is of the unit, not the first number over a quantity of cups. A "/"
// with space around it keeps its precedence (6 / 2 h is 3 per hour), and so does a fraction
// whose numerator belongs to the operator before it (1/3/4 cup, 2^3/4 cup).
bool fractionOfUnitEndsAt(const uint8_t* s, int32_t i, NBFRagelMatch* match) {
    if (s[i] != kUnitAfterValue) return false;
    int32_t denominator = previousSignificant(s, i);
    if (denominator < 2 || s[denominator] != kNumber) return false;
    int32_t op = denominator - 1, numerator = denominator - 2;
    if (s[op] != kDivide || s[numerator] != kNumber) return false;
    int32_t before = previousSignificant(s, numerator);
    if (before >= 0 && (s[before] == kDivide || s[before] == kPower)) return false;
    *match = {kNBFSyntaxFractionOfUnit, numerator, i, op};
    return true;
}

bool highPriorityOperatorsMachine(const uint8_t* symbols, int32_t count, NBFRagelMatch* match) {
    for (int32_t i = 0; i < count; ++i) {
        if (unitOperatorEndsAt(symbols, i, match) || unitConversionEndsAt(symbols, i, match) ||
            fractionOfUnitEndsAt(symbols, i, match))
            return true;
    }
    return false;
}

void markHighPriority(NBFEPExpressionTreeNodeRef node) {
    switch (NBFExpressionTreeNodeGetTokenSubType(node)) {
        case kNBFTokenSubTypeMultiply:
            NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeHighPriorityMultiply);
            break;
        case kNBFTokenSubTypeUnitConversion:
            NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeHighPriorityUnitConversion);
            break;
        case kNBFTokenSubTypeDivide:
            NBFExpressionTreeNodeSetTokenSubType(node, kNBFTokenSubTypeHighPriorityDivide);
            break;
        default:
            NBF_LOG_ERROR("Unexpected type %d", NBFExpressionTreeNodeGetTokenSubType(node));
            break;
    }
}

}  // namespace

HighPriorityOperatorsMatcherImpl::HighPriorityOperatorsMatcherImpl()
    : NBFRagelMatcherImplementation(highPriorityOperatorsMachine) {}

uint8_t HighPriorityOperatorsMatcherImpl::ragelToken(token_type type,
                                                     NBFTokenSubType subType) const {
    switch (type) {
        case kNBFTokenTypeNumber:
            return kNumber;
        case kNBFTokenTypeVariable:
        case kNBFTokenTypeGroup:
            return kValue;
        case kNBFTokenTypeUnit:
            switch (subType) {
                case kNBFTokenSubTypeStandaloneUnit:
                    return kStandaloneUnit;
                case kNBFTokenSubTypePrefixUnit:
                    return kPrefixUnit;
                case kNBFTokenSubTypeUnitAfterValue:
                    return kUnitAfterValue;
                default:
                    return kOther;
            }
        case kNBFTokenTypeOperator:
            switch (subType) {
                case kNBFTokenSubTypePlus:
                    return kPlus;
                case kNBFTokenSubTypeMinus:
                    return kMinus;
                case kNBFTokenSubTypeMultiply:
                    return kMultiply;
                case kNBFTokenSubTypeDivide:
                    return kDivide;
                case kNBFTokenSubTypePercent:
                    return kPercent;
                case kNBFTokenSubTypeUnitConversion:
                    return kUnitConversion;
                case kNBFTokenSubTypePower:
                case kNBFTokenSubTypeExponent:
                    return kPower;
                default:
                    return kOther;
            }
        case kNBFTokenTypeWhitespace:
            return kWhitespace;
        default:
            return kOther;
    }
}

NBFRagelMatcherRef NBFRagelMatcherCreate(NBFRagelMatcherImplementation* implementation) {
    if (!implementation) return nullptr;
    auto* matcher = new NBFRagelMatcher();
    matcher->implementation = implementation;
    return matcher;
}

NBFRagelMatcherRef NBFRagelMatcherRetain(NBFRagelMatcherRef matcher) {
    return NBF::retain(matcher);
}

void NBFRagelMatcherRelease(NBFRagelMatcherRef matcher) { NBF::release(matcher); }

bool NBFRagelMatcherFindNextMatch(NBFRagelMatcherRef matcher,
                                  const NBFEPExpressionTreeNodeRef* first,
                                  const NBFEPExpressionTreeNodeRef* end, int32_t* matchStart,
                                  int32_t* matchEnd, NBFSyntax* syntax,
                                  NBFEPExpressionTreeNodeRef* markedNode) {
    if (!matcher || !first || end <= first) return false;
    std::vector<uint8_t> symbols;
    symbols.reserve(static_cast<size_t>(end - first));
    for (const NBFEPExpressionTreeNodeRef* node = first; node != end; ++node) {
        symbols.push_back(matcher->implementation->ragelToken(
            NBFExpressionTreeNodeGetTokenType(*node), NBFExpressionTreeNodeGetTokenSubType(*node)));
    }
    NBFRagelMatch match{};
    if (!matcher->implementation->machine()(symbols.data(), static_cast<int32_t>(symbols.size()),
                                            &match))
        return false;
    if (matchStart) *matchStart = match.start;
    if (matchEnd) *matchEnd = match.end;
    if (syntax) *syntax = match.syntax;
    if (markedNode) *markedNode = first[match.marked];
    return true;
}

NBFRagelMatcherRef NBFStandardRagelMatchersCreateHighPriorityOperators() {
    return NBFRagelMatcherCreate(new HighPriorityOperatorsMatcherImpl());
}

namespace NBF {

bool RagelMatchIterator::advance(NBFRagelMatcherRef matcher,
                                 const NBFEPExpressionTreeNodeVector& nodes, int32_t& position) {
    m_markedNode = nullptr;
    m_syntax = kNBFSyntaxNone;
    if (position < 0 || position >= static_cast<int32_t>(nodes.size())) return false;
    int32_t start = 0;
    const NBFEPExpressionTreeNodeRef* first = nodes.data() + position;
    if (!NBFRagelMatcherFindNextMatch(matcher, first, nodes.data() + nodes.size(), &start, nullptr,
                                      &m_syntax, &m_markedNode))
        return false;
    position += start + 1;
    return true;
}

}  // namespace NBF

void ragel_matcher_crawl(NBFRagelMatcherRef matcher, NBFEPExpressionTreeNodeRef node) {
    if (!matcher) return;
    const NBFEPExpressionTreeNodeVector& children = NBFExpressionTreeNodeGetChildren(node);
    std::vector<uint8_t> symbols;
    symbols.reserve(children.size());
    for (NBFEPExpressionTreeNodeRef child : children)
        symbols.push_back(matcher->implementation->ragelToken(
            NBFExpressionTreeNodeGetTokenType(child), NBFExpressionTreeNodeGetTokenSubType(child)));
    // As the match iterator steps: each search resumes after the last match's start. A marked
    // node always lies before that point, so the symbols made up front stay valid.
    const int32_t count = static_cast<int32_t>(symbols.size());
    int32_t position = 0;
    NBFRagelMatch match{};
    while (position < count && matcher->implementation->machine()(symbols.data() + position,
                                                                  count - position, &match)) {
        if (match.syntax == kNBFSyntaxHighPriorityUnitOperator ||
            match.syntax == kNBFSyntaxHighPriorityUnitConversion ||
            match.syntax == kNBFSyntaxFractionOfUnit)
            markHighPriority(children[static_cast<size_t>(position + match.marked)]);
        position += match.start + 1;
    }
    for (NBFEPExpressionTreeNodeRef child : children) {
        if (NBFExpressionTreeNodeGetTokenType(child) == kNBFTokenTypeGroup)
            ragel_matcher_crawl(matcher, child);
    }
}
