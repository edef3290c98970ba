// A list of word operators ("per", "x", the percentage phrases) that an evaluation or a
// tokenisation may use, over a foundation word-operator list.
#ifndef NUMBERA_CORE_NC_WORD_OPERATOR_LIST_H
#define NUMBERA_CORE_NC_WORD_OPERATOR_LIST_H

#include "NBFWordOperatorList.h"

class NCWordOperatorList {
public:
    NCWordOperatorList() = default;
    // Retains the list.
    explicit NCWordOperatorList(NBFWordOperatorListRef list)
        : nbfWordOperatorList_(NBFWordOperatorListRetain(list)) {}
    ~NCWordOperatorList() { NBFWordOperatorListRelease(nbfWordOperatorList_); }
    NCWordOperatorList(const NCWordOperatorList&) = delete;
    NCWordOperatorList& operator=(const NCWordOperatorList&) = delete;

    NBFWordOperatorListRef nbfWordOperatorList() const { return nbfWordOperatorList_; }

private:
    NBFWordOperatorListRef nbfWordOperatorList_ = nullptr;
};

#endif
