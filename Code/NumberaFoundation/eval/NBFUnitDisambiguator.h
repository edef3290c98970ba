// Chooses, after parsing, which unit an ambiguous unit name means ("m": metre or minute) from
// the unit types around it in the expression tree: the type of the other side of a sum or a
// difference, else a rule of the disambiguation map for the operator joining the two sides,
// else the types of the whole expression.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_DISAMBIGUATOR_H
#define NUMBERA_FOUNDATION_NBF_UNIT_DISAMBIGUATOR_H

#include <cstdint>
#include <map>
#include <tuple>

#include "NBFExpressionTree.h"
#include "NBFObject.h"
#include "NBFOperatorType.h"
#include "NBFUnitType.h"

namespace NBF {

// Rules: for a left side of these types, this operator and a right side of these types, the
// ambiguous unit on the given side means a unit of the given type.
class UnitDisambiguationMap : public Object<UnitDisambiguationMap> {
  public:
    struct Key {
        NBFUnitTypeBitmap leftBitmap;
        NBFOperatorType operatorType;
        NBFUnitTypeBitmap rightBitmap;
        bool operator<(const Key& other) const {
            return std::tie(leftBitmap, operatorType, rightBitmap) <
                   std::tie(other.leftBitmap, other.operatorType, other.rightBitmap);
        }
    };
    static constexpr int8_t kSideLeft = 0;
    static constexpr int8_t kSideRight = 1;
    struct Value {
        NBFUnitType unitType;
        int8_t side;
    };
    typedef std::map<Key, Value> Entries;

    static UnitDisambiguationMap* create(Entries entries);
    // The rule's unit type (its side through side, when given), or 0 without a rule.
    NBFUnitType findDisambiguation(NBFUnitTypeBitmap leftBitmap, NBFOperatorType operatorType,
                                   NBFUnitTypeBitmap rightBitmap, int8_t* side) const;

  protected:
    ~UnitDisambiguationMap() override = default;

  private:
    explicit UnitDisambiguationMap(Entries entries) : m_entries(std::move(entries)) {}
    const Entries m_entries;
};

}  // namespace NBF

// Builds the process-wide map (a name of a length or a time divided by a time is the length:
// metres per second, not minutes per second). Safe to call more than once and from any
// thread; processing a tree builds it too when start-up has not.
void NBFUnitDisambiguatorInit();
// The process-wide map; read-only once built.
const NBF::UnitDisambiguationMap* NBFUnitDisambiguatorGetMap();
// Sets the unit type bitmaps and ambiguity flags of the tree's operators and resolves every
// ambiguous unit node to one of its candidates. A null tree does nothing.
void NBFUnitDisambiguatorProcessExpressionTree(NBFExpressionTreeRef tree);

#endif
