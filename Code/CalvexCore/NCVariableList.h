// A set of variables over one foundation variable list, chained to a parent list, with a
// counter that moves on every structural change so that tokenisations made against the list
// know when they are stale.
#ifndef NUMBERA_CORE_NC_VARIABLE_LIST_H
#define NUMBERA_CORE_NC_VARIABLE_LIST_H

#include <cstdint>
#include <memory>

#include "NBFVariable.h"

class NCVariableList {
  public:
    NCVariableList() : nbfVariableList_(NBFVariableListCreate()) {}
    ~NCVariableList() { NBFVariableListRelease(nbfVariableList_); }
    NCVariableList(const NCVariableList&) = delete;
    NCVariableList& operator=(const NCVariableList&) = delete;

    // A list over the foundation's standard variables (pi, e), which its parent chain finds.
    static std::shared_ptr<NCVariableList> listWithStandardVariables();

    NBFVariableListRef nbfVariableList() const { return nbfVariableList_; }
    NBFVariableListRef combinedNBFVariableList() const { return nbfVariableList_; }

    const std::shared_ptr<NCVariableList>& parentList() const { return _parentList; }
    // The foundation list's parent follows.
    void setParentList(std::shared_ptr<NCVariableList> parent) {
        _parentList = std::move(parent);
        NBFVariableListSetParentList(nbfVariableList_,
                                     _parentList ? _parentList->nbfVariableList() : nullptr);
    }

    uint64_t stateIndicator() const { return stateIndicator_; }
    void registerStateChange() { ++stateIndicator_; }

  private:
    NBFVariableListRef nbfVariableList_;
    uint64_t stateIndicator_ = 0;
    std::shared_ptr<NCVariableList> _parentList;
};

#endif
