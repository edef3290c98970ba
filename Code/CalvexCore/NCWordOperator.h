// One foundation word operator as a core object, and the word operators that stand for plain
// arithmetic on two operands.
#ifndef NUMBERA_CORE_NC_WORD_OPERATOR_H
#define NUMBERA_CORE_NC_WORD_OPERATOR_H

#include <cstdint>
#include <memory>
#include <string>

#include "NBFWordOperator.h"

typedef int32_t NCWordOperatorType;
enum : NCWordOperatorType {
    NCWordOperatorTypeAdd = 1,              // a + b
    NCWordOperatorTypeSubtract = 2,         // a - b
    NCWordOperatorTypeMultiply = 3,         // a * b
    NCWordOperatorTypeDivide = 4,           // a / b
    NCWordOperatorTypeReverseSubtract = 5,  // b - a
    NCWordOperatorTypeReverseDivide = 6,    // b / a
};

class NCWordOperator {
  public:
    // Takes over the reference.
    explicit NCWordOperator(NBFWordOperatorRef wordOperator) : m_nbfWordOperator(wordOperator) {}
    ~NCWordOperator() { NBFWordOperatorRelease(m_nbfWordOperator); }
    NCWordOperator(const NCWordOperator&) = delete;
    NCWordOperator& operator=(const NCWordOperator&) = delete;

    // An infix word with the template and precedence of its type; an unknown type is logged
    // and gets no template.
    static std::shared_ptr<NCWordOperator> wordOperatorOfType(NCWordOperatorType type,
                                                              const std::u16string& word);

    NBFWordOperatorRef nbfWordOperator() const { return m_nbfWordOperator; }

  private:
    NBFWordOperatorRef m_nbfWordOperator;
};

#endif
