// Pattern machines over the nodes of an analysis tree, one symbol per node. The high-priority
// operator matcher finds operators that bind tighter than their precedence says: the "/" of
// 60 km/h (so it is 60 of km per h), the unit conversion of "__uc" 3 / 2, and the "/" of a
// fraction written before a unit (3/4 cup is three quarters of a cup).
#ifndef NUMBERA_FOUNDATION_NBF_RAGEL_MATCHER_H
#define NUMBERA_FOUNDATION_NBF_RAGEL_MATCHER_H

#include <cstdint>
#include <vector>

#include "NBFEPExpressionTree.h"
#include "NBFObject.h"

typedef int32_t NBFSyntax;
enum : NBFSyntax {
    kNBFSyntaxNone = 0,
    kNBFSyntaxHighPriorityUnitOperator = 1,    // unit, "*" or "/", standalone unit
    kNBFSyntaxHighPriorityUnitConversion = 2,  // "__uc", value or unit, "*" or "/", value
    // number "/" number, nothing between them, then a unit after the value
    kNBFSyntaxFractionOfUnit = 3,
};

// A match, as positions in the symbol sequence it was found in.
struct NBFRagelMatch {
    NBFSyntax syntax;
    int32_t start;
    int32_t end;
    int32_t marked;  // the operator to mark
};

// Finds the first match in the symbols (the one that ends first).
typedef bool (*NBFRagelPatternMachine)(const uint8_t* symbols, int32_t count, NBFRagelMatch* match);

class NBFRagelMatcherImplementation {
  public:
    explicit NBFRagelMatcherImplementation(NBFRagelPatternMachine machine) : m_machine(machine) {}
    virtual ~NBFRagelMatcherImplementation() = default;
    // The symbol for one node.
    virtual uint8_t ragelToken(token_type type, NBFTokenSubType subType) const = 0;
    NBFRagelPatternMachine machine() const { return m_machine; }

  private:
    const NBFRagelPatternMachine m_machine;
};

class HighPriorityOperatorsMatcherImpl : public NBFRagelMatcherImplementation {
  public:
    HighPriorityOperatorsMatcherImpl();
    uint8_t ragelToken(token_type type, NBFTokenSubType subType) const override;
};

struct NBFRagelMatcher : NBF::Object<NBFRagelMatcher> {
    ~NBFRagelMatcher() override { delete implementation; }
    NBFRagelMatcherImplementation* implementation = nullptr;
};
typedef NBFRagelMatcher* NBFRagelMatcherRef;

// Takes the implementation over.
NBFRagelMatcherRef NBFRagelMatcherCreate(NBFRagelMatcherImplementation* implementation);
NBFRagelMatcherRef NBFRagelMatcherRetain(NBFRagelMatcherRef matcher);
void NBFRagelMatcherRelease(NBFRagelMatcherRef matcher);
// Searches the nodes [first, end) anywhere. On a match stores its start and end (positions
// from first), its syntax and the operator node to mark, and returns true.
bool NBFRagelMatcherFindNextMatch(NBFRagelMatcherRef matcher,
                                  const NBFEPExpressionTreeNodeRef* first,
                                  const NBFEPExpressionTreeNodeRef* end, int32_t* matchStart,
                                  int32_t* matchEnd, NBFSyntax* syntax,
                                  NBFEPExpressionTreeNodeRef* markedNode);
// A new matcher with the high-priority operator patterns.
NBFRagelMatcherRef NBFStandardRagelMatchersCreateHighPriorityOperators();

namespace NBF {

// Steps through the matches of a node list.
class RagelMatchIterator {
  public:
    // Finds the next match from position; on success the next search starts at the node after
    // the match's start, and the iterator holds the marked node and syntax. Otherwise it
    // holds none and returns false.
    bool advance(NBFRagelMatcherRef matcher, const NBFEPExpressionTreeNodeVector& nodes,
                 int32_t& position);
    NBFEPExpressionTreeNodeRef markedNode() const { return m_markedNode; }
    NBFSyntax syntax() const { return m_syntax; }

  private:
    NBFEPExpressionTreeNodeRef m_markedNode = nullptr;
    NBFSyntax m_syntax = kNBFSyntaxNone;
};

}  // namespace NBF

// Marks, recursively into groups, every operator the matcher finds with its high-priority
// form: multiply 12 becomes 24, "__uc" 19 becomes 25, divide 13 becomes 23. Each group's
// symbols are made once, so a line costs time in proportion to its length.
void ragel_matcher_crawl(NBFRagelMatcherRef matcher, NBFEPExpressionTreeNodeRef node);

#endif
