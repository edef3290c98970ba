// A list of word operators ("per", "x", the percentage phrases) that an evaluation or a
// tokenisation may use, over a foundation word-operator list.
#ifndef NUMBERA_CORE_NC_WORD_OPERATOR_LIST_H
#define NUMBERA_CORE_NC_WORD_OPERATOR_LIST_H

#include <memory>

#include "NBFWordOperatorList.h"

class NCWordOperator;

class NCWordOperatorList {
  public:
    NCWordOperatorList() = default;
    // Retains the list.
    explicit NCWordOperatorList(NBFWordOperatorListRef list)
        : m_nbfWordOperatorList(NBFWordOperatorListRetain(list)) {}
    ~NCWordOperatorList() { NBFWordOperatorListRelease(m_nbfWordOperatorList); }
    NCWordOperatorList(const NCWordOperatorList&) = delete;
    NCWordOperatorList& operator=(const NCWordOperatorList&) = delete;

    NBFWordOperatorListRef nbfWordOperatorList() const { return m_nbfWordOperatorList; }

    // The current environment's word operators.
    static std::shared_ptr<NCWordOperatorList> sharedList();
    // "per", "x", "into", "from", "mod", the shifts, the bitwise words and the percentage
    // phrases that the expression substituter writes.
    static std::shared_ptr<NCWordOperatorList> listWithStandardWordOperators();
    // Nothing without a foundation list.
    void addWordOperator(const NCWordOperator& wordOperator);

  private:
    NBFWordOperatorListRef m_nbfWordOperatorList = nullptr;
};

#endif
